#include "records/Export.h"
#include "ExportFakes.h"
#include "ExportTestSupport.h"
#include "support/LocaleGuard.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zr;
using test::ControllerRig;

namespace {

struct ExportRig : ControllerRig {
    explicit ExportRig(const records::MeasurementRows& rows,
                       common::FileAccess& writer = common::systemFiles())
        : files(writer) {
        test::showRows(table, rows);
    }

    records::Export& exporter() {
        if (!export_) {
            export_ = std::make_unique<records::Export>(records::Export::Ports{
                table, storedValues, dialog,
                [this](const records::MeasurementRows& rows, const QString&) {
                    calls << (rows == table.rows() ? QStringLiteral("workbook of the table")
                                                   : QStringLiteral("workbook of other rows"));
                    return workbook;
                },
                files, cursor});
        }
        return *export_;
    }

    records::MeasurementTableModel table;
    records::StoredValuesModel storedValues;
    common::FileAccess& files;
    test::ScriptedSaveDialog dialog;
    QStringList calls;
    test::RecordingBusyCursor cursor{calls};
    records::WorkbookBytes workbook{"PK workbook", {}};
    std::unique_ptr<records::Export> export_;
};

// Keeps each replacement in the calls, and succeeds.
class RecordingFileWriter : public test::MemoryFiles {
public:
    explicit RecordingFileWriter(QStringList& calls) : calls_(calls) {}
    QString replace(const QString& path, const QByteArray& bytes) override {
        calls_ << QStringLiteral("replace %1 with %2").arg(path, QString::fromLatin1(bytes));
        return MemoryFiles::replace(path, bytes);
    }

private:
    QStringList& calls_;
};

QByteArray crlf(const QByteArray& text) {
    QByteArray bytes = text;
    return bytes.replace("\n", "\r\n");
}

} // namespace

TEST(ExportText, TwoWrittenRowsGiveThreeBlocksOfSevenLinesTheLastEmpty) {
    const test::LocaleGuard russian{QLocale(QLocale::Russian, QLocale::Russia)};
    QTemporaryDir dir;
    ExportRig rig(test::measurementRows(
        {test::sampleRow("10", QStringLiteral("АИ-92")), test::sampleRow("11", "A-76")}));
    const QString path = dir.filePath(QStringLiteral("таблица замеров.txt"));
    rig.dialog.answers.push_back({records::SaveFileType::Text, path});

    rig.run([&] { rig.exporter().saveTable(); });

    EXPECT_TRUE(rig.messages.errors.isEmpty());
    // Code page 1251 bytes: "АИ-92" is C0 C8 2D 39 32.
    const QByteArray block1 =
        "10\n\xC0\xC8-92\nP 1\n\xCB\xD3\xCA\xCE\xC9\xCB\n"
        "\xC8\xF1\xF1\xEB\xE5\xE4\xEE\xE2\xE0\xF2\xE5\xEB\xFC\xF1\xEA\xE8\xE9 "
        "\xEC\xE5\xF2\xEE\xE4\n92,3\n07.12.2026 10:15:00\n\n";
    const QByteArray block2 =
        "11\nA-76\nP 1\n\xCB\xD3\xCA\xCE\xC9\xCB\n"
        "\xC8\xF1\xF1\xEB\xE5\xE4\xEE\xE2\xE0\xF2\xE5\xEB\xFC\xF1\xEA\xE8\xE9 "
        "\xEC\xE5\xF2\xEE\xE4\n92,3\n07.12.2026 10:15:00\n\n";
    const QByteArray entryRow = "\n\n\n\n\n\n\n\n";
    EXPECT_EQ(test::fileBytes(path), crlf(block1 + block2 + entryRow));
    EXPECT_TRUE(rig.calls.isEmpty()) << "no workbook, no busy cursor";
}

TEST(ExportText, SaveAsWritesTheStoredValuesWhateverTheTableHolds) {
    const test::LocaleGuard russian{QLocale(QLocale::Russian, QLocale::Russia)};
    QTemporaryDir dir;
    ExportRig rig(test::measurementRows({test::sampleRow("10", "A-76")}));
    rig.storedValues.setRow(0, protocol::StoredValueRecord{1, 2, 92.5F, 0});
    const QString path = dir.filePath(QStringLiteral("stored.txt"));
    rig.dialog.answers.push_back({records::SaveFileType::Text, path});

    rig.run([&] { rig.exporter().saveTableAs(); });

    QByteArray expected =
        crlf("1\n\xCC\xEE\xF2\xEE\xF0\xED\xFB\xE9 \xEC\xE5\xF2\xEE\xE4\n92,5\n0\n\n");
    for (int row = 2; row <= 10; ++row) {
        expected += QByteArray("\r\n").repeated(5);
    }
    EXPECT_EQ(test::fileBytes(path), expected);
}

TEST(ExportText, ReplacesAnExistingFileAndKeepsEveryCharacterTheCodePageHolds) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.txt"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(10000, 'z'));
    old.close();

    QString every;
    for (char16_t c = 0; c < 0x80; ++c) {
        every += QChar(c);
    }
    every += QStringLiteral("ЁёЖж№€—中");
    records::MeasurementRow row = test::sampleRow(every, QStringLiteral("A-76"));
    ExportRig rig(test::measurementRows({row}));
    rig.dialog.answers.push_back({records::SaveFileType::Text, path});
    rig.run([&] { rig.exporter().saveTable(); });

    QByteArray expected;
    for (int c = 0; c < 0x80; ++c) {
        expected += static_cast<char>(c);
    }
    // 1251 holds Ё ё Ж ж № € and the em dash; the CJK character becomes "?".
    expected += "\xA8\xB8\xC6\xE6\xB9\x88\x97?\r\n";
    EXPECT_TRUE(rig.messages.errors.isEmpty());
    EXPECT_TRUE(test::fileBytes(path).startsWith(expected));
}

TEST(ExportText, AFileThatCannotBeCreatedIsReportedWithItsNameAndTheReason) {
    QTemporaryDir dir;
    ExportRig rig(test::measurementRows({test::sampleRow("1", "A-76")}));
    const QString path = dir.filePath(QStringLiteral("нет такой папки/файл.txt"));
    rig.dialog.answers.push_back({records::SaveFileType::Text, path});

    rig.run([&] { rig.exporter().saveTable(); });

    ASSERT_EQ(rig.messages.errors.size(), 1);
    EXPECT_EQ(
        rig.messages.errors.first(),
        QStringLiteral("Cannot create file \"%1\". нет такого файла или каталога.").arg(path));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(ExportText, AFailedWriteLeavesThePreviousFileAndNamesTheReason) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.txt"));
    ASSERT_TRUE(test::writeFileBytes(path, "previous"));
    test::MemoryFiles failing;
    failing.everyWriteFails = true;
    ExportRig rig(test::measurementRows({test::sampleRow("1", "A-76")}), failing);
    rig.dialog.answers.push_back({records::SaveFileType::Text, path});

    rig.run([&] { rig.exporter().saveTable(); });

    EXPECT_EQ(rig.messages.errors,
              QStringList{
                  QStringLiteral("Cannot create file \"%1\". No space left on device.").arg(path)});
    EXPECT_EQ(test::fileBytes(path), QByteArray("previous"));
}

TEST(ExportSpreadsheet, BothCommandsWriteTheTablesWorkbookUnderTheBusyCursor) {
    using Command = void (records::Export::*)();
    for (const Command command : {&records::Export::saveTable, &records::Export::saveTableAs}) {
        QStringList calls;
        RecordingFileWriter files(calls);
        ExportRig rig(test::measurementRows({test::sampleRow("1", "A-76")}), files);
        rig.dialog.answers.push_back(
            {records::SaveFileType::Spreadsheet, QStringLiteral("/t/b.xls")});

        rig.run([&] { (rig.exporter().*command)(); });

        EXPECT_TRUE(rig.messages.errors.isEmpty());
        EXPECT_EQ(rig.calls,
                  QStringList({"cursor busy", "workbook of the table", "cursor default"}));
        EXPECT_EQ(calls, QStringList{"replace /t/b.xls with PK workbook"});
    }
}

TEST(ExportSpreadsheet, AWorkbookNotMadeOrNotWrittenIsReportedWithItsNameAndTheCursorIsBack) {
    struct Case {
        const char* name;
        const char* workbookFailure; // from the workbook writer
        const char* writeFailure;    // from the file writer
        const char* message;
    };
    const Case cases[] = {
        {"not made", "No such file or directory", "",
         "Cannot create file \"/t/b.xls\". No such file or directory."},
        {"not written", "", "Permission denied",
         "Cannot create file \"/t/b.xls\". Permission denied."},
    };
    for (const Case& c : cases) {
        test::MemoryFiles files;
        files.everyWriteFails = c.writeFailure[0] != 0;
        files.writeFailure = QString::fromLatin1(c.writeFailure);
        ExportRig rig(test::measurementRows({test::sampleRow("1", "A-76")}), files);
        rig.workbook.failure = QString::fromLatin1(c.workbookFailure);
        rig.dialog.answers.push_back(
            {records::SaveFileType::Spreadsheet, QStringLiteral("/t/b.xls")});

        rig.run([&] { rig.exporter().saveTable(); });

        EXPECT_EQ(rig.messages.errors, QStringList{QString::fromLatin1(c.message)}) << c.name;
        EXPECT_EQ(rig.calls,
                  QStringList({"cursor busy", "workbook of the table", "cursor default"}))
            << c.name;
        // A workbook that could not be made is never handed to the file writer.
        EXPECT_EQ(files.replaced.size(), c.workbookFailure[0] ? 0 : 1) << c.name;
    }
}
