#pragma once

#include "journal/ProcessIdentity.h"
#include "journal/Sqlite.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>
#include <optional>

namespace zr::journal::test {

// A journal as the program wrote it while it kept each row's shown texts: that program's schema
// and statements, as they were.
class TextSchemaJournal {
public:
    explicit TextSchemaJournal(const QString& path) : db_(path) {
        db_.execute("PRAGMA journal_mode = WAL");
        db_.execute(
            "CREATE TABLE session (id INTEGER PRIMARY KEY, started TEXT NOT NULL, closed TEXT, "
            "process INTEGER NOT NULL, boot TEXT NOT NULL, process_started TEXT NOT NULL, "
            "restored_into INTEGER REFERENCES session(id));"
            "CREATE TABLE measurement_row (id INTEGER PRIMARY KEY, "
            "session INTEGER NOT NULL REFERENCES session(id), position INTEGER, "
            "written TEXT NOT NULL, deleted TEXT, cells TEXT NOT NULL);"
            "CREATE INDEX measurement_row_place ON measurement_row (session, position);"
            "PRAGMA application_id = 1515337264; PRAGMA user_version = 1");
    }

    void begin() { db_.execute("BEGIN"); }
    void commit() { db_.execute("COMMIT"); }

    // `closed` empty: a session left open, by a run still going or one that crashed.
    qint64 addSession(const QString& started, const QString& closed,
                      const ProcessIdentity& identity) {
        Statement insert(db_.handle(), "INSERT INTO session (started, closed, process, boot, "
                                       "process_started) VALUES (?1, ?2, ?3, ?4, ?5)");
        insert.bind(1, started);
        if (closed.isEmpty()) {
            insert.bindNull(2);
        } else {
            insert.bind(2, closed);
        }
        insert.bind(3, identity.process).bind(4, identity.boot).bind(5, identity.started).run();
        return lastRow();
    }

    // A row at `position` of the session's table, or deleted at `deleted` (position -1).
    void addRow(qint64 session, int position, const QString& written, const QString& deleted,
                const QStringList& cells) {
        Statement insert(db_.handle(), "INSERT INTO measurement_row (session, position, written, "
                                       "deleted, cells) VALUES (?1, ?2, ?3, ?4, ?5)");
        insert.bind(1, session);
        if (position < 0) {
            insert.bindNull(2).bind(4, deleted);
        } else {
            insert.bind(2, position).bindNull(4);
        }
        insert.bind(3, written);
        insert.bind(
            5,
            QString::fromUtf8(
                QJsonDocument(QJsonArray::fromStringList(cells)).toJson(QJsonDocument::Compact)));
        insert.run();
    }

private:
    qint64 lastRow() {
        Statement last(db_.handle(), "SELECT last_insert_rowid()");
        return last.step() ? last.integer(0) : 0;
    }

    Database db_;
};

} // namespace zr::journal::test
