#include "app/ConnectionTexts.h"
#include "support/CLocaleMessages.h"

#include <cerrno>
#include <gtest/gtest.h>

TEST(ConnectionTexts, TheNotAccessibleMessageNamesTheReadmeSectionAndTheReason) {
    zr::test::CLocaleMessages english;
    const QString text = zr::app::meterNotAccessibleText(
        {zr::connection::MeterAccessFailure::Cause::NoPermission, EACCES});
    EXPECT_TRUE(text.contains(QStringLiteral("«Using it with a real meter»")));
    EXPECT_TRUE(text.contains(QStringLiteral("udev")));
    EXPECT_TRUE(text.contains(QStringLiteral(": Permission denied (D).\n")));
}
