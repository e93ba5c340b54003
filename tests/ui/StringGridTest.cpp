#include "ui/StringGrid.h"

#include "common/RowModel.h"
#include "support/WaitUntil.h"

#include <QPaintEvent>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using zr::ui::StringGrid;

namespace {

// Rows that are their cells' texts, typed in as they stand.
class TextRows : public zr::common::RowModel<QStringList> {
public:
    TextRows(int columns, int rows) : RowModel(columns) { setRowCount(rows); }

protected:
    QString cellText(const QStringList& row, int column) const override {
        return row.value(column);
    }
    bool typeIn(QStringList& row, int column, const QString& text) const override {
        while (row.size() <= column) {
            row << QString();
        }
        row[column] = text;
        return true;
    }
};

} // namespace

TEST(StringGrid, RowZeroIsTheHeaderAndBodyRowsFollow) {
    TextRows rows(3, 3);
    StringGrid grid(rows);
    EXPECT_EQ(grid.rowCountWithHeader(), 4);
    grid.setCell(1, 0, QStringLiteral("Header"));
    grid.setCell(1, 3, QStringLiteral("last"));
    grid.setCell(1, 4, QStringLiteral("outside"));
    grid.setCell(5, 1, QStringLiteral("outside"));
    EXPECT_EQ(grid.cell(1, 0), QStringLiteral("Header"));
    EXPECT_EQ(grid.cell(1, 3), QStringLiteral("last"));
    EXPECT_EQ(grid.cell(1, 4), QString());
    EXPECT_EQ(grid.cell(0, 2), QString());

    grid.setRowCountWithHeader(2);
    EXPECT_EQ(grid.cell(1, 0), QStringLiteral("Header"));
    EXPECT_EQ(grid.cell(1, 3), QString());

    EXPECT_EQ(grid.currentGridRow(), 0);
    grid.setCurrentGridRow(1);
    EXPECT_EQ(grid.currentGridRow(), 1);
}

namespace {

// Collects what the grid's viewport repaints.
struct PaintRecorder : QObject {
    QRegion painted;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
        }
        return QObject::eventFilter(watched, event);
    }
};

// A shown grid of 20-pixel rows whose viewport holds about eight of them.
struct ShownGrid {
    TextRows rows{2, 0};
    StringGrid grid{rows};
    PaintRecorder recorder;
    explicit ShownGrid(int bodyRows) {
        grid.setRowHeight(20);
        grid.resize(200, 200);
        grid.setRowCountWithHeader(bodyRows + 1);
        grid.viewport()->installEventFilter(&recorder);
        grid.show();
        static_cast<void>(QTest::qWaitForWindowActive(&grid));
        // Activation and late exposes repaint everything; start from a grid that has gone quiet:
        // two passes over everything posted in a row that paint nothing.
        for (int round = 0, quiet = 0; round < 100 && quiet < 2; ++round) {
            recorder.painted = {};
            static_cast<void>(zr::test::passPostedEvents());
            quiet = recorder.painted.isEmpty() ? quiet + 1 : 0;
        }
    }
    QRect bodyRow(int row) const { return grid.visualRect(grid.model()->index(row - 1, 0)); }
};

} // namespace

TEST(StringGrid, AnAppendedRowIsPaintedWithoutRepaintingTheRowsAboveIt) {
    ShownGrid shown(2);
    shown.grid.setRowCountWithHeader(4);
    shown.grid.setCell(0, 3, QStringLiteral("new"));
    WAIT_UNTIL(shown.recorder.painted.contains(shown.bodyRow(3).center()), 5000);
    EXPECT_FALSE(shown.recorder.painted.intersects(shown.bodyRow(1)));

    // Taking a row out moves the rows below it: the whole viewport is painted again.
    shown.recorder.painted = {};
    shown.grid.removeRow(1);
    WAIT_UNTIL(shown.recorder.painted.contains(shown.bodyRow(1).center()), 5000);

    // So does a row put in above others.
    shown.recorder.painted = {};
    shown.grid.model()->insertRow(0);
    WAIT_UNTIL(shown.recorder.painted.contains(shown.bodyRow(2).center()), 5000);
}

TEST(StringGrid, RowsAppendedBelowTheViewportOnlyLengthenTheScrollRange) {
    ShownGrid shown(50);
    const int maximum = shown.grid.verticalScrollBar()->maximum();
    ASSERT_GT(maximum, 0);
    shown.grid.setRowCountWithHeader(53);
    WAIT_UNTIL_EQ(shown.grid.verticalScrollBar()->maximum(), maximum + 2, 5000);
    QCoreApplication::processEvents();
    EXPECT_FALSE(shown.recorder.painted.intersects(shown.bodyRow(1)));

    // Scrolled to the end, a written row is painted where it appears.
    shown.grid.scrollToBottom();
    QCoreApplication::processEvents();
    shown.recorder.painted = {};
    shown.grid.setRowCountWithHeader(54);
    shown.grid.setCell(1, 53, QStringLiteral("last"));
    shown.grid.scrollToBottom();
    WAIT_UNTIL(shown.recorder.painted.contains(shown.bodyRow(53).center()), 5000);
}
