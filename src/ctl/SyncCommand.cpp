#include "ctl/SyncCommand.h"

#include "ctl/ExitStatus.h"
#include "mirror/JournalMirror.h"

#include <QEventLoop>

namespace zr::ctl {

namespace {

QString stateName(mirror::MirrorStatus::State state) {
    switch (state) {
    case mirror::MirrorStatus::State::Connecting:
        break;
    case mirror::MirrorStatus::State::Reached:
        return QStringLiteral("reached");
    case mirror::MirrorStatus::State::Unreachable:
        return QStringLiteral("unreachable");
    case mirror::MirrorStatus::State::Refused:
        return QStringLiteral("refused");
    }
    return QStringLiteral("connecting");
}

} // namespace

Layout syncLayout() {
    return {{QStringLiteral("server"), QStringLiteral("state"), QStringLiteral("waiting_rows"),
             QStringLiteral("reason"), QStringLiteral("status")},
            {QStringLiteral("Сервер журнала")}};
}

Record syncRecord(const mirror::MirrorStatus& status) {
    const QString line = mirror::statusLine(status);
    return {{status.server, stateName(status.state), status.waitingRows,
             status.reason.isEmpty() ? FieldValue(nullptr) : FieldValue(status.reason), line},
            {line}};
}

int runSyncCommand(const Invocation& invocation, const QString& path, const ServerAccess& server,
                   RecordWriter& writer, const OutputSink& err) {
    if (!server.setting) {
        err(noServerText().toUtf8() + '\n');
        return kError;
    }
    mirror::JournalMirror mirror(path, *server.setting, server.link(), nullptr);
    QEventLoop loop;
    QObject::connect(&mirror, &mirror::JournalMirror::finished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    mirror.start(invocation.statusOnly ? mirror::JournalMirror::Mode::CheckOnly
                                       : mirror::JournalMirror::Mode::SendOnce);
    loop.exec();
    const mirror::MirrorStatus& status = mirror.status();
    if (!writer.writeDocument({syncRecord(status)}, true)) {
        return kError;
    }
    if (status.state != mirror::MirrorStatus::State::Reached) {
        err(status.reason.toUtf8() + '\n');
        return kError;
    }
    return kDone;
}

} // namespace zr::ctl
