#include "records/xlsx/XlsxSpreadsheetServer.h"

#include "common/FileAccess.h"
#include "common/UnnamedFile.h"
#include "records/SpreadsheetValue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <tuple>
#include <xlsxwriter.h>

namespace zr::records {

namespace {

constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

// The first colours of the spreadsheet's default palette, by colour index.
constexpr lxw_color_t kPalette[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                    0xFF00FF, 0x00FFFF, 0x800000, 0x008000, 0x000080, 0x808000,
                                    0x800080, 0x008080, 0xC0C0C0, 0x808080};
constexpr int kPaletteSize = static_cast<int>(std::size(kPalette));
constexpr int kColorIndexNone = -4142;

// The spreadsheet's horizontal alignment codes (1 general, 2 left, 3 centre, 4 right and the
// named constants) as libxlsxwriter's.
bool alignmentFor(int code, std::uint8_t* alignment) {
    switch (code) {
    case 1:
        *alignment = LXW_ALIGN_NONE;
        return true;
    case 2:
    case -4131:
        *alignment = LXW_ALIGN_LEFT;
        return true;
    case 3:
    case -4108:
        *alignment = LXW_ALIGN_CENTER;
        return true;
    case 4:
    case -4152:
        *alignment = LXW_ALIGN_RIGHT;
        return true;
    default:
        return false;
    }
}

[[noreturn]] void fail(const QString& text) {
    throw SpreadsheetError(text);
}

} // namespace

bool XlsxSpreadsheetServer::Style::operator<(const Style& other) const {
    return std::tie(fontSize, bold, colorIndex, alignment, numberFormat) <
           std::tie(other.fontSize, other.bold, other.colorIndex, other.alignment,
                    other.numberFormat);
}

std::unique_ptr<SpreadsheetServer> XlsxSpreadsheetServer::create(common::FileAccess& files,
                                                                 const QLocale& locale) {
    const QString scratchDir = QDir::tempPath();
    if (!QFileInfo(scratchDir).isDir()) {
        return nullptr;
    }
    return std::make_unique<XlsxSpreadsheetServer>(files, scratchDir, locale);
}

SpreadsheetServerFactory xlsxSpreadsheetServerFactory(common::FileAccess& files,
                                                      const QLocale& locale) {
    return [&files, locale] { return XlsxSpreadsheetServer::create(files, locale); };
}

XlsxSpreadsheetServer::XlsxSpreadsheetServer(common::FileAccess& files, QString scratchDir,
                                             const QLocale& locale)
    : files_(files), scratchDir_(std::move(scratchDir)), locale_(locale) {}

void XlsxSpreadsheetServer::setSheetsInNewWorkBook(int count) {
    if (count < 1 || count > 255) {
        fail(QStringLiteral("SheetsInNewWorkBook: %1 is out of range").arg(count));
    }
    sheetsInNewWorkBook_ = count;
}

void XlsxSpreadsheetServer::addWorkBook() {
    if (ended_) {
        fail(QStringLiteral("The spreadsheet server has quit"));
    }
    if (workBooks_ > 0) {
        // One workbook is all the export needs.
        fail(QStringLiteral("WorkBooks.Add: only one workbook is supported"));
    }
    ++workBooks_;
}

void XlsxSpreadsheetServer::requireWorkBook(int workbook) const {
    if (ended_ || workbook < 1 || workbook > workBooks_) {
        fail(QStringLiteral("WorkBooks(%1): no such workbook").arg(workbook));
    }
}

void XlsxSpreadsheetServer::selectSheet(int workbook, int sheet) {
    requireWorkBook(workbook);
    if (sheet != 1) {
        // The sheets after the first stay empty.
        fail(QStringLiteral("Sheets(%1): only the first sheet can be filled").arg(sheet));
    }
    sheetSelected_ = true;
}

void XlsxSpreadsheetServer::requireSheet() const {
    if (!sheetSelected_ || ended_) {
        fail(QStringLiteral("No sheet selected"));
    }
}

void XlsxSpreadsheetServer::setColumnWidth(int column, double width) {
    requireSheet();
    if (column < 1 || column > kMaxColumns || width < 0 || width > 255) {
        fail(QStringLiteral("Columns(%1).ColumnWidth: %2 is out of range").arg(column).arg(width));
    }
    columnWidths_[column] = width;
}

void XlsxSpreadsheetServer::setColumnsFontSize(double size) {
    requireSheet();
    if (size < 1 || size > 409) {
        fail(QStringLiteral("Font.Size: %1 is out of range").arg(size));
    }
    columnsFontSize_ = size;
}

XlsxSpreadsheetServer::Range XlsxSpreadsheetServer::parseRange(const QString& address) const {
    static const QRegularExpression pattern(
        QStringLiteral("^([A-Za-z]{1,3})([0-9]{1,7})(?::([A-Za-z]{1,3})([0-9]{1,7}))?$"));
    const QRegularExpressionMatch match = pattern.match(address);
    const auto column = [](const QString& letters) {
        int value = 0;
        for (const QChar letter : letters) {
            value = value * 26 + (letter.toUpper().unicode() - u'A' + 1);
        }
        return value;
    };
    if (match.hasMatch()) {
        Range range{match.captured(2).toInt(), match.captured(2).toInt(), column(match.captured(1)),
                    column(match.captured(1))};
        if (match.hasCaptured(3)) {
            range.lastRow = match.captured(4).toInt();
            range.lastColumn = column(match.captured(3));
        }
        if (range.firstRow > range.lastRow) {
            std::swap(range.firstRow, range.lastRow);
        }
        if (range.firstColumn > range.lastColumn) {
            std::swap(range.firstColumn, range.lastColumn);
        }
        if (range.firstRow >= 1 && range.lastRow <= kMaxRows && range.firstColumn >= 1 &&
            range.lastColumn <= kMaxColumns) {
            return range;
        }
    }
    fail(QStringLiteral("Range(\"%1\"): not a cell range").arg(address));
}

XlsxSpreadsheetServer::Cell& XlsxSpreadsheetServer::cellAt(int row, int column) {
    if (static_cast<int>(rows_.size()) < row) {
        rows_.resize(static_cast<std::size_t>(row));
    }
    std::vector<Cell>& cells = rows_[static_cast<std::size_t>(row - 1)];
    if (static_cast<int>(cells.size()) < column) {
        cells.resize(static_cast<std::size_t>(column));
    }
    return cells[static_cast<std::size_t>(column - 1)];
}

template <typename Change>
void XlsxSpreadsheetServer::changeRange(const QString& address, Change change) {
    requireSheet();
    const Range range = parseRange(address);
    for (int row = range.firstRow; row <= range.lastRow; ++row) {
        for (int column = range.firstColumn; column <= range.lastColumn; ++column) {
            Cell& cell = cellAt(row, column);
            cell.used = true;
            change(cell.style);
        }
    }
}

void XlsxSpreadsheetServer::setRangeFontSize(const QString& range, double size) {
    if (size < 1 || size > 409) {
        fail(QStringLiteral("Font.Size: %1 is out of range").arg(size));
    }
    changeRange(range, [size](Style& style) { style.fontSize = size; });
}

void XlsxSpreadsheetServer::setRangeFontBold(const QString& range, bool bold) {
    changeRange(range, [bold](Style& style) { style.bold = bold; });
}

void XlsxSpreadsheetServer::setRangeInteriorColorIndex(const QString& range, int index) {
    if (index != kColorIndexNone && (index < 1 || index > kPaletteSize)) {
        fail(QStringLiteral("Interior.ColorIndex: %1 is not supported").arg(index));
    }
    const int stored = index == kColorIndexNone ? 0 : index;
    changeRange(range, [stored](Style& style) { style.colorIndex = stored; });
}

void XlsxSpreadsheetServer::setRangeHorizontalAlignment(const QString& range, int alignment) {
    std::uint8_t unused = 0;
    if (!alignmentFor(alignment, &unused)) {
        fail(QStringLiteral("HorizontalAlignment: %1 is not supported").arg(alignment));
    }
    changeRange(range, [alignment](Style& style) { style.alignment = alignment; });
}

void XlsxSpreadsheetServer::setCell(int row, int column, const QString& text) {
    requireSheet();
    if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns) {
        fail(QStringLiteral("Cells(%1, %2): outside the sheet").arg(row).arg(column));
    }
    Cell& cell = cellAt(row, column);
    cell.text = text;
    cell.used = true;
}

QByteArray XlsxSpreadsheetServer::writeWorkbook(QString* failure) const {
    const common::UnnamedFile output(scratchDir_);
    if (!output.isOpen()) {
        *failure = output.error();
        return {};
    }
    const QByteArray nativePath = output.path();
    QByteArray tmpDir = QFile::encodeName(scratchDir_);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows are written in order; keeps memory flat
    options.tmpdir = tmpDir.data();
    lxw_workbook* workbook = workbook_new_opt(nativePath.constData(), &options);
    if (!workbook) {
        *failure = QStringLiteral("the workbook cannot be made");
        return {};
    }
    lxw_worksheet* sheet = nullptr;
    for (int i = 0; i < sheetsInNewWorkBook_; ++i) {
        lxw_worksheet* added = workbook_add_worksheet(workbook, nullptr);
        if (!sheet) {
            sheet = added;
        }
    }

    std::map<Style, lxw_format*> formats;
    const auto formatFor = [&](const Style& style) {
        const auto found = formats.find(style);
        if (found != formats.end()) {
            return found->second;
        }
        lxw_format* format = workbook_add_format(workbook);
        if (style.fontSize > 0) {
            format_set_font_size(format, style.fontSize);
        }
        if (style.bold) {
            format_set_bold(format);
        }
        if (style.colorIndex > 0) {
            format_set_pattern(format, LXW_PATTERN_SOLID);
            format_set_bg_color(format, kPalette[style.colorIndex - 1]);
        }
        std::uint8_t alignment = LXW_ALIGN_NONE;
        if (alignmentFor(style.alignment, &alignment) && alignment != LXW_ALIGN_NONE) {
            format_set_align(format, alignment);
        }
        if (!style.numberFormat.isEmpty()) {
            format_set_num_format(format, style.numberFormat.toUtf8().constData());
        }
        formats.emplace(style, format);
        return format;
    };

    // The columns' font size is part of every cell's own format, and of the columns' format for
    // the cells left empty.
    Style columnStyle;
    columnStyle.fontSize = columnsFontSize_;
    lxw_format* columnFormat = columnsFontSize_ > 0 ? formatFor(columnStyle) : nullptr;
    int nextColumn = 1;
    for (const auto& [column, width] : columnWidths_) {
        if (columnFormat && column > nextColumn) {
            worksheet_set_column(sheet, static_cast<lxw_col_t>(nextColumn - 1),
                                 static_cast<lxw_col_t>(column - 2), LXW_DEF_COL_WIDTH,
                                 columnFormat);
        }
        worksheet_set_column(sheet, static_cast<lxw_col_t>(column - 1),
                             static_cast<lxw_col_t>(column - 1), width, columnFormat);
        nextColumn = column + 1;
    }
    if (columnFormat && nextColumn <= kMaxColumns) {
        worksheet_set_column(sheet, static_cast<lxw_col_t>(nextColumn - 1),
                             static_cast<lxw_col_t>(kMaxColumns - 1), LXW_DEF_COL_WIDTH,
                             columnFormat);
    }

    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const std::vector<Cell>& cells = rows_[row];
        for (std::size_t column = 0; column < cells.size(); ++column) {
            const Cell& cell = cells[column];
            if (!cell.used) {
                continue;
            }
            Style style = cell.style;
            if (style.fontSize <= 0) {
                style.fontSize = columnsFontSize_;
            }
            const SpreadsheetValue value = spreadsheetValue(cell.text, locale_);
            style.numberFormat = value.numberFormat;
            lxw_format* format = formatFor(style);
            const auto r = static_cast<lxw_row_t>(row);
            const auto c = static_cast<lxw_col_t>(column);
            lxw_error written = LXW_NO_ERROR;
            if (cell.text.isEmpty()) {
                written = worksheet_write_blank(sheet, r, c, format);
            } else if (value.kind == SpreadsheetValue::Kind::Number) {
                written = worksheet_write_number(sheet, r, c, value.number, format);
            } else if (value.kind == SpreadsheetValue::Kind::DateTime) {
                const QDate date = value.dateTime.date();
                const QTime time = value.dateTime.time();
                lxw_datetime moment{date.year(),   date.month(),
                                    date.day(),    time.hour(),
                                    time.minute(), time.second() + time.msec() / 1000.0};
                written = worksheet_write_datetime(sheet, r, c, &moment, format);
            } else {
                // The workbook's own escape for the one control character a C string cannot
                // carry; libxlsxwriter escapes the others the same way.
                QString text = cell.text;
                text.replace(QChar(0), QStringLiteral("_x0000_"));
                written = worksheet_write_string(sheet, r, c, text.toUtf8().constData(), format);
            }
            if (written != LXW_NO_ERROR) {
                // A text the workbook cannot hold (too long) must not vanish unnoticed.
                *failure = QString::fromUtf8(lxw_strerror(written));
                workbook_close(workbook);
                return {};
            }
        }
    }

    const lxw_error error = workbook_close(workbook);
    if (error != LXW_NO_ERROR) {
        *failure = QString::fromUtf8(lxw_strerror(error));
        return {};
    }
    return output.readAll(failure);
}

void XlsxSpreadsheetServer::saveAs(int workbook, const QString& fileName) {
    requireWorkBook(workbook);
    QString failure;
    const QByteArray bytes = writeWorkbook(&failure);
    if (failure.isEmpty()) {
        failure = files_.replace(fileName, bytes);
    }
    if (!failure.isEmpty()) {
        fail(common::cannotCreateFileMessage(fileName, failure));
    }
}

void XlsxSpreadsheetServer::closeWorkBook(int workbook, bool /*saveChanges*/) {
    requireWorkBook(workbook);
    // Changes are never saved on close; the workbook is gone.
    workBooks_ = 0;
    sheetSelected_ = false;
    rows_.clear();
    columnWidths_.clear();
    columnsFontSize_ = 0;
}

void XlsxSpreadsheetServer::quit() {
    ended_ = true;
}

} // namespace zr::records
