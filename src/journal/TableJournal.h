#pragma once

#include "journal/Journal.h"
#include "journal/TableRow.h"
#include "records/MeasurementRow.h"

#include <QObject>
#include <functional>
#include <memory>
#include <set>

namespace zr::common {
class MessageService;
}
namespace zr::records {
class MeasurementTableModel;
}

namespace zr::records {
class SelectionList;
}

namespace zr::journal {

// The table's row a journal row shows again: what the history saves as the table saves its rows.
records::MeasurementRow measurementRow(const TableRow& row);

struct TableJournalOptions {
    // How long a change waits for another program's transaction on the same file.
    int busyTimeoutMs = 2000;
    // Who this run is; tests stand in for other processes.
    ProcessIdentity identity = ProcessIdentity::current();
    // The serial number of the meter attached now; empty without one.
    std::function<QString()> meterSerial;
};

// Keeps a table model in the journal as it changes: every inserted, removed or rewritten row,
// one transaction per change or per edit the model groups (a written row), committed inside the
// call that changed the model. Views only schedule their repaint from the model's signals, so
// a change is on disk before any view shows it.
//
// At construction it opens the journal (upgrading one of the text schema), starts this run's
// session and, when runs ended without closing their sessions and left rows, puts their tables
// back into the model, one after the other, and tells the user. A journal that cannot be used
// is reported once and the model works on without it.
class TableJournal : public QObject {
    Q_OBJECT
public:
    using Options = TableJournalOptions;

    TableJournal(records::MeasurementTableModel& model, common::MessageService& messages,
                 const QString& path, Options options = {});
    ~TableJournal() override;

    // Keeps the sample-number list with the rows: each change in the transaction of the row that
    // made it, others in their own. First puts back the list as the restored runs left it;
    // false when there was none to put back.
    bool followNumberList(records::SelectionList& numbers);

    // The run ends normally: the next start begins with an empty table.
    void closeSession();

    bool isActive() const { return journal_ != nullptr; }
    // Written rows put back at start.
    int restoredRows() const { return restoredRows_; }

signals:
    // A change is on disk (after start, which commits before anyone can listen).
    void committed();

private:
    void open(Options options);
    void start(const ProcessIdentity& identity);
    std::vector<TableRow> restoreAbandoned();
    void restore(const std::vector<TableRow>& rows);
    void keepAside();
    TableRow rowAt(int modelRow) const;
    void writeChangedRows();
    template <typename Change> void record(Change change);
    void fail(const SqliteFailure& failure);
    void editBegun();
    void editEnded();

    records::MeasurementTableModel& model_;
    common::MessageService& messages_;
    QString path_;
    std::function<QString()> meterSerial_;
    std::unique_ptr<Journal> journal_;
    qint64 session_ = 0;
    bool inEdit_ = false;
    // Rows whose cells changed since the last write, in model rows.
    std::set<int> changedRows_;
    int restoredRows_ = 0;
    std::optional<NumberListState> restoredNumbers_;
    records::SelectionList* numbers_ = nullptr;
    bool numbersChanged_ = false;
};

} // namespace zr::journal
