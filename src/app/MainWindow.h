#pragma once

#include "app/ServiceKeyCounter.h"
#include "common/OneShotTimer.h"
#include "device/connection/InputReportHandler.h"
#include "device/connection/LiveDisplay.h"
#include "device/connection/MeterConnection.h"
#include "device/connection/SharedState.h"
#include "device/protocol/CommandSender.h"
#include "ui/HandlerGuard.h"

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

class QActionGroup;
class QFileDialog;
class QKeyEvent;
class QTabWidget;

namespace zr::ui {
class StatusPanels;
class StringGrid;
} // namespace zr::ui
namespace zr::records {
class StoredValuesBlock;
class TablePage;
class ChartPage;
} // namespace zr::records
namespace zr::calibration {
class CalibrationListBlock;
}
namespace zr::connection {
class ResultsBlock;
}
namespace zr::hid {
class HidDeviceController;
class HidPlatform;
} // namespace zr::hid

namespace zr::app {

class ServicePage;
struct Dialogs;

// What the main window is given by the program (or a test).
struct MainWindowContext {
    ui::MessageService& messages;
    // The HID services the window's HID controller works on.
    hid::HidPlatform& hidPlatform;
    // The directory of the program's files; made current by FormCreate.
    QString dataDir;
    // Opens a document with the desktop's default viewer; false when that fails.
    std::function<bool(const QString& path)> openDocument;
};

// TZR6040USB, the main window: owns the shared state, composes the blocks and ties every
// control to its handler through the command table.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowContext context, QWidget* parent = nullptr);
    ~MainWindow() override;

    void setDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }

    // Runs the named handler inside the handler guard.
    void invokeHandler(const QString& name, int argument = 0);

    connection::SharedState& state() { return state_; }
    ui::StatusPanels* status() const { return status_; }
    QTabWidget* pageControl() const { return pageControl1_; }
    common::OneShotTimer& timerReadLog() { return timerReadLog_; }
    common::OneShotTimer& timerReadTable() { return timerReadTable_; }
    QFileDialog* saveDialog() const { return saveDialog_; }
    int serviceKeyCount() const { return keyCounter_.value(); }
    hid::HidDeviceController& hidController() { return *hidController_; }
    protocol::CommandSender& commands() { return commands_; }
    ServicePage* servicePage() const { return servicePage_; }
    connection::ResultsBlock* results() const { return results_; }
    // Appends one line to the traffic log.
    void AppendLogLine(const std::string& line);

signals:
    // Emitted as a handler starts; lets tests see which handler a control runs.
    void handlerInvoked(const QString& name, int argument);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void buildMenus();
    void buildSaveDialog();
    void registerHandlers();
    void handler(const char* name, std::function<void(int)> body);

    void FormCreate();
    void FormClose();
    void FormKeyPress(QKeyEvent& event);
    void LoadSelectionLists();
    void SaveSelectionLists();
    void N29Click();
    void N30Click();
    void TimerReadLogTimer();
    void TimerReadTableTimer();
    void selectMethodFromMenu(int method);
    void refreshLiveDisplay();
    void Button1Click();
    void Button2Click();
    void Button3Click();

    MainWindowContext context_;
    ui::HandlerGuard guard_;
    connection::SharedState state_;
    hid::HidDeviceController* hidController_ = nullptr;
    std::unique_ptr<connection::MeterConnection> meter_;
    protocol::CommandSender commands_;
    connection::InputReportHandler inputReports_;
    std::unique_ptr<connection::LiveDisplay> liveDisplay_;
    ServiceKeyCounter keyCounter_;
    std::unordered_map<QString, std::function<void(int)>> handlers_;
    Dialogs* dialogs_ = nullptr;

    records::StoredValuesBlock* storedValues_ = nullptr;
    calibration::CalibrationListBlock* calibrationList_ = nullptr;
    connection::ResultsBlock* results_ = nullptr;
    QTabWidget* pageControl1_ = nullptr;
    records::TablePage* tablePage_ = nullptr;
    ServicePage* servicePage_ = nullptr;
    records::ChartPage* chartPage_ = nullptr;
    ui::StatusPanels* status_ = nullptr;
    QWidget* web_ = nullptr;
    QActionGroup* methodItems_ = nullptr;
    QFileDialog* saveDialog_ = nullptr;
    common::OneShotTimer timerReadLog_{1500};
    common::OneShotTimer timerReadTable_{1000};
};

} // namespace zr::app
