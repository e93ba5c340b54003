#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>
#include <optional>

namespace zr::calibration {

// The value of a currency edit: a decimal number held to two decimal places, exactly. A third
// decimal, typed or taken over, is rounded half to even.
class OctaneValue {
public:
    // Larger values are refused, so that hundredths always fit.
    static constexpr int kMaxIntegerDigits = 13;

    OctaneValue() = default;
    static OctaneValue fromHundredths(std::int64_t hundredths) {
        OctaneValue value;
        value.hundredths_ = hundredths;
        return value;
    }
    // A typed text: optional minus, digits, a decimal separator ('.', ',' or the locale's),
    // digits. An empty text (or a lone sign or separator) is 0. Nothing for anything else.
    static std::optional<OctaneValue> parse(const QString& text, const QLocale& locale = QLocale());
    // The number's shortest decimal form, rounded; nothing when not finite or too large.
    static std::optional<OctaneValue> fromFloat(float value);
    static std::optional<OctaneValue> fromDouble(double value);

    std::int64_t hundredths() const { return hundredths_; }
    bool isZero() const { return hundredths_ == 0; }
    long double toLongDouble() const { return static_cast<long double>(hundredths_) / 100.0L; }
    double toDouble() const { return static_cast<double>(hundredths_) / 100.0; }

    // Shown when not being edited: ",000.0'.'" — digit grouping, at least three integer digits,
    // one decimal, a full stop after the number; zero shows empty.
    QString displayText(const QLocale& locale = QLocale()) const;
    // Shown while being edited: the plain number with the locale's separator; zero shows empty.
    QString editText(const QLocale& locale = QLocale()) const;
    // The shortest decimal form, for messages: "70", "70,25".
    QString shortText(const QLocale& locale = QLocale()) const;

    bool operator==(const OctaneValue&) const = default;

private:
    static std::optional<OctaneValue> fromDecimal(const std::string& text);

    std::int64_t hundredths_ = 0;
};

} // namespace zr::calibration
