// Sqlite: a thin RAII layer over the SQLite C library for the QC store.
//
// SqliteDatabase owns one connection and closes it when destroyed. SqliteStatement owns one
// prepared statement of that connection and must not outlive it; values reach SQL only as
// bound parameters (Bind, numbered from 1), never by pasting text into a statement.
// SqliteTransaction begins a transaction and rolls it back when destroyed without Commit,
// also when an exception passes. Every failure of the library throws SqliteError with
// SQLite's own message and result code; destructors never throw. A connection is used by one
// thread at a time.
#ifndef XRAY_CLI_SQLITE_H
#define XRAY_CLI_SQLITE_H

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace xrayutils {

class SqliteError : public std::runtime_error {
  public:
    SqliteError(const std::string& message, int code);
    int Code() const { return fCode; }  // SQLite's extended result code

  private:
    int fCode;
};

class SqliteStatement {
  public:
    SqliteStatement(sqlite3* connection, const std::string& sql);
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&&) = delete;
    SqliteStatement(const SqliteStatement&) = delete;
    ~SqliteStatement();

    // Parameters are numbered from 1. A value that is not finite is bound as NULL, as
    // SQLite stores it anyway; std::nullopt binds NULL.
    SqliteStatement& Bind(int index, int64_t value);
    SqliteStatement& Bind(int index, double value);
    SqliteStatement& Bind(int index, const std::string& value);
    SqliteStatement& Bind(int index, const char* value);
    SqliteStatement& Bind(int index, std::optional<double> value);
    SqliteStatement& BindBlob(int index, const std::vector<unsigned char>& bytes);
    SqliteStatement& BindNull(int index);

    // Steps once: true when a row is ready to be read, false when the statement is done.
    bool Step();
    // Steps a statement that returns no rows.
    void Run();
    // Makes the statement ready to run again; the bindings stay.
    void Reset();

    // Columns are numbered from 0 and valid after Step returned true.
    bool IsNull(int column) const;
    int64_t Int(int column) const;
    double Real(int column) const;
    std::optional<double> OptionalReal(int column) const;
    std::string Text(int column) const;
    std::vector<unsigned char> Blob(int column) const;

  private:
    void Check(int result, const char* what) const;

    sqlite3* fConnection;
    sqlite3_stmt* fStatement = nullptr;
};

class SqliteDatabase {
  public:
    enum class Mode { kReadWrite, kReadWriteCreate };

    // Opens `path`; kReadWrite refuses a file that does not exist.
    SqliteDatabase(const std::string& path, Mode mode);
    SqliteDatabase(SqliteDatabase&& other) noexcept;
    SqliteDatabase& operator=(SqliteDatabase&&) = delete;
    SqliteDatabase(const SqliteDatabase&) = delete;
    ~SqliteDatabase();

    // Runs statements without parameters or rows (schema, pragmas, transaction control).
    void Execute(const std::string& sql);
    SqliteStatement Prepare(const std::string& sql);

    // The first column of the first row of a statement without parameters.
    int64_t QueryInt(const std::string& sql);
    std::string QueryText(const std::string& sql);

    // How long a statement waits for another connection's lock before SQLITE_BUSY.
    void SetBusyTimeout(int milliseconds);
    int64_t LastInsertId() const;
    // Rows the last INSERT, UPDATE or DELETE changed.
    int64_t Changes() const;
    sqlite3* Handle() const { return fConnection; }

  private:
    sqlite3* fConnection = nullptr;
};

class SqliteTransaction {
  public:
    // BEGIN IMMEDIATE takes the write lock at once, so a writer waits for another
    // (through the busy timeout) before it reads what it will change; BEGIN DEFERRED
    // starts a read that sees one consistent state.
    enum class Kind { kDeferred, kImmediate };

    SqliteTransaction(SqliteDatabase& database, Kind kind);
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    ~SqliteTransaction();

    void Commit();

  private:
    SqliteDatabase& fDatabase;
    bool fOpen = true;
};

}  // namespace xrayutils

#endif  // XRAY_CLI_SQLITE_H
