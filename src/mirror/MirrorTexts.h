#pragma once

namespace zr::mirror {

// What the user is told about the journal's server. %1 is always the server (host:port/database).

// The status line; %2 is the number of written rows the server lacks.
inline constexpr const char* kConnectingLine =
    "Сервер журнала %1: подключение… Ожидают отправки строк: %2";
inline constexpr const char* kReachedLine =
    "Сервер журнала %1: связь есть. Ожидают отправки строк: %2";
// %3 is the reason, last: the server's words end as they end.
inline constexpr const char* kUnreachableLine =
    "Сервер журнала %1 недоступен, ожидают отправки строк: %2. Причина: %3";
inline constexpr const char* kRefusedLine =
    "Сервер журнала %1 не используется, ожидают отправки строк: %2. Причина: %3";

// Once per outage; %2 is the reason.
inline constexpr const char* kOutageText =
    "Сервер журнала %1 недоступен.\nПричина: %2\n"
    "Строки таблицы сохраняются на этом компьютере и будут отправлены, когда связь восстановится.";
// Once, when the server is not used until the program starts again; %2 is the reason.
inline constexpr const char* kRefusedText = "Сервер журнала %1 не используется.\nПричина: %2\n"
                                            "Строки таблицы сохраняются на этом компьютере.";

// Reasons.
// %1 is the server's schema version.
inline constexpr const char* kNewerSchemaReason =
    "база данных сервера ведётся более новой версией программы (версия схемы %1)";
inline constexpr const char* kPasswordInSettingsReason =
    "пароль не хранится в настройках программы, его место — файл ~/.pgpass";
// %1 is where the connection string came from, %2 what is wrong with it.
inline constexpr const char* kSettingsReason = "строка подключения из \"%1\" не читается: %2";
// %1 is the server's words.
inline constexpr const char* kPermissionReason = "нет прав: %1";
inline constexpr const char* kTimeoutReason = "сервер не ответил вовремя";
// %1 is why the module could not be loaded.
inline constexpr const char* kModuleMissingReason = "модуль связи с сервером не загружается: %1";
// %1 is the journal's failure.
inline constexpr const char* kJournalUnreadableReason = "журнал таблицы не читается: %1";
inline constexpr const char* kJournalUnusableReason =
    "журнал таблицы не является журналом этой версии программы";

} // namespace zr::mirror
