#include "journal/TableJournal.h"

#include "common/MessageService.h"
#include "common/SystemError.h"
#include "journal/JournalTexts.h"
#include "records/MeasurementTableModel.h"
#include "records/SelectionList.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringListModel>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <sqlite3.h>
#include <unistd.h>

namespace zr::journal {

namespace {

bool isDamage(int code) {
    const int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// Why the file at `path` or its directory cannot be written, as the system says it.
int writeError(const QString& path) {
    for (const QString& place : {path, QFileInfo(path).path()}) {
        if (QFileInfo::exists(place) && ::access(QFile::encodeName(place).constData(), W_OK) != 0) {
            return errno;
        }
    }
    return 0;
}

QString reasonOf(const SqliteFailure& failure, const QString& path) {
    switch (failure.code & 0xff) {
    case SQLITE_FULL:
        return common::systemErrorText(ENOSPC);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        // The last system error of a failed open is often only a missing file it tried first.
        if (const int error = writeError(path)) {
            return common::systemErrorText(error);
        }
        break;
    default:
        break;
    }
    return failure.systemError != 0 ? common::systemErrorText(failure.systemError) : failure.text;
}

QString withoutJournal(const QString& text) {
    return text + QLatin1Char('\n') + QString::fromUtf8(kWithoutJournalText);
}

using records::MeasurementRow;

constexpr QString TableRow::*kListTexts[] = {&TableRow::number, &TableRow::grade, &TableRow::tank,
                                             &TableRow::supplier};

// The journal keeps the list cells as shown (an empty text as its one space) and a text typed
// where a field cannot hold it beside that field.
TableRow journalRow(const MeasurementRow& row) {
    TableRow out;
    if (row.isEmpty()) {
        return out;
    }
    for (int c = MeasurementRow::NumberColumn; c <= MeasurementRow::SupplierColumn; ++c) {
        out.*kListTexts[c] = records::measurementCellText(row, c);
    }
    out.method = row.method;
    out.value = row.value;
    out.valueDecimals =
        row.valueDecimals == common::kOneDecimal ? TableRow::kOneDecimal : TableRow::kGeneralFormat;
    out.moment = row.moment;
    out.methodText = row.typed[MeasurementRow::MethodColumn];
    out.valueText = row.typed[MeasurementRow::ValueColumn];
    out.momentText = row.typed[MeasurementRow::MomentColumn];
    return out;
}

} // namespace

MeasurementRow measurementRow(const TableRow& row) {
    MeasurementRow out;
    if (row.isEmpty()) {
        return out;
    }
    for (int c = MeasurementRow::NumberColumn; c <= MeasurementRow::SupplierColumn; ++c) {
        const QString& text = row.*kListTexts[c];
        // A cell emptied by hand shows nothing, where an empty list text shows its space.
        if (text.isEmpty()) {
            out.typed[static_cast<std::size_t>(c)] = QString();
        } else {
            out.listText(c) = text;
        }
    }
    out.method = row.method;
    out.value = row.value;
    out.valueDecimals =
        row.valueDecimals == TableRow::kOneDecimal ? common::kOneDecimal : common::kGeneralFormat;
    out.moment = row.moment;
    out.typed[MeasurementRow::MethodColumn] = row.methodText;
    out.typed[MeasurementRow::ValueColumn] = row.valueText;
    out.typed[MeasurementRow::MomentColumn] = row.momentText;
    // The space is the empty list text it shows, unless it alone keeps the row from being empty.
    for (int c = MeasurementRow::NumberColumn; c <= MeasurementRow::SupplierColumn; ++c) {
        if (out.listText(c) == QLatin1String(" ")) {
            out.listText(c).clear();
            if (out.isEmpty()) {
                out.listText(c) = QStringLiteral(" ");
            }
        }
    }
    return out;
}

TableJournal::TableJournal(records::MeasurementTableModel& model, common::MessageService& messages,
                           const QString& path, Options options)
    : model_(model), messages_(messages), path_(path),
      meterSerial_(std::move(options.meterSerial)) {
    open(std::move(options));
    if (!journal_) {
        return;
    }
    using Model = records::MeasurementTableModel;
    connect(&model_, &Model::editBegun, this, &TableJournal::editBegun);
    connect(&model_, &Model::editEnded, this, &TableJournal::editEnded);
    connect(&model_, &Model::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        // The model inserts empty rows only.
        record([&] {
            writeChangedRows();
            journal_->insertRows(session_, first, last - first + 1);
        });
    });
    connect(&model_, &Model::rowsRemoved, this, [this](const QModelIndex&, int first, int last) {
        record([&] {
            writeChangedRows();
            journal_->removeRows(session_, first, last - first + 1);
        });
    });
    connect(&model_, &Model::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                // A written row changes cell by cell; it is written once, whole.
                record([&] {
                    for (int r = topLeft.row(); r <= bottomRight.row(); ++r) {
                        changedRows_.insert(r);
                    }
                });
            });
    if (restoredRows_ > 0) {
        messages_.inform(QString::fromUtf8(kRowsRestoredText).arg(restoredRows_));
    }
}

TableJournal::~TableJournal() = default;

void TableJournal::open(Options options) {
    // A damaged file is kept aside and a new journal begun, once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            journal_ = std::make_unique<Journal>(path_, options.busyTimeoutMs);
            start(options.identity);
            return;
        } catch (const SqliteError& error) {
            journal_.reset();
            if (attempt > 0 || !isDamage(error.failure().code)) {
                fail(error.failure());
                return;
            }
        } catch (const JournalRefused& refused) {
            journal_.reset();
            if (refused.reason == JournalRefused::Reason::NewerVersion) {
                messages_.showError(withoutJournal(QString::fromUtf8(kJournalNewerText)));
                return;
            }
        }
        keepAside();
        if (QFile::exists(path_)) {
            return;
        }
    }
}

void TableJournal::start(const ProcessIdentity& identity) {
    journal_->begin();
    try {
        session_ = journal_->startSession(identity);
        const std::vector<TableRow> rows = restoreAbandoned();
        if (restoredRows_ == 0) {
            journal_->insertRows(session_, 0, model_.rowCount());
            for (int r = 0; r < model_.rowCount(); ++r) {
                changedRows_.insert(r);
            }
            writeChangedRows();
        }
        journal_->commit();
        // Only a table the journal holds for this run is shown.
        if (restoredRows_ > 0) {
            restore(rows);
        }
    } catch (...) {
        restoredRows_ = 0;
        restoredNumbers_.reset();
        try {
            journal_->rollback();
        } catch (const SqliteError&) {
            // The first failure is the one to report.
        }
        throw;
    }
}

// Every run that ended without closing its session comes back, oldest first: its table below
// the one before, each without the empty entry rows it ended with but the last.
std::vector<TableRow> TableJournal::restoreAbandoned() {
    struct Abandoned {
        qint64 session;
        std::vector<TableRow> rows;
    };
    std::vector<Abandoned> withRows;
    for (const qint64 session : journal_->abandonedSessions(session_)) {
        std::vector<TableRow> rows = journal_->table(session);
        const auto written = static_cast<int>(std::count_if(
            rows.cbegin(), rows.cend(), [](const TableRow& row) { return !row.isEmpty(); }));
        if (written == 0) {
            journal_->closeSession(session);
        } else {
            withRows.push_back({session, std::move(rows)});
            restoredRows_ += written;
        }
    }
    std::vector<qint64> sessions;
    for (const Abandoned& abandoned : withRows) {
        sessions.push_back(abandoned.session);
    }
    restoredNumbers_ = journal_->latestNumberList(sessions);
    std::vector<TableRow> table;
    for (const Abandoned& abandoned : withRows) {
        auto end = abandoned.rows.cend();
        if (&abandoned != &withRows.back()) {
            while (end != abandoned.rows.cbegin() && std::prev(end)->isEmpty()) {
                --end;
            }
        }
        const auto kept = static_cast<int>(end - abandoned.rows.cbegin());
        journal_->takeOver(abandoned.session, session_, static_cast<int>(table.size()), kept);
        table.insert(table.end(), abandoned.rows.cbegin(), end);
    }
    return table;
}

void TableJournal::restore(const std::vector<TableRow>& rows) {
    model_.setRowCount(0);
    for (const TableRow& row : rows) {
        model_.appendRow(measurementRow(row));
    }
}

bool TableJournal::followNumberList(records::SelectionList& numbers) {
    const bool restored = restoredNumbers_ && !restoredNumbers_->items.isEmpty();
    if (restored) {
        numbers.setItems(restoredNumbers_->items);
        numbers.select(restoredNumbers_->selected);
    }
    restoredNumbers_.reset();
    if (!journal_) {
        return restored;
    }
    numbers_ = &numbers;
    const auto changed = [this] { record([this] { numbersChanged_ = true; }); };
    QStringListModel& items = numbers.model();
    connect(&items, &QAbstractItemModel::dataChanged, this, changed);
    connect(&items, &QAbstractItemModel::rowsInserted, this, changed);
    connect(&items, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(&items, &QAbstractItemModel::modelReset, this, changed);
    connect(&numbers, &records::SelectionList::selectionChanged, this, changed);
    // This run's session holds the list from the start, should it end before any change.
    changed();
    return restored;
}

void TableJournal::keepAside() {
    const QString aside =
        path_ + QStringLiteral(".damaged-") +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(aside).constData()) !=
        0) {
        messages_.showError(withoutJournal(
            QString::fromUtf8(kJournalUnwritableText).arg(path_, common::systemErrorText(errno))));
        return;
    }
    // The write-ahead log belongs to the damaged file; the index beside it is rebuilt.
    QFile::rename(path_ + QStringLiteral("-wal"), aside + QStringLiteral("-wal"));
    QFile::remove(path_ + QStringLiteral("-shm"));
    messages_.showError(QString::fromUtf8(kJournalDamagedText).arg(QFileInfo(aside).fileName()));
}

TableRow TableJournal::rowAt(int modelRow) const {
    return journalRow(model_.row(modelRow));
}

void TableJournal::writeChangedRows() {
    const QString serial = meterSerial_ ? meterSerial_() : QString();
    for (const int r : changedRows_) {
        journal_->setRow(session_, r, rowAt(r), serial);
    }
    changedRows_.clear();
    if (numbersChanged_ && numbers_) {
        journal_->setNumberList(session_, {numbers_->items(), numbers_->selectedIndex()});
    }
    numbersChanged_ = false;
}

template <typename Change> void TableJournal::record(Change change) {
    if (!journal_) {
        return;
    }
    try {
        if (inEdit_) {
            change();
        } else {
            journal_->begin();
            change();
            writeChangedRows();
            journal_->commit();
            emit committed();
        }
    } catch (const SqliteError& error) {
        fail(error.failure());
    }
}

void TableJournal::editBegun() {
    if (!journal_) {
        return;
    }
    try {
        journal_->begin();
        inEdit_ = true;
    } catch (const SqliteError& error) {
        fail(error.failure());
    }
}

void TableJournal::editEnded() {
    if (!journal_ || !inEdit_) {
        return;
    }
    inEdit_ = false;
    try {
        writeChangedRows();
        journal_->commit();
        emit committed();
    } catch (const SqliteError& error) {
        fail(error.failure());
    }
}

void TableJournal::closeSession() {
    if (!journal_) {
        return;
    }
    record([this] { journal_->closeSession(session_); });
}

void TableJournal::fail(const SqliteFailure& failure) {
    if (journal_) {
        try {
            journal_->rollback();
        } catch (const SqliteError&) {
            // The journal is given up either way; `failure` is what the user is told.
        }
    }
    journal_.reset();
    inEdit_ = false;
    changedRows_.clear();
    numbersChanged_ = false;
    const int primary = failure.code & 0xff;
    QString text;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
        text = QString::fromUtf8(kJournalBusyText);
    } else {
        text = QString::fromUtf8(kJournalUnwritableText).arg(path_, reasonOf(failure, path_));
    }
    messages_.showError(withoutJournal(text));
}

} // namespace zr::journal
