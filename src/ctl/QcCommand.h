#pragma once

#include "ctl/Invocation.h"
#include "ctl/RecordWriter.h"
#include "ctl/Records.h"
#include "ctl/ServerAccess.h"

#include <QLocale>

namespace zr::ctl {

// The fields of `qc`: a "limits" record per chart (the baseline's statistics, the centre line
// and limits), then a "violation" record per rule a point breaks, with its row.
Layout qcLayout();

// `qc`: the control charts of the journal's rows at `path` that the invocation selects, read
// only. Fewer than two points in the baseline give no limits: what is known is written and the
// status is kError.
int runQcCommand(const Invocation& invocation, const QString& path, const QLocale& locale,
                 RecordWriter& writer, const OutputSink& err);

// `qc --server`: the same of the rows of every PC on the journal's server.
int runServerQcCommand(const Invocation& invocation, const ServerAccess& server,
                       const QLocale& locale, RecordWriter& writer, const OutputSink& err);

} // namespace zr::ctl
