#pragma once
// The connection to the encrypted catalogue file.
//
// The program opens the catalogue read-only with the database password as the
// cipher key. The first read takes a shared lock that the connection keeps
// until it closes (exclusive locking mode), so other readers may open the file
// but nobody can write it while the program runs. Only single SELECT
// statements compile on such a connection.
//
// The catalogue builder opens (creates) the file writable with the same
// cipher settings, the Polish collation and like().
//
// Every failure returns false and puts the engine's message (or our own
// Polish text) into `error`. A connection and everything read through it
// belong to one thread.

#include <filesystem>
#include <string>
#include <string_view>

#include "data/jet_adapter.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kmx::data {

class Database;

// A compiled statement, finalized when its owner goes.
class Statement {
public:
    Statement() = default;
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* handle() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }
    void finalize();

    // Steps once: true with a row; false at the end (error left empty) or on
    // failure (error set to the engine's message).
    bool next(std::string& error);

private:
    friend class Database;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing catalogue read-only: key, cipher page size, page
    // cache, exclusive locking, the catalogue functions, then a read of the
    // schema (a wrong key fails here with "file is encrypted or is not a
    // database") and the read-only authorizer. A file without any table is not
    // a catalogue and fails too. Closes whatever was open before.
    bool open(const std::filesystem::path& path, std::string_view key, std::string& error);

    // Opens the file for the catalogue builder, creating it when it does not
    // exist, with the same cipher settings and functions. The key must not be
    // empty: the catalogue is always encrypted.
    bool openForBuild(const std::filesystem::path& path, std::string_view key, std::string& error);

    void close();
    bool isOpen() const { return db_ != nullptr; }
    bool isReadOnly() const { return readOnly_; }
    sqlite3* handle() const { return db_; }
    const std::filesystem::path& path() const { return path_; }

    // Compiles one Jet-dialect statement (Windows-1250 bytes): its
    // double-quoted literals become bound parameters. On a read-only
    // connection only one SELECT is accepted.
    bool prepare(std::string_view jetText, Statement& out, std::string& error);
    // The same with a piece of the engine's own dialect appended to the
    // translated text, holding `suffixParams` parameters "?" of its own: they
    // come after the literals' parameters and are left for the caller to bind.
    bool prepare(std::string_view jetText, std::string_view engineSuffix, int suffixParams, Statement& out,
                 std::string& error);

    // Runs statements in the engine's own dialect (schema and inserts of the
    // builder). Refused on a read-only connection.
    bool exec(const std::string& sql, std::string& error);

    // The engine's message of the last failure on this connection.
    std::string lastEngineError() const;

private:
    bool openWith(const std::filesystem::path& path, std::string_view key, bool build, std::string& error);
    bool fail(std::string& error);

    sqlite3* db_ = nullptr;
    bool readOnly_ = false;
    jet::AuthorizerState auth_;
    std::filesystem::path path_;
};

// Applies the cipher key and the shared storage settings (cipher page size,
// page cache) to a freshly opened connection, before its first read. An empty
// key leaves the file unencrypted (and an encrypted file unreadable).
bool applyCipherSettings(sqlite3* db, std::string_view key, std::string& error);

}  // namespace kmx::data
