#pragma once
// Small encrypted catalogues built by the tests in a folder of their own.

#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "data/database.h"

namespace kmx::data::testing {

inline constexpr std::string_view kKey = "Tajne-has\xB3o";  // "Tajne-hasło" in Windows-1250

// A folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("kmx_data_test_" + std::to_string(::getpid()) + "_" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Creates a catalogue file with the given schema and rows (engine SQL).
inline void buildCatalog(const std::filesystem::path& file, const std::string& sql,
                         std::string_view key = kKey) {
    Database db;
    std::string error;
    ASSERT_TRUE(db.openForBuild(file, key, error)) << error;
    ASSERT_TRUE(db.exec(sql, error)) << error;
}

// Inserts one row of (id, blob) into table T(ID, V BLOB), for values that SQL
// text cannot carry (byte 0).
inline void insertBlob(const std::filesystem::path& file, const std::string& table, int id,
                       std::string_view bytes, bool asText = false) {
    Database db;
    std::string error;
    ASSERT_TRUE(db.openForBuild(file, kKey, error)) << error;
    sqlite3_stmt* st = nullptr;
    const std::string sql = "INSERT INTO " + table + " VALUES (?1, ?2)";
    ASSERT_EQ(sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &st, nullptr), SQLITE_OK);
    sqlite3_bind_int(st, 1, id);
    if (asText) {
        sqlite3_bind_text(st, 2, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_blob(st, 2, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    }
    EXPECT_EQ(sqlite3_step(st), SQLITE_DONE) << sqlite3_errmsg(db.handle());
    sqlite3_finalize(st);
}

}  // namespace kmx::data::testing
