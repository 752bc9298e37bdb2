// The goods card, the goods list and the print set of the average-prices
// edition, on the report catalogue: the edition is chosen before anything is
// made, as the program's entry point does.
#include <gtest/gtest.h>

#include <QDir>
#include <algorithm>
#include <utility>

#include "editions/edition.h"
#include "report_fixture.h"
#include "reports/druk_zestaw.h"
#include "reports/engine/painter.h"
#include "reports/preview.h"
#include "reports/rap_szcz_tow.h"
#include "reports/rap_tow_li_tow.h"

namespace kmx::reporttest {
namespace {

using reports::BoxItem;
using reports::PageStore;
using reports::RodzajRaportu;
using reports::textsNamed;

// The rows the shortened card does not have.
const std::vector<QString> kPominiete = {"PasPKWIU",    "PasOrygProd", "PasCiezWl", "PasSposPak",
                                         "PasCiezarJP", "PasIlTowWJP", "PasRozmJP"};

QString zrodlo(const std::string& edycja, const std::string& rok) {
    return QString::fromStdString("Ceny średnie materiałów wg KalMarex z " + edycja + " kw. " + rok);
}

class AvgReports : public ::testing::Test {
protected:
    void SetUp() override {
        edition::ustaw(edition::CenySrednie);
        reports::zegarRaportow = [] { return QDate(2026, 12, 9); };
        k = std::make_unique<Katalog>();
        karta = std::make_unique<reports::TRapSzczTow>();
        lista = std::make_unique<reports::TRapTowLiTow>();
    }
    void TearDown() override {
        reports::previewTestHook = nullptr;
        lista.reset();
        karta.reset();
        k.reset();
        reports::zegarRaportow = [] { return QDate::currentDate(); };
        edition::ustaw(edition::CenyProducentow);
    }

    // The first found item with a value in every row the shortened card
    // leaves out, and a description; -1 when the catalogue has none.
    int pelnyTowar() {
        k->towaryNa(kTowarGoly);
        data::DataSet& s = k->tdm.QWybrTow;
        for (int r = 1; r <= s.recordCount(); ++r) {
            s.moveTo(r);
            auto ma = [&s](const char* f) { return !reports::zapisanePrzyciete(&s, f, 2).isEmpty(); };
            const bool wszystkie = ma("PKWIU") && ma("NAZWA_ORG_PROD") && ma("OPIS_TOWARU") &&
                                   ma("CIEZAR_WL") && ma("SPOSOB_OPAKOWANIA") && ma("CIEZAR_JED_PAK") &&
                                   ma("ILE_TOW_W_JED") &&
                                   (ma("ROZMIAR_JP_DL") || ma("ROZMIAR_JP_SZ") || ma("ROZMIAR_JP_WY"));
            if (wszystkie) return static_cast<int>(s.value("ID_TOWARU").asInt());
        }
        return -1;
    }

    // The producer edition's card, made while that edition is chosen.
    static std::unique_ptr<reports::TRapSzczTow> kartaProducentow() {
        edition::ustaw(edition::CenyProducentow);
        auto r = std::make_unique<reports::TRapSzczTow>();
        edition::ustaw(edition::CenySrednie);
        return r;
    }

    // Prepares the card on a page that ends `luz` mm below the band `przed`
    // as it lies on A4.
    PageStore naKrotkiejStronie(reports::Raport& r, const QString& przed, float luz) {
        const PageStore a4 = k->przygotuj(r);
        const auto b = boxesNamed(a4, 1, przed);
        EXPECT_EQ(b.size(), 1u) << przed.toStdString();
        if (b.empty()) return {};
        reports::ReportDefinition& d = r.definicja();
        d.pageHeightMm = b.front()->rect.bottom() + luz + d.pageFooter->heightMm + d.marginBottomMm;
        return k->przygotuj(r);
    }

    std::unique_ptr<Katalog> k;
    std::unique_ptr<reports::TRapSzczTow> karta;
    std::unique_ptr<reports::TRapTowLiTow> lista;
};

TEST_F(AvgReports, TheCardSpeaksOfRmsAndItsSourceRowStillNamesTheRowsSupplier) {
    k->towaryNa(kTowarGoly);
    const PageStore s = k->przygotuj(*karta);
    ASSERT_EQ(s.pageCount(), 1);
    std::vector<QString> oczekiwane = {"PasekNazwy",   "PasDostawca", "pasJM",
                                       "PasIndeksETO", "pasCena",     "PasStVAT"};
    if (!k->towarPanel->grupyTowarowe().trimmed().isEmpty()) oczekiwane.push_back("pasGrupaTow");
    EXPECT_EQ(pasy(s), oczekiwane);
    EXPECT_EQ(tekst(s, "Ltytul"), "Szczegółowe dane RMS pobrane z systemu KALMAREX");
    EXPECT_EQ(karta->tytul(), "Szczegółowe dane RMS pobrane z systemu KALMAREX");
    EXPECT_EQ(tekst(s, "LTextStopki"), "KALMAREX - Baza danych RMS i dostawców branży budowlanej");
    EXPECT_EQ(tekst(s, "LNazwaFirmy"), "NORDVALE SP Z O.O.");
    EXPECT_EQ(tekst(s, "PasekNazwyPodpis"), "Nazwa RMS:");
    EXPECT_EQ(tekst(s, "PasekNazwyWartosc"), "Towar bez dodatków");
    EXPECT_EQ(tekst(s, "PasDostawcaPodpis"), "Źródło");
    EXPECT_EQ(tekst(s, "PasDostawcaWartosc"), "PEŁNY DOSTAWCA S.A.");
    EXPECT_EQ(tekst(s, "pasCenaWartosc"), "12,34");
}

TEST_F(AvgReports, TheShortenedCardIsTheFullCardWithoutPkwiuOriginalProducerWeightsAndPacking) {
    const int id = pelnyTowar();
    ASSERT_GT(id, 0) << "no item with every optional field";
    k->towaryNa(id);
    auto pelna = kartaProducentow();
    const std::vector<QString> pelnaPasy = pasy(k->przygotuj(*pelna));
    // The item does have those rows on the producers' card.
    for (const QString& b : kPominiete)
        EXPECT_NE(std::find(pelnaPasy.begin(), pelnaPasy.end(), b), pelnaPasy.end()) << b.toStdString();

    const PageStore s = k->przygotuj(*karta);
    std::vector<QString> bezPominietych;
    std::copy_if(pelnaPasy.begin(), pelnaPasy.end(), std::back_inserter(bezPominietych),
                 [](const QString& b) {
                     return std::find(kPominiete.begin(), kPominiete.end(), b) == kPominiete.end();
                 });
    EXPECT_EQ(pasy(s), bezPominietych);
    // The chain around the description.
    const std::vector<QString> p = pasy(s);
    const auto opis = std::find(p.begin(), p.end(), QStringLiteral("PasOpis"));
    ASSERT_NE(opis, p.end());
    ASSERT_NE(opis, p.begin());
    EXPECT_EQ(*(opis - 1), "PasStVAT");
    EXPECT_FALSE(tekst(s, "PasOpisWartosc").isEmpty());
    for (const char* gone :
         {"PasPKWIUWartosc", "PasOrygProdWartosc", "PasCiezWlWartosc", "PasSposPakWartosc"})
        EXPECT_TRUE(textsNamed(s, 1, gone).empty()) << gone;
}

TEST_F(AvgReports, TheDescriptionGoesOverToTheNextPageAloneWhereTheFullCardTakesItsNeighbourAlong) {
    const int id = pelnyTowar();
    ASSERT_GT(id, 0) << "no item with every optional field";
    k->towaryNa(id);

    // The description does not fit below the VAT row: only it moves.
    const PageStore s = naKrotkiejStronie(*karta, "PasStVAT", 3.f);
    ASSERT_EQ(s.pageCount(), 2);
    EXPECT_EQ(pasy(s, 1).back(), "PasStVAT");
    ASSERT_FALSE(pasy(s, 2).empty());
    EXPECT_EQ(pasy(s, 2).front(), "PasOpis");

    // The producers' card moves the original producer with it.
    auto pelna = kartaProducentow();
    const PageStore f = naKrotkiejStronie(*pelna, "PasOrygProd", 3.f);
    ASSERT_EQ(f.pageCount(), 2);
    EXPECT_EQ(pasy(f, 1).back(), "PasStVAT");
    const auto druga = pasy(f, 2);
    ASSERT_GE(druga.size(), 2u);
    EXPECT_EQ(druga[0], "PasOrygProd");
    EXPECT_EQ(druga[1], "PasOpis");
}

TEST_F(AvgReports, TheListNamesRmsAndPrintsEachItemsSourceAsLastRead) {
    std::string edycja, rok;
    ASSERT_TRUE(k->tdm.CzytajWersje(edycja, rok));
    k->towaryNa(kTowarGoly);
    const int rows = k->tdm.QWybrTow.recordCount();

    // Every source cell of the list, lines joined.
    auto zrodla = [](const PageStore& s) {
        QStringList out;
        for (int p = 1; p <= s.pageCount(); ++p)
            for (QString c : teksty(s, p, "WDostawca")) out << c.replace('\n', ' ');
        return out;
    };

    const PageStore s = k->przygotuj(*lista);
    EXPECT_EQ(tekst(s, "Ltytul"), "Lista RMS wygenerowana z systemu KALMAREX");
    for (int p = 1; p <= s.pageCount(); ++p) {
        EXPECT_EQ(tekst(s, "NNazwa", p), "Nazwa RMS") << p;
        EXPECT_EQ(tekst(s, "NDostawca", p), "Źródło") << p;
        EXPECT_EQ(tekst(s, "LTextStopki", p), "KALMAREX - Baza danych RMS i dostawców branży budowlanej")
            << p;
        EXPECT_EQ(tekst(s, "LNrStrony", p), "str. " + QString::number(p));
    }
    const QStringList odczytane = zrodla(s);
    EXPECT_EQ(odczytane.size(), rows);
    EXPECT_EQ(odczytane.count(zrodlo(edycja, rok)), rows) << odczytane.value(0).toStdString();
    // The cell is the data module's field as shown.
    k->tdm.QWybrTow.first();
    EXPECT_EQ(odczytane.value(0), QString::fromStdString(k->tdm.QWybrTow.displayText("Zrodlo")).trimmed());

    // A read that fails leaves the placeholders.
    k->tdm.TWersja.setSql("select * from Wersja where 1 = 0");
    EXPECT_FALSE(k->tdm.CzytajWersje(edycja, rok));
    EXPECT_EQ(zrodla(k->przygotuj(*lista)).count(zrodlo("x", "yyyy")), rows);
}

TEST_F(AvgReports, OneSuppliersListHasItsNameBeforeTheRmsTitleAndNoSourceColumn) {
    k->dostawcyNa(kDostawcaPelny);
    k->towaryDostawcy(kTowarGoly);
    const PageStore s = k->przygotuj(*lista);
    EXPECT_EQ(tekst(s, "Ltytul"), "Pełny Dostawca S.A. - Lista RMS wygenerowana z systemu KALMAREX");
    EXPECT_TRUE(textsNamed(s, 1, "NDostawca").empty());
    EXPECT_TRUE(textsNamed(s, 1, "WDostawca").empty());
    EXPECT_EQ(tekst(s, "NNazwa"), "Nazwa RMS");
}

TEST_F(AvgReports, OnlyTheGoodsTabsListAndCardPrint) {
    for (int zakladka = -1; zakladka <= 2; ++zakladka)
        for (int strona = -1; strona <= 5; ++strona) {
            std::optional<RodzajRaportu> oczekiwany;
            if (zakladka == 0 && strona == 1) oczekiwany = RodzajRaportu::ListaTowarow;
            if (zakladka == 0 && strona == 2) oczekiwany = RodzajRaportu::SzczegolyTowaru;
            EXPECT_EQ(reports::RaportStrony(zakladka, strona), oczekiwany) << zakladka << "/" << strona;
        }

    // Through the print set: a preview for each page that has a report.
    k->towaryNa(kTowarZOpisem);
    platform::dialogs().shownMessages.clear();
    reports::ZestawWydrukow zestaw(*k->dane, nullptr);
    std::vector<std::pair<QString, std::vector<QString>>> podglady;
    reports::previewTestHook = [&](reports::TFPreview& p) {
        podglady.emplace_back(p.reportTitle, pasy(p.store()));
    };
    std::vector<std::pair<int, int>> zPodgladem;
    for (int zakladka = 0; zakladka <= 1; ++zakladka)
        for (int strona = 0; strona <= 4; ++strona) {
            const std::size_t przed = podglady.size();
            zestaw.raportNaEkranie = [=] { return reports::RaportStrony(zakladka, strona); };
            zestaw.DrukZestaw(1);
            if (podglady.size() > przed) zPodgladem.emplace_back(zakladka, strona);
        }
    EXPECT_EQ(zPodgladem, (std::vector<std::pair<int, int>>{{0, 1}, {0, 2}}));
    ASSERT_EQ(podglady.size(), 2u);
    EXPECT_EQ(podglady[0].first, "Lista RMS wygenerowana z systemu KALMAREX");
    EXPECT_EQ(podglady[0].second.front(), "PasNaglowek");
    EXPECT_EQ(podglady[1].first, "Szczegółowe dane RMS pobrane z systemu KALMAREX");
    EXPECT_EQ(podglady[1].second.front(), "PasekNazwy");

    // A window asking for a supplier report anyway gets nothing, quietly.
    for (const RodzajRaportu r : {RodzajRaportu::SzczegolyDostawcy, RodzajRaportu::ListaDostawcow}) {
        zestaw.raportNaEkranie = [r] { return r; };
        zestaw.DrukZestaw(1);
        zestaw.DrukZestaw(0);
    }
    EXPECT_EQ(podglady.size(), 2u);
    EXPECT_TRUE(platform::dialogs().shownMessages.empty());
}

// Writes the card and the list as PDF into KMX_SCREENSHOT_DIR, to be looked at.
TEST_F(AvgReports, PdfPicturesOfTheCardAndTheList) {
    const QString dir = qEnvironmentVariable("KMX_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "KMX_SCREENSHOT_DIR not set";
    ASSERT_TRUE(QDir().mkpath(dir));
    std::string edycja, rok;
    ASSERT_TRUE(k->tdm.CzytajWersje(edycja, rok));
    const int id = pelnyTowar();
    k->towaryNa(id > 0 ? id : kTowarZOpisem);
    QString error;
    EXPECT_TRUE(
        reports::writePdf(k->przygotuj(*karta), QDir(dir).filePath("avg_karta.pdf"), karta->tytul(), &error))
        << error.toStdString();
    EXPECT_TRUE(
        reports::writePdf(k->przygotuj(*lista), QDir(dir).filePath("avg_lista.pdf"), lista->tytul(), &error))
        << error.toStdString();
}

}  // namespace
}  // namespace kmx::reporttest
