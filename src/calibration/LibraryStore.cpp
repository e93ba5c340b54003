#include "calibration/LibraryStore.h"

#include "common/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

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
    return common::replaceFile(path_, content).isEmpty();
}

} // namespace zr::calibration
