#include "journal/TextSchema.h"

#include "journal/RowColumns.h"
#include "journal/Schema.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUuid>
#include <cerrno>
#include <sqlite3.h>
#include <unistd.h>

namespace zr::journal {

namespace {

constexpr const char* kPartialSuffix = ".partial";

QString newId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// A consistent copy of the journal, read through a connection of its own (the caller holds the
// write lock, which readers pass), first under a scratch name, then linked to a name no file
// has: an existing copy is never written over, and a kill leaves no half copy under that name.
QString keepCopy(const QString& path) {
    const QFileInfo info(path);
    const QString stem = info.fileName() + QStringLiteral(".schema1-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // The write lock is ours: a scratch copy left over (with its rollback journal) is from an
    // upgrade that was killed.
    for (const QString& stale :
         info.dir().entryList({info.fileName() + QStringLiteral(".schema1-*") +
                               QLatin1String(kPartialSuffix) + QLatin1Char('*')},
                              QDir::Files | QDir::Hidden)) {
        QFile::remove(info.dir().filePath(stale));
    }
    const QString scratch = info.dir().filePath(stem + QLatin1String(kPartialSuffix));
    {
        Database source(path, Database::Access::ReadOnly);
        source.execute("PRAGMA synchronous = FULL");
        Statement copy(source.handle(), "VACUUM INTO ?1");
        copy.bind(1, scratch).run();
    }
    const QByteArray from = QFile::encodeName(scratch);
    for (int n = 0;; ++n) {
        const QString name =
            info.dir().filePath(n == 0 ? stem : stem + QStringLiteral("-%1").arg(n));
        if (::link(from.constData(), QFile::encodeName(name).constData()) == 0) {
            ::unlink(from.constData());
            return name;
        }
        if (errno != EEXIST) {
            const int error = errno;
            ::unlink(from.constData());
            throw SqliteError(SqliteFailure{SQLITE_CANTOPEN, error, name});
        }
    }
}

void moveSessions(Database& db) {
    Statement select(db.handle(),
                     "SELECT id, started, closed, process, boot, process_started, restored_into "
                     "FROM session_schema1 ORDER BY id");
    Statement insert(db.handle(),
                     "INSERT INTO session (uuid, host, revision, id, started, closed, process, "
                     "boot, process_started, restored_into) "
                     "VALUES (?1, '', 1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    while (select.step()) {
        insert.restart().bind(1, newId());
        for (int column = 0; column < 7; ++column) {
            insert.bindFrom(column + 2, select, column);
        }
        insert.run();
    }
}

void moveRows(Database& db) {
    Statement select(db.handle(), "SELECT id, session, position, written, deleted, cells "
                                  "FROM measurement_row_schema1 ORDER BY id");
    Statement insert(db.handle(),
                     (QByteArray("INSERT INTO measurement_row (uuid, meter_serial, revision, id, "
                                 "session, position, changed, deleted, ") +
                      kRowColumns +
                      ") VALUES (?1, '', 1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, "
                      "?14, ?15, ?16, ?17)")
                         .constData());
    while (select.step()) {
        insert.restart().bind(1, newId());
        for (int column = 0; column < 5; ++column) {
            insert.bindFrom(column + 2, select, column);
        }
        bindRow(insert, 7, textSchemaRow(select.utf8(5), timeAt(select, 3)));
        insert.run();
    }
}

} // namespace

TableRow textSchemaRow(QByteArrayView cellsJson, const QDateTime& written) {
    QStringList cells;
    for (const QJsonValue& cell : QJsonDocument::fromJson(cellsJson.toByteArray()).array()) {
        cells << cell.toString();
    }
    return rowFromTexts(cells, written);
}

QString upgradeTextSchema(Database& db, const QString& path) {
    const QString copy = keepCopy(path);
    db.execute("DROP INDEX measurement_row_place;"
               "ALTER TABLE session RENAME TO session_schema1;"
               "ALTER TABLE measurement_row RENAME TO measurement_row_schema1;");
    db.execute(kSchemaSql);
    db.execute(kHistoryIndexSql);
    moveSessions(db);
    moveRows(db);
    db.execute(QByteArray("DROP TABLE measurement_row_schema1; DROP TABLE session_schema1;"
                          "PRAGMA user_version = ")
                   .append(QByteArray::number(kSchemaVersion))
                   .constData());
    return copy;
}

} // namespace zr::journal
