#pragma once

#include "mirror/MirrorStatus.h"
#include "mirror/ServerLink.h"
#include "mirror/ServerSettings.h"

#include <QObject>
#include <QTimer>
#include <memory>

namespace zr::common {
class MessageService;
}

namespace zr::mirror {

class JournalChanges;
struct ChangeBatch;

struct MirrorOptions {
    // Rows sent in one statement, in whole transactions of the journal.
    int batchRows = 1000;
    // How long changes gather before they go: a burst of them is sent at once.
    int gatherMs = 50;
    // The wait after a failure, doubled at each failure in a row up to the longest.
    int firstRetryMs = 2000;
    int longestRetryMs = 60000;
    // A connection or a statement taking longer has failed (connecting without blocking, libpq
    // applies no connect_timeout of its own).
    int operationTimeoutMs = 30000;
    // How long the mirror waits for the journal's lock; the window's writes never wait for it.
    int busyTimeoutMs = 200;
};

// Sends every change of the journal to the PostgreSQL server in the background, after the
// journal has it on disk: sessions and rows upserted by their ids, a later state over an
// earlier one, so that each arrives once however often it is sent. What the server's database
// has committed is kept in the journal (JournalChanges); what it lacks waits there while it is
// away and goes, in order, when it is back. The server's schema is made or upgraded on first
// contact; a newer one is left alone and nothing is written. Nothing here blocks: the link
// answers from the event loop.
//
// An outage is reported once until the server has everything again; a server that is not to
// be used (a newer schema, unusable settings) once for the run.
class JournalMirror : public QObject {
    Q_OBJECT
public:
    enum class Mode {
        // The window: runs until destroyed, sending what the journal commits.
        Follow,
        // Sends what waits, then finishes; finishes at the first failure.
        SendOnce,
        // Reaches the server and reads its schema, sends nothing, then finishes.
        CheckOnly,
    };

    // `messages` may be null: then nothing is reported but the status.
    JournalMirror(QString journalPath, ServerSetting server, std::unique_ptr<ServerLink> link,
                  common::MessageService* messages, MirrorOptions options = {},
                  QObject* parent = nullptr);
    ~JournalMirror() override;

    void start(Mode mode = Mode::Follow);
    // The journal committed a change.
    void journalChanged();

    const MirrorStatus& status() const { return status_; }

signals:
    void statusChanged(const zr::mirror::MirrorStatus& status);
    // SendOnce and CheckOnly: done; the status says how it went.
    void finished();

private:
    bool openJournal();
    void connectToServer();
    void readSchema(bool prepared);
    void prepareSchema();
    void sendNext();
    void batchSent(qint64 through, int writtenRows);
    void fail(const ServerFailure& failure);
    void refuse(const QString& reason);
    void tellOnce(bool error, const QString& text);
    void setState(MirrorStatus::State state, const QString& reason = {});
    void countWaiting();
    void arm();
    void disarm();
    void finish();

    QString journalPath_;
    ServerSetting server_;
    std::unique_ptr<ServerLink> link_;
    common::MessageService* messages_;
    MirrorOptions options_;
    Mode mode_ = Mode::Follow;
    std::unique_ptr<JournalChanges> changes_;
    // The batch after the one the server is writing, read meanwhile.
    struct PreparedBatch;
    std::unique_ptr<PreparedBatch> next_;

    MirrorStatus status_;
    // The server's database, once reached.
    QString databaseId_;
    qint64 acknowledged_ = 0;
    bool ready_ = false;
    bool sending_ = false;
    bool done_ = false;
    bool outageTold_ = false;
    int retryMs_ = 0;

    QTimer gather_;
    QTimer retry_;
    QTimer operation_;
};

} // namespace zr::mirror
