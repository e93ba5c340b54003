#include "mirror/MirrorStatus.h"

#include "mirror/MirrorTexts.h"

namespace zr::mirror {

QString statusLine(const MirrorStatus& status) {
    const QString waiting = QString::number(status.waitingRows);
    switch (status.state) {
    case MirrorStatus::State::Connecting:
        break;
    case MirrorStatus::State::Reached:
        return QString::fromUtf8(kReachedLine).arg(status.server, waiting);
    case MirrorStatus::State::Unreachable:
        return QString::fromUtf8(kUnreachableLine).arg(status.server, waiting, status.reason);
    case MirrorStatus::State::Refused:
        return QString::fromUtf8(kRefusedLine).arg(status.server, waiting, status.reason);
    }
    return QString::fromUtf8(kConnectingLine).arg(status.server, waiting);
}

} // namespace zr::mirror
