#include "ExportFakes.h"
#include "ExportTestSupport.h"
#include "records/Export.h"
#include "records/PrintReport.h"
#include "records/SelectionLists.h"
#include "records/xlsx/TableWorkbook.h"
#include "support/FullDisk.h"
#include "support/TestFiles.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace zr;

namespace {

records::MeasurementRows largeTable() {
    records::MeasurementRows rows;
    for (int i = 0; i < 500; ++i) {
        rows.push_back(test::sampleRow(QString::number(i * 7919 % 10007),
                                       QStringLiteral("АИ-%1").arg(i * 104729 % 99991)));
    }
    return test::measurementRows(rows);
}

QStringList visibleFiles(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::NoDotAndDotDot);
}

// Saves `table` as text and as a workbook, then prints it into `dir`, through the program's own
// file writers; returns how many print previews were shown.
std::size_t saveAndPrint(test::ControllerRig& rig, const records::MeasurementRows& rows,
                         const QString& text, const QString& book, const QString& dir) {
    records::MeasurementTableModel table;
    test::showRows(table, rows);
    records::StoredValuesModel storedValues;
    test::ScriptedSaveDialog dialog;
    QStringList cursorCalls;
    test::RecordingBusyCursor cursor(cursorCalls);
    records::Export exporter(records::Export::Ports{
        table, storedValues, dialog, records::xlsxWorkbookWriter(), common::systemFiles(), cursor});
    dialog.answers.push_back({records::SaveFileType::Text, text});
    dialog.answers.push_back({records::SaveFileType::Spreadsheet, book});
    rig.run([&] { exporter.saveTable(); });
    rig.run([&] { exporter.saveTable(); });
    test::RecordingPrintPreview preview;
    records::PrintReport report(
        rig.context(), records::PrintReport::Ports{table, preview, common::systemFiles(), dir});
    rig.run([&] { report.writePrintReport(); });
    return preview.shownFor.size();
}

} // namespace

TEST(ExportFullDisk, EveryFileOnAFullDiskIsReportedAndNoneIsLeftHalfWritten) {
    const QString disk = test::fullDiskDir();
    if (disk.isEmpty()) {
        test::rerunOnSmallTmpfs(QStringLiteral("ExportFullDisk.EveryFile*"), 1);
        return;
    }

    // 8 KiB stay free: too little for these large files.
    test::fillDisk(disk, 8 * 1024);
    test::ControllerRig rig;
    const records::MeasurementRows table = largeTable();
    const QString text = QDir(disk).filePath(QStringLiteral("таблица.txt"));
    const QString book = QDir(disk).filePath(QStringLiteral("таблица.xls"));
    const std::size_t previews = saveAndPrint(rig, table, text, book, disk);

    const QString reason = QStringLiteral("на диске нет свободного места.");
    EXPECT_EQ(
        rig.messages.errors,
        QStringList(
            {QStringLiteral("Cannot create file \"%1\". ").arg(text) + reason,
             QStringLiteral("Cannot create file \"%1\". ").arg(book) + reason,
             QStringLiteral("Cannot create file \"%1\". ").arg(QDir(disk).filePath("tmp1.html")) +
                 reason}));
    EXPECT_TRUE(visibleFiles(disk).isEmpty()) << visibleFiles(disk).join(' ').toStdString();
    EXPECT_EQ(previews, 0U);

    // A number list too long for the room left; the other lists fit.
    rig.messages.errors.clear();
    test::fillDisk(disk, 16 * 1024);
    records::SelectionLists lists(rig.context(), disk, records::SelectionLists::Input{});
    lists.loadSelectionLists();
    for (int i = 0; i < 3000; ++i) {
        lists.list(1).insertItem(0, QString::number(100000 + i));
    }
    lists.saveSelectionLists();
    ASSERT_EQ(rig.messages.errors.size(), 1);
    EXPECT_TRUE(rig.messages.errors[0].contains(QStringLiteral("s1.okt")) &&
                rig.messages.errors[0].contains(reason.chopped(1)))
        << rig.messages.errors[0].toStdString();
    EXPECT_EQ(visibleFiles(disk), (QStringList{"s2.okt", "s3.okt", "s4.okt"}));
}

// Small files, which a buffered write only tries to put on the disk when it is closed: each kind
// is refused on a disk with no room at all, and the file it would replace stays whole.
TEST(ExportFullDisk, SmallFilesOnAFullDiskAreReportedAndTheOldFilesStay) {
    const QString disk = test::fullDiskDir();
    if (disk.isEmpty()) {
        test::rerunOnSmallTmpfs(QStringLiteral("ExportFullDisk.SmallFiles*"), 1);
        return;
    }
    const QDir dir(disk);
    const QByteArray old(3000, 'o');
    const QStringList names = {"keep.txt", "keep.xls", "tmp1.html", "s1.okt", "s4.okt"};
    for (const QString& name : names) {
        ASSERT_TRUE(test::writeFileBytes(dir.filePath(name), old));
    }
    test::fillDisk(disk, 0);

    test::ControllerRig rig;
    const records::MeasurementRows table = test::measurementRows({test::sampleRow("1", "АИ-92")});
    const std::size_t previews =
        saveAndPrint(rig, table, dir.filePath("keep.txt"), dir.filePath("keep.xls"), disk);
    // The list files are written at close, changed or not.
    records::SelectionLists lists(rig.context(), disk, records::SelectionLists::Input{});
    lists.loadSelectionLists();
    lists.list(1).insertItem(0, QStringLiteral("77"));
    lists.saveSelectionLists();

    const QString reason = QStringLiteral("на диске нет свободного места");
    ASSERT_EQ(rig.messages.errors.size(), 7) << rig.messages.errors.join('\n').toStdString();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(
            rig.messages.errors[i],
            QStringLiteral("Cannot create file \"%1\". %2.").arg(dir.filePath(names[i]), reason));
    }
    for (int list = 1; list <= 4; ++list) {
        const QString error = rig.messages.errors[2 + list];
        EXPECT_TRUE(error.contains(QStringLiteral("s%1.okt").arg(list)) && error.contains(reason))
            << error.toStdString();
    }
    for (const QString& name : names) {
        EXPECT_EQ(test::fileBytes(dir.filePath(name)), old) << name.toStdString();
    }
    QStringList expected = names;
    expected.sort();
    EXPECT_EQ(visibleFiles(disk), expected) << visibleFiles(disk).join(' ').toStdString();
    EXPECT_EQ(previews, 0U);
}
