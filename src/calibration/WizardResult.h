#pragma once

#include <QString>
#include <cstdint>

namespace zr::calibration {

// What the two-point wizard hands the library when it finishes.
struct WizardResult {
    QString name;
    std::uint8_t method = 0;
    std::int16_t k1 = 0;
    std::int16_t k2 = 0;
    // Lines separated by CR LF.
    QString comment;
    // With no free slot in the meter, the user agreed to write this calibration as number 1.
    bool writeAsFirstSlot = false;
};

} // namespace zr::calibration
