#include "catalog/sqlite_db.h"

#include <sqlcipher/sqlite3.h>

#include <system_error>

namespace kmx::catalog {

Db::~Db() {
    close();
}

void Db::close() {
    db_.close();
}

bool Db::exec(const std::string& sql, std::string& error) {
    return db_.exec(sql, error);
}

bool Db::create(const std::filesystem::path& path, std::string_view password, std::string& error) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        error = path.string() + ": already exists";
        return false;
    }
    if (!db_.openForBuild(path, password, error)) {
        error = path.string() + ": " + error;
        return false;
    }
    // A new file that is renamed into place only when complete needs no
    // journal: a failed build is deleted, never rolled back.
    if (!exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;", error)) {
        close();
        return false;
    }
    return true;
}

bool Db::openReadOnly(const std::filesystem::path& path, std::string_view password, std::string& error) {
    if (!db_.open(path, password, error)) {
        error = path.string() + ": " + error;
        return false;
    }
    return true;
}

Statement::~Statement() {
    finalize();
}

void Statement::finalize() {
    if (stmt_) sqlite3_finalize(stmt_);
    stmt_ = nullptr;
}

bool Statement::prepare(const Db& db, const std::string& sql, std::string& error) {
    finalize();
    db_ = db.handle();
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr) != SQLITE_OK) {
        error = std::string(sqlite3_errmsg(db_)) + " in: " + sql;
        finalize();
        return false;
    }
    return true;
}

void Statement::bindNull(int i) {
    sqlite3_bind_null(stmt_, i);
}
void Statement::bindInt(int i, std::int64_t v) {
    sqlite3_bind_int64(stmt_, i, v);
}
void Statement::bindReal(int i, double v) {
    sqlite3_bind_double(stmt_, i, v);
}

void Statement::bindText(int i, std::string_view bytes) {
    sqlite3_bind_text(stmt_, i, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

void Statement::bindBlob(int i, std::string_view bytes) {
    // A zero-length blob still reads back as a blob, not as null.
    sqlite3_bind_blob(stmt_, i, bytes.empty() ? "" : bytes.data(), static_cast<int>(bytes.size()),
                      SQLITE_TRANSIENT);
}

bool Statement::run(std::string& error) {
    const int rc = sqlite3_step(stmt_);
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    if (rc == SQLITE_DONE) return true;
    error = sqlite3_errmsg(db_);
    return false;
}

bool Statement::nextRow(std::string& error) {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) error = sqlite3_errmsg(db_);
    return false;
}

bool Statement::isNull(int col) const {
    return sqlite3_column_type(stmt_, col) == SQLITE_NULL;
}
bool Statement::isBlob(int col) const {
    return sqlite3_column_type(stmt_, col) == SQLITE_BLOB;
}
bool Statement::isText(int col) const {
    return sqlite3_column_type(stmt_, col) == SQLITE_TEXT;
}
std::int64_t Statement::intAt(int col) const {
    return sqlite3_column_int64(stmt_, col);
}
double Statement::realAt(int col) const {
    return sqlite3_column_double(stmt_, col);
}

std::string Statement::bytesAt(int col) const {
    const void* p = sqlite3_column_blob(stmt_, col);
    const int n = sqlite3_column_bytes(stmt_, col);
    return p && n > 0 ? std::string(static_cast<const char*>(p), static_cast<std::size_t>(n)) : std::string();
}

}  // namespace kmx::catalog
