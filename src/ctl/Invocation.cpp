#include "ctl/Invocation.h"

#include "ctl/CtlText.h"
#include "ctl/ExitStatus.h"
#include "ctl/RecordWriter.h"
#include "device/protocol/Meter.h"
#include "program/BuildInfo.h"

#include <QCommandLineParser>
#include <QHash>
#include <QRegularExpression>
#include <QTimeZone>
#include <cmath>
#include <limits>
#include <optional>

namespace zr::ctl {

namespace {

constexpr const char* kProgramName = "zr6040ctl";
constexpr int kMaxRetries = 100;
constexpr double kMaxTimeoutSeconds = 86400;

struct CommandName {
    const char* name;
    Command command;
    int maxArguments;
};

constexpr CommandName kCommands[] = {
    {"list", Command::List, 0},       {"info", Command::Info, 0},
    {"status", Command::Status, 0},   {"watch", Command::Watch, 0},
    {"stored", Command::Stored, 0},   {"calibrations", Command::Calibrations, 0},
    {"method", Command::Method, 1},   {"library", Command::Library, 1},
    {"journal", Command::Journal, 1}, {"qc", Command::Qc, 1},
    {"sync", Command::Sync, 0},
};

// The commands that wait on the meter's reply.
const QList<Command> kReplyCommands = {Command::Info,   Command::Status,       Command::Watch,
                                       Command::Stored, Command::Calibrations, Command::Method};

// The options that only some commands take.
struct OptionScope {
    const char* option;
    QList<Command> commands;
};

const OptionScope kOptionScopes[] = {
    {"count", {Command::Watch}},
    {"changes", {Command::Watch}},
    {"duration", {Command::Watch}},
    {"time", {Command::Watch}},
    {"method", {Command::Calibrations, Command::Qc}},
    {"since", {Command::Journal, Command::Qc}},
    {"until", {Command::Watch, Command::Journal, Command::Qc}},
    {"number", {Command::Qc}},
    {"grade", {Command::Qc}},
    {"tank", {Command::Qc}},
    {"supplier", {Command::Qc}},
    {"baseline", {Command::Qc}},
    {"server", {Command::Journal, Command::Qc}},
    {"status", {Command::Sync}},
    {"retries", kReplyCommands},
};

QString commandName(Command command) {
    for (const CommandName& c : kCommands) {
        if (c.command == command) {
            return QLatin1String(c.name);
        }
    }
    return {};
}

QString commandsHelp() {
    return CtlText::tr(
        "Commands:\n"
        "  list                    the meters found; exit status 3 when there is none\n"
        "  info                    what the meter and its USB interface say about themselves\n"
        "  status                  one status report of the meter\n"
        "  watch                   one line per status report until interrupted\n"
        "  stored                  the values stored in the meter\n"
        "  calibrations            the meter's calibrations of a method (--method N)\n"
        "  method RON|MON|CN|1|2|3 switch the measuring method and wait for the meter to confirm\n"
        "  library [FILE]          the entries of a calibration library file (no meter needed)\n"
        "  journal [FILE]          the measurement table's history (no meter needed);\n"
        "                          --server: every PC's rows on the journal's server\n"
        "  sync                    sends the journal's rows the server lacks (--status: only\n"
        "                          tells whether the server is reached and how many rows wait)\n"
        "  qc [FILE]               control charts of the history's rows: limits and the points\n"
        "                          that break a run rule (no meter needed);\n"
        "                          --server: of every PC's rows on the journal's server\n");
}

QString usage(const QCommandLineParser& parser) {
    // The usage line names the program as it was started; it is named as installed.
    QString text = parser.helpText();
    const qsizetype colon = text.indexOf(QStringLiteral(": "));
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    if (colon > 0 && colon < lineEnd) {
        const qsizetype begin = colon + 2;
        const qsizetype end = text.indexOf(QLatin1Char(' '), begin);
        if (end > begin && end < lineEnd) {
            text.replace(begin, end - begin, QLatin1String(kProgramName));
        }
    }
    return text + QLatin1Char('\n') + commandsHelp();
}

std::optional<int> wholeNumber(const QString& text, int from, int to) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= from && value <= to ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> positiveNumber(const QString& text) {
    return wholeNumber(text, 1, std::numeric_limits<int>::max());
}

// An ISO 8601 date or local date-time: the first instant it names, and the first after it (a
// date names its whole day).
struct InstantRange {
    QDateTime first;
    QDateTime after;
    bool wholeDay = false;
};

std::optional<InstantRange> instantRange(const QString& text) {
    // QDate reads the date of a date-time too, so only a string of a date alone is one.
    constexpr qsizetype kDateLength = 10;
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (date.isValid() && text.size() == kDateLength) {
        return InstantRange{date.startOfDay(), date.addDays(1).startOfDay(), true};
    }
    const QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!time.isValid()) {
        return std::nullopt;
    }
    return InstantRange{time, time.addMSecs(1), false};
}

// When watch stops: a time of day (its next coming), a date (its end) or a date and time.
std::optional<QDateTime> stopTime(const QString& text, const QDateTime& now) {
    for (const QString& format : {QStringLiteral("HH:mm"), QStringLiteral("HH:mm:ss")}) {
        const QTime time = QTime::fromString(text, format);
        if (time.isValid()) {
            const QDateTime today(now.date(), time, now.timeZone());
            return today > now ? today : QDateTime(now.date().addDays(1), time, now.timeZone());
        }
    }
    const std::optional<InstantRange> range = instantRange(text);
    if (!range) {
        return std::nullopt;
    }
    return range->wholeDay ? range->after : range->first;
}

std::optional<TimeStyle> timeStyle(const QString& text) {
    if (text == QLatin1String("local")) {
        return TimeStyle::Local;
    }
    if (text == QLatin1String("utc")) {
        return TimeStyle::Utc;
    }
    if (text == QLatin1String("epoch")) {
        return TimeStyle::Epoch;
    }
    return std::nullopt;
}

} // namespace

std::optional<qint64> durationMs(const QString& text) {
    static const QRegularExpression part(QStringLiteral(R"((\d+(?:\.\d+)?)([smhd]?))"));
    static const QHash<QString, qint64> unitMs = {{QString(), 1000},
                                                  {QStringLiteral("s"), 1000},
                                                  {QStringLiteral("m"), 60 * 1000},
                                                  {QStringLiteral("h"), 3600 * 1000},
                                                  {QStringLiteral("d"), 86400 * 1000}};
    double total = 0;
    qsizetype at = 0;
    int parts = 0;
    bool bare = false;
    while (at < text.size()) {
        const QRegularExpressionMatch match =
            part.match(text, at, QRegularExpression::NormalMatch,
                       QRegularExpression::AnchorAtOffsetMatchOption);
        if (!match.hasMatch()) {
            return std::nullopt;
        }
        ++parts;
        bare = bare || match.capturedView(2).isEmpty();
        total +=
            match.captured(1).toDouble() * static_cast<double>(unitMs.value(match.captured(2)));
        at = match.capturedEnd();
    }
    // A bare number counts seconds, and only alone.
    if (bare && parts > 1) {
        return std::nullopt;
    }
    // A year is longer than anyone watches a meter; beyond it a typing error is likelier.
    constexpr double kMaxMs = 366.0 * 86400 * 1000;
    if (!(total >= 1) || total > kMaxMs) {
        return std::nullopt;
    }
    return static_cast<qint64>(std::llround(total));
}

int methodCode(const QString& text) {
    const QString upper = text.toUpper();
    if (upper == QLatin1String("RON")) {
        return 1;
    }
    if (upper == QLatin1String("MON")) {
        return 2;
    }
    if (upper == QLatin1String("CN")) {
        return 3;
    }
    return wholeNumber(text, 1, protocol::meter::kCalibratedMethods).value_or(0);
}

ParsedCommandLine parseCommandLine(const QStringList& arguments, const QDateTime& now) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        CtlText::tr("Command-line companion of the ZR-6040 USB control program."));
    const auto option = [](const char* name, const QString& description,
                           const QString& value = {}) {
        return QCommandLineOption(QLatin1String(name), description, value);
    };
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  CtlText::tr("Displays this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     CtlText::tr("Displays version information."));
    const QCommandLineOption json = option("json", CtlText::tr("Writes JSON."));
    const QCommandLineOption csv = option("csv", CtlText::tr("Writes CSV (RFC 4180)."));
    const QCommandLineOption noHeader =
        option("no-header", CtlText::tr("The table and CSV without their header line."));
    const QCommandLineOption output = option(
        "output",
        CtlText::tr("Writes to FILE: replaced when the command is done, appended to by watch."),
        CtlText::tr("file"));
    const QCommandLineOption simulate =
        option("simulate", CtlText::tr("Attaches the built-in meter simulator."));
    const QCommandLineOption device = option(
        "device", CtlText::tr("Uses only the meter at this device node."), CtlText::tr("path"));
    const QCommandLineOption serial =
        option("serial", CtlText::tr("Uses only the meter with this serial number."),
               CtlText::tr("serial"));
    const QCommandLineOption timeout =
        option("timeout",
               CtlText::tr("Seconds to wait for the meter's reply (default %1).")
                   .arg(kDefaultTimeoutMs / 1000),
               CtlText::tr("seconds"));
    const QCommandLineOption retries = option(
        "retries", CtlText::tr("Asks again this often for a reply that did not come (default 0)."),
        CtlText::tr("n"));
    const QCommandLineOption verbose =
        option("verbose", CtlText::tr("Writes the traffic with the meter to standard error."));
    const QCommandLineOption count =
        option("count", CtlText::tr("watch: stops after this many lines."), CtlText::tr("n"));
    const QCommandLineOption duration =
        option("duration", CtlText::tr("watch: stops after this long (30s, 10m, 2h, 1d)."),
               CtlText::tr("time"));
    const QCommandLineOption changes =
        option("changes", CtlText::tr("watch: only readings that changed."));
    const QCommandLineOption time =
        option("time", CtlText::tr("watch: the time of a line as local (default), utc or epoch."),
               CtlText::tr("style"));
    const QCommandLineOption method =
        option("method", CtlText::tr("calibrations, qc: the method (1 to 3)."), CtlText::tr("n"));
    const QCommandLineOption since =
        option("since",
               CtlText::tr("journal: rows written from this ISO 8601 date or local time on; "
                           "qc: rows measured from then."),
               CtlText::tr("date"));
    const QCommandLineOption until =
        option("until",
               CtlText::tr("journal: rows written up to this time, or to the end of this date; "
                           "qc: rows measured up to then; watch: stops then (also a time of day, "
                           "HH:MM)."),
               CtlText::tr("date"));
    const QCommandLineOption server =
        option("server",
               CtlText::tr("journal, qc: reads the rows of every PC from the journal's server."));
    const QCommandLineOption status = option(
        "status", CtlText::tr("sync: tells whether the server is reached and how many rows wait."));
    // qc: the rows of these texts; the baseline's length.
    const QCommandLineOption number =
        option("number", CtlText::tr("qc: the sample number."), CtlText::tr("text"));
    const QCommandLineOption grade =
        option("grade", CtlText::tr("qc: the grade."), CtlText::tr("text"));
    const QCommandLineOption tank =
        option("tank", CtlText::tr("qc: the tank."), CtlText::tr("text"));
    const QCommandLineOption supplier =
        option("supplier", CtlText::tr("qc: the supplier."), CtlText::tr("text"));
    const QCommandLineOption baseline =
        option("baseline",
               CtlText::tr("qc: limits from the first n points (default %1).")
                   .arg(quality::kDefaultBaselinePoints),
               CtlText::tr("n"));
    parser.addOptions({help,    version,  json,     csv,     noHeader, output, simulate,
                       device,  serial,   timeout,  retries, verbose,  count,  duration,
                       changes, time,     method,   since,   until,    number, grade,
                       tank,    supplier, baseline, server,  status});
    parser.addPositionalArgument(QStringLiteral("command"), CtlText::tr("What to do."));

    ParsedCommandLine result;
    const auto fail = [&](const QString& error) {
        result.run = false;
        result.exitStatus = kUsage;
        result.standardError = error + QLatin1Char('\n') + usage(parser);
        // A script that asked for JSON reads its errors as JSON too.
        if (arguments.contains(QStringLiteral("--json"))) {
            result.standardError += QString::fromUtf8(jsonErrorLine(error, kUsage));
        }
        return result;
    };
    if (!parser.parse(arguments)) {
        return fail(parser.errorText());
    }
    if (parser.isSet(help)) {
        result.standardOutput = usage(parser);
        return result;
    }
    if (parser.isSet(version)) {
        result.standardOutput = QStringLiteral("%1 %2\n").arg(
            QLatin1String(kProgramName), QLatin1String(program::kProgramVersion));
        return result;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        return fail(CtlText::tr("No command given."));
    }
    const CommandName* chosen = nullptr;
    for (const CommandName& c : kCommands) {
        if (positional.front() == QLatin1String(c.name)) {
            chosen = &c;
        }
    }
    if (!chosen) {
        return fail(CtlText::tr("Unknown command '%1'.").arg(positional.front()));
    }
    if (positional.size() - 1 > chosen->maxArguments) {
        return fail(
            CtlText::tr("Unexpected argument '%1'.").arg(positional.at(chosen->maxArguments + 1)));
    }
    Invocation& run = result.invocation;
    run.command = chosen->command;
    for (const OptionScope& scope : kOptionScopes) {
        if (parser.isSet(QLatin1String(scope.option)) && !scope.commands.contains(run.command)) {
            QStringList names;
            for (const Command command : scope.commands) {
                names << commandName(command);
            }
            return fail(CtlText::tr("--%1 belongs to %2.")
                            .arg(QLatin1String(scope.option), names.join(QStringLiteral(", "))));
        }
    }
    if (parser.isSet(json) && parser.isSet(csv)) {
        return fail(CtlText::tr("--json and --csv exclude each other."));
    }
    run.format = parser.isSet(json)  ? Format::Json
                 : parser.isSet(csv) ? Format::Csv
                                     : Format::Table;
    run.header = !parser.isSet(noHeader);
    run.simulate = parser.isSet(simulate);
    run.devicePath = parser.value(device);
    run.serial = parser.value(serial);
    run.verbose = parser.isSet(verbose);
    if (parser.isSet(output)) {
        run.outputFile = parser.value(output);
        if (run.outputFile.isEmpty()) {
            return fail(CtlText::tr("--output needs a file name."));
        }
    }
    if (parser.isSet(timeout)) {
        bool ok = false;
        const double seconds = parser.value(timeout).toDouble(&ok);
        if (!ok || !(seconds > 0) || seconds > kMaxTimeoutSeconds) {
            return fail(CtlText::tr("--timeout needs a number of seconds."));
        }
        run.timeoutMs = static_cast<int>(std::ceil(seconds * 1000));
    }
    if (parser.isSet(retries)) {
        const std::optional<int> n = wholeNumber(parser.value(retries), 0, kMaxRetries);
        if (!n) {
            return fail(CtlText::tr("--retries needs a number from 0 to %1.").arg(kMaxRetries));
        }
        run.retries = *n;
    }
    if (parser.isSet(count)) {
        const std::optional<int> n = positiveNumber(parser.value(count));
        if (!n) {
            return fail(CtlText::tr("--count needs a positive number."));
        }
        run.count = *n;
    }
    run.changesOnly = parser.isSet(changes);
    if (parser.isSet(duration)) {
        const std::optional<qint64> ms = durationMs(parser.value(duration));
        if (!ms) {
            return fail(CtlText::tr("--duration needs a length of time such as 90s, 10m or 2h."));
        }
        run.durationMs = *ms;
    }
    if (parser.isSet(time)) {
        const std::optional<TimeStyle> style = timeStyle(parser.value(time));
        if (!style) {
            return fail(CtlText::tr("--time needs local, utc or epoch."));
        }
        run.timeStyle = *style;
    }
    if (parser.isSet(method)) {
        run.method = methodCode(parser.value(method));
        if (run.method == 0) {
            return fail(CtlText::tr("--method needs RON, MON, CN or 1 to 3."));
        }
    }
    if (run.command == Command::Method) {
        run.method = positional.size() > 1 ? methodCode(positional.at(1)) : 0;
        if (run.method == 0) {
            return fail(CtlText::tr("method needs RON, MON, CN or 1 to 3."));
        }
    }
    if (run.command == Command::Library && positional.size() > 1) {
        run.libraryFile = positional.at(1);
    }
    if (parser.isSet(since)) {
        const std::optional<InstantRange> range = instantRange(parser.value(since));
        if (!range) {
            return fail(CtlText::tr("--since needs an ISO 8601 date or date and time."));
        }
        run.since = range->first;
    }
    if (parser.isSet(until) && run.command == Command::Watch) {
        const std::optional<QDateTime> stop = stopTime(parser.value(until), now);
        if (!stop) {
            return fail(CtlText::tr("--until needs a time of day, an ISO 8601 date or date and "
                                    "time."));
        }
        if (*stop <= now) {
            return fail(CtlText::tr("--until lies in the past."));
        }
        run.stopAt = *stop;
    } else if (parser.isSet(until)) {
        const std::optional<InstantRange> range = instantRange(parser.value(until));
        if (!range) {
            return fail(CtlText::tr("--until needs an ISO 8601 date or date and time."));
        }
        run.before = range->after;
    }
    if ((run.command == Command::Journal || run.command == Command::Qc) && positional.size() > 1) {
        run.journalFile = positional.at(1);
    }
    run.fromServer = parser.isSet(server);
    if (run.fromServer && !run.journalFile.isEmpty()) {
        return fail(CtlText::tr("--server reads no file."));
    }
    run.statusOnly = parser.isSet(status);
    if (run.command == Command::Qc) {
        const std::pair<const QCommandLineOption&, std::optional<QString>&> texts[] = {
            {number, run.selection.number},
            {grade, run.selection.grade},
            {tank, run.selection.tank},
            {supplier, run.selection.supplier}};
        for (const auto& [textOption, text] : texts) {
            if (parser.isSet(textOption)) {
                text = parser.value(textOption);
            }
        }
        run.selection.since = run.since;
        run.selection.before = run.before;
        if (run.method != 0) {
            run.selection.method = run.method;
        }
    }
    if (parser.isSet(baseline)) {
        const std::optional<int> points = positiveNumber(parser.value(baseline));
        if (!points || *points < 2) {
            return fail(CtlText::tr("--baseline needs a number of points, 2 or more."));
        }
        run.baselinePoints = *points;
    }
    result.run = true;
    return result;
}

} // namespace zr::ctl
