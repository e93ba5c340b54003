#include "ctl/RecordWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

namespace zr::ctl {

namespace {

constexpr int kColumnGap = 2;

QString csvText(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Double:
        return QString::number(value.toDouble(), 'g', 15);
    case QJsonValue::String:
        return value.toString();
    default:
        return {};
    }
}

QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

RecordWriter::RecordWriter(Format format, Layout layout, OutputSink sink)
    : format_(format), layout_(std::move(layout)), sink_(std::move(sink)) {}

QByteArray RecordWriter::tableLine(const QStringList& cells, const QList<int>& widths) const {
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const bool last = i + 1 == cells.size();
        line += last ? cells.at(i) : cells.at(i).leftJustified(widths.value(i) + kColumnGap);
    }
    return line.toUtf8() + '\n';
}

QStringList RecordWriter::csvValues(const Record& record) const {
    QStringList values;
    for (const QString& key : layout_.keys) {
        values << csvText(record.fields.value(key));
    }
    return values;
}

QByteArray RecordWriter::csvLine(const QStringList& values) const {
    QStringList fields;
    for (const QString& value : values) {
        fields << csvField(value);
    }
    return fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

bool RecordWriter::writeDocument(const QList<Record>& records, bool single) {
    QByteArray out;
    switch (format_) {
    case Format::Json:
        if (single && records.size() == 1) {
            out = QJsonDocument(records.front().fields).toJson(QJsonDocument::Indented);
        } else {
            QJsonArray array;
            for (const Record& record : records) {
                array.append(record.fields);
            }
            out = QJsonDocument(array).toJson(QJsonDocument::Indented);
        }
        break;
    case Format::Csv:
        out = csvLine(layout_.keys);
        for (const Record& record : records) {
            out += csvLine(csvValues(record));
        }
        break;
    case Format::Table: {
        QList<int> widths;
        for (const QString& header : layout_.headers) {
            widths << static_cast<int>(header.size());
        }
        for (const Record& record : records) {
            for (qsizetype i = 0; i < record.cells.size() && i < widths.size(); ++i) {
                widths[i] = std::max(widths[i], static_cast<int>(record.cells.at(i).size()));
            }
        }
        out = tableLine(layout_.headers, widths);
        for (const Record& record : records) {
            out += tableLine(record.cells, widths);
        }
        break;
    }
    }
    return sink_(out);
}

bool RecordWriter::writeStreamed(const Record& record) {
    QByteArray out;
    switch (format_) {
    case Format::Json:
        out = QJsonDocument(record.fields).toJson(QJsonDocument::Compact) + '\n';
        break;
    case Format::Csv:
        if (!headerWritten_) {
            out = csvLine(layout_.keys);
        }
        out += csvLine(csvValues(record));
        break;
    case Format::Table: {
        // Widths are not known ahead: each column is as wide as its header or its first cell.
        if (!headerWritten_) {
            for (qsizetype i = 0; i < layout_.headers.size(); ++i) {
                streamWidths_ << static_cast<int>(
                    std::max(layout_.headers.at(i).size(), record.cells.value(i).size()));
            }
            out = tableLine(layout_.headers, streamWidths_);
        }
        out += tableLine(record.cells, streamWidths_);
        break;
    }
    }
    headerWritten_ = true;
    return sink_(out);
}

} // namespace zr::ctl
