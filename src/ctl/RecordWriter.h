#pragma once

#include "ctl/Invocation.h"
#include "ctl/Records.h"

#include <QByteArray>
#include <QList>
#include <functional>
#include <string>
#include <vector>

namespace zr::ctl {

// Where output goes: writes the bytes and flushes them, so that a pipe sees each line at once;
// false when they could not be written (the reader went away).
using OutputSink = std::function<bool(const QByteArray& bytes)>;

// Writes records as a readable table, JSON or CSV (RFC 4180, UTF-8), their fields in the
// layout's order.
class RecordWriter {
public:
    // `header` false: the table and CSV start without their header line, as when they continue
    // a file that has it.
    RecordWriter(Format format, Layout layout, OutputSink sink, bool header = true);

    // A write of the sink failed: nothing more is written.
    bool failed() const { return failed_; }

    // All records at once: the table or CSV with its header, or one JSON document (an array,
    // or the one object when `single`).
    bool writeDocument(const QList<Record>& records, bool single = false);

    // One record of a stream of lines, written and flushed at once: JSON one object per line;
    // the table and CSV lead with their header.
    bool writeStreamed(const Record& record);

    // A document of any length, one record at a time in constant memory: JSON an array, one
    // object per line; the table and CSV lead with their header. Output is handed on in blocks;
    // endDocument writes what is left and closes the array.
    bool writeRecord(const Record& record);
    bool endDocument();

private:
    // A line of a stream, or an element of a document.
    void appendRecord(const Record& record, bool documentElement);
    void appendJsonObject(const Record& record, bool indented);
    void appendCsvLine(const QList<FieldValue>& values);
    void appendCsvHeader();
    void appendTableLine(const QStringList& cells, const QList<int>& widths);
    void appendStreamedTableLine(const Record& record);
    bool flush();

    Format format_;
    Layout layout_;
    OutputSink sink_;
    // Each field's name as a JSON object member starts: "name":
    std::vector<std::string> jsonKeys_;
    // Output not yet handed on, as UTF-8.
    std::string pending_;
    bool failed_ = false;
    bool header_ = true;
    bool headerWritten_ = false;
    int documentRecords_ = 0;
    QList<int> streamWidths_;
};

// A field as CSV writes it: a number with a point, true or false, nothing for null.
QString fieldText(const FieldValue& value);

// An error as one JSON object on a line of its own: {"error": text, "status": exit status}.
QByteArray jsonErrorLine(const QString& text, int status);

} // namespace zr::ctl
