#include "data/jet_adapter.h"

#include <sqlcipher/sqlite3.h>

#include <charconv>
#include <cstring>
#include <memory>
#include <new>

#include "core/cp1250.h"
#include "core/polish_collation.h"
#include "data/cipher_settings.h"

namespace kmx::data::jet {

namespace {

void appendNumber(std::string& out, std::size_t n) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, n);
    out.append(buf, res.ptr);
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    }
    return true;
}

// Copies a quoted piece (apostrophe literal or [identifier]) as it stands.
// Returns the position after it, or npos when byte 0 occurs inside.
std::size_t copyQuoted(std::string_view text, std::size_t i, char close, bool doubledClose,
                       std::string& out) {
    const std::size_t n = text.size();
    out.push_back(text[i++]);
    while (i < n) {
        const char c = text[i];
        if (c == '\0') return std::string_view::npos;
        out.push_back(c);
        ++i;
        if (c == close) {
            if (doubledClose && i < n && text[i] == close) {
                out.push_back(close);
                ++i;
                continue;
            }
            break;
        }
    }
    // An unterminated piece is copied to the end; the engine reports it.
    return i;
}

bool isWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || c == '_' || u >= 0x80;
}

// Position after a quoted piece starting at i, or npos when it never closes.
std::size_t skipQuoted(std::string_view text, std::size_t i) {
    const char open = text[i];
    const char close = open == '[' ? ']' : open;
    const bool doubled = open != '[';
    for (++i; i < text.size(); ++i) {
        if (text[i] != close) continue;
        if (doubled && i + 1 < text.size() && text[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return std::string_view::npos;
}

}  // namespace

bool splitSelect(std::string_view text, SelectParts& out) {
    out = {};
    // The top-level words with their positions.
    struct Word {
        std::size_t at;
        std::string_view text;
    };
    std::vector<Word> words;
    int depth = 0;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '"' || c == '\'' || c == '[') {
            i = skipQuoted(text, i);
            if (i == std::string_view::npos) return false;
        } else if (c == '(') {
            ++depth;
            ++i;
        } else if (c == ')') {
            if (--depth < 0) return false;
            ++i;
        } else if (c == ';') {
            return false;
        } else if (isWordChar(c)) {
            std::size_t j = i;
            while (j < text.size() && isWordChar(text[j])) ++j;
            if (depth == 0) words.push_back({i, text.substr(i, j - i)});
            i = j;
        } else {
            ++i;
        }
    }
    if (depth != 0 || words.empty() || !equalNoCase(words[0].text, "SELECT")) return false;
    std::size_t listAt = words[0].at + words[0].text.size();
    std::size_t k = 1;
    if (k < words.size() && equalNoCase(words[k].text, "DISTINCT")) {
        listAt = words[k].at + words[k].text.size();
        ++k;
    }
    out.head = text.substr(words[0].at, listAt - words[0].at);
    std::size_t fromAt = std::string_view::npos, whereAt = std::string_view::npos, orderAt = std::string_view::npos;
    for (; k < words.size(); ++k) {
        const std::string_view w = words[k].text;
        for (const char* refused : {"GROUP", "HAVING", "UNION", "LIMIT", "INTO", "SELECT", "DISTINCT",
                                    "EXCEPT", "INTERSECT", "OFFSET"}) {
            if (equalNoCase(w, refused)) return false;
        }
        if (equalNoCase(w, "FROM")) {
            if (fromAt != std::string_view::npos) return false;
            fromAt = words[k].at;
        } else if (equalNoCase(w, "WHERE")) {
            if (fromAt == std::string_view::npos || whereAt != std::string_view::npos ||
                orderAt != std::string_view::npos)
                return false;
            whereAt = words[k].at;
        } else if (equalNoCase(w, "ORDER")) {
            if (fromAt == std::string_view::npos || orderAt != std::string_view::npos || k + 1 >= words.size() ||
                !equalNoCase(words[k + 1].text, "BY"))
                return false;
            orderAt = words[k].at;
        }
    }
    if (fromAt == std::string_view::npos) return false;
    const std::size_t end = text.size();
    const std::size_t fromEnd = whereAt != std::string_view::npos ? whereAt
                                : orderAt != std::string_view::npos ? orderAt
                                                                     : end;
    out.list = text.substr(listAt, fromAt - listAt);
    out.from = text.substr(fromAt, fromEnd - fromAt);
    if (whereAt != std::string_view::npos) {
        const std::size_t condAt = whereAt + 5;
        const std::size_t condEnd = orderAt != std::string_view::npos ? orderAt : end;
        out.where = text.substr(condAt, condEnd - condAt);
    }
    if (orderAt != std::string_view::npos) out.order = text.substr(orderAt);
    return true;
}

bool translate(std::string_view jetText, Translated& out, std::string& error) {
    out.sql.clear();
    out.params.clear();
    out.sql.reserve(jetText.size() + 16);
    const std::size_t n = jetText.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = jetText[i];
        if (c == '"') {
            // Jet string literal: "" inside stands for one quote.
            std::string value;
            std::size_t j = i + 1;
            bool closed = false;
            while (j < n) {
                if (jetText[j] == '"') {
                    if (j + 1 < n && jetText[j + 1] == '"') {
                        value.push_back('"');
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                value.push_back(jetText[j]);
                ++j;
            }
            if (!closed) {
                error = "Niezakończony napis w poleceniu SQL.";
                return false;
            }
            out.params.push_back(std::move(value));
            // Spaces keep the parameter a token of its own whatever stands beside it.
            out.sql.append(" ?");
            appendNumber(out.sql, out.params.size());
            out.sql.push_back(' ');
            i = j + 1;
        } else if (c == '\'' || c == '[') {
            i = copyQuoted(jetText, i, c == '[' ? ']' : '\'', c == '\'', out.sql);
            if (i == std::string_view::npos) {
                error = "Niedozwolony znak o kodzie 0 w poleceniu SQL.";
                return false;
            }
        } else if (c == '\0') {
            error = "Niedozwolony znak o kodzie 0 w poleceniu SQL.";
            return false;
        } else {
            out.sql.push_back(c);
            ++i;
        }
    }
    return true;
}

bool isEmptyTail(std::string_view tail) {
    for (char c : tail) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v' && c != ';')
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// LIKE

namespace {

struct FoldTable {
    std::array<unsigned char, 256> upper{};
};

const FoldTable& foldTable() {
    static const FoldTable t = [] {
        FoldTable f;
        for (int c = 0; c < 256; ++c) f.upper[c] = cp1250::toUpper(static_cast<unsigned char>(c));
        return f;
    }();
    return t;
}

}  // namespace

void LikePattern::compile(std::string_view pattern) {
    source_.assign(pattern);
    steps_.clear();
    const auto& fold = foldTable().upper;
    const std::size_t n = pattern.size();
    auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(pattern[k]); };
    auto set = [](ByteSet& s, unsigned char c) { s[c >> 6] |= std::uint64_t{1} << (c & 63); };
    auto addChar = [&](Step& st, unsigned char ch) {
        set(st.exact, ch);
        for (int v = 0; v < 256; ++v) {
            if (fold[v] == fold[ch]) set(st.caseless, static_cast<unsigned char>(v));
        }
    };
    auto addRange = [&](Step& st, unsigned char lo, unsigned char hi) {
        for (int v = lo; v <= hi; ++v) set(st.exact, static_cast<unsigned char>(v));
        // Without regard to case a range follows the alphabet, as Jet's does.
        const std::uint32_t klo = polish::charKey(lo), khi = polish::charKey(hi);
        for (int v = 0; v < 256; ++v) {
            const std::uint32_t k = polish::charKey(static_cast<unsigned char>(v));
            if (k >= klo && k <= khi) set(st.caseless, static_cast<unsigned char>(v));
        }
    };

    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = byteAt(i);
        if (c == '%') {
            if (steps_.empty() || !steps_.back().anyRun) {
                Step st;
                st.anyRun = true;
                steps_.push_back(st);
            }
            ++i;
            continue;
        }
        Step st;
        if (c == '_') {
            st.exact.fill(~std::uint64_t{0});
            st.caseless.fill(~std::uint64_t{0});
            steps_.push_back(st);
            ++i;
            continue;
        }
        if (c == '[') {
            std::size_t j = i + 1;
            bool negate = false;
            // "[^]" is a set holding "^"; "^" negates only when members follow.
            if (j + 1 < n && byteAt(j) == '^' && byteAt(j + 1) != ']') {
                negate = true;
                ++j;
            }
            bool closed = false;
            bool first = true;
            while (j < n) {
                const unsigned char m = byteAt(j);
                if (m == ']' && !first) {
                    closed = true;
                    break;
                }
                if (j + 2 < n && byteAt(j + 1) == '-' && byteAt(j + 2) != ']') {
                    addRange(st, m, byteAt(j + 2));
                    j += 3;
                } else {
                    addChar(st, m);
                    ++j;
                }
                first = false;
            }
            if (closed) {
                if (negate) {
                    for (auto& w : st.exact) w = ~w;
                    for (auto& w : st.caseless) w = ~w;
                }
                steps_.push_back(st);
                i = j + 1;
                continue;
            }
            // An unclosed "[" stands for itself.
            st = Step{};
        }
        addChar(st, c);
        steps_.push_back(st);
        ++i;
    }
}

template <bool Caseless>
bool LikePattern::run(std::string_view value) const {
    const Step* st = steps_.data();
    const std::size_t m = steps_.size();
    const std::size_t n = value.size();
    const auto* v = reinterpret_cast<const unsigned char*>(value.data());
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t p = 0, s = 0, starP = kNone, starS = 0;
    // Greedy matching with a return to the last % on a mismatch: the classic
    // wildcard algorithm, linear for the patterns the search screens build.
    while (s < n) {
        if (p < m) {
            const Step& step = st[p];
            if (step.anyRun) {
                if (p + 1 == m) return true;  // a trailing % takes the rest
                starP = p++;
                starS = s;
                continue;
            }
            if (has(Caseless ? step.caseless : step.exact, v[s])) {
                ++p;
                ++s;
                continue;
            }
        }
        if (starP == kNone) return false;
        p = starP + 1;
        s = ++starS;
    }
    while (p < m && st[p].anyRun) ++p;
    return p == m;
}

bool LikePattern::matches(std::string_view value, bool caseless) const {
    return caseless ? run<true>(value) : run<false>(value);
}

bool likeMatches(std::string_view pattern, std::string_view value, bool caseless) {
    return LikePattern(pattern).matches(value, caseless);
}

namespace {

std::string_view bytesOf(sqlite3_value* v) {
    // blob before bytes: the engine's advice for reading a value's raw bytes.
    const void* p = sqlite3_value_blob(v);
    const int n = sqlite3_value_bytes(v);
    if (p == nullptr || n <= 0) return {};
    return {static_cast<const char*>(p), static_cast<std::size_t>(n)};
}

void deletePattern(void* p) {
    delete static_cast<LikePattern*>(p);
}

// like(pattern, value): the engine calls it for "value LIKE pattern".
void likeFunction(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    try {
        const bool caseless = sqlite3_value_type(argv[1]) != SQLITE_BLOB;
        // A constant pattern (literal or bound parameter) is compiled once per
        // statement and kept as the call's auxiliary data.
        const std::string_view pattern = bytesOf(argv[0]);
        auto* cached = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0));
        if (cached != nullptr && cached->source() == pattern) {
            sqlite3_result_int(ctx, cached->matches(bytesOf(argv[1]), caseless) ? 1 : 0);
            return;
        }
        auto compiled = std::make_unique<LikePattern>(pattern);
        sqlite3_result_int(ctx, compiled->matches(bytesOf(argv[1]), caseless) ? 1 : 0);
        // The engine owns it from here, and may free it at once.
        sqlite3_set_auxdata(ctx, 0, compiled.release(), deletePattern);
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(ctx);
    }
}

int collatePolish(void* /*arg*/, int n1, const void* p1, int n2, const void* p2) {
    const std::string_view a(static_cast<const char*>(p1), n1 > 0 ? static_cast<std::size_t>(n1) : 0);
    const std::string_view b(static_cast<const char*>(p2), n2 > 0 ? static_cast<std::size_t>(n2) : 0);
    return polish::compare(a, b, polish::Case::Ignore);
}

int authorize(void* userData, int action, const char* /*arg1*/, const char* arg2, const char* /*db*/,
              const char* /*trigger*/) {
    auto* state = static_cast<AuthorizerState*>(userData);
    switch (action) {
        case SQLITE_SELECT:
            if (state != nullptr) state->sawSelect = true;
            return SQLITE_OK;
        case SQLITE_READ:
            return SQLITE_OK;
        case SQLITE_FUNCTION:
            // arg2 is the function's name; loading code into the engine is never wanted.
            if (arg2 == nullptr || !equalNoCase(arg2, "load_extension")) return SQLITE_OK;
            break;
        default:
            break;
    }
    if (state != nullptr) {
        state->refused = true;
        state->action = action;
    }
    return SQLITE_DENY;
}

}  // namespace

bool registerCatalogFunctions(sqlite3* db, std::string& error) {
    if (db == nullptr) {
        error = "Brak połączenia z bazą danych.";
        return false;
    }
    int rc = sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                        likeFunction, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_create_collation_v2(db, kTextCollation, SQLITE_UTF8, nullptr, collatePolish, nullptr);
    }
    if (rc != SQLITE_OK) {
        error = sqlite3_errmsg(db);
        return false;
    }
    return true;
}

void installReadOnlyAuthorizer(sqlite3* db, AuthorizerState* state) {
    sqlite3_set_authorizer(db, authorize, state);
}

// ---------------------------------------------------------------------------
// Field names

namespace {

// The engine names a column of a joined subquery "NAME:1" when NAME repeats;
// that is still the column itself, not an alias.
bool isOwnName(std::string_view name, std::string_view origin) {
    if (equalNoCase(name, origin)) return true;
    if (name.size() <= origin.size() + 1 || !equalNoCase(name.substr(0, origin.size()), origin)) return false;
    if (name[origin.size()] != ':') return false;
    for (char c : name.substr(origin.size() + 1)) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> fieldNames(sqlite3_stmt* stmt) {
    const int count = stmt != nullptr ? sqlite3_column_count(stmt) : 0;
    struct Column {
        std::string name;
        std::string table;
        std::string origin;
        bool qualifiable = false;
    };
    std::vector<Column> cols(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        Column& c = cols[static_cast<std::size_t>(i)];
        const char* name = sqlite3_column_name(stmt, i);
        const char* table = sqlite3_column_table_name(stmt, i);
        const char* origin = sqlite3_column_origin_name(stmt, i);
        c.name = name != nullptr ? name : "";
        if (table != nullptr && origin != nullptr && isOwnName(c.name, origin)) {
            c.table = table;
            c.origin = origin;
            c.name = origin;
            c.qualifiable = true;
        }
    }
    std::vector<std::string> names(cols.size());
    for (std::size_t i = 0; i < cols.size(); ++i) {
        const Column& c = cols[i];
        names[i] = c.name;
        if (!c.qualifiable) continue;
        // Qualify when the same bare name comes from another table too.
        for (std::size_t k = 0; k < cols.size(); ++k) {
            const Column& o = cols[k];
            if (k != i && o.qualifiable && equalNoCase(o.origin, c.origin) &&
                !equalNoCase(o.table, c.table)) {
                names[i] = c.table + "." + c.origin;
                break;
            }
        }
    }
    return names;
}

int findField(const std::vector<std::string>& names, std::string_view name) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (equalNoCase(names[i], name)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace kmx::data::jet
