#pragma once

#include "app/ServiceKeyCounter.h"
#include "common/HandlerRegistry.h"
#include "common/OneShotTimer.h"
#include "device/connection/ControllerContext.h"
#include "device/connection/SharedState.h"
#include "ui/HandlerGuard.h"

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <string>

class QActionGroup;
class QFileDialog;
class QKeyEvent;
class QTabWidget;

namespace zr::ui {
class StatusPanels;
}
namespace zr::protocol {
class CommandSender;
}
namespace zr::connection {
class InputReportHandler;
class MeterConnection;
} // namespace zr::connection
namespace zr::records {
class StoredValuesBlock;
class TablePage;
class ChartPage;
class SaveDialog;
class StoredValues;
class MeasurementTable;
class SelectionLists;
class Export;
class PrintReport;
} // namespace zr::records
namespace zr::calibration {
class CalibrationListBlock;
class CalibrationList;
class ManualCorrection;
} // namespace zr::calibration
namespace zr::hid {
class HidDeviceController;
class HidPlatform;
} // namespace zr::hid

namespace zr::app {

class LiveDisplay;
class ResultsBlock;
class ServiceCommands;
class ServicePage;
struct Dialogs;

// What the main window is given by the program (or a test).
struct MainWindowContext {
    common::MessageService& messages;
    // The HID services the window's HID controller works on.
    hid::HidPlatform& hidPlatform;
    // The directory of the program's files; every file is opened by its path in it.
    QString dataDir;
    // Opens a document with the desktop's default viewer; false when that fails.
    std::function<bool(const QString& path)> openDocument;
};

// TZR6040USB, the main window: owns the shared state, composes the blocks and the subsystems'
// controllers, and ties every control to its handler through the command table.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowContext context, QWidget* parent = nullptr);
    ~MainWindow() override;

    void setDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }

    // Runs the named handler inside the handler guard.
    void invokeHandler(const QString& name, int argument = 0);

    connection::SharedState& state() { return state_; }
    const QString& dataDir() const { return context_.dataDir; }
    ui::StatusPanels* status() const { return status_; }
    QTabWidget* pageControl() const { return pageControl1_; }
    common::OneShotTimer& timerReadLog() { return timerReadLog_; }
    common::OneShotTimer& timerReadTable() { return timerReadTable_; }
    records::SaveDialog& saveDialog() { return *saveDialog_; }
    int serviceKeyCount() const { return keyCounter_.value(); }
    hid::HidDeviceController& hidController() { return *hidController_; }
    protocol::CommandSender& commands() { return *commands_; }
    ServicePage* servicePage() const { return servicePage_; }
    ResultsBlock* results() const { return results_; }
    // True while the newest status waits for the next frame of the live display.
    bool displayPending() const;
    // Appends one line to the traffic log.
    void AppendLogLine(const std::string& line);
    // The shared state, the way to the meter and to the user, for controllers and dialogs.
    connection::ControllerContext controllerContext();

signals:
    // Emitted as a handler starts; lets tests see which handler a control runs.
    void handlerInvoked(const QString& name, int argument);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void buildConnection();
    void bindRecords();
    void bindCalibration();
    void registerHandlers();

    void FormCreate();
    void FormClose();
    void FormKeyPress(QKeyEvent& event);
    void N29Click();
    void N30Click();

    MainWindowContext context_;
    ui::HandlerGuard guard_;
    connection::SharedState state_;
    common::HandlerRegistry handlers_;
    common::OneShotTimer timerReadLog_{1500};
    common::OneShotTimer timerReadTable_{1000};
    ServiceKeyCounter keyCounter_;
    Dialogs* dialogs_ = nullptr;

    // Widgets, owned by the window.
    records::StoredValuesBlock* storedValuesBlock_ = nullptr;
    calibration::CalibrationListBlock* calibrationListBlock_ = nullptr;
    ResultsBlock* results_ = nullptr;
    QTabWidget* pageControl1_ = nullptr;
    records::TablePage* tablePage_ = nullptr;
    ServicePage* servicePage_ = nullptr;
    records::ChartPage* chartPage_ = nullptr;
    ui::StatusPanels* status_ = nullptr;
    QWidget* web_ = nullptr;
    QActionGroup* methodItems_ = nullptr;
    std::unique_ptr<records::SaveDialog> saveDialog_;

    // The link to the meter, made once the widgets it reports to exist.
    hid::HidDeviceController* hidController_ = nullptr;
    std::unique_ptr<connection::MeterConnection> meter_;
    std::unique_ptr<protocol::CommandSender> commands_;
    std::unique_ptr<LiveDisplay> liveDisplay_;
    std::unique_ptr<ServiceCommands> serviceCommands_;

    // The subsystems' controllers.
    std::unique_ptr<records::MeasurementTable> measurementTable_;
    std::unique_ptr<records::StoredValues> storedValues_;
    std::unique_ptr<records::SelectionLists> selectionLists_;
    std::unique_ptr<records::Export> export_;
    std::unique_ptr<records::PrintReport> printReport_;
    std::unique_ptr<calibration::CalibrationList> calibrationList_;
    std::unique_ptr<calibration::ManualCorrection> manualCorrection_;

    // Made last: it routes the meter's replies to the controllers.
    std::unique_ptr<connection::InputReportHandler> inputReports_;
};

} // namespace zr::app
