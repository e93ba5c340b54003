#include "history/views/ControlChartPainter.h"
#include "history/ColumnReduction.h"
#include "history/views/ChartColors.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

namespace zr::history {
namespace {

// Every point falls into exactly the column pointsInColumn names, whatever the ratio of points
// to pixels, so that hovering finds the point drawn under the cursor.
TEST(ColumnReductionTest, EveryPointIsInTheColumnItIsDrawnIn) {
    const std::pair<int, int> sizes[] = {{1, 500},   {2, 500},      {7, 500}, {500, 500},
                                         {501, 500}, {100000, 733}, {3, 1}};
    for (const auto& [count, width] : sizes) {
        SCOPED_TRACE(testing::Message() << count << " points over " << width << " columns");
        int seen = 0;
        for (int column = 0; column < width; ++column) {
            const PointRange range = pointsInColumn(column, count, width);
            ASSERT_EQ(range.first, seen);
            for (int i = range.first; i < range.end; ++i) {
                ASSERT_EQ(static_cast<int>(std::floor(pointColumn(i, count, width))), column);
            }
            seen = range.end;
        }
        EXPECT_EQ(seen, count);
    }
}

TEST(ColumnReductionTest, AColumnSpansItsPointsInOrder) {
    // A moving-range series: its first point undefined.
    const std::vector<double> values = {NAN, 5, 1, 9, 4, 7};

    const std::vector<ColumnSpan> columns = reduceToColumns(values, 2);

    ASSERT_EQ(columns.size(), 2u);
    // The first point on column 0, the last on column 1, the rest where x = i / 5 falls: points
    // 0 to 4 in column 0 (the undefined one skipped), point 5 alone in column 1.
    EXPECT_EQ(columns[0].min, 1);
    EXPECT_EQ(columns[0].max, 9);
    EXPECT_EQ(columns[0].first, 5);
    EXPECT_EQ(columns[0].last, 4);
    EXPECT_EQ(columns[1].min, 7);
    EXPECT_EQ(columns[1].max, 7);
}

// A hundred thousand points on 800 pixels: the one point beyond the limits is still drawn where
// it is, on top of the reduced series.
TEST(ControlChartPainterTest, AMarkedPointAmongAHundredThousandIsDrawn) {
    constexpr int kPoints = 100000;
    constexpr int kOutlier = 54321;
    ChartSeries series;
    for (int i = 0; i < kPoints; ++i) {
        series.ids.push_back(i);
        series.numbers.push_back(QString::number(i));
        series.moments.push_back(QDateTime(QDate(2026, 1, 1), QTime(), Qt::UTC).addSecs(i));
        series.values.push_back(i == kOutlier ? 95.0 : 92.0 + (i % 2) * 0.1);
    }
    const ControlChartData data = buildControlCharts(std::move(series), {}, 0.4);
    ASSERT_FALSE(data.charts.violations.empty());
    ASSERT_EQ(data.charts.violations.front().point, kOutlier);

    ControlChartPainter painter;
    painter.setData(&data);
    const QRectF area(0, 0, 800, 600);
    QImage image(800, 600, QImage::Format_RGB32);
    {
        QPainter onImage(&image);
        painter.paint(onImage, area);
    }

    const std::optional<QPointF> at =
        painter.pointPosition(quality::Chart::Individuals, kOutlier, area);
    ASSERT_TRUE(at.has_value());
    EXPECT_EQ(image.pixelColor(at->toPoint()), chartMarkColor());
    EXPECT_EQ(painter.pointAt(*at, area), kOutlier);
}

} // namespace
} // namespace zr::history
