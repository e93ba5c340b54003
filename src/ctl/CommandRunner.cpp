#include "ctl/CommandRunner.h"

#include "calibration/LibraryFile.h"
#include "common/FileAccess.h"
#include "ctl/CtlText.h"
#include "ctl/ExitStatus.h"
#include "ctl/IsoTime.h"
#include "ctl/JournalCommand.h"
#include "ctl/QcCommand.h"
#include "ctl/ServerJournalCommand.h"
#include "ctl/SyncCommand.h"
#include "device/protocol/Meter.h"

#include <algorithm>
#include <chrono>

namespace zr::ctl {

namespace {

// A timer runs at most this long at a time; a longer watch re-arms it.
constexpr qint64 kLongestTimerMs = 24LL * 3600 * 1000;

Layout layoutOf(Command command) {
    switch (command) {
    case Command::List:
        return meterLayout();
    case Command::Info:
        return infoLayout();
    case Command::Watch:
        return watchLayout();
    case Command::Stored:
        return storedValueLayout();
    case Command::Calibrations:
        return calibrationLayout();
    case Command::Library:
        return libraryLayout();
    case Command::Journal:
        return journalLayout();
    case Command::Sync:
        return syncLayout();
    case Command::Qc:
        return qcLayout();
    case Command::Status:
    case Command::Method:
        break;
    }
    return statusLayout();
}

QString notAccessibleText(const connection::MeterFacts& meter,
                          const connection::MeterAccessFailure& failure) {
    QString text = CtlText::tr("The ZR-6040 meter at %1 cannot be opened read-write: %2.")
                       .arg(meter.devicePath, qt_error_string(failure.systemError));
    if (failure.cause == connection::MeterAccessFailure::Cause::NoPermission) {
        text += QLatin1Char(' ') + CtlText::tr("Install the udev rule 70-zr6040.rules (see "
                                               "zr6040usb(1)) and plug the meter in again.");
    }
    return text;
}

QString noMeterText() {
    return CtlText::tr("No ZR-6040 meter is attached.");
}

bool calibrated(int method) {
    return method >= 1 && method <= protocol::meter::kCalibratedMethods;
}

} // namespace

CommandRunner::CommandRunner(Invocation invocation, MeterLink& meter, Io io)
    : invocation_(std::move(invocation)), meter_(meter), io_(std::move(io)) {
    // Every error is kept as well, for the JSON object that ends a failed --json run; the traffic
    // lines of --verbose are no errors.
    traffic_ = io_.err;
    io_.err = [this, err = io_.err](const QByteArray& bytes) {
        errors_ += QString::fromUtf8(bytes);
        return err(bytes);
    };
    writer_ = std::make_unique<RecordWriter>(invocation_.format, layoutOf(invocation_.command),
                                             io_.out, invocation_.header && !io_.continuesContent);
    replyTimer_.setSingleShot(true);
    connect(&replyTimer_, &QTimer::timeout, this, &CommandRunner::replyOverdue);
    stopTimer_.setSingleShot(true);
    connect(&stopTimer_, &QTimer::timeout, this, [this] {
        if (stopAt_.hasExpired()) {
            finish(kDone);
        } else {
            stopTimer_.start(
                std::chrono::milliseconds(std::min(stopAt_.remainingTime(), kLongestTimerMs)));
        }
    });
}

int CommandRunner::run() {
    return concluded(runCommand());
}

int CommandRunner::runCommand() {
    switch (invocation_.command) {
    case Command::Library:
        return runLibrary();
    case Command::List:
        return runList();
    case Command::Journal:
    case Command::Qc:
        return runJournal();
    case Command::Sync:
        return runSync();
    default:
        return runOnMeter();
    }
}

int CommandRunner::concluded(int status) {
    if (writer_->failed()) {
        // A reader that went away (a closed pipe) ends the command quietly; anything else that
        // kept the output from being written is an error.
        const QString reason = io_.outputError();
        if (reason.isEmpty()) {
            status = kDone;
        } else {
            io_.err(reason.toUtf8() + '\n');
            status = kError;
        }
    }
    if (!io_.endOutput(status == kDone) && status == kDone) {
        io_.err(io_.outputError().toUtf8() + '\n');
        status = kError;
    }
    if (status != kDone && invocation_.format == Format::Json && !errors_.isEmpty()) {
        io_.err(jsonErrorLine(errors_, status));
    }
    return status;
}

int CommandRunner::runOnMeter() {
    connect(&meter_, &MeterLink::meterFound, this, &CommandRunner::onMeterFound);
    connect(
        &meter_, &MeterLink::meterNotAccessible, this,
        [this](const connection::MeterFacts& meter, const connection::MeterAccessFailure& failure) {
            error(notAccessibleText(meter, failure), kMeterNotAccessible);
        });
    connect(&meter_, &MeterLink::noMeter, this, [this] { error(noMeterText(), kNoMeter); });
    connect(&meter_, &MeterLink::failed, this,
            [this](const QString& text) { error(text, kError); });
    connect(&meter_, &MeterLink::meterLost, this,
            [this] { error(CtlText::tr("The meter was unplugged."), kMeterLost); });
    connect(&meter_, &MeterLink::statusReceived, this, &CommandRunner::onStatus);
    connect(&meter_, &MeterLink::storedValuesFetched, this, &CommandRunner::onStoredValues);
    connect(&meter_, &MeterLink::calibrationsFetched, this, &CommandRunner::onCalibrations);
    if (invocation_.verbose) {
        connect(&meter_, &MeterLink::trafficLine, this,
                [this](const QString& line) { traffic_(line.toUtf8() + '\n'); });
    }
    startStopTimer();
    awaitReply();
    meter_.start();
    if (!exitStatus_) {
        loop_.exec();
    }
    replyTimer_.stop();
    stopTimer_.stop();
    disconnect(&meter_, nullptr, this, nullptr);
    return exitStatus_.value_or(kError);
}

void CommandRunner::startStopTimer() {
    if (invocation_.command != Command::Watch) {
        return;
    }
    std::optional<qint64> remaining;
    if (invocation_.durationMs > 0) {
        remaining = invocation_.durationMs;
    }
    if (invocation_.stopAt.isValid()) {
        const qint64 untilStop = std::max<qint64>(0, io_.now().msecsTo(invocation_.stopAt));
        remaining = remaining ? std::min(*remaining, untilStop) : untilStop;
    }
    if (remaining) {
        stopAt_.setRemainingTime(*remaining);
        stopTimer_.start(std::chrono::milliseconds(std::min(*remaining, kLongestTimerMs)));
    }
}

void CommandRunner::interrupt() {
    if (exitStatus_) {
        return;
    }
    if (invocation_.command == Command::Watch) {
        finish(kDone);
    } else {
        error(CtlText::tr("Interrupted."), kError);
    }
}

int CommandRunner::runLibrary() {
    const QString path =
        invocation_.libraryFile.isEmpty() ? io_.defaultLibraryFile : invocation_.libraryFile;
    const common::FileRead file =
        common::systemFiles().read(path, calibration::kMaxLibraryFileBytes);
    if (file.outcome == common::FileRead::Outcome::Absent) {
        io_.err(CtlText::tr("%1: no such file").arg(path).toUtf8() + '\n');
        return kError;
    }
    if (file.outcome == common::FileRead::Outcome::Failed) {
        io_.err(CtlText::tr("%1: %2").arg(path, file.error).toUtf8() + '\n');
        return kError;
    }
    QList<Record> records;
    for (const calibration::LibraryRecord& entry : calibration::parseLibrary(file.bytes)) {
        records << libraryRecord(entry);
    }
    return writer_->writeDocument(records) ? kDone : kError;
}

int CommandRunner::runJournal() {
    if (invocation_.fromServer) {
        return invocation_.command == Command::Qc
                   ? runServerQcCommand(invocation_, io_.server, io_.locale, *writer_, io_.err)
                   : runServerJournalCommand(invocation_, io_.server, io_.locale, *writer_,
                                             io_.err);
    }
    const QString path =
        invocation_.journalFile.isEmpty() ? io_.defaultJournalFile : invocation_.journalFile;
    return invocation_.command == Command::Qc
               ? runQcCommand(invocation_, path, io_.locale, *writer_, io_.err)
               : runJournalCommand(invocation_, path, io_.locale, *writer_, io_.err);
}

int CommandRunner::runSync() {
    return runSyncCommand(invocation_, io_.defaultJournalFile, io_.server, *writer_, io_.err);
}

int CommandRunner::runList() {
    QList<Record> records;
    for (const FoundMeter& meter : meter_.findMeters()) {
        records << meterRecord(meter);
    }
    if (records.isEmpty()) {
        io_.err(noMeterText().toUtf8() + '\n');
        return kNoMeter;
    }
    return writer_->writeDocument(records) ? kDone : kError;
}

void CommandRunner::awaitReply() {
    retriesLeft_ = invocation_.retries;
    pending_ = {};
    replyTimer_.start(invocation_.timeoutMs);
}

void CommandRunner::request(std::function<void()> send) {
    awaitReply();
    pending_ = std::move(send);
    pending_();
}

void CommandRunner::replyOverdue() {
    if (retriesLeft_ > 0) {
        --retriesLeft_;
        // A status report comes of itself: waiting again is all there is to do for one.
        if (pending_) {
            pending_();
        }
        replyTimer_.start(invocation_.timeoutMs);
        return;
    }
    error(found_ ? CtlText::tr("The meter did not reply in time.")
                 : CtlText::tr("The meter did not answer in time."),
          kNoReply);
}

void CommandRunner::onMeterFound(const connection::MeterFacts& meter) {
    found_ = true;
    described_.facts = meter;
    awaitReply();
    if (invocation_.command == Command::Method) {
        request([this] { meter_.selectMethod(invocation_.method); });
    } else if (invocation_.command == Command::Calibrations && invocation_.method != 0) {
        fetching_ = true;
        request([this] { meter_.fetchCalibrations(invocation_.method); });
    }
}

void CommandRunner::onStatus(const protocol::StatusReport& status) {
    if (exitStatus_) {
        return;
    }
    switch (invocation_.command) {
    case Command::Status:
        write(writer_->writeDocument({statusRecord(status, io_.locale)}, true));
        finish(kDone);
        return;
    case Command::Watch:
        awaitReply();
        watchLine(status);
        return;
    case Command::Method:
        if (status.method == invocation_.method) {
            write(writer_->writeDocument({statusRecord(status, io_.locale)}, true));
            finish(kDone);
        }
        return;
    case Command::Stored:
        // The count the fetch needs comes with the first status report.
        if (!fetching_) {
            fetching_ = true;
            request([this] { meter_.fetchStoredValues(); });
        }
        return;
    case Command::Calibrations:
        if (!fetching_) {
            if (!calibrated(status.method)) {
                error(CtlText::tr("The meter's method %1 holds no calibrations; "
                                  "choose one with --method.")
                          .arg(status.method),
                      kError);
                return;
            }
            fetching_ = true;
            request([this, method = status.method] { meter_.fetchCalibrations(method); });
        }
        return;
    case Command::Info:
        if (!fetching_) {
            fetching_ = true;
            described_.status = status;
            if (!calibrated(status.method) || status.activeTable < 1 ||
                status.activeTable > protocol::meter::kSlotsPerMethod) {
                writeInfo(std::nullopt);
                return;
            }
            request([this, method = status.method] { meter_.fetchCalibrations(method); });
        }
        return;
    case Command::List:
    case Command::Library:
    case Command::Journal:
    case Command::Sync:
    case Command::Qc:
        return;
    }
}

FieldValue CommandRunner::stamp() const {
    const QDateTime now = io_.now();
    switch (invocation_.timeStyle) {
    case TimeStyle::Utc:
        return isoTime(now.toMSecsSinceEpoch(), std::nullopt);
    case TimeStyle::Epoch:
        return static_cast<double>(now.toMSecsSinceEpoch()) / 1000.0;
    case TimeStyle::Local:
        break;
    }
    return isoLocalTime(now);
}

void CommandRunner::watchLine(const protocol::StatusReport& status) {
    ++reports_;
    if (invocation_.changesOnly && lastWritten_ && sameReading(*lastWritten_, status)) {
        return;
    }
    lastWritten_ = status;
    write(writer_->writeStreamed(watchRecord(status, io_.locale, stamp(), reports_)));
    ++linesWritten_;
    if (invocation_.count > 0 && linesWritten_ >= invocation_.count) {
        finish(kDone);
    }
}

void CommandRunner::onStoredValues(const QList<protocol::StoredValueRecord>& records) {
    if (exitStatus_ || invocation_.command != Command::Stored) {
        return;
    }
    QList<Record> out;
    for (const protocol::StoredValueRecord& record : records) {
        out << storedValueRecord(record, io_.locale);
    }
    write(writer_->writeDocument(out));
    finish(kDone);
}

void CommandRunner::onCalibrations(const QList<protocol::CalibrationSlot>& entries) {
    if (exitStatus_) {
        return;
    }
    if (invocation_.command == Command::Info) {
        const auto inForce =
            std::find_if(entries.cbegin(), entries.cend(), [this](const auto& entry) {
                return entry.slot == described_.status.activeTable;
            });
        writeInfo(inForce == entries.cend() ? std::nullopt : std::optional(*inForce));
        return;
    }
    if (invocation_.command != Command::Calibrations) {
        return;
    }
    QList<Record> out;
    for (const protocol::CalibrationSlot& entry : entries) {
        out << calibrationRecord(entry);
    }
    write(writer_->writeDocument(out));
    finish(kDone);
}

void CommandRunner::writeInfo(std::optional<protocol::CalibrationSlot> calibration) {
    described_.calibration = std::move(calibration);
    for (const FoundMeter& found : meter_.findMeters()) {
        if (found.devicePath == described_.facts.devicePath) {
            described_.usbPath = found.usbPath;
        }
    }
    write(writer_->writeDocument({infoRecord(described_)}, true));
    finish(kDone);
}

void CommandRunner::write(bool written) {
    // Nothing more can be written: concluded() tells a closed pipe from a failure.
    if (!written) {
        finish(kDone);
    }
}

void CommandRunner::error(const QString& text, int status) {
    if (exitStatus_) {
        return;
    }
    io_.err(text.toUtf8() + '\n');
    finish(status);
}

void CommandRunner::finish(int status) {
    if (exitStatus_) {
        return;
    }
    exitStatus_ = status;
    replyTimer_.stop();
    stopTimer_.stop();
    loop_.quit();
}

} // namespace zr::ctl
