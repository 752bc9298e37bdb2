#include "catalog/builder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "catalog/csv.h"
#include "catalog/ranks.h"
#include "catalog/schema.h"
#include "catalog/sqlite_db.h"
#include "core/cp1250.h"
#include "core/numfmt.h"
#include "core/scramble.h"
#include "core/settings_file.h"

namespace kmx::catalog {

namespace fs = std::filesystem;

namespace {

enum class RankKind { Text, Number, Lookup };

// How each idx_ column is ordered. A lookup rank orders rows by a text of
// another table that the row's `column` points at.
struct RankRule {
    const char* table;
    const char* rank;
    RankKind kind;
    const char* column;
    const char* lookupTable = nullptr;
    const char* lookupColumn = nullptr;
};

const RankRule kRanks[] = {
    {"PRODUCENT", "idx_nazwa_prod", RankKind::Text, "NAZWA"},
    {"PRODUCENT", "idx_kod_prod", RankKind::Text, "KOD_PRODUCENTA"},
    {"PRODUCENT", "idx_nip_prod", RankKind::Text, "NIP"},
    {"PRODUCENT", "idx_miejscowosc_prod", RankKind::Text, "MIEJSCOWOSC"},
    {"TOWAR", "idx_nazwa", RankKind::Text, "NAZWA"},
    {"TOWAR", "idx_indeks_eto", RankKind::Text, "INDEKS_ETO"},
    {"TOWAR", "idx_jedn_miary", RankKind::Lookup, "ID_JEDNOSTKI", "JEDNOSTKA_MIARY", "NAZWA"},
    {"TOWAR", "idx_cena_dost", RankKind::Number, "CENA_PRODUCENTA"},
    {"TOWAR", "idx_prod_nazwa", RankKind::Lookup, "ID_PRODUCENTA", "PRODUCENT", "NAZWA"},
    {"ceny_robot", "idx_nazwa", RankKind::Text, "nazwa"},
};

// What the ranks need of one table: its keys and some of its source values.
struct Collected {
    std::set<std::string> columns;  // the source columns kept
    std::vector<std::int64_t> ids;
    std::map<std::string, std::vector<std::string>> texts;
    std::map<std::string, std::vector<std::optional<double>>> numbers;
    std::map<std::string, std::vector<std::int64_t>> integers;
};

bool readFile(const fs::path& path, std::string& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path.string() + ": cannot open";
        return false;
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) {
        error = path.string() + ": read error";
        return false;
    }
    out = std::move(ss).str();
    return true;
}

bool parseInt(const std::string& text, std::int64_t& out) {
    const char* first = text.data();
    const char* last = first + text.size();
    auto [ptr, ec] = std::from_chars(first, last, out);
    return ec == std::errc() && ptr == last && !text.empty();
}

bool parseDate(const std::string& text, double& serial) {
    if (text == "0") {
        serial = 0;
        return true;
    }
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    int parts[3] = {0, 0, 0};
    const std::pair<std::size_t, std::size_t> spans[3] = {{0, 4}, {5, 2}, {8, 2}};
    for (int k = 0; k < 3; ++k) {
        const char* first = text.data() + spans[k].first;
        const char* last = first + spans[k].second;
        auto [ptr, ec] = std::from_chars(first, last, parts[k]);
        if (ec != std::errc() || ptr != last || *first == '-' || *first == '+') return false;
    }
    if (!isValidDate(parts[0], parts[1], parts[2])) return false;
    serial = dateSerial(parts[0], parts[1], parts[2]);
    return true;
}

// A number with "." as the decimal separator, rounded to the column's
// decimals the way a price is rounded by hand.
bool parseReal(const Column& column, const std::string& text, double& value, std::string& error) {
    if (!parseDecimal(text, '.', value)) {
        error = "not a number: \"" + text + "\"";
        return false;
    }
    const int decimals = decimalsOf(column);
    if (decimals >= 0) {
        const std::string rounded = formatFixed(value, decimals, '.');
        if (!parseDecimal(rounded, '.', value)) {
            error = "not a number: \"" + text + "\"";
            return false;
        }
    }
    if (!(std::fabs(value) < magnitudeLimitOf(column))) {
        error = "number out of range: \"" + text + "\"";
        return false;
    }
    return true;
}

// UTF-8 source text to Windows-1250, refusing what the code page cannot hold.
bool toCp1250(const Column& column, const std::string& utf8, std::string& cp, std::string& error) {
    cp = cp1250::fromUtf8(utf8);
    if (cp1250::toUtf8(cp) != utf8) {
        error = "text with a character outside Windows-1250 (or not UTF-8)";
        return false;
    }
    if (column.size > 0 && cp.size() > static_cast<std::size_t>(column.size)) {
        error = "longer than " + std::to_string(column.size) + " characters";
        return false;
    }
    return true;
}

// Scrambles a value and makes sure it descrambles to the same bytes: a "~"
// before one of the escape letters, or a byte 0, would not come back.
bool scramble(const std::string& bytes, int mode, std::string& out, std::string& error) {
    out = Szyfruj(bytes, mode);
    if (Deszyfruj(out, mode) != bytes) {
        error = "text that scrambling cannot restore (\"~\" before a letter of the Polish-letter escapes)";
        return false;
    }
    return true;
}

class Builder {
public:
    explicit Builder(Db& db) : db_(db) {}

    bool loadTable(const Table& table, const fs::path& file, std::int64_t& rows, std::string& error);
    bool writeRanks(std::string& error);

private:
    bool convertRow(const Table& table, const std::vector<int>& fieldOf,
                    const std::vector<std::string>& fields, Statement& insert, Collected* collect,
                    std::string& column, std::string& error);

    Db& db_;
    std::map<std::string, std::unordered_set<std::int64_t>> keys_;
    std::map<std::string, Collected> collected_;
};

bool Builder::loadTable(const Table& table, const fs::path& file, std::int64_t& rows, std::string& error) {
    const std::string fileName = file.filename().string();
    std::string text;
    if (!readFile(file, text, error)) return false;
    CsvReader reader(text);
    std::vector<std::string> fields;
    if (!reader.next(fields)) {
        error = fileName + ": " + (reader.error().empty() ? "no header row" : reader.error());
        return false;
    }

    // Header: every source column once, nothing else.
    std::vector<int> fieldOf(table.columns.size(), -1);
    for (std::size_t f = 0; f < fields.size(); ++f) {
        const int c = table.columnIndex(fields[f]);
        if (c < 0) {
            error = fileName + ": unknown column \"" + fields[f] + "\"";
            return false;
        }
        const Column& col = table.columns[static_cast<std::size_t>(c)];
        if (col.origin != Origin::Source) {
            error = fileName + ": column " + col.name + " is computed by the build and must not be given";
            return false;
        }
        if (fieldOf[static_cast<std::size_t>(c)] >= 0) {
            error = fileName + ": column " + col.name + " given twice";
            return false;
        }
        fieldOf[static_cast<std::size_t>(c)] = static_cast<int>(f);
    }
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        if (table.columns[c].origin == Origin::Source && fieldOf[c] < 0) {
            error = fileName + ": column " + table.columns[c].name + " missing";
            return false;
        }
    }
    const std::size_t headerSize = fields.size();

    std::string names;
    std::string params;
    for (const auto& c : table.columns) {
        if (c.origin == Origin::Rank) continue;
        if (!names.empty()) {
            names += ", ";
            params += ", ";
        }
        names += c.name;
        params += "?";
    }
    Statement insert;
    if (!insert.prepare(db_, "INSERT INTO " + table.name + " (" + names + ") VALUES (" + params + ")",
                        error)) {
        return false;
    }

    // Only the tables and columns that ranks read are kept.
    Collected* collect = nullptr;
    for (const auto& rule : kRanks) {
        if (table.name == rule.table) {
            collect = &collected_[table.name];
            collect->columns.insert(rule.column);
        } else if (rule.lookupTable && table.name == rule.lookupTable) {
            collect = &collected_[table.name];
            collect->columns.insert(rule.lookupColumn);
        }
    }

    // Link tables: the same pair twice would list a row twice in joins.
    const bool linkTable = !table.key() && !table.columns.empty() &&
                           std::all_of(table.columns.begin(), table.columns.end(),
                                       [](const Column& c) { return !c.references.empty(); });
    std::set<std::pair<std::int64_t, std::int64_t>> pairs;

    rows = 0;
    while (reader.next(fields)) {
        const std::string where = fileName + ", line " + std::to_string(reader.line());
        if (fields.size() != headerSize) {
            error = where + ": " + std::to_string(fields.size()) + " fields, the header has " +
                    std::to_string(headerSize);
            return false;
        }
        std::string column;
        if (!convertRow(table, fieldOf, fields, insert, collect, column, error)) {
            error = where + (column.empty() ? "" : ", column " + column) + ": " + error;
            return false;
        }
        if (linkTable) {
            std::int64_t a = 0;
            std::int64_t b = 0;
            parseInt(fields[static_cast<std::size_t>(fieldOf[0])], a);
            parseInt(fields[static_cast<std::size_t>(fieldOf[1])], b);
            if (!pairs.emplace(a, b).second) {
                error = where + ": the same link is given twice";
                return false;
            }
        }
        if (!insert.run(error)) {
            error = where + ": " + error;
            return false;
        }
        ++rows;
    }
    if (!reader.error().empty()) {
        error = fileName + ", " + reader.error();
        return false;
    }
    if (table.name == "Wersja" && rows != 1) {
        error = fileName + ": must hold exactly one row, holds " + std::to_string(rows);
        return false;
    }
    return true;
}

bool Builder::convertRow(const Table& table, const std::vector<int>& fieldOf,
                         const std::vector<std::string>& fields, Statement& insert, Collected* collect,
                         std::string& columnName, std::string& error) {
    std::map<std::string, std::string> masks;  // mask column -> mask of its name
    int param = 0;
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        const Column& col = table.columns[c];
        if (col.origin == Origin::Rank) continue;
        ++param;
        columnName = col.name;
        if (col.origin == Origin::Mask) {
            auto it = masks.find(col.name);
            if (it == masks.end()) {
                insert.bindNull(param);
            } else if (col.size > 0 && it->second.size() > static_cast<std::size_t>(col.size)) {
                error = "case mask longer than " + std::to_string(col.size) + " characters";
                return false;
            } else {
                insert.bindText(param, it->second);
            }
            continue;
        }
        const std::string& raw = fields[static_cast<std::size_t>(fieldOf[c])];
        const bool keep = collect && collect->columns.count(col.name);
        switch (col.type) {
            case ColumnType::Key:
            case ColumnType::Integer: {
                std::int64_t v = 0;
                if (raw.empty()) {
                    if (col.type == ColumnType::Key || !col.references.empty()) {
                        error = "missing";
                        return false;
                    }
                    insert.bindNull(param);
                    break;
                }
                if (!parseInt(raw, v)) {
                    error = "not an integer: \"" + raw + "\"";
                    return false;
                }
                if (col.type == ColumnType::Key) {
                    if (v < 1) {
                        error = "key must be a positive integer";
                        return false;
                    }
                    if (!keys_[table.name].insert(v).second) {
                        error = "duplicate key " + raw;
                        return false;
                    }
                    if (collect) collect->ids.push_back(v);
                }
                if (!col.references.empty()) {
                    const std::string target = col.references.substr(0, col.references.find('.'));
                    if (!keys_[target].count(v)) {
                        error = raw + " names no row of " + target;
                        return false;
                    }
                }
                if (keep) collect->integers[col.name].push_back(v);
                insert.bindInt(param, v);
                break;
            }
            case ColumnType::Currency:
            case ColumnType::Decimal2:
            case ColumnType::Double: {
                std::optional<double> v;
                if (!raw.empty()) {
                    double d = 0;
                    if (!parseReal(col, raw, d, error)) return false;
                    v = d;
                }
                if (v) {
                    insert.bindReal(param, *v);
                } else {
                    insert.bindNull(param);
                }
                if (keep) collect->numbers[col.name].push_back(v);
                break;
            }
            case ColumnType::Date: {
                double serial = 0;
                if (raw.empty()) {
                    insert.bindNull(param);
                    break;
                }
                if (!parseDate(raw, serial)) {
                    error = "not a date (yyyy-mm-dd or 0): \"" + raw + "\"";
                    return false;
                }
                insert.bindReal(param, serial);
                break;
            }
            case ColumnType::Text:
            case ColumnType::Memo: {
                if (keep) collect->texts[col.name].push_back(raw);
                if (raw.empty()) {
                    insert.bindNull(param);
                    break;
                }
                std::string cp;
                if (!toCp1250(col, raw, cp, error)) return false;
                if (col.storage == Storage::Plain) {
                    insert.bindText(param, cp);
                    break;
                }
                const std::string stored = col.upper ? cp1250::upper(cp) : cp;
                if (col.storage == Storage::Name) {
                    std::string mask = ZbudujMaskeWielkosci(cp);
                    if (NalozWielkoscLiter(stored, mask) != cp) {
                        error = "letter case that the case mask cannot restore";
                        return false;
                    }
                    masks[col.maskColumn] = std::move(mask);
                }
                std::string scrambled;
                if (!scramble(stored, col.mode, scrambled, error)) return false;
                insert.bindBlob(param, scrambled);
                break;
            }
        }
    }
    columnName.clear();
    return true;
}

bool Builder::writeRanks(std::string& error) {
    for (const Table& table : catalogSchema()) {
        std::vector<const RankRule*> rules;
        for (const auto& rule : kRanks) {
            if (table.name == rule.table) rules.push_back(&rule);
        }
        if (rules.empty()) continue;
        const Collected& rows = collected_[table.name];
        if (rows.ids.empty()) continue;
        std::vector<Ranks> ranks;
        for (const RankRule* rule : rules) {
            switch (rule->kind) {
                case RankKind::Text:
                    ranks.push_back(rankByText(rows.texts.at(rule->column), rows.ids));
                    break;
                case RankKind::Number:
                    ranks.push_back(rankByNumber(rows.numbers.at(rule->column), rows.ids));
                    break;
                case RankKind::Lookup: {
                    const Collected& target = collected_[rule->lookupTable];
                    const auto textsIt = target.texts.find(rule->lookupColumn);
                    const std::vector<std::int64_t> places = textsIt == target.texts.end()
                                                                 ? std::vector<std::int64_t>{}
                                                                 : textOrderPlaces(textsIt->second);
                    std::unordered_map<std::int64_t, std::int64_t> placeOf;
                    for (std::size_t i = 0; i < places.size(); ++i) placeOf[target.ids[i]] = places[i];
                    std::vector<std::int64_t> keys;
                    keys.reserve(rows.ids.size());
                    for (std::int64_t ref : rows.integers.at(rule->column)) {
                        auto it = placeOf.find(ref);
                        keys.push_back(it == placeOf.end() ? -1 : it->second);
                    }
                    ranks.push_back(rankByKey(keys, rows.ids));
                    break;
                }
            }
        }
        std::string sets;
        for (std::size_t k = 0; k < rules.size(); ++k) {
            if (k) sets += ", ";
            sets += std::string(rules[k]->rank) + " = ?";
        }
        Statement update;
        if (!update.prepare(db_,
                            "UPDATE " + table.name + " SET " + sets + " WHERE " + table.key()->name + " = ?",
                            error)) {
            return false;
        }
        for (std::size_t i = 0; i < rows.ids.size(); ++i) {
            for (std::size_t k = 0; k < rules.size(); ++k)
                update.bindInt(static_cast<int>(k) + 1, ranks[k][i]);
            update.bindInt(static_cast<int>(rules.size()) + 1, rows.ids[i]);
            if (!update.run(error)) {
                error = table.name + " ranks: " + error;
                return false;
            }
        }
    }
    return true;
}

// Removes the files it names when the build does not reach its end.
class Cleanup {
public:
    explicit Cleanup(std::vector<fs::path> paths) : paths_(std::move(paths)) {}
    ~Cleanup() {
        if (done_) return;
        std::error_code ec;
        for (const auto& p : paths_) fs::remove(p, ec);
    }
    void release() { done_ = true; }

private:
    std::vector<fs::path> paths_;
    bool done_ = false;
};

}  // namespace

std::string randomPassword() {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device rd;
    const std::size_t length = 16 + rd() % 9;
    std::string out;
    for (std::size_t i = 0; i < length; ++i) out.push_back(alphabet[rd() % (sizeof(alphabet) - 1)]);
    return out;
}

bool passwordToCp1250(const std::string& utf8, std::string& cp, std::string& error) {
    cp = cp1250::fromUtf8(utf8);
    if (utf8.empty()) {
        error = "the password must not be empty";
        return false;
    }
    if (cp1250::toUtf8(cp) != utf8) {
        error = "the password holds a character outside Windows-1250";
        return false;
    }
    if (cp.size() > kUstawieniaMaxPassword) {
        error = "the password is longer than " + std::to_string(kUstawieniaMaxPassword) + " characters";
        return false;
    }
    return true;
}

BuildResult buildCatalog(const fs::path& sourceDir, const fs::path& outDir, const BuildOptions& options) {
    BuildResult result;
    std::string& error = result.error;
    std::error_code ec;
    if (!fs::is_directory(sourceDir, ec)) {
        error = sourceDir.string() + ": not a directory";
        return result;
    }
    for (const Table& table : catalogSchema()) {
        const fs::path file = sourceDir / (table.name + ".csv");
        if (!fs::is_regular_file(file, ec)) {
            error = "missing source file " + file.string();
            return result;
        }
    }
    std::string password;
    if (!passwordToCp1250(options.password.empty() ? randomPassword() : options.password, password, error)) {
        return result;
    }
    fs::create_directories(outDir, ec);
    if (!fs::is_directory(outDir, ec)) {
        error = outDir.string() + ": cannot create the directory";
        return result;
    }

    const fs::path datTemp = outDir / "kmx.dat.tmp";
    const fs::path iifTemp = outDir / "kmx.iif.new";
    fs::remove(datTemp, ec);
    fs::remove(iifTemp, ec);
    Cleanup cleanup({datTemp, iifTemp});

    const ZapisUstawienResult settings = ZapiszUstawienia(iifTemp, password);
    if (!settings.ok) {
        error = "kmx.iif: " + settings.error;
        return result;
    }

    {
        Db db;
        if (!db.create(datTemp, password, error)) return result;
        for (const Table& table : catalogSchema()) {
            if (!db.exec(createTableSql(table), error)) {
                error = table.name + ": " + error;
                return result;
            }
        }
        if (!db.exec("BEGIN", error)) return result;
        Builder builder(db);
        for (const Table& table : catalogSchema()) {
            std::int64_t rows = 0;
            if (!builder.loadTable(table, sourceDir / (table.name + ".csv"), rows, error)) return result;
            result.rowCounts[table.name] = rows;
        }
        if (!builder.writeRanks(error)) return result;
        for (const Table& table : catalogSchema()) {
            for (const std::string& sql : createIndexSql(table)) {
                if (!db.exec(sql, error)) return result;
            }
        }
        if (!db.exec("COMMIT", error)) return result;
        db.close();
    }

    fs::rename(datTemp, outDir / "kmx.dat", ec);
    if (!ec) fs::rename(iifTemp, outDir / "kmx.iif", ec);
    if (ec) {
        error = outDir.string() + ": cannot put the catalogue in place: " + ec.message();
        return result;
    }
    cleanup.release();
    result.ok = true;
    return result;
}

}  // namespace kmx::catalog
