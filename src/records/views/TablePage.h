#pragma once

#include <QWidget>

class QComboBox;
class QHeaderView;
class QStandardItemModel;

namespace zr::ui {
class StringGrid;
}

namespace zr::records {

// The page "Таблица": the four selection lists, the header strip used as a button row and the
// measurement table.
class TablePage : public QWidget {
    Q_OBJECT
public:
    explicit TablePage(QWidget* parent = nullptr);

    QComboBox* comboBox(int index) const; // 1..4
    QHeaderView* headerControl() const { return header_; }
    ui::StringGrid* grid() const { return grid_; }

signals:
    void sectionClicked(int section);

private:
    QComboBox* combos_[4] = {};
    QHeaderView* header_;
    QStandardItemModel* headerModel_;
    ui::StringGrid* grid_;
};

} // namespace zr::records
