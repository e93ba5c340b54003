#pragma once

#include "common/FileRead.h"

#include <QByteArray>
#include <QString>

namespace zr::calibration {

// The library file as the library sees it; tests put a failing one in its place.
class LibraryStore {
public:
    virtual ~LibraryStore() = default;
    virtual bool exists() const = 0;
    // The whole file; Absent when it does not exist, Failed with the reason when it exists but
    // cannot be read whole (no access, not a regular file, larger than any real library).
    virtual common::FileRead read() const = 0;
    // Replaces the file's content, creating it when missing. Either the whole new content is in
    // place afterwards or the file is as it was; false then.
    virtual bool replace(const QByteArray& content) = 0;
};

// The library file on disk, opened by its path in the data directory. Every rewrite goes to a
// temporary file first and is renamed into place, so a crash or a full disk never leaves a
// shortened library.
class FileLibraryStore : public LibraryStore {
public:
    explicit FileLibraryStore(QString path) : path_(std::move(path)) {}

    bool exists() const override;
    common::FileRead read() const override;
    bool replace(const QByteArray& content) override;

private:
    QString path_;
};

} // namespace zr::calibration
