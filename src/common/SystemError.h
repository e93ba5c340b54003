#pragma once

#include <QString>

namespace zr::common {

// The system's reason for `error` (an errno value), in the user's language where the system has
// a translation.
QString systemErrorText(int error);

// Why a FIFO, a device or a socket is neither read whole nor written over.
QString notRegularFileText();

// Why a file was not read when memory ran out while loading it.
QString outOfMemoryText();

} // namespace zr::common
