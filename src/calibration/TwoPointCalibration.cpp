#include "calibration/TwoPointCalibration.h"

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

TwoPointCalibration::TwoPointCalibration(connection::ControllerContext context)
    : context_(context) {}

void TwoPointCalibration::restart() {
    const QString name = screen_.name;
    const QString comment = screen_.comment;
    screen_ = Screen{};
    screen_.name = name;
    screen_.comment = comment;
    screen_.heading = QStringLiteral("Залейте низкооктановый бензин");
    screen_.mainCaption = QStringLiteral("Далее >");
    const int method = context_.state.status.method;
    screen_.methodIndex = isCalibratedMethod(method) ? method - 1 : -1;
    finishFlag_ = false;
    accepted_ = false;
}

void TwoPointCalibration::chooseMethod(int index) {
    if (!isCalibratedMethod(index + 1)) {
        return;
    }
    screen_.methodIndex = index;
    connection::selectMethod(context_, index + 1);
}

// Only a live reading measures the fuel: a pulled-out meter leaves its last value behind, and
// outside the frequency band the value means nothing.
void TwoPointCalibration::takeReading(Field field) {
    const connection::SharedState& state = context_.state;
    if (!context_.commands.meterConnected()) {
        throw common::AppError(QString::fromUtf8(connection::kMeterNotConnectedText));
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

// Both K edits are read before anything changes, so a bad one leaves LastSlot alone.
void TwoPointCalibration::finish() {
    const std::int16_t k1 = coefficientFromText(screen_.k1Text, "К1");
    const std::int16_t k2 = coefficientFromText(screen_.k2Text, "К2");
    int& lastSlot = context_.state.lastSlot;
    if (lastSlot > kLastSlotLimit) {
        if (!context_.messages.confirmWarning(
                QStringLiteral("Нет всободного места для записи коррекции , записать данную "
                               "коррекцию под номером 1 ?"),
                QStringLiteral("Предупреждение"))) {
            return;
        }
        // The next copy into the meter goes to LastSlot + 1: slot 1, the number asked about.
        lastSlot = 0;
    }
    result_.name = screen_.name.left(static_cast<int>(protocol::calibration_entry::kNameLength));
    result_.method = context_.state.status.method;
    result_.k1 = k1;
    result_.k2 = k2;
    result_.comment = QString(screen_.comment).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    accepted_ = true;
}

} // namespace zr::calibration
