#include "journal/TableJournal.h"

#include "common/MessageService.h"
#include "common/SystemError.h"
#include "journal/JournalTexts.h"
#include "records/MeasurementTableModel.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdio>
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

} // namespace

TableJournal::TableJournal(records::MeasurementTableModel& model, common::MessageService& messages,
                           const QString& path, Options options)
    : model_(model), messages_(messages), path_(path) {
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
            journal_ =
                std::make_unique<Journal>(path_, model_.columnCount(), options.busyTimeoutMs);
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
        const std::optional<qint64> abandoned = journal_->abandonedSession(session_);
        std::vector<QStringList> rows;
        if (abandoned) {
            rows = journal_->table(*abandoned);
        }
        for (const QStringList& row : rows) {
            const bool written = std::any_of(row.cbegin(), row.cend(),
                                             [](const QString& text) { return !text.isEmpty(); });
            restoredRows_ += written ? 1 : 0;
        }
        if (restoredRows_ > 0) {
            journal_->takeOver(*abandoned, session_);
        } else {
            if (abandoned) {
                journal_->closeSession(*abandoned);
            }
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
        try {
            journal_->rollback();
        } catch (const SqliteError&) {
            // The first failure is the one to report.
        }
        throw;
    }
}

void TableJournal::restore(const std::vector<QStringList>& rows) {
    model_.setRowCount(0);
    model_.setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const QStringList& cells = rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < cells.size(); ++c) {
            // As typed: what a row's field can hold goes into it, the rest stays text.
            model_.setData(model_.index(r, c), cells.at(c));
        }
    }
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

void TableJournal::writeChangedRows() {
    for (const int r : changedRows_) {
        QStringList cells;
        for (int c = 0; c < model_.columnCount(); ++c) {
            cells << records::measurementCellText(model_.row(r), c);
        }
        journal_->setRow(session_, r, cells);
    }
    changedRows_.clear();
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
