#include "ExportDialogs.h"
#include "common/Cp1251.h"
#include "support/ProgramHarness.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"
#include "ui/StringGrid.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

using zr::test::fileBytes;
using zr::test::ModalAnswer;
using zr::test::ProgramHarness;

namespace {

void writeRow(ProgramHarness& h, int row, const QStringList& cells) {
    auto* grid = h.find<zr::ui::StringGrid>("StringGrid3");
    if (grid->rowCountWithHeader() < row + 2) {
        grid->setRowCountWithHeader(row + 2);
    }
    for (int c = 0; c < 7; ++c) {
        grid->setCell(c, row, cells[c]);
    }
}

// The user prints from the preview to a PDF file, then closes the preview.
std::function<void(QPrintPreviewDialog&)> printToPdf(const QString& pdf) {
    return [pdf](QPrintPreviewDialog& dialog) {
        dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog.printer()->setOutputFileName(pdf);
        dialog.findChild<QPrintPreviewWidget*>()->print();
        dialog.reject();
    };
}

QString pdfText(const QString& pdf) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(60000));
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

} // namespace

TEST(PrintE2E, PrintingWritesTheReportAndPrintsItsTableFromThePreview) {
    ProgramHarness h;
    writeRow(h, 1,
             {"12", "АИ-95 <Евро> & Ко", "P 3", "БАШНЕФТЬ", "Исследовательский метод", "95,2",
              "07.12.2026 11:00:00"});
    const QString pdf = h.dataDir.filePath(QStringLiteral("печать.pdf"));
    ModalAnswer<QPrintPreviewDialog> previews(printToPdf(pdf));

    h.find<QAction>("N15")->trigger();
    WAIT_UNTIL_EQ(previews.count, 1, 10000);

    const QByteArray report = fileBytes(h.dataDir.filePath(QStringLiteral("tmp1.html")));
    EXPECT_TRUE(report.contains("<tr>\r\n<td align=center width=10>12</td>\r\n"));
    EXPECT_TRUE(report.contains(zr::common::toCp1251(
        QStringLiteral("<td align=center>АИ-95 &lt;Евро&gt; &amp; Ко</td>\r\n"))));

    WAIT_UNTIL(QFile::exists(pdf), 10000);
    const QString text = pdfText(pdf);
    for (const char* expected : {"№", "Марка бензина", "Резервуар", "Поставщик", "Метод изм.", "ОЧ",
                                 "Дата/Время", "АИ-95 <Евро> & Ко", "БАШНЕФТЬ", "95,2"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();
    }
    EXPECT_TRUE(h.messages.errors.isEmpty()) << h.messages.errors.join('\n').toStdString();
}

TEST(PrintE2E, PrintingTwiceRewritesTheReportAndPreviewsAgain) {
    ProgramHarness h;
    int painted = 0;
    ModalAnswer<QPrintPreviewDialog> previews([&painted](QPrintPreviewDialog& dialog) {
        // The preview has painted its pages before it is shown.
        painted += dialog.findChild<QPrintPreviewWidget*>()->pageCount();
        dialog.reject();
    });

    auto* header = h.find<QHeaderView>("HeaderControl1");
    const auto clickPrint = [&] {
        const int x = header->sectionViewportPosition(3) + header->sectionSize(3) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    };
    clickPrint();
    WAIT_UNTIL_EQ(previews.count, 1, 10000);
    const QByteArray first = fileBytes(h.dataDir.filePath(QStringLiteral("tmp1.html")));

    writeRow(h, 1, {"1", "A-80", "P 1", "ЮКОС", "Моторный метод", "80", "07.12.2026 11:30:00"});
    clickPrint();
    WAIT_UNTIL_EQ(previews.count, 2, 10000);
    const QByteArray second = fileBytes(h.dataDir.filePath(QStringLiteral("tmp1.html")));

    EXPECT_EQ(painted, 2);
    EXPECT_NE(first, second);
    EXPECT_TRUE(second.contains("<td align=center>A-80</td>"));
    EXPECT_TRUE(h.messages.errors.isEmpty()) << h.messages.errors.join('\n').toStdString();
}

TEST(PrintE2E, AReportThatCannotBeWrittenIsReportedAndNothingIsPreviewed) {
    ProgramHarness h;
    // A directory stands where the report would go.
    const QString report = h.dataDir.filePath(QStringLiteral("tmp1.html"));
    ASSERT_TRUE(QDir().mkdir(report));
    ModalAnswer<QPrintPreviewDialog> previews([](QPrintPreviewDialog& dialog) { dialog.reject(); });

    h.find<QAction>("N15")->trigger();
    // A navigation would complete from the queued events; none is pending.
    QCoreApplication::processEvents();

    ASSERT_EQ(h.messages.errors.size(), 1);
    EXPECT_TRUE(h.messages.errors.first().startsWith(
        QStringLiteral("Cannot create file \"%1\". ").arg(report)))
        << h.messages.errors.first().toStdString();
    EXPECT_EQ(previews.count, 0);
}
