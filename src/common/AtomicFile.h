#pragma once

#include <QByteArray>
#include <QString>

namespace zr::common {

// Replaces the file at `path` with `bytes` in one step. The new content goes into a file
// without a name in the target's directory, every write checked and flushed to the disk, and is
// linked in under the target's name only then; so a full disk, a failed write or a kill at any
// moment leaves the old file whole and no half-written file behind. A file the user may not
// write, or that is not a regular file, is refused, since a rename would replace it all the
// same. A link is followed: what it points at is replaced. Returns the system's reason on
// failure, empty on success.
QString replaceFile(const QString& path, const QByteArray& bytes);

} // namespace zr::common
