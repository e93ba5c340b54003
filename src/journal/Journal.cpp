#include "journal/Journal.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <sqlite3.h>

namespace zr::journal {

namespace {

// "ZR60": marks the file as this program's journal.
constexpr qint64 kApplicationId = 0x5A523630;

QString now() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

QDateTime timeOf(const Statement& statement, int column) {
    return statement.isNull(column)
               ? QDateTime()
               : QDateTime::fromString(statement.text(column), Qt::ISODateWithMs);
}

QString firstLine(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readLine()).trimmed()
                                          : QString();
}

// Field 22 of /proc/<pid>/stat, the process's start in clock ticks after boot: a pid reused by
// another process has another start.
QString processStart(qint64 process) {
    const QString stat = firstLine(QStringLiteral("/proc/%1/stat").arg(process));
    // The command name in parentheses may hold spaces; the fields after it do not.
    const QStringList fields = stat.mid(stat.lastIndexOf(u')') + 2).split(u' ');
    return fields.size() > 19 ? fields.at(19) : QString();
}

QStringList cellsOf(const QString& json, int columns) {
    QStringList cells;
    const QJsonArray array = QJsonDocument::fromJson(json.toUtf8()).array();
    for (int c = 0; c < columns; ++c) {
        cells << (c < array.size() ? array.at(c).toString() : QString());
    }
    return cells;
}

} // namespace

ProcessIdentity ProcessIdentity::current() {
    const qint64 process = QCoreApplication::applicationPid();
    return {process, firstLine(QStringLiteral("/proc/sys/kernel/random/boot_id")),
            processStart(process)};
}

bool ProcessIdentity::isRunning() const {
    const ProcessIdentity self = current();
    return boot == self.boot && !started.isEmpty() && processStart(process) == started;
}

struct Journal::Statements {
    explicit Statements(sqlite3* db)
        : begin(db, "BEGIN IMMEDIATE"), commit(db, "COMMIT"), rollback(db, "ROLLBACK"),
          shiftUp(db, "UPDATE measurement_row SET position = position + ?3 "
                      "WHERE session = ?1 AND position >= ?2"),
          insert(db, "INSERT INTO measurement_row (session, position, written, cells) "
                     "VALUES (?1, ?2, ?3, ?4)"),
          remove(db, "UPDATE measurement_row SET position = NULL, deleted = ?4 "
                     "WHERE session = ?1 AND position >= ?2 AND position < ?2 + ?3"),
          shiftDown(db, "UPDATE measurement_row SET position = position - ?3 "
                        "WHERE session = ?1 AND position >= ?2 + ?3"),
          setRow(db, "UPDATE measurement_row SET cells = ?3, written = ?4 "
                     "WHERE session = ?1 AND position = ?2") {}
    Statement begin;
    Statement commit;
    Statement rollback;
    Statement shiftUp;
    Statement insert;
    Statement remove;
    Statement shiftDown;
    Statement setRow;
};

Journal::Journal(const QString& path, int columns, int busyTimeoutMs)
    : Journal(path, columns, busyTimeoutMs, Database::Access::ReadWrite) {}

std::unique_ptr<Journal> Journal::openForReading(const QString& path, int columns,
                                                 int busyTimeoutMs) {
    return std::unique_ptr<Journal>(
        new Journal(path, columns, busyTimeoutMs, Database::Access::ReadOnly));
}

Journal::Journal(const QString& path, int columns, int busyTimeoutMs, Database::Access access)
    : columns_(columns), db_(path, access) {
    emptyCells_ = QString::fromUtf8(
        QJsonDocument(QJsonArray::fromStringList(QStringList(columns_, QString())))
            .toJson(QJsonDocument::Compact));
    check(db_.handle(), sqlite3_busy_timeout(db_.handle(), busyTimeoutMs), SQLITE_OK);

    const qint64 version = db_.pragma("user_version");
    const qint64 application = db_.pragma("application_id");
    const qint64 objects = [this] {
        Statement count(db_.handle(), "SELECT count(*) FROM sqlite_schema");
        return count.step() ? count.integer(0) : 0;
    }();
    const bool readOnly = access == Database::Access::ReadOnly;
    // A reader has no schema to make: an empty file holds no history to show.
    const bool fresh = version == 0 && application == 0 && objects == 0 && !readOnly;
    if (!fresh && application != kApplicationId) {
        throw JournalRefused{JournalRefused::Reason::NotAJournal};
    }
    if (version > kSchemaVersion) {
        throw JournalRefused{JournalRefused::Reason::NewerVersion};
    }
    if (readOnly) {
        statements_ = std::make_unique<Statements>(db_.handle());
        return;
    }
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
    if (fresh) {
        createSchema();
    }
    statements_ = std::make_unique<Statements>(db_.handle());
}

Journal::~Journal() = default;

void Journal::createSchema() {
    db_.execute("BEGIN IMMEDIATE");
    try {
        db_.execute(
            "CREATE TABLE session (id INTEGER PRIMARY KEY, started TEXT NOT NULL, closed TEXT, "
            "process INTEGER NOT NULL, boot TEXT NOT NULL, process_started TEXT NOT NULL, "
            "restored_into INTEGER REFERENCES session(id));"
            "CREATE TABLE measurement_row (id INTEGER PRIMARY KEY, "
            "session INTEGER NOT NULL REFERENCES session(id), position INTEGER, "
            "written TEXT NOT NULL, deleted TEXT, cells TEXT NOT NULL);"
            "CREATE INDEX measurement_row_place ON measurement_row (session, position);");
        db_.execute(QByteArray("PRAGMA application_id = ")
                        .append(QByteArray::number(kApplicationId))
                        .append("; PRAGMA user_version = ")
                        .append(QByteArray::number(kSchemaVersion))
                        .constData());
        db_.execute("COMMIT");
    } catch (...) {
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void Journal::begin() {
    statements_->begin.run();
}

void Journal::commit() {
    statements_->commit.run();
}

void Journal::rollback() {
    if (!sqlite3_get_autocommit(db_.handle())) {
        statements_->rollback.run();
    }
}

qint64 Journal::startSession(const ProcessIdentity& identity) {
    Statement insert(db_.handle(), "INSERT INTO session (started, process, boot, process_started) "
                                   "VALUES (?1, ?2, ?3, ?4)");
    insert.bind(1, now()).bind(2, identity.process).bind(3, identity.boot);
    insert.bind(4, identity.started).run();
    return sqlite3_last_insert_rowid(db_.handle());
}

void Journal::closeSession(qint64 session) {
    Statement close(db_.handle(), "UPDATE session SET closed = ?2 WHERE id = ?1");
    close.bind(1, session).bind(2, now()).run();
}

std::optional<qint64> Journal::abandonedSession(qint64 own) {
    Statement open(db_.handle(), "SELECT id, process, boot, process_started FROM session "
                                 "WHERE closed IS NULL AND id <> ?1 ORDER BY id DESC");
    open.bind(1, own);
    while (open.step()) {
        const ProcessIdentity owner{open.integer(1), open.text(2), open.text(3)};
        if (!owner.isRunning()) {
            return open.integer(0);
        }
    }
    return std::nullopt;
}

void Journal::takeOver(qint64 abandoned, qint64 session) {
    Statement move(db_.handle(), "UPDATE measurement_row SET session = ?2 "
                                 "WHERE session = ?1 AND position IS NOT NULL");
    move.bind(1, abandoned).bind(2, session).run();
    Statement close(db_.handle(),
                    "UPDATE session SET closed = ?3, restored_into = ?2 WHERE id = ?1");
    close.bind(1, abandoned).bind(2, session).bind(3, now()).run();
}

void Journal::insertRows(qint64 session, int position, int count) {
    statements_->shiftUp.restart().bind(1, session).bind(2, position).bind(3, count).run();
    const QString time = now();
    Statement& insert = statements_->insert;
    for (int i = 0; i < count; ++i) {
        insert.restart().bind(1, session).bind(2, position + i).bind(3, time);
        insert.bind(4, emptyCells_).run();
    }
}

void Journal::removeRows(qint64 session, int position, int count) {
    statements_->remove.restart().bind(1, session).bind(2, position).bind(3, count);
    statements_->remove.bind(4, now()).run();
    statements_->shiftDown.restart().bind(1, session).bind(2, position).bind(3, count).run();
}

void Journal::setRow(qint64 session, int position, const QStringList& cells) {
    const QString json = QString::fromUtf8(
        QJsonDocument(QJsonArray::fromStringList(cells)).toJson(QJsonDocument::Compact));
    Statement& set = statements_->setRow;
    set.restart().bind(1, session).bind(2, position).bind(3, json).bind(4, now()).run();
}

std::vector<QStringList> Journal::table(qint64 session) {
    Statement select(db_.handle(), "SELECT cells FROM measurement_row "
                                   "WHERE session = ?1 AND position IS NOT NULL ORDER BY position");
    select.bind(1, session);
    std::vector<QStringList> rows;
    while (select.step()) {
        rows.push_back(cellsOf(select.text(0), columns_));
    }
    return rows;
}

std::vector<JournalSession> Journal::sessions() {
    Statement select(db_.handle(), "SELECT id, started, closed FROM session ORDER BY id");
    std::vector<JournalSession> sessions;
    while (select.step()) {
        sessions.push_back({select.integer(0), timeOf(select, 1), timeOf(select, 2)});
    }
    return sessions;
}

std::vector<JournalRow> Journal::rows(qint64 session) {
    Statement select(db_.handle(), "SELECT cells, written, deleted FROM measurement_row "
                                   "WHERE session = ?1 AND cells <> ?2 ORDER BY id");
    select.bind(1, session).bind(2, emptyCells_);
    std::vector<JournalRow> rows;
    while (select.step()) {
        rows.push_back({cellsOf(select.text(0), columns_), timeOf(select, 1), timeOf(select, 2)});
    }
    return rows;
}

} // namespace zr::journal
