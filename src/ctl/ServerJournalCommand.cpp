#include "ctl/ServerJournalCommand.h"

#include "ctl/ExitStatus.h"
#include "ctl/JournalCommand.h"
#include "ctl/ServerHistoryRead.h"

namespace zr::ctl {

int runServerJournalCommand(const Invocation& invocation, const ServerAccess& server,
                            const QLocale& locale, RecordWriter& writer, const OutputSink& err) {
    bool written = true;
    JournalRecords records(invocation.format, locale);
    return readServerHistory(
        server, invocation.since, invocation.before, err,
        [&](journal::HistoryRow& row) { written = written && writer.writeRecord(records(row)); },
        [&] { return written && writer.endDocument() ? kDone : kError; });
}

} // namespace zr::ctl
