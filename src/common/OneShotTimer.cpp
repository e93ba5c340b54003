#include "common/OneShotTimer.h"

namespace zr::common {

OneShotTimer::OneShotTimer(int intervalMs, QObject* parent) : QObject(parent) {
    timer_.setInterval(intervalMs);
    // Not single-shot: the timer is "enabled" for the whole run of its handler and disabled
    // after it, so an enable() issued by the handler itself does not start another round.
    connect(&timer_, &QTimer::timeout, this, [this] {
        emit expired();
        timer_.stop();
    });
}

void OneShotTimer::enable() {
    if (!timer_.isActive()) {
        timer_.start();
    }
}

void OneShotTimer::disable() {
    timer_.stop();
}

bool OneShotTimer::isEnabled() const {
    return timer_.isActive();
}

int OneShotTimer::interval() const {
    return timer_.interval();
}

} // namespace zr::common
