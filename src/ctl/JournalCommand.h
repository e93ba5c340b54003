#pragma once

#include "ctl/Invocation.h"
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
// A row of the history: its session, its last change and deletion, its typed fields, and the
// texts the table showed where they are not what the typed fields show. The readable table
// shows the cells as the window's table does under `locale`.
Record journalRecord(const journal::HistoryRow& row, const QLocale& locale);

// `journal`: the rows of the journal at `path`, read only, written as they are read.
int runJournalCommand(const Invocation& invocation, const QString& path, const QLocale& locale,
                      RecordWriter& writer, const OutputSink& err);

} // namespace zr::ctl
