#pragma once

#include <QStringList>

namespace zr::records {

// The save dialog's filters, by SaveFileType: 1 the spreadsheet, 2 the text file, 3 the same
// workbook under its own suffix.
inline const char* const kSaveDialogFilter =
    "Microsoft Excel (*.xls)|*.xls|Текстовый файл (*.txt)|*.txt|Книга Excel (*.xlsx)|*.xlsx";

// The filter string as the dialog takes it: one entry per "description|mask" pair. The
// descriptions already name their masks.
inline QStringList saveDialogFilters() {
    const QStringList parts = QString::fromUtf8(kSaveDialogFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        filters << parts.at(i);
    }
    return filters;
}

// The suffix added to a name typed without one, by type (1-based).
inline QString saveDialogDefaultSuffix(int type) {
    switch (type) {
    case 1:
        return QStringLiteral("xls");
    case 3:
        return QStringLiteral("xlsx");
    default:
        return QStringLiteral("txt");
    }
}

} // namespace zr::records
