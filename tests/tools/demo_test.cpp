// The deterministic demo catalogue.

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "catalog/csv.h"
#include "catalog/demo.h"
#include "catalog/dumper.h"
#include "catalog/schema.h"
#include "core/cp1250.h"
#include "core/kmx_zip.h"
#include "core/pricelist.h"
#include "tools_test_support.h"

namespace kmx::catalog {
namespace {

using testing::readFile;
using testing::ScratchDir;

// A table of the demo as rows of named fields.
struct Table {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;

    int col(const std::string& name) const {
        const auto it = std::find(header.begin(), header.end(), name);
        EXPECT_NE(it, header.end()) << name;
        return static_cast<int>(it - header.begin());
    }
    std::vector<std::string> column(const std::string& name) const {
        const int c = col(name);
        std::vector<std::string> out;
        for (const auto& r : rows) out.push_back(r[static_cast<std::size_t>(c)]);
        return out;
    }
};

Table parse(const std::string& text) {
    std::vector<CsvRecord> recs;
    std::string error;
    EXPECT_TRUE(parseCsv(text, recs, error)) << error;
    Table t;
    if (recs.empty()) return t;
    t.header = recs.front().fields;
    for (std::size_t i = 1; i < recs.size(); ++i) t.rows.push_back(recs[i].fields);
    return t;
}

const DemoData& smallDemo() {
    static const DemoData d = generateDemo(400);
    return d;
}

Table demoTable(const std::string& name) {
    return parse(smallDemo().csv.at(name));
}

bool anyContains(const std::vector<std::string>& values, const std::string& part) {
    return std::any_of(values.begin(), values.end(),
                       [&](const std::string& v) { return v.find(part) != std::string::npos; });
}

TEST(DemoSizes, ScaleWithTheGoods) {
    const DemoSizes standard = demoSizes(3000);
    EXPECT_EQ(standard.producers, 300);
    EXPECT_EQ(standard.workPrices, 3000);
    const DemoSizes bench = demoSizes(200000);
    EXPECT_EQ(bench.producers, 5000);
    EXPECT_EQ(bench.workPrices, 50000);
    const DemoSizes tiny = demoSizes(kDemoMinGoods);
    EXPECT_EQ(tiny.producers, 20);  // enough for one producer in every province
    EXPECT_EQ(tiny.workPrices, 50);
}

TEST(DemoData, SameSizeGivesTheSameBytes) {
    const DemoData again = generateDemo(400);
    EXPECT_EQ(again.csv, smallDemo().csv);
    ASSERT_EQ(again.logos.size(), smallDemo().logos.size());
    const DemoData bigger = generateDemo(401);
    EXPECT_NE(bigger.csv.at("TOWAR"), smallDemo().csv.at("TOWAR"));
}

TEST(DemoData, HasEveryTableWithTheRequestedRowCounts) {
    for (const auto& table : catalogSchema()) {
        ASSERT_TRUE(smallDemo().csv.count(table.name)) << table.name;
        // The header names exactly the columns the builder reads.
        std::vector<std::string> expected;
        for (const Column* c : table.sourceColumns()) expected.push_back(c->name);
        EXPECT_EQ(demoTable(table.name).header, expected) << table.name;
    }
    EXPECT_EQ(demoTable("TOWAR").rows.size(), 400u);
    EXPECT_EQ(demoTable("PRODUCENT").rows.size(), 40u);
    EXPECT_EQ(demoTable("ceny_robot").rows.size(), 400u);
    EXPECT_EQ(demoTable("Wersja").rows, (std::vector<std::vector<std::string>>{{"4", "2026"}}));
    EXPECT_EQ(smallDemo().logos.size(), 14u);  // producers 1, 4, ..., 40
}

TEST(DemoData, ProducersLiveInAllSixteenProvinces) {
    const Table provinces = demoTable("WOJEWODZTWO");
    ASSERT_EQ(provinces.rows.size(), 16u);
    const auto names = provinces.column("NAZWA");
    for (const char* n : {"dolnośląskie", "łódzkie", "małopolskie", "śląskie", "świętokrzyskie",
                          "warmińsko-mazurskie", "zachodniopomorskie"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), n), names.end()) << n;
    }
    const auto used = demoTable("PRODUCENT").column("ID_WOJEWODZTWA");
    const std::set<std::string> distinct(used.begin(), used.end());
    EXPECT_EQ(distinct.size(), 16u);
    EXPECT_EQ(demoTable("KRAJ").rows.front(), (std::vector<std::string>{"1", "Polska"}));
}

TEST(DemoData, GoodsNamesHoldTheCharactersSearchesMustEscape) {
    const auto names = demoTable("TOWAR").column("NAZWA");
    for (const char* c : {"+", "-", "(", ")", "*", "%", "_", "\"", "'", "[", "]", "ą", "ł", "Ł", "ż"}) {
        EXPECT_TRUE(anyContains(names, c)) << c;
    }
}

TEST(DemoData, HasEmptyPricesAndDates) {
    const Table goods = demoTable("TOWAR");
    const int prod = goods.col("CENA_PRODUCENTA");
    const int from = goods.col("DATA_OBOWIAZYWANIA_CENY");
    bool allPricesEmpty = false;
    bool producerPriceEmpty = false;
    bool zeroDate = false;
    bool noDate = false;
    for (const auto& r : goods.rows) {
        bool none = true;
        for (int c = prod; c < prod + 5; ++c) none = none && r[static_cast<std::size_t>(c)].empty();
        allPricesEmpty = allPricesEmpty || none;
        producerPriceEmpty = producerPriceEmpty || r[static_cast<std::size_t>(prod)].empty();
        zeroDate = zeroDate || r[static_cast<std::size_t>(from)] == "0";
        noDate = noDate || r[static_cast<std::size_t>(from)].empty();
    }
    EXPECT_TRUE(allPricesEmpty);
    EXPECT_TRUE(producerPriceEmpty);
    EXPECT_TRUE(zeroDate);
    EXPECT_TRUE(noDate);
}

TEST(DemoData, GoodsIndicesCurrenciesAndKinds) {
    const Table goods = demoTable("TOWAR");
    const int eto = goods.col("INDEKS_ETO");
    const int kind = goods.col("TYP_RMS");
    std::set<std::string> kinds;
    for (const auto& r : goods.rows) {
        const std::string& e = r[static_cast<std::size_t>(eto)];
        const std::string& k = r[static_cast<std::size_t>(kind)];
        kinds.insert(k);
        const bool digits = std::all_of(e.begin(), e.end(),
                                        [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
        EXPECT_TRUE(digits) << e;
        if (k == "M") {
            EXPECT_EQ(e.size(), 7u) << e;
        } else if (k == "S") {
            EXPECT_GE(e.size(), 5u) << e;
        }
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"M", "S", "R"}));
    const auto currencies = goods.column("ID_WALUTY");
    const std::set<std::string> used(currencies.begin(), currencies.end());
    EXPECT_EQ(used, (std::set<std::string>{"1", "2", "3"}));
}

TEST(DemoData, ProducersIncludeTheAwkwardCases) {
    const Table p = demoTable("PRODUCENT");
    const int t1 = p.col("TELEFON1");
    const int t2 = p.col("TELEFON2");
    const int surname = p.col("NAZWISKO_OSH");
    const int first = p.col("IMIE_OSH");
    const int position = p.col("STANOWISKO_OSH");
    bool secondOnly = false;
    bool surnameWithoutPosition = false;
    bool firstNameOnly = false;
    for (const auto& r : p.rows) {
        secondOnly = secondOnly ||
                     (r[static_cast<std::size_t>(t1)].empty() && !r[static_cast<std::size_t>(t2)].empty());
        surnameWithoutPosition = surnameWithoutPosition || (!r[static_cast<std::size_t>(surname)].empty() &&
                                                            r[static_cast<std::size_t>(position)].empty());
        firstNameOnly = firstNameOnly || (r[static_cast<std::size_t>(surname)].empty() &&
                                          !r[static_cast<std::size_t>(first)].empty());
    }
    EXPECT_TRUE(secondOnly);
    EXPECT_TRUE(surnameWithoutPosition);
    EXPECT_TRUE(firstNameOnly);
    const auto www = p.column("ADRES_WWW");
    EXPECT_TRUE(anyContains(www, "; www."));
    EXPECT_TRUE(anyContains(www, ", www."));
    for (const auto& w : www) EXPECT_NE(w.find(".example.pl"), std::string::npos) << w;

    // One producer belongs to several branches.
    std::map<std::string, int> branchesOf;
    for (const auto& r : demoTable("BRANZA_PRODUCENTA").rows) ++branchesOf[r[0]];
    EXPECT_GE(std::max_element(branchesOf.begin(), branchesOf.end(),
                               [](const auto& a, const auto& b) { return a.second < b.second; })
                  ->second,
              3);
}

TEST(DemoData, BranchesHoldPozostaleForEveryKind) {
    const Table b = demoTable("BRANZA");
    std::set<std::string> kindsOfOther;
    for (const auto& r : b.rows) {
        if (r[1] == "Pozostałe") kindsOfOther.insert(r[2]);
    }
    EXPECT_EQ(kindsOfOther, (std::set<std::string>{"M", "S", "R"}));
}

TEST(DemoData, WorkPricesStartWithTheirKnrGroup) {
    const auto groups = demoTable("KNR").column("grupa_nazwa");
    ASSERT_FALSE(groups.empty());
    const Table works = demoTable("ceny_robot");
    for (const auto& basis : works.column("podstawa")) {
        EXPECT_TRUE(std::any_of(groups.begin(), groups.end(), [&](const std::string& g) {
            return basis.rfind(g + " ", 0) == 0;
        })) << basis;
    }
    EXPECT_TRUE(anyContains(works.column("nazwa"), "'"));
    EXPECT_TRUE(anyContains(works.column("nazwa"), "%"));
}

TEST(DemoTexts, AreWindows1250RichText) {
    const auto texts = demoTexts();
    ASSERT_EQ(texts.size(), 3u);
    for (const auto& [name, bytes] : texts) {
        EXPECT_EQ(bytes.rfind("{\\rtf1\\ansi\\ansicpg1250", 0), 0u) << name;
        EXPECT_NE(bytes.find("\\'b3"), std::string::npos) << name;  // a Polish letter: ł
        EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x80;
        })) << name;
        EXPECT_GT(bytes.size(), 2000u) << name;
    }
    EXPECT_NE(texts.at("stawki.rtf").find("\\tab"), std::string::npos);
    EXPECT_NE(texts.at("stawki.rtf").find("\\b "), std::string::npos);
}

TEST(DemoWrite, WritesSourcesLogosTextsAndABuiltCatalogue) {
    ScratchDir dir;
    DemoOptions options;
    options.goods = 60;
    options.password = "demo-haslo";
    const DemoResult r = writeDemo(dir.path(), options);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.logos, 7);  // 20 producers: 1, 4, ..., 19
    for (const char* f : {"kmx.dat", "kmx.iif", "stawki.rtf", "Instrukcja_eksportu_ms.rtf",
                          "Instrukcja_eksportu_cs.rtf", "src/TOWAR.csv", "src/Wersja.csv"}) {
        EXPECT_TRUE(std::filesystem::exists(dir / f)) << f;
    }
    const DemoData data = generateDemo(60);
    EXPECT_EQ(readFile(dir / "src" / "TOWAR.csv"), data.csv.at("TOWAR"));
    for (const DemoLogo& logo : data.logos) {
        const QImage image(QString::fromStdString((dir / "Logo" / (logo.code + ".jpg")).string()));
        EXPECT_EQ(image.width(), 240) << logo.code;
        EXPECT_EQ(image.height(), 120) << logo.code;
    }

    // The catalogue reads back as the sources, the search columns upper case.
    DumpOptions dump;
    ASSERT_TRUE(dumpCatalog(dir.path(), dir / "dump", dump).ok);
    for (const auto& table : catalogSchema()) {
        const Table source = parse(readFile(dir / "src" / (table.name + ".csv")));
        const Table back = parse(readFile(dir / "dump" / (table.name + ".csv")));
        ASSERT_EQ(source.rows.size(), back.rows.size()) << table.name;
        const auto columns = table.sourceColumns();
        for (std::size_t i = 0; i < source.rows.size(); ++i) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                std::string expected = source.rows[i][c];
                if (columns[c]->storage == Storage::Scrambled && columns[c]->upper) {
                    expected = cp1250::toUtf8(cp1250::upper(cp1250::fromUtf8(expected)));
                }
                EXPECT_EQ(back.rows[i][c], expected)
                    << table.name << " row " << i + 1 << " " << columns[c]->name;
            }
        }
    }
}

// The ready-made lists: every material and equipment row whose ETO index the
// price list accepts (a non-zero whole number, at least 7 characters for a
// material, 5 for equipment), in version 2.0 under KMX/ and 2.1 under KMX2.1/.
TEST(DemoWrite, ShipsReadyMadePriceListsOfTheWholeCatalogue) {
    ScratchDir dir;
    DemoOptions options;
    options.goods = 120;
    options.password = "demo-haslo";
    const DemoResult r = writeDemo(dir.path(), options);
    ASSERT_TRUE(r.ok) << r.error;

    const Table goods = parse(readFile(dir / "src" / "TOWAR.csv"));
    std::map<std::string, int> expected;
    for (const auto& row : goods.rows) {
        const std::string& kind = row[static_cast<std::size_t>(goods.col("TYP_RMS"))];
        const std::string& eto = row[static_cast<std::size_t>(goods.col("INDEKS_ETO"))];
        const bool number = !eto.empty() && std::all_of(eto.begin(), eto.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        }) && eto.find_first_not_of('0') != std::string::npos;
        if (number && ((kind == "M" && eto.size() >= 7) || (kind == "S" && eto.size() >= 5))) ++expected[kind];
    }
    ASSERT_GT(expected["M"], 0);
    ASSERT_GT(expected["S"], 0);

    using pricelist::Version;
    for (const auto& [folder, version] : {std::pair{"KMX", Version::V20}, std::pair{"KMX2.1", Version::V21}}) {
        for (const auto& [file, kind] : {std::pair{"materialy.kmx", "M"}, std::pair{"sprzet.kmx", "S"}}) {
            const std::filesystem::path path = dir / folder / file;
            SCOPED_TRACE(path.string());
            ASSERT_TRUE(std::filesystem::exists(path));
            ASSERT_TRUE(kmxzip::IsZip(path.string()));
            std::string body, member, error;
            ASSERT_TRUE(kmxzip::UnpackSingle(path.string(), body, member, error)) << error;  // one member only
            EXPECT_EQ(member, "kmx.kmx");
            pricelist::DecodedPriceList list;
            ASSERT_TRUE(pricelist::DecodePriceList(body, list, error)) << error;
            EXPECT_EQ(list.version, version);
            ASSERT_EQ(list.headers.size(), 2u);
            const std::string head = std::string("KMX - wersja ") + (version == Version::V20 ? "2.0" : "2.1") +
                                     " - " + (std::string(kind) == "M" ? "Materialy" : "Sprzet") + " ceny dostawcow";
            EXPECT_EQ(list.headers[0].rfind(head, 0), 0u) << list.headers[0];
            int rows = 0;
            for (const std::string& rec : list.records) {
                if (rec.rfind("#kmxp#", 0) == 0) continue;
                ++rows;
                std::vector<std::string> f;
                std::size_t at = 0;
                for (std::size_t e; (e = rec.find(';', at)) != std::string::npos; at = e + 1)
                    f.push_back(rec.substr(at, e - at));
                f.push_back(rec.substr(at));
                ASSERT_EQ(f.size(), version == Version::V20 ? 9u : 10u) << rec;
                EXPECT_EQ(f[7], kind) << rec;
            }
            EXPECT_EQ(rows, expected[kind]);
        }
    }
}

TEST(DemoWrite, RefusesSizesOutOfRange) {
    ScratchDir dir;
    DemoOptions options;
    options.goods = kDemoMinGoods - 1;
    const DemoResult r = writeDemo(dir.path(), options);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "the number of goods must lie between 50 and 1000000");
    EXPECT_FALSE(std::filesystem::exists(dir / "kmx.dat"));
}

}  // namespace
}  // namespace kmx::catalog
