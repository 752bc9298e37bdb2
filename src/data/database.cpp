#include "data/database.h"

#include <sqlcipher/sqlite3.h>

#include <climits>
#include <string>
#include <utility>

#include "data/cipher_settings.h"

namespace kmx::data {

// ---------------------------------------------------------------------------
// Statement

Statement::~Statement() {
    finalize();
}

Statement::Statement(Statement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), stmt_(std::exchange(other.stmt_, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        finalize();
        db_ = std::exchange(other.db_, nullptr);
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

void Statement::finalize() {
    if (stmt_ != nullptr) sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    db_ = nullptr;
}

bool Statement::next(std::string& error) {
    if (stmt_ == nullptr) {
        error = "Polecenie SQL nie jest przygotowane.";
        return false;
    }
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) error = sqlite3_errmsg(db_);
    return false;
}

// ---------------------------------------------------------------------------
// Database

namespace {

bool run(sqlite3* db, const std::string& sql, std::string& error) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK) return true;
    error = message != nullptr ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
}

}  // namespace

bool applyCipherSettings(sqlite3* db, std::string_view key, std::string& error) {
    if (db == nullptr) {
        error = "Brak połączenia z bazą danych.";
        return false;
    }
    if (!key.empty()) {
        if (key.size() > INT_MAX) {
            error = "Hasło bazy danych jest za długie.";
            return false;
        }
        // The key is the password's bytes as they are (any byte value works).
        if (sqlite3_key(db, key.data(), static_cast<int>(key.size())) != SQLITE_OK) {
            error = sqlite3_errmsg(db);
            return false;
        }
        if (!run(db, "PRAGMA cipher_page_size = " + std::to_string(kCipherPageSize), error)) return false;
    }
    return run(db, "PRAGMA cache_size = -" + std::to_string(kCacheSizeKiB), error);
}

Database::~Database() {
    close();
}

void Database::close() {
    if (db_ != nullptr) {
        sqlite3_set_authorizer(db_, nullptr, nullptr);
        sqlite3_close_v2(db_);
    }
    db_ = nullptr;
    readOnly_ = false;
    auth_ = {};
    path_.clear();
}

bool Database::fail(std::string& error) {
    if (error.empty()) error = db_ != nullptr ? sqlite3_errmsg(db_) : "Brak pamięci.";
    close();
    return false;
}

bool Database::open(const std::filesystem::path& path, std::string_view key, std::string& error) {
    return openWith(path, key, false, error);
}

bool Database::openForBuild(const std::filesystem::path& path, std::string_view key, std::string& error) {
    if (key.empty()) {
        close();
        error = "Katalog musi być zaszyfrowany: podaj hasło bazy danych.";
        return false;
    }
    return openWith(path, key, true, error);
}

bool Database::openWith(const std::filesystem::path& path, std::string_view key, bool build,
                        std::string& error) {
    close();
    error.clear();
    const int flags =
        (build ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
    const std::string file = path.string();
    if (sqlite3_open_v2(file.c_str(), &db_, flags, nullptr) != SQLITE_OK) return fail(error);
    readOnly_ = !build;
    path_ = path;

    // Share-deny-write: in exclusive locking mode the shared lock of the first
    // read is kept until the connection closes, so no one else can write. Set
    // before anything reads the file.
    if (!build && !run(db_, "PRAGMA locking_mode = EXCLUSIVE", error)) return fail(error);
    if (!applyCipherSettings(db_, key, error)) return fail(error);
    if (!jet::registerCatalogFunctions(db_, error)) return fail(error);

    // A wrong key goes unnoticed until the first read: read the schema now.
    sqlite3_stmt* check = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT count(*) FROM sqlite_master", -1, &check, nullptr) != SQLITE_OK) {
        return fail(error);
    }
    const int rc = sqlite3_step(check);
    const sqlite3_int64 tables = rc == SQLITE_ROW ? sqlite3_column_int64(check, 0) : 0;
    if (rc != SQLITE_ROW) error = sqlite3_errmsg(db_);
    sqlite3_finalize(check);
    if (rc != SQLITE_ROW) return fail(error);
    if (!build && tables == 0) {
        error = "Plik nie zawiera katalogu (brak tabel w bazie danych).";
        return fail(error);
    }
    if (!build) jet::installReadOnlyAuthorizer(db_, &auth_);
    return true;
}

bool Database::prepare(std::string_view jetText, Statement& out, std::string& error) {
    return prepare(jetText, {}, 0, out, error);
}

bool Database::prepare(std::string_view jetText, std::string_view engineSuffix, int suffixParams, Statement& out,
                       std::string& error) {
    out.finalize();
    if (db_ == nullptr) {
        error = "Baza danych nie jest otwarta.";
        return false;
    }
    jet::Translated t;
    if (!jet::translate(jetText, t, error)) return false;
    t.sql.append(engineSuffix);
    if (t.sql.size() > INT_MAX) {
        error = "Polecenie SQL jest za długie.";
        return false;
    }
    auth_ = {};
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db_, t.sql.data(), static_cast<int>(t.sql.size()), &stmt, &tail);
    if (rc != SQLITE_OK) {
        error = sqlite3_errmsg(db_);
        if (auth_.refused) error = "Dozwolone jest tylko zapytanie SELECT (" + error + ").";
        sqlite3_finalize(stmt);
        return false;
    }
    out.db_ = db_;
    out.stmt_ = stmt;
    if (stmt == nullptr) {
        error = "Puste polecenie SQL.";
        return false;
    }
    const char* end = t.sql.data() + t.sql.size();
    if (tail != nullptr && !jet::isEmptyTail(std::string_view(tail, static_cast<std::size_t>(end - tail)))) {
        out.finalize();
        error = "Polecenie SQL może zawierać tylko jedno zapytanie.";
        return false;
    }
    // Statements that touch nothing (REINDEX of no index) pass the
    // authorizer silently; only what compiled as a SELECT may run.
    if (readOnly_ && (sqlite3_stmt_readonly(stmt) == 0 || !auth_.sawSelect)) {
        out.finalize();
        error = "Dozwolone jest tylko zapytanie SELECT.";
        return false;
    }
    // A parameter of the engine's own syntax in the text (?, :name, @name)
    // would run as an unset value; the text must hold only ours.
    if (sqlite3_bind_parameter_count(stmt) != static_cast<int>(t.params.size()) + suffixParams) {
        out.finalize();
        error = "Niedozwolony znak parametru w poleceniu SQL.";
        return false;
    }
    for (std::size_t i = 0; i < t.params.size(); ++i) {
        const std::string& p = t.params[i];
        // Text with its exact length: byte 0 and any other byte go through.
        if (sqlite3_bind_text(stmt, static_cast<int>(i + 1), p.data(), static_cast<int>(p.size()),
                              SQLITE_TRANSIENT) != SQLITE_OK) {
            error = sqlite3_errmsg(db_);
            out.finalize();
            return false;
        }
    }
    return true;
}

bool Database::exec(const std::string& sql, std::string& error) {
    if (db_ == nullptr) {
        error = "Baza danych nie jest otwarta.";
        return false;
    }
    if (readOnly_) {
        error = "Baza danych jest otwarta tylko do odczytu.";
        return false;
    }
    return run(db_, sql, error);
}

std::string Database::lastEngineError() const {
    return db_ != nullptr ? sqlite3_errmsg(db_) : std::string();
}

}  // namespace kmx::data
