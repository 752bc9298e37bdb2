#pragma once
// Runs the program's Jet-dialect statements on the catalogue engine unchanged.
//
// - Double-quoted string literals (Jet's strings; "" inside is one quote)
//   become numbered parameters bound with the literal's exact bytes, so
//   scrambled bytes, byte 0 included, reach the engine intact. Apostrophe
//   literals and everything else stay as written.
// - like() follows Jet's patterns: % any run, _ one character, [abc] sets,
//   [a-z] ranges, [^abc] negated sets; "[^]" holds "^", "[]]" holds "]",
//   "[[]" holds "[", "[%]" and "[_]" are the characters themselves. A BLOB
//   value (a scrambled column) is compared byte for byte; any other value as
//   Windows-1250 text without regard to letter case.
// - The KMX_PL collation (Polish order, letter case ignored) for plain text.
// - An authorizer that lets a read-only connection run nothing but SELECT.
// - Field names as Jet gives them for a result's columns.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace kmx::data::jet {

// A statement in the engine's dialect with the values of its parameters
// ?1, ?2, … in order.
struct Translated {
    std::string sql;
    std::vector<std::string> params;
};

// Translates Jet statement text (Windows-1250 bytes). Fails on an unterminated
// string literal and on byte 0 outside a double-quoted literal (the engine
// would silently cut the text there).
bool translate(std::string_view jetText, Translated& out, std::string& error);

// The clauses of one plain SELECT, found where they stand at the top level
// (outside literals, brackets and parentheses). Pieces view the text.
struct SelectParts {
    std::string_view head;   // "SELECT" or "SELECT DISTINCT", as written
    std::string_view list;   // the select list
    std::string_view from;   // "FROM …" up to WHERE or ORDER BY
    std::string_view where;  // the condition after WHERE; empty without one
    std::string_view order;  // "ORDER BY …"; empty without one
};
// False for anything other than SELECT [DISTINCT] … FROM … [WHERE …]
// [ORDER BY …]: grouping, HAVING, UNION, LIMIT, INTO or a second statement.
bool splitSelect(std::string_view jetText, SelectParts& out);

// True when the text left after the engine's first statement holds nothing
// but white space and semicolons.
bool isEmptyTail(std::string_view tail);

// A compiled LIKE pattern. Every position of the pattern matches one byte out
// of a set of bytes, or any run of bytes (%); two sets are kept, one for byte
// for byte matching and one for matching without regard to letter case.
class LikePattern {
public:
    LikePattern() = default;
    explicit LikePattern(std::string_view pattern) { compile(pattern); }
    void compile(std::string_view pattern);

    // caseless: the value is Windows-1250 text compared without regard to
    // letter case (Polish letters included); otherwise byte for byte.
    bool matches(std::string_view value, bool caseless) const;

    const std::string& source() const { return source_; }

private:
    using ByteSet = std::array<std::uint64_t, 4>;
    struct Step {
        bool anyRun = false;  // %
        ByteSet exact{};      // bytes this position accepts, byte for byte
        ByteSet caseless{};   // bytes it accepts without regard to case
    };
    static bool has(const ByteSet& set, unsigned char c) { return (set[c >> 6] >> (c & 63)) & 1U; }
    template <bool Caseless>
    bool run(std::string_view value) const;

    std::string source_;
    std::vector<Step> steps_;
};

// Jet's LIKE on plain values, for tests and for callers outside SQL.
bool likeMatches(std::string_view pattern, std::string_view value, bool caseless);

// Registers like(), the KMX_PL collation and nothing else on a connection.
// Every connection to a catalogue needs them before its first statement; the
// builder's connection needs the collation before CREATE TABLE uses it.
bool registerCatalogFunctions(sqlite3* db, std::string& error);

// What the authorizer refused last (cleared by the caller before preparing).
struct AuthorizerState {
    bool refused = false;
    int action = 0;          // the engine's action code
    bool sawSelect = false;  // a SELECT was compiled
};

// Lets the connection compile only reading statements: SELECT, reading
// columns and calling functions. Every other kind of statement (writes,
// schema changes, ATTACH, PRAGMA, transactions) fails to compile. `state` must
// outlive the connection or the next installAuthorizer call.
void installReadOnlyAuthorizer(sqlite3* db, AuthorizerState* state);

// The field names of a prepared statement's result columns, as Jet names them:
// a column whose name is unique in the result by its bare name; a name that
// comes from several tables as "TABLE.COLUMN" for each of them. Expressions
// and aliased columns keep the name the engine gives them.
std::vector<std::string> fieldNames(sqlite3_stmt* stmt);

// Position of a field by name without regard to ASCII letter case; -1 when
// there is none.
int findField(const std::vector<std::string>& names, std::string_view name);

}  // namespace kmx::data::jet
