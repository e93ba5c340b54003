#include "journal/History.h"

#include "journal/Journal.h"
#include "journal/RowColumns.h"
#include "journal/Schema.h"
#include "journal/TextSchema.h"

#include <sqlite3.h>

namespace zr::journal {

namespace {

// Beyond every time the journal holds: its times are all of one form.
constexpr const char* kEndOfTime = "9999";

constexpr const char* kTypedRows =
    "SELECT s.id, s.uuid, s.host, s.started, s.closed, r.uuid, r.meter_serial, r.revision, "
    "r.changed, r.deleted, r.number, r.grade, r.tank, r.supplier, r.method, r.value, "
    "r.value_decimals, r.moment, r.method_text, r.value_text, r.moment_text "
    "FROM session s JOIN measurement_row r ON r.session = s.id "
    "WHERE r.changed >= ?1 AND r.changed < ?2 AND r.moment IS NOT NULL "
    "ORDER BY s.id, r.id";
constexpr int kTypedRowFirst = 10;

constexpr const char* kTextRows =
    "SELECT s.id, '', '', s.started, s.closed, r.written, r.deleted, r.cells "
    "FROM session s JOIN measurement_row r ON r.session = s.id "
    "WHERE r.written >= ?1 AND r.written < ?2 AND r.cells <> "
    "'[\"\",\"\",\"\",\"\",\"\",\"\",\"\"]' "
    "ORDER BY s.id, r.id";

HistorySession sessionAt(const Statement& statement) {
    return {statement.integer(0), statement.text(1), statement.text(2), timeAt(statement, 3),
            timeAt(statement, 4)};
}

} // namespace

History::History(const QString& path, int busyTimeoutMs) : db_(path, Database::Access::ReadOnly) {
    check(db_.handle(), sqlite3_busy_timeout(db_.handle(), busyTimeoutMs), SQLITE_OK);
    // One snapshot from the version on: a program upgrading the file meanwhile is not seen.
    db_.execute("BEGIN");
    version_ = knownJournalVersion(db_);
    // A reader has no schema to make: a file without one holds no history.
    if (version_ == 0) {
        throw JournalRefused{JournalRefused::Reason::NotAJournal};
    }
}

History::~History() = default;

std::vector<HistorySession> History::sessions() {
    Statement select(db_.handle(), version_ == kTextSchemaVersion
                                       ? "SELECT id, '', '', started, closed FROM session "
                                         "ORDER BY id"
                                       : "SELECT id, uuid, host, started, closed FROM session "
                                         "ORDER BY id");
    std::vector<HistorySession> sessions;
    while (select.step()) {
        sessions.push_back(sessionAt(select));
    }
    return sessions;
}

void History::select(const QDateTime& since, const QDateTime& before) {
    rows_ = std::make_unique<Statement>(db_.handle(),
                                        version_ == kTextSchemaVersion ? kTextRows : kTypedRows);
    rows_->bind(1, since.isValid() ? timeText(since) : QString());
    rows_->bind(2, before.isValid() ? timeText(before) : QString::fromLatin1(kEndOfTime));
}

bool History::next(HistoryRow& row) {
    if (!rows_ || !rows_->step()) {
        return false;
    }
    const Statement& at = *rows_;
    // A session's rows come one after the other.
    if (at.integer(0) != row.session.id) {
        row.session = sessionAt(at);
    }
    if (version_ == kTextSchemaVersion) {
        row.uuid.clear();
        row.meterSerial.clear();
        row.revision.reset();
        row.changed = timeAt(at, 5);
        row.deleted = timeAt(at, 6);
        row.row = textSchemaRow(at.utf8(7), row.changed);
        return true;
    }
    row.uuid = at.text(5);
    row.meterSerial = at.text(6);
    row.revision = at.integer(7);
    row.changed = timeAt(at, 8);
    row.deleted = timeAt(at, 9);
    row.row = readRow(at, kTypedRowFirst);
    return true;
}

} // namespace zr::journal
