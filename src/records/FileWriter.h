#pragma once

#include <QByteArray>
#include <QString>

namespace zr::records {

// Writes whole files for the export and the print report. Tests fail it.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Replaces the file with `bytes`. Empty on success, otherwise the system's reason; on failure
    // the file keeps its previous content (or stays absent).
    virtual QString write(const QString& path, const QByteArray& bytes) = 0;
};

// Writes through a temporary file beside the target that is renamed onto it only when every
// byte reached the disk, so a full disk never leaves a half-written file under the name.
class SaveFileWriter : public FileWriter {
public:
    QString write(const QString& path, const QByteArray& bytes) override;
};

// The program's writer (stateless).
FileWriter& systemFileWriter();

// "Cannot create file "<path>". <reason>"
QString cannotCreateFileMessage(const QString& path, const QString& reason);

} // namespace zr::records
