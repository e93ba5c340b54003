// Times programs from process start until their first top-level window is mapped on the X
// display, run after run, alternating the programs so that a drift of the machine's speed
// touches both alike. Prints each program's median, minimum and maximum in seconds and the
// median of the run-by-run ratios of the first program to the second.
//
//   bench_time_to_mapped [--runs N] -- PROGRAM [ARG...] [-- PROGRAM [ARG...]]
#include <X11/Xlib.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Waits for the next MapNotify of a top-level, non-override-redirect window; -1 on timeout.
double waitForMap(Display* display, double deadline) {
    const int fd = ConnectionNumber(display);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect) {
                return now();
            }
        }
        const double left = deadline - now();
        if (left <= 0) {
            return -1;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval tv{static_cast<time_t>(left),
                   static_cast<suseconds_t>((left - static_cast<long>(left)) * 1e6)};
        select(fd + 1, &readable, nullptr, nullptr, &tv);
    }
}

void drain(Display* display) {
    XSync(display, False);
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
    }
}

double timeOneRun(Display* display, const std::vector<char*>& argv) {
    drain(display);
    const double start = now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[0], argv.data());
        std::perror(argv[0]);
        _exit(127);
    }
    const double mapped = waitForMap(display, start + 30.0);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return mapped < 0 ? -1 : mapped - start;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 15;
    std::vector<std::vector<char*>> programs;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--") == 0) {
            programs.emplace_back();
        } else if (!programs.empty()) {
            programs.back().push_back(argv[i]);
        }
    }
    std::erase_if(programs, [](const auto& p) { return p.empty(); });
    if (programs.empty() || programs.size() > 2) {
        std::fprintf(stderr, "usage: %s [--runs N] -- PROGRAM [ARG...] [-- PROGRAM [ARG...]]\n",
                     argv[0]);
        return 2;
    }
    for (auto& p : programs) {
        p.push_back(nullptr);
    }

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open the X display\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);

    // One warm-up run each fills the page cache and the font cache.
    for (const auto& p : programs) {
        timeOneRun(display, p);
    }
    std::vector<std::vector<double>> times(programs.size());
    std::vector<double> ratios;
    for (int r = 0; r < runs; ++r) {
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const double t = timeOneRun(display, programs[i]);
            if (t < 0) {
                std::fprintf(stderr, "%s: no window mapped within 30 s\n", programs[i][0]);
                return 1;
            }
            times[i].push_back(t);
        }
        if (programs.size() == 2) {
            ratios.push_back(times[0].back() / times[1].back());
        }
    }
    for (std::size_t i = 0; i < programs.size(); ++i) {
        const auto [lo, hi] = std::minmax_element(times[i].begin(), times[i].end());
        std::printf("%-40s median %.3f s  min %.3f s  max %.3f s  (%d runs)\n", programs[i][0],
                    median(times[i]), *lo, *hi, runs);
    }
    if (!ratios.empty()) {
        std::printf("ratio first/second: median %.2f\n", median(ratios));
    }
    XCloseDisplay(display);
    return 0;
}
