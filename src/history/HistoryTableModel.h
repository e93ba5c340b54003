#pragma once

#include "history/HistoryDatabase.h"

#include <QAbstractTableModel>
#include <QLocale>
#include <functional>

namespace zr::history {

// The history's rows for a table view, read a page at a time as the view scrolls (keyset
// paging: every page is one indexed query, however deep). Sorting by a column reads again from
// the first page. Cells show what the measurement table showed, under the user's locale.
class HistoryTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kPageRows = 256;
    // True for a row deleted from its table, which the view shows apart.
    static constexpr int kDeletedRole = Qt::UserRole;

    explicit HistoryTableModel(QObject* parent = nullptr);

    // Reads the first page of `filter` in the current order from `database` (null: empty).
    void show(HistoryDatabase* database, const HistoryFilter& filter);
    const HistorySort& order() const { return sort_; }
    const HistoryRecord& record(int row) const {
        return records_.at(static_cast<std::size_t>(row));
    }
    // Reading failed: the model stays as it was and the error goes here.
    void setErrorHandler(std::function<void(const QString&)> handler);

    // The cell texts of a record, in column order.
    static QStringList texts(const HistoryRecord& record, const QLocale& locale = QLocale());

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    void sort(int column, Qt::SortOrder order) override;

private:
    HistoryDatabase* database_ = nullptr;
    HistoryFilter filter_;
    HistorySort sort_;
    std::vector<HistoryRecord> records_;
    std::optional<PageKey> next_;
    std::function<void(const QString&)> onError_;
};

} // namespace zr::history
