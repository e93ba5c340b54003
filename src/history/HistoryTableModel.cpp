#include "history/HistoryTableModel.h"

#include "journal/Sqlite.h"
#include "records/MeasurementRow.h"

namespace zr::history {

namespace {

QString localTimestamp(const QDateTime& time, const QLocale& locale) {
    return time.isValid() ? records::measurementTimestamp(time.toLocalTime(), locale) : QString();
}

} // namespace

HistoryTableModel::HistoryTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void HistoryTableModel::setErrorHandler(std::function<void(const QString&)> handler) {
    onError_ = std::move(handler);
}

QStringList HistoryTableModel::texts(const HistoryRecord& record, const QLocale& locale) {
    QStringList texts{localTimestamp(record.sessionStarted, locale)};
    texts << journal::shownTexts(record.row, locale);
    texts << localTimestamp(record.deleted, locale);
    return texts;
}

void HistoryTableModel::show(HistoryDatabase* database, const HistoryFilter& filter) {
    HistoryPage first;
    if (database) {
        try {
            first = database->page(filter, sort_, std::nullopt, kPageRows);
        } catch (const journal::SqliteError& failed) {
            if (onError_) {
                onError_(failed.failure().text);
            }
            return;
        }
    }
    beginResetModel();
    database_ = database;
    filter_ = filter;
    records_ = std::move(first.records);
    next_ = first.next;
    endResetModel();
}

int HistoryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(records_.size());
}

int HistoryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kHistoryColumnCount;
}

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const HistoryRecord& shown = record(index.row());
    if (role == Qt::DisplayRole) {
        return texts(shown).value(index.column());
    }
    if (role == kDeletedRole) {
        return shown.deleted.isValid();
    }
    return {};
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return historyColumnHeader(static_cast<HistoryColumn>(section));
}

bool HistoryTableModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && database_ && next_.has_value();
}

void HistoryTableModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) {
        return;
    }
    HistoryPage page;
    try {
        page = database_->page(filter_, sort_, next_, kPageRows);
    } catch (const journal::SqliteError& failed) {
        next_.reset();
        if (onError_) {
            onError_(failed.failure().text);
        }
        return;
    }
    if (page.records.empty()) {
        next_.reset();
        return;
    }
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(page.records.size()) - 1);
    records_.insert(records_.end(), std::make_move_iterator(page.records.begin()),
                    std::make_move_iterator(page.records.end()));
    next_ = page.next;
    endInsertRows();
}

void HistoryTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kHistoryColumnCount) {
        return;
    }
    const HistorySort wanted{static_cast<HistoryColumn>(column), order};
    if (wanted == sort_ && database_) {
        return;
    }
    sort_ = wanted;
    show(database_, filter_);
}

} // namespace zr::history
