#include "calibration/LibraryModel.h"

#include "calibration/Methods.h"
#include "device/connection/MethodNames.h"

namespace zr::calibration {

LibraryModel::LibraryModel(QObject* parent)
    : common::RowModel<LibraryRow>(LibraryRow::kColumns, parent) {
    setRowCount(kRows);
}

void LibraryModel::showHeaders() {
    setHeaders({QStringLiteral("№"), QStringLiteral("Наименование в приборе"),
                QStringLiteral("Метод"), QStringLiteral("К1"), QStringLiteral("К2"),
                QStringLiteral("Комментарий ")});
}

QString LibraryModel::cellText(const LibraryRow& row, int column) const {
    if (row.number == 0) {
        return {};
    }
    const LibraryRecord& record = row.record;
    switch (column) {
    case 0:
        return QString::number(row.number);
    case 1:
        return record.name();
    case 2:
        return isCalibratedMethod(record.method()) ? connection::methodName(record.method())
                                                   : QStringLiteral("error");
    case 3:
        return QString::number(record.k1());
    case 4:
        return QString::number(record.k2());
    default:
        return record.comment();
    }
}

} // namespace zr::calibration
