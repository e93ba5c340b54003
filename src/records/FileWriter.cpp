#include "records/FileWriter.h"

#include "common/AtomicFile.h"

namespace zr::records {

QString SaveFileWriter::write(const QString& path, const QByteArray& bytes) {
    return common::replaceFile(path, bytes);
}
FileWriter& systemFileWriter() {
    static SaveFileWriter writer;
    return writer;
}

QString cannotCreateFileMessage(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason);
}

} // namespace zr::records
