#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <string_view>

namespace zr::mirror {

// The version of the server's schema (zr6040.schema_info) this program makes and writes. A
// server of a newer version is left alone.
inline constexpr int kServerSchemaVersion = 1;

// A column of what is sent: its expression in the journal's query, and its name and type on
// the server. The journal's values travel as JSON arrays in this order.
struct SentColumn {
    const char* journal;
    const char* server;
    const char* type;
};

// Sessions: `s` is the journal's session, `t` the session it was restored into.
inline constexpr SentColumn kSentSessionColumns[] = {
    {"s.uuid", "id", "uuid"},
    {"s.host", "host", "text"},
    {"s.started", "started", "timestamptz"},
    {"s.closed", "closed", "timestamptz"},
    {"t.uuid", "restored_into", "uuid"},
    {"s.revision", "revision", "bigint"},
};

// Rows: `r` is the journal's row, `s` its session. `ordinal` is the order rows were made in on
// their PC; the PC's name comes with every row.
inline constexpr SentColumn kSentRowColumns[] = {
    {"r.uuid", "id", "uuid"},
    {"s.uuid", "session", "uuid"},
    {"r.id", "ordinal", "bigint"},
    {"r.position", "position", "integer"},
    {"r.number", "number", "text"},
    {"r.grade", "grade", "text"},
    {"r.tank", "tank", "text"},
    {"r.supplier", "supplier", "text"},
    {"r.method", "method", "integer"},
    {"r.value", "value", "double precision"},
    {"r.value_decimals", "value_decimals", "integer"},
    {"r.moment", "moment", "timestamptz"},
    {"r.method_text", "method_text", "text"},
    {"r.value_text", "value_text", "text"},
    {"r.moment_text", "moment_text", "text"},
    {"s.host", "host", "text"},
    {"r.meter_serial", "meter_serial", "text"},
    {"r.changed", "changed", "timestamptz"},
    {"r.deleted", "deleted", "timestamptz"},
    {"r.revision", "revision", "bigint"},
};

// The place of the column named `server` among `columns`; -1 without one.
template <std::size_t N>
constexpr int sentColumnIndex(const SentColumn (&columns)[N], std::string_view server) {
    for (std::size_t i = 0; i < N; ++i) {
        if (server == columns[i].server) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The schema's version and the database's id: one row. A server without the schema answers
// with a state isMissingSchema() knows.
QByteArray schemaVersionSql();
bool isMissingSchema(const QString& sqlState);

// Makes the schema, or brings an older one to this version, in one transaction; two programs
// doing it at once wait for each other. A newer schema is left as it is.
QByteArray prepareSchemaSql();

// Writes sessions ($1) and rows ($2), JSON arrays of kSent…Columns, in one statement through
// the schema's function zr6040.send: each by its id once, a later state over an earlier one and
// never the other way round. A row that was never written (no moment) only updates one the
// server has.
QByteArray upsertSql();

// Every written row of every PC with its session, its last change from $1 on and before $2
// (timestamptz, null for no bound), sessions by start, each session's rows in the order they
// were made. Times are UTC text as the journal keeps them; the columns are those of
// kHistoryColumns.
QByteArray historySql();

enum HistoryColumn {
    kSessionId,
    kSessionHost,
    kSessionStarted,
    kSessionClosed,
    kRowId,
    kMeterSerial,
    kRevision,
    kChanged,
    kDeleted,
    // Then the journal's row columns in their order (journal/RowColumns.h).
    kFirstRowColumn,
};

} // namespace zr::mirror
