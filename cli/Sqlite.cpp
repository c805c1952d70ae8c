#include "cli/Sqlite.h"

#include <sqlite3.h>

#include <cmath>
#include <utility>

namespace xrayutils {

namespace {

std::string MessageOf(sqlite3* connection, int result, const char* what) {
    const char* text = connection != nullptr ? sqlite3_errmsg(connection) : sqlite3_errstr(result);
    return std::string(what) + ": " + (text != nullptr ? text : sqlite3_errstr(result));
}

}  // namespace

SqliteError::SqliteError(const std::string& message, int code)
    : std::runtime_error(message), fCode(code) {}

// ---- SqliteStatement

SqliteStatement::SqliteStatement(sqlite3* connection, const std::string& sql)
    : fConnection(connection) {
    const int result = sqlite3_prepare_v2(connection, sql.c_str(), static_cast<int>(sql.size()),
                                          &fStatement, nullptr);
    if (result != SQLITE_OK) {
        sqlite3_finalize(fStatement);
        fStatement = nullptr;
        throw SqliteError(MessageOf(connection, result, "cannot prepare a statement"),
                          sqlite3_extended_errcode(connection));
    }
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : fConnection(other.fConnection), fStatement(std::exchange(other.fStatement, nullptr)) {}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(fStatement);
}

void SqliteStatement::Check(int result, const char* what) const {
    if (result != SQLITE_OK)
        throw SqliteError(MessageOf(fConnection, result, what),
                          sqlite3_extended_errcode(fConnection));
}

SqliteStatement& SqliteStatement::Bind(int index, int64_t value) {
    Check(sqlite3_bind_int64(fStatement, index, value), "cannot bind a value");
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, double value) {
    if (!std::isfinite(value))
        return BindNull(index);
    Check(sqlite3_bind_double(fStatement, index, value), "cannot bind a value");
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, const std::string& value) {
    Check(sqlite3_bind_text(fStatement, index, value.data(), static_cast<int>(value.size()),
                            SQLITE_TRANSIENT),
          "cannot bind a value");
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, const char* value) {
    return Bind(index, std::string(value));
}

SqliteStatement& SqliteStatement::Bind(int index, std::optional<double> value) {
    return value ? Bind(index, *value) : BindNull(index);
}

SqliteStatement& SqliteStatement::BindBlob(int index, const std::vector<unsigned char>& bytes) {
    // A zero-length blob is bound as an empty blob, not as NULL.
    static const unsigned char kNothing = 0;
    Check(sqlite3_bind_blob(fStatement, index, bytes.empty() ? &kNothing : bytes.data(),
                            static_cast<int>(bytes.size()), SQLITE_TRANSIENT),
          "cannot bind a value");
    return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index) {
    Check(sqlite3_bind_null(fStatement, index), "cannot bind a value");
    return *this;
}

bool SqliteStatement::Step() {
    const int result = sqlite3_step(fStatement);
    if (result == SQLITE_ROW)
        return true;
    if (result == SQLITE_DONE)
        return false;
    throw SqliteError(MessageOf(fConnection, result, "a statement failed"),
                      sqlite3_extended_errcode(fConnection));
}

void SqliteStatement::Run() {
    while (Step()) {
    }
}

void SqliteStatement::Reset() {
    sqlite3_reset(fStatement);  // repeats the last step's error, which Step already threw
}

bool SqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(fStatement, column) == SQLITE_NULL;
}

int64_t SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(fStatement, column);
}

double SqliteStatement::Real(int column) const {
    return sqlite3_column_double(fStatement, column);
}

std::optional<double> SqliteStatement::OptionalReal(int column) const {
    if (IsNull(column))
        return std::nullopt;
    return Real(column);
}

std::string SqliteStatement::Text(int column) const {
    const unsigned char* text = sqlite3_column_text(fStatement, column);
    const int bytes = sqlite3_column_bytes(fStatement, column);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text), bytes)
                           : std::string();
}

std::vector<unsigned char> SqliteStatement::Blob(int column) const {
    const auto* data = static_cast<const unsigned char*>(sqlite3_column_blob(fStatement, column));
    const int bytes = sqlite3_column_bytes(fStatement, column);
    return data != nullptr ? std::vector<unsigned char>(data, data + bytes)
                           : std::vector<unsigned char>();
}

// ---- SqliteDatabase

SqliteDatabase::SqliteDatabase(const std::string& path, Mode mode) {
    const int flags =
        SQLITE_OPEN_READWRITE | (mode == Mode::kReadWriteCreate ? SQLITE_OPEN_CREATE : 0);
    const int result = sqlite3_open_v2(path.c_str(), &fConnection, flags, nullptr);
    if (result != SQLITE_OK) {
        const std::string message = MessageOf(fConnection, result, ("cannot open " + path).c_str());
        const int code = fConnection != nullptr ? sqlite3_extended_errcode(fConnection) : result;
        sqlite3_close(fConnection);
        fConnection = nullptr;
        throw SqliteError(message, code);
    }
    sqlite3_extended_result_codes(fConnection, 1);
}

SqliteDatabase::SqliteDatabase(SqliteDatabase&& other) noexcept
    : fConnection(std::exchange(other.fConnection, nullptr)) {}

SqliteDatabase::~SqliteDatabase() {
    sqlite3_close(fConnection);
}

void SqliteDatabase::Execute(const std::string& sql) {
    char* error = nullptr;
    const int result = sqlite3_exec(fConnection, sql.c_str(), nullptr, nullptr, &error);
    if (result != SQLITE_OK) {
        const std::string message = std::string("a statement failed: ") +
                                    (error != nullptr ? error : sqlite3_errstr(result));
        sqlite3_free(error);
        throw SqliteError(message, sqlite3_extended_errcode(fConnection));
    }
}

SqliteStatement SqliteDatabase::Prepare(const std::string& sql) {
    return SqliteStatement(fConnection, sql);
}

int64_t SqliteDatabase::QueryInt(const std::string& sql) {
    SqliteStatement statement = Prepare(sql);
    return statement.Step() ? statement.Int(0) : 0;
}

std::string SqliteDatabase::QueryText(const std::string& sql) {
    SqliteStatement statement = Prepare(sql);
    return statement.Step() ? statement.Text(0) : std::string();
}

void SqliteDatabase::SetBusyTimeout(int milliseconds) {
    sqlite3_busy_timeout(fConnection, milliseconds);
}

int64_t SqliteDatabase::LastInsertId() const {
    return sqlite3_last_insert_rowid(fConnection);
}

int64_t SqliteDatabase::Changes() const {
    return sqlite3_changes(fConnection);
}

// ---- SqliteTransaction

SqliteTransaction::SqliteTransaction(SqliteDatabase& database, Kind kind) : fDatabase(database) {
    database.Execute(kind == Kind::kImmediate ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED");
}

SqliteTransaction::~SqliteTransaction() {
    if (fOpen)
        sqlite3_exec(fDatabase.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteTransaction::Commit() {
    fDatabase.Execute("COMMIT");
    fOpen = false;
}

}  // namespace xrayutils
