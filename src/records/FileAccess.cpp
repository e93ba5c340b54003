#include "records/FileAccess.h"

#include "common/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

namespace zr::records {

FileAccess::ReadResult DiskFileAccess::read(const QString& path) {
    ReadResult result;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.outcome = ReadResult::Outcome::Failed;
        result.error = file.errorString();
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.outcome = ReadResult::Outcome::Failed;
        result.error = file.errorString();
        result.bytes.clear();
        return result;
    }
    result.outcome = ReadResult::Outcome::Read;
    return result;
}

QString DiskFileAccess::replace(const QString& path, const QByteArray& bytes) {
    return common::replaceFile(path, bytes);
}

FileAccess& systemFiles() {
    static DiskFileAccess files;
    return files;
}

QString cannotCreateFileMessage(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason);
}

} // namespace zr::records
