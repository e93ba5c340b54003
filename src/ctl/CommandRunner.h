#pragma once

#include "ctl/Invocation.h"
#include "ctl/MeterLink.h"
#include "ctl/RecordWriter.h"

#include <QDateTime>
#include <QDeadlineTimer>
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
        // Why `out` failed; empty when its reader went away (a closed pipe), which ends a command
        // quietly.
        std::function<QString()> outputError = [] { return QString(); };
        // Ends the output once the command is done; `complete`: it succeeded. false when that
        // failed, outputError() saying why.
        std::function<bool(bool complete)> endOutput = [](bool) { return true; };
        // The output continues a file that already has its header.
        bool continuesContent = false;
        // The local time a watch line is stamped with.
        std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
        QLocale locale;
        // The library `library` reads when no file is given.
        QString defaultLibraryFile;
        // The journal `journal` reads when no file is given.
        QString defaultJournalFile;
    };

    CommandRunner(Invocation invocation, MeterLink& meter, Io io);

    // Blocks in its own event loop until the command is done.
    int run();
    // SIGINT or SIGTERM: watch ends after its last complete line with status 0, any other
    // command with status 1.
    void interrupt();

private:
    int runCommand();
    int runOnMeter();
    int runLibrary();
    int runList();
    int runJournal();
    int concluded(int status);
    void onMeterFound(const connection::MeterFacts& meter);
    void onStatus(const protocol::StatusReport& status);
    void onStoredValues(const QList<protocol::StoredValueRecord>& records);
    void onCalibrations(const QList<protocol::CalibrationSlot>& entries);
    void watchLine(const protocol::StatusReport& status);
    FieldValue stamp() const;
    void writeInfo(std::optional<protocol::CalibrationSlot> calibration);
    // Sends a request and waits for its reply, sending it again when retries are left.
    void request(std::function<void()> send);
    void write(bool written);
    void error(const QString& text, int status);
    void finish(int status);
    void awaitReply();
    void replyOverdue();
    void startStopTimer();

    Invocation invocation_;
    MeterLink& meter_;
    Io io_;
    QEventLoop loop_;
    QTimer replyTimer_;
    // watch --duration / --until.
    QTimer stopTimer_;
    QDeadlineTimer stopAt_;
    std::optional<int> exitStatus_;
    // The errors written, for --json.
    QString errors_;
    // Standard error as it is, for the traffic lines.
    OutputSink traffic_;
    bool found_ = false;
    bool fetching_ = false;
    int retriesLeft_ = 0;
    std::function<void()> pending_;
    int linesWritten_ = 0;
    qint64 reports_ = 0;
    std::optional<protocol::StatusReport> lastWritten_;
    MeterDescription described_;
    std::unique_ptr<RecordWriter> writer_;
};

} // namespace zr::ctl
