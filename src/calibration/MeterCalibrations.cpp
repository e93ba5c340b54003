#include "calibration/MeterCalibrations.h"

#include "calibration/Methods.h"

namespace zr::calibration {

using protocol::meter::kSlotsPerMethod;

namespace {

// The same calibration for the meter, wherever it is to go.
bool sameCalibration(const protocol::CalibrationSlot& a, const protocol::CalibrationSlot& b) {
    return a.name == b.name && a.method == b.method && a.k1 == b.k1 && a.k2 == b.k2;
}

} // namespace

void MeterCalibrations::beginRead(int method, Attachment attachment) {
    if (attachment != readAttachment_) {
        // Number 1 was agreed for the meter the user had then.
        firstSlotAllowed_.reset();
    }
    readMethod_ = method;
    readAttachment_ = attachment;
    replies_ = 0;
    taken_ = {};
    refusedCopies_ = 0;
}

void MeterCalibrations::entryReported(const protocol::CalibrationSlot& entry) {
    if (CalibrationTables::holds(entry.method, entry.slot)) {
        tables_.at(entry.method, entry.slot) = entry;
    }
    if (readMethod_ == 0 || replies_ == kSlotsPerMethod) {
        return;
    }
    // A taken slot of another method answers an earlier read. An empty slot (slot 0) answers
    // this one, whatever method it names.
    if (isSlot(entry.slot) && entry.method != readMethod_) {
        return;
    }
    ++replies_;
    if (isSlot(entry.slot)) {
        taken_[static_cast<std::size_t>(entry.slot - 1)] = true;
    }
}

bool MeterCalibrations::listRead(int method, Attachment attachment) const {
    return method == readMethod_ && attachment == readAttachment_ && replies_ == kSlotsPerMethod;
}

int MeterCalibrations::highestTaken() const {
    for (int slot = kSlotsPerMethod; slot >= 1; --slot) {
        if (taken_[static_cast<std::size_t>(slot - 1)]) {
            return slot;
        }
    }
    return 0;
}

int MeterCalibrations::lastSlot() const {
    return highestTaken() + refusedCopies_;
}

std::optional<int> MeterCalibrations::takeSlotForCopy(const protocol::CalibrationSlot& entry) {
    const bool agreed = firstSlotAllowed_ && sameCalibration(*firstSlotAllowed_, entry);
    if (agreed) {
        firstSlotAllowed_.reset();
    }
    // The slot after the highest taken one, as the list fills up.
    const int next = highestTaken() + 1;
    if (isSlot(next)) {
        taken_[static_cast<std::size_t>(next - 1)] = true;
        return next;
    }
    if (agreed) {
        return 1;
    }
    ++refusedCopies_;
    return std::nullopt;
}

void MeterCalibrations::allowFirstSlotFor(const protocol::CalibrationSlot& entry) {
    firstSlotAllowed_ = entry;
}

} // namespace zr::calibration
