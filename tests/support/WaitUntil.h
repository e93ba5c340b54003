#pragma once

// The waits of the gtest tests: on a condition, never on the clock. (Qt's QTRY_* macros report
// only to a QTest run, so under gtest a timeout goes unseen; the structure test refuses them.)

#include "support/WaitFor.h"

#include <gtest/gtest.h>

// Waits, processing events, until a condition holds, and fails the gtest test when it never
// does.
#define WAIT_UNTIL(condition, timeoutMs)                                                           \
    ASSERT_TRUE(::zr::test::waitFor([&] { return static_cast<bool>(condition); }, timeoutMs))      \
        << "never became true: " #condition

// The same for an equality, showing both values when it never holds.
#define WAIT_UNTIL_EQ(actual, expected, timeoutMs)                                                 \
    do {                                                                                           \
        static_cast<void>(::zr::test::waitFor([&] { return (actual) == (expected); }, timeoutMs)); \
        ASSERT_EQ(actual, expected);                                                               \
    } while (false)

// Waits until every event posted so far has been processed.
#define WAIT_PAST_POSTED_EVENTS() ASSERT_TRUE(::zr::test::passPostedEvents())
