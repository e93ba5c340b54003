#include "ctl/CommandRunner.h"
#include "ctl/CtlRun.h"
#include "ctl/ExitStatus.h"
#include "ctl/FakeMeterLink.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <ctime>
#include <gtest/gtest.h>

namespace zr::ctl {
namespace {

using test::CtlOutcome;
using test::FakeMeterLink;
using test::runCtl;

Invocation invocation(Command command, Format format = Format::Json) {
    Invocation i;
    i.command = command;
    i.format = format;
    i.timeoutMs = 3000;
    return i;
}

QDateTime fixedTime() {
    return QDateTime(QDate(2026, 3, 1), QTime(10, 0), QTimeZone(3600));
}

// A run against the fake meter, watch lines stamped at `now`.
CtlOutcome run(const Invocation& i, FakeMeterLink& meter,
               std::function<void(CommandRunner&)> beforeRun = {},
               std::function<QDateTime()> now = fixedTime) {
    return runCtl(i, meter, {.now = std::move(now), .beforeRun = std::move(beforeRun)});
}

// The fake answers start() with the meter found and these status reports.
void foundThen(FakeMeterLink& meter, QList<protocol::StatusReport> reports) {
    meter.onStart = [&meter, reports] {
        emit meter.meterFound({});
        for (const protocol::StatusReport& s : reports) {
            emit meter.statusReceived(s);
        }
    };
}

// The exit statuses of a meter that is missing, inaccessible, lost or silent are shown end to end
// on the simulated bus; these two cannot be made there. Under --json the error follows once more
// as a JSON object, for a script.
TEST(CtlCommandRunnerTest, NoMeterAtAllAndALinkFailureHaveTheirExitStatus) {
    struct Case {
        const char* name;
        Command command;
        std::function<void(FakeMeterLink&)> script;
        int status;
        const char* error;
    };
    const Case cases[] = {
        {"unanswered", Command::Status, [](FakeMeterLink&) {}, kNoReply,
         "The meter did not answer in time.\n"
         R"({"error":"The meter did not answer in time.","status":6})"
         "\n"},
        {"failed", Command::Status,
         [](FakeMeterLink& m) { m.onStart = [&m] { emit m.failed(QStringLiteral("bo\"om")); }; },
         kError,
         "bo\"om\n"
         R"({"error":"bo\"om","status":1})"
         "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMeterLink meter;
        c.script(meter);
        Invocation i = invocation(c.command);
        i.timeoutMs = 50;
        const CtlOutcome r = run(i, meter);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, QByteArray(c.error));
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(CtlCommandRunnerTest, WatchStampsEveryLineAndStopsAfterCount) {
    FakeMeterLink meter;
    foundThen(meter, {FakeMeterLink::status(1, 91.0f), FakeMeterLink::status(1, 91.5f),
                      FakeMeterLink::status(1, 92.0f)});
    Invocation i = invocation(Command::Watch);
    i.count = 2;
    const CtlOutcome r = run(i, meter);
    EXPECT_EQ(r.status, kDone);
    const QList<QByteArray> lines = r.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(r.outWrites, 2);
    EXPECT_EQ(QJsonDocument::fromJson(lines.at(1)).object().value(QStringLiteral("time")),
              QStringLiteral("2026-03-01T10:00:00.000+01:00"));
    EXPECT_EQ(QJsonDocument::fromJson(lines.at(1)).object().value(QStringLiteral("value")), 91.5);
}

// Qt writes a local time without its offset; a line must say which time it is.
TEST(CtlCommandRunnerTest, WatchStampsTheLocalTimeWithItsOffset) {
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "America/St_Johns");
    ::tzset();
    FakeMeterLink meter;
    foundThen(meter, {FakeMeterLink::status(1, 91.0f)});
    Invocation i = invocation(Command::Watch);
    i.count = 1;
    const CtlOutcome r = run(i, meter, {}, [] {
        return QDateTime(QDate(2026, 3, 1), QTime(10, 0, 5, 7), Qt::LocalTime);
    });
    zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone);
    ::tzset();
    EXPECT_EQ(QJsonDocument::fromJson(r.out).object().value(QStringLiteral("time")),
              QStringLiteral("2026-03-01T10:00:05.007-03:30"));
}

TEST(CtlCommandRunnerTest, WatchWithChangesSkipsRepeatedReadings) {
    FakeMeterLink meter;
    foundThen(meter, {FakeMeterLink::status(1, 91.0f, 4500), FakeMeterLink::status(1, 91.0f, 4510),
                      FakeMeterLink::status(1, 92.0f)});
    Invocation i = invocation(Command::Watch, Format::Csv);
    i.count = 2;
    i.changesOnly = true;
    const CtlOutcome r = run(i, meter);
    EXPECT_EQ(r.status, kDone);
    const QList<QByteArray> lines = r.out.split('\n');
    ASSERT_EQ(lines.size(), 4); // header, two lines, nothing after the last CRLF
    EXPECT_TRUE(lines.at(1).contains(",91,"));
    EXPECT_TRUE(lines.at(2).contains(",92,"));
    // The report left out shows as a gap in the numbers.
    EXPECT_TRUE(lines.at(1).endsWith(",1\r"));
    EXPECT_TRUE(lines.at(2).endsWith(",3\r"));
}

TEST(CtlCommandRunnerTest, WatchStampsLinesInTheTimeAsked) {
    const struct {
        TimeStyle style;
        QJsonValue time;
    } cases[] = {
        {TimeStyle::Local, QStringLiteral("2026-03-01T10:00:00.000+01:00")},
        {TimeStyle::Utc, QStringLiteral("2026-03-01T09:00:00.000Z")},
        {TimeStyle::Epoch, 1772355600.0},
    };
    for (const auto& c : cases) {
        FakeMeterLink meter;
        foundThen(meter, {FakeMeterLink::status(1, 91.0f)});
        Invocation i = invocation(Command::Watch);
        i.count = 1;
        i.timeStyle = c.style;
        const CtlOutcome r = run(i, meter);
        EXPECT_EQ(QJsonDocument::fromJson(r.out).object().value(QStringLiteral("time")), c.time)
            << r.out.data();
    }
}

// A meter that has stopped reporting: watch ends at the time asked, not with the reply timeout.
TEST(CtlCommandRunnerTest, WatchStopsAfterItsDurationOrAtItsTime) {
    const struct {
        const char* name;
        qint64 durationMs;
        qint64 stopInMs;
    } cases[] = {
        {"duration", 100, 0},
        {"until", 0, 100},
        {"the earlier of both", 100, 60 * 60 * 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMeterLink meter;
        foundThen(meter, {FakeMeterLink::status(1, 91.0f)});
        Invocation i = invocation(Command::Watch);
        i.durationMs = c.durationMs;
        if (c.stopInMs > 0) {
            i.stopAt = fixedTime().addMSecs(c.stopInMs);
        }
        i.timeoutMs = 20000;
        const CtlOutcome r = run(i, meter);
        EXPECT_EQ(r.status, kDone);
        EXPECT_EQ(r.out.count('\n'), 1);
    }
}

// Each wait on a reply may be retried: the request goes again.
TEST(CtlCommandRunnerTest, RetriesAskAgainForAReplyThatDidNotCome) {
    const struct {
        int retries;
        int status;
        int fetches;
    } cases[] = {
        {0, kNoReply, 1},
        {1, kDone, 2},
        {3, kDone, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.retries);
        FakeMeterLink meter;
        foundThen(meter, {FakeMeterLink::status(1, 91.0f, 4500, 1)});
        int fetches = 0;
        meter.onFetchStoredValues = [&] {
            // The first request goes unanswered.
            if (++fetches > 1) {
                emit meter.storedValuesFetched({});
            }
        };
        Invocation i = invocation(Command::Stored);
        i.timeoutMs = 50;
        i.retries = c.retries;
        const CtlOutcome r = run(i, meter);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(fetches, c.fetches);
    }
}

TEST(CtlCommandRunnerTest, InterruptEndsWatchWithStatus0AndOtherCommandsWith1) {
    for (const Command command : {Command::Watch, Command::Status}) {
        FakeMeterLink meter;
        CommandRunner* running = nullptr;
        meter.onStart = [&] {
            emit meter.meterFound({});
            running->interrupt();
        };
        const CtlOutcome r =
            run(invocation(command), meter, [&](CommandRunner& runner) { running = &runner; });
        EXPECT_EQ(r.status, command == Command::Watch ? kDone : kError);
    }
}

TEST(CtlCommandRunnerTest, AReaderThatWentAwayEndsWatchQuietly) {
    FakeMeterLink meter;
    int reports = 0;
    meter.onStart = [&] {
        emit meter.meterFound({});
        for (; reports < 5; ++reports) {
            emit meter.statusReceived(FakeMeterLink::status(1, 90.0f));
        }
    };
    int writes = 0;
    CommandRunner::Io io;
    io.out = [&](const QByteArray&) {
        ++writes;
        return false;
    };
    QByteArray err;
    io.err = [&](const QByteArray& bytes) {
        err += bytes;
        return true;
    };
    CommandRunner runner(invocation(Command::Watch), meter, std::move(io));
    EXPECT_EQ(runner.run(), kDone);
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(reports, 5);
    EXPECT_TRUE(err.isEmpty());
}

TEST(CtlCommandRunnerTest, CalibrationsOfAMethodWithoutThemAreRefused) {
    FakeMeterLink meter;
    foundThen(meter, {FakeMeterLink::status(4, 90.0f)});
    const CtlOutcome r = run(invocation(Command::Calibrations), meter);
    EXPECT_EQ(r.status, kError);
    EXPECT_EQ(meter.calibrationMethodAsked, 0);
    EXPECT_TRUE(r.out.isEmpty());
}

TEST(CtlCommandRunnerTest, MethodWaitsForAReportThatConfirmsIt) {
    FakeMeterLink meter;
    foundThen(meter, {});
    meter.onSelectMethod = [&] {
        emit meter.statusReceived(FakeMeterLink::status(1, 90.0f));
        emit meter.statusReceived(FakeMeterLink::status(2, 85.0f));
    };
    Invocation i = invocation(Command::Method);
    i.method = 2;
    const CtlOutcome r = run(i, meter);
    EXPECT_EQ(r.status, kDone);
    EXPECT_EQ(meter.methodSelected, 2);
    EXPECT_EQ(QJsonDocument::fromJson(r.out).object().value(QStringLiteral("method")), 2);
}

TEST(CtlCommandRunnerTest, ListWithoutAMeterEndsWithStatus3AndStartsNothing) {
    FakeMeterLink meter;
    const CtlOutcome r = run(invocation(Command::List, Format::Csv), meter);
    EXPECT_EQ(r.status, kNoMeter);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(meter.startCount, 0);
}

} // namespace
} // namespace zr::ctl
