#pragma once

#include <QtGlobal>

namespace zr::common {

// The largest files the program reads whole. No real file comes near them: they stop a link to a
// device or an absurd file from taking all memory and minutes before anything is said.

// A selection list "s1.okt" … "s4.okt": 64 MiB, several million items of ordinary length.
inline constexpr qint64 kMaxListFileBytes = qint64{64} * 1024 * 1024;

// The calibration library "data.zr": 200 000 entries.
inline constexpr qint64 kMaxLibraryEntries = 200000;

} // namespace zr::common
