#include "journal/Journal.h"

#include "journal/RowColumns.h"
#include "journal/Schema.h"
#include "journal/TextSchema.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSysInfo>
#include <QUuid>
#include <sqlite3.h>

namespace zr::journal {

namespace {

QString now() {
    return timeText(QDateTime::currentDateTimeUtc());
}

QString newId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QString itemsText(const QStringList& items) {
    return QString::fromUtf8(
        QJsonDocument(QJsonArray::fromStringList(items)).toJson(QJsonDocument::Compact));
}

QStringList itemsOf(const QString& text) {
    QStringList items;
    for (const QJsonValue& item : QJsonDocument::fromJson(text.toUtf8()).array()) {
        items << item.toString();
    }
    return items;
}

} // namespace

int knownJournalVersion(Database& db) {
    const qint64 version = db.pragma("user_version");
    const qint64 application = db.pragma("application_id");
    Statement count(db.handle(), "SELECT count(*) FROM sqlite_schema");
    const qint64 objects = count.step() ? count.integer(0) : 0;
    if (version == 0 && application == 0 && objects == 0) {
        return 0;
    }
    if (application != kApplicationId) {
        throw JournalRefused{JournalRefused::Reason::NotAJournal};
    }
    if (version > kSchemaVersion) {
        throw JournalRefused{JournalRefused::Reason::NewerVersion};
    }
    return static_cast<int>(version);
}

struct Journal::Statements {
    explicit Statements(sqlite3* db)
        : begin(db, "BEGIN IMMEDIATE"), commit(db, "COMMIT"), rollback(db, "ROLLBACK"),
          revision(db, "SELECT max(ifnull((SELECT max(revision) FROM session), 0), "
                       "ifnull((SELECT max(revision) FROM measurement_row), 0)) + 1"),
          shiftUp(db, "UPDATE measurement_row SET position = position + ?3, revision = ?4 "
                      "WHERE session = ?1 AND position >= ?2"),
          insert(db, "INSERT INTO measurement_row (uuid, session, position, number, grade, tank, "
                     "supplier, value_decimals, meter_serial, changed, revision) "
                     "VALUES (?1, ?2, ?3, '', '', '', '', -1, '', ?4, ?5)"),
          remove(db, "UPDATE measurement_row SET position = NULL, deleted = ?4, revision = ?5 "
                     "WHERE session = ?1 AND position >= ?2 AND position < ?2 + ?3"),
          shiftDown(db, "UPDATE measurement_row SET position = position - ?3, revision = ?4 "
                        "WHERE session = ?1 AND position >= ?2 + ?3"),
          // The right-hand sides see the row as it was: an empty row has no moment.
          setRow(db, (QByteArray("UPDATE measurement_row SET (") + kRowColumns +
                      ") = (?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13), "
                      "meter_serial = CASE WHEN moment IS NULL THEN ?14 ELSE meter_serial END, "
                      "changed = ?15, revision = ?16 WHERE session = ?1 AND position = ?2")
                         .constData()) {}
    Statement begin;
    Statement commit;
    Statement rollback;
    Statement revision;
    Statement shiftUp;
    Statement insert;
    Statement remove;
    Statement shiftDown;
    Statement setRow;
};

Journal::Journal(const QString& path, int busyTimeoutMs) : path_(path), db_(path) {
    check(db_.handle(), sqlite3_busy_timeout(db_.handle(), busyTimeoutMs), SQLITE_OK);
    const int version = knownJournalVersion(db_);
    // Each commit is on disk before it returns, and a crash loses no committed transaction.
    {
        Statement mode(db_.handle(), "PRAGMA journal_mode = WAL");
        if (!mode.step() || mode.text(0).compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0) {
            check(db_.handle(), SQLITE_READONLY, SQLITE_OK);
        }
    }
    db_.execute("PRAGMA synchronous = FULL");
    // A run that is killed leaves its write-ahead log, which the next start reads whole; kept
    // small, it costs that start little (checkpoints every 1 MiB, truncated back to 1 MiB).
    db_.execute("PRAGMA wal_autocheckpoint = 256; PRAGMA journal_size_limit = 1048576");
    if (version != kSchemaVersion) {
        prepareSchema();
    } else {
        db_.execute(kHistoryIndexSql);
    }
    statements_ = std::make_unique<Statements>(db_.handle());
}

Journal::~Journal() = default;

void Journal::prepareSchema() {
    // Under the write lock, so that of two programs starting at once only one makes or
    // upgrades the schema; the other finds it done.
    db_.execute("BEGIN IMMEDIATE");
    try {
        const int version = knownJournalVersion(db_);
        if (version == 0) {
            db_.execute(kSchemaSql);
            db_.execute(kHistoryIndexSql);
            db_.execute(QByteArray("PRAGMA application_id = ")
                            .append(QByteArray::number(kApplicationId))
                            .append("; PRAGMA user_version = ")
                            .append(QByteArray::number(kSchemaVersion))
                            .constData());
        } else if (version == kTextSchemaVersion) {
            upgradeCopy_ = upgradeTextSchema(db_, path_);
        }
        db_.execute("COMMIT");
    } catch (...) {
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void Journal::begin() {
    statements_->begin.run();
    revision_ = 0;
}

void Journal::commit() {
    statements_->commit.run();
    revision_ = 0;
}

void Journal::rollback() {
    revision_ = 0;
    if (!sqlite3_get_autocommit(db_.handle())) {
        statements_->rollback.run();
    }
}

qint64 Journal::revision() {
    // Outside a transaction each statement is one, and another program may write in between.
    if (revision_ == 0 || sqlite3_get_autocommit(db_.handle())) {
        Statement& next = statements_->revision;
        revision_ = next.restart().step() ? next.integer(0) : 1;
        next.restart();
    }
    return revision_;
}

qint64 Journal::startSession(const ProcessIdentity& identity) {
    Statement insert(db_.handle(),
                     "INSERT INTO session (uuid, host, started, process, boot, process_started, "
                     "revision) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    insert.bind(1, newId()).bind(2, QSysInfo::machineHostName()).bind(3, now());
    insert.bind(4, identity.process).bind(5, identity.boot).bind(6, identity.started);
    insert.bind(7, revision()).run();
    return sqlite3_last_insert_rowid(db_.handle());
}

void Journal::closeSession(qint64 session) {
    Statement close(db_.handle(), "UPDATE session SET closed = ?2, revision = ?3 WHERE id = ?1");
    close.bind(1, session).bind(2, now()).bind(3, revision()).run();
}

std::vector<qint64> Journal::abandonedSessions(qint64 own) {
    Statement open(db_.handle(), "SELECT id, process, boot, process_started FROM session "
                                 "WHERE closed IS NULL AND id <> ?1 ORDER BY id");
    open.bind(1, own);
    std::vector<qint64> abandoned;
    while (open.step()) {
        const ProcessIdentity owner{open.integer(1), open.text(2), open.text(3)};
        if (!owner.isRunning()) {
            abandoned.push_back(open.integer(0));
        }
    }
    return abandoned;
}

void Journal::takeOver(qint64 abandoned, qint64 session, int position, int rows) {
    const qint64 stamp = revision();
    Statement move(db_.handle(), "UPDATE measurement_row SET session = ?2, "
                                 "position = position + ?3, revision = ?5 "
                                 "WHERE session = ?1 AND position < ?4");
    move.bind(1, abandoned).bind(2, session).bind(3, position).bind(4, rows).bind(5, stamp).run();
    Statement drop(db_.handle(), "UPDATE measurement_row SET position = NULL, deleted = ?2, "
                                 "revision = ?3 WHERE session = ?1 AND position IS NOT NULL");
    drop.bind(1, abandoned).bind(2, now()).bind(3, stamp).run();
    Statement close(db_.handle(), "UPDATE session SET closed = ?3, restored_into = ?2, "
                                  "revision = ?4 WHERE id = ?1");
    close.bind(1, abandoned).bind(2, session).bind(3, now()).bind(4, stamp).run();
}

void Journal::insertRows(qint64 session, int position, int count) {
    const qint64 stamp = revision();
    statements_->shiftUp.restart().bind(1, session).bind(2, position).bind(3, count);
    statements_->shiftUp.bind(4, stamp).run();
    const QString time = now();
    Statement& insert = statements_->insert;
    for (int i = 0; i < count; ++i) {
        insert.restart().bind(1, newId()).bind(2, session).bind(3, position + i).bind(4, time);
        insert.bind(5, stamp).run();
    }
}

void Journal::removeRows(qint64 session, int position, int count) {
    const qint64 stamp = revision();
    Statement& remove = statements_->remove;
    remove.restart().bind(1, session).bind(2, position).bind(3, count).bind(4, now());
    remove.bind(5, stamp).run();
    statements_->shiftDown.restart().bind(1, session).bind(2, position).bind(3, count);
    statements_->shiftDown.bind(4, stamp).run();
}

void Journal::setRow(qint64 session, int position, const TableRow& row,
                     const QString& meterSerial) {
    Statement& set = statements_->setRow;
    set.restart().bind(1, session).bind(2, position);
    bindRow(set, 3, row);
    set.bind(14, meterSerial).bind(15, now()).bind(16, revision()).run();
}

void Journal::setNumberList(qint64 session, const NumberListState& state) {
    Statement set(db_.handle(), "UPDATE session SET number_items = ?2, number_selected = ?3, "
                                "revision = ?4 WHERE id = ?1");
    set.bind(1, session).bind(2, itemsText(state.items)).bind(3, state.selected);
    set.bind(4, revision()).run();
}

std::optional<NumberListState> Journal::latestNumberList(const std::vector<qint64>& sessions) {
    Statement select(db_.handle(), "SELECT number_items, number_selected, revision FROM session "
                                   "WHERE id = ?1 AND number_items IS NOT NULL");
    std::optional<NumberListState> latest;
    qint64 latestRevision = 0;
    for (const qint64 session : sessions) {
        if (select.restart().bind(1, session).step() &&
            (!latest || select.integer(2) > latestRevision)) {
            latest = NumberListState{itemsOf(select.text(0)), static_cast<int>(select.integer(1))};
            latestRevision = select.integer(2);
        }
    }
    return latest;
}

std::vector<TableRow> Journal::table(qint64 session) {
    Statement select(db_.handle(), (QByteArray("SELECT ") + kRowColumns +
                                    " FROM measurement_row WHERE session = ?1 AND position IS NOT "
                                    "NULL ORDER BY position")
                                       .constData());
    select.bind(1, session);
    std::vector<TableRow> rows;
    while (select.step()) {
        rows.push_back(readRow(select, 0));
    }
    return rows;
}

} // namespace zr::journal
