#include "CalibrationE2eSupport.h"
#include "app/ResultsBlock.h"
#include "calibration/views/CalibrationLibraryWindow.h"
#include "calibration/views/CorrectionWizard.h"
#include "calibration/views/OctaneEdit.h"
#include "program/DataDirectory.h"
#include "sim/MeterSample.h"
#include "support/LocaleGuard.h"
#include "support/MeterHarness.h"
#include "support/TestFiles.h"
#include "ui/StringGrid.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using zr::calibration::OctaneEdit;
using zr::test::LocaleGuard;
using zr::test::MeterHarness;
using zr::test::ProgramHarness;

namespace {

// Puts a fuel into the simulator's cell that reads `raw` before any calibration, and waits
// until the program has the meter's status report of it.
void measureFuel(MeterHarness& h, double raw) {
    h.meter.setTrueOctane((raw - 1.2) / 0.98);
    ASSERT_NEAR(zr::sim::MeterSample::uncalibratedReading(h.meter.trueOctane()), raw, 1e-9);
    zr::test::meterStatus(h);
}

template <typename T> T* child(QWidget* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Goes through the wizard as the user does up to the page of K1 and K2, measuring the low fuel
// (raw 70, true 80) and the high fuel (raw 86, true 93) with the simulator. The research method is
// picked on page 1 unless `pickMethod` is false, and then stays as shown.
void measureBothFuels(MeterHarness& h, zr::calibration::CorrectionWizard* wizard,
                      bool pickMethod = true) {
    ASSERT_TRUE(wizard->isVisible());
    auto* next = child<QPushButton>(wizard, "Button3");
    EXPECT_EQ(child<QLabel>(wizard, "Label1")->text(),
              QStringLiteral("Залейте низкооктановый бензин"));
    next->click();
    auto* methods = child<QComboBox>(wizard, "ComboBox1");
    EXPECT_EQ(methods->currentIndex(), 0);
    if (pickMethod) {
        emit methods->activated(0);
    }
    next->click();
    EXPECT_FALSE(next->isEnabled());

    measureFuel(h, 70.0);
    child<QPushButton>(wizard, "SpeedButton1")->click();
    EXPECT_EQ(child<OctaneEdit>(wizard, "CurrencyEdit1")->value().hundredths(), 7000);
    QTest::keyClicks(child<OctaneEdit>(wizard, "CurrencyEdit2"), QStringLiteral("80"));
    child<QPushButton>(wizard, "Button1")->click();
    EXPECT_EQ(child<QLabel>(wizard, "Label6")->text(),
              QStringLiteral("Корректировать значение 70 до 80"));

    measureFuel(h, 86.0);
    child<QPushButton>(wizard, "SpeedButton2")->click();
    QTest::keyClicks(child<OctaneEdit>(wizard, "CurrencyEdit4"), QStringLiteral("93"));
    child<QPushButton>(wizard, "Button2")->click();
    EXPECT_EQ(child<QLabel>(wizard, "Label7")->text(),
              QStringLiteral("Корректировать значение 86 до 93"));
    ASSERT_TRUE(next->isEnabled());
    next->click();
    EXPECT_EQ(child<QLineEdit>(wizard, "Edit1")->text(), QStringLiteral("812"));
    EXPECT_EQ(child<QLineEdit>(wizard, "Edit2")->text(), QStringLiteral("231"));
    EXPECT_EQ(child<QLineEdit>(wizard, "Edit3")->text(), QStringLiteral("Korrection"));
    EXPECT_EQ(next->text(), QStringLiteral("Добавить коррекцию в список"));
}

// The whole wizard, finished with the computed K1 and K2.
void runWizard(MeterHarness& h, zr::calibration::CorrectionWizard* wizard, bool pickMethod = true) {
    measureBothFuels(h, wizard, pickMethod);
    auto* next = child<QPushButton>(wizard, "Button3");
    next->click();
    EXPECT_EQ(child<QLabel>(wizard, "Label1")->text(), QStringLiteral("Комментарий"));
    next->click();
}

int wizardPage(zr::calibration::CorrectionWizard* wizard) {
    return child<QStackedWidget>(wizard, "PageControl1")->currentIndex();
}

int fieldHundredths(zr::calibration::CorrectionWizard* wizard, const char* name) {
    return child<zr::calibration::OctaneEdit>(wizard, name)->value().hundredths();
}

// A library record of the entry "A" for method 1.
QByteArray entryA() {
    QByteArray record(279, '\0');
    record[4] = 1;
    record[5] = 'A';
    record[15] = 1;
    return record;
}

// A library file of that one entry, loaded as at start-up.
void oneLibraryEntry(MeterHarness& h) {
    ASSERT_TRUE(zr::test::writeFileBytes(h.dataDir.filePath("data.zr"), entryA()));
    h.program->dialogs().libraryWindow().library().reload();
}

} // namespace

// Two reference fuels measured with the simulator make a calibration that goes into the
// library file and into the meter; put in force, it corrects the meter's reading.
TEST(CalibrationLibrary, AMeasuredCalibrationCorrectsTheMetersReading) {
    LocaleGuard locale{QLocale(QLocale::English)};
    MeterHarness h;
    measureFuel(h, 70.0);
    ASSERT_EQ(h.session().state().status.method, 1);
    auto* library = &h.program->dialogs().libraryWindow();
    auto* wizard = &h.program->dialogs().correctionWizard();
    library->show();
    auto* grid = library->grid();
    EXPECT_EQ(grid->cell(1, 0), QStringLiteral("Наименование в приборе"));

    QTimer::singleShot(0, wizard, [&] {
        runWizard(h, wizard);
        if (wizard->isVisible()) { // a failed step leaves it open
            wizard->reject();
        }
    });
    child<QPushButton>(library, "Button1")->click();

    ASSERT_EQ(library->library().entries().size(), 1U);
    EXPECT_EQ(grid->cell(1, 1), QStringLiteral("Korrection"));
    EXPECT_EQ(grid->cell(2, 1), QStringLiteral("Исследовательский метод"));
    EXPECT_EQ(grid->cell(3, 1), QStringLiteral("812"));
    EXPECT_EQ(grid->cell(4, 1), QStringLiteral("231"));
    QFile file(h.dataDir.filePath("data.zr"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.size(), 279);
    file.close();

    // The wizard's method choice has the list read again; the copy waits for it.
    ASSERT_NO_FATAL_FAILURE(zr::test::waitForCalibrationList(h));
    grid->setCurrentGridRow(1);
    child<QPushButton>(library, "Button3")->click();
    EXPECT_EQ(h.session().meterCalibrations().lastSlot(), 1);
    WAIT_UNTIL(h.meter.device().withModel(
                   [](const zr::sim::MeterModel& m) { return m.calibration(1, 1).has_value(); }),
               3000);
    const auto stored = h.meter.device().withModel(
        [](const zr::sim::MeterModel& m) { return *m.calibration(1, 1); });
    EXPECT_EQ(stored.name, "Korrection");
    EXPECT_EQ(stored.k1, 812);
    EXPECT_EQ(stored.k2, 231);
    library->close();
    EXPECT_FALSE(library->isVisible());

    // Put in force as the calibration list does it: the slot number written for the method.
    h.session().commands().writeByte(1, 1);
    WAIT_UNTIL_EQ(h.meter.memoryByte(1), std::uint8_t{1}, 3000);
    measureFuel(h, 70.0);
    EXPECT_EQ(h.session().state().status.activeTable, 1);
    // The display may show the newest status a frame later.
    WAIT_UNTIL_EQ(h.window().results()->valuePanel()->text(), QStringLiteral("79.9"), 3000);
    EXPECT_TRUE(h.messages.informed.isEmpty()) << h.messages.informed.join('|').toStdString();
    EXPECT_TRUE(h.messages.errors.isEmpty()) << h.messages.errors.join('|').toStdString();
}

// The whole road from the meter's calibration list: "Добавить..." opens the library, the new
// calibration is copied into the meter, the list shows it after the library closes, and put in
// force it corrects the reading.
TEST(CalibrationLibrary, FromTheMetersListToTheCorrectedReading) {
    LocaleGuard locale{QLocale(QLocale::English)};
    MeterHarness h;
    measureFuel(h, 70.0);
    auto* library = &h.program->dialogs().libraryWindow();
    auto* wizard = &h.program->dialogs().correctionWizard();
    bool opened = false;
    QTimer::singleShot(0, library, [&] {
        opened = library->isVisible();
        if (!opened) {
            return;
        }
        QTimer::singleShot(0, wizard, [&] {
            runWizard(h, wizard);
            if (wizard->isVisible()) {
                wizard->reject();
            }
        });
        child<QPushButton>(library, "Button1")->click();
        zr::test::waitForCalibrationList(h);
        library->grid()->setCurrentGridRow(1);
        child<QPushButton>(library, "Button3")->click();
        library->close();
    });
    h.window().invokeHandler(QStringLiteral("addCalibrationFromLibrary"));
    ASSERT_TRUE(opened) << "the calibration list's \"Добавить...\" opens the library";

    auto* list = h.find<zr::ui::StringGrid>(QStringLiteral("StringGrid1"));
    ASSERT_NE(list, nullptr);
    WAIT_UNTIL_EQ(list->cell(1, 1), QStringLiteral("Korrection"), 5000);
    EXPECT_EQ(list->cell(2, 1), QStringLiteral("812"));
    EXPECT_EQ(list->cell(3, 1), QStringLiteral("231"));

    list->setCurrentGridRow(1);
    h.window().invokeHandler(QStringLiteral("applySelectedCalibration"));
    WAIT_UNTIL_EQ(h.meter.memoryByte(1), std::uint8_t{1}, 3000);
    measureFuel(h, 70.0);
    WAIT_UNTIL_EQ(h.window().results()->valuePanel()->text(), QStringLiteral("79.9"), 3000);
    EXPECT_TRUE(h.messages.errors.isEmpty()) << h.messages.errors.join('|').toStdString();
}

TEST(CalibrationLibrary, ChoosingAMethodInTheWizardStaysAfterCancel) {
    MeterHarness h;
    measureFuel(h, 90.0);
    auto* wizard = &h.program->dialogs().correctionWizard();
    QTimer::singleShot(0, wizard, [&] {
        child<QPushButton>(wizard, "Button3")->click();
        emit child<QComboBox>(wizard, "ComboBox1")->activated(1);
        child<QPushButton>(wizard, "Button4")->click();
    });
    EXPECT_FALSE(wizard->run().has_value());
    EXPECT_EQ(h.session().state().status.method, 2);
    WAIT_UNTIL_EQ(
        h.meter.device().withModel([](const zr::sim::MeterModel& m) { return m.method(); }), 2,
        3000);
}

TEST(CalibrationLibrary, CopyWithTheMeterPulledOutOnlyReportsIt) {
    MeterHarness h;
    measureFuel(h, 90.0);
    oneLibraryEntry(h);
    auto* library = &h.program->dialogs().libraryWindow();
    ASSERT_EQ(library->library().entries().size(), 1U);

    h.meter.unplug();
    WAIT_UNTIL(h.session().state().currentDevice == nullptr, 3000);
    library->grid()->setCurrentGridRow(1);
    child<QPushButton>(library, "Button3")->click();
    EXPECT_EQ(h.statusPanel(0), QStringLiteral("Прибор не подключен !"));
    EXPECT_EQ(h.session().meterCalibrations().lastSlot(), 1);
}

TEST(CalibrationLibrary, ANewUserSeesNoMessageButAMissingLibraryIsReported) {
    {
        ProgramHarness fresh;
        EXPECT_TRUE(fresh.messages.informed.isEmpty());
    }
    ProgramHarness missing(false);
    missing.createLibraryFile = false;
    missing.start();
    EXPECT_EQ(missing.messages.informed, QStringList{QStringLiteral("Ошибка открытия файла БД.")});
}

// A library that is a FIFO neither holds up the start nor is written over, whatever the user
// does in the library window.
TEST(CalibrationLibrary, ALibraryThatIsAFifoIsReportedAndLeftAlone) {
    ProgramHarness h(false);
    h.createLibraryFile = false;
    const QByteArray fifo = QFile::encodeName(h.dataDir.filePath(QStringLiteral("data.zr")));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    h.start();
    EXPECT_EQ(h.messages.informed,
              QStringList{QStringLiteral("Ошибка открытия файла БД.\nэто не обычный файл.")});

    auto* library = &h.program->dialogs().libraryWindow();
    library->show();
    child<QPushButton>(library, "Button1")->click();
    ASSERT_EQ(h.messages.informed.size(), 2);
    EXPECT_TRUE(h.messages.informed.last().contains(QStringLiteral("не прочитан")));
    EXPECT_FALSE(h.program->dialogs().correctionWizard().isVisible());
    library->close();
    struct stat status {};
    ASSERT_EQ(::lstat(fifo.constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_EQ(h.messages.informed.size(), 2);
}

// More entries than the grid has rows: the line under the grid says how many there are.
TEST(CalibrationLibrary, ALibraryOfMoreThan99EntriesSaysHowManyItHolds) {
    ProgramHarness h(false);
    h.createLibraryFile = false;
    QByteArray records;
    for (int i = 0; i < 120; ++i) {
        records += entryA();
    }
    ASSERT_TRUE(zr::test::writeFileBytes(h.dataDir.filePath(QStringLiteral("data.zr")), records));
    h.start();
    auto* library = &h.program->dialogs().libraryWindow();
    library->show();
    auto* overflow = child<QLabel>(library, "OverflowLabel");
    ASSERT_NE(overflow, nullptr);
    EXPECT_TRUE(overflow->isVisible());
    EXPECT_EQ(overflow->text(),
              QStringLiteral("Записей в библиотеке: 120; в таблице показаны первые 99."));
    library->close();
}

TEST(CalibrationLibrary, ANewPerUserDataDirectoryGetsAnEmptyLibraryOnce) {
    QTemporaryDir home;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    // A program directory the user may not write sends the files to the per-user directory.
    const QString dir = zr::program::chooseDataDirectory(QStringLiteral("/proc/1"));
    EXPECT_TRUE(dir.startsWith(home.path()));
    const QFileInfo library(QDir(dir).filePath(QStringLiteral("data.zr")));
    EXPECT_TRUE(library.exists());
    EXPECT_EQ(library.size(), 0);

    // A library that goes missing later is not made again: its loss is reported.
    ASSERT_TRUE(QFile::remove(library.filePath()));
    EXPECT_EQ(zr::program::chooseDataDirectory(QStringLiteral("/proc/1")), dir);
    EXPECT_FALSE(QFileInfo::exists(library.filePath()));
    if (saved.isNull()) {
        qunsetenv("XDG_DATA_HOME");
    } else {
        qputenv("XDG_DATA_HOME", saved);
    }
}

// "<--" refuses a value that is no reading, says why, and leaves the page as it was; once the
// meter measures again it takes the reading.
TEST(CalibrationLibrary, TheWizardTakesNoReadingFromAMeterThatDoesNotMeasure) {
    struct Case {
        const char* what;
        std::function<void(MeterHarness&)> stopMeasuring;
        std::function<void(MeterHarness&)> measureAgain;
        QString message;
    };
    const Case cases[] = {
        {"meter pulled out",
         [](MeterHarness& h) {
             h.meter.unplug();
             WAIT_UNTIL(h.session().state().currentDevice == nullptr, 3000);
         },
         [](MeterHarness& h) {
             h.meter.plug();
             h.waitForMeter();
             zr::test::meterStatus(h);
         },
         QStringLiteral("Прибор не подключен !")},
        {"frequency out of the band",
         [](MeterHarness& h) {
             h.meter.setFrequencyOutOfRange(true);
             zr::test::meterStatus(h);
             ASSERT_EQ(h.window().results()->valuePanel()->text(), QStringLiteral("0"));
         },
         [](MeterHarness& h) {
             h.meter.setFrequencyOutOfRange(false);
             zr::test::meterStatus(h);
         },
         QStringLiteral("Частота вне допустимого диапазона, показание не снято !")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MeterHarness h;
        measureFuel(h, 70.0);
        auto* wizard = &h.program->dialogs().correctionWizard();
        QTimer::singleShot(0, wizard, [&] {
            auto* next = child<QPushButton>(wizard, "Button3");
            next->click();
            next->click();
            child<QPushButton>(wizard, "SpeedButton1")->click();
            QTest::keyClicks(child<OctaneEdit>(wizard, "CurrencyEdit2"), QStringLiteral("80"));
            child<QPushButton>(wizard, "Button1")->click();
            const QString heading = child<QLabel>(wizard, "Label1")->text();

            measureFuel(h, 86.0);
            c.stopMeasuring(h);
            child<QPushButton>(wizard, "SpeedButton2")->click();
            EXPECT_EQ(h.messages.errors, QStringList{c.message});
            EXPECT_EQ(fieldHundredths(wizard, "CurrencyEdit3"), 0);
            EXPECT_EQ(fieldHundredths(wizard, "CurrencyEdit1"), 7000);
            EXPECT_EQ(child<QLabel>(wizard, "Label1")->text(), heading);
            EXPECT_EQ(wizardPage(wizard), 2);

            c.measureAgain(h);
            child<QPushButton>(wizard, "SpeedButton2")->click();
            EXPECT_EQ(fieldHundredths(wizard, "CurrencyEdit3"), 8600);
            wizard->reject();
        });
        wizard->run();
    }
}

// K1 and K2 are checked on their own page: a wrong one is reported there and put right without
// losing the readings; what cannot make an integer is not taken at all.
TEST(CalibrationLibrary, TheWizardChecksTypedCoefficientsOnTheirPage) {
    struct Case {
        QString typed;
        QString shown;
        QString error; // empty: accepted
    };
    const Case cases[] = {
        {QStringLiteral("40000"), QStringLiteral("40000"),
         QStringLiteral("Коэффициент К1 = 40000 вне допустимого диапазона от -32768 до 32767.")},
        {QStringLiteral("-"), QStringLiteral("-"),
         QStringLiteral("'-' is not a valid integer value.")},
        {QStringLiteral("8.l15"), QStringLiteral("815"), QString()},
    };
    MeterHarness h;
    measureFuel(h, 70.0);
    auto* wizard = &h.program->dialogs().correctionWizard();
    QTimer::singleShot(0, wizard, [&] {
        measureBothFuels(h, wizard);
        auto* next = child<QPushButton>(wizard, "Button3");
        auto* k1 = child<QLineEdit>(wizard, "Edit1");
        for (const Case& c : cases) {
            SCOPED_TRACE(c.typed.toStdString());
            h.messages.errors.clear();
            k1->selectAll();
            QTest::keyClicks(k1, c.typed);
            EXPECT_EQ(k1->text(), c.shown);
            next->click();
            if (c.error.isEmpty()) {
                EXPECT_TRUE(h.messages.errors.isEmpty());
                EXPECT_EQ(wizardPage(wizard), 4);
            } else {
                EXPECT_EQ(h.messages.errors, QStringList{c.error})
                    << h.messages.errors.join(QLatin1Char('|')).toStdString();
                EXPECT_EQ(wizardPage(wizard), 3);
                EXPECT_EQ(fieldHundredths(wizard, "CurrencyEdit1"), 7000);
                EXPECT_EQ(fieldHundredths(wizard, "CurrencyEdit4"), 9300);
            }
        }
        next->click();
        if (wizard->isVisible()) {
            wizard->reject();
        }
    });
    const auto result = wizard->run();
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->k1, 815);
    EXPECT_EQ(result->k2, 231);
}

// With no free slot the wizard asks to write the calibration "под номером 1"; the answer OK sends
// the next copy to slot 1, and the meter's other calibrations stay.
TEST(CalibrationLibrary, TheNoFreeSlotAnswerWritesSlotOne) {
    LocaleGuard locale{QLocale(QLocale::English)};
    MeterHarness h(false);
    h.meter.device().withModel([](zr::sim::MeterModel& m) {
        for (int slot = 1; slot <= 4; ++slot) {
            m.storeCalibration({slot, "LAB", 1, static_cast<std::int16_t>(1000 + slot), 0});
        }
    });
    h.meter.plug();
    h.waitForMeter();
    measureFuel(h, 70.0);
    // The first report's list refresh finds the four slots taken.
    WAIT_UNTIL(zr::test::entryReplies(h) >= 4 && !h.session().calibrationListTimer().isEnabled(),
               5000);
    ASSERT_EQ(h.session().meterCalibrations().lastSlot(), 4);
    oneLibraryEntry(h);
    auto* library = &h.program->dialogs().libraryWindow();
    library->show();
    library->grid()->setCurrentGridRow(1);
    for (int refused = 0; refused < 5; ++refused) {
        child<QPushButton>(library, "Button3")->click();
    }
    ASSERT_EQ(h.session().meterCalibrations().lastSlot(), 9);

    // The method is left as shown: a pick would have the list read again, which starts the count
    // of refused copies afresh.
    auto* wizard = &h.program->dialogs().correctionWizard();
    QTimer::singleShot(0, wizard, [&] {
        runWizard(h, wizard, false);
        if (wizard->isVisible()) {
            wizard->reject();
        }
    });
    child<QPushButton>(library, "Button1")->click();
    ASSERT_EQ(h.messages.questions.size(), 1);
    EXPECT_TRUE(h.messages.questions.front().endsWith(QStringLiteral("под номером 1 ?")));
    ASSERT_EQ(library->library().entries().size(), 2U);

    library->grid()->setCurrentGridRow(2);
    child<QPushButton>(library, "Button3")->click();
    const auto k1Of = [&h](int slot) {
        return h.meter.device().withModel(
            [slot](const zr::sim::MeterModel& m) { return m.calibration(1, slot)->k1; });
    };
    WAIT_UNTIL(k1Of(1) != 1001 || k1Of(2) != 1002, 3000);
    EXPECT_EQ(k1Of(1), 812);
    EXPECT_EQ(k1Of(2), 1002);
    library->close();
}
