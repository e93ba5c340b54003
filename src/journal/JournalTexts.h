#pragma once

namespace zr::journal {

// What the user is told about the measurement table's journal.

// After a run that ended without closing the window; %1 is the number of written rows.
inline constexpr const char* kRowsRestoredText =
    "Работа программы была прервана. Восстановлено строк таблицы измерений: %1.";

// The journal cannot be used; the table works on as without it.
inline constexpr const char* kWithoutJournalText =
    "Таблица измерений работает без журнала: при сбое несохранённые строки будут потеряны.";
// %1 is the name the damaged file was kept under.
inline constexpr const char* kJournalDamagedText =
    "Журнал таблицы измерений повреждён или не является журналом этой программы. "
    "Он сохранён под именем \"%1\", начат новый журнал.";
inline constexpr const char* kJournalBusyText = "Журнал таблицы измерений занят другой программой.";
inline constexpr const char* kJournalNewerText =
    "Журнал таблицы измерений записан более новой версией программы.";
// %1 is the file, %2 the system's reason.
inline constexpr const char* kJournalUnwritableText =
    "Не удаётся записать журнал таблицы измерений \"%1\": %2.";

} // namespace zr::journal
