#pragma once

#include "ctl/Invocation.h"
#include "ctl/IsoTime.h"
#include "ctl/RecordWriter.h"
#include "ctl/Records.h"

#include <QLocale>

namespace zr::journal {
struct HistoryRow;
}

namespace zr::ctl {

// The fields of a row of the table's history: those of the first release, then those added
// with the typed journal.
Layout journalLayout();
// The records of the history's rows in one format: its session, its last change and deletion,
// its typed fields and the texts the table showed where they are not what the typed fields
// show; for the readable table the cells as the window's table shows them under `locale`.
class JournalRecords {
public:
    JournalRecords(Format format, const QLocale& locale);
    Record operator()(const journal::HistoryRow& row);

private:
    FieldValue localTime(const QDateTime& time);
    QString shownTime(const QDateTime& time);

    bool table_;
    QLocale locale_;
    LocalOffsets offsets_;
    // The start of the session of the row before, as written.
    qint64 session_ = -1;
    FieldValue sessionLocal_;
    FieldValue sessionUtc_;
};

// `journal`: the rows of the journal at `path`, read only, written as they are read.
int runJournalCommand(const Invocation& invocation, const QString& path, const QLocale& locale,
                      RecordWriter& writer, const OutputSink& err);

} // namespace zr::ctl
