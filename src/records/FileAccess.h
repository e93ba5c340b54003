#pragma once

#include "common/FileRead.h"

#include <QByteArray>
#include <QString>

namespace zr::records {

// Whole-file reads and atomic replacement for the list files, the exports and the print report,
// behind an interface so that tests can make either fail.
class FileAccess {
public:
    using ReadResult = common::FileRead;

    virtual ~FileAccess() = default;

    virtual ReadResult read(const QString& path) = 0;
    // Replaces the file in one step: a failure or a crash at any moment leaves the old file
    // whole. Returns the error text, empty on success.
    virtual QString replace(const QString& path, const QByteArray& bytes) = 0;
};

// The files on disk; a read takes a regular file of at most common::kMaxListFileBytes whole.
class DiskFileAccess : public FileAccess {
public:
    ReadResult read(const QString& path) override;
    QString replace(const QString& path, const QByteArray& bytes) override;
};

// The program's files (stateless).
FileAccess& systemFiles();

// "Cannot create file "<path>". <reason>"
QString cannotCreateFileMessage(const QString& path, const QString& reason);

} // namespace zr::records
