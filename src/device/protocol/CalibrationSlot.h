#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zr::protocol {

// One calibration entry of the meter. The name is code page 1251 bytes: at most 10 when sent,
// exactly the 10 bytes of the reply (padding included) when received.
struct CalibrationSlot {
    int slot = 0;
    std::string name;
    int method = 0;
    std::int16_t k1 = 0;
    std::int16_t k2 = 0;

    bool operator==(const CalibrationSlot&) const = default;
};

// Where a calibration entry sits, in report byte numbers (byte 0 is the report ID). Commands and
// replies share it.
namespace calibration_entry {
inline constexpr std::size_t kSlot = 2;
inline constexpr std::size_t kName = 3;
inline constexpr std::size_t kNameLength = 10;
inline constexpr std::size_t kMethod = 13;
inline constexpr std::size_t kK1 = 14;
inline constexpr std::size_t kK2 = 16;
inline constexpr std::size_t kEnd = 18;
} // namespace calibration_entry

} // namespace zr::protocol
