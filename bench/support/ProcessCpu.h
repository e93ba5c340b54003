#pragma once

// CPU time of the whole process (every thread, user and system), for counters that say what one
// item costs however many threads carried it.

#include <sys/resource.h>

namespace zr::bench {

inline double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace zr::bench
