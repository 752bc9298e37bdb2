// The data module on a small catalogue built from hand-written sources:
// connection, lookups, display texts, computed fields and notifications.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "catalog/builder.h"
#include "core/cp1250.h"
#include "core/last_error.h"
#include "data/tdm.h"
#include "test_catalog.h"

namespace kmx::data {
namespace {

using testing::TempDir;

std::string lines(const std::vector<std::string>& rows) {
    std::string out;
    for (const auto& r : rows) out += r + "\r\n";
    return out;
}

const std::string kPassword = "Has\xB3o-TDM-1";  // Windows-1250 "Hasło-TDM-1"

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

std::map<std::string, std::string> sources() {
    return {
        {"KRAJ", lines({"ID_KRAJU,NAZWA_KRAJU", "1,Polska"})},
        {"WOJEWODZTWO", lines({"ID_WOJEWODZTWA,NAZWA", "1,mazowieckie", "2,łódzkie"})},
        {"WALUTA", lines({"ID_WALUTY,SYMBOL,NAZWA,KOD", "1,PLN,złoty,PLN", "2,EUR,euro,EUR"})},
        {"STAWKA_VAT", lines({"ID_STAWKI_VAT,KOD,NAZWA", "1,23%,podstawowa"})},
        {"JEDNOSTKA_MIARY", lines({"ID_JEDNOSTKI_MIARY,NAZWA,KOD", "1,szt.,SZT", "2,m2,M2"})},
        {"BRANZA", lines({"ID_BRANZY,NAZWA,TYP_RMS", "1,Pozostałe,M", "2,Pozostałe,S", "3,Pozostałe,R",
                          "4,Maszyny,S"})},
        {"GRUPA_TOWAROWA", lines({"ID_GRUPY,NAZWA", "1,Cement", "2,Drewno"})},
        {"PRODUCENT",
         lines({kProducentHeader,
                "1,Żuraw Sp. z o.o.,Zur01,1,2,ul. Łąkowa 5,90-001,Łódź,42,123 45 67,,,,526-000-12-34,"
                "biuro@zuraw.example.pl,,www.zuraw.example.pl,Nowak,Anna,Kierownik,601 000 001,"
                "a.nowak@zuraw.example.pl,,,,,,Producent dźwigów.,Upust 5%",
                "2,Ćwiek s.c.,CWI02,1,1,ul. Polna 1,00-950,Warszawa,22,,222 33 44,,,,info@cwiek.example.pl,,,"
                "Kowalski,Jan,,,,,,,,,,"})},
        {"TOWAR",
         lines({kTowarHeader,
                "1,1,Łata dachowa 4x5 cm,łata 4x5,2,1520101,16.10.10.0,zur-łata,12.5,15,13.2,14.1,16.2,1,1,"
                "2004-03-05,2026-09-30,Łata Żuraw,Opis łaty,550,wiązka,95,100,4,0.3,0.3,"
                "www.zuraw.example.pl/lata,M",
                "2,2,Ćwiek stalowy 100 mm,ćwiek 100,1,0301,25.93.14.0,CW-100,3,,,0,,2,1,,,,,,,,,,,,,S"})},
        {"BRANZA_PRODUCENTA", lines({"ID_PRODUCENTA,ID_BRANZY", "1,1", "1,4", "2,1"})},
        {"WYBRANA_GRUPA", lines({"ID_TOWARU,ID_GRUPY", "1,2", "1,1"})},
        {"KNR", lines({"id_knr,nazwa,grupa_nazwa,grupa_identyf,sort", "2,Konstrukcje,KNR 2-02,KNR 2-02,1"})},
        {"ceny_robot", lines({"id_ceny,wariant,jedn_miary,cena,podstawa,zrodlo,nazwa",
                              "1,średnia,m2,99.9,KNR 2-02 0126-03,Test,Beton podkładowy"})},
        {"Wersja", lines({"Edycja,Rok", "IV kwartał,2026"})},
    };
}

// One catalogue for the whole suite; every test opens its own data module.
class TDMTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        const auto src = dir_->path() / "src";
        std::filesystem::create_directories(src);
        for (const auto& [name, text] : sources())
            std::ofstream(src / (name + ".csv"), std::ios::binary) << text;
        catalog::BuildOptions options;
        options.password = cp1250::toUtf8(kPassword);
        const auto r = catalog::buildCatalog(src, dir_->path(), options);
        ASSERT_TRUE(r.ok) << r.error;
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static std::filesystem::path dataFile() { return dir_->path() / "kmx.dat"; }

    void openCatalogue() {
        ASSERT_FALSE(dm.PolaczZBaza(dataFile(), kPassword)) << OstatniBlad().text;
        ASSERT_FALSE(dm.OtworzTabele()) << OstatniBlad().text;
    }
    std::string text(DataSet& ds, const char* field) {
        const int f = ds.fieldIndex(field);
        EXPECT_GE(f, 0) << field;
        return f < 0 ? std::string() : ds.displayText(f);
    }

    static TempDir* dir_;
    TDM dm;
};
TempDir* TDMTest::dir_ = nullptr;

const char* const kGoodsSql =
    "SELECT TOWAR.*, PRODUCENT.*, JEDNOSTKA_MIARY.NAZWA, WALUTA.SYMBOL, WOJEWODZTWO.NAZWA, KRAJ.NAZWA_KRAJU "
    "FROM TOWAR, PRODUCENT, WALUTA, JEDNOSTKA_MIARY, WOJEWODZTWO, KRAJ WHERE TOWAR.ID_PRODUCENTA = "
    "PRODUCENT.ID_PRODUCENTA AND TOWAR.ID_WALUTY = WALUTA.ID_WALUTY AND JEDNOSTKA_MIARY.ID_JEDNOSTKI_MIARY = "
    "TOWAR.ID_JEDNOSTKI AND PRODUCENT.ID_WOJEWODZTWA = WOJEWODZTWO.ID_WOJEWODZTWA AND PRODUCENT.ID_KRAJU = "
    "KRAJ.ID_KRAJU ORDER BY idx_NAZWA";

TEST(TDMConnectionString, ListsEveryKeyInOrder) {
    EXPECT_EQ(TDM::ConnectionString("/opt/kmx/kmx.dat", "tajne"),
              "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Password=;Data Source=/opt/kmx/kmx.dat;"
              "Mode=Share Deny Write;Extended Properties=\"\";Persist Security Info=False;"
              "Jet OLEDB:System database=;Jet OLEDB:Registry Path=\"\";Jet OLEDB:Database Password=tajne;"
              "Jet OLEDB:Engine Type=5;Jet OLEDB:Database Locking Mode=1;Jet OLEDB:Global Partial Bulk Ops=2;"
              "Jet OLEDB:Global Bulk Transactions=1;Jet OLEDB:New Database Password=\"\";"
              "Jet OLEDB:Create System Database=False;Jet OLEDB:Encrypt Database=False;"
              "Jet OLEDB:Don't Copy Locale on Compact=False;Jet OLEDB:Compact Without Replica Repair=False;"
              "Jet OLEDB:SFP=False");
}

TEST(TDMBuiltInPassword, IsElevenPlainCharacters) {
    const std::string p = TDM::WbudowaneHaslo();
    ASSERT_EQ(p.size(), 11u);
    for (unsigned char c : p) EXPECT_TRUE(c > 0x20 && c < 0x7F) << int(c);
}

TEST(TDMPageNumber, FollowsTheRowsOfEachPage) {
    EXPECT_EQ(TDM::ObliczNumerStrBiez(3, 20, 1), 1);
    EXPECT_EQ(TDM::ObliczNumerStrBiez(3, 20, 20), 1);
    EXPECT_EQ(TDM::ObliczNumerStrBiez(3, 20, 21), 2);
    EXPECT_EQ(TDM::ObliczNumerStrBiez(3, 20, 60), 3);
    EXPECT_EQ(TDM::ObliczNumerStrBiez(3, 20, 61), 0);
    EXPECT_EQ(TDM::ObliczNumerStrBiez(3, 20, 0), 1);
    EXPECT_EQ(TDM::ObliczNumerStrBiez(0, 20, 1), 0);
    EXPECT_EQ(TDM::ObliczNumerStrBiez(3, 17, 18), 2);
}

TEST_F(TDMTest, WrongOrEmptyPasswordFailsWithTheStartUpMessage) {
    for (const std::string& pw : {std::string("zle-haslo"), std::string()}) {
        EXPECT_TRUE(dm.PolaczZBaza(dataFile(), pw));
        const auto& e = OstatniBlad();
        EXPECT_EQ(e.code, 0);
        EXPECT_EQ(e.text.rfind("Nie można otworzyć bazy danych Davideriv.\r\n", 0), 0u) << e.text;
        EXPECT_NE(e.text.find("file is encrypted or is not a database"), std::string::npos) << e.text;
    }
    // Without a password the built-in one is tried, which this catalogue does not use.
    EXPECT_TRUE(dm.PolaczZBaza(dataFile(), std::nullopt));
    EXPECT_NE(dm.connectionString().find("Database Password=" + TDM::WbudowaneHaslo() + ";"),
              std::string::npos);
}

TEST_F(TDMTest, MissingFileAndForeignFileFail) {
    EXPECT_TRUE(dm.PolaczZBaza(dir_->path() / "brak.dat", kPassword));
    EXPECT_EQ(OstatniBlad().text.rfind("Nie można otworzyć bazy danych Davideriv.\r\n", 0), 0u);
    const auto junk = dir_->path() / "junk.dat";
    std::ofstream(junk, std::ios::binary) << std::string(4096, 'x');
    EXPECT_TRUE(dm.PolaczZBaza(junk, kPassword));
    EXPECT_EQ(OstatniBlad().text.rfind("Nie można otworzyć bazy danych Davideriv.\r\n", 0), 0u);
}

TEST_F(TDMTest, OpensLookupsInPolishOrderAndRefusesWrites) {
    openCatalogue();
    EXPECT_TRUE(dm.TWojewodztwo.active());
    ASSERT_EQ(dm.TWojewodztwo.recordCount(), 2);
    dm.TWojewodztwo.first();
    EXPECT_EQ(text(dm.TWojewodztwo, "NAZWA"), "łódzkie");  // ł sorts after l, before m
    EXPECT_TRUE(dm.TDostawca.active());

    Statement st;
    std::string error;
    EXPECT_FALSE(dm.KMXConnection.prepare("DELETE FROM TOWAR", st, error));
    EXPECT_FALSE(error.empty());
}

TEST_F(TDMTest, EditionRecordReads) {
    openCatalogue();
    std::string edycja = "x", rok = "yyyy";
    ASSERT_TRUE(dm.CzytajWersje(edycja, rok));
    EXPECT_EQ(edycja, "IV kwartał");
    EXPECT_EQ(rok, "2026");
    EXPECT_FALSE(dm.TWersja.active());
}

// Every found item's Zrodlo, as shown.
std::vector<std::string> zrodla(const DataSet& ds) {
    std::vector<std::string> out;
    const int f = ds.fieldIndex("Zrodlo");
    for (int r = 0; r < ds.recordCount(); ++r) out.push_back(f < 0 ? "<none>" : ds.displayText(r, f));
    return out;
}

TEST_F(TDMTest, FoundGoodsCarryTheSourceOfTheEditionLastRead) {
    openCatalogue();
    std::string error;
    ASSERT_TRUE(dm.QWybrTow.open(kGoodsSql, error)) << error;
    ASSERT_EQ(dm.QWybrTow.recordCount(), 2);
    const std::string brak = "Ceny średnie materiałów wg KalMarex z x kw. yyyy ";
    const std::string wydanie = "Ceny średnie materiałów wg KalMarex z IV kwartał kw. 2026 ";
    EXPECT_EQ(zrodla(dm.QWybrTow), (std::vector<std::string>{brak, brak}));  // nothing read yet

    std::string edycja, rok;
    ASSERT_TRUE(dm.CzytajWersje(edycja, rok));
    EXPECT_EQ(zrodla(dm.QWybrTow), (std::vector<std::string>{wydanie, wydanie}));
    // Kept across re-opening; the cell holds the same text.
    ASSERT_TRUE(dm.QWybrTow.open(kGoodsSql, error)) << error;
    EXPECT_EQ(zrodla(dm.QWybrTow), (std::vector<std::string>{wydanie, wydanie}));
    dm.QWybrTow.first();
    EXPECT_EQ(dm.QWybrTow.value("Zrodlo").bytes(), wydanie);

    // After the statement's own columns, which keep their places: whatever
    // counts or walks the columns sees the same as before.
    DataSet plain(&dm.KMXConnection);
    ASSERT_TRUE(plain.open(kGoodsSql, error)) << error;
    ASSERT_EQ(dm.QWybrTow.dataFieldCount(), plain.fieldCount());
    for (int f = 0; f < plain.fieldCount(); ++f) EXPECT_EQ(dm.QWybrTow.fieldName(f), plain.fieldName(f)) << f;
    EXPECT_TRUE(dm.QWybrTow.isComputed(dm.QWybrTow.fieldIndex("Zrodlo")));
    // Only the found goods have it.
    ASSERT_TRUE(dm.QWybrTowForDost.open(ZapytanieTowarowDostawcy(1), error)) << error;
    EXPECT_LT(dm.QWybrTowForDost.fieldIndex("Zrodlo"), 0);

    // A read that fails brings the placeholders back, and so does connecting again.
    dm.TWersja.setSql("select * from BrakWersji");
    edycja = rok = "?";
    EXPECT_FALSE(dm.CzytajWersje(edycja, rok));
    EXPECT_EQ(edycja, "?");
    EXPECT_EQ(zrodla(dm.QWybrTow), (std::vector<std::string>{brak, brak}));
    dm.TWersja.setSql("select * from Wersja");
    ASSERT_TRUE(dm.CzytajWersje(edycja, rok));
    EXPECT_EQ(dm.wersjaEdycja(), "IV kwartał");
    ASSERT_FALSE(dm.PolaczZBaza(dataFile(), kPassword));
    EXPECT_EQ(dm.wersjaEdycja(), "x");
    EXPECT_EQ(dm.wersjaRok(), "yyyy");
}

TEST_F(TDMTest, GoodsFieldsShowTheirPlainText) {
    openCatalogue();
    std::string error;
    ASSERT_TRUE(dm.QWybrTow.open(kGoodsSql, error)) << error;
    ASSERT_EQ(dm.QWybrTow.recordCount(), 2);
    dm.QWybrTow.first();  // "Ćwiek" sorts before "Łata"
    EXPECT_EQ(text(dm.QWybrTow, "towar.NAZWA"), "Ćwiek stalowy 100 mm");
    EXPECT_EQ(text(dm.QWybrTow, "CENA_JEDNOSTKOWA"), "0,00");
    EXPECT_EQ(text(dm.QWybrTow, "CENA_DETALICZNA"), "");
    EXPECT_EQ(text(dm.QWybrTow, "TELEFON1"), "");
    EXPECT_EQ(text(dm.QWybrTow, "TELEFON2"), "222 33 44");
    EXPECT_EQ(text(dm.QWybrTow, "LP"), "1");
    dm.QWybrTow.next();
    EXPECT_EQ(text(dm.QWybrTow, "LP"), "2");
    EXPECT_EQ(text(dm.QWybrTow, "towar.NAZWA"), "Łata dachowa 4x5 cm");
    EXPECT_EQ(text(dm.QWybrTow, "producent.NAZWA"), "Żuraw Sp. z o.o.");
    EXPECT_EQ(text(dm.QWybrTow, "NAZWA_SKR"), "ŁATA 4X5");
    EXPECT_EQ(text(dm.QWybrTow, "TOWAR.SYMBOL"), "ZUR-ŁATA");
    EXPECT_EQ(text(dm.QWybrTow, "MIEJSCOWOSC"), "ŁÓDŹ");
    EXPECT_EQ(text(dm.QWybrTow, "ULICA_DOM"), "ul. Łąkowa 5");
    EXPECT_EQ(text(dm.QWybrTow, "CENA_PRODUCENTA"), "12,50");
    EXPECT_EQ(text(dm.QWybrTow, "CENA_JEDNOSTKOWA"), "14,10");
    EXPECT_EQ(text(dm.QWybrTow, "ROZMIAR_JP_SZ"), "0,3");
    EXPECT_EQ(text(dm.QWybrTow, "CIEZAR_WL"), "550");
    EXPECT_EQ(text(dm.QWybrTow, "DATA_OBOWIAZYWANIA_CENY"), "05-03-2004");
    EXPECT_EQ(text(dm.QWybrTow, "JEDNOSTKA_MIARY.NAZWA"), "m2");
    EXPECT_EQ(text(dm.QWybrTow, "WALUTA.SYMBOL"), "PLN");
    EXPECT_EQ(text(dm.QWybrTow, "Wojewodztwo.NAZWA"), "łódzkie");
    EXPECT_EQ(text(dm.QWybrTow, "TYP_RMS"), "M");
    // Memo columns are descrambled by the detail views themselves.
    EXPECT_NE(text(dm.QWybrTow, "OPIS_TOWARU"), "Opis łaty");
}

TEST_F(TDMTest, SupplierGoodsResolveJetFieldNames) {
    openCatalogue();
    std::string error;
    ASSERT_TRUE(dm.QWybrTowForDost.open(ZapytanieTowarowDostawcy(1), error)) << error;
    ASSERT_EQ(dm.QWybrTowForDost.recordCount(), 1);
    dm.QWybrTowForDost.first();
    for (const char* f : {"towar.NAZWA", "JEDNOSTKA_MIARY.NAZWA", "NAZWA_SKR", "caseNazwa", "STAWKA_VAT.KOD",
                          "WALUTA.SYMBOL"})
        EXPECT_GE(dm.QWybrTowForDost.fieldIndex(f), 0) << f;
    EXPECT_EQ(text(dm.QWybrTowForDost, "Towar.NAZWA"), "Łata dachowa 4x5 cm");
    EXPECT_EQ(text(dm.QWybrTowForDost, "OPIS_TOWARU"), "Opis łaty");
    EXPECT_EQ(text(dm.QWybrTowForDost, "STAWKA_VAT.KOD"), "23%");
}

TEST_F(TDMTest, EmptyResultShowsNoRowNumber) {
    openCatalogue();
    std::string error;
    ASSERT_TRUE(dm.QWybrTowForDost.open(ZapytanieTowarowDostawcy(999), error)) << error;
    EXPECT_EQ(dm.QWybrTowForDost.recordCount(), 0);
    EXPECT_EQ(text(dm.QWybrTowForDost, "LP"), "");
}

TEST_F(TDMTest, SupplierNamesAndBranchNames) {
    openCatalogue();
    std::vector<std::string> names;
    const int nazwaD = dm.TDostawca.fieldIndex("NazwaD");
    ASSERT_GE(nazwaD, 0);
    for (int r = 0; r < dm.TDostawca.recordCount(); ++r) names.push_back(dm.TDostawca.displayText(r, nazwaD));
    EXPECT_EQ(names, (std::vector<std::string>{"Ćwiek s.c.", "Żuraw Sp. z o.o."}));

    std::map<long, std::string> branches;
    const int id = dm.TBranza.fieldIndex("ID_BRANZY");
    const int name = dm.TBranza.fieldIndex("NAZWA");
    for (int r = 0; r < dm.TBranza.recordCount(); ++r)
        branches[static_cast<long>(dm.TBranza.cell(r, id).asInt())] = dm.TBranza.displayText(r, name);
    EXPECT_EQ(branches[1], "Pozostałe M");
    EXPECT_EQ(branches[2], "Pozostałe S");
    EXPECT_EQ(branches[3], "");
    EXPECT_EQ(branches[4], "Maszyny");
}

TEST_F(TDMTest, WorkPricesRunThroughTheEngineStatement) {
    openCatalogue();
    EXPECT_EQ(dm.WykonajScalone("select * from ceny_robot where  Nazwa LIKE '%beton%'"), 1);
    dm.Qscalone.first();
    EXPECT_EQ(text(dm.Qscalone, "cena"), "99,90");
    EXPECT_EQ(dm.WykonajScalone("select * from ceny_robot where  Nazwa LIKE '%o'k%'"), -1);
    EXPECT_FALSE(dm.scaloneError().empty());
}

// Records what the data module asks of the main window.
class RecordingObserver : public TDMObserver {
public:
    std::vector<std::string> calls;
    DataSet* grid = nullptr;
    void UstawPrzyciskMenuiZaklSzczTowDost(bool on) override { calls.push_back(on ? "tab on" : "tab off"); }
    void PokazDaneDostawcy(DataSet&) override { calls.push_back("supplier"); }
    void PokazDaneTowaru(DataSet&) override { calls.push_back("goods"); }
    void UstawPrzyciskiStron() override { calls.push_back("buttons"); }
    std::optional<ActiveGrid> GetActiveGrid() override {
        if (!grid) return std::nullopt;
        return ActiveGrid{grid, 1};
    }
    int ObliczIloscStronwGridzie() override { return grid ? grid->recordCount() : 0; }
    void UstawIloscStron(int pages) override { calls.push_back("pages " + std::to_string(pages)); }
    void UstawNumerStrony(int page) override { calls.push_back("page " + std::to_string(page)); }
};

TEST_F(TDMTest, ScrollNotificationsRunInOrder) {
    openCatalogue();
    RecordingObserver obs;
    dm.setObserver(&obs);
    std::string error;
    ASSERT_TRUE(dm.QWybrTow.open(kGoodsSql, error));
    obs.grid = &dm.QWybrTow;
    obs.calls.clear();
    dm.QWybrTow.next();
    EXPECT_EQ(obs.calls, (std::vector<std::string>{"pages 2", "page 2", "supplier", "goods", "buttons"}));

    // Moving in the supplier list closes the loaded goods list of a supplier.
    ASSERT_TRUE(dm.QWybrDost.open("select * from PRODUCENT order by idx_nazwa_prod", error));
    ASSERT_TRUE(dm.QWybrTowForDost.open(ZapytanieTowarowDostawcy(1), error));
    obs.grid = nullptr;
    obs.calls.clear();
    dm.QWybrDost.next();
    EXPECT_FALSE(dm.QWybrTowForDost.active());
    EXPECT_EQ(obs.calls, (std::vector<std::string>{"tab off", "supplier", "buttons"}));
    dm.setObserver(nullptr);
}

TEST_F(TDMTest, MissingTablesReportTheirMessage) {
    // A copy of the catalogue without its edition, KNR and currency tables.
    const auto copy = dir_->path() / "copy";
    std::filesystem::create_directories(copy);
    std::filesystem::copy_file(dataFile(), copy / "kmx.dat",
                               std::filesystem::copy_options::overwrite_existing);
    {
        Database db;
        std::string error;
        ASSERT_TRUE(db.openForBuild(copy / "kmx.dat", kPassword, error)) << error;
        ASSERT_TRUE(db.exec("DROP TABLE Wersja; DROP TABLE KNR; DROP TABLE WALUTA;", error)) << error;
    }
    ASSERT_FALSE(dm.PolaczZBaza(copy / "kmx.dat", kPassword)) << OstatniBlad().text;
    EXPECT_TRUE(dm.OtworzTabele());
    EXPECT_EQ(OstatniBlad().text.rfind("Nie można otworzyć tabeli.\r\n", 0), 0u) << OstatniBlad().text;
    EXPECT_NE(OstatniBlad().text.find("WALUTA"), std::string::npos) << OstatniBlad().text;
    EXPECT_TRUE(dm.TJednostka_Miary.active());  // opened before the missing one
    EXPECT_FALSE(dm.TDostawca.active());        // never reached

    std::string edycja = "x", rok = "yyyy";
    EXPECT_FALSE(dm.CzytajWersje(edycja, rok));
    EXPECT_EQ(edycja, "x");
    std::string error;
    EXPECT_FALSE(dm.QKnr.open(error));
    EXPECT_NE(error.find("KNR"), std::string::npos) << error;
}

}  // namespace
}  // namespace kmx::data
