#pragma once

#include "journal/Journal.h"
#include "journal/ProcessIdentity.h"

#include <QDir>
#include <QTemporaryDir>
#include <optional>

namespace zr::history::test {

// A measurement row as a test writes it.
inline journal::TableRow measurement(const QString& number, const QString& grade,
                                     const QString& tank, const QString& supplier,
                                     std::optional<int> method, std::optional<double> value,
                                     const QDateTime& moment) {
    journal::TableRow row;
    row.number = number;
    row.grade = grade;
    row.tank = tank;
    row.supplier = supplier;
    row.method = method;
    row.value = value;
    row.valueDecimals = journal::TableRow::kOneDecimal;
    row.moment = moment;
    return row;
}

// A journal file in a directory of the test's own, written by the program's journal.
class HistoryJournal {
public:
    HistoryJournal()
        : path(QDir(dir.path()).filePath(QStringLiteral("journal.sqlite"))), journal(path, 2000),
          session(journal.startSession(journal::ProcessIdentity::current())) {}

    // Appends the rows to the session's table in one transaction; returns the first position.
    int append(const std::vector<journal::TableRow>& rows) {
        const int first = rows_;
        journal.begin();
        journal.insertRows(session, first, static_cast<int>(rows.size()));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            journal.setRow(session, first + static_cast<int>(i), rows[i], QString());
        }
        journal.commit();
        rows_ += static_cast<int>(rows.size());
        return first;
    }

    // Deletes the row at `position` from the session's table, as "Удалить значение" does.
    void remove(int position) {
        journal.begin();
        journal.removeRows(session, position, 1);
        journal.commit();
        --rows_;
    }

    QTemporaryDir dir;
    QString path;
    journal::Journal journal;
    qint64 session;

private:
    int rows_ = 0;
};

} // namespace zr::history::test
