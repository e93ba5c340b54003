#pragma once

#include "journal/History.h"

#include <map>
#include <memory>

namespace zr::journal {
class Database;
class Statement;
} // namespace zr::journal

namespace zr::history {

// An in-memory journal of the typed schema filled with rows as they are read: for a history that is
// not a typed journal file (one of the text schema, or the rows of every PC on the journal's
// server), queried then as a journal file is.
class HistoryCopy {
public:
    // What the copy is for: paged through in any order (the history window), with the history's
    // indexes, or read once (zr6040ctl qc), where making them costs more than a scan.
    enum class Use { Browsing, OneQuery };

    explicit HistoryCopy(Use use);
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

    Use use_;
    std::unique_ptr<journal::Database> db_;
    std::unique_ptr<journal::Statement> insertSession_;
    std::unique_ptr<journal::Statement> insertRow_;
    std::map<QString, qint64> sessions_;
    qint64 rows_ = 0;
};

} // namespace zr::history
