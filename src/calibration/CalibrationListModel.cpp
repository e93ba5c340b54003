#include "calibration/CalibrationListModel.h"

#include "common/Cp1251.h"

namespace zr::calibration {

CalibrationListModel::CalibrationListModel(QObject* parent)
    : common::RowModel<CalibrationListRow>(CalibrationListRow::kColumns, parent) {
    setHeaders({QStringLiteral("№"), QStringLiteral("Наименование"), QStringLiteral("К1"),
                QStringLiteral("К2")});
    setRowCount(kRows);
}

QString CalibrationListModel::cellText(const CalibrationListRow& row, int column) const {
    if (const std::optional<QString>& typed = row.typed[static_cast<std::size_t>(column)]) {
        return *typed;
    }
    if (!row.entry) {
        return {};
    }
    switch (column) {
    case 0:
        return QString::number(row.entry->slot);
    case 1:
        return common::fromCp1251(row.entry->name);
    case 2:
        return QString::number(row.entry->k1);
    default:
        return QString::number(row.entry->k2);
    }
}

bool CalibrationListModel::typeIn(CalibrationListRow& row, int column, const QString& text) const {
    row.typed[static_cast<std::size_t>(column)] = text;
    return true;
}

} // namespace zr::calibration
