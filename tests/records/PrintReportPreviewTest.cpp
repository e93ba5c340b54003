#include "ExportTestSupport.h"
#include "records/PrintReportFormat.h"
#include "records/views/ReportPainter.h"
#include "records/views/ReportPreviewWeb.h"
#include "support/WaitUntil.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zr;

namespace {

QString pdfText(const QString& pdf) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(60000));
    EXPECT_EQ(pdftotext.exitCode(), 0) << pdftotext.readAllStandardError().toStdString();
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

QString writeReport(const QTemporaryDir& dir, const common::TextGrid& table) {
    const QString path = dir.filePath(QStringLiteral("tmp1.html"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(records::printReportBytes(table));
    return path;
}

} // namespace

TEST(PrintReportPreview, LoadingCompletesFromTheEventLoopAndThenThePreviewOpens) {
    QTemporaryDir dir;
    const QString path =
        writeReport(dir, test::measurementTable({test::sampleRow("12", QStringLiteral("АИ-95"))}));
    QWidget parent;
    records::ReportPreviewWeb web(&parent);
    int completions = 0;
    web.setNavigateComplete([&] { ++completions; });

    web.Navigate(path);
    EXPECT_EQ(completions, 0);
    WAIT_UNTIL_EQ(completions, 1, 5000);
    ASSERT_TRUE(web.page());
    EXPECT_EQ(web.page()->rows.at(1).at(1), QStringLiteral("АИ-95"));

    int pagesPainted = 0;
    QObject::connect(&web, &records::ReportPreviewWeb::previewOpening, &web,
                     [&](QPrintPreviewDialog* dialog) {
                         QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
                                          [&](QPrinter*) { ++pagesPainted; });
                         QTimer::singleShot(0, dialog, &QDialog::reject);
                     });
    EXPECT_TRUE(web.ExecWB(records::Web::kPrintPreview, records::Web::kPromptUser));
    EXPECT_GE(pagesPainted, 1);
    EXPECT_FALSE(web.ExecWB(records::Web::kPrintPreview, 2));
}

TEST(PrintReportPreview, APageThatCannotBeLoadedCannotBePreviewed) {
    QTemporaryDir dir;
    QWidget parent;
    records::ReportPreviewWeb web(&parent);
    EXPECT_FALSE(web.ExecWB(records::Web::kPrintPreview, records::Web::kPromptUser));
    int completions = 0;
    web.setNavigateComplete([&] { ++completions; });
    web.Navigate(dir.filePath(QStringLiteral("missing.html")));
    WAIT_UNTIL_EQ(completions, 1, 5000);
    EXPECT_FALSE(web.ExecWB(records::Web::kPrintPreview, records::Web::kPromptUser));
}

TEST(PrintReportPreview, ThePdfHoldsTheCyrillicHeadersAndCellsWithTheHeaderOnEveryPage) {
    QTemporaryDir dir;
    std::vector<std::vector<QString>> rows;
    for (int i = 0; i < 150; ++i) {
        rows.push_back(test::sampleRow(QString::number(1000 + i), QStringLiteral("АИ-98")));
    }
    rows[0][3] = QStringLiteral("ТУАПСЕНЕФТЕПРОДУКТ <&>");
    const std::optional<records::ReportPage> page =
        records::readReportPage(records::printReportBytes(test::measurementTable(rows)));
    ASSERT_TRUE(page);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    printer.setOutputFileName(pdf);
    const int pages = records::paintReportPage(printer, *page);
    ASSERT_GE(pages, 2);

    const QString text = pdfText(pdf);
    for (const char* header :
         {"№", "Марка бензина", "Резервуар", "Поставщик", "Метод изм.", "ОЧ", "Дата/Время"}) {
        EXPECT_EQ(text.count(QString::fromUtf8(header)), pages) << header;
    }
    EXPECT_TRUE(text.contains(QStringLiteral("ТУАПСЕНЕФТЕПРОДУКТ <&>")));
    EXPECT_TRUE(text.contains(QStringLiteral("1149")));
    EXPECT_EQ(text.count(QStringLiteral("АИ-98")), 150);
}
