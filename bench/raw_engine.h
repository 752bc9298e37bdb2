#pragma once
// The bare engine beside the program: the same file, key and storage settings
// through the C API, the same statements (translated from the program's
// dialect the way the program does it), every row stepped and every column
// read by its type, nothing kept. It is the floor the program's paths are
// measured against.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace kmx::bench {

// What one statement returned: the rows, and a checksum of the values read,
// so the reads cannot be optimised away.
struct RawScan {
    std::int64_t rows = 0;
    std::uint64_t checksum = 0;
};

// One line of EXPLAIN QUERY PLAN: the engine's select, order and from
// numbers and its description of the step.
struct PlanLine {
    int select = 0;
    int order = 0;
    int from = 0;
    std::string detail;
};

class RawConnection {
public:
    RawConnection() = default;
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    // Opens the catalogue read-only as the program does: exclusive locking,
    // the key, the cipher page size, the page cache, the catalogue functions,
    // then one read of the schema (where a wrong key shows). Closes what was
    // open before.
    bool open(const std::filesystem::path& file, std::string_view key, std::string& error);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    sqlite3* handle() const { return db_; }

    // Runs one statement in the program's dialect to its end, or to its
    // first `maxRows` rows.
    bool scan(std::string_view jetText, RawScan& out, std::string& error, std::int64_t maxRows = -1);

    // The engine's plan for a statement in the program's dialect.
    bool plan(std::string_view jetText, std::vector<PlanLine>& out, std::string& error);

    // Bytes the connection's page cache holds now.
    std::int64_t cacheBytes() const;

private:
    bool exec(const std::string& sql, std::string& error);

    sqlite3* db_ = nullptr;
};

// True when a plan sorts the result itself instead of reading it in index
// order (a regression for the ordered lists).
bool planSorts(const std::vector<PlanLine>& plan);

// Bytes the page cache of any connection holds now.
std::int64_t cacheBytesOf(sqlite3* db);

}  // namespace kmx::bench
