#pragma once

#include <QWidget>

class QLineSeries;
class QPushButton;

namespace zr::records {

// The hidden chart page: one red line series on a fixed 4000..9000 axis, and a clear button.
class ChartPage : public QWidget {
    Q_OBJECT
public:
    explicit ChartPage(QWidget* parent = nullptr);

    QPushButton* clearButton() const { return button4_; }
    QLineSeries* series() const { return series1_; }

    // Removes all points of Series1.
    void Button4Click();

private:
    QLineSeries* series1_;
    QPushButton* button4_;
};

} // namespace zr::records
