#pragma once

#include <QFrame>
#include <QString>
#include <vector>

class QLabel;

namespace zr::ui {

// A status bar of text panels, addressed by panel index: each has its width, and the last one
// reaches the bar's right edge.
class StatusPanels : public QFrame {
    Q_OBJECT
public:
    StatusPanels(std::initializer_list<int> widths, QWidget* parent = nullptr);

    int panelCount() const { return static_cast<int>(panels_.size()); }
    QString panelText(int index) const;
    void setPanelText(int index, const QString& text);
    QLabel* panel(int index) const;

private:
    std::vector<QLabel*> panels_;
};

} // namespace zr::ui
