#pragma once

#include <QtGlobal>

namespace zr::journal {

// "ZR60": marks the file as this program's journal (PRAGMA application_id).
inline constexpr qint64 kApplicationId = 0x5A523630;

// PRAGMA user_version of the journals this program knows: 1 kept the shown texts as a JSON
// array; 2 keeps the rows typed.
inline constexpr int kTextSchemaVersion = 1;
inline constexpr int kSchemaVersion = 2;

// The tables and indexes of schema 2. Other programs read them (the history window, mirrors to
// a server): names are not changed once released.
//
// Times are UTC, ISO 8601 with milliseconds and "Z" (2026-03-01T08:00:00.000Z), so that their
// text order is their time order. `revision` is the number of the transaction that last
// changed a session or a row; it grows across the whole file, so "everything after revision N"
// is what a mirror asks for. `uuid` names a session or row for good, on any PC.
//
// session: one run of the program; `closed` is null while it runs or after it ended without
// closing. `process`, `boot` and `process_started` tell whether its process still runs.
// `restored_into` is the session that took over its table after a crash. `number_items` (a JSON
// array of texts) and `number_selected` are the sample-number list as the run left it.
//
// measurement_row: a row of a session's table; `position` is its place in the table (0 = first
// body row), null once deleted. `number`, `grade`, `tank`, `supplier` are the list texts as
// chosen; `method` the method code (null: none); `value` the number shown, `value_decimals` 1
// when shown with one decimal, -1 in the general format; `moment` when the row was measured,
// null only for an empty row. `method_text`, `value_text`, `moment_text` hold the shown text
// only where it is not what the typed field shows (typed by hand, or a text from before schema
// 2 that did not read back the same); null elsewhere. `meter_serial` is the meter's serial
// number when the row was written ("" without a meter); `changed` the last change of its
// contents, `deleted` its deletion.
inline constexpr const char* kSchemaSql = R"sql(
CREATE TABLE session (
    id INTEGER PRIMARY KEY,
    uuid TEXT NOT NULL UNIQUE,
    host TEXT NOT NULL,
    started TEXT NOT NULL,
    closed TEXT,
    process INTEGER NOT NULL,
    boot TEXT NOT NULL,
    process_started TEXT NOT NULL,
    restored_into INTEGER REFERENCES session(id),
    number_items TEXT,
    number_selected INTEGER,
    revision INTEGER NOT NULL
);
CREATE INDEX session_revision ON session (revision);
CREATE TABLE measurement_row (
    id INTEGER PRIMARY KEY,
    uuid TEXT NOT NULL UNIQUE,
    session INTEGER NOT NULL REFERENCES session(id),
    position INTEGER,
    number TEXT NOT NULL,
    grade TEXT NOT NULL,
    tank TEXT NOT NULL,
    supplier TEXT NOT NULL,
    method INTEGER,
    value REAL,
    value_decimals INTEGER NOT NULL,
    moment TEXT,
    method_text TEXT,
    value_text TEXT,
    moment_text TEXT,
    meter_serial TEXT NOT NULL,
    changed TEXT NOT NULL,
    deleted TEXT,
    revision INTEGER NOT NULL
);
CREATE INDEX measurement_row_place ON measurement_row (session, position);
CREATE INDEX measurement_row_changed ON measurement_row (session, changed);
CREATE INDEX measurement_row_revision ON measurement_row (revision);
)sql";

// The history window's filters and orders (history/HistoryQuery.cpp uses these expressions): a
// column's sort key, then the moment, so that a page of a million rows is read in order. Made
// with the schema, and by the writer on opening a journal that an earlier version of the program
// made without them.
inline constexpr const char* kHistoryIndexSql = R"sql(
CREATE INDEX IF NOT EXISTS measurement_row_moment ON measurement_row (moment);
CREATE INDEX IF NOT EXISTS measurement_row_session_moment ON measurement_row (session, moment);
CREATE INDEX IF NOT EXISTS measurement_row_number ON measurement_row (CAST(number AS INTEGER), moment);
CREATE INDEX IF NOT EXISTS measurement_row_grade ON measurement_row (grade, moment);
CREATE INDEX IF NOT EXISTS measurement_row_tank ON measurement_row (tank, moment);
CREATE INDEX IF NOT EXISTS measurement_row_supplier ON measurement_row (supplier, moment);
CREATE INDEX IF NOT EXISTS measurement_row_method ON measurement_row (ifnull(method, 0), moment);
CREATE INDEX IF NOT EXISTS measurement_row_value ON measurement_row (ifnull(value, -1), moment);
)sql";

// What a mirror to a server has sent of this file, made by the mirror when it first runs: a
// table beside the ones above, so the schema version stays and older programs read the file as
// before. Per server (its connection as host, port and database): the id of the server's
// database it last reached, and the revision up to which that database has committed every
// change. It lives in the journal so that it survives whatever the journal survives.
inline constexpr const char* kMirrorStateSql = R"sql(
CREATE TABLE IF NOT EXISTS mirror_state (
    server TEXT PRIMARY KEY,
    database_id TEXT NOT NULL,
    acknowledged INTEGER NOT NULL
);
)sql";

} // namespace zr::journal
