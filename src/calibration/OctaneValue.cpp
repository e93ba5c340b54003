#include "calibration/OctaneValue.h"

#include <QRegularExpression>
#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace zr::calibration {

namespace {

// The integer part with the locale's group separator every three digits.
QString grouped(std::int64_t integer, int minimumDigits, const QLocale& locale) {
    QString digits = QString::number(integer).rightJustified(minimumDigits, QLatin1Char('0'));
    const QString separator = locale.groupSeparator();
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
        digits.insert(at, separator);
    }
    return digits;
}

template <typename Real> std::optional<std::string> shortestFixed(Real value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    std::array<char, 400> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed);
    if (error != std::errc()) {
        return std::nullopt;
    }
    return std::string(buffer.data(), end);
}

} // namespace

std::optional<OctaneValue> OctaneValue::fromDecimal(const std::string& text) {
    std::size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) {
        ++at;
    }
    std::string integer;
    while (at < text.size() && text[at] != '.') {
        integer += text[at++];
    }
    const std::string fraction = at < text.size() ? text.substr(at + 1) : std::string();

    const std::size_t firstDigit = integer.find_first_not_of('0');
    integer = firstDigit == std::string::npos ? std::string() : integer.substr(firstDigit);
    if (integer.size() > static_cast<std::size_t>(kMaxIntegerDigits)) {
        return std::nullopt;
    }

    std::int64_t hundredths = 0;
    for (char digit : integer) {
        hundredths = hundredths * 10 + (digit - '0');
    }
    for (std::size_t i = 0; i < 2; ++i) {
        hundredths = hundredths * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    }
    if (fraction.size() > 2) {
        const char next = fraction[2];
        const bool moreAfterHalf = fraction.find_first_not_of('0', 3) != std::string::npos;
        if (next > '5' || (next == '5' && (moreAfterHalf || hundredths % 2 != 0))) {
            ++hundredths;
        }
    }
    return fromHundredths(negative ? -hundredths : hundredths);
}

std::optional<OctaneValue> OctaneValue::parse(const QString& text, const QLocale& locale) {
    QString plain = text.trimmed();
    plain.replace(locale.decimalPoint(), QStringLiteral("."));
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    static const QRegularExpression number(QStringLiteral("^-?[0-9]*(\\.[0-9]*)?$"));
    if (!number.match(plain).hasMatch()) {
        return std::nullopt;
    }
    return fromDecimal(plain.toStdString());
}

std::optional<OctaneValue> OctaneValue::fromFloat(float value) {
    const auto text = shortestFixed(value);
    return text ? fromDecimal(*text) : std::nullopt;
}

std::optional<OctaneValue> OctaneValue::fromDouble(double value) {
    const auto text = shortestFixed(value);
    return text ? fromDecimal(*text) : std::nullopt;
}

QString OctaneValue::displayText(const QLocale& locale) const {
    if (isZero()) {
        return {};
    }
    const std::int64_t magnitude = hundredths_ < 0 ? -hundredths_ : hundredths_;
    std::int64_t tenths = magnitude / 10;
    const std::int64_t dropped = magnitude % 10;
    if (dropped > 5 || (dropped == 5 && tenths % 2 != 0)) {
        ++tenths;
    }
    const QString sign = hundredths_ < 0 && tenths != 0 ? QStringLiteral("-") : QString();
    return sign + grouped(tenths / 10, 3, locale) + locale.decimalPoint() +
           QString::number(tenths % 10) + QLatin1Char('.');
}

QString OctaneValue::editText(const QLocale& locale) const {
    if (isZero()) {
        return {};
    }
    const std::int64_t magnitude = hundredths_ < 0 ? -hundredths_ : hundredths_;
    QString text =
        (hundredths_ < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / 100);
    const std::int64_t cents = magnitude % 100;
    if (cents != 0) {
        QString fraction = QString::number(cents).rightJustified(2, QLatin1Char('0'));
        if (fraction.endsWith(QLatin1Char('0'))) {
            fraction.chop(1);
        }
        text += locale.decimalPoint() + fraction;
    }
    return text;
}

QString OctaneValue::shortText(const QLocale& locale) const {
    return isZero() ? QStringLiteral("0") : editText(locale);
}

} // namespace zr::calibration
