#pragma once

#include <QString>

namespace zr::history {

// What the history window tells the user, in one place.
inline QString journalMissingText() {
    return QStringLiteral("В журнале измерений пока нет ни одной строки.");
}
inline QString notAJournalText(const QString& path) {
    return QStringLiteral("Файл \"%1\" не является журналом измерений этой программы.").arg(path);
}
inline QString newerJournalText(const QString& path) {
    return QStringLiteral("Журнал измерений \"%1\" записан более новой версией программы и "
                          "здесь не читается.")
        .arg(path);
}
inline QString unreadableJournalText(const QString& path, const QString& reason) {
    return QStringLiteral("Журнал измерений \"%1\" не читается: %2").arg(path, reason);
}
inline QString rowCountText(qint64 rows) {
    return QStringLiteral("Строк: %1").arg(rows);
}
inline QString countingText() {
    return QStringLiteral("Строк: …");
}
inline QString noMethodText() {
    return QStringLiteral("без метода");
}

} // namespace zr::history
