#pragma once

#include "history/views/ControlChartPainter.h"

#include <QWidget>
#include <functional>

namespace zr::history {

// The control charts in the history window; hovering a point shows its row.
class ControlChartView : public QWidget {
    Q_OBJECT
public:
    explicit ControlChartView(QWidget* parent = nullptr);

    // `data` must outlive the view or the next setData(); null shows nothing.
    void setData(const ControlChartData* charts, const QString& title);
    // The text a hovered point shows: its row.
    void setPointDescription(std::function<QString(int point)> describe);

    ControlChartPainter& chartPainter() { return painter_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    ControlChartPainter painter_;
    std::function<QString(int)> describe_;
};

} // namespace zr::history
