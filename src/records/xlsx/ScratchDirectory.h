#pragma once

#include <QString>

namespace zr::records {

// This process's own directory for libxlsxwriter's scratch files, "zr6040-workbook-<pid>" under
// `root`. libxlsxwriter gives each scratch file a name for a moment before removing it, so an
// export killed in that moment leaves a file behind; kept apart like this, the next export finds
// it: making a scratch directory first removes those of processes that no longer run.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const QString& root);
    // Removes the directory with whatever is still in it.
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    bool isReady() const { return error_.isEmpty(); }
    const QString& path() const { return path_; }
    // Why it could not be made.
    const QString& error() const { return error_; }

private:
    QString path_;
    QString error_;
};

} // namespace zr::records
