#include "common/SystemError.h"

#include <QRegularExpression>
#include <cerrno>
#include <gtest/gtest.h>

namespace zr::common {
namespace {

// The reasons a file operation meets stand inside the program's Russian messages: they read in
// Russian whatever language the system's own messages speak.
TEST(SystemError, TheReasonsOfFileOperationsAreInRussian) {
    const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    for (int error : {ENOENT, EACCES, EPERM, EROFS, ENOSPC, EISDIR, ENOTDIR, EIO, EMFILE, ENFILE,
                      EEXIST, EDQUOT, ENAMETOOLONG, ELOOP, EBUSY, EFBIG, ETXTBSY}) {
        const QString text = systemErrorText(error);
        EXPECT_FALSE(text.isEmpty()) << error;
        EXPECT_FALSE(text.contains(latin)) << error << ": " << text.toStdString();
    }
    // Any other reason keeps its number.
    EXPECT_TRUE(
        systemErrorText(EPROTO).startsWith(QStringLiteral("системная ошибка %1 (").arg(EPROTO)));
}

} // namespace
} // namespace zr::common
