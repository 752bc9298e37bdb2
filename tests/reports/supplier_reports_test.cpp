// The supplier detail card and the supplier list.
#include <gtest/gtest.h>

#include "report_fixture.h"
#include "reports/rap_dost_li_dost.h"
#include "reports/rap_szcz_dost.h"

namespace kmx::reporttest {
namespace {

using reports::PageStore;
using reports::textsNamed;

class SupplierReports : public ::testing::Test {
protected:
    Katalog k;
    reports::TRapSzczDost karta;
    reports::TRapDostLiDost lista;
};

TEST(ContactLine, NameThenPhoneThenEmailWhenKnown) {
    using reports::LiniaKontaktu;
    EXPECT_EQ(LiniaKontaktu(" Jan Nowak, Kierownik ", " 601 000 000 ", ""),
              "Jan Nowak, Kierownik; tel.: 601 000 000");
    EXPECT_EQ(LiniaKontaktu("Jan Nowak", "", "j@x.pl"), "Jan Nowak; e-mail: j@x.pl");
    EXPECT_EQ(LiniaKontaktu("Jan Nowak", "1", "j@x.pl"), "Jan Nowak; tel.: 1; e-mail: j@x.pl");
    EXPECT_EQ(LiniaKontaktu("Jan Nowak", "  ", "  "), "Jan Nowak");
    EXPECT_EQ(LiniaKontaktu("   ", "1", "j@x.pl"), "");  // no person, no line
}

TEST_F(SupplierReports, BrakInAnyCaseLeavesItsRowOutAndOnlyTheTechnicalContactPrints) {
    k.dostawcyNa(kDostawcaBraki);
    const PageStore s = k.przygotuj(karta);
    EXPECT_EQ(pasy(s), (std::vector<QString>{"PasekNazwy", "PasKodDost", "PasNIP", "PasKraj", "PasWojew",
                                             "PasEmailHandl", "PasOsTech"}));
    EXPECT_EQ(tekst(s, "Ltytul"), "Szczegółowe dane dostawcy pobrane z systemu KALMAREX");
    // With a phone and without an e-mail: the name, "; tel.: " and the phone.
    EXPECT_EQ(tekst(s, "PasOsTechWartosc"), "Jan Nowak, Kierownik; tel.: 601 000 000");
    // The caption wraps to two lines inside its 53.2 mm.
    EXPECT_EQ(tekst(s, "PasOsTechPodpis").count('\n'), 1);
    EXPECT_EQ(tekst(s, "PasOsTechPodpis").replace('\n', ' '), "Osoba odpowiedzialna za sprawy techniczne:");
    const auto* osoba = textsNamed(s, 1, "PasOsTechWartosc").front();
    EXPECT_NEAR(osoba->rect.x, 10 + 57.1, 0.001);
    EXPECT_NEAR(osoba->rect.h, 9.0, 0.001);
    EXPECT_NEAR(boxesNamed(s, 1, "PasOsTech").front()->rect.h, 10.6, 0.001);
    EXPECT_EQ(tekst(s, "PasekNazwyWartosc"), "Brakowo Sp. z o.o.");
}

TEST_F(SupplierReports, EveryRowOfAFullSupplierWithItsComposedLines) {
    k.dostawcyNa(kDostawcaPelny);
    const PageStore s = k.przygotuj(karta);
    EXPECT_EQ(pasy(s),
              (std::vector<QString>{"PasekNazwy", "PasKodDost", "PasNIP", "PasKraj", "PasWojew", "PasAdres",
                                    "PasTelKier", "pasTelefony", "PasFaks", "PasEmail", "PasEmailHandl",
                                    "PasStrWWW", "PasOsHandl", "PasOsTech", "PasUpusty", "PasOpis"}));
    EXPECT_EQ(tekst(s, "PasAdresWartosc"), "90-001 ŁÓDŹ, ul. Łąkowa 5");
    EXPECT_EQ(tekst(s, "PasAdresWartosc"), k.dostawcaPanel->adres().trimmed());
    EXPECT_EQ(tekst(s, "pasTelefonyWartosc"), "111 11 11, 222 22 22");
    EXPECT_EQ(tekst(s, "PasOsHandlWartosc"),
              "Anna Zięba, Handlowiec; tel.: 600 100 200; e-mail: a.zieba@pelny.example.pl");
    EXPECT_EQ(tekst(s, "PasOsTechWartosc").replace('\n', ' '),
              "Piotr Kos; tel.: 600 300 400; e-mail: p.kos@pelny.example.pl");
    EXPECT_EQ(tekst(s, "PasStrWWWWartosc"), "www.pelny.example.pl");
    EXPECT_EQ(tekst(s, "PasUpustyWartosc"), "Upust 5% przy odbiorze własnym.");
    EXPECT_EQ(tekst(s, "PasOpisWartosc"), "Hurtownia materiałów budowlanych.");
    EXPECT_EQ(tekst(s, "PasWojewWartosc"), "kujawsko-pomorskie");
    EXPECT_NEAR(boxesNamed(s, 1, "pasTelefony").front()->rect.h, 6.3, 0.001);
    EXPECT_NEAR(boxesNamed(s, 1, "PasOsHandl").front()->rect.h, 11.6, 0.001);
    EXPECT_NEAR(textsNamed(s, 1, "PasFaksWartosc").front()->rect.x, 10 + 12.7, 0.001);

    // A supplier without a description after one with it, and back.
    k.dostawcyNa(kDostawcaBraki);
    EXPECT_TRUE(boxesNamed(k.przygotuj(karta), 1, "PasOpis").empty());
    k.dostawcyNa(kDostawcaPelny);
    EXPECT_EQ(boxesNamed(k.przygotuj(karta), 1, "PasOpis").size(), 1u);
}

TEST_F(SupplierReports, TheCardOnTheGoodsCatalogueReadsTheGoodsRowsSupplier) {
    k.towaryNa(kTowarGoly);  // supplied by the full supplier
    const PageStore s = k.przygotuj(karta);
    EXPECT_EQ(tekst(s, "PasekNazwyWartosc"), "Pełny Dostawca S.A.");
    EXPECT_EQ(tekst(s, "PasStrWWWWartosc"), "www.pelny.example.pl");
    EXPECT_EQ(tekst(s, "PasOpisWartosc"), "Hurtownia materiałów budowlanych.");
    EXPECT_EQ(tekst(s, "PasOsHandlWartosc").left(10), "Anna Zięba");
}

TEST_F(SupplierReports, TheListPrintsNamesInCapitalsEveryRowAndLeavesTheCursorAtTheEnd) {
    k.dostawcyNa(kDostawcaPelny);
    data::DataSet& set = k.tdm.QWybrDost;
    int scrolls = 0;
    set.setAfterScroll([&](data::DataSet&) { ++scrolls; });
    const PageStore s = k.przygotuj(lista);
    set.setAfterScroll({});
    EXPECT_EQ(tekst(s, "Ltytul"), "Lista dostawców wygenerowana z systemu KALMAREX");
    int rows = 0;
    QStringList names;
    for (int p = 1; p <= s.pageCount(); ++p) {
        rows += static_cast<int>(boxesNamed(s, p, "PasWiersz").size());
        for (const QString& n : teksty(s, p, "WNazwa")) names << n;
        EXPECT_EQ(tekst(s, "LNrStrony", p), "str. " + QString::number(p));
    }
    EXPECT_EQ(rows, set.recordCount());
    EXPECT_TRUE(names.contains("PEŁNY DOSTAWCA S.A."));
    EXPECT_TRUE(names.contains("BRAKOWO SP. Z O.O."));
    // Unlike the goods list it neither holds nor restores the cursor.
    EXPECT_TRUE(set.eof());
    EXPECT_GE(scrolls, set.recordCount() - 1);

    // The town is one clipped line; the phone right-aligned; the numbers run on.
    for (const auto* t : textsNamed(s, 1, "WMiejscowosc")) EXPECT_TRUE(t->flags & reports::TextItem::Clipped);
    EXPECT_EQ(teksty(s, 1, "WLp").front(), "1");
    EXPECT_EQ(textsNamed(s, 1, "WTelefon").front()->align, reports::Align::Right);
    EXPECT_NEAR(textsNamed(s, 1, "NNIP").front()->rect.x, 10 + 116.4, 0.001);
}

TEST_F(SupplierReports, AnEmptySupplierListHasTitleHeaderAndFooterOnly) {
    std::string error;
    TsDostawca none;
    ASSERT_TRUE(
        k.tdm.QWybrDost.open(ZbudujZapytanieDostawcow(none) + " AND PRODUCENT.ID_PRODUCENTA = -1", error))
        << error;
    const PageStore s = k.przygotuj(lista);
    ASSERT_EQ(s.pageCount(), 1);
    EXPECT_EQ(pasy(s), std::vector<QString>{"PasNaglowek"});
    EXPECT_EQ(tekst(s, "NMiejscowosc"), "Miejscowość");
    EXPECT_EQ(tekst(s, "LNrStrony"), "str. 1");
}

}  // namespace
}  // namespace kmx::reporttest
