#pragma once

#include <QString>
#include <array>

namespace zr::records {

// Header texts of the measurement table; the export and the print report use the same texts.
inline std::array<QString, 7> measurementTableHeaders() {
    return {QString(),
            QStringLiteral("Марка бензина"),
            QStringLiteral("Резервуар"),
            QStringLiteral("Поставщик"),
            QStringLiteral("Метод изм."),
            QStringLiteral("ОЧ"),
            QStringLiteral("Дата/Время")};
}

} // namespace zr::records
