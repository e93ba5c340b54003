#include "calibration/views/CalibrationLibraryWindow.h"

#include "ui/StringGrid.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace zr::calibration {

namespace {
// Columns 0 to 4; column 5 takes the rest of the grid less this much more.
constexpr std::array<int, 5> kColumnWidths = {60, 150, 150, 80, 80};
constexpr int kLastColumnMargin = 20;
} // namespace

CalibrationLibraryWindow::CalibrationLibraryWindow(Library& library,
                                                   const common::HandlerGuard& guard,
                                                   QWidget* parent)
    : QDialog(parent), library_(library), guard_(guard) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Управление калибровками"));
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    toolBar_ = new QWidget(this);
    toolBar_->setObjectName(QStringLiteral("ToolBar1"));
    auto* tools = new QHBoxLayout(toolBar_);
    tools->setContentsMargins(2, 2, 2, 2);
    tools->setSpacing(2);
    layout->addWidget(toolBar_);

    auto* title = new QLabel(QStringLiteral("Список компьютерных калибровок"), this);
    title->setObjectName(QStringLiteral("Label1"));
    title->setTextFormat(Qt::PlainText);
    title->setAlignment(Qt::AlignCenter);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    title->setFont(titleFont);
    layout->addWidget(title);

    grid_ = new ui::StringGrid(library.model(), this);
    grid_->setObjectName(QStringLiteral("StringGrid1"));
    grid_->setEditable(false);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    layout->addWidget(grid_, 1);

    overflow_ = new QLabel(this);
    overflow_->setObjectName(QStringLiteral("OverflowLabel"));
    overflow_->setTextFormat(Qt::PlainText);
    overflow_->hide();
    layout->addWidget(overflow_);

    tools->addWidget(
        addButton(QStringLiteral("Button1"), QStringLiteral("Создать"), &Library::createEntry));
    tools->addWidget(addButton(QStringLiteral("Button2"), QStringLiteral("Удалить"),
                               &Library::deleteSelectedEntry));
    tools->addWidget(addButton(QStringLiteral("Button4"), QStringLiteral("Изменить"),
                               &Library::editSelectedEntry));
    tools->addWidget(addButton(QStringLiteral("Button3"), QStringLiteral("Копировать в прибор"),
                               &Library::copySelectedEntryToMeter));
    tools->addStretch(1);
    connect(grid_, &QAbstractItemView::doubleClicked, this, guard_.wrap([this] {
        library_.editOnDoubleClick();
        showOverflow();
    }));

    resize(694, 454);
    showOverflow();
}

CalibrationLibraryWindow::~CalibrationLibraryWindow() = default;

QPushButton* CalibrationLibraryWindow::addButton(const QString& name, const QString& text,
                                                 void (Library::*handler)()) {
    auto* button = new QPushButton(text, toolBar_);
    button->setObjectName(name);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, guard_.wrap([this, handler] {
        (library_.*handler)();
        showOverflow();
    }));
    return button;
}

void CalibrationLibraryWindow::showOverflow() {
    const QString text = library_.overflowText();
    overflow_->setText(text);
    overflow_->setVisible(!text.isEmpty());
}

void CalibrationLibraryWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        guard_.run([this] { library_.showHeaders(); });
    }
    QDialog::showEvent(event);
}

void CalibrationLibraryWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    setColumnWidths();
}

void CalibrationLibraryWindow::setColumnWidths() {
    int used = 0;
    for (std::size_t c = 0; c < kColumnWidths.size(); ++c) {
        grid_->setColumnWidth(static_cast<int>(c), kColumnWidths[c]);
        used += kColumnWidths[c];
    }
    grid_->setColumnWidth(static_cast<int>(kColumnWidths.size()),
                          std::max(0, grid_->width() - used - kLastColumnMargin));
}

} // namespace zr::calibration
