#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace zr::common {

struct FileRead {
    enum class Outcome { Absent, Read, Failed };
    Outcome outcome = Outcome::Absent;
    QByteArray bytes;
    // Why a read failed, for the user.
    QString error;
};

// Reads the whole regular file at `path`. A file that exists but is not read whole (no access,
// not a regular file, larger than `maxBytes`, out of memory, a read error) is Failed with the
// reason; a missing file is Absent. Never waits on a FIFO or a device.
FileRead readWholeFile(const QString& path, qint64 maxBytes);

} // namespace zr::common
