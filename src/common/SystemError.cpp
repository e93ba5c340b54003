#include "common/SystemError.h"

#include <cstring>

namespace zr::common {

QString systemErrorText(int error) {
    // strerror follows LC_MESSAGES, which Qt sets from the environment at start-up.
    return QString::fromLocal8Bit(std::strerror(error));
}

QString notRegularFileText() {
    return QStringLiteral("это не обычный файл");
}

QString outOfMemoryText() {
    return QStringLiteral("не хватает памяти, чтобы прочитать файл");
}

} // namespace zr::common
