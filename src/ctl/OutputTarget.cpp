#include "ctl/OutputTarget.h"

#include "ctl/CtlText.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zr::ctl {

namespace {

bool isEmptyFile(int fd) {
    struct stat info = {};
    return ::fstat(fd, &info) == 0 && info.st_size == 0;
}

} // namespace

OutputTarget::OutputTarget() : fd_(STDOUT_FILENO) {}

OutputTarget::OutputTarget(QString path, Mode mode) : path_(std::move(path)), mode_(mode) {}

OutputTarget::~OutputTarget() {
    if (ownsFd_) {
        ::close(fd_);
    }
}

bool OutputTarget::open() {
    // Standard output may continue anything (a title the script wrote, another table): only
    // --no-header leaves the header out there.
    if (path_.isEmpty()) {
        return true;
    }
    if (mode_ == Mode::Replace) {
        file_ = std::make_unique<QSaveFile>(path_);
        if (!file_->open(QIODevice::WriteOnly)) {
            error_ = CtlText::tr("%1: %2").arg(path_, file_->errorString());
            return false;
        }
        return true;
    }
    fd_ = ::open(path_.toLocal8Bit().constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        failWith(errno);
        return false;
    }
    ownsFd_ = true;
    continuesContent_ = !isEmptyFile(fd_);
    return true;
}

bool OutputTarget::write(const QByteArray& bytes) {
    if (file_) {
        if (file_->write(bytes) != bytes.size()) {
            error_ = CtlText::tr("%1: %2").arg(path_, file_->errorString());
            return false;
        }
        return true;
    }
    return writeAll(fd_, bytes);
}

bool OutputTarget::writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::write(fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            failWith(written < 0 ? errno : EIO);
            return false;
        }
        done += written;
    }
    return true;
}

void OutputTarget::failWith(int systemError) {
    readerGone_ = systemError == EPIPE;
    const QString reason = qt_error_string(systemError);
    error_ = path_.isEmpty() ? CtlText::tr("Cannot write the output: %1.").arg(reason)
                             : CtlText::tr("%1: %2").arg(path_, reason);
}

bool OutputTarget::close(bool complete) {
    if (file_) {
        if (!complete) {
            file_->cancelWriting();
            file_->commit();
            return true;
        }
        if (!file_->commit()) {
            error_ = CtlText::tr("%1: %2").arg(path_, file_->errorString());
            return false;
        }
        return true;
    }
    // Nothing is held back; the system reports a delayed write failure at the latest on close.
    if (ownsFd_) {
        ownsFd_ = false;
        if (::close(fd_) != 0) {
            failWith(errno);
            return false;
        }
    }
    return true;
}

} // namespace zr::ctl
