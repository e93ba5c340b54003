#pragma once

#include "app/ServiceKeyCounter.h"
#include "common/MessageService.h"

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

class QActionGroup;
class QKeyEvent;
class QTabWidget;

namespace zr::ui {
class StatusPanels;
}
namespace zr::records {
class StoredValuesBlock;
class TablePage;
class ChartPage;
} // namespace zr::records
namespace zr::calibration {
class CalibrationListBlock;
}
namespace zr::session {
class MeterSession;
}
namespace zr::history {
class HistoryLauncher;
}

namespace zr::app {

class Dialogs;
class LiveDisplay;
class ResultsBlock;
class ServiceCommands;
class ServicePage;

// What the main window is given by the program (or a test).
struct MainWindowContext {
    // The link to the meter the window shows and drives.
    session::MeterSession& session;
    // The dialogs, built as they are first shown.
    Dialogs& dialogs;
    common::MessageService& messages;
    // The directory of the program's files; every file is opened by its path in it.
    QString dataDir;
    // Opens a document with the desktop's default viewer; false when that fails.
    std::function<bool(const QString& path)> openDocument;
};

// The main window: composes the blocks, shows the session's grids, status and
// traffic, and ties every control to its handler through the command table.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowContext context, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs the named handler inside the handler guard.
    void invokeHandler(const QString& name, int argument = 0);

    ui::StatusPanels* status() const { return status_; }
    QTabWidget* pageTabs() const { return pageTabs_; }
    int serviceKeyCount() const { return keyCounter_.value(); }
    ServicePage* servicePage() const { return servicePage_; }
    ResultsBlock* results() const { return results_; }
    // True while the newest status waits for the next frame of the live display.
    bool displayPending() const;

signals:
    // The user closed the window: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void showSession();
    void bindControls();
    void registerHandlers();

    void countServiceKey(QKeyEvent& event);
    void openUserGuide();
    void showAboutBox();

    MainWindowContext context_;
    session::MeterSession& session_;
    ServiceKeyCounter keyCounter_;

    // Widgets, owned by the window.
    records::StoredValuesBlock* storedValuesBlock_ = nullptr;
    calibration::CalibrationListBlock* calibrationListBlock_ = nullptr;
    ResultsBlock* results_ = nullptr;
    QTabWidget* pageTabs_ = nullptr;
    records::TablePage* tablePage_ = nullptr;
    ServicePage* servicePage_ = nullptr;
    records::ChartPage* chartPage_ = nullptr;
    ui::StatusPanels* status_ = nullptr;
    QActionGroup* methodItems_ = nullptr;

    std::unique_ptr<LiveDisplay> liveDisplay_;
    std::unique_ptr<ServiceCommands> serviceCommands_;
    std::unique_ptr<history::HistoryLauncher> historyLauncher_;
};

} // namespace zr::app
