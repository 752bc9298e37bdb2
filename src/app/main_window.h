#pragma once
// The main window TKmxMain: start-up in its fixed order, the tabbed page
// structure of the two catalogues, the work prices and the labour rates, the
// menus, toolbar and actions kept in step with the page on screen, the goods
// search screen with its found list, the paging of the lists and the shared
// detail panels. It is the data module's observer: every cursor move of a
// result set comes back here to refresh the page counters, the panels and the
// page buttons.

#include <QMainWindow>
#include <QTimer>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/criteria.h"
#include "core/tcsengine.h"
#include "data/tdm.h"
#include "platform/dialogs.h"

class QAction;
class QCheckBox;
class QComboBox;
class QCompleter;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTabWidget;
class QToolBar;

namespace kmx::reports {
class ZestawWydrukow;
}

namespace kmx::mail {
class Poczta;
}

namespace kmx::tessar {
class TFWyborTessara;
}

namespace kmx::platform {
class LinkOpener;
class SettingsStore;
}  // namespace kmx::platform

namespace kmx::app {

class DaneRaportow;
class FrmAbout;
class GoodsPanel;
class PagingBar;
class RatesPage;
class ResultGrid;
class SupplierPanel;
class TFHelp;
class WorksPage;

// The price bound typed into "Cena do za j.m.": "," is the decimal separator.
// A text that is no number, or a number a 32-bit float cannot hold, fails
// with the conversion's error text.
struct LiczbaZTekstu {
    bool ok = false;
    float value = 0;
    QString error;
};
LiczbaZTekstu TekstNaLiczbe(const QString& text);

// The key rule of the price field: what a typed character does.
enum class KlawiszCeny { Przyjmij, OdrzucCicho, OdrzucZKomunikatem };
KlawiszCeny OcenKlawiszCeny(const QString& typed, const QString& currentText);

// Half of the outer size minus half of the inner size, remainders dropped.
int Wysrodkuj(int outer, int inner);

// The column a found-goods title sorts by (the idx_ ranks for the scrambled
// columns); empty: the column itself.
QString KolumnaSortowaniaTowarow(const QString& field);
// The found RMS: the same without the supplier name.
QString KolumnaSortowaniaRms(const QString& field);
// The same for the found suppliers and for the goods of one supplier.
QString KolumnaSortowaniaDostawcow(const QString& field);
QString KolumnaSortowaniaTowarowDostawcy(const QString& field);

enum class WynikZapytania { Sukces, Pusto, Blad };

class TKmxMain : public QMainWindow, public data::TDMObserver {
    Q_OBJECT

public:
    // programFolder: where kmx.dat, kmx.iif and the texts lie (the
    // executable's folder in the program, the demo catalogue in tests).
    // links: nullptr opens addresses with the desktop's handler.
    TKmxMain(const QString& programFolder, platform::SettingsStore& settings,
             platform::LinkOpener* links = nullptr, QWidget* parent = nullptr);
    ~TKmxMain() override;

    // FormCreate: settings file, data module, database, lookups, edition,
    // caption, query engine, labour rates, KNR list. False when the database
    // or its lookups cannot be opened; *error then holds the OstatniBlad text
    // and the window must not be shown.
    bool start(QString* error);

    data::TDM& tdm() { return *tdm_; }
    TCSEngine& engine() { return engine_; }

    // --- Part of the window the other screens use
    data::DataSet* ActiveResultSet();
    ResultGrid* AktywnaSiatka();
    void UstawPaneleSzczegolow();
    // nullopt leaves a group as it is.
    void UstawAkcje(std::optional<bool> druk, std::optional<bool> oferta, std::optional<bool> eksport,
                    std::optional<bool> eksportDoProgramu);
    void FormResize();

    // --- TDMObserver
    void KursorPrzesuniety(data::DataSet& set) override;
    void UstawPrzyciskMenuiZaklSzczTowDost(bool on) override;
    void PokazDaneDostawcy(data::DataSet& set) override;
    void PokazDaneTowaru(data::DataSet& set) override;
    void UstawPrzyciskiStron() override;
    std::optional<ActiveGrid> GetActiveGrid() override;
    int ObliczIloscStronwGridzie() override;
    void UstawIloscStron(int pages) override;
    void UstawNumerStrony(int page) override;

    // --- goods search screen
    void bSzukajTowClick();
    void APokazAllTowarExecute();
    void BWyczyscKrytSzukTowClick();
    void bSzukZaawansClick();
    // Fills the record from the panel; false after a price that is no
    // number, with the record filled as far as it got and the reason in
    // *error.
    bool PobierzKryteriaTow(TsTowar& kryteria, bool zeroFill, QString* error);
    WynikZapytania WykonajZapytanieTow(const std::string& select, std::int32_t& count);
    // One idle slice of reading the rest of a large goods result: keys for a
    // few milliseconds, then the list's counters. Runs from a zero timer
    // until the result is complete.
    void doczytajTowary();
    bool doczytywanieTrwa() const;
    void WyczyscKryteriaTow();
    bool trybZaawansowany() const { return zaawansowany_; }
    // The resource-kind criterion of the category on the panel: "M", "S",
    // "R", or empty for materials and equipment together.
    QString TypRmsKryterium() const;
    // The RMS category rules, at start-up and on every change of the
    // category: the group selector, the second price of the list and the
    // details page, its title, marker and footnote.
    void ZmianaKategorii();

    // --- supplier search screen (main_window_suppliers.cpp)
    void bSzukajDostClick();
    void APokazAllDostExecute();
    void bWyczyscKryteriaDostClick();
    // Fills the record from the panel; texts are cut to the record's widths.
    void PobierzKryteriaDost(TsDostawca& kryteria, bool zeroFill);
    WynikZapytania WykonajZapytanieDost(const std::string& select, std::int32_t& count);
    void WyczyscKryteriaDost();
    void ZamknijQueryDostawcow();
    // Loads the current supplier's goods into QWybrTowForDost and returns
    // their count; the loaded list is reused while it is open for the same
    // supplier and force is off. -1 when the statement failed (reported).
    std::int32_t SzukajTowarowDostawcy(bool force);
    // True when the current supplier has goods: loaded, counters set.
    bool PokazTowaryDostawcy();
    // Statements run in QWybrTowForDost since the window was made.
    int liczbaZapytanTowarowDostawcy() const { return zapytaniaTowDost_; }

    // --- page changes and page actions
    void PCMainChange(int index);
    void PCProduktyChange(int index);
    void PCDostawcyChange(int index);
    void AKrytSzukTowExecute();
    void ATowListaTowExecute();
    void ATowSzczTowExecute();
    void ATowSzczDostExecute();
    void AKrytSzukDostawcyExecute();
    void ADostListaDostExecute();
    void ADostSzczDostExecute();
    void ADostListaTowExecute();
    void ADostSzczTowExecute();
    void ACenyScaloneExecute();
    void AStawkiExecute();
    void AOfertaExecute();
    // "Drukuj": the print-set dialog on a catalogue page other than its
    // search page, nothing elsewhere.
    void ADrukujExecute();
    // "Eksport do programu": the goods list on screen into the chosen
    // cost-estimating program.
    void ExTessar3Execute();
    tessar::TFWyborTessara& wyborTessara() { return *wyborTessara_; }

    // --- paging of the list on screen
    void PrzewinStrony(bool forward);

    // --- help
    bool pokazInstrukcje(const QString& fileName);
    // "Pomoc": the export instruction of the edition.
    void PomocExecute();
    void pokazOProgramie();

    // --- parts, for tests
    GoodsPanel* panelTowaru() const { return daneTow_; }
    SupplierPanel* panelDostawcy() const { return daneDost_; }
    PagingBar* pasekStron() const { return pasek_; }
    ResultGrid* siatkaTowarow() const { return gridTow_; }
    ResultGrid* siatkaDostawcow() const { return gridDost_; }
    ResultGrid* siatkaTowarowDostawcy() const { return gridTowDost_; }
    WorksPage* stronaCenRobot() const { return worksPage_; }
    RatesPage* stronaStawek() const { return ratesPage_; }
    TFHelp* oknoPomocy() const { return help_; }
    FrmAbout* oknoOProgramie() const { return about_; }
    reports::ZestawWydrukow& wydruki() { return *wydruki_; }
    mail::Poczta& poczta() { return *poczta_; }
    // While on, the about box is built and filled but not shown modally.
    static void setTestMode(bool on);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer* doczytywanie_ = nullptr;
    void zacznijDoczytywanie();

    // building (main_window.cpp, main_window_goods.cpp)
    void utworzAkcje();
    void bezKataloguDostawcow();
    void utworzMenu();
    void utworzPasekNarzedzi();
    void utworzStrony();
    QWidget* utworzStroneSzukaniaTowarow();
    QWidget* utworzStroneZnalezionychTowarow();
    QWidget* utworzStroneSzukaniaDostawcow();
    QWidget* utworzStroneZnalezionychDostawcow();
    QWidget* utworzStroneListyTowarowDostawcy();
    QWidget* utworzNaglowekListy(const QString& caption, const char* objectName, QLabel** link);
    void wypelnijListy();

    void FormShow();
    void FormClose();
    void przywrocUstawienia();
    void zapiszUstawienia();

    // goods screen helpers
    void ustawTrybSzukania(bool advanced);
    // The change handler of a criterion: its colour, then the RMS rule of
    // the group caption and clear button.
    void oznaczPole(QWidget* field);
    void pokolorujPole(QWidget* field);
    void RegulaKryteriowRms();
    void oznaczWszystkiePola();
    void kliknietoTyp(QCheckBox* clicked);
    void pokazKomunikat(const QString& text, platform::MessageIcon icon);
    bool filtrPolSzukania(QObject* watched, QEvent* event);
    void odswiezMenuWidoku();
    void pokazListeTowarow();
    void otworzSzczegolyZListy();
    void powrotDoListy();

    // supplier screen helpers
    void wypelnijListyDost();
    void oznaczPolaDost();
    bool filtrPolDost(QObject* watched, QEvent* event);
    void pokazListeDostawcow();
    void otworzSzczegolyDostawcy();
    void otworzSzczegolyTowaruDostawcy();

    // page switching without the change handlers
    void pokazStrone(int mainIndex, int innerIndex);
    void pokazStroneKatalogu(int mainIndex, int innerIndex, bool druk, bool oferta, bool eksport,
                             bool eksportDoProgramu);
    void pokazListe(QWidget* naglowek, bool listaTowarowDostawcy, QWidget* grid);
    data::DataSet* zbiorPodFokusem();

    std::unique_ptr<data::TDM> tdm_;
    TCSEngine engine_;
    platform::SettingsStore& settings_;
    std::unique_ptr<platform::LinkOpener> ownLinks_;
    platform::LinkOpener* links_ = nullptr;
    QString folder_;
    bool shown_ = false;
    bool zaawansowany_ = false;
    bool bezObslugiZmian_ = false;
    int poprzedniaTow_ = 0;
    int poprzedniaDost_ = 0;

    // pages
    QWidget* baner_ = nullptr;
    QLabel* obrazBanera_ = nullptr;
    QTabWidget* PCMain_ = nullptr;
    QTabWidget* PCProdukty_ = nullptr;
    QTabWidget* PCDostawcy_ = nullptr;
    QWidget* TabTowSzczTow_ = nullptr;
    QWidget* TabTowSzczDost_ = nullptr;
    QWidget* TabDostSzczDost_ = nullptr;
    QWidget* TabDostSzczTow_ = nullptr;
    QScrollArea* miejsceTowTow_ = nullptr;
    QScrollArea* miejsceTowDost_ = nullptr;
    QScrollArea* miejsceDostDost_ = nullptr;
    QScrollArea* miejsceDostTow_ = nullptr;
    QWidget* naglowekTow_ = nullptr;
    QWidget* naglowekDost_ = nullptr;
    QWidget* naglowekTowDost_ = nullptr;
    GoodsPanel* daneTow_ = nullptr;
    SupplierPanel* daneDost_ = nullptr;
    ResultGrid* gridTow_ = nullptr;
    PagingBar* pasek_ = nullptr;
    WorksPage* worksPage_ = nullptr;
    RatesPage* ratesPage_ = nullptr;
    TFHelp* help_ = nullptr;
    FrmAbout* about_ = nullptr;
    std::unique_ptr<DaneRaportow> daneRaportow_;
    std::unique_ptr<reports::ZestawWydrukow> wydruki_;
    std::unique_ptr<mail::Poczta> poczta_;
    std::unique_ptr<tessar::TFWyborTessara> wyborTessara_;

    // goods criteria
    QWidget* ramkaSzukTow_ = nullptr;
    QGroupBox* GrBSzukTow_ = nullptr;
    QWidget* panelPrzyciski_ = nullptr;
    QWidget* panelInstrukcji_ = nullptr;
    QLineEdit* eNazwaTow_ = nullptr;
    QCheckBox* chbOdPoczNazwy_ = nullptr;
    QCheckBox* chbMaterialy_ = nullptr;
    QCheckBox* chbSprzet_ = nullptr;
    QRadioButton* rbMaterialy_ = nullptr;  // the RMS categories
    QRadioButton* rbSprzet_ = nullptr;
    QRadioButton* rbRobocizna_ = nullptr;
    QLabel* lblGrupaTow_ = nullptr;
    QLineEdit* eIndeksETO_ = nullptr;
    QComboBox* cbGrupaTow_ = nullptr;
    QPushButton* bWyczyscGrTow_ = nullptr;
    QLineEdit* eCenajednDo_ = nullptr;
    QLineEdit* eTNazwaDost_ = nullptr;
    QCompleter* podpowiedzDostawcow_ = nullptr;
    bool pominEnter_ = false;  // the Enter that picked a supplier name
    QComboBox* cbTWojewodztwo_ = nullptr;
    QPushButton* bWyczyscWojewodztwo_ = nullptr;
    QLineEdit* eTMiastoDost_ = nullptr;
    std::vector<QWidget*> polaZaawansowane_;
    QPushButton* bSzukajTow_ = nullptr;
    QPushButton* BWyczyscKrytSzukTow_ = nullptr;
    QPushButton* bPokazWszystkie_ = nullptr;
    QPushButton* bSzukZaawans_ = nullptr;

    // supplier criteria, found suppliers, one supplier's goods
    QWidget* ramkaSzukDost_ = nullptr;
    QGroupBox* GrBSzukDost_ = nullptr;
    QWidget* panelPrzyciskiSzukDost_ = nullptr;
    QLineEdit* eNazwaDost_ = nullptr;
    QCompleter* podpowiedzNazwDost_ = nullptr;
    bool pominEnterDost_ = false;  // the Enter that picked a supplier name
    QComboBox* dblWojew_ = nullptr;
    QPushButton* bWyczyscWojew_ = nullptr;
    QLineEdit* eMiejscowosc_ = nullptr;
    QComboBox* dblBranza_ = nullptr;
    QPushButton* bWyczyscBranze_ = nullptr;
    QPushButton* bSzukajDost_ = nullptr;
    QPushButton* bWyczyscKryteriaDost_ = nullptr;
    QPushButton* bPokazAllDost_ = nullptr;
    ResultGrid* gridDost_ = nullptr;
    ResultGrid* gridTowDost_ = nullptr;
    QWidget* TabDostListaProd_ = nullptr;
    QWidget* zawartoscListyTowDost_ = nullptr;  // hidden while another page is on screen
    QLabel* lblDostawcaListy_ = nullptr;        // the supplier whose goods are listed
    int zapytaniaTowDost_ = 0;

    // actions
    QAction* AEksport = nullptr;
    QAction* ExTessar3 = nullptr;
    QAction* AEksportKmx10 = nullptr;
    QAction* AOferta = nullptr;
    QAction* ADrukuj = nullptr;
    QAction* APodgladWydr = nullptr;
    QAction* AUstawieniaWydruku = nullptr;
    QAction* AKrytSzukTow = nullptr;
    QAction* ATowListaTow = nullptr;
    QAction* ATowSzczTow = nullptr;
    QAction* ATowSzczDost = nullptr;
    QAction* AKrytSzukDostawcy = nullptr;
    QAction* ADostListaDost = nullptr;
    QAction* ADostSzczDost = nullptr;
    QAction* ADostListaTow = nullptr;
    QAction* ADostSzczTow = nullptr;
    QAction* APokazAllTowar = nullptr;
    QAction* APokazAllDost = nullptr;
    QAction* DataSetFirst1 = nullptr;
    QAction* DataSetPrior1 = nullptr;
    QAction* DataSetNext1 = nullptr;
    QAction* DataSetLast1 = nullptr;
    QAction* Pomoc = nullptr;
    QAction* ACenyScalone = nullptr;
    QAction* AStawki = nullptr;
    // Menu items and toolbar buttons switched apart from their actions (the
    // actions stay enabled so that their shortcuts work on every page).
    QAction* mnuDrukuj_ = nullptr;
    QAction* mnuPodgladWydr_ = nullptr;
    QAction* mnuOferta_ = nullptr;
    QAction* mnuTowListaTow_ = nullptr;
    QAction* mnuTowSzczTow_ = nullptr;
    QAction* mnuTowSzczDost_ = nullptr;
    QAction* mnuDostListaDost_ = nullptr;
    QAction* mnuDostSzczDost_ = nullptr;
    QAction* mnuDostListaTow_ = nullptr;
    QAction* mnuDostSzczTow_ = nullptr;
    QToolBar* pasekNarzedzi_ = nullptr;
};

}  // namespace kmx::app
