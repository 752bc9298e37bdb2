#include "app/main_window.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCompleter>
#include <QCoreApplication>
#include <QFile>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>

#include "app/about_box.h"
#include "app/constants.h"
#include "app/goods_panel.h"
#include "app/help_window.h"
#include "app/paging_bar.h"
#include "app/price_export.h"
#include "app/program_paths.h"
#include "app/program_state.h"
#include "app/rates_page.h"
#include "app/report_source.h"
#include "app/result_grid.h"
#include "app/supplier_panel.h"
#include "app/works_page.h"
#include "core/last_error.h"
#include "core/query_builder.h"
#include "core/settings_file.h"
#include "editions/edition.h"
#include "export/import_programu.h"
#include "export/t3dll.h"
#include "export/tessar.h"
#include "export/wybor_tessara.h"
#include "mail/poczta.h"
#include "platform/links.h"
#include "platform/registry.h"
#include "platform/settings_store.h"
#include "platform/wine.h"
#include "reports/druk_zestaw.h"

// The pictures live in the static app library; its resource initialiser has
// to be named once or the linker drops it.
static void zaladujZasoby() {
    Q_INIT_RESOURCE(resources);
}

namespace kmx::app {

namespace {

bool g_testMode = false;

constexpr int kSzerokoscStartowa = 885;
constexpr int kWysokoscStartowa = 648;
constexpr int kWysokoscBanera = 70;
constexpr int kWersjaFormy = 2;

const QString kGrupaFormy = QStringLiteral("JvMainForm");

std::filesystem::path sciezka(const QString& folder, const char* file) {
    return std::filesystem::path(QFile::encodeName(folder).toStdString()) / file;
}

// A page that takes one of the shared detail panels: the panel scrolls when
// the window is smaller than the panel.
QScrollArea* miejsceNaPanel(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* area = new QScrollArea(page);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    layout->addWidget(area);
    return area;
}

void umiescPanel(QWidget* panel, QScrollArea* target, std::initializer_list<QScrollArea*> all) {
    if (target->widget() == panel) return;
    for (QScrollArea* area : all) {
        if (area->widget() == panel) area->takeWidget();
    }
    target->setWidget(panel);
    panel->show();
}

}  // namespace

int Wysrodkuj(int outer, int inner) {
    return outer / 2 - inner / 2;
}

void TKmxMain::setTestMode(bool on) {
    g_testMode = on;
}

TKmxMain::TKmxMain(const QString& programFolder, platform::SettingsStore& settings,
                   platform::LinkOpener* links, QWidget* parent)
    : QMainWindow(parent), tdm_(std::make_unique<data::TDM>()), settings_(settings), folder_(programFolder) {
    zaladujZasoby();
    if (!folder_.isEmpty() && !folder_.endsWith(QLatin1Char('/'))) folder_ += QLatin1Char('/');
    if (links) {
        links_ = links;
    } else {
        ownLinks_ = std::make_unique<platform::DesktopLinkOpener>();
        links_ = ownLinks_.get();
    }
    setObjectName(QStringLiteral("FrmKmxMain"));
    setWindowTitle(edition::tekst(&edition::Edycja::prefiksTytuluOkna) + stanProgramu().Wydanie);
    setWindowIcon(QIcon(QStringLiteral(":/kmx/images/kalmarex.png")));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    setFont(font);

    utworzAkcje();
    utworzStrony();
    utworzMenu();
    utworzPasekNarzedzi();

    help_ = new TFHelp(this);
    if (!edition::biezaca().katalogDostawcow) bezKataloguDostawcow();
    about_ = new FrmAbout(*links_, stanProgramu().WersjaOpis, this);
    daneRaportow_ =
        std::make_unique<DaneRaportow>(*tdm_, *daneTow_, *daneDost_, [this] { return ActiveResultSet(); });
    wydruki_ = std::make_unique<reports::ZestawWydrukow>(*daneRaportow_, this);
    poczta_ = std::make_unique<mail::Poczta>(*tdm_, this);
    wyborTessara_ = std::make_unique<tessar::TFWyborTessara>(this);
    wydruki_->raportNaEkranie = [this] {
        const int zakladka = PCMain_->currentIndex();
        const int strona = zakladka == 0   ? PCProdukty_->currentIndex()
                           : zakladka == 1 ? PCDostawcy_->currentIndex()
                                           : -1;
        return reports::RaportStrony(zakladka, strona);
    };

    UstawAkcje(false, false, false, false);
    UstawPrzyciskMenuiZaklSzczTowDost(false);
    odswiezMenuWidoku();

    resize(kSzerokoscStartowa, kWysokoscStartowa);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.x() + Wysrodkuj(area.width(), kSzerokoscStartowa),
             area.y() + Wysrodkuj(area.height(), kWysokoscStartowa));
    }
}

TKmxMain::~TKmxMain() {
    // The grids, panels and pages hold references to the data module and the
    // query engine, which go before the base class deletes its children.
    tdm_->setObserver(nullptr);
    // The supplier fields' filter watches widgets that outlive them here (the
    // name drop-down goes with the window's own children).
    podpowiedzNazwDost_->popup()->removeEventFilter(this);
    eNazwaDost_ = nullptr;
    delete help_;
    delete about_;
    delete daneTow_;
    delete daneDost_;
    delete takeCentralWidget();
}

// ------------------------------------------------------------------ start-up

bool TKmxMain::start(QString* error) {
    UstawFormatyStartowe();
    UstawKatalogProgramu(folder_);

    const UstawieniaResult ustawienia = CzytajUstawienia(sciezka(folder_, "kmx.iif"));
    const std::string haslo = ustawienia.ok ? ustawienia.password : std::string();

    tdm_->setObserver(this);
    if (tdm_->PolaczZBaza(sciezka(folder_, "kmx.dat"), haslo) || tdm_->OtworzTabele()) {
        if (error) *error = QString::fromStdString(OstatniBlad().text);
        return false;
    }
    wypelnijListy();
    wypelnijListyDost();

    std::string edycja;
    std::string rok;
    if (tdm_->CzytajWersje(edycja, rok)) {
        UstawWydanie(QString::fromStdString(edycja), QString::fromStdString(rok));
    } else {
        UstawWydanie(QStringLiteral("x"), QStringLiteral("yyyy"));
    }
    setWindowTitle(edition::tekst(&edition::Edycja::prefiksTytuluOkna) + stanProgramu().Wydanie);
    about_->setWersjaOpis(stanProgramu().WersjaOpis);

    engine_.SetRunner([this](const std::string& statement) { return tdm_->WykonajScalone(statement); });
    // The average-prices edition reads its export instruction once; help
    // only shows it. A missing file leaves the window empty.
    if (edition::biezaca().instrukcjaPrzyStarcie)
        help_->zaladuj(folder_ + edition::tekst(&edition::Edycja::plikInstrukcji));
    ratesPage_->zaladuj(folder_ + QStringLiteral("stawki.rtf"));

    QString bladKnr;
    if (!worksPage_->WypelnijListeKNR(&bladKnr)) {
        QString caption = QGuiApplication::applicationDisplayName();
        if (caption.isEmpty()) caption = QStringLiteral("Kalmarex");
        platform::dialogs().message(this, caption, bladKnr, platform::MessageIcon::Error);
    }
    if (error) error->clear();
    return true;
}

void TKmxMain::showEvent(QShowEvent* event) {
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
    QMainWindow::showEvent(event);
}

void TKmxMain::FormShow() {
    przywrocUstawienia();
    stanProgramu().SeparatorDziesietny = QLatin1Char(',');
    if (edition::biezaca().katalogDostawcow) pokazStrone(1, 0);
    pokazStrone(0, 0);
    WyczyscKryteriaTow();
    ZmianaKategorii();
    ustawTrybSzukania(false);
    UstawPrzyciskMenuiZaklSzczTowDost(false);
    stanProgramu().IdDostawcyTowarow = 0;
    UstawPaneleSzczegolow();
    UstawAkcje(false, false, false, false);
    FormResize();
}

void TKmxMain::closeEvent(QCloseEvent* event) {
    FormClose();
    QMainWindow::closeEvent(event);
}

void TKmxMain::FormClose() {
    settings_.setValue(QStringLiteral("path"), QStringLiteral("exe"),
                       QCoreApplication::applicationFilePath());
    zapiszUstawienia();
}

void TKmxMain::zapiszUstawienia() {
    const QRect r = (isMaximized() || isMinimized()) ? normalGeometry() : geometry();
    settings_.setValue(kGrupaFormy, QStringLiteral("FormVersion"), kWersjaFormy);
    settings_.setValue(kGrupaFormy, QStringLiteral("Left"), r.x());
    settings_.setValue(kGrupaFormy, QStringLiteral("Top"), r.y());
    settings_.setValue(kGrupaFormy, QStringLiteral("Width"), r.width());
    settings_.setValue(kGrupaFormy, QStringLiteral("Height"), r.height());
    settings_.setValue(kGrupaFormy, QStringLiteral("Maximized"), isMaximized());
    settings_.setValue(kGrupaFormy, QStringLiteral("GridTowarow"), gridTow_->horizontalHeader()->saveState());
    settings_.setValue(kGrupaFormy, QStringLiteral("GridCenRobot"),
                       worksPage_->grid()->horizontalHeader()->saveState());
}

void TKmxMain::przywrocUstawienia() {
    const int w = settings_.value(kGrupaFormy, QStringLiteral("Width"), 0).toInt();
    const int h = settings_.value(kGrupaFormy, QStringLiteral("Height"), 0).toInt();
    if (w > 0 && h > 0) {
        const int x = settings_.value(kGrupaFormy, QStringLiteral("Left"), 0).toInt();
        const int y = settings_.value(kGrupaFormy, QStringLiteral("Top"), 0).toInt();
        setGeometry(x, y, w, h);
    }
    if (settings_.value(kGrupaFormy, QStringLiteral("Maximized"), false).toBool()) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    if (settings_.value(kGrupaFormy, QStringLiteral("FormVersion"), 0).toInt() < kWersjaFormy) return;
    const auto przywrocSiatke = [this](ResultGrid* grid, const char* key) {
        const QByteArray state = settings_.value(kGrupaFormy, QString::fromLatin1(key)).toByteArray();
        if (state.isEmpty()) return;
        QHeaderView* titles = grid->horizontalHeader();
        if (titles->restoreState(state)) {
            // The stored arrow belongs to a sort of an earlier run.
            const QSignalBlocker quiet(titles);
            titles->setSortIndicator(-1, Qt::AscendingOrder);
        }
    };
    przywrocSiatke(gridTow_, "GridTowarow");
    przywrocSiatke(worksPage_->grid(), "GridCenRobot");
}

void TKmxMain::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) ZmianaUstawienRegionalnych();
    QMainWindow::changeEvent(event);
}

void TKmxMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TKmxMain::FormResize() {
    tdm_->PokazNumerStronyBiez();
    if (obrazBanera_) {
        obrazBanera_->move(Wysrodkuj(baner_->width(), obrazBanera_->width()),
                           Wysrodkuj(kWysokoscBanera, obrazBanera_->height()));
    }
    if (ramkaSzukTow_) {
        const int fw = ramkaSzukTow_->width();
        const int fh = ramkaSzukTow_->height();
        GrBSzukTow_->move(Wysrodkuj(fw, GrBSzukTow_->width()), Wysrodkuj(fh, GrBSzukTow_->height()) - 50);
        panelPrzyciski_->adjustSize();
        panelPrzyciski_->move(Wysrodkuj(fw, panelPrzyciski_->width()),
                              Wysrodkuj(fh, panelPrzyciski_->height()) + (zaawansowany_ ? 140 : 80));
        panelInstrukcji_->adjustSize();
        panelInstrukcji_->move(Wysrodkuj(fw, panelInstrukcji_->width()),
                               panelPrzyciski_->y() + panelPrzyciski_->height() + 14);
    }
    if (ramkaSzukDost_) {
        const int fw = ramkaSzukDost_->width();
        const int fh = ramkaSzukDost_->height();
        GrBSzukDost_->move(Wysrodkuj(fw, GrBSzukDost_->width()), Wysrodkuj(fh, GrBSzukDost_->height()) - 50);
        panelPrzyciskiSzukDost_->move(Wysrodkuj(fw, panelPrzyciskiSzukDost_->width()),
                                      Wysrodkuj(fh, panelPrzyciskiSzukDost_->height()) + 80);
    }
}

bool TKmxMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize &&
        (watched == ramkaSzukTow_ || watched == ramkaSzukDost_ || watched == baner_)) {
        FormResize();
        return false;
    }
    if (filtrPolDost(watched, event)) return true;
    return filtrPolSzukania(watched, event);
}

// ------------------------------------------------------------------ actions, menus, toolbar

void TKmxMain::utworzAkcje() {
    const auto akcja = [this](QAction*& target, const char* name, const QString& caption,
                              const QKeySequence& key = {}, bool enabled = true) {
        target = new QAction(caption, this);
        target->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty()) target->setShortcut(key);
        target->setEnabled(enabled);
        addAction(target);  // shortcuts work on every page, in a menu or not
    };
    // In the order of the shortcut lookup: the first action carrying a key
    // takes it.
    akcja(AEksport, "AEksport", QStringLiteral("Pobierz ceny"), QKeySequence(Qt::CTRL | Qt::Key_E), false);
    akcja(ExTessar3, "ExTessar3", QStringLiteral("Eksport do programu"), QKeySequence(Qt::CTRL | Qt::Key_N),
          false);
    akcja(AEksportKmx10, "AEksportKmx10", QStringLiteral("Pobierz ceny ver. 1.0"),
          QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_E), false);
    akcja(AOferta, "AOferta", QStringLiteral("Wyślij zapytanie ofertowe"),
          QKeySequence(Qt::CTRL | Qt::Key_O));
    akcja(ADrukuj, "ADrukuj", QStringLiteral("Drukuj"), QKeySequence(Qt::CTRL | Qt::Key_P));
    akcja(APodgladWydr, "APodgladWydr", QStringLiteral("Podgląd wydruku"));
    akcja(AUstawieniaWydruku, "AUstawieniaWydruku", QStringLiteral("&Ustawienia wydruku"));
    akcja(AKrytSzukTow, "AKrytSzukTow", QStringLiteral("Kryteria szukania"), QKeySequence(Qt::Key_F2));
    akcja(ATowListaTow, "ATowListaTow", QStringLiteral("Znalezione"), QKeySequence(Qt::Key_F3));
    akcja(ATowSzczTow, "ATowSzczTow", edition::tekst(&edition::Edycja::stronaSzczegolow),
          QKeySequence(Qt::Key_F4));
    akcja(ATowSzczDost, "ATowSzczDost", QStringLiteral("Szczegóły dostawcy"), QKeySequence(Qt::Key_F5));
    akcja(AKrytSzukDostawcy, "AKrytSzukDostawcy", QStringLiteral("Kryteria szukania"),
          QKeySequence(Qt::Key_F6));
    akcja(ADostListaDost, "ADostListaDost", QStringLiteral("Lista dostawców"), QKeySequence(Qt::Key_F7));
    akcja(ADostSzczDost, "ADostSzczDost", QStringLiteral("Szczegóły dostawcy"), QKeySequence(Qt::Key_F8));
    akcja(ADostListaTow, "ADostListaTow", QStringLiteral("Lista towarów"), QKeySequence(Qt::Key_F9));
    akcja(ADostSzczTow, "ADostSzczTow", QStringLiteral("Szczegóły towaru"), QKeySequence(Qt::Key_F10));
    akcja(APokazAllTowar, "APokazAllTowar", QStringLiteral("Pokaż wszystkie"));
    akcja(APokazAllDost, "APokazAllDost", QStringLiteral("Pokaż wszystkich"));
    akcja(DataSetFirst1, "DataSetFirst1", QStringLiteral("&Pierwszy"), QKeySequence(Qt::CTRL | Qt::Key_V));
    akcja(DataSetPrior1, "DataSetPrior1", QStringLiteral("Pop&rzedni"), QKeySequence(Qt::CTRL | Qt::Key_B));
    akcja(DataSetLast1, "DataSetLast1", QStringLiteral("&Ostatni"), QKeySequence(Qt::CTRL | Qt::Key_M));
    akcja(Pomoc, "Pomoc", QStringLiteral("Kalmarex - &pomoc"), QKeySequence(Qt::Key_F1));
    akcja(ACenyScalone, "ACenyScalone", QStringLiteral("Ceny robót"));
    akcja(AStawki, "AStawki", QStringLiteral("Robocizna i Narzuty"));
    // Ctrl+N is taken by "Eksport do programu", which comes first; a second
    // action on the same key would make both dead.
    akcja(DataSetNext1, "DataSetNext1", QStringLiteral("&Następny"));

    AEksport->setIcon(QIcon(QStringLiteral(":/kmx/images/eksport.png")));
    ExTessar3->setIcon(QIcon(QStringLiteral(":/kmx/images/eksport_program.png")));
    AKrytSzukTow->setIcon(QIcon(QStringLiteral(":/kmx/images/szukaj_towary.png")));
    AKrytSzukDostawcy->setIcon(QIcon(QStringLiteral(":/kmx/images/szukaj_dostawcy.png")));
    ADrukuj->setIcon(QIcon(QStringLiteral(":/kmx/images/drukuj.png")));
    APodgladWydr->setIcon(QIcon(QStringLiteral(":/kmx/images/podglad.png")));
    AUstawieniaWydruku->setIcon(QIcon(QStringLiteral(":/kmx/images/ustawienia_wydruku.png")));
    Pomoc->setIcon(QIcon(QStringLiteral(":/kmx/images/pomoc.png")));
    AKrytSzukTow->setToolTip(QStringLiteral("Towary - Szukanie"));
    AKrytSzukDostawcy->setToolTip(QStringLiteral("Dostawcy - Szukanie"));
    AUstawieniaWydruku->setToolTip(QStringLiteral("Ustawienia wydruku"));

    // Menu items and toolbar buttons that are switched apart from their
    // action: they show the action's key but leave the key to the action.
    const auto pozycja = [this](QAction*& target, const char* name, QAction* source, const QString& caption) {
        QString text = caption.isEmpty() ? source->text() : caption;
        if (!source->shortcut().isEmpty()) {
            text += QLatin1Char('\t') + source->shortcut().toString(QKeySequence::NativeText);
        }
        target = new QAction(source->icon(), text, this);
        target->setObjectName(QString::fromLatin1(name));
        target->setToolTip(source->toolTip());
        connect(target, &QAction::triggered, source, &QAction::trigger);
    };
    pozycja(mnuDrukuj_, "mnuDrukuj", ADrukuj, {});
    pozycja(mnuPodgladWydr_, "mnuPodgladWydr", APodgladWydr, {});
    pozycja(mnuOferta_, "mnuOferta", AOferta, {});
    pozycja(mnuTowListaTow_, "mnuTowListaTow", ATowListaTow, {});
    pozycja(mnuTowSzczTow_, "mnuTowSzczTow", ATowSzczTow, {});
    pozycja(mnuTowSzczDost_, "mnuTowSzczDost", ATowSzczDost, {});
    pozycja(mnuDostListaDost_, "mnuDostListaDost", ADostListaDost, QStringLiteral("Znalezieni"));
    pozycja(mnuDostSzczDost_, "mnuDostSzczDost", ADostSzczDost, {});
    pozycja(mnuDostListaTow_, "mnuDostListaTow", ADostListaTow, {});
    pozycja(mnuDostSzczTow_, "mnuDostSzczTow", ADostSzczTow, {});
    mnuOferta_->setEnabled(false);

    connect(AKrytSzukTow, &QAction::triggered, this, &TKmxMain::AKrytSzukTowExecute);
    connect(ATowListaTow, &QAction::triggered, this, &TKmxMain::ATowListaTowExecute);
    connect(ATowSzczTow, &QAction::triggered, this, &TKmxMain::ATowSzczTowExecute);
    connect(ATowSzczDost, &QAction::triggered, this, &TKmxMain::ATowSzczDostExecute);
    connect(AKrytSzukDostawcy, &QAction::triggered, this, &TKmxMain::AKrytSzukDostawcyExecute);
    connect(ADostListaDost, &QAction::triggered, this, &TKmxMain::ADostListaDostExecute);
    connect(ADostSzczDost, &QAction::triggered, this, &TKmxMain::ADostSzczDostExecute);
    connect(ADostListaTow, &QAction::triggered, this, &TKmxMain::ADostListaTowExecute);
    connect(ADostSzczTow, &QAction::triggered, this, &TKmxMain::ADostSzczTowExecute);
    connect(ACenyScalone, &QAction::triggered, this, &TKmxMain::ACenyScaloneExecute);
    connect(AStawki, &QAction::triggered, this, &TKmxMain::AStawkiExecute);
    connect(APokazAllTowar, &QAction::triggered, this, &TKmxMain::APokazAllTowarExecute);
    connect(APokazAllDost, &QAction::triggered, this, &TKmxMain::APokazAllDostExecute);
    connect(AOferta, &QAction::triggered, this, &TKmxMain::AOfertaExecute);
    connect(ADrukuj, &QAction::triggered, this, &TKmxMain::ADrukujExecute);
    connect(ExTessar3, &QAction::triggered, this, &TKmxMain::ExTessar3Execute);
    connect(APodgladWydr, &QAction::triggered, this, [this] { wydruki_->DrukZestaw(1); });
    connect(AUstawieniaWydruku, &QAction::triggered, this, [this] { wydruki_->ustawieniaWydruku(); });
    connect(Pomoc, &QAction::triggered, this, &TKmxMain::PomocExecute);
    connect(DataSetFirst1, &QAction::triggered, this, [this] {
        if (data::DataSet* ds = ActiveResultSet(); ds && ds->active()) ds->first();
    });
    connect(DataSetLast1, &QAction::triggered, this, [this] {
        data::DataSet* ds = ActiveResultSet();
        if (!ds || !ds->active()) return;
        // The last row of a large result is known once every key is read.
        const bool czekaj = !ds->complete();
        if (czekaj) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        ds->last();
        if (czekaj) QGuiApplication::restoreOverrideCursor();
    });
    connect(DataSetPrior1, &QAction::triggered, this, [this] {
        if (data::DataSet* ds = zbiorPodFokusem(); ds && ds->active()) ds->prior();
    });
    connect(DataSetNext1, &QAction::triggered, this, [this] {
        if (data::DataSet* ds = zbiorPodFokusem(); ds && ds->active()) ds->next();
    });
    // "Pobierz ceny" and its 1.0 twin: what is on screen goes to the export flow.
    const auto pobierzCeny = [this](bool wersja10) {
        EksportCen k;
        k.okno = this;
        k.folderStartowy =
            settings_.value(QStringLiteral("Tessar/Opcje Programu"), QStringLiteral("Sciezka baz cen"))
                .toString();
        k.katalogProgramu = folder_;
        k.ograniczenie = std::string(stanProgramu().KryteriaTowaru.typRms.view());
        k.cenySrednie = edition::biezaca().cenySrednie;
        if (k.cenySrednie) k.kategoria = k.ograniczenie;
        k.brakKryteriow = kmx::BrakKryteriow;
        if (PCMain_->currentIndex() == 0 && PCProdukty_->currentIndex() == 1) {
            k.strona = StronaEksportu::ZnalezioneTowary;
            k.lista = &tdm_->QWybrTow;
            k.siatka = gridTow_;
        } else if (PCMain_->currentIndex() == 1 && PCDostawcy_->currentIndex() == 3) {
            k.strona = StronaEksportu::ListaTowarowDostawcy;
            k.lista = &tdm_->QWybrTowForDost;
            k.dostawcy = &tdm_->QWybrDost;
            k.siatka = gridTowDost_;
        } else if (PCMain_->currentWidget() == worksPage_) {
            k.strona = StronaEksportu::CenyRobot;
            k.lista = &tdm_->Qscalone;
            k.siatka = worksPage_->grid();
        }
        PobierzCeny(k, wersja10);
    };
    connect(AEksport, &QAction::triggered, this, [pobierzCeny] { pobierzCeny(false); });
    connect(AEksportKmx10, &QAction::triggered, this, [pobierzCeny] { pobierzCeny(true); });
    // Printing and the printer set-up come with their own screens; until then the actions only exist with
    // their captions, keys and enabling.
}

void TKmxMain::utworzMenu() {
    QMenuBar* bar = menuBar();
    QMenu* plik = bar->addMenu(QStringLiteral("&Plik"));
    plik->setObjectName(QStringLiteral("mnuPlik"));
    plik->addAction(AEksport);
    plik->addAction(ExTessar3);
    plik->addAction(mnuOferta_);
    plik->addSeparator();
    plik->addAction(mnuDrukuj_);
    plik->addAction(mnuPodgladWydr_);
    plik->addAction(AUstawieniaWydruku);
    plik->addSeparator();
    QAction* zakoncz = plik->addAction(QStringLiteral("&Zakończ"));
    zakoncz->setObjectName(QStringLiteral("mnuZakoncz"));
    connect(zakoncz, &QAction::triggered, this, &QWidget::close);

    QMenu* znajdz = bar->addMenu(QStringLiteral("&Znajdź"));
    znajdz->setObjectName(QStringLiteral("mnuZnajdz"));
    QMenu* towar = znajdz->addMenu(QStringLiteral("Towar"));
    towar->addAction(AKrytSzukTow);
    towar->addAction(APokazAllTowar);
    QMenu* dostawce = znajdz->addMenu(QStringLiteral("Dostawcę"));
    dostawce->menuAction()->setObjectName(QStringLiteral("mnuZnajdzDostawce"));
    dostawce->addAction(AKrytSzukDostawcy);
    dostawce->addAction(APokazAllDost);
    znajdz->addAction(ACenyScalone);

    QMenu* widok = bar->addMenu(QStringLiteral("&Widok"));
    widok->setObjectName(QStringLiteral("mnuWidok"));
    QMenu* towary = widok->addMenu(QStringLiteral("Towary"));
    towary->addAction(AKrytSzukTow);
    towary->addAction(mnuTowListaTow_);
    towary->addAction(mnuTowSzczTow_);
    towary->addAction(mnuTowSzczDost_);
    QMenu* dostawcy = widok->addMenu(QStringLiteral("Dostawcy"));
    dostawcy->menuAction()->setObjectName(QStringLiteral("mnuWidokDostawcy"));
    dostawcy->addAction(AKrytSzukDostawcy);
    dostawcy->addAction(mnuDostListaDost_);
    dostawcy->addAction(mnuDostSzczDost_);
    dostawcy->addAction(mnuDostListaTow_);
    dostawcy->addAction(mnuDostSzczTow_);
    widok->addAction(ACenyScalone);
    widok->addAction(AStawki);

    QMenu* pomoc = bar->addMenu(QStringLiteral("P&omoc"));
    pomoc->setObjectName(QStringLiteral("mnuPomoc"));
    QAction* instrMs = pomoc->addAction(QStringLiteral(
        "Instrukcja eksportu  KALMAREX - CENY PRODUCENTÓW I DOSTAWCÓW M i S do programu kosztorysowego"));
    instrMs->setObjectName(QStringLiteral("mnuInstrukcjaMS"));
    connect(instrMs, &QAction::triggered, this,
            [this] { pokazInstrukcje(QString::fromUtf8(kInstrukcjaMS)); });
    QAction* instrCs =
        pomoc->addAction(QStringLiteral("Instrukcja eksportu BAZY CEN ROBÓT do programu kosztorysowego"));
    instrCs->setObjectName(QStringLiteral("mnuInstrukcjaCS"));
    connect(instrCs, &QAction::triggered, this,
            [this] { pokazInstrukcje(QString::fromUtf8(kInstrukcjaCS)); });
    QAction* zapytania = pomoc->addAction(QStringLiteral("Zapytania do Davideriv"));
    zapytania->setObjectName(QStringLiteral("mnuZapytania"));
    connect(zapytania, &QAction::triggered, this,
            [this] { links_->open(QStringLiteral("mailto:") + QString::fromUtf8(kEmailZapytan)); });
    QAction* www = pomoc->addAction(QStringLiteral("Kalmarex w sieci WWW"));
    www->setObjectName(QStringLiteral("mnuWWW"));
    connect(www, &QAction::triggered, this, [this] { links_->open(QString::fromUtf8(kStronaProduktu)); });
    QAction* zamowienie = pomoc->addAction(QStringLiteral("Wyślij zamówienie na nowy Kalmarex CD"));
    zamowienie->setObjectName(QStringLiteral("mnuZamowienie"));
    connect(zamowienie, &QAction::triggered, this, [this] { poczta_->Zamowienie(); });
    pomoc->addSeparator();
    QAction* info = pomoc->addAction(QStringLiteral("Kalmarex - Informacje "));
    info->setObjectName(QStringLiteral("mnuInformacje"));
    connect(info, &QAction::triggered, this, &TKmxMain::pokazOProgramie);
}

void TKmxMain::utworzPasekNarzedzi() {
    pasekNarzedzi_ = addToolBar(QStringLiteral("Narzędzia"));
    pasekNarzedzi_->setObjectName(QStringLiteral("ToolBar1"));
    pasekNarzedzi_->setMovable(false);
    pasekNarzedzi_->setFloatable(false);
    pasekNarzedzi_->setIconSize(QSize(24, 24));
    pasekNarzedzi_->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    for (QAction* a : {AEksport, ExTessar3}) {
        pasekNarzedzi_->addAction(a);
        if (auto* b = qobject_cast<QToolButton*>(pasekNarzedzi_->widgetForAction(a))) {
            b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            QFont bold = b->font();
            bold.setBold(true);
            b->setFont(bold);
        }
    }
    pasekNarzedzi_->addSeparator();
    pasekNarzedzi_->addAction(AKrytSzukTow);
    pasekNarzedzi_->addAction(AKrytSzukDostawcy);
    pasekNarzedzi_->addSeparator();
    pasekNarzedzi_->addAction(mnuDrukuj_);
    pasekNarzedzi_->addAction(mnuPodgladWydr_);
    pasekNarzedzi_->addAction(AUstawieniaWydruku);
    pasekNarzedzi_->addSeparator();
    pasekNarzedzi_->addAction(Pomoc);
    mnuDrukuj_->setToolTip(ADrukuj->text());
    mnuPodgladWydr_->setToolTip(APodgladWydr->text());
}

// ------------------------------------------------------------------ pages

void TKmxMain::utworzStrony() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    baner_ = new QWidget(central);
    baner_->setObjectName(QStringLiteral("PanelBaner"));
    baner_->setFixedHeight(kWysokoscBanera);
    baner_->setAutoFillBackground(true);
    QPalette white = baner_->palette();
    white.setColor(QPalette::Window, Qt::white);
    baner_->setPalette(white);
    obrazBanera_ = new QLabel(baner_);
    obrazBanera_->setObjectName(QStringLiteral("ObrazBanera"));
    obrazBanera_->setPixmap(QPixmap(edition::tekst(&edition::Edycja::baner)));
    obrazBanera_->adjustSize();
    baner_->installEventFilter(this);
    layout->addWidget(baner_);

    PCMain_ = new QTabWidget(central);
    PCMain_->setObjectName(QStringLiteral("PCMain"));
    layout->addWidget(PCMain_, 1);

    // Katalog Towarów
    auto* tabProdukty = new QWidget;
    tabProdukty->setObjectName(QStringLiteral("tabProdukty"));
    auto* lp = new QVBoxLayout(tabProdukty);
    lp->setContentsMargins(2, 2, 2, 2);
    PCProdukty_ = new QTabWidget(tabProdukty);
    PCProdukty_->setObjectName(QStringLiteral("PCProdukty"));
    PCProdukty_->setTabPosition(QTabWidget::South);
    lp->addWidget(PCProdukty_);
    PCMain_->addTab(tabProdukty, edition::tekst(&edition::Edycja::zakladkaTowarow));

    PCProdukty_->addTab(utworzStroneSzukaniaTowarow(), QStringLiteral("Wyszukiwanie"));
    PCProdukty_->addTab(utworzStroneZnalezionychTowarow(), QStringLiteral("Znalezione"));
    TabTowSzczTow_ = new QWidget;
    TabTowSzczTow_->setObjectName(QStringLiteral("TabTowSzczTow"));
    miejsceTowTow_ = miejsceNaPanel(TabTowSzczTow_);
    PCProdukty_->addTab(TabTowSzczTow_, edition::tekst(&edition::Edycja::stronaSzczegolow));
    TabTowSzczDost_ = new QWidget;
    TabTowSzczDost_->setObjectName(QStringLiteral("TabTowSzczDost"));
    miejsceTowDost_ = miejsceNaPanel(TabTowSzczDost_);
    PCProdukty_->addTab(TabTowSzczDost_, QStringLiteral("Szczegóły dostawcy"));

    // Katalog Dostawców
    auto* tabDostawcy = new QWidget;
    tabDostawcy->setObjectName(QStringLiteral("tabDostawcy"));
    auto* ld = new QVBoxLayout(tabDostawcy);
    ld->setContentsMargins(2, 2, 2, 2);
    PCDostawcy_ = new QTabWidget(tabDostawcy);
    PCDostawcy_->setObjectName(QStringLiteral("PCDostawcy"));
    PCDostawcy_->setTabPosition(QTabWidget::South);
    ld->addWidget(PCDostawcy_);
    PCMain_->addTab(tabDostawcy, QStringLiteral("Katalog Dostawców"));

    PCDostawcy_->addTab(utworzStroneSzukaniaDostawcow(), QStringLiteral("Wyszukiwanie"));
    PCDostawcy_->addTab(utworzStroneZnalezionychDostawcow(), QStringLiteral("Znalezieni"));
    TabDostSzczDost_ = new QWidget;
    TabDostSzczDost_->setObjectName(QStringLiteral("TabDostSzczDost"));
    miejsceDostDost_ = miejsceNaPanel(TabDostSzczDost_);
    PCDostawcy_->addTab(TabDostSzczDost_, QStringLiteral("Szczegóły dostawcy"));
    PCDostawcy_->addTab(utworzStroneListyTowarowDostawcy(), QStringLiteral("Lista towarów"));
    TabDostSzczTow_ = new QWidget;
    TabDostSzczTow_->setObjectName(QStringLiteral("TabDostSzczTow"));
    miejsceDostTow_ = miejsceNaPanel(TabDostSzczTow_);
    PCDostawcy_->addTab(TabDostSzczTow_, QStringLiteral("Szczegóły towaru"));

    // Baza cen robót, Narzuty
    worksPage_ = new WorksPage(*tdm_, engine_);
    worksPage_->setObjectName(QStringLiteral("PCScalone"));
    PCMain_->addTab(worksPage_, QStringLiteral("Baza cen robót"));
    connect(worksPage_, &WorksPage::instrukcjaRequested, this,
            [this] { pokazInstrukcje(QString::fromUtf8(kInstrukcjaCS)); });
    ratesPage_ = new RatesPage;
    ratesPage_->setObjectName(QStringLiteral("pcStawki"));
    PCMain_->addTab(ratesPage_, QStringLiteral("Narzuty"));

    // The one set of detail panels, on the goods catalogue to begin with.
    daneTow_ = new GoodsPanel(*tdm_, *links_);
    daneDost_ = new SupplierPanel(*tdm_, *links_);
    miejsceTowTow_->setWidget(daneTow_);
    miejsceTowDost_->setWidget(daneDost_);
    connect(daneTow_, &GoodsPanel::powrotDoListy, this, &TKmxMain::powrotDoListy);
    connect(daneDost_, &SupplierPanel::powrotDoListy, this, &TKmxMain::powrotDoListy);

    connect(PCMain_, &QTabWidget::currentChanged, this, [this](int index) {
        if (!bezObslugiZmian_) PCMainChange(index);
    });
    connect(PCProdukty_, &QTabWidget::currentChanged, this, [this](int index) {
        if (bezObslugiZmian_) return;
        if (poprzedniaTow_ == 0 && index != 0 && !tdm_->QWybrTow.active()) {
            pokazStrone(0, 0);
            pokazKomunikat(edition::tekst(&edition::Edycja::nieWykonanoSzukania),
                           platform::MessageIcon::Information);
            return;
        }
        poprzedniaTow_ = index;
        PCProduktyChange(index);
    });
    connect(PCDostawcy_, &QTabWidget::currentChanged, this, [this](int index) {
        if (bezObslugiZmian_) return;
        if (poprzedniaDost_ == 0 && index != 0 && !tdm_->QWybrDost.active()) {
            pokazStrone(1, 0);
            pokazKomunikat(QStringLiteral("Nie wykonano szukania dostawców!"),
                           platform::MessageIcon::Information);
            return;
        }
        poprzedniaDost_ = index;
        PCDostawcyChange(index);
    });

    setCentralWidget(central);
}

QWidget* TKmxMain::utworzNaglowekListy(const QString& caption, const char* objectName, QLabel** link) {
    auto* group = new QGroupBox(caption);
    group->setObjectName(QString::fromLatin1(objectName));
    group->setFixedHeight(60);
    if (link) {
        *link = new QLabel(QStringLiteral("<a href=\"#\">Zmień kryteria wyszukania</a>"), group);
        (*link)->setObjectName(QStringLiteral("lblZmienKryteria"));
        (*link)->setTextFormat(Qt::RichText);
        (*link)->setCursor(Qt::PointingHandCursor);
        (*link)->move(12, 24);
        (*link)->adjustSize();
    }
    return group;
}

// ------------------------------------------------------------------ active set, grid, panels

void TKmxMain::ExTessar3Execute() {
    tessar::ImportDoProgramu k;
    k.okno = this;
    if (PCMain_->currentIndex() == 0 && PCProdukty_->currentIndex() == 1) {
        k.lista = &tdm_->QWybrTow;
    } else if (PCMain_->currentIndex() == 1 && PCDostawcy_->currentIndex() == 3) {
        k.lista = &tdm_->QWybrTowForDost;
        k.rodzajListy = exportrows::ListKind::SupplierGoods;
        k.dostawcy = &tdm_->QWybrDost;
    } else {
        return;
    }
    k.prefiks = platform::winePrefix();
    const tessar::Tessary tessary(platform::registry(), platform::WinePaths(k.prefiks));
    const int numer = tessar::Wybor(tessary, *wyborTessara_);
    // Nothing installed or the choice cancelled: nothing happens.
    if (numer == 0) return;
    if (numer == 1) {
        // Version 3 takes the list into its price base through its library.
        tessar::TT3DLL most(platform::registry(), platform::WinePaths(k.prefiks), this);
        if (!most.Open()) {
            most.ShowError();
            return;
        }
        tessar::WstawianieCennika w;
        w.lista = k.lista;
        w.rodzajListy = k.rodzajListy;
        w.dostawcy = k.dostawcy;
        w.edycja = stanProgramu().Edycja;
        w.rok = stanProgramu().Rok;
        most.InsertPriceList(w);
        most.Close();
        return;
    }
    k.rodzaje = edition::biezaca().kategorie == edition::Kategorie::RobociznaMaterialySprzet
                    ? TypRmsKryterium()
                    : tessar::RodzajeZPol(chbMaterialy_->isChecked(), chbSprzet_->isChecked());
    k.cenySrednie = edition::biezaca().cenySrednie;
    k.rok = stanProgramu().Rok;
    k.edycja = stanProgramu().Edycja;
    tessar::EksportDoProgramu(k, tessary, numer);
}

void TKmxMain::ADrukujExecute() {
    const int zakladka = PCMain_->currentIndex();
    const bool dostawcy = edition::biezaca().katalogDostawcow;
    const bool stronaKatalogu = (zakladka == 0 && PCProdukty_->currentIndex() != 0) ||
                                (dostawcy && zakladka == 1 && PCDostawcy_->currentIndex() != 0);
    if (stronaKatalogu) wydruki_->pokazDialogDruku();
}

data::DataSet* TKmxMain::ActiveResultSet() {
    switch (PCMain_->currentIndex()) {
        case 0:
            return PCProdukty_->currentIndex() != 0 ? &tdm_->QWybrTow : nullptr;
        case 1:
            if (!edition::biezaca().katalogDostawcow) return nullptr;
            switch (PCDostawcy_->currentIndex()) {
                case 1:
                case 2:
                    return &tdm_->QWybrDost;
                case 3:
                case 4:
                    return &tdm_->QWybrTowForDost;
                default:
                    return nullptr;
            }
        default:
            return nullptr;
    }
}

ResultGrid* TKmxMain::AktywnaSiatka() {
    if (PCMain_->currentIndex() == 0 && PCProdukty_->currentIndex() == 1) return gridTow_;
    if (PCMain_->currentIndex() == 1 && PCDostawcy_->currentIndex() == 1) return gridDost_;
    if (PCMain_->currentIndex() == 1 && PCDostawcy_->currentIndex() == 3) return gridTowDost_;
    return nullptr;
}

data::DataSet* TKmxMain::zbiorPodFokusem() {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (auto* grid = qobject_cast<ResultGrid*>(w)) return &grid->set();
        if (w == daneTow_) return daneTow_->boundSet();
        if (w == daneDost_) return daneDost_->boundSet();
        if (w == this) break;
    }
    return nullptr;
}

void TKmxMain::UstawPaneleSzczegolow() {
    const int page = PCMain_->currentIndex();
    if (page == 0) {
        umiescPanel(daneTow_, miejsceTowTow_, {miejsceTowTow_, miejsceDostTow_});
        umiescPanel(daneDost_, miejsceTowDost_, {miejsceTowDost_, miejsceDostDost_});
        daneTow_->bind(&tdm_->QWybrTow, true);
        daneDost_->bind(&tdm_->QWybrTow, true);
    } else if (page == 1) {
        umiescPanel(daneTow_, miejsceDostTow_, {miejsceTowTow_, miejsceDostTow_});
        umiescPanel(daneDost_, miejsceDostDost_, {miejsceTowDost_, miejsceDostDost_});
        daneTow_->bind(&tdm_->QWybrTowForDost, false);
        daneDost_->bind(&tdm_->QWybrDost, false);
    } else {
        return;
    }
    daneTow_->refresh();
    daneDost_->refresh();
}

void TKmxMain::UstawAkcje(std::optional<bool> druk, std::optional<bool> oferta, std::optional<bool> eksport,
                          std::optional<bool> eksportDoProgramu) {
    if (druk) {
        mnuDrukuj_->setEnabled(*druk);
        mnuPodgladWydr_->setEnabled(*druk);
    }
    if (oferta) mnuOferta_->setEnabled(*oferta);
    if (eksport) {
        AEksport->setEnabled(*eksport);
        AEksportKmx10->setEnabled(*eksport);
    }
    if (eksportDoProgramu) ExTessar3->setEnabled(*eksportDoProgramu);
}

void TKmxMain::bezKataloguDostawcow() {
    // The supplier pages stay built (the windows' code is one), but no tab,
    // menu, button or key leads to them.
    PCMain_->setTabVisible(1, false);
    PCProdukty_->setTabVisible(3, false);
    for (QAction* a : {ATowSzczDost, AKrytSzukDostawcy, ADostListaDost, ADostSzczDost, ADostListaTow,
                       ADostSzczTow, APokazAllDost, mnuTowSzczDost_, mnuDostListaDost_, mnuDostSzczDost_,
                       mnuDostListaTow_, mnuDostSzczTow_}) {
        a->setEnabled(false);
        a->setVisible(false);
    }
    for (const char* name : {"mnuZnajdzDostawce", "mnuWidokDostawcy"}) {
        if (auto* a = findChild<QAction*>(QString::fromLatin1(name))) a->setVisible(false);
    }
}

void TKmxMain::UstawPrzyciskMenuiZaklSzczTowDost(bool on) {
    mnuDostSzczTow_->setEnabled(on);
    // Hiding the tab on screen moves Qt to another one; that move is no
    // page change of the user's.
    const bool before = bezObslugiZmian_;
    bezObslugiZmian_ = true;
    PCDostawcy_->setTabVisible(4, on);
    bezObslugiZmian_ = before;
    poprzedniaDost_ = PCDostawcy_->currentIndex();
}

void TKmxMain::odswiezMenuWidoku() {
    const bool towary = tdm_->QWybrTow.active();
    mnuTowListaTow_->setEnabled(towary);
    mnuTowSzczTow_->setEnabled(towary);
    mnuTowSzczDost_->setEnabled(towary);
    const bool dostawcy = tdm_->QWybrDost.active();
    mnuDostListaDost_->setEnabled(dostawcy);
    mnuDostSzczDost_->setEnabled(dostawcy);
    mnuDostListaTow_->setEnabled(dostawcy);
}

void TKmxMain::pokazStrone(int mainIndex, int innerIndex) {
    const bool before = bezObslugiZmian_;
    bezObslugiZmian_ = true;
    PCMain_->setCurrentIndex(mainIndex);
    if (mainIndex == 0 && innerIndex >= 0) {
        PCProdukty_->setCurrentIndex(innerIndex);
        poprzedniaTow_ = innerIndex;
    } else if (mainIndex == 1 && innerIndex >= 0) {
        PCDostawcy_->setCurrentIndex(innerIndex);
        poprzedniaDost_ = innerIndex;
    }
    bezObslugiZmian_ = before;
}

void TKmxMain::pokazKomunikat(const QString& text, platform::MessageIcon icon) {
    platform::dialogs().message(this, edition::TytulKomunikatu(), text, icon);
}

// ------------------------------------------------------------------ page changes

void TKmxMain::PCMainChange(int index) {
    UstawPaneleSzczegolow();
    if (index == 0) {
        switch (PCProdukty_->currentIndex()) {
            case 0:
                AKrytSzukTowExecute();
                break;
            case 1:
                pasek_->przeniesDo(naglowekTow_, false);
                pasek_->UstawIloscPozycji(tdm_->QWybrTow.active() ? tdm_->QWybrTow.knownCount() : 0);
                tdm_->PokazNumerStronyBiez();
                ATowListaTowExecute();
                break;
            case 2:
                ATowSzczTowExecute();
                break;
            default:
                ATowSzczDostExecute();
                break;
        }
    } else if (index == 1) {
        switch (PCDostawcy_->currentIndex()) {
            case 0:
                AKrytSzukDostawcyExecute();
                break;
            case 1:
                pasek_->przeniesDo(naglowekDost_, false);
                pasek_->UstawIloscPozycji(tdm_->QWybrDost.active() ? tdm_->QWybrDost.recordCount() : 0);
                tdm_->PokazNumerStronyBiez();
                ADostListaDostExecute();
                break;
            case 2:
                ADostSzczDostExecute();
                break;
            case 3:
                pasek_->przeniesDo(naglowekTowDost_, true);
                pasek_->UstawIloscPozycji(tdm_->QWybrTowForDost.active() ? tdm_->QWybrTowForDost.recordCount()
                                                                         : 0);
                tdm_->PokazNumerStronyBiez();
                ADostListaTowExecute();
                break;
            default:
                ADostSzczTowExecute();
                break;
        }
    } else if (index == 2) {
        ACenyScaloneExecute();
    } else if (index == 3) {
        AStawkiExecute();
    }
}

void TKmxMain::PCProduktyChange(int index) {
    switch (index) {
        case 0:
            AKrytSzukTowExecute();
            break;
        case 1:
            pasek_->UstawIloscPozycji(tdm_->QWybrTow.active() ? tdm_->QWybrTow.knownCount() : 0);
            ATowListaTowExecute();
            break;
        case 2:
            ATowSzczTowExecute();
            break;
        default:
            ATowSzczDostExecute();
            break;
    }
}

void TKmxMain::PCDostawcyChange(int index) {
    // The goods list shows only while its own page is on screen and loaded.
    zawartoscListyTowDost_->hide();
    StanProgramu& stan = stanProgramu();
    switch (index) {
        case 0:
            AKrytSzukDostawcyExecute();
            break;
        case 1:
            pasek_->UstawIloscPozycji(stan.IloscDostawcow);
            ADostListaDostExecute();
            break;
        case 2:
            ADostSzczDostExecute();
            break;
        case 3:
            if (PokazTowaryDostawcy()) {
                pokazStrone(1, 3);
                zawartoscListyTowDost_->show();
                tdm_->PokazNumerStronyBiez();
                ADostListaTowExecute();
                pasek_->UstawIloscPozycji(stan.IloscTowarowDostawcy);
                UstawPrzyciskMenuiZaklSzczTowDost(true);
            } else {
                pokazStrone(1, 1);
                ADostListaDostExecute();
                UstawPrzyciskMenuiZaklSzczTowDost(false);
            }
            break;
        default:
            ADostSzczTowExecute();
            break;
    }
}

// A page of one of the two catalogues: brought to front with the detail
// panels moved to it and the action groups set as the page requires.
void TKmxMain::pokazStroneKatalogu(int mainIndex, int innerIndex, bool druk, bool oferta, bool eksport,
                                   bool eksportDoProgramu) {
    pokazStrone(mainIndex, innerIndex);
    UstawPaneleSzczegolow();
    UstawAkcje(druk, oferta, eksport, eksportDoProgramu);
}

// A result list on screen: the paging bar moves into its header, the page
// counters and buttons follow it, and the grid takes the focus.
void TKmxMain::pokazListe(QWidget* naglowek, bool listaTowarowDostawcy, QWidget* grid) {
    pasek_->przeniesDo(naglowek, listaTowarowDostawcy);
    tdm_->PokazNumerStronyBiez();
    UstawPrzyciskiStron();
    grid->setFocus();
}

void TKmxMain::AKrytSzukTowExecute() {
    pokazStroneKatalogu(0, 0, false, false, false, false);
    eNazwaTow_->setFocus();
}

void TKmxMain::ATowListaTowExecute() {
    pokazStroneKatalogu(0, 1, true, true, true, true);
    pokazListe(naglowekTow_, false, gridTow_);
}

void TKmxMain::ATowSzczTowExecute() {
    pokazStroneKatalogu(0, 2, true, true, false, false);
    PCProdukty_->tabBar()->setFocus();
}

void TKmxMain::ATowSzczDostExecute() {
    pokazStroneKatalogu(0, 3, true, false, false, false);
    PCProdukty_->tabBar()->setFocus();
}

void TKmxMain::AKrytSzukDostawcyExecute() {
    pokazStroneKatalogu(1, 0, false, false, false, false);
    eNazwaDost_->setFocus();
}

void TKmxMain::ADostListaDostExecute() {
    pokazStroneKatalogu(1, 1, true, false, false, false);
    pokazListe(naglowekDost_, false, gridDost_);
}

void TKmxMain::ADostSzczDostExecute() {
    pokazStroneKatalogu(1, 2, true, false, false, false);
    PCDostawcy_->tabBar()->setFocus();
}

void TKmxMain::ADostListaTowExecute() {
    // The goods of the current supplier: loaded here (the list already open
    // for this supplier is reused); nothing happens when there are none.
    if (!tdm_->QWybrDost.active() || tdm_->QWybrDost.isEmpty()) return;
    if (!PokazTowaryDostawcy()) return;
    pokazStrone(1, 3);
    zawartoscListyTowDost_->show();
    if (QLayout* l = TabDostListaProd_->layout()) l->activate();
    UstawPaneleSzczegolow();
    UstawAkcje(true, true, true, true);
    UstawPrzyciskMenuiZaklSzczTowDost(true);
    pokazListe(naglowekTowDost_, true, gridTowDost_);
}

void TKmxMain::ADostSzczTowExecute() {
    if (!PCDostawcy_->isTabVisible(4)) return;
    pokazStroneKatalogu(1, 4, true, true, false, false);
    PCDostawcy_->tabBar()->setFocus();
}

void TKmxMain::ACenyScaloneExecute() {
    pokazStrone(2, -1);
    UstawAkcje(std::nullopt, std::nullopt, true, false);
    worksPage_->grid()->setFocus();
}

void TKmxMain::AStawkiExecute() {
    pokazStrone(3, -1);
    UstawAkcje(std::nullopt, std::nullopt, false, false);
    PCMain_->tabBar()->setFocus();
}

void TKmxMain::AOfertaExecute() {
    if (PCMain_->currentIndex() == 0) {
        const int inner = PCProdukty_->currentIndex();
        if (inner == 1) poczta_->PokazDostawcow(stanProgramu().KryteriaTowaru);
        if (inner == 2) poczta_->ZapytanieOfertowe(1);
        return;
    }
    // Without suppliers the enquiry exists on the goods tab only; elsewhere
    // it does nothing, silently.
    if (PCMain_->currentIndex() != 1 || !edition::biezaca().katalogDostawcow) return;
    const int inner = PCDostawcy_->currentIndex();
    if (inner == 3) {
        poczta_->ZapytanieOfertowe(2);
    } else if (inner == 4) {
        poczta_->ZapytanieOfertowe(3);
    } else {
        pokazKomunikat(QStringLiteral("Musisz wybrać listę towarów"), platform::MessageIcon::Error);
    }
}

void TKmxMain::powrotDoListy() {
    if (PCMain_->currentIndex() == 0) {
        pokazStrone(0, 1);
        PCProduktyChange(1);
    } else if (PCMain_->currentIndex() == 1) {
        pokazStrone(1, 1);
        PCDostawcyChange(1);
    }
}

// ------------------------------------------------------------------ data module callbacks, paging

void TKmxMain::KursorPrzesuniety(data::DataSet& set) {
    if (&set == &tdm_->QWybrTow) gridTow_->followCursor();
    if (&set == &tdm_->QWybrDost) gridDost_->followCursor();
    if (&set == &tdm_->QWybrTowForDost) gridTowDost_->followCursor();
}

void TKmxMain::PokazDaneDostawcy(data::DataSet& set) {
    if (daneDost_->boundSet() == &set) daneDost_->PokazDaneDostawcy(set);
}

void TKmxMain::PokazDaneTowaru(data::DataSet& set) {
    if (daneTow_->boundSet() == &set) daneTow_->PokazDaneTowaru(set);
}

void TKmxMain::UstawPrzyciskiStron() {
    pasek_->UstawPrzyciskiStron(ActiveResultSet(), pasek_->iloscPozycji());
}

std::optional<data::TDMObserver::ActiveGrid> TKmxMain::GetActiveGrid() {
    ResultGrid* grid = AktywnaSiatka();
    if (!grid) return std::nullopt;
    return ActiveGrid{&grid->set(), grid->linesPerPage()};
}

int TKmxMain::ObliczIloscStronwGridzie() {
    ResultGrid* grid = AktywnaSiatka();
    if (!grid) return 0;
    const StanProgramu& stan = stanProgramu();
    const int count = grid == gridTow_    ? stan.IloscTowarow
                      : grid == gridDost_ ? stan.IloscDostawcow
                                          : stan.IloscTowarowDostawcy;
    return liczbaStron(count, grid->linesPerPage());
}

void TKmxMain::UstawIloscStron(int pages) {
    pasek_->UstawIloscStron(pages);
}

void TKmxMain::UstawNumerStrony(int page) {
    pasek_->UstawNumerStrony(page);
}

void TKmxMain::PrzewinStrony(bool forward) {
    data::DataSet* ds = ActiveResultSet();
    ResultGrid* grid = AktywnaSiatka();
    if (!ds || !ds->active()) return;
    pasek_->PrzewinStrony(*ds, grid ? grid->linesPerPage() : 1, forward);
}

// ------------------------------------------------------------------ help

bool TKmxMain::pokazInstrukcje(const QString& fileName) {
    return help_->pokazInstrukcje(fileName);
}

void TKmxMain::PomocExecute() {
    if (edition::biezaca().instrukcjaPrzyStarcie) {
        help_->pokaz();
        return;
    }
    pokazInstrukcje(edition::tekst(&edition::Edycja::plikInstrukcji));
}

void TKmxMain::pokazOProgramie() {
    about_->setWersjaOpis(stanProgramu().WersjaOpis);
    if (g_testMode) {
        about_->show();
    } else {
        about_->pokaz();
    }
}

}  // namespace kmx::app
