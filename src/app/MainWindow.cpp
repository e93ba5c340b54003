#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/CommandTable.h"
#include "app/DataDirectory.h"
#include "app/Dialogs.h"
#include "app/LiveDisplay.h"
#include "app/MainMenu.h"
#include "app/ResultsBlock.h"
#include "app/ServiceCommands.h"
#include "app/ServicePage.h"
#include "calibration/CalibrationList.h"
#include "calibration/ManualCorrection.h"
#include "calibration/views/CalibrationListBlock.h"
#include "device/connection/InputReportHandler.h"
#include "device/connection/MeterConnection.h"
#include "device/hid/HidDeviceController.h"
#include "device/protocol/CommandSender.h"
#include "records/Export.h"
#include "records/MeasurementTable.h"
#include "records/MeasurementTableTexts.h"
#include "records/PrintReport.h"
#include "records/SelectionLists.h"
#include "records/StoredValues.h"
#include "records/views/ChartPage.h"
#include "records/views/SaveDialog.h"
#include "records/views/StoredValuesBlock.h"
#include "records/views/TablePage.h"
#include "ui/Fonts.h"
#include "ui/Icons.h"
#include "ui/KeyPreviewApplication.h"
#include "ui/LogView.h"
#include "ui/StatusPanels.h"
#include "ui/StringGrid.h"
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
    : QMainWindow(parent), context_(std::move(context)), guard_(context_.messages),
      saveDialog_(std::make_unique<records::SaveDialog>(this)) {
    setObjectName(QStringLiteral("ZR6040USB"));
    setWindowTitle(QStringLiteral("ZR6040USB"));
    setWindowIcon(ui::icon(ui::IconKind::Program));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(ui::uiFont(11));

    buildLayout();
    buildConnection();
    bindRecords();
    bindCalibration();
    inputReports_ = std::make_unique<connection::InputReportHandler>(
        state_,
        connection::InputReportRoutes{
            [this](const std::string& line) { AppendLogLine(line); },
            [this] { timerReadTable_.enable(); },
            [this](const protocol::StoredValuesPage& page) {
                storedValues_->StoredValuesPage(page);
            },
            [this](std::uint8_t value) { servicePage_->edit1()->setText(QString::number(value)); },
            [this](const protocol::CalibrationSlot& entry) {
                calibrationList_->CalibrationEntry(entry);
            },
            [this] { liveDisplay_->refresh(state_.status); },
        });
    methodItems_ = buildMainMenu(menuBar());
    registerHandlers();
    bindCommands(this,
                 [this](const QString& name, int argument) { invokeHandler(name, argument); });
    connect(servicePage_->button1(), &QPushButton::clicked, this,
            [this] { invokeHandler(QStringLiteral("Button1Click")); });
    connect(servicePage_->button2(), &QPushButton::clicked, this,
            [this] { invokeHandler(QStringLiteral("Button2Click")); });
    connect(servicePage_->button3(), &QPushButton::clicked, this,
            [this] { invokeHandler(QStringLiteral("Button3Click")); });

    // The client area is measured below the menu bar, as the layout was drawn.
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    move(349, 237);
    ui::keepOnScreen(this);

    connect(&timerReadLog_, &common::OneShotTimer::expired, this,
            guard_.wrap([this] { storedValues_->TimerReadLogTimer(); }));
    connect(&timerReadTable_, &common::OneShotTimer::expired, this,
            guard_.wrap([this] { calibrationList_->TimerReadTableTimer(); }));
    if (auto* app = ui::KeyPreviewApplication::instance()) {
        app->addKeyPreview(this, [this](QKeyEvent& event) { FormKeyPress(event); });
    }

    guard_.run([this] { FormCreate(); });
}

MainWindow::~MainWindow() {
    // Readers of devices still claimed stop before the window they report to goes away.
    delete hidController_;
    hidController_ = nullptr;
    if (auto* app = ui::KeyPreviewApplication::instance()) {
        app->removeKeyPreview(this);
    }
}

void MainWindow::buildConnection() {
    hidController_ = new hid::HidDeviceController(context_.hidPlatform, this);
    hidController_->setObjectName(QStringLiteral("HidController"));
    meter_ = std::make_unique<connection::MeterConnection>(
        *hidController_, state_,
        connection::MeterConnection::Events{
            [this](hid::HidDevice&, std::uint8_t, const std::uint8_t* payload, std::uint16_t size) {
                guard_.run([&] { inputReports_->HandleInputReport(payload, size); });
            },
            [this](const QString& text) { status_->setPanelText(0, text); },
            [this] {
                timerReadTable_.enable();
                timerReadLog_.enable();
            },
            [this](const QString& reason) {
                // Told once the scan that found the meter is over, not from inside it.
                const QString text =
                    QString::fromUtf8(connection::kMeterNotAccessibleText).arg(reason);
                QMetaObject::invokeMethod(
                    this, [this, text] { context_.messages.inform(text); }, Qt::QueuedConnection);
            }});
    hidController_->setOnArrival(
        [this](hid::HidDevice&) { guard_.run([this] { meter_->HidControllerArrival(); }); });
    hidController_->setOnRemoval([this](hid::HidDevice& device) {
        guard_.run([&] { meter_->HidControllerRemoval(device); });
    });

    commands_ = std::make_unique<protocol::CommandSender>(
        *meter_, [this](const std::string& line) { AppendLogLine(line); },
        [this] {
            status_->setPanelText(0, QString::fromUtf8(connection::kMeterNotConnectedText));
        });
    commands_->setAfterSelectMethod([this] { timerReadTable_.enable(); });
    liveDisplay_ = std::make_unique<LiveDisplay>(
        LiveDisplayWidgets{*results_, *status_, *calibrationListBlock_->grid()});
    serviceCommands_ = std::make_unique<ServiceCommands>(*commands_);
}

connection::ControllerContext MainWindow::controllerContext() {
    return {state_, *commands_, context_.messages};
}

void MainWindow::buildLayout() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    storedValuesBlock_ = new records::StoredValuesBlock(client);
    storedValuesBlock_->move(1, 0);

    calibrationListBlock_ = new calibration::CalibrationListBlock(client);
    calibrationListBlock_->move(0, 280);

    results_ = new ResultsBlock(client);
    results_->move(276, -3);

    pageControl1_ = new QTabWidget(client);
    pageControl1_->setObjectName(QStringLiteral("PageControl1"));
    pageControl1_->setGeometry(272, 128, 665, 417);
    // Built inside the page control, so that they are measured in the window's font.
    tablePage_ = new records::TablePage(pageControl1_);
    tablePage_->setObjectName(QStringLiteral("TabSheet1"));
    servicePage_ = new ServicePage(pageControl1_);
    servicePage_->setObjectName(QStringLiteral("TabSheet2"));
    chartPage_ = new records::ChartPage(pageControl1_);
    chartPage_->setObjectName(QStringLiteral("TabSheet3"));
    pageControl1_->addTab(tablePage_, QStringLiteral("Таблица"));
    pageControl1_->addTab(servicePage_, QStringLiteral("TabSheet2"));
    pageControl1_->addTab(chartPage_, QStringLiteral("TabSheet3"));
    pageControl1_->setTabVisible(1, false);
    pageControl1_->setTabVisible(2, false);
    pageControl1_->setCurrentIndex(0);

    status_ = new ui::StatusPanels({200, 100, 100, 50}, client);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setGeometry(0, kClientHeight - 19, kClientWidth, 19);

    // The HTML view used for printing; practically invisible.
    web_ = new QWidget(client);
    web_->setObjectName(QStringLiteral("Web"));
    web_->setGeometry(864, 456, 17, 9);
}

void MainWindow::invokeHandler(const QString& name, int argument) {
    const common::HandlerRegistry::Handler* handler = handlers_.find(name);
    if (!handler) {
        return;
    }
    emit handlerInvoked(name, argument);
    guard_.run([&] { (*handler)(argument); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    guard_.run([this] { FormClose(); });
    event->accept();
}

void MainWindow::FormCreate() {
    state_.deviceList.clear();

    const QStringList calibrationHeaders = {QStringLiteral("№"), QStringLiteral("Наименование"),
                                            QStringLiteral("К1"), QStringLiteral("К2")};
    const QStringList storedHeaders = {QStringLiteral("№"), QStringLiteral("Метод"),
                                       QStringLiteral("Значение"), QString()};
    for (int c = 0; c < 4; ++c) {
        calibrationListBlock_->grid()->setCell(c, 0, calibrationHeaders.at(c));
        storedValuesBlock_->grid()->setCell(c, 0, storedHeaders.at(c));
    }
    const auto tableHeaders = records::measurementTableHeaders();
    for (int c = 0; c < static_cast<int>(tableHeaders.size()); ++c) {
        tablePage_->grid()->setCell(c, 0, tableHeaders.at(static_cast<std::size_t>(c)));
    }

    selectionLists_->LoadSelectionLists();
    timerReadTable_.enable();
    timerReadLog_.enable();
}

void MainWindow::FormClose() {
    meter_->releaseDeviceList();
    selectionLists_->SaveSelectionLists();
}

void MainWindow::FormKeyPress(QKeyEvent& event) {
    if (keyCounter_.feed(event.text())) {
        pageControl1_->setTabVisible(2, true);
        pageControl1_->setTabVisible(1, true);
    }
}

void MainWindow::N29Click() {
    const QString path =
        QDir(context_.dataDir).absoluteFilePath(QString::fromLatin1(kUserGuideFile));
    if (!QFileInfo::exists(path) || !context_.openDocument || !context_.openDocument(path)) {
        context_.messages.inform(QStringLiteral("Немогу выполнить  !"));
    }
}

void MainWindow::N30Click() {
    if (dialogs_) {
        dialogs_->aboutBox->exec();
    }
}

bool MainWindow::displayPending() const {
    return liveDisplay_->pending();
}

void MainWindow::AppendLogLine(const std::string& line) {
    servicePage_->log()->appendLine(std::string_view(line));
}

} // namespace zr::app
