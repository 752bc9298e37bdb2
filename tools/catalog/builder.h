#pragma once
// Builds the catalogue "kmx.dat" and its settings file "kmx.iif" from plain
// CSV files, one per table, named after the table ("TOWAR.csv", ...).
//
// Source values are plain UTF-8: names in mixed case, dates as yyyy-mm-dd
// ("0" for the zero date), numbers with "." as the decimal separator; an empty
// field is stored as null. Case masks and idx_ ranks are computed here and
// must not be given. The build scrambles, upper-cases and checks every value
// (size, Windows-1250 text, references, duplicate keys) and fails with the
// file, line and column of the first bad one, leaving no partial output.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace kmx::catalog {

struct BuildOptions {
    // Database password (UTF-8, 1 to 64 Windows-1250 characters); empty: a
    // random one of 16 to 24 letters and digits.
    std::string password;
};

struct BuildResult {
    bool ok = false;
    std::string error;
    std::map<std::string, std::int64_t> rowCounts;  // table name -> rows loaded
};

BuildResult buildCatalog(const std::filesystem::path& sourceDir, const std::filesystem::path& outDir,
                         const BuildOptions& options);

// A random password of 16 to 24 ASCII letters and digits.
std::string randomPassword();

// Checks a password given by the user and returns its Windows-1250 form.
bool passwordToCp1250(const std::string& utf8, std::string& cp1250, std::string& error);

}  // namespace kmx::catalog
