#include "ctl/JournalRead.h"

#include "ctl/ExitStatus.h"
#include "journal/Journal.h"

#include <QFileInfo>

namespace zr::ctl {

int readJournal(const QString& path, const OutputSink& err, const std::function<int()>& read) {
    // Checked first: opening a missing file, even to read it, is no question to SQLite.
    if (!QFileInfo::exists(path)) {
        err(QStringLiteral("%1: no such file\n").arg(path).toUtf8());
        return kError;
    }
    try {
        return read();
    } catch (const journal::JournalRefused& refused) {
        err(QStringLiteral("%1: %2\n")
                .arg(path, refused.reason == journal::JournalRefused::Reason::NewerVersion
                               ? QStringLiteral("a journal of a newer program version")
                               : QStringLiteral("not a journal of this program"))
                .toUtf8());
    } catch (const journal::SqliteError& failed) {
        err(QStringLiteral("%1: %2\n").arg(path, failed.failure().text).toUtf8());
    }
    return kError;
}

} // namespace zr::ctl
