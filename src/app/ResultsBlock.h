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

    QLabel* methodLabel() const { return txtmetod_; }
    QLabel* calibrationLabel() const { return label1_; }
    ui::StatusPanels* statusOctan() const { return statusOctan_; }
    QLabel* valuePanel() const { return panel2_; }

private:
    QGroupBox* groupBox4_;
    QLabel* txtmetod_;
    QLabel* label1_;
    ui::StatusPanels* statusOctan_;
    QLabel* panel2_;
};

} // namespace zr::app
