#pragma once

#include "calibration/Methods.h"
#include "device/protocol/CalibrationSlot.h"
#include "device/protocol/Meter.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zr::calibration {

// The meter's calibration entries as its replies brought them: methods 1 to 3 by slots 1 to 4.
class CalibrationTables {
public:
    static constexpr bool holds(int method, int slot) {
        return isCalibratedMethod(method) && isSlot(slot);
    }
    // Only for holds(method, slot).
    protocol::CalibrationSlot& at(int method, int slot) {
        return entries_[static_cast<std::size_t>(method - 1)][static_cast<std::size_t>(slot - 1)];
    }
    const protocol::CalibrationSlot& at(int method, int slot) const {
        return entries_[static_cast<std::size_t>(method - 1)][static_cast<std::size_t>(slot - 1)];
    }

private:
    std::array<std::array<protocol::CalibrationSlot, protocol::meter::kSlotsPerMethod>,
               protocol::meter::kCalibratedMethods>
        entries_;
};

// What the program knows of the calibrations in the meter, and the one place that decides which
// slot a copy from the library goes to. The entries the meter reported are kept per method and
// slot across reads. A copy goes only after the slots the last whole read of the method's list
// found taken and the copies made since; with none free it goes nowhere, except a calibration
// the user agreed to write as number 1.
class MeterCalibrations {
public:
    // SharedState::meterAttachment: which plugging-in of the meter a read belongs to.
    using Attachment = std::uint32_t;

    const CalibrationTables& tables() const { return tables_; }

    // A read of `method`'s list begins on the meter attached as `attachment`: its four requests
    // go out now. What an earlier read found is forgotten.
    void beginRead(int method, Attachment attachment);
    // A calibration entry reply.
    void entryReported(const protocol::CalibrationSlot& entry);
    // Whether the list of `method` has been read whole from the meter attached as `attachment`.
    bool listRead(int method, Attachment attachment) const;

    // The highest slot taken by the last read and the copies since, plus one for every copy
    // refused for want of room: 0 from a read until the meter reports a taken slot.
    int lastSlot() const;

    // The slot a copy of `entry` (its slot ignored) goes to, counted as taken from then on;
    // nothing when no slot is free, which counts as a refused copy.
    std::optional<int> takeSlotForCopy(const protocol::CalibrationSlot& entry);

    // The user agreed to write `entry` (its slot ignored) as number 1 when no slot is free: its
    // next copy, from the meter attached now, does so.
    void allowFirstSlotFor(const protocol::CalibrationSlot& entry);

private:
    int highestTaken() const;

    CalibrationTables tables_;
    // The read in progress or done last.
    int readMethod_ = 0;
    Attachment readAttachment_ = 0;
    int replies_ = 0;
    std::array<bool, protocol::meter::kSlotsPerMethod> taken_{};
    int refusedCopies_ = 0;
    std::optional<protocol::CalibrationSlot> firstSlotAllowed_;
};

} // namespace zr::calibration
