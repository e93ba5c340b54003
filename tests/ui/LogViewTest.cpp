#include "ui/LogView.h"
#include "ui/LineStore.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <string>

using zr::ui::LineStore;
using zr::ui::LogView;

TEST(LineStore, KeepsEveryLineExactlyAndCostsLittleMoreThanItsText) {
    LineStore store;
    const std::string longLine(3 << 20, 'x'); // larger than a block
    store.append("first");
    store.append("");
    store.append(longLine);
    for (int i = 0; i < 20000; ++i) {
        store.append("55 148 17 01 " + std::to_string(i));
    }
    ASSERT_EQ(store.size(), 20003U);
    EXPECT_EQ(store.line(0), "first");
    EXPECT_EQ(store.line(1), "");
    EXPECT_EQ(store.line(2), longLine);
    EXPECT_EQ(store.line(20002), "55 148 17 01 19999");
    EXPECT_EQ(store.line(99999), "");
    // Text plus a small fixed cost per line and at most one partly used block.
    EXPECT_LT(store.memoryBytes(), store.textBytes() + 20003 * 24 + (1 << 20) + 4096);
}

namespace {
// Adds `count` lines named `prefix` and their number.
void appendLines(LogView& view, const std::string& prefix, int count) {
    for (int i = 0; i < count; ++i) {
        view.appendLine(prefix + std::to_string(i));
    }
}
} // namespace

TEST(LogView, FollowsTheEndOnlyWhileScrolledThere) {
    LogView view;
    view.resize(300, 100);
    view.show();
    appendLines(view, "line ", 100);
    QScrollBar* bar = view.verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());
    bar->setValue(10);
    view.appendLine(std::string("more"));
    EXPECT_EQ(bar->value(), 10);
    EXPECT_EQ(view.lineCount(), 101U);
    EXPECT_EQ(view.line(100), QStringLiteral("more"));
}

// The traffic log's page is hidden most of the time: lines added meanwhile come into view when it
// is shown again, at the end if it followed the end before.
TEST(LogView, LinesAddedWhileHiddenAreTakenInWhenShown) {
    for (const bool scrolledUp : {false, true}) {
        LogView view;
        view.resize(300, 100);
        view.show();
        appendLines(view, "line ", 100);
        QScrollBar* bar = view.verticalScrollBar();
        bar->setValue(scrolledUp ? 10 : bar->maximum());
        view.hide();
        appendLines(view, "hidden ", 50);
        view.show();
        EXPECT_EQ(bar->maximum(), 149) << scrolledUp;
        EXPECT_EQ(bar->value(), scrolledUp ? 10 : 149);
    }
}

TEST(LogView, SelectAllCopiesEveryLine) {
    LogView view;
    EXPECT_EQ(view.selectedText(), QString());
    view.appendLine(QStringLiteral("WR 41  00 67 9B "));
    view.appendLine(QStringLiteral("55 148 17 "));
    view.selectAll();
    view.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("WR 41  00 67 9B \n55 148 17 "));
}

namespace {

// A shown log of three short lines and one that wraps, painted so that it knows its layout.
struct ShownLog {
    ShownLog() {
        view.resize(300, 200);
        view.appendLine(QStringLiteral("ABCDEFGHIJ"));
        view.appendLine(QStringLiteral("0123456789"));
        view.appendLine(QStringLiteral("abcdefghij"));
        view.appendLine(QString(120, QLatin1Char('w')) + QStringLiteral("XYZ"));
        view.show();
        view.grab();
    }
    // The gap before `column` of line `index`, as a point between two characters.
    QPoint gap(std::size_t index, int column) {
        const QRect cell = view.characterRect(index, column);
        EXPECT_FALSE(cell.isEmpty()) << index << ":" << column;
        return QPoint(cell.left() + 1, cell.center().y());
    }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(view.viewport(), to);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, to);
    }
    LogView view;
};

} // namespace

TEST(LogView, TheMouseSelectsAnySpanOfCharactersAndCopyTakesExactlyThat) {
    ShownLog log;
    // Within one line.
    log.drag(log.gap(1, 2), log.gap(1, 6));
    EXPECT_EQ(log.view.selectedText(), QStringLiteral("2345"));
    // Across lines, from the middle of one to the middle of another, and backwards.
    log.drag(log.gap(0, 3), log.gap(2, 5));
    EXPECT_EQ(log.view.selectedText(), QStringLiteral("DEFGHIJ\n0123456789\nabcde"));
    log.drag(log.gap(2, 5), log.gap(0, 3));
    EXPECT_EQ(log.view.selectedText(), QStringLiteral("DEFGHIJ\n0123456789\nabcde"));
    QTest::keyClick(&log.view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("DEFGHIJ\n0123456789\nabcde"));
    // Into the second row of a wrapped line.
    log.drag(log.gap(2, 8), log.gap(3, 121));
    EXPECT_EQ(log.view.selectedText(),
              QStringLiteral("ij\n") + QString(120, QLatin1Char('w')) + QStringLiteral("X"));
    // A click without a drag selects nothing and leaves the clipboard alone.
    log.drag(log.gap(1, 4), log.gap(1, 4));
    EXPECT_EQ(log.view.selectedText(), QString());
    log.view.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("DEFGHIJ\n0123456789\nabcde"));
}

TEST(LogView, TypingNeverChangesTheLog) {
    ShownLog log;
    log.drag(log.gap(0, 0), log.gap(0, 4));
    QTest::keyClicks(&log.view, QStringLiteral("xyz"));
    QTest::keyClick(&log.view, Qt::Key_Backspace);
    QTest::keyClick(&log.view, Qt::Key_Delete);
    QTest::keyClick(&log.view, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(log.view.lineCount(), 4U);
    EXPECT_EQ(log.view.line(0), QStringLiteral("ABCDEFGHIJ"));
    EXPECT_EQ(log.view.selectedText(), QStringLiteral("ABCD"));
}
