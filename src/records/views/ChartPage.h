#pragma once

#include <QWidget>
#include <functional>

class QPushButton;

namespace zr::records {

// The hidden chart page: one red line series on a fixed 4000..9000 axis, and a clear button.
// Its contents are built when the page is first shown or asked for: most runs never show it, and
// the chart comes from a module (ChartBuilder) loaded only then.
class ChartPage : public QWidget {
    Q_OBJECT
public:
    explicit ChartPage(QWidget* parent = nullptr);

    QPushButton* clearButton();

    // Removes all points of Series1.
    void clearChart();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();

    QPushButton* clearButton_ = nullptr;
    std::function<void()> clearSeries_;
};

} // namespace zr::records
