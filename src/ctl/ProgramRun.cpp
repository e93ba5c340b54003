#include "ctl/ProgramRun.h"

namespace zr::ctl {

ProgramRun::ProgramRun(const Invocation& invocation, hid::HidPlatform& platform,
                       const QString& dataDir, CommandRunner::Io io)
    : link_(platform, invocation.devicePath, invocation.serial, dataDir),
      runner_(invocation, link_, std::move(io)) {}

} // namespace zr::ctl
