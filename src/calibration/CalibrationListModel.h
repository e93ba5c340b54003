#pragma once

#include "common/RowModel.h"
#include "device/protocol/CalibrationSlot.h"

#include <QString>
#include <array>
#include <optional>

namespace zr::calibration {

// One row of the meter's calibration list: the entry the meter last reported for the row's slot,
// and what the user typed over its cells, which changes only what the screen shows.
struct CalibrationListRow {
    static constexpr int kColumns = 4;

    std::optional<protocol::CalibrationSlot> entry;
    std::array<std::optional<QString>, kColumns> typed{};
};

// The grid StringGrid1 over the rows of the calibration list: row n holds slot n ("№",
// "Наименование", "К1", "К2"); four rows to spare stay empty unless typed into.
class CalibrationListModel : public common::RowModel<CalibrationListRow> {
public:
    static constexpr int kRows = 8;

    explicit CalibrationListModel(QObject* parent = nullptr);

protected:
    QString cellText(const CalibrationListRow& row, int column) const override;
    bool typeIn(CalibrationListRow& row, int column, const QString& text) const override;
};

} // namespace zr::calibration
