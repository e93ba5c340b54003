#pragma once

#include "ctl/Invocation.h"
#include "ctl/MeterLink.h"
#include "ctl/RecordWriter.h"
#include "ctl/ServerAccess.h"

#include <QDateTime>
#include <QEventLoop>
#include <QLocale>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

namespace zr::ctl {

// Runs one command of zr6040ctl against the meter and writes its output; returns the exit
// status (ExitStatus).
class CommandRunner : public QObject {
    Q_OBJECT
public:
    struct Io {
        OutputSink out;
        OutputSink err;
        // The local time a watch line is stamped with.
        std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
        QLocale locale;
        // The library `library` reads when no file is given.
        QString defaultLibraryFile;
        // The journal `journal` reads when no file is given, and `sync` sends.
        QString defaultJournalFile;
        // The journal's server, for `sync` and `journal --server`.
        ServerAccess server;
    };

    CommandRunner(Invocation invocation, MeterLink& meter, Io io);

    // Blocks in its own event loop until the command is done.
    int run();
    // SIGINT or SIGTERM: watch ends after its last complete line with status 0, any other
    // command with status 1.
    void interrupt();

private:
    int runLibrary();
    int runList();
    int runJournal();
    int runSync();
    void onMeterFound();
    void onStatus(const protocol::StatusReport& status);
    void onStoredValues(const QList<protocol::StoredValueRecord>& records);
    void onCalibrations(const QList<protocol::CalibrationSlot>& entries);
    void watchLine(const protocol::StatusReport& status);
    void write(bool written);
    void error(const QString& text, int status);
    void finish(int status);
    void awaitReply();

    Invocation invocation_;
    MeterLink& meter_;
    Io io_;
    QEventLoop loop_;
    QTimer replyTimer_;
    std::optional<int> exitStatus_;
    bool found_ = false;
    bool fetching_ = false;
    int linesWritten_ = 0;
    std::optional<protocol::StatusReport> lastWritten_;
    std::unique_ptr<RecordWriter> writer_;
};

} // namespace zr::ctl
