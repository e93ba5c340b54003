#pragma once

#include <QString>

namespace zr::connection {

// Display name of a method code 1..4; empty for any other code.
inline QString methodName(int method) {
    switch (method) {
    case 1:
        return QStringLiteral("Исследовательский метод");
    case 2:
        return QStringLiteral("Моторный метод");
    case 3:
        return QStringLiteral("Цетановое число");
    case 4:
        return QStringLiteral("AKI");
    default:
        return {};
    }
}

} // namespace zr::connection
