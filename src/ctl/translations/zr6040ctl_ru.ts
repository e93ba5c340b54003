<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>CtlText</name>
    <message>
        <source>The ZR-6040 meter at %1 cannot be opened read-write: %2.</source>
        <translation>Прибор ZR-6040 (%1) найден, но открыть его для чтения и записи нельзя: %2.</translation>
    </message>
    <message>
        <source>Install the udev rule 70-zr6040.rules (see zr6040usb(1)) and plug the meter in again.</source>
        <translation>Установите правило udev 70-zr6040.rules (см. zr6040usb(1)) и переподключите прибор.</translation>
    </message>
    <message>
        <source>No ZR-6040 meter is attached.</source>
        <translation>Прибор ZR-6040 не подключён.</translation>
    </message>
    <message>
        <source>The meter was unplugged.</source>
        <translation>Прибор отключён.</translation>
    </message>
    <message>
        <source>Interrupted.</source>
        <translation>Прервано.</translation>
    </message>
    <message>
        <source>%1: no such file</source>
        <translation>%1: нет такого файла</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>The meter did not reply in time.</source>
        <translation>Прибор не ответил вовремя.</translation>
    </message>
    <message>
        <source>The meter did not answer in time.</source>
        <translation>Прибор не отозвался вовремя.</translation>
    </message>
    <message>
        <source>The meter&apos;s method %1 holds no calibrations; choose one with --method.</source>
        <translation>У метода прибора %1 нет калибровок; выберите метод с помощью --method.</translation>
    </message>
    <message>
        <source>Command-line companion of the ZR-6040 USB control program.</source>
        <translation>Программа командной строки к программе управления ZR-6040 USB.</translation>
    </message>
    <message>
        <source>Displays this help.</source>
        <translation>Показывает эту справку.</translation>
    </message>
    <message>
        <source>Displays version information.</source>
        <translation>Показывает версию.</translation>
    </message>
    <message>
        <source>Writes JSON.</source>
        <translation>Выводит JSON.</translation>
    </message>
    <message>
        <source>Writes CSV (RFC 4180).</source>
        <translation>Выводит CSV (RFC 4180).</translation>
    </message>
    <message>
        <source>The table and CSV without their header line.</source>
        <translation>Таблица и CSV без строки заголовка.</translation>
    </message>
    <message>
        <source>Writes to FILE: replaced when the command is done, appended to by watch.</source>
        <translation>Выводит в файл: он заменяется по завершении команды, а watch дописывает его.</translation>
    </message>
    <message>
        <source>file</source>
        <translation>файл</translation>
    </message>
    <message>
        <source>Attaches the built-in meter simulator.</source>
        <translation>Подключает встроенный имитатор прибора.</translation>
    </message>
    <message>
        <source>Uses only the meter at this device node.</source>
        <translation>Использует только прибор с этим файлом устройства.</translation>
    </message>
    <message>
        <source>path</source>
        <translation>путь</translation>
    </message>
    <message>
        <source>Uses only the meter with this serial number.</source>
        <translation>Использует только прибор с этим серийным номером.</translation>
    </message>
    <message>
        <source>serial</source>
        <translation>номер</translation>
    </message>
    <message>
        <source>Seconds to wait for the meter&apos;s reply (default %1).</source>
        <translation>Сколько секунд ждать ответа прибора (по умолчанию %1).</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>секунды</translation>
    </message>
    <message>
        <source>Asks again this often for a reply that did not come (default 0).</source>
        <translation>Сколько раз повторить запрос, на который не пришёл ответ (по умолчанию 0).</translation>
    </message>
    <message>
        <source>n</source>
        <translation>n</translation>
    </message>
    <message>
        <source>Writes the traffic with the meter to standard error.</source>
        <translation>Выводит обмен с прибором в стандартный поток ошибок.</translation>
    </message>
    <message>
        <source>watch: stops after this many lines.</source>
        <translation>watch: остановиться после стольких строк.</translation>
    </message>
    <message>
        <source>watch: stops after this long (30s, 10m, 2h, 1d).</source>
        <translation>watch: остановиться через это время (30s, 10m, 2h, 1d).</translation>
    </message>
    <message>
        <source>time</source>
        <translation>время</translation>
    </message>
    <message>
        <source>watch: only readings that changed.</source>
        <translation>watch: только изменившиеся показания.</translation>
    </message>
    <message>
        <source>watch: the time of a line as local (default), utc or epoch.</source>
        <translation>watch: время строки как local (по умолчанию), utc или epoch.</translation>
    </message>
    <message>
        <source>style</source>
        <translation>вид</translation>
    </message>
    <message>
        <source>calibrations, qc: the method (1 to 3).</source>
        <translation>calibrations, qc: метод (от 1 до 3).</translation>
    </message>
    <message>
        <source>journal: rows written from this ISO 8601 date or local time on; qc: rows measured from then.</source>
        <translation>journal: строки, записанные начиная с этой даты ISO 8601 или местного времени; qc: строки, измеренные начиная с этого времени.</translation>
    </message>
    <message>
        <source>date</source>
        <translation>дата</translation>
    </message>
    <message>
        <source>journal: rows written up to this time, or to the end of this date; qc: rows measured up to then; watch: stops then (also a time of day, HH:MM).</source>
        <translation>journal: строки, записанные до этого времени или до конца этой даты; qc: строки, измеренные до этого времени; watch: остановиться в это время (также время суток, ЧЧ:ММ).</translation>
    </message>
    <message>
        <source>What to do.</source>
        <translation>Что сделать.</translation>
    </message>
    <message>
        <source>No command given.</source>
        <translation>Команда не указана.</translation>
    </message>
    <message>
        <source>Unknown command &apos;%1&apos;.</source>
        <translation>Неизвестная команда &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>Лишний аргумент &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>sync: tells whether the server is reached and how many rows wait.</source>
        <translation>sync: только связь с сервером и число ожидающих строк.</translation>
    </message>
    <message>
        <source>--%1 belongs to %2.</source>
        <translation>--%1 относится к %2.</translation>
    </message>
    <message>
        <source>--json and --csv exclude each other.</source>
        <translation>--json и --csv исключают друг друга.</translation>
    </message>
    <message>
        <source>--output needs a file name.</source>
        <translation>--output требует имени файла.</translation>
    </message>
    <message>
        <source>--timeout needs a number of seconds.</source>
        <translation>--timeout требует числа секунд.</translation>
    </message>
    <message>
        <source>--retries needs a number from 0 to %1.</source>
        <translation>--retries требует числа от 0 до %1.</translation>
    </message>
    <message>
        <source>--count needs a positive number.</source>
        <translation>--count требует положительного числа.</translation>
    </message>
    <message>
        <source>--duration needs a length of time such as 90s, 10m or 2h.</source>
        <translation>--duration требует длительности, например 90s, 10m или 2h.</translation>
    </message>
    <message>
        <source>--time needs local, utc or epoch.</source>
        <translation>--time требует local, utc или epoch.</translation>
    </message>
    <message>
        <source>--method needs RON, MON, CN or 1 to 3.</source>
        <translation>--method требует RON, MON, CN или от 1 до 3.</translation>
    </message>
    <message>
        <source>method needs RON, MON, CN or 1 to 3.</source>
        <translation>method требует RON, MON, CN или от 1 до 3.</translation>
    </message>
    <message>
        <source>--since needs an ISO 8601 date or date and time.</source>
        <translation>--since требует даты или даты и времени ISO 8601.</translation>
    </message>
    <message>
        <source>--until needs a time of day, an ISO 8601 date or date and time.</source>
        <translation>--until требует времени суток, даты или даты и времени ISO 8601.</translation>
    </message>
    <message>
        <source>--until lies in the past.</source>
        <translation>--until уже прошло.</translation>
    </message>
    <message>
        <source>--until needs an ISO 8601 date or date and time.</source>
        <translation>--until требует даты или даты и времени ISO 8601.</translation>
    </message>
    <message>
        <source>Cannot write the output: %1.</source>
        <translation>Не удаётся записать вывод: %1.</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>да</translation>
    </message>
    <message>
        <source>no</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Устройство</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Серийный номер</translation>
    </message>
    <message>
        <source>Read-write</source>
        <translation>Доступ на запись</translation>
    </message>
    <message>
        <source>Product</source>
        <translation>Изделие</translation>
    </message>
    <message>
        <source>USB path</source>
        <translation>Путь USB</translation>
    </message>
    <message>
        <source>Vendor</source>
        <translation>Производитель</translation>
    </message>
    <message>
        <source>Product ID</source>
        <translation>Код изделия</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Версия</translation>
    </message>
    <message>
        <source>Input report</source>
        <translation>Входной отчёт</translation>
    </message>
    <message>
        <source>Output report</source>
        <translation>Выходной отчёт</translation>
    </message>
    <message>
        <source>Method</source>
        <translation>Метод</translation>
    </message>
    <message>
        <source>Method name</source>
        <translation>Название метода</translation>
    </message>
    <message>
        <source>Table</source>
        <translation>Таблица</translation>
    </message>
    <message>
        <source>Calibration</source>
        <translation>Градуировка</translation>
    </message>
    <message>
        <source>K1</source>
        <translation>К1</translation>
    </message>
    <message>
        <source>K2</source>
        <translation>К2</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>Correction</source>
        <translation>Коррекция</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Частота</translation>
    </message>
    <message>
        <source>In band</source>
        <translation>В допуске</translation>
    </message>
    <message>
        <source>Stored</source>
        <translation>Данных</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>№</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Наименование</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Комментарий</translation>
    </message>
    <message>
        <source>qc: the sample number.</source>
        <translation>qc: номер пробы.</translation>
    </message>
    <message>
        <source>qc: the grade.</source>
        <translation>qc: марка.</translation>
    </message>
    <message>
        <source>qc: the tank.</source>
        <translation>qc: резервуар.</translation>
    </message>
    <message>
        <source>qc: the supplier.</source>
        <translation>qc: поставщик.</translation>
    </message>
    <message>
        <source>qc: limits from the first n points (default %1).</source>
        <translation>qc: границы по первым n точкам (по умолчанию %1).</translation>
    </message>
    <message>
        <source>--baseline needs a number of points, 2 or more.</source>
        <translation>--baseline требует числа точек, не меньше 2.</translation>
    </message>
    <message>
        <source>text</source>
        <translation>текст</translation>
    </message>
    <message>
        <source>Commands:
  list                    the meters found; exit status 3 when there is none
  info                    what the meter and its USB interface say about themselves
  status                  one status report of the meter
  watch                   one line per status report until interrupted
  stored                  the values stored in the meter
  calibrations            the meter&apos;s calibrations of a method (--method N)
  method RON|MON|CN|1|2|3 switch the measuring method and wait for the meter to confirm
  library [FILE]          the entries of a calibration library file (no meter needed)
  journal [FILE]          the measurement table&apos;s history (no meter needed);
                          --server: every PC&apos;s rows on the journal&apos;s server
  sync                    sends the journal&apos;s rows the server lacks (--status: only
                          tells whether the server is reached and how many rows wait)
  qc [FILE]               control charts of the history&apos;s rows: limits and the points
                          that break a run rule (no meter needed);
                          --server: of every PC&apos;s rows on the journal&apos;s server
</source>
        <translation>Команды:
  list                    найденные приборы; код выхода 3, если их нет
  info                    что прибор и его интерфейс USB сообщают о себе
  status                  одно сообщение о состоянии прибора
  watch                   по строке на каждое сообщение о состоянии до прерывания
  stored                  значения, сохранённые в приборе
  calibrations            калибровки прибора для метода (--method N)
  method RON|MON|CN|1|2|3 переключить метод измерения и дождаться подтверждения прибора
  library [FILE]          записи файла библиотеки калибровок (прибор не нужен)
  journal [FILE]          история таблицы измерений (прибор не нужен);
                          --server: строки всех компьютеров с сервера журнала
  sync                    отправить на сервер строки журнала, которых там нет (--status:
                          только связь с сервером и число ожидающих строк)
  qc [FILE]               контрольные карты строк истории: границы и точки,
                          нарушившие правило (прибор не нужен);
                          --server: по строкам всех компьютеров с сервера журнала
</translation>
    </message>
    <message>
        <source>journal, qc: reads the rows of every PC from the journal&apos;s server.</source>
        <translation>journal, qc: строки всех компьютеров с сервера журнала.</translation>
    </message>
    <message>
        <source>--server reads no file.</source>
        <translation>--server не читает файл.</translation>
    </message>
    <message>
        <source>%1 point(s) in the baseline: control limits need two or more.</source>
        <translation>Точек в базе: %1; для контрольных границ нужно не меньше двух.</translation>
    </message>
    <message>
        <source>No journal server is configured: set ZR6040_SERVER, or connection= under [server] in zr6040usb.conf.</source>
        <translation>Сервер журнала не настроен: задайте ZR6040_SERVER или connection= в разделе [server] файла zr6040usb.conf.</translation>
    </message>
    <message>
        <source>a password does not belong in the connection string; use ~/.pgpass</source>
        <translation>пароль не пишут в строку подключения; используйте ~/.pgpass</translation>
    </message>
    <message>
        <source>holds no journal</source>
        <translation>журнала на сервере нет</translation>
    </message>
    <message>
        <source>a journal of a newer program version</source>
        <translation>журнал более новой версии программы</translation>
    </message>
    <message>
        <source>not a journal of this program</source>
        <translation>не журнал этой программы</translation>
    </message>
    <message>
        <source>The server&apos;s rows could not be charted: %1</source>
        <translation>Строки сервера не удалось обработать для контрольных карт: %1</translation>
    </message>
</context>
</TS>
