#include "records/StoredValuesModel.h"

#include "common/NumberFormat.h"
#include "device/protocol/MemoryMap.h"
#include "records/MeasurementRow.h"

namespace zr::records {

QString storedValueCellText(const StoredValueRow& row, int column, const QLocale& locale) {
    if (!row) {
        return {};
    }
    switch (column) {
    case 0:
        return QString::number(row->recordNumber);
    case 1:
        return methodText(row->method);
    case 2:
        return common::formatGeneral(static_cast<double>(row->value), locale);
    case 3:
        return common::formatGeneral(static_cast<double>(row->second), locale);
    default:
        return {};
    }
}

StoredValuesModel::StoredValuesModel(QObject* parent) : RowModel(kColumns, parent) {
    setHeaders(
        {QStringLiteral("№"), QStringLiteral("Метод"), QStringLiteral("Значение"), QString()});
    setRowCount(protocol::memory::kMaxStoredValues);
}

QString StoredValuesModel::cellText(const StoredValueRow& row, int column) const {
    return storedValueCellText(row, column);
}

} // namespace zr::records
