#include "calibration/views/CorrectionWizard.h"

#include "calibration/views/OctaneEdit.h"
#include "calibration/views/WizardMethodList.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QStackedWidget>

namespace zr::calibration {

namespace {

constexpr int kNameLength = 10;

// K1 and K2 take only what can make a signed 16-bit integer; the range is checked when the
// user leaves their page.
QValidator* coefficientValidator(QObject* parent) {
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]{0,5}")),
                                           parent);
}

QPushButton* makeButton(const QString& name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QWidget* makePage(const QString& name, QStackedWidget* pages) {
    auto* page = new QWidget;
    page->setObjectName(name);
    pages->addWidget(page);
    return page;
}

} // namespace

CorrectionWizard::CorrectionWizard(connection::ControllerContext context,
                                   const MeterCalibrations& calibrations, QWidget* parent)
    : QDialog(parent), wizard_(context, calibrations), guard_(context.messages) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Коррекция..."));
    setFixedSize(540, 345);

    headingLabel_ = makeLabel(QStringLiteral("Label1"), QStringLiteral("Расчет коррекции"), this);
    QFont headingFont = headingLabel_->font();
    headingFont.setPixelSize(15);
    headingFont.setBold(true);
    headingLabel_->setFont(headingFont);
    headingLabel_->setGeometry(8, 6, 524, 30);

    // The page tabs are hidden: the wizard alone moves between the pages.
    pages_ = new QStackedWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    pages_->setGeometry(8, 40, 524, 256);
    buildPage0();
    buildPage1();
    buildPage2();
    buildPage3();
    buildPage4();

    cancelButton_ = makeButton(QStringLiteral("Button4"), QStringLiteral("Отмена"), this);
    cancelButton_->setGeometry(8, 308, 100, 28);
    mainButton_ = makeButton(QStringLiteral("Button3"), QStringLiteral("Далее >"), this);
    mainButton_->setGeometry(292, 308, 240, 28);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(mainButton_, &QPushButton::clicked, this,
            [this] { act([this] { wizard_.advance(); }); });
    wizard_.restart();
    render();
}

void CorrectionWizard::buildPage0() {
    QWidget* page = makePage(QStringLiteral("TabSheet1"), pages_);
    auto* memo = new QPlainTextEdit(page);
    memo->setObjectName(QStringLiteral("Memo1"));
    memo->setReadOnly(true);
    memo->setGeometry(0, 0, 524, 256);
    memo->setPlainText(QStringList{
        QStringLiteral("Данный мастер поможет расчитать корректировочные коэффициенты "),
        QStringLiteral("для новой таблицы ."),
        QStringLiteral("Коэффициенты расчитываются для каждого метода отдельно ,"),
        QStringLiteral(" поэтому на 1 шаге необходимо выбрать метод к которому будет"),
        QStringLiteral(" применяться корректирующая таблица."),
        QStringLiteral("На 2 шаге необходимо иметь 2  марки топлива (низкооктановое и "),
        QStringLiteral("высокооктановое) с точным значением октанового числа."),
        QStringLiteral("На 3 шаге полученная коррекция записывается в прибор .")}
                           .join(QLatin1Char('\n')));
}

void CorrectionWizard::buildPage1() {
    QWidget* page = makePage(QStringLiteral("TabSheet2"), pages_);
    makeLabel(QStringLiteral("Label2"), QStringLiteral("Метод измерения"), page)
        ->setGeometry(16, 40, 300, 16);
    methodList_ = new WizardMethodList(page);
    methodList_->setObjectName(QStringLiteral("ComboBox1"));
    methodList_->addItems({QStringLiteral("Исследовательский метод"),
                           QStringLiteral("Моторный метод"), QStringLiteral("Цетановое число")});
    methodList_->setGeometry(16, 60, 250, 22);
    // Only the user's pick is a choice; showing the current method is not, nor is the wheel.
    connect(methodList_, &QComboBox::activated, this,
            [this](int index) { act([this, index] { wizard_.chooseMethod(index); }); });
    connect(methodList_, &WizardMethodList::scrolled, this,
            [this](int index) { act([this, index] { wizard_.showMethod(index); }); });
}

QGroupBox* CorrectionWizard::buildFuelGroup(int side, const QString& title) {
    const auto low = static_cast<std::size_t>(side);
    const int reading =
        side == 0 ? TwoPointCalibration::LowReading : TwoPointCalibration::HighReading;
    auto* group = new QGroupBox(title, pages_->widget(2));
    group->setObjectName(QStringLiteral("GroupBox%1").arg(side + 1));
    group->setGeometry(4 + side * 260, 4, 256, 246);

    makeLabel(QStringLiteral("Label%1").arg(2 + side * 2 + 1),
              QStringLiteral("Значение с октанометра"), group)
        ->setGeometry(10, 22, 200, 16);
    makeLabel(QStringLiteral("Label%1").arg(2 + side * 2 + 2), QStringLiteral("Реальное значение"),
              group)
        ->setGeometry(10, 72, 200, 16);
    for (int i = 0; i < 2; ++i) {
        const int field = reading + i;
        auto* edit = new OctaneEdit(group);
        edit->setObjectName(QStringLiteral("CurrencyEdit%1").arg(field + 1));
        edit->setGeometry(10, 40 + i * 50, 120, 22);
        connect(edit, &OctaneEdit::valueEdited, this, [this, field](OctaneValue value) {
            wizard_.setValue(static_cast<TwoPointCalibration::Field>(field), value);
        });
        values_[static_cast<std::size_t>(field)] = edit;
    }

    takeButtons_[low] =
        makeButton(QStringLiteral("SpeedButton%1").arg(side + 1), QStringLiteral("<--"), group);
    takeButtons_[low]->setGeometry(136, 39, 44, 24);
    connect(takeButtons_[low], &QPushButton::clicked, this, [this, side] {
        act([this, side] { side == 0 ? wizard_.takeLowReading() : wizard_.takeHighReading(); });
    });

    rememberButtons_[low] =
        makeButton(QStringLiteral("Button%1").arg(side + 1), QStringLiteral("Запомнить"), group);
    rememberButtons_[low]->setGeometry(10, 124, 120, 26);
    connect(rememberButtons_[low], &QPushButton::clicked, this, [this, side] {
        act([this, side] { side == 0 ? wizard_.rememberLowFuel() : wizard_.rememberHighFuel(); });
    });

    statusLabels_[low] = makeLabel(QStringLiteral("Label%1").arg(6 + side), QString(), group);
    statusLabels_[low]->setGeometry(10, 160, 236, 80);
    statusLabels_[low]->setWordWrap(true);
    statusLabels_[low]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont bold = statusLabels_[low]->font();
    bold.setBold(true);
    statusLabels_[low]->setFont(bold);
    QPalette red = statusLabels_[low]->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    statusLabels_[low]->setPalette(red);
    return group;
}

void CorrectionWizard::buildPage2() {
    makePage(QStringLiteral("TabSheet3"), pages_);
    groups_[0] = buildFuelGroup(0, QStringLiteral("Низкооктановый бензин"));
    groups_[1] = buildFuelGroup(1, QStringLiteral("Высокооктановый бензин"));
}

void CorrectionWizard::buildPage3() {
    QWidget* page = makePage(QStringLiteral("TabSheet4"), pages_);
    auto* group = new QGroupBox(QStringLiteral("Значение коррекции  для ZR-6040"), page);
    group->setObjectName(QStringLiteral("GroupBox3"));
    group->setGeometry(4, 4, 516, 246);
    makeLabel(QStringLiteral("Label8"),
              QStringLiteral("Наименование коррекции (латинские буквы , не более 10)"), group)
        ->setGeometry(12, 24, 420, 16);
    nameEdit_ = new QLineEdit(group);
    nameEdit_->setObjectName(QStringLiteral("Edit3"));
    nameEdit_->setMaxLength(kNameLength);
    nameEdit_->setGeometry(12, 44, 160, 22);
    connect(nameEdit_, &QLineEdit::textEdited, this,
            [this](const QString& t) { wizard_.setName(t); });

    makeLabel(QStringLiteral("Label9"), QStringLiteral("Коррекция 1"), group)
        ->setGeometry(12, 84, 200, 16);
    k1Edit_ = new QLineEdit(group);
    k1Edit_->setObjectName(QStringLiteral("Edit1"));
    k1Edit_->setGeometry(12, 104, 120, 22);
    k1Edit_->setValidator(coefficientValidator(k1Edit_));
    connect(k1Edit_, &QLineEdit::textEdited, this,
            [this](const QString& t) { wizard_.setK1Text(t); });

    makeLabel(QStringLiteral("Label10"), QStringLiteral("Коррекция 2"), group)
        ->setGeometry(12, 144, 200, 16);
    k2Edit_ = new QLineEdit(group);
    k2Edit_->setObjectName(QStringLiteral("Edit2"));
    k2Edit_->setGeometry(12, 164, 120, 22);
    k2Edit_->setValidator(coefficientValidator(k2Edit_));
    connect(k2Edit_, &QLineEdit::textEdited, this,
            [this](const QString& t) { wizard_.setK2Text(t); });
}

void CorrectionWizard::buildPage4() {
    QWidget* page = makePage(QStringLiteral("TabSheet5"), pages_);
    commentMemo_ = new QPlainTextEdit(page);
    commentMemo_->setObjectName(QStringLiteral("Memo2"));
    commentMemo_->setGeometry(0, 0, 524, 256);
    connect(commentMemo_, &QPlainTextEdit::textChanged, this,
            [this] { wizard_.setComment(commentMemo_->toPlainText()); });
}

std::optional<WizardResult> CorrectionWizard::run() {
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return wizard_.result();
}

void CorrectionWizard::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        act([this] { wizard_.restart(); });
    }
    QDialog::showEvent(event);
}

void CorrectionWizard::act(const std::function<void()>& handler) {
    guard_.run(handler);
    render();
    if (wizard_.accepted()) {
        accept();
    }
}

namespace {
void setTextIfChanged(QLineEdit* edit, const QString& text) {
    if (edit->text() != text) {
        edit->setText(text);
    }
}
} // namespace

void CorrectionWizard::render() {
    const TwoPointCalibration::Screen& s = wizard_.screen();
    headingLabel_->setText(s.heading);
    pages_->setCurrentIndex(s.page);
    for (std::size_t i = 0; i < values_.size(); ++i) {
        values_[i]->setValue(s.values[i]);
        values_[i]->setEnabled(s.valueEnabled[i]);
    }
    groups_[1]->setVisible(s.highGroupVisible);
    statusLabels_[0]->setText(s.lowStatus);
    statusLabels_[1]->setText(s.highStatus);
    rememberButtons_[0]->setEnabled(s.lowRememberEnabled);
    rememberButtons_[1]->setEnabled(s.highRememberEnabled);
    mainButton_->setEnabled(s.mainEnabled);
    mainButton_->setText(s.mainCaption);
    QFont mainFont = mainButton_->font();
    mainFont.setBold(s.mainBold);
    mainButton_->setFont(mainFont);
    methodList_->setCurrentIndex(s.methodIndex);
    setTextIfChanged(k1Edit_, s.k1Text);
    setTextIfChanged(k2Edit_, s.k2Text);
    setTextIfChanged(nameEdit_, s.name);
    if (commentMemo_->toPlainText() != s.comment) {
        commentMemo_->setPlainText(s.comment);
    }
}

} // namespace zr::calibration
