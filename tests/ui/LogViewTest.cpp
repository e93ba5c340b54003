#include "ui/LogView.h"
#include "ui/LineStore.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
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

TEST(LogView, FollowsTheEndOnlyWhileScrolledThere) {
    LogView view;
    view.resize(300, 100);
    view.show();
    for (int i = 0; i < 100; ++i) {
        view.appendLine(std::string("line ") + std::to_string(i));
    }
    QScrollBar* bar = view.verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());
    bar->setValue(10);
    view.appendLine(std::string("more"));
    EXPECT_EQ(bar->value(), 10);
    EXPECT_EQ(view.lineCount(), 101U);
    EXPECT_EQ(view.line(100), QStringLiteral("more"));
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
