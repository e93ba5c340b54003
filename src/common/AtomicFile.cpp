#include "common/AtomicFile.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace zr::common {

namespace {
// QSaveFile words some failures its own way; the system's reason is what the user is told
// whenever the system gave one.
QString reason(const QSaveFile& file, int error) {
    if (error != 0) {
        return QString::fromLocal8Bit(std::strerror(error));
    }
    return file.errorString();
}
} // namespace

QString replaceFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo target(path);
    if (target.exists() && (!target.isFile() || !target.isWritable())) {
        return QString::fromLocal8Bit(std::strerror(target.isFile() ? EACCES : EISDIR));
    }
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        return reason(file, errno);
    }
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        const int error = errno;
        file.cancelWriting();
        return reason(file, error);
    }
    errno = 0;
    if (!file.commit()) {
        return reason(file, errno);
    }
    return QString();
}

} // namespace zr::common
