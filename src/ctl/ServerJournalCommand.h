#pragma once

#include "ctl/Invocation.h"
#include "ctl/RecordWriter.h"
#include "ctl/ServerAccess.h"
#include "journal/History.h"

#include <QLocale>

namespace zr::ctl {

// A row of mirror::historySql() as the journal's history holds one.
journal::HistoryRow serverHistoryRow(const mirror::ServerRow& row);

// `journal --server`: the rows of every PC on the journal's server, with the filters and the
// fields of `journal`, written as they arrive.
int runServerJournalCommand(const Invocation& invocation, const ServerAccess& server,
                            const QLocale& locale, RecordWriter& writer, const OutputSink& err);

} // namespace zr::ctl
