#pragma once

#include <QMetaType>
#include <QString>

namespace zr::mirror {

// Where the journal's mirror to the server stands.
struct MirrorStatus {
    enum class State {
        Connecting,
        // Connected; what is written is sent as it comes.
        Reached,
        // The server, the network or the login failed; tried again in a while.
        Unreachable,
        // Not used until the program starts again (a newer server schema, unusable settings).
        Refused,
    };
    State state = State::Connecting;
    // host:port/database.
    QString server;
    // Why the server is not reached or not used.
    QString reason;
    // Written rows whose last change the server lacks.
    qint64 waitingRows = 0;

    bool operator==(const MirrorStatus&) const = default;
};

// The status in one line, in Russian, as the window and zr6040ctl sync --status show it.
QString statusLine(const MirrorStatus& status);

} // namespace zr::mirror

Q_DECLARE_METATYPE(zr::mirror::MirrorStatus)
