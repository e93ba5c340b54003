#include "history/HistoryQuery.h"

#include "journal/RowColumns.h"

#include <QStringList>

namespace zr::history {

namespace {

// The sort key of each column. The journal's history indexes are made on exactly these
// expressions (journal/Schema.h), so that a page is read from an index in order. Sample
// numbers sort as numbers; rows without a method or value sort before all others.
QString sortKey(HistoryColumn column) {
    switch (column) {
    case HistoryColumn::SessionStarted:
        return QStringLiteral("r.session");
    case HistoryColumn::Number:
        return QStringLiteral("CAST(r.number AS INTEGER)");
    case HistoryColumn::Grade:
        return QStringLiteral("r.grade");
    case HistoryColumn::Tank:
        return QStringLiteral("r.tank");
    case HistoryColumn::Supplier:
        return QStringLiteral("r.supplier");
    case HistoryColumn::Method:
        return QStringLiteral("ifnull(r.method, 0)");
    case HistoryColumn::Value:
        return QStringLiteral("ifnull(r.value, -1)");
    case HistoryColumn::Moment:
        return QStringLiteral("r.moment");
    case HistoryColumn::Deleted:
        return QStringLiteral("ifnull(r.deleted, '')");
    }
    return QStringLiteral("r.moment");
}

// Adds a parameter and returns its place holder.
QString parameter(SqlText& text, SqlValue value) {
    text.values.push_back(std::move(value));
    return QStringLiteral("?%1").arg(text.values.size());
}

// The filter as conditions on measurement_row r; empty rows are never history.
QString whereClause(SqlText& text, const HistoryFilter& filter) {
    QStringList conditions{QStringLiteral("r.moment IS NOT NULL")};
    if (!filter.includeDeleted) {
        conditions << QStringLiteral("r.deleted IS NULL");
    }
    if (filter.lastRowId) {
        conditions << QStringLiteral("r.id <= ") + parameter(text, *filter.lastRowId);
    }
    if (filter.since.isValid()) {
        conditions << QStringLiteral("r.moment >= ") +
                          parameter(text, journal::timeText(filter.since));
    }
    if (filter.before.isValid()) {
        conditions << QStringLiteral("r.moment < ") +
                          parameter(text, journal::timeText(filter.before));
    }
    if (filter.number) {
        // The numeric match finds the number's index entries; the text match keeps "07" from
        // matching "7". It is written with IS: an = would let SQLite put the text in place of
        // the column in the numeric match, which then no longer finds the index.
        const QString number = parameter(text, *filter.number);
        conditions << QStringLiteral("CAST(r.number AS INTEGER) = CAST(%1 AS INTEGER) AND "
                                     "r.number IS %1")
                          .arg(number);
    }
    const std::pair<const std::optional<QString>&, const char*> texts[] = {
        {filter.grade, "r.grade"}, {filter.tank, "r.tank"}, {filter.supplier, "r.supplier"}};
    for (const auto& [value, column] : texts) {
        if (value) {
            conditions << QLatin1String(column) + QStringLiteral(" = ") + parameter(text, *value);
        }
    }
    if (filter.method) {
        conditions << sortKey(HistoryColumn::Method) + QStringLiteral(" = ") +
                          parameter(text, qint64{*filter.method});
    }
    return conditions.join(QStringLiteral(" AND "));
}

QString selectedColumns() {
    return QStringLiteral("r.id, s.started, r.deleted, ") + QLatin1String(journal::kRowColumns);
}

constexpr int kLeadingColumns = 3;

} // namespace

int pageKeyColumn() {
    return kLeadingColumns + journal::kRowColumnCount;
}

SqlText pageQuery(const HistoryFilter& filter, const HistorySort& sort,
                  const std::optional<PageKey>& after, int limit) {
    SqlText text;
    const QString key = sortKey(sort.column);
    const bool byMoment = sort.column == HistoryColumn::Moment;
    const QString direction =
        sort.order == Qt::AscendingOrder ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
    QString where = whereClause(text, filter);
    if (after) {
        QStringList tuple{key};
        QStringList values{parameter(text, after->key)};
        if (!byMoment) {
            tuple << QStringLiteral("r.moment");
            values << parameter(text, after->moment);
        }
        tuple << QStringLiteral("r.id");
        values << parameter(text, after->id);
        where +=
            QStringLiteral(" AND (%1) %2 (%3)")
                .arg(tuple.join(QStringLiteral(", ")),
                     sort.order == Qt::AscendingOrder ? QStringLiteral(">") : QStringLiteral("<"),
                     values.join(QStringLiteral(", ")));
    }
    QStringList order{key + direction};
    if (!byMoment) {
        order << QStringLiteral("r.moment") + direction;
    }
    order << QStringLiteral("r.id") + direction;
    text.sql = QStringLiteral("SELECT %1, %2 FROM measurement_row r JOIN session s ON s.id = "
                              "r.session WHERE %3 ORDER BY %4 LIMIT %5")
                   .arg(selectedColumns(), key, where, order.join(QStringLiteral(", ")))
                   .arg(limit);
    return text;
}

SqlText countQuery(const HistoryFilter& filter) {
    SqlText text;
    const QString where = whereClause(text, filter);
    text.sql = QStringLiteral("SELECT count(*) FROM measurement_row r WHERE ") + where;
    return text;
}

SqlText seriesQuery(const HistoryFilter& filter) {
    HistoryFilter kept = filter;
    kept.includeDeleted = false;
    SqlText text;
    const QString where = whereClause(text, kept);
    text.sql = QStringLiteral("SELECT r.id, r.number, r.moment, r.value FROM measurement_row r "
                              "WHERE %1 AND "
                              "r.value IS NOT NULL ORDER BY r.moment, r.id")
                   .arg(where);
    return text;
}

SqlText lastRowQuery() {
    return {QStringLiteral("SELECT ifnull(max(id), 0) FROM measurement_row"), {}};
}

SqlText rowQuery(qint64 id) {
    SqlText text;
    const QString place = parameter(text, id);
    text.sql = QStringLiteral("SELECT %1 FROM measurement_row r JOIN session s ON s.id = "
                              "r.session WHERE r.id = %2")
                   .arg(selectedColumns(), place);
    return text;
}

SqlText distinctQuery(HistoryColumn column) {
    // Each step seeks the next text in the column's index, so a million rows with a dozen
    // grades cost a dozen seeks.
    const QString name = column == HistoryColumn::Tank       ? QStringLiteral("tank")
                         : column == HistoryColumn::Supplier ? QStringLiteral("supplier")
                                                             : QStringLiteral("grade");
    SqlText text;
    text.sql = QStringLiteral("WITH RECURSIVE found(text) AS (SELECT min(%1) FROM measurement_row "
                              "WHERE %1 > '' UNION ALL SELECT (SELECT min(%1) FROM "
                              "measurement_row WHERE %1 > found.text) FROM found WHERE found.text "
                              "IS NOT NULL) SELECT text FROM found WHERE text IS NOT NULL")
                   .arg(name);
    return text;
}

} // namespace zr::history
