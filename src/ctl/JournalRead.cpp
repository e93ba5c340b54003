#include "ctl/JournalRead.h"

#include "ctl/CtlText.h"
#include "ctl/ExitStatus.h"
#include "journal/Journal.h"

#include <QFileInfo>

namespace zr::ctl {

int readJournal(const QString& path, const OutputSink& err, const std::function<int()>& read) {
    // Checked first: opening a missing file, even to read it, is no question to SQLite.
    if (!QFileInfo::exists(path)) {
        err(CtlText::tr("%1: no such file").arg(path).toUtf8() + '\n');
        return kError;
    }
    try {
        return read();
    } catch (const journal::JournalRefused& refused) {
        err(CtlText::tr("%1: %2")
                .arg(path, refused.reason == journal::JournalRefused::Reason::NewerVersion
                               ? CtlText::tr("a journal of a newer program version")
                               : CtlText::tr("not a journal of this program"))
                .toUtf8() +
            '\n');
    } catch (const journal::SqliteError& failed) {
        err(CtlText::tr("%1: %2").arg(path, failed.failure().text).toUtf8() + '\n');
    }
    return kError;
}

} // namespace zr::ctl
