#include "journal/TableRow.h"

#include "common/NumberFormat.h"
#include "device/connection/MethodNames.h"
#include "records/MeasurementRow.h"

#include <algorithm>
#include <cmath>

namespace zr::journal {

namespace {

// The caption of a row written while no method was known.
const QString& blankCaption() {
    static const QString blank = QStringLiteral(" ");
    return blank;
}

QString methodCaption(const std::optional<int>& method) {
    if (!method) {
        return blankCaption();
    }
    const QString name = connection::methodName(*method);
    return name.isEmpty() ? QString::number(*method) : name;
}

std::optional<int> methodOf(const QString& text) {
    for (int method = 1; method <= 4; ++method) {
        if (text == connection::methodName(method)) {
            return method;
        }
    }
    bool ok = false;
    const int code = text.toInt(&ok);
    return ok ? std::optional<int>(code) : std::nullopt;
}

QString valueCaption(const TableRow& row, const QLocale& locale) {
    if (!row.value) {
        return blankCaption();
    }
    return row.valueDecimals == TableRow::kOneDecimal ? common::formatOneDecimal(*row.value, locale)
                                                      : common::formatGeneral(*row.value, locale);
}

// Either decimal separator reads: which locale wrote a text is not known. The table never
// groups digits, so a text with two separators is no number.
void readValue(const QString& text, TableRow& row) {
    QString plain = text;
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value)) {
        return;
    }
    const qsizetype point = plain.indexOf(QLatin1Char('.'));
    const bool oneDecimal = point >= 0 && plain.size() - point == 2 && plain.back().isDigit();
    row.value = value;
    row.valueDecimals = oneDecimal ? TableRow::kOneDecimal : TableRow::kGeneralFormat;
}

QString momentCaption(const QDateTime& moment, const QLocale& locale) {
    return moment.isValid() ? records::measurementTimestamp(moment.toLocalTime(), locale)
                            : blankCaption();
}

// The moment a date text shows in local time, or an invalid one.
QDateTime momentOf(const QString& text, const QDateTime& near, const QLocale& locale) {
    // Most texts show the second their row was written in: tried first, as reading a date is
    // slow and a long journal has many.
    if (near.isValid()) {
        const qint64 msecs = near.toMSecsSinceEpoch();
        const QDateTime second =
            QDateTime::fromMSecsSinceEpoch(msecs - (msecs % 1000 + 1000) % 1000, Qt::UTC);
        if (momentCaption(second, locale) == text) {
            return second;
        }
    }
    const QString format = records::measurementTimestampFormat(locale);
    QDateTime local = locale.toDateTime(text, format);
    if (!local.isValid()) {
        return {};
    }
    // A two-digit year reads as 19xx: the century is the one nearest to when the row was written.
    if (!format.contains(QStringLiteral("yyyy")) && near.isValid()) {
        while (local < near.addYears(-50)) {
            local = local.addYears(100);
        }
    }
    return local.toUTC();
}

} // namespace

bool TableRow::isEmpty() const {
    return number.isEmpty() && grade.isEmpty() && tank.isEmpty() && supplier.isEmpty() && !method &&
           !value && !moment.isValid() && !methodText && !valueText && !momentText;
}

QStringList shownTexts(const TableRow& row, const QLocale& locale) {
    if (row.isEmpty()) {
        return QStringList(7, QString());
    }
    return {row.number,
            row.grade,
            row.tank,
            row.supplier,
            row.methodText.value_or(methodCaption(row.method)),
            row.valueText.value_or(valueCaption(row, locale)),
            row.momentText.value_or(momentCaption(row.moment, locale))};
}

TableRow rowFromTexts(const QStringList& cells, const QDateTime& fallback, const QLocale& locale) {
    TableRow row;
    if (std::all_of(cells.cbegin(), cells.cend(), [](const QString& t) { return t.isEmpty(); })) {
        return row;
    }
    row.number = cells.value(0);
    row.grade = cells.value(1);
    row.tank = cells.value(2);
    row.supplier = cells.value(3);

    const QString method = cells.value(4);
    row.method = methodOf(method);
    if (methodCaption(row.method) != method) {
        row.methodText = method;
    }
    const QString value = cells.value(5);
    readValue(value, row);
    if (valueCaption(row, locale) != value) {
        row.valueText = value;
    }
    const QString moment = cells.value(6);
    row.moment = momentOf(moment, fallback, locale);
    if (!row.moment.isValid()) {
        row.moment = fallback.toUTC();
    }
    if (momentCaption(row.moment, locale) != moment) {
        row.momentText = moment;
    }
    return row;
}

} // namespace zr::journal
