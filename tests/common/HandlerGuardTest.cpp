#include "common/HandlerGuard.h"
#include "common/AppError.h"
#include "support/FakeMessageService.h"

#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

using zr::common::errorBoxText;

TEST(ErrorBoxText, APeriodIsAddedOnlyAfterCharactersSortingAfterThePeriod) {
    EXPECT_EQ(errorBoxText(QStringLiteral("abc")), QStringLiteral("abc."));
    EXPECT_EQ(errorBoxText(QStringLiteral("value 5")), QStringLiteral("value 5."));
    EXPECT_EQ(errorBoxText(QStringLiteral("Ошибка")), QStringLiteral("Ошибка."));
    EXPECT_EQ(errorBoxText(QStringLiteral("done.")), QStringLiteral("done."));
    EXPECT_EQ(errorBoxText(QStringLiteral("stop!")), QStringLiteral("stop!"));
    EXPECT_EQ(errorBoxText(QStringLiteral("(x)")), QStringLiteral("(x)"));
    EXPECT_EQ(errorBoxText(QStringLiteral("a/")), QStringLiteral("a/."));
    EXPECT_EQ(errorBoxText(QString()), QString());
}

TEST(HandlerGuard, AnErrorEndsTheHandlerAndIsShownOnce) {
    zr::test::FakeMessageService messages;
    zr::common::HandlerGuard guard(messages);
    bool after = false;
    guard.run([&] {
        throw zr::common::AppError(QStringLiteral("'abc' is not a valid integer value"));
        after = true;
    });
    EXPECT_FALSE(after);
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_EQ(messages.errors.front(), QStringLiteral("'abc' is not a valid integer value."));

    guard.run([] { throw std::runtime_error("plain failure"); });
    EXPECT_EQ(messages.errors.back(), QStringLiteral("plain failure."));

    guard.run([] { throw std::bad_alloc(); });
    EXPECT_EQ(messages.errors.back(), QStringLiteral("Не хватает памяти для этого действия."));

    guard.run([] {});
    EXPECT_EQ(messages.errors.size(), 3);
}
