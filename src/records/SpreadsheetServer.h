#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <stdexcept>

namespace zr::records {

// A failed call on the spreadsheet server; the text is what the user is told.
class SpreadsheetError : public std::runtime_error {
public:
    explicit SpreadsheetError(const QString& text)
        : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

// The spreadsheet automation server "Excel.Application": exactly the members the export uses, in
// the order it uses them. Each comment names the member path on the server. Calls throw
// SpreadsheetError when they fail. Destroying the object releases the server.
class SpreadsheetServer {
public:
    virtual ~SpreadsheetServer() = default;

    // SheetsInNewWorkBook = count
    virtual void setSheetsInNewWorkBook(int count) = 0;
    // WorkBooks.Add
    virtual void addWorkBook() = 0;
    // Workbooks(workbook).Sheets(sheet): the sheet the calls below work on.
    virtual void selectSheet(int workbook, int sheet) = 0;
    // sheet.Columns.Columns(column).ColumnWidth = width (column from 1)
    virtual void setColumnWidth(int column, double width) = 0;
    // sheet.Columns.Columns.Font.Size = size
    virtual void setColumnsFontSize(double size) = 0;
    // sheet.Range(range).Font.Size = size ("a1:b1")
    virtual void setRangeFontSize(const QString& range, double size) = 0;
    // sheet.Range(range).Font.Bold = bold
    virtual void setRangeFontBold(const QString& range, bool bold) = 0;
    // sheet.Range(range).Columns.Interior.ColorIndex = index
    virtual void setRangeInteriorColorIndex(const QString& range, int index) = 0;
    // sheet.Range(range).HorizontalAlignment = alignment (3 centred)
    virtual void setRangeHorizontalAlignment(const QString& range, int alignment) = 0;
    // sheet.Cells(row, column) = text (both from 1)
    virtual void setCell(int row, int column, const QString& text) = 0;
    // WorkBooks(workbook).SaveAs(fileName)
    virtual void saveAs(int workbook, const QString& fileName) = 0;
    // WorkBooks(workbook).close(saveChanges)
    virtual void closeWorkBook(int workbook, bool saveChanges) = 0;
    // quit
    virtual void quit() = 0;
};

// Creates the server; nothing when it cannot be created.
using SpreadsheetServerFactory = std::function<std::unique_ptr<SpreadsheetServer>()>;

} // namespace zr::records
