#include "history/HistoryDatabase.h"

#include "history/HistoryCopy.h"
#include "journal/History.h"
#include "journal/Journal.h"
#include "journal/RowColumns.h"
#include "journal/Schema.h"

#include <sqlite3.h>

namespace zr::history {

namespace {

constexpr int kRowFirst = 3;

// The journal of the text schema, read into an in-memory journal of the typed one.
std::unique_ptr<journal::Database> typedCopyOf(const QString& path, int busyTimeoutMs) {
    journal::History history(path, busyTimeoutMs);
    HistoryCopy copy(HistoryCopy::Use::Browsing);
    history.select({}, {});
    journal::HistoryRow read;
    while (history.next(read)) {
        copy.add(read);
    }
    return copy.finish();
}

SqlValue keyAt(const journal::Statement& statement, int column, HistoryColumn sortColumn) {
    switch (sortColumn) {
    case HistoryColumn::SessionStarted:
    case HistoryColumn::Number:
    case HistoryColumn::Method:
        return statement.integer(column);
    case HistoryColumn::Value:
        return statement.real(column);
    default:
        return statement.text(column);
    }
}

HistoryRecord recordAt(const journal::Statement& statement) {
    return {statement.integer(0), journal::timeAt(statement, 1), journal::timeAt(statement, 2),
            journal::readRow(statement, kRowFirst)};
}

} // namespace

HistoryDatabase::HistoryDatabase(const QString& path, int busyTimeoutMs) {
    auto file = std::make_unique<journal::Database>(path, journal::Database::Access::ReadOnly);
    journal::check(file->handle(), sqlite3_busy_timeout(file->handle(), busyTimeoutMs), SQLITE_OK);
    schemaVersion_ = journal::knownJournalVersion(*file);
    if (schemaVersion_ == 0) {
        throw journal::JournalRefused{journal::JournalRefused::Reason::NotAJournal};
    }
    if (schemaVersion_ == journal::kTextSchemaVersion) {
        file.reset();
        db_ = typedCopyOf(path, busyTimeoutMs);
    } else {
        db_ = std::move(file);
    }
}

HistoryDatabase::HistoryDatabase(HistoryCopy& copy)
    : db_(copy.finish()), schemaVersion_(journal::kSchemaVersion) {}

HistoryDatabase::~HistoryDatabase() {
    // Statements before their connection.
    statements_.clear();
}

journal::Statement& HistoryDatabase::prepared(const SqlText& text) {
    auto& statement = statements_[text.sql];
    if (!statement) {
        statement =
            std::make_unique<journal::Statement>(db_->handle(), text.sql.toUtf8().constData());
    }
    statement->restart();
    for (std::size_t i = 0; i < text.values.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        std::visit(
            [&](const auto& value) {
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, double>) {
                    statement->bindReal(index, value);
                } else {
                    statement->bind(index, value);
                }
            },
            text.values[i]);
    }
    return *statement;
}

HistoryPage HistoryDatabase::page(const HistoryFilter& filter, const HistorySort& sort,
                                  const std::optional<PageKey>& after, int limit) {
    journal::Statement& select = prepared(pageQuery(filter, sort, after, limit));
    HistoryPage page;
    PageKey last;
    while (select.step()) {
        page.records.push_back(recordAt(select));
        last = {keyAt(select, pageKeyColumn(), sort.column),
                journal::timeText(page.records.back().row.moment), page.records.back().id};
    }
    select.restart();
    if (static_cast<int>(page.records.size()) == limit) {
        page.next = last;
    }
    return page;
}

qint64 HistoryDatabase::count(const HistoryFilter& filter) {
    journal::Statement& select = prepared(countQuery(filter));
    const qint64 count = select.step() ? select.integer(0) : 0;
    select.restart();
    return count;
}

ChartSeries HistoryDatabase::series(const HistoryFilter& filter) {
    journal::Statement& select = prepared(seriesQuery(filter));
    ChartSeries series;
    while (select.step()) {
        series.ids.push_back(select.integer(0));
        series.numbers.push_back(select.text(1));
        series.moments.push_back(journal::timeAt(select, 2));
        series.values.push_back(select.real(3));
    }
    select.restart();
    return series;
}

qint64 HistoryDatabase::lastRowId() {
    journal::Statement& select = prepared(lastRowQuery());
    const qint64 id = select.step() ? select.integer(0) : 0;
    select.restart();
    return id;
}

std::optional<HistoryRecord> HistoryDatabase::record(qint64 id) {
    journal::Statement& select = prepared(rowQuery(id));
    std::optional<HistoryRecord> found;
    if (select.step()) {
        found = recordAt(select);
    }
    select.restart();
    return found;
}

QStringList HistoryDatabase::texts(HistoryColumn column) {
    journal::Statement& select = prepared(distinctQuery(column));
    QStringList texts;
    while (select.step()) {
        texts << select.text(0);
    }
    select.restart();
    return texts;
}

} // namespace zr::history
