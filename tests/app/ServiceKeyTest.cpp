#include "support/ProgramHarness.h"
#include "ui/StringGrid.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using zr::test::ProgramHarness;

namespace {

// Types into the editor of an editable cell of the calibration grid, a real control of the
// running window.
class ServiceKeys : public ::testing::Test {
protected:
    void SetUp() override {
        h.window().show();
        grid = h.find<zr::ui::StringGrid>("StringGrid1");
        grid->setCell(1, 1, QString());
        grid->edit(grid->model()->index(0, 1));
        editor = grid->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
    }

    bool revealed() {
        auto* pages = h.window().pageTabs();
        EXPECT_EQ(pages->isTabVisible(1), pages->isTabVisible(2));
        return pages->isTabVisible(1);
    }

    // Types characters one by one and returns after which of them the tabs were visible.
    QString typeAndWatch(const QString& keys) {
        QString watch;
        for (QChar ch : keys) {
            QTest::keyClick(editor, ch.toLatin1());
            watch += revealed() ? QLatin1Char('V') : QLatin1Char('-');
        }
        return watch;
    }

    ProgramHarness h;
    zr::ui::StringGrid* grid = nullptr;
    QLineEdit* editor = nullptr;
};

} // namespace

TEST_F(ServiceKeys, SevenOneOneRevealsBothTabsAndTheCharactersReachTheControl) {
    EXPECT_EQ(typeAndWatch("711"), QStringLiteral("--V"));
    EXPECT_EQ(editor->text(), QStringLiteral("711"));
    EXPECT_EQ(h.window().pageTabs()->currentIndex(), 0);
    // Further typing changes nothing visible.
    EXPECT_EQ(typeAndWatch("x2"), QStringLiteral("VV"));
}

TEST_F(ServiceKeys, OtherSequencesThatReachThree) {
    for (const char* keys : {"777", "717", "771"}) {
        ProgramHarness fresh;
        auto* g = fresh.find<zr::ui::StringGrid>("StringGrid1");
        g->setCell(1, 1, QString());
        g->edit(g->model()->index(0, 1));
        auto* e = g->findChild<QLineEdit*>();
        QTest::keyClicks(e, QString::fromLatin1(keys));
        EXPECT_TRUE(fresh.window().pageTabs()->isTabVisible(1)) << keys;
    }
}

TEST_F(ServiceKeys, OneOneSevenStaysHiddenUntilTwoMoreOnes) {
    EXPECT_EQ(typeAndWatch("117"), QStringLiteral("---"));
    EXPECT_EQ(h.window().serviceKeyCount(), 1);
    EXPECT_EQ(typeAndWatch("11"), QStringLiteral("-V"));
}

TEST_F(ServiceKeys, AnyOtherCharacterResets) {
    EXPECT_EQ(typeAndWatch("712711"), QStringLiteral("-----V"));
}

TEST_F(ServiceKeys, BackspaceResetsButKeysWithoutCharactersDoNot) {
    typeAndWatch("71");
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(h.window().serviceKeyCount(), 0);
    EXPECT_EQ(typeAndWatch("71"), QStringLiteral("--"));
    QTest::keyClick(editor, Qt::Key_Left);
    QTest::keyClick(editor, Qt::Key_F5);
    QTest::keyClick(editor, Qt::Key_Shift);
    EXPECT_EQ(h.window().serviceKeyCount(), 2);
    EXPECT_EQ(typeAndWatch("1"), QStringLiteral("V"));
}

TEST_F(ServiceKeys, AKeyPressCountsOnceEvenWhenItPropagatesToParents) {
    // A key the focused control ignores travels up to its parents; it is still one character.
    auto* status = h.find<QWidget>("Status");
    QTest::keyClick(status, '7');
    QTest::keyClick(status, '1');
    EXPECT_EQ(h.window().serviceKeyCount(), 2);
}

TEST(ServiceKeysInAGridCell, TheKeyThatOpensTheCellEditorCountsOnce) {
    // The user clicks a cell and types: the first character opens the cell's editor and is
    // handed on to it, still one character.
    for (const auto& [keys, reveals] : {std::pair{"71", false}, std::pair{"711", true}}) {
        ProgramHarness h;
        h.window().show();
        auto* grid = h.find<zr::ui::StringGrid>("StringGrid1");
        grid->setCell(1, 2, QString());
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(1, 1));
        ASSERT_EQ(grid->findChild<QLineEdit*>(), nullptr);
        QTest::keyClick(grid, keys[0]);
        auto* editor = grid->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr) << "typing opens the cell editor";
        QTest::keyClicks(editor, QString::fromLatin1(keys + 1));
        EXPECT_EQ(editor->text(), QString::fromLatin1(keys));
        EXPECT_EQ(h.window().pageTabs()->isTabVisible(1), reveals) << keys;
        EXPECT_EQ(h.window().pageTabs()->isTabVisible(2), reveals) << keys;
    }
}
