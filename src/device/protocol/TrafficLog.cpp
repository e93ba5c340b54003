#include "device/protocol/TrafficLog.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace zr::protocol {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendHexByte(std::string& line, std::uint8_t value) {
    line += kHexDigits[value >> 4];
    line += kHexDigits[value & 0x0F];
}

// Upper-case hex with no leading zeros beyond `minDigits`.
void appendHex(std::string& line, std::uint64_t value, int minDigits) {
    char digits[16];
    int count = 0;
    do {
        digits[count++] = kHexDigits[value & 0x0F];
        value >>= 4;
    } while (value != 0);
    while (count < minDigits) {
        digits[count++] = '0';
    }
    while (count > 0) {
        line += digits[--count];
    }
}

// strerror_r comes in a GNU and a POSIX flavour; either way the text ends up in `text`.
[[maybe_unused]] const char* errorText(int result, const char* buffer) {
    return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* errorText(const char* result, const char*) {
    return result;
}

bool trimmedAtEnd(char c) {
    return static_cast<unsigned char>(c) <= ' ' || c == '.';
}

} // namespace

std::string formatWriteLine(std::size_t bytesWritten, const std::uint8_t* data,
                            std::size_t available) {
    const std::size_t shown = std::min(bytesWritten, available);
    std::string line;
    line.reserve(8 + 3 * shown);
    line += "WR ";
    appendHex(line, bytesWritten, 2);
    line += "  ";
    for (std::size_t i = 0; i < shown; ++i) {
        appendHexByte(line, data[i]);
        line += ' ';
    }
    return line;
}

std::array<std::string, 4> formatWriteFailureLines(std::size_t bytesWritten, int errorCode,
                                                   const std::uint8_t* data,
                                                   std::size_t available) {
    std::string detail =
        std::to_string(bytesWritten) + " = WRITE ERROR: " + formatSystemError(errorCode);
    return {"---------error--------------", std::move(detail),
            formatWriteLine(bytesWritten, data, available), "---------    --------------"};
}

std::string formatReceiveLine(const std::uint8_t* payload, std::size_t length) {
    std::string line;
    line.reserve(4 * length);
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t value = payload[i];
        if (value >= 100) {
            line += static_cast<char>('0' + value / 100);
        }
        line += static_cast<char>('0' + value / 10 % 10);
        line += static_cast<char>('0' + value % 10);
        line += ' ';
    }
    return line;
}

std::string systemErrorMessage(int errorCode) {
    char buffer[256] = {};
    const char* text = errorText(strerror_r(errorCode, buffer, sizeof buffer), buffer);
    std::string message = text != nullptr ? text : "Unknown error " + std::to_string(errorCode);
    while (!message.empty() && trimmedAtEnd(message.back())) {
        message.pop_back();
    }
    return message;
}

std::string formatSystemError(int errorCode) {
    std::string text = systemErrorMessage(errorCode) + " (";
    appendHex(text, static_cast<std::uint32_t>(errorCode), 1);
    text += ')';
    return text;
}

} // namespace zr::protocol
