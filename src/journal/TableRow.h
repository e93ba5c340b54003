#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

namespace zr::journal {

// One row of the measurement table as the journal keeps it: data, not the texts of the grid.
struct TableRow {
    // valueDecimals: shown with one decimal, or in the general format.
    static constexpr int kOneDecimal = 1;
    static constexpr int kGeneralFormat = -1;

    // The list texts as chosen.
    QString number;
    QString grade;
    QString tank;
    QString supplier;
    // The method code; none shows the blank caption.
    std::optional<int> method;
    std::optional<double> value;
    int valueDecimals = kGeneralFormat;
    // UTC; invalid only in an empty row.
    QDateTime moment;
    // The text a cell shows where the typed field would show another (typed by hand, or a text
    // that does not read back the same); none where the typed field shows it.
    std::optional<QString> methodText;
    std::optional<QString> valueText;
    std::optional<QString> momentText;

    // An entry row, or a row whose every cell was emptied.
    bool isEmpty() const;
    bool operator==(const TableRow&) const = default;
};

// The seven cell texts the table shows for `row` under `locale`.
QStringList shownTexts(const TableRow& row, const QLocale& locale = QLocale());

// The row behind seven cell texts shown under `locale`. A date that does not read as one takes
// `fallback` (UTC, when the row was written) as its moment. Every text that the typed row does
// not show again exactly is kept beside it, so nothing is lost.
TableRow rowFromTexts(const QStringList& cells, const QDateTime& fallback,
                      const QLocale& locale = QLocale());

} // namespace zr::journal
