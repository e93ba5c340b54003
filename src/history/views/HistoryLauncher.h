#pragma once

#include <QString>

class QWidget;

namespace zr::common {
class MessageService;
}

namespace zr::history {

// Opens the history window of the journal in `dataDir` over `parent`, loading the history module
// on the first call. Returns what to tell the user when the module cannot be loaded, empty when
// the window opened.
QString openHistoryWindow(QWidget* parent, const QString& dataDir,
                          common::MessageService& messages);

} // namespace zr::history
