#include "common/OneShotTimer.h"

namespace zr::common {

namespace {
class QtTimerDriver final : public TimerDriver {
public:
    QtTimerDriver() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (onTimeout) {
                onTimeout();
            }
        });
    }
    void start(int intervalMs) override { timer_.start(intervalMs); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};
} // namespace

OneShotTimer::OneShotTimer(int intervalMs, QObject* parent, std::unique_ptr<TimerDriver> driver)
    : QObject(parent), interval_(intervalMs),
      driver_(driver ? std::move(driver) : std::make_unique<QtTimerDriver>()) {
    // Not single-shot: the timer is "enabled" for the whole run of its handler and disabled
    // after it, so an enable() issued by the handler itself does not start another round.
    driver_->onTimeout = [this] {
        emit expired();
        driver_->stop();
    };
}

OneShotTimer::~OneShotTimer() = default;

void OneShotTimer::enable() {
    if (!driver_->isActive()) {
        driver_->start(interval_);
    }
}

void OneShotTimer::disable() {
    driver_->stop();
}

bool OneShotTimer::isEnabled() const {
    return driver_->isActive();
}

int OneShotTimer::interval() const {
    return interval_;
}

} // namespace zr::common
