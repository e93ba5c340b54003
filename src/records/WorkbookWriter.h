#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace zr::common {
class TextGrid;
}

namespace zr::records {

// A workbook made in memory, or why it could not be made.
struct WorkbookBytes {
    QByteArray bytes;
    QString failure; // empty when made
};

// Makes the workbook of the measurement table (its back end is in xlsx/, apart so that records
// itself needs no workbook library).
using WorkbookWriter = std::function<WorkbookBytes(const common::TextGrid& table)>;

} // namespace zr::records
