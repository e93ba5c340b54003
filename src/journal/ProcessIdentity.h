#pragma once

#include <QString>

namespace zr::journal {

// Who wrote a session: a session whose process still runs is another instance's, not a crash.
struct ProcessIdentity {
    qint64 process = 0;
    QString boot;
    // The process's start in clock ticks after boot: a reused process id has another.
    QString started;

    static ProcessIdentity current();
    // The process `process` as the system shows it now; an empty start when there is none.
    static ProcessIdentity of(qint64 process);
    // A process that has ended but was not yet collected by its parent (a zombie) has ended.
    bool isRunning() const;
};

} // namespace zr::journal
