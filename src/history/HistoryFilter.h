#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace zr::history {

// Which rows of the journal the history shows. An absent field does not filter.
struct HistoryFilter {
    // Rows measured from `since` on and before `before`.
    QDateTime since;
    QDateTime before;
    std::optional<QString> number;
    std::optional<QString> grade;
    std::optional<QString> tank;
    std::optional<QString> supplier;
    // A method code; 0 takes the rows written without one.
    std::optional<int> method;
    // Rows deleted from the table are left out unless asked for.
    bool includeDeleted = false;
    // Only rows made up to this one: the journal as it was when the filter was applied, so that
    // the rows shown, their count and their charts are the same rows however long apart they
    // are read. Absent: every row.
    std::optional<qint64> lastRowId;

    bool operator==(const HistoryFilter&) const = default;
};

} // namespace zr::history
