#include "common/OneShotTimer.h"
#include "support/WaitUntil.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using zr::common::OneShotTimer;
using zr::common::TimerDriver;

namespace {

// A countdown the test runs out by hand.
class ManualDriver : public TimerDriver {
public:
    void start(int intervalMs) override {
        active = true;
        lastInterval = intervalMs;
        ++starts;
    }
    void stop() override { active = false; }
    bool isActive() const override { return active; }
    // The interval has passed.
    void runOut() {
        if (active && onTimeout) {
            onTimeout();
        }
    }

    bool active = false;
    int lastInterval = 0;
    int starts = 0;
};

struct Rig {
    ManualDriver* driver = new ManualDriver;
    OneShotTimer timer{1000, nullptr, std::unique_ptr<TimerDriver>(driver)};
    int fired = 0;
    Rig() {
        QObject::connect(&timer, &OneShotTimer::expired, [this] { ++fired; });
    }
};

} // namespace

TEST(OneShotTimer, FiresOnceAndDisablesItself) {
    Rig r;
    EXPECT_FALSE(r.timer.isEnabled());
    r.timer.enable();
    EXPECT_TRUE(r.timer.isEnabled());
    EXPECT_EQ(r.driver->lastInterval, 1000);
    r.driver->runOut();
    EXPECT_EQ(r.fired, 1);
    EXPECT_FALSE(r.timer.isEnabled());
    r.driver->runOut();
    EXPECT_EQ(r.fired, 1);
}

TEST(OneShotTimer, EnablingWhileEnabledDoesNotRestartTheInterval) {
    Rig r;
    r.timer.enable();
    r.timer.enable();
    EXPECT_EQ(r.driver->starts, 1);
    r.driver->runOut();
    EXPECT_EQ(r.fired, 1);
    r.timer.enable(); // after the expiry a new round starts
    EXPECT_EQ(r.driver->starts, 2);
}

TEST(OneShotTimer, EnablingFromItsOwnHandlerDoesNotStartAnotherRound) {
    Rig r;
    QObject::connect(&r.timer, &OneShotTimer::expired, [&] {
        EXPECT_TRUE(r.timer.isEnabled()) << "enabled while its handler runs";
        r.timer.enable();
    });
    r.timer.enable();
    r.driver->runOut();
    EXPECT_EQ(r.fired, 1);
    EXPECT_EQ(r.driver->starts, 1);
    EXPECT_FALSE(r.timer.isEnabled());
}

TEST(OneShotTimer, DisablingCancelsTheExpiry) {
    Rig r;
    r.timer.enable();
    r.timer.disable();
    r.driver->runOut();
    EXPECT_EQ(r.fired, 0);
}

TEST(OneShotTimer, QtsTimerDrivesItOnTheEventLoop) {
    OneShotTimer timer(10);
    QSignalSpy expiries(&timer, &OneShotTimer::expired);
    timer.enable();
    EXPECT_EQ(expiries.count(), 0) << "only from the event loop";
    WAIT_UNTIL_EQ(expiries.count(), 1, 10000);
    EXPECT_FALSE(timer.isEnabled());
}
