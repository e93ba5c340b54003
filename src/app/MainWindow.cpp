#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/CommandTable.h"
#include "app/ConnectionTexts.h"
#include "app/Dialogs.h"
#include "app/LiveDisplay.h"
#include "app/MainMenu.h"
#include "app/ResultsBlock.h"
#include "app/ServiceCommands.h"
#include "app/ServicePage.h"
#include "calibration/CalibrationList.h"
#include "calibration/views/CalibrationListBlock.h"
#include "device/connection/MeterConnection.h"
#include "history/views/HistoryLauncher.h"
#include "mirror/MirrorStatus.h"
#include "program/DataDirectory.h"
#include "records/views/ChartPage.h"
#include "records/views/StoredValuesBlock.h"
#include "records/views/TablePage.h"
#include "session/MeterSession.h"
#include "ui/Fonts.h"
#include "ui/Icons.h"
#include "ui/KeyPreviewApplication.h"
#include "ui/LogView.h"
#include "ui/StatusPanels.h"
#include "ui/WindowPlacement.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>

namespace zr::app {

namespace {
constexpr int kClientWidth = 941;
constexpr int kClientHeight = 565;
} // namespace

MainWindow::MainWindow(MainWindowContext context, QWidget* parent)
    : QMainWindow(parent), context_(std::move(context)), session_(context_.session) {
    setObjectName(QStringLiteral("ZR6040USB"));
    setWindowTitle(QStringLiteral("ZR6040USB"));
    setWindowIcon(ui::icon(ui::IconKind::Program));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(ui::uiFont(11));

    buildLayout();
    showSession();
    methodItems_ = buildMainMenu(menuBar());
    registerHandlers();
    bindControls();

    // The client area is measured below the menu bar, as the layout was drawn.
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    move(349, 237);
    ui::keepOnScreen(this);

    if (auto* app = ui::KeyPreviewApplication::instance()) {
        app->addKeyPreview(this, [this](QKeyEvent& event) { countServiceKey(event); });
    }
}

MainWindow::~MainWindow() {
    // The session outlives the window: nothing it reports reaches the widgets going away.
    QObject::disconnect(&session_, nullptr, this, nullptr);
    if (auto* app = ui::KeyPreviewApplication::instance()) {
        app->removeKeyPreview(this);
    }
}

void MainWindow::showSession() {
    liveDisplay_ = std::make_unique<LiveDisplay>(
        LiveDisplayWidgets{*results_, *status_, *calibrationListBlock_->grid()},
        session_.shownCaptions());
    serviceCommands_ = std::make_unique<ServiceCommands>(session_.commands());
    historyLauncher_ = std::make_unique<history::HistoryLauncher>();

    connect(&session_, &session::MeterSession::meterAttached, this,
            [this](const connection::MeterFacts& meter) {
                status_->setPanelText(0, meterNameText(meter));
            });
    connect(&session_, &session::MeterSession::meterDetached, this,
            [this] { status_->setPanelText(0, QString()); });
    connect(&session_, &session::MeterSession::commandRefusedWithoutMeter, this, [this] {
        status_->setPanelText(0, QString::fromUtf8(connection::kMeterNotConnectedText));
    });
    connect(&session_, &session::MeterSession::meterNotAccessible, this,
            [this](const connection::MeterFacts&, const connection::MeterAccessFailure& failure) {
                context_.messages.inform(meterNotAccessibleText(failure));
            });
    connect(&session_, &session::MeterSession::progressText, this, [this](const QString& text) {
        status_->setPanelText(0, text);
        status_->repaint();
    });
    connect(&session_, &session::MeterSession::trafficLogLine, this,
            [this](const std::string& line) {
                servicePage_->log()->appendLine(std::string_view(line));
            });
    connect(&session_, &session::MeterSession::reportHandled, this,
            [this] { liveDisplay_->refresh(session_.state().status); });
    connect(&session_, &session::MeterSession::serviceByteRead, this, [this](std::uint8_t value) {
        servicePage_->byteValueEdit()->setText(QString::number(value));
    });
    connect(&session_, &session::MeterSession::mirrorStatusChanged, this,
            [this](const mirror::MirrorStatus& status) {
                servicePage_->showServerStatus(mirror::statusLine(status));
                historyLauncher_->showServerStatus(status);
            });

    tablePage_->bindLists(session_.selectionLists());
    calibrationListBlock_->setRowInForce(
        [this] { return session_.calibrationList().rowInForce(); });
}

void MainWindow::bindControls() {
    bindCommands(this,
                 [this](const QString& name, int argument) { invokeHandler(name, argument); });
    connect(tablePage_, &records::TablePage::listItemPicked, this,
            [this](int list) { invokeHandler(QStringLiteral("selectionListChosen%1").arg(list)); });
    connect(servicePage_->readStoredValuesButton(), &QPushButton::clicked, this,
            [this] { invokeHandler(QStringLiteral("readStoredValuesFromFirst")); });
    connect(servicePage_->readByteButton(), &QPushButton::clicked, this,
            [this] { invokeHandler(QStringLiteral("readByteAtAddress")); });
    connect(servicePage_->writeTestCalibrationButton(), &QPushButton::clicked, this,
            [this] { invokeHandler(QStringLiteral("writeTestCalibration")); });
}

void MainWindow::registerHandlers() {
    common::HandlerRegistry& handlers = session_.handlers();
    handlers.add("openUserGuide", [this](int) { openUserGuide(); });
    handlers.add("showAboutBox", [this](int) { showAboutBox(); });
    handlers.add("exitProgram", [this](int) { close(); });
    handlers.add("openHistoryWindow", [this](int) {
        const QString failure = historyLauncher_->open(this, context_.dataDir, context_.messages);
        if (!failure.isEmpty()) {
            context_.messages.showError(failure);
        }
    });
    handlers.add("readStoredValuesFromFirst",
                 [this](int) { serviceCommands_->readStoredValuesFromFirst(); });
    handlers.add("readByteAtAddress", [this](int) {
        serviceCommands_->readByteAtAddress(servicePage_->addressEdit()->text());
    });
    handlers.add("writeTestCalibration", [this](int) { serviceCommands_->writeTestCalibration(); });
}

void MainWindow::buildLayout() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    storedValuesBlock_ = new records::StoredValuesBlock(session_.storedValuesGrid(), client);
    storedValuesBlock_->move(1, 0);

    calibrationListBlock_ =
        new calibration::CalibrationListBlock(session_.calibrationGrid(), client);
    calibrationListBlock_->move(0, 280);

    results_ = new ResultsBlock(client);
    results_->move(276, -3);

    pageTabs_ = new QTabWidget(client);
    pageTabs_->setObjectName(QStringLiteral("PageControl1"));
    pageTabs_->setGeometry(272, 128, 665, 417);
    // Built inside the page control, so that they are measured in the window's font.
    tablePage_ = new records::TablePage(session_.measurementGrid(), pageTabs_);
    tablePage_->setObjectName(QStringLiteral("TabSheet1"));
    servicePage_ = new ServicePage(pageTabs_);
    servicePage_->setObjectName(QStringLiteral("TabSheet2"));
    chartPage_ = new records::ChartPage(pageTabs_);
    chartPage_->setObjectName(QStringLiteral("TabSheet3"));
    pageTabs_->addTab(tablePage_, QStringLiteral("Таблица"));
    pageTabs_->addTab(servicePage_, QStringLiteral("TabSheet2"));
    pageTabs_->addTab(chartPage_, QStringLiteral("TabSheet3"));
    pageTabs_->setTabVisible(1, false);
    pageTabs_->setTabVisible(2, false);
    pageTabs_->setCurrentIndex(0);

    status_ = new ui::StatusPanels({200, 100, 100, 50}, client);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setGeometry(0, kClientHeight - 19, kClientWidth, 19);
}

void MainWindow::invokeHandler(const QString& name, int argument) {
    session_.invokeHandler(name, argument);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

void MainWindow::countServiceKey(QKeyEvent& event) {
    if (keyCounter_.feed(event.text())) {
        pageTabs_->setTabVisible(2, true);
        pageTabs_->setTabVisible(1, true);
    }
}

void MainWindow::openUserGuide() {
    const QString path =
        QDir(context_.dataDir).absoluteFilePath(QString::fromLatin1(program::kUserGuideFile));
    if (!QFileInfo::exists(path) || !context_.openDocument || !context_.openDocument(path)) {
        context_.messages.inform(QStringLiteral("Немогу выполнить  !"));
    }
}

void MainWindow::showAboutBox() {
    context_.dialogs.aboutBox().exec();
}

bool MainWindow::displayPending() const {
    return liveDisplay_->pending();
}

} // namespace zr::app
