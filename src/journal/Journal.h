#pragma once

#include "journal/ProcessIdentity.h"
#include "journal/Sqlite.h"
#include "journal/TableRow.h"

#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace zr::journal {

// The journal's file in the data directory.
inline constexpr const char* kJournalFileName = "journal.sqlite";

// The sample-number list as a run left it: its items and the selected one.
struct NumberListState {
    QStringList items;
    int selected = -1;
    bool operator==(const NumberListState&) const = default;
};

// The measurement table's journal in SQLite (Schema.h): each program run is a session holding
// the table's body rows in order. The caller groups calls into transactions; every call throws
// SqliteError on failure.
class Journal {
public:
    // Opens or creates the journal at `path`. A journal of the text schema is upgraded in one
    // transaction, after a copy of it was kept beside it (upgradeCopy()); of two programs
    // starting at once only one upgrades. Throws SqliteError, or JournalRefused for a file that
    // is not a journal this version can write.
    Journal(const QString& path, int busyTimeoutMs);
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // The copy of the file this open upgraded; empty when it upgraded none.
    const QString& upgradeCopy() const { return upgradeCopy_; }

    void begin();
    void commit();
    void rollback();

    qint64 startSession(const ProcessIdentity& identity);
    void closeSession(qint64 session);
    // The open sessions whose process has ended, other than `own`, oldest first.
    std::vector<qint64> abandonedSessions(qint64 own);
    // Moves the first `rows` rows of `abandoned`'s table into `session`'s table from `position`
    // on, so that the history holds each row once; the rest of its table is deleted. Closes
    // `abandoned`, which keeps the rows deleted from it.
    void takeOver(qint64 abandoned, qint64 session, int position, int rows);

    void insertRows(qint64 session, int position, int count);
    void removeRows(qint64 session, int position, int count);
    // `meterSerial` is kept when the row was empty before: the meter that wrote it.
    void setRow(qint64 session, int position, const TableRow& row, const QString& meterSerial);

    void setNumberList(qint64 session, const NumberListState& state);
    // The number list of whichever of `sessions` changed its own last.
    std::optional<NumberListState> latestNumberList(const std::vector<qint64>& sessions);

    // The rows of the session's table in order.
    std::vector<TableRow> table(qint64 session);

private:
    struct Statements;

    void prepareSchema();
    // The revision this transaction stamps on what it changes.
    qint64 revision();

    QString path_;
    Database db_;
    QString upgradeCopy_;
    qint64 revision_ = 0;
    std::unique_ptr<Statements> statements_;
};

// The file at the journal's path is a journal of a newer version, or no journal at all.
struct JournalRefused {
    enum class Reason { NewerVersion, NotAJournal };
    Reason reason;
};

// The schema version of the open file, after checking that it is this program's journal of a
// version it knows; a file without any table is version 0. Throws JournalRefused.
int knownJournalVersion(Database& db);

} // namespace zr::journal
