#include "calibration/TwoPointCalibration.h"

#include "calibration/MeterCalibrations.h"
#include "calibration/Methods.h"
#include "calibration/TwoPointLine.h"
#include "common/AppError.h"
#include "device/connection/MeterConnection.h"
#include "device/connection/MethodSelection.h"
#include "device/protocol/Meter.h"

namespace zr::calibration {

namespace {

// LastSlot exceeds the four slots of a method only after refused copies.
constexpr int kLastSlotLimit = 8;

const QString kFrequencyOutOfBandText =
    QStringLiteral("Частота вне допустимого диапазона, показание не снято !");
const QString kNoReadingSincePlugInText =
    QStringLiteral("Прибор ещё не прислал показание после подключения, показание не снято !");
const QString kOtherMethodText =
    QStringLiteral("Метод измерения прибора не совпадает с выбранным, показание не снято !");

QString rememberedText(const OctaneValue& reading, const OctaneValue& trueValue) {
    return QStringLiteral("Корректировать значение ") + reading.shortText() +
           QStringLiteral(" до ") + trueValue.shortText();
}

// An integer the way the K edits are read: the whole text, optional sign and digits.
std::int16_t coefficientFromText(const QString& text, const char* name) {
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok) {
        throw common::AppError(QStringLiteral("'") + text +
                               QStringLiteral("' is not a valid integer value"));
    }
    return checkedCoefficient(name, static_cast<long double>(value));
}

} // namespace

TwoPointCalibration::TwoPointCalibration(connection::ControllerContext context,
                                         const MeterCalibrations& calibrations)
    : context_(context), calibrations_(calibrations) {}

int TwoPointCalibration::method() const {
    const int shown = screen_.methodIndex + 1;
    return isCalibratedMethod(shown) ? shown : context_.state.status.method;
}

void TwoPointCalibration::restart() {
    const QString name = screen_.name;
    const QString comment = screen_.comment;
    screen_ = Screen{};
    screen_.name = name;
    screen_.comment = comment;
    screen_.heading = QStringLiteral("Залейте низкооктановый бензин");
    screen_.mainCaption = QStringLiteral("Далее >");
    const int inForce = context_.state.status.method;
    screen_.methodIndex = isCalibratedMethod(inForce) ? inForce - 1 : -1;
    finishFlag_ = false;
    accepted_ = false;
    methodUnsent_ = false;
}

void TwoPointCalibration::chooseMethod(int index) {
    if (!isCalibratedMethod(index + 1)) {
        return;
    }
    screen_.methodIndex = index;
    methodUnsent_ = false;
    connection::selectMethod(context_, index + 1);
}

void TwoPointCalibration::showMethod(int index) {
    if (!isCalibratedMethod(index + 1)) {
        return;
    }
    screen_.methodIndex = index;
    methodUnsent_ = true;
}

// Only a live reading measures the fuel: a pulled-out meter leaves its last value behind, a
// meter plugged in again shows the value from before until it reports anew, a reading of
// another method belongs to another calibration, and outside the frequency band the value
// means nothing.
void TwoPointCalibration::takeReading(Field field) {
    const connection::SharedState& state = context_.state;
    if (!context_.commands.meterConnected()) {
        throw common::AppError(QString::fromUtf8(connection::kMeterNotConnectedText));
    }
    if (!state.statusFromAttachedMeter()) {
        throw common::AppError(kNoReadingSincePlugInText);
    }
    // The meter's own method: the program's choice counts only once the meter reports it.
    if (state.meterMethod != method()) {
        throw common::AppError(kOtherMethodText);
    }
    if (!protocol::meter::frequencyIsValid(state.status.frequency)) {
        throw common::AppError(kFrequencyOutOfBandText);
    }
    const auto value = OctaneValue::fromFloat(state.status.measuredValue);
    if (!value) {
        throw common::AppError(QStringLiteral("Значение с октанометра не является числом"));
    }
    screen_.values[field] = *value;
}

void TwoPointCalibration::takeLowReading() {
    takeReading(LowReading);
}

void TwoPointCalibration::takeHighReading() {
    takeReading(HighReading);
}

void TwoPointCalibration::rememberLowFuel() {
    screen_.lowStatus = rememberedText(screen_.values[LowReading], screen_.values[LowTrue]);
    screen_.highGroupVisible = true;
    screen_.valueEnabled[LowTrue] = false;
    screen_.heading = QStringLiteral("Залейте высокооктановый бензи");
}

void TwoPointCalibration::rememberHighFuel() {
    screen_.highStatus = rememberedText(screen_.values[HighReading], screen_.values[HighTrue]);
    screen_.heading = QStringLiteral("Нажмите расчет коррекции для продолжения");
    screen_.mainEnabled = true;
    screen_.lowRememberEnabled = false;
    screen_.highRememberEnabled = false;
}

void TwoPointCalibration::setValue(Field field, OctaneValue value) {
    screen_.values[field] = value;
}

void TwoPointCalibration::advance() {
    switch (screen_.page) {
    case 0:
        screen_.page = 1;
        break;
    case 1:
        if (methodUnsent_) {
            chooseMethod(screen_.methodIndex);
        }
        screen_.page = 2;
        screen_.mainEnabled = false;
        break;
    case 2:
        compute();
        break;
    case 3:
        // Checked on the page where they are typed, so that a wrong one is put right there.
        coefficientFromText(screen_.k1Text, "К1");
        coefficientFromText(screen_.k2Text, "К2");
        screen_.page = 4;
        screen_.heading = QStringLiteral("Комментарий");
        finishFlag_ = true;
        break;
    default:
        if (finishFlag_) {
            finish();
        }
        break;
    }
}

// The fields are read as they are now, whatever the status lines remembered.
void TwoPointCalibration::compute() {
    const auto& v = screen_.values;
    const Coefficients k =
        computeCoefficients(v[LowReading].toLongDouble(), v[LowTrue].toLongDouble(),
                            v[HighReading].toLongDouble(), v[HighTrue].toLongDouble());
    screen_.k1Text = QString::number(k.k1);
    screen_.k2Text = QString::number(k.k2);
    screen_.page = 3;
    screen_.mainCaption = QStringLiteral("Добавить коррекцию в список");
    screen_.mainBold = true;
}

// Both K edits are read before anything is asked.
void TwoPointCalibration::finish() {
    const std::int16_t k1 = coefficientFromText(screen_.k1Text, "К1");
    const std::int16_t k2 = coefficientFromText(screen_.k2Text, "К2");
    const bool meterFull = calibrations_.lastSlot() > kLastSlotLimit;
    if (meterFull && !context_.messages.confirmWarning(
                         QStringLiteral("Нет всободного места для записи коррекции , записать "
                                        "данную коррекцию под номером 1 ?"),
                         QStringLiteral("Предупреждение"))) {
        return;
    }
    // The library's copy of this calibration goes to slot 1, the number asked about.
    result_.writeAsFirstSlot = meterFull;
    result_.name = screen_.name.left(static_cast<int>(protocol::calibration_entry::kNameLength));
    // The method the readings were taken in, even if the meter has moved on since.
    result_.method = static_cast<std::uint8_t>(method());
    result_.k1 = k1;
    result_.k2 = k2;
    result_.comment = QString(screen_.comment).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    accepted_ = true;
}

} // namespace zr::calibration
