#include "session/CalibrationListFetch.h"

#include "calibration/Methods.h"

#include <algorithm>

namespace zr::session {

using calibration::isCalibratedMethod;
using calibration::isSlot;

void CalibrationListFetch::begin(int method) {
    method_ = method;
    awaited_ = protocol::meter::kSlotsPerMethod;
    slots_.clear();
}

std::optional<QList<protocol::CalibrationSlot>>
CalibrationListFetch::receive(const protocol::CalibrationSlot& entry) {
    if (awaited_ == 0 || (entry.method != method_ && isCalibratedMethod(entry.method))) {
        return std::nullopt;
    }
    if (entry.method == method_ && isSlot(entry.slot)) {
        const auto same = [&](const auto& taken) { return taken.slot == entry.slot; };
        slots_.erase(std::remove_if(slots_.begin(), slots_.end(), same), slots_.end());
        slots_ << entry;
    }
    if (--awaited_ > 0) {
        return std::nullopt;
    }
    std::sort(slots_.begin(), slots_.end(),
              [](const auto& a, const auto& b) { return a.slot < b.slot; });
    return slots_;
}

} // namespace zr::session
