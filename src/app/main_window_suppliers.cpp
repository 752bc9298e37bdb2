// The supplier search screen of the main window: the criteria panel, the
// search and show-all flows, the found suppliers, and the goods of one
// supplier with their reuse rule.

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/constants.h"
#include "app/goods_panel.h"
#include "app/main_window.h"
#include "app/paging_bar.h"
#include "app/program_state.h"
#include "app/result_grid.h"
#include "app/supplier_panel.h"
#include "app/wait_window.h"
#include "core/last_error.h"
#include "core/query_builder.h"

namespace kmx::app {

namespace {

constexpr int kWysokoscPola = 22;
const QString kWyszukiwanieDostawcow = QStringLiteral("Wyszukiwanie dostawców...");
const QString kWyszukiwanieTowarow = QStringLiteral("Wyszukiwanie towarów...");
const QString kNieZnalezionoDostawcow = QStringLiteral("Nie znaleziono dostawców!");
const QString kNieZnalezionoTowaru = QStringLiteral(
    "Nie znaleziono towaru. Sprawdź czy określiłeś właściwą kategorie wyszukiwania materiał/sprzęt");

}  // namespace

QString KolumnaSortowaniaDostawcow(const QString& field) {
    const QString f = field.toUpper();
    if (f == QLatin1String("PRODUCENT.NAZWA")) return QStringLiteral("idx_nazwa_prod");
    if (f == QLatin1String("MIEJSCOWOSC")) return QStringLiteral("idx_MIEJSCOWOSC_prod");
    return {};
}

QString KolumnaSortowaniaTowarowDostawcy(const QString& field) {
    const QString f = field.toUpper();
    if (f == QLatin1String("TOWAR.NAZWA")) return QStringLiteral("idx_NAZWA");
    if (f == QLatin1String("JEDNOSTKA_MIARY.NAZWA")) return QStringLiteral("idx_jedn_miary");
    if (f == QLatin1String("INDEKS_ETO")) return QStringLiteral("idx_indeks_eto");
    return {};
}

// ------------------------------------------------------------------ building

QWidget* TKmxMain::utworzStroneSzukaniaDostawcow() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabDostSzuk"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* frame = new QGroupBox(QStringLiteral(" SZUKANIE DOSTAWCÓW - KRYTERIA WYBORU "), page);
    frame->setObjectName(QStringLiteral("GrBKryteriaDost"));
    layout->addWidget(frame);
    ramkaSzukDost_ = frame;
    frame->installEventFilter(this);

    GrBSzukDost_ = new QGroupBox(QStringLiteral("  DOSTAWCA  "), frame);
    GrBSzukDost_->setObjectName(QStringLiteral("GrBSzukDost"));
    GrBSzukDost_->setFixedSize(420, 150);
    auto* grid = new QGridLayout(GrBSzukDost_);
    grid->setContentsMargins(10, 14, 10, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);

    const auto etykieta = [this](const char* name, const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, GrBSzukDost_);
        label->setObjectName(QString::fromLatin1(name));
        label->setBuddy(buddy);
        return label;
    };
    const auto lista = [this](const char* name) {
        auto* combo = new QComboBox(GrBSzukDost_);
        combo->setObjectName(QString::fromLatin1(name));
        combo->setFixedHeight(kWysokoscPola);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(8);
        combo->setMaxVisibleItems(16);
        combo->installEventFilter(this);
        return combo;
    };
    const auto przyciskCzyszczenia = [this](const char* name, const QString& hint) {
        auto* button = new QPushButton(GrBSzukDost_);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(style()->standardIcon(QStyle::SP_LineEditClearButton));
        button->setToolTip(hint);
        button->setFixedSize(kWysokoscPola, kWysokoscPola);
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    };

    eNazwaDost_ = new QLineEdit(GrBSzukDost_);
    eNazwaDost_->setObjectName(QStringLiteral("eNazwaDost"));
    eNazwaDost_->setFixedHeight(kWysokoscPola);
    eNazwaDost_->installEventFilter(this);
    podpowiedzNazwDost_ = new QCompleter(this);
    podpowiedzNazwDost_->setObjectName(QStringLiteral("podpowiedzNazwDost"));
    podpowiedzNazwDost_->setModel(new QStringListModel(podpowiedzNazwDost_));
    podpowiedzNazwDost_->setCaseSensitivity(Qt::CaseInsensitive);
    podpowiedzNazwDost_->setFilterMode(Qt::MatchStartsWith);
    podpowiedzNazwDost_->setCompletionMode(QCompleter::PopupCompletion);
    podpowiedzNazwDost_->setMaxVisibleItems(16);
    podpowiedzNazwDost_->popup()->setMinimumWidth(400);
    podpowiedzNazwDost_->popup()->installEventFilter(this);
    eNazwaDost_->setCompleter(podpowiedzNazwDost_);
    grid->addWidget(etykieta("lblNazwaDost", QStringLiteral("Nazwa:"), eNazwaDost_), 0, 0);
    grid->addWidget(eNazwaDost_, 0, 1, 1, 2);

    dblWojew_ = lista("dblWojew");
    bWyczyscWojew_ = przyciskCzyszczenia("bWyczyscWojew", QStringLiteral("Wyczyść województwo"));
    grid->addWidget(etykieta("lblWojew", QStringLiteral("Województwo:"), dblWojew_), 1, 0);
    grid->addWidget(dblWojew_, 1, 1);
    grid->addWidget(bWyczyscWojew_, 1, 2);

    eMiejscowosc_ = new QLineEdit(GrBSzukDost_);
    eMiejscowosc_->setObjectName(QStringLiteral("eMiejscowosc"));
    eMiejscowosc_->setFixedHeight(kWysokoscPola);
    grid->addWidget(etykieta("lblMiejscowosc", QStringLiteral("Miejscowość:"), eMiejscowosc_), 2, 0);
    grid->addWidget(eMiejscowosc_, 2, 1, 1, 2);

    dblBranza_ = lista("dblBranza");
    bWyczyscBranze_ = przyciskCzyszczenia("bWyczyscBranze", QStringLiteral("Wyczyść branżę podstawową"));
    grid->addWidget(etykieta("lblBranza", QStringLiteral("Branże:"), dblBranza_), 3, 0);
    grid->addWidget(dblBranza_, 3, 1);
    grid->addWidget(bWyczyscBranze_, 3, 2);
    grid->setRowStretch(4, 1);

    panelPrzyciskiSzukDost_ = new QWidget(frame);
    panelPrzyciskiSzukDost_->setObjectName(QStringLiteral("panelPrzyciskiSzukDost"));
    panelPrzyciskiSzukDost_->setFixedSize(420, 30);
    auto* buttons = new QHBoxLayout(panelPrzyciskiSzukDost_);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(8);
    const auto przycisk = [this](const char* name, const QString& text) {
        auto* button = new QPushButton(text, panelPrzyciskiSzukDost_);
        button->setObjectName(QString::fromLatin1(name));
        button->setMinimumWidth(96);
        return button;
    };
    bSzukajDost_ = przycisk("bSzukajDost", QStringLiteral("Szukaj"));
    bSzukajDost_->setDefault(true);
    bWyczyscKryteriaDost_ = przycisk("bWyczyscKryteriaDost", QStringLiteral("Wyczyść kryteria"));
    bPokazAllDost_ = przycisk("bPokazAllDost", APokazAllDost->text());
    buttons->addStretch(1);
    for (QPushButton* b : {bSzukajDost_, bWyczyscKryteriaDost_, bPokazAllDost_}) buttons->addWidget(b);
    buttons->addStretch(1);

    // The name field is marked when it is clicked or its drop-down closes
    // (the event filter), the others on every change.
    connect(eMiejscowosc_, &QLineEdit::textChanged, this, [this] { oznaczPole(eMiejscowosc_); });
    for (QComboBox* c : {dblWojew_, dblBranza_}) {
        connect(c, &QComboBox::currentIndexChanged, this, [this, c] { oznaczPole(c); });
    }
    connect(eNazwaDost_, &QLineEdit::returnPressed, this, [this] {
        if (!pominEnterDost_) bSzukajDost_->click();
    });
    connect(eMiejscowosc_, &QLineEdit::returnPressed, this, [this] { bSzukajDost_->click(); });
    connect(podpowiedzNazwDost_, qOverload<const QString&>(&QCompleter::activated), this, [this] {
        pominEnterDost_ = true;
        QTimer::singleShot(0, this, [this] { pominEnterDost_ = false; });
    });
    connect(bWyczyscWojew_, &QPushButton::clicked, this, [this] {
        dblWojew_->setCurrentIndex(-1);
        oznaczPole(dblWojew_);
    });
    connect(bWyczyscBranze_, &QPushButton::clicked, this, [this] {
        dblBranza_->setCurrentIndex(-1);
        oznaczPole(dblBranza_);
    });
    connect(bSzukajDost_, &QPushButton::clicked, this, &TKmxMain::bSzukajDostClick);
    connect(bWyczyscKryteriaDost_, &QPushButton::clicked, this, &TKmxMain::bWyczyscKryteriaDostClick);
    connect(bPokazAllDost_, &QPushButton::clicked, APokazAllDost, &QAction::trigger);

    oznaczPolaDost();
    return page;
}

QWidget* TKmxMain::utworzStroneZnalezionychDostawcow() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabDostZnal"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    QLabel* link = nullptr;
    naglowekDost_ = utworzNaglowekListy(QStringLiteral(" LISTA WYSZUKANYCH DOSTAWCÓW "), "GrBListaDost", &link);
    link->setObjectName(QStringLiteral("lblZmienKryteriaDost"));
    layout->addWidget(naglowekDost_);
    connect(link, &QLabel::linkActivated, this, [this] {
        pokazStrone(1, 0);
        PCDostawcyChange(0);
    });

    std::vector<GridColumn> columns = {
        {QStringLiteral("Nazwa dostawcy"), QStringLiteral("producent.NAZWA"), 129},
        {QStringLiteral("Miejscowość"), QStringLiteral("MIEJSCOWOSC"), 117},
        {QStringLiteral("Województwo"), QStringLiteral("Wojewodztwo.Nazwa"), 73},
        {QStringLiteral("e-mail"), QStringLiteral("EMAIL_PODSTAWOWY"), 264},
        {QStringLiteral("Strona www"), QStringLiteral("ADRES_WWW"), 261},
    };
    gridDost_ = new ResultGrid(tdm_->QWybrDost, std::move(columns), &KolumnaSortowaniaDostawcow, page);
    gridDost_->setObjectName(QStringLiteral("DBGridDostawcy"));
    layout->addWidget(gridDost_, 1);
    connect(gridDost_, &ResultGrid::rowActivated, this, [this] { otworzSzczegolyDostawcy(); });
    connect(gridDost_, &ResultGrid::enterPressed, this, [this] {
        // Enter here first forgets a click on the titles.
        ResultGrid::KliknietoTytul() = false;
        otworzSzczegolyDostawcy();
    });
    return page;
}

QWidget* TKmxMain::utworzStroneListyTowarowDostawcy() {
    TabDostListaProd_ = new QWidget;
    TabDostListaProd_->setObjectName(QStringLiteral("TabDostListaProd"));
    auto* pageLayout = new QVBoxLayout(TabDostListaProd_);
    pageLayout->setContentsMargins(0, 0, 0, 0);

    zawartoscListyTowDost_ = new QWidget(TabDostListaProd_);
    zawartoscListyTowDost_->setObjectName(QStringLiteral("ZawartoscListyTowDost"));
    pageLayout->addWidget(zawartoscListyTowDost_);
    auto* layout = new QVBoxLayout(zawartoscListyTowDost_);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    naglowekTowDost_ = utworzNaglowekListy(QStringLiteral(" LISTA TOWARÓW DOSTAWCY "), "GrBListaTowDost", nullptr);
    naglowekTowDost_->setFixedHeight(76);
    naglowekTowDost_->installEventFilter(this);
    layout->addWidget(naglowekTowDost_);
    lblDostawcaListy_ = new QLabel(naglowekTowDost_);
    lblDostawcaListy_->setObjectName(QStringLiteral("lblDostawcaListy"));
    lblDostawcaListy_->setWordWrap(true);
    lblDostawcaListy_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont bold = lblDostawcaListy_->font();
    bold.setBold(true);
    lblDostawcaListy_->setFont(bold);
    lblDostawcaListy_->setGeometry(12, 22, 300, 46);

    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    std::vector<GridColumn> columns = {
        {QStringLiteral("Nazwa towaru"), QStringLiteral("Towar.NAZWA"), 362},
        {QStringLiteral("J.m."), QStringLiteral("Jednostka_miary.Nazwa"), 142},
        {QStringLiteral("Cena netto za j.m."), QStringLiteral("CENA_JEDNOSTKOWA"), 142, right},
        {QStringLiteral("Waluta"), QStringLiteral("waluta.symbol"), 64},
        {QStringLiteral("Indeks ETO"), QStringLiteral("INDEKS_ETO"), 138},
    };
    gridTowDost_ = new ResultGrid(tdm_->QWybrTowForDost, std::move(columns), &KolumnaSortowaniaTowarowDostawcy,
                                  zawartoscListyTowDost_);
    gridTowDost_->setObjectName(QStringLiteral("DBGridTowaryDostawcy"));
    layout->addWidget(gridTowDost_, 1);
    connect(gridTowDost_, &ResultGrid::rowActivated, this, [this] { otworzSzczegolyTowaruDostawcy(); });
    connect(gridTowDost_, &ResultGrid::enterPressed, this, [this] {
        ResultGrid::KliknietoTytul() = false;
        otworzSzczegolyTowaruDostawcy();
    });
    zawartoscListyTowDost_->hide();
    return TabDostListaProd_;
}

void TKmxMain::wypelnijListyDost() {
    const auto wypelnij = [](QComboBox* combo, data::DataSet& ds, const char* key, const char* text) {
        const QSignalBlocker quiet(combo);
        combo->clear();
        const int fk = ds.fieldIndex(key);
        const int ft = ds.fieldIndex(text);
        if (ds.active() && fk >= 0 && ft >= 0) {
            for (int row = 0; row < ds.recordCount(); ++row) {
                combo->addItem(QString::fromStdString(ds.displayText(row, ft)),
                               QVariant::fromValue<qlonglong>(ds.cell(row, fk).asInt()));
            }
        }
        combo->setCurrentIndex(-1);
    };
    wypelnij(dblWojew_, tdm_->TWojewodztwo, "ID_WOJEWODZTWA", "NAZWA");
    wypelnij(dblBranza_, tdm_->TBranza, "ID_BRANZY", "NAZWA");

    QStringList nazwy;
    data::DataSet& dostawcy = tdm_->TDostawca;
    const int fn = dostawcy.fieldIndex("NazwaD");
    if (dostawcy.active() && fn >= 0) {
        nazwy.reserve(dostawcy.recordCount());
        for (int row = 0; row < dostawcy.recordCount(); ++row) {
            nazwy.append(QString::fromStdString(dostawcy.displayText(row, fn)));
        }
    }
    static_cast<QStringListModel*>(podpowiedzNazwDost_->model())->setStringList(nazwy);
    oznaczPolaDost();
}

// ------------------------------------------------------------------ field rules

void TKmxMain::oznaczPolaDost() {
    for (QWidget* w : std::initializer_list<QWidget*>{eNazwaDost_, dblWojew_, eMiejscowosc_, dblBranza_}) {
        oznaczPole(w);
    }
}

bool TKmxMain::filtrPolDost(QObject* watched, QEvent* event) {
    if (!eNazwaDost_) return false;
    if (watched == naglowekTowDost_ && event->type() == QEvent::Resize) {
        // The supplier's name takes the room left of the paging block.
        const int right = pasek_ && pasek_->grupa() == naglowekTowDost_ ? pasek_->x() - 10
                                                                        : naglowekTowDost_->width() - 560;
        lblDostawcaListy_->setFixedWidth(std::max(120, right - 12));
        return false;
    }
    if (watched == eNazwaDost_ && event->type() == QEvent::MouseButtonPress) {
        oznaczPole(eNazwaDost_);
        return false;
    }
    if (watched == podpowiedzNazwDost_->popup() && event->type() == QEvent::Hide) {
        oznaczPole(eNazwaDost_);
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == dblWojew_ || watched == dblBranza_) {
        auto* combo = static_cast<QComboBox*>(watched);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !combo->view()->isVisible()) {
            bSzukajDost_->click();
            return true;
        }
    }
    if (watched == eNazwaDost_ && key->key() == Qt::Key_Down && !podpowiedzNazwDost_->popup()->isVisible()) {
        // The drop-down of every supplier name that starts with the text.
        podpowiedzNazwDost_->setCompletionPrefix(eNazwaDost_->text());
        podpowiedzNazwDost_->complete();
        return true;
    }
    return false;
}

// ------------------------------------------------------------------ criteria and search

void TKmxMain::PobierzKryteriaDost(TsDostawca& kryteria, bool zeroFill) {
    if (zeroFill) kryteria = TsDostawca{};
    kryteria.nazwa.setUtf8(eNazwaDost_->text().toStdString());
    if (dblBranza_->currentIndex() >= 0) {
        kryteria.idBranzy = static_cast<std::int32_t>(dblBranza_->currentData().toLongLong());
    }
    kryteria.miejscowosc.setUtf8(eMiejscowosc_->text().toStdString());
    if (dblWojew_->currentIndex() >= 0) {
        kryteria.idWojewodztwa = static_cast<std::int32_t>(dblWojew_->currentData().toLongLong());
    }
}

WynikZapytania TKmxMain::WykonajZapytanieDost(const std::string& select, std::int32_t& count) {
    PokazCzekaj(kWyszukiwanieDostawcow, false);
    count = 0;
    data::DataSet& ds = tdm_->QWybrDost;
    ds.close();
    std::string error;
    if (!ds.open(select + " ORDER BY idx_nazwa_prod", error)) {
        UstawOstatniBlad("Nie moża wykonać zapytania o dostawcę!\r\n" + error, -1);
        ZamknijCzekaj();
        return WynikZapytania::Blad;
    }
    ZamknijCzekaj();
    count = ds.recordCount();
    return count > 0 ? WynikZapytania::Sukces : WynikZapytania::Pusto;
}

void TKmxMain::pokazListeDostawcow() {
    pokazStrone(1, 1);
    PCDostawcyChange(1);
    pasek_->UstawIloscStron(liczbaStron(stanProgramu().IloscDostawcow, gridDost_->linesPerPage()));
    pasek_->UstawIloscPozycji(stanProgramu().IloscDostawcow);
    pasek_->UstawNumerStrony(1);
}

void TKmxMain::bSzukajDostClick() {
    StanProgramu& stan = stanProgramu();
    PokazCzekaj(kWyszukiwanieDostawcow, false);
    TsDostawca kryteria;
    PobierzKryteriaDost(kryteria, true);
    stan.SqlDostawcow = ZbudujZapytanieDostawcow(kryteria);
    gridDost_->setUpdatesEnabled(false);
    const WynikZapytania wynik = WykonajZapytanieDost(stan.SqlDostawcow, stan.IloscDostawcow);
    ZamknijCzekaj();
    switch (wynik) {
        case WynikZapytania::Sukces:
            pokazListeDostawcow();
            break;
        case WynikZapytania::Blad:
            // The goods of a supplier of the old list go with it.
            ZamknijQueryDostawcow();
            UstawPrzyciskMenuiZaklSzczTowDost(false);
            pokazKomunikat(QString::fromStdString(OstatniBlad().text), platform::MessageIcon::Error);
            break;
        case WynikZapytania::Pusto:
            pokazKomunikat(kNieZnalezionoDostawcow, platform::MessageIcon::Information);
            UstawPrzyciskMenuiZaklSzczTowDost(false);
            ZamknijQueryDostawcow();
            break;
    }
    gridDost_->setUpdatesEnabled(true);
    UstawPaneleSzczegolow();
    odswiezMenuWidoku();
}

void TKmxMain::APokazAllDostExecute() {
    StanProgramu& stan = stanProgramu();
    WyczyscKryteriaDost();
    TsDostawca kryteria;
    PobierzKryteriaDost(kryteria, true);
    stan.SqlDostawcow = ZbudujZapytanieDostawcow(kryteria);
    gridDost_->setUpdatesEnabled(false);
    const WynikZapytania wynik = WykonajZapytanieDost(stan.SqlDostawcow, stan.IloscDostawcow);
    switch (wynik) {
        case WynikZapytania::Blad:
            pokazKomunikat(QString::fromStdString(OstatniBlad().text), platform::MessageIcon::Error);
            break;
        case WynikZapytania::Pusto:
            pokazKomunikat(kNieZnalezionoDostawcow, platform::MessageIcon::Information);
            tdm_->QWybrDost.close();
            break;
        case WynikZapytania::Sukces:
            pokazListeDostawcow();
            break;
    }
    UstawPaneleSzczegolow();
    gridDost_->setUpdatesEnabled(true);
    odswiezMenuWidoku();
}

void TKmxMain::WyczyscKryteriaDost() {
    eNazwaDost_->clear();
    dblBranza_->setCurrentIndex(-1);
    eMiejscowosc_->clear();
    dblWojew_->setCurrentIndex(-1);
    // All four, the name included: an emptied name stays white.
    oznaczPolaDost();
    ZamknijQueryDostawcow();
    UstawPrzyciskMenuiZaklSzczTowDost(false);
    daneDost_->refresh();
    daneTow_->refresh();
    odswiezMenuWidoku();
}

void TKmxMain::bWyczyscKryteriaDostClick() {
    WyczyscKryteriaDost();
}

void TKmxMain::ZamknijQueryDostawcow() {
    tdm_->QWybrDost.close();
    tdm_->QWybrTowForDost.close();
    stanProgramu().IdDostawcyTowarow = 0;
}

// ------------------------------------------------------------------ one supplier's goods

std::int32_t TKmxMain::SzukajTowarowDostawcy(bool force) {
    StanProgramu& stan = stanProgramu();
    data::DataSet& dost = tdm_->QWybrDost;
    data::DataSet& towary = tdm_->QWybrTowForDost;
    // No supplier, no statement.
    if (!dost.active() || dost.isEmpty()) return 0;
    const auto id = static_cast<std::int32_t>(dost.value("ID_PRODUCENTA").asInt());
    if (id == stan.IdDostawcyTowarow && towary.active() && !force) return stan.IloscTowarowDostawcy;

    PokazCzekaj(kWyszukiwanieTowarow, false);
    std::int32_t count = 0;
    towary.close();
    std::string error;
    ++zapytaniaTowDost_;
    if (towary.open(data::ZapytanieTowarowDostawcy(id), error)) {
        if (!towary.isEmpty()) {
            towary.last();
            count = towary.recNo();
            towary.first();
        }
    } else {
        // Reported here; -1 keeps the caller from showing a list that is
        // not there (an old count would pass for success).
        ZamknijCzekaj();
        pokazKomunikat(QStringLiteral("Nie wykonano szukania towarów!"), platform::MessageIcon::Error);
        return -1;
    }
    ZamknijCzekaj();
    return count;
}

bool TKmxMain::PokazTowaryDostawcy() {
    StanProgramu& stan = stanProgramu();
    const std::int32_t count = SzukajTowarowDostawcy(false);
    stan.IloscTowarowDostawcy = std::max<std::int32_t>(count, 0);
    if (count <= 0) {
        stan.IdDostawcyTowarow = 0;
        if (count == 0) pokazKomunikat(kNieZnalezionoTowaru, platform::MessageIcon::Information);
        return false;
    }
    data::DataSet& dost = tdm_->QWybrDost;
    lblDostawcaListy_->setText(QString::fromStdString(dost.displayText("PRODUCENT.NAZWA")));
    zawartoscListyTowDost_->show();
    gridTowDost_->show();
    pasek_->UstawIloscStron(liczbaStron(count, gridTowDost_->linesPerPage()));
    pasek_->UstawIloscPozycji(count);
    pasek_->UstawNumerStrony(1);
    stan.IdDostawcyTowarow = static_cast<std::int32_t>(dost.value("ID_PRODUCENTA").asInt());
    return true;
}

// ------------------------------------------------------------------ list to details

void TKmxMain::otworzSzczegolyDostawcy() {
    if (ResultGrid::KliknietoTytul()) return;
    if (!tdm_->QWybrDost.active() || tdm_->QWybrDost.isEmpty()) return;
    pokazStrone(1, 2);
    PCDostawcyChange(2);
}

void TKmxMain::otworzSzczegolyTowaruDostawcy() {
    if (ResultGrid::KliknietoTytul()) return;
    if (!tdm_->QWybrTowForDost.active() || tdm_->QWybrTowForDost.isEmpty()) return;
    pokazStrone(1, 4);
    PCDostawcyChange(4);
}

}  // namespace kmx::app
