// The goods search screen of the main window: the criteria panel with its
// rules, the search and show-all flows, and the list of found goods.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <charconv>
#include <chrono>
#include <cmath>
#include <iterator>
#include <limits>
#include <system_error>

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
#include "editions/edition.h"

namespace kmx::app {

namespace {

const QColor kPoleWypelnione(226, 226, 226);
constexpr int kWysokoscPola = 22;

// The rows of the goods criteria panel, top to bottom. The producer-prices
// panel puts the two category boxes beside the price and has the supplier
// rows of the advanced search; the RMS panel has a row of three category
// buttons and nothing of suppliers.
enum class Wiersz {
    Nazwa,
    OdPoczatku,
    Indeks,
    Grupa,
    Cena,
    CenaIKategorie,
    Kategorie,
    Dostawca,
    Wojewodztwo,
    Miasto
};
constexpr Wiersz kWierszeTowaru[] = {Wiersz::Nazwa,       Wiersz::OdPoczatku,     Wiersz::Indeks,
                                     Wiersz::Grupa,       Wiersz::CenaIKategorie, Wiersz::Dostawca,
                                     Wiersz::Wojewodztwo, Wiersz::Miasto};
constexpr Wiersz kWierszeRms[] = {Wiersz::Nazwa, Wiersz::OdPoczatku, Wiersz::Indeks,
                                  Wiersz::Grupa, Wiersz::Cena,       Wiersz::Kategorie};
// Heights of the criteria group: simple and advanced search, and the RMS panel.
constexpr int kWysokoscKryteriow = 170;
constexpr int kWysokoscKryteriowZaawans = 280;
constexpr int kWysokoscKryteriowRms = 200;

// The columns of the found goods.
struct KolumnaListy {
    const char* tytul;
    const char* pole;
    int szerokosc;
    bool doPrawej;
};
constexpr KolumnaListy kKolumnyTowarow[] = {
    {"Nazwa", "towar.NAZWA", 357, false},
    {"J.m.", "JEDNOSTKA_MIARY.NAZWA", 26, false},
    {"Cena netto za j.m.", "CENA_JEDNOSTKOWA", 106, true},
    {"Waluta", "WALUTA.SYMBOL", 49, false},
    {"Indeks KMB/ETO", "INDEKS_ETO", 106, false},
    {"M/S", "TYP_RMS", 41, false},
    {"Nazwa Dostawcy", "producent.NAZWA", 157, false},
};
// The fourth column is the second price, retitled or hidden by the category.
constexpr KolumnaListy kKolumnyRms[] = {
    {"Nazwa", "towar.NAZWA", 352, false},
    {"J.m.", "JEDNOSTKA_MIARY.NAZWA", 24, false},
    {"Cena netto za j.m.", "CENA_JEDNOSTKOWA", 109, true},
    {"Cena z KZ", "CENA_NARZUT", 66, true},
    {"Waluta", "WALUTA.SYMBOL", 44, false},
    {"Indeks KMB/ETO", "INDEKS_ETO", 97, false},
    {"RMS", "TYP_RMS", 38, false},
    {"Źródło", "NAZWA_ORG_PROD", 181, false},
};
constexpr int kKolumnaCenyDrugiej = 3;

bool kategorieRms() {
    return edition::biezaca().kategorie == edition::Kategorie::RobociznaMaterialySprzet;
}

}  // namespace

// ------------------------------------------------------------------ pure rules

LiczbaZTekstu TekstNaLiczbe(const QString& text) {
    LiczbaZTekstu result;
    const QString trimmed = text.trimmed();
    const QString invalid = QStringLiteral("'%1' nie jest poprawną liczbą").arg(text);
    // "," is the decimal separator; a "." is no separator here.
    if (trimmed.isEmpty() || trimmed.contains(QLatin1Char('.'))) {
        result.error = invalid;
        return result;
    }
    QString plain = trimmed;
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    const QByteArray bytes = plain.toLatin1();
    if (plain.contains(QChar(0xFFFD)) || bytes.contains('?')) {
        result.error = invalid;
        return result;
    }
    double value = 0;
    const char* begin = bytes.constData();
    const char* end = begin + bytes.size();
    const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range ||
        (ec == std::errc() && ptr == end &&
         (!std::isfinite(value) ||
          std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())))) {
        result.error = QStringLiteral("'%1' leży poza zakresem liczb").arg(text);
        return result;
    }
    if (ec != std::errc() || ptr != end) {
        result.error = invalid;
        return result;
    }
    result.ok = true;
    result.value = static_cast<float>(value);
    return result;
}

KlawiszCeny OcenKlawiszCeny(const QString& typed, const QString& currentText) {
    if (typed.isEmpty()) return KlawiszCeny::Przyjmij;
    bool comma = currentText.contains(QLatin1Char(','));
    for (const QChar c : typed) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) continue;
        if (c == QLatin1Char('\b') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
            c == QLatin1Char('\n'))
            continue;
        if (c == QLatin1Char(',')) {
            if (comma) return KlawiszCeny::OdrzucCicho;
            comma = true;
            continue;
        }
        return KlawiszCeny::OdrzucZKomunikatem;
    }
    return KlawiszCeny::Przyjmij;
}

QString KolumnaSortowaniaTowarow(const QString& field) {
    const QString f = field.toUpper();
    if (f == QLatin1String("TOWAR.NAZWA")) return QStringLiteral("idx_NAZWA");
    if (f == QLatin1String("JEDNOSTKA_MIARY.NAZWA")) return QStringLiteral("idx_jedn_miary");
    if (f == QLatin1String("INDEKS_ETO")) return QStringLiteral("idx_indeks_eto");
    if (f == QLatin1String("PRODUCENT.NAZWA")) return QStringLiteral("idx_nazwa_prod");
    return {};
}

QString KolumnaSortowaniaRms(const QString& field) {
    if (field.toUpper() == QLatin1String("PRODUCENT.NAZWA")) return {};
    return KolumnaSortowaniaTowarow(field);
}

// ------------------------------------------------------------------ building

QWidget* TKmxMain::utworzStroneSzukaniaTowarow() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabTowSzuk"));
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(2, 2, 2, 2);
    auto* frame = new QGroupBox(edition::tekst(&edition::Edycja::ramkaSzukania), page);
    frame->setObjectName(QStringLiteral("GrBKryteriaTow"));
    pageLayout->addWidget(frame);
    ramkaSzukTow_ = frame;
    frame->installEventFilter(this);

    GrBSzukTow_ = new QGroupBox(edition::tekst(&edition::Edycja::grupaKryteriow), frame);
    GrBSzukTow_->setObjectName(QStringLiteral("GrBSzukTow"));
    GrBSzukTow_->setFixedSize(420, kWysokoscKryteriow);
    auto* grid = new QGridLayout(GrBSzukTow_);
    grid->setContentsMargins(10, 14, 10, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(5);
    grid->setColumnStretch(1, 1);

    const auto etykieta = [this](const char* name, const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, GrBSzukTow_);
        label->setObjectName(QString::fromLatin1(name));
        label->setBuddy(buddy);
        return label;
    };
    const auto pole = [](auto* field, const char* name) {
        field->setObjectName(QString::fromLatin1(name));
        field->setFixedHeight(kWysokoscPola);
        return field;
    };
    const auto lista = [this, &pole](const char* name, int popupWidth) {
        auto* combo = pole(new QComboBox(GrBSzukTow_), name);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(8);
        combo->setMaxVisibleItems(16);
        combo->view()->setMinimumWidth(popupWidth);
        combo->installEventFilter(this);
        return combo;
    };
    const auto przyciskCzyszczenia = [this](const char* name, const QString& hint) {
        auto* button = new QPushButton(GrBSzukTow_);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(style()->standardIcon(QStyle::SP_LineEditClearButton));
        button->setToolTip(hint);
        button->setFixedSize(kWysokoscPola, kWysokoscPola);
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    };

    // The fields, then the rows of the edition put them in the grid.
    eNazwaTow_ = pole(new QLineEdit(GrBSzukTow_), "eNazwaTow");
    QLabel* lblNazwa = etykieta("lblNazwaTow", QStringLiteral("Nazwa:"), eNazwaTow_);
    chbOdPoczNazwy_ = new QCheckBox(QStringLiteral("od początku nazwy"), GrBSzukTow_);
    chbOdPoczNazwy_->setObjectName(QStringLiteral("chbOdPoczNazwy"));
    eIndeksETO_ = pole(new QLineEdit(GrBSzukTow_), "eIndeksETO");
    QLabel* lblIndeks = etykieta("lblIndeksETO", QStringLiteral("Indeks KMB/ETO:"), eIndeksETO_);
    cbGrupaTow_ = lista("cbGrupaTow", 600);
    bWyczyscGrTow_ = przyciskCzyszczenia("bWyczyscGrTow", QStringLiteral("Wyczyść grupę towarową"));
    lblGrupaTow_ = etykieta("lblGrupaTow", QStringLiteral("Grupa towarowa:"), cbGrupaTow_);
    eCenajednDo_ = pole(new QLineEdit(GrBSzukTow_), "eCenajednDo");
    eCenajednDo_->setFixedWidth(110);
    eCenajednDo_->installEventFilter(this);
    QLabel* lblCena = etykieta("lblCenajednDo", QStringLiteral("Cena do za j.m.:"), eCenajednDo_);

    // The supplier criteria of the advanced search; the RMS panel keeps them
    // empty and out of sight, so the criteria record never carries them.
    eTNazwaDost_ = pole(new QLineEdit(GrBSzukTow_), "eTNazwaDost");
    eTNazwaDost_->installEventFilter(this);
    podpowiedzDostawcow_ = new QCompleter(this);
    podpowiedzDostawcow_->setObjectName(QStringLiteral("podpowiedzDostawcow"));
    podpowiedzDostawcow_->setModel(new QStringListModel(podpowiedzDostawcow_));
    podpowiedzDostawcow_->setCaseSensitivity(Qt::CaseInsensitive);
    podpowiedzDostawcow_->setFilterMode(Qt::MatchStartsWith);
    podpowiedzDostawcow_->setCompletionMode(QCompleter::PopupCompletion);
    podpowiedzDostawcow_->setMaxVisibleItems(16);
    podpowiedzDostawcow_->popup()->setMinimumWidth(400);
    eTNazwaDost_->setCompleter(podpowiedzDostawcow_);
    QLabel* lblNazwaDost = etykieta("lblTNazwaDost", QStringLiteral("Nazwa dostawcy:"), eTNazwaDost_);
    cbTWojewodztwo_ = lista("cbTWojewodztwo", 0);
    bWyczyscWojewodztwo_ = przyciskCzyszczenia("bWyczyscWojewodztwo", QStringLiteral("Wyczyść województwo"));
    QLabel* lblWojewodztwo = etykieta("lblTWojewodztwo", QStringLiteral("Województwo:"), cbTWojewodztwo_);
    eTMiastoDost_ = pole(new QLineEdit(GrBSzukTow_), "eTMiastoDost");
    QLabel* lblMiasto = etykieta("lblTMiastoDost", QStringLiteral("Miejscowość:"), eTMiastoDost_);
    polaZaawansowane_ = {lblNazwaDost,         eTNazwaDost_, lblWojewodztwo, cbTWojewodztwo_,
                         bWyczyscWojewodztwo_, lblMiasto,    eTMiastoDost_};

    // The category: two check boxes, both checked, or three buttons with
    // "Materiały" chosen.
    const auto kategoria = [](auto* box, const char* name, const char* text, bool checked) {
        box->setText(QString::fromUtf8(text));
        box->setObjectName(QString::fromLatin1(name));
        box->setChecked(checked);
        return box;
    };
    if (kategorieRms()) {
        rbMaterialy_ = kategoria(new QRadioButton(GrBSzukTow_), "rbMaterialy", "Materiały", true);
        rbSprzet_ = kategoria(new QRadioButton(GrBSzukTow_), "rbSprzet", "Sprzęt", false);
        rbRobocizna_ = kategoria(new QRadioButton(GrBSzukTow_), "rbRobocizna", "Robocizna", false);
    } else {
        chbMaterialy_ = kategoria(new QCheckBox(GrBSzukTow_), "chbMaterialy", "materiały", true);
        chbSprzet_ = kategoria(new QCheckBox(GrBSzukTow_), "chbSprzet", "sprzęt", true);
    }

    const auto cenaW = [&](bool zKategoriami) {
        auto* box = new QHBoxLayout;
        box->setSpacing(10);
        box->addWidget(eCenajednDo_);
        box->addStretch(1);
        if (zKategoriami) {
            box->addWidget(chbMaterialy_);
            box->addWidget(chbSprzet_);
        }
        return box;
    };
    int row = 0;
    const auto wiersze = kategorieRms() ? std::begin(kWierszeRms) : std::begin(kWierszeTowaru);
    const auto koniec = kategorieRms() ? std::end(kWierszeRms) : std::end(kWierszeTowaru);
    for (auto it = wiersze; it != koniec; ++it, ++row) {
        switch (*it) {
            case Wiersz::Nazwa:
                grid->addWidget(lblNazwa, row, 0);
                grid->addWidget(eNazwaTow_, row, 1, 1, 2);
                break;
            case Wiersz::OdPoczatku:
                grid->addWidget(chbOdPoczNazwy_, row, 1, 1, 2);
                break;
            case Wiersz::Indeks:
                grid->addWidget(lblIndeks, row, 0);
                grid->addWidget(eIndeksETO_, row, 1, 1, 2);
                break;
            case Wiersz::Grupa:
                grid->addWidget(lblGrupaTow_, row, 0);
                grid->addWidget(cbGrupaTow_, row, 1);
                grid->addWidget(bWyczyscGrTow_, row, 2);
                break;
            case Wiersz::Cena:
            case Wiersz::CenaIKategorie:
                grid->addWidget(lblCena, row, 0);
                grid->addLayout(cenaW(*it == Wiersz::CenaIKategorie), row, 1, 1, 2);
                break;
            case Wiersz::Kategorie: {
                auto* box = new QHBoxLayout;
                box->setSpacing(14);
                for (QRadioButton* b : {rbMaterialy_, rbSprzet_, rbRobocizna_}) box->addWidget(b);
                box->addStretch(1);
                grid->addLayout(box, row, 1, 1, 2);
                break;
            }
            case Wiersz::Dostawca:
                grid->addWidget(lblNazwaDost, row, 0);
                grid->addWidget(eTNazwaDost_, row, 1, 1, 2);
                break;
            case Wiersz::Wojewodztwo:
                grid->addWidget(lblWojewodztwo, row, 0);
                grid->addWidget(cbTWojewodztwo_, row, 1);
                grid->addWidget(bWyczyscWojewodztwo_, row, 2);
                break;
            case Wiersz::Miasto:
                grid->addWidget(lblMiasto, row, 0);
                grid->addWidget(eTMiastoDost_, row, 1, 1, 2);
                break;
        }
    }
    grid->setRowStretch(row, 1);
    if (!edition::biezaca().katalogDostawcow) {
        for (QWidget* w : polaZaawansowane_) w->hide();
        polaZaawansowane_.clear();
    }

    // The button row and the instruction line under it.
    panelPrzyciski_ = new QWidget(frame);
    panelPrzyciski_->setObjectName(QStringLiteral("panelPrzyciski"));
    auto* buttons = new QHBoxLayout(panelPrzyciski_);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(8);
    const auto przycisk = [this](const char* name, const QString& text) {
        auto* button = new QPushButton(text, panelPrzyciski_);
        button->setObjectName(QString::fromLatin1(name));
        button->setMinimumWidth(96);
        return button;
    };
    bSzukajTow_ = przycisk("bSzukajTow", QStringLiteral("Szukaj"));
    bSzukajTow_->setDefault(true);
    BWyczyscKrytSzukTow_ = przycisk("BWyczyscKrytSzukTow", QStringLiteral(" Wyczyść kryteria"));
    bPokazWszystkie_ = przycisk("bPokazAllTowar", APokazAllTowar->text());
    bSzukZaawans_ = przycisk("bSzukZaawans", QStringLiteral(" Wyszukiwanie zaawans."));
    for (QPushButton* b : {bSzukajTow_, BWyczyscKrytSzukTow_, bPokazWszystkie_, bSzukZaawans_})
        buttons->addWidget(b);
    // The advanced search searches by supplier: none without suppliers.
    bSzukZaawans_->setVisible(edition::biezaca().katalogDostawcow);

    panelInstrukcji_ = new QWidget(frame);
    panelInstrukcji_->setObjectName(QStringLiteral("panelInstrukcjiTow"));
    auto* instr = new QHBoxLayout(panelInstrukcji_);
    instr->setContentsMargins(0, 0, 0, 0);
    instr->setSpacing(6);
    auto* instrText = new QLabel(edition::tekst(&edition::Edycja::etykietaInstrukcji), panelInstrukcji_);
    instrText->setObjectName(QStringLiteral("lblInstrukcjaTow"));
    auto* instrLink = new QLabel(QStringLiteral("<a href=\"#\">kliknij</a>"), panelInstrukcji_);
    instrLink->setObjectName(QStringLiteral("lblKliknijTow"));
    instrLink->setTextFormat(Qt::RichText);
    instrLink->setCursor(Qt::PointingHandCursor);
    instr->addWidget(instrText);
    instr->addWidget(instrLink);

    // Rules of the fields.
    for (QLineEdit* e : {eNazwaTow_, eIndeksETO_, eCenajednDo_, eTNazwaDost_, eTMiastoDost_}) {
        connect(e, &QLineEdit::textChanged, this, [this, e] { oznaczPole(e); });
        connect(e, &QLineEdit::returnPressed, this, [this, e] {
            if (e == eTNazwaDost_ && pominEnter_) return;
            bSzukajTow_->click();
        });
    }
    for (QComboBox* c : {cbGrupaTow_, cbTWojewodztwo_}) {
        connect(c, &QComboBox::currentIndexChanged, this, [this, c] { oznaczPole(c); });
    }
    connect(podpowiedzDostawcow_, qOverload<const QString&>(&QCompleter::activated), this, [this] {
        pominEnter_ = true;
        QTimer::singleShot(0, this, [this] { pominEnter_ = false; });
    });
    if (kategorieRms()) {
        for (QRadioButton* b : {rbMaterialy_, rbSprzet_, rbRobocizna_}) {
            connect(b, &QRadioButton::toggled, this, [this](bool on) {
                if (on) ZmianaKategorii();
            });
        }
    } else {
        for (QCheckBox* box : {chbMaterialy_, chbSprzet_}) {
            connect(box, &QCheckBox::clicked, this, [this, box] { kliknietoTyp(box); });
        }
    }
    connect(bWyczyscGrTow_, &QPushButton::clicked, this, [this] {
        cbGrupaTow_->setCurrentIndex(-1);
        oznaczPole(cbGrupaTow_);
    });
    connect(bWyczyscWojewodztwo_, &QPushButton::clicked, this, [this] {
        cbTWojewodztwo_->setCurrentIndex(-1);
        oznaczPole(cbTWojewodztwo_);
    });
    connect(bSzukajTow_, &QPushButton::clicked, this, &TKmxMain::bSzukajTowClick);
    connect(BWyczyscKrytSzukTow_, &QPushButton::clicked, this, &TKmxMain::BWyczyscKrytSzukTowClick);
    connect(bPokazWszystkie_, &QPushButton::clicked, APokazAllTowar, &QAction::trigger);
    connect(bSzukZaawans_, &QPushButton::clicked, this, &TKmxMain::bSzukZaawansClick);
    connect(instrLink, &QLabel::linkActivated, this,
            [this] { pokazInstrukcje(QString::fromUtf8(kInstrukcjaMS)); });

    ustawTrybSzukania(false);
    oznaczWszystkiePola();
    return page;
}

QWidget* TKmxMain::utworzStroneZnalezionychTowarow() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabTowZnal"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    QLabel* link = nullptr;
    naglowekTow_ = utworzNaglowekListy(edition::tekst(&edition::Edycja::ramkaListy), "GrBListaTow", &link);
    layout->addWidget(naglowekTow_);
    connect(link, &QLabel::linkActivated, this, [this] {
        pokazStrone(0, 0);
        PCProduktyChange(0);
    });

    std::vector<GridColumn> columns;
    const auto dodaj = [&columns](const auto& opis) {
        for (const KolumnaListy& k : opis) {
            GridColumn c{QString::fromUtf8(k.tytul), QString::fromLatin1(k.pole), k.szerokosc};
            if (k.doPrawej) c.alignment = Qt::AlignRight | Qt::AlignVCenter;
            columns.push_back(std::move(c));
        }
    };
    if (kategorieRms())
        dodaj(kKolumnyRms);
    else
        dodaj(kKolumnyTowarow);
    // No supplier catalogue, no sorting by supplier name.
    gridTow_ = new ResultGrid(
        tdm_->QWybrTow, std::move(columns),
        edition::biezaca().katalogDostawcow ? &KolumnaSortowaniaTowarow : &KolumnaSortowaniaRms, page);
    gridTow_->setObjectName(QStringLiteral("DBGridTowary"));
    gridTow_->setTekstSortowania(edition::tekst(&edition::Edycja::czekanieSortowania));
    layout->addWidget(gridTow_, 1);
    connect(gridTow_, &ResultGrid::rowActivated, this, [this] { otworzSzczegolyZListy(); });
    connect(gridTow_, &ResultGrid::enterPressed, this, [this] { otworzSzczegolyZListy(); });

    pasek_ = new PagingBar(naglowekTow_);
    pasek_->setObjectName(QStringLiteral("PasekStron"));
    pasek_->przeniesDo(naglowekTow_, false);
    pasek_->setCel([this] {
        PagingBar::Cel cel;
        cel.set = ActiveResultSet();
        if (ResultGrid* g = AktywnaSiatka()) cel.linesPerPage = g->linesPerPage();
        return cel;
    });
    return page;
}

void TKmxMain::wypelnijListy() {
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
    wypelnij(cbGrupaTow_, tdm_->TGrupa_Towarowa, "ID_GRUPY", "NAZWA");
    wypelnij(cbTWojewodztwo_, tdm_->TWojewodztwo, "ID_WOJEWODZTWA", "NAZWA");

    QStringList nazwy;
    data::DataSet& dostawcy = tdm_->TDostawca;
    const int fn = dostawcy.fieldIndex("NazwaD");
    if (dostawcy.active() && fn >= 0) {
        nazwy.reserve(dostawcy.recordCount());
        for (int row = 0; row < dostawcy.recordCount(); ++row) {
            nazwy.append(QString::fromStdString(dostawcy.displayText(row, fn)));
        }
    }
    static_cast<QStringListModel*>(podpowiedzDostawcow_->model())->setStringList(nazwy);
    oznaczWszystkiePola();
}

// ------------------------------------------------------------------ field rules

void TKmxMain::oznaczPole(QWidget* field) {
    pokolorujPole(field);
    if (kategorieRms()) RegulaKryteriowRms();
}

void TKmxMain::pokolorujPole(QWidget* field) {
    bool filled = false;
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        filled = !edit->text().isEmpty();
    } else if (auto* combo = qobject_cast<QComboBox*>(field)) {
        filled = combo->currentIndex() >= 0;
    }
    QColor color = filled ? kPoleWypelnione : QColor(Qt::white);
    if (!field->isEnabled()) color = palette().color(QPalette::Window);
    QPalette p = field->palette();
    p.setColor(QPalette::Base, color);
    p.setColor(QPalette::Button, color);
    field->setPalette(p);
}

void TKmxMain::oznaczWszystkiePola() {
    for (QWidget* w : std::initializer_list<QWidget*>{eNazwaTow_, eIndeksETO_, cbGrupaTow_, eCenajednDo_,
                                                      eTNazwaDost_, cbTWojewodztwo_, eTMiastoDost_}) {
        oznaczPole(w);
    }
}

QString TKmxMain::TypRmsKryterium() const {
    if (kategorieRms()) {
        if (rbSprzet_->isChecked()) return QStringLiteral("S");
        if (rbRobocizna_->isChecked()) return QStringLiteral("R");
        return QStringLiteral("M");
    }
    const bool m = chbMaterialy_->isChecked();
    const bool s = chbSprzet_->isChecked();
    return m && !s ? QStringLiteral("M") : (s && !m ? QStringLiteral("S") : QString());
}

void TKmxMain::ZmianaKategorii() {
    if (!kategorieRms()) return;
    const QString typ = TypRmsKryterium();
    const bool materialy = typ == QLatin1String("M");
    const bool sprzet = typ == QLatin1String("S");
    // Groups exist for materials only.
    cbGrupaTow_->setEnabled(materialy);
    if (!materialy) cbGrupaTow_->setCurrentIndex(-1);
    pokolorujPole(cbGrupaTow_);
    // The second price: none for equipment, gross price for labour.
    gridTow_->setColumnHidden(kKolumnaCenyDrugiej, sprzet);
    gridTow_->dataModel()->setTitle(kKolumnaCenyDrugiej, typ == QLatin1String("R")
                                                             ? QStringLiteral("Cena brutto")
                                                             : QStringLiteral("Cena z KZ"));
    daneTow_->UstawKategorie(typ.at(0).toLatin1());
    RegulaKryteriowRms();
}

void TKmxMain::RegulaKryteriowRms() {
    if (!rbMaterialy_) return;
    if (rbSprzet_->isChecked()) {
        lblGrupaTow_->setEnabled(false);
        bWyczyscGrTow_->setEnabled(false);
    } else if (rbMaterialy_->isChecked()) {
        lblGrupaTow_->setEnabled(true);
        bWyczyscGrTow_->setEnabled(true);
        if (!cbGrupaTow_->isEnabled()) {
            cbGrupaTow_->setEnabled(true);
            pokolorujPole(cbGrupaTow_);
        }
    }
}

void TKmxMain::kliknietoTyp(QCheckBox* clicked) {
    if (!chbMaterialy_->isChecked() && !chbSprzet_->isChecked()) clicked->setChecked(true);
    const bool materialy = chbMaterialy_->isChecked();
    cbGrupaTow_->setEnabled(materialy);
    if (!materialy) cbGrupaTow_->setCurrentIndex(-1);
    oznaczPole(cbGrupaTow_);
}

bool TKmxMain::filtrPolSzukania(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == eCenajednDo_) {
        // Keys without a character (arrows, Delete) and editing keys with
        // Ctrl pass; characters follow the price rule.
        const QString typed = key->text();
        if (typed.isEmpty() || (key->modifiers() & Qt::ControlModifier) || typed.at(0).unicode() < 0x20)
            return false;
        switch (OcenKlawiszCeny(typed, eCenajednDo_->text())) {
            case KlawiszCeny::Przyjmij:
                return false;
            case KlawiszCeny::OdrzucCicho:
                return true;
            case KlawiszCeny::OdrzucZKomunikatem:
                platform::dialogs().message(this, QStringLiteral("Uwaga"),
                                            QStringLiteral("Wprowadź cyfrę lub przecinek!"),
                                            platform::MessageIcon::Error);
                return true;
        }
    }
    if (watched == cbGrupaTow_ || watched == cbTWojewodztwo_) {
        auto* combo = static_cast<QComboBox*>(watched);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !combo->view()->isVisible()) {
            bSzukajTow_->click();
            return true;
        }
    }
    if (watched == eTNazwaDost_ && key->key() == Qt::Key_Down &&
        !podpowiedzDostawcow_->popup()->isVisible()) {
        // The drop-down of every supplier name that starts with the text.
        podpowiedzDostawcow_->setCompletionPrefix(eTNazwaDost_->text());
        podpowiedzDostawcow_->complete();
        return true;
    }
    return false;
}

void TKmxMain::ustawTrybSzukania(bool advanced) {
    if (!edition::biezaca().katalogDostawcow) advanced = false;
    zaawansowany_ = advanced;
    GrBSzukTow_->setFixedSize(420, kategorieRms() ? kWysokoscKryteriowRms
                                   : advanced     ? kWysokoscKryteriowZaawans
                                                  : kWysokoscKryteriow);
    for (QWidget* w : polaZaawansowane_) w->setVisible(advanced);
    eNazwaTow_->setFocus();
}

void TKmxMain::bSzukZaawansClick() {
    ustawTrybSzukania(!zaawansowany_);
    bSzukZaawans_->setText(zaawansowany_ ? QStringLiteral("W&yszukiwanie proste")
                                         : QStringLiteral("W&yszukiwanie zaawans."));
    FormResize();
}

// ------------------------------------------------------------------ criteria and search

bool TKmxMain::PobierzKryteriaTow(TsTowar& kryteria, bool zeroFill, QString* error) {
    if (zeroFill) kryteria = TsTowar{};
    if (cbTWojewodztwo_->currentIndex() >= 0) {
        kryteria.idWojewodztwa = static_cast<std::int32_t>(cbTWojewodztwo_->currentData().toLongLong());
    }
    if (!eCenajednDo_->text().isEmpty()) {
        const LiczbaZTekstu cena = TekstNaLiczbe(eCenajednDo_->text());
        if (!cena.ok) {
            if (error) *error = cena.error;
            return false;
        }
        kryteria.cenaJednostkowaDo = cena.value;
    }
    kryteria.dataCenyOd = 0;
    kryteria.dataCenyDo = 0;
    kryteria.dataModyfikacjiOd = 0;
    kryteria.dataModyfikacjiDo = 0;
    if (cbGrupaTow_->currentIndex() >= 0) {
        kryteria.idGrupy = static_cast<std::int32_t>(cbGrupaTow_->currentData().toLongLong());
    }
    kryteria.nazwa.setUtf8(eNazwaTow_->text().toStdString());
    kryteria.indeksEto.setUtf8(eIndeksETO_->text().toStdString());
    kryteria.typRms.setUtf8(TypRmsKryterium().toStdString());
    kryteria.nazwaProducenta.setUtf8(eTNazwaDost_->text().toStdString());
    kryteria.miejscowosc.setUtf8(eTMiastoDost_->text().toStdString());
    kryteria.odPoczatkuNazwy = chbOdPoczNazwy_->isChecked();
    if (error) error->clear();
    return true;
}

WynikZapytania TKmxMain::WykonajZapytanieTow(const std::string& select, std::int32_t& count) {
    PokazCzekaj(edition::tekst(&edition::Edycja::czekanieSzukania), false);
    count = 0;
    data::DataSet& ds = tdm_->QWybrTow;
    ds.close();
    std::string error;
    if (!ds.open(select + " ORDER BY idx_NAZWA", error)) {
        UstawOstatniBlad(edition::biezaca().bladZapytania + error, -1);
        ZamknijCzekaj();
        return WynikZapytania::Blad;
    }
    // The rows known so far: a large result shows its first page now and
    // learns the rest while the window is idle.
    count = ds.knownCount();
    ZamknijCzekaj();
    if (count == 0) return WynikZapytania::Pusto;
    if (!ds.complete()) zacznijDoczytywanie();
    return WynikZapytania::Sukces;
}

void TKmxMain::zacznijDoczytywanie() {
    if (!doczytywanie_) {
        doczytywanie_ = new QTimer(this);
        doczytywanie_->setInterval(0);
        connect(doczytywanie_, &QTimer::timeout, this, &TKmxMain::doczytajTowary);
    }
    doczytywanie_->start();
}

bool TKmxMain::doczytywanieTrwa() const {
    return doczytywanie_ && doczytywanie_->isActive();
}

void TKmxMain::doczytajTowary() {
    data::DataSet& ds = tdm_->QWybrTow;
    if (!ds.active()) {
        if (doczytywanie_) doczytywanie_->stop();
        return;
    }
    // A slice short enough that typing and scrolling stay smooth. (Last,
    // a sort or an export may have read the rest already.)
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(15);
    while (!ds.complete()) {
        ds.fetchMore(4096);
        if (std::chrono::steady_clock::now() >= deadline) break;
    }
    StanProgramu& stan = stanProgramu();
    stan.IloscTowarow = ds.knownCount();
    if (AktywnaSiatka() == gridTow_) {
        pasek_->UstawIloscPozycji(stan.IloscTowarow);
        tdm_->PokazNumerStronyBiez();
        UstawPrzyciskiStron();
    }
    if (ds.complete()) {
        if (doczytywanie_) doczytywanie_->stop();
        if (!ds.loadError().empty()) {
            UstawOstatniBlad(edition::biezaca().bladZapytania + ds.loadError(), -1);
            pokazKomunikat(QString::fromStdString(OstatniBlad().text), platform::MessageIcon::Error);
        }
    }
}

void TKmxMain::pokazListeTowarow() {
    pokazStrone(0, 1);
    PCProduktyChange(1);
    pasek_->UstawIloscStron(ObliczIloscStronwGridzie());
    pasek_->UstawIloscPozycji(stanProgramu().IloscTowarow);
    pasek_->UstawNumerStrony(1);
}

void TKmxMain::bSzukajTowClick() {
    StanProgramu& stan = stanProgramu();
    PokazCzekaj(edition::tekst(&edition::Edycja::czekanieSzukania), false);
    stan.SeparatorDziesietny = QLatin1Char(',');
    QString blad;
    const bool ok = PobierzKryteriaTow(stan.KryteriaTowaru, true, &blad);
    if (!ok) {
        // A bound that is no number stops the search: the record would hold
        // only the province and the list would not match the panel.
        ZamknijCzekaj();
        pokazKomunikat(QStringLiteral("Błędna liczba\r") + blad, platform::MessageIcon::Error);
        return;
    }
    stan.SqlTowarow = ZbudujZapytanieTowarow(stan.KryteriaTowaru, 0);
    gridTow_->setUpdatesEnabled(false);
    const WynikZapytania wynik = WykonajZapytanieTow(stan.SqlTowarow, stan.IloscTowarow);
    ZamknijCzekaj();
    switch (wynik) {
        case WynikZapytania::Sukces:
            pokazListeTowarow();
            break;
        case WynikZapytania::Pusto:
            pokazKomunikat(edition::tekst(&edition::Edycja::nieZnaleziono),
                           platform::MessageIcon::Information);
            tdm_->QWybrTow.close();
            break;
        case WynikZapytania::Blad:
            pokazKomunikat(QString::fromStdString(OstatniBlad().text), platform::MessageIcon::Error);
            break;
    }
    gridTow_->setUpdatesEnabled(true);
    odswiezMenuWidoku();
}

void TKmxMain::APokazAllTowarExecute() {
    StanProgramu& stan = stanProgramu();
    WyczyscKryteriaTow();
    // Every goods item of the checked kinds; the criteria of this list are
    // kept so that the enquiry and the export act on what is shown.
    TsTowar kryteria{};
    kryteria.typRms.setUtf8(TypRmsKryterium().toStdString());
    stan.KryteriaTowaru = kryteria;
    stan.SqlTowarow = ZbudujZapytanieTowarow(kryteria, 0);
    gridTow_->setUpdatesEnabled(false);
    const WynikZapytania wynik = WykonajZapytanieTow(stan.SqlTowarow, stan.IloscTowarow);
    switch (wynik) {
        case WynikZapytania::Blad:
            pokazKomunikat(QString::fromStdString(OstatniBlad().text), platform::MessageIcon::Error);
            break;
        case WynikZapytania::Pusto:
            pokazKomunikat(edition::tekst(&edition::Edycja::nieZnaleziono),
                           platform::MessageIcon::Information);
            tdm_->QWybrTow.close();
            break;
        case WynikZapytania::Sukces:
            pokazListeTowarow();
            break;
    }
    UstawPaneleSzczegolow();
    gridTow_->setUpdatesEnabled(true);
    odswiezMenuWidoku();
}

void TKmxMain::WyczyscKryteriaTow() {
    for (QLineEdit* e : GrBSzukTow_->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly)) e->clear();
    for (QComboBox* c : GrBSzukTow_->findChildren<QComboBox*>(Qt::FindDirectChildrenOnly))
        c->setCurrentIndex(-1);
    eTNazwaDost_->clear();
    oznaczWszystkiePola();
    tdm_->QWybrTow.close();
    daneTow_->refresh();
    daneDost_->refresh();
    odswiezMenuWidoku();
}

void TKmxMain::BWyczyscKrytSzukTowClick() {
    WyczyscKryteriaTow();
}

void TKmxMain::otworzSzczegolyZListy() {
    // Enter on this list keeps the title flag as it is, like a double click.
    if (ResultGrid::KliknietoTytul()) return;
    if (!tdm_->QWybrTow.active() || tdm_->QWybrTow.isEmpty()) return;
    pokazStrone(0, 2);
    PCProduktyChange(2);
}

}  // namespace kmx::app
