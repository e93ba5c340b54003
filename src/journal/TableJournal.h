#pragma once

#include "journal/Journal.h"

#include <QObject>
#include <memory>
#include <set>

namespace zr::common {
class MessageService;
}
namespace zr::records {
class MeasurementTableModel;
}

namespace zr::journal {

struct TableJournalOptions {
    // How long a change waits for another program's transaction on the same file.
    int busyTimeoutMs = 2000;
    // Who this run is; tests stand in for other processes.
    ProcessIdentity identity = ProcessIdentity::current();
};

// Keeps a table model in the journal as it changes: every inserted, removed or rewritten row,
// one transaction per change or per edit the model groups (a written row), committed inside the
// call that changed the model. Views only schedule their repaint from the model's signals, so
// a change is on disk before any view shows it.
//
// At construction it opens the journal, starts this run's session and, when a run ended without
// closing its session and left rows, puts that table back into the model and tells the user.
// A journal that cannot be used is reported once and the model works on without it.
class TableJournal : public QObject {
    Q_OBJECT
public:
    using Options = TableJournalOptions;

    TableJournal(records::MeasurementTableModel& model, common::MessageService& messages,
                 const QString& path, Options options = {});
    ~TableJournal() override;

    // The run ends normally: the next start begins with an empty table.
    void closeSession();

    bool isActive() const { return journal_ != nullptr; }
    // Written rows put back at start.
    int restoredRows() const { return restoredRows_; }

private:
    void open(Options options);
    void start(const ProcessIdentity& identity);
    void restore(const std::vector<QStringList>& rows);
    void keepAside();
    void writeChangedRows();
    template <typename Change> void record(Change change);
    void fail(const SqliteFailure& failure);
    void editBegun();
    void editEnded();

    records::MeasurementTableModel& model_;
    common::MessageService& messages_;
    QString path_;
    std::unique_ptr<Journal> journal_;
    qint64 session_ = 0;
    bool inEdit_ = false;
    // Rows whose cells changed since the last write, in model rows.
    std::set<int> changedRows_;
    int restoredRows_ = 0;
};

} // namespace zr::journal
