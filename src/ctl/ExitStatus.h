#pragma once

namespace zr::ctl {

// What zr6040ctl's exit status tells a script; the manual page lists them.
enum ExitStatus : int {
    kDone = 0,
    kError = 1,
    kUsage = 2,
    kNoMeter = 3,
    kMeterLost = 4,
    kMeterNotAccessible = 5,
    kNoReply = 6,
};

} // namespace zr::ctl
