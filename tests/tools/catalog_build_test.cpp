// Building a catalogue from CSV files and dumping it back.

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "catalog/builder.h"
#include "catalog/dumper.h"
#include "catalog/sqlite_db.h"
#include "core/cp1250.h"
#include "core/scramble.h"
#include "core/settings_file.h"
#include "data/database.h"
#include "tools_test_support.h"

namespace kmx::catalog {
namespace {

using testing::readFile;
using testing::ScratchDir;
using testing::writeFile;
using testing::writeTables;

std::string lines(const std::vector<std::string>& rows) {
    std::string out;
    for (const auto& r : rows) out += r + "\r\n";
    return out;
}

const char* const kPassword = "Haslo-Testowe-123";

const std::string kProducentHeader =
    "ID_PRODUCENTA,NAZWA,KOD_PRODUCENTA,ID_KRAJU,ID_WOJEWODZTWA,ULICA_DOM,KOD_POCZTOWY,MIEJSCOWOSC,TEL_KIER,"
    "TELEFON1,TELEFON2,TELEFON3,FAKS,NIP,EMAIL_PODSTAWOWY,EMAIL_DZIAL_HANDLOWY,ADRES_WWW,NAZWISKO_OSH,IMIE_"
    "OSH,"
    "STANOWISKO_OSH,TELEFON_OSH,EMAIL_OSH,NAZWISKO_OST,IMIE_OST,STANOWISKO_OST,TELEFON_OST,EMAIL_OST,OPIS_"
    "FIRMY,"
    "UPUSTY";
const std::string kTowarHeader =
    "ID_TOWARU,ID_PRODUCENTA,NAZWA,NAZWA_SKR,ID_JEDNOSTKI,INDEKS_ETO,PKWIU,SYMBOL,CENA_PRODUCENTA,"
    "CENA_DETALICZNA,CENA_HURTOWA,CENA_JEDNOSTKOWA,CENA_NARZUT,ID_WALUTY,ID_STAWKI_VAT,DATA_OBOWIAZYWANIA_"
    "CENY,"
    "DATA_MODYFIKACJI,NAZWA_ORG_PROD,OPIS_TOWARU,CIEZAR_WL,SPOSOB_OPAKOWANIA,CIEZAR_JED_PAK,ILE_TOW_W_JED,"
    "ROZMIAR_JP_DL,ROZMIAR_JP_SZ,ROZMIAR_JP_WY,ADRES_WWW,TYP_RMS";

// A small hand-made catalogue. The names are chosen for the Polish order:
// Cynk < Ćwiek < Lutnia < Łata, Lakierowanie < Ładowanie < Łączenie < Murowanie.
std::map<std::string, std::string> sourceTables() {
    return {
        {"KRAJ", lines({"ID_KRAJU,NAZWA_KRAJU", "1,Polska", "2,Niemcy"})},
        {"WOJEWODZTWO", lines({"ID_WOJEWODZTWA,NAZWA", "1,mazowieckie", "2,łódzkie"})},
        {"WALUTA", lines({"ID_WALUTY,SYMBOL,NAZWA,KOD", "1,PLN,złoty,zł", "2,EUR,euro,€"})},
        {"STAWKA_VAT", lines({"ID_STAWKI_VAT,KOD,NAZWA", "1,23%,podstawowa", "2,zw.,zwolniona"})},
        {"JEDNOSTKA_MIARY", lines({"ID_JEDNOSTKI_MIARY,NAZWA,KOD", "1,szt.,SZT", "2,m2,M2", "3,kg,KG"})},
        {"BRANZA", lines({"ID_BRANZY,NAZWA,TYP_RMS", "1,Pozostałe,M", "2,Maszyny,S"})},
        {"GRUPA_TOWAROWA", lines({"ID_GRUPY,NAZWA", "1,Cement", "2,Drewno"})},
        {"PRODUCENT",
         lines({kProducentHeader,
                "1,Żuraw Sp. z o.o.,Zur01,1,2,ul. Łąkowa 5,90-001,Łódź,42,123 45 67,,,,526-000-12-34,"
                "biuro@zuraw.example.pl,,www.a.example.pl; www.b.example.pl,Nowak,Anna,Kierownik działu "
                "handlowego,"
                "601 000 001,a.nowak@zuraw.example.pl,,,,,,\"Producent dźwigów.\r\nDruga linia.\",Upust 5%",
                "2,Ćwiek s.c.,CWI02,1,1,ul. Polna 1,00-950,Lublin,81,,222 33 "
                "44,,,,info@cwiek.example.pl,,,Kowalski,"
                "Jan,,,,,,,,,,",
                "3,Cynk-Pol,CYN03,2,1,,,Lublin,,,,,,123-456-32-18,,,,,,,,,,,,,,,"})},
        {"TOWAR",
         lines(
             {kTowarHeader,
              "1,1,Łata dachowa 4x5 cm,łata 4x5,2,1520101,16.10.10.0,zur-łata,12.5,15,13.2,14.1,16.2,1,1,"
              "2004-03-05,2026-09-30,Łata Żuraw,\"Opis: łata\r\nimpregnowana\",550,wiązka,95,100,4,0.3,0.3,"
              "www.zuraw.example.pl/lata,M",
              "2,3,Lutnia ozdobna,,1,,,,,,,,,2,2,0,,,,,,,,,,,,M",
              "3,2,Ćwiek stalowy 100 mm,ćwiek 100,3,0301,25.93.14.0,CW-100,3,,,3.5,,1,1,,,,,,,,0.001,,,,,S",
              "4,3,Cynk w arkuszach,cynk,2,1520101,,,12.5,,0.12345,,,1,1,2026-01-31,,,,1.005,karton,,,,,,,M",
              "5,1,cynk w arkuszach,,1,999,,,0.99,,,,,1,1,,,,,,,,,,,,,R"})},
        {"BRANZA_PRODUCENTA", lines({"ID_PRODUCENTA,ID_BRANZY", "1,1", "1,2", "2,1"})},
        {"WYBRANA_GRUPA", lines({"ID_TOWARU,ID_GRUPY", "1,2", "4,1", "5,1"})},
        {"KNR",
         lines({"id_knr,nazwa,grupa_nazwa,grupa_identyf,sort", "2,Konstrukcje budowlane,KNR 2-02,KNR 2-02,1",
                "1,Roboty remontowe,KNR 4-01,KNR 4-01,2"})},
        {"ceny_robot",
         lines({"id_ceny,wariant,jedn_miary,cena,podstawa,zrodlo,nazwa",
                "1,średnia,m2,99.9,KNR 2-02 0126-03,Test,Murowanie ścian",
                "2,min.,m,10,KNR 2-15 0101-01,Test,Łączenie rur",
                "3,maks.,m3,32.5,KNR 4-01 0108-01,Test,Ładowanie gruzu", "4,,,,,,Lakierowanie"})},
        {"Wersja", lines({"Edycja,Rok", "IV kwartał,2026"})},
    };
}

// What the dump gives back: the mode-2 search columns upper case, the prices
// and weights rounded to their columns' decimals (0.12345 -> 0.1235 for a
// currency, 1.005 -> 1.01 for decimal(10,2)).
std::map<std::string, std::string> expectedDump() {
    auto d = sourceTables();
    d["PRODUCENT"] = lines(
        {kProducentHeader,
         "1,Żuraw Sp. z o.o.,ZUR01,1,2,ul. Łąkowa 5,90-001,ŁÓDŹ,42,123 45 67,,,,526-000-12-34,"
         "biuro@zuraw.example.pl,,www.a.example.pl; www.b.example.pl,Nowak,Anna,Kierownik działu handlowego,"
         "601 000 001,a.nowak@zuraw.example.pl,,,,,,\"Producent dźwigów.\r\nDruga linia.\",Upust 5%",
         "2,Ćwiek s.c.,CWI02,1,1,ul. Polna 1,00-950,LUBLIN,81,,222 33 44,,,,info@cwiek.example.pl,,,Kowalski,"
         "Jan,,,,,,,,,,",
         "3,Cynk-Pol,CYN03,2,1,,,LUBLIN,,,,,,123-456-32-18,,,,,,,,,,,,,,,"});
    d["TOWAR"] =
        lines({kTowarHeader,
               "1,1,Łata dachowa 4x5 cm,ŁATA 4X5,2,1520101,16.10.10.0,ZUR-ŁATA,12.5,15,13.2,14.1,16.2,1,1,"
               "2004-03-05,2026-09-30,ŁATA ŻURAW,\"Opis: łata\r\nimpregnowana\",550,WIĄZKA,95,100,4,0.3,0.3,"
               "www.zuraw.example.pl/lata,M",
               "2,3,Lutnia ozdobna,,1,,,,,,,,,2,2,0,,,,,,,,,,,,M",
               "3,2,Ćwiek stalowy 100 mm,ĆWIEK 100,3,0301,25.93.14.0,CW-100,3,,,3.5,,1,1,,,,,,,,0.001,,,,,S",
               "4,3,Cynk w arkuszach,CYNK,2,1520101,,,12.5,,0.1235,,,1,1,2026-01-31,,,,1.01,KARTON,,,,,,,M",
               "5,1,cynk w arkuszach,,1,999,,,0.99,,,,,1,1,,,,,,,,,,,,,R"});
    return d;
}

BuildResult buildFrom(const ScratchDir& dir, const std::map<std::string, std::string>& tables,
                      const std::string& password = kPassword) {
    writeTables(dir / "src", tables);
    BuildOptions options;
    options.password = password;
    return buildCatalog(dir / "src", dir / "out", options);
}

// Ranks of a table by key, read from the built file.
std::map<std::int64_t, std::int64_t> ranks(const ScratchDir& dir, const std::string& table,
                                           const std::string& key, const std::string& rank) {
    Db db;
    std::string error;
    std::map<std::int64_t, std::int64_t> out;
    EXPECT_TRUE(db.openReadOnly(dir / "out" / "kmx.dat", kPassword, error)) << error;
    Statement q;
    EXPECT_TRUE(q.prepare(db, "SELECT " + key + ", " + rank + " FROM " + table, error)) << error;
    while (q.nextRow(error)) out[q.intAt(0)] = q.intAt(1);
    EXPECT_EQ(error, "");
    return out;
}

TEST(CatalogBuild, DumpGivesBackTheSourceUpToUpperCasingAndRounding) {
    ScratchDir dir;
    const BuildResult built = buildFrom(dir, sourceTables());
    ASSERT_TRUE(built.ok) << built.error;
    EXPECT_EQ(built.rowCounts.at("TOWAR"), 5);
    EXPECT_EQ(built.rowCounts.at("PRODUCENT"), 3);
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "kmx.dat.tmp"));

    DumpOptions options;  // the password comes from kmx.iif
    const DumpResult dumped = dumpCatalog(dir / "out", dir / "dump", options);
    ASSERT_TRUE(dumped.ok) << dumped.error;
    for (const auto& [table, text] : expectedDump()) {
        EXPECT_EQ(readFile(dir / "dump" / (table + ".csv")), text) << table;
    }
}

TEST(CatalogBuild, SourceColumnsMayComeInAnyOrderAndLetterCase) {
    ScratchDir dir;
    auto tables = sourceTables();
    tables["KRAJ"] = lines({"nazwa_kraju,Id_Kraju", "Polska,1", "\"Niemcy, RFN\",2"});
    ASSERT_TRUE(buildFrom(dir, tables).ok);
    ASSERT_TRUE(dumpCatalog(dir / "out", dir / "dump", {}).ok);
    EXPECT_EQ(readFile(dir / "dump" / "KRAJ.csv"),
              lines({"ID_KRAJU,NAZWA_KRAJU", "1,Polska", "2,\"Niemcy, RFN\""}));
}

TEST(CatalogBuild, SettingsFileCarriesThePasswordAndOnlyThatKeyOpensTheFile) {
    ScratchDir dir;
    ASSERT_TRUE(buildFrom(dir, sourceTables()).ok);
    const UstawieniaResult settings = CzytajUstawienia(dir / "out" / "kmx.iif");
    ASSERT_TRUE(settings.ok) << settings.error;
    EXPECT_EQ(settings.password, kPassword);

    std::string error;
    data::Database right;
    EXPECT_TRUE(right.open(dir / "out" / "kmx.dat", kPassword, error)) << error;
    data::Database wrong;
    EXPECT_FALSE(wrong.open(dir / "out" / "kmx.dat", "Haslo-Testowe-124", error));
    data::Database none;
    EXPECT_FALSE(none.open(dir / "out" / "kmx.dat", "", error));

    DumpOptions badKey;
    badKey.password = "zle haslo";
    EXPECT_FALSE(dumpCatalog(dir / "out", dir / "dump", badKey).ok);
}

TEST(CatalogBuild, WithoutAPasswordTheBuildChoosesAPrintableOne) {
    ScratchDir dir;
    const BuildResult built = buildFrom(dir, sourceTables(), "");
    ASSERT_TRUE(built.ok) << built.error;
    const UstawieniaResult settings = CzytajUstawienia(dir / "out" / "kmx.iif");
    ASSERT_TRUE(settings.ok);
    EXPECT_GE(settings.password.size(), 16u);
    EXPECT_LE(settings.password.size(), 24u);
    for (char c : settings.password) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << c;
    std::string error;
    data::Database db;
    EXPECT_TRUE(db.open(dir / "out" / "kmx.dat", settings.password, error)) << error;
}

TEST(CatalogBuild, ScrambledColumnsAreBlobsThatDescrambleToTheSource) {
    ScratchDir dir;
    ASSERT_TRUE(buildFrom(dir, sourceTables()).ok);
    Db db;
    std::string error;
    ASSERT_TRUE(db.openReadOnly(dir / "out" / "kmx.dat", kPassword, error)) << error;
    Statement q;
    ASSERT_TRUE(
        q.prepare(db,
                  "SELECT NAZWA, caseNAZWA, NAZWA_SKR, OPIS_TOWARU, TYP_RMS, DATA_OBOWIAZYWANIA_CENY, "
                  "CENA_PRODUCENTA FROM TOWAR WHERE ID_TOWARU = 1",
                  error));
    ASSERT_TRUE(q.nextRow(error)) << error;
    ASSERT_TRUE(q.isBlob(0));
    const std::string name = q.bytesAt(0);
    EXPECT_NE(name, cp1250::fromUtf8("ŁATA DACHOWA 4X5 CM"));
    EXPECT_EQ(Deszyfruj(name, 1), cp1250::fromUtf8("ŁATA DACHOWA 4X5 CM"));
    ASSERT_TRUE(q.isText(1));
    EXPECT_EQ(cp1250::toUtf8(NalozWielkoscLiter(Deszyfruj(name, 1), q.bytesAt(1))), "Łata dachowa 4x5 cm");
    ASSERT_TRUE(q.isBlob(2));
    EXPECT_EQ(Deszyfruj(q.bytesAt(2), 2), cp1250::fromUtf8("ŁATA 4X5"));
    ASSERT_TRUE(q.isBlob(3));
    EXPECT_EQ(Deszyfruj(q.bytesAt(3), 3), cp1250::fromUtf8("Opis: łata\r\nimpregnowana"));  // case kept
    ASSERT_TRUE(q.isText(4));
    EXPECT_EQ(q.bytesAt(4), "M");
    EXPECT_EQ(q.realAt(5), 38051.0);  // 5 March 2004 as a day serial
    EXPECT_EQ(q.realAt(6), 12.5);

    // A name all in lower case comes back all in lower case.
    Statement lower;
    ASSERT_TRUE(
        lower.prepare(db, "SELECT NAZWA, caseNAZWA, NAZWA_SKR FROM TOWAR WHERE ID_TOWARU = 5", error));
    ASSERT_TRUE(lower.nextRow(error));
    EXPECT_EQ(cp1250::toUtf8(NalozWielkoscLiter(Deszyfruj(lower.bytesAt(0), 1), lower.bytesAt(1))),
              "cynk w arkuszach");
    EXPECT_TRUE(lower.isNull(2));  // empty source field

    // Plain text is stored as Windows-1250 bytes.
    Statement plain;
    ASSERT_TRUE(plain.prepare(db, "SELECT NAZWA FROM WOJEWODZTWO WHERE ID_WOJEWODZTWA = 2", error));
    ASSERT_TRUE(plain.nextRow(error));
    ASSERT_TRUE(plain.isText(0));
    EXPECT_EQ(plain.bytesAt(0),
              "\xB3\xF3"
              "dzkie");
}

TEST(CatalogBuild, GoodsRanksFollowPolishOrderWithTiesById) {
    ScratchDir dir;
    ASSERT_TRUE(buildFrom(dir, sourceTables()).ok);
    using R = std::map<std::int64_t, std::int64_t>;
    // Cynk w arkuszach (4), cynk w arkuszach (5, same letters), Ćwiek (3), Lutnia (2), Łata (1).
    EXPECT_EQ(ranks(dir, "TOWAR", "ID_TOWARU", "idx_nazwa"), (R{{1, 5}, {2, 4}, {3, 3}, {4, 1}, {5, 2}}));
    // "" (2), 0301 (3), 1520101 (1, 4), 999 (5).
    EXPECT_EQ(ranks(dir, "TOWAR", "ID_TOWARU", "idx_indeks_eto"),
              (R{{1, 3}, {2, 1}, {3, 2}, {4, 4}, {5, 5}}));
    // kg (3), m2 (1, 4), szt. (2, 5).
    EXPECT_EQ(ranks(dir, "TOWAR", "ID_TOWARU", "idx_jedn_miary"),
              (R{{1, 2}, {2, 4}, {3, 1}, {4, 3}, {5, 5}}));
    // null (2), 0.99 (5), 3 (3), 12.5 (1, 4).
    EXPECT_EQ(ranks(dir, "TOWAR", "ID_TOWARU", "idx_cena_dost"), (R{{1, 4}, {2, 1}, {3, 3}, {4, 5}, {5, 2}}));
    // Cynk-Pol (2, 4), Ćwiek (3), Żuraw (1, 5).
    EXPECT_EQ(ranks(dir, "TOWAR", "ID_TOWARU", "idx_prod_nazwa"),
              (R{{1, 4}, {2, 1}, {3, 3}, {4, 2}, {5, 5}}));
}

TEST(CatalogBuild, ProducerAndWorkRanksFollowPolishOrder) {
    ScratchDir dir;
    ASSERT_TRUE(buildFrom(dir, sourceTables()).ok);
    using R = std::map<std::int64_t, std::int64_t>;
    // Cynk-Pol (3), Ćwiek (2), Żuraw (1).
    EXPECT_EQ(ranks(dir, "PRODUCENT", "ID_PRODUCENTA", "idx_nazwa_prod"), (R{{1, 3}, {2, 2}, {3, 1}}));
    // CWI02 (2), CYN03 (3), Zur01 (1).
    EXPECT_EQ(ranks(dir, "PRODUCENT", "ID_PRODUCENTA", "idx_kod_prod"), (R{{1, 3}, {2, 1}, {3, 2}}));
    // no NIP (2), 123-... (3), 526-... (1).
    EXPECT_EQ(ranks(dir, "PRODUCENT", "ID_PRODUCENTA", "idx_nip_prod"), (R{{1, 3}, {2, 1}, {3, 2}}));
    // Lublin (2, 3), Łódź (1).
    EXPECT_EQ(ranks(dir, "PRODUCENT", "ID_PRODUCENTA", "idx_miejscowosc_prod"), (R{{1, 3}, {2, 1}, {3, 2}}));
    // Lakierowanie (4), Ładowanie (3), Łączenie (2), Murowanie (1).
    EXPECT_EQ(ranks(dir, "ceny_robot", "id_ceny", "idx_nazwa"), (R{{1, 4}, {2, 3}, {3, 2}, {4, 1}}));
}

TEST(CatalogBuild, IndexesTheRanksAndJoinKeys) {
    ScratchDir dir;
    ASSERT_TRUE(buildFrom(dir, sourceTables()).ok);
    Db db;
    std::string error;
    ASSERT_TRUE(db.openReadOnly(dir / "out" / "kmx.dat", kPassword, error)) << error;
    Statement q;
    ASSERT_TRUE(
        q.prepare(db, "SELECT tbl_name || '.' || sql FROM sqlite_master WHERE type = 'index'", error));
    std::vector<std::string> indexes;
    while (q.nextRow(error)) indexes.push_back(q.bytesAt(0));
    auto has = [&](const std::string& table, const std::string& column) {
        for (const auto& s : indexes) {
            if (s.rfind(table + ".", 0) == 0 && s.find("(" + column + ")") != std::string::npos) return true;
        }
        return false;
    };
    for (const char* c : {"ID_PRODUCENTA", "ID_WALUTY", "ID_JEDNOSTKI", "ID_STAWKI_VAT", "idx_nazwa",
                          "idx_indeks_eto", "idx_jedn_miary", "idx_cena_dost", "idx_prod_nazwa"}) {
        EXPECT_TRUE(has("TOWAR", c)) << c;
    }
    for (const char* c : {"ID_WOJEWODZTWA", "ID_KRAJU", "idx_nazwa_prod", "idx_kod_prod", "idx_nip_prod",
                          "idx_miejscowosc_prod"}) {
        EXPECT_TRUE(has("PRODUCENT", c)) << c;
    }
    EXPECT_TRUE(has("WYBRANA_GRUPA", "ID_TOWARU"));
    EXPECT_TRUE(has("WYBRANA_GRUPA", "ID_GRUPY"));
    EXPECT_TRUE(has("BRANZA_PRODUCENTA", "ID_PRODUCENTA"));
    EXPECT_TRUE(has("BRANZA_PRODUCENTA", "ID_BRANZY"));
    EXPECT_TRUE(has("KNR", "sort"));
    EXPECT_TRUE(has("ceny_robot", "idx_nazwa"));
}

TEST(CatalogBuild, MissingTableFailsAndLeavesNoFile) {
    ScratchDir dir;
    auto tables = sourceTables();
    tables.erase("KNR");
    const BuildResult built = buildFrom(dir, tables);
    EXPECT_FALSE(built.ok);
    EXPECT_EQ(built.error, "missing source file " + (dir / "src" / "KNR.csv").string());
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "kmx.dat"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "kmx.iif"));
}

TEST(CatalogBuild, FailedBuildKeepsThePreviousCatalogueAndLeavesNoTemporaryFiles) {
    ScratchDir dir;
    ASSERT_TRUE(buildFrom(dir, sourceTables()).ok);
    const std::string before = readFile(dir / "out" / "kmx.dat");
    const std::string settingsBefore = readFile(dir / "out" / "kmx.iif");
    auto tables = sourceTables();
    tables["ceny_robot"] += "5,x,m,abc,,,Nic\r\n";
    const BuildResult built = buildFrom(dir, tables, "inne haslo");
    EXPECT_FALSE(built.ok);
    EXPECT_EQ(built.error, "ceny_robot.csv, line 6, column cena: not a number: \"abc\"");
    EXPECT_EQ(readFile(dir / "out" / "kmx.dat"), before);
    EXPECT_EQ(readFile(dir / "out" / "kmx.iif"), settingsBefore);
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "kmx.dat.tmp"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "kmx.iif.new"));
}

struct BadSource {
    const char* name;  // of the test case
    const char* table;
    const char* from;  // text replaced in that table's CSV
    const char* to;
    const char* error;
};

void PrintTo(const BadSource& bad, std::ostream* os) {
    *os << bad.name;
}

class CatalogBuildRejects : public ::testing::TestWithParam<BadSource> {};

TEST_P(CatalogBuildRejects, TheFirstBadValueWithFileLineAndColumn) {
    const BadSource& bad = GetParam();
    ScratchDir dir;
    auto tables = sourceTables();
    std::string& text = tables[bad.table];
    const auto at = text.find(bad.from);
    ASSERT_NE(at, std::string::npos) << bad.from;
    text.replace(at, std::string(bad.from).size(), bad.to);
    const BuildResult built = buildFrom(dir, tables);
    EXPECT_FALSE(built.ok);
    EXPECT_EQ(built.error, bad.error);
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "kmx.dat"));
}

// TOWAR's first row holds a line break inside quotes, so its rows 2 to 5
// start on lines 4 to 7.
INSTANTIATE_TEST_SUITE_P(
    BadValues, CatalogBuildRejects,
    ::testing::Values(
        BadSource{"WrongFieldCount", "TOWAR", "12.5,,0.12345", "12,5,,0.12345",
                  "TOWAR.csv, line 6: 29 fields, the header has 28"},
        BadSource{"CommaDecimal", "TOWAR", ",0.99,", ",0;99,",
                  "TOWAR.csv, line 7, column CENA_PRODUCENTA: not a number: \"0;99\""},
        BadSource{"ImpossibleDate", "TOWAR", "2026-01-31", "2026-02-30",
                  "TOWAR.csv, line 6, column DATA_OBOWIAZYWANIA_CENY: not a date (yyyy-mm-dd or 0): "
                  "\"2026-02-30\""},
        BadSource{"UnknownProducer", "TOWAR", "5,1,cynk", "5,9,cynk",
                  "TOWAR.csv, line 7, column ID_PRODUCENTA: 9 names no row of PRODUCENT"},
        BadSource{"DuplicateKey", "TOWAR", "5,1,cynk", "4,1,cynk",
                  "TOWAR.csv, line 7, column ID_TOWARU: duplicate key 4"},
        BadSource{"ZeroKey", "TOWAR", "3,2,Ćwiek", "0,2,Ćwiek",
                  "TOWAR.csv, line 5, column ID_TOWARU: key must be a positive integer"},
        BadSource{"MissingReference", "TOWAR", "2,3,Lutnia ozdobna,,1", "2,3,Lutnia ozdobna,,",
                  "TOWAR.csv, line 4, column ID_JEDNOSTKI: missing"},
        BadSource{
            "NotWindows1250", "TOWAR", "Lutnia ozdobna", "Lutnia \xCE\xBB",
            "TOWAR.csv, line 4, column NAZWA: text with a character outside Windows-1250 (or not UTF-8)"},
        BadSource{"TildeEscape", "TOWAR", "Lutnia ozdobna", "Lutnia ~a",
                  "TOWAR.csv, line 4, column NAZWA: text that scrambling cannot restore (\"~\" before a "
                  "letter of the "
                  "Polish-letter escapes)"},
        BadSource{"TooLong", "TOWAR", "1520101,,,12.5", "12345678901234567890A,,,12.5",
                  "TOWAR.csv, line 6, column INDEKS_ETO: longer than 20 characters"},
        BadSource{"ComputedColumnGiven", "TOWAR", ",TYP_RMS", ",TYP_RMS,caseNAZWA",
                  "TOWAR.csv: column caseNAZWA is computed by the build and must not be given"},
        BadSource{"UnknownColumn", "TOWAR", ",TYP_RMS", ",TYP", "TOWAR.csv: unknown column \"TYP\""},
        BadSource{"MissingColumn", "KRAJ", "ID_KRAJU,NAZWA_KRAJU", "ID_KRAJU",
                  "KRAJ.csv: column NAZWA_KRAJU missing"},
        BadSource{"UnclosedQuote", "KRAJ", "2,Niemcy", "2,\"Niemcy",
                  "KRAJ.csv, line 3: quoted field not closed"},
        BadSource{"DuplicateLink", "WYBRANA_GRUPA", "5,1", "4,1",
                  "WYBRANA_GRUPA.csv, line 4: the same link is given twice"},
        BadSource{"TwoVersionRows", "Wersja", "IV kwartał,2026", "IV kwartał,2026\r\nIII kwartał,2026",
                  "Wersja.csv: must hold exactly one row, holds 2"},
        BadSource{"ExponentNotation", "ceny_robot", "99.9", "1e3",
                  "ceny_robot.csv, line 2, column cena: not a number: \"1e3\""},
        BadSource{"NumberTooLarge", "ceny_robot", "99.9", "10000000000000000",
                  "ceny_robot.csv, line 2, column cena: number out of range: \"10000000000000000\""}),
    [](const ::testing::TestParamInfo<BadSource>& p) { return std::string(p.param.name); });

TEST(CatalogBuild, RefusesPasswordsTheProgramCouldNotUse) {
    ScratchDir dir;
    std::string cp;
    std::string error;
    EXPECT_TRUE(passwordToCp1250("Hasło", cp, error));
    EXPECT_EQ(cp, "Has\xB3o");
    EXPECT_FALSE(passwordToCp1250(std::string(65, 'a'), cp, error));
    EXPECT_EQ(error, "the password is longer than 64 characters");
    EXPECT_FALSE(passwordToCp1250("\xCE\xBB", cp, error));
    EXPECT_FALSE(buildFrom(dir, sourceTables(), "~abc").ok);
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "kmx.dat"));
}

TEST(CatalogDump, MissingSettingsFileIsReported) {
    ScratchDir dir;
    ASSERT_TRUE(buildFrom(dir, sourceTables()).ok);
    std::filesystem::remove(dir / "out" / "kmx.iif");
    const DumpResult dumped = dumpCatalog(dir / "out", dir / "dump", {});
    EXPECT_FALSE(dumped.ok);
    EXPECT_NE(dumped.error.find("kmx.iif"), std::string::npos) << dumped.error;
    DumpOptions withPassword;
    withPassword.password = kPassword;
    EXPECT_TRUE(dumpCatalog(dir / "out", dir / "dump", withPassword).ok);
}

}  // namespace
}  // namespace kmx::catalog
