#include "app/ResultsBlock.h"

#include "device/connection/LiveStatus.h"
#include "ui/Fonts.h"
#include "ui/StatusPanels.h"

#include <QGroupBox>
#include <QLabel>

namespace zr::app {

namespace {
constexpr int kWidth = 661;
constexpr int kHeight = 129;
constexpr int kValueWidth = 169;
constexpr int kGroupTitle = 15;
} // namespace

ResultsBlock::ResultsBlock(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel1"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    resize(kWidth, kHeight);

    valuePanel_ = new QLabel(connection::ShownCaptions::value({}), this);
    valuePanel_->setObjectName(QStringLiteral("Panel2"));
    valuePanel_->setGeometry(kWidth - kValueWidth - 1, 1, kValueWidth, kHeight - 2);
    valuePanel_->setAlignment(Qt::AlignCenter);
    valuePanel_->setTextFormat(Qt::PlainText);
    valuePanel_->setFrameShape(QFrame::Panel);
    valuePanel_->setFrameShadow(QFrame::Raised);
    valuePanel_->setFont(ui::displayFont(73));

    resultsGroup_ = new QGroupBox(QStringLiteral("Результаты измерения"), this);
    resultsGroup_->setObjectName(QStringLiteral("GroupBox4"));
    const int groupWidth = kWidth - kValueWidth - 2;
    const int groupHeight = kHeight - 2;
    resultsGroup_->setGeometry(1, 1, groupWidth, groupHeight);
    resultsGroup_->setFont(ui::uiFont(13));

    methodLabel_ = new QLabel(connection::ShownCaptions().method(), resultsGroup_);
    methodLabel_->setObjectName(QStringLiteral("txtmetod"));
    methodLabel_->setGeometry(2, kGroupTitle, groupWidth - 4, 40);
    methodLabel_->setAlignment(Qt::AlignCenter);
    methodLabel_->setTextFormat(Qt::PlainText);
    methodLabel_->setFont(ui::displayFont(29, true));

    statusPanels_ = new ui::StatusPanels({130, 130, 130}, resultsGroup_);
    statusPanels_->setObjectName(QStringLiteral("StatusOctan"));
    statusPanels_->setGeometry(2, groupHeight - 19 - 2, groupWidth - 4, 19);

    calibrationLabel_ = new QLabel(resultsGroup_);
    calibrationLabel_->setObjectName(QStringLiteral("Label1"));
    const int labelTop = kGroupTitle + 40;
    calibrationLabel_->setGeometry(2, labelTop, groupWidth - 4, groupHeight - 19 - 2 - labelTop);
    calibrationLabel_->setAlignment(Qt::AlignCenter);
    // The calibration's name comes from the meter: shown as it is, never as markup.
    calibrationLabel_->setTextFormat(Qt::PlainText);
}

} // namespace zr::app
