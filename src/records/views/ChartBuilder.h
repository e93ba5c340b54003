#pragma once

#include <QtPlugin>
#include <functional>

class QWidget;

namespace zr::records {

// The chart of the chart page, made by the chart module (records/views/chart). Only that module
// links Qt Charts, which with what it pulls in costs the start-up of every run several per cent;
// the program loads it when the page is first shown, which most runs never do.
class ChartBuilder {
public:
    virtual ~ChartBuilder() = default;
    // Puts the chart into `page`; returns what removes every point of its series.
    virtual std::function<void()> build(QWidget* page) = 0;
};

// The module's file name without prefix and suffix, looked for on the library paths.
inline constexpr const char* kChartModuleName = "zr6040usb-chart";

} // namespace zr::records

#define ZR_CHART_BUILDER_IID "io.github.zr6040usb.ChartBuilder/1"
Q_DECLARE_INTERFACE(zr::records::ChartBuilder, ZR_CHART_BUILDER_IID)
