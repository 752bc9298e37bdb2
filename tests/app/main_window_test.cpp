// The main window on the demo catalogue: start-up and its failures, the goods
// search driven through its real widgets, paging, sorting, the page guards,
// the action enabling, the panels and the window placement kept per user.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolButton>
#include <chrono>
#include <filesystem>
#include <memory>
#include <set>

#include "app/about_box.h"
#include "app/constants.h"
#include "app/goods_panel.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/paging_bar.h"
#include "app/program_paths.h"
#include "app/program_state.h"
#include "app/result_grid.h"
#include "app/supplier_panel.h"
#include "catalog/demo.h"
#include "core/last_error.h"
#include "core/query_builder.h"
#include "core/settings_file.h"
#include "data/database.h"
#include "data/tdm.h"
#include "gui_test_support.h"
#include "platform/dialogs.h"
#include "platform/links.h"
#include "platform/settings_store.h"

namespace {

using namespace kmx::guitest;

using kmx::app::ResultGrid;
using kmx::app::TKmxMain;
using kmx::platform::MessageIcon;
namespace fs = std::filesystem;

constexpr char kHaslo[] = "Demo-Haslo-J1";
const QString kNieZnaleziono = QStringLiteral(
    "Nie znaleziono towaru. Sprawdź czy określiłeś właściwą kategorie wyszukiwania materiał/sprzęt");

std::vector<long long> idTowarow(const kmx::data::DataSet& ds) {
    return kolumnaId(ds, "ID_TOWARU");
}

class MainWindowTest : public kmx::guitest::NaDemo<MainWindowTest> {
public:
    static constexpr const char* kHasloDemo = kHaslo;

protected:
    void SetUp() override {
        ASSERT_NE(demo_, nullptr);
        przygotujTestOkna();
        ASSERT_TRUE(ini_.isValid());
        store_ = std::make_unique<kmx::platform::QtSettingsStore>(ini_.filePath(QStringLiteral("kmx.ini")));
    }
    void TearDown() override {
        okno_.reset();
        kmx::app::UstawKatalogProgramu(QString());
    }

    // The window on a catalogue folder, started and shown.
    TKmxMain& otworz(const QString& folder = demo_->path()) {
        okno_ = otworzOkno(folder, *store_, links_);
        return *okno_;
    }

    template <typename T>
    T* w(const char* name) {
        return znajdz<T>(okno_.get(), name);
    }
    QAction* akcja(const char* name) { return w<QAction>(name); }
    QTabWidget* PCMain() { return w<QTabWidget>("PCMain"); }
    QTabWidget* PCProdukty() { return w<QTabWidget>("PCProdukty"); }
    QTabWidget* PCDostawcy() { return w<QTabWidget>("PCDostawcy"); }
    kmx::data::DataSet& QWybrTow() { return okno_->tdm().QWybrTow; }
    const std::vector<kmx::platform::ShownMessage>& komunikaty() {
        return kmx::platform::dialogs().shownMessages;
    }

    // "farba" up to 30 gives 35 goods in the demo catalogue.
    void szukajFarby() {
        wpisz(w<QLineEdit>("eNazwaTow"), QStringLiteral("farba"));
        wpisz(w<QLineEdit>("eCenajednDo"), QStringLiteral("30"));
        enter(w<QLineEdit>("eNazwaTow"));
        QApplication::processEvents();
    }

    // Resizes the window until the found-goods grid is `height` pixels high.
    void wysokoscSiatki(int height) {
        ResultGrid* grid = okno_->siatkaTowarow();
        for (int i = 0; i < 4 && grid->height() != height; ++i) {
            okno_->resize(okno_->width(), okno_->height() + height - grid->height());
            QApplication::processEvents();
        }
        ASSERT_EQ(grid->height(), height);
    }

    // A copy of the demo catalogue with statements run on it.
    QString kopiaKatalogu(QTemporaryDir& dir, const std::string& sql) {
        EXPECT_TRUE(dir.isValid());
        for (const char* f : {"kmx.dat", "kmx.iif", "stawki.rtf"}) {
            EXPECT_TRUE(
                QFile::copy(demo_->filePath(QString::fromLatin1(f)), dir.filePath(QString::fromLatin1(f))));
        }
        if (!sql.empty()) {
            kmx::data::Database db;
            std::string error;
            EXPECT_TRUE(db.openForBuild(toPath(dir.filePath(QStringLiteral("kmx.dat"))), kHaslo, error))
                << error;
            EXPECT_TRUE(db.exec(sql, error)) << error;
        }
        return dir.path();
    }

    QTemporaryDir ini_;
    std::unique_ptr<kmx::platform::QtSettingsStore> store_;
    kmx::platform::RecordingLinkOpener links_;
    std::unique_ptr<TKmxMain> okno_;
};

// ------------------------------------------------------------------ pure rules

TEST(GoodsScreenRules, PriceBoundUsesCommaAndRejectsWhatIsNoFloat) {
    auto r = kmx::app::TekstNaLiczbe(QStringLiteral("12,5"));
    ASSERT_TRUE(r.ok);
    EXPECT_FLOAT_EQ(r.value, 12.5f);
    r = kmx::app::TekstNaLiczbe(QStringLiteral("7"));
    ASSERT_TRUE(r.ok);
    EXPECT_FLOAT_EQ(r.value, 7.0f);
    for (const char* bad : {",", "1,2,3", "12.5", "abc", "1,5x", ""}) {
        r = kmx::app::TekstNaLiczbe(QString::fromLatin1(bad));
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_FALSE(r.error.isEmpty()) << bad;
    }
    // Beyond the largest 32-bit float (about 3,4E38).
    EXPECT_FALSE(kmx::app::TekstNaLiczbe(QStringLiteral("5") + QString(39, QLatin1Char('0'))).ok);
    EXPECT_TRUE(kmx::app::TekstNaLiczbe(QStringLiteral("3") + QString(38, QLatin1Char('0'))).ok);
}

TEST(GoodsScreenRules, PriceKeysAllowDigitsAndOneComma) {
    using kmx::app::KlawiszCeny;
    using kmx::app::OcenKlawiszCeny;
    EXPECT_EQ(OcenKlawiszCeny(QStringLiteral("7"), QString()), KlawiszCeny::Przyjmij);
    EXPECT_EQ(OcenKlawiszCeny(QStringLiteral(","), QStringLiteral("12")), KlawiszCeny::Przyjmij);
    EXPECT_EQ(OcenKlawiszCeny(QStringLiteral(","), QStringLiteral("1,2")), KlawiszCeny::OdrzucCicho);
    EXPECT_EQ(OcenKlawiszCeny(QStringLiteral("\b"), QStringLiteral("1,2")), KlawiszCeny::Przyjmij);
    EXPECT_EQ(OcenKlawiszCeny(QStringLiteral("\r"), QString()), KlawiszCeny::Przyjmij);
    EXPECT_EQ(OcenKlawiszCeny(QStringLiteral("a"), QString()), KlawiszCeny::OdrzucZKomunikatem);
    EXPECT_EQ(OcenKlawiszCeny(QStringLiteral("."), QString()), KlawiszCeny::OdrzucZKomunikatem);
    EXPECT_EQ(OcenKlawiszCeny(QStringLiteral("-"), QString()), KlawiszCeny::OdrzucZKomunikatem);
}

TEST(GoodsScreenRules, SortColumnsOfTheFoundGoods) {
    using kmx::app::KolumnaSortowaniaTowarow;
    EXPECT_EQ(KolumnaSortowaniaTowarow(QStringLiteral("towar.NAZWA")), QStringLiteral("idx_NAZWA"));
    EXPECT_EQ(KolumnaSortowaniaTowarow(QStringLiteral("JEDNOSTKA_MIARY.NAZWA")),
              QStringLiteral("idx_jedn_miary"));
    EXPECT_EQ(KolumnaSortowaniaTowarow(QStringLiteral("indeks_eto")), QStringLiteral("idx_indeks_eto"));
    EXPECT_EQ(KolumnaSortowaniaTowarow(QStringLiteral("producent.NAZWA")), QStringLiteral("idx_nazwa_prod"));
    EXPECT_TRUE(KolumnaSortowaniaTowarow(QStringLiteral("CENA_JEDNOSTKOWA")).isEmpty());
    EXPECT_EQ(kmx::app::Wysrodkuj(885, 420), 232);
    EXPECT_EQ(kmx::app::Wysrodkuj(101, 51), 25);
}

TEST(ProgramState, EditionTextsAndDateFormats) {
    kmx::app::ZerujStanProgramu();
    auto& s = kmx::app::stanProgramu();
    EXPECT_EQ(s.Wydanie, QStringLiteral("x/yyyy"));
    EXPECT_EQ(s.WersjaOpis, QStringLiteral("Wersja 1.21 wyd.x/yyyy"));
    kmx::app::UstawWydanie(QStringLiteral("III kwartał"), QStringLiteral("2025"));
    EXPECT_EQ(s.Wydanie, QStringLiteral("III kwartał/2025"));
    EXPECT_EQ(s.WersjaOpis, QStringLiteral("Wersja 1.21 wyd.III kwartał/2025"));
    kmx::app::UstawFormatyStartowe();
    EXPECT_EQ(s.KrotkiFormatDaty, QStringLiteral("dd-MM-yy"));
    EXPECT_EQ(s.SeparatorDaty, QLatin1Char('-'));
    kmx::app::ZmianaUstawienRegionalnych();
    EXPECT_EQ(s.KrotkiFormatDaty, QStringLiteral("dd-MM-yyyy"));
    kmx::app::ZerujStanProgramu();
}

// ------------------------------------------------------------------ start-up

TEST_F(MainWindowTest, StartUpReadsTheEditionAndShowsTheSearchPage) {
    TKmxMain& okno = otworz();
    EXPECT_EQ(okno.windowTitle(), QStringLiteral("KALMAREX - CENY PRODUCENTÓW I DOSTAWCÓW - wydanie 4/2026"));
    EXPECT_EQ(kmx::app::stanProgramu().WersjaOpis, QStringLiteral("Wersja 1.21 wyd.4/2026"));
    EXPECT_EQ(kmx::app::stanProgramu().KrotkiFormatDaty, QStringLiteral("dd-MM-yy"));
    EXPECT_EQ(PCMain()->currentIndex(), 0);
    EXPECT_EQ(PCProdukty()->currentIndex(), 0);
    EXPECT_EQ(PCProdukty()->tabPosition(), QTabWidget::South);
    EXPECT_FALSE(PCDostawcy()->isTabVisible(4));
    EXPECT_TRUE(komunikaty().empty());
    // The lookups behind the pickers: 9 KNR groups, every province.
    EXPECT_EQ(w<QComboBox>("cbKNR")->count(), 9);
    EXPECT_EQ(w<QComboBox>("cbTWojewodztwo")->count(), 16);
    EXPECT_GT(w<QComboBox>("cbGrupaTow")->count(), 0);
    EXPECT_EQ(w<QComboBox>("cbGrupaTow")->currentIndex(), -1);
    // The labour rates are loaded.
    EXPECT_FALSE(okno.findChild<QWidget*>(QStringLiteral("pcStawki"))
                     ->findChild<QTextBrowser*>()
                     ->toPlainText()
                     .isEmpty());
}

TEST_F(MainWindowTest, MissingOrLockedCatalogueEndsStartUp) {
    QTemporaryDir empty;
    {
        TKmxMain okno(empty.path(), *store_, &links_);
        QString error;
        EXPECT_FALSE(okno.start(&error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("Nie można otworzyć bazy danych Davideriv.\r\n")))
            << error.toStdString();
        EXPECT_EQ(kmx::OstatniBlad().code, 0);
    }
    // A settings file with another password.
    QTemporaryDir other;
    kopiaKatalogu(other, {});
    ASSERT_TRUE(kmx::ZapiszUstawienia(toPath(other.filePath(QStringLiteral("kmx.iif"))), "Inne-Haslo").ok);
    {
        TKmxMain okno(other.path(), *store_, &links_);
        QString error;
        EXPECT_FALSE(okno.start(&error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("Nie można otworzyć bazy danych Davideriv.\r\n")))
            << error.toStdString();
        EXPECT_GT(error.size(), 45);  // the engine's own reason follows
    }
    // No settings file: an empty password, which the catalogue refuses.
    ASSERT_TRUE(QFile::remove(other.filePath(QStringLiteral("kmx.iif"))));
    TKmxMain okno(other.path(), *store_, &links_);
    QString error;
    EXPECT_FALSE(okno.start(&error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Nie można otworzyć bazy danych Davideriv.\r\n")));
}

TEST_F(MainWindowTest, MissingLookupTableEndsStartUpAndMissingEditionKeepsDefaults) {
    QTemporaryDir bezKraju;
    kopiaKatalogu(bezKraju, "DROP TABLE KRAJ;");
    {
        TKmxMain okno(bezKraju.path(), *store_, &links_);
        QString error;
        EXPECT_FALSE(okno.start(&error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("Nie można otworzyć tabeli.\r\n")))
            << error.toStdString();
    }
    QTemporaryDir bezWersji;
    kopiaKatalogu(bezWersji, "DROP TABLE Wersja; DROP TABLE KNR;");
    TKmxMain& okno = otworz(bezWersji.path());
    EXPECT_EQ(okno.windowTitle(), QStringLiteral("KALMAREX - CENY PRODUCENTÓW I DOSTAWCÓW - wydanie x/yyyy"));
    // The KNR list failure is shown with the application's title and start-up goes on.
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].caption, QGuiApplication::applicationDisplayName());
    EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Error);
    EXPECT_FALSE(komunikaty()[0].text.isEmpty());
    EXPECT_EQ(w<QComboBox>("cbKNR")->count(), 0);
    EXPECT_TRUE(okno.isVisible());
}

// ------------------------------------------------------------------ goods search

TEST_F(MainWindowTest, SearchTypedAndStartedWithEnterListsWhatThePlainSearchFinds) {
    otworz();
    szukajFarby();
    ASSERT_TRUE(komunikaty().empty()) << komunikaty()[0].text.toStdString();
    ASSERT_TRUE(QWybrTow().active());
    EXPECT_EQ(PCProdukty()->currentIndex(), 1);
    EXPECT_EQ(QWybrTow().recordCount(), 35);
    EXPECT_EQ(kmx::app::stanProgramu().IloscTowarow, 35);

    // The same criteria through a data module of its own.
    kmx::TsTowar kryteria{};
    kryteria.nazwa.setUtf8("farba");
    kryteria.cenaJednostkowaDo = 30.0f;
    kmx::data::TDM drugi;
    ASSERT_FALSE(drugi.PolaczZBaza(toPath(demo_->filePath(QStringLiteral("kmx.dat"))), std::string(kHaslo)));
    std::string error;
    ASSERT_TRUE(drugi.QWybrTow.open(kmx::ZbudujZapytanieTowarow(kryteria, 0) + " ORDER BY idx_NAZWA", error))
        << error;
    EXPECT_EQ(idTowarow(QWybrTow()), idTowarow(drugi.QWybrTow));

    // And what the rows say: the name holds the word, the price keeps the bound.
    const int fNazwa = QWybrTow().fieldIndex("TOWAR.NAZWA");
    const int fCena = QWybrTow().fieldIndex("CENA_JEDNOSTKOWA");
    for (int r = 0; r < QWybrTow().recordCount(); ++r) {
        EXPECT_TRUE(QString::fromStdString(QWybrTow().displayText(r, fNazwa))
                        .contains(QStringLiteral("farb"), Qt::CaseInsensitive));
        EXPECT_LE(QWybrTow().cell(r, fCena).asDouble(), 30.0);
    }
    // The grid shows them.
    EXPECT_EQ(okno_->siatkaTowarow()->model()->rowCount(), 35);
    EXPECT_EQ(okno_->pasekStron()->wartoscIloscPozycji()->text(), QStringLiteral("35"));
    EXPECT_EQ(okno_->pasekStron()->grupa(), w<QGroupBox>("GrBListaTow"));
}

TEST_F(MainWindowTest, NothingFoundAndRejectedStatementAreReported) {
    otworz();
    wpisz(w<QLineEdit>("eNazwaTow"), QStringLiteral("qqqzzz"));
    enter(w<QLineEdit>("eNazwaTow"));
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].caption, QStringLiteral("KALMAREX"));
    EXPECT_EQ(komunikaty()[0].text, kNieZnaleziono);
    EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Information);
    EXPECT_FALSE(QWybrTow().active());
    EXPECT_EQ(PCProdukty()->currentIndex(), 0);
    EXPECT_EQ(kmx::app::stanProgramu().IloscTowarow, 0);
    okno_.reset();

    // A catalogue whose VAT table is gone: the goods statement fails.
    QTemporaryDir uszkodzony;
    kopiaKatalogu(uszkodzony, "DROP TABLE STAWKA_VAT;");
    kmx::platform::dialogs().shownMessages.clear();
    otworz(uszkodzony.path());
    ASSERT_TRUE(komunikaty().empty());
    w<QPushButton>("bSzukajTow")->click();
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].caption, QStringLiteral("KALMAREX"));
    EXPECT_TRUE(komunikaty()[0].text.startsWith(QStringLiteral("Nie moża wykonać zapytania o towar!\r\n")))
        << komunikaty()[0].text.toStdString();
    EXPECT_GT(komunikaty()[0].text.size(), 40);
    EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Error);
    EXPECT_EQ(kmx::OstatniBlad().code, -1);
    EXPECT_FALSE(QWybrTow().active());
    EXPECT_EQ(PCProdukty()->currentIndex(), 0);
}

TEST_F(MainWindowTest, PriceFieldKeysAndBadNumber) {
    otworz();
    QLineEdit* cena = w<QLineEdit>("eCenajednDo");
    wpisz(cena, QStringLiteral("1,5,"));
    EXPECT_EQ(cena->text(), QStringLiteral("1,5"));
    EXPECT_TRUE(komunikaty().empty());
    wpisz(cena, QStringLiteral("x"));
    EXPECT_EQ(cena->text(), QStringLiteral("1,5"));
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].caption, QStringLiteral("Uwaga"));
    EXPECT_EQ(komunikaty()[0].text, QStringLiteral("Wprowadź cyfrę lub przecinek!"));
    EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Error);

    // A pasted number too large for the record stops the search after the message.
    cena->setText(QStringLiteral("4") + QString(40, QLatin1Char('0')));
    kmx::platform::dialogs().shownMessages.clear();
    enter(cena);
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_TRUE(komunikaty()[0].text.startsWith(QStringLiteral("Błędna liczba\r")));
    EXPECT_GT(komunikaty()[0].text.size(), 15);
    EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Error);
    EXPECT_FALSE(QWybrTow().active());
    EXPECT_EQ(PCProdukty()->currentIndex(), 0);
}

TEST_F(MainWindowTest, TypeCheckBoxesKeepOneCheckedAndGateTheGroups) {
    TKmxMain& okno = otworz();
    QCheckBox* m = w<QCheckBox>("chbMaterialy");
    QCheckBox* s = w<QCheckBox>("chbSprzet");
    QComboBox* grupa = w<QComboBox>("cbGrupaTow");
    EXPECT_TRUE(m->isChecked());
    EXPECT_TRUE(s->isChecked());
    grupa->setCurrentIndex(0);
    EXPECT_EQ(grupa->palette().color(QPalette::Base), QColor(226, 226, 226));

    m->click();  // materials off: the groups go
    EXPECT_FALSE(m->isChecked());
    EXPECT_FALSE(grupa->isEnabled());
    EXPECT_EQ(grupa->currentIndex(), -1);
    s->click();  // that would leave none: it stays checked
    EXPECT_TRUE(s->isChecked());
    EXPECT_FALSE(m->isChecked());

    kmx::TsTowar k{};
    ASSERT_TRUE(okno.PobierzKryteriaTow(k, true, nullptr));
    EXPECT_EQ(k.typRms.view(), "S");
    EXPECT_EQ(k.idGrupy, 0);

    // Show all with only equipment checked lists equipment only.
    w<QPushButton>("bPokazAllTowar")->click();
    ASSERT_TRUE(QWybrTow().active());
    EXPECT_EQ(PCProdukty()->currentIndex(), 1);
    const int fTyp = QWybrTow().fieldIndex("TYP_RMS");
    std::set<std::string> typy;
    for (int r = 0; r < QWybrTow().recordCount(); ++r)
        typy.insert(std::string(QWybrTow().cell(r, fTyp).bytes()));
    EXPECT_EQ(typy, std::set<std::string>{"S"});

    m->click();
    EXPECT_TRUE(m->isChecked());
    EXPECT_TRUE(grupa->isEnabled());
    ASSERT_TRUE(okno.PobierzKryteriaTow(k, true, nullptr));
    EXPECT_EQ(k.typRms.view(), "");
}

TEST_F(MainWindowTest, FilledFieldsAreGreyAndClearingEmptiesThem) {
    TKmxMain& okno = otworz();
    QLineEdit* nazwa = w<QLineEdit>("eNazwaTow");
    QComboBox* woj = w<QComboBox>("cbTWojewodztwo");
    const QColor grey(226, 226, 226);
    EXPECT_EQ(nazwa->palette().color(QPalette::Base), QColor(Qt::white));
    wpisz(nazwa, QStringLiteral("cement"));
    EXPECT_EQ(nazwa->palette().color(QPalette::Base), grey);
    woj->setCurrentIndex(2);
    EXPECT_EQ(woj->palette().color(QPalette::Button), grey);
    w<QPushButton>("bWyczyscWojewodztwo")->click();
    EXPECT_EQ(woj->currentIndex(), -1);
    EXPECT_EQ(woj->palette().color(QPalette::Button), QColor(Qt::white));

    w<QLineEdit>("eTMiastoDost")->setText(QStringLiteral("Kraków"));
    w<QCheckBox>("chbSprzet")->click();
    w<QPushButton>("BWyczyscKrytSzukTow")->click();
    EXPECT_TRUE(nazwa->text().isEmpty());
    EXPECT_TRUE(w<QLineEdit>("eTMiastoDost")->text().isEmpty());
    EXPECT_EQ(nazwa->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_FALSE(w<QCheckBox>("chbSprzet")->isChecked());  // the kinds keep their state
    kmx::TsTowar k{};
    ASSERT_TRUE(okno.PobierzKryteriaTow(k, true, nullptr));
    EXPECT_TRUE(k.nazwa.empty());
    EXPECT_TRUE(k.miejscowosc.empty());
    EXPECT_EQ(k.typRms.view(), "M");
}

TEST_F(MainWindowTest, SimpleAndAdvancedModes) {
    TKmxMain& okno = otworz();
    QPushButton* tryb = w<QPushButton>("bSzukZaawans");
    QGroupBox* panel = w<QGroupBox>("GrBSzukTow");
    QWidget* ramka = w<QGroupBox>("GrBKryteriaTow");
    QWidget* przyciski = w<QWidget>("panelPrzyciski");
    EXPECT_EQ(tryb->text(), QStringLiteral(" Wyszukiwanie zaawans."));
    EXPECT_EQ(panel->size(), QSize(420, 170));
    EXPECT_FALSE(w<QLineEdit>("eTNazwaDost")->isVisible());
    EXPECT_EQ(panel->x(), ramka->width() / 2 - 210);
    EXPECT_EQ(panel->y(), ramka->height() / 2 - 85 - 50);
    const int prostyY = przyciski->y();
    EXPECT_EQ(prostyY, ramka->height() / 2 - przyciski->height() / 2 + 80);

    tryb->click();
    EXPECT_EQ(tryb->text(), QStringLiteral("W&yszukiwanie proste"));
    EXPECT_EQ(panel->size(), QSize(420, 280));
    EXPECT_TRUE(w<QLineEdit>("eTNazwaDost")->isVisible());
    EXPECT_TRUE(w<QComboBox>("cbTWojewodztwo")->isVisible());
    EXPECT_TRUE(w<QLineEdit>("eTMiastoDost")->isVisible());
    EXPECT_EQ(przyciski->y(), prostyY + 60);
    EXPECT_EQ(panel->y(), ramka->height() / 2 - 140 - 50);
    EXPECT_TRUE(okno.trybZaawansowany());

    // Advanced fields still count after going back to simple mode.
    w<QLineEdit>("eTMiastoDost")->setText(QStringLiteral("Opole"));
    w<QLineEdit>("eTNazwaDost")->setText(QStringLiteral("Podlovex"));
    tryb->click();
    EXPECT_EQ(tryb->text(), QStringLiteral("W&yszukiwanie zaawans."));
    EXPECT_EQ(panel->size(), QSize(420, 170));
    EXPECT_FALSE(w<QLineEdit>("eTMiastoDost")->isVisible());
    kmx::TsTowar k{};
    ASSERT_TRUE(okno.PobierzKryteriaTow(k, true, nullptr));
    EXPECT_EQ(k.miejscowosc.view(), "Opole");
    EXPECT_EQ(k.nazwaProducenta.view(), "Podlovex");

    // A wider window keeps the panel centred.
    okno.resize(okno.width() + 200, okno.height());
    QApplication::processEvents();
    EXPECT_EQ(panel->x(), ramka->width() / 2 - 210);
    EXPECT_EQ(przyciski->x(), ramka->width() / 2 - przyciski->width() / 2);
}

TEST_F(MainWindowTest, SupplierNameFieldOffersTheNamesOfTheCatalogue) {
    otworz();
    QLineEdit* dost = w<QLineEdit>("eTNazwaDost");
    ASSERT_NE(dost->completer(), nullptr);
    EXPECT_EQ(dost->completer()->model()->rowCount(), okno_->tdm().TDostawca.recordCount());
    EXPECT_GE(dost->completer()->popup()->minimumWidth(), 400);
    EXPECT_GE(w<QComboBox>("cbGrupaTow")->view()->minimumWidth(), 600);
}

// ------------------------------------------------------------------ paging and sorting

TEST_F(MainWindowTest, PageCountersForA374PixelGrid) {
    otworz();
    szukajFarby();
    ASSERT_EQ(QWybrTow().recordCount(), 35);
    wysokoscSiatki(374);
    kmx::app::PagingBar* pasek = okno_->pasekStron();
    EXPECT_EQ(okno_->siatkaTowarow()->linesPerPage(), 17);
    EXPECT_EQ(pasek->wartoscIlStron()->text(), QStringLiteral("3"));
    QWybrTow().moveTo(18);
    EXPECT_EQ(pasek->wartoscNrStrony()->text(), QStringLiteral("2"));
    QWybrTow().moveTo(17);
    EXPECT_EQ(pasek->wartoscNrStrony()->text(), QStringLiteral("1"));
    QWybrTow().moveTo(35);
    EXPECT_EQ(pasek->wartoscNrStrony()->text(), QStringLiteral("3"));
    // The grid follows the cursor.
    EXPECT_EQ(okno_->siatkaTowarow()->currentIndex().row(), 34);

    // A taller grid: fewer pages after the resize.
    wysokoscSiatki(474);  // 22 lines
    EXPECT_EQ(pasek->wartoscIlStron()->text(), QStringLiteral("2"));
}

TEST_F(MainWindowTest, StepFieldAndPageButtons) {
    otworz();
    szukajFarby();
    wysokoscSiatki(374);
    kmx::app::PagingBar* pasek = okno_->pasekStron();
    QWybrTow().first();
    EXPECT_FALSE(pasek->przyciskPierwsza()->isEnabled());
    EXPECT_FALSE(pasek->przyciskPoprzednia()->isEnabled());
    EXPECT_TRUE(pasek->przyciskNastepna()->isEnabled());
    pasek->przyciskNastepna()->click();
    EXPECT_EQ(QWybrTow().recNo(), 18);
    EXPECT_EQ(pasek->wartoscNrStrony()->text(), QStringLiteral("2"));
    EXPECT_TRUE(pasek->przyciskPierwsza()->isEnabled());

    pasek->ustawTekstKroku(QStringLiteral("5"));
    pasek->przyciskNastepna()->click();  // 85 rows ahead: stops on the last
    EXPECT_EQ(QWybrTow().recNo(), 35);
    EXPECT_FALSE(pasek->przyciskNastepna()->isEnabled());
    EXPECT_FALSE(pasek->przyciskOstatnia()->isEnabled());

    pasek->ustawTekstKroku(QString());
    pasek->przyciskPoprzednia()->click();  // an empty step puts "1" back and does not move
    EXPECT_EQ(pasek->tekstKroku(), QStringLiteral("1"));
    EXPECT_EQ(QWybrTow().recNo(), 35);
    pasek->przyciskPoprzednia()->click();
    EXPECT_EQ(QWybrTow().recNo(), 18);
    pasek->przyciskPierwsza()->click();
    EXPECT_EQ(QWybrTow().recNo(), 1);

    // Ctrl+M and Ctrl+V: last and first row of the list on screen.
    akcja("DataSetLast1")->trigger();
    EXPECT_EQ(QWybrTow().recNo(), 35);
    akcja("DataSetFirst1")->trigger();
    EXPECT_EQ(QWybrTow().recNo(), 1);
    okno_->activateWindow();
    QApplication::processEvents();
    okno_->siatkaTowarow()->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), okno_->siatkaTowarow());
    akcja("DataSetNext1")->trigger();
    EXPECT_EQ(QWybrTow().recNo(), 2);
    akcja("DataSetPrior1")->trigger();
    EXPECT_EQ(QWybrTow().recNo(), 1);
}

// A large result: the first rows are on screen at once, the rest arrive
// while the window is idle, and the counters follow them.
TEST_F(MainWindowTest, TheListIsOnScreenBeforeItsLastRowsAreRead) {
    otworz();
    const auto budget = kmx::data::DataSet::openBudget();
    const auto minRows = kmx::data::DataSet::openMinRows();
    kmx::data::DataSet::setOpenBudget(std::chrono::milliseconds(0), 40);
    w<QPushButton>("bPokazAllTowar")->click();
    kmx::data::DataSet::setOpenBudget(budget, minRows);
    kmx::app::PagingBar* pasek = okno_->pasekStron();
    ASSERT_TRUE(QWybrTow().keyed());
    ASSERT_FALSE(QWybrTow().complete());
    EXPECT_EQ(QWybrTow().knownCount(), 40);
    EXPECT_EQ(okno_->siatkaTowarow()->model()->rowCount(), 40);
    EXPECT_EQ(pasek->wartoscIloscPozycji()->text(), QStringLiteral("40"));
    const int lines = okno_->siatkaTowarow()->linesPerPage();
    ASSERT_GT(lines, 0);
    EXPECT_EQ(pasek->wartoscIlStron()->text(), QString::number((40 + lines - 1) / lines));
    EXPECT_TRUE(okno_->doczytywanieTrwa());
    // The first page is painted from the rows read so far.
    EXPECT_FALSE(okno_->siatkaTowarow()->model()->index(0, 1).data().toString().isEmpty());

    for (int i = 0; i < 1000 && okno_->doczytywanieTrwa(); ++i) QApplication::processEvents();
    ASSERT_FALSE(okno_->doczytywanieTrwa());
    ASSERT_TRUE(QWybrTow().complete());
    const int all = QWybrTow().knownCount();
    EXPECT_GT(all, 1000);
    EXPECT_EQ(okno_->siatkaTowarow()->model()->rowCount(), all);
    EXPECT_EQ(pasek->wartoscIloscPozycji()->text(), QString::number(all));
    EXPECT_EQ(pasek->wartoscIlStron()->text(), QString::number((all + lines - 1) / lines));
    EXPECT_EQ(kmx::app::stanProgramu().IloscTowarow, all);
    EXPECT_EQ(QWybrTow().recNo(), 1);

    // Last page before the keys are all read: the last row.
    kmx::data::DataSet::setOpenBudget(std::chrono::milliseconds(0), 40);
    w<QPushButton>("bPokazAllTowar")->click();
    kmx::data::DataSet::setOpenBudget(budget, minRows);
    ASSERT_FALSE(QWybrTow().complete());
    pasek->przyciskOstatnia()->click();
    EXPECT_TRUE(QWybrTow().complete());
    EXPECT_EQ(QWybrTow().recNo(), all);
    EXPECT_EQ(okno_->siatkaTowarow()->currentIndex().row(), all - 1);
    QApplication::processEvents();
    EXPECT_FALSE(okno_->doczytywanieTrwa());
    EXPECT_EQ(pasek->wartoscIloscPozycji()->text(), QString::number(all));
}

TEST_F(MainWindowTest, SortingByTitleTwiceReversesAndTitleClicksOpenNothing) {
    otworz();
    szukajFarby();
    ResultGrid* grid = okno_->siatkaTowarow();
    QHeaderView* titles = grid->horizontalHeader();
    const int fIdx = QWybrTow().fieldIndex("idx_NAZWA");
    ASSERT_GE(fIdx, 0);
    const auto rangi = [&] {
        std::vector<long long> v;
        for (int r = 0; r < QWybrTow().recordCount(); ++r) v.push_back(QWybrTow().cell(r, fIdx).asInt());
        return v;
    };
    const std::vector<long long> przed = idTowarow(QWybrTow());

    klikTytulu(titles, 0);
    EXPECT_EQ(QWybrTow().sortField(), fIdx);
    EXPECT_TRUE(QWybrTow().sortAscending());
    const auto rosnaco = rangi();
    EXPECT_TRUE(std::is_sorted(rosnaco.begin(), rosnaco.end()));
    EXPECT_EQ(titles->sortIndicatorSection(), 0);
    EXPECT_TRUE(ResultGrid::KliknietoTytul());

    klikTytulu(titles, 0);
    EXPECT_FALSE(QWybrTow().sortAscending());
    const auto malejaco = rangi();
    EXPECT_TRUE(std::is_sorted(malejaco.rbegin(), malejaco.rend()));
    EXPECT_EQ(idTowarow(QWybrTow()).front(), przed.back());
    EXPECT_EQ(titles->sortIndicatorOrder(), Qt::DescendingOrder);

    // A double click on a title, and Enter after a title click, open nothing.
    klikTytulu(titles, 6, true);
    EXPECT_EQ(PCProdukty()->currentIndex(), 1);
    enter(grid);
    EXPECT_EQ(PCProdukty()->currentIndex(), 1);

    // A double click on a row opens the goods details of that row.
    dwuklikWiersza(grid, 2);
    EXPECT_FALSE(ResultGrid::KliknietoTytul());
    EXPECT_EQ(PCProdukty()->currentIndex(), 2);
    EXPECT_EQ(QWybrTow().recNo(), 3);
    const QString nazwa = QString::fromStdString(QWybrTow().displayText("TOWAR.NAZWA"));
    bool shown = false;
    for (QPlainTextEdit* e : okno_->panelTowaru()->findChildren<QPlainTextEdit*>())
        shown = shown || e->toPlainText() == nazwa;
    EXPECT_TRUE(shown) << nazwa.toStdString();

    // "Powrót do listy" and Enter on the list.
    emit okno_->panelTowaru()->powrotDoListy();
    EXPECT_EQ(PCProdukty()->currentIndex(), 1);
    enter(grid);
    EXPECT_EQ(PCProdukty()->currentIndex(), 2);
}

// ------------------------------------------------------------------ pages and actions

TEST_F(MainWindowTest, LeavingTheSearchPageNeedsASearch) {
    otworz();
    PCProdukty()->tabBar()->setCurrentIndex(1);
    EXPECT_EQ(PCProdukty()->currentIndex(), 0);
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, QStringLiteral("Nie wykonano szukania towarów!"));
    EXPECT_EQ(komunikaty()[0].caption, QStringLiteral("KALMAREX"));
    EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Information);

    PCMain()->setCurrentIndex(1);
    PCDostawcy()->tabBar()->setCurrentIndex(2);
    EXPECT_EQ(PCDostawcy()->currentIndex(), 0);
    ASSERT_EQ(komunikaty().size(), 2u);
    EXPECT_EQ(komunikaty()[1].text, QStringLiteral("Nie wykonano szukania dostawców!"));

    PCMain()->setCurrentIndex(0);
    szukajFarby();
    PCProdukty()->tabBar()->setCurrentIndex(0);
    PCProdukty()->tabBar()->setCurrentIndex(3);
    EXPECT_EQ(PCProdukty()->currentIndex(), 3);
    EXPECT_EQ(komunikaty().size(), 2u);
}

TEST_F(MainWindowTest, ActionsFollowThePageOnScreen) {
    TKmxMain& okno = otworz();
    QAction* eksport = akcja("AEksport");
    QAction* eksport10 = akcja("AEksportKmx10");
    QAction* doProgramu = akcja("ExTessar3");
    QAction* druk = akcja("mnuDrukuj");
    QAction* podglad = akcja("mnuPodgladWydr");
    QAction* oferta = akcja("mnuOferta");
    const auto stan = [&] {
        return std::vector<bool>{druk->isEnabled(),    podglad->isEnabled(),   oferta->isEnabled(),
                                 eksport->isEnabled(), eksport10->isEnabled(), doProgramu->isEnabled()};
    };
    using V = std::vector<bool>;
    EXPECT_EQ(stan(), V({false, false, false, false, false, false}));
    EXPECT_TRUE(akcja("ADrukuj")->isEnabled());
    EXPECT_TRUE(akcja("AOferta")->isEnabled());
    EXPECT_FALSE(akcja("mnuTowListaTow")->isEnabled());

    szukajFarby();
    EXPECT_EQ(stan(), V({true, true, true, true, true, true}));
    EXPECT_TRUE(akcja("mnuTowListaTow")->isEnabled());
    akcja("ATowSzczTow")->trigger();
    EXPECT_EQ(PCProdukty()->currentIndex(), 2);
    EXPECT_EQ(stan(), V({true, true, true, false, false, false}));
    akcja("ATowSzczDost")->trigger();
    EXPECT_EQ(PCProdukty()->currentIndex(), 3);
    EXPECT_EQ(stan(), V({true, true, false, false, false, false}));
    akcja("ACenyScalone")->trigger();
    EXPECT_EQ(PCMain()->currentIndex(), 2);
    EXPECT_EQ(stan(), V({true, true, false, true, true, false}));  // print and enquiry as they were
    akcja("AStawki")->trigger();
    EXPECT_EQ(PCMain()->currentIndex(), 3);
    EXPECT_EQ(stan(), V({true, true, false, false, false, false}));
    akcja("ADostSzczDost")->trigger();
    EXPECT_EQ(PCMain()->currentIndex(), 1);
    EXPECT_EQ(PCDostawcy()->currentIndex(), 2);
    EXPECT_EQ(stan(), V({true, true, false, false, false, false}));
    EXPECT_EQ(okno.ActiveResultSet(), &okno.tdm().QWybrDost);
    // Ctrl+O there asks for a goods list.
    akcja("AOferta")->trigger();
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, QStringLiteral("Musisz wybrać listę towarów"));
    EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Error);
    akcja("AKrytSzukTow")->trigger();
    EXPECT_EQ(PCMain()->currentIndex(), 0);
    EXPECT_EQ(PCProdukty()->currentIndex(), 0);
    EXPECT_EQ(stan(), V({false, false, false, false, false, false}));
    EXPECT_EQ(okno.ActiveResultSet(), nullptr);
    // The goods catalogue's list again through its tab: the list's actions.
    PCProdukty()->tabBar()->setCurrentIndex(1);
    EXPECT_EQ(stan(), V({true, true, true, true, true, true}));
    EXPECT_EQ(okno.ActiveResultSet(), &okno.tdm().QWybrTow);
}

TEST_F(MainWindowTest, ShortcutsAreUniqueAndCtrlNGoesToTheExport) {
    otworz();
    EXPECT_EQ(akcja("ExTessar3")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_TRUE(akcja("DataSetNext1")->shortcut().isEmpty());
    EXPECT_EQ(akcja("DataSetNext1")->text(), QStringLiteral("&Następny"));
    EXPECT_EQ(akcja("AEksportKmx10")->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_E));
    EXPECT_EQ(akcja("ADostSzczTow")->shortcut(), QKeySequence(Qt::Key_F10));
    std::set<QString> klawisze;
    for (QAction* a : okno_->findChildren<QAction*>()) {
        if (a->shortcut().isEmpty()) continue;
        EXPECT_TRUE(klawisze.insert(a->shortcut().toString()).second) << a->objectName().toStdString();
    }
    EXPECT_EQ(klawisze.size(), 18u);
}

TEST_F(MainWindowTest, DetailPanelsMoveWithTheCatalogue) {
    TKmxMain& okno = otworz();
    szukajFarby();
    akcja("ATowSzczTow")->trigger();
    EXPECT_TRUE(w<QWidget>("TabTowSzczTow")->isAncestorOf(okno.panelTowaru()));
    EXPECT_TRUE(w<QWidget>("TabTowSzczDost")->isAncestorOf(okno.panelDostawcy()));
    EXPECT_EQ(okno.panelTowaru()->boundSet(), &okno.tdm().QWybrTow);
    EXPECT_EQ(okno.panelDostawcy()->boundSet(), &okno.tdm().QWybrTow);
    EXPECT_TRUE(okno.panelTowaru()->isVisible());

    akcja("ADostSzczDost")->trigger();
    EXPECT_TRUE(w<QWidget>("TabDostSzczDost")->isAncestorOf(okno.panelDostawcy()));
    EXPECT_TRUE(w<QWidget>("TabDostSzczTow")->isAncestorOf(okno.panelTowaru()));
    EXPECT_EQ(okno.panelTowaru()->boundSet(), &okno.tdm().QWybrTowForDost);
    EXPECT_EQ(okno.panelDostawcy()->boundSet(), &okno.tdm().QWybrDost);
    EXPECT_EQ(okno.findChildren<kmx::app::GoodsPanel*>().size(), 1);

    // Back on the goods catalogue the supplier panel shows the current goods' supplier.
    akcja("ATowSzczDost")->trigger();
    EXPECT_TRUE(w<QWidget>("TabTowSzczDost")->isAncestorOf(okno.panelDostawcy()));
    EXPECT_EQ(okno.panelDostawcy()->boundSet(), &okno.tdm().QWybrTow);
    const QString dostawca = QString::fromStdString(QWybrTow().displayText("PRODUCENT.NAZWA"));
    bool shown = false;
    for (QPlainTextEdit* e : okno.panelDostawcy()->findChildren<QPlainTextEdit*>())
        shown = shown || e->toPlainText() == dostawca;
    EXPECT_TRUE(shown) << dostawca.toStdString();
}

TEST_F(MainWindowTest, PlacementAndColumnsAreRestoredAfterARestart) {
    otworz();
    EXPECT_EQ(okno_->size(), QSize(885, 648));
    okno_->setGeometry(40, 30, 930, 690);
    QApplication::processEvents();
    okno_->siatkaTowarow()->setColumnWidth(0, 300);
    okno_->close();
    EXPECT_EQ(store_->value(QStringLiteral("path"), QStringLiteral("exe")).toString(),
              QCoreApplication::applicationFilePath());
    EXPECT_EQ(store_->value(QStringLiteral("JvMainForm"), QStringLiteral("FormVersion")).toInt(), 2);
    okno_.reset();

    otworz();
    EXPECT_EQ(okno_->geometry(), QRect(40, 30, 930, 690));
    EXPECT_EQ(okno_->siatkaTowarow()->columnWidth(0), 300);
    okno_.reset();

    // A layout stored by an older form version is not used.
    store_->setValue(QStringLiteral("JvMainForm"), QStringLiteral("FormVersion"), 1);
    otworz();
    EXPECT_EQ(okno_->siatkaTowarow()->columnWidth(0), 357);
    EXPECT_EQ(okno_->geometry(), QRect(40, 30, 930, 690));
}

TEST_F(MainWindowTest, RegionalSettingsChangeTheDateFormat) {
    TKmxMain& okno = otworz();
    EXPECT_EQ(kmx::app::stanProgramu().KrotkiFormatDaty, QStringLiteral("dd-MM-yy"));
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(&okno, &change);
    EXPECT_EQ(kmx::app::stanProgramu().KrotkiFormatDaty, QStringLiteral("dd-MM-yyyy"));
}

TEST_F(MainWindowTest, HelpMenuOpensInstructionsLinksAndAbout) {
    TKmxMain& okno = otworz();
    akcja("Pomoc")->trigger();
    ASSERT_NE(okno.oknoPomocy(), nullptr);
    EXPECT_TRUE(okno.oknoPomocy()->isVisible());
    const QString ms = okno.oknoPomocy()->widok()->toPlainText();
    EXPECT_FALSE(ms.isEmpty());
    okno.oknoPomocy()->hide();
    akcja("mnuInstrukcjaCS")->trigger();
    EXPECT_NE(okno.oknoPomocy()->widok()->toPlainText(), ms);
    okno.oknoPomocy()->hide();

    akcja("mnuZapytania")->trigger();
    akcja("mnuWWW")->trigger();
    ASSERT_EQ(links_.opened.size(), 2u);
    EXPECT_EQ(links_.opened[0], QStringLiteral("mailto:") + QString::fromUtf8(kmx::app::kEmailZapytan));
    EXPECT_EQ(links_.opened[1], QString::fromUtf8(kmx::app::kStronaProduktu));

    akcja("mnuInformacje")->trigger();
    ASSERT_NE(okno.oknoOProgramie(), nullptr);
    EXPECT_TRUE(okno.oknoOProgramie()->isVisible());
    bool wersja = false;
    for (QLabel* l : okno.oknoOProgramie()->findChildren<QLabel*>())
        wersja = wersja || l->text().contains(QStringLiteral("Wersja 1.21 wyd.4/2026"));
    EXPECT_TRUE(wersja);
    okno.oknoOProgramie()->hide();

    // The search page's "kliknij" opens the goods instruction.
    emit w<QLabel>("lblKliknijTow")->linkActivated(QStringLiteral("#"));
    EXPECT_TRUE(okno.oknoPomocy()->isVisible());
    EXPECT_EQ(okno.oknoPomocy()->widok()->toPlainText(), ms);
    okno.oknoPomocy()->hide();
}

TEST_F(MainWindowTest, WorkPricesPageListsEverythingOnFirstVisit) {
    TKmxMain& okno = otworz();
    PCMain()->setCurrentIndex(2);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_TRUE(okno.tdm().Qscalone.active());
    EXPECT_EQ(okno.tdm().Qscalone.recordCount(), 3000);
    EXPECT_EQ(w<QLabel>("lblIlPoz")->text(), QStringLiteral("Il. poz.: 3000"));
    EXPECT_FALSE(akcja("ExTessar3")->isEnabled());
    EXPECT_TRUE(akcja("AEksport")->isEnabled());
}

}  // namespace
