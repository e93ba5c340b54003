#include "calibration/LibraryFakes.h"
#include "calibration/views/CalibrationLibraryWindow.h"
#include "calibration/views/CorrectionWizard.h"
#include "calibration/views/LibraryEntryDialog.h"
#include "calibration/views/OctaneEdit.h"
#include "support/WaitUntil.h"
#include "ui/StringGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace zr::calibration {
namespace {

template <typename T> T* child(QWidget* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

TEST(OctaneEditView, ShowsThePatternUnlessBeingEdited) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new OctaneEdit(&window);
    auto* other = new QLineEdit(&window);
    layout->addWidget(edit);
    layout->addWidget(other);
    window.show();
    QApplication::setActiveWindow(&window);
    other->setFocus();
    WAIT_UNTIL(other->hasFocus(), 5000);

    EXPECT_EQ(edit->text(), QString());
    edit->setValue(OctaneValue::fromHundredths(7000));
    EXPECT_EQ(edit->text(), QStringLiteral("070.0."));

    edit->setFocus();
    WAIT_UNTIL(edit->hasFocus(), 5000);
    EXPECT_EQ(edit->text(), QStringLiteral("70"));
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("1234.565x"));
    EXPECT_EQ(edit->text(), QStringLiteral("1234.565")); // the letter is refused
    EXPECT_EQ(edit->value().hundredths(), 123456);

    other->setFocus();
    WAIT_UNTIL(other->hasFocus(), 5000);
    EXPECT_EQ(edit->text(), QStringLiteral("1,234.6."));

    edit->setFocus();
    WAIT_UNTIL(edit->hasFocus(), 5000);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_TRUE(edit->value().isZero());
    other->setFocus();
    WAIT_UNTIL(other->hasFocus(), 5000);
    EXPECT_EQ(edit->text(), QString());
}

TEST(CorrectionWizardView, ShowsTheWizardsTextsAndState) {
    test::ControllerTestContext t;
    t.state.status.method = 3;
    CorrectionWizard wizard(t.context(), t.calibrations);
    wizard.show();
    EXPECT_EQ(wizard.windowTitle(), QStringLiteral("Коррекция..."));
    EXPECT_EQ(child<QPushButton>(&wizard, "Button4")->text(), QStringLiteral("Отмена"));
    auto* next = child<QPushButton>(&wizard, "Button3");
    EXPECT_EQ(next->text(), QStringLiteral("Далее >"));
    const QStringList intro =
        child<QPlainTextEdit>(&wizard, "Memo1")->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(intro.size(), 8);
    EXPECT_EQ(intro[0],
              QStringLiteral("Данный мастер поможет расчитать корректировочные коэффициенты "));
    EXPECT_EQ(intro[5],
              QStringLiteral("На 2 шаге необходимо иметь 2  марки топлива (низкооктановое и "));
    EXPECT_EQ(child<QGroupBox>(&wizard, "GroupBox3")->title(),
              QStringLiteral("Значение коррекции  для ZR-6040"));
    EXPECT_EQ(child<QLineEdit>(&wizard, "Edit3")->maxLength(), 10);
    EXPECT_EQ(child<QComboBox>(&wizard, "ComboBox1")->currentIndex(), 2);

    next->click();
    next->click();
    auto* high = child<QGroupBox>(&wizard, "GroupBox2");
    EXPECT_FALSE(high->isVisible());
    child<OctaneEdit>(&wizard, "CurrencyEdit1")->setValue(OctaneValue::fromHundredths(8000));
    wizard.wizard().setValue(TwoPointCalibration::LowReading, OctaneValue::fromHundredths(8000));
    child<QPushButton>(&wizard, "Button1")->click();
    EXPECT_TRUE(high->isVisible());
    EXPECT_FALSE(child<OctaneEdit>(&wizard, "CurrencyEdit2")->isEnabled());
    auto* status = child<QLabel>(&wizard, "Label6");
    EXPECT_EQ(status->text(), QStringLiteral("Корректировать значение 80 до 0"));
    EXPECT_TRUE(status->font().bold());
    EXPECT_EQ(status->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // Both readings 80: the error message box, and the wizard stays.
    wizard.wizard().setValue(TwoPointCalibration::HighReading, OctaneValue::fromHundredths(8000));
    wizard.wizard().setValue(TwoPointCalibration::HighTrue, OctaneValue::fromHundredths(9000));
    child<QPushButton>(&wizard, "Button2")->click();
    next->click();
    EXPECT_EQ(t.messages.errors, QStringList{QStringLiteral("Floating point division by zero.")});
    EXPECT_EQ(next->text(), QStringLiteral("Далее >"));
    EXPECT_TRUE(wizard.isVisible());
}

// The mouse wheel over the method list moves it only while the list has the keyboard focus,
// and never switches the meter by itself: the meter follows when the user moves on.
TEST(CorrectionWizardView, TheWheelOverTheMethodListSwitchesNoMethod) {
    test::ControllerTestContext t;
    t.state.status.method = 1;
    CorrectionWizard wizard(t.context(), t.calibrations);
    wizard.show();
    QApplication::setActiveWindow(&wizard);
    auto* next = child<QPushButton>(&wizard, "Button3");
    next->click();
    auto* methods = child<QComboBox>(&wizard, "ComboBox1");
    next->setFocus();
    WAIT_UNTIL(next->hasFocus(), 5000);
    const auto notchDown = [methods] {
        QWheelEvent wheel(QPointF(10, 10), methods->mapToGlobal(QPointF(10, 10)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(methods, &wheel);
    };

    notchDown();
    EXPECT_EQ(methods->currentIndex(), 0);
    methods->setFocus();
    WAIT_UNTIL(methods->hasFocus(), 5000);
    notchDown();
    EXPECT_EQ(methods->currentIndex(), 1);
    EXPECT_TRUE(t.port.writes.empty());

    next->click();
    ASSERT_EQ(t.port.writes.size(), 1U);
    EXPECT_EQ(t.port.writes[0][1], 0x64);
    EXPECT_EQ(t.port.writes[0][2], 2);
    EXPECT_EQ(t.state.status.method, 2);
}

TEST(LibraryWindowView, LayoutColumnsAndTheEditDialog) {
    test::ControllerTestContext t;
    test::MemoryFiles files;
    const QString path = QStringLiteral("/data/data.zr");
    QByteArray record(279, '\0');
    record[4] = 2;
    record[5] = 'A';
    record[6] = 'B';
    record[15] = 1;
    files.files.insert(path, record);
    LibraryEntryDialog editor;
    Library library(
        t.context(), t.calibrations, files, path,
        Library::Dialogs{[] { return std::optional<WizardResult>(); },
                         [&](const LibraryEntryText& shown) { return editor.edit(shown); }});
    library.model().setCurrentRow(0);
    library.reload();
    common::HandlerGuard guard(t.messages);
    CalibrationLibraryWindow window(library, guard);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Управление калибровками"));
    EXPECT_EQ(window.size(), QSize(694, 454));
    EXPECT_EQ(child<QPushButton>(&window, "Button1")->text(), QStringLiteral("Создать"));
    EXPECT_EQ(child<QPushButton>(&window, "Button2")->text(), QStringLiteral("Удалить"));
    EXPECT_EQ(child<QPushButton>(&window, "Button4")->text(), QStringLiteral("Изменить"));
    EXPECT_EQ(child<QPushButton>(&window, "Button3")->text(),
              QStringLiteral("Копировать в прибор"));
    window.show();
    ui::StringGrid* grid = window.grid();
    EXPECT_EQ(grid->cell(5, 0), QStringLiteral("Комментарий "));
    EXPECT_EQ(grid->rowCountWithHeader(), 100);
    window.resize(800, 454);
    EXPECT_EQ(grid->columnWidth(1), 150);
    EXPECT_EQ(grid->columnWidth(5), grid->width() - 540);

    // Editing: the name edit takes ten characters at most.
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Редактирование"));
    QTimer::singleShot(0, &editor, [&] {
        EXPECT_EQ(editor.nameEdit()->text(), QStringLiteral("AB"));
        editor.nameEdit()->clear();
        QTest::keyClicks(editor.nameEdit(), QStringLiteral("ABCDEFGHIJKL"));
        editor.commentMemo()->setPlainText(QStringLiteral("x"));
        child<QPushButton>(&editor, "Button1")->click();
    });
    grid->setCurrentGridRow(1);
    child<QPushButton>(&window, "Button4")->click();
    EXPECT_EQ(grid->cell(1, 1), QStringLiteral("ABCDEFGHIJ"));
    EXPECT_EQ(grid->cell(5, 1), QStringLiteral("x\r\n"));
    ASSERT_TRUE(files.file(path).has_value());
    EXPECT_EQ(files.file(path)->mid(4, 11), QByteArray("\x0A"
                                                       "ABCDEFGHIJ"));

    // Closing writes nothing: every change was written when it was made, and another program
    // may have written the file since.
    const qsizetype before = files.replaced.size();
    window.close();
    EXPECT_EQ(files.replaced.size(), before);
}

} // namespace
} // namespace zr::calibration
