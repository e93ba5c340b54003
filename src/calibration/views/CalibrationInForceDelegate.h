#pragma once

#include <QStyledItemDelegate>
#include <functional>

namespace zr::calibration {

// Draws the cells of the calibration list's first column and marks the calibration in force:
// its cell filled with pure red and its slot number written over it in bold, also on a row the
// meter has not filled.
class CalibrationInForceDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // `rowInForce` gives the grid row to mark (1 = first body row), 0 for none.
    explicit CalibrationInForceDelegate(std::function<int()> rowInForce, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    std::function<int()> rowInForce_;
};

} // namespace zr::calibration
