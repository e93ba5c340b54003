#include "records/Export.h"
#include "ExportFakes.h"
#include "ExportTestSupport.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zr;
using test::ControllerRig;

namespace {

struct ExportRig : ControllerRig {
    explicit ExportRig(common::MemoryTextGrid tableGrid,
                       common::FileAccess& writer = common::systemFiles())
        : table(std::move(tableGrid)), files(writer) {}

    records::Export& exporter() {
        if (!export_) {
            export_ = std::make_unique<records::Export>(records::Export::Ports{
                table, storedValues, dialog,
                [this]() -> std::unique_ptr<records::SpreadsheetServer> {
                    ++serversCreated;
                    if (!serverAvailable) {
                        return nullptr;
                    }
                    auto server = std::make_unique<test::RecordingSpreadsheetServer>(calls);
                    server->saveAsFailure = saveAsFailure;
                    return server;
                },
                files, cursor});
        }
        return *export_;
    }

    common::MemoryTextGrid table;
    common::MemoryTextGrid storedValues{4, 11};
    common::FileAccess& files;
    test::ScriptedSaveDialog dialog;
    QStringList calls;
    test::RecordingBusyCursor cursor{calls};
    bool serverAvailable = true;
    QString saveAsFailure;
    int serversCreated = 0;
    std::unique_ptr<records::Export> export_;
};

QByteArray crlf(const QByteArray& text) {
    QByteArray bytes = text;
    return bytes.replace("\n", "\r\n");
}

} // namespace

TEST(ExportText, TwoWrittenRowsGiveThreeBlocksOfSevenLinesTheLastEmpty) {
    QTemporaryDir dir;
    ExportRig rig(test::measurementTable(
        {test::sampleRow("10", QStringLiteral("АИ-92")), test::sampleRow("11", "A-76")}));
    const QString path = dir.filePath(QStringLiteral("таблица замеров.txt"));
    rig.dialog.answers.push_back({records::SaveFileType::Text, path});

    rig.run([&] { rig.exporter().SaveTable(); });

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
    EXPECT_EQ(rig.serversCreated, 0);
}

TEST(ExportText, SaveAsWritesTheStoredValuesWhateverTheTableHolds) {
    QTemporaryDir dir;
    ExportRig rig(test::measurementTable({test::sampleRow("10", "A-76")}));
    rig.storedValues.setCell(0, 1, QStringLiteral("1"));
    rig.storedValues.setCell(1, 1, QStringLiteral("Моторный метод"));
    rig.storedValues.setCell(2, 1, QStringLiteral("92,5"));
    rig.storedValues.setCell(3, 1, QStringLiteral("0"));
    const QString path = dir.filePath(QStringLiteral("stored.txt"));
    rig.dialog.answers.push_back({records::SaveFileType::Text, path});

    rig.run([&] { rig.exporter().N13Click(); });

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
    common::MemoryTextGrid grid(1, 3);
    grid.setCell(0, 1, every);
    ExportRig rig(test::measurementTable({}));
    rig.run([&] { rig.exporter().ExportGridToText(grid, path); });

    QByteArray expected;
    for (int c = 0; c < 0x80; ++c) {
        expected += static_cast<char>(c);
    }
    // 1251 holds Ё ё Ж ж № € and the em dash; the CJK character becomes "?".
    expected += "\xA8\xB8\xC6\xE6\xB9\x88\x97?";
    expected += "\r\n\r\n\r\n\r\n";
    EXPECT_TRUE(rig.messages.errors.isEmpty());
    EXPECT_EQ(test::fileBytes(path), expected);
}

TEST(ExportText, AFileThatCannotBeCreatedIsReportedWithItsNameAndTheReason) {
    QTemporaryDir dir;
    ExportRig rig(test::measurementTable({test::sampleRow("1", "A-76")}));
    const QString path = dir.filePath(QStringLiteral("нет такой папки/файл.txt"));
    rig.dialog.answers.push_back({records::SaveFileType::Text, path});

    rig.run([&] { rig.exporter().SaveTable(); });

    ASSERT_EQ(rig.messages.errors.size(), 1);
    EXPECT_EQ(rig.messages.errors.first(),
              QStringLiteral("Cannot create file \"%1\". No such file or directory.").arg(path));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(ExportText, AFailedWriteLeavesThePreviousFileAndNamesTheReason) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.txt"));
    ASSERT_TRUE(test::writeFileBytes(path, "previous"));
    test::MemoryFiles failing;
    failing.everyWriteFails = true;
    ExportRig rig(test::measurementTable({test::sampleRow("1", "A-76")}), failing);
    rig.dialog.answers.push_back({records::SaveFileType::Text, path});

    rig.run([&] { rig.exporter().SaveTable(); });

    EXPECT_EQ(rig.messages.errors,
              QStringList{
                  QStringLiteral("Cannot create file \"%1\". No space left on device.").arg(path)});
    EXPECT_EQ(test::fileBytes(path), QByteArray("previous"));
}

TEST(ExportSpreadsheet, TheServerIsDrivenMemberByMemberInOrder) {
    ExportRig rig(test::measurementTable(
        {test::sampleRow("10", QStringLiteral("АИ-92")), test::sampleRow("11", "A-76")}));
    rig.dialog.answers.push_back({records::SaveFileType::Spreadsheet, QStringLiteral("/t/b.xls")});

    rig.run([&] { rig.exporter().SaveTable(); });

    QStringList expected{"cursor busy",
                         "SheetsInNewWorkBook = 1",
                         "WorkBooks.Add",
                         "Workbooks(1).Sheets(1)",
                         "Columns.Columns(1).ColumnWidth = 4",
                         "Columns.Columns(2).ColumnWidth = 30",
                         "Columns.Columns(3).ColumnWidth = 10",
                         "Columns.Columns(4).ColumnWidth = 30",
                         "Columns.Columns(5).ColumnWidth = 30",
                         "Columns.Columns(6).ColumnWidth = 10",
                         "Columns.Columns(7).ColumnWidth = 20",
                         "Columns.Columns.Font.Size = 8",
                         "Range(a1:b1).Font.Size = 15",
                         "Range(a1:b1).Font.Bold = 1",
                         "Range(a1:b1).Columns.Interior.ColorIndex = 8",
                         "Range(a1:b1).HorizontalAlignment = 3",
                         "Cells(1, 2) = ZR-6040 USB",
                         "Range(a3:g3).Font.Size = 10",
                         "Range(a3:g3).Font.Bold = 1",
                         "Range(a3:g3).HorizontalAlignment = 3",
                         "Cells(3, 1) = №",
                         "Cells(3, 2) = Марка бензина",
                         "Cells(3, 3) = Резервуар",
                         "Cells(3, 4) = Поставщик",
                         "Cells(3, 5) = Метод изм.",
                         "Cells(3, 6) = ОЧ",
                         "Cells(3, 7) = Дата/Время"};
    int sheetRow = 4;
    for (const auto& row : {test::sampleRow("10", QStringLiteral("АИ-92")),
                            test::sampleRow("11", "A-76"), std::vector<QString>(7)}) {
        expected << QStringLiteral("Range(a%1:g%1).HorizontalAlignment = 3").arg(sheetRow);
        for (int column = 1; column <= 7; ++column) {
            expected << QStringLiteral("Cells(%1, %2) = %3")
                            .arg(sheetRow)
                            .arg(column)
                            .arg(row[static_cast<std::size_t>(column - 1)]);
        }
        ++sheetRow;
    }
    expected << "cursor default"
             << "WorkBooks(1).SaveAs(/t/b.xls)"
             << "WorkBooks(1).close(0)"
             << "quit"
             << "release";
    EXPECT_EQ(rig.calls, expected);
    EXPECT_TRUE(rig.messages.errors.isEmpty());
}

TEST(ExportSpreadsheet, WithoutAServerTheUserIsToldAndNothingElseHappens) {
    ExportRig rig(test::measurementTable({test::sampleRow("1", "A-76")}));
    rig.serverAvailable = false;
    rig.dialog.answers.push_back({records::SaveFileType::Spreadsheet, QStringLiteral("/t/b.xls")});

    rig.run([&] { rig.exporter().SaveTable(); });

    // The error box ends the text with a period.
    EXPECT_EQ(rig.messages.errors, QStringList{QStringLiteral("Error connect Excel.")});
    EXPECT_TRUE(rig.calls.isEmpty()) << rig.calls.join('\n').toStdString();
}

TEST(ExportSpreadsheet, AFailingSaveAsIsShownAndTheCursorIsBackAndTheServerReleased) {
    ExportRig rig(test::measurementTable({test::sampleRow("1", "A-76")}));
    rig.saveAsFailure = QStringLiteral("Cannot create file \"/t/b.xls\". Permission denied");
    rig.dialog.answers.push_back({records::SaveFileType::Spreadsheet, QStringLiteral("/t/b.xls")});

    rig.run([&] { rig.exporter().SaveTable(); });

    EXPECT_EQ(rig.messages.errors,
              QStringList{QStringLiteral("Cannot create file \"/t/b.xls\". Permission denied.")});
    EXPECT_EQ(rig.calls.count(QStringLiteral("cursor busy")), 1);
    EXPECT_EQ(rig.calls.count(QStringLiteral("cursor default")), 1);
    ASSERT_GE(rig.calls.size(), 2);
    EXPECT_EQ(
        rig.calls.mid(rig.calls.size() - 2),
        QStringList({QStringLiteral("WorkBooks(1).SaveAs(/t/b.xls)"), QStringLiteral("release")}));
}
