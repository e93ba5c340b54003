#pragma once

#include "records/SpreadsheetServer.h"

#include <QLocale>
#include <QString>
#include <map>
#include <memory>
#include <vector>

namespace zr::common {
class FileAccess;
}

namespace zr::records {

// The spreadsheet server: one workbook with its sheets, of which the first is formatted and
// filled; SaveAs writes it with libxlsxwriter into a working directory and hands the bytes to the
// file writer, so the file appears whole or not at all.
class XlsxSpreadsheetServer : public SpreadsheetServer {
public:
    // Nothing when its working directory cannot be made. Texts that read as numbers or as a
    // timestamp under `locale` are written as numbers and dates, as the spreadsheet application
    // turns them into such when they are assigned.
    static std::unique_ptr<SpreadsheetServer> create(common::FileAccess& files,
                                                     const QLocale& locale = QLocale());

    // libxlsxwriter's scratch files and the workbook before it is saved live in `scratchDir`,
    // without names, so that nothing of them outlives the program.
    XlsxSpreadsheetServer(common::FileAccess& files, QString scratchDir,
                          const QLocale& locale = QLocale());

    void setSheetsInNewWorkBook(int count) override;
    void addWorkBook() override;
    void selectSheet(int workbook, int sheet) override;
    void setColumnWidth(int column, double width) override;
    void setColumnsFontSize(double size) override;
    void setRangeFontSize(const QString& range, double size) override;
    void setRangeFontBold(const QString& range, bool bold) override;
    void setRangeInteriorColorIndex(const QString& range, int index) override;
    void setRangeHorizontalAlignment(const QString& range, int alignment) override;
    void setCell(int row, int column, const QString& text) override;
    void saveAs(int workbook, const QString& fileName) override;
    void closeWorkBook(int workbook, bool saveChanges) override;
    void quit() override;

    // The look of one cell; unset parts come from the column or the workbook's defaults.
    struct Style {
        double fontSize = 0; // 0: not set
        bool bold = false;
        int colorIndex = 0;   // 0: no interior colour
        int alignment = 0;    // 0: general
        QString numberFormat; // empty: general
        bool operator<(const Style& other) const;
    };

private:
    struct Cell {
        QString text;
        Style style;
        bool used = false;
    };
    struct Range {
        int firstRow, lastRow, firstColumn, lastColumn; // from 1
    };

    void requireSheet() const;
    void requireWorkBook(int workbook) const;
    Range parseRange(const QString& address) const;
    Cell& cellAt(int row, int column);
    template <typename Change> void changeRange(const QString& address, Change change);
    // Empty with `failure` set when libxlsxwriter failed.
    QByteArray writeWorkbook(QString* failure) const;

    common::FileAccess& files_;
    QString scratchDir_;
    QLocale locale_;
    bool ended_ = false;
    int sheetsInNewWorkBook_ = 1;
    int workBooks_ = 0;
    bool sheetSelected_ = false;
    std::map<int, double> columnWidths_;
    double columnsFontSize_ = 0;
    std::vector<std::vector<Cell>> rows_; // rows_[row - 1][column - 1]
};

// Makes the program's server.
SpreadsheetServerFactory xlsxSpreadsheetServerFactory(common::FileAccess& files,
                                                      const QLocale& locale = QLocale());

} // namespace zr::records
