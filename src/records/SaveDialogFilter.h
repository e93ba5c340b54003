#pragma once

#include <QStringList>

namespace zr::records {

// The save dialog's filters: 1 the spreadsheet, 2 the text file.
inline const char* const kSaveDialogFilter =
    "Microsoft Excel (*.xls)|*.xls|Текстовый файл (*.txt)|*.txt";

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

} // namespace zr::records
