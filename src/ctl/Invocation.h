#pragma once

#include "history/HistoryFilter.h"
#include "quality/ControlConstants.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace zr::ctl {

enum class Command {
    List,
    Status,
    Watch,
    Stored,
    Calibrations,
    Method,
    Library,
    Journal,
    Info,
    Qc,
    Sync
};
enum class Format { Table, Json, Csv };
// How watch stamps a line: local ISO 8601 with the offset, UTC ISO 8601, or seconds since 1970.
enum class TimeStyle { Local, Utc, Epoch };

inline constexpr int kDefaultTimeoutMs = 5000;

// What one run of zr6040ctl is asked to do.
struct Invocation {
    Command command = Command::Status;
    Format format = Format::Table;
    bool simulate = false;
    // Only the meter at this device node; empty: the first meter found.
    QString devicePath;
    // Only the meter with this serial number; empty: any.
    QString serial;
    int timeoutMs = kDefaultTimeoutMs;
    // How often a reply that did not come in time is asked for (or waited for) again.
    int retries = 0;
    // The file the output goes to; empty: standard output.
    QString outputFile;
    // false: the table and CSV start without their header line.
    bool header = true;
    // The traffic with the meter on standard error.
    bool verbose = false;
    // watch: stop after this many lines; 0 runs until interrupted.
    int count = 0;
    // watch: only reports whose reading differs from the last line written.
    bool changesOnly = false;
    // watch: stop after this long (0: no limit) or at this time (invalid: none).
    qint64 durationMs = 0;
    QDateTime stopAt;
    TimeStyle timeStyle = TimeStyle::Local;
    // calibrations: the method asked for, 0 for the meter's own; method: the method to switch to.
    int method = 0;
    // library: the file; empty: data.zr in the data directory.
    QString libraryFile;
    // journal, qc: the file; empty: journal.sqlite in the data directory.
    QString journalFile;
    // journal: only rows written from `since` on and before `before`; qc: only rows measured
    // then; invalid: no bound.
    QDateTime since;
    QDateTime before;
    // journal: the rows of every PC on the journal's server instead of a journal file.
    bool fromServer = false;
    // sync: only reach the server and tell how it stands, sending nothing.
    bool statusOnly = false;
    // qc: the rows charted (their period is `since` and `before`); limits from the first
    // `baselinePoints` of them.
    history::HistoryFilter selection;
    int baselinePoints = quality::kDefaultBaselinePoints;
};

// The command line understood, or why not. When `run` is false the texts are printed and the
// program ends with `exitStatus`.
struct ParsedCommandLine {
    bool run = false;
    int exitStatus = 0;
    QString standardOutput;
    QString standardError;
    Invocation invocation;
};

// `arguments` starts with the program's name, as argv does; `now` places a time of day given to
// watch --until.
ParsedCommandLine parseCommandLine(const QStringList& arguments,
                                   const QDateTime& now = QDateTime::currentDateTime());

// A length of time as "90", "90s", "10m", "2h", "1d" or combined ("1h30m"); nullopt for
// anything else or nothing.
std::optional<qint64> durationMs(const QString& text);

// The method code of "RON", "MON", "CN" or "1" to "3" (any case); 0 for anything else.
int methodCode(const QString& text);

} // namespace zr::ctl
