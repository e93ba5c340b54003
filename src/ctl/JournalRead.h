#pragma once

#include "ctl/RecordWriter.h"

#include <QString>
#include <functional>

namespace zr::ctl {

// A window writing the journal holds its lock only for one commit.
inline constexpr int kJournalBusyTimeoutMs = 5000;

// Runs `read` on the journal at `path` and returns its status; what keeps the journal from being
// read (no such file, a file that is no journal of this program or of a newer version, SQLite's
// failure) goes to `err` as one line, and the status is kError.
int readJournal(const QString& path, const OutputSink& err, const std::function<int()>& read);

} // namespace zr::ctl
