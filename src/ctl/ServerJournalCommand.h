#pragma once

#include "ctl/Invocation.h"
#include "ctl/RecordWriter.h"
#include "ctl/ServerAccess.h"

#include <QLocale>

namespace zr::ctl {

// `journal --server`: the rows of every PC on the journal's server, with the filters and the
// fields of `journal`, written as they arrive.
int runServerJournalCommand(const Invocation& invocation, const ServerAccess& server,
                            const QLocale& locale, RecordWriter& writer, const OutputSink& err);

} // namespace zr::ctl
