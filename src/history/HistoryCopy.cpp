#include "history/HistoryCopy.h"

#include "journal/RowColumns.h"
#include "journal/Schema.h"
#include "journal/Sqlite.h"

namespace zr::history {

HistoryCopy::HistoryCopy(Use use)
    : use_(use), db_(std::make_unique<journal::Database>(QStringLiteral(":memory:"))) {
    db_->execute(journal::kSchemaSql);
    // One transaction for the whole copy: a statement of its own each would cost a journal
    // write per row.
    db_->execute("BEGIN");
    insertSession_ = std::make_unique<journal::Statement>(
        db_->handle(), "INSERT INTO session (id, uuid, host, started, closed, process, boot, "
                       "process_started, revision) VALUES (?1, ?2, ?3, ?4, ?5, 0, '', '', 0)");
    insertRow_ = std::make_unique<journal::Statement>(
        db_->handle(), QByteArray("INSERT INTO measurement_row (session, uuid, meter_serial, "
                                  "changed, deleted, revision, ")
                           .append(journal::kRowColumns)
                           .append(") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, "
                                   "?12, ?13, ?14, ?15, ?16, ?17)")
                           .constData());
}

HistoryCopy::~HistoryCopy() {
    // Statements before their connection.
    insertSession_.reset();
    insertRow_.reset();
}

qint64 HistoryCopy::sessionOf(const journal::HistorySession& session) {
    const QString key = session.uuid.isEmpty() ? QString::number(session.id) : session.uuid;
    const auto known = sessions_.find(key);
    if (known != sessions_.end()) {
        return known->second;
    }
    const auto id = static_cast<qint64>(sessions_.size()) + 1;
    insertSession_->restart().bind(1, id).bind(2, key).bind(3, session.host);
    insertSession_->bind(4, journal::timeText(session.started));
    journal::bindTime(*insertSession_, 5, session.closed);
    insertSession_->run();
    sessions_.emplace(key, id);
    return id;
}

void HistoryCopy::add(const journal::HistoryRow& row) {
    const qint64 session = sessionOf(row.session);
    ++rows_;
    journal::Statement& insert = *insertRow_;
    insert.restart().bind(1, session);
    insert.bind(2, row.uuid.isEmpty() ? QString::number(rows_) : row.uuid);
    insert.bind(3, row.meterSerial);
    insert.bind(4, journal::timeText(row.changed));
    journal::bindTime(insert, 5, row.deleted);
    insert.bind(6, row.revision.value_or(0));
    journal::bindRow(insert, 7, row.row);
    insert.run();
}

std::unique_ptr<journal::Database> HistoryCopy::finish() {
    insertSession_.reset();
    insertRow_.reset();
    // Made once the rows are in: sorting them once is quicker than keeping each index in order
    // row by row.
    if (use_ == Use::Browsing) {
        db_->execute(journal::kHistoryIndexSql);
    }
    db_->execute("COMMIT");
    return std::move(db_);
}

} // namespace zr::history
