#include "ctl/Invocation.h"
#include "ctl/ExitStatus.h"

#include <gtest/gtest.h>

namespace zr::ctl {
namespace {

ParsedCommandLine parse(const QStringList& arguments) {
    return parseCommandLine(QStringList{QStringLiteral("zr6040ctl")} + arguments);
}

struct UsageErrorCase {
    QStringList arguments;
    const char* error;
};

TEST(CtlCommandLineTest, RefusesWhatItDoesNotUnderstandWithUsageAndStatus2) {
    const UsageErrorCase cases[] = {
        {{}, "No command given."},
        {{"frobnicate"}, "Unknown command 'frobnicate'."},
        {{"status", "--bogus"}, "Unknown option 'bogus'."},
        {{"status", "extra"}, "Unexpected argument 'extra'."},
        {{"method"}, "method needs RON, MON, CN or 1 to 3."},
        {{"method", "4"}, "method needs RON, MON, CN or 1 to 3."},
        {{"method", "AKI"}, "method needs RON, MON, CN or 1 to 3."},
        {{"status", "--count", "3"}, "--count belongs to watch."},
        {{"watch", "--count", "0"}, "--count needs a positive number."},
        {{"status", "--method", "1"}, "--method belongs to calibrations, qc."},
        {{"status", "--grade", "АИ-92"}, "--grade belongs to qc."},
        {{"journal", "--baseline", "5"}, "--baseline belongs to qc."},
        {{"qc", "--baseline", "1"}, "--baseline needs a number of points, 2 or more."},
        {{"calibrations", "--method", "0"}, "--method needs RON, MON, CN or 1 to 3."},
        {{"status", "--timeout", "-1"}, "--timeout needs a number of seconds."},
        {{"status", "--json", "--csv"}, "--json and --csv exclude each other."},
        {{"library", "a.zr", "b.zr"}, "Unexpected argument 'b.zr'."},
        {{"library", "--since", "2026-03-01"}, "--since belongs to journal, qc."},
        {{"journal", "--since", "1.3.2026"}, "--since needs an ISO 8601 date or date and time."},
        {{"journal", "--until", "2026-02-30"}, "--until needs an ISO 8601 date or date and time."},
        {{"status", "--duration", "10m"}, "--duration belongs to watch."},
        {{"watch", "--duration", "10x"},
         "--duration needs a length of time such as 90s, 10m or 2h."},
        {{"watch", "--time", "gmt"}, "--time needs local, utc or epoch."},
        {{"library", "--retries", "1"},
         "--retries belongs to info, status, watch, stored, calibrations, method."},
        {{"status", "--retries", "-1"}, "--retries needs a number from 0 to 100."},
        {{"watch", "--until", "25:00"},
         "--until needs a time of day, an ISO 8601 date or date and time."},
        {{"watch", "--until", "2020-01-01"}, "--until lies in the past."},
        {{"status", "--output", ""}, "--output needs a file name."},
    };
    for (const UsageErrorCase& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const ParsedCommandLine parsed = parse(c.arguments);
        EXPECT_FALSE(parsed.run);
        EXPECT_EQ(parsed.exitStatus, kUsage);
        EXPECT_TRUE(parsed.standardOutput.isEmpty());
        EXPECT_TRUE(parsed.standardError.startsWith(QString::fromUtf8(c.error) + '\n'))
            << parsed.standardError.toStdString();
        EXPECT_TRUE(parsed.standardError.contains(QStringLiteral("Usage: zr6040ctl [options]")));
    }
}

TEST(CtlCommandLineTest, UnderstandsEveryCommandAndItsOptions) {
    struct Case {
        QStringList arguments;
        Command command;
        Format format;
        int method;
        int count;
        bool changes;
        int timeoutMs;
    };
    const Case cases[] = {
        {{"list"}, Command::List, Format::Table, 0, 0, false, kDefaultTimeoutMs},
        {{"status", "--json"}, Command::Status, Format::Json, 0, 0, false, kDefaultTimeoutMs},
        {{"watch", "--csv", "--count", "3", "--changes"},
         Command::Watch,
         Format::Csv,
         0,
         3,
         true,
         kDefaultTimeoutMs},
        {{"stored", "--timeout", "0.5"}, Command::Stored, Format::Table, 0, 0, false, 500},
        {{"calibrations", "--method", "MON"},
         Command::Calibrations,
         Format::Table,
         2,
         0,
         false,
         kDefaultTimeoutMs},
        {{"method", "ron"}, Command::Method, Format::Table, 1, 0, false, kDefaultTimeoutMs},
        {{"method", "CN"}, Command::Method, Format::Table, 3, 0, false, kDefaultTimeoutMs},
        {{"method", "2"}, Command::Method, Format::Table, 2, 0, false, kDefaultTimeoutMs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const ParsedCommandLine parsed = parse(c.arguments);
        ASSERT_TRUE(parsed.run) << parsed.standardError.toStdString();
        EXPECT_EQ(parsed.invocation.command, c.command);
        EXPECT_EQ(parsed.invocation.format, c.format);
        EXPECT_EQ(parsed.invocation.method, c.method);
        EXPECT_EQ(parsed.invocation.count, c.count);
        EXPECT_EQ(parsed.invocation.changesOnly, c.changes);
        EXPECT_EQ(parsed.invocation.timeoutMs, c.timeoutMs);
    }
}

TEST(CtlCommandLineTest, TakesTheDeviceTheSimulatorAndTheLibraryFile) {
    const ParsedCommandLine parsed =
        parse({"--simulate", "--device", "/dev/hidraw3", "library", "/tmp/x.zr"});
    ASSERT_TRUE(parsed.run);
    EXPECT_TRUE(parsed.invocation.simulate);
    EXPECT_EQ(parsed.invocation.devicePath, QStringLiteral("/dev/hidraw3"));
    EXPECT_EQ(parsed.invocation.libraryFile, QStringLiteral("/tmp/x.zr"));
    EXPECT_TRUE(parsed.invocation.header);
}

TEST(CtlCommandLineTest, TakesTheSerialTheOutputAndHowToWrite) {
    const ParsedCommandLine parsed =
        parse({"watch", "--serial", "ZR-0007", "--output", "r.csv", "--no-header", "--verbose",
               "--retries", "2", "--time", "epoch"});
    ASSERT_TRUE(parsed.run) << parsed.standardError.toStdString();
    EXPECT_EQ(parsed.invocation.serial, QStringLiteral("ZR-0007"));
    EXPECT_EQ(parsed.invocation.outputFile, QStringLiteral("r.csv"));
    EXPECT_FALSE(parsed.invocation.header);
    EXPECT_TRUE(parsed.invocation.verbose);
    EXPECT_EQ(parsed.invocation.retries, 2);
    EXPECT_EQ(parsed.invocation.timeStyle, TimeStyle::Epoch);
}

TEST(CtlCommandLineTest, ReadsLengthsOfTime) {
    const std::pair<const char*, std::optional<qint64>> cases[] = {
        {"90", 90000},         {"90s", 90000},         {"10m", 600000},     {"1h30m", 5400000},
        {"1.5h", 5400000},     {"2d", 172800000},      {"0.25s", 250},      {"", std::nullopt},
        {"0", std::nullopt},   {"10m5", std::nullopt}, {"m", std::nullopt}, {"5 m", std::nullopt},
        {"-5m", std::nullopt}, {"400d", std::nullopt},
    };
    for (const auto& [text, ms] : cases) {
        EXPECT_EQ(durationMs(QString::fromLatin1(text)), ms) << text;
    }
}

// A time of day means its next coming; a date its end.
TEST(CtlCommandLineTest, WatchUntilATimeOfDayADateOrADateAndTime) {
    const QDateTime now(QDate(2026, 3, 1), QTime(10, 0));
    const std::pair<const char*, QDateTime> cases[] = {
        {"11:30", QDateTime(QDate(2026, 3, 1), QTime(11, 30))},
        {"09:00:30", QDateTime(QDate(2026, 3, 2), QTime(9, 0, 30))},
        {"2026-03-02", QDateTime(QDate(2026, 3, 3), QTime(0, 0))},
        {"2026-03-01T12:00", QDateTime(QDate(2026, 3, 1), QTime(12, 0))},
    };
    for (const auto& [text, stop] : cases) {
        const ParsedCommandLine parsed =
            parseCommandLine({"zr6040ctl", "watch", "--until", QString::fromLatin1(text)}, now);
        ASSERT_TRUE(parsed.run) << text;
        EXPECT_EQ(parsed.invocation.stopAt, stop) << text;
    }
}

// A script that asked for JSON gets its usage error as a JSON object as well.
TEST(CtlCommandLineTest, UsageErrorsUnderJsonEndWithAJsonObject) {
    const ParsedCommandLine parsed = parse({"frobnicate", "--json"});
    EXPECT_EQ(parsed.exitStatus, kUsage);
    EXPECT_TRUE(parsed.standardError.endsWith(
        QStringLiteral(R"({"error":"Unknown command 'frobnicate'.","status":2})"
                       "\n")))
        << parsed.standardError.toStdString();
}

TEST(CtlCommandLineTest, HelpAndVersionAnswerOnStandardOutputWithStatus0) {
    const ParsedCommandLine version = parse({"--version"});
    EXPECT_FALSE(version.run);
    EXPECT_EQ(version.exitStatus, kDone);
    EXPECT_TRUE(version.standardOutput.startsWith(QStringLiteral("zr6040ctl ")));
    const ParsedCommandLine help = parse({"--help"});
    EXPECT_FALSE(help.run);
    EXPECT_EQ(help.exitStatus, kDone);
    EXPECT_TRUE(help.standardOutput.contains(QStringLiteral("method RON|MON|CN|1|2|3")));
    EXPECT_TRUE(help.standardError.isEmpty());
}

} // namespace
} // namespace zr::ctl
