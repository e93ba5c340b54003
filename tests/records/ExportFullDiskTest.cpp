#include "ExportFakes.h"
#include "ExportTestSupport.h"
#include "records/Export.h"
#include "records/PrintReport.h"
#include "records/xlsx/XlsxSpreadsheetServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zr;

namespace {

constexpr const char* kFullDiskVariable = "ZR_FULL_DISK_DIR";

common::MemoryTextGrid largeTable() {
    std::vector<std::vector<QString>> rows;
    for (int i = 0; i < 500; ++i) {
        rows.push_back(test::sampleRow(QString::number(i * 7919 % 10007),
                                       QStringLiteral("АИ-%1").arg(i * 104729 % 99991)));
    }
    return test::measurementTable(rows);
}

// Runs the test named `filter` again in its own mount namespace with a 64 KiB tmpfs at a fresh
// directory, whose path the child finds in ZR_FULL_DISK_DIR. False when namespaces or mounts
// are not allowed here.
bool rerunOnSmallTmpfs(const QString& filter, QString* output, int* exitCode) {
    if (QProcess::execute(QStringLiteral("unshare"), {"-m", "true"}) != 0) {
        return false;
    }
    QTemporaryDir mountPoint;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kFullDiskVariable), mountPoint.path());
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral("unshare"),
                {"-m", "--propagation", "private", "sh", "-c",
                 "mount -t tmpfs -o size=64k tmpfs \"$0\" || exit 97; exec \"$@\"",
                 mountPoint.path(), QCoreApplication::applicationFilePath(),
                 QStringLiteral("--gtest_filter=") + filter});
    child.waitForFinished(120000);
    *output = QString::fromLocal8Bit(child.readAll());
    *exitCode = child.exitCode();
    return *exitCode != 97;
}

// Fills the tmpfs so that only 8 KiB stay free.
void fillDisk(const QString& dir) {
    QFile filler(QDir(dir).filePath(QStringLiteral(".filler")));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    ASSERT_EQ(filler.write(QByteArray(56 * 1024, 'f')), 56 * 1024);
    filler.close();
}

QStringList visibleFiles(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::NoDotAndDotDot);
}

} // namespace

TEST(ExportFullDisk, EveryFileOnAFullDiskIsReportedAndNoneIsLeftHalfWritten) {
    const QString disk = qEnvironmentVariable(kFullDiskVariable);
    if (disk.isEmpty()) {
        QString output;
        int exitCode = 0;
        if (!rerunOnSmallTmpfs(QStringLiteral("ExportFullDisk.*"), &output, &exitCode)) {
            GTEST_SKIP() << "no mount namespace or tmpfs here; the injected write errors of "
                            "ExportText and ExportWorkbook cover the messages";
        }
        EXPECT_EQ(exitCode, 0) << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test.")))
            << output.toStdString();
        return;
    }

    fillDisk(disk);
    test::ControllerRig rig;
    common::MemoryTextGrid table = largeTable();
    common::MemoryTextGrid storedValues(4, 11);
    test::ScriptedSaveDialog dialog;
    QStringList cursorCalls;
    test::RecordingBusyCursor cursor(cursorCalls);
    records::Export exporter(
        rig.context(),
        records::Export::Ports{table, storedValues, dialog,
                               records::xlsxSpreadsheetServerFactory(records::systemFiles()),
                               records::systemFiles(), cursor});
    const QString text = QDir(disk).filePath(QStringLiteral("таблица.txt"));
    const QString book = QDir(disk).filePath(QStringLiteral("таблица.xls"));
    dialog.answers.push_back({records::SaveFileType::Text, text});
    dialog.answers.push_back({records::SaveFileType::Spreadsheet, book});
    rig.run([&] { exporter.SaveTable(); });
    rig.run([&] { exporter.SaveTable(); });

    test::RecordingWeb web;
    records::PrintReport report(
        rig.context(), records::PrintReport::Ports{table, web, records::systemFiles(), disk});
    rig.run([&] { report.BuildPrintReport(); });

    const QString reason = QStringLiteral("No space left on device.");
    EXPECT_EQ(
        rig.messages.errors,
        QStringList(
            {QStringLiteral("Cannot create file \"%1\". ").arg(text) + reason,
             QStringLiteral("Cannot create file \"%1\". ").arg(book) + reason,
             QStringLiteral("Cannot create file \"%1\". ").arg(QDir(disk).filePath("tmp1.html")) +
                 reason}));
    EXPECT_TRUE(visibleFiles(disk).isEmpty()) << visibleFiles(disk).join(' ').toStdString();
    EXPECT_TRUE(web.navigated.isEmpty());
}
