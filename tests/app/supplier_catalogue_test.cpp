// The supplier catalogue of the main window on the demo catalogue: the
// search through its real widgets against the same statement run on a second
// connection and against plain look-ups, show all, one supplier's goods with
// their reuse rule, the goods tab, the detail panel's lines, links and logo,
// and every message of the screen.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/goods_panel.h"
#include "app/main_window.h"
#include "app/paging_bar.h"
#include "app/program_paths.h"
#include "app/program_state.h"
#include "app/result_grid.h"
#include "app/supplier_panel.h"
#include "catalog/demo.h"
#include "core/criteria.h"
#include "core/last_error.h"
#include "core/query_builder.h"
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

constexpr char kHaslo[] = "Demo-Haslo-K5";
const QString kBrakTowarow = QStringLiteral(
    "Nie znaleziono towaru. Sprawdź czy określiłeś właściwą kategorie wyszukiwania materiał/sprzęt");

std::vector<long long> kolumnaId(const kmx::data::DataSet& ds, const char* field = "ID_PRODUCENTA") {
    return kmx::guitest::kolumnaId(ds, field);
}

std::set<long long> jakoZbior(const std::vector<long long>& v) {
    return {v.begin(), v.end()};
}

class SupplierCatalogueTest : public kmx::guitest::NaDemo<SupplierCatalogueTest> {
public:
    static constexpr const char* kHasloDemo = kHaslo;

protected:
    void SetUp() override {
        ASSERT_NE(demo_, nullptr);
        przygotujTestOkna();
        ASSERT_TRUE(ini_.isValid());
        store_ = std::make_unique<kmx::platform::QtSettingsStore>(ini_.filePath(QStringLiteral("kmx.ini")));
        ASSERT_FALSE(
            wzor_.PolaczZBaza(toPath(demo_->filePath(QStringLiteral("kmx.dat"))), std::string(kHaslo)))
            << kmx::OstatniBlad().text;
    }
    void TearDown() override {
        okno_.reset();
        kmx::app::UstawKatalogProgramu(QString());
    }

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
    QTabWidget* PCDostawcy() { return w<QTabWidget>("PCDostawcy"); }
    kmx::data::DataSet& QWybrDost() { return okno_->tdm().QWybrDost; }
    kmx::data::DataSet& QWybrTowForDost() { return okno_->tdm().QWybrTowForDost; }
    const std::vector<kmx::platform::ShownMessage>& komunikaty() {
        return kmx::platform::dialogs().shownMessages;
    }
    bool zakladkaTowaru() { return PCDostawcy()->isTabVisible(4); }

    // The ids the supplier statement gives on a second connection.
    std::vector<long long> wzorzec(const kmx::TsDostawca& kryteria) {
        kmx::data::DataSet& ds = wzor_.QWybrDost;
        std::string error;
        EXPECT_TRUE(ds.open(kmx::ZbudujZapytanieDostawcow(kryteria) + " ORDER BY idx_nazwa_prod", error))
            << error;
        return kolumnaId(ds);
    }
    // The ids a plain statement gives on the second connection.
    std::vector<long long> zapytanie(const std::string& sql, const char* field) {
        kmx::data::DataSet ds(&wzor_.KMXConnection);
        std::string error;
        EXPECT_TRUE(ds.open(sql, error)) << error;
        return kolumnaId(ds, field);
    }

    void wybierz(QComboBox* combo, long long id) {
        const int i = combo->findData(QVariant::fromValue<qlonglong>(id));
        ASSERT_GE(i, 0) << id;
        combo->setCurrentIndex(i);
    }

    // Every supplier listed, the cursor on the one of `id`.
    void pokazDostawce(long long id) {
        if (!QWybrDost().active()) akcja("APokazAllDost")->trigger();
        const std::vector<long long> ids = kolumnaId(QWybrDost());
        const auto it = std::find(ids.begin(), ids.end(), id);
        ASSERT_NE(it, ids.end()) << id;
        QWybrDost().moveTo(static_cast<int>(it - ids.begin()) + 1);
        akcja("ADostSzczDost")->trigger();
        ASSERT_EQ(QWybrDost().value("ID_PRODUCENTA").asInt(), id);
    }

    QString kopia(QTemporaryDir& dir, const std::string& sql) {
        EXPECT_TRUE(dir.isValid());
        for (const char* f : {"kmx.dat", "kmx.iif", "stawki.rtf"}) {
            EXPECT_TRUE(
                QFile::copy(demo_->filePath(QString::fromLatin1(f)), dir.filePath(QString::fromLatin1(f))));
        }
        kmx::data::Database db;
        std::string error;
        EXPECT_TRUE(db.openForBuild(toPath(dir.filePath(QStringLiteral("kmx.dat"))), kHaslo, error)) << error;
        EXPECT_TRUE(db.exec(sql, error)) << error;
        return dir.path();
    }

    QTemporaryDir ini_;
    std::unique_ptr<kmx::platform::QtSettingsStore> store_;
    kmx::platform::RecordingLinkOpener links_;
    std::unique_ptr<TKmxMain> okno_;
    kmx::data::TDM wzor_;
};

TEST(SupplierScreenRules, SortColumnsOfTheSupplierLists) {
    using kmx::app::KolumnaSortowaniaDostawcow;
    using kmx::app::KolumnaSortowaniaTowarowDostawcy;
    EXPECT_EQ(KolumnaSortowaniaDostawcow(QStringLiteral("producent.NAZWA")),
              QStringLiteral("idx_nazwa_prod"));
    EXPECT_EQ(KolumnaSortowaniaDostawcow(QStringLiteral("Miejscowosc")),
              QStringLiteral("idx_MIEJSCOWOSC_prod"));
    EXPECT_TRUE(KolumnaSortowaniaDostawcow(QStringLiteral("EMAIL_PODSTAWOWY")).isEmpty());
    EXPECT_TRUE(KolumnaSortowaniaDostawcow(QStringLiteral("INDEKS_ETO")).isEmpty());
    EXPECT_EQ(KolumnaSortowaniaTowarowDostawcy(QStringLiteral("Towar.NAZWA")), QStringLiteral("idx_NAZWA"));
    EXPECT_EQ(KolumnaSortowaniaTowarowDostawcy(QStringLiteral("Jednostka_miary.Nazwa")),
              QStringLiteral("idx_jedn_miary"));
    EXPECT_EQ(KolumnaSortowaniaTowarowDostawcy(QStringLiteral("indeks_eto")),
              QStringLiteral("idx_indeks_eto"));
    EXPECT_TRUE(KolumnaSortowaniaTowarowDostawcy(QStringLiteral("producent.NAZWA")).isEmpty());
}

// ------------------------------------------------------------------ search

TEST_F(SupplierCatalogueTest, SearchByEachCriterionListsWhatTheStatementGives) {
    TKmxMain& okno = otworz();
    akcja("AKrytSzukDostawcy")->trigger();
    EXPECT_EQ(PCMain()->currentIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), w<QLineEdit>("eNazwaDost"));

    // Producer 1: its town, province and branches come from plain look-ups.
    const std::vector<long long> prowincja =
        zapytanie("SELECT ID_WOJEWODZTWA FROM PRODUCENT WHERE ID_PRODUCENTA = 1", "ID_WOJEWODZTWA");
    ASSERT_EQ(prowincja.size(), 1u);
    const std::vector<long long> branze =
        zapytanie("SELECT ID_BRANZY FROM BRANZA_PRODUCENTA WHERE ID_PRODUCENTA = 1", "ID_BRANZY");
    ASSERT_GE(branze.size(), 2u) << "producer 1 sells in several branches";

    // By name, typed in lower case and started with Enter.
    akcja("APokazAllDost")->trigger();
    pokazDostawce(1);
    const QString nazwa = QString::fromStdString(QWybrDost().displayText("PRODUCENT.NAZWA")).trimmed();
    const QString miasto = QString::fromStdString(QWybrDost().displayText("MIEJSCOWOSC")).trimmed();
    const QString slowo = nazwa.section(QLatin1Char(' '), 0, 0).toLower();
    ASSERT_FALSE(slowo.isEmpty());
    ASSERT_FALSE(miasto.isEmpty());
    akcja("AKrytSzukDostawcy")->trigger();
    wpisz(w<QLineEdit>("eNazwaDost"), slowo);
    klawisz(w<QLineEdit>("eNazwaDost"), Qt::Key_Return, QStringLiteral("\r"));
    kmx::TsDostawca k{};
    k.nazwa.setUtf8(slowo.toStdString());
    std::vector<long long> oczekiwane = wzorzec(k);
    ASSERT_FALSE(oczekiwane.empty());
    EXPECT_EQ(kolumnaId(QWybrDost()), oczekiwane);
    EXPECT_NE(std::find(oczekiwane.begin(), oczekiwane.end(), 1), oczekiwane.end());
    EXPECT_EQ(PCDostawcy()->currentIndex(), 1);
    EXPECT_EQ(kmx::app::stanProgramu().IloscDostawcow, static_cast<int>(oczekiwane.size()));
    EXPECT_EQ(okno.pasekStron()->iloscPozycji(), static_cast<int>(oczekiwane.size()));
    EXPECT_EQ(okno.pasekStron()->wartoscNrStrony()->text(), QStringLiteral("1"));
    EXPECT_EQ(okno.pasekStron()->grupa(), w<QWidget>("GrBListaDost"));
    EXPECT_EQ(QString::fromStdString(kmx::app::stanProgramu().SqlDostawcow),
              QString::fromStdString(kmx::ZbudujZapytanieDostawcow(k)));

    // By town, with the search button.
    w<QLabel>("lblZmienKryteriaDost")->linkActivated(QStringLiteral("#"));
    EXPECT_EQ(PCDostawcy()->currentIndex(), 0);
    w<QLineEdit>("eNazwaDost")->clear();
    w<QLineEdit>("eMiejscowosc")->setText(miasto);
    w<QPushButton>("bSzukajDost")->click();
    k = kmx::TsDostawca{};
    k.miejscowosc.setUtf8(miasto.toStdString());
    oczekiwane = wzorzec(k);
    EXPECT_EQ(kolumnaId(QWybrDost()), oczekiwane);
    EXPECT_NE(std::find(oczekiwane.begin(), oczekiwane.end(), 1), oczekiwane.end());

    // By province: the same set as a plain look-up of the column.
    akcja("AKrytSzukDostawcy")->trigger();
    w<QLineEdit>("eMiejscowosc")->clear();
    wybierz(w<QComboBox>("dblWojew"), prowincja[0]);
    w<QPushButton>("bSzukajDost")->click();
    k = kmx::TsDostawca{};
    k.idWojewodztwa = static_cast<std::int32_t>(prowincja[0]);
    EXPECT_EQ(kolumnaId(QWybrDost()), wzorzec(k));
    EXPECT_EQ(jakoZbior(kolumnaId(QWybrDost())),
              jakoZbior(zapytanie("SELECT ID_PRODUCENTA FROM PRODUCENT WHERE ID_WOJEWODZTWA = " +
                                      std::to_string(prowincja[0]),
                                  "ID_PRODUCENTA")));

    // By branch, the province cleared by its button: every producer of the
    // branch once, producer 1 (several branches) included once.
    akcja("AKrytSzukDostawcy")->trigger();
    w<QPushButton>("bWyczyscWojew")->click();
    EXPECT_EQ(w<QComboBox>("dblWojew")->currentIndex(), -1);
    wybierz(w<QComboBox>("dblBranza"), branze[1]);
    w<QPushButton>("bSzukajDost")->click();
    const std::vector<long long> lista = kolumnaId(QWybrDost());
    k = kmx::TsDostawca{};
    k.idBranzy = static_cast<std::int32_t>(branze[1]);
    EXPECT_EQ(lista, wzorzec(k));
    EXPECT_EQ(jakoZbior(lista),
              jakoZbior(zapytanie("SELECT ID_PRODUCENTA FROM BRANZA_PRODUCENTA WHERE ID_BRANZY = " +
                                      std::to_string(branze[1]),
                                  "ID_PRODUCENTA")));
    EXPECT_EQ(jakoZbior(lista).size(), lista.size()) << "a producer listed twice";
    EXPECT_EQ(std::count(lista.begin(), lista.end(), 1), 1);
    EXPECT_TRUE(komunikaty().empty());
}

TEST_F(SupplierCatalogueTest, ShowAllEmptiesTheCriteriaAndListsEverySupplier) {
    otworz();
    akcja("AKrytSzukDostawcy")->trigger();
    w<QLineEdit>("eNazwaDost")->setText(QStringLiteral("qqq"));
    w<QLineEdit>("eMiejscowosc")->setText(QStringLiteral("qqq"));
    w<QComboBox>("dblWojew")->setCurrentIndex(0);
    w<QComboBox>("dblBranza")->setCurrentIndex(0);
    w<QPushButton>("bPokazAllDost")->click();
    EXPECT_TRUE(w<QLineEdit>("eNazwaDost")->text().isEmpty());
    EXPECT_TRUE(w<QLineEdit>("eMiejscowosc")->text().isEmpty());
    EXPECT_EQ(w<QComboBox>("dblWojew")->currentIndex(), -1);
    EXPECT_EQ(w<QComboBox>("dblBranza")->currentIndex(), -1);
    const std::vector<long long> wszyscy = zapytanie("SELECT ID_PRODUCENTA FROM PRODUCENT", "ID_PRODUCENTA");
    EXPECT_EQ(jakoZbior(kolumnaId(QWybrDost())), jakoZbior(wszyscy));
    EXPECT_EQ(QWybrDost().recordCount(), static_cast<int>(wszyscy.size()));
    EXPECT_EQ(PCMain()->currentIndex(), 1);
    EXPECT_EQ(PCDostawcy()->currentIndex(), 1);
    EXPECT_EQ(kmx::app::stanProgramu().IloscDostawcow, static_cast<int>(wszyscy.size()));
    EXPECT_TRUE(komunikaty().empty());
    // The grid's titles and the first row's name as shown.
    ResultGrid* grid = okno_->siatkaDostawcow();
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Nazwa dostawcy"));
    EXPECT_EQ(grid->model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Strona www"));
    EXPECT_EQ(grid->columnWidth(1), 117);
    QWybrDost().first();
    EXPECT_EQ(grid->model()->data(grid->model()->index(0, 0), Qt::DisplayRole).toString(),
              QString::fromStdString(QWybrDost().displayText("PRODUCENT.NAZWA")));
}

TEST_F(SupplierCatalogueTest, FilledFieldMarkingAndTheNameDropDown) {
    otworz();
    akcja("AKrytSzukDostawcy")->trigger();
    const QColor szary(226, 226, 226);
    QLineEdit* nazwa = w<QLineEdit>("eNazwaDost");
    QLineEdit* miasto = w<QLineEdit>("eMiejscowosc");
    QComboBox* branza = w<QComboBox>("dblBranza");
    const auto tlo = [](QWidget* f) { return f->palette().color(QPalette::Base); };
    EXPECT_EQ(tlo(nazwa), QColor(Qt::white));
    // The town on every change, the name only once it is clicked.
    miasto->setText(QStringLiteral("K"));
    EXPECT_EQ(tlo(miasto), szary);
    nazwa->setText(QStringLiteral("a"));
    EXPECT_EQ(tlo(nazwa), QColor(Qt::white));
    QMouseEvent klik(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(nazwa->mapToGlobal(QPoint(5, 5))),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(nazwa, &klik);
    EXPECT_EQ(tlo(nazwa), szary);
    branza->setCurrentIndex(2);
    EXPECT_EQ(branza->palette().color(QPalette::Button), szary);
    w<QPushButton>("bWyczyscBranze")->click();
    EXPECT_EQ(branza->currentIndex(), -1);
    EXPECT_EQ(branza->palette().color(QPalette::Button), QColor(Qt::white));
    w<QPushButton>("bWyczyscKryteriaDost")->click();
    EXPECT_TRUE(nazwa->text().isEmpty());
    EXPECT_TRUE(miasto->text().isEmpty());
    EXPECT_EQ(tlo(nazwa), QColor(Qt::white));
    EXPECT_EQ(tlo(miasto), QColor(Qt::white));

    // Every supplier name of the catalogue is offered, in a list 400 wide.
    QCompleter* podpowiedz = nazwa->completer();
    ASSERT_NE(podpowiedz, nullptr);
    EXPECT_EQ(podpowiedz->model()->rowCount(), okno_->tdm().TDostawca.recordCount());
    EXPECT_GT(podpowiedz->model()->rowCount(), 10);
    EXPECT_GE(podpowiedz->popup()->minimumWidth(), 400);
    // Branch names through their display rule: the catch-all branch by kind.
    EXPECT_GE(branza->findText(QStringLiteral("Pozostałe M")), 0);
    EXPECT_EQ(branza->count(), okno_->tdm().TBranza.recordCount());
}

// ------------------------------------------------------------------ messages and guards

TEST_F(SupplierCatalogueTest, NothingFoundGuardAndEnquiryMessages) {
    otworz();
    PCMain()->setCurrentIndex(1);
    PCDostawcy()->tabBar()->setCurrentIndex(1);
    EXPECT_EQ(PCDostawcy()->currentIndex(), 0);
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, QStringLiteral("Nie wykonano szukania dostawców!"));
    EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Information);

    w<QLineEdit>("eNazwaDost")->setText(QStringLiteral("qqqzzz"));
    w<QPushButton>("bSzukajDost")->click();
    ASSERT_EQ(komunikaty().size(), 2u);
    EXPECT_EQ(komunikaty()[1].caption, QStringLiteral("KALMAREX"));
    EXPECT_EQ(komunikaty()[1].text, QStringLiteral("Nie znaleziono dostawców!"));
    EXPECT_EQ(komunikaty()[1].icon, MessageIcon::Information);
    EXPECT_FALSE(QWybrDost().active());
    EXPECT_EQ(PCDostawcy()->currentIndex(), 0);
    EXPECT_FALSE(zakladkaTowaru());

    // Ctrl+O asks for a goods list on the supplier pages without one.
    akcja("APokazAllDost")->trigger();
    akcja("AOferta")->trigger();
    ASSERT_EQ(komunikaty().size(), 3u);
    EXPECT_EQ(komunikaty()[2].text, QStringLiteral("Musisz wybrać listę towarów"));
    EXPECT_EQ(komunikaty()[2].icon, MessageIcon::Error);
}

TEST_F(SupplierCatalogueTest, RejectedSupplierStatementIsReported) {
    QTemporaryDir dir;
    // The producers keep only what the name list needs: the supplier
    // statement names columns that are gone.
    otworz(
        kopia(dir,
              "CREATE TABLE P2 AS SELECT ID_PRODUCENTA, NAZWA, caseNazwaProd, idx_nazwa_prod FROM PRODUCENT;"
              " DROP TABLE PRODUCENT; ALTER TABLE P2 RENAME TO PRODUCENT;"));
    ASSERT_TRUE(komunikaty().empty());
    akcja("AKrytSzukDostawcy")->trigger();
    w<QPushButton>("bSzukajDost")->click();
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_TRUE(komunikaty()[0].text.startsWith(QStringLiteral("Nie moża wykonać zapytania o dostawcę!\r\n")))
        << komunikaty()[0].text.toStdString();
    EXPECT_GT(komunikaty()[0].text.size(), 42);
    EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Error);
    EXPECT_EQ(kmx::OstatniBlad().code, -1);
    EXPECT_FALSE(QWybrDost().active());
    EXPECT_EQ(PCDostawcy()->currentIndex(), 0);
    akcja("APokazAllDost")->trigger();
    ASSERT_EQ(komunikaty().size(), 2u);
    EXPECT_EQ(komunikaty()[1].text, komunikaty()[0].text);
    EXPECT_FALSE(QWybrDost().active());
}

TEST_F(SupplierCatalogueTest, RejectedGoodsAndBranchStatementsAreReported) {
    QTemporaryDir dir;
    otworz(kopia(dir, "DROP TABLE STAWKA_VAT; DROP TABLE BRANZA_PRODUCENTA;"));
    akcja("APokazAllDost")->trigger();
    akcja("ADostSzczDost")->trigger();
    // The branch memo's statement fails each time the panel is filled.
    ASSERT_FALSE(komunikaty().empty());
    EXPECT_EQ(komunikaty().back().text, QStringLiteral("Nie można wykonać zapytania o branże dostawcy!"));
    EXPECT_EQ(komunikaty().back().icon, MessageIcon::Error);
    kmx::platform::dialogs().shownMessages.clear();

    PCDostawcy()->tabBar()->setCurrentIndex(3);
    ASSERT_FALSE(komunikaty().empty());
    EXPECT_EQ(komunikaty()[0].text, QStringLiteral("Nie wykonano szukania towarów!"));
    EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Error);
    // One message only for the goods: the failure is no empty list.
    for (const auto& m : komunikaty()) EXPECT_NE(m.text, kBrakTowarow);
    EXPECT_EQ(PCDostawcy()->currentIndex(), 1);
    EXPECT_FALSE(QWybrTowForDost().active());
    EXPECT_FALSE(zakladkaTowaru());
    EXPECT_EQ(okno_->liczbaZapytanTowarowDostawcy(), 1);
}

TEST_F(SupplierCatalogueTest, SupplierWithoutGoodsStaysOnTheFoundList) {
    QTemporaryDir dir;
    otworz(kopia(dir, "DELETE FROM TOWAR WHERE ID_PRODUCENTA = 3;"));
    pokazDostawce(3);
    PCDostawcy()->tabBar()->setCurrentIndex(3);
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, kBrakTowarow);
    EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Information);
    EXPECT_EQ(PCDostawcy()->currentIndex(), 1);
    EXPECT_FALSE(zakladkaTowaru());
    EXPECT_EQ(kmx::app::stanProgramu().IdDostawcyTowarow, 0);
    // F9 does nothing more than say so again.
    akcja("ADostListaTow")->trigger();
    EXPECT_EQ(komunikaty().size(), 2u);
    EXPECT_EQ(PCDostawcy()->currentIndex(), 1);
}

// ------------------------------------------------------------------ one supplier's goods

TEST_F(SupplierCatalogueTest, GoodsListRunsOncePerSupplierAndTheTabFollowsIt) {
    TKmxMain& okno = otworz();
    EXPECT_FALSE(zakladkaTowaru());
    pokazDostawce(1);
    const std::vector<long long> towary =
        zapytanie("SELECT ID_TOWARU FROM TOWAR WHERE ID_PRODUCENTA = 1", "ID_TOWARU");
    ASSERT_FALSE(towary.empty());
    const QString nazwa = QString::fromStdString(QWybrDost().displayText("PRODUCENT.NAZWA"));

    PCDostawcy()->tabBar()->setCurrentIndex(3);
    EXPECT_EQ(PCDostawcy()->currentIndex(), 3);
    EXPECT_EQ(okno.liczbaZapytanTowarowDostawcy(), 1);
    EXPECT_EQ(jakoZbior(kolumnaId(QWybrTowForDost(), "ID_TOWARU")), jakoZbior(towary));
    EXPECT_EQ(kmx::app::stanProgramu().IloscTowarowDostawcy, static_cast<int>(towary.size()));
    EXPECT_EQ(kmx::app::stanProgramu().IdDostawcyTowarow, 1);
    EXPECT_EQ(okno.pasekStron()->iloscPozycji(), static_cast<int>(towary.size()));
    EXPECT_TRUE(zakladkaTowaru());
    EXPECT_TRUE(w<QWidget>("ZawartoscListyTowDost")->isVisible());
    EXPECT_EQ(w<QLabel>("lblDostawcaListy")->text(), nazwa);
    // The paging bar in this header sits at 18, its row count at 48.
    EXPECT_EQ(okno.pasekStron()->grupa(), w<QWidget>("GrBListaTowDost"));
    EXPECT_EQ(okno.pasekStron()->y(), 18);
    EXPECT_EQ(okno.pasekStron()->etykietaIloscPozycji()->y(), 48);
    EXPECT_EQ(okno.AktywnaSiatka(), okno.siatkaTowarowDostawcy());
    EXPECT_EQ(okno.ActiveResultSet(), &QWybrTowForDost());
    EXPECT_EQ(okno.siatkaTowarowDostawcy()->model()->headerData(4, Qt::Horizontal).toString(),
              QStringLiteral("Indeks ETO"));

    // Away and back: the loaded list is reused.
    PCDostawcy()->tabBar()->setCurrentIndex(2);
    EXPECT_FALSE(w<QWidget>("ZawartoscListyTowDost")->isVisibleTo(PCDostawcy()));
    PCDostawcy()->tabBar()->setCurrentIndex(3);
    akcja("ADostListaTow")->trigger();
    EXPECT_EQ(okno.liczbaZapytanTowarowDostawcy(), 1);
    EXPECT_EQ(PCDostawcy()->currentIndex(), 3);

    // Another supplier closes the list and hides the goods tab; back to
    // the first one the statement runs again.
    PCDostawcy()->tabBar()->setCurrentIndex(1);
    QWybrDost().next();
    EXPECT_FALSE(QWybrTowForDost().active());
    EXPECT_FALSE(zakladkaTowaru());
    QWybrDost().prior();
    ASSERT_EQ(QWybrDost().value("ID_PRODUCENTA").asInt(), 1);
    PCDostawcy()->tabBar()->setCurrentIndex(3);
    EXPECT_EQ(okno.liczbaZapytanTowarowDostawcy(), 2);
    EXPECT_TRUE(zakladkaTowaru());

    // Enter with a title click remembered still opens the goods details.
    ResultGrid::KliknietoTytul() = true;
    klawisz(okno.siatkaTowarowDostawcy(), Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_FALSE(ResultGrid::KliknietoTytul());
    EXPECT_EQ(PCDostawcy()->currentIndex(), 4);
    EXPECT_EQ(okno.panelTowaru()->boundSet(), &QWybrTowForDost());
    EXPECT_TRUE(w<QWidget>("TabDostSzczTow")->isAncestorOf(okno.panelTowaru()));
    EXPECT_EQ(okno.ActiveResultSet(), &QWybrTowForDost());
    // Ctrl+O here belongs to the enquiry: no message.
    akcja("AOferta")->trigger();
    EXPECT_TRUE(komunikaty().empty());

    // The goods catalogue and back keep the list.
    akcja("AKrytSzukTow")->trigger();
    akcja("ADostListaTow")->trigger();
    EXPECT_EQ(PCDostawcy()->currentIndex(), 3);
    EXPECT_EQ(okno.liczbaZapytanTowarowDostawcy(), 2);

    // A clear closes everything and hides the tab.
    akcja("AKrytSzukDostawcy")->trigger();
    w<QPushButton>("bWyczyscKryteriaDost")->click();
    EXPECT_FALSE(QWybrDost().active());
    EXPECT_FALSE(QWybrTowForDost().active());
    EXPECT_FALSE(zakladkaTowaru());
    EXPECT_FALSE(akcja("mnuDostSzczTow")->isEnabled());
    EXPECT_TRUE(komunikaty().empty());
}

TEST_F(SupplierCatalogueTest, ListToDetailsActionsAndTheWayBack) {
    TKmxMain& okno = otworz();
    akcja("APokazAllDost")->trigger();
    QAction* druk = akcja("mnuDrukuj");
    QAction* oferta = akcja("mnuOferta");
    QAction* eksport = akcja("AEksport");
    QAction* doProgramu = akcja("ExTessar3");
    const auto stan = [&] {
        return std::vector<bool>{druk->isEnabled(), oferta->isEnabled(), eksport->isEnabled(),
                                 doProgramu->isEnabled()};
    };
    using V = std::vector<bool>;
    EXPECT_EQ(stan(), V({true, false, false, false}));
    EXPECT_EQ(okno.AktywnaSiatka(), okno.siatkaDostawcow());
    EXPECT_EQ(okno.ActiveResultSet(), &QWybrDost());

    // Enter clears a remembered title click first and opens the details.
    ResultGrid::KliknietoTytul() = true;
    klawisz(okno.siatkaDostawcow(), Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(PCDostawcy()->currentIndex(), 2);
    EXPECT_EQ(stan(), V({true, false, false, false}));
    EXPECT_EQ(okno.panelDostawcy()->boundSet(), &QWybrDost());
    EXPECT_EQ(okno.AktywnaSiatka(), nullptr);

    // "Powrót do listy" leads to "Znalezieni".
    w<QLabel>("lPowrotDoListy")->linkActivated(QStringLiteral("#"));
    EXPECT_EQ(PCDostawcy()->currentIndex(), 1);
    dwuklikWiersza(okno.siatkaDostawcow(), 1);
    EXPECT_EQ(PCDostawcy()->currentIndex(), 2);
    EXPECT_EQ(QWybrDost().recNo(), 2);

    akcja("ADostListaTow")->trigger();
    EXPECT_EQ(PCDostawcy()->currentIndex(), 3);
    EXPECT_EQ(stan(), V({true, true, true, true}));
    dwuklikWiersza(okno.siatkaTowarowDostawcy(), 0);
    EXPECT_EQ(PCDostawcy()->currentIndex(), 4);
    EXPECT_EQ(stan(), V({true, true, false, false}));
    akcja("AKrytSzukDostawcy")->trigger();
    EXPECT_EQ(stan(), V({false, false, false, false}));
    EXPECT_EQ(okno.ActiveResultSet(), nullptr);
}

// ------------------------------------------------------------------ the detail panel

TEST_F(SupplierCatalogueTest, DetailPanelLinesLinksAndLogo) {
    TKmxMain& okno = otworz();
    kmx::app::SupplierPanel* panel = okno.panelDostawcy();
    const auto linia = [&](const char* name) {
        QLineEdit* e = panel->findChild<QLineEdit*>(QString::fromLatin1(name));
        EXPECT_NE(e, nullptr) << name;
        return e ? e->text() : QString();
    };
    const auto pole = [&](const char* column) {
        return QString::fromStdString(QWybrDost().displayText(column)).trimmed();
    };

    // Producer 2 lists no first number: the phone line starts with ", ".
    pokazDostawce(2);
    ASSERT_TRUE(pole("TELEFON1").isEmpty());
    ASSERT_FALSE(pole("TELEFON2").isEmpty());
    QString telefony = QStringLiteral(", ") + pole("TELEFON2");
    if (!pole("TELEFON3").isEmpty()) telefony += QStringLiteral(", ") + pole("TELEFON3");
    EXPECT_EQ(linia("lTelefony"), telefony);
    EXPECT_TRUE(linia("lTelefony").startsWith(QStringLiteral(", ")));
    // No logo file for producer 2.
    EXPECT_FALSE(panel->findChild<QLabel*>(QStringLiteral("lBrakLogo"))->isHidden());

    // Producer 6: a surname without a position, no trailing comma.
    pokazDostawce(6);
    ASSERT_TRUE(pole("STANOWISKO_OSH").isEmpty());
    ASSERT_FALSE(pole("NAZWISKO_OSH").isEmpty());
    EXPECT_EQ(linia("lOsobaOH"), pole("IMIE_OSH") + QLatin1Char(' ') + pole("NAZWISKO_OSH"));
    EXPECT_FALSE(linia("lOsobaOH").endsWith(QLatin1Char(',')));

    // Producer 5: a first name and a position but no surname: an empty line.
    pokazDostawce(5);
    ASSERT_FALSE(pole("IMIE_OSH").isEmpty());
    EXPECT_TRUE(linia("lOsobaOH").isEmpty());

    // Producer 4 keeps two addresses separated by a comma: the first opens.
    pokazDostawce(4);
    const QString adresy = pole("ADRES_WWW");
    ASSERT_TRUE(adresy.contains(QLatin1Char(','))) << adresy.toStdString();
    links_.opened.clear();
    panel->findChild<QLabel*>(QStringLiteral("lStronaWWW"))->linkActivated(QStringLiteral("#"));
    ASSERT_EQ(links_.opened.size(), 1u);
    EXPECT_EQ(links_.opened[0], adresy.section(QLatin1Char(','), 0, 0));
    panel->findChild<QLabel*>(QStringLiteral("lEmail"))->linkActivated(QStringLiteral("#"));
    ASSERT_EQ(links_.opened.size(), 2u);
    EXPECT_EQ(links_.opened[1], QStringLiteral("mailto:") + pole("EMAIL_PODSTAWOWY"));

    // Producer 1 has a logo named after its trimmed code in the folder Logo.
    pokazDostawce(1);
    const QString kod = pole("KOD_PRODUCENTA");
    ASSERT_FALSE(kod.isEmpty());
    const QString plik = demo_->filePath(QStringLiteral("Logo/") + kod + QStringLiteral(".jpg"));
    ASSERT_TRUE(QFileInfo::exists(plik)) << plik.toStdString();
    EXPECT_EQ(QFileInfo(panel->plikLogo()).canonicalFilePath(), QFileInfo(plik).canonicalFilePath());
    EXPECT_TRUE(panel->findChild<QLabel*>(QStringLiteral("lBrakLogo"))->isHidden());
    // Several branches in the memo, joined with ", ".
    const std::vector<long long> branze =
        zapytanie("SELECT ID_BRANZY FROM BRANZA_PRODUCENTA WHERE ID_PRODUCENTA = 1", "ID_BRANZY");
    const QString memo = panel->findChild<QPlainTextEdit*>(QStringLiteral("mBranze"))->toPlainText();
    kmx::data::DataSet nazwy(&wzor_.KMXConnection);
    std::string error;
    ASSERT_TRUE(nazwy.open("SELECT NAZWA FROM BRANZA WHERE ID_BRANZY IN (" + std::to_string(branze[0]) + "," +
                               std::to_string(branze[1]) + ")",
                           error))
        << error;
    ASSERT_EQ(nazwy.recordCount(), 2);
    for (int r = 0; r < 2; ++r) {
        const QString n = QString::fromStdString(nazwy.displayText(r, 0)).trimmed();
        EXPECT_TRUE(memo.contains(n)) << n.toStdString() << " / " << memo.toStdString();
    }
    EXPECT_GE(memo.count(QStringLiteral(", ")), static_cast<qsizetype>(branze.size() - 1));
    EXPECT_TRUE(komunikaty().empty());
}

}  // namespace
