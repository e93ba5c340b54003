#include "records/PrintReportFormat.h"

#include "common/Cp1251.h"
#include "records/MeasurementRow.h"
#include "records/ReportTexts.h"

namespace zr::records {

QByteArray printReportBytes(const MeasurementRows& rows) {
    QString html;
    html.reserve(128 * rows.size() + 1024);
    const QLocale locale;
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
    for (const MeasurementRow& row : rows) {
        line(QStringLiteral("<tr>"));
        line(QStringLiteral("<td align=center width=10>") +
             measurementCellText(row, 0, locale).toHtmlEscaped() + QStringLiteral("</td>"));
        for (int column = 1; column < MeasurementRow::kColumns; ++column) {
            line(QStringLiteral("<td align=center>") +
                 measurementCellText(row, column, locale).toHtmlEscaped() +
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
