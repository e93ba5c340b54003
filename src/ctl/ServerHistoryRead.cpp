#include "ctl/ServerHistoryRead.h"

#include "ctl/CtlText.h"
#include "ctl/ExitStatus.h"
#include "mirror/ServerSchema.h"

#include <QEventLoop>
#include <optional>

namespace zr::ctl {

namespace {

QString textAt(const mirror::ServerRow& row, int column) {
    return QString::fromUtf8(row.value(column).value_or(QByteArray()));
}

std::optional<QString> optionalTextAt(const mirror::ServerRow& row, int column) {
    const mirror::ServerValue& value = row.value(column);
    return value ? std::optional<QString>(QString::fromUtf8(*value)) : std::nullopt;
}

QDateTime timeAt(const mirror::ServerRow& row, int column) {
    const mirror::ServerValue& value = row.value(column);
    return value ? QDateTime::fromString(QString::fromLatin1(*value), Qt::ISODateWithMs)
                 : QDateTime();
}

mirror::ServerValue boundOf(const QDateTime& time) {
    return time.isValid() ? mirror::ServerValue(time.toUTC().toString(Qt::ISODateWithMs).toUtf8())
                          : std::nullopt;
}

} // namespace

journal::HistoryRow serverHistoryRow(const mirror::ServerRow& row) {
    using namespace mirror;
    journal::HistoryRow history;
    history.session.uuid = textAt(row, kSessionId);
    history.session.host = textAt(row, kSessionHost);
    history.session.started = timeAt(row, kSessionStarted);
    history.session.closed = timeAt(row, kSessionClosed);
    history.uuid = textAt(row, kRowId);
    history.meterSerial = textAt(row, kMeterSerial);
    history.revision = row.value(kRevision).value_or(QByteArray()).toLongLong();
    history.changed = timeAt(row, kChanged);
    history.deleted = timeAt(row, kDeleted);
    journal::TableRow& typed = history.row;
    int c = kFirstRowColumn;
    typed.number = textAt(row, c++);
    typed.grade = textAt(row, c++);
    typed.tank = textAt(row, c++);
    typed.supplier = textAt(row, c++);
    if (const ServerValue& method = row.value(c++)) {
        typed.method = method->toInt();
    }
    if (const ServerValue& value = row.value(c++)) {
        typed.value = value->toDouble();
    }
    typed.valueDecimals = row.value(c++).value_or(QByteArray()).toInt();
    typed.moment = timeAt(row, c++);
    typed.methodText = optionalTextAt(row, c++);
    typed.valueText = optionalTextAt(row, c++);
    typed.momentText = optionalTextAt(row, c++);
    return history;
}

int readServerHistory(const ServerAccess& server, const QDateTime& since, const QDateTime& before,
                      const OutputSink& err,
                      const std::function<void(journal::HistoryRow&)>& eachRow,
                      const std::function<int()>& finish) {
    if (!server.setting) {
        err(noServerText().toUtf8() + '\n');
        return kError;
    }
    const std::unique_ptr<mirror::ServerLink> link = server.link();
    const QString name = link->describe(server.setting->connection);
    QEventLoop loop;
    int status = kError;
    const auto fail = [&](const QString& text) {
        err(CtlText::tr("%1: %2")
                .arg(name.isEmpty() ? server.setting->origin : name, text)
                .toUtf8() +
            '\n');
        link->close();
        loop.quit();
    };
    const auto readRows = [&] {
        mirror::ServerQuery query{mirror::historySql(), {boundOf(since), boundOf(before)}, {}};
        query.eachRow = [&, sessionUuid = QString(),
                         sessionNumber = qint64{0}](const mirror::ServerRow& row) mutable {
            journal::HistoryRow history = serverHistoryRow(row);
            // The server's sessions have no number of a journal's; rows come session by
            // session, so a count tells them apart.
            if (history.session.uuid != sessionUuid) {
                sessionUuid = history.session.uuid;
                ++sessionNumber;
            }
            history.session.id = sessionNumber;
            eachRow(history);
        };
        link->execute(std::move(query), [&](const mirror::ServerResult& result) {
            if (result.failure) {
                fail(result.failure->text);
                return;
            }
            status = finish();
            loop.quit();
        });
    };
    link->open(server.setting->connection, [&](std::optional<mirror::ServerFailure> failure) {
        if (failure) {
            fail(failure->kind == mirror::ServerFailure::Kind::PasswordInSettings
                     ? CtlText::tr("a password does not belong in the connection string; "
                                   "use ~/.pgpass")
                     : failure->text);
            return;
        }
        link->execute(
            {mirror::schemaVersionSql(), {}, {}}, [&](const mirror::ServerResult& result) {
                if (result.failure) {
                    fail(mirror::isMissingSchema(result.failure->sqlState)
                             ? CtlText::tr("holds no journal")
                             : result.failure->text);
                    return;
                }
                const int version = result.rows.value(0).value(0).value_or(QByteArray()).toInt();
                if (version > mirror::kServerSchemaVersion) {
                    fail(CtlText::tr("a journal of a newer program version"));
                    return;
                }
                readRows();
            });
    });
    loop.exec();
    return status;
}

} // namespace zr::ctl
