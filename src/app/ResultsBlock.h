#pragma once

#include <QFrame>

class QGroupBox;
class QLabel;

namespace zr::ui {
class StatusPanels;
}

namespace zr::app {

// The results block of the main window (Panel1): method name, the calibration in force, the
// correction/table/… status line and the big measured value.
class ResultsBlock : public QFrame {
    Q_OBJECT
public:
    explicit ResultsBlock(QWidget* parent = nullptr);

    QLabel* methodLabel() const { return methodLabel_; }
    QLabel* calibrationLabel() const { return calibrationLabel_; }
    ui::StatusPanels* statusPanels() const { return statusPanels_; }
    QLabel* valuePanel() const { return valuePanel_; }

private:
    QGroupBox* resultsGroup_;
    QLabel* methodLabel_;
    QLabel* calibrationLabel_;
    ui::StatusPanels* statusPanels_;
    QLabel* valuePanel_;
};

} // namespace zr::app
