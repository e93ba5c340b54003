#include "calibration/views/ManualCorrectionDialog.h"

#include "CalibrationTestSupport.h"
#include "calibration/ManualCorrection.h"
#include "calibration/views/UpDown.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace zr::calibration {
namespace {

using test::kCommit;
using test::kWriteByte;
using test::Sent;

struct DefaultLocale {
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(QLocale::c()); }
};

class ManualCorrectionDialogTest : public ::testing::Test, public test::CalibrationFixture {
protected:
    ManualCorrectionDialogTest() { dialog.attach(correction); }

    void open() {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    void reopen() {
        dialog.hide();
        open();
    }
    void clickUp(int times) {
        for (int i = 0; i < times; ++i) {
            QTest::mouseClick(dialog.upDown()->upButton(), Qt::LeftButton);
        }
    }
    void clickDown(int times) {
        for (int i = 0; i < times; ++i) {
            QTest::mouseClick(dialog.upDown()->downButton(), Qt::LeftButton);
        }
    }
    QString text() const { return dialog.edit()->text(); }
    int position() const { return dialog.upDown()->position(); }

    ManualCorrection correction{context(), [] {}};
    ManualCorrectionDialog dialog;
};

TEST_F(ManualCorrectionDialogTest, LayoutAndStartingState) {
    EXPECT_EQ(dialog.objectName(), QStringLiteral("Form6"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Manual correction."));
    EXPECT_EQ(dialog.size(), QSize(254, 228));
    ASSERT_EQ(dialog.methodList()->count(), 3);
    EXPECT_EQ(dialog.methodList()->itemText(0), QStringLiteral("RON"));
    EXPECT_EQ(dialog.methodList()->itemText(1), QStringLiteral("MON"));
    EXPECT_EQ(dialog.methodList()->itemText(2), QStringLiteral("Cetane number"));
    EXPECT_TRUE(dialog.edit()->isReadOnly());
    EXPECT_EQ(text(), QStringLiteral("0"));
    EXPECT_GT(dialog.edit()->font().pixelSize(), 20);
    EXPECT_EQ(dialog.upDown()->minimum(), -50);
    EXPECT_EQ(dialog.upDown()->maximum(), 50);
    EXPECT_EQ(position(), 0);
    EXPECT_EQ(dialog.closeButton()->text(), QStringLiteral("Close"));
    EXPECT_EQ(dialog.applyButton()->text(), QStringLiteral("Apply"));
}

// The last status of a meter that has been pulled out is no longer the meter's value.
TEST_F(ManualCorrectionDialogTest, OpeningWithNoMeterAttachedShowsTheLastAppliedValue) {
    port.isConnected = false;
    state.status.method = 1;
    state.meterMethod = 1;
    state.status.correction = 0.7F;
    open();
    EXPECT_EQ(dialog.methodList()->currentIndex(), 0);
    EXPECT_EQ(text(), QStringLiteral("0"));
    EXPECT_EQ(position(), 0);
}

TEST_F(ManualCorrectionDialogTest, SteppingStopsAtTheEndsAndApplyWritesTheShownValue) {
    DefaultLocale comma{QLocale(QLocale::Russian)};
    state.status.method = 2;
    open();
    clickUp(15);
    EXPECT_EQ(text(), QStringLiteral("1,5"));
    EXPECT_EQ(position(), 15);
    clickUp(40);
    EXPECT_EQ(position(), 50);
    EXPECT_EQ(text(), QStringLiteral("5"));
    clickDown(101);
    EXPECT_EQ(position(), -50);
    EXPECT_EQ(text(), QStringLiteral("-5"));
    clickUp(49);
    EXPECT_EQ(text(), QStringLiteral("-0,1"));
    QTest::mouseClick(dialog.applyButton(), Qt::LeftButton);
    EXPECT_EQ(sent(), (std::vector<Sent>{{kWriteByte, 9, 0xCD},
                                         {kWriteByte, 10, 0xCC},
                                         {kWriteByte, 11, 0xCC},
                                         {kWriteByte, 12, 0xBD},
                                         {kCommit, 0, 0}}));
    EXPECT_TRUE(dialog.isVisible()) << "the dialog stays open after Apply";
}

TEST_F(ManualCorrectionDialogTest, OnlyTheUsersChoiceInTheMethodListChangesTheMethod) {
    state.status.method = 1;
    state.correctionCache[2] = -1.0;
    open();
    dialog.methodList()->setCurrentIndex(2);
    EXPECT_EQ(state.status.method, 1) << "the program setting the list is no choice";

    dialog.methodList()->setCurrentIndex(0);
    dialog.methodList()->setFocus();
    QTest::keyClick(dialog.methodList(), Qt::Key_Down);
    EXPECT_EQ(state.status.method, 2);
    EXPECT_EQ(dialog.methodList()->currentIndex(), 1);
    EXPECT_EQ(text(), QStringLiteral("-1"));
    EXPECT_EQ(position(), -10);
    EXPECT_TRUE(port.writes.empty()) << "the meter is not told";
    EXPECT_FALSE(calibrationListTimer.isEnabled());
}

TEST_F(ManualCorrectionDialogTest, MethodFourShowsNoEntryAndMethodZeroLeavesTheValue) {
    state.status.method = 4;
    state.correctionCache[4] = 2.0;
    open();
    EXPECT_EQ(dialog.methodList()->currentIndex(), -1);
    EXPECT_EQ(text(), QStringLiteral("2"));
    EXPECT_EQ(position(), 20);

    state.status.method = 0;
    reopen();
    EXPECT_EQ(dialog.methodList()->currentIndex(), -1);
    EXPECT_EQ(text(), QStringLiteral("2"));
    EXPECT_EQ(position(), 20);
    QTest::mouseClick(dialog.applyButton(), Qt::LeftButton);
    EXPECT_TRUE(port.writes.empty());
}

} // namespace
} // namespace zr::calibration
