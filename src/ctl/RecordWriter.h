#pragma once

#include "ctl/Invocation.h"
#include "ctl/Records.h"

#include <QByteArray>
#include <QList>
#include <functional>

namespace zr::ctl {

// Where output goes: writes the bytes and flushes them, so that a pipe sees each line at once;
// false when they could not be written (the reader went away).
using OutputSink = std::function<bool(const QByteArray& bytes)>;

// Writes records as a readable table, JSON or CSV (RFC 4180, UTF-8).
class RecordWriter {
public:
    RecordWriter(Format format, Layout layout, OutputSink sink);

    // All records at once: the table or CSV with its header, or one JSON document (an array,
    // or the one object when `single`).
    bool writeDocument(const QList<Record>& records, bool single = false);
    // One record of a stream, written and flushed at once: JSON one object per line; the table
    // and CSV lead with their header.
    bool writeStreamed(const Record& record);

private:
    QByteArray tableLine(const QStringList& cells, const QList<int>& widths) const;
    QByteArray csvLine(const QStringList& values) const;
    QStringList csvValues(const Record& record) const;

    Format format_;
    Layout layout_;
    OutputSink sink_;
    bool headerWritten_ = false;
    QList<int> streamWidths_;
};

} // namespace zr::ctl
