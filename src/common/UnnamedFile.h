#pragma once

#include <QByteArray>
#include <QString>

namespace zr::common {

// A scratch file without a name in a directory: nothing of it stays on the disk once it is
// closed, whether the program ends normally or is killed. Other code reaches it by `path()`.
class UnnamedFile {
public:
    explicit UnnamedFile(const QString& directory);
    ~UnnamedFile();
    UnnamedFile(const UnnamedFile&) = delete;
    UnnamedFile& operator=(const UnnamedFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // Why it could not be made.
    const QString& error() const { return error_; }
    // A path that opens this file (under /proc/self/fd) while it is open.
    QByteArray path() const;
    // Its whole content, or nothing with `error` set.
    QByteArray readAll(QString* error) const;

private:
    int fd_ = -1;
    QString error_;
};

// True for the errors with which open(O_TMPFILE) says that the file system (or the kernel) has no
// unnamed files, so that a short-lived named file must do.
bool unnamedFilesUnsupported(int error);

} // namespace zr::common
