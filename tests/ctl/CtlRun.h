#pragma once

#include "ctl/CommandRunner.h"
#include "ctl/FakeMeterLink.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

namespace zr::test {

// One in-process run of a zr6040ctl command, with what it wrote.
struct CtlOutcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
    // How many pieces the output came in.
    int outWrites = 0;
};

// What a run is given besides its command: the Io's locale, clock, journal and server, and what
// to do with the runner before it runs.
struct CtlSetup {
    QLocale locale = QLocale::c();
    // Empty: the clock.
    std::function<QDateTime()> now = {};
    QString defaultJournalFile = {};
    ctl::ServerAccess server = {};
    std::function<void(ctl::CommandRunner&)> beforeRun = {};
};

// Io that keeps what a command writes in `result`.
inline ctl::CommandRunner::Io capturingIo(CtlOutcome& result) {
    ctl::CommandRunner::Io io;
    io.out = [&result](const QByteArray& bytes) {
        result.out += bytes;
        ++result.outWrites;
        return true;
    };
    io.err = [&result](const QByteArray& bytes) {
        result.err += bytes;
        return true;
    };
    return io;
}

inline CtlOutcome runCtl(const ctl::Invocation& invocation, ctl::MeterLink& meter,
                         CtlSetup setup = {}) {
    CtlOutcome result;
    ctl::CommandRunner::Io io = capturingIo(result);
    if (setup.now) {
        io.now = std::move(setup.now);
    }
    io.locale = setup.locale;
    io.defaultJournalFile = setup.defaultJournalFile;
    io.server = std::move(setup.server);
    ctl::CommandRunner runner(invocation, meter, std::move(io));
    if (setup.beforeRun) {
        setup.beforeRun(runner);
    }
    result.status = runner.run();
    return result;
}

// The command line's arguments after the program's name, as the command line gives them; no
// meter attached.
inline CtlOutcome runCtl(const QStringList& arguments, CtlSetup setup = {}) {
    const ctl::ParsedCommandLine parsed =
        ctl::parseCommandLine(QStringList{QStringLiteral("zr6040ctl")} + arguments);
    EXPECT_TRUE(parsed.run) << parsed.standardError.toStdString();
    FakeMeterLink meter;
    return runCtl(parsed.invocation, meter, std::move(setup));
}

} // namespace zr::test
