#include "history/HistoryColumns.h"

#include "records/ReportTexts.h"

namespace zr::history {

QString historyColumnHeader(HistoryColumn column) {
    switch (column) {
    case HistoryColumn::SessionStarted:
        return QStringLiteral("Начало сеанса");
    case HistoryColumn::Deleted:
        return QStringLiteral("Удалена");
    default:
        // The measurement table's columns, headed as the exported table heads them.
        return records::reportHeaders().at(static_cast<std::size_t>(column) - 1);
    }
}

} // namespace zr::history
