#include "common/AtomicFile.h"

#include "common/SystemError.h"
#include "common/UnnamedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zr::common {

namespace {

// The name a new content carries for the instant between being complete and replacing the
// target, or all along where the file system has no unnamed files. Its owner holds a lock on it,
// so that only a name nobody holds (a kill in that instant) is taken for a leftover.
const QString kTemporaryInfix = QStringLiteral(".zr6040-");

QString temporaryName(const QString& fileName) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix;
    for (int i = 0; i < 6; ++i) {
        suffix += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
    }
    return QLatin1Char('.') + fileName + kTemporaryInfix + suffix;
}

void removeLeftovers(const QDir& dir, const QString& fileName) {
    const QStringList names =
        dir.entryList({QLatin1Char('.') + fileName + kTemporaryInfix + QLatin1Char('*')},
                      QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QByteArray native = QFile::encodeName(dir.filePath(name));
        const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat status {};
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::unlink(native.constData());
        }
        ::close(fd);
    }
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<std::size_t>(left));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// A descriptor closed on every path out.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

// Links the finished content in under `temporary` and renames that onto `target`.
QString renameInto(const QByteArray& procPath, const QDir& dir, const QString& fileName,
                   const QByteArray& target) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray temporary = QFile::encodeName(dir.filePath(temporaryName(fileName)));
        if (::linkat(AT_FDCWD, procPath.constData(), AT_FDCWD, temporary.constData(),
                     AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST) {
                continue;
            }
            return systemErrorText(errno);
        }
        if (::rename(temporary.constData(), target.constData()) != 0) {
            const int error = errno;
            ::unlink(temporary.constData());
            return systemErrorText(error);
        }
        return QString();
    }
    return systemErrorText(EEXIST);
}

void syncDirectory(const QDir& dir) {
    Descriptor directory{
        ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (directory.fd >= 0) {
        ::fsync(directory.fd);
    }
}

} // namespace

QString replaceFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo link(path);
    const QFileInfo info(link.isSymLink() ? link.symLinkTarget() : link.absoluteFilePath());
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QDir dir = info.absoluteDir();
    const QString fileName = info.fileName();

    struct stat status {};
    const bool exists = ::stat(target.constData(), &status) == 0;
    if (!exists && errno != ENOENT) {
        return systemErrorText(errno);
    }
    if (exists && S_ISDIR(status.st_mode)) {
        return systemErrorText(EISDIR);
    }
    if (exists && !S_ISREG(status.st_mode)) {
        return notRegularFileText();
    }
    if (exists && ::access(target.constData(), W_OK) != 0) {
        return systemErrorText(EACCES);
    }
    const mode_t mode = exists ? (status.st_mode & 07777) : 0666;

    removeLeftovers(dir, fileName);
    const QByteArray dirPath = QFile::encodeName(dir.path());
    Descriptor file{::open(dirPath.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode)};
    QByteArray named;
    if (file.fd < 0) {
        if (!unnamedFilesUnsupported(errno)) {
            return systemErrorText(errno);
        }
        for (int attempt = 0; attempt < 100 && file.fd < 0; ++attempt) {
            named = QFile::encodeName(dir.filePath(temporaryName(fileName)));
            file.fd = ::open(named.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
            if (file.fd < 0 && errno != EEXIST) {
                return systemErrorText(errno);
            }
        }
        if (file.fd < 0) {
            return systemErrorText(EEXIST);
        }
    }
    ::flock(file.fd, LOCK_EX);
    if (exists) {
        // The umask must not narrow what the user gave the file.
        ::fchmod(file.fd, mode);
    }
    const auto fail = [&named](int error) {
        if (!named.isEmpty()) {
            ::unlink(named.constData());
        }
        return systemErrorText(error);
    };
    if (!writeAll(file.fd, bytes) || ::fsync(file.fd) != 0) {
        return fail(errno);
    }

    if (!named.isEmpty()) {
        if (::rename(named.constData(), target.constData()) != 0) {
            return fail(errno);
        }
    } else {
        const QByteArray procPath =
            QByteArrayLiteral("/proc/self/fd/") + QByteArray::number(file.fd);
        if (exists || ::linkat(AT_FDCWD, procPath.constData(), AT_FDCWD, target.constData(),
                               AT_SYMLINK_FOLLOW) != 0) {
            if (!exists && errno != EEXIST) {
                return systemErrorText(errno);
            }
            const QString failure = renameInto(procPath, dir, fileName, target);
            if (!failure.isEmpty()) {
                return failure;
            }
        }
    }
    syncDirectory(dir);
    return QString();
}

} // namespace zr::common
