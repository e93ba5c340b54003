#include "app/Dialogs.h"
#include "records/views/NumberInputDialog.h"
#include "records/views/TextInputDialog.h"
#include "support/MeterHarness.h"
#include "support/TestFiles.h"
#include "ui/StringGrid.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QValueAxis>
#include <QWheelEvent>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

using zr::test::fileBytes;
using zr::test::MeterHarness;
using zr::test::ProgramHarness;

namespace {

zr::ui::StringGrid* table(ProgramHarness& h) {
    return h.find<zr::ui::StringGrid>(QStringLiteral("StringGrid3"));
}
QComboBox* combo(ProgramHarness& h, int i) {
    return h.find<QComboBox>(QStringLiteral("ComboBox%1").arg(i));
}
// Clicks a section of the header strip as the user does.
void clickSection(ProgramHarness& h, int section) {
    auto* header = h.find<QHeaderView>(QStringLiteral("HeaderControl1"));
    const QPoint at(header->sectionViewportPosition(section) + 20, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}
// Picks an item of a selection list as the user does.
void pick(ProgramHarness& h, int list, int index) {
    QComboBox* box = combo(h, list);
    box->setCurrentIndex(index);
    emit box->activated(index);
}
// Runs `act` on the modal dialog as soon as it is shown.
void whenShown(QDialog* dialog, std::function<void()> act) {
    QTimer::singleShot(0, dialog, [dialog, act = std::move(act)] {
        if (!dialog->isVisible()) {
            QTimer::singleShot(10, dialog, act);
            return;
        }
        act();
    });
}
class MeasurementTablePage : public ::testing::Test {
protected:
    MeasurementTablePage() {
        h.window().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&h.window()));
    }
    ProgramHarness h;
};

TEST_F(MeasurementTablePage, ThreeRowsFromTenLeaveThirteenInTheListFileAfterClose) {
    pick(h, 1, 1);
    for (int i = 0; i < 3; ++i) {
        clickSection(h, 0);
    }
    auto* grid = table(h);
    ASSERT_EQ(grid->rowCountWithHeader(), 5);
    EXPECT_EQ(grid->cell(0, 1), QStringLiteral("10"));
    EXPECT_EQ(grid->cell(0, 2), QStringLiteral("11"));
    EXPECT_EQ(grid->cell(0, 3), QStringLiteral("12"));
    EXPECT_EQ(combo(h, 1)->currentText(), QStringLiteral("13"));
    EXPECT_EQ(combo(h, 1)->currentIndex(), 1);

    h.window().close();
    EXPECT_EQ(fileBytes(h.dataDir.filePath(QStringLiteral("s1.okt"))),
              QByteArray("1\r\n13\r\n100\r\n1000\r\n\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC...\r\n"));
    EXPECT_TRUE(QFile::exists(h.dataDir.filePath(QStringLiteral("s4.okt"))));
}

TEST_F(MeasurementTablePage, WithoutAMeterTheRowHoldsASpaceAndZero) {
    clickSection(h, 0);
    auto* grid = table(h);
    EXPECT_EQ(grid->cell(0, 1), QStringLiteral("1"));
    EXPECT_EQ(grid->cell(1, 1), QStringLiteral("A-76"));
    EXPECT_EQ(grid->cell(2, 1), QStringLiteral("P 1"));
    EXPECT_EQ(grid->cell(3, 1), QStringLiteral("ЛУКОЙЛ"));
    EXPECT_EQ(grid->cell(4, 1), QStringLiteral(" "));
    EXPECT_EQ(grid->cell(5, 1), QStringLiteral("0"));
    EXPECT_FALSE(grid->cell(6, 1).trimmed().isEmpty());
    EXPECT_EQ(grid->cell(6, 0), QStringLiteral("Дата/Время"));
}

TEST(MeasurementTable, TheRowTakesTheMethodAndTheValueAsTheyAreShown) {
    MeterHarness h;
    h.sendStatus(4500, 2, 84.56F, 0, 0, 0);
    pick(h, 4, 2);
    clickSection(h, 0);
    auto* grid = table(h);
    EXPECT_EQ(grid->cell(3, 1), QStringLiteral("ЮКОС"));
    EXPECT_EQ(grid->cell(4, 1), QStringLiteral("Моторный метод"));
    EXPECT_EQ(grid->cell(5, 1), QStringLiteral("84.6"));
    h.sendStatus(3000, 2, 84.56F, 0, 0, 0);
    clickSection(h, 0);
    EXPECT_EQ(grid->cell(5, 2), QStringLiteral("0"));
}

TEST_F(MeasurementTablePage, DeletingTheClickedRowMovesTheRowsBelowUp) {
    for (int grade = 0; grade < 3; ++grade) {
        pick(h, 2, grade);
        clickSection(h, 0);
    }
    auto* grid = table(h);
    ASSERT_EQ(grid->rowCountWithHeader(), 5);
    const QRect row2 = grid->visualRect(grid->model()->index(1, 2));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row2.center());
    ASSERT_EQ(grid->currentGridRow(), 2);
    clickSection(h, 1);
    EXPECT_EQ(grid->rowCountWithHeader(), 4);
    EXPECT_EQ(grid->cell(1, 1), QStringLiteral("A-76"));
    EXPECT_EQ(grid->cell(1, 2), QStringLiteral("АИ-92"));
    EXPECT_EQ(grid->cell(1, 3), QString());
}

TEST_F(MeasurementTablePage, TheNumberDialogKeepsZeroOpenAndInsertsMinusFiveAtTheTop) {
    auto* dialog = &h.program->dialogs().form4();
    bool stayedOpen = false;
    whenShown(dialog, [&] {
        EXPECT_EQ(dialog->spinEdit()->value(), 0);
        dialog->okButton()->click();
        stayedOpen = dialog->isVisible();
        dialog->spinEdit()->setValue(-5);
        dialog->okButton()->click();
    });
    pick(h, 1, 4); // "Добавить..."
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(combo(h, 1)->itemText(0), QStringLiteral("-5"));
    EXPECT_EQ(combo(h, 1)->currentIndex(), 0);
    EXPECT_EQ(combo(h, 1)->count(), 6);
    clickSection(h, 0);
    EXPECT_EQ(table(h)->cell(0, 1), QStringLiteral("-5"));
    EXPECT_EQ(combo(h, 1)->currentText(), QStringLiteral("-4"));
}

TEST_F(MeasurementTablePage, ClosingTheTextDialogInsertsNothingAndSelectsTheFirstItem) {
    auto* dialog = &h.program->dialogs().form5();
    whenShown(dialog, [&] {
        dialog->edit()->setText(QStringLiteral("ignored"));
        dialog->close();
    });
    pick(h, 3, 4);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(combo(h, 3)->count(), 5);
    EXPECT_EQ(combo(h, 3)->currentIndex(), 0);
    EXPECT_EQ(combo(h, 3)->currentText(), QStringLiteral("P 1"));
}

TEST_F(MeasurementTablePage, AnEmptyTextIsAnItemAndIsWrittenAsOneSpace) {
    auto* dialog = &h.program->dialogs().form5();
    whenShown(dialog, [&] {
        EXPECT_EQ(dialog->edit()->text(), QString());
        dialog->okButton()->click();
    });
    pick(h, 2, 7);
    EXPECT_EQ(combo(h, 2)->count(), 9);
    EXPECT_EQ(combo(h, 2)->itemText(0), QString());
    clickSection(h, 0);
    EXPECT_EQ(table(h)->cell(1, 1), QStringLiteral(" "));

    h.window().close();
    EXPECT_TRUE(fileBytes(h.dataDir.filePath(QStringLiteral("s2.okt"))).startsWith("\r\nA-76\r\n"));
}

TEST_F(MeasurementTablePage, TheWheelChangesAListOnlyWhileItHasTheKeyboardFocus) {
    h.window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&h.window()));
    const auto wheelDown = [](QComboBox* box) {
        const QPointF at = QRectF(box->rect()).center();
        QWheelEvent wheel(at, box->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &wheel);
    };
    for (int list = 1; list <= 4; ++list) {
        QComboBox* box = combo(h, list);
        // The wheel must not hand the focus over on its own.
        EXPECT_NE(box->focusPolicy(), Qt::WheelFocus) << list;

        table(h)->setFocus(Qt::MouseFocusReason);
        ASSERT_FALSE(box->hasFocus());
        wheelDown(box);
        EXPECT_EQ(box->currentIndex(), 0) << list;

        box->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(box->hasFocus());
        wheelDown(box);
        EXPECT_EQ(box->currentIndex(), 1) << list;
    }
    // The rows written take what the lists show.
    clickSection(h, 0);
    EXPECT_EQ(table(h)->cell(0, 1), QStringLiteral("10"));
    EXPECT_EQ(table(h)->cell(1, 1), QStringLiteral("A-80"));
}

TEST_F(MeasurementTablePage, TheInputDialogsShowNoTitleText) {
    QDialog* dialogs[] = {&h.program->dialogs().form4(), &h.program->dialogs().form5()};
    for (QDialog* dialog : dialogs) {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        // An empty title is replaced with the program's name by the window system.
        const QString title = dialog->windowHandle()->title();
        EXPECT_FALSE(title.isEmpty()) << dialog->objectName().toStdString();
        for (const QChar ch : title) {
            EXPECT_EQ(ch.category(), QChar::Other_Format) << dialog->objectName().toStdString();
        }
        dialog->hide();
    }
}

TEST(MeasurementTable, AnEditedNumberListShowsTheErrorBoxAndTheRowIsWritten) {
    ProgramHarness h(false);
    {
        QFile file(h.dataDir.filePath(QStringLiteral("s1.okt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("abc\r\n\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC...\r\n");
    }
    ASSERT_TRUE(QDir(h.dataDir.path()).mkdir(QStringLiteral("s2.okt")));
    h.start();
    ASSERT_EQ(h.messages.errors.size(), 1); // the list file that cannot be read
    EXPECT_TRUE(h.messages.errors.front().contains(QStringLiteral("s2.okt")));
    EXPECT_EQ(combo(h, 2)->currentText(), QStringLiteral("A-76"));

    clickSection(h, 0);
    ASSERT_EQ(h.messages.errors.size(), 2);
    EXPECT_EQ(h.messages.errors.back(), QStringLiteral("'abc' is not a valid integer value."));
    EXPECT_EQ(table(h)->cell(0, 1), QStringLiteral("abc"));
    EXPECT_EQ(table(h)->rowCountWithHeader(), 3);
    EXPECT_EQ(combo(h, 1)->currentText(), QStringLiteral("abc"));

    h.window().close();
    EXPECT_TRUE(QFileInfo(h.dataDir.filePath(QStringLiteral("s2.okt"))).isDir());
}

TEST(ChartPage, ClearRemovesEveryPointOfTheRedSeries) {
    ProgramHarness h;
    // The page is built when first shown.
    h.window().show();
    h.window().pageControl()->setTabVisible(2, true);
    h.window().pageControl()->setCurrentIndex(2);
    auto* view = h.find<QChartView>(QStringLiteral("Chart1"));
    ASSERT_NE(view, nullptr);
    QChart* chart = view->chart();
    auto* series = qobject_cast<QLineSeries*>(chart->series().value(0));
    ASSERT_NE(series, nullptr);
    EXPECT_EQ(series->objectName(), QStringLiteral("Series1"));
    EXPECT_EQ(series->pen().color(), QColor(Qt::red));
    EXPECT_FALSE(series->pointsVisible());
    EXPECT_FALSE(chart->legend()->isVisible());
    auto* axis = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->min(), 4000);
    EXPECT_EQ(axis->max(), 9000);
    EXPECT_EQ(series->count(), 0);

    series->append(1, 5000);
    series->append(2, 6000);
    auto* clear = h.find<QPushButton>(QStringLiteral("Button4"));
    EXPECT_EQ(clear->text(), QStringLiteral("Очистить"));
    clear->click();
    EXPECT_EQ(series->count(), 0);
}

} // namespace
