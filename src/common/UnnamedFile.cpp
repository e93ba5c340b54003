#include "common/UnnamedFile.h"

#include "common/SystemError.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zr::common {

UnnamedFile::UnnamedFile(const QString& directory) {
    const QByteArray dir = QFile::encodeName(directory);
    fd_ = ::open(dir.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
        return;
    }
    if (!unnamedFilesUnsupported(errno)) {
        error_ = systemErrorText(errno);
        return;
    }
    // Without unnamed files on this file system the name lives only for an instant.
    QByteArray pattern = QFile::encodeName(QDir(directory).filePath(".zr6040-XXXXXX"));
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) {
        error_ = systemErrorText(errno);
        return;
    }
    ::unlink(pattern.constData());
}

UnnamedFile::~UnnamedFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool unnamedFilesUnsupported(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

QByteArray UnnamedFile::path() const {
    return QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(fd_);
}

QByteArray UnnamedFile::readAll(QString* error) const {
    struct stat status {};
    if (::fstat(fd_, &status) != 0) {
        *error = systemErrorText(errno);
        return {};
    }
    QByteArray bytes(static_cast<qsizetype>(status.st_size), Qt::Uninitialized);
    qsizetype size = 0;
    while (size < bytes.size()) {
        const ssize_t got =
            ::pread(fd_, bytes.data() + size, static_cast<std::size_t>(bytes.size() - size), size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            *error = systemErrorText(got < 0 ? errno : EIO);
            return {};
        }
        size += got;
    }
    return bytes;
}

} // namespace zr::common
