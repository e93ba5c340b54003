#include "common/OneShotTimer.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

using zr::common::OneShotTimer;

TEST(OneShotTimer, FiresOnceAndDisablesItself) {
    OneShotTimer timer(20);
    int fired = 0;
    QObject::connect(&timer, &OneShotTimer::expired, [&] { ++fired; });
    timer.enable();
    EXPECT_TRUE(timer.isEnabled());
    QTest::qWait(120);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(timer.isEnabled());
}

TEST(OneShotTimer, EnablingWhileEnabledDoesNotRestartTheInterval) {
    OneShotTimer timer(150);
    QElapsedTimer clock;
    qint64 firedAt = -1;
    QObject::connect(&timer, &OneShotTimer::expired, [&] { firedAt = clock.elapsed(); });
    clock.start();
    timer.enable();
    QTest::qWait(100);
    timer.enable();
    QTRY_VERIFY_WITH_TIMEOUT(firedAt >= 0, 1000);
    EXPECT_LT(firedAt, 240); // a restart would have fired at about 250 ms
}

TEST(OneShotTimer, EnablingFromItsOwnHandlerDoesNotStartAnotherRound) {
    OneShotTimer timer(20);
    int fired = 0;
    QObject::connect(&timer, &OneShotTimer::expired, [&] {
        ++fired;
        timer.enable();
    });
    timer.enable();
    QTest::qWait(150);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(timer.isEnabled());
}
