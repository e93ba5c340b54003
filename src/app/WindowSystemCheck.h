#pragma once

namespace zr::app {

// Held while the application object is built, which opens the window system. Where there is
// none (an SSH session, a service), Qt would abort the program with its own lines and status 134;
// instead the user is told in one line that a graphical session is needed and that zr6040ctl
// serves without one, and the program exits with status 1. Qt's messages from that time are
// passed on once the window system is open.
class WindowSystemCheck {
public:
    WindowSystemCheck();
    ~WindowSystemCheck();
    WindowSystemCheck(const WindowSystemCheck&) = delete;
    WindowSystemCheck& operator=(const WindowSystemCheck&) = delete;
};

// The exit status of a program started without a window system.
inline constexpr int kNoWindowSystemExitCode = 1;

} // namespace zr::app
