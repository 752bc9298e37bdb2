#pragma once
// Writes a built catalogue back as the plain CSV files it was built from:
// names in their own letter case, scrambled columns descrambled, numbers with
// ".", dates as yyyy-mm-dd, nulls as empty fields, rows in key order. The
// columns the build upper-cases come back upper case; computed columns (case
// masks, idx_ ranks) are left out.

#include <filesystem>
#include <string>

namespace kmx::catalog {

struct DumpOptions {
    // Database password (UTF-8); empty: read from "kmx.iif" beside "kmx.dat".
    std::string password;
};

struct DumpResult {
    bool ok = false;
    std::string error;
};

// Reads catalogDir/kmx.dat and writes destDir/<table>.csv for every table.
DumpResult dumpCatalog(const std::filesystem::path& catalogDir, const std::filesystem::path& destDir,
                       const DumpOptions& options);

}  // namespace kmx::catalog
