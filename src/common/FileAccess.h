#pragma once

#include "common/FileRead.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace zr::common {

// Whole-file reads and atomic replacement for the list files, the library, the exports and the
// print report, behind an interface so that tests can make any of them fail.
class FileAccess {
public:
    virtual ~FileAccess() = default;

    // Whether there is a file at `path`, of any kind; a link to nowhere is none.
    virtual bool exists(const QString& path) = 0;
    // The whole regular file of at most `maxBytes`; see readWholeFile.
    virtual FileRead read(const QString& path, qint64 maxBytes) = 0;
    // Replaces the file in one step: a failure or a crash at any moment leaves the old file
    // whole. Returns the error text, empty on success.
    virtual QString replace(const QString& path, const QByteArray& bytes) = 0;
};

// The files on disk.
class DiskFileAccess : public FileAccess {
public:
    bool exists(const QString& path) override;
    FileRead read(const QString& path, qint64 maxBytes) override;
    QString replace(const QString& path, const QByteArray& bytes) override;
};

// The program's files (stateless).
FileAccess& systemFiles();

// "Cannot create file "<path>". <reason>"
QString cannotCreateFileMessage(const QString& path, const QString& reason);

} // namespace zr::common
