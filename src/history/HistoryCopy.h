#pragma once

#include "journal/History.h"

#include <map>
#include <memory>

namespace zr::journal {
class Database;
class Statement;
} // namespace zr::journal

namespace zr::history {

// An in-memory journal of the typed schema, with the history's indexes, filled with rows as they
// are read: for a history that is not a typed journal file (one of the text schema, or the rows
// of every PC on the journal's server), queried then as a journal file is.
class HistoryCopy {
public:
    HistoryCopy();
    ~HistoryCopy();
    HistoryCopy(const HistoryCopy&) = delete;
    HistoryCopy& operator=(const HistoryCopy&) = delete;

    // Adds `row`, and its session the first time that session comes (known by its uuid, or by
    // its id when it has none).
    void add(const journal::HistoryRow& row);
    // The filled journal; the copy takes no more rows.
    std::unique_ptr<journal::Database> finish();

private:
    qint64 sessionOf(const journal::HistorySession& session);

    std::unique_ptr<journal::Database> db_;
    std::unique_ptr<journal::Statement> insertSession_;
    std::unique_ptr<journal::Statement> insertRow_;
    std::map<QString, qint64> sessions_;
    qint64 rows_ = 0;
};

} // namespace zr::history
