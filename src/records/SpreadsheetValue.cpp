#include "records/SpreadsheetValue.h"

#include "common/NumberFormat.h"
#include "records/MeasurementRow.h"

#include <algorithm>
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

// The timestamp format of a locale and what follows from it, worked out once per locale: an
// export asks for every row.
struct TimestampShape {
    QLocale locale;
    QString format;
    QString numberFormat;
    // Month or day names, or an AM/PM marker: only then may a timestamp hold letters.
    bool hasNames = false;
};

const TimestampShape& timestampShape(const QLocale& locale) {
    thread_local std::optional<TimestampShape> shape;
    if (!shape || shape->locale != locale) {
        const QString format = measurementTimestampFormat(locale);
        const bool names = format.contains(QLatin1String("MMM")) ||
                           format.contains(QLatin1String("ddd")) ||
                           format.contains(QLatin1Char('A')) || format.contains(QLatin1Char('a'));
        shape = TimestampShape{locale, format, spreadsheetDateTimeFormat(format), names};
    }
    return *shape;
}

std::optional<QDateTime> readTimestamp(const QString& text, const TimestampShape& shape) {
    // Most texts of a table (grades, tanks, suppliers) are refused here, before the costly parse.
    const bool hasDigit =
        std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.isDigit(); });
    const bool hasLetter =
        std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.isLetter(); });
    if (!hasDigit || (hasLetter && !shape.hasNames)) {
        return std::nullopt;
    }
    const QLocale& locale = shape.locale;
    const QString& format = shape.format;
    QDateTime moment = locale.toDateTime(text, format);
    if (!moment.isValid()) {
        return std::nullopt;
    }
    if (!format.contains(QLatin1String("yyyy")) && moment.date().year() < 1930) {
        // Two-digit years: 00 to 29 are this century, as the spreadsheet reads them.
        moment = moment.addYears(100);
    }
    if (locale.toString(moment, format) != text) {
        return std::nullopt;
    }
    return moment;
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
    SpreadsheetValue value;
    if (const std::optional<double> number = readNumber(text, locale)) {
        value.kind = SpreadsheetValue::Kind::Number;
        value.number = *number;
    }
    return value;
}

SpreadsheetValue timestampColumnValue(const QString& text, const QLocale& locale) {
    SpreadsheetValue value = spreadsheetValue(text, locale);
    if (value.kind != SpreadsheetValue::Kind::Text) {
        return value;
    }
    const TimestampShape& shape = timestampShape(locale);
    if (const std::optional<QDateTime> moment = readTimestamp(text, shape)) {
        value.kind = SpreadsheetValue::Kind::DateTime;
        value.dateTime = *moment;
        value.numberFormat = shape.numberFormat;
    }
    return value;
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
