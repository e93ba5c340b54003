#include "device/protocol/IntegerText.h"

namespace zr::protocol {

namespace {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Digits of base `base` up to the end of the text, accumulated while they stay below `limit`.
std::optional<std::uint64_t> readDigits(std::string_view digits, unsigned base,
                                        std::uint64_t limit) {
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0 || static_cast<unsigned>(digit) >= base) {
            return std::nullopt;
        }
        value = value * base + static_cast<unsigned>(digit);
        if (value > limit) {
            return std::nullopt;
        }
    }
    return value;
}

bool startsWithHexPrefix(std::string_view text, std::size_t& prefixLength) {
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) {
        prefixLength = 1;
        return true;
    }
    if (text.starts_with("0x") || text.starts_with("0X")) {
        prefixLength = 2;
        return true;
    }
    return false;
}

} // namespace

std::optional<std::int32_t> parseInt32(std::string_view text) {
    const std::size_t firstNonBlank = text.find_first_not_of(' ');
    if (firstNonBlank == std::string_view::npos) {
        return std::nullopt;
    }
    text.remove_prefix(firstNonBlank);

    bool negative = false;
    if (text.starts_with('-') || text.starts_with('+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }

    std::size_t prefixLength = 0;
    if (startsWithHexPrefix(text, prefixLength)) {
        const auto value = readDigits(text.substr(prefixLength), 16, 0xFFFFFFFFu);
        if (!value) {
            return std::nullopt;
        }
        // Hex fills all 32 bits; the sign then negates in two's complement.
        auto bits = static_cast<std::uint32_t>(*value);
        if (negative) {
            bits = 0u - bits;
        }
        return static_cast<std::int32_t>(bits);
    }

    const std::uint64_t magnitudeLimit = negative ? 2147483648u : 2147483647u;
    const auto value = readDigits(text, 10, magnitudeLimit);
    if (!value) {
        return std::nullopt;
    }
    return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(*value))
                    : static_cast<std::int32_t>(*value);
}

} // namespace zr::protocol
