#include "mirror/ServerSchema.h"

#include <QByteArrayList>
#include <cstring>
#include <iterator>

namespace zr::mirror {

namespace {

// Version 1. Each later version adds a step that changes a schema of the version before and
// sets the new version number.
constexpr const char* kSchemaSteps[] = {
    R"sql(
        CREATE SCHEMA IF NOT EXISTS zr6040;
        CREATE TABLE zr6040.schema_info (
            only_row boolean PRIMARY KEY DEFAULT true CHECK (only_row),
            version integer NOT NULL,
            database_id uuid NOT NULL DEFAULT gen_random_uuid()
        );
        CREATE TABLE zr6040.session (
            id uuid PRIMARY KEY,
            host text NOT NULL,
            started timestamptz NOT NULL,
            closed timestamptz,
            restored_into uuid,
            revision bigint NOT NULL
        );
        CREATE TABLE zr6040.measurement_row (
            id uuid PRIMARY KEY,
            session uuid NOT NULL REFERENCES zr6040.session (id),
            ordinal bigint NOT NULL,
            position integer,
            number text NOT NULL,
            grade text NOT NULL,
            tank text NOT NULL,
            supplier text NOT NULL,
            method integer,
            value double precision,
            value_decimals integer NOT NULL,
            moment timestamptz,
            method_text text,
            value_text text,
            moment_text text,
            host text NOT NULL,
            meter_serial text NOT NULL,
            changed timestamptz NOT NULL,
            deleted timestamptz,
            revision bigint NOT NULL
        );
        CREATE INDEX measurement_row_changed ON zr6040.measurement_row (changed);
        CREATE INDEX measurement_row_session ON zr6040.measurement_row (session, ordinal);
        INSERT INTO zr6040.schema_info (version) VALUES (1);
    )sql",
};
static_assert(std::size(kSchemaSteps) == kServerSchemaVersion);

// Any number: the key of the advisory lock under which the schema is made.
constexpr const char* kSchemaLock = "60400001";

template <std::size_t N> QByteArray valuesOf(const SentColumn (&columns)[N]) {
    QByteArrayList values;
    for (std::size_t i = 0; i < N; ++i) {
        values << QByteArray("(v->>") + QByteArray::number(static_cast<qulonglong>(i)) +
                      ")::" + columns[i].type;
    }
    return values.join(", ");
}

template <std::size_t N> QByteArray namesOf(const SentColumn (&columns)[N]) {
    QByteArrayList names;
    for (const SentColumn& column : columns) {
        names << column.server;
    }
    return names.join(", ");
}

template <std::size_t N> QByteArray updatesOf(const SentColumn (&columns)[N]) {
    QByteArrayList updates;
    for (const SentColumn& column : columns) {
        if (std::strcmp(column.server, "id") != 0) {
            updates << QByteArray(column.server) + " = excluded." + column.server;
        }
    }
    return updates.join(", ");
}

template <std::size_t N>
QByteArray upsertInto(const char* table, const SentColumn (&columns)[N], const char* parameter,
                      const QByteArray& condition) {
    return QByteArray("INSERT INTO zr6040.") + table + " AS old (" + namesOf(columns) +
           ") SELECT " + valuesOf(columns) + " FROM jsonb_array_elements(" + parameter + ") AS v" +
           condition + " ON CONFLICT (id) DO UPDATE SET " + updatesOf(columns) +
           " WHERE old.revision < excluded.revision";
}

// zr6040.send(sessions, rows): the one way a PC writes, run with its owner's rights, so that a
// role allowed only to call it can add and update rows but neither read, change nor delete
// anything else. Sessions first: rows name them.
QByteArray sendFunction() {
    const QByteArray moment = QByteArray::number(sentColumnIndex(kSentRowColumns, "moment"));
    const QByteArray id = QByteArray::number(sentColumnIndex(kSentRowColumns, "id"));
    const QByteArray rowCondition = " WHERE v->>" + moment +
                                    " IS NOT NULL OR EXISTS (SELECT 1 FROM zr6040.measurement_row "
                                    "AS known WHERE known.id = (v->>" +
                                    id + ")::uuid)";
    return "CREATE OR REPLACE FUNCTION zr6040.send(jsonb, jsonb) RETURNS void LANGUAGE sql "
           "SECURITY DEFINER SET search_path = pg_catalog AS $send$ " +
           upsertInto("session", kSentSessionColumns, "$1", {}) + "; " +
           upsertInto("measurement_row", kSentRowColumns, "$2", rowCondition) +
           " $send$; REVOKE ALL ON FUNCTION zr6040.send(jsonb, jsonb) FROM PUBLIC; ";
}

QByteArray utc(const char* column) {
    return QByteArray("to_char(") + column +
           " AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"')";
}

} // namespace

QByteArray schemaVersionSql() {
    return "SELECT version, database_id FROM zr6040.schema_info";
}

bool isMissingSchema(const QString& sqlState) {
    // undefined_table, invalid_schema_name
    return sqlState == QLatin1String("42P01") || sqlState == QLatin1String("3F000");
}

QByteArray prepareSchemaSql() {
    QByteArray sql = QByteArray("DO $zr6040$ DECLARE found integer := 0; BEGIN "
                                "PERFORM pg_advisory_xact_lock(") +
                     kSchemaLock +
                     "); IF to_regclass('zr6040.schema_info') IS NOT NULL THEN "
                     "SELECT version INTO found FROM zr6040.schema_info; END IF; ";
    for (std::size_t step = 0; step < std::size(kSchemaSteps); ++step) {
        sql += "IF found < " + QByteArray::number(static_cast<qulonglong>(step + 1)) + " THEN " +
               kSchemaSteps[step] + " END IF; ";
    }
    // The function follows the tables of this version.
    sql += "IF found < " + QByteArray::number(kServerSchemaVersion) + " THEN " + sendFunction() +
           "END IF; ";
    return sql + "END $zr6040$";
}

QByteArray upsertSql() {
    return "SELECT zr6040.send($1::jsonb, $2::jsonb)";
}

QByteArray historySql() {
    return "SELECT s.id, s.host, " + utc("s.started") + ", " + utc("s.closed") +
           ", r.id, r.meter_serial, r.revision, " + utc("r.changed") + ", " + utc("r.deleted") +
           ", r.number, r.grade, r.tank, r.supplier, r.method, r.value, r.value_decimals, " +
           utc("r.moment") +
           ", r.method_text, r.value_text, r.moment_text "
           "FROM zr6040.measurement_row r JOIN zr6040.session s ON s.id = r.session "
           "WHERE r.moment IS NOT NULL AND ($1::timestamptz IS NULL OR r.changed >= $1) "
           "AND ($2::timestamptz IS NULL OR r.changed < $2) "
           "ORDER BY s.started, s.id, r.ordinal";
}

} // namespace zr::mirror
