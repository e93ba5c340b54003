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

    panel2_ = new QLabel(connection::ShownCaptions::value({}), this);
    panel2_->setObjectName(QStringLiteral("Panel2"));
    panel2_->setGeometry(kWidth - kValueWidth - 1, 1, kValueWidth, kHeight - 2);
    panel2_->setAlignment(Qt::AlignCenter);
    panel2_->setTextFormat(Qt::PlainText);
    panel2_->setFrameShape(QFrame::Panel);
    panel2_->setFrameShadow(QFrame::Raised);
    panel2_->setFont(ui::displayFont(73));

    groupBox4_ = new QGroupBox(QStringLiteral("Результаты измерения"), this);
    groupBox4_->setObjectName(QStringLiteral("GroupBox4"));
    const int groupWidth = kWidth - kValueWidth - 2;
    const int groupHeight = kHeight - 2;
    groupBox4_->setGeometry(1, 1, groupWidth, groupHeight);
    groupBox4_->setFont(ui::uiFont(13));

    txtmetod_ = new QLabel(connection::ShownCaptions().method(), groupBox4_);
    txtmetod_->setObjectName(QStringLiteral("txtmetod"));
    txtmetod_->setGeometry(2, kGroupTitle, groupWidth - 4, 40);
    txtmetod_->setAlignment(Qt::AlignCenter);
    txtmetod_->setTextFormat(Qt::PlainText);
    txtmetod_->setFont(ui::displayFont(29, true));

    statusOctan_ = new ui::StatusPanels({130, 130, 130}, groupBox4_);
    statusOctan_->setObjectName(QStringLiteral("StatusOctan"));
    statusOctan_->setGeometry(2, groupHeight - 19 - 2, groupWidth - 4, 19);

    label1_ = new QLabel(groupBox4_);
    label1_->setObjectName(QStringLiteral("Label1"));
    const int labelTop = kGroupTitle + 40;
    label1_->setGeometry(2, labelTop, groupWidth - 4, groupHeight - 19 - 2 - labelTop);
    label1_->setAlignment(Qt::AlignCenter);
    // The calibration's name comes from the meter: shown as it is, never as markup.
    label1_->setTextFormat(Qt::PlainText);
}

} // namespace zr::app
