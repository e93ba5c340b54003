#include "session/MeterSession.h"

#include "calibration/CalibrationList.h"
#include "calibration/Library.h"
#include "calibration/ManualCorrection.h"
#include "calibration/MeterCalibrations.h"
#include "calibration/Methods.h"
#include "common/FileAccess.h"
#include "device/connection/InputReportHandler.h"
#include "device/connection/MeterConnection.h"
#include "device/connection/MethodSelection.h"
#include "device/hid/HidDeviceController.h"
#include "device/protocol/CommandSender.h"
#include "journal/TableJournal.h"
#include "records/BusyCursor.h"
#include "records/Export.h"
#include "records/MeasurementTable.h"
#include "records/PrintReport.h"
#include "records/SelectionLists.h"
#include "records/StoredValues.h"

#include <QDir>

namespace zr::session {

MeterSession::MeterSession(hid::HidPlatform& hidPlatform, QString dataDir, SessionPorts ports,
                           FetchPolicy fetchPolicy, QObject* parent)
    : QObject(parent), dataDir_(std::move(dataDir)), ports_(std::move(ports)),
      guard_(ports_.messages) {
    hidController_ = new hid::HidDeviceController(hidPlatform, this);
    hidController_->setObjectName(QStringLiteral("HidController"));
    connectMeter();
    buildRecords();
    buildCalibration();
    routeReplies();
    registerOwnHandlers();

    // The controllers still arm the timers; on request only, their expiry asks nothing.
    if (fetchPolicy == FetchPolicy::OnTimers) {
        connect(&storedValuesTimer_, &common::OneShotTimer::expired, this,
                guard_.wrap([this] { storedValues_->fetchStoredValuesOnTimer(); }));
        connect(&calibrationListTimer_, &common::OneShotTimer::expired, this,
                guard_.wrap([this] { calibrationList_->requestCalibrationEntries(); }));
    }
}

MeterSession::~MeterSession() {
    delete hidController_;
    hidController_ = nullptr;
}

void MeterSession::connectMeter() {
    meter_ = std::make_unique<connection::MeterConnection>(
        *hidController_, state_,
        connection::MeterConnection::Events{
            [this](hid::HidDevice&, std::uint8_t, const std::uint8_t* payload, std::uint16_t size) {
                guard_.run([&] { handleMeterReport(payload, size); });
            },
            [this](const connection::MeterFacts& facts) {
                emit meterAttached(facts);
                calibrationListTimer_.enable();
                storedValuesTimer_.enable();
            },
            [this] { emit meterDetached(); },
            [this](const connection::MeterFacts& facts,
                   const connection::MeterAccessFailure& failure) {
                // Told once the scan that found the meter is over, not from inside it.
                QMetaObject::invokeMethod(
                    this, [this, facts, failure] { emit meterNotAccessible(facts, failure); },
                    Qt::QueuedConnection);
            }});
    hidController_->setOnArrival(
        [this](hid::HidDevice&) { guard_.run([this] { meter_->deviceArrived(); }); });
    hidController_->setOnRemoval(
        [this](hid::HidDevice& device) { guard_.run([&] { meter_->deviceRemoved(device); }); });

    commands_ = std::make_unique<protocol::CommandSender>(
        *meter_, [this](const std::string& line) { emit trafficLogLine(line); },
        [this] { emit commandRefusedWithoutMeter(); });
    commands_->setAfterSelectMethod([this] { calibrationListTimer_.enable(); });
}

common::GridModel& MeterSession::calibrationGrid() {
    return calibrationList_->model();
}

void MeterSession::handleMeterReport(const std::uint8_t* payload, std::uint16_t size) {
    inputReports_->handleInputReport(payload, size);
    // Only a status report is news of the live status: the answers to another program's
    // questions reach this reader too.
    if (protocol::replyCode(payload, size) == protocol::reply::kStatusReport) {
        if (const auto report = protocol::decodeStatusReport(payload, size)) {
            emit statusReport(*report);
        }
    }
}

connection::ControllerContext MeterSession::controllerContext() {
    return {state_, *commands_, ports_.messages};
}

records::WorkbookWriter MeterSession::workbookWriter() const {
    if (ports_.writeWorkbook) {
        return ports_.writeWorkbook;
    }
    return [](const records::MeasurementRows&, const QString&) {
        return records::WorkbookBytes{{}, QStringLiteral("no workbook writer in this program")};
    };
}

void MeterSession::buildRecords() {
    const connection::ControllerContext context = controllerContext();
    common::FileAccess& files = common::systemFiles();
    export_ = std::make_unique<records::Export>(
        records::Export::Ports{measurementGrid_, storedValuesGrid_, ports_.saveDialog,
                               workbookWriter(), files, ports_.busyCursor});
    printReport_ = std::make_unique<records::PrintReport>(
        context,
        records::PrintReport::Ports{measurementGrid_, ports_.printPreview, files, dataDir_});
    selectionLists_ = std::make_unique<records::SelectionLists>(
        context, dataDir_, records::SelectionLists::Input{ports_.askNumber, ports_.askText});
    measurementTable_ = std::make_unique<records::MeasurementTable>(
        measurementGrid_, *selectionLists_,
        [this] {
            const connection::ShownValue shown =
                connection::ShownCaptions::shownValue(state_.status);
            return records::MeasurementTable::LiveReading{captions_.methodCode(), shown.value,
                                                          shown.decimals};
        },
        records::MeasurementTable::Commands{[this] { export_->saveTable(); },
                                            [this] { printReport_->printTable(); }});
    storedValues_ = std::make_unique<records::StoredValues>(
        context, storedValuesGrid_, storedValuesTimer_, *measurementTable_,
        records::StoredValues::Progress{
            [this](const QString& text) { emit progressText(text); },
            [this](bool busy) { busy ? ports_.busyCursor.show() : ports_.busyCursor.restore(); }});

    export_->registerHandlers(handlers_);
    printReport_->registerHandlers(handlers_);
    measurementTable_->registerHandlers(handlers_);
    storedValues_->registerHandlers(handlers_);
    selectionLists_->registerHandlers(handlers_);
}

void MeterSession::buildCalibration() {
    const connection::ControllerContext context = controllerContext();
    meterCalibrations_ = std::make_unique<calibration::MeterCalibrations>();
    calibrationList_ = std::make_unique<calibration::CalibrationList>(
        context, *meterCalibrations_, calibrationListTimer_, [this] {
            if (ports_.openCalibrationLibrary) {
                ports_.openCalibrationLibrary();
            }
        });
    manualCorrection_ = std::make_unique<calibration::ManualCorrection>(context, [this] {
        if (ports_.openManualCorrection) {
            ports_.openManualCorrection();
        }
    });
    library_ = std::make_unique<calibration::Library>(
        context, *meterCalibrations_, common::systemFiles(),
        QDir(dataDir_).filePath(QString::fromLatin1(calibration::kLibraryFileName)),
        ports_.libraryDialogs);

    calibrationList_->registerHandlers(handlers_);
    manualCorrection_->registerHandlers(handlers_);
}

void MeterSession::routeReplies() {
    inputReports_ = std::make_unique<connection::InputReportHandler>(
        state_, connection::InputReportRoutes{
                    [this](const std::string& line) { emit trafficLogLine(line); },
                    [this] { calibrationListTimer_.enable(); },
                    [this](const protocol::StoredValuesPage& page) {
                        storedValues_->receiveStoredValuesPage(page);
                        if (const auto records = storedValuesFetch_.receive(page)) {
                            emit storedValuesFetched(*records);
                        }
                    },
                    [this](std::uint8_t value) { emit serviceByteRead(value); },
                    [this](const protocol::CalibrationSlot& entry) {
                        calibrationList_->receiveCalibrationSlot(entry);
                        if (const auto entries = calibrationListFetch_.receive(entry)) {
                            emit calibrationListFetched(calibrationListFetch_.method(), *entries);
                        }
                    },
                    [this] {
                        captions_.follow(state_.status);
                        emit reportHandled();
                    },
                });
}

void MeterSession::registerOwnHandlers() {
    const std::pair<const char*, int> methodItems[] = {
        {"selectResearchMethod", 1}, {"selectMotorMethod", 2}, {"selectCetaneMethod", 3}};
    for (const auto& [name, method] : methodItems) {
        handlers_.add(name, [this, method = method](int) { selectMethod(method); });
    }
}

void MeterSession::fetchStoredValues() {
    guard_.run([this] {
        const bool awaited = storedValuesFetch_.begin(state_.status.dataCount);
        storedValues_->fetchStoredValues();
        if (!awaited) {
            // The meter holds none, and pages are dropped while the count says so.
            QMetaObject::invokeMethod(
                this, [this] { emit storedValuesFetched({}); }, Qt::QueuedConnection);
        }
    });
}

void MeterSession::fetchCalibrationList(int method) {
    if (!calibration::isCalibratedMethod(method)) {
        // Such a method has no slots to ask for.
        QMetaObject::invokeMethod(
            this, [this, method] { emit calibrationListFetched(method, {}); },
            Qt::QueuedConnection);
        return;
    }
    guard_.run([this, method] {
        calibrationListFetch_.begin(method);
        calibrationList_->requestCalibrationEntries(method);
    });
}

void MeterSession::selectMethod(int method) {
    guard_.run([this, method] {
        connection::ControllerContext context = controllerContext();
        connection::selectMethod(context, method);
    });
}

void MeterSession::start() {
    guard_.run([this] {
        state_.deviceList.clear();
        // Views only schedule a repaint on a change, so each change is on disk before it shows.
        journal::TableJournal::Options journalOptions;
        journalOptions.meterSerial = [this] {
            return state_.currentDevice ? state_.currentDevice->serialString() : QString();
        };
        tableJournal_ = std::make_unique<journal::TableJournal>(
            measurementGrid_, ports_.messages,
            QDir(dataDir_).filePath(QString::fromLatin1(journal::kJournalFileName)),
            std::move(journalOptions));

        selectionLists_->loadSelectionLists();
        // A journal from before the number list was kept gives none back: the number then goes
        // on after the restored table's highest.
        if (!tableJournal_->followNumberList(selectionLists_->list(1)) &&
            tableJournal_->restoredRows() > 0) {
            measurementTable_->continueNumberingAfterRestore();
        }
        calibrationListTimer_.enable();
        storedValuesTimer_.enable();
    });
    // The library is read even when the lists could not be.
    guard_.run([this] {
        library_->model().setCurrentRow(0);
        library_->reload();
    });
}

void MeterSession::finish() {
    guard_.run([this] {
        meter_->releaseDeviceList();
        selectionLists_->saveSelectionLists();
        if (tableJournal_) {
            tableJournal_->closeSession();
        }
    });
}

bool MeterSession::invokeHandler(const QString& name, int argument) {
    const common::HandlerRegistry::Handler* handler = handlers_.find(name);
    if (!handler) {
        return false;
    }
    guard_.run([&] { (*handler)(argument); });
    return true;
}

} // namespace zr::session
