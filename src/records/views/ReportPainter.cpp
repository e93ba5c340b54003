#include "records/views/ReportPainter.h"

#include "records/MeasurementRow.h"
#include "records/ReportTexts.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <memory>
#include <numeric>
#include <vector>

namespace zr::records {

namespace {

constexpr double kFontPoints = 9;
constexpr double kPaddingPoints = 1.5;
// Below this, two positions on the page are the same.
constexpr double kSlack = 0.01;

constexpr int kColumns = MeasurementRow::kColumns;
// The texts of one printed row, in column order.
using RowTexts = std::array<QString, kColumns>;

// One cell's text in its column: a single line, or the lines it wraps into.
struct CellText {
    std::unique_ptr<QTextLayout> wrapped; // none: one line, painted as it stands
    double height = 0;
};

struct Row {
    std::vector<CellText> cells;
    double height = 0; // with the padding
};

struct Fonts {
    QFont font;
    QFontMetricsF metrics;
};

struct ColumnNeeds {
    double widest = 0;     // the longest line, unbroken
    double widestWord = 0; // the longest stretch that breaks only when nothing else fits
};

double lineWidth(const QFontMetricsF& metrics, const QString& text) {
    if (!text.contains(QLatin1Char('\n'))) {
        return metrics.horizontalAdvance(text);
    }
    double widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    return widest;
}

double wordWidth(const QFontMetricsF& metrics, const QString& text, double whole) {
    if (!std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.isSpace(); })) {
        return whole;
    }
    double widest = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i].isSpace()) {
            if (i > start) {
                widest = std::max(widest, metrics.horizontalAdvance(text.mid(start, i - start)));
            }
            start = i + 1;
        }
    }
    return widest;
}

// The level that `share` (rising with the level) brings to `total`, found by halving.
template <typename Share> double levelFor(double total, double high, Share share) {
    double low = 0;
    for (int i = 0; i < 60; ++i) {
        const double middle = (low + high) / 2;
        (share(middle) > total ? high : low) = middle;
    }
    return low;
}

// Like a table of width 100%: when every text fits on one line, columns share the page by their
// longest text. Otherwise short columns keep their whole text, and the long ones share what is
// left evenly and wrap; only words wider than that are broken.
std::vector<double> columnWidths(const std::vector<ColumnNeeds>& needs, double pageWidth,
                                 double minimum, double padding) {
    std::vector<double> most;
    std::vector<double> least;
    for (const ColumnNeeds& need : needs) {
        most.push_back(std::max(need.widest, minimum) + 2 * padding);
        // A word alone may measure a hair wider than within its line.
        least.push_back(std::min(std::max(need.widestWord, minimum) + 2 * padding, most.back()));
    }
    const double sumMost = std::accumulate(most.begin(), most.end(), 0.0);
    const double sumLeast = std::accumulate(least.begin(), least.end(), 0.0);
    std::vector<double> widths(needs.size());
    if (sumMost <= pageWidth) {
        for (std::size_t c = 0; c < needs.size(); ++c) {
            widths[c] = most[c] * pageWidth / sumMost;
        }
    } else if (sumLeast <= pageWidth) {
        const auto width = [&](std::size_t c, double level) {
            return std::clamp(level, least[c], most[c]);
        };
        const double level =
            levelFor(pageWidth, *std::max_element(most.begin(), most.end()), [&](double at) {
                double sum = 0;
                for (std::size_t c = 0; c < needs.size(); ++c) {
                    sum += width(c, at);
                }
                return sum;
            });
        for (std::size_t c = 0; c < needs.size(); ++c) {
            widths[c] = width(c, level);
        }
    } else {
        const double level =
            levelFor(pageWidth, *std::max_element(least.begin(), least.end()), [&](double at) {
                double sum = 0;
                for (const double word : least) {
                    sum += std::min(word, at);
                }
                return sum;
            });
        for (std::size_t c = 0; c < needs.size(); ++c) {
            widths[c] = std::min(least[c], level);
        }
    }
    return widths;
}

std::unique_ptr<QTextLayout> wrap(QString text, const QFont& font, QPaintDevice* device,
                                  double room) {
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    auto layout = std::make_unique<QTextLayout>(text, font, device);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->beginLayout();
    double y = 0;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(room);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout->endLayout();
    return layout;
}

// Calls `each(top, height)` for every line of the cell, from the top of its text.
template <typename Each> void forEachLine(const CellText& cell, Each each) {
    if (!cell.wrapped) {
        each(0.0, cell.height, -1);
        return;
    }
    for (int i = 0; i < cell.wrapped->lineCount(); ++i) {
        const QTextLine line = cell.wrapped->lineAt(i);
        each(line.y(), line.height(), i);
    }
}

class PrintedTable {
public:
    PrintedTable(const MeasurementRows& table, const Fonts& body, const Fonts& header,
                 QPaintDevice* device, double pageWidth, double pageHeight, double padding)
        : body_(body), header_(header), pageHeight_(pageHeight), padding_(padding) {
        // The header row, then every row of the table, its entry row included.
        texts_.reserve(static_cast<std::size_t>(table.size()) + 1);
        texts_.push_back(reportHeaders());
        const QLocale locale;
        for (const MeasurementRow& tableRow : table) {
            RowTexts& row = texts_.emplace_back();
            for (int c = 0; c < kColumns; ++c) {
                row[static_cast<std::size_t>(c)] = measurementCellText(tableRow, c, locale);
            }
        }
        const std::size_t columns = kColumns;
        std::vector<ColumnNeeds> needs(columns);
        std::vector<std::vector<double>> advances(texts_.size());
        for (std::size_t r = 0; r < texts_.size(); ++r) {
            const QFontMetricsF& metrics = fontsOf(r).metrics;
            for (std::size_t c = 0; c < columns; ++c) {
                const QString& text = texts_[r][c];
                const double whole = lineWidth(metrics, text);
                advances[r].push_back(whole);
                ColumnNeeds& need = needs[c];
                need.widest = std::max(need.widest, whole);
                need.widestWord = std::max(need.widestWord, wordWidth(metrics, text, whole));
            }
        }
        widths_ = columnWidths(needs, pageWidth, body.metrics.averageCharWidth(), padding);

        rows_.resize(texts_.size());
        for (std::size_t r = 0; r < texts_.size(); ++r) {
            const Fonts& fonts = fontsOf(r);
            const RowTexts& texts = texts_[r];
            Row& row = rows_[r];
            row.cells.resize(columns);
            double tallest = fonts.metrics.height();
            for (std::size_t c = 0; c < columns; ++c) {
                CellText& cell = row.cells[c];
                const double room = widths_[c] - 2 * padding;
                if (advances[r][c] > room || texts[c].contains(QLatin1Char('\n'))) {
                    cell.wrapped = wrap(texts[c], fonts.font, device, room);
                    const QTextLine last = cell.wrapped->lineAt(cell.wrapped->lineCount() - 1);
                    cell.height = last.isValid() ? last.y() + last.height() : 0;
                } else {
                    cell.height = fonts.metrics.height();
                }
                tallest = std::max(tallest, cell.height);
            }
            row.height = tallest + 2 * padding;
        }
    }

    std::size_t rowCount() const { return rows_.size(); }
    double height(std::size_t r) const { return rows_[r].height; }

    // Where a row taller than the page breaks at `limit` or above it, so that no line of any
    // cell is cut; `limit` itself when only a cut line makes progress.
    double breakAt(std::size_t r, double from, double limit) const {
        double at = limit;
        for (bool moved = true; moved;) {
            moved = false;
            for (std::size_t c = 0; c < rows_[r].cells.size(); ++c) {
                const double top = textTop(r, c);
                forEachLine(rows_[r].cells[c], [&](double y, double lineHeight, int) {
                    if (top + y < at - kSlack && top + y + lineHeight > at + kSlack) {
                        at = top + y;
                        moved = true;
                    }
                });
            }
        }
        return at > from + kSlack ? at : limit;
    }

    // Paints the part of row `r` from `from` to `to` (from its top) with its top at `y`.
    void paint(QPainter& painter, std::size_t r, double from, double to, double y) const {
        const Row& row = rows_[r];
        const RowTexts& texts = texts_[r];
        painter.setFont(fontsOf(r).font);
        double x = 0;
        for (std::size_t c = 0; c < widths_.size(); ++c) {
            painter.drawRect(QRectF(x, y, widths_[c], to - from));
            const CellText& cell = row.cells[c];
            const double top = textTop(r, c);
            const double room = widths_[c] - 2 * padding_;
            forEachLine(cell, [&](double lineTop, double lineHeight, int index) {
                const double at = top + lineTop;
                if (at < from - kSlack || at >= to - kSlack) {
                    return;
                }
                const double shown = y + at - from;
                if (index < 0) {
                    if (!texts[c].isEmpty()) {
                        painter.drawText(QRectF(x + padding_, shown, room, lineHeight),
                                         Qt::AlignCenter | Qt::TextDontClip, texts[c]);
                    }
                } else {
                    cell.wrapped->lineAt(index).draw(&painter,
                                                     QPointF(x + padding_, shown - lineTop));
                }
            });
            x += widths_[c];
        }
    }

private:
    const Fonts& fontsOf(std::size_t r) const { return r == 0 ? header_ : body_; }

    // A row that fits on a page centres its cells' texts; a taller one starts them at its top,
    // so that what belongs together is printed together.
    double textTop(std::size_t r, std::size_t c) const {
        const Row& row = rows_[r];
        const double room = row.height - 2 * padding_;
        if (row.height > pageHeight_ - rows_[0].height) {
            return padding_;
        }
        return padding_ + (room - row.cells[c].height) / 2;
    }

    std::vector<RowTexts> texts_;
    const Fonts& body_;
    const Fonts& header_;
    double pageHeight_;
    double padding_;
    std::vector<double> widths_;
    std::vector<Row> rows_;
};

} // namespace

int paintReport(QPagedPaintDevice& device, const MeasurementRows& rows) {
    QPainter painter(&device);
    if (!painter.isActive()) {
        return 0;
    }
    QFont bodyFont = QGuiApplication::font();
    bodyFont.setPointSizeF(kFontPoints);
    QFont headerFont = bodyFont;
    headerFont.setBold(true);
    const Fonts body{bodyFont, QFontMetricsF(bodyFont, &device)};
    const Fonts header{headerFont, QFontMetricsF(headerFont, &device)};
    const double padding = kPaddingPoints * device.logicalDpiY() / 72.0;
    const double pageWidth = device.width() - 1;
    const double pageHeight = device.height() - 1;

    const PrintedTable printed(rows, body, header, &device, pageWidth, pageHeight, padding);
    QPen pen(Qt::black);
    pen.setWidthF(std::max(1.0, device.logicalDpiY() / 96.0));
    painter.setPen(pen);

    int pages = 1;
    const auto paintHeader = [&] {
        printed.paint(painter, 0, 0, printed.height(0), 0);
        return printed.height(0);
    };
    const auto nextPage = [&] {
        device.newPage();
        ++pages;
        return paintHeader();
    };
    double y = paintHeader();
    bool pageHasRows = false;
    for (std::size_t r = 1; r < printed.rowCount(); ++r) {
        const double height = printed.height(r);
        if (pageHasRows && y + height > pageHeight) {
            y = nextPage();
        }
        // A row taller than the page goes on over the next pages, each under the header.
        for (double from = 0; from < height - kSlack;) {
            // At least a little, so that a page too short for any line still ends.
            double to = std::min(height, from + std::max(pageHeight - y, 1.0));
            if (to < height - kSlack) {
                to = printed.breakAt(r, from, to);
            }
            printed.paint(painter, r, from, to, y);
            y += to - from;
            from = to;
            if (from < height - kSlack) {
                y = nextPage();
            }
        }
        pageHasRows = true;
    }
    return pages;
}

} // namespace zr::records
