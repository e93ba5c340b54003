#include "journal/Sqlite.h"

#include <sqlite3.h>

namespace zr::journal {

void check(sqlite3* db, int code, int expected) {
    if (code == expected) {
        return;
    }
    SqliteFailure failure;
    failure.code = code;
    failure.systemError = db ? sqlite3_system_errno(db) : 0;
    failure.text = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    throw SqliteError(std::move(failure));
}

Statement::Statement(sqlite3* db, const char* sql) : db_(db) {
    check(db_, sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement_, nullptr),
          SQLITE_OK);
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

Statement& Statement::restart() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    return *this;
}

Statement& Statement::bind(int index, qint64 value) {
    check(db_, sqlite3_bind_int64(statement_, index, value), SQLITE_OK);
    return *this;
}

Statement& Statement::bind(int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    check(db_,
          sqlite3_bind_text(statement_, index, utf8.constData(), static_cast<int>(utf8.size()),
                            SQLITE_TRANSIENT),
          SQLITE_OK);
    return *this;
}

Statement& Statement::bindReal(int index, double value) {
    check(db_, sqlite3_bind_double(statement_, index, value), SQLITE_OK);
    return *this;
}

Statement& Statement::bindNull(int index) {
    check(db_, sqlite3_bind_null(statement_, index), SQLITE_OK);
    return *this;
}

Statement& Statement::bindFrom(int index, const Statement& source, int column) {
    check(db_,
          sqlite3_bind_value(statement_, index, sqlite3_column_value(source.statement_, column)),
          SQLITE_OK);
    return *this;
}

bool Statement::step() {
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW) {
        return true;
    }
    // A failed step leaves the statement to be reset before its next use.
    if (code != SQLITE_DONE) {
        const int result = sqlite3_reset(statement_);
        check(db_, result == SQLITE_OK ? code : result, SQLITE_DONE);
    }
    return false;
}

void Statement::run() {
    while (step()) {
    }
    sqlite3_reset(statement_);
}

qint64 Statement::integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(statement_, column);
}

QByteArrayView Statement::utf8(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return QByteArrayView(bytes, sqlite3_column_bytes(statement_, column));
}

QString Statement::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(statement_, column));
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

Database::Database(const QString& path, Access access) {
    const int mode = access == Access::ReadOnly ? SQLITE_OPEN_READONLY
                                                : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int code =
        sqlite3_open_v2(path.toUtf8().constData(), &db_, mode | SQLITE_OPEN_NOMUTEX, nullptr);
    if (code != SQLITE_OK) {
        SqliteFailure failure{code, db_ ? sqlite3_system_errno(db_) : 0,
                              QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code))};
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqliteError(std::move(failure));
    }
    sqlite3_extended_result_codes(db_, 1);
}

Database::~Database() {
    // Statements are finalized by their owners first; v2 copes with any left.
    sqlite3_close_v2(db_);
}

void Database::execute(const char* sql) {
    check(db_, sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), SQLITE_OK);
}

qint64 Database::pragma(const char* name) {
    Statement statement(db_, QByteArray("PRAGMA ").append(name).constData());
    return statement.step() ? statement.integer(0) : 0;
}

} // namespace zr::journal
