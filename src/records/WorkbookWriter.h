#pragma once

#include "records/MeasurementRow.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace zr::records {

// A workbook made in memory, or why it could not be made.
struct WorkbookBytes {
    QByteArray bytes;
    QString failure; // empty when made
};

// Makes the workbook of the measurement table's rows that is to be saved as `target` (its back
// end is in xlsx/, apart so that records itself needs no workbook library).
using WorkbookWriter =
    std::function<WorkbookBytes(const MeasurementRows& rows, const QString& target)>;

} // namespace zr::records
