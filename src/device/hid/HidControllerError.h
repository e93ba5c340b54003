#pragma once

#include <stdexcept>
#include <string>

namespace zr::hid {

// Raised by device creation when a device cannot be identified ("device cannot be identified");
// the scan leaves such a device out without a message.
class HidControllerError : public std::runtime_error {
public:
    explicit HidControllerError(const std::string& what) : std::runtime_error(what) {}
};

} // namespace zr::hid
