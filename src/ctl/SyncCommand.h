#pragma once

#include "ctl/Invocation.h"
#include "ctl/RecordWriter.h"
#include "ctl/Records.h"
#include "ctl/ServerAccess.h"
#include "mirror/MirrorStatus.h"

namespace zr::ctl {

// Where the mirror stands: its fields, and the window's status line as the readable table.
Layout syncLayout();
Record syncRecord(const mirror::MirrorStatus& status);

// `sync`: sends what the journal at `path` has and the server lacks, then writes where the
// mirror stands; with --status it only reaches the server and writes that. Done only when the
// server was reached (and, sending, has everything).
int runSyncCommand(const Invocation& invocation, const QString& path, const ServerAccess& server,
                   RecordWriter& writer, const OutputSink& err);

} // namespace zr::ctl
