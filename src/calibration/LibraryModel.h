#pragma once

#include "calibration/LibraryFile.h"
#include "common/RowModel.h"

namespace zr::calibration {

// One row of the library window's grid: entry `number` of the library, or nothing while
// `number` is 0.
struct LibraryRow {
    static constexpr int kColumns = 6;

    int number = 0;
    LibraryRecord record;
};

// The library window's grid StringGrid1 over its rows: "№", "Наименование в приборе", "Метод",
// "К1", "К2", "Комментарий ". It has room for the first 99 entries.
class LibraryModel : public common::RowModel<LibraryRow> {
public:
    static constexpr int kRows = 99;

    explicit LibraryModel(QObject* parent = nullptr);

    void showHeaders();

protected:
    QString cellText(const LibraryRow& row, int column) const override;
};

} // namespace zr::calibration
