#include "records/xlsx/TableWorkbook.h"

#include "common/UnnamedFile.h"
#include "records/MeasurementRow.h"
#include "records/ReportTexts.h"
#include "records/SpreadsheetValue.h"
#include "records/xlsx/ScratchDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <xlsxwriter.h>

namespace zr::records {

namespace {

constexpr int kColumns = MeasurementRow::kColumns;
// In the spreadsheet's column width units, columns A to G.
constexpr std::array<double, kColumns> kColumnWidths{4, 30, 10, 30, 30, 10, 20};
constexpr double kSheetFontSize = 8;
constexpr double kTitleFontSize = 15;
constexpr double kHeaderFontSize = 10;
// The spreadsheet's built-in number format "0".
constexpr std::uint8_t kWholeNumberFormat = 1;
// Colour index 8 of the spreadsheet's default palette.
constexpr lxw_color_t kTitleFill = 0x00FFFF;
// Sheet rows and columns count from 0 here: the title fills A1:B1 and stands in B1.
constexpr lxw_row_t kTitleRow = 0;
constexpr lxw_col_t kTitleColumn = 1;
constexpr lxw_row_t kHeaderRow = 2;
// The table's first row goes to sheet row 4.
constexpr lxw_row_t kFirstBodyRow = 3;

lxw_format* centredFormat(lxw_workbook* workbook, double fontSize, bool bold) {
    lxw_format* format = workbook_add_format(workbook);
    format_set_font_size(format, fontSize);
    if (bold) {
        format_set_bold(format);
    }
    format_set_align(format, LXW_ALIGN_CENTER);
    return format;
}

SpreadsheetValue textCell(const QString& text) {
    return {SpreadsheetValue::Kind::Text, text, 0, {}};
}

// Writes one cell as `value` says: blank cells keep the format.
lxw_error writeCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t column,
                    const SpreadsheetValue& value, lxw_format* format) {
    if (value.kind == SpreadsheetValue::Kind::Blank) {
        return worksheet_write_blank(sheet, row, column, format);
    }
    if (value.kind == SpreadsheetValue::Kind::Number ||
        value.kind == SpreadsheetValue::Kind::WholeNumber) {
        return worksheet_write_number(sheet, row, column, value.number, format);
    }
    if (value.kind == SpreadsheetValue::Kind::DateTime) {
        const QDate date = value.dateTime.date();
        const QTime time = value.dateTime.time();
        lxw_datetime moment{date.year(), date.month(),  date.day(),
                            time.hour(), time.minute(), static_cast<double>(time.second())};
        return worksheet_write_datetime(sheet, row, column, &moment, format);
    }
    // The workbook's own escape for the one control character a C string cannot carry;
    // libxlsxwriter escapes the others the same way.
    QString escaped = value.text;
    escaped.replace(QChar(0), QStringLiteral("_x0000_"));
    return worksheet_write_string(sheet, row, column, escaped.toUtf8().constData(), format);
}

// The styles of the sheet. Each takes its place in the workbook's style list when first used;
// the places are taken here in the order the styles were first used before whole numbers had one,
// which comes last, so that a table's workbook differs from one saved earlier only by that style.
struct SheetFormats {
    SheetFormats(lxw_workbook* workbook, const MeasurementRows& rows, const QLocale& locale) {
        sheet = workbook_add_format(workbook);
        format_set_font_size(sheet, kSheetFontSize);
        title = centredFormat(workbook, kTitleFontSize, true);
        format_set_pattern(title, LXW_PATTERN_SOLID);
        format_set_bg_color(title, kTitleFill);
        header = centredFormat(workbook, kHeaderFontSize, true);
        body = centredFormat(workbook, kSheetFontSize, false);
        if (std::any_of(rows.begin(), rows.end(), [&](const MeasurementRow& row) {
                return workbookCell(row, MeasurementRow::MomentColumn, locale).kind ==
                       SpreadsheetValue::Kind::DateTime;
            })) {
            moment = centredFormat(workbook, kSheetFontSize, false);
            const QString code = spreadsheetDateTimeFormat(measurementTimestampFormat(locale));
            format_set_num_format(moment, code.toUtf8().constData());
        }
        wholeNumber = centredFormat(workbook, kSheetFontSize, false);
        format_set_num_format_index(wholeNumber, kWholeNumberFormat);

        for (lxw_format* used : {title, header, rows.isEmpty() ? nullptr : body, moment, sheet}) {
            if (used) {
                lxw_format_get_xf_index(used);
            }
        }
    }

    lxw_format* sheet = nullptr;
    lxw_format* title = nullptr;
    lxw_format* header = nullptr;
    lxw_format* body = nullptr;
    lxw_format* moment = nullptr; // none without a moment to show
    lxw_format* wholeNumber = nullptr;
};

// Fills the sheet row by row (the workbook keeps only the current row in memory); the first
// error libxlsxwriter reports, or none.
lxw_error fillSheet(lxw_workbook* workbook, lxw_worksheet* sheet, const MeasurementRows& rows,
                    const QLocale& locale) {
    const SheetFormats formats(workbook, rows, locale);
    for (lxw_col_t column = 0; column < kColumns; ++column) {
        worksheet_set_column(sheet, column, column, kColumnWidths[column], formats.sheet);
    }
    worksheet_set_column(sheet, kColumns, LXW_COL_MAX - 1, LXW_DEF_COL_WIDTH, formats.sheet);

    lxw_error error = writeCell(sheet, kTitleRow, 0, {}, formats.title);
    if (error == LXW_NO_ERROR) {
        error = writeCell(sheet, kTitleRow, kTitleColumn,
                          textCell(QString::fromLatin1(kWorkbookTitle)), formats.title);
    }
    const std::array<QString, kColumns> headers = reportHeaders();
    for (lxw_col_t column = 0; column < kColumns && error == LXW_NO_ERROR; ++column) {
        error = writeCell(sheet, kHeaderRow, column, textCell(headers[column]), formats.header);
    }
    for (qsizetype r = 0; r < rows.size() && error == LXW_NO_ERROR; ++r) {
        const auto sheetRow = static_cast<lxw_row_t>(r) + kFirstBodyRow;
        for (int column = 0; column < kColumns && error == LXW_NO_ERROR; ++column) {
            const SpreadsheetValue value = workbookCell(rows[r], column, locale);
            lxw_format* format = formats.body;
            if (value.kind == SpreadsheetValue::Kind::DateTime) {
                format = formats.moment;
            } else if (value.kind == SpreadsheetValue::Kind::WholeNumber) {
                format = formats.wholeNumber;
            }
            error = writeCell(sheet, sheetRow, static_cast<lxw_col_t>(column), value, format);
        }
    }
    return error;
}

} // namespace

WorkbookBytes tableWorkbook(const MeasurementRows& rows, const QString& scratchDir,
                            const QLocale& locale) {
    const common::UnnamedFile output(scratchDir);
    if (!output.isOpen()) {
        return {{}, output.error()};
    }
    const QByteArray path = output.path();
    QByteArray tmpDir = QFile::encodeName(scratchDir);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows are written in order; keeps memory flat
    options.tmpdir = tmpDir.data();
    lxw_workbook* workbook = workbook_new_opt(path.constData(), &options);
    if (!workbook) {
        return {{}, QStringLiteral("the workbook cannot be made")};
    }
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    // A text the workbook cannot hold (too long) must not vanish unnoticed.
    const lxw_error filled = fillSheet(workbook, sheet, rows, locale);
    const lxw_error closed = workbook_close(workbook);
    const lxw_error error = filled != LXW_NO_ERROR ? filled : closed;
    if (error != LXW_NO_ERROR) {
        return {{}, QString::fromUtf8(lxw_strerror(error))};
    }
    WorkbookBytes book;
    book.bytes = output.readAll(&book.failure);
    return book;
}

WorkbookWriter xlsxWorkbookWriter(const QLocale& locale) {
    return [locale](const MeasurementRows& rows, const QString& target) {
        // Where the temporary directory cannot take the scratch files (read-only, full, gone),
        // the target's own folder can, if the workbook can be saved at all.
        WorkbookBytes book;
        for (const QString& root : {QDir::tempPath(), QFileInfo(target).absolutePath()}) {
            const ScratchDirectory scratch(root);
            book = scratch.isReady() ? tableWorkbook(rows, scratch.path(), locale)
                                     : WorkbookBytes{{}, scratch.error()};
            if (book.failure.isEmpty()) {
                break;
            }
        }
        return book;
    };
}

} // namespace zr::records
