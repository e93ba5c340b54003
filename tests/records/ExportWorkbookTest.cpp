#include "ExportFakes.h"
#include "ExportTestSupport.h"
#include "WorkbookReader.h"
#include "records/Export.h"
#include "records/MeasurementRow.h"
#include "records/xlsx/ScratchDirectory.h"
#include "records/xlsx/TableWorkbook.h"
#include "support/LocaleGuard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace zr;

namespace {

struct WorkbookRig : test::ControllerRig {
    explicit WorkbookRig(const records::MeasurementRows& rows,
                         const QLocale& workbookLocale = QLocale::c())
        : locale(workbookLocale) {
        test::showRows(table, rows);
    }

    void save(records::SaveFileType type, const QString& path,
              common::FileAccess& files = common::systemFiles()) {
        dialog.answers.push_back({type, path});
        records::Export exporter(records::Export::Ports{
            table, storedValues, dialog, records::xlsxWorkbookWriter(locale), files, cursor});
        run([&] { exporter.saveTable(); });
    }

    records::MeasurementTableModel table;
    QLocale locale;
    records::StoredValuesModel storedValues;
    test::ScriptedSaveDialog dialog;
    QStringList cursorCalls;
    test::RecordingBusyCursor cursor{cursorCalls};
};

} // namespace

TEST(ExportWorkbook, TheTableReadsBackWithTitleHeadersRowsWidthsAndFonts) {
    QTemporaryDir dir;
    // Type 1 keeps its ".xls" name; the content is an Office Open XML workbook.
    const QString path = dir.filePath(QStringLiteral("Замеры за декабрь.xls"));
    WorkbookRig rig(test::measurementRows(
        {test::sampleRow("10", QStringLiteral("АИ-92")), test::sampleRow("11", "A-76")}));
    rig.save(records::SaveFileType::Spreadsheet, path);
    ASSERT_TRUE(rig.messages.errors.isEmpty()) << rig.messages.errors.join('\n').toStdString();
    EXPECT_EQ(rig.cursorCalls, QStringList({"cursor busy", "cursor default"}));

    const test::Workbook book = test::readWorkbook(path);
    EXPECT_EQ(book.json.value("sheets").toInt(), 1);

    EXPECT_EQ(book.text("B1"), QStringLiteral("ZR-6040 USB"));
    for (const char* address : {"A1", "B1"}) {
        const QJsonObject cell = book.cell(address);
        EXPECT_EQ(cell.value("size").toDouble(), 15) << address;
        EXPECT_TRUE(cell.value("bold").toBool()) << address;
        // Colour index 8 of the default palette.
        EXPECT_EQ(cell.value("fill").toString(), QStringLiteral("FF00FFFF")) << address;
        EXPECT_EQ(cell.value("align").toString(), QStringLiteral("center")) << address;
    }
    EXPECT_TRUE(book.cell("C1").value("fill").isNull());

    const QStringList headers{"№",  "Марка бензина", "Резервуар", "Поставщик", "Метод изм.",
                              "ОЧ", "Дата/Время"};
    const QString columns = QStringLiteral("ABCDEFG");
    for (int c = 0; c < 7; ++c) {
        const QString address = columns[c] + QStringLiteral("3");
        EXPECT_EQ(book.text(address), headers[c]);
        EXPECT_EQ(book.cell(address).value("size").toDouble(), 10);
        EXPECT_TRUE(book.cell(address).value("bold").toBool());
        EXPECT_EQ(book.cell(address).value("align").toString(), QStringLiteral("center"));
    }

    const QStringList first{
        "10", "АИ-92", "P 1", "ЛУКОЙЛ", "Исследовательский метод", "92.3", "2026-12-07T10:15:00"};
    QStringList second = first;
    second[0] = QStringLiteral("11");
    second[1] = QStringLiteral("A-76");
    for (int c = 0; c < 7; ++c) {
        for (const auto& [row, texts] : {std::pair{4, first}, std::pair{5, second}}) {
            const QString address = columns[c] + QString::number(row);
            const QJsonValue value = book.cell(address).value("value");
            const QString shown =
                value.isDouble() ? QString::number(value.toDouble()) : value.toString();
            EXPECT_EQ(shown, texts[c]) << address.toStdString();
            EXPECT_EQ(book.cell(address).value("size").toDouble(), 8);
            EXPECT_FALSE(book.cell(address).value("bold").toBool());
            EXPECT_EQ(book.cell(address).value("align").toString(), QStringLiteral("center"));
        }
        // The entry row: empty, but centred like the others.
        const QString entry = columns[c] + QStringLiteral("6");
        EXPECT_TRUE(book.cell(entry).value("value").isNull()) << entry.toStdString();
        EXPECT_EQ(book.cell(entry).value("align").toString(), QStringLiteral("center"));
        EXPECT_EQ(book.cell(entry).value("size").toDouble(), 8);
    }
    EXPECT_EQ(book.json.value("max_row").toInt(), 6);

    const double widths[] = {4, 30, 10, 30, 30, 10, 20};
    for (int c = 0; c < 7; ++c) {
        EXPECT_DOUBLE_EQ(book.width(columns.mid(c, 1)), test::storedColumnWidth(widths[c]))
            << columns[c].toLatin1();
    }
    EXPECT_DOUBLE_EQ(book.width(QStringLiteral("A")), 4.7109375);
}

TEST(ExportWorkbook, ListTextsReadAsTheLocaleReadsThemTypedTextsStayTextsAndTheMomentIsADate) {
    struct Case {
        const char* locale;
        const char* decimal;      // a list text written as a number
        const char* otherDecimal; // the other separator: stays text
        const char* dateTimeFormat;
    };
    const Case cases[] = {
        {"ru_RU", "92,3", "92.3", "dd.mm.yyyy hh:mm:ss"},
        {"de_DE", "92,3", "92.3", "dd.mm.yy hh:mm:ss"},
        {"en_US", "92.3", "92,3", "m\\/d\\/yy h:mm:ss AM/PM"},
    };
    const QDateTime moment(QDate(2026, 12, 7), QTime(16, 5, 9));
    for (const Case& c : cases) {
        const QLocale locale(QString::fromLatin1(c.locale));
        const test::LocaleGuard shown{locale};
        const QString timestamp = records::measurementTimestamp(moment, locale);
        records::MeasurementRow numbers = test::sampleRow("12", QString::fromLatin1(c.decimal));
        numbers.supplier = QStringLiteral("0012");
        numbers.method.reset();
        numbers.moment = moment.toUTC();
        records::MeasurementRow texts = test::sampleRow("-5", QString::fromLatin1(c.otherDecimal));
        texts.tank = QStringLiteral("1");
        texts.typed[records::MeasurementRow::MethodColumn] = timestamp;
        texts.typed[records::MeasurementRow::ValueColumn] = QStringLiteral("92,30");
        texts.typed[records::MeasurementRow::MomentColumn] = QStringLiteral("07.12.26");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("book.xlsx"));
        WorkbookRig rig(test::measurementRows({numbers, texts}), locale);
        rig.save(records::SaveFileType::Workbook, path);
        ASSERT_TRUE(rig.messages.errors.isEmpty()) << rig.messages.errors.join('\n').toStdString();
        const test::Workbook book = test::readWorkbook(path);
        const auto expectNumber = [&](const char* address, double number) {
            EXPECT_EQ(book.cell(address).value("type").toString(), "n") << c.locale << address;
            EXPECT_EQ(book.cell(address).value("value").toDouble(), number) << c.locale << address;
            // A whole № is shown whole, never as "1E+06" in a narrow column.
            EXPECT_EQ(book.cell(address).value("format").toString(),
                      address[0] == 'A' ? "0" : "General")
                << c.locale << address;
        };
        const auto expectText = [&](const char* address, const QString& text) {
            EXPECT_EQ(book.cell(address).value("type").toString(), "s") << c.locale << address;
            EXPECT_EQ(book.text(address), text) << c.locale << address;
        };
        expectNumber("A4", 12);
        expectNumber("B4", 92.3);
        expectNumber("F4", 92.3);
        expectNumber("A5", -5);
        expectNumber("C5", 1);
        expectText("D4", "0012"); // a leading zero would be lost
        expectText("E4", " ");
        expectText("B5", QString::fromLatin1(c.otherDecimal));
        expectText("F5", "92,30");
        expectText("G5", "07.12.26");
        expectText("E5", timestamp);
        expectText("B1", "ZR-6040 USB");
        expectText("F3", "ОЧ");
        const QJsonObject date = book.cell("G4");
        EXPECT_EQ(date.value("type").toString(), "d") << c.locale;
        EXPECT_EQ(date.value("value").toString(), "2026-12-07T16:05:09") << c.locale;
        EXPECT_EQ(date.value("format").toString(), QString::fromUtf8(c.dateTimeFormat))
            << c.locale << " " << timestamp.toStdString();
        EXPECT_EQ(date.value("align").toString(), "center");
    }
}

TEST(ExportWorkbook, TheAddedTypeWritesTheSameWorkbookAndTextsKeepEveryCharacter) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("книга.xlsx"));
    QString every;
    QString expected; // control characters come back in the workbook's own escape form
    for (char16_t c = 1; c < 0x80; ++c) {
        every += QChar(c);
        if (c < 0x20 && c != u'\t' && c != u'\n') {
            expected += QStringLiteral("_x%1_")
                            .arg(int(c), 4, 16, QLatin1Char('0'))
                            .toUpper()
                            .replace("_X", "_x");
        } else {
            expected += QChar(c);
        }
    }
    every += QStringLiteral("<tag> & \"ЁЖ中\"") + QChar(0) + QStringLiteral("end");
    expected += QStringLiteral("<tag> & \"ЁЖ中\"_x0000_end");
    WorkbookRig rig(test::measurementRows({test::sampleRow("1", every)}));
    rig.save(records::SaveFileType::Workbook, path);
    ASSERT_TRUE(rig.messages.errors.isEmpty()) << rig.messages.errors.join('\n').toStdString();

    const test::Workbook book = test::readWorkbook(path);
    EXPECT_EQ(book.text("B4"), expected);
    EXPECT_EQ(book.text("B1"), QStringLiteral("ZR-6040 USB"));
}

TEST(ExportWorkbook, ATextTooLongForACellIsReportedNotDropped) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.xlsx"));
    WorkbookRig rig(test::measurementRows({test::sampleRow("1", QString(40000, u'Ж'))}));
    rig.save(records::SaveFileType::Workbook, path);
    ASSERT_EQ(rig.messages.errors.size(), 1);
    EXPECT_TRUE(rig.messages.errors.first().startsWith(
        QStringLiteral("Cannot create file \"%1\". ").arg(path)))
        << rig.messages.errors.first().toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(ExportWorkbook, AWorkbookThatCannotBeWrittenIsReportedAndNothingIsLeft) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("нет/книга.xls"));
    WorkbookRig rig(test::measurementRows({test::sampleRow("1", "A-76")}));
    rig.save(records::SaveFileType::Spreadsheet, path);
    EXPECT_EQ(
        rig.messages.errors,
        QStringList{
            QStringLiteral("Cannot create file \"%1\". нет такого файла или каталога.").arg(path)});
    EXPECT_EQ(rig.cursorCalls, QStringList({"cursor busy", "cursor default"}));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(ExportWorkbook, AFailedWriteLeavesThePreviousWorkbook) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.xlsx"));
    ASSERT_TRUE(test::writeFileBytes(path, "previous"));
    test::MemoryFiles failing;
    failing.everyWriteFails = true;
    WorkbookRig rig(test::measurementRows({test::sampleRow("1", "A-76")}));
    rig.save(records::SaveFileType::Workbook, path, failing);
    EXPECT_EQ(rig.messages.errors,
              QStringList{
                  QStringLiteral("Cannot create file \"%1\". No space left on device.").arg(path)});
    EXPECT_EQ(test::fileBytes(path), QByteArray("previous"));
    // The workbook was made and handed to the writer, which kept the old file.
    EXPECT_EQ(failing.replaced, QStringList{path});
}

TEST(ExportWorkbook, WithoutItsScratchDirectoryNoWorkbookIsMadeAndTheReasonIsGiven) {
    QTemporaryDir dir;
    const records::WorkbookBytes book =
        records::tableWorkbook(test::measurementRows({test::sampleRow("1", "A-76")}),
                               dir.filePath(QStringLiteral("missing")));
    EXPECT_TRUE(book.bytes.isEmpty());
    EXPECT_EQ(book.failure, QStringLiteral("нет такого файла или каталога"));
}

// A temporary directory where nothing can be made (read-only, or here not a directory at all)
// does not keep the workbook from being saved where the user asked.
TEST(ExportWorkbook, WithoutAUsableTemporaryDirectoryTheWorkbookIsMadeBesideItsTarget) {
    QTemporaryDir dir;
    const QString notADirectory = dir.filePath(QStringLiteral("temporary"));
    ASSERT_TRUE(test::writeFileBytes(notADirectory, "a file"));
    const QString path = dir.filePath(QStringLiteral("книга.xlsx"));
    const QByteArray tmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(notADirectory));
    WorkbookRig rig(test::measurementRows({test::sampleRow("1", "A-76")}));
    rig.save(records::SaveFileType::Workbook, path);
    qputenv("TMPDIR", tmpdir);

    EXPECT_TRUE(rig.messages.errors.isEmpty()) << rig.messages.errors.join('\n').toStdString();
    EXPECT_EQ(test::readWorkbook(path).text("B4"), QStringLiteral("A-76"));
    // Nothing of the scratch files is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              (QStringList{"temporary", "книга.xlsx"}));
}

// An export killed at any moment leaves nothing in the temporary directory once the next export
// has run, even in the instant libxlsxwriter's scratch files have names.
TEST(ExportWorkbook, AKilledExportLeavesNothingInTheTemporaryDirectoryAfterTheNext) {
    QTemporaryDir temp;
    QTemporaryDir out;
    const QString book = out.filePath(QStringLiteral("book.xlsx"));
    records::MeasurementRows rows;
    for (int i = 0; i < 2000; ++i) {
        rows.push_back(test::sampleRow(QString::number(i), QStringLiteral("АИ-92")));
    }
    const records::MeasurementRows table = test::measurementRows(rows);
    const QByteArray tmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    for (int round = 0; round < 8; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                WorkbookRig rig(table);
                rig.save(records::SaveFileType::Spreadsheet, book);
            }
        }
        ::usleep(static_cast<useconds_t>(20000 + round * 7000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
    }
    WorkbookRig next(test::measurementRows({test::sampleRow("1", "A-76")}));
    next.save(records::SaveFileType::Spreadsheet, book);
    qputenv("TMPDIR", tmpdir);
    EXPECT_TRUE(next.messages.errors.isEmpty());
    const QStringList left =
        QDir(temp.path())
            .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden | QDir::System);
    EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
}

// The scratch directory's name is shared ground under /tmp: a link planted there is not followed.
TEST(ExportWorkbook, ALinkInPlaceOfTheScratchDirectoryIsRefused) {
    QTemporaryDir temp;
    QTemporaryDir elsewhere;
    const QString own =
        temp.filePath(QStringLiteral("zr6040-workbook-%1").arg(QCoreApplication::applicationPid()));
    ASSERT_TRUE(QFile::link(elsewhere.path(), own));
    const records::ScratchDirectory scratch(temp.path());
    EXPECT_FALSE(scratch.isReady());
    EXPECT_FALSE(scratch.error().isEmpty());
    EXPECT_TRUE(QFileInfo(own).isSymLink());
}
