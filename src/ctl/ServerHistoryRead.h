#pragma once

#include "ctl/RecordWriter.h"
#include "ctl/ServerAccess.h"
#include "journal/History.h"

#include <QDateTime>
#include <functional>

namespace zr::ctl {

// A row of mirror::historySql() as the journal's history holds one.
journal::HistoryRow serverHistoryRow(const mirror::ServerRow& row);

// Reads the rows of every PC on the journal's server last changed from `since` on and before
// `before` (an invalid bound is none), oldest session first, each session's rows in the order
// they were made, handing each to `eachRow` as it arrives; the server's sessions are numbered
// by their order here. Once every row is read, `finish` gives the exit status. Without a server,
// or when it is not reached, holds no journal or a newer one, says why on `err` and gives
// kError.
int readServerHistory(const ServerAccess& server, const QDateTime& since, const QDateTime& before,
                      const OutputSink& err,
                      const std::function<void(journal::HistoryRow&)>& eachRow,
                      const std::function<int()>& finish);

} // namespace zr::ctl
