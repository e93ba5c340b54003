#pragma once

#include "ctl/CommandRunner.h"
#include "ctl/SessionMeterLink.h"

namespace zr::ctl {

// One run of zr6040ctl on the given HID services: the meter session bound to the commands.
class ProgramRun {
public:
    ProgramRun(const Invocation& invocation, hid::HidPlatform& platform, const QString& dataDir,
               CommandRunner::Io io);

    int exec() { return runner_.run(); }
    void interrupt() { runner_.interrupt(); }

private:
    SessionMeterLink link_;
    CommandRunner runner_;
};

} // namespace zr::ctl
