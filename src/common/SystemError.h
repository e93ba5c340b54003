#pragma once

#include <QString>

namespace zr::common {

// The system's reason for `error` (an errno value) in Russian, as every message of the program
// gives it; an unexpected value keeps the system's own words beside its number. The traffic log
// keeps the system's words (protocol::formatSystemError).
QString systemErrorText(int error);

// Why a FIFO, a device or a socket is neither read whole nor written over.
QString notRegularFileText();

// Why a file was not read when memory ran out while loading it.
QString outOfMemoryText();

} // namespace zr::common
