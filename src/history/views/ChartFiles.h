#pragma once

#include "history/ChartSeries.h"

#include <QString>

class QPagedPaintDevice;

namespace zr::common {
class FileAccess;
}

namespace zr::history {

enum class ChartFileType { Png, Svg, Pdf };

// The type a file name asks for by its suffix; PNG for any other.
ChartFileType chartFileTypeOf(const QString& fileName);

// Writes the chart to `fileName`, replacing the file only once the new one is whole: PNG and
// SVG the picture, PDF the picture and the table of its points, as printed. Returns why it
// could not be written, empty when it was.
QString saveChart(const ControlChartData& data, const QString& title, const QString& fileName,
                  ChartFileType type, common::FileAccess& files);

// The chart on the first page, the table of its points on the pages after it.
void paintChartDocument(QPagedPaintDevice& device, const ControlChartData& data,
                        const QString& title);

} // namespace zr::history
