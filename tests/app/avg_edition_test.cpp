// The average-prices edition's main window on its own demo catalogue: what
// it shows instead of the producer-prices edition, its three categories and
// their rules, the search, help, enquiry and print rules.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <set>
#include <string>

#include "app/about_box.h"
#include "app/goods_panel.h"
#include "app/program_state.h"
#include "app/works_page.h"
#include "editions/edition.h"
#include "gui_test_support.h"
#include "reports/engine/prepared.h"

namespace {

using namespace kmx::guitest;
using kmx::app::TKmxMain;

class AvgEdition : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        demo_ = zbudujDemo("Srednie-Haslo-7", 1500, kmx::catalog::DemoEdition::AveragePrices);
    }
    static void TearDownTestSuite() {
        delete demo_;
        demo_ = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(demo_, nullptr);
        kmx::edition::ustaw(kmx::edition::CenySrednie);
        przygotujTestOkna();
        store_ = std::make_unique<kmx::platform::QtSettingsStore>(ini_.filePath(QStringLiteral("kmx.ini")));
        okno_ = otworzOkno(demo_->path(), *store_, links_);
    }
    void TearDown() override {
        okno_.reset();
        kmx::app::UstawKatalogProgramu(QString());
        kmx::edition::ustaw(kmx::edition::CenyProducentow);
    }

    template <typename T>
    T* w(const char* name) {
        return znajdz<T>(okno_.get(), name);
    }
    QAction* akcja(const char* name) { return w<QAction>(name); }
    QTabWidget* PCMain() { return w<QTabWidget>("PCMain"); }
    QTabWidget* PCProdukty() { return w<QTabWidget>("PCProdukty"); }
    kmx::data::DataSet& QWybrTow() { return okno_->tdm().QWybrTow; }
    const std::vector<kmx::platform::ShownMessage>& komunikaty() {
        return kmx::platform::dialogs().shownMessages;
    }
    // Top of a widget of the details panel, from the panel's top.
    int gora(const char* name) {
        QWidget* panel = okno_->panelTowaru();
        auto* widget = panel->findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget ? widget->mapTo(panel, QPoint(0, 0)).y() : -1;
    }
    QWidget* wPanelu(const char* name) {
        auto* widget = okno_->panelTowaru()->findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    std::set<std::string> typyListy() {
        std::set<std::string> typy;
        const int f = QWybrTow().fieldIndex("TYP_RMS");
        for (int r = 0; r < QWybrTow().recordCount(); ++r)
            typy.insert(std::string(QWybrTow().cell(r, f).bytes()));
        return typy;
    }
    TKmxMain& o() { return *okno_; }

    static inline QTemporaryDir* demo_ = nullptr;
    QTemporaryDir ini_;
    std::unique_ptr<kmx::platform::QtSettingsStore> store_;
    kmx::platform::RecordingLinkOpener links_;
    std::unique_ptr<TKmxMain> okno_;
};

TEST_F(AvgEdition, StartsOnTheRmsTabWithMaterialsAndNoSupplierCatalogue) {
    EXPECT_TRUE(o().windowTitle().startsWith(QStringLiteral("KALMAREX - CENY ŚREDNIE - wydanie ")))
        << o().windowTitle().toStdString();
    EXPECT_TRUE(kmx::app::stanProgramu().WersjaOpis.startsWith(QStringLiteral("Wersja 1.09 wyd.")));

    EXPECT_EQ(PCMain()->currentIndex(), 0);
    EXPECT_EQ(PCMain()->tabText(0), QStringLiteral("Ceny RMS"));
    EXPECT_FALSE(PCMain()->isTabVisible(1));  // no "Katalog Dostawców"
    EXPECT_TRUE(PCMain()->isTabVisible(2));
    EXPECT_EQ(PCProdukty()->currentIndex(), 0);
    EXPECT_EQ(PCProdukty()->tabText(2), QStringLiteral("Szczegóły RMS"));
    EXPECT_FALSE(PCProdukty()->isTabVisible(3));  // no "Szczegóły dostawcy"
    for (const char* name : {"ATowSzczDost", "AKrytSzukDostawcy", "ADostListaDost", "ADostSzczDost",
                             "ADostListaTow", "ADostSzczTow", "APokazAllDost"}) {
        EXPECT_FALSE(akcja(name)->isEnabled()) << name;
        EXPECT_FALSE(akcja(name)->isVisible()) << name;
    }

    EXPECT_EQ(w<QGroupBox>("GrBKryteriaTow")->title(), QStringLiteral(" SZUKANIE RMS - KRYTERIA WYBORU "));
    EXPECT_EQ(w<QGroupBox>("GrBSzukTow")->title(), QStringLiteral("  RMS  "));
    EXPECT_EQ(w<QGroupBox>("GrBListaTow")->title(), QStringLiteral(" LISTA WYSZUKANYCH RMS"));
    EXPECT_EQ(w<QLabel>("lblInstrukcjaTow")->text(),
              QStringLiteral(
                  "Instrukcja importu i eksportu KALMAREX - CENY SREDNIE RMS do programów kosztorysowych"));

    // Only the name, the index, the price, the group and the category.
    EXPECT_TRUE(w<QRadioButton>("rbMaterialy")->isChecked());
    EXPECT_FALSE(w<QRadioButton>("rbSprzet")->isChecked());
    EXPECT_FALSE(w<QRadioButton>("rbRobocizna")->isChecked());
    EXPECT_EQ(o().findChild<QCheckBox*>(QStringLiteral("chbMaterialy")), nullptr);
    for (const char* name : {"eNazwaTow", "eIndeksETO", "eCenajednDo", "cbGrupaTow"})
        EXPECT_TRUE(w<QWidget>(name)->isVisible()) << name;
    for (const char* name :
         {"eTNazwaDost", "cbTWojewodztwo", "eTMiastoDost", "lblTNazwaDost", "bSzukZaawans"})
        EXPECT_FALSE(w<QWidget>(name)->isVisible()) << name;
    EXPECT_TRUE(w<QComboBox>("cbGrupaTow")->isEnabled());

    // Eight columns, the fourth the second price titled for materials.
    kmx::app::ResultGrid* grid = o().siatkaTowarow();
    const auto& kolumny = grid->dataModel()->columns();
    ASSERT_EQ(kolumny.size(), 8u);
    const char* pola[] = {"towar.NAZWA", "JEDNOSTKA_MIARY.NAZWA", "CENA_JEDNOSTKOWA",
                          "CENA_NARZUT", "WALUTA.SYMBOL",         "INDEKS_ETO",
                          "TYP_RMS",     "NAZWA_ORG_PROD"};
    for (std::size_t i = 0; i < kolumny.size(); ++i)
        EXPECT_EQ(kolumny[i].field, QString::fromLatin1(pola[i]));
    EXPECT_EQ(grid->dataModel()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Cena z KZ"));
    EXPECT_EQ(grid->dataModel()->headerData(7, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Źródło"));
    EXPECT_FALSE(grid->isColumnHidden(3));
    // No sorting by supplier: the source sorts by itself.
    EXPECT_EQ(kmx::app::KolumnaSortowaniaRms(QStringLiteral("producent.NAZWA")), QString());
    EXPECT_EQ(kmx::app::KolumnaSortowaniaRms(QStringLiteral("towar.NAZWA")), QStringLiteral("idx_NAZWA"));

    // The RMS details panel.
    EXPECT_EQ(o().panelTowaru()->findChild<QGroupBox*>(QStringLiteral("GrBTowar"))->title(),
              QStringLiteral("SZCZEGÓŁY RMS"));
    EXPECT_EQ(o().panelTowaru()->findChild<QWidget*>(QStringLiteral("JednPak")), nullptr);
    EXPECT_EQ(o().panelTowaru()->findChild<QWidget*>(QStringLiteral("dbPKWiU")), nullptr);
    EXPECT_EQ(static_cast<QLabel*>(wPanelu("lblCenaNarzut"))->text(), QStringLiteral("Cena z KZ:"));
    EXPECT_EQ(static_cast<QLabel*>(wPanelu("lblLegendaTypu"))->text(),
              QStringLiteral("R-Robocizna, M-Materiał, S-sprzęt"));
    EXPECT_EQ(gora("dbWaluta"), 267);
    EXPECT_EQ(gora("dbStawkaVAT"), 300);
}

TEST_F(AvgEdition, EquipmentEmptiesTheGroupsAndHidesTheSecondPriceLabourRetitlesIt) {
    auto* grupa = w<QComboBox>("cbGrupaTow");
    kmx::app::ResultGrid* grid = o().siatkaTowarow();
    grupa->setCurrentIndex(0);
    ASSERT_EQ(grupa->currentIndex(), 0);

    w<QRadioButton>("rbSprzet")->click();
    EXPECT_FALSE(grupa->isEnabled());
    EXPECT_EQ(grupa->currentIndex(), -1);
    EXPECT_EQ(grupa->palette().color(QPalette::Base), o().palette().color(QPalette::Window));
    EXPECT_FALSE(w<QLabel>("lblGrupaTow")->isEnabled());
    EXPECT_FALSE(w<QPushButton>("bWyczyscGrTow")->isEnabled());
    EXPECT_TRUE(grid->isColumnHidden(3));
    EXPECT_TRUE(wPanelu("dbCenaNarzut")->isHidden());
    EXPECT_TRUE(wPanelu("lblCenaNarzut")->isHidden());
    EXPECT_EQ(gora("dbWaluta"), 232);
    EXPECT_EQ(gora("dbStawkaVAT"), 267);
    kmx::TsTowar k{};
    ASSERT_TRUE(o().PobierzKryteriaTow(k, true, nullptr));
    EXPECT_EQ(k.typRms.view(), "S");
    EXPECT_EQ(k.idGrupy, 0);

    w<QRadioButton>("rbRobocizna")->click();
    EXPECT_FALSE(grupa->isEnabled());
    EXPECT_FALSE(grid->isColumnHidden(3));
    EXPECT_EQ(grid->dataModel()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Cena brutto"));
    EXPECT_FALSE(wPanelu("dbCenaNarzut")->isHidden());
    EXPECT_EQ(static_cast<QLabel*>(wPanelu("lblCenaNarzut"))->text(), QStringLiteral("Cena brutto:"));
    EXPECT_FALSE(wPanelu("lblZnacznikCeny")->isHidden());
    EXPECT_EQ(static_cast<QLabel*>(wPanelu("lblPrzypisCeny"))->text(),
              QStringLiteral("1) cena brutto = cena netto + koszty pośrednie + zysk"));
    EXPECT_FALSE(wPanelu("lblPrzypisCeny")->isHidden());
    EXPECT_EQ(gora("dbWaluta"), 267);
    EXPECT_EQ(gora("dbStawkaVAT"), 300);
    // A change of a criterion under labour leaves the group caption as it was.
    wpisz(w<QLineEdit>("eNazwaTow"), QStringLiteral("m"));
    EXPECT_FALSE(w<QLabel>("lblGrupaTow")->isEnabled());

    w<QRadioButton>("rbMaterialy")->click();
    EXPECT_TRUE(grupa->isEnabled());
    EXPECT_TRUE(w<QLabel>("lblGrupaTow")->isEnabled());
    EXPECT_TRUE(w<QPushButton>("bWyczyscGrTow")->isEnabled());
    EXPECT_EQ(grid->dataModel()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Cena z KZ"));
    EXPECT_TRUE(wPanelu("lblZnacznikCeny")->isHidden());
    EXPECT_TRUE(wPanelu("lblPrzypisCeny")->isHidden());
}

TEST_F(AvgEdition, EachCategorySearchesItsOwnKindAndTheDetailsShowTheSecondPrice) {
    w<QRadioButton>("rbRobocizna")->click();
    w<QPushButton>("bSzukajTow")->click();
    ASSERT_TRUE(QWybrTow().active());
    ASSERT_GT(QWybrTow().recordCount(), 0);
    EXPECT_EQ(kmx::app::stanProgramu().KryteriaTowaru.typRms.view(), "R");
    EXPECT_NE(kmx::app::stanProgramu().SqlTowarow.find("TOWAR.Typ_RMS = \"R\""), std::string::npos);
    EXPECT_EQ(typyListy(), std::set<std::string>{"R"});
    EXPECT_EQ(PCProdukty()->currentIndex(), 1);

    // The details of the first labour item: its gross rate in the second price.
    akcja("ATowSzczTow")->trigger();
    EXPECT_EQ(PCProdukty()->currentIndex(), 2);
    EXPECT_EQ(o().ActiveResultSet(), &QWybrTow());
    auto* cena2 = static_cast<QLineEdit*>(wPanelu("dbCenaNarzut"));
    EXPECT_EQ(cena2->text(), QString::fromStdString(QWybrTow().displayText("CENA_NARZUT")));
    EXPECT_FALSE(cena2->text().isEmpty());
    EXPECT_EQ(static_cast<QLineEdit*>(wPanelu("dbTypProduktu"))->text(), QStringLiteral("R"));
    auto* zrodlo = o().panelTowaru()->findChild<QPlainTextEdit*>(QStringLiteral("dbNazwaOrgProd"));
    ASSERT_NE(zrodlo, nullptr);
    EXPECT_FALSE(zrodlo->toPlainText().isEmpty());

    akcja("AKrytSzukTow")->trigger();
    EXPECT_EQ(o().ActiveResultSet(), nullptr);
    w<QRadioButton>("rbSprzet")->click();
    w<QPushButton>("bPokazAllTowar")->click();
    ASSERT_TRUE(QWybrTow().active());
    EXPECT_EQ(typyListy(), std::set<std::string>{"S"});
    w<QRadioButton>("rbMaterialy")->click();
    w<QPushButton>("bSzukajTow")->click();
    EXPECT_EQ(typyListy(), std::set<std::string>{"M"});
}

TEST_F(AvgEdition, MessagesSpeakOfRmsUnderTheEditionsCaption) {
    // Leaving the search page without a search.
    PCProdukty()->setCurrentIndex(1);
    ASSERT_FALSE(komunikaty().empty());
    EXPECT_EQ(komunikaty().back().caption, QStringLiteral("KALMAREX CS"));
    EXPECT_EQ(komunikaty().back().text, QStringLiteral("Nie wykonano szukania RMS!"));
    EXPECT_EQ(PCProdukty()->currentIndex(), 0);

    wpisz(w<QLineEdit>("eNazwaTow"), QStringLiteral("qqqxyz"));
    w<QPushButton>("bSzukajTow")->click();
    EXPECT_EQ(komunikaty().back().caption, QStringLiteral("KALMAREX CS"));
    EXPECT_EQ(komunikaty().back().text,
              QStringLiteral("Nie znaleziono RMS. Sprawdź czy określiłeś właściwą kategorie wyszukiwania "
                             "robocizna/materiał/sprzęt"));

    // The work-price page counts its rows in the edition's words.
    akcja("ACenyScalone")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(w<QLabel>("lblIlPoz")->text().startsWith(QStringLiteral("Ilość pozycji")))
        << w<QLabel>("lblIlPoz")->text().toStdString();
}

TEST_F(AvgEdition, HelpShowsTheInstructionReadAtStartUp) {
    const QString instrukcja = o().oknoPomocy()->widok()->toPlainText();
    EXPECT_FALSE(instrukcja.isEmpty());
    // The file is read once: gone after start-up, help still shows it.
    ASSERT_TRUE(QFile::rename(demo_->filePath(QStringLiteral("Instrukcja_eksportu_cs.rtf")),
                              demo_->filePath(QStringLiteral("cs.rtf.bak"))));
    akcja("Pomoc")->trigger();
    QFile::rename(demo_->filePath(QStringLiteral("cs.rtf.bak")),
                  demo_->filePath(QStringLiteral("Instrukcja_eksportu_cs.rtf")));
    EXPECT_TRUE(o().oknoPomocy()->isVisible());
    EXPECT_EQ(o().oknoPomocy()->widok()->toPlainText(), instrukcja);
    EXPECT_TRUE(komunikaty().empty());
    o().oknoPomocy()->hide();

    // The about box names the edition.
    akcja("mnuInformacje")->trigger();
    bool naglowek = false;
    bool wersja = false;
    for (QLabel* l : o().oknoOProgramie()->findChildren<QLabel*>()) {
        naglowek = naglowek || l->text() == QStringLiteral("KALMAREX - CENY ŚREDNIE RMS ");
        wersja = wersja || l->text().startsWith(QStringLiteral("Wersja 1.09 wyd."));
    }
    EXPECT_TRUE(naglowek);
    EXPECT_TRUE(wersja);
    o().oknoOProgramie()->hide();
}

TEST_F(AvgEdition, EnquiryOnTheGoodsTabOnlyAndSilentElsewhere) {
    int pickers = 0;
    kmx::mail::TFDostawcy::testHook = [&pickers](kmx::mail::TFDostawcy&) { ++pickers; };
    akcja("AOferta")->trigger();  // the search page: nothing
    akcja("ACenyScalone")->trigger();
    akcja("AOferta")->trigger();  // the work prices: nothing, and no message
    akcja("AStawki")->trigger();
    akcja("AOferta")->trigger();
    EXPECT_TRUE(komunikaty().empty());
    EXPECT_EQ(pickers, 0);

    akcja("AKrytSzukTow")->trigger();
    w<QPushButton>("bPokazAllTowar")->click();
    ASSERT_EQ(PCProdukty()->currentIndex(), 1);
    akcja("AOferta")->trigger();
    EXPECT_EQ(pickers, 1);
}

TEST_F(AvgEdition, PreviewFromTheRmsDetailsIsTheShortenedCardAndTheListPrintsTheSource) {
    struct Podglad {
        QString tytul, podpisNazwy, zrodlo;
    };
    std::vector<Podglad> podglady;
    kmx::reports::previewTestHook = [&podglady](kmx::reports::TFPreview& w) {
        const auto tekst = [&w](const char* name) {
            const auto t = kmx::reports::textsNamed(w.store(), 1, QString::fromLatin1(name));
            return t.empty() ? QString() : w.store().page(1).textOf(*t.front()).toString();
        };
        podglady.push_back({tekst("Ltytul"), tekst("PasekNazwyPodpis"), tekst("PasDostawcaPodpis")});
    };
    akcja("APodgladWydr")->trigger();  // the search page prints nothing
    EXPECT_TRUE(podglady.empty());

    w<QPushButton>("bPokazAllTowar")->click();
    akcja("ATowSzczTow")->trigger();
    akcja("APodgladWydr")->trigger();
    ASSERT_EQ(podglady.size(), 1u);
    EXPECT_EQ(podglady[0].tytul, QStringLiteral("Szczegółowe dane RMS pobrane z systemu KALMAREX"));
    EXPECT_EQ(podglady[0].podpisNazwy, QStringLiteral("Nazwa RMS:"));
    // The card's bands are the shortened chain (the report tests compare it
    // band by band); the supplier row is captioned as the source.
    EXPECT_EQ(podglady[0].zrodlo, QStringLiteral("Źródło"));

    akcja("ATowListaTow")->trigger();
    akcja("APodgladWydr")->trigger();
    ASSERT_EQ(podglady.size(), 2u);
    EXPECT_EQ(podglady[1].tytul, QStringLiteral("Lista RMS wygenerowana z systemu KALMAREX"));

    // The work prices and the rates print nothing.
    akcja("ACenyScalone")->trigger();
    akcja("APodgladWydr")->trigger();
    akcja("AStawki")->trigger();
    akcja("APodgladWydr")->trigger();
    EXPECT_EQ(podglady.size(), 2u);
}

TEST_F(AvgEdition, LabourExportOffersOnlyTheLabourListAndCopiesTheShippedOne) {
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    w<QRadioButton>("rbRobocizna")->click();
    w<QPushButton>("bPokazAllTowar")->click();
    ASSERT_EQ(PCProdukty()->currentIndex(), 1);
    auto& d = kmx::platform::dialogs();
    d.nextFiles.push_back({true, out.filePath(QStringLiteral("Robocizna_sred.kmx")), 1});
    akcja("AEksport")->trigger();

    // One dialog, for labour, with the ready-made list copied byte for byte.
    ASSERT_EQ(d.fileRequests.size(), 1u);
    EXPECT_EQ(d.fileRequests[0].title, QStringLiteral("Eksport cennika robocizny"));
    EXPECT_EQ(QFileInfo(d.fileRequests[0].fileName).completeBaseName(), QStringLiteral("Robocizna_sred"));
    QFile kopia(out.filePath(QStringLiteral("Robocizna_sred.kmx")));
    QFile wzor(demo_->filePath(QStringLiteral("KMX2.1/Robocizna_sred.kmx")));
    ASSERT_TRUE(kopia.open(QIODevice::ReadOnly));
    ASSERT_TRUE(wzor.open(QIODevice::ReadOnly));
    EXPECT_EQ(kopia.readAll(), wzor.readAll());
    ASSERT_FALSE(komunikaty().empty());
    EXPECT_EQ(komunikaty().back().caption, QStringLiteral("KALMAREX CS"));
    EXPECT_EQ(komunikaty().back().text, QStringLiteral("Zapis pliku zakończony"));
}

TEST_F(AvgEdition, DrukujOpensThePrintSetOnTheGoodsTabOutsideTheSearchOnly) {
    int dialogs = 0;
    kmx::reports::TFrmDruk::testHook = [&dialogs](kmx::reports::TFrmDruk&) { ++dialogs; };
    akcja("ADrukuj")->trigger();
    akcja("ACenyScalone")->trigger();
    akcja("ADrukuj")->trigger();
    EXPECT_EQ(dialogs, 0);
    akcja("AKrytSzukTow")->trigger();
    w<QPushButton>("bPokazAllTowar")->click();
    akcja("ADrukuj")->trigger();
    EXPECT_EQ(dialogs, 1);
}

}  // namespace

namespace {

// Pictures of every page of the average-prices edition, for a person to look
// at; only when KMX_SCREENSHOT_DIR names the folder for the PNG files.
TEST_F(AvgEdition, Screenshots) {
    const QString target = qEnvironmentVariable("KMX_SCREENSHOT_DIR");
    if (target.isEmpty()) GTEST_SKIP() << "KMX_SCREENSHOT_DIR is not set";
    QDir dir(target);
    ASSERT_TRUE(dir.mkpath(QStringLiteral(".")));
    const auto zapisz = [&dir](QWidget* widget, const char* name) {
        QApplication::processEvents();
        const QString file = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(widget->grab().save(file)) << file.toStdString();
    };
    o().resize(1000, 700);
    zapisz(&o(), "avg_01_szukanie_materialy.png");
    w<QRadioButton>("rbSprzet")->click();
    zapisz(&o(), "avg_02_szukanie_sprzet.png");

    w<QRadioButton>("rbMaterialy")->click();
    w<QPushButton>("bPokazAllTowar")->click();
    zapisz(&o(), "avg_03_znalezione_materialy.png");
    akcja("ATowSzczTow")->trigger();
    zapisz(&o(), "avg_04_szczegoly_materialu.png");

    akcja("AKrytSzukTow")->trigger();
    w<QRadioButton>("rbRobocizna")->click();
    w<QPushButton>("bPokazAllTowar")->click();
    zapisz(&o(), "avg_05_znalezione_robocizna.png");
    akcja("ATowSzczTow")->trigger();
    zapisz(&o(), "avg_06_szczegoly_robocizny.png");

    akcja("AKrytSzukTow")->trigger();
    w<QRadioButton>("rbSprzet")->click();
    w<QPushButton>("bPokazAllTowar")->click();
    zapisz(&o(), "avg_07_znalezione_sprzet.png");
    akcja("ATowSzczTow")->trigger();
    zapisz(&o(), "avg_08_szczegoly_sprzetu.png");

    akcja("ACenyScalone")->trigger();
    zapisz(&o(), "avg_09_ceny_robot.png");
    akcja("AStawki")->trigger();
    zapisz(&o(), "avg_10_narzuty.png");

    akcja("Pomoc")->trigger();
    zapisz(o().oknoPomocy(), "avg_11_pomoc.png");
    o().oknoPomocy()->hide();
    akcja("mnuInformacje")->trigger();
    zapisz(o().oknoOProgramie(), "avg_12_o_programie.png");
    o().oknoOProgramie()->hide();
}

}  // namespace
