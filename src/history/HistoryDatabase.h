#pragma once

#include "history/ChartSeries.h"
#include "history/HistoryQuery.h"
#include "journal/TableRow.h"

#include <QDateTime>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace zr::journal {
class Database;
class Statement;
} // namespace zr::journal

namespace zr::history {

class HistoryCopy;

// One row of the history: the row as its table held it, its session's start, its deletion.
struct HistoryRecord {
    qint64 id = 0;
    QDateTime sessionStarted;
    // Invalid for a row still in its table.
    QDateTime deleted;
    journal::TableRow row;
};

// A page of the history and where the next one starts.
struct HistoryPage {
    std::vector<HistoryRecord> records;
    // Absent when the page was the last.
    std::optional<PageKey> next;
};

// The journal read for the history window and `zr6040ctl qc`, never written and never locked
// against the program that writes it: each query reads the file as it is then. A journal of the
// typed schema is queried where it is; one of the text schema, from before the typed one, is
// read once into memory and queried there the same way.
class HistoryDatabase {
public:
    // Throws journal::SqliteError, or journal::JournalRefused for a file that is not this
    // program's journal or of a newer version.
    HistoryDatabase(const QString& path, int busyTimeoutMs);
    // The rows of `copy`, which takes no more.
    explicit HistoryDatabase(HistoryCopy& copy);
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase&) = delete;
    HistoryDatabase& operator=(const HistoryDatabase&) = delete;

    // The file's schema version (1 or 2).
    int schemaVersion() const { return schemaVersion_; }

    HistoryPage page(const HistoryFilter& filter, const HistorySort& sort,
                     const std::optional<PageKey>& after, int limit);
    qint64 count(const HistoryFilter& filter);
    ChartSeries series(const HistoryFilter& filter);
    std::optional<HistoryRecord> record(qint64 id);
    // The id of the row made last, 0 when there is none: for HistoryFilter::lastRowId.
    qint64 lastRowId();
    // The texts that occur in the grade, tank or supplier column.
    QStringList texts(HistoryColumn column);

private:
    journal::Statement& prepared(const SqlText& text);

    std::unique_ptr<journal::Database> db_;
    int schemaVersion_ = 0;
    // Prepared once per statement text: paging re-runs the same few statements.
    std::map<QString, std::unique_ptr<journal::Statement>> statements_;
};

} // namespace zr::history
