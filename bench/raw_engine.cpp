#include "raw_engine.h"

#include <sqlcipher/sqlite3.h>

#include <climits>
#include <cstring>

#include "data/cipher_settings.h"
#include "data/jet_adapter.h"

namespace kmx::bench {

namespace {

// Mixes a value into the checksum (cheap, order-sensitive).
inline std::uint64_t mix(std::uint64_t h, std::uint64_t v) {
    return (h ^ v) * 0x100000001b3ULL;
}

// Prepares a statement in the program's dialect with its literals bound, as
// the program's connection does.
bool prepareJet(sqlite3* db, std::string_view prefix, std::string_view jetText, sqlite3_stmt*& stmt,
                std::string& error) {
    stmt = nullptr;
    if (db == nullptr) {
        error = "the engine connection is not open";
        return false;
    }
    data::jet::Translated t;
    if (!data::jet::translate(jetText, t, error)) return false;
    const std::string sql = std::string(prefix) + t.sql;
    if (sql.size() > INT_MAX) {
        error = "statement too long";
        return false;
    }
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        error = sqlite3_errmsg(db);
        sqlite3_finalize(stmt);
        stmt = nullptr;
        return false;
    }
    if (stmt == nullptr) {
        error = "empty statement";
        return false;
    }
    for (std::size_t i = 0; i < t.params.size(); ++i) {
        const std::string& p = t.params[i];
        if (sqlite3_bind_text(stmt, static_cast<int>(i + 1), p.data(), static_cast<int>(p.size()),
                              SQLITE_TRANSIENT) != SQLITE_OK) {
            error = sqlite3_errmsg(db);
            sqlite3_finalize(stmt);
            stmt = nullptr;
            return false;
        }
    }
    return true;
}

}  // namespace

RawConnection::~RawConnection() {
    close();
}

void RawConnection::close() {
    if (db_ != nullptr) sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool RawConnection::exec(const std::string& sql, std::string& error) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return true;
    error = message != nullptr ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    return false;
}

bool RawConnection::open(const std::filesystem::path& file, std::string_view key, std::string& error) {
    close();
    const std::string name = file.string();
    if (sqlite3_open_v2(name.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        error = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
        close();
        return false;
    }
    bool ok = exec("PRAGMA locking_mode = EXCLUSIVE", error);
    if (ok && !key.empty()) {
        if (sqlite3_key(db_, key.data(), static_cast<int>(key.size())) != SQLITE_OK) {
            error = sqlite3_errmsg(db_);
            ok = false;
        }
        ok = ok && exec("PRAGMA cipher_page_size = " + std::to_string(data::kCipherPageSize), error);
    }
    ok = ok && exec("PRAGMA cache_size = -" + std::to_string(data::kCacheSizeKiB), error);
    ok = ok && data::jet::registerCatalogFunctions(db_, error);
    if (ok) {
        RawScan schema;
        ok = scan("SELECT count(*) FROM sqlite_master", schema, error);
    }
    if (!ok) close();
    return ok;
}

bool RawConnection::scan(std::string_view jetText, RawScan& out, std::string& error, std::int64_t maxRows) {
    out = {};
    sqlite3_stmt* stmt = nullptr;
    if (!prepareJet(db_, {}, jetText, stmt, error)) return false;
    const int columns = sqlite3_column_count(stmt);
    std::uint64_t h = 0xcbf29ce484222325ULL;
    int rc = SQLITE_ROW;
    while ((maxRows < 0 || out.rows < maxRows) && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_INTEGER:
                    h = mix(h, static_cast<std::uint64_t>(sqlite3_column_int64(stmt, c)));
                    break;
                case SQLITE_FLOAT: {
                    const double d = sqlite3_column_double(stmt, c);
                    std::uint64_t bits;
                    std::memcpy(&bits, &d, sizeof bits);
                    h = mix(h, bits);
                    break;
                }
                case SQLITE_TEXT: {
                    const unsigned char* p = sqlite3_column_text(stmt, c);
                    const int n = sqlite3_column_bytes(stmt, c);
                    h = mix(h, static_cast<std::uint64_t>(n) + (n > 0 && p != nullptr ? p[0] : 0U));
                    break;
                }
                case SQLITE_BLOB: {
                    const auto* p = static_cast<const unsigned char*>(sqlite3_column_blob(stmt, c));
                    const int n = sqlite3_column_bytes(stmt, c);
                    h = mix(h, static_cast<std::uint64_t>(n) + (n > 0 && p != nullptr ? p[0] : 0U));
                    break;
                }
                default:
                    h = mix(h, 0);
                    break;
            }
        }
        ++out.rows;
    }
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) error = sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
    out.checksum = h;
    return rc == SQLITE_DONE || rc == SQLITE_ROW;
}

bool RawConnection::plan(std::string_view jetText, std::vector<PlanLine>& out, std::string& error) {
    out.clear();
    sqlite3_stmt* stmt = nullptr;
    if (!prepareJet(db_, "EXPLAIN QUERY PLAN ", jetText, stmt, error)) return false;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        PlanLine line;
        line.select = sqlite3_column_int(stmt, 0);
        line.order = sqlite3_column_int(stmt, 1);
        line.from = sqlite3_column_int(stmt, 2);
        const unsigned char* d = sqlite3_column_text(stmt, 3);
        if (d != nullptr) line.detail = reinterpret_cast<const char*>(d);
        out.push_back(std::move(line));
    }
    if (rc != SQLITE_DONE) error = sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE;
}

std::int64_t RawConnection::cacheBytes() const {
    return cacheBytesOf(db_);
}

bool planSorts(const std::vector<PlanLine>& plan) {
    for (const PlanLine& l : plan) {
        if (l.detail.find("USE TEMP B-TREE FOR ORDER BY") != std::string::npos) return true;
    }
    return false;
}

std::int64_t cacheBytesOf(sqlite3* db) {
    if (db == nullptr) return 0;
    int current = 0;
    int highwater = 0;
    if (sqlite3_db_status(db, SQLITE_DBSTATUS_CACHE_USED, &current, &highwater, 0) != SQLITE_OK) return 0;
    return current;
}

}  // namespace kmx::bench
