#pragma once
// A small catalogue for the report tests: the demo's tables with a few goods
// and suppliers of our own that have exactly the gaps the reports must
// handle, opened in a data module, with the two detail panels the reports
// take their composed texts from.

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/goods_panel.h"
#include "app/report_source.h"
#include "app/supplier_panel.h"
#include "catalog/builder.h"
#include "catalog/demo.h"
#include "core/query_builder.h"
#include "core/settings_file.h"
#include "data/tdm.h"
#include "platform/dialogs.h"
#include "platform/links.h"
#include "reports/engine/measure.h"
#include "reports/engine/prepared.h"
#include "reports/report_common.h"

// Readable QStrings in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace kmx::reporttest {

// Ids of the rows added to the demo.
inline constexpr int kDostawcaBraki = 9001;    // "brak" placeholders, no trade contact
inline constexpr int kDostawcaPelny = 9002;    // every field
inline constexpr int kTowarGoly = 90001;       // no optional field at all
inline constexpr int kTowarBlanki = 90002;     // optional fields of blanks only
inline constexpr int kTowarSzerokosc = 90003;  // of the packing unit only the width
inline constexpr int kTowarZOpisem = 90004;    // a description and an original producer
inline constexpr int kTowarDlugi = 90005;      // a name of several lines
inline constexpr int kWalutaBezSymbolu = 9;

inline std::string csvField(const std::string& v) {
    if (v.find_first_of(",\"\n\r") == std::string::npos) return v;
    std::string q = "\"";
    for (char c : v) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + "\"";
}

// Appends a row given by column name to a table's CSV text; columns not
// given stay empty.
inline void dopiszWiersz(std::string& csv, const std::map<std::string, std::string>& values) {
    const std::string header = csv.substr(0, csv.find('\n'));
    std::string line;
    std::size_t start = 0;
    bool first = true;
    while (start <= header.size()) {
        std::size_t end = header.find(',', start);
        if (end == std::string::npos) end = header.size();
        std::string column = header.substr(start, end - start);
        if (!column.empty() && column.back() == '\r') column.pop_back();
        if (!first) line += ',';
        first = false;
        const auto it = values.find(column);
        if (it != values.end()) line += csvField(it->second);
        start = end + 1;
    }
    if (!csv.empty() && csv.back() != '\n') csv += '\n';
    csv += line + "\n";
}

inline const std::string& dlugaNazwa() {
    static const std::string n =
        "Bloczek betonowy fundamentowy pełny z betonu klasy C16/20 o wymiarach 38x24x12 cm, "
        "do wznoszenia ścian fundamentowych i piwnicznych budynków mieszkalnych";
    return n;
}

inline std::map<std::string, std::string> towar(int id, int producent, const std::string& nazwa) {
    return {{"ID_TOWARU", std::to_string(id)},
            {"ID_PRODUCENTA", std::to_string(producent)},
            {"NAZWA", nazwa},
            {"ID_JEDNOSTKI", "1"},
            {"INDEKS_ETO", "1610199"},
            {"CENA_PRODUCENTA", "10.5"},
            {"CENA_DETALICZNA", "13"},
            {"CENA_HURTOWA", "11"},
            {"CENA_JEDNOSTKOWA", "12.34"},
            {"CENA_NARZUT", "14"},
            {"ID_WALUTY", "1"},
            {"ID_STAWKI_VAT", "1"},
            {"DATA_OBOWIAZYWANIA_CENY", "2026-10-01"},
            {"DATA_MODYFIKACJI", "2026-09-01"},
            {"TYP_RMS", "M"}};
}

// Writes and builds the catalogue into `dir`; false with the reason.
inline bool zbudujKatalog(const std::filesystem::path& dir, std::string& error) {
    catalog::DemoData demo = catalog::generateDemo(60);
    auto& producenci = demo.csv["PRODUCENT"];
    dopiszWiersz(producenci, {{"ID_PRODUCENTA", std::to_string(kDostawcaBraki)},
                              {"NAZWA", "Brakowo Sp. z o.o."},
                              {"KOD_PRODUCENTA", "BRAKOW9001"},
                              {"ID_KRAJU", "1"},
                              {"ID_WOJEWODZTWA", "1"},
                              {"ULICA_DOM", "BRAK danych"},
                              {"KOD_POCZTOWY", "00-001"},
                              {"MIEJSCOWOSC", "Warszawa-Wesoła Stara Miłosna"},
                              {"TEL_KIER", "Brak"},
                              {"TELEFON1", "bRaK"},
                              {"NIP", "111-222-33-44"},
                              {"EMAIL_PODSTAWOWY", "BRAK"},
                              {"EMAIL_DZIAL_HANDLOWY", "handel@brakowo.example.pl"},
                              {"NAZWISKO_OST", "Nowak"},
                              {"IMIE_OST", "Jan"},
                              {"STANOWISKO_OST", "Kierownik"},
                              {"TELEFON_OST", "601 000 000"}});
    dopiszWiersz(producenci, {{"ID_PRODUCENTA", std::to_string(kDostawcaPelny)},
                              {"NAZWA", "Pełny Dostawca S.A."},
                              {"KOD_PRODUCENTA", "PELNY9002"},
                              {"ID_KRAJU", "1"},
                              {"ID_WOJEWODZTWA", "2"},
                              {"ULICA_DOM", "ul. Łąkowa 5"},
                              {"KOD_POCZTOWY", "90-001"},
                              {"MIEJSCOWOSC", "Łódź"},
                              {"TEL_KIER", "42"},
                              {"TELEFON1", "111 11 11"},
                              {"TELEFON2", "222 22 22"},
                              {"FAKS", "333 33 33"},
                              {"NIP", "555-666-77-88"},
                              {"EMAIL_PODSTAWOWY", "biuro@pelny.example.pl"},
                              {"EMAIL_DZIAL_HANDLOWY", "handel@pelny.example.pl"},
                              {"ADRES_WWW", "www.pelny.example.pl"},
                              {"NAZWISKO_OSH", "Zięba"},
                              {"IMIE_OSH", "Anna"},
                              {"STANOWISKO_OSH", "Handlowiec"},
                              {"TELEFON_OSH", "600 100 200"},
                              {"EMAIL_OSH", "a.zieba@pelny.example.pl"},
                              {"NAZWISKO_OST", "Kos"},
                              {"IMIE_OST", "Piotr"},
                              {"TELEFON_OST", "600 300 400"},
                              {"EMAIL_OST", "p.kos@pelny.example.pl"},
                              {"OPIS_FIRMY", "Hurtownia materiałów budowlanych."},
                              {"UPUSTY", "Upust 5% przy odbiorze własnym."}});
    dopiszWiersz(
        demo.csv["WALUTA"],
        {{"ID_WALUTY", std::to_string(kWalutaBezSymbolu)}, {"SYMBOL", "   "}, {"NAZWA", "bez symbolu"}});

    auto& towary = demo.csv["TOWAR"];
    auto goly = towar(kTowarGoly, kDostawcaPelny, "Towar bez dodatków");
    goly["ID_WALUTY"] = std::to_string(kWalutaBezSymbolu);
    dopiszWiersz(towary, goly);
    auto blanki = towar(kTowarBlanki, kDostawcaPelny, "Towar z blankami");
    // The text columns; the measures are numbers and stay null.
    for (const char* f :
         {"NAZWA_SKR", "SYMBOL", "PKWIU", "NAZWA_ORG_PROD", "OPIS_TOWARU", "SPOSOB_OPAKOWANIA", "ADRES_WWW"})
        blanki[f] = "   ";
    dopiszWiersz(towary, blanki);
    auto szer = towar(kTowarSzerokosc, kDostawcaPelny, "Towar o znanej szerokości");
    szer["ROZMIAR_JP_SZ"] = "0.8";
    dopiszWiersz(towary, szer);
    auto opis = towar(kTowarZOpisem, kDostawcaBraki, "Towar z opisem");
    opis["OPIS_TOWARU"] = "Opis towaru A.";
    opis["NAZWA_ORG_PROD"] = "Oryginał Sp. z o.o.";
    opis["ADRES_WWW"] = "www.towar-a.example.pl";
    dopiszWiersz(towary, opis);
    dopiszWiersz(towary, towar(kTowarDlugi, kDostawcaPelny, dlugaNazwa()));
    dopiszWiersz(demo.csv["WYBRANA_GRUPA"], {{"ID_TOWARU", std::to_string(kTowarGoly)}, {"ID_GRUPY", "1"}});

    const auto src = dir / "src";
    std::filesystem::create_directories(src);
    for (const auto& [table, text] : demo.csv) {
        std::ofstream out(src / (table + ".csv"), std::ios::binary);
        out << text;
    }
    catalog::BuildOptions options;
    options.password = "raporty";
    const catalog::BuildResult r = catalog::buildCatalog(src, dir, options);
    error = r.error;
    return r.ok;
}

// The catalogue built once for the whole test program.
inline const std::filesystem::path& katalog() {
    static QTemporaryDir dir;
    static const std::filesystem::path path = [] {
        const std::filesystem::path p(QFile::encodeName(dir.path()).toStdString());
        std::string error;
        EXPECT_TRUE(zbudujKatalog(p, error)) << error;
        return p;
    }();
    return path;
}

// A data module on the catalogue with the panels and the reports' source.
class Katalog {
public:
    Katalog() {
        platform::dialogs().setTestMode(true);
        const auto settings = CzytajUstawienia(katalog() / "kmx.iif");
        EXPECT_FALSE(tdm.PolaczZBaza(katalog() / "kmx.dat", settings.password));
        EXPECT_FALSE(tdm.OtworzTabele());
        towarPanel = std::make_unique<app::GoodsPanel>(tdm, links);
        dostawcaPanel = std::make_unique<app::SupplierPanel>(tdm, links);
        dane =
            std::make_unique<app::DaneRaportow>(tdm, *towarPanel, *dostawcaPanel, [this] { return aktywny; });
    }

    // Every goods row in name order, the cursor on the given goods item, the
    // panels filled from it as on the goods catalogue.
    void towaryNa(int idTowaru) {
        std::string error;
        ASSERT_TRUE(tdm.QWybrTow.open(ZbudujZapytanieTowarow(TsTowar{}, 0) + " ORDER BY idx_NAZWA", error))
            << error;
        ASSERT_TRUE(naWierszu(tdm.QWybrTow, "ID_TOWARU", idTowaru));
        aktywny = &tdm.QWybrTow;
        towarPanel->bind(&tdm.QWybrTow, true);
        dostawcaPanel->bind(&tdm.QWybrTow, true);
        towarPanel->PokazDaneTowaru(tdm.QWybrTow);
        dostawcaPanel->PokazDaneDostawcy(tdm.QWybrTow);
    }

    // Every supplier in name order, the cursor on one, the panel filled as on
    // the supplier catalogue.
    void dostawcyNa(int idProducenta) {
        std::string error;
        ASSERT_TRUE(
            tdm.QWybrDost.open(ZbudujZapytanieDostawcow(TsDostawca{}) + " ORDER BY idx_nazwa_prod", error))
            << error;
        ASSERT_TRUE(naWierszu(tdm.QWybrDost, "ID_PRODUCENTA", idProducenta));
        aktywny = &tdm.QWybrDost;
        dostawcaPanel->bind(&tdm.QWybrDost, false);
        dostawcaPanel->PokazDaneDostawcy(tdm.QWybrDost);
    }

    // The goods of the current supplier, on one of them.
    void towaryDostawcy(int idTowaru) {
        std::string error;
        const long id = static_cast<long>(tdm.QWybrDost.value("ID_PRODUCENTA").asInt());
        ASSERT_TRUE(tdm.QWybrTowForDost.open(data::ZapytanieTowarowDostawcy(id), error)) << error;
        ASSERT_TRUE(naWierszu(tdm.QWybrTowForDost, "ID_TOWARU", idTowaru));
        aktywny = &tdm.QWybrTowForDost;
        towarPanel->bind(&tdm.QWybrTowForDost, false);
        towarPanel->PokazDaneTowaru(tdm.QWybrTowForDost);
    }

    static bool naWierszu(data::DataSet& set, const char* idField, int id) {
        const int f = set.fieldIndex(idField);
        for (int r = 0; r < set.recordCount(); ++r) {
            if (set.cell(r, f).asInt() == id) return set.moveTo(r + 1);
        }
        return false;
    }

    // Prepares a report as an output does: before, lay out, after.
    reports::PageStore przygotuj(reports::Raport& raport) {
        reports::PageStore store;
        raport.przedWydrukiem(*dane, 0);
        EXPECT_EQ(raport.przygotuj(store, measurer), reports::FillResult::Done);
        raport.poWydruku();
        return store;
    }

    data::TDM tdm;
    platform::RecordingLinkOpener links;
    std::unique_ptr<app::GoodsPanel> towarPanel;
    std::unique_ptr<app::SupplierPanel> dostawcaPanel;
    std::unique_ptr<app::DaneRaportow> dane;
    data::DataSet* aktywny = nullptr;
    reports::FontMeasurer measurer;
};

// The texts of the items of that name on a page, in page order.
inline std::vector<QString> teksty(const reports::PageStore& s, int page, const QString& name) {
    std::vector<QString> out;
    for (const reports::TextItem* t : reports::textsNamed(s, page, name))
        out.push_back(s.page(page).textOf(*t).toString());
    return out;
}

// The one text of that name on page 1 (empty when there is none).
inline QString tekst(const reports::PageStore& s, const QString& name, int page = 1) {
    const auto t = teksty(s, page, name);
    return t.empty() ? QString() : t.front();
}

// The names of the frames of a page, top to bottom.
inline std::vector<QString> pasy(const reports::PageStore& s, int page = 1) {
    std::vector<QString> out;
    for (const reports::BoxItem& b : s.page(page).boxes) out.push_back(s.name(b.name));
    return out;
}

}  // namespace kmx::reporttest
