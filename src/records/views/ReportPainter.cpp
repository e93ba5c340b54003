#include "records/views/ReportPainter.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

namespace zr::records {

namespace {

constexpr double kFontPoints = 9;
constexpr double kPaddingPoints = 1.5;
constexpr int kCellFlags = Qt::AlignCenter | Qt::TextWordWrap;

struct TableLayout {
    std::vector<double> columnWidths;
    std::vector<double> rowHeights; // header first
};

double natural(const QFontMetricsF& metrics, const QString& text) {
    // Lines break only where the text does; the widest line counts.
    if (!text.contains(QLatin1Char('\n'))) {
        return metrics.horizontalAdvance(text);
    }
    double widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    return widest;
}

TableLayout layOut(const ReportPage& page, const QFontMetricsF& body, const QFontMetricsF& header,
                   double pageWidth, double padding) {
    std::size_t columns = 0;
    for (const QStringList& row : page.rows) {
        columns = std::max(columns, static_cast<std::size_t>(row.size()));
    }
    TableLayout layout;
    std::vector<double> naturalWidths(columns, 0);
    std::vector<std::vector<double>> advances(page.rows.size());
    for (std::size_t r = 0; r < page.rows.size(); ++r) {
        const QFontMetricsF& metrics = r == 0 ? header : body;
        const QStringList& row = page.rows[r];
        advances[r].resize(static_cast<std::size_t>(row.size()));
        for (qsizetype c = 0; c < row.size(); ++c) {
            const double width = natural(metrics, row[c]);
            advances[r][static_cast<std::size_t>(c)] = width;
            naturalWidths[static_cast<std::size_t>(c)] =
                std::max(naturalWidths[static_cast<std::size_t>(c)], width);
        }
    }
    // Like a table of width 100%: every column gets its share of the page by its widest text.
    double total = 0;
    for (double& width : naturalWidths) {
        width = std::max(width, body.averageCharWidth()) + 2 * padding;
        total += width;
    }
    layout.columnWidths.resize(columns);
    for (std::size_t c = 0; c < columns; ++c) {
        layout.columnWidths[c] = total > 0 ? naturalWidths[c] * pageWidth / total : 0;
    }
    layout.rowHeights.resize(page.rows.size());
    for (std::size_t r = 0; r < page.rows.size(); ++r) {
        const QFontMetricsF& metrics = r == 0 ? header : body;
        double height = metrics.height();
        const QStringList& row = page.rows[r];
        for (qsizetype c = 0; c < row.size(); ++c) {
            const double room = layout.columnWidths[static_cast<std::size_t>(c)] - 2 * padding;
            if (advances[r][static_cast<std::size_t>(c)] > room ||
                row[c].contains(QLatin1Char('\n'))) {
                height = std::max(
                    height,
                    metrics.boundingRect(QRectF(0, 0, room, 1e9), kCellFlags, row[c]).height());
            }
        }
        layout.rowHeights[r] = height + 2 * padding;
    }
    return layout;
}

void paintRow(QPainter& painter, const QStringList& row, const TableLayout& layout, double y,
              double height, double padding) {
    double x = 0;
    for (std::size_t c = 0; c < layout.columnWidths.size(); ++c) {
        const QRectF cell(x, y, layout.columnWidths[c], height);
        painter.drawRect(cell);
        if (static_cast<qsizetype>(c) < row.size() && !row[static_cast<qsizetype>(c)].isEmpty()) {
            painter.drawText(cell.adjusted(padding, padding, -padding, -padding), kCellFlags,
                             row[static_cast<qsizetype>(c)]);
        }
        x += layout.columnWidths[c];
    }
}

} // namespace

int paintReportPage(QPagedPaintDevice& device, const ReportPage& page) {
    QPainter painter(&device);
    if (!painter.isActive()) {
        return 0;
    }
    QFont bodyFont = QGuiApplication::font();
    bodyFont.setPointSizeF(kFontPoints);
    QFont headerFont = bodyFont;
    headerFont.setBold(true);
    const QFontMetricsF body(bodyFont, &device);
    const QFontMetricsF header(headerFont, &device);
    const double padding = kPaddingPoints * device.logicalDpiY() / 72.0;
    const double pageWidth = device.width() - 1;
    const double pageHeight = device.height() - 1;

    if (page.rows.empty()) {
        return 1;
    }
    const TableLayout layout = layOut(page, body, header, pageWidth, padding);
    QPen pen(Qt::black);
    pen.setWidthF(std::max(1.0, device.logicalDpiY() / 96.0));
    painter.setPen(pen);

    int pages = 1;
    const auto paintHeader = [&] {
        painter.setFont(headerFont);
        paintRow(painter, page.rows[0], layout, 0, layout.rowHeights[0], padding);
        painter.setFont(bodyFont);
        return layout.rowHeights[0];
    };
    double y = paintHeader();
    bool pageHasRows = false;
    for (std::size_t r = 1; r < page.rows.size(); ++r) {
        const double height = layout.rowHeights[r];
        if (pageHasRows && y + height > pageHeight) {
            device.newPage();
            ++pages;
            y = paintHeader();
            pageHasRows = false;
        }
        paintRow(painter, page.rows[r], layout, y, height, padding);
        y += height;
        pageHasRows = true;
    }
    return pages;
}

} // namespace zr::records
