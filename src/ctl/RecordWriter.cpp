#include "ctl/RecordWriter.h"

#include "common/CsvField.h"

#include <QLocale>
#include <QStringEncoder>
#include <algorithm>
#include <cmath>
#include <string>

namespace zr::ctl {

namespace {

constexpr int kColumnGap = 2;
// How much output a document holds back before handing it on.
constexpr std::size_t kBlockBytes = 64 * 1024;

QByteArray numberText(double value) {
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

void appendJsonString(std::string& out, const QString& text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    // Encoded straight into the output; the rare text that needs escapes is written again.
    const std::size_t start = out.size();
    out.resize(start + 3 * static_cast<std::size_t>(text.size()));
    QStringEncoder utf8(QStringEncoder::Utf8);
    out.resize(
        static_cast<std::size_t>(utf8.appendToBuffer(out.data() + start, text) - out.data()));
    const auto plain = [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && c != '"' && c != '\\';
    };
    if (std::all_of(out.cbegin() + static_cast<std::ptrdiff_t>(start), out.cend(), plain)) {
        out += '"';
        return;
    }
    const std::string bytes = out.substr(start);
    out.resize(start);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (plain(c)) {
            out += c;
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default: {
            const char escape[] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 0xf]};
            out.append(escape, sizeof escape);
        }
        }
    }
    out += '"';
}

void appendJsonValue(std::string& out, const FieldValue& value) {
    if (const auto* text = std::get_if<QString>(&value)) {
        appendJsonString(out, *text);
    } else if (const auto* number = std::get_if<double>(&value)) {
        out += std::isfinite(*number) ? numberText(*number).toStdString() : "null";
    } else if (const auto* integer = std::get_if<qint64>(&value)) {
        out += std::to_string(*integer);
    } else if (const auto* yes = std::get_if<bool>(&value)) {
        out += *yes ? "true" : "false";
    } else {
        out += "null";
    }
}

} // namespace

QString fieldText(const FieldValue& value) {
    if (const auto* text = std::get_if<QString>(&value)) {
        return *text;
    }
    if (const auto* number = std::get_if<double>(&value)) {
        return std::isfinite(*number) ? QString::fromLatin1(numberText(*number)) : QString();
    }
    if (const auto* integer = std::get_if<qint64>(&value)) {
        return QString::number(*integer);
    }
    if (const auto* yes = std::get_if<bool>(&value)) {
        return *yes ? QStringLiteral("true") : QStringLiteral("false");
    }
    return {};
}

RecordWriter::RecordWriter(Format format, Layout layout, OutputSink sink, bool header)
    : format_(format), layout_(std::move(layout)), sink_(std::move(sink)), header_(header) {
    pending_.reserve(kBlockBytes * 2);
    for (const QString& key : layout_.keys) {
        std::string member;
        appendJsonString(member, key);
        jsonKeys_.push_back(member + ':');
    }
}

bool RecordWriter::flush() {
    if (!pending_.empty() && !failed_) {
        failed_ = !sink_(QByteArray(pending_.data(), static_cast<qsizetype>(pending_.size())));
    }
    // The block's room is kept for the next one.
    pending_.clear();
    return !failed_;
}

void RecordWriter::appendJsonObject(const Record& record, bool indented) {
    const char* separator = indented ? ",\n    " : ",";
    pending_ += indented ? "{\n    " : "{";
    for (std::size_t i = 0; i < jsonKeys_.size(); ++i) {
        if (i > 0) {
            pending_ += separator;
        }
        pending_ += jsonKeys_[i];
        if (indented) {
            pending_ += ' ';
        }
        const auto field = static_cast<qsizetype>(i);
        appendJsonValue(pending_, field < record.values.size() ? record.values.at(field)
                                                               : FieldValue(nullptr));
    }
    pending_ += indented ? "\n}" : "}";
}

void RecordWriter::appendCsvLine(const QList<FieldValue>& values) {
    QStringList fields;
    for (qsizetype i = 0; i < layout_.keys.size(); ++i) {
        fields << common::csvField(fieldText(values.value(i)));
    }
    pending_ += fields.join(QLatin1Char(',')).toUtf8().toStdString() + "\r\n";
}

void RecordWriter::appendCsvHeader() {
    if (!header_) {
        return;
    }
    QList<FieldValue> names;
    for (const QString& key : layout_.keys) {
        names << key;
    }
    appendCsvLine(names);
}

void RecordWriter::appendTableLine(const QStringList& cells, const QList<int>& widths) {
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const bool last = i + 1 == cells.size();
        // A cell wider than its column still keeps the gap to the next one.
        line += last ? cells.at(i)
                     : cells.at(i).leftJustified(widths.value(i)) + QString(kColumnGap, u' ');
    }
    pending_ += line.toUtf8().toStdString() + '\n';
}

// Widths are not known ahead: each column is as wide as its header or its first cell, and
// widens from the line of a wider cell on.
void RecordWriter::appendStreamedTableLine(const Record& record) {
    if (!headerWritten_) {
        for (qsizetype i = 0; i < layout_.headers.size(); ++i) {
            streamWidths_ << static_cast<int>(
                std::max(layout_.headers.at(i).size(), record.cells.value(i).size()));
        }
        if (header_) {
            appendTableLine(layout_.headers, streamWidths_);
        }
    }
    if (!record.cells.isEmpty()) {
        appendTableLine(record.cells, streamWidths_);
        for (qsizetype i = 0; i < record.cells.size() && i < streamWidths_.size(); ++i) {
            streamWidths_[i] =
                std::max(streamWidths_[i], static_cast<int>(record.cells.at(i).size()));
        }
    }
}

bool RecordWriter::writeDocument(const QList<Record>& records, bool single) {
    if (format_ == Format::Json && single && records.size() == 1) {
        appendJsonObject(records.front(), true);
        pending_ += '\n';
        return flush();
    }
    if (format_ != Format::Table) {
        for (const Record& record : records) {
            writeRecord(record);
        }
        return endDocument();
    }
    QList<int> widths;
    for (const QString& header : layout_.headers) {
        widths << static_cast<int>(header.size());
    }
    for (const Record& record : records) {
        for (qsizetype i = 0; i < record.cells.size() && i < widths.size(); ++i) {
            widths[i] = std::max(widths[i], static_cast<int>(record.cells.at(i).size()));
        }
    }
    if (header_) {
        appendTableLine(layout_.headers, widths);
    }
    for (const Record& record : records) {
        appendTableLine(record.cells, widths);
    }
    return flush();
}

void RecordWriter::appendRecord(const Record& record, bool documentElement) {
    switch (format_) {
    case Format::Json:
        if (documentElement) {
            pending_ += documentRecords_ == 0 ? "[\n" : ",\n";
        }
        appendJsonObject(record, false);
        if (!documentElement) {
            pending_ += '\n';
        }
        break;
    case Format::Csv:
        if (!headerWritten_) {
            appendCsvHeader();
        }
        appendCsvLine(record.values);
        break;
    case Format::Table:
        appendStreamedTableLine(record);
        break;
    }
    headerWritten_ = true;
}

bool RecordWriter::writeStreamed(const Record& record) {
    appendRecord(record, false);
    return flush();
}

bool RecordWriter::writeRecord(const Record& record) {
    appendRecord(record, true);
    ++documentRecords_;
    return pending_.size() < kBlockBytes ? !failed_ : flush();
}

bool RecordWriter::endDocument() {
    switch (format_) {
    case Format::Json:
        pending_ += documentRecords_ == 0 ? "[\n]\n" : "\n]\n";
        break;
    case Format::Csv:
        if (!headerWritten_) {
            appendCsvHeader();
        }
        break;
    case Format::Table:
        if (!headerWritten_) {
            appendStreamedTableLine(Record{});
        }
        break;
    }
    headerWritten_ = true;
    return flush();
}

QByteArray jsonErrorLine(const QString& text, int status) {
    std::string line = "{\"error\":";
    appendJsonString(line, text.trimmed());
    line += ",\"status\":" + std::to_string(status) + "}\n";
    return QByteArray::fromStdString(line);
}

} // namespace zr::ctl
