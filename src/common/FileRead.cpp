#include "common/FileRead.h"

#include "common/SystemError.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace zr::common {

namespace {

FileRead failed(const QString& error) {
    FileRead result;
    result.outcome = FileRead::Outcome::Failed;
    result.error = error;
    return result;
}

QString tooLargeText(qint64 maxBytes) {
    return QStringLiteral("файл больше %1 МБ, такого быть не может").arg(maxBytes / (1024 * 1024));
}

struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

} // namespace

FileRead readWholeFile(const QString& path, qint64 maxBytes) {
    const QByteArray native = QFile::encodeName(path);
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    Descriptor file{::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0) {
        const int error = errno;
        struct stat link {};
        // A link to nowhere is a file the user made: it is not taken for a missing one.
        if (error == ENOENT && ::lstat(native.constData(), &link) != 0) {
            return FileRead{};
        }
        return failed(systemErrorText(error));
    }
    struct stat status {};
    if (::fstat(file.fd, &status) != 0) {
        return failed(systemErrorText(errno));
    }
    if (!S_ISREG(status.st_mode)) {
        return failed(notRegularFileText());
    }
    if (status.st_size > maxBytes) {
        return failed(tooLargeText(maxBytes));
    }
    FileRead result;
    try {
        // One byte more than the size, to see a file that grows while it is read.
        result.bytes.resize(static_cast<qsizetype>(status.st_size) + 1);
        qsizetype size = 0;
        for (;;) {
            if (size == result.bytes.size()) {
                if (size > maxBytes) {
                    return failed(tooLargeText(maxBytes));
                }
                result.bytes.resize(std::min<qsizetype>(size * 2, maxBytes + 1));
            }
            const ssize_t got = ::read(file.fd, result.bytes.data() + size,
                                       static_cast<std::size_t>(result.bytes.size() - size));
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return failed(systemErrorText(errno));
            }
            if (got == 0) {
                break;
            }
            size += got;
        }
        result.bytes.truncate(size);
    } catch (const std::bad_alloc&) {
        return failed(outOfMemoryText());
    }
    result.outcome = FileRead::Outcome::Read;
    return result;
}

} // namespace zr::common
