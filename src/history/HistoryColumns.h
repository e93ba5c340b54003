#pragma once

#include <QString>
#include <Qt>

namespace zr::history {

// The history's columns: the session's start, the measurement table's seven, and the deletion.
enum class HistoryColumn {
    SessionStarted,
    Number,
    Grade,
    Tank,
    Supplier,
    Method,
    Value,
    Moment,
    Deleted,
};

inline constexpr int kHistoryColumnCount = 9;

QString historyColumnHeader(HistoryColumn column);

// The history's order: by a column, then by the moment of measurement and the row, the same way.
struct HistorySort {
    HistoryColumn column = HistoryColumn::Moment;
    Qt::SortOrder order = Qt::DescendingOrder;

    bool operator==(const HistorySort&) const = default;
};

} // namespace zr::history
