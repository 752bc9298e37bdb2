#pragma once
// The builder's and the dumper's catalogue connection (the program's own
// connection class underneath) and plain prepared statements on it.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "data/database.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kmx::catalog {

class Db {
public:
    Db() = default;
    ~Db();
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    // Creates a new catalogue file (which must not exist) keyed with the
    // password (Windows-1250 bytes), set up for a fast one-off bulk load.
    bool create(const std::filesystem::path& path, std::string_view password, std::string& error);
    // Opens an existing catalogue read-only. A wrong password fails here.
    bool openReadOnly(const std::filesystem::path& path, std::string_view password, std::string& error);
    void close();

    bool exec(const std::string& sql, std::string& error);
    sqlite3* handle() const { return db_.handle(); }

private:
    data::Database db_;
};

class Statement {
public:
    Statement() = default;
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool prepare(const Db& db, const std::string& sql, std::string& error);
    void finalize();

    // Parameters are 1-based.
    void bindNull(int i);
    void bindInt(int i, std::int64_t v);
    void bindReal(int i, double v);
    void bindText(int i, std::string_view bytes);
    void bindBlob(int i, std::string_view bytes);

    // Runs an INSERT or UPDATE to its end and resets it for the next run.
    bool run(std::string& error);
    // Steps a SELECT: true with a row, false at the end or on error (error set).
    bool nextRow(std::string& error);

    bool isNull(int col) const;  // columns are 0-based
    bool isBlob(int col) const;
    bool isText(int col) const;
    std::int64_t intAt(int col) const;
    double realAt(int col) const;
    std::string bytesAt(int col) const;  // text or blob bytes as stored

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace kmx::catalog
