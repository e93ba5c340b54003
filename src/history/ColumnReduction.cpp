#include "history/ColumnReduction.h"

#include <algorithm>
#include <cmath>

namespace zr::history {

double pointColumn(int index, int count, int width) {
    if (count <= 1) {
        return (width - 1) / 2.0;
    }
    return static_cast<double>(index) * (width - 1) / (count - 1);
}

namespace {

int columnOf(int index, int count, int width) {
    return static_cast<int>(std::floor(pointColumn(index, count, width)));
}

} // namespace

PointRange pointsInColumn(int column, int count, int width) {
    if (count <= 0 || width <= 0) {
        return {};
    }
    // Columns grow with the index: the first index at or past a column, by bisection.
    const auto firstAt = [&](int c) {
        int low = 0;
        int high = count;
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (columnOf(middle, count, width) < c) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        return low;
    };
    return {firstAt(column), firstAt(column + 1)};
}

std::vector<ColumnSpan> reduceToColumns(std::span<const double> values, int width) {
    std::vector<ColumnSpan> columns(static_cast<std::size_t>(std::max(width, 0)));
    const int count = static_cast<int>(values.size());
    for (int i = 0; i < count && width > 0; ++i) {
        const double value = values[static_cast<std::size_t>(i)];
        if (std::isnan(value)) {
            continue;
        }
        ColumnSpan& span = columns[static_cast<std::size_t>(columnOf(i, count, width))];
        if (span.empty) {
            span = {false, value, value, value, value};
        } else {
            span.min = std::min(span.min, value);
            span.max = std::max(span.max, value);
            span.last = value;
        }
    }
    return columns;
}

} // namespace zr::history
