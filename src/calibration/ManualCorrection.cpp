#include "calibration/ManualCorrection.h"

#include "calibration/Methods.h"
#include "common/HandlerRegistry.h"
#include "common/NumberFormat.h"
#include "device/protocol/ByteOrder.h"
#include "device/protocol/MemoryMap.h"

#include <algorithm>
#include <cmath>

namespace zr::calibration {

// The method list holds the calibrated methods 1 to 3; method 4 has no entry.
constexpr int kListedMethods = protocol::meter::kCalibratedMethods;
using manual_correction::kMaxPosition;
using manual_correction::kMinPosition;

namespace {

// The edit holds the number with the user's decimal separator; text that is not a finite
// number counts as 0.
double readDecimal(const QString& text, const QLocale& locale) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    double value = locale.toDouble(trimmed, &ok);
    if (!ok) {
        QString plain = trimmed;
        plain.replace(locale.decimalPoint(), QStringLiteral("."));
        value = QLocale::c().toDouble(plain, &ok);
    }
    return ok && std::isfinite(value) ? value : 0.0;
}

} // namespace

ManualCorrection::ManualCorrection(connection::ControllerContext context,
                                   std::function<void()> showDialog)
    : context_(context), showDialog_(std::move(showDialog)) {}

void ManualCorrection::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("openManualCorrection", [this](int) { openManualCorrection(); });
}

void ManualCorrection::openManualCorrection() {
    if (showDialog_) {
        showDialog_();
    }
}

CorrectionShown ManualCorrection::takeMethodInForce(const QLocale& locale) {
    method_ = context_.state.status.method;
    return shownValue(locale);
}

CorrectionShown ManualCorrection::shownValue(const QLocale& locale) const {
    const int method = method_;
    CorrectionShown shown;
    shown.methodIndex = method >= 1 && method <= kListedMethods ? method - 1 : -1;
    if (isMethod(method)) {
        const connection::SharedState& state = context_.state;
        // The status report carries the correction in force for the meter's own method only.
        const bool meterHoldsIt = context_.commands.meterConnected() &&
                                  state.meterMethod == method &&
                                  std::isfinite(state.status.correction);
        const double value = meterHoldsIt
                                 ? static_cast<double>(state.status.correction)
                                 : state.correctionCache.at(static_cast<std::size_t>(method));
        shown.text = common::formatOneDecimal(value, locale);
        // std::nearbyint takes halfway values to the even integer.
        shown.position =
            std::clamp(static_cast<int>(std::nearbyint(value * 10.0)), kMinPosition, kMaxPosition);
    }
    return shown;
}

CorrectionShown ManualCorrection::chooseMethod(int index, const QLocale& locale) {
    if (index >= 0 && index < kListedMethods) {
        context_.state.status.method = static_cast<std::uint8_t>(index + 1);
        method_ = index + 1;
    }
    return shownValue(locale);
}

QString ManualCorrection::textForPosition(int position, const QLocale& locale) {
    return common::formatGeneral(position / 10.0, locale);
}

void ManualCorrection::applyCorrection(const QString& editText, const QLocale& locale) {
    const int method = method_;
    if (!isMethod(method)) {
        return;
    }
    // To the nearest hundredth, halfway values to the even one, and sent as a single.
    const double hundredths = std::nearbyint(readDecimal(editText, locale) * 100.0);
    const auto value = static_cast<float>(hundredths / 100.0);

    const auto bytes = protocol::floatBytes(value);
    const int first = protocol::memory::correctionAddress(method);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        context_.commands.writeByte(first + static_cast<int>(i), bytes[i]);
    }
    if (isCalibratedMethod(method)) { // method 4 keeps its bytes without a commit
        context_.commands.commitCorrection();
    }
    // Kept even when nothing reached the meter: the dialog shows what was last applied.
    context_.state.correctionCache.at(static_cast<std::size_t>(method)) = value;
}

} // namespace zr::calibration
