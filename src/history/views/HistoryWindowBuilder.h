#pragma once

#include "mirror/MirrorStatus.h"

#include <QtPlugin>
#include <optional>

class QString;
class QWidget;

namespace zr::common {
class MessageService;
}

namespace zr::history {

// The history window, made by the history module (history/views/module). The module links the
// history, the charts and Qt SVG, which a run that never opens the window does not load: the
// program loads the module when the window is first asked for.
class HistoryWindowBuilder {
public:
    virtual ~HistoryWindowBuilder() = default;
    // Shows the history of the journal at `journalPath` in a window over `parent`, made on the
    // first call for that parent; a later call raises it and reads the journal again. The
    // window tells the user what went wrong through `messages`, which outlives `parent`, and
    // where the journal's server stands (nothing without a server configured).
    virtual void show(QWidget* parent, const QString& journalPath, common::MessageService& messages,
                      const std::optional<mirror::MirrorStatus>& serverStatus) = 0;
    // Where the journal's server stands now, for the window shown.
    virtual void showServerStatus(const mirror::MirrorStatus& status) = 0;
};

// The module's file name without prefix and suffix, looked for on the library paths.
inline constexpr const char* kHistoryModuleName = "zr6040usb-history";

} // namespace zr::history

#define ZR_HISTORY_WINDOW_BUILDER_IID "io.github.zr6040usb.HistoryWindowBuilder/2"
Q_DECLARE_INTERFACE(zr::history::HistoryWindowBuilder, ZR_HISTORY_WINDOW_BUILDER_IID)
