#include "ui/StatusPanels.h"

#include <QHBoxLayout>
#include <QLabel>

namespace zr::ui {

StatusPanels::StatusPanels(std::initializer_list<int> widths, QWidget* parent) : QFrame(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 1, 0, 0);
    layout->setSpacing(2);
    int index = 0;
    for (int width : widths) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(index++));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setMinimumWidth(width);
        label->setMaximumWidth(width);
        layout->addWidget(label);
        panels_.push_back(label);
    }
    // As in a status bar, the last panel reaches the right edge.
    if (!panels_.empty()) {
        panels_.back()->setMaximumWidth(QWIDGETSIZE_MAX);
        layout->setStretchFactor(panels_.back(), 1);
    } else {
        layout->addStretch(1);
    }
}

QLabel* StatusPanels::panel(int index) const {
    return index >= 0 && index < panelCount() ? panels_[static_cast<std::size_t>(index)] : nullptr;
}

QString StatusPanels::panelText(int index) const {
    const QLabel* label = panel(index);
    return label ? label->text() : QString();
}

void StatusPanels::setPanelText(int index, const QString& text) {
    if (QLabel* label = panel(index)) {
        label->setText(text);
    }
}

} // namespace zr::ui
