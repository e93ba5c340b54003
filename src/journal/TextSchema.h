#pragma once

#include "journal/Sqlite.h"
#include "journal/TableRow.h"

namespace zr::journal {

// The journal of schema 1, which kept each row as the JSON array of its seven shown texts.

// The typed row behind a row's texts and the time it was written (UTC).
TableRow textSchemaRow(QByteArrayView cellsJson, const QDateTime& written);

// Upgrades the open schema-1 journal at `path` to the typed schema, inside the caller's write
// transaction: first a copy of the file is kept beside it under a new name, which is returned;
// then every session and row moves to the typed tables, texts that do not type kept.
QString upgradeTextSchema(Database& db, const QString& path);

} // namespace zr::journal
