#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <memory>

namespace zr::ctl {

// Where a command's output goes: standard output, a file replaced whole once the command is done
// (a failed command leaves it as it was), or a file appended to line by line. Every write is
// handed to the system at once, so that a reader sees each line as it is written.
class OutputTarget {
public:
    enum class Mode { Replace, Append };

    // Standard output.
    OutputTarget();
    OutputTarget(QString path, Mode mode);
    ~OutputTarget();

    // false with error() when the file cannot be opened.
    bool open();
    // The output is appended to a file that is not empty, which has its header already.
    bool continuesContent() const { return continuesContent_; }
    // false when the bytes could not be written: the reader went away or error() says why.
    bool write(const QByteArray& bytes);
    // Ends the output: a replaced file takes the new contents only when `complete`. false with
    // error() when that fails.
    bool close(bool complete);
    // The last failure was a reader that went away (a closed pipe): no error to report.
    bool readerGone() const { return readerGone_; }
    QString error() const { return error_; }

private:
    bool writeAll(int fd, const QByteArray& bytes);
    void failWith(int systemError);

    QString path_;
    Mode mode_ = Mode::Append;
    int fd_ = -1;
    bool ownsFd_ = false;
    std::unique_ptr<QSaveFile> file_;
    bool continuesContent_ = false;
    bool readerGone_ = false;
    QString error_;
};

} // namespace zr::ctl
