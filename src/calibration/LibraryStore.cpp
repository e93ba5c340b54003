#include "calibration/LibraryStore.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zr::calibration {

bool FileLibraryStore::exists() const {
    return QFileInfo::exists(path_);
}

std::optional<QByteArray> FileLibraryStore::read() const {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return content;
}

bool FileLibraryStore::replace(const QByteArray& content) {
    // Renaming over a file the user may not write would replace it all the same.
    const QFileInfo info(path_);
    if (info.exists() && (!info.isFile() || !info.isWritable())) {
        return false;
    }
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace zr::calibration
