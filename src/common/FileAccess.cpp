#include "common/FileAccess.h"

#include "common/AtomicFile.h"

#include <QFileInfo>

namespace zr::common {

bool DiskFileAccess::exists(const QString& path) {
    return QFileInfo::exists(path);
}

FileRead DiskFileAccess::read(const QString& path, qint64 maxBytes) {
    return readWholeFile(path, maxBytes);
}

QString DiskFileAccess::replace(const QString& path, const QByteArray& bytes) {
    return replaceFile(path, bytes);
}

FileAccess& systemFiles() {
    static DiskFileAccess files;
    return files;
}

QString cannotCreateFileMessage(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason);
}

} // namespace zr::common
