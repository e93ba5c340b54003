#include "ExportDialogs.h"
#include "records/views/SaveDialog.h"
#include "support/ProgramHarness.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"
#include "ui/StringGrid.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

using zr::test::fileBytes;
using zr::test::ModalAnswer;
using zr::test::ProgramHarness;

namespace {

// The measurement table with two written rows and its entry row.
void fillTable(ProgramHarness& h) {
    auto* grid = h.find<zr::ui::StringGrid>("StringGrid3");
    grid->setRowCountWithHeader(4);
    const QStringList first{
        "10", "АИ-92", "P 1", "ЛУКОЙЛ", "Моторный метод", "85,1", "07.12.2026 10:00:00"};
    const QStringList second{
        "11", "A-76", "P 2", "ЮКОС", "Моторный метод", "76", "07.12.2026 10:05:00"};
    for (int c = 0; c < 7; ++c) {
        grid->setCell(c, 1, first[c]);
        grid->setCell(c, 2, second[c]);
    }
}

void clickSection(ProgramHarness& h, int section) {
    auto* header = h.find<QHeaderView>("HeaderControl1");
    const int x = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

// What the user does in the save dialog: picks a type from the list (-1 keeps the offered one)
// and types a name.
struct SaveAnswer {
    int type = -1;
    QString name;
    // What the dialog offered when it opened.
    QString offeredFilter;
    QStringList offeredFiles;
};

std::function<void(QFileDialog&)> answerWith(SaveAnswer& answer) {
    return [&answer](QFileDialog& dialog) {
        answer.offeredFilter = dialog.selectedNameFilter();
        answer.offeredFiles = dialog.selectedFiles();
        if (answer.name.isEmpty()) {
            dialog.reject();
            return;
        }
        if (answer.type >= 1) {
            auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            types->setCurrentIndex(answer.type - 1);
            // What a click on the list's item emits.
            emit types->activated(answer.type - 1);
            emit types->textActivated(types->currentText());
        }
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->clear();
        name->insert(answer.name); // as typed (key events carry no Cyrillic here)
        QMetaObject::invokeMethod(&dialog, "accept");
    };
}

} // namespace

TEST(ExportE2E, SaveTableOffersTheTextTypeAndAddsItsSuffix) {
    ProgramHarness h;
    fillTable(h);
    SaveAnswer answer{-1, h.dataDir.filePath(QStringLiteral("замеры декабря")), {}, {}};
    ModalAnswer<QFileDialog> dialogs(answerWith(answer));

    clickSection(h, 2);
    WAIT_UNTIL_EQ(dialogs.count, 1, 5000);

    EXPECT_EQ(answer.offeredFilter, QStringLiteral("Текстовый файл (*.txt)"));
    const QString path = h.dataDir.filePath(QStringLiteral("замеры декабря.txt"));
    const QByteArray bytes = fileBytes(path);
    EXPECT_TRUE(bytes.startsWith("10\r\n\xC0\xC8-92\r\nP 1\r\n")) << bytes.left(40).toStdString();
    EXPECT_TRUE(bytes.endsWith("07.12.2026 10:05:00\r\n\r\n" + QByteArray("\r\n").repeated(8)));
    EXPECT_EQ(bytes.count("\r\n"), 3 * 8);
    EXPECT_TRUE(h.messages.errors.isEmpty()) << h.messages.errors.join('\n').toStdString();
}

TEST(ExportE2E, TheLastTypeAndNameAreOfferedAgainAndTheWorkbookTypeWritesAWorkbook) {
    ProgramHarness h;
    fillTable(h);
    SaveAnswer answer{3, h.dataDir.filePath(QStringLiteral("книга замеров")), {}, {}};
    ModalAnswer<QFileDialog> dialogs(answerWith(answer));

    h.find<QAction>("N13")->trigger();
    WAIT_UNTIL_EQ(dialogs.count, 1, 5000);
    const QString book = h.dataDir.filePath(QStringLiteral("книга замеров.xlsx"));
    ASSERT_TRUE(h.messages.errors.isEmpty()) << h.messages.errors.join('\n').toStdString();
    // The busy cursor is gone again.
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import openpyxl,sys\n"
                                 "s=openpyxl.load_workbook(open(sys.argv[1],'rb')).active\n"
                                 "print(s['B1'].value, s['B4'].value, s['D5'].value, s.max_row)"),
                  book});
    ASSERT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(QString::fromUtf8(python.readAllStandardOutput()).trimmed(),
              QStringLiteral("ZR-6040 USB АИ-92 ЮКОС 6"))
        << python.readAllStandardError().toStdString();

    // Offered again: the workbook type and the name just used; the text type now writes the
    // stored values.
    answer.type = 2;
    answer.name = h.dataDir.filePath(QStringLiteral("stored"));
    h.find<QAction>("N13")->trigger();
    WAIT_UNTIL_EQ(dialogs.count, 2, 5000);
    EXPECT_EQ(answer.offeredFilter, QStringLiteral("Книга Excel (*.xlsx)"));
    EXPECT_EQ(answer.offeredFiles, QStringList{book});
    const QByteArray stored = fileBytes(h.dataDir.filePath(QStringLiteral("stored.txt")));
    EXPECT_EQ(stored.size(), 10 * 5 * 2);
    EXPECT_EQ(stored.count("\r\n"), 10 * 5);
}

TEST(ExportE2E, CancellingWritesNothingAndAnUnwritableNameIsReported) {
    ProgramHarness h;
    fillTable(h);
    SaveAnswer answer{};
    ModalAnswer<QFileDialog> dialogs(answerWith(answer));
    clickSection(h, 2);
    WAIT_UNTIL_EQ(dialogs.count, 1, 5000);
    EXPECT_TRUE(h.messages.errors.isEmpty());

    const QString blocked = h.dataDir.filePath(QStringLiteral("нет такой папки/замеры.txt"));
    answer.name = blocked;
    clickSection(h, 2);
    WAIT_UNTIL_EQ(dialogs.count, 2, 5000);
    ASSERT_EQ(h.messages.errors.size(), 1);
    EXPECT_EQ(
        h.messages.errors.first(),
        QStringLiteral("Cannot create file \"%1\". нет такого файла или каталога.").arg(blocked));
}
