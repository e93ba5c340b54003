#pragma once

#include <QTest>
#include <gtest/gtest.h>

// Waits, processing events, until a condition holds, and fails the gtest test when it never
// does. (Qt's QTRY_* macros report only to a QTest run, so under gtest a timeout goes unseen.)
#define WAIT_UNTIL(condition, timeoutMs)                                                           \
    ASSERT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(condition); }, timeoutMs))          \
        << "never became true: " #condition

// The same for an equality, showing both values when it never holds.
#define WAIT_UNTIL_EQ(actual, expected, timeoutMs)                                                 \
    do {                                                                                           \
        static_cast<void>(QTest::qWaitFor([&] { return (actual) == (expected); }, timeoutMs));     \
        ASSERT_EQ(actual, expected);                                                               \
    } while (false)
