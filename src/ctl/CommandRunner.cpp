#include "ctl/CommandRunner.h"

#include "calibration/LibraryFile.h"
#include "common/FileAccess.h"
#include "ctl/ExitStatus.h"
#include "ctl/JournalCommand.h"
#include "ctl/QcCommand.h"
#include "device/protocol/Meter.h"

namespace zr::ctl {

namespace {

Layout layoutOf(Command command) {
    switch (command) {
    case Command::List:
        return meterLayout();
    case Command::Watch:
        return statusLayout(true);
    case Command::Stored:
        return storedValueLayout();
    case Command::Calibrations:
        return calibrationLayout();
    case Command::Library:
        return libraryLayout();
    case Command::Journal:
        return journalLayout();
    case Command::Qc:
        return qcLayout();
    case Command::Status:
    case Command::Method:
        break;
    }
    return statusLayout(false);
}

QString notAccessibleText(const connection::MeterFacts& meter,
                          const connection::MeterAccessFailure& failure) {
    QString text = QStringLiteral("The ZR-6040 meter at %1 cannot be opened read-write: %2.")
                       .arg(meter.devicePath, qt_error_string(failure.systemError));
    if (failure.cause == connection::MeterAccessFailure::Cause::NoPermission) {
        text += QStringLiteral(" Install the udev rule 70-zr6040.rules (see zr6040usb(1)) and "
                               "plug the meter in again.");
    }
    return text;
}

} // namespace

CommandRunner::CommandRunner(Invocation invocation, MeterLink& meter, Io io)
    : invocation_(std::move(invocation)), meter_(meter), io_(std::move(io)) {
    writer_ =
        std::make_unique<RecordWriter>(invocation_.format, layoutOf(invocation_.command), io_.out);
    replyTimer_.setSingleShot(true);
    connect(&replyTimer_, &QTimer::timeout, this, [this] {
        error(found_ ? QStringLiteral("The meter did not reply in time.")
                     : QStringLiteral("The meter did not answer in time."),
              kNoReply);
    });
}

int CommandRunner::run() {
    if (invocation_.command == Command::Library) {
        return runLibrary();
    }
    if (invocation_.command == Command::List) {
        return runList();
    }
    if (invocation_.command == Command::Journal || invocation_.command == Command::Qc) {
        return runJournal();
    }
    connect(&meter_, &MeterLink::meterFound, this, &CommandRunner::onMeterFound);
    connect(
        &meter_, &MeterLink::meterNotAccessible, this,
        [this](const connection::MeterFacts& meter, const connection::MeterAccessFailure& failure) {
            error(notAccessibleText(meter, failure), kMeterNotAccessible);
        });
    connect(&meter_, &MeterLink::noMeter, this,
            [this] { error(QStringLiteral("No ZR-6040 meter is attached."), kNoMeter); });
    connect(&meter_, &MeterLink::failed, this,
            [this](const QString& text) { error(text, kError); });
    connect(&meter_, &MeterLink::meterLost, this,
            [this] { error(QStringLiteral("The meter was unplugged."), kMeterLost); });
    connect(&meter_, &MeterLink::statusReceived, this, &CommandRunner::onStatus);
    connect(&meter_, &MeterLink::storedValuesFetched, this, &CommandRunner::onStoredValues);
    connect(&meter_, &MeterLink::calibrationsFetched, this, &CommandRunner::onCalibrations);
    awaitReply();
    meter_.start();
    if (!exitStatus_) {
        loop_.exec();
    }
    replyTimer_.stop();
    disconnect(&meter_, nullptr, this, nullptr);
    return exitStatus_.value_or(kError);
}

void CommandRunner::interrupt() {
    if (exitStatus_) {
        return;
    }
    if (invocation_.command == Command::Watch) {
        finish(kDone);
    } else {
        error(QStringLiteral("Interrupted."), kError);
    }
}

int CommandRunner::runLibrary() {
    const QString path =
        invocation_.libraryFile.isEmpty() ? io_.defaultLibraryFile : invocation_.libraryFile;
    const common::FileRead file =
        common::systemFiles().read(path, calibration::kMaxLibraryFileBytes);
    if (file.outcome == common::FileRead::Outcome::Absent) {
        io_.err(QStringLiteral("%1: no such file\n").arg(path).toUtf8());
        return kError;
    }
    if (file.outcome == common::FileRead::Outcome::Failed) {
        io_.err(QStringLiteral("%1: %2\n").arg(path, file.error).toUtf8());
        return kError;
    }
    QList<Record> records;
    for (const calibration::LibraryRecord& entry : calibration::parseLibrary(file.bytes)) {
        records << libraryRecord(entry);
    }
    return writer_->writeDocument(records) ? kDone : kError;
}

int CommandRunner::runJournal() {
    const QString path =
        invocation_.journalFile.isEmpty() ? io_.defaultJournalFile : invocation_.journalFile;
    return invocation_.command == Command::Qc
               ? runQcCommand(invocation_, path, io_.locale, *writer_, io_.err)
               : runJournalCommand(invocation_, path, io_.locale, *writer_, io_.err);
}

int CommandRunner::runList() {
    QList<Record> records;
    for (const FoundMeter& meter : meter_.findMeters()) {
        records << meterRecord(meter);
    }
    if (records.isEmpty()) {
        io_.err(QByteArrayLiteral("No ZR-6040 meter is attached.\n"));
        return kNoMeter;
    }
    return writer_->writeDocument(records) ? kDone : kError;
}

void CommandRunner::awaitReply() {
    replyTimer_.start(invocation_.timeoutMs);
}

void CommandRunner::onMeterFound() {
    found_ = true;
    awaitReply();
    if (invocation_.command == Command::Method) {
        meter_.selectMethod(invocation_.method);
    } else if (invocation_.command == Command::Calibrations && invocation_.method != 0) {
        fetching_ = true;
        meter_.fetchCalibrations(invocation_.method);
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
            awaitReply();
            meter_.fetchStoredValues();
        }
        return;
    case Command::Calibrations:
        if (!fetching_) {
            if (status.method < 1 || status.method > protocol::meter::kCalibratedMethods) {
                error(QStringLiteral("The meter's method %1 holds no calibrations; "
                                     "choose one with --method.")
                          .arg(status.method),
                      kError);
                return;
            }
            fetching_ = true;
            awaitReply();
            meter_.fetchCalibrations(status.method);
        }
        return;
    case Command::List:
    case Command::Library:
    case Command::Journal:
    case Command::Qc:
        return;
    }
}

void CommandRunner::watchLine(const protocol::StatusReport& status) {
    if (invocation_.changesOnly && lastWritten_ && sameReading(*lastWritten_, status)) {
        return;
    }
    lastWritten_ = status;
    const QString time = isoLocalTime(io_.now());
    write(writer_->writeStreamed(statusRecord(status, io_.locale, time)));
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
    if (exitStatus_ || invocation_.command != Command::Calibrations) {
        return;
    }
    QList<Record> out;
    for (const protocol::CalibrationSlot& entry : entries) {
        out << calibrationRecord(entry);
    }
    write(writer_->writeDocument(out));
    finish(kDone);
}

void CommandRunner::write(bool written) {
    // A reader that went away (a closed pipe) ends the command quietly.
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
    loop_.quit();
}

} // namespace zr::ctl
