#include "ctl/Invocation.h"

#include "ctl/ExitStatus.h"
#include "device/protocol/Meter.h"
#include "program/BuildInfo.h"

#include <QCommandLineParser>
#include <cmath>
#include <optional>
#include <utility>

namespace zr::ctl {

namespace {

constexpr const char* kProgramName = "zr6040ctl";

const QString kCommandsHelp = QStringLiteral(
    "Commands:\n"
    "  list                    the meters found; exit status 3 when there is none\n"
    "  status                  one status report of the meter\n"
    "  watch                   one line per status report until interrupted\n"
    "  stored                  the values stored in the meter\n"
    "  calibrations            the meter's calibrations of a method (--method N)\n"
    "  method RON|MON|CN|1|2|3 switch the measuring method and wait for the meter to confirm\n"
    "  library [FILE]          the entries of a calibration library file (no meter needed)\n"
    "  journal [FILE]          the measurement table's history (no meter needed)\n"
    "  qc [FILE]               control charts of the history's rows: limits and the points\n"
    "                          that break a run rule (no meter needed)\n");

struct CommandName {
    const char* name;
    Command command;
    int maxArguments;
};

constexpr CommandName kCommands[] = {
    {"list", Command::List, 0},
    {"status", Command::Status, 0},
    {"watch", Command::Watch, 0},
    {"stored", Command::Stored, 0},
    {"calibrations", Command::Calibrations, 0},
    {"method", Command::Method, 1},
    {"library", Command::Library, 1},
    {"journal", Command::Journal, 1},
    {"qc", Command::Qc, 1},
};

QString usage(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    const QString prefix = QStringLiteral("Usage: ");
    if (text.startsWith(prefix)) {
        const qsizetype end = text.indexOf(QLatin1Char(' '), prefix.size());
        if (end > 0) {
            text.replace(prefix.size(), end - prefix.size(), QLatin1String(kProgramName));
        }
    }
    return text + QLatin1Char('\n') + kCommandsHelp;
}

std::optional<int> positiveNumber(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value > 0 ? std::optional<int>(value) : std::nullopt;
}

// An ISO 8601 date or local date-time: the first instant it names, and the first after it (a
// date names its whole day).
std::optional<std::pair<QDateTime, QDateTime>> instantRange(const QString& text) {
    // QDate reads the date of a date-time too, so only a string of a date alone is one.
    constexpr qsizetype kDateLength = 10;
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (date.isValid() && text.size() == kDateLength) {
        return std::pair{date.startOfDay(), date.addDays(1).startOfDay()};
    }
    const QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!time.isValid()) {
        return std::nullopt;
    }
    return std::pair{time, time.addMSecs(1)};
}

} // namespace

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
    const std::optional<int> number = positiveNumber(text);
    return number && *number <= protocol::meter::kCalibratedMethods ? *number : 0;
}

ParsedCommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Command-line companion of the ZR-6040 USB control program."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Writes JSON."));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("Writes CSV (RFC 4180)."));
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Attaches the built-in meter simulator."));
    const QCommandLineOption device(QStringLiteral("device"),
                                    QStringLiteral("Uses only the meter at this device node."),
                                    QStringLiteral("path"));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"),
        QStringLiteral("Seconds to wait for the meter's reply (default %1).")
            .arg(kDefaultTimeoutMs / 1000),
        QStringLiteral("seconds"));
    const QCommandLineOption count(QStringLiteral("count"),
                                   QStringLiteral("watch: stops after this many lines."),
                                   QStringLiteral("n"));
    const QCommandLineOption changes(QStringLiteral("changes"),
                                     QStringLiteral("watch: only readings that changed."));
    const QCommandLineOption method(QStringLiteral("method"),
                                    QStringLiteral("calibrations, qc: the method (1 to 3)."),
                                    QStringLiteral("n"));
    const QCommandLineOption since(
        QStringLiteral("since"),
        QStringLiteral("journal: rows written (qc: measured) from this ISO 8601 date or local "
                       "time on."),
        QStringLiteral("date"));
    const QCommandLineOption until(
        QStringLiteral("until"),
        QStringLiteral("journal, qc: rows up to this time, or to the end of this date."),
        QStringLiteral("date"));
    // qc: the rows of these texts; the baseline's length.
    const QCommandLineOption number(
        QStringLiteral("number"), QStringLiteral("qc: the sample number."), QStringLiteral("text"));
    const QCommandLineOption grade(QStringLiteral("grade"), QStringLiteral("qc: the grade."),
                                   QStringLiteral("text"));
    const QCommandLineOption tank(QStringLiteral("tank"), QStringLiteral("qc: the tank."),
                                  QStringLiteral("text"));
    const QCommandLineOption supplier(QStringLiteral("supplier"),
                                      QStringLiteral("qc: the supplier."), QStringLiteral("text"));
    const QCommandLineOption baseline(
        QStringLiteral("baseline"),
        QStringLiteral("qc: limits from the first n points (default %1).")
            .arg(quality::kDefaultBaselinePoints),
        QStringLiteral("n"));
    parser.addOptions({help, version, json, csv, simulate, device, timeout, count, changes, method,
                       since, until, number, grade, tank, supplier, baseline});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do."));

    ParsedCommandLine result;
    const auto fail = [&](const QString& error) {
        result.run = false;
        result.exitStatus = kUsage;
        result.standardError = error + QLatin1Char('\n') + usage(parser);
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
        return fail(QStringLiteral("No command given."));
    }
    const CommandName* chosen = nullptr;
    for (const CommandName& c : kCommands) {
        if (positional.front() == QLatin1String(c.name)) {
            chosen = &c;
        }
    }
    if (!chosen) {
        return fail(QStringLiteral("Unknown command '%1'.").arg(positional.front()));
    }
    if (positional.size() - 1 > chosen->maxArguments) {
        return fail(QStringLiteral("Unexpected argument '%1'.")
                        .arg(positional.at(chosen->maxArguments + 1)));
    }
    Invocation& run = result.invocation;
    run.command = chosen->command;
    if (parser.isSet(json) && parser.isSet(csv)) {
        return fail(QStringLiteral("--json and --csv exclude each other."));
    }
    run.format = parser.isSet(json)  ? Format::Json
                 : parser.isSet(csv) ? Format::Csv
                                     : Format::Table;
    run.simulate = parser.isSet(simulate);
    run.devicePath = parser.value(device);
    if (parser.isSet(timeout)) {
        bool ok = false;
        const double seconds = parser.value(timeout).toDouble(&ok);
        if (!ok || !(seconds > 0) || seconds > 86400) {
            return fail(QStringLiteral("--timeout needs a number of seconds."));
        }
        run.timeoutMs = static_cast<int>(std::ceil(seconds * 1000));
    }
    if ((parser.isSet(count) || parser.isSet(changes)) && run.command != Command::Watch) {
        return fail(QStringLiteral("--count and --changes belong to watch."));
    }
    if (parser.isSet(count)) {
        const std::optional<int> n = positiveNumber(parser.value(count));
        if (!n) {
            return fail(QStringLiteral("--count needs a positive number."));
        }
        run.count = *n;
    }
    run.changesOnly = parser.isSet(changes);
    if (parser.isSet(method)) {
        if (run.command != Command::Calibrations && run.command != Command::Qc) {
            return fail(QStringLiteral("--method belongs to calibrations and qc."));
        }
        run.method = methodCode(parser.value(method));
        if (run.method == 0) {
            return fail(QStringLiteral("--method needs RON, MON, CN or 1 to 3."));
        }
    }
    if (run.command == Command::Method) {
        run.method = positional.size() > 1 ? methodCode(positional.at(1)) : 0;
        if (run.method == 0) {
            return fail(QStringLiteral("method needs RON, MON, CN or 1 to 3."));
        }
    }
    if (run.command == Command::Library && positional.size() > 1) {
        run.libraryFile = positional.at(1);
    }
    if ((parser.isSet(since) || parser.isSet(until)) && run.command != Command::Journal &&
        run.command != Command::Qc) {
        return fail(QStringLiteral("--since and --until belong to journal and qc."));
    }
    if (parser.isSet(since)) {
        const auto range = instantRange(parser.value(since));
        if (!range) {
            return fail(QStringLiteral("--since needs an ISO 8601 date or date and time."));
        }
        run.since = range->first;
    }
    if (parser.isSet(until)) {
        const auto range = instantRange(parser.value(until));
        if (!range) {
            return fail(QStringLiteral("--until needs an ISO 8601 date or date and time."));
        }
        run.before = range->second;
    }
    if ((run.command == Command::Journal || run.command == Command::Qc) && positional.size() > 1) {
        run.journalFile = positional.at(1);
    }
    const std::pair<const QCommandLineOption&, std::optional<QString>&> texts[] = {
        {number, run.selection.number},
        {grade, run.selection.grade},
        {tank, run.selection.tank},
        {supplier, run.selection.supplier}};
    for (const auto& [option, text] : texts) {
        if (parser.isSet(option)) {
            if (run.command != Command::Qc) {
                return fail(QStringLiteral("--%1 belongs to qc.").arg(option.names().front()));
            }
            text = parser.value(option);
        }
    }
    if (run.command == Command::Qc) {
        run.selection.since = run.since;
        run.selection.before = run.before;
        if (run.method != 0) {
            run.selection.method = run.method;
        }
    }
    if (parser.isSet(baseline)) {
        const std::optional<int> points = positiveNumber(parser.value(baseline));
        if (run.command != Command::Qc) {
            return fail(QStringLiteral("--baseline belongs to qc."));
        }
        if (!points || *points < 2) {
            return fail(QStringLiteral("--baseline needs a number of points, 2 or more."));
        }
        run.baselinePoints = *points;
    }
    result.run = true;
    return result;
}

} // namespace zr::ctl
