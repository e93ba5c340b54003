#pragma once

#include "mirror/MirrorStatus.h"

#include <QString>
#include <optional>

class QWidget;

namespace zr::common {
class MessageService;
}

namespace zr::history {

class HistoryWindowBuilder;

// Opens the history window, loading the history module on the first call, and keeps it told
// where the journal's server stands.
class HistoryLauncher {
public:
    // Opens the history window of the journal in `dataDir` over `parent`. Returns what to tell
    // the user when the module cannot be loaded, empty when the window opened.
    QString open(QWidget* parent, const QString& dataDir, common::MessageService& messages);

    // Where the server stands now; shown by the window, and by one opened later.
    void showServerStatus(const mirror::MirrorStatus& status);

private:
    HistoryWindowBuilder* builder_ = nullptr;
    std::optional<mirror::MirrorStatus> serverStatus_;
};

} // namespace zr::history
