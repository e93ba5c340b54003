#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

// Numbers in reports and in the meter's memory are little-endian; reals are IEEE singles.
namespace zr::protocol {

inline std::uint16_t readUint16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline std::int16_t readInt16(const std::uint8_t* bytes) {
    return static_cast<std::int16_t>(readUint16(bytes));
}

inline void writeUint16(std::uint8_t* bytes, std::uint16_t value) {
    bytes[0] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

inline float readFloat(const std::uint8_t* bytes) {
    const std::uint32_t bits =
        static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
        (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    return std::bit_cast<float>(bits);
}

inline std::array<std::uint8_t, 4> floatBytes(float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
            static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

inline void writeFloat(std::uint8_t* bytes, float value) {
    const auto encoded = floatBytes(value);
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        bytes[i] = encoded[i];
    }
}

} // namespace zr::protocol
