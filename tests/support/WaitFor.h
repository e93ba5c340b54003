#pragma once

// Waits on a condition, never on the clock, where no gtest assertion can stand (helpers that
// return a value, the kernel probes); gtest tests use the macros of WaitUntil.h.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMetaObject>
#include <QThread>

#include <memory>

namespace zr::test {

// Processes events until pred() holds or timeoutMs passed; returns pred().
template <typename Predicate> bool waitFor(Predicate&& pred, int timeoutMs = 5000) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!pred()) {
        if (deadline.hasExpired()) {
            return pred();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Other threads change what pred() reads without posting anything.
        QThread::usleep(500);
    }
    return true;
}

// Waits without processing events, so that nothing reaches the main thread meanwhile, until pred()
// holds or timeoutMs passed; returns pred(). For what other threads do while the main thread is
// busy.
template <typename Predicate> bool holdsWithoutEvents(Predicate&& pred, int timeoutMs = 10000) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!pred() && !deadline.hasExpired()) {
        QThread::usleep(500);
    }
    return pred();
}

// Processes every event posted to the main thread before the call: a call posted now runs after
// them. Shows that something a posted event would have done did not happen.
inline bool passPostedEvents(int timeoutMs = 5000) {
    const auto passed = std::make_shared<bool>(false);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [passed] { *passed = true; }, Qt::QueuedConnection);
    return waitFor([&passed] { return *passed; }, timeoutMs);
}

} // namespace zr::test
