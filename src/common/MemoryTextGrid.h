#pragma once

#include "common/TextGrid.h"

#include <vector>

namespace zr::common {

// A TextGrid held in memory: for logic without a screen, tests and benchmarks.
class MemoryTextGrid : public TextGrid {
public:
    MemoryTextGrid(int columns, int rowsWithHeader)
        : columns_(columns),
          cells_(static_cast<std::size_t>(rowsWithHeader > 0 ? rowsWithHeader : 1),
                 std::vector<QString>(static_cast<std::size_t>(columns))) {}

    int colCount() const override { return columns_; }
    int rowCountWithHeader() const override { return static_cast<int>(cells_.size()); }
    void setRowCountWithHeader(int rows) override {
        cells_.resize(static_cast<std::size_t>(rows > 0 ? rows : 1),
                      std::vector<QString>(static_cast<std::size_t>(columns_)));
        if (current_ >= rowCountWithHeader()) {
            current_ = rowCountWithHeader() - 1;
        }
    }
    QString cell(int column, int row) const override {
        return inside(column, row) ? cells_[index(row)][index(column)] : QString();
    }
    void setCell(int column, int row, const QString& text) override {
        if (inside(column, row)) {
            cells_[index(row)][index(column)] = text;
        }
    }
    void removeRow(int row) override {
        if (row >= 1 && row < rowCountWithHeader()) {
            cells_.erase(cells_.begin() + row);
            if (current_ >= rowCountWithHeader()) {
                current_ = rowCountWithHeader() - 1;
            }
        }
    }
    int currentGridRow() const override { return current_; }
    void setCurrentGridRow(int row) override {
        if (row >= 1 && row < rowCountWithHeader()) {
            current_ = row;
        }
    }
    void redraw() override { ++redraws; }

    int redraws = 0;

private:
    static std::size_t index(int i) { return static_cast<std::size_t>(i); }
    bool inside(int column, int row) const {
        return column >= 0 && column < columns_ && row >= 0 && row < rowCountWithHeader();
    }

    int columns_;
    std::vector<std::vector<QString>> cells_;
    int current_ = 0;
};

} // namespace zr::common
