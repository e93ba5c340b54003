// What start-up leaves for after the window's first paint: the measurement table's journal, and
// with it a table that a run left.

#include "journal/JournalRig.h"
#include "journal/JournalTexts.h"
#include "support/ProgramHarness.h"
#include "support/WaitUntil.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using zr::test::ProgramHarness;

TEST(StartUp, TheJournalOpensOnceTheWindowHasFirstPainted) {
    ProgramHarness h;
    WAIT_PAST_POSTED_EVENTS();
    EXPECT_FALSE(h.session().journalOpened()) << "not before the window is shown";
    h.window().show();
    WAIT_UNTIL(h.session().journalOpened(), 5000);
}

// A handler run before the first paint opens the journal first: the table that a killed run left
// comes back before the handler's row, which goes after it.
TEST(StartUp, AHandlerRunBeforeTheFirstPaintFindsTheTableThatCameBack) {
    QTemporaryDir dir;
    {
        zr::journal::test::JournalRig killed(dir.path(), zr::journal::test::endedProcess(1));
        killed.writeRow(QStringLiteral("91"));
        killed.writeRow(QStringLiteral("92"));
    } // never closed, as after a kill
    ProgramHarness h(false);
    h.sharedDataDir = dir.path();
    h.start();
    ASSERT_TRUE(h.session().invokeHandler(QStringLiteral("runHeaderCommand"), 0));

    const auto& model = h.session().measurementGrid();
    const auto cell = [&](int column, int row) {
        return model.data(model.index(row, column)).toString();
    };
    ASSERT_EQ(model.rowCount(), 4); // three rows and the entry row
    EXPECT_EQ(cell(5, 0), QStringLiteral("91"));
    EXPECT_EQ(cell(5, 1), QStringLiteral("92"));
    EXPECT_EQ(cell(0, 2), QStringLiteral("3")) << "numbered on after the table";
    EXPECT_EQ(h.messages.informed,
              QStringList{QString::fromUtf8(zr::journal::kRowsRestoredText).arg(2)});
}
