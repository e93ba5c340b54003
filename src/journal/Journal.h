#pragma once

#include "journal/Sqlite.h"

#include <QDateTime>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace zr::journal {

// The journal's file in the data directory.
inline constexpr const char* kJournalFileName = "journal.sqlite";

// Who wrote a session: a session whose process still runs is another instance's, not a crash.
struct ProcessIdentity {
    qint64 process = 0;
    QString boot;
    QString started;

    static ProcessIdentity current();
    bool isRunning() const;
};

struct JournalSession {
    qint64 id = 0;
    QDateTime started;
    // Invalid while the session is open (running, or ended by a crash and not yet restored).
    QDateTime closed;
};

struct JournalRow {
    QStringList cells;
    // The last change of the row.
    QDateTime written;
    // Invalid for a row still in its session's table.
    QDateTime deleted;
};

// The measurement table's journal in SQLite: each program run is a session holding the table's
// body rows in order. The caller groups calls into transactions; every call throws SqliteError
// on failure.
class Journal {
public:
    static constexpr int kSchemaVersion = 1;

    // Opens or creates the journal at `path`. Throws SqliteError, or JournalRefused for a file
    // that is not a journal this version can write.
    Journal(const QString& path, int columns, int busyTimeoutMs);
    // Only reads the journal at `path` for the history; never creates or changes the file. A
    // file that is not this program's journal, or of a newer version, throws JournalRefused.
    static std::unique_ptr<Journal> openForReading(const QString& path, int columns,
                                                   int busyTimeoutMs);
    ~Journal();

    void begin();
    void commit();
    void rollback();

    qint64 startSession(const ProcessIdentity& identity);
    void closeSession(qint64 session);
    // The newest open session whose process has ended, other than `own`.
    std::optional<qint64> abandonedSession(qint64 own);
    // Moves the table of `abandoned` into `session`, so that the history holds each row once, and
    // closes `abandoned`, which keeps the rows deleted from it.
    void takeOver(qint64 abandoned, qint64 session);

    void insertRows(qint64 session, int position, int count);
    void removeRows(qint64 session, int position, int count);
    void setRow(qint64 session, int position, const QStringList& cells);

    // The rows of the session's table in order.
    std::vector<QStringList> table(qint64 session);

    // History, oldest first: every session, and every row a session wrote (deleted ones too,
    // empty ones not). A restored table's rows are in the session that restored them.
    std::vector<JournalSession> sessions();
    std::vector<JournalRow> rows(qint64 session);

private:
    struct Statements;

    Journal(const QString& path, int columns, int busyTimeoutMs, Database::Access access);
    void createSchema();

    int columns_;
    QString emptyCells_;
    Database db_;
    std::unique_ptr<Statements> statements_;
};

// The file at the journal's path is a journal of a newer version, or no journal at all.
struct JournalRefused {
    enum class Reason { NewerVersion, NotAJournal };
    Reason reason;
};

} // namespace zr::journal
