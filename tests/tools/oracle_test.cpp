// The searches against the demo catalogue: thousands of generated criteria
// records run through the real statement builders and the data module, and
// the rows found are compared with a plain filter over the demo's CSV sources.
//
// The filter (the "oracle") states the matching rules on plain text and never
// calls the builders, the scrambling, the engine's LIKE or its collation. The
// rules it applies:
//
// - A text criterion, trimmed of spaces, sets no condition when empty. Unless
//   it both starts with "(" and ends with ")" (the plain form), its words are
//   separated by "+" and the double quote, and a row matches when ANY word
//   matches. In the bracketed form the outer brackets are dropped, words are
//   separated by "+", "-" and the double quote, a "-" before a word negates it,
//   and a row must match every plain word and no negated one. A run of
//   separators counts once, and the separator that ends a word goes with it
//   unless it is "-", which stays for the next word. A word is read whenever
//   text is left, so "a++" and "(a-)" end in an empty word (negated in the
//   latter, which then lists nothing); every criterion gives at least one
//   word. Words are trimmed of spaces.
// - Name columns (goods name, producer name): the word is found anywhere in
//   the name ("from the start" of the goods name: at its start), "*" standing
//   for any run of characters. Other text columns (ETO index, town, producer
//   code): the value starts with the word, and "*" is an ordinary character.
//   An empty word matches every value that is there (not null); a null value
//   matches no word, negated or not.
// - Letter case does not count, and comparisons happen on the catalogue's
//   stored form: upper case with every Polish letter written as "~" and its
//   base letter ("Ą" as "~A", "Ł" as "~L"), on both sides. So the word "A"
//   also finds a name holding "Ą", "SCIAN" finds "ŚCIAN" and "~L" finds "Ł";
//   the tests count how many generated cases depend on this.
// - "%", "_", "[", "]", "^" and the apostrophe in a word are literal.
// - Unit price "to": the typed text held as a 32-bit float; rows whose price is
//   at most that float's exact value (so "12,70" leaves out a price of exactly
//   12.70); a null price never passes a bound; a bound of 0 sets none.
// - Kind M/S: TYP_RMS equal; group: the goods is linked to the group; province:
//   the producer's province. Goods whose producer, unit, currency or VAT rate,
//   or whose producer's province or country, is missing are never listed.
// - Suppliers: name anywhere, code and town from the start, province, branch;
//   every producer once, whatever the number of its branches.
// - Work prices: each non-empty value is found anywhere in its column without
//   regard to letter case (Polish letters too), "%" standing for any run and
//   "_" for one character; the apostrophe is literal.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/csv.h"
#include "catalog/demo.h"
#include "core/cp1250.h"
#include "core/criteria.h"
#include "core/last_error.h"
#include "core/polish_collation.h"
#include "core/query_builder.h"
#include "core/settings_file.h"
#include "core/tcsengine.h"
#include "data/tdm.h"
#include "tools_test_support.h"

namespace kmx::catalog {
namespace {

namespace fs = std::filesystem;
using Ids = std::set<std::int64_t>;

constexpr int kGoodsCases = 3000;
constexpr int kSupplierCases = 1000;
constexpr int kWorkCases = 500;
constexpr const char* kPassword = "Wyrocznia-2026";

// ------------------------------------------------------------------ helpers

// splitmix64: small, fast and the same everywhere.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <class T>
    const T& pick(const std::vector<T>& v) {
        return v[static_cast<std::size_t>(below(static_cast<int>(v.size())))];
    }

private:
    std::uint64_t state_;
};

std::string cp(std::string_view utf8) {
    return cp1250::fromUtf8(utf8);
}
std::string utf8(std::string_view bytes) {
    return cp1250::toUtf8(bytes);
}

// Bytes outside printable ASCII as \xNN, so scrambled statements can be read.
std::string escaped(std::string_view bytes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += ch;
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string trimmed(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return std::string(s.substr(b, e - b));
}

// ------------------------------------------------- the catalogue's stored form

const std::string& polishLetters() {
    static const std::string s = cp("ąężźłóćńśĄĘŻŹŁÓĆŃŚ");
    return s;
}
const std::string kBaseLetters = "aezxlocnsAEZXLOCNS";

// The stored form of a text: upper case, Polish letters as "~" + base letter.
// Without `escapes` only the upper case (to count the cases the escapes decide).
std::string stored(std::string_view text, bool escapes = true) {
    std::string out;
    for (char ch : cp1250::upper(text)) {
        const auto at = escapes ? polishLetters().find(ch) : std::string::npos;
        if (at == std::string::npos) {
            out += ch;
        } else {
            out += '~';
            out += kBaseLetters[at];
        }
    }
    return out;
}

// A searched text column's value in its stored form, without [0] and with [1]
// the escapes; an empty source field is null.
struct Value {
    bool null = true;
    std::string form[2];
};

Value valueOf(const std::string& text) {
    Value v;
    v.null = text.empty();
    v.form[0] = stored(text, false);
    v.form[1] = stored(text, true);
    return v;
}

// ------------------------------------------------------------ the sources

struct ProducerRow;

struct GoodsRow {
    std::int64_t id = 0;
    std::int64_t producer = 0;
    std::int64_t unit = 0;
    std::int64_t currency = 0;
    std::int64_t vat = 0;
    std::string name;  // Windows-1250, as given
    std::string eto;
    Value nameValue;
    Value etoValue;
    std::optional<double> price;
    std::string priceText;  // as given, "." separator
    std::string rms;
    const ProducerRow* producerRow = nullptr;  // nullptr: no such producer
};

struct ProducerRow {
    std::int64_t id = 0;
    std::string name;
    std::string code;
    std::string town;
    Value nameValue;
    Value codeValue;
    Value townValue;
    std::int64_t province = 0;
    std::int64_t country = 0;
};

struct WorkRow {
    std::int64_t id = 0;
    std::string nazwa;
    std::string podstawa;
};

struct Catalogue {
    std::vector<GoodsRow> goods;
    std::vector<ProducerRow> producers;
    std::vector<WorkRow> works;
    std::map<std::int64_t, std::size_t> producerAt;
    std::map<std::int64_t, std::size_t> goodsAt;
    std::set<std::int64_t> units, currencies, vats, provinces, countries, groups, branches;
    std::map<std::int64_t, std::set<std::int64_t>> groupsOf;    // goods -> groups
    std::map<std::int64_t, std::set<std::int64_t>> branchesOf;  // producer -> branches
    std::vector<std::string> knrKeys;
};

class SourceTable {
public:
    bool load(const fs::path& file, std::string& error) {
        std::vector<CsvRecord> records;
        if (!parseCsv(testing::readFile(file), records, error) || records.empty()) {
            error = file.string() + ": " + (error.empty() ? "empty" : error);
            return false;
        }
        header_ = records.front().fields;
        for (std::size_t i = 1; i < records.size(); ++i) rows_.push_back(records[i].fields);
        return true;
    }
    std::size_t size() const { return rows_.size(); }
    // Windows-1250 text of a named field.
    std::string text(std::size_t row, std::string_view column) const { return cp(raw(row, column)); }
    std::int64_t integer(std::size_t row, std::string_view column) const {
        const std::string& s = raw(row, column);
        std::int64_t v = 0;
        std::from_chars(s.data(), s.data() + s.size(), v);
        return v;
    }
    const std::string& raw(std::size_t row, std::string_view column) const {
        const auto it = std::find(header_.begin(), header_.end(), column);
        static const std::string none;
        if (it == header_.end()) return none;
        return rows_[row][static_cast<std::size_t>(it - header_.begin())];
    }

private:
    std::vector<std::string> header_;
    std::vector<std::vector<std::string>> rows_;
};

bool loadCatalogue(const fs::path& src, Catalogue& c, std::string& error) {
    std::map<std::string, SourceTable> t;
    for (const char* name :
         {"TOWAR", "PRODUCENT", "ceny_robot", "JEDNOSTKA_MIARY", "WALUTA", "STAWKA_VAT", "WOJEWODZTWO",
          "KRAJ", "GRUPA_TOWAROWA", "BRANZA", "WYBRANA_GRUPA", "BRANZA_PRODUCENTA", "KNR"}) {
        if (!t[name].load(src / (std::string(name) + ".csv"), error)) return false;
    }
    auto keys = [&](const char* table, const char* column, std::set<std::int64_t>& out) {
        for (std::size_t r = 0; r < t[table].size(); ++r) out.insert(t[table].integer(r, column));
    };
    keys("JEDNOSTKA_MIARY", "ID_JEDNOSTKI_MIARY", c.units);
    keys("WALUTA", "ID_WALUTY", c.currencies);
    keys("STAWKA_VAT", "ID_STAWKI_VAT", c.vats);
    keys("WOJEWODZTWO", "ID_WOJEWODZTWA", c.provinces);
    keys("KRAJ", "ID_KRAJU", c.countries);
    keys("GRUPA_TOWAROWA", "ID_GRUPY", c.groups);
    keys("BRANZA", "ID_BRANZY", c.branches);

    const SourceTable& towar = t["TOWAR"];
    for (std::size_t r = 0; r < towar.size(); ++r) {
        GoodsRow g;
        g.id = towar.integer(r, "ID_TOWARU");
        g.producer = towar.integer(r, "ID_PRODUCENTA");
        g.unit = towar.integer(r, "ID_JEDNOSTKI");
        g.currency = towar.integer(r, "ID_WALUTY");
        g.vat = towar.integer(r, "ID_STAWKI_VAT");
        g.name = towar.text(r, "NAZWA");
        g.eto = towar.text(r, "INDEKS_ETO");
        g.nameValue = valueOf(g.name);
        g.etoValue = valueOf(g.eto);
        g.priceText = towar.raw(r, "CENA_JEDNOSTKOWA");
        if (!g.priceText.empty()) {
            double v = 0;
            const auto res = std::from_chars(g.priceText.data(), g.priceText.data() + g.priceText.size(), v);
            if (res.ec != std::errc()) {
                error = "TOWAR: bad price " + g.priceText;
                return false;
            }
            g.price = v;
        }
        g.rms = towar.text(r, "TYP_RMS");
        c.goodsAt[g.id] = c.goods.size();
        c.goods.push_back(std::move(g));
    }
    const SourceTable& producent = t["PRODUCENT"];
    for (std::size_t r = 0; r < producent.size(); ++r) {
        ProducerRow p;
        p.id = producent.integer(r, "ID_PRODUCENTA");
        p.name = producent.text(r, "NAZWA");
        p.code = producent.text(r, "KOD_PRODUCENTA");
        p.town = producent.text(r, "MIEJSCOWOSC");
        p.nameValue = valueOf(p.name);
        p.codeValue = valueOf(p.code);
        p.townValue = valueOf(p.town);
        p.province = producent.integer(r, "ID_WOJEWODZTWA");
        p.country = producent.integer(r, "ID_KRAJU");
        c.producerAt[p.id] = c.producers.size();
        c.producers.push_back(std::move(p));
    }
    for (auto& g : c.goods) {
        const auto it = c.producerAt.find(g.producer);
        g.producerRow = it == c.producerAt.end() ? nullptr : &c.producers[it->second];
    }
    const SourceTable& ceny = t["ceny_robot"];
    for (std::size_t r = 0; r < ceny.size(); ++r) {
        c.works.push_back({ceny.integer(r, "id_ceny"), ceny.text(r, "nazwa"), ceny.text(r, "podstawa")});
    }
    const SourceTable& wg = t["WYBRANA_GRUPA"];
    for (std::size_t r = 0; r < wg.size(); ++r)
        c.groupsOf[wg.integer(r, "ID_TOWARU")].insert(wg.integer(r, "ID_GRUPY"));
    const SourceTable& bp = t["BRANZA_PRODUCENTA"];
    for (std::size_t r = 0; r < bp.size(); ++r)
        c.branchesOf[bp.integer(r, "ID_PRODUCENTA")].insert(bp.integer(r, "ID_BRANZY"));
    const SourceTable& knr = t["KNR"];
    for (std::size_t r = 0; r < knr.size(); ++r) c.knrKeys.push_back(knr.text(r, "grupa_identyf"));
    if (c.goods.empty() || c.producers.empty() || c.works.empty()) {
        error = "the demo sources hold no rows";
        return false;
    }
    return true;
}

// ------------------------------------------------------------- the oracle

namespace oracle {

struct Word {
    std::string text;
    bool negated = false;
};

bool bracketed(std::string_view s) {
    return !s.empty() && s.front() == '(' && s.back() == ')';
}

// The words of a trimmed, non-empty criterion (see the rules at the top).
std::vector<Word> words(const std::string& criterion) {
    const bool b = bracketed(criterion);
    const std::string s = b ? criterion.substr(1, criterion.size() - 2) : criterion;
    auto separator = [b](char c) { return c == '+' || c == '"' || (b && c == '-'); };
    std::vector<Word> out;
    std::size_t i = 0;
    while (i < s.size()) {
        Word w;
        for (; i < s.size() && separator(s[i]); ++i) w.negated = w.negated || s[i] == '-';
        std::size_t end = i;
        while (end < s.size() && !separator(s[end])) ++end;
        w.text = trimmed(std::string_view(s).substr(i, end - i));
        out.push_back(w);
        // The separator that ends a word goes with it, except "-", which
        // belongs to the next word.
        i = (end < s.size() && s[end] != '-') ? end + 1 : end;
    }
    if (out.empty()) out.push_back({});
    return out;
}

// Is `word` found in `value`? "*" in the word is any run of characters when
// `star` is set; `anywhere` lets the match start at any position.
bool found(std::string_view value, std::string_view word, bool star, bool anywhere) {
    if (!star) {
        return anywhere ? value.find(word) != std::string_view::npos : value.substr(0, word.size()) == word;
    }
    // Pieces between stars, each found after the one before; the first at the
    // start unless anywhere (or the word starts with "*").
    std::size_t pos = 0;
    std::size_t from = 0;
    bool first = true;
    while (true) {
        const std::size_t starAt = word.find('*', from);
        const std::size_t len = starAt == std::string_view::npos ? word.npos : starAt - from;
        const std::string_view piece = word.substr(from, len);
        if (first && !anywhere) {
            if (value.substr(0, piece.size()) != piece) return false;
            pos = piece.size();
        } else {
            const std::size_t at = value.find(piece, pos);
            if (at == std::string_view::npos) return false;
            pos = at + piece.size();
        }
        first = false;
        if (starAt == std::string_view::npos) return true;
        from = starAt + 1;
    }
}

enum class Column { Name, NameFromStart, Prefix };

// A text criterion ready to be tried on many values.
struct Criterion {
    bool none = true;  // empty after trimming: no condition
    bool all = false;  // bracketed form
    bool star = false;
    bool anywhere = false;
    int form = 1;
    std::vector<Word> words;  // in stored form
};

Criterion prepare(std::string_view text, Column column, bool escapes = true) {
    Criterion c;
    const std::string s = trimmed(text);
    if (s.empty()) return c;
    c.none = false;
    c.all = bracketed(s);
    c.star = column != Column::Prefix;
    c.anywhere = column == Column::Name;
    c.form = escapes ? 1 : 0;
    c.words = words(s);
    for (Word& w : c.words) w.text = stored(w.text, escapes);
    return c;
}

// Does a value pass the criterion? A null value passes only when there is none.
bool passes(const Criterion& c, const Value& value) {
    if (c.none) return true;
    if (value.null) return false;
    const std::string& v = value.form[c.form];
    bool any = false;
    for (const Word& w : c.words) {
        const bool hit = found(v, w.text, c.star, c.anywhere);
        if (c.all && hit == w.negated) return false;
        any = any || hit;
    }
    return c.all || any;
}

bool text(const std::string& value, std::string_view criterion, Column column, bool escapes = true) {
    return passes(prepare(criterion, column, escapes), valueOf(value));
}

struct GoodsQuery {
    const TsTowar& t;
    Criterion name, eto, producer, town;
    GoodsQuery(const TsTowar& criteria, bool escapes)
        : t(criteria),
          name(prepare(t.nazwa.view(), t.odPoczatkuNazwy ? Column::NameFromStart : Column::Name, escapes)),
          eto(prepare(t.indeksEto.view(), Column::Prefix, escapes)),
          producer(prepare(t.nazwaProducenta.view(), Column::Name, escapes)),
          town(prepare(t.miejscowosc.view(), Column::Prefix, escapes)) {}
};

bool goods(const Catalogue& c, const GoodsRow& g, const GoodsQuery& q) {
    const TsTowar& t = q.t;
    const ProducerRow* pr = g.producerRow;
    if (!pr || !c.units.count(g.unit) || !c.currencies.count(g.currency) || !c.vats.count(g.vat) ||
        !c.provinces.count(pr->province) || !c.countries.count(pr->country)) {
        return false;
    }
    if (!passes(q.name, g.nameValue) || !passes(q.eto, g.etoValue) || !passes(q.producer, pr->nameValue) ||
        !passes(q.town, pr->townValue)) {
        return false;
    }
    if (t.idWojewodztwa > 0 && pr->province != t.idWojewodztwa) return false;
    if (t.cenaJednostkowaDo > 0 && !(g.price && *g.price <= static_cast<double>(t.cenaJednostkowaDo)))
        return false;
    if (!t.typRms.empty() && g.rms != t.typRms.view()) return false;
    if (t.idGrupy > 0) {
        const auto it = c.groupsOf.find(g.id);
        if (it == c.groupsOf.end() || !it->second.count(t.idGrupy)) return false;
    }
    return true;
}

struct SupplierQuery {
    const TsDostawca& d;
    Criterion name, code, town;
    SupplierQuery(const TsDostawca& criteria, bool escapes)
        : d(criteria),
          name(prepare(d.nazwa.view(), Column::Name, escapes)),
          code(prepare(d.kodProducenta.view(), Column::Prefix, escapes)),
          town(prepare(d.miejscowosc.view(), Column::Prefix, escapes)) {}
};

bool supplier(const Catalogue& c, const ProducerRow& p, const SupplierQuery& q) {
    const TsDostawca& d = q.d;
    if (!c.provinces.count(p.province) || !c.countries.count(p.country)) return false;
    if (!passes(q.name, p.nameValue) || !passes(q.code, p.codeValue) || !passes(q.town, p.townValue))
        return false;
    if (d.idWojewodztwa > 0 && p.province != d.idWojewodztwa) return false;
    if (d.idBranzy > 0) {
        const auto it = c.branchesOf.find(p.id);
        if (it == c.branchesOf.end() || !it->second.count(d.idBranzy)) return false;
    }
    return true;
}

// "%" any run, "_" one character, anything else itself without regard to case.
bool like(std::string_view value, std::string_view pattern) {
    const std::string v = cp1250::upper(value);
    const std::string p = cp1250::upper(pattern);
    // now[j]: the first j characters of the pattern match the value read so far.
    std::string now(p.size() + 1, '\0');
    now[0] = 1;
    for (std::size_t j = 1; j <= p.size(); ++j) now[j] = now[j - 1] && p[j - 1] == '%';
    for (char ch : v) {
        std::string after(p.size() + 1, '\0');
        for (std::size_t j = 1; j <= p.size(); ++j) {
            const char pc = p[j - 1];
            if (pc == '%') {
                after[j] = after[j - 1] || now[j];
            } else {
                after[j] = now[j - 1] && (pc == '_' || pc == ch);
            }
        }
        now.swap(after);
    }
    return now[p.size()] != 0;
}

bool work(const WorkRow& w, std::string_view opis, std::string_view knr) {
    if (!opis.empty() && !like(w.nazwa, "%" + std::string(opis) + "%")) return false;
    if (!knr.empty() && !like(w.podstawa, "%" + std::string(knr) + "%")) return false;
    return true;
}

}  // namespace oracle

// ---------------------------------------------------------- the fixture

struct Shared {
    fs::path dir;
    Catalogue catalogue;
    std::unique_ptr<data::TDM> dm;
    std::string error;  // why the suite could not be set up
};

class SearchOracle : public ::testing::Test {
public:
    static const Catalogue& cat() { return shared_->catalogue; }
    static data::TDM& dm() { return *shared_->dm; }

    // Runs a statement in a result set and returns the ids in the order found.
    static std::vector<std::int64_t> run(data::DataSet& set, const std::string& sql, const char* idField,
                                         std::string& error) {
        std::vector<std::int64_t> ids;
        if (!set.open(sql, error)) return ids;
        const int f = set.fieldIndex(idField);
        if (f < 0) {
            error = std::string("no field ") + idField;
            return ids;
        }
        ids.reserve(static_cast<std::size_t>(set.recordCount()));
        for (int r = 0; r < set.recordCount(); ++r) ids.push_back(set.cell(r, f).asInt());
        return ids;
    }

protected:
    static void SetUpTestSuite() {
        shared_ = new Shared;
        Shared& s = *shared_;
        // One folder per process: test runners may run the cases of this suite side by side.
        s.dir = fs::path(::testing::TempDir()) /
                ("kmx_tools_SearchOracle_" + std::to_string(QCoreApplication::applicationPid()));
        std::error_code ec;
        fs::remove_all(s.dir, ec);
        DemoOptions options;
        options.goods = 3000;
        options.password = kPassword;
        const DemoResult demo = writeDemo(s.dir, options);
        if (!demo.ok) {
            s.error = "demo: " + demo.error;
            return;
        }
        if (!loadCatalogue(s.dir / "src", s.catalogue, s.error)) return;
        // Open the catalogue the way the program starts: the password from the settings file.
        const UstawieniaResult settings = CzytajUstawienia(s.dir / "kmx.iif");
        if (!settings.ok || settings.password != cp(kPassword)) {
            s.error = "kmx.iif does not give the password back: " + settings.error;
            return;
        }
        s.dm = std::make_unique<data::TDM>();
        if (s.dm->PolaczZBaza(s.dir / "kmx.dat", settings.password) || s.dm->OtworzTabele()) {
            s.error = "cannot open the demo catalogue: " + OstatniBlad().text;
        }
    }
    static void TearDownTestSuite() {
        if (shared_->dm) shared_->dm->DataModuleDestroy();
        shared_->dm.reset();
        std::error_code ec;
        fs::remove_all(shared_->dir, ec);
        delete shared_;
        shared_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(shared_, nullptr);
        ASSERT_TRUE(shared_->error.empty()) << shared_->error;
    }

    static Shared* shared_;
};

Shared* SearchOracle::shared_ = nullptr;

// ------------------------------------------------------- case generation

// Polish letters typed without their marks, and typed as their escapes.
std::string withoutMarks(std::string_view s) {
    std::string out(s);
    for (char& ch : out) {
        const auto at = polishLetters().find(ch);
        if (at != std::string::npos) ch = kBaseLetters[at];
    }
    return out;
}
std::string asEscapes(std::string_view s) {
    std::string out;
    for (char ch : s) {
        const auto at = polishLetters().find(ch);
        if (at == std::string::npos) {
            out += ch;
        } else {
            out += '~';
            out += kBaseLetters[at];
        }
    }
    return out;
}

std::string mixedCase(Rng& rng, std::string_view s) {
    std::string out(s);
    const int how = rng.below(4);  // upper, lower, mixed, as it stands
    if (how == 3) return out;
    for (char& ch : out) {
        const auto c = static_cast<unsigned char>(ch);
        const bool up = how == 0 || (how == 2 && rng.chance(50));
        ch = static_cast<char>(up ? cp1250::toUpper(c) : cp1250::toLower(c));
    }
    return out;
}

std::string piece(Rng& rng, std::string_view s, int minLen, int maxLen, bool fromStart = false) {
    if (s.empty()) return {};
    const int len = std::min<int>(rng.between(minLen, maxLen), static_cast<int>(s.size()));
    const int start = fromStart ? 0 : rng.below(static_cast<int>(s.size()) - len + 1);
    return std::string(s.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(len)));
}

// Words beside the data: the literal characters, Polish letters and their
// escapes, odd phrases.
const std::vector<std::string>& noiseWords() {
    static const std::vector<std::string> w = [] {
        std::vector<std::string> v;
        for (const char* s :
             {"%",  "_",    "[",     "]",      "^",          "'",      "*",      "**", "ą",   "Ł",
              "~a", "~",    "~L",    "100%",   "0,5%",       "CW_50",  "[A]",    "^2", "x*y", "ó",
              "Ż",  "  ",   "",      "'Biała", "P+W",        "(pióro", "wpust)", "a",  "l",   "s",
              "e",  "z",    "o.o.",  "&",      "Sp. z",      "ść",     "ŁÓDŹ",   "zł", "*cm", "cm*",
              "m2", "10 l", "Xyzzy", "[%]",    "25x38x23,8", "tzw.",   "-"}) {
            v.push_back(cp(s));
        }
        return v;
    }();
    return w;
}

// One word for a name column, drawn from the given names.
std::string nameWord(Rng& rng, const std::vector<const std::string*>& names, bool fromStart) {
    const std::string& name = *names[static_cast<std::size_t>(rng.below(static_cast<int>(names.size())))];
    const int kind = rng.below(100);
    std::string w;
    if (kind < 45) {
        w = piece(rng, name, 2, 10, fromStart);
    } else if (kind < 55) {
        w = withoutMarks(piece(rng, name, 3, 12, fromStart));
    } else if (kind < 60) {
        w = asEscapes(piece(rng, name, 2, 8, fromStart));
    } else if (kind < 75) {
        // Two pieces of one name in order, a "*" between them.
        const int start = fromStart ? 0 : rng.below(static_cast<int>(name.size()));
        const std::string_view rest = std::string_view(name).substr(static_cast<std::size_t>(start));
        const std::string a = piece(rng, rest, 1, 5, true);
        const std::size_t gap = a.size() + static_cast<std::size_t>(rng.below(12));
        w = a + "*" + piece(rng, rest.substr(std::min(rest.size(), gap)), 1, 5);
        if (rng.chance(15)) w = "*" + w;
    } else if (kind < 82) {
        w = std::string(1, name[static_cast<std::size_t>(rng.below(static_cast<int>(name.size())))]);
    } else {
        w = rng.pick(noiseWords());
    }
    return mixedCase(rng, w);
}

// Words joined into a criterion, in either form, with spaces and empty words.
std::string criterion(Rng& rng, const std::vector<std::string>& ws) {
    const bool brackets = rng.chance(25);
    std::string out;
    for (std::size_t i = 0; i < ws.size(); ++i) {
        if (i > 0 || (rng.chance(5))) {
            static const std::vector<std::string> plainSep = {"+", "+", "+", "\"", " + ", "+ +", "++"};
            static const std::vector<std::string> bracketSep = {"+",   "-",  "+",  "\"",
                                                                " - ", "+-", "-+", "+ +"};
            out += rng.pick(brackets ? bracketSep : plainSep);
        }
        out += ws[i];
    }
    if (rng.chance(5)) out += rng.chance(50) ? "+" : "++";
    if (brackets && rng.chance(4)) out += "-";
    if (brackets) out = (rng.chance(20) ? "(-" : "(") + out + ")";
    if (rng.chance(10)) out = "  " + out;
    if (rng.chance(10)) out += " ";
    return out;
}

std::string nameCriterion(Rng& rng, const std::vector<const std::string*>& names, bool fromStart) {
    std::vector<std::string> ws;
    const int n = rng.chance(70) ? 1 : rng.between(2, 3);
    for (int i = 0; i < n; ++i) ws.push_back(nameWord(rng, names, fromStart));
    return criterion(rng, ws);
}

std::string prefixCriterion(Rng& rng, const std::vector<const std::string*>& values, int maxLen) {
    std::vector<std::string> ws;
    const int n = rng.chance(75) ? 1 : 2;
    for (int i = 0; i < n; ++i) {
        const std::string& v = *values[static_cast<std::size_t>(rng.below(static_cast<int>(values.size())))];
        const int kind = rng.below(100);
        std::string w;
        if (kind < 60) {
            w = piece(rng, v, 1, maxLen, true);
        } else if (kind < 70) {
            w = withoutMarks(piece(rng, v, 2, maxLen, true));
        } else if (kind < 78) {
            w = asEscapes(piece(rng, v, 2, maxLen, true));
        } else if (kind < 85) {
            w = piece(rng, v, 1, 3, true) + "*";  // an ordinary character here
        } else if (kind < 90) {
            w = piece(rng, v, 2, 4);  // from the middle: usually nothing
        } else {
            w = rng.pick(noiseWords());
        }
        ws.push_back(mixedCase(rng, w));
    }
    return criterion(rng, ws);
}

// A typed unit price bound: digits and at most one comma, as the field allows.
std::string typedPrice(Rng& rng, const Catalogue& c) {
    const int kind = rng.below(100);
    if (kind < 55) {
        // A price from the catalogue, typed with "," (often exactly a row's price).
        const GoodsRow& g = c.goods[static_cast<std::size_t>(rng.below(static_cast<int>(c.goods.size())))];
        std::string s = g.priceText.empty() ? "12.70" : g.priceText;
        std::replace(s.begin(), s.end(), '.', ',');
        if (rng.chance(20) && s.find(',') != std::string::npos) s = s.substr(0, s.find(','));
        return s;
    }
    static const std::vector<std::string> fixed = {"12,70", "12,7",  "150", "0",  "0,01", "1000",
                                                   "5",     "99,99", "20,", ",5", "0,0"};
    if (kind < 75) return rng.pick(fixed);
    return std::to_string(rng.between(1, 400)) + "," + std::to_string(rng.between(0, 99));
}

// The typed text as the screen holds it: a 32-bit float (0 when empty).
float priceBound(const std::string& typed) {
    std::string s = typed;
    std::replace(s.begin(), s.end(), ',', '.');
    if (s.empty()) return 0;
    if (s.front() == '.') s.insert(s.begin(), '0');
    float f = 0;
    std::from_chars(s.data(), s.data() + s.size(), f);
    return f;
}

struct Counts {
    int cases = 0;
    int nonEmpty = 0;
    int empty = 0;
    int escapesDecide = 0;     // the Polish-letter escapes change the rows found
    int boundaryExcluded = 0;  // a row priced exactly as typed is left out
    int bracketed = 0;
    int stars = 0;
    int mismatches = 0;
};

std::ostream& operator<<(std::ostream& os, const Counts& n) {
    os << n.cases << " cases, " << n.nonEmpty << " with rows, " << n.empty << " empty";
    if (n.escapesDecide) os << ", " << n.escapesDecide << " decided by the Polish-letter escapes";
    if (n.boundaryExcluded)
        os << ", " << n.boundaryExcluded << " leaving out a row priced exactly at the bound";
    if (n.bracketed) os << ", " << n.bracketed << " bracketed";
    if (n.stars) os << ", " << n.stars << " with \"*\"";
    return os;
}

// Compares what the engine found with the oracle; reports a mismatch fully.
template <class NameOf>
void compare(Counts& n, const std::string& what, const std::string& criteriaText, const std::string& sql,
             const std::vector<std::int64_t>& found, const std::string& error, const Ids& expected,
             NameOf nameOf) {
    ++n.cases;
    const Ids got(found.begin(), found.end());
    (expected.empty() ? n.empty : n.nonEmpty) += 1;
    if (error.empty() && got == expected && got.size() == found.size()) return;
    if (++n.mismatches > 8) return;  // the first few tell the story
    std::ostringstream os;
    os << what << " mismatch\n criteria: " << criteriaText << "\n statement: " << escaped(sql) << "\n";
    if (!error.empty()) os << " engine error: " << error << "\n";
    if (got.size() != found.size()) os << " the engine listed some rows more than once\n";
    std::vector<std::int64_t> onlyEngine;
    std::vector<std::int64_t> onlyOracle;
    std::set_difference(got.begin(), got.end(), expected.begin(), expected.end(),
                        std::back_inserter(onlyEngine));
    std::set_difference(expected.begin(), expected.end(), got.begin(), got.end(),
                        std::back_inserter(onlyOracle));
    auto list = [&](const char* title, const std::vector<std::int64_t>& ids) {
        os << " " << title << " (" << ids.size() << "):";
        for (std::size_t i = 0; i < ids.size() && i < 20; ++i) os << " " << ids[i];
        os << "\n";
        for (std::size_t i = 0; i < ids.size() && i < 4; ++i)
            os << "   " << ids[i] << ": " << nameOf(ids[i]) << "\n";
    };
    list("only in the engine", onlyEngine);
    list("only in the oracle", onlyOracle);
    ADD_FAILURE() << os.str();
}

std::string describe(const TsTowar& t, const std::string& typedBound) {
    std::ostringstream os;
    os << "name=[" << utf8(t.nazwa.view()) << "]" << (t.odPoczatkuNazwy ? " from-start" : "") << " eto=["
       << utf8(t.indeksEto.view()) << "] supplier=[" << utf8(t.nazwaProducenta.view()) << "] town=["
       << utf8(t.miejscowosc.view()) << "] province=" << t.idWojewodztwa << " price-to=[" << typedBound
       << "] type=[" << utf8(t.typRms.view()) << "] group=" << t.idGrupy;
    return os.str();
}

std::string describe(const TsDostawca& d) {
    std::ostringstream os;
    os << "name=[" << utf8(d.nazwa.view()) << "] code=[" << utf8(d.kodProducenta.view()) << "] town=["
       << utf8(d.miejscowosc.view()) << "] province=" << d.idWojewodztwa << " branch=" << d.idBranzy;
    return os.str();
}

bool hasStar(std::string_view s) {
    return s.find('*') != std::string_view::npos;
}

// Runs one goods record through the engine and the oracle and compares them.
void checkGoods(Counts& n, const TsTowar& t, const std::string& typed) {
    const Catalogue& c = SearchOracle::cat();
    Ids expected;
    Ids withoutEscapes;
    const oracle::GoodsQuery query(t, true);
    const oracle::GoodsQuery queryWithoutEscapes(t, false);
    for (const auto& g : c.goods) {
        if (oracle::goods(c, g, query)) expected.insert(g.id);
        if (oracle::goods(c, g, queryWithoutEscapes)) withoutEscapes.insert(g.id);
    }
    if (expected != withoutEscapes) ++n.escapesDecide;
    if (oracle::bracketed(trimmed(t.nazwa.view()))) ++n.bracketed;
    if (hasStar(t.nazwa.view()) || hasStar(t.nazwaProducenta.view())) ++n.stars;
    if (t.cenaJednostkowaDo > 0) {
        // A row priced exactly as typed, passing every other criterion, left out by the float.
        std::string s = typed;
        std::replace(s.begin(), s.end(), ',', '.');
        double asTyped = 0;
        std::from_chars(s.data(), s.data() + s.size(), asTyped);
        TsTowar unbounded = t;
        unbounded.cenaJednostkowaDo = 0;
        const oracle::GoodsQuery unboundedQuery(unbounded, true);
        for (const auto& g : c.goods) {
            if (g.price && *g.price == asTyped && !expected.count(g.id) &&
                oracle::goods(c, g, unboundedQuery)) {
                ++n.boundaryExcluded;
                break;
            }
        }
    }
    const std::string sql = ZbudujZapytanieTowarow(t, 0) + " ORDER BY idx_NAZWA";
    std::string error;
    const auto found = SearchOracle::run(SearchOracle::dm().QWybrTow, sql, "ID_TOWARU", error);
    compare(n, "goods", describe(t, typed), sql, found, error, expected, [&](std::int64_t id) {
        const auto it = c.goodsAt.find(id);
        return it == c.goodsAt.end() ? std::string("?") : utf8(c.goods[it->second].name);
    });
}

// Runs one supplier record through the engine and the oracle and compares them.
void checkSuppliers(Counts& n, const TsDostawca& d) {
    const Catalogue& c = SearchOracle::cat();
    Ids expected;
    Ids withoutEscapes;
    const oracle::SupplierQuery query(d, true);
    const oracle::SupplierQuery queryWithoutEscapes(d, false);
    for (const auto& p : c.producers) {
        if (oracle::supplier(c, p, query)) expected.insert(p.id);
        if (oracle::supplier(c, p, queryWithoutEscapes)) withoutEscapes.insert(p.id);
    }
    if (expected != withoutEscapes) ++n.escapesDecide;
    if (oracle::bracketed(trimmed(d.nazwa.view()))) ++n.bracketed;
    if (hasStar(d.nazwa.view())) ++n.stars;
    const std::string sql = ZbudujZapytanieDostawcow(d) + " ORDER BY idx_nazwa_prod";
    std::string error;
    const auto found = SearchOracle::run(SearchOracle::dm().QWybrDost, sql, "ID_PRODUCENTA", error);
    compare(n, "suppliers", describe(d), sql, found, error, expected, [&](std::int64_t id) {
        const auto it = c.producerAt.find(id);
        return it == c.producerAt.end() ? std::string("?") : utf8(c.producers[it->second].name);
    });
}

// ------------------------------------------------------------ the oracle's own rules

TEST(SearchOracleRules, StoredFormIsUpperCaseWithPolishEscapes) {
    EXPECT_EQ(stored(cp("Łąka żółta")), "~L~AKA ~Z~O~LTA");
    EXPECT_EQ(stored(cp("Łąka"), false), cp("ŁĄKA"));
    EXPECT_EQ(stored("a~b"), "A~B");
}

TEST(SearchOracleRules, WordsOfBothForms) {
    auto texts = [](const std::string& s) {
        std::vector<std::string> out;
        for (const auto& w : oracle::words(s)) out.push_back((w.negated ? "-" : "") + w.text);
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(texts("beton+stal"), (V{"beton", "stal"}));
    EXPECT_EQ(texts("beton-stal"), (V{"beton-stal"}));
    EXPECT_EQ(texts("(beton-stal)"), (V{"beton", "-stal"}));
    EXPECT_EQ(texts("(-beton)"), (V{"-beton"}));
    EXPECT_EQ(texts("beton+ +stal"), (V{"beton", "", "stal"}));
    EXPECT_EQ(texts("beton++stal"), (V{"beton", "stal"}));
    EXPECT_EQ(texts("+beton"), (V{"beton"}));
    EXPECT_EQ(texts("beton+"), (V{"beton"}));
    EXPECT_EQ(texts("beton++"), (V{"beton", ""}));
    EXPECT_EQ(texts("a\"b c\""), (V{"a", "b c"}));
    EXPECT_EQ(texts("()"), (V{""}));
    EXPECT_EQ(texts("(beton-)"), (V{"beton", "-"}));
    EXPECT_EQ(texts("(beton+)"), (V{"beton"}));
    EXPECT_EQ(texts("(a+-b-+c)"), (V{"a", "-b", "-c"}));
}

TEST(SearchOracleRules, MatchingOfNamesPrefixesAndLike) {
    using oracle::Column;
    const std::string name = cp("Pustak ceramiczny (pióro + wpust)");
    EXPECT_TRUE(oracle::text(name, "CERAM", Column::Name));
    EXPECT_TRUE(oracle::text(name, "pus*ram", Column::Name));
    EXPECT_TRUE(oracle::text(name, "ram*pus", Column::Name));  // "wPUSt"
    EXPECT_FALSE(oracle::text(name, "ram*tak", Column::Name));
    EXPECT_TRUE(oracle::text(name, "pus*ram", Column::NameFromStart));
    EXPECT_FALSE(oracle::text(name, "ceram", Column::NameFromStart));
    // "Ó" is stored as "~O": a word without the mark finds what follows it only.
    EXPECT_FALSE(oracle::text(name, "PIORO", Column::Name));
    EXPECT_TRUE(oracle::text(name, "ORO", Column::Name));
    EXPECT_TRUE(oracle::text(cp("Ściana"), "sciana", Column::Name));
    EXPECT_FALSE(oracle::text(cp("Ściana"), "sciana", Column::Name, false));
    EXPECT_TRUE(oracle::text(cp("Ściana"), cp("ŚCIANA"), Column::Name, false));
    EXPECT_FALSE(oracle::text(name, "(pustak-wpust)", Column::Name));
    EXPECT_TRUE(oracle::text(name, "(pustak-beton)", Column::Name));
    EXPECT_TRUE(oracle::text(name, "beton+wpust", Column::Name));
    const Value null;
    EXPECT_FALSE(oracle::passes(oracle::prepare("+", Column::Name), null));
    EXPECT_FALSE(oracle::passes(oracle::prepare("(-beton)", Column::Prefix), null));
    EXPECT_TRUE(oracle::passes(oracle::prepare("   ", Column::Name), null));
    EXPECT_TRUE(oracle::text(cp("Łódź"), "~l", Column::Prefix));
    EXPECT_FALSE(oracle::text(cp("Łódź"), "l", Column::Prefix));
    EXPECT_TRUE(oracle::text(cp("1*5"), "1*", Column::Prefix));
    EXPECT_FALSE(oracle::text(cp("152"), "1*", Column::Prefix));
    EXPECT_TRUE(oracle::like(cp("Beton ŁUPANY"), cp("%łup%")));
    EXPECT_TRUE(oracle::like("KNR 2-02 0126-03", "%2-02%01_6%"));
    EXPECT_FALSE(oracle::like("KNR 2-02 0126-03", "%2-02%01_7%"));
    EXPECT_TRUE(oracle::like("100% ", "%0_ %"));
    EXPECT_TRUE(oracle::like("", "%%"));
    EXPECT_FALSE(oracle::like("ab", "%abc%"));
}

// ------------------------------------------------------------ the goods search

TEST_F(SearchOracle, GoodsFoundAsTheOracleSays) {
    const Catalogue& c = cat();
    std::vector<const std::string*> goodsNames;
    std::vector<const std::string*> etos;
    std::vector<const std::string*> producerNames;
    std::vector<const std::string*> towns;
    for (const auto& g : c.goods) {
        goodsNames.push_back(&g.name);
        etos.push_back(&g.eto);
    }
    for (const auto& p : c.producers) {
        producerNames.push_back(&p.name);
        towns.push_back(&p.town);
    }

    // Hand-picked records first: the documented corners, then random ones.
    struct Fixed {
        const char* name;
        bool fromStart;
        const char* eto;
        const char* price;
        const char* type;
    };
    const std::vector<Fixed> fixed = {
        {"", false, "", "", ""},
        {"pustak", false, "", "", ""},
        {"pustak+cegła", false, "", "", ""},
        {"(pustak-P+W)", false, "", "", ""},
        {"(-pustak)", false, "", "", "M"},
        {"pustak-P", false, "", "", ""},
        {"pustak+ +zzz", false, "", "", "S"},
        {"()", false, "", "", ""},
        {"   ", false, "16", "", ""},
        {"%", false, "", "", ""},
        {"_", false, "", "", ""},
        {"CW_50", false, "", "", ""},
        {"0,5%", false, "", "", ""},
        {"\"Szybki Chwyt\"", false, "", "", ""},
        {"'Biała", false, "", "", ""},
        {"sciany", false, "", "", ""},
        {"ą", false, "", "", ""},
        {"a", true, "", "", ""},
        {"PUSTAK*CM", true, "", "", ""},
        {"*wpust", true, "", "", ""},
        {"", false, "15*", "", ""},
        {"", false, "1", "12,70", ""},
        {"", false, "", "12,7", "M"},
        {"", false, "", "150", "S"},
        {"", false, "", "0", ""},
        {"[", false, "", "", ""},
        {"]", false, "", "", ""},
        {"^", false, "", "", ""},
        {"~a", false, "", "", ""},
        {"*", false, "", "", ""},
        {"(pustak-)", false, "", "", ""},
        {"pustak++", false, "", "", ""},
        {"(", false, "", "", ""},
        {")(", false, "", "", ""},
        {"(\")", false, "", "", ""},
        {"(-)", false, "", "", ""},
        {"(+)", false, "", "", ""},
        {"-", false, "", "", ""},
        {"\"\"", false, "", "", "S"},
    };

    Counts n;
    Rng rng(20260417);
    for (int k = 0; k < kGoodsCases; ++k) {
        TsTowar t;
        std::string typed;
        if (k < static_cast<int>(fixed.size())) {
            const Fixed& f = fixed[static_cast<std::size_t>(k)];
            t.nazwa.setUtf8(f.name);
            t.odPoczatkuNazwy = f.fromStart;
            t.indeksEto.setUtf8(f.eto);
            typed = f.price;
            t.typRms.setUtf8(f.type);
        } else {
            if (rng.chance(75)) {
                t.odPoczatkuNazwy = rng.chance(20);
                t.nazwa.setBytes(nameCriterion(rng, goodsNames, t.odPoczatkuNazwy));
            }
            if (rng.chance(20)) t.indeksEto.setBytes(prefixCriterion(rng, etos, 7));
            if (rng.chance(25)) typed = typedPrice(rng, c);
            const int type = rng.below(100);
            if (type < 30) t.typRms.setUtf8("M");
            if (type >= 30 && type < 45) t.typRms.setUtf8("S");
            if (rng.chance(15)) t.idGrupy = rng.between(1, static_cast<int>(c.groups.size()) + 1);
            if (rng.chance(15)) t.idWojewodztwa = rng.between(1, static_cast<int>(c.provinces.size()));
            if (rng.chance(15)) t.nazwaProducenta.setBytes(nameCriterion(rng, producerNames, false));
            if (rng.chance(15)) t.miejscowosc.setBytes(prefixCriterion(rng, towns, 6));
        }
        t.cenaJednostkowaDo = priceBound(typed);

        checkGoods(n, t, typed);
    }
    std::cout << "[ goods    ] " << n << "\n";
    EXPECT_EQ(n.mismatches, 0);
    // The cases must really exercise the rules, not just agree on nothing.
    EXPECT_GT(n.nonEmpty, n.cases / 3);
    EXPECT_GT(n.empty, n.cases / 20);
    EXPECT_GT(n.escapesDecide, 20);
    EXPECT_GT(n.boundaryExcluded, 5);
    EXPECT_GT(n.bracketed, 100);
    EXPECT_GT(n.stars, 100);
}

// A row priced exactly at the typed bound is left out when the float falls
// below the decimal, and kept by the next cent.
TEST_F(SearchOracle, PriceBoundTypedWithCommaIsTheFloatsExactValue) {
    const Catalogue& c = cat();
    const GoodsRow* exact = nullptr;
    for (const auto& g : c.goods) {
        if (!g.price) continue;
        if (static_cast<double>(static_cast<float>(*g.price)) < *g.price) {
            exact = &g;
            break;
        }
    }
    ASSERT_NE(exact, nullptr);
    std::string typed = exact->priceText;
    std::replace(typed.begin(), typed.end(), '.', ',');
    TsTowar t;
    t.cenaJednostkowaDo = priceBound(typed);
    std::string error;
    const auto found =
        run(dm().QWybrTow, ZbudujZapytanieTowarow(t, 0) + " ORDER BY idx_NAZWA", "ID_TOWARU", error);
    ASSERT_TRUE(error.empty()) << error;
    EXPECT_EQ(std::count(found.begin(), found.end(), exact->id), 0) << "price " << exact->priceText;
    // Every listed row is priced at most at the bound, and every cheaper one is listed.
    const Ids got(found.begin(), found.end());
    for (const auto& g : c.goods) {
        const bool cheaper = g.price && *g.price < *exact->price;
        EXPECT_EQ(got.count(g.id), cheaper ? 1U : 0U) << "goods " << g.id << " at " << g.priceText;
    }
    // Kept when the bound is a cent higher.
    const double higher = *exact->price + 0.01;
    t.cenaJednostkowaDo = static_cast<float>(higher);
    const auto more = run(dm().QWybrTow, ZbudujZapytanieTowarow(t, 0), "ID_TOWARU", error);
    EXPECT_EQ(std::count(more.begin(), more.end(), exact->id), 1);
}

// ------------------------------------------------------------ the supplier search

TEST_F(SearchOracle, SuppliersFoundAsTheOracleSays) {
    const Catalogue& c = cat();
    std::vector<const std::string*> names;
    std::vector<const std::string*> towns;
    std::vector<const std::string*> codes;
    for (const auto& p : c.producers) {
        names.push_back(&p.name);
        towns.push_back(&p.town);
        codes.push_back(&p.code);
    }
    Counts n;
    Rng rng(7031);
    for (int k = 0; k < kSupplierCases; ++k) {
        TsDostawca d;
        if (k == 0) {
            // Every producer once, whatever its number of branches.
        } else if (k == 1) {
            d.nazwa.setUtf8("(Sp. z o.o.-Polska)");
            d.idBranzy = 8;
        } else {
            if (rng.chance(60)) d.nazwa.setBytes(nameCriterion(rng, names, false));
            if (rng.chance(10)) d.kodProducenta.setBytes(prefixCriterion(rng, codes, 6));
            if (rng.chance(30)) d.miejscowosc.setBytes(prefixCriterion(rng, towns, 6));
            if (rng.chance(25)) d.idWojewodztwa = rng.between(1, static_cast<int>(c.provinces.size()));
            if (rng.chance(35)) d.idBranzy = rng.between(1, static_cast<int>(c.branches.size()) + 1);
        }
        if (k == 0) {
            std::string error;
            const auto all = run(dm().QWybrDost, ZbudujZapytanieDostawcow(d), "ID_PRODUCENTA", error);
            EXPECT_EQ(all.size(), c.producers.size()) << error;
        }
        checkSuppliers(n, d);
    }
    std::cout << "[ suppliers] " << n << "\n";
    EXPECT_EQ(n.mismatches, 0);
    EXPECT_GT(n.nonEmpty, n.cases / 3);
    EXPECT_GT(n.empty, n.cases / 20);
    EXPECT_GT(n.escapesDecide, 5);
    EXPECT_GT(n.bracketed, 30);
    EXPECT_GT(n.stars, 30);
}

// Every prefix of every town, producer code and ETO index, and every character
// of the names searched alone: each stored byte the scrambling can give, in each
// position that occurs, goes through the statement and its escaping.
TEST_F(SearchOracle, EveryPrefixAndEveryCharacterSearchedAlone) {
    const Catalogue& c = cat();
    std::set<std::string> towns;
    std::set<std::string> codes;
    std::set<std::string> etos;
    std::set<char> goodsChars;
    std::set<char> producerChars;
    for (const auto& p : c.producers) {
        for (std::size_t len = 1; len <= p.town.size(); ++len) towns.insert(p.town.substr(0, len));
        for (std::size_t len = 1; len <= p.code.size(); ++len) codes.insert(p.code.substr(0, len));
        producerChars.insert(p.name.begin(), p.name.end());
    }
    for (const auto& g : c.goods) {
        for (std::size_t len = 1; len <= 4 && len <= g.eto.size(); ++len) etos.insert(g.eto.substr(0, len));
        goodsChars.insert(g.name.begin(), g.name.end());
    }
    Counts n;
    for (const std::string& prefix : towns) {
        for (const std::string& typed : {prefix, cp1250::lower(prefix), asEscapes(prefix)}) {
            TsDostawca d;
            d.miejscowosc.setBytes(typed);
            checkSuppliers(n, d);
        }
    }
    for (const std::string& prefix : codes) {
        TsDostawca d;
        d.kodProducenta.setBytes(cp1250::lower(prefix));
        checkSuppliers(n, d);
    }
    for (char ch : producerChars) {
        TsDostawca d;
        d.nazwa.setBytes(std::string(1, ch));
        checkSuppliers(n, d);
    }
    for (const std::string& prefix : etos) {
        TsTowar t;
        t.indeksEto.setBytes(prefix);
        checkGoods(n, t, "");
    }
    for (char ch : goodsChars) {
        TsTowar t;
        t.nazwa.setBytes(std::string(1, ch));
        checkGoods(n, t, "");
        t.odPoczatkuNazwy = true;
        checkGoods(n, t, "");
    }
    std::cout << "[ sweep    ] " << n << "\n";
    EXPECT_EQ(n.mismatches, 0);
    EXPECT_GT(n.nonEmpty, n.cases / 2);
    EXPECT_GT(n.escapesDecide, 10);
}

// ------------------------------------------------------------ the work prices

TEST_F(SearchOracle, WorkPricesFoundAsTheOracleSays) {
    const Catalogue& c = cat();
    TCSEngine engine;
    engine.SetRunner([](const std::string& statement) { return dm().WykonajScalone(statement); });
    const std::vector<std::string> fixedOpis = {
        "",       "beton", "BETON", "ł",     "Ł",     "%",   "_",   "'cienka spoina'",
        "tzw. '", "100%",  "g-k",   "ścian", "SCIAN", "m_r", "a%b", " "};
    const std::vector<std::string> noise = {"'", "''", "%%",    "_",   "__", "ą",
                                            "Ł", "ó",  "(tzw.", "0,5", "*",  "-"};
    Counts n;
    Rng rng(99173);
    for (int k = 0; k < kWorkCases; ++k) {
        std::string opis;  // Windows-1250
        std::string knr;
        if (k < static_cast<int>(fixedOpis.size())) {
            opis = cp(fixedOpis[static_cast<std::size_t>(k)]);
            if (k == 1) knr = cp("KNR 2-02");
        } else {
            const WorkRow& w = c.works[static_cast<std::size_t>(rng.below(static_cast<int>(c.works.size())))];
            const int kind = rng.below(100);
            if (kind < 40) {
                opis = piece(rng, w.nazwa, 2, 12);
            } else if (kind < 50) {
                opis = piece(rng, w.nazwa, 1, 4) + "%" + piece(rng, w.nazwa, 1, 4);
            } else if (kind < 60) {
                opis = piece(rng, w.nazwa, 3, 8);
                opis[static_cast<std::size_t>(rng.below(static_cast<int>(opis.size())))] = '_';
            } else if (kind < 67) {
                opis = withoutMarks(piece(rng, w.nazwa, 3, 10));
            } else if (kind < 80) {
                opis = rng.pick(noise);
                if (rng.chance(50)) opis = piece(rng, w.nazwa, 1, 4) + opis;
            }
            opis = mixedCase(rng, opis);
            const int knrKind = rng.below(100);
            if (knrKind < 25) {
                knr = piece(rng, w.podstawa, 1, 8);
            } else if (knrKind < 40) {
                knr = rng.pick(c.knrKeys);
            } else if (knrKind < 45) {
                knr = mixedCase(rng, rng.pick(std::vector<std::string>{"knr%01", "0_-0", "'", "2-0_ 0%"}));
            }
        }
        engine.Reset();
        engine.AddLike("Nazwa", utf8(opis), true);
        engine.AddLike("Podstawa", utf8(knr), true);
        const int count = engine.Execute();
        std::string error = count < 0 ? dm().scaloneError() : std::string();
        std::vector<std::int64_t> found;
        if (count >= 0) {
            const int f = dm().Qscalone.fieldIndex("id_ceny");
            for (int r = 0; r < dm().Qscalone.recordCount(); ++r)
                found.push_back(dm().Qscalone.cell(r, f).asInt());
            if (count != static_cast<int>(found.size())) error = "Execute gave another count than the rows";
        }
        Ids expected;
        for (const auto& w : c.works)
            if (oracle::work(w, opis, knr)) expected.insert(w.id);
        compare(n, "work prices", "opis=[" + utf8(opis) + "] knr=[" + utf8(knr) + "]", engine.Statement(),
                found, error, expected, [&](std::int64_t id) {
                    for (const auto& w : c.works)
                        if (w.id == id) return utf8(w.podstawa) + " " + utf8(w.nazwa);
                    return std::string("?");
                });
    }
    std::cout << "[ works    ] " << n << "\n";
    EXPECT_EQ(n.mismatches, 0);
    EXPECT_GT(n.nonEmpty, n.cases / 3);
    EXPECT_GT(n.empty, n.cases / 20);
}

// ------------------------------------------------------------ the order of the lists

// The goods lists come in the order of their name ranks, which is the Polish
// alphabetical order of the names, and show the names as the sources give them.
TEST_F(SearchOracle, GoodsListedInPolishNameOrder) {
    const Catalogue& c = cat();
    std::vector<TsTowar> searches(5);
    searches[1].nazwa.setUtf8("a");
    searches[2].typRms.setUtf8("S");
    searches[3].idGrupy = 4;
    searches[4].nazwa.setUtf8("(ł-cement)");
    for (const TsTowar& t : searches) {
        data::DataSet& set = dm().QWybrTow;
        std::string error;
        ASSERT_TRUE(set.open(ZbudujZapytanieTowarow(t, 0) + " ORDER BY idx_NAZWA", error)) << error;
        ASSERT_GT(set.recordCount(), 1);
        const int id = set.fieldIndex("ID_TOWARU");
        const int rank = set.fieldIndex("idx_nazwa");
        const int name = set.fieldIndex("TOWAR.NAZWA");
        ASSERT_TRUE(id >= 0 && rank >= 0 && name >= 0);
        std::string before;
        for (int r = 0; r < set.recordCount(); ++r) {
            const auto it = c.goodsAt.find(set.cell(r, id).asInt());
            ASSERT_NE(it, c.goodsAt.end());
            const std::string shown = cp(set.displayText(r, name));
            EXPECT_EQ(shown, trimmed(c.goods[it->second].name)) << "goods " << it->first;
            if (r > 0) {
                EXPECT_LT(set.cell(r - 1, rank).asInt(), set.cell(r, rank).asInt());
                EXPECT_LE(polish::compare(before, shown), 0)
                    << "\"" << utf8(before) << "\" listed before \"" << utf8(shown) << "\"";
            }
            before = shown;
        }
    }
}

TEST_F(SearchOracle, SuppliersListedInPolishNameOrder) {
    const Catalogue& c = cat();
    std::vector<TsDostawca> searches(3);
    searches[1].idBranzy = 5;
    searches[2].nazwa.setUtf8("sp. z o.o.");
    for (const TsDostawca& d : searches) {
        data::DataSet& set = dm().QWybrDost;
        std::string error;
        ASSERT_TRUE(set.open(ZbudujZapytanieDostawcow(d) + " ORDER BY idx_nazwa_prod", error)) << error;
        ASSERT_GT(set.recordCount(), 1);
        const int id = set.fieldIndex("ID_PRODUCENTA");
        const int rank = set.fieldIndex("idx_nazwa_prod");
        const int name = set.fieldIndex("PRODUCENT.NAZWA");
        ASSERT_TRUE(id >= 0 && rank >= 0 && name >= 0);
        std::string before;
        for (int r = 0; r < set.recordCount(); ++r) {
            const auto it = c.producerAt.find(set.cell(r, id).asInt());
            ASSERT_NE(it, c.producerAt.end());
            const std::string shown = cp(set.displayText(r, name));
            EXPECT_EQ(shown, trimmed(c.producers[it->second].name)) << "producer " << it->first;
            if (r > 0) {
                EXPECT_LT(set.cell(r - 1, rank).asInt(), set.cell(r, rank).asInt());
                EXPECT_LE(polish::compare(before, shown), 0)
                    << "\"" << utf8(before) << "\" listed before \"" << utf8(shown) << "\"";
            }
            before = shown;
        }
    }
}

}  // namespace
}  // namespace kmx::catalog
