#pragma once

#include <cstddef>
#include <cstdint>

namespace zr::protocol {

struct WriteOutcome {
    bool ok = false;
    std::size_t bytesWritten = 0;
    // The system's error code of a failed write, taken right after it failed.
    int errorCode = 0;
};

// The meter as the command sender sees it; the connection layer implements it on the HID device
// that is the meter.
class MeterPort {
public:
    virtual ~MeterPort() = default;
    virtual bool connected() const = 0;
    virtual std::size_t outputReportLength() = 0;
    // Blocks until the write has finished.
    virtual WriteOutcome write(const std::uint8_t* data, std::size_t length) = 0;
};

} // namespace zr::protocol
