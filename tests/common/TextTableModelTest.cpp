#include "common/TextTableModel.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using zr::common::TextTableModel;

TEST(TextTableModel, GridRowZeroIsTheHeaderAndTheBodyIsTheModelsRows) {
    TextTableModel table(2, 3);
    table.setCell(0, 0, QStringLiteral("№"));
    table.setCell(1, 2, QStringLiteral("92,3"));
    EXPECT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.headerData(0, Qt::Horizontal).toString(), QStringLiteral("№"));
    EXPECT_EQ(table.data(table.index(1, 1)).toString(), QStringLiteral("92,3"));

    // What a view's editor writes is what the logic reads.
    EXPECT_TRUE(table.setData(table.index(0, 0), QStringLiteral("typed")));
    EXPECT_EQ(table.cell(0, 1), QStringLiteral("typed"));

    // Growing keeps the written texts; shrinking drops rows from the end.
    table.setRowCountWithHeader(5);
    EXPECT_EQ(table.cell(1, 2), QStringLiteral("92,3"));
    EXPECT_EQ(table.cell(1, 4), QString());
    table.setRowCountWithHeader(2);
    EXPECT_EQ(table.cell(0, 1), QStringLiteral("typed"));
    EXPECT_EQ(table.cell(1, 2), QString());
}

TEST(TextTableModel, TheCurrentRowIsTheSelectionsAndMovesWithRemovedRows) {
    TextTableModel table(1, 5);
    for (int r = 1; r <= 4; ++r) {
        table.setCell(0, r, QString::number(r));
    }
    EXPECT_EQ(table.currentGridRow(), 0);
    table.setCurrentGridRow(3);
    EXPECT_EQ(table.selection().currentIndex().row(), 2);

    // A row removed above the current one moves it up with its texts.
    table.removeRow(1);
    EXPECT_EQ(table.currentGridRow(), 2);
    EXPECT_EQ(table.cell(0, table.currentGridRow()), QStringLiteral("3"));

    // Outside the body nothing changes.
    table.setCurrentGridRow(9);
    EXPECT_EQ(table.currentGridRow(), 2);
}

TEST(TextTableModel, ViewsAreToldOfEveryChange) {
    TextTableModel table(2, 2);
    QSignalSpy cells(&table, &TextTableModel::dataChanged);
    QSignalSpy header(&table, &TextTableModel::headerDataChanged);
    QSignalSpy inserted(&table, &TextTableModel::rowsInserted);
    QSignalSpy removed(&table, &TextTableModel::rowsRemoved);
    QSignalSpy redraws(&table, &TextTableModel::redrawRequested);

    table.setCell(1, 1, QStringLiteral("x"));
    table.setCell(1, 0, QStringLiteral("К2"));
    table.setRowCountWithHeader(4);
    table.removeRow(2);
    table.redraw();

    ASSERT_EQ(cells.count(), 1);
    EXPECT_EQ(cells.at(0).at(0).toModelIndex(), table.index(0, 1));
    EXPECT_EQ(header.count(), 1);
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 1);
    EXPECT_EQ(inserted.at(0).at(2).toInt(), 2);
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(redraws.count(), 1);
}
