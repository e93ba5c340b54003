#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace zr::journal {

// What a failed SQLite call left: its result code and the system's errno behind it, if any.
struct SqliteFailure {
    int code = 0;
    int systemError = 0;
    QString text;
};

// A thrown SqliteFailure: every call below either succeeds or throws one.
class SqliteError {
public:
    explicit SqliteError(SqliteFailure failure) : failure_(std::move(failure)) {}
    const SqliteFailure& failure() const { return failure_; }

private:
    SqliteFailure failure_;
};

// One prepared statement of a Database; reset and cleared before each run.
class Statement {
public:
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, qint64 value);
    Statement& bind(int index, const QString& text);
    Statement& bindReal(int index, double value);
    Statement& bindNull(int index);
    // The value of `column` in the row `source` is at, of whatever type.
    Statement& bindFrom(int index, const Statement& source, int column);
    // True while a row is there to read.
    bool step();
    // Runs a statement that returns no rows.
    void run();
    Statement& restart();

    qint64 integer(int column) const;
    double real(int column) const;
    QString text(int column) const;
    // The text's UTF-8 bytes, valid until the next step.
    QByteArrayView utf8(int column) const;
    bool isNull(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

// An open SQLite connection.
class Database {
public:
    enum class Access { ReadWrite, ReadOnly };

    // Opens `path` for reading and writing, creating it when missing; or only reads an existing
    // file, never creating, writing or locking it for writing.
    explicit Database(const QString& path, Access access = Access::ReadWrite);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void execute(const char* sql);
    qint64 pragma(const char* name);
    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

// Throws the failure of `db`'s last call when `code` is not `expected`.
void check(sqlite3* db, int code, int expected);

} // namespace zr::journal
