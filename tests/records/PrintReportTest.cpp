#include "records/PrintReport.h"
#include "ExportFakes.h"
#include "ExportTestSupport.h"
#include "common/Cp1251.h"
#include "common/HandlerRegistry.h"
#include "records/PrintReportFormat.h"
#include "support/LocaleGuard.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zr;

namespace {

const char* const kReportHead =
    "<html>\r\n"
    "<head>\r\n"
    "<title>Октанометр ZR6040 серия 60</title>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\r\n"
    "</head>\r\n"
    "<body  text=\"#000000\">\r\n"
    "<table width=\"100%\" border=\"1\" cellpadding=\"0\" cellspacing=\"0\">\r\n"
    "<tr>\r\n"
    "<td align=center width=10><b>№</b></td>\r\n"
    "<td align=center><b>Марка бензина</b></td>\r\n"
    "<td align=center><b>Резервуар</b></td>\r\n"
    "<td align=center><b>Поставщик</b></td>\r\n"
    "<td align=center><b>Метод изм.</b></td>\r\n"
    "<td align=center><b>ОЧ</b></td>\r\n"
    "<td align=center><b>Дата/Время</b></td>\r\n"
    "</tr>\r\n";
const char* const kReportTail = "</table>\r\n</body>\r\n</html>\r\n";

// The texts of test::sampleRow under the Russian locale.
std::vector<QString> sampleTexts(const QString& number, const QString& grade) {
    return {number,
            grade,
            QStringLiteral("P 1"),
            QStringLiteral("ЛУКОЙЛ"),
            QStringLiteral("Исследовательский метод"),
            QStringLiteral("92,3"),
            QStringLiteral("07.12.2026 10:15:00")};
}

QString rowLines(const std::vector<QString>& cells) {
    QString lines = QStringLiteral("<tr>\r\n<td align=center width=10>") + cells[0] +
                    QStringLiteral("</td>\r\n");
    for (std::size_t c = 1; c < 7; ++c) {
        lines += QStringLiteral("<td align=center>") + cells[c] + QStringLiteral("</td>\r\n");
    }
    return lines + QStringLiteral("</tr>\r\n");
}

struct PrintRig : test::ControllerRig {
    explicit PrintRig(const records::MeasurementRows& rows,
                      common::FileAccess& writer = common::systemFiles())
        : report(context(), records::PrintReport::Ports{table, preview, writer, dir.path()}) {
        test::showRows(table, rows);
        report.registerHandlers(handlers);
    }
    // Runs a handler by name as the main window does.
    void invoke(const char* name) {
        const auto* handler = handlers.find(QString::fromLatin1(name));
        ASSERT_NE(handler, nullptr) << name;
        run([&] { (*handler)(0); });
    }
    QByteArray reportBytes() { return test::fileBytes(dir.filePath("tmp1.html")); }

    const test::LocaleGuard russian{QLocale(QLocale::Russian, QLocale::Russia)};
    QTemporaryDir dir;
    records::MeasurementTableModel table;
    test::RecordingPrintPreview preview;
    common::HandlerRegistry handlers;
    records::PrintReport report;
};

} // namespace

TEST(PrintReport, AnEmptyTablePrintsTheHeaderAndOneEmptyRow) {
    PrintRig rig(test::measurementRows({}));
    rig.invoke("printTable");

    const QByteArray bytes = rig.reportBytes();
    EXPECT_EQ(bytes,
              common::toCp1251(QString::fromUtf8(kReportHead) + rowLines(std::vector<QString>(7)) +
                               QString::fromUtf8(kReportTail)));
    // Code page 1251 throughout: "№" is B9, "Октанометр" starts CE EA.
    EXPECT_TRUE(bytes.contains("<td align=center width=10><b>\xB9</b></td>\r\n"));
    EXPECT_TRUE(bytes.contains("<title>\xCE\xEA"));
    EXPECT_EQ(rig.preview.shownFor, std::vector<records::MeasurementRows>{rig.table.rows()});
}

TEST(PrintReport, ThreeRowsGiveNineLinesEachAndTheEntryRow) {
    const auto row1 = sampleTexts("10", QStringLiteral("АИ-92"));
    const auto row2 = sampleTexts("11", QStringLiteral("АИ-95"));
    const auto row3 = sampleTexts("12", QStringLiteral("A-76"));
    PrintRig rig(test::measurementRows({test::sampleRow("10", QStringLiteral("АИ-92")),
                                        test::sampleRow("11", QStringLiteral("АИ-95")),
                                        test::sampleRow("12", QStringLiteral("A-76"))}));
    rig.invoke("printTable");

    const QByteArray bytes = rig.reportBytes();
    EXPECT_EQ(bytes,
              common::toCp1251(QString::fromUtf8(kReportHead) + rowLines(row1) + rowLines(row2) +
                               rowLines(row3) + rowLines(std::vector<QString>(7)) +
                               QString::fromUtf8(kReportTail)));
    const QList<QByteArray> lines = bytes.split('\n');
    const qsizetype row12 = lines.indexOf("<td align=center width=10>12</td>\r");
    ASSERT_GT(row12, 0);
    EXPECT_EQ(lines[row12 - 1], QByteArray("<tr>\r"));
    EXPECT_EQ(lines.size() - 1, 16 + 4 * 9 + 3);
}

TEST(PrintReport, MarkupInACellIsEscaped) {
    const QString grade = QStringLiteral("<АИ-92 & \"Евро\">\r\nстрока");
    PrintRig rig(test::measurementRows({test::sampleRow("1", grade)}));
    rig.invoke("printTable");

    const QByteArray bytes = rig.reportBytes();
    EXPECT_TRUE(bytes.contains(common::toCp1251(
        QStringLiteral("<td align=center>&lt;АИ-92 &amp; &quot;Евро&quot;&gt;\r\nстрока</td>"))));
}

TEST(PrintReport, EveryPrintRewritesTheReportBeforeItsPreviewOpens) {
    PrintRig rig(test::measurementRows({test::sampleRow("1", "A-76")}));
    QByteArrayList onDisk; // the report as it stands when each preview opens
    rig.preview.onShow = [&rig, &onDisk] { onDisk << rig.reportBytes(); };
    rig.invoke("printTable");
    rig.table.setData(rig.table.index(0, 1), QStringLiteral("A-80"));
    rig.invoke("printTable");

    ASSERT_EQ(onDisk.size(), 2);
    EXPECT_EQ(onDisk[0],
              records::printReportBytes(test::measurementRows({test::sampleRow("1", "A-76")})));
    EXPECT_EQ(onDisk[1], rig.reportBytes());
    EXPECT_TRUE(onDisk[1].contains("<td align=center>A-80</td>"));
    EXPECT_TRUE(rig.messages.errors.isEmpty());
}
