#include "history/views/HistoryWindow.h"

#include "common/FileAccess.h"
#include "common/MessageService.h"
#include "device/connection/MethodNames.h"
#include "history/HistoryTexts.h"
#include "history/QualityTexts.h"
#include "history/views/ChartFiles.h"
#include "history/views/ControlChartView.h"
#include "records/MeasurementRow.h"
#include "records/ReportTexts.h"
#include "records/views/ApplicationBusyCursor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace zr::history {

namespace {

constexpr int kChartPage = 1;
constexpr int kMethods = 4;

const QStringList& chartFilters() {
    static const QStringList filters{QStringLiteral("Рисунок PNG (*.png)"),
                                     QStringLiteral("Рисунок SVG (*.svg)"),
                                     QStringLiteral("Документ PDF (*.pdf)")};
    return filters;
}

// A save dialog whose default suffix follows the type chosen; the chosen type's index (from 0)
// and the file, or nothing when cancelled.
std::optional<std::pair<int, QString>> askSaveFile(QWidget* parent, const QString& name,
                                                   const QString& caption,
                                                   const QStringList& filters,
                                                   const std::function<QString(int)>& suffix) {
    QFileDialog dialog(parent, caption);
    dialog.setObjectName(name);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(suffix(0));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(suffix(static_cast<int>(filters.indexOf(filter))));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::pair{static_cast<int>(filters.indexOf(dialog.selectedNameFilter())),
                     dialog.selectedFiles().first()};
}

QComboBox* filterBox(const QString& name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setMinimumContentsLength(10);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

// The chosen text of a filter list; nothing for "Все".
std::optional<QString> chosenText(const QComboBox* box) {
    const QVariant data = box->currentData();
    return data.isValid() ? std::optional<QString>(data.toString()) : std::nullopt;
}

// Rows deleted from their table in grey.
class DeletedRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(HistoryTableModel::kDeletedRole).toBool()) {
            option->palette.setColor(QPalette::Text, Qt::gray);
        }
    }
};

QDateEdit* dateEdit(const QString& name, QWidget* parent) {
    auto* edit = new QDateEdit(QDate::currentDate(), parent);
    edit->setObjectName(name);
    edit->setCalendarPopup(true);
    return edit;
}

} // namespace

HistoryWindow::HistoryWindow(HistoryController& controller, common::MessageService& messages,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), controller_(controller), messages_(messages) {
    setObjectName(QStringLiteral("historyWindow"));
    setWindowTitle(QStringLiteral("История измерений"));
    resize(1120, 720);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildFilters());
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("historyPages"));
    tabs_->addTab(buildTablePage(), QStringLiteral("Измерения"));
    tabs_->addTab(buildChartPage(), QStringLiteral("Контрольные карты"));
    layout->addWidget(tabs_, 1);
    serverStatus_ = new QLabel(this);
    serverStatus_->setObjectName(QStringLiteral("serverStatus"));
    serverStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(serverStatus_);

    connect(&controller_, &HistoryController::rowsCounted, this, &HistoryWindow::showRowCount);
    connect(&controller_, &HistoryController::serverStatusChanged, this,
            &HistoryWindow::showServerStatus);
    connect(&controller_, &HistoryController::chartsChanged, this, &HistoryWindow::showCharts);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == kChartPage && chartsStale_) {
            chartsStale_ = false;
            records::BusyCursorScope busy(records::applicationBusyCursor());
            controller_.rebuildCharts();
        }
    });
    fillTextFilters();
    showRowCount();
    showServerStatus();
}

QWidget* HistoryWindow::buildFilters() {
    auto* box = new QGroupBox(QStringLiteral("Отбор"), this);
    auto* grid = new QGridLayout(box);
    sinceOn_ = new QCheckBox(QStringLiteral("с"), box);
    sinceOn_->setObjectName(QStringLiteral("sinceFilterOn"));
    since_ = dateEdit(QStringLiteral("sinceFilter"), box);
    since_->setDate(QDate::currentDate().addMonths(-1));
    untilOn_ = new QCheckBox(QStringLiteral("по"), box);
    untilOn_->setObjectName(QStringLiteral("untilFilterOn"));
    until_ = dateEdit(QStringLiteral("untilFilter"), box);
    number_ = new QLineEdit(box);
    number_->setObjectName(QStringLiteral("numberFilter"));
    number_->setPlaceholderText(QStringLiteral("любой"));
    number_->setMaximumWidth(90);
    grade_ = filterBox(QStringLiteral("gradeFilter"), box);
    tank_ = filterBox(QStringLiteral("tankFilter"), box);
    supplier_ = filterBox(QStringLiteral("supplierFilter"), box);
    method_ = filterBox(QStringLiteral("methodFilter"), box);
    method_->addItem(QStringLiteral("Все"));
    for (int method = 1; method <= kMethods; ++method) {
        method_->addItem(connection::methodName(method), method);
    }
    method_->addItem(noMethodText(), 0);
    deleted_ = new QCheckBox(QStringLiteral("Удалённые строки"), box);
    deleted_->setObjectName(QStringLiteral("deletedFilter"));
    auto* reset = new QPushButton(QStringLiteral("Сбросить"), box);
    reset->setObjectName(QStringLiteral("resetFilter"));

    const auto label = [&](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, box);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label(QStringLiteral("Период:"), since_), 0, 0);
    auto* period = new QHBoxLayout;
    period->addWidget(sinceOn_);
    period->addWidget(since_);
    period->addWidget(untilOn_);
    period->addWidget(until_);
    period->addStretch();
    grid->addLayout(period, 0, 1, 1, 3);
    grid->addWidget(label(QStringLiteral("№:"), number_), 0, 4);
    grid->addWidget(number_, 0, 5);
    grid->addWidget(deleted_, 0, 6);
    grid->addWidget(reset, 0, 7);
    grid->addWidget(label(records::reportHeaders()[1] + QLatin1Char(':'), grade_), 1, 0);
    grid->addWidget(grade_, 1, 1);
    grid->addWidget(label(records::reportHeaders()[2] + QLatin1Char(':'), tank_), 1, 2);
    grid->addWidget(tank_, 1, 3);
    grid->addWidget(label(records::reportHeaders()[3] + QLatin1Char(':'), supplier_), 1, 4);
    grid->addWidget(supplier_, 1, 5);
    grid->addWidget(label(records::reportHeaders()[4] + QLatin1Char(':'), method_), 1, 6);
    grid->addWidget(method_, 1, 7);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);

    for (QCheckBox* check : {sinceOn_, untilOn_, deleted_}) {
        connect(check, &QCheckBox::toggled, this, &HistoryWindow::applyFilter);
    }
    for (QDateEdit* edit : {since_, until_}) {
        connect(edit, &QDateEdit::dateChanged, this, &HistoryWindow::applyFilter);
    }
    connect(number_, &QLineEdit::textChanged, this, &HistoryWindow::applyFilter);
    for (QComboBox* list : {grade_, tank_, supplier_, method_}) {
        connect(list, &QComboBox::currentIndexChanged, this, &HistoryWindow::applyFilter);
    }
    connect(reset, &QPushButton::clicked, this, [this] {
        filling_ = true;
        sinceOn_->setChecked(false);
        untilOn_->setChecked(false);
        deleted_->setChecked(false);
        number_->clear();
        for (QComboBox* list : {grade_, tank_, supplier_, method_}) {
            list->setCurrentIndex(0);
        }
        filling_ = false;
        applyFilter();
    });
    return box;
}

QWidget* HistoryWindow::buildTablePage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    table_ = new QTableView(page);
    table_->setObjectName(QStringLiteral("historyTable"));
    table_->setModel(&controller_.table());
    table_->setItemDelegate(new DeletedRowDelegate(table_));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSortIndicator(static_cast<int>(HistoryColumn::Moment),
                                                 Qt::DescendingOrder);
    table_->setSortingEnabled(true);
    // Times as wide as a timestamp of the user's locale; the rest as wide as their usual texts.
    const int time = table_->fontMetrics().horizontalAdvance(
                         records::measurementTimestamp(QDateTime::currentDateTime())) +
                     16;
    const int widths[kHistoryColumnCount] = {time, 60, 100, 80, 150, 180, 60, time, time};
    for (int c = 0; c < kHistoryColumnCount; ++c) {
        table_->setColumnWidth(c, widths[c]);
    }
    layout->addWidget(table_, 1);

    auto* bottom = new QHBoxLayout;
    rowCount_ = new QLabel(page);
    rowCount_->setObjectName(QStringLiteral("rowCount"));
    bottom->addWidget(rowCount_, 1);
    auto* exportButton = new QPushButton(QStringLiteral("Сохранить строки..."), page);
    exportButton->setObjectName(QStringLiteral("exportRows"));
    exportButton->setToolTip(
        QStringLiteral("Выделенные строки, а без выделения — все строки отбора"));
    connect(exportButton, &QPushButton::clicked, this, &HistoryWindow::exportRows);
    bottom->addWidget(exportButton);
    layout->addLayout(bottom);
    return page;
}

QWidget* HistoryWindow::buildChartPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Границы по:"), page));
    firstPoints_ = new QRadioButton(QStringLiteral("первым"), page);
    firstPoints_->setObjectName(QStringLiteral("baselineFirstPoints"));
    firstPoints_->setChecked(true);
    baselinePoints_ = new QSpinBox(page);
    baselinePoints_->setObjectName(QStringLiteral("baselinePoints"));
    baselinePoints_->setRange(2, 1000000);
    baselinePoints_->setValue(quality::kDefaultBaselinePoints);
    auto* period = new QRadioButton(QStringLiteral("точкам за период с"), page);
    period->setObjectName(QStringLiteral("baselinePeriod"));
    baselineSince_ = dateEdit(QStringLiteral("baselineSince"), page);
    baselineSince_->setDate(QDate::currentDate().addMonths(-1));
    baselineUntil_ = dateEdit(QStringLiteral("baselineUntil"), page);
    ewmaWeight_ = new QDoubleSpinBox(page);
    ewmaWeight_->setObjectName(QStringLiteral("ewmaWeight"));
    ewmaWeight_->setRange(0.05, 1.0);
    ewmaWeight_->setSingleStep(0.05);
    ewmaWeight_->setDecimals(2);
    ewmaWeight_->setValue(quality::kDefaultEwmaWeight);
    controls->addWidget(firstPoints_);
    controls->addWidget(baselinePoints_);
    controls->addWidget(new QLabel(QStringLiteral("точкам,"), page));
    controls->addWidget(period);
    controls->addWidget(baselineSince_);
    controls->addWidget(new QLabel(QStringLiteral("по"), page));
    controls->addWidget(baselineUntil_);
    controls->addSpacing(16);
    controls->addWidget(new QLabel(QStringLiteral("EWMA λ:"), page));
    controls->addWidget(ewmaWeight_);
    controls->addStretch();
    auto* save = new QPushButton(QStringLiteral("Сохранить рисунок..."), page);
    save->setObjectName(QStringLiteral("saveChart"));
    auto* print = new QPushButton(QStringLiteral("Печать..."), page);
    print->setObjectName(QStringLiteral("printChart"));
    controls->addWidget(save);
    controls->addWidget(print);
    layout->addLayout(controls);

    auto* split = new QSplitter(Qt::Vertical, page);
    chart_ = new ControlChartView(split);
    chart_->setPointDescription([this](int point) { return controller_.describePoint(point); });
    auto* marked = new QWidget(split);
    auto* markedLayout = new QVBoxLayout(marked);
    markedLayout->setContentsMargins(0, 0, 0, 0);
    chartSummary_ = new QLabel(marked);
    chartSummary_->setObjectName(QStringLiteral("chartSummary"));
    chartSummary_->setWordWrap(true);
    markedLayout->addWidget(chartSummary_);
    markedPoints_ = new QTableView(marked);
    markedPoints_->setObjectName(QStringLiteral("markedPoints"));
    markedPoints_->setModel(&controller_.markedPoints());
    markedPoints_->setSelectionBehavior(QAbstractItemView::SelectRows);
    markedPoints_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    markedPoints_->verticalHeader()->hide();
    markedPoints_->horizontalHeader()->setStretchLastSection(true);
    markedLayout->addWidget(markedPoints_);
    split->addWidget(chart_);
    split->addWidget(marked);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    connect(firstPoints_, &QRadioButton::toggled, this, &HistoryWindow::applyChartSettings);
    connect(baselinePoints_, &QSpinBox::valueChanged, this, &HistoryWindow::applyChartSettings);
    for (QDateEdit* edit : {baselineSince_, baselineUntil_}) {
        connect(edit, &QDateEdit::dateChanged, this, &HistoryWindow::applyChartSettings);
    }
    connect(ewmaWeight_, &QDoubleSpinBox::valueChanged, this, &HistoryWindow::applyChartSettings);
    connect(save, &QPushButton::clicked, this, &HistoryWindow::saveChart);
    connect(print, &QPushButton::clicked, this, &HistoryWindow::printChart);
    return page;
}

void HistoryWindow::fillTextFilters() {
    filling_ = true;
    const std::pair<QComboBox*, HistoryColumn> lists[] = {{grade_, HistoryColumn::Grade},
                                                          {tank_, HistoryColumn::Tank},
                                                          {supplier_, HistoryColumn::Supplier}};
    for (const auto& [box, column] : lists) {
        const std::optional<QString> chosen = chosenText(box);
        box->clear();
        box->addItem(QStringLiteral("Все"));
        for (const QString& text : controller_.texts(column)) {
            box->addItem(text, text);
        }
        box->setCurrentIndex(chosen ? std::max(box->findData(*chosen), 0) : 0);
    }
    filling_ = false;
}

void HistoryWindow::refresh() {
    fillTextFilters();
    applyFilter();
}

void HistoryWindow::applyFilter() {
    if (filling_) {
        return;
    }
    since_->setEnabled(sinceOn_->isChecked());
    until_->setEnabled(untilOn_->isChecked());
    HistoryFilter filter;
    if (sinceOn_->isChecked()) {
        filter.since = since_->date().startOfDay().toUTC();
    }
    if (untilOn_->isChecked()) {
        filter.before = until_->date().addDays(1).startOfDay().toUTC();
    }
    const QString number = number_->text().trimmed();
    if (!number.isEmpty()) {
        filter.number = number;
    }
    filter.grade = chosenText(grade_);
    filter.tank = chosenText(tank_);
    filter.supplier = chosenText(supplier_);
    const QVariant method = method_->currentData();
    if (method.isValid()) {
        filter.method = method.toInt();
    }
    filter.includeDeleted = deleted_->isChecked();
    controller_.setFilter(filter);
    chartsStale_ = true;
    if (tabs_->currentIndex() == kChartPage) {
        chartsStale_ = false;
        records::BusyCursorScope busy(records::applicationBusyCursor());
        controller_.rebuildCharts();
    }
}

void HistoryWindow::applyChartSettings() {
    BaselineChoice choice;
    if (!firstPoints_->isChecked()) {
        choice.kind = BaselineChoice::Kind::Period;
        choice.since = baselineSince_->date().startOfDay().toUTC();
        choice.before = baselineUntil_->date().addDays(1).startOfDay().toUTC();
    }
    choice.points = baselinePoints_->value();
    baselinePoints_->setEnabled(firstPoints_->isChecked());
    baselineSince_->setEnabled(!firstPoints_->isChecked());
    baselineUntil_->setEnabled(!firstPoints_->isChecked());
    controller_.setChartSettings(choice, ewmaWeight_->value());
}

void HistoryWindow::showCharts() {
    chart_->setData(&controller_.charts(), controller_.chartTitle());
    chartSummary_->setText(chartSummary(controller_.charts()));
    markedPoints_->resizeColumnsToContents();
}

void HistoryWindow::showRowCount() {
    const std::optional<qint64> rows = controller_.rowCount();
    rowCount_->setText(!controller_.isOpen() ? journalMissingText()
                       : rows                ? rowCountText(*rows)
                                             : countingText());
}

void HistoryWindow::showServerStatus() {
    const std::optional<mirror::MirrorStatus>& status = controller_.serverStatus();
    serverStatus_->setVisible(status.has_value());
    serverStatus_->setText(status ? mirror::statusLine(*status) : QString());
}

void HistoryWindow::exportRows() {
    const auto file = askSaveFile(
        this, QStringLiteral("exportDialog"), QStringLiteral("Сохранить строки"), exportFilters(),
        [](int type) { return exportSuffix(static_cast<HistoryExport::Type>(type + 1)); });
    if (!file) {
        return;
    }
    std::vector<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    records::BusyCursorScope busy(records::applicationBusyCursor());
    controller_.exportRows(rows, static_cast<HistoryExport::Type>(std::max(file->first, 0) + 1),
                           file->second);
}

void HistoryWindow::saveChart() {
    static const char* const suffixes[] = {"png", "svg", "pdf"};
    const auto file = askSaveFile(
        this, QStringLiteral("chartDialog"), QStringLiteral("Сохранить рисунок"), chartFilters(),
        [](int type) { return QString::fromLatin1(suffixes[std::clamp(type, 0, 2)]); });
    if (!file) {
        return;
    }
    const ChartFileType type =
        file->first >= 0 ? static_cast<ChartFileType>(file->first) : chartFileTypeOf(file->second);
    records::BusyCursorScope busy(records::applicationBusyCursor());
    const QString failure = history::saveChart(controller_.charts(), controller_.chartTitle(),
                                               file->second, type, common::systemFiles());
    busy.restore();
    if (!failure.isEmpty()) {
        messages_.showError(common::cannotCreateFileMessage(file->second, failure));
    }
}

void HistoryWindow::printChart() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QStringLiteral("Контрольные карты"));
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("chartPrintPreview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) {
        paintChartDocument(*target, controller_.charts(), controller_.chartTitle());
    });
    preview.exec();
}

} // namespace zr::history
