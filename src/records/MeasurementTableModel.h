#pragma once

#include "common/RowModel.h"
#include "records/MeasurementRow.h"

namespace zr::records {

// The measurement table's rows as the grid StringGrid3 shows them, in the user's locale. A text
// typed into a cell goes into the row's field when the cell then shows that very text (a number
// into Значение, a method's name into Метод), and is kept as typed otherwise.
class MeasurementTableModel : public common::RowModel<MeasurementRow> {
    Q_OBJECT
public:
    // The header row and the empty entry row, as the table starts.
    explicit MeasurementTableModel(QObject* parent = nullptr);

protected:
    QString cellText(const MeasurementRow& row, int column) const override;
    bool typeIn(MeasurementRow& row, int column, const QString& text) const override;
};

} // namespace zr::records
