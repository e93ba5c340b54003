#include "records/SpreadsheetValue.h"

#include "common/NumberFormat.h"
#include "device/connection/MethodNames.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace zr::records {

namespace {

// Digits, led by the negative sign or not, with a decimal separator between digits or not.
bool looksNumeric(QStringView text, const QLocale& locale) {
    const QString minus = locale.negativeSign();
    if (text.startsWith(minus)) {
        text = text.mid(minus.size());
    }
    const QString point = locale.decimalPoint();
    const qsizetype at = text.indexOf(point);
    const auto digits = [](QStringView part) {
        return !part.isEmpty() && std::all_of(part.begin(), part.end(), [](QChar ch) {
            return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
        });
    };
    return at < 0 ? digits(text) : digits(text.left(at)) && digits(text.mid(at + point.size()));
}

std::optional<double> readNumber(const QString& text, const QLocale& locale) {
    if (!looksNumeric(text, locale)) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = locale.toDouble(text, &ok);
    if (!ok || common::formatGeneral(value, locale) != text) {
        return std::nullopt;
    }
    return value;
}

// The spreadsheet's code for a run of `count` Qt format letters `letter`.
QString formatField(QChar letter, qsizetype count) {
    const auto repeat = [count](char code, qsizetype most) {
        return QString(std::min(count, most), QLatin1Char(code));
    };
    switch (letter.unicode()) {
    case 'd':
        return repeat('d', 4);
    case 'M':
        return repeat('m', 4);
    case 'y':
        return count >= 4 ? QStringLiteral("yyyy") : QStringLiteral("yy");
    case 'h':
    case 'H':
        return repeat('h', 2);
    case 'm':
        return repeat('m', 2);
    case 's':
        return repeat('s', 2);
    case 'z':
        return count >= 3 ? QStringLiteral("000") : QStringLiteral("0");
    default: // 't', the time zone, which the spreadsheet cannot show
        return {};
    }
}

QString literal(QChar ch) {
    // These stand for themselves in a format code; anything else is escaped.
    static const QString plain = QStringLiteral(" .:-");
    return plain.contains(ch) ? QString(ch) : QStringLiteral("\\") + ch;
}

} // namespace

SpreadsheetValue spreadsheetValue(const QString& text, const QLocale& locale) {
    if (const std::optional<double> number = readNumber(text, locale)) {
        return {SpreadsheetValue::Kind::Number, {}, *number, {}};
    }
    return {
        text.isEmpty() ? SpreadsheetValue::Kind::Blank : SpreadsheetValue::Kind::Text, text, 0, {}};
}

SpreadsheetValue workbookCell(const MeasurementRow& row, int column, const QLocale& locale) {
    using Kind = SpreadsheetValue::Kind;
    const auto text = [&] {
        const QString shown = measurementCellText(row, column, locale);
        return SpreadsheetValue{shown.isEmpty() ? Kind::Blank : Kind::Text, shown, 0, {}};
    };
    if (row.typed[static_cast<std::size_t>(column)] || row.isEmpty()) {
        return text();
    }
    switch (column) {
    case MeasurementRow::NumberColumn: {
        SpreadsheetValue value = spreadsheetValue(measurementCellText(row, column, locale), locale);
        if (value.kind == Kind::Number && std::trunc(value.number) == value.number) {
            value.kind = Kind::WholeNumber;
        }
        return value;
    }
    case MeasurementRow::GradeColumn:
    case MeasurementRow::TankColumn:
    case MeasurementRow::SupplierColumn:
        return spreadsheetValue(measurementCellText(row, column, locale), locale);
    case MeasurementRow::MethodColumn:
        // A code without a name shows as the number it is.
        if (row.method && connection::methodName(*row.method).isEmpty()) {
            return {Kind::Number, {}, static_cast<double>(*row.method), {}};
        }
        return text();
    case MeasurementRow::ValueColumn:
        if (row.value && std::isfinite(*row.value)) {
            return {Kind::Number, {}, *row.value, {}};
        }
        return text();
    default:
        if (row.moment.isValid()) {
            return {Kind::DateTime, {}, 0, row.moment.toLocalTime()};
        }
        return text();
    }
}

QString spreadsheetDateTimeFormat(const QString& qtFormat) {
    static const QString fields = QStringLiteral("dMyhHmszt");
    QString code;
    for (qsizetype i = 0; i < qtFormat.size();) {
        const QChar ch = qtFormat[i];
        if (ch == QLatin1Char('\'')) {
            // Quoted text; two quotes stand for one.
            ++i;
            while (i < qtFormat.size()) {
                if (qtFormat[i] == QLatin1Char('\'')) {
                    if (i + 1 < qtFormat.size() && qtFormat[i + 1] == QLatin1Char('\'')) {
                        code += literal(QLatin1Char('\''));
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                code += literal(qtFormat[i++]);
            }
            continue;
        }
        if (ch == QLatin1Char('A') || ch == QLatin1Char('a')) {
            const bool upper = ch == QLatin1Char('A');
            const bool pair =
                i + 1 < qtFormat.size() && qtFormat[i + 1].toLower() == QLatin1Char('p');
            code += upper ? QStringLiteral("AM/PM") : QStringLiteral("am/pm");
            i += pair ? 2 : 1;
            continue;
        }
        if (fields.contains(ch)) {
            qsizetype count = 1;
            while (i + count < qtFormat.size() && qtFormat[i + count] == ch) {
                ++count;
            }
            code += formatField(ch, count);
            i += count;
            continue;
        }
        code += literal(ch);
        ++i;
    }
    return code;
}

} // namespace zr::records
