#pragma once

#include "device/connection/ControllerContext.h"

#include <QLocale>
#include <QString>
#include <functional>
#include <optional>

namespace zr::common {
class HandlerRegistry;
}

namespace zr::calibration {

namespace manual_correction {
// The up-down steps in tenths from -5.0 to +5.0.
inline constexpr int kMinPosition = -50;
inline constexpr int kMaxPosition = 50;
} // namespace manual_correction

// What the dialog shows for the current method.
struct CorrectionShown {
    // Entry of the method list, -1 for none.
    int methodIndex = -1;
    // Edit text and up-down position; nothing when the method has no correction (they stay).
    std::optional<QString> text;
    std::optional<int> position;
};

// The linear correction of each method, set through the manual correction dialog and written byte
// by byte into the meter's memory. The dialog is a view on it.
class ManualCorrection {
public:
    ManualCorrection(connection::ControllerContext context, std::function<void()> showDialog);

    void registerHandlers(common::HandlerRegistry& handlers);

    void openManualCorrection();

    // Each opening of the dialog: it writes for the method in force now until the user picks
    // another.
    CorrectionShown takeMethodInForce(const QLocale& locale = QLocale());
    // The dialog's method and its correction: the meter's own value when the meter is attached
    // and measuring with that method, otherwise the last one applied during this run.
    CorrectionShown shownValue(const QLocale& locale = QLocale()) const;
    // The user chose entry `index` of the method list: the program takes that method without
    // telling the meter, whose next status report brings its own method back; the dialog keeps
    // writing for the chosen one.
    CorrectionShown chooseMethod(int index, const QLocale& locale = QLocale());
    // The edit text for the up-down's position after a click.
    static QString textForPosition(int position, const QLocale& locale = QLocale());
    // Writes the edit's value as the correction of the dialog's method.
    void applyCorrection(const QString& editText, const QLocale& locale = QLocale());

private:
    connection::ControllerContext context_;
    std::function<void()> showDialog_;
    // Fixed on opening and by the user's choice only: status reports, which bring the meter's
    // method back into DeviceStatus, must not move what Apply writes.
    int method_ = 0;
};

} // namespace zr::calibration
