#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zr::protocol {

// Report ID in byte 0, command or reply code in byte 1, arguments after it.
inline constexpr std::size_t kReportBufferSize = 65;
using ReportBuffer = std::array<std::uint8_t, kReportBufferSize>;

namespace command {
inline constexpr std::uint8_t kEraseCalibrations = 0x41;       // 'A'
inline constexpr std::uint8_t kCommitCorrection = 0x63;        // 'c'
inline constexpr std::uint8_t kSelectMethod = 0x64;            // 'd'
inline constexpr std::uint8_t kReadByte = 0x65;                // 'e'
inline constexpr std::uint8_t kWriteByte = 0x66;               // 'f'
inline constexpr std::uint8_t kReadStoredValues = 0x67;        // 'g'
inline constexpr std::uint8_t kRequestCalibrationEntry = 0x3D; // '='
inline constexpr std::uint8_t kWriteCalibrationEntry = 0x3C;   // '<'
} // namespace command

namespace reply {
inline constexpr std::uint8_t kStatusReport = 0x37;     // '7'
inline constexpr std::uint8_t kStoredValuesPage = 0x67; // 'g'
inline constexpr std::uint8_t kByteValue = 0x65;        // 'e'
inline constexpr std::uint8_t kCalibrationEntry = 0x3D; // '='
} // namespace reply

// The read byte command carries this in byte 3, and a byte value reply worth showing echoes it.
inline constexpr std::uint8_t kByteValueFlag = 1;

} // namespace zr::protocol
