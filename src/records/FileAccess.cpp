#include "records/FileAccess.h"

#include "common/AtomicFile.h"
#include "common/FileLimits.h"

namespace zr::records {

FileAccess::ReadResult DiskFileAccess::read(const QString& path) {
    return common::readWholeFile(path, common::kMaxListFileBytes);
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
