#include "calibration/LibraryStore.h"

#include "calibration/LibraryFile.h"
#include "common/AtomicFile.h"
#include "common/FileLimits.h"

#include <QFileInfo>

namespace zr::calibration {

bool FileLibraryStore::exists() const {
    return QFileInfo::exists(path_);
}

common::FileRead FileLibraryStore::read() const {
    return common::readWholeFile(path_, common::kMaxLibraryEntries *
                                            static_cast<qint64>(LibraryRecord::kSize));
}

bool FileLibraryStore::replace(const QByteArray& content) {
    return common::replaceFile(path_, content).isEmpty();
}

} // namespace zr::calibration
