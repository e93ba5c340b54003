#pragma once

#include "common/GridModel.h"
#include "common/HandlerGuard.h"
#include "common/HandlerRegistry.h"
#include "common/OneShotTimer.h"
#include "device/connection/ControllerContext.h"
#include "device/connection/LiveStatus.h"
#include "device/connection/MeterFacts.h"
#include "device/connection/SharedState.h"
#include "device/protocol/Replies.h"
#include "records/MeasurementTableModel.h"
#include "records/StoredValuesModel.h"
#include "session/CalibrationListFetch.h"
#include "session/SessionPorts.h"
#include "session/StoredValuesFetch.h"

#include <QList>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>

namespace zr::hid {
class HidDeviceController;
class HidPlatform;
} // namespace zr::hid
namespace zr::protocol {
class CommandSender;
}
namespace zr::connection {
class InputReportHandler;
class MeterConnection;
} // namespace zr::connection
namespace zr::records {
class Export;
class MeasurementTable;
class PrintReport;
class SelectionLists;
class StoredValues;
} // namespace zr::records
namespace zr::journal {
class TableJournal;
}
namespace zr::calibration {
class CalibrationList;
class Library;
class ManualCorrection;
class MeterCalibrations;
} // namespace zr::calibration

namespace zr::session {

// Who asks the meter for its stored values and calibration list: the window reads them on its
// own timers (after an arrival, a method change, a stored value), a tool only when it asks.
enum class FetchPolicy { OnTimers, OnRequest };

// The program's link to the meter, without widgets: the HID controller, the shared state, the
// connection, the command sender and the reply routes, the two timers, the handlers by name and
// the controllers of the records and the calibrations with the grids they fill. A window shows
// and drives it; a program without one (a test, a tool) can run it alone.
class MeterSession : public QObject {
    Q_OBJECT
public:
    MeterSession(hid::HidPlatform& hidPlatform, QString dataDir, SessionPorts ports,
                 FetchPolicy fetchPolicy = FetchPolicy::OnTimers, QObject* parent = nullptr);
    ~MeterSession() override;

    // Heads the grids, opens the table's journal, reads the selection lists and the library and
    // arms both timers. A session that only answers requests needs neither this nor finish().
    void start();
    // Lets the devices go, writes the selection lists back and closes the journal's session.
    void finish();

    // Asks the meter for its stored values as the window's fetch does, for the count of the
    // live status; storedValuesFetched follows.
    void fetchStoredValues();
    // Asks the meter for the four calibration slots of `method` (1 to 3), whatever method is in
    // force; calibrationListFetched follows.
    void fetchCalibrationList(int method);
    // Switches the measuring method as the method menu does.
    void selectMethod(int method);

    // Runs the named handler inside the handler guard; false when no handler has that name.
    bool invokeHandler(const QString& name, int argument = 0);
    common::HandlerRegistry& handlers() { return handlers_; }
    const common::HandlerGuard& guard() const { return guard_; }

    connection::SharedState& state() { return state_; }
    connection::ControllerContext controllerContext();
    protocol::CommandSender& commands() { return *commands_; }
    common::OneShotTimer& storedValuesTimer() { return storedValuesTimer_; }
    common::OneShotTimer& calibrationListTimer() { return calibrationListTimer_; }

    // The models of the grids the controllers fill, for views to show.
    records::MeasurementTableModel& measurementGrid() { return measurementGrid_; }
    records::StoredValuesModel& storedValuesGrid() { return storedValuesGrid_; }
    // The rows of the meter's calibration list, as its grid shows them.
    common::GridModel& calibrationGrid();

    records::SelectionLists& selectionLists() { return *selectionLists_; }
    calibration::MeterCalibrations& meterCalibrations() { return *meterCalibrations_; }
    calibration::CalibrationList& calibrationList() { return *calibrationList_; }
    calibration::ManualCorrection& manualCorrection() { return *manualCorrection_; }
    calibration::Library& library() { return *library_; }

signals:
    // The meter was claimed: once it is found, and again on every arrival of any device while
    // it stays attached.
    void meterAttached(const zr::connection::MeterFacts& meter);
    // The meter itself was removed.
    void meterDetached();
    // The meter is attached but may not be opened read-write: once per arrival of the meter,
    // after the scan that found it.
    void meterNotAccessible(const zr::connection::MeterFacts& meter,
                            const zr::connection::MeterAccessFailure& failure);
    // A command found no meter attached and was not sent.
    void commandRefusedWithoutMeter();
    // A status report of the meter, state().status once it has taken it.
    void statusReport(const zr::protocol::StatusReport& status);
    // Any report of the meter that was not dropped: the live display shows state().status
    // again, the calibration in force by its name in the calibration grid.
    void reportHandled();
    // Panel 0 of the status bar during a long fetch, to be painted at once.
    void progressText(const QString& text);
    // One line of the traffic log.
    void trafficLogLine(const std::string& line);
    // The byte the service page asked for.
    void serviceByteRead(std::uint8_t value);
    // What fetchStoredValues() asked for: the records the meter holds, in number order.
    void storedValuesFetched(const QList<zr::protocol::StoredValueRecord>& records);
    // What fetchCalibrationList() asked for: the occupied slots of `method`, in slot order.
    void calibrationListFetched(int method, const QList<zr::protocol::CalibrationSlot>& entries);

private:
    void connectMeter();
    void handleMeterReport(const std::uint8_t* payload, std::uint16_t size);
    void buildRecords();
    records::WorkbookWriter workbookWriter() const;
    void buildCalibration();
    void routeReplies();
    void registerOwnHandlers();

    QString dataDir_;
    SessionPorts ports_;
    common::HandlerGuard guard_;
    connection::SharedState state_;
    common::HandlerRegistry handlers_;
    common::OneShotTimer storedValuesTimer_{1500};
    common::OneShotTimer calibrationListTimer_{1000};
    connection::ShownCaptions captions_;
    StoredValuesFetch storedValuesFetch_;
    CalibrationListFetch calibrationListFetch_;

    records::MeasurementTableModel measurementGrid_;
    records::StoredValuesModel storedValuesGrid_;

    // Deleted first: readers of devices still claimed stop before what they report to goes.
    hid::HidDeviceController* hidController_ = nullptr;
    std::unique_ptr<connection::MeterConnection> meter_;
    std::unique_ptr<protocol::CommandSender> commands_;

    std::unique_ptr<records::MeasurementTable> measurementTable_;
    std::unique_ptr<records::StoredValues> storedValues_;
    std::unique_ptr<records::SelectionLists> selectionLists_;
    std::unique_ptr<records::Export> export_;
    std::unique_ptr<records::PrintReport> printReport_;
    std::unique_ptr<calibration::MeterCalibrations> meterCalibrations_;
    std::unique_ptr<calibration::CalibrationList> calibrationList_;
    std::unique_ptr<calibration::ManualCorrection> manualCorrection_;
    std::unique_ptr<calibration::Library> library_;
    // Made by start(): the measurement table kept on disk as it changes.
    std::unique_ptr<journal::TableJournal> tableJournal_;

    // Made last: it routes the meter's replies to the controllers.
    std::unique_ptr<connection::InputReportHandler> inputReports_;
};

} // namespace zr::session
