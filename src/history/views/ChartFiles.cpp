#include "history/views/ChartFiles.h"

#include "common/FileAccess.h"
#include "history/ChartPointTable.h"
#include "history/views/ControlChartPainter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace zr::history {

namespace {

// Pictures are drawn at this size in pixels, documents in a 96-dpi space scaled to the page.
constexpr QSize kPictureSize(1600, 1000);
constexpr double kDocumentDpi = 96.0;
constexpr int kFontPixels = 13;
constexpr int kTableFontPixels = 11;

QFont pixelFont(int pixels) {
    QFont font;
    font.setPixelSize(pixels);
    return font;
}

void paintChart(QPainter& painter, const QRectF& area, const ControlChartData& data,
                const QString& title, int fontPixels) {
    ControlChartPainter chart;
    chart.setData(&data);
    chart.setTitle(title);
    chart.setFont(pixelFont(fontPixels));
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    chart.paint(painter, area);
}

// Widths of the point table's columns, as shares of the page's width.
constexpr double kColumnShares[] = {0.07, 0.09, 0.19, 0.09, 0.09, 0.09, 0.38};

void paintPointTable(QPagedPaintDevice& device, QPainter& painter, const QRectF& page,
                     const TextTable& table) {
    painter.setFont(pixelFont(kTableFontPixels));
    const double rowHeight = QFontMetricsF(painter.font()).height() * 1.4;
    const auto paintRow = [&](const QStringList& cells, double y, bool header) {
        QFont font = painter.font();
        font.setBold(header);
        painter.setFont(font);
        double x = page.left();
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const double width = page.width() * kColumnShares[c];
            painter.drawText(QRectF(x + 2, y, width - 4, rowHeight),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             QFontMetricsF(font).elidedText(cells[c], Qt::ElideRight, width - 4));
            x += width;
        }
        painter.drawLine(QPointF(page.left(), y + rowHeight), QPointF(page.right(), y + rowHeight));
    };
    double y = page.bottom();
    for (const QStringList& row : table.rows) {
        if (y + rowHeight > page.bottom()) {
            device.newPage();
            y = page.top();
            paintRow(table.headers, y, true);
            y += rowHeight;
        }
        paintRow(row, y, false);
        y += rowHeight;
    }
}

} // namespace

ChartFileType chartFileTypeOf(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("svg")) {
        return ChartFileType::Svg;
    }
    if (suffix == QLatin1String("pdf")) {
        return ChartFileType::Pdf;
    }
    return ChartFileType::Png;
}

void paintChartDocument(QPagedPaintDevice& device, const ControlChartData& data,
                        const QString& title) {
    QPainter painter(&device);
    // Laid out in 96-dpi units whatever the device's resolution.
    const double scale = device.logicalDpiX() / kDocumentDpi;
    painter.scale(scale, scale);
    const QRectF page(0, 0, device.width() / scale, device.height() / scale);
    paintChart(painter, page, data, title, kFontPixels);
    paintPointTable(device, painter, page, chartPointTable(data));
}

QString saveChart(const ControlChartData& data, const QString& title, const QString& fileName,
                  ChartFileType type, common::FileAccess& files) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    switch (type) {
    case ChartFileType::Png: {
        QImage image(kPictureSize, QImage::Format_RGB32);
        {
            QPainter painter(&image);
            paintChart(painter, QRectF(QPointF(0, 0), kPictureSize), data, title, kFontPixels);
        }
        image.save(&buffer, "PNG");
        break;
    }
    case ChartFileType::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(kPictureSize);
        svg.setViewBox(QRect(QPoint(0, 0), kPictureSize));
        svg.setTitle(title);
        QPainter painter(&svg);
        paintChart(painter, QRectF(QPointF(0, 0), kPictureSize), data, title, kFontPixels);
        break;
    }
    case ChartFileType::Pdf: {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        paintChartDocument(pdf, data, title);
        break;
    }
    }
    return files.replace(fileName, buffer.data());
}

} // namespace zr::history
