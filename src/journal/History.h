#pragma once

#include "journal/Sqlite.h"
#include "journal/TableRow.h"

#include <QDateTime>
#include <memory>
#include <optional>
#include <vector>

namespace zr::journal {

struct HistorySession {
    qint64 id = 0;
    // Empty for a session from before the typed schema.
    QString uuid;
    QString host;
    QDateTime started;
    // Invalid while the session is open (running, or ended by a crash and not yet restored).
    QDateTime closed;
};

// A row of the history with the session that holds it.
struct HistoryRow {
    HistorySession session;
    // Empty, with the serial and the revision, in a journal of the text schema.
    QString uuid;
    QString meterSerial;
    std::optional<qint64> revision;
    TableRow row;
    // The last change of its contents.
    QDateTime changed;
    // Invalid for a row still in its session's table.
    QDateTime deleted;
};

// The journal read for its history, of either schema, without creating, changing, upgrading or
// locking the file against the program that writes it. What it reads is one snapshot.
class History {
public:
    // Throws SqliteError, or JournalRefused for a file that is not this program's journal (an
    // empty one included) or of a newer version.
    History(const QString& path, int busyTimeoutMs);
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    int schemaVersion() const { return version_; }

    // Every session, oldest first.
    std::vector<HistorySession> sessions();

    // Starts reading the rows last changed from `since` on and before `before` (an invalid
    // bound is none), empty rows left out: oldest session first, each session's rows in the
    // order they were made. A restored table's rows are in the session that restored them.
    void select(const QDateTime& since, const QDateTime& before);
    // The next row of the selection, read from the file only now; false after the last.
    bool next(HistoryRow& row);

private:
    Database db_;
    int version_ = 0;
    std::unique_ptr<Statement> rows_;
};

} // namespace zr::journal
