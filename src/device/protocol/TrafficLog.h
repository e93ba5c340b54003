#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// Lines of the traffic log, byte for byte as the service staff know them.
namespace zr::protocol {

// "WR " and the count in hex (at least two digits), two blanks, then each written byte as two
// hex digits and a blank. Only the first min(bytesWritten, available) bytes of `data` are read.
std::string formatWriteLine(std::size_t bytesWritten, const std::uint8_t* data,
                            std::size_t available);

// The four lines that record a failed write.
std::array<std::string, 4> formatWriteFailureLines(std::size_t bytesWritten, int errorCode,
                                                   const std::uint8_t* data, std::size_t available);

// One received payload: each byte in decimal, at least two digits, and a blank.
std::string formatReceiveLine(const std::uint8_t* payload, std::size_t length);

// The system's text for an error code, without trailing blanks, control characters or full
// stops.
std::string systemErrorMessage(int errorCode);

// The error as the log writes it: the system's text and the code in hex, "Permission denied (D)".
std::string formatSystemError(int errorCode);

} // namespace zr::protocol
