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

// The ';'-separated fields of a price-list record.
std::vector<std::string> fieldsOf(const std::string& rec) {
    std::vector<std::string> f;
    std::size_t at = 0;
    for (std::size_t e; (e = rec.find(';', at)) != std::string::npos; at = e + 1)
        f.push_back(rec.substr(at, e - at));
    f.push_back(rec.substr(at));
    return f;
}

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
        if (number && ((kind == "M" && eto.size() >= 7) || (kind == "S" && eto.size() >= 5)))
            ++expected[kind];
    }
    ASSERT_GT(expected["M"], 0);
    ASSERT_GT(expected["S"], 0);

    using pricelist::Version;
    for (const auto& [folder, version] :
         {std::pair{"KMX", Version::V20}, std::pair{"KMX2.1", Version::V21}}) {
        for (const auto& [file, kind] : {std::pair{"materialy.kmx", "M"}, std::pair{"sprzet.kmx", "S"}}) {
            const std::filesystem::path path = dir / folder / file;
            SCOPED_TRACE(path.string());
            ASSERT_TRUE(std::filesystem::exists(path));
            ASSERT_TRUE(kmxzip::IsZip(path.string()));
            std::string body, member, error;
            ASSERT_TRUE(kmxzip::UnpackSingle(path.string(), body, member, error))
                << error;  // one member only
            EXPECT_EQ(member, "kmx.kmx");
            pricelist::DecodedPriceList list;
            ASSERT_TRUE(pricelist::DecodePriceList(body, list, error)) << error;
            EXPECT_EQ(list.version, version);
            ASSERT_EQ(list.headers.size(), 2u);
            const std::string head = std::string("KMX - wersja ") +
                                     (version == Version::V20 ? "2.0" : "2.1") + " - " +
                                     (std::string(kind) == "M" ? "Materialy" : "Sprzet") + " ceny dostawcow";
            EXPECT_EQ(list.headers[0].rfind(head, 0), 0u) << list.headers[0];
            int rows = 0;
            for (const std::string& rec : list.records) {
                if (rec.rfind("#kmxp#", 0) == 0) continue;
                ++rows;
                const std::vector<std::string> f = fieldsOf(rec);
                ASSERT_EQ(f.size(), version == Version::V20 ? 9u : 10u) << rec;
                EXPECT_EQ(f[7], kind) << rec;
            }
            EXPECT_EQ(rows, expected[kind]);
        }
    }
}

// ---------------------------------------------------------------- the average prices

const DemoData& averageDemo() {
    static const DemoData d = generateAverageDemo(400);
    return d;
}

Table averageTable(const std::string& name) {
    return parse(averageDemo().csv.at(name));
}

double number(const std::string& text) {
    return text.empty() ? 0.0 : std::stod(text);
}

// The start of a row's source text, by its kind.
std::string sourceOf(const std::string& kind) {
    const std::string what = kind == "M"   ? "Ceny średnie materiałów"
                             : kind == "S" ? "Ceny średnie pracy sprzętu"
                                           : "Stawki robocizny kosztorysowej";
    return what + " wg KalMarex z 4 kw. 2026, ";
}

TEST(AverageDemo, SameSizeGivesTheSameBytesAndDiffersFromThePricesDemo) {
    const DemoData again = generateAverageDemo(400);
    EXPECT_EQ(again.csv, averageDemo().csv);
    EXPECT_EQ(again.logos.size(), averageDemo().logos.size());
    EXPECT_NE(generateAverageDemo(401).csv.at("TOWAR"), averageDemo().csv.at("TOWAR"));
    EXPECT_NE(averageDemo().csv.at("TOWAR"), smallDemo().csv.at("TOWAR"));
    // Both editions are of the same quarter.
    EXPECT_EQ(averageDemo().csv.at("Wersja"), smallDemo().csv.at("Wersja"));
}

TEST(AverageDemo, EveryTableAndAllThreeCategoriesFromTheSmallestSizeOn) {
    for (const int goods : {kDemoMinGoods, 400}) {
        SCOPED_TRACE(goods);
        const DemoData d = generateAverageDemo(goods);
        for (const auto& table : catalogSchema()) {
            ASSERT_TRUE(d.csv.count(table.name)) << table.name;
            std::vector<std::string> expected;
            for (const Column* c : table.sourceColumns()) expected.push_back(c->name);
            EXPECT_EQ(parse(d.csv.at(table.name)).header, expected) << table.name;
        }
        const Table towar = parse(d.csv.at("TOWAR"));
        EXPECT_EQ(towar.rows.size(), static_cast<std::size_t>(goods));
        const auto kinds = towar.column("TYP_RMS");
        EXPECT_EQ(std::set<std::string>(kinds.begin(), kinds.end()), (std::set<std::string>{"R", "M", "S"}));

        // The producers are the sources, one per kind, each with a logo; every
        // row comes from the source of its kind.
        const Table producers = parse(d.csv.at("PRODUCENT"));
        ASSERT_EQ(producers.rows.size(), 3u);
        EXPECT_EQ(d.logos.size(), 3u);
        std::map<std::string, std::set<std::string>> kindsOf;
        const int kind = towar.col("TYP_RMS");
        const int producer = towar.col("ID_PRODUCENTA");
        for (const auto& r : towar.rows)
            kindsOf[r[static_cast<std::size_t>(producer)]].insert(r[static_cast<std::size_t>(kind)]);
        ASSERT_EQ(kindsOf.size(), 3u);
        for (const auto& entry : kindsOf) {
            const auto& id = entry.first;
            EXPECT_EQ(entry.second.size(), 1u) << id;
            EXPECT_TRUE(std::any_of(producers.rows.begin(), producers.rows.end(), [&](const auto& p) {
                return p[0] == id;
            })) << id;
        }
    }
}

TEST(AverageDemo, RowsAreAveragePricesWithTheirSourceAndMarkUp) {
    const Table goods = averageTable("TOWAR");
    const Table units = averageTable("JEDNOSTKA_MIARY");
    std::map<std::string, std::string> unitName;
    for (const auto& u : units.rows) unitName[u[0]] = u[1];
    std::set<std::string> labourNames;
    for (const auto& r : goods.rows) {
        auto f = [&](const char* c) { return r[static_cast<std::size_t>(goods.col(c))]; };
        const std::string kind = f("TYP_RMS");
        SCOPED_TRACE(f("NAZWA") + " / " + kind);
        EXPECT_EQ(f("NAZWA_ORG_PROD").rfind(sourceOf(kind), 0), 0u) << f("NAZWA_ORG_PROD");
        const double price = number(f("CENA_JEDNOSTKOWA"));
        const double withMarkup = number(f("CENA_NARZUT"));
        ASSERT_GT(price, 0);
        // Producer, wholesale and retail prices are not what this catalogue gives.
        EXPECT_TRUE(f("CENA_PRODUCENTA").empty() && f("CENA_HURTOWA").empty() &&
                    f("CENA_DETALICZNA").empty());
        const std::string& eto = f("INDEKS_ETO");
        EXPECT_TRUE(!eto.empty() && std::all_of(eto.begin(), eto.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        })) << eto;
        if (kind == "R") {
            labourNames.insert(f("NAZWA"));
            EXPECT_EQ(unitName[f("ID_JEDNOSTKI")], "r-g");
            // The gross rate: indirect costs 65 %, then profit 12 %.
            EXPECT_NEAR(withMarkup, price * 1.65 * 1.12, 0.006);
        } else {
            // Purchase costs on materials, indirect costs on equipment: a few per cent.
            EXPECT_GT(withMarkup, price * 1.04);
            EXPECT_LT(withMarkup, price * 1.10);
            EXPECT_GE(eto.size(), kind == "M" ? 7u : 5u) << eto;
        }
        EXPECT_EQ(f("ID_WALUTY"), "1");  // złoty
    }
    for (const char* trade : {"Murarz", "Cieśla", "Robotnik budowlany"}) {
        EXPECT_TRUE(std::any_of(labourNames.begin(), labourNames.end(), [&](const std::string& n) {
            return n.rfind(trade, 0) == 0;
        })) << trade;
    }
}

// At the largest size every resource (one ETO index) stands once for the
// country and once for each province, the national average first; a
// province's row names its province.
TEST(AverageDemo, TheLargestSizeHasEveryResourceForTheCountryAndEachProvince) {
    const Table goods = parse(generateAverageDemo(averageDemoMaxGoods()).csv.at("TOWAR"));
    ASSERT_EQ(goods.rows.size(), static_cast<std::size_t>(averageDemoMaxGoods()));
    const int eto = goods.col("INDEKS_ETO");
    const int name = goods.col("NAZWA");
    const int source = goods.col("NAZWA_ORG_PROD");
    std::map<std::string, std::vector<const std::vector<std::string>*>> rowsOf;
    for (const auto& r : goods.rows) rowsOf[r[static_cast<std::size_t>(eto)]].push_back(&r);
    EXPECT_EQ(rowsOf.size() * 17, goods.rows.size());
    const auto provinces = parse(averageDemo().csv.at("WOJEWODZTWO")).column("NAZWA");
    for (const auto& [index, rows] : rowsOf) {
        ASSERT_EQ(rows.size(), 17u) << index;
        const std::string& national = (*rows.front())[static_cast<std::size_t>(name)];
        EXPECT_NE((*rows.front())[static_cast<std::size_t>(source)].find(", średnia krajowa"),
                  std::string::npos)
            << index;
        std::set<std::string> seen;
        for (std::size_t i = 1; i < rows.size(); ++i) {
            const std::string& n = (*rows[i])[static_cast<std::size_t>(name)];
            const std::string& s = (*rows[i])[static_cast<std::size_t>(source)];
            const std::size_t woj = s.find(", woj. ");
            ASSERT_NE(woj, std::string::npos) << s;
            const std::string province = s.substr(woj + 7);
            EXPECT_EQ(n, national + " (" + province + ")");
            seen.insert(province);
        }
        EXPECT_EQ(seen, std::set<std::string>(provinces.begin(), provinces.end())) << index;
    }
}

TEST(AverageDemo, TextsKeepTheRatesAndBringTheirOwnExportInstruction) {
    const auto prices = demoTexts(DemoEdition::Prices);
    const auto average = demoTexts(DemoEdition::AveragePrices);
    ASSERT_EQ(average.size(), 3u);
    EXPECT_EQ(average.at("stawki.rtf"), prices.at("stawki.rtf"));
    EXPECT_EQ(average.at("Instrukcja_eksportu_ms.rtf"), prices.at("Instrukcja_eksportu_ms.rtf"));
    const std::string& own = average.at("Instrukcja_eksportu_cs.rtf");
    EXPECT_NE(own, prices.at("Instrukcja_eksportu_cs.rtf"));
    EXPECT_EQ(own.rfind("{\\rtf1\\ansi\\ansicpg1250", 0), 0u);
    EXPECT_TRUE(
        std::all_of(own.begin(), own.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    for (const char* word : {"Robocizna_sred", "Materialy_sred", "Sprzet_sred", "\\'9crednie"})
        EXPECT_NE(own.find(word), std::string::npos) << word;
}

// The ready-made lists of the average prices: every row of each kind whose
// ETO index the price list accepts, under the "srednie" headers.
TEST(DemoWrite, AverageDemoShipsReadyMadeListsOfEachCategory) {
    ScratchDir dir;
    DemoOptions options;
    options.goods = 150;
    options.password = "demo-haslo";
    options.edition = DemoEdition::AveragePrices;
    const DemoResult r = writeDemo(dir.path(), options);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.sizes.producers, 3);
    EXPECT_EQ(r.logos, 3);
    EXPECT_EQ(readFile(dir / "src" / "TOWAR.csv"), generateAverageDemo(150).csv.at("TOWAR"));
    EXPECT_EQ(readFile(dir / "Instrukcja_eksportu_cs.rtf"),
              demoTexts(DemoEdition::AveragePrices).at("Instrukcja_eksportu_cs.rtf"));
    // The producer edition's lists are not there.
    EXPECT_FALSE(std::filesystem::exists(dir / "KMX" / "materialy.kmx"));
    EXPECT_FALSE(std::filesystem::exists(dir / "KMX2.1" / "sprzet.kmx"));

    const Table goods = parse(readFile(dir / "src" / "TOWAR.csv"));
    std::map<std::string, int> expected;
    for (const auto& row : goods.rows) {
        const std::string& kind = row[static_cast<std::size_t>(goods.col("TYP_RMS"))];
        const std::string& eto = row[static_cast<std::size_t>(goods.col("INDEKS_ETO"))];
        if ((kind == "M" && eto.size() >= 7) || (kind == "S" && eto.size() >= 5) || kind == "R")
            ++expected[kind];
    }
    for (const char* kind : {"R", "M", "S"}) ASSERT_GT(expected[kind], 0) << kind;

    using pricelist::Version;
    struct Kind {
        const char* file;
        const char* kind;
        const char* header;
    } kinds[] = {{"Materialy_sred.kmx", "M", "Materialy"},
                 {"Sprzet_sred.kmx", "S", "Sprzet"},
                 {"Robocizna_sred.kmx", "R", "Robocizna"}};
    for (const auto& [folder, version] :
         {std::pair{"KMX", Version::V20}, std::pair{"KMX2.1", Version::V21}}) {
        for (const Kind& k : kinds) {
            const std::filesystem::path path = dir / folder / k.file;
            SCOPED_TRACE(path.string());
            ASSERT_TRUE(std::filesystem::exists(path));
            std::string body, member, error;
            ASSERT_TRUE(kmxzip::UnpackSingle(path.string(), body, member, error)) << error;
            pricelist::DecodedPriceList list;
            ASSERT_TRUE(pricelist::DecodePriceList(body, list, error)) << error;
            EXPECT_EQ(list.version, version);
            ASSERT_EQ(list.headers.size(), 2u);
            const std::string head = std::string("KMX - wersja ") +
                                     (version == Version::V20 ? "2.0" : "2.1") + " - " + k.header +
                                     " ceny srednie - ";
            EXPECT_EQ(list.headers[0].rfind(head, 0), 0u) << list.headers[0];
            int rows = 0, sources = 0;
            for (const std::string& rec : list.records) {
                if (rec.rfind("#kmxp#", 0) == 0) {
                    ++sources;
                    continue;
                }
                ++rows;
                const std::vector<std::string> f = fieldsOf(rec);
                ASSERT_EQ(f.size(), version == Version::V20 ? 9u : 10u) << rec;
                EXPECT_EQ(f[7], k.kind) << rec;
            }
            EXPECT_EQ(rows, expected[k.kind]);
            EXPECT_EQ(sources, 1);  // the one source of the kind
        }
    }
}

TEST(DemoWrite, AverageDemoRefusesMoreGoodsThanItHolds) {
    ScratchDir dir;
    DemoOptions options;
    options.edition = DemoEdition::AveragePrices;
    options.goods = averageDemoMaxGoods() + 1;
    const DemoResult r = writeDemo(dir.path(), options);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error,
              "the number of goods must lie between 50 and " + std::to_string(averageDemoMaxGoods()));
    EXPECT_FALSE(std::filesystem::exists(dir / "kmx.dat"));
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
