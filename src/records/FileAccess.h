#pragma once

#include <QByteArray>
#include <QString>

namespace zr::records {

// Whole-file reads and atomic replacement for the list files, the exports and the print report,
// behind an interface so that tests can make either fail.
class FileAccess {
public:
    struct ReadResult {
        enum class Outcome { Absent, Read, Failed };
        Outcome outcome = Outcome::Absent;
        QByteArray bytes;
        // Why a read failed, for the user.
        QString error;
    };

    virtual ~FileAccess() = default;

    virtual ReadResult read(const QString& path) = 0;
    // Replaces the file in one step: a failure or a crash at any moment leaves the old file
    // whole. Returns the error text, empty on success.
    virtual QString replace(const QString& path, const QByteArray& bytes) = 0;
};

// The files on disk; replacing writes a temporary file beside the target and renames it.
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
