#pragma once

#include <QByteArray>
#include <QString>

namespace zr::common {

// Replaces the file at `path` with `bytes` in one step: a temporary file beside it is renamed
// onto it only once every byte reached the disk, so a full disk, a failed write or a crash at
// any moment leaves the old file whole (or none). A file the user may not write is refused,
// since a rename would replace it all the same. Returns the system's reason on failure, empty
// on success.
QString replaceFile(const QString& path, const QByteArray& bytes);

} // namespace zr::common
