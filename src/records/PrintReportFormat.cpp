#include "records/PrintReportFormat.h"

#include "common/Cp1251.h"
#include "common/TextGrid.h"
#include "records/MeasurementRow.h"
#include "records/ReportTexts.h"

namespace zr::records {

QByteArray printReportBytes(const common::TextGrid& table) {
    QString html;
    html.reserve(128 * table.rowCountWithHeader() + 1024);
    const auto line = [&html](const QString& text) {
        html += text;
        html += QStringLiteral("\r\n");
    };
    line(QStringLiteral("<html>"));
    line(QStringLiteral("<head>"));
    line(QStringLiteral("<title>") + printReportTitle() + QStringLiteral("</title>"));
    line(QStringLiteral(
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"));
    line(QStringLiteral("</head>"));
    line(QStringLiteral("<body  text=\"#000000\">"));
    line(QStringLiteral("<table width=\"100%\" border=\"1\" cellpadding=\"0\" cellspacing=\"0\">"));
    line(QStringLiteral("<tr>"));
    const std::array<QString, 7> headers = reportHeaders();
    line(QStringLiteral("<td align=center width=10><b>") + headers[0] +
         QStringLiteral("</b></td>"));
    for (std::size_t column = 1; column < headers.size(); ++column) {
        line(QStringLiteral("<td align=center><b>") + headers[column] +
             QStringLiteral("</b></td>"));
    }
    line(QStringLiteral("</tr>"));
    for (int row = 1; row < table.rowCountWithHeader(); ++row) {
        line(QStringLiteral("<tr>"));
        line(QStringLiteral("<td align=center width=10>") + table.cell(0, row).toHtmlEscaped() +
             QStringLiteral("</td>"));
        for (int column = 1; column < MeasurementRow::kColumns; ++column) {
            line(QStringLiteral("<td align=center>") + table.cell(column, row).toHtmlEscaped() +
                 QStringLiteral("</td>"));
        }
        line(QStringLiteral("</tr>"));
    }
    line(QStringLiteral("</table>"));
    line(QStringLiteral("</body>"));
    line(QStringLiteral("</html>"));
    return common::toCp1251(html);
}

} // namespace zr::records
