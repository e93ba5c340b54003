#include "mirror/JournalChanges.h"

#include "journal/Journal.h"
#include "journal/Schema.h"
#include "mirror/ServerSchema.h"

#include <QByteArrayList>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <cerrno>
#include <cstring>
#include <sqlite3.h>

namespace zr::mirror {

using journal::Statement;

namespace {

template <std::size_t N> QByteArray selectOf(const SentColumn (&columns)[N]) {
    QByteArrayList expressions;
    for (const SentColumn& column : columns) {
        expressions << column.journal;
    }
    return "SELECT " + expressions.join(", ");
}

// The row at `statement` as a JSON array, each value of the type the server takes.
template <std::size_t N>
QJsonArray valuesAt(const Statement& statement, const SentColumn (&columns)[N]) {
    QJsonArray values;
    for (std::size_t i = 0; i < N; ++i) {
        const int c = static_cast<int>(i);
        const char* type = columns[i].type;
        if (statement.isNull(c)) {
            values.append(QJsonValue::Null);
        } else if (std::strcmp(type, "bigint") == 0 || std::strcmp(type, "integer") == 0) {
            values.append(statement.integer(c));
        } else if (std::strcmp(type, "double precision") == 0) {
            values.append(statement.real(c));
        } else {
            values.append(statement.text(c));
        }
    }
    return values;
}

QByteArray json(const QJsonArray& array) {
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

// The reads of one batch see one state of the file.
class ReadSnapshot {
public:
    explicit ReadSnapshot(sqlite3* db) : db_(db) { Statement(db_, "BEGIN").run(); }
    ~ReadSnapshot() { sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr); }
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    sqlite3* db_;
};

// The mirror never makes a journal: the program does, or there is nothing to send.
const QString& existing(const QString& path) {
    if (!QFileInfo::exists(path)) {
        throw journal::SqliteError({SQLITE_CANTOPEN, ENOENT, QStringLiteral("no such file")});
    }
    return path;
}

} // namespace

struct JournalChanges::Statements {
    explicit Statements(sqlite3* db)
        : bound(db, "SELECT revision FROM measurement_row WHERE revision > ?1 "
                    "ORDER BY revision LIMIT 1 OFFSET ?2"),
          last(db, "SELECT max(ifnull((SELECT max(revision) FROM session), 0), "
                   "ifnull((SELECT max(revision) FROM measurement_row), 0))"),
          sessions(db, (selectOf(kSentSessionColumns) +
                        " FROM session s LEFT JOIN session t ON t.id = s.restored_into "
                        "WHERE s.revision > ?1 ORDER BY s.revision, s.id")
                           .constData()),
          rows(db, (selectOf(kSentRowColumns) +
                    " FROM measurement_row r JOIN session s ON s.id = r.session "
                    "WHERE r.revision > ?1 AND r.revision <= ?2 ORDER BY r.revision, r.id")
                       .constData()),
          waiting(db, "SELECT count(*) FROM measurement_row "
                      "WHERE revision > ?1 AND moment IS NOT NULL"),
          acknowledged(db, "SELECT database_id, acknowledged FROM mirror_state WHERE server = ?1"),
          acknowledge(db, "INSERT INTO mirror_state (server, database_id, acknowledged) "
                          "VALUES (?1, ?2, ?3) ON CONFLICT (server) DO UPDATE SET "
                          "acknowledged = CASE WHEN database_id = excluded.database_id "
                          "THEN max(acknowledged, excluded.acknowledged) "
                          "ELSE excluded.acknowledged END, database_id = excluded.database_id") {}
    Statement bound;
    Statement last;
    Statement sessions;
    Statement rows;
    Statement waiting;
    Statement acknowledged;
    Statement acknowledge;
};

JournalChanges::JournalChanges(const QString& path, int busyTimeoutMs)
    : db_(existing(path), journal::Database::Access::ReadWrite) {
    journal::check(db_.handle(), sqlite3_busy_timeout(db_.handle(), busyTimeoutMs), SQLITE_OK);
    if (journal::knownJournalVersion(db_) != journal::kSchemaVersion) {
        throw UntypedJournal{};
    }
    // An acknowledgement lost to a power cut only sends its rows once more.
    db_.execute("PRAGMA synchronous = NORMAL");
    db_.execute(journal::kMirrorStateSql);
    statements_ = std::make_unique<Statements>(db_.handle());
}

JournalChanges::~JournalChanges() = default;

qint64 JournalChanges::acknowledged(const QString& server, const QString& databaseId) {
    Statement& select = statements_->acknowledged;
    if (!select.restart().bind(1, server).step()) {
        return 0;
    }
    const qint64 revision =
        databaseId.isEmpty() || select.text(0) == databaseId ? select.integer(1) : 0;
    select.restart();
    return revision;
}

void JournalChanges::acknowledge(const QString& server, const QString& databaseId,
                                 qint64 revision) {
    statements_->acknowledge.restart().bind(1, server).bind(2, databaseId).bind(3, revision).run();
}

ChangeBatch JournalChanges::after(qint64 revision, int rows) {
    const ReadSnapshot snapshot(db_.handle());
    ChangeBatch batch;
    Statement& bound = statements_->bound;
    if (bound.restart().bind(1, revision).bind(2, qint64{rows} - 1).step()) {
        batch.through = bound.integer(0);
    } else {
        Statement& last = statements_->last;
        batch.through = last.restart().step() ? last.integer(0) : revision;
        last.restart();
    }
    bound.restart();

    QJsonArray sessions;
    Statement& sessionsAfter = statements_->sessions;
    sessionsAfter.restart().bind(1, revision);
    while (sessionsAfter.step()) {
        sessions.append(valuesAt(sessionsAfter, kSentSessionColumns));
    }
    sessionsAfter.restart();
    QJsonArray changedRows;
    Statement& rowsAfter = statements_->rows;
    rowsAfter.restart().bind(1, revision).bind(2, batch.through);
    constexpr int moment = sentColumnIndex(kSentRowColumns, "moment");
    while (rowsAfter.step()) {
        changedRows.append(valuesAt(rowsAfter, kSentRowColumns));
        batch.writtenRowCount += rowsAfter.isNull(moment) ? 0 : 1;
    }
    rowsAfter.restart();
    batch.sessionCount = static_cast<int>(sessions.size());
    batch.rowCount = static_cast<int>(changedRows.size());
    batch.sessions = json(sessions);
    batch.rows = json(changedRows);
    return batch;
}

qint64 JournalChanges::waitingRows(qint64 revision) {
    Statement& waiting = statements_->waiting;
    const qint64 count = waiting.restart().bind(1, revision).step() ? waiting.integer(0) : 0;
    waiting.restart();
    return count;
}

} // namespace zr::mirror
