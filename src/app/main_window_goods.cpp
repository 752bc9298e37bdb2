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
#include <QStringListModel>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <charconv>
#include <cmath>
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

namespace kmx::app {

namespace {

const QColor kPoleWypelnione(226, 226, 226);
constexpr int kWysokoscPola = 22;
const QString kWyszukiwanieTowarow = QStringLiteral("Wyszukiwanie towarów...");
const QString kNieZnalezionoTowaru = QStringLiteral(
    "Nie znaleziono towaru. Sprawdź czy określiłeś właściwą kategorie wyszukiwania materiał/sprzęt");

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

// ------------------------------------------------------------------ building

QWidget* TKmxMain::utworzStroneSzukaniaTowarow() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabTowSzuk"));
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(2, 2, 2, 2);
    auto* frame = new QGroupBox(QStringLiteral(" SZUKANIE TOWARÓW - KRYTERIA WYBORU "), page);
    frame->setObjectName(QStringLiteral("GrBKryteriaTow"));
    pageLayout->addWidget(frame);
    ramkaSzukTow_ = frame;
    frame->installEventFilter(this);

    GrBSzukTow_ = new QGroupBox(QStringLiteral("  TOWAR  "), frame);
    GrBSzukTow_->setObjectName(QStringLiteral("GrBSzukTow"));
    GrBSzukTow_->setFixedSize(420, 170);
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
    const auto pole = [this](auto* field, const char* name) {
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

    eNazwaTow_ = pole(new QLineEdit(GrBSzukTow_), "eNazwaTow");
    grid->addWidget(etykieta("lblNazwaTow", QStringLiteral("Nazwa:"), eNazwaTow_), 0, 0);
    grid->addWidget(eNazwaTow_, 0, 1, 1, 2);

    chbOdPoczNazwy_ = new QCheckBox(QStringLiteral("od początku nazwy"), GrBSzukTow_);
    chbOdPoczNazwy_->setObjectName(QStringLiteral("chbOdPoczNazwy"));
    chbMaterialy_ = new QCheckBox(QStringLiteral("materiały"), GrBSzukTow_);
    chbMaterialy_->setObjectName(QStringLiteral("chbMaterialy"));
    chbMaterialy_->setChecked(true);
    chbSprzet_ = new QCheckBox(QStringLiteral("sprzęt"), GrBSzukTow_);
    chbSprzet_->setObjectName(QStringLiteral("chbSprzet"));
    chbSprzet_->setChecked(true);
    grid->addWidget(chbOdPoczNazwy_, 1, 1, 1, 2);

    eIndeksETO_ = pole(new QLineEdit(GrBSzukTow_), "eIndeksETO");
    grid->addWidget(etykieta("lblIndeksETO", QStringLiteral("Indeks KMB/ETO:"), eIndeksETO_), 2, 0);
    grid->addWidget(eIndeksETO_, 2, 1, 1, 2);

    cbGrupaTow_ = lista("cbGrupaTow", 600);
    bWyczyscGrTow_ = przyciskCzyszczenia("bWyczyscGrTow", QStringLiteral("Wyczyść grupę towarową"));
    grid->addWidget(etykieta("lblGrupaTow", QStringLiteral("Grupa towarowa:"), cbGrupaTow_), 3, 0);
    grid->addWidget(cbGrupaTow_, 3, 1);
    grid->addWidget(bWyczyscGrTow_, 3, 2);

    eCenajednDo_ = pole(new QLineEdit(GrBSzukTow_), "eCenajednDo");
    eCenajednDo_->setFixedWidth(110);
    eCenajednDo_->installEventFilter(this);
    // The two kinds share the price's row.
    auto* price = new QHBoxLayout;
    price->setSpacing(10);
    price->addWidget(eCenajednDo_);
    price->addStretch(1);
    price->addWidget(chbMaterialy_);
    price->addWidget(chbSprzet_);
    grid->addWidget(etykieta("lblCenajednDo", QStringLiteral("Cena do za j.m.:"), eCenajednDo_), 4, 0);
    grid->addLayout(price, 4, 1, 1, 2);

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
    grid->addWidget(lblNazwaDost, 5, 0);
    grid->addWidget(eTNazwaDost_, 5, 1, 1, 2);

    cbTWojewodztwo_ = lista("cbTWojewodztwo", 0);
    bWyczyscWojewodztwo_ = przyciskCzyszczenia("bWyczyscWojewodztwo", QStringLiteral("Wyczyść województwo"));
    QLabel* lblWojewodztwo = etykieta("lblTWojewodztwo", QStringLiteral("Województwo:"), cbTWojewodztwo_);
    grid->addWidget(lblWojewodztwo, 6, 0);
    grid->addWidget(cbTWojewodztwo_, 6, 1);
    grid->addWidget(bWyczyscWojewodztwo_, 6, 2);

    eTMiastoDost_ = pole(new QLineEdit(GrBSzukTow_), "eTMiastoDost");
    QLabel* lblMiasto = etykieta("lblTMiastoDost", QStringLiteral("Miejscowość:"), eTMiastoDost_);
    grid->addWidget(lblMiasto, 7, 0);
    grid->addWidget(eTMiastoDost_, 7, 1, 1, 2);
    grid->setRowStretch(8, 1);
    polaZaawansowane_ = {lblNazwaDost,         eTNazwaDost_, lblWojewodztwo, cbTWojewodztwo_,
                         bWyczyscWojewodztwo_, lblMiasto,    eTMiastoDost_};

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

    panelInstrukcji_ = new QWidget(frame);
    panelInstrukcji_->setObjectName(QStringLiteral("panelInstrukcjiTow"));
    auto* instr = new QHBoxLayout(panelInstrukcji_);
    instr->setContentsMargins(0, 0, 0, 0);
    instr->setSpacing(6);
    auto* instrText = new QLabel(QStringLiteral("Instrukcja importu i eksportu KALMAREX - CENY PRODUCENTÓW I "
                                                "DOSTAWCÓW M i S do programów kosztorysowych"),
                                 panelInstrukcji_);
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
    for (QCheckBox* box : {chbMaterialy_, chbSprzet_}) {
        connect(box, &QCheckBox::clicked, this, [this, box] { kliknietoTyp(box); });
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
    naglowekTow_ = utworzNaglowekListy(QStringLiteral(" LISTA WYSZUKANYCH TOWARÓW "), "GrBListaTow", &link);
    layout->addWidget(naglowekTow_);
    connect(link, &QLabel::linkActivated, this, [this] {
        pokazStrone(0, 0);
        PCProduktyChange(0);
    });

    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    std::vector<GridColumn> columns = {
        {QStringLiteral("Nazwa"), QStringLiteral("towar.NAZWA"), 357},
        {QStringLiteral("J.m."), QStringLiteral("JEDNOSTKA_MIARY.NAZWA"), 26},
        {QStringLiteral("Cena netto za j.m."), QStringLiteral("CENA_JEDNOSTKOWA"), 106, right},
        {QStringLiteral("Waluta"), QStringLiteral("WALUTA.SYMBOL"), 49},
        {QStringLiteral("Indeks KMB/ETO"), QStringLiteral("INDEKS_ETO"), 106},
        {QStringLiteral("M/S"), QStringLiteral("TYP_RMS"), 41},
        {QStringLiteral("Nazwa Dostawcy"), QStringLiteral("producent.NAZWA"), 157},
    };
    gridTow_ = new ResultGrid(tdm_->QWybrTow, std::move(columns), &KolumnaSortowaniaTowarow, page);
    gridTow_->setObjectName(QStringLiteral("DBGridTowary"));
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
    zaawansowany_ = advanced;
    GrBSzukTow_->setFixedSize(420, advanced ? 280 : 170);
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
    const bool m = chbMaterialy_->isChecked();
    const bool s = chbSprzet_->isChecked();
    kryteria.typRms.setUtf8(m && !s ? "M" : (s && !m ? "S" : ""));
    kryteria.nazwaProducenta.setUtf8(eTNazwaDost_->text().toStdString());
    kryteria.miejscowosc.setUtf8(eTMiastoDost_->text().toStdString());
    kryteria.odPoczatkuNazwy = chbOdPoczNazwy_->isChecked();
    if (error) error->clear();
    return true;
}

WynikZapytania TKmxMain::WykonajZapytanieTow(const std::string& select, std::int32_t& count) {
    PokazCzekaj(kWyszukiwanieTowarow, false);
    count = 0;
    data::DataSet& ds = tdm_->QWybrTow;
    ds.close();
    std::string error;
    if (!ds.open(select + " ORDER BY idx_NAZWA", error)) {
        UstawOstatniBlad("Nie moża wykonać zapytania o towar!\r\n" + error, -1);
        ZamknijCzekaj();
        return WynikZapytania::Blad;
    }
    // The set is loaded whole, so its record count is the last row's number.
    count = ds.recordCount();
    ZamknijCzekaj();
    return count > 0 ? WynikZapytania::Sukces : WynikZapytania::Pusto;
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
    PokazCzekaj(kWyszukiwanieTowarow, false);
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
            pokazKomunikat(kNieZnalezionoTowaru, platform::MessageIcon::Information);
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
    const bool m = chbMaterialy_->isChecked();
    const bool s = chbSprzet_->isChecked();
    kryteria.typRms.setUtf8(m && !s ? "M" : (s && !m ? "S" : ""));
    stan.KryteriaTowaru = kryteria;
    stan.SqlTowarow = ZbudujZapytanieTowarow(kryteria, 0);
    gridTow_->setUpdatesEnabled(false);
    const WynikZapytania wynik = WykonajZapytanieTow(stan.SqlTowarow, stan.IloscTowarow);
    switch (wynik) {
        case WynikZapytania::Blad:
            pokazKomunikat(QString::fromStdString(OstatniBlad().text), platform::MessageIcon::Error);
            break;
        case WynikZapytania::Pusto:
            pokazKomunikat(kNieZnalezionoTowaru, platform::MessageIcon::Information);
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
