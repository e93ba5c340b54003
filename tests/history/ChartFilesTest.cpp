#include "history/views/ChartFiles.h"
#include "history/views/ChartColors.h"
#include "support/MemoryFiles.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zr::history {
namespace {

// Sixty points around 92, one far above them (sample 1045).
ControlChartData sixtyPoints() {
    ChartSeries series;
    for (int i = 0; i < 60; ++i) {
        series.ids.push_back(i);
        series.numbers.push_back(QString::number(1001 + i));
        series.moments.push_back(QDateTime(QDate(2026, 3, 1), QTime(8, 0), Qt::UTC).addDays(i));
        series.values.push_back(i == 44 ? 94.0 : 92.0 + (i % 3) * 0.1);
    }
    return buildControlCharts(std::move(series), {}, 0.4);
}

QString pdfText(const QByteArray& pdf) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("chart.pdf"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size());
    file.close();
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-layout"), path, QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(60000));
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

TEST(ChartFilesTest, EachTypeHoldsTheChartAndThePdfItsPoints) {
    const ControlChartData data = sixtyPoints();
    ASSERT_FALSE(data.charts.violations.empty());
    zr::test::MemoryFiles files;
    for (const auto& [name, type] :
         {std::pair{"c.png", ChartFileType::Png}, std::pair{"c.svg", ChartFileType::Svg},
          std::pair{"c.pdf", ChartFileType::Pdf}}) {
        EXPECT_EQ(chartFileTypeOf(QString::fromLatin1(name)), type);
        EXPECT_EQ(saveChart(data, QStringLiteral("АИ-92"), QString::fromLatin1(name), type, files),
                  QString());
    }

    QImage png;
    ASSERT_TRUE(png.loadFromData(*files.file(QStringLiteral("c.png")), "PNG"));
    EXPECT_EQ(png.size(), QSize(1600, 1000));
    const QByteArray svg = *files.file(QStringLiteral("c.svg"));
    EXPECT_TRUE(svg.contains("<svg"));
    EXPECT_TRUE(svg.contains(chartSeriesColor().name().toLatin1())) << "no series drawn";
    EXPECT_TRUE(svg.contains(chartMarkColor().name().toLatin1())) << "no point marked";
    const QByteArray pdf = *files.file(QStringLiteral("c.pdf"));
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    const QString text = pdfText(pdf);
    // The chart on the first page, then the table of all sixty points with the rules broken.
    EXPECT_TRUE(text.contains(QStringLiteral("Индивидуальные значения (I)")));
    EXPECT_TRUE(text.contains(QStringLiteral("Нарушения")));
    EXPECT_TRUE(text.contains(QStringLiteral("1060")));
    EXPECT_TRUE(text.contains(QStringLiteral("I: за контрольной границей")));
    EXPECT_GE(text.count(QLatin1Char('\f')), 2) << "the table follows on its own pages";
}

TEST(ChartFilesTest, AFileThatCannotBeWrittenSaysWhy) {
    const ControlChartData data = sixtyPoints();
    zr::test::MemoryFiles files;
    files.everyWriteFails = true;

    EXPECT_EQ(saveChart(data, {}, QStringLiteral("c.png"), ChartFileType::Png, files),
              files.writeFailure);
}

} // namespace
} // namespace zr::history
