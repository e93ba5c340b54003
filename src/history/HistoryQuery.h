#pragma once

#include "history/HistoryColumns.h"
#include "history/HistoryFilter.h"

#include <QString>
#include <optional>
#include <variant>
#include <vector>

namespace zr::history {

using SqlValue = std::variant<qint64, double, QString>;

// A statement's text and the values of its parameters ?1, ?2, … in order.
struct SqlText {
    QString sql;
    std::vector<SqlValue> values;
};

// Where a page ends: the sort key, the moment and the id of its last row. The next page starts
// after it, so a page costs the same at the millionth row as at the first.
struct PageKey {
    SqlValue key;
    QString moment;
    qint64 id = 0;
};

// The rows of the page after `after` (from the first row without it), at most `limit`:
// id, the session's start, the deletion, the typed row columns (journal/RowColumns.h) and the
// sort key.
SqlText pageQuery(const HistoryFilter& filter, const HistorySort& sort,
                  const std::optional<PageKey>& after, int limit);
// The column index of the sort key in a page's rows.
int pageKeyColumn();

SqlText countQuery(const HistoryFilter& filter);

// The rows a control chart shows, oldest first: id, sample number, moment and value of every
// row with a value that is still in its table.
SqlText seriesQuery(const HistoryFilter& filter);

// One row by its id, in the page's columns.
SqlText rowQuery(qint64 id);
// The id of the row made last (0 in an empty journal).
SqlText lastRowQuery();

// The texts that occur in the column (grade, tank or supplier), in order, empty ones left out.
SqlText distinctQuery(HistoryColumn column);

} // namespace zr::history
