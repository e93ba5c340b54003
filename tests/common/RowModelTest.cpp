#include "common/RowModel.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

// A row of one number shown as its decimal text, typed in only as digits.
struct Count {
    int value = 0;
};

class CountModel : public zr::common::RowModel<Count> {
public:
    CountModel() : RowModel(2) {}

protected:
    QString cellText(const Count& row, int column) const override {
        return column == 0 ? QString::number(row.value) : QStringLiteral("x");
    }
    bool typeIn(Count& row, int column, const QString& text) const override {
        bool number = false;
        const int value = text.toInt(&number);
        if (column != 0 || !number) {
            return false;
        }
        row.value = value;
        return true;
    }
};

TEST(RowModel, ViewsSeeTheRowsAsTheirTextsAndTypingReachesTheRows) {
    CountModel model;
    model.appendRow({7});
    model.insertRowAt(0, {3});
    model.setRowCount(3);
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("3"));
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), QStringLiteral("7"));
    EXPECT_EQ(model.data(model.index(2, 0)).toString(), QStringLiteral("0"));
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), QStringLiteral("x"));

    EXPECT_TRUE(model.setData(model.index(2, 0), QStringLiteral("12")));
    EXPECT_EQ(model.row(2).value, 12);
    // What the row cannot take leaves it as it was.
    EXPECT_FALSE(model.setData(model.index(2, 0), QStringLiteral("twelve")));
    EXPECT_FALSE(model.setData(model.index(2, 1), QStringLiteral("5")));
    EXPECT_EQ(model.row(2).value, 12);

    model.removeRowAt(0);
    model.setRowCount(1);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.row(0).value, 7);
}

TEST(RowModel, ViewsAreToldOfEveryChangeOfARow) {
    CountModel model;
    model.setRowCount(2);
    QSignalSpy changed(&model, &CountModel::dataChanged);
    QSignalSpy inserted(&model, &CountModel::rowsInserted);
    QSignalSpy removed(&model, &CountModel::rowsRemoved);

    model.setRow(1, {4});
    model.appendRow({5});
    model.removeRowAt(0);

    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toModelIndex(), model.index(1, 0));
    EXPECT_EQ(changed.at(0).at(1).toModelIndex(), model.index(1, 1));
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 2);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.at(0).at(1).toInt(), 0);
}

} // namespace
