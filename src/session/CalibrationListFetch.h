#pragma once

#include "device/protocol/CalibrationSlot.h"

#include <QList>
#include <optional>

namespace zr::session {

// The answers to one request of a method's four calibration slots. Another program asking the
// meter for another method's list gets its answers to every reader: an entry of another method
// is not one of these, while an empty slot's answer, which need not name a method, counts.
class CalibrationListFetch {
public:
    void begin(int method);
    int method() const { return method_; }
    // The occupied slots in slot order, once the fourth answer came.
    std::optional<QList<protocol::CalibrationSlot>> receive(const protocol::CalibrationSlot& entry);

private:
    int method_ = 0;
    int awaited_ = 0;
    QList<protocol::CalibrationSlot> slots_;
};

} // namespace zr::session
