#include "mirror/JournalMirror.h"

#include "common/MessageService.h"
#include "journal/Journal.h"
#include "mirror/JournalChanges.h"
#include "mirror/MirrorTexts.h"
#include "mirror/ServerSchema.h"

#include <QFileInfo>
#include <algorithm>

namespace zr::mirror {

namespace {

// insufficient_privilege
bool isPermission(const ServerFailure& failure) {
    return failure.sqlState == QLatin1String("42501");
}

} // namespace

struct JournalMirror::PreparedBatch {
    // What it follows: the revision it was read after.
    qint64 after = 0;
    ChangeBatch batch;
};

JournalMirror::JournalMirror(QString journalPath, ServerSetting server,
                             std::unique_ptr<ServerLink> link, common::MessageService* messages,
                             MirrorOptions options, QObject* parent)
    : QObject(parent), journalPath_(std::move(journalPath)), server_(std::move(server)),
      link_(std::move(link)), messages_(messages), options_(options),
      retryMs_(options.firstRetryMs) {
    status_.server = link_->describe(server_.connection);
    if (status_.server.isEmpty()) {
        status_.server = server_.origin;
    }
    link_->setLostHandler([this](const ServerFailure& failure) { fail(failure); });
    gather_.setSingleShot(true);
    retry_.setSingleShot(true);
    operation_.setSingleShot(true);
    connect(&gather_, &QTimer::timeout, this, [this] {
        if (ready_) {
            sendNext();
        } else {
            countWaiting();
        }
    });
    connect(&retry_, &QTimer::timeout, this, [this] {
        if (openJournal()) {
            connectToServer();
        }
    });
    connect(&operation_, &QTimer::timeout, this, [this] {
        fail({ServerFailure::Kind::Connection, QString::fromUtf8(kTimeoutReason), {}});
    });
}

JournalMirror::~JournalMirror() {
    link_->close();
}

void JournalMirror::start(Mode mode) {
    mode_ = mode;
    setState(MirrorStatus::State::Connecting);
    if (openJournal()) {
        connectToServer();
    }
}

void JournalMirror::journalChanged() {
    if (!changes_ && !openJournal()) {
        return;
    }
    if (!gather_.isActive()) {
        gather_.start(options_.gatherMs);
    }
}

bool JournalMirror::openJournal() {
    // Without a journal there is nothing to send yet.
    if (changes_ || !QFileInfo::exists(journalPath_)) {
        return true;
    }
    try {
        changes_ = std::make_unique<JournalChanges>(journalPath_, options_.busyTimeoutMs);
        acknowledged_ = changes_->acknowledged(status_.server);
        countWaiting();
        return true;
    } catch (const journal::SqliteError& error) {
        changes_.reset();
        // Busy or not there yet: tried again as the server would be.
        fail({ServerFailure::Kind::Connection,
              QString::fromUtf8(kJournalUnreadableReason).arg(error.failure().text),
              {}});
    } catch (const journal::JournalRefused&) {
        changes_.reset();
        refuse(QString::fromUtf8(kJournalUnusableReason));
    } catch (const UntypedJournal&) {
        changes_.reset();
        refuse(QString::fromUtf8(kJournalUnusableReason));
    }
    return false;
}

void JournalMirror::connectToServer() {
    arm();
    link_->open(server_.connection, [this](std::optional<ServerFailure> failure) {
        disarm();
        if (failure) {
            fail(*failure);
        } else {
            readSchema(false);
        }
    });
}

void JournalMirror::readSchema(bool prepared) {
    arm();
    link_->execute({schemaVersionSql(), {}, {}}, [this, prepared](const ServerResult& result) {
        disarm();
        if (result.failure) {
            if (!prepared && result.failure->kind == ServerFailure::Kind::Statement &&
                isMissingSchema(result.failure->sqlState)) {
                prepareSchema();
            } else {
                fail(*result.failure);
            }
            return;
        }
        const ServerRow row = result.rows.value(0);
        const int version = row.value(0).value_or(QByteArray()).toInt();
        if (version > kServerSchemaVersion) {
            refuse(QString::fromUtf8(kNewerSchemaReason).arg(version));
            return;
        }
        if (version < kServerSchemaVersion) {
            if (prepared) {
                fail({ServerFailure::Kind::Statement,
                      QStringLiteral("schema version %1").arg(version),
                      {}});
            } else {
                prepareSchema();
            }
            return;
        }
        databaseId_ = QString::fromUtf8(row.value(1).value_or(QByteArray()));
        ready_ = true;
        try {
            if (changes_) {
                acknowledged_ = changes_->acknowledged(status_.server, databaseId_);
            }
        } catch (const journal::SqliteError& error) {
            fail({ServerFailure::Kind::Connection,
                  QString::fromUtf8(kJournalUnreadableReason).arg(error.failure().text),
                  {}});
            return;
        }
        if (mode_ == Mode::CheckOnly) {
            countWaiting();
            setState(MirrorStatus::State::Reached);
            finish();
            return;
        }
        sendNext();
    });
}

void JournalMirror::prepareSchema() {
    arm();
    link_->execute({prepareSchemaSql(), {}, {}}, [this](const ServerResult& result) {
        disarm();
        if (result.failure) {
            fail(*result.failure);
        } else {
            readSchema(true);
        }
    });
}

void JournalMirror::sendNext() {
    if (!ready_ || sending_ || done_) {
        return;
    }
    ChangeBatch batch;
    if (next_ && next_->after == acknowledged_) {
        batch = std::move(next_->batch);
    } else {
        try {
            if (changes_) {
                batch = changes_->after(acknowledged_, options_.batchRows);
            }
        } catch (const journal::SqliteError& error) {
            fail({ServerFailure::Kind::Connection,
                  QString::fromUtf8(kJournalUnreadableReason).arg(error.failure().text),
                  {}});
            return;
        }
    }
    next_.reset();
    if (batch.isEmpty()) {
        countWaiting();
        setState(MirrorStatus::State::Reached);
        // The outage is over once the server has everything.
        outageTold_ = false;
        retryMs_ = options_.firstRetryMs;
        if (mode_ == Mode::SendOnce) {
            finish();
        }
        return;
    }
    sending_ = true;
    arm();
    const qint64 through = batch.through;
    const int written = batch.writtenRowCount;
    const bool full = batch.rowCount >= options_.batchRows;
    link_->execute({upsertSql(), {std::move(batch.sessions), std::move(batch.rows)}, {}},
                   [this, through, written](const ServerResult& result) {
                       disarm();
                       sending_ = false;
                       if (result.failure) {
                           next_.reset();
                           fail(*result.failure);
                       } else {
                           batchSent(through, written);
                       }
                   });
    // While the server writes one batch of a backlog, the next is read.
    if (full) {
        try {
            next_ = std::make_unique<PreparedBatch>(
                PreparedBatch{through, changes_->after(through, options_.batchRows)});
        } catch (const journal::SqliteError&) {
            // Read again when it is due, where a failure counts.
        }
    }
}

void JournalMirror::batchSent(qint64 through, int writtenRows) {
    acknowledged_ = through;
    try {
        changes_->acknowledge(status_.server, databaseId_, through);
    } catch (const journal::SqliteError&) {
        // The server has the rows; should the journal not keep that now, a later run sends
        // them again, which changes nothing there.
    }
    setState(MirrorStatus::State::Reached);
    // Counted again once all is sent: a count over a long backlog at every batch would cost
    // more than the sending.
    status_.waitingRows = std::max<qint64>(0, status_.waitingRows - writtenRows);
    emit statusChanged(status_);
    sendNext();
}

void JournalMirror::fail(const ServerFailure& failure) {
    if (done_) {
        return;
    }
    disarm();
    link_->close();
    ready_ = false;
    sending_ = false;
    next_.reset();
    QString reason = failure.text;
    switch (failure.kind) {
    case ServerFailure::Kind::Settings:
        refuse(QString::fromUtf8(kSettingsReason).arg(server_.origin, failure.text));
        return;
    case ServerFailure::Kind::PasswordInSettings:
        refuse(QString::fromUtf8(kPasswordInSettingsReason));
        return;
    case ServerFailure::Kind::Unavailable:
        refuse(failure.text);
        return;
    case ServerFailure::Kind::Statement:
        if (isPermission(failure)) {
            reason = QString::fromUtf8(kPermissionReason).arg(failure.text);
        }
        break;
    case ServerFailure::Kind::Connection:
        break;
    }
    setState(MirrorStatus::State::Unreachable, reason);
    countWaiting();
    if (mode_ != Mode::Follow) {
        finish();
        return;
    }
    if (!outageTold_) {
        outageTold_ = true;
        tellOnce(false, QString::fromUtf8(kOutageText).arg(status_.server, reason));
    }
    retry_.start(retryMs_);
    retryMs_ = std::min(retryMs_ * 2, options_.longestRetryMs);
}

void JournalMirror::refuse(const QString& reason) {
    disarm();
    link_->close();
    ready_ = false;
    retry_.stop();
    setState(MirrorStatus::State::Refused, reason);
    if (mode_ != Mode::Follow) {
        finish();
        return;
    }
    done_ = true;
    tellOnce(true, QString::fromUtf8(kRefusedText).arg(status_.server, reason));
}

void JournalMirror::tellOnce(bool error, const QString& text) {
    if (!messages_) {
        return;
    }
    // Not from inside the link's answer: a message box runs an event loop of its own.
    QMetaObject::invokeMethod(
        this,
        [this, error, text] {
            if (error) {
                messages_->showError(text);
            } else {
                messages_->inform(text);
            }
        },
        Qt::QueuedConnection);
}

void JournalMirror::setState(MirrorStatus::State state, const QString& reason) {
    MirrorStatus status = status_;
    status.state = state;
    status.reason = reason;
    if (status != status_) {
        status_ = status;
        emit statusChanged(status_);
    }
}

void JournalMirror::countWaiting() {
    if (!changes_) {
        return;
    }
    qint64 waiting = status_.waitingRows;
    try {
        waiting = changes_->waitingRows(acknowledged_);
    } catch (const journal::SqliteError&) {
        // The count stays as it was; the next change counts again.
    }
    if (waiting != status_.waitingRows) {
        status_.waitingRows = waiting;
        emit statusChanged(status_);
    }
}

void JournalMirror::arm() {
    operation_.start(options_.operationTimeoutMs);
}

void JournalMirror::disarm() {
    operation_.stop();
}

void JournalMirror::finish() {
    if (done_) {
        return;
    }
    done_ = true;
    gather_.stop();
    retry_.stop();
    emit finished();
}

} // namespace zr::mirror
