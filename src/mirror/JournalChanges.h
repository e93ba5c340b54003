#pragma once

#include "journal/Sqlite.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace zr::mirror {

// What of the journal a server still lacks, in the form it is sent (ServerSchema.h).
struct ChangeBatch {
    // JSON arrays of arrays.
    QByteArray sessions;
    QByteArray rows;
    int sessionCount = 0;
    int rowCount = 0;
    // Rows of it that are written (not empty entry rows): what the waiting count loses.
    int writtenRowCount = 0;
    // Once the server has committed the batch, it holds every change up to this revision.
    qint64 through = 0;
    bool isEmpty() const { return sessionCount == 0 && rowCount == 0; }
};

// The journal `journal.sqlite` as the mirror reads it, on a connection of its own, and the
// mirror's state kept in it (journal/Schema.h, made on first use): per server, the revision up
// to which that server's database holds everything.
class JournalChanges {
public:
    // The journal must exist and be of the typed schema, which the program makes on its first
    // start. Throws journal::SqliteError, journal::JournalRefused, or UntypedJournal.
    JournalChanges(const QString& path, int busyTimeoutMs);
    ~JournalChanges();
    JournalChanges(const JournalChanges&) = delete;
    JournalChanges& operator=(const JournalChanges&) = delete;

    // The revision the server `server` holds everything up to, as long as it is still the
    // database `databaseId` (a server whose database was made anew holds nothing); 0 for one
    // never reached. An empty `databaseId` takes whichever database was last reached there.
    qint64 acknowledged(const QString& server, const QString& databaseId = {});
    // The server's database committed everything up to `revision`.
    void acknowledge(const QString& server, const QString& databaseId, qint64 revision);

    // The changes after `revision`, oldest first, in whole transactions: about `rows` rows (more
    // when one transaction changed more), and every session changed after `revision`, which
    // the rows may name.
    ChangeBatch after(qint64 revision, int rows);

    // Written rows whose last change is after `revision`.
    qint64 waitingRows(qint64 revision);

private:
    struct Statements;

    journal::Database db_;
    std::unique_ptr<Statements> statements_;
};

// A journal of the text schema, which no server schema takes.
struct UntypedJournal {};

} // namespace zr::mirror
