#pragma once

#include <span>
#include <vector>

namespace zr::history {

// What the points that fall into one pixel column of a chart span. A line through a series of
// any length is drawn as one vertical stroke per column plus the joins between columns, so a
// frame costs the width of the chart, not the length of the series.
struct ColumnSpan {
    bool empty = true;
    double min = 0;
    double max = 0;
    // The column's first and last points in series order, which the joins connect.
    double first = 0;
    double last = 0;
};

// The x of point `index` of `count` points spread over `width` pixel columns: the first point
// on column 0, the last on column width - 1.
double pointColumn(int index, int count, int width);

// The points whose column is `column`, as the index range [first, end).
struct PointRange {
    int first = 0;
    int end = 0;
};
PointRange pointsInColumn(int column, int count, int width);

// Every column's span over `width` columns. NaN values (a series' undefined points) are skipped.
std::vector<ColumnSpan> reduceToColumns(std::span<const double> values, int width);

} // namespace zr::history
