#pragma once

#include "common/RowModel.h"
#include "device/protocol/Replies.h"

#include <QLocale>
#include <optional>

namespace zr::records {

// One row of the stored-values grid: the record the meter sent for that slot, or none.
using StoredValueRow = std::optional<protocol::StoredValueRecord>;

// What the cell of `column` shows of `row`: the number, the method, both values in the general
// format with at most 15 significant digits of the single-precision values, in `locale`.
QString storedValueCellText(const StoredValueRow& row, int column,
                            const QLocale& locale = QLocale());

// The stored values as the grid StringGrid2 shows them: its header and one row per slot 1 to 10.
class StoredValuesModel : public common::RowModel<StoredValueRow> {
    Q_OBJECT
public:
    static constexpr int kColumns = 4;

    explicit StoredValuesModel(QObject* parent = nullptr);

protected:
    QString cellText(const StoredValueRow& row, int column) const override;
};

} // namespace zr::records
