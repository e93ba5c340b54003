#include "ExportTestSupport.h"
#include "records/views/ReportPainter.h"
#include "records/views/TablePrintPreview.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zr;

namespace {

QString pdfText(const QString& pdf, const QString& mode = QStringLiteral("-layout")) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {mode, pdf, QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(60000));
    EXPECT_EQ(pdftotext.exitCode(), 0) << pdftotext.readAllStandardError().toStdString();
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

// Where pdftotext finds each word, page by page.
struct PdfWord {
    int page;
    QRectF box;
    QString text;
};
std::vector<PdfWord> pdfWords(const QString& pdf, QSizeF* pageSize) {
    std::vector<PdfWord> words;
    for (const QString& line : pdfText(pdf, QStringLiteral("-tsv")).split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 12) {
            continue;
        }
        const QRectF box(fields[6].toDouble(), fields[7].toDouble(), fields[8].toDouble(),
                         fields[9].toDouble());
        if (fields[0] == QLatin1String("1")) {
            *pageSize = box.size();
        } else if (fields[0] == QLatin1String("5")) {
            words.push_back({fields[1].toInt(), box, fields[11]});
        }
    }
    return words;
}

} // namespace

TEST(PrintReportPreview, ThePreviewIsTitledPaintsTheTableAndReturnsOnceClosed) {
    const records::MeasurementRows table =
        test::measurementRows({test::sampleRow("12", QStringLiteral("АИ-95"))});
    QWidget parent;
    records::TablePrintPreview preview(&parent);
    QString title;
    int pagesShown = 0;
    QObject::connect(&preview, &records::TablePrintPreview::opening, &preview,
                     [&](QPrintPreviewDialog* dialog) {
                         title = dialog->windowTitle();
                         QTimer::singleShot(0, dialog, [&, dialog] {
                             pagesShown = dialog->findChild<QPrintPreviewWidget*>()->pageCount();
                             dialog->reject();
                         });
                     });
    preview.showPreview(table);
    EXPECT_EQ(title, QStringLiteral("Октанометр ZR6040 серия 60"));
    EXPECT_EQ(pagesShown, 1);
}

TEST(PrintReportPreview, ThePdfHoldsTheCyrillicHeadersAndCellsWithTheHeaderOnEveryPage) {
    QTemporaryDir dir;
    records::MeasurementRows rows;
    for (int i = 0; i < 150; ++i) {
        rows.push_back(test::sampleRow(QString::number(1000 + i), QStringLiteral("АИ-98")));
    }
    rows[0].supplier = QStringLiteral("ТУАПСЕНЕФТЕПРОДУКТ <&>");

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    printer.setOutputFileName(pdf);
    const int pages = records::paintReport(printer, test::measurementRows(rows));
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

TEST(PrintReportPreview, EveryValuePrintsWholeBesideLongSupplierNames) {
    // Names made of words, as suppliers are written; each word is told apart by its number.
    const auto name = [](int length) {
        QString text;
        for (int word = 1; text.size() < length; ++word) {
            text += QStringLiteral("Нефтебаза%1 ").arg(word);
        }
        return text.left(length).trimmed();
    };
    struct Case {
        const char* name;
        std::vector<QString> suppliers;
    };
    const Case cases[] = {
        {"two ordinary long names", {name(90), name(130)}},
        {"one name of 40 000 characters", {name(40000)}},
        {"a name without a space", {QString(300, u'Ж')}},
    };
    for (const Case& c : cases) {
        records::MeasurementRows rows;
        for (std::size_t i = 0; i < c.suppliers.size(); ++i) {
            auto row = test::sampleRow(QString::number(1000 + i), QStringLiteral("АИ-95"));
            row.supplier = c.suppliers[i];
            row.value = 91.3 + static_cast<double>(i) * 1.1;
            rows.push_back(row);
        }
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        printer.setOutputFileName(pdf);
        ASSERT_GE(records::paintReport(printer, test::measurementRows(rows)), 1);

        // A text cut off by its cell still reaches the PDF: it shows as words lying over their
        // neighbours or past the page's edge.
        QSizeF pageSize;
        const std::vector<PdfWord> words = pdfWords(pdf, &pageSize);
        ASSERT_FALSE(words.empty());
        for (std::size_t i = 0; i < words.size(); ++i) {
            const QRectF box = words[i].box.adjusted(0.5, 0.5, -0.5, -0.5);
            ASSERT_TRUE(QRectF(QPointF(0, 0), pageSize).contains(box))
                << c.name << ": " << words[i].text.toStdString();
            for (std::size_t j = i + 1; j < words.size() && words[j].page == words[i].page; ++j) {
                ASSERT_FALSE(box.intersects(words[j].box.adjusted(0.5, 0.5, -0.5, -0.5)))
                    << c.name << ": " << words[i].text.toStdString() << " over "
                    << words[j].text.toStdString();
            }
        }

        // Lines break inside cells: compare without white space, each cell's words in order.
        QString printed = pdfText(pdf, QStringLiteral("-raw"));
        printed.remove(QRegularExpression(QStringLiteral("\\s")));
        for (const auto& row : rows) {
            for (int column = 0; column < records::MeasurementRow::kColumns; ++column) {
                const QString cell = records::measurementCellText(row, column);
                qsizetype from = 0;
                for (const QString& word : cell.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                    const qsizetype at = printed.indexOf(word, from);
                    ASSERT_GE(at, 0) << c.name << ": " << word.left(40).toStdString();
                    from = at + word.size();
                }
            }
        }
    }
}
