// The goods detail card and the goods list on a catalogue with rows made to
// have the gaps the reports must handle.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "report_fixture.h"
#include "reports/engine/painter.h"
#include "reports/rap_szcz_tow.h"
#include "reports/rap_tow_li_tow.h"

namespace kmx::reporttest {
namespace {

using reports::BoxItem;
using reports::PageStore;
using reports::textsNamed;

class GoodsReports : public ::testing::Test {
protected:
    void SetUp() override {
        reports::zegarRaportow = [] { return QDate(2026, 12, 9); };
    }
    void TearDown() override {
        reports::zegarRaportow = [] { return QDate::currentDate(); };
    }
    Katalog k;
    reports::TRapSzczTow karta;
    reports::TRapTowLiTow lista;
};

TEST_F(GoodsReports, AnItemWithoutOptionalFieldsIsOneClosedBoxOfTheAlwaysPrintedRows) {
    k.towaryNa(kTowarGoly);
    const PageStore s = k.przygotuj(karta);
    ASSERT_EQ(s.pageCount(), 1);
    EXPECT_EQ(pasy(s), (std::vector<QString>{"PasekNazwy", "PasDostawca", "pasJM", "PasIndeksETO", "pasCena",
                                             "PasStVAT", "pasGrupaTow"}));
    // One box: the name row closed all round, every row below ruled left,
    // right and bottom, each starting where the one above ends, full width.
    const auto& boxes = s.page(1).boxes;
    EXPECT_EQ(boxes[0].sides, reports::SideAll);
    for (std::size_t i = 1; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i].sides, reports::SideLeft | reports::SideRight | reports::SideBottom) << i;
        EXPECT_NEAR(boxes[i].rect.y, boxes[i - 1].rect.bottom(), 0.001) << i;
        EXPECT_FLOAT_EQ(boxes[i].rect.x, 10.f);
        EXPECT_FLOAT_EQ(boxes[i].rect.w, 190.f);
    }
    EXPECT_NEAR(boxes[0].rect.y, 10 + 13.5, 0.001);  // under the title band
    EXPECT_NEAR(boxes[5].rect.h, 6.3, 0.001);        // the VAT row is lower
    EXPECT_NEAR(boxes[2].rect.h, 6.9, 0.001);

    EXPECT_EQ(tekst(s, "Ltytul"), "Szczegółowe dane towaru pobrane z systemu KALMAREX");
    EXPECT_EQ(tekst(s, "LNazwaFirmy"), "NORDVALE SP Z O.O.");
    EXPECT_EQ(tekst(s, "LData"), "09-12-26");
    EXPECT_EQ(tekst(s, "LTextStopki"), "KALMAREX - Baza danych towarów i dostawców branży budowlanej");
    EXPECT_TRUE(textsNamed(s, 1, "LNrStrony").empty());  // no page number on a card
    EXPECT_EQ(tekst(s, "PasekNazwyPodpis"), "Nazwa  towaru:");
    EXPECT_EQ(tekst(s, "PasekNazwyWartosc"), "Towar bez dodatków");
    // The supplier in capitals, as stored, not case-restored.
    EXPECT_EQ(tekst(s, "PasDostawcaWartosc"), "PEŁNY DOSTAWCA S.A.");
    EXPECT_EQ(tekst(s, "pasCenaWartosc"), "12,34");
    EXPECT_EQ(tekst(s, "pasCenaDostWartosc"), "10,50");
    EXPECT_EQ(tekst(s, "pasGrupaTowWartosc"), k.towarPanel->grupyTowarowe());
    EXPECT_FALSE(tekst(s, "pasGrupaTowWartosc").isEmpty());

    // Positions in mm from the paper's corner: the margin plus the layout's.
    const auto* nazwa = textsNamed(s, 1, "PasekNazwyWartosc").front();
    EXPECT_NEAR(nazwa->rect.x, 10 + 27.5, 0.001);
    EXPECT_NEAR(nazwa->rect.w, 159.0, 0.001);
    EXPECT_NEAR(nazwa->rect.y, boxes[0].rect.y + 1.1, 0.001);
    EXPECT_TRUE(nazwa->font.bold);
    EXPECT_FLOAT_EQ(nazwa->font.pt, 10.f);
    const auto* podpis = textsNamed(s, 1, "PasekNazwyPodpis").front();
    EXPECT_NEAR(podpis->rect.x, 10 + 2.1, 0.001);
    EXPECT_FALSE(podpis->font.bold);
    const auto* data = textsNamed(s, 1, "LData").front();
    EXPECT_NEAR(data->rect.x, 10 + 173.6, 0.001);
    EXPECT_FLOAT_EQ(data->font.pt, 8.f);
    EXPECT_FLOAT_EQ(textsNamed(s, 1, "Ltytul").front()->font.pt, 12.f);
}

TEST_F(GoodsReports, BlanksOnlyCountAsEmpty) {
    k.towaryNa(kTowarBlanki);
    const PageStore s = k.przygotuj(karta);
    for (const char* band : {"PasNazwaSkr", "PasSymb", "PasPKWIU", "PasOrygProd", "PasOpis", "PasCiezWl",
                             "PasSposPak", "PasCiezarJP", "PasIlTowWJP", "PasRozmJP", "PasStrWWW"})
        EXPECT_TRUE(boxesNamed(s, 1, band).empty()) << band;
    EXPECT_FALSE(boxesNamed(s, 1, "pasWaluta").empty());  // PLN
}

TEST_F(GoodsReports, OnlyTheWidthOfThePackingUnitPrintsThatPairAlone) {
    k.towaryNa(kTowarSzerokosc);
    const PageStore s = k.przygotuj(karta);
    ASSERT_EQ(boxesNamed(s, 1, "PasRozmJP").size(), 1u);
    EXPECT_EQ(tekst(s, "PasRozmJPSzPodpis"), "Szerokość jedn. pakunk.:");
    EXPECT_FALSE(tekst(s, "PasRozmJPSzWartosc").isEmpty());
    EXPECT_NEAR(textsNamed(s, 1, "PasRozmJPSzWartosc").front()->rect.x, 10 + 102.1, 0.001);
    EXPECT_NEAR(textsNamed(s, 1, "PasRozmJPSzPodpis").front()->rect.x, 10 + 61.4, 0.001);
    for (const char* gone :
         {"PasRozmJPPodpis", "PasRozmJPWartosc", "PasRozmJPWyPodpis", "PasRozmJPWyWartosc"})
        EXPECT_TRUE(textsNamed(s, 1, gone).empty()) << gone;

    // The next item with all three pairs hidden first shows none of them;
    // an item printed afterwards gets its pairs back.
    k.towaryNa(kTowarGoly);
    EXPECT_TRUE(boxesNamed(k.przygotuj(karta), 1, "PasRozmJP").empty());
}

TEST_F(GoodsReports, ADescriptionPrintsForItemAAfterItemBWithoutOneAndNotTheOtherWay) {
    k.towaryNa(kTowarGoly);
    EXPECT_TRUE(boxesNamed(k.przygotuj(karta), 1, "PasOpis").empty());
    k.towaryNa(kTowarZOpisem);
    PageStore a = k.przygotuj(karta);
    EXPECT_EQ(tekst(a, "PasOpisWartosc"), "Opis towaru A.");
    EXPECT_EQ(tekst(a, "PasOrygProdWartosc"), "ORYGINAŁ SP. Z O.O.");  // stored in capitals
    EXPECT_EQ(tekst(a, "PasStrWWWWartosc"), "www.towar-a.example.pl");
    // As wide as the text.
    const auto* www = textsNamed(a, 1, "PasStrWWWWartosc").front();
    EXPECT_GT(www->rect.w, 20.f);
    EXPECT_LT(www->rect.w, 60.f);
    k.towaryNa(kTowarGoly);
    EXPECT_TRUE(boxesNamed(k.przygotuj(karta), 1, "PasOpis").empty());
}

TEST_F(GoodsReports, TheCardOfTheSupplierCatalogueTakesTheSupplierFromTheFoundSuppliers) {
    k.dostawcyNa(kDostawcaBraki);
    k.towaryDostawcy(kTowarZOpisem);
    const PageStore s = k.przygotuj(karta);
    EXPECT_EQ(tekst(s, "PasDostawcaWartosc"), "BRAKOWO SP. Z O.O.");
    EXPECT_EQ(tekst(s, "PasekNazwyWartosc"), "Towar z opisem");
    EXPECT_EQ(tekst(s, "PasStrWWWWartosc"), "www.towar-a.example.pl");
}

TEST_F(GoodsReports, TheListHasOneRuledRowPerItemAndALongNameGrowsItsRow) {
    k.towaryNa(kTowarDlugi);
    const int rows = k.tdm.QWybrTow.recordCount();
    const PageStore s = k.przygotuj(lista);
    ASSERT_GE(s.pageCount(), 2);
    EXPECT_EQ(tekst(s, "Ltytul"), "Lista towarów wygenerowana z systemu KALMAREX");
    int printed = 0;
    for (int p = 1; p <= s.pageCount(); ++p) {
        // Header, footer and "str. N" on every page, the last included.
        EXPECT_EQ(textsNamed(s, p, "NNazwa").size(), 1u) << p;
        EXPECT_EQ(tekst(s, "LNrStrony", p), "str. " + QString::number(p));
        EXPECT_EQ(tekst(s, "LTextStopki", p), QString::fromUtf8(reports::kTekstStopki));
        EXPECT_EQ(textsNamed(s, p, "Ltytul").size(), p == 1 ? 1u : 0u);
        printed += static_cast<int>(boxesNamed(s, p, "PasWiersz").size());
    }
    EXPECT_EQ(printed, rows);
    const auto lp = teksty(s, 2, "WLp");
    EXPECT_EQ(lp.front(), QString::number(static_cast<int>(boxesNamed(s, 1, "PasWiersz").size()) + 1));

    // The header: boxed, 7.4 mm, 8 pt; the cells: 7 pt at the layout's places.
    const BoxItem* naglowek = boxesNamed(s, 1, "PasNaglowek").front();
    EXPECT_EQ(naglowek->sides, reports::SideAll);
    EXPECT_NEAR(naglowek->rect.h, 7.4, 0.001);
    EXPECT_NEAR(textsNamed(s, 1, "NDostawca").front()->rect.x, 10 + 80.7, 0.001);
    EXPECT_FLOAT_EQ(textsNamed(s, 1, "NCena").front()->font.pt, 8.f);
    EXPECT_NEAR(textsNamed(s, 1, "WCena").front()->rect.x, 10 + 167.7, 0.001);
    EXPECT_EQ(textsNamed(s, 1, "WCena").front()->align, reports::Align::Right);
    EXPECT_FLOAT_EQ(textsNamed(s, 1, "WNazwa").front()->font.pt, 7.f);

    // The long name wraps inside 65.9 mm; its row grows; the cells beside it
    // stay at the top of the row.
    int page = 0;
    const reports::TextItem* dluga = nullptr;
    for (int p = 1; p <= s.pageCount() && !dluga; ++p)
        for (const auto* t : textsNamed(s, p, "WNazwa"))
            if (s.page(p).textOf(*t).startsWith(u"Bloczek betonowy fundamentowy")) {
                dluga = t;
                page = p;
            }
    ASSERT_NE(dluga, nullptr);
    EXPECT_NEAR(dluga->rect.w, 65.9, 0.001);
    const QString lines = s.page(page).textOf(*dluga).toString();
    EXPECT_GE(lines.count('\n'), 2);
    EXPECT_EQ(QString(lines).replace('\n', ' '), QString::fromStdString(dlugaNazwa()));
    int grown = 0, beside = 0;
    for (const auto* box : boxesNamed(s, page, "PasWiersz")) {
        if (box->rect.y <= dluga->rect.y && dluga->rect.y < box->rect.bottom()) {
            EXPECT_NEAR(box->rect.h, 4.5 + dluga->rect.h - dluga->lineMm, 0.001);
            ++grown;
        }
    }
    for (const auto* cena : textsNamed(s, page, "WCena")) {
        if (std::abs(cena->rect.y - dluga->rect.y) < 0.001) {
            EXPECT_NEAR(cena->rect.h, cena->lineMm, 0.001);
            ++beside;
        }
    }
    EXPECT_EQ(grown, 1);
    EXPECT_EQ(beside, 1);
}

TEST_F(GoodsReports, TheListCaseRestoresSupplierNamesAndTheCardDoesNot) {
    k.towaryNa(kTowarGoly);
    const PageStore s = k.przygotuj(lista);
    bool found = false;
    for (int p = 1; p <= s.pageCount(); ++p)
        for (const QString& d : teksty(s, p, "WDostawca"))
            found |= d == QStringLiteral("Pełny Dostawca S.A.");
    EXPECT_TRUE(found);
}

TEST_F(GoodsReports, TheListOfOneSuppliersGoodsHasNoSupplierColumnAndItsNameInTheTitle) {
    k.dostawcyNa(kDostawcaPelny);
    k.towaryDostawcy(kTowarGoly);
    const PageStore s = k.przygotuj(lista);
    EXPECT_EQ(tekst(s, "Ltytul"), "Pełny Dostawca S.A. - Lista towarów wygenerowana z systemu KALMAREX");
    EXPECT_TRUE(textsNamed(s, 1, "NDostawca").empty());
    EXPECT_TRUE(textsNamed(s, 1, "WDostawca").empty());
    EXPECT_EQ(boxesNamed(s, 1, "PasWiersz").size(),
              static_cast<std::size_t>(k.tdm.QWybrTowForDost.recordCount()));
    for (const auto* n : textsNamed(s, 1, "WNazwa")) EXPECT_NEAR(n->rect.w, 127.3, 0.001);
    // In the list's order (by name), names case-restored.
    const auto nazwy = teksty(s, 1, "WNazwa");
    EXPECT_TRUE(nazwy.front().startsWith(QStringLiteral("Bloczek betonowy")));
    EXPECT_NE(std::find(nazwy.begin(), nazwy.end(), QStringLiteral("Towar bez dodatków")), nazwy.end());

    // Back on the found goods the column returns.
    k.towaryNa(kTowarGoly);
    const PageStore z = k.przygotuj(lista);
    EXPECT_EQ(textsNamed(z, 1, "NDostawca").size(), 1u);
    EXPECT_NEAR(textsNamed(z, 1, "WNazwa").front()->rect.w, 65.9, 0.001);
}

TEST_F(GoodsReports, TheListWalksWithControlsSuspendedAndComesBackToItsRow) {
    k.towaryNa(kTowarZOpisem);
    data::DataSet& set = k.tdm.QWybrTow;
    const int row = set.recNo();
    int scrolls = 0;
    set.setAfterScroll([&](data::DataSet&) { ++scrolls; });
    lista.przedWydrukiem(*k.dane, 0);
    EXPECT_TRUE(set.notificationsSuspended());
    PageStore s;
    ASSERT_EQ(lista.przygotuj(s, k.measurer), reports::FillResult::Done);
    EXPECT_TRUE(set.eof());  // the walk went through every row
    EXPECT_EQ(scrolls, 0);   // and the window heard nothing of it
    lista.poWydruku();
    EXPECT_FALSE(set.notificationsSuspended());
    EXPECT_EQ(set.recNo(), row);
    EXPECT_EQ(set.value("ID_TOWARU").asInt(), kTowarZOpisem);

    // A second output begun while the first is still open (a preview) ends
    // each on its own, in the reverse order.
    lista.przedWydrukiem(*k.dane, 0);
    set.last();
    lista.przedWydrukiem(*k.dane, 0);
    EXPECT_EQ(lista.trzymaneListy(), 2);
    lista.poWydruku();
    EXPECT_TRUE(set.notificationsSuspended());
    EXPECT_EQ(set.recNo(), set.recordCount());
    lista.poWydruku();
    EXPECT_FALSE(set.notificationsSuspended());
    EXPECT_EQ(set.recNo(), row);

    // The list closed meanwhile: nothing fails, notifications come back.
    lista.przedWydrukiem(*k.dane, 0);
    set.close();
    lista.poWydruku();
    EXPECT_FALSE(set.notificationsSuspended());
    set.setAfterScroll({});
}

TEST_F(GoodsReports, AnEmptyListPrintsTitleHeaderAndFooterOnly) {
    std::string error;
    ASSERT_TRUE(
        k.tdm.QWybrTow.open(ZbudujZapytanieTowarow(TsTowar{}, 0) + " AND TOWAR.ID_TOWARU = -1", error))
        << error;
    k.aktywny = &k.tdm.QWybrTow;
    const PageStore s = k.przygotuj(lista);
    ASSERT_EQ(s.pageCount(), 1);
    EXPECT_EQ(pasy(s), std::vector<QString>{"PasNaglowek"});
    EXPECT_EQ(tekst(s, "LNrStrony"), "str. 1");
    // The card prints its always-printed rows, empty.
    const PageStore c = k.przygotuj(karta);
    EXPECT_EQ(pasy(c), (std::vector<QString>{"PasekNazwy", "PasDostawca", "pasJM", "PasIndeksETO", "pasCena",
                                             "PasStVAT"}));
}

TEST_F(GoodsReports, APdfOfTheListReadsBackWithItsTitleAndCells) {
    k.towaryNa(kTowarGoly);
    const PageStore s = k.przygotuj(lista);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("lista.pdf");
    QString error;
    ASSERT_TRUE(reports::writePdf(s, pdf, lista.tytul(), &error)) << error.toStdString();
    QProcess info;
    info.start("pdfinfo", {pdf});
    ASSERT_TRUE(info.waitForFinished(20000));
    const QString meta = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(meta.contains(QRegularExpression("Pages:\\s+" + QString::number(s.pageCount()))))
        << meta.toStdString();
    EXPECT_TRUE(meta.contains("(A4)")) << meta.toStdString();
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(out.contains("Lista towarów wygenerowana z systemu KALMAREX"));
    EXPECT_TRUE(out.contains("NORDVALE SP Z O.O."));
    EXPECT_TRUE(out.contains("Towar bez dodatków"));
    EXPECT_TRUE(out.contains("Pełny Dostawca S.A."));
    EXPECT_TRUE(out.contains("12,34"));
    EXPECT_TRUE(out.contains("str. 2"));
    EXPECT_TRUE(out.contains("09-12-26"));
}

}  // namespace
}  // namespace kmx::reporttest
