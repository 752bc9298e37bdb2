// The export row walk on a small demo catalogue: which rows reach which file,
// progress and cancel, the list's handlers and cursor, the private temporary
// folder, the unit-price file. Expected values come from the demo's CSV
// sources and the price-list rules, never from the writer.

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../core/openssl_reference.h"
#include "catalog/csv.h"
#include "catalog/demo.h"
#include "core/cp1250.h"
#include "core/criteria.h"
#include "core/kmx_zip.h"
#include "core/last_error.h"
#include "core/pricelist.h"
#include "core/query_builder.h"
#include "core/settings_file.h"
#include "data/tdm.h"
#include "export/export_rows.h"

namespace kmx::exportrows {
namespace {

namespace fs = std::filesystem;
using data::DataSet;
using pricelist::Version;

constexpr int kDemoGoods = 200;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> split(const std::string& s, const std::string& sep) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (true) {
        const std::size_t e = s.find(sep, at);
        if (e == std::string::npos) {
            out.push_back(s.substr(at));
            return out;
        }
        out.push_back(s.substr(at, e - at));
        at = e + sep.size();
    }
}

// A CSV table of the demo's sources, rows by their first column (the key).
struct Table {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
    std::map<std::string, std::size_t> byKey;

    const std::string& at(std::size_t row, const std::string& column) const {
        const auto it = std::find(header.begin(), header.end(), column);
        if (it == header.end()) throw std::runtime_error("no column " + column);
        return rows[row][static_cast<std::size_t>(it - header.begin())];
    }
    const std::string& of(const std::string& key, const std::string& column) const {
        return at(byKey.at(key), column);
    }
};

Table readTable(const fs::path& file) {
    std::vector<catalog::CsvRecord> recs;
    std::string error;
    if (!catalog::parseCsv(readFile(file), recs, error))
        throw std::runtime_error(file.string() + ": " + error);
    Table t;
    t.header = recs.at(0).fields;
    for (std::size_t i = 1; i < recs.size(); ++i) {
        t.byKey[recs[i].fields.at(0)] = t.rows.size();
        t.rows.push_back(recs[i].fields);
    }
    return t;
}

// A field as the price list writes it: Windows-1250, blanks trimmed, ";" a blank.
std::string field(const std::string& utf8, bool upper = false) {
    std::string s = cp1250::fromUtf8(utf8);
    if (upper) s = cp1250::upper(s);
    std::replace(s.begin(), s.end(), ';', ' ');
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// The rows that yield no goods line: an index that is not a whole number or
// is zero, a material with fewer than 7 characters, equipment with fewer than 5.
bool yieldsLine(const std::string& kind, const std::string& eto) {
    if (eto.empty() || !std::all_of(eto.begin(), eto.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    if (eto.find_first_not_of('0') == std::string::npos) return false;
    if (kind == "M" && eto.size() < 7) return false;
    if (kind == "S" && eto.size() < 5) return false;
    return true;
}

// The demo catalogue, made once for the whole program and removed at exit.
struct Demo {
    fs::path dir;
    Table goods, producers, units, vat, currencies, provinces, works;

    Demo() {
        dir = fs::temp_directory_path() / ("kmx_export_tests_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        catalog::DemoOptions o;
        o.goods = kDemoGoods;
        o.password = "eksport-demo";
        const catalog::DemoResult r = catalog::writeDemo(dir, o);
        if (!r.ok) throw std::runtime_error("demo: " + r.error);
        goods = readTable(dir / "src" / "TOWAR.csv");
        producers = readTable(dir / "src" / "PRODUCENT.csv");
        units = readTable(dir / "src" / "JEDNOSTKA_MIARY.csv");
        vat = readTable(dir / "src" / "STAWKA_VAT.csv");
        currencies = readTable(dir / "src" / "WALUTA.csv");
        provinces = readTable(dir / "src" / "WOJEWODZTWO.csv");
        works = readTable(dir / "src" / "ceny_robot.csv");
    }
    ~Demo() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // Goods rows of a kind that yield a line, optionally of one producer.
    int linesOfKind(const std::string& kind, const std::string& producer = {}) const {
        int n = 0;
        for (std::size_t i = 0; i < goods.rows.size(); ++i) {
            if (goods.at(i, "TYP_RMS") != kind) continue;
            if (!producer.empty() && goods.at(i, "ID_PRODUCENTA") != producer) continue;
            if (yieldsLine(kind, goods.at(i, "INDEKS_ETO"))) ++n;
        }
        return n;
    }

    // The supplier line of a producer worked out from its CSV row.
    std::string supplierLine(const std::string& id) const {
        auto p = [&](const std::string& c) { return producers.of(id, c); };
        const std::vector<std::string> f = {field(p("KOD_PRODUCENTA"), true),
                                            field(p("NIP")),
                                            field(p("NAZWA")),
                                            field(p("KOD_POCZTOWY")),
                                            field(p("ULICA_DOM")),
                                            field(p("MIEJSCOWOSC"), true),
                                            field(provinces.of(p("ID_WOJEWODZTWA"), "NAZWA")),
                                            field(p("TELEFON1")),
                                            field(p("FAKS")),
                                            field(p("EMAIL_PODSTAWOWY")),
                                            field(p("ADRES_WWW"))};
        std::string line = "#kmxp#";
        for (std::size_t i = 0; i < f.size(); ++i) line += (i ? ";" : "") + f[i];
        return line;
    }

    // The 2.1 goods line of a goods row, the price in its shortest form.
    // PKWiU is left out (an empty field) when `withPkwiu` is false.
    std::string goodsLine21(std::size_t row, bool withPkwiu = true) const {
        auto g = [&](const std::string& c) { return goods.at(row, c); };
        std::string price = g("CENA_JEDNOSTKOWA");
        if (price.find('.') != std::string::npos) {
            while (price.back() == '0') price.pop_back();
            if (price.back() == '.') price.pop_back();
        }
        const std::vector<std::string> f = {field(g("NAZWA")),
                                            field(g("INDEKS_ETO"), true),
                                            field(units.of(g("ID_JEDNOSTKI"), "KOD")),
                                            withPkwiu ? field(g("PKWIU"), true) : std::string(),
                                            price,
                                            field(vat.of(g("ID_STAWKI_VAT"), "KOD")),
                                            field(producers.of(g("ID_PRODUCENTA"), "KOD_PRODUCENTA"), true),
                                            g("TYP_RMS"),
                                            cp1250::fromUtf8(currencies.of(g("ID_WALUTY"), "KOD")),
                                            field(g("SYMBOL"), true)};
        std::string line;
        for (std::size_t i = 0; i < f.size(); ++i) line += (i ? ";" : "") + f[i];
        return line;
    }
};

const Demo& demo() {
    static const Demo d;
    return d;
}

// What the encoding keeps of a record: Polish letters survive, other bytes
// outside printable ASCII come back as blanks.
std::string asEncoded(const std::string& cp) {
    static const std::string polish = cp1250::fromUtf8("ąężźłóćńśĄĘŻŹŁÓĆŃŚ");
    std::string out = cp;
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 32 || u > 126) && polish.find(c) == std::string::npos) c = ' ';
    }
    return out;
}

// A 2.x goods record with its PKWiU field (the fourth) emptied.
std::string withoutPkwiu(const std::string& record) {
    std::vector<std::string> f = split(record, ";");
    if (f.size() > 3) f[3].clear();
    std::string out;
    for (std::size_t i = 0; i < f.size(); ++i) out += (i ? ";" : "") + f[i];
    return out;
}

// A price-list file read back: unpacked when zipped, decoded.
struct ReadBack {
    pricelist::DecodedPriceList list;
    std::vector<std::string> suppliers;  // "#kmxp#..." records, in order
    std::vector<std::string> goods;      // the other records, in order
    bool suppliersFirst = true;
};

ReadBack readPriceList(const fs::path& file) {
    ReadBack rb;
    std::string body, error;
    if (kmxzip::IsZip(file.string())) {
        std::string member;
        EXPECT_TRUE(kmxzip::UnpackSingle(file.string(), body, member, error)) << error;
        EXPECT_EQ(member, "kmx.kmx");
    } else {
        body = readFile(file);
    }
    EXPECT_TRUE(pricelist::DecodePriceList(body, rb.list, error)) << file << ": " << error;
    for (const std::string& r : rb.list.records) {
        if (r.rfind("#kmxp#", 0) == 0) {
            if (!rb.goods.empty()) rb.suppliersFirst = false;
            rb.suppliers.push_back(r);
        } else {
            rb.goods.push_back(r);
        }
    }
    return rb;
}

// Scratch folder of one test, removed afterwards.
class Scratch {
public:
    explicit Scratch(const fs::path& base = fs::temp_directory_path()) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = base / ("kmx_export_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    fs::path operator/(const std::string& n) const { return path_ / n; }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

class ExportRows : public ::testing::Test {
protected:
    void SetUp() override {
        const Demo& d = demo();
        const UstawieniaResult s = CzytajUstawienia(d.dir / "kmx.iif");
        ASSERT_TRUE(s.ok) << s.error;
        ASSERT_FALSE(dm.PolaczZBaza(d.dir / "kmx.dat", s.password) || dm.OtworzTabele())
            << OstatniBlad().text;
    }

    void openShowAll() {
        std::string error;
        ASSERT_TRUE(dm.QWybrTow.open(ZbudujZapytanieTowarow(TsTowar{}, 0) + " ORDER BY idx_NAZWA", error))
            << error;
        ASSERT_EQ(dm.QWybrTow.recordCount(), static_cast<int>(demo().goods.rows.size()));
    }

    // The CSV row of a list row, through its goods id.
    std::size_t csvRow(const DataSet& ds, int viewRow) const {
        return demo().goods.byKey.at(std::to_string(ds.cell(viewRow, ds.fieldIndex("ID_TOWARU")).asInt()));
    }

    data::TDM dm;
};

// ---------------------------------------------------------------------------
// The goods search list

TEST_F(ExportRows, ShowAllWritesEveryYieldingRowOfEachKindWithItsProducersFirst) {
    openShowAll();
    Scratch s;
    PriceListJob job;
    job.list = &dm.QWybrTow;
    job.version = Version::V21;
    job.materialsTarget = (s / "m.kmx").string();
    job.equipmentTarget = (s / "s.kmx").string();
    const Result r = WritePriceLists(job);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_FALSE(r.cancelled);

    const Demo& d = demo();
    const int wantM = d.linesOfKind("M");
    const int wantS = d.linesOfKind("S");
    ASSERT_GT(wantM, 0);
    ASSERT_GT(wantS, 0);
    EXPECT_EQ(r.written, wantM + wantS);

    for (const std::string kind : {"M", "S"}) {
        SCOPED_TRACE(kind);
        const ReadBack rb = readPriceList(s / (kind == "M" ? "m.kmx" : "s.kmx"));
        EXPECT_EQ(rb.list.version, Version::V21);
        ASSERT_EQ(rb.list.headers.size(), 2u);
        EXPECT_EQ(rb.list.headers[0].rfind(std::string("KMX - wersja 2.1 - ") +
                                               (kind == "M" ? "Materialy" : "Sprzet") + " ceny dostawcow - ",
                                           0),
                  0u);
        EXPECT_TRUE(rb.suppliersFirst);

        // Every goods row of the kind, worked out from the sources (the order
        // is the list's, so compare sorted).
        std::vector<std::string> want;
        std::set<std::string> producers;
        for (std::size_t i = 0; i < d.goods.rows.size(); ++i) {
            if (d.goods.at(i, "TYP_RMS") != kind) continue;
            producers.insert(d.goods.at(i, "ID_PRODUCENTA"));
            if (yieldsLine(kind, d.goods.at(i, "INDEKS_ETO")))
                want.push_back(asEncoded(d.goodsLine21(i, false)));
        }
        std::vector<std::string> got;
        for (const std::string& g : rb.goods) got.push_back(withoutPkwiu(g));
        std::sort(want.begin(), want.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, want);

        // One line for each producer with goods of the kind, none twice.
        std::vector<std::string> wantSup;
        for (const std::string& id : producers) wantSup.push_back(asEncoded(d.supplierLine(id)));
        std::vector<std::string> gotSup = rb.suppliers;
        std::sort(wantSup.begin(), wantSup.end());
        std::sort(gotSup.begin(), gotSup.end());
        EXPECT_EQ(gotSup, wantSup);
    }
}

// A large list is read in the order of its key; the files come out the same,
// lines and producers in the list's order, also when the list is sorted.
TEST_F(ExportRows, ReadingInKeyOrderWritesTheSameFiles) {
    openShowAll();
    ASSERT_TRUE(dm.QWybrTow.keyed());
    Scratch s;
    for (bool sorted : {false, true}) {
        SCOPED_TRACE(sorted ? "sorted by the producer's name" : "list order");
        if (sorted) {
            ASSERT_TRUE(dm.QWybrTow.sort(dm.QWybrTow.fieldIndex("idx_nazwa_prod"), false));
        }
        std::vector<ReadBack> got;
        for (int threshold : {kDefaultKeyOrderRows, 0}) {
            SetKeyOrderRows(threshold);
            PriceListJob job;
            job.list = &dm.QWybrTow;
            job.version = Version::V21;
            job.materialsTarget = (s / "m.kmx").string();
            const Result r = WritePriceLists(job);
            SetKeyOrderRows(kDefaultKeyOrderRows);
            ASSERT_TRUE(r.ok) << r.error;
            EXPECT_EQ(r.written, demo().linesOfKind("M"));
            got.push_back(readPriceList(s / "m.kmx"));
        }
        ASSERT_GT(got[0].goods.size(), 10u);
        EXPECT_EQ(got[1].goods, got[0].goods);
        EXPECT_EQ(got[1].suppliers, got[0].suppliers);
    }
}

// The one list handed to a cost-estimating program: rows of every kind, the
// kind string only naming the header.
TEST_F(ExportRows, TheCombinedListHoldsEveryKindUnderTheHeaderOfTheKindString) {
    openShowAll();
    Scratch s;
    const Demo& d = demo();
    struct Case {
        const char* kind;
        const char* header;
    } cases[] = {
        {"", "Materialy i Sprzet"}, {"MS", "Materialy i Sprzet"}, {"M", "Materialy"}, {"S", "Sprzet"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        CombinedPriceListJob job;
        job.list = &dm.QWybrTow;
        job.version = Version::V20;
        job.kind = c.kind;
        job.target = (s / (std::string("KMX_d_") + c.kind + ".kmx")).string();
        const Result r = WriteCombinedPriceList(job);
        ASSERT_TRUE(r.ok) << r.error;
        const ReadBack rb = readPriceList(job.target);
        EXPECT_EQ(rb.list.version, Version::V20);
        ASSERT_FALSE(rb.list.headers.empty());
        EXPECT_EQ(
            rb.list.headers[0].rfind(std::string("KMX - wersja 2.0 - ") + c.header + " ceny dostawcow - ", 0),
            0u)
            << rb.list.headers[0];
        EXPECT_TRUE(rb.suppliersFirst);
        // Every yielding row of every kind, each producer once.
        std::set<std::string> producers;
        int want = 0;
        for (std::size_t i = 0; i < d.goods.rows.size(); ++i) {
            producers.insert(d.goods.at(i, "ID_PRODUCENTA"));
            if (yieldsLine(d.goods.at(i, "TYP_RMS"), d.goods.at(i, "INDEKS_ETO"))) ++want;
        }
        EXPECT_EQ(r.written, want);
        EXPECT_EQ(static_cast<int>(rb.goods.size()), want);
        EXPECT_EQ(rb.suppliers.size(), producers.size());
        EXPECT_EQ(std::set<std::string>(rb.suppliers.begin(), rb.suppliers.end()).size(),
                  rb.suppliers.size());
    }
    // Without a target nothing is written and the failure is said.
    CombinedPriceListJob none;
    none.list = &dm.QWybrTow;
    EXPECT_FALSE(WriteCombinedPriceList(none).ok);
}

// The classification is stored scrambled like the other mode-2 texts; the
// file must carry it readable, as the goods details show it.
TEST_F(ExportRows, PkwiuIsWrittenDescrambled) {
    openShowAll();
    Scratch s;
    PriceListJob job;
    job.list = &dm.QWybrTow;
    job.version = Version::V20;
    job.materialsTarget = (s / "m.kmx").string();
    ASSERT_TRUE(WritePriceLists(job).ok);
    const Demo& d = demo();
    std::multiset<std::string> want;
    for (std::size_t i = 0; i < d.goods.rows.size(); ++i) {
        if (d.goods.at(i, "TYP_RMS") == "M" && yieldsLine("M", d.goods.at(i, "INDEKS_ETO")))
            want.insert(field(d.goods.at(i, "PKWIU"), true));
    }
    std::multiset<std::string> got;
    for (const std::string& g : readPriceList(s / "m.kmx").goods) got.insert(split(g, ";").at(3));
    EXPECT_EQ(got, want);
}

TEST_F(ExportRows, ProgressIsCalledOncePerRowAndACancelKeepsTheRowsWrittenSoFar) {
    openShowAll();
    const int total = dm.QWybrTow.recordCount();
    const Demo& d = demo();
    for (const Version v : {Version::V10, Version::V21}) {
        for (const int stopAt : {1, 37, total}) {
            SCOPED_TRACE(std::string(pricelist::versionText(v)) + " stop at " + std::to_string(stopAt));
            Scratch s;
            std::vector<std::pair<int, int>> calls;
            PriceListJob job;
            job.list = &dm.QWybrTow;
            job.version = v;
            job.materialsTarget = (s / "m.kmx").string();
            job.equipmentTarget = (s / "s.kmx").string();
            job.progress = [&](int done, int all) {
                calls.emplace_back(done, all);
                return done < stopAt;
            };
            const Result r = WritePriceLists(job);
            ASSERT_TRUE(r.ok) << r.error;
            // The last row walked asks to stop too: that ends the walk all the same.
            EXPECT_EQ(r.cancelled, true);
            ASSERT_EQ(calls.size(), static_cast<std::size_t>(stopAt));
            for (int i = 0; i < stopAt; ++i)
                EXPECT_EQ(calls[static_cast<std::size_t>(i)], std::make_pair(i + 1, total));

            // The rows walked so far, from the sources.
            int wantM = 0, wantS = 0;
            std::set<std::string> prodM, prodS;
            for (int row = 0; row < stopAt; ++row) {
                const std::size_t c = csvRow(dm.QWybrTow, row);
                const std::string& kind = d.goods.at(c, "TYP_RMS");
                const bool yields = yieldsLine(kind, d.goods.at(c, "INDEKS_ETO"));
                if (kind == "M") {
                    prodM.insert(d.goods.at(c, "ID_PRODUCENTA"));
                    wantM += yields;
                } else if (kind == "S") {
                    prodS.insert(d.goods.at(c, "ID_PRODUCENTA"));
                    wantS += yields;
                }
            }
            EXPECT_EQ(r.written, wantM + wantS);
            const ReadBack m = readPriceList(s / "m.kmx");
            const ReadBack e = readPriceList(s / "s.kmx");
            EXPECT_EQ(static_cast<int>(m.goods.size()), wantM);
            EXPECT_EQ(static_cast<int>(e.goods.size()), wantS);
            EXPECT_EQ(m.suppliers.size(), prodM.size());
            EXPECT_EQ(e.suppliers.size(), prodS.size());
            EXPECT_EQ(kmxzip::IsZip((s / "m.kmx").string()), v != Version::V10);
        }
    }
}

TEST_F(ExportRows, OnlyTheChosenKindIsWrittenAndAnEmptyChoiceWritesNothing) {
    openShowAll();
    Scratch s;
    PriceListJob job;
    job.list = &dm.QWybrTow;
    job.version = Version::V20;
    job.equipmentTarget = (s / "s.kmx").string();
    Result r = WritePriceLists(job);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.written, demo().linesOfKind("S"));
    const ReadBack e = readPriceList(s / "s.kmx");
    EXPECT_EQ(e.list.version, Version::V20);
    for (const std::string& g : e.goods) EXPECT_EQ(split(g, ";").at(7), "S") << g;
    EXPECT_EQ(std::distance(fs::directory_iterator(s.path()), fs::directory_iterator()), 1);

    job.equipmentTarget.clear();
    r = WritePriceLists(job);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.written, 0);
}

// ---------------------------------------------------------------------------
// A supplier's goods list

TEST_F(ExportRows, SupplierGoodsListStartsEveryChosenFileWithTheSupplierAndUsesItsCode) {
    const Demo& d = demo();
    // The producer with the most equipment; both kinds are exported, so the
    // materials file too starts with it whether it has materials or not.
    std::string id;
    int most = 0;
    for (const auto& [key, row] : d.producers.byKey) {
        (void)row;
        if (d.linesOfKind("S", key) > most) {
            most = d.linesOfKind("S", key);
            id = key;
        }
    }
    ASSERT_FALSE(id.empty()) << "the demo has no equipment";

    std::string error;
    ASSERT_TRUE(dm.QWybrDost.open(ZbudujZapytanieDostawcow(TsDostawca{}) + " ORDER BY idx_nazwa_prod", error))
        << error;
    const int idField = dm.QWybrDost.fieldIndex("ID_PRODUCENTA");
    bool found = false;
    for (int row = 0; row < dm.QWybrDost.recordCount() && !found; ++row) {
        if (std::to_string(dm.QWybrDost.cell(row, idField).asInt()) == id) {
            found = dm.QWybrDost.moveTo(row + 1);
        }
    }
    ASSERT_TRUE(found);
    ASSERT_TRUE(dm.QWybrTowForDost.open(data::ZapytanieTowarowDostawcy(std::stol(id)), error)) << error;

    Scratch s;
    PriceListJob job;
    job.list = &dm.QWybrTowForDost;
    job.listKind = ListKind::SupplierGoods;
    job.supplierList = &dm.QWybrDost;
    job.version = Version::V21;
    job.materialsTarget = (s / "m.kmx").string();
    job.equipmentTarget = (s / "s.kmx").string();
    const Result r = WritePriceLists(job);
    ASSERT_TRUE(r.ok) << r.error;

    const std::string code = field(d.producers.of(id, "KOD_PRODUCENTA"), true);
    for (const std::string kind : {"M", "S"}) {
        SCOPED_TRACE(kind);
        const ReadBack rb = readPriceList(s / (kind == "M" ? "m.kmx" : "s.kmx"));
        ASSERT_FALSE(rb.list.records.empty());
        EXPECT_EQ(rb.list.records.front(), asEncoded(d.supplierLine(id)));
        EXPECT_EQ(rb.suppliers.size(), 1u);
        EXPECT_EQ(static_cast<int>(rb.goods.size()), d.linesOfKind(kind, id));
        for (const std::string& g : rb.goods) {
            const auto f = split(g, ";");
            ASSERT_EQ(f.size(), 10u) << g;
            EXPECT_EQ(f[6], code);
            EXPECT_EQ(f[7], kind);
        }
    }
}

// ---------------------------------------------------------------------------
// Kinds

TEST_F(ExportRows, KindsComeFromTheRestrictionOrFromTheRowsWithoutMovingTheCursor) {
    openShowAll();
    dm.QWybrTow.moveTo(5);
    auto kinds = [&](std::string_view restriction, const DataSet& ds) {
        const Kinds k = DecideKinds(restriction, ds);
        return std::make_pair(k.materials, k.equipment);
    };
    EXPECT_EQ(kinds("M", dm.QWybrTow), std::make_pair(true, false));
    EXPECT_EQ(kinds(" S ", dm.QWybrTow), std::make_pair(false, true));
    EXPECT_EQ(kinds("R", dm.QWybrTow), std::make_pair(false, false));
    EXPECT_EQ(kinds("MS", dm.QWybrTow), std::make_pair(false, false));
    EXPECT_EQ(kinds("", dm.QWybrTow), std::make_pair(true, true));
    EXPECT_EQ(kinds("  ", dm.QWybrTow), std::make_pair(true, true));
    EXPECT_EQ(dm.QWybrTow.recNo(), 5);

    // A producer with materials only: walking its list finds no equipment.
    const Demo& d = demo();
    std::string onlyM;
    for (const auto& [key, row] : d.producers.byKey) {
        (void)row;
        bool m = false, other = false;
        for (std::size_t i = 0; i < d.goods.rows.size(); ++i) {
            if (d.goods.at(i, "ID_PRODUCENTA") != key) continue;
            (d.goods.at(i, "TYP_RMS") == "M" ? m : other) = true;
        }
        if (m && !other) {
            onlyM = key;
            break;
        }
    }
    ASSERT_FALSE(onlyM.empty());
    std::string error;
    ASSERT_TRUE(dm.QWybrTowForDost.open(data::ZapytanieTowarowDostawcy(std::stol(onlyM)), error)) << error;
    EXPECT_EQ(kinds("", dm.QWybrTowForDost), std::make_pair(true, false));
    // The restriction wins over the rows.
    EXPECT_EQ(kinds("S", dm.QWybrTowForDost), std::make_pair(false, true));

    TsTowar none;
    none.nazwa.setUtf8("QQQXQQQ");
    ASSERT_TRUE(dm.QWybrTow.open(ZbudujZapytanieTowarow(none, 0) + " ORDER BY idx_NAZWA", error)) << error;
    ASSERT_TRUE(dm.QWybrTow.isEmpty());
    EXPECT_EQ(kinds("", dm.QWybrTow), std::make_pair(false, false));
}

// The average-prices edition: its labour rows get a file of their own, and
// every header says "srednie".
TEST_F(ExportRows, TheLabourTargetTakesTheLabourRowsUnderTheAveragePricesHeader) {
    openShowAll();
    const Demo& d = demo();
    const int wantR = d.linesOfKind("R");
    ASSERT_GT(wantR, 0) << "the demo has no labour";
    std::set<std::string> producersR;
    for (std::size_t i = 0; i < d.goods.rows.size(); ++i)
        if (d.goods.at(i, "TYP_RMS") == "R") producersR.insert(d.goods.at(i, "ID_PRODUCENTA"));

    for (const Version v : {Version::V10, Version::V21}) {
        SCOPED_TRACE(std::string(pricelist::versionText(v)));
        Scratch s;
        PriceListJob job;
        job.list = &dm.QWybrTow;
        job.version = v;
        job.averagePrices = true;
        job.materialsTarget = (s / "m.kmx").string();
        job.labourTarget = (s / "r.kmx").string();
        const Result r = WritePriceLists(job);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.written, d.linesOfKind("M") + wantR);

        const std::string version(pricelist::versionText(v));
        const ReadBack labour = readPriceList(s / "r.kmx");
        EXPECT_EQ(labour.list.version, v);
        EXPECT_EQ(labour.list.headers[0].rfind("KMX - wersja " + version + " - Robocizna ceny srednie - ", 0),
                  0u)
            << labour.list.headers[0];
        EXPECT_TRUE(labour.suppliersFirst);
        EXPECT_EQ(static_cast<int>(labour.goods.size()), wantR);
        for (const std::string& g : labour.goods)
            EXPECT_EQ(split(g, ";").at(7), "R") << g;  // the kind, in 1.0 and 2.x alike
        EXPECT_EQ(labour.suppliers.size(), producersR.size());

        const ReadBack materials = readPriceList(s / "m.kmx");
        EXPECT_EQ(
            materials.list.headers[0].rfind("KMX - wersja " + version + " - Materialy ceny srednie - ", 0),
            0u)
            << materials.list.headers[0];
        EXPECT_EQ(static_cast<int>(materials.goods.size()), d.linesOfKind("M"));
        // No equipment target, no equipment file.
        EXPECT_EQ(std::distance(fs::directory_iterator(s.path()), fs::directory_iterator()), 2);
    }
}

TEST_F(ExportRows, LabourIsAKindOnlyWhenTheCallerAsksForIt) {
    openShowAll();
    dm.QWybrTow.moveTo(4);
    auto kinds = [](std::string_view restriction, const DataSet& ds, bool withLabour) {
        const Kinds k = DecideKinds(restriction, ds, withLabour);
        return std::vector<bool>{k.materials, k.equipment, k.labour};
    };
    using K = std::vector<bool>;
    // The list holds every kind.
    EXPECT_EQ(kinds("", dm.QWybrTow, true), (K{true, true, true}));
    EXPECT_EQ(kinds("", dm.QWybrTow, false), (K{true, true, false}));
    EXPECT_EQ(kinds(" R", dm.QWybrTow, true), (K{false, false, true}));
    EXPECT_EQ(kinds("R", dm.QWybrTow, false), (K{false, false, false}));
    EXPECT_EQ(kinds("M", dm.QWybrTow, true), (K{true, false, false}));
    EXPECT_EQ(kinds("S", dm.QWybrTow, true), (K{false, true, false}));
    EXPECT_EQ(dm.QWybrTow.recNo(), 4);

    // A producer of labour only: its list offers labour alone, and nothing
    // when labour is not asked for.
    const Demo& d = demo();
    std::string onlyR;
    for (const auto& [key, row] : d.producers.byKey) {
        (void)row;
        bool r = false, other = false;
        for (std::size_t i = 0; i < d.goods.rows.size(); ++i) {
            if (d.goods.at(i, "ID_PRODUCENTA") != key) continue;
            (d.goods.at(i, "TYP_RMS") == "R" ? r : other) = true;
        }
        if (r && !other) {
            onlyR = key;
            break;
        }
    }
    ASSERT_FALSE(onlyR.empty()) << "the demo has no producer of labour only";
    std::string error;
    ASSERT_TRUE(dm.QWybrTowForDost.open(data::ZapytanieTowarowDostawcy(std::stol(onlyR)), error)) << error;
    EXPECT_EQ(kinds("", dm.QWybrTowForDost, true), (K{false, false, true}));
    EXPECT_EQ(kinds("", dm.QWybrTowForDost, false), (K{false, false, false}));
}

// ---------------------------------------------------------------------------
// The list during and after a walk

struct Handlers {
    int scrolls = 0;
    int calcs = 0;
    void attach(DataSet& ds) {
        ds.setAfterScroll([this](DataSet&) { ++scrolls; });
        ds.setOnCalcFields([this](const DataSet&, DataSet::RowId, DataSet::CalcRecord&) { ++calcs; });
    }
};

TEST_F(ExportRows, HandlersAreDetachedDuringTheWalkAndRestoredWithTheListOnItsFirstRow) {
    openShowAll();
    Handlers h;
    h.attach(dm.QWybrTow);
    dm.QWybrTow.moveTo(10);
    Scratch s;
    PriceListJob job;
    job.list = &dm.QWybrTow;
    job.materialsTarget = (s / "m.kmx").string();
    bool detached = true;
    job.progress = [&](int done, int) {
        detached = detached && !dm.QWybrTow.afterScroll() && !dm.QWybrTow.onCalcFields();
        if (done % 50 == 0) dm.QWybrTow.next();  // a scroll that must reach no handler
        return true;
    };
    h.scrolls = 0;
    const Result r = WritePriceLists(job);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(detached);
    EXPECT_EQ(dm.QWybrTow.recNo(), 1);
    EXPECT_FALSE(dm.QWybrTow.notificationsSuspended());
    ASSERT_TRUE(dm.QWybrTow.afterScroll());
    ASSERT_TRUE(dm.QWybrTow.onCalcFields());
    // Back on the first row, the restored handler hears of it once at most.
    EXPECT_LE(h.scrolls, 1);
    const int before = h.scrolls;
    dm.QWybrTow.next();
    EXPECT_EQ(h.scrolls, before + 1);
}

TEST_F(ExportRows, AFailedWalkReportsTheErrorAndStillRestoresTheList) {
    openShowAll();
    Scratch s;
    { std::ofstream(s / "plik") << "x"; }
    for (const Version v : {Version::V10, Version::V20}) {
        SCOPED_TRACE(std::string(pricelist::versionText(v)));
        Handlers h;
        h.attach(dm.QWybrTow);
        dm.QWybrTow.moveTo(7);
        PriceListJob job;
        job.list = &dm.QWybrTow;
        job.version = v;
        job.materialsTarget = (s / "plik" / "m.kmx").string();  // a folder that cannot exist
        const Result r = WritePriceLists(job);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.error.empty());
        EXPECT_FALSE(fs::exists(s / "plik" / "m.kmx"));
        EXPECT_EQ(dm.QWybrTow.recNo(), 1);
        EXPECT_FALSE(dm.QWybrTow.notificationsSuspended());
        EXPECT_TRUE(dm.QWybrTow.afterScroll());
        EXPECT_TRUE(dm.QWybrTow.onCalcFields());
        const int before = h.scrolls;
        dm.QWybrTow.next();
        EXPECT_EQ(h.scrolls, before + 1);
    }
}

// ---------------------------------------------------------------------------
// The private temporary folder

class TempFolderOfTheRun : public ExportRows {
protected:
    void SetUp() override {
        ExportRows::SetUp();
        if (const char* t = std::getenv("TMPDIR")) saved_ = t;
        had_ = std::getenv("TMPDIR") != nullptr;
        base_ = fs::temp_directory_path();
        tmp_ = base_ / ("kmx_export_tmp_" + std::to_string(::getpid()));
        fs::remove_all(tmp_);
        fs::create_directories(tmp_);
        ::setenv("TMPDIR", tmp_.c_str(), 1);
    }
    void TearDown() override {
        if (had_)
            ::setenv("TMPDIR", saved_.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
        std::error_code ec;
        fs::remove_all(tmp_, ec);
    }
    std::vector<fs::path> entries() const {
        std::vector<fs::path> out;
        for (const auto& e : fs::directory_iterator(tmp_)) out.push_back(e.path());
        return out;
    }

    fs::path base_;  // the temporary folder before the test
    fs::path tmp_;
    std::string saved_;
    bool had_ = false;
};

TEST_F(TempFolderOfTheRun, HoldsTheRunsFilesAndIsGoneAfterwardsAlsoAfterAFailure) {
    openShowAll();
    Scratch s(base_);
    { std::ofstream(s / "plik") << "x"; }
    for (const bool fail : {false, true}) {
        SCOPED_TRACE(fail ? "failing" : "succeeding");
        std::vector<fs::path> during;
        bool sawGoodsFiles = false;
        PriceListJob job;
        job.list = &dm.QWybrTow;
        job.materialsTarget = (s / "m.kmx").string();
        job.equipmentTarget = fail ? (s / "plik" / "s.kmx").string() : (s / "s.kmx").string();
        job.progress = [&](int done, int) {
            if (done == 1) {
                during = entries();
                if (during.size() == 1) {
                    sawGoodsFiles = fs::is_directory(during[0]) && fs::exists(during[0] / "M.tmp") &&
                                    fs::exists(during[0] / "S.tmp");
                }
            }
            return true;
        };
        const Result r = WritePriceLists(job);
        EXPECT_EQ(r.ok, !fail) << r.error;
        ASSERT_EQ(during.size(), 1u);  // one folder of its own, not files in the shared one
        EXPECT_TRUE(sawGoodsFiles);
        EXPECT_TRUE(entries().empty());
    }
}

// ---------------------------------------------------------------------------
// The unit-price file

std::string decryptLine(const std::string& b64) {
    return kmx::testref::opensslDecryptUnitPriceLine(b64);
}

// The plain line of a work price worked out from its CSV row: the price
// rounded to hundredths with ",".
std::string unitPriceLine(int number, const Table& works, std::size_t row) {
    double v = 0;
    const std::string& cena = works.at(row, "cena");
    std::from_chars(cena.data(), cena.data() + cena.size(), v);
    const long long cents = std::llround(v * 100);
    std::string hundredths = std::to_string(cents % 100);
    if (hundredths.size() < 2) hundredths = "0" + hundredths;
    std::string name = cp1250::fromUtf8(works.at(row, "nazwa"));
    std::string quoted = "\"";
    for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    quoted += "\"";
    return std::to_string(number) + ";" + field(works.at(row, "podstawa")) + ";" +
           field(works.at(row, "wariant")) + ";" + quoted + ";" + field(works.at(row, "jedn_miary")) + ";" +
           std::to_string(cents / 100) + "," + hundredths;
}

TEST_F(ExportRows, UnitPricesStartFromTheFirstRowNumberedFromOneWhereverTheCursorStands) {
    std::string error;
    ASSERT_TRUE(dm.Qscalone.open(error)) << error;
    DataSet& works = dm.Qscalone;
    const Demo& d = demo();
    ASSERT_EQ(works.recordCount(), static_cast<int>(d.works.rows.size()));
    Handlers h;
    h.attach(works);
    works.moveTo(10);
    Scratch s;
    UnitPriceJob job;
    job.works = &works;
    job.target = (s / "ceny.csv").string();
    int calls = 0;
    job.progress = [&](int, int) {
        ++calls;
        return true;
    };
    const Result r = WriteUnitPriceFile(job);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.written, works.recordCount());
    EXPECT_EQ(calls, works.recordCount());
    EXPECT_EQ(works.recNo(), 1);
    EXPECT_TRUE(works.afterScroll());

    std::vector<std::string> lines = split(readFile(s / "ceny.csv"), "\r\n");
    ASSERT_EQ(lines.back(), "");  // the last line ends in CR LF too
    lines.pop_back();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(works.recordCount()) + 1);
    EXPECT_EQ(decryptLine(lines[0]), "Lp.;Podstawa;Wariant;Opis;J.ob.;Cj");
    const int idField = works.fieldIndex("id_ceny");
    for (int row = 0; row < works.recordCount(); ++row) {
        const std::size_t c = d.works.byKey.at(std::to_string(works.cell(row, idField).asInt()));
        EXPECT_EQ(decryptLine(lines[static_cast<std::size_t>(row) + 1]), unitPriceLine(row + 1, d.works, c))
            << "row " << row + 1;
    }
}

TEST_F(ExportRows, UnitPricesCancelledAfterSomeRowsKeepThemAndATargetThatCannotBeMadeFails) {
    std::string error;
    ASSERT_TRUE(dm.Qscalone.open(error)) << error;
    Scratch s;
    UnitPriceJob job;
    job.works = &dm.Qscalone;
    job.target = (s / "ceny.csv").string();
    job.progress = [](int done, int) { return done < 3; };
    Result r = WriteUnitPriceFile(job);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.written, 3);
    std::vector<std::string> lines = split(readFile(s / "ceny.csv"), "\r\n");
    lines.pop_back();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(decryptLine(lines[3]).rfind("3;", 0), 0u);

    { std::ofstream(s / "plik") << "x"; }
    Handlers h;
    h.attach(dm.Qscalone);
    job.target = (s / "plik" / "ceny.csv").string();
    job.progress = {};
    r = WriteUnitPriceFile(job);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_TRUE(dm.Qscalone.afterScroll());
    EXPECT_FALSE(dm.Qscalone.notificationsSuspended());
}

}  // namespace
}  // namespace kmx::exportrows
