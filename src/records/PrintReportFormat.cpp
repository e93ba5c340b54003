#include "records/PrintReportFormat.h"

#include "common/Cp1251.h"
#include "common/TextGrid.h"
#include "records/ReportTexts.h"

namespace zr::records {

namespace {

constexpr int kColumns = 7;

QString unescaped(QStringView text) {
    static const std::pair<QStringView, QChar> kEntities[] = {
        {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&quot;", u'"'}, {u"&#39;", u'\''}, {u"&amp;", u'&'}};
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            bool replaced = false;
            for (const auto& [entity, character] : kEntities) {
                if (text.sliced(i).startsWith(entity)) {
                    result += character;
                    i += entity.size() - 1;
                    replaced = true;
                    break;
                }
            }
            if (replaced) {
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

// The text between `open` (a start tag up to its '>') and `close`, from `from` on.
QStringView between(QStringView html, qsizetype from, QStringView open, QStringView close,
                    qsizetype* end) {
    const qsizetype start = html.indexOf(open, from);
    if (start < 0) {
        return {};
    }
    const qsizetype contentStart = html.indexOf(u'>', start) + 1;
    const qsizetype stop = html.indexOf(close, contentStart);
    if (contentStart <= 0 || stop < 0) {
        return {};
    }
    *end = stop + close.size();
    return html.sliced(contentStart, stop - contentStart);
}

} // namespace

QByteArray printReportBytes(const common::TextGrid& table) {
    QString html;
    html.reserve(128 * table.rowCountWithHeader() + 1024);
    const auto line = [&html](const QString& text) {
        html += text;
        html += QStringLiteral("\r\n");
    };
    line(QStringLiteral("<html>"));
    line(QStringLiteral("<head>"));
    line(QStringLiteral("<title>Октанометр ZR6040 серия 60</title>"));
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
        for (int column = 1; column < kColumns; ++column) {
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

std::optional<ReportPage> readReportPage(const QByteArray& bytes) {
    const QString text = common::fromCp1251(bytes);
    const QStringView html(text);
    ReportPage page;
    qsizetype position = 0;
    page.title = unescaped(between(html, 0, u"<title", u"</title>", &position)).trimmed();

    const qsizetype tableStart = html.indexOf(u"<table");
    if (tableStart < 0) {
        return std::nullopt;
    }
    const qsizetype tableEnd = html.indexOf(u"</table>", tableStart);
    const QStringView table =
        html.sliced(tableStart, (tableEnd < 0 ? html.size() : tableEnd) - tableStart);
    position = 0;
    while (true) {
        qsizetype rowEnd = 0;
        const qsizetype rowStart = table.indexOf(u"<tr", position);
        if (rowStart < 0) {
            break;
        }
        rowEnd = table.indexOf(u"</tr>", rowStart);
        if (rowEnd < 0) {
            rowEnd = table.size();
        }
        const QStringView row = table.sliced(rowStart, rowEnd - rowStart);
        QStringList cells;
        qsizetype cellPosition = 0;
        while (true) {
            qsizetype cellEnd = 0;
            const qsizetype found = row.indexOf(u"<td", cellPosition);
            if (found < 0) {
                break;
            }
            QStringView cell = between(row, found, u"<td", u"</td>", &cellEnd);
            if (cellEnd == 0) {
                break;
            }
            if (cell.startsWith(u"<b>") && cell.endsWith(u"</b>")) {
                cell = cell.sliced(3, cell.size() - 7);
            }
            cells << unescaped(cell);
            cellPosition = cellEnd;
        }
        page.rows.push_back(std::move(cells));
        position = rowEnd;
    }
    return page;
}

} // namespace zr::records
