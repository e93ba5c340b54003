#pragma once

#include <QWidget>

class QLineSeries;
class QPushButton;

namespace zr::records {

// The hidden chart page: one red line series on a fixed 4000..9000 axis, and a clear button.
// Its contents are built when the page is first shown or asked for: most runs never show it,
// and the chart is the slowest widget of the window to build.
class ChartPage : public QWidget {
    Q_OBJECT
public:
    explicit ChartPage(QWidget* parent = nullptr);

    QPushButton* clearButton();
    QLineSeries* series();

    // Removes all points of Series1.
    void Button4Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();

    QLineSeries* series1_ = nullptr;
    QPushButton* button4_ = nullptr;
};

} // namespace zr::records
