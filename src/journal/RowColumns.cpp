#include "journal/RowColumns.h"

namespace zr::journal {

namespace {

std::optional<QString> optionalText(const Statement& statement, int column) {
    return statement.isNull(column) ? std::nullopt : std::optional<QString>(statement.text(column));
}

void bindText(Statement& statement, int index, const std::optional<QString>& text) {
    if (text) {
        statement.bind(index, *text);
    } else {
        statement.bindNull(index);
    }
}

} // namespace

TableRow readRow(const Statement& statement, int first) {
    TableRow row;
    row.number = statement.text(first);
    row.grade = statement.text(first + 1);
    row.tank = statement.text(first + 2);
    row.supplier = statement.text(first + 3);
    if (!statement.isNull(first + 4)) {
        row.method = static_cast<int>(statement.integer(first + 4));
    }
    if (!statement.isNull(first + 5)) {
        row.value = statement.real(first + 5);
    }
    row.valueDecimals = static_cast<int>(statement.integer(first + 6));
    row.moment = timeAt(statement, first + 7);
    row.methodText = optionalText(statement, first + 8);
    row.valueText = optionalText(statement, first + 9);
    row.momentText = optionalText(statement, first + 10);
    return row;
}

void bindRow(Statement& statement, int first, const TableRow& row) {
    statement.bind(first, row.number);
    statement.bind(first + 1, row.grade);
    statement.bind(first + 2, row.tank);
    statement.bind(first + 3, row.supplier);
    if (row.method) {
        statement.bind(first + 4, static_cast<qint64>(*row.method));
    } else {
        statement.bindNull(first + 4);
    }
    if (row.value) {
        statement.bindReal(first + 5, *row.value);
    } else {
        statement.bindNull(first + 5);
    }
    statement.bind(first + 6, static_cast<qint64>(row.valueDecimals));
    bindTime(statement, first + 7, row.moment);
    bindText(statement, first + 8, row.methodText);
    bindText(statement, first + 9, row.valueText);
    bindText(statement, first + 10, row.momentText);
}

QString timeText(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODateWithMs);
}

void bindTime(Statement& statement, int index, const QDateTime& time) {
    if (time.isValid()) {
        statement.bind(index, timeText(time));
    } else {
        statement.bindNull(index);
    }
}

QDateTime timeAt(const Statement& statement, int column) {
    if (statement.isNull(column)) {
        return {};
    }
    // The journal writes every time in one form, which is read here without the general
    // parser: a history of many rows has several per row.
    const QByteArrayView text = statement.utf8(column);
    constexpr QByteArrayView kForm = "0000-00-00T00:00:00.000Z";
    bool inForm = text.size() == kForm.size();
    for (qsizetype i = 0; inForm && i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        inForm = kForm[i] == '0' ? digit : text[i] == kForm[i];
    }
    if (!inForm) {
        return QDateTime::fromString(statement.text(column), Qt::ISODateWithMs);
    }
    const auto number = [&](qsizetype from, qsizetype length) {
        int value = 0;
        for (qsizetype i = from; i < from + length; ++i) {
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const QDate date(number(0, 4), number(5, 2), number(8, 2));
    const QTime time(number(11, 2), number(14, 2), number(17, 2), number(20, 3));
    return date.isValid() && time.isValid() ? QDateTime(date, time, Qt::UTC) : QDateTime();
}

} // namespace zr::journal
