#include "app/goods_panel.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "app/wait_window.h"
#include "core/display.h"
#include "core/textutil.h"
#include "data/dataset.h"
#include "data/fields.h"
#include "data/tdm.h"
#include "editions/edition.h"
#include "platform/dialogs.h"
#include "platform/links.h"

namespace kmx::app {

namespace pola {

int znajdz(const data::DataSet& set, std::string_view name) {
    return data::znajdzPole(set, name);
}

QString tekst(const data::DataSet& set, std::string_view name) {
    if (!set.active() || set.recNo() <= 0) return {};
    const int f = znajdz(set, name);
    if (f < 0) return {};
    return QString::fromStdString(set.displayText(f));
}

std::string odszyfruj(const data::DataSet& set, std::string_view name, int mode) {
    if (!set.active() || set.recNo() <= 0) return {};
    const int f = znajdz(set, name);
    if (f < 0) return {};
    return DeszyfrujTekst(set.value(f).bytes(), mode);
}

std::string odszyfrujPrzytnij(const data::DataSet& set, std::string_view name, int mode) {
    return trimSpaces(odszyfruj(set, name, mode));
}

QString etykietaLinku(const QLabel& label, const QString& text, int width) {
    if (text.isEmpty()) return {};
    const QString shown = QFontMetrics(label.font()).elidedText(text, Qt::ElideRight, width);
    return QStringLiteral("<a href=\"#\">%1</a>").arg(shown.toHtmlEscaped());
}

void wypelnijNazwami(QWidget* owner, data::DataSet& query, const std::string& statement, QPlainTextEdit& memo,
                     const QString& failure) {
    query.close();
    query.setSql(statement);
    std::string error;
    if (!query.open(error)) {
        ZamknijCzekaj();
        platform::dialogs().message(owner, edition::TytulKomunikatu(), failure, platform::MessageIcon::Error);
        return;
    }
    QStringList names;
    for (int r = 0; r < query.recordCount(); ++r)
        names << QString::fromStdString(trimSpaces(query.displayText(r, 0)));
    memo.setPlainText(names.join(QStringLiteral(", ")));
    query.close();
}

QLabel* linkPowrotu(QWidget* parent) {
    auto* powrot = new QLabel(QStringLiteral("<a href=\"#\">Powrót do listy</a>"), parent);
    powrot->setObjectName(QStringLiteral("lPowrotDoListy"));
    powrot->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    return powrot;
}

}  // namespace pola

namespace {

constexpr int kSzerokoscLinku = 500;

// Captions of single-line fields sit level with the field, those of memos at
// their top.
QLabel* caption(const QString& text, QWidget* parent, bool memo = false) {
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignLeft | (memo ? Qt::AlignTop : Qt::AlignVCenter));
    if (memo) l->setContentsMargins(0, 3, 0, 0);
    return l;
}

// Memo texts come with Windows line ends; the editor wants "\n".
QString jakoTekstMemo(const std::string& utf8) {
    QString s = QString::fromStdString(utf8);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

// The producer-prices panel: a grid of two caption-and-field columns.
constexpr PoleSzczegolow kPolaTowaru[] = {
    {RodzajPola::Memo, "Nazwa pełna towaru: ", "dbNazwaTowaru", "TOWAR.NAZWA", 0, 1, 3, 2, nullptr},
    {RodzajPola::Linia, "Symbol u dostawcy:", "dbSymbol", "TOWAR.SYMBOL", 1, 1, 1, 1, nullptr},
    {RodzajPola::Linia, "Jedn. miary:", "dbJednMiary", "JEDNOSTKA_MIARY.NAZWA", 1, 3, 1, 1, nullptr},
    {RodzajPola::Typ, "Typ produktu:", "dbTypProduktu", "TYP_RMS", 2, 1, 1, 1, "M - Materiał, S - sprzęt"},
    {RodzajPola::Linia, "Indeks KMB/ETO:", "dbIndeksETO", "INDEKS_ETO", 2, 3, 1, 1, nullptr},
    {RodzajPola::Linia, "Nr PKWiU:", "dbPKWiU", "PKWIU", 3, 1, 1, 1, nullptr},
    {RodzajPola::Cena, "Cena netto za j.m.", "dbCena", "CENA_JEDNOSTKOWA", 3, 3, 1, 1, nullptr},
    {RodzajPola::Linia, "Waluta:", "dbWaluta", "WALUTA.SYMBOL", 4, 1, 1, 1, nullptr},
    {RodzajPola::Linia, "Stawka VAT:", "dbStawkaVAT", "STAWKA_VAT.KOD", 4, 3, 1, 1, nullptr},
    {RodzajPola::Memo, "Nazwa oryginalnego producenta:", "dbNazwaOrgProd", "NAZWA_ORG_PROD", 5, 1, 3, 2,
     nullptr},
    {RodzajPola::Opis, "Opis towaru:", "mOpisTowaru", "", 6, 1, 3, 3, nullptr},
    {RodzajPola::Grupy, "Grupy towarowe:", "mGrupyTowarowe", "", 7, 1, 3, 2, nullptr},
    {RodzajPola::AdresWWW, "", "lAdresWWW", "", 8, 1, 3, 1, nullptr},
    {RodzajPola::Opakowanie, "", "JednPak", "", 9, 0, 4, 1, nullptr},
};

// The RMS panel: one column of captions and fields, each at its distance
// from the top of the panel.
constexpr PoleSzczegolow kPolaRms[] = {
    {RodzajPola::Memo, "Nazwa pełna: ", "dbNazwaTowaru", "TOWAR.NAZWA", 52, 1, 1, 4, nullptr},
    {RodzajPola::Linia, "Jedn. miary:", "dbJednMiary", "JEDNOSTKA_MIARY.NAZWA", 127, 1, 1, 1, nullptr},
    {RodzajPola::Linia, "Indeks KMB/ETO:", "dbIndeksETO", "INDEKS_ETO", 162, 1, 1, 1, nullptr},
    {RodzajPola::Cena, "Cena netto za j.m.", "dbCena", "CENA_JEDNOSTKOWA", 197, 1, 1, 1, nullptr},
    {RodzajPola::CenaDruga, "Cena z KZ:", "dbCenaNarzut", "CENA_NARZUT", 232, 1, 1, 1, nullptr},
    {RodzajPola::Linia, "Waluta:", "dbWaluta", "WALUTA.SYMBOL", 267, 1, 1, 1, nullptr},
    {RodzajPola::Linia, "Stawka VAT:", "dbStawkaVAT", "STAWKA_VAT.KOD", 300, 1, 1, 1, nullptr},
    {RodzajPola::Opis, "Opis:", "mOpisTowaru", "", 335, 1, 1, 4, nullptr},
    {RodzajPola::Typ, "Typ produktu:", "dbTypProduktu", "TYP_RMS", 418, 1, 1, 1,
     "R-Robocizna, M-Materiał, S-sprzęt"},
    {RodzajPola::Grupy, "Grupy towarowe:", "mGrupyTowarowe", "", 453, 1, 1, 3, nullptr},
    {RodzajPola::Memo, "Źródło:", "dbNazwaOrgProd", "NAZWA_ORG_PROD", 518, 1, 1, 2, nullptr},
    {RodzajPola::AdresWWW, "", "lAdresWWW", "", 566, 1, 1, 1, nullptr},
};

constexpr OpisSzczegolow kOpisTowaru{" TOWAR ", false, kPolaTowaru, static_cast<int>(std::size(kPolaTowaru))};
constexpr OpisSzczegolow kOpisRms{"SZCZEGÓŁY RMS", true, kPolaRms, static_cast<int>(std::size(kPolaRms))};

// Where the RMS panel puts its captions and fields, and where the second
// price's neighbours go when it is hidden.
constexpr int kXPodpisu = 14;
constexpr int kXPola = 160;
constexpr int kSzerokoscPolaCeny = 120;
constexpr int kWysokoscLinii = 22;
constexpr int kGoraWalutyBezCeny2 = 232;
constexpr int kGoraVatBezCeny2 = 267;
// The footnote of the labour gross price: right of the VAT rate, below the prices.
constexpr int kGoraPrzypisu = 303;
constexpr int kXPrzypisu = 420;
constexpr int kGoraWaluty = 267;
constexpr int kGoraVat = 300;
constexpr int kXRamki = 6;
constexpr int kGoraRamki = 26;

// "dbWaluta" → "lblWaluta": the caption's object name from its field's.
QString nazwaPodpisu(const char* pole) {
    const char* p = pole;
    while (*p >= 'a' && *p <= 'z') ++p;
    return QStringLiteral("lbl") + QString::fromLatin1(p);
}

}  // namespace

const OpisSzczegolow& OpisSzczegolowTowaru() {
    return edition::biezaca().cenySrednie ? kOpisRms : kOpisTowaru;
}

GoodsPanel::GoodsPanel(data::TDM& tdm, platform::LinkOpener& links, QWidget* parent)
    : QWidget(parent), tdm_(tdm), links_(links) {
    setObjectName(QStringLiteral("DaneTow"));
    const OpisSzczegolow& opis = OpisSzczegolowTowaru();

    auto* powrot = pola::linkPowrotu(this);
    connect(powrot, &QLabel::linkActivated, this, [this] { emit powrotDoListy(); });
    grTowar_ = new QGroupBox(QString::fromUtf8(opis.tytul), this);
    grTowar_->setObjectName(QStringLiteral("GrBTowar"));

    QGridLayout* g = nullptr;
    if (!opis.pozycjeStale) {
        auto* outer = new QVBoxLayout(this);
        outer->setContentsMargins(6, 4, 6, 6);
        outer->addWidget(powrot, 0, Qt::AlignLeft);
        outer->addWidget(grTowar_, 1);
        g = new QGridLayout(grTowar_);
        g->setContentsMargins(8, 4, 8, 6);
        g->setHorizontalSpacing(8);
        g->setVerticalSpacing(3);
        g->setColumnStretch(1, 1);
        g->setColumnStretch(3, 1);
    } else {
        // The tops count from the panel; the fields sit in the frame, which
        // starts below the back link and takes the rest of the panel.
        powrot->move(kXRamki, 4);
        powrot->adjustSize();
        grTowar_->move(kXRamki, kGoraRamki);
    }
    const int goraRamki = kGoraRamki;
    int dol = 0;

    for (int i = 0; i < opis.liczbaPol; ++i) {
        const PoleSzczegolow& pole = opis.pola[i];
        QWidget* field = utworzPole(pole);
        const bool memo = pole.rodzaj == RodzajPola::Memo || pole.rodzaj == RodzajPola::Opis ||
                          pole.rodzaj == RodzajPola::Grupy;
        QLabel* podpis = nullptr;
        if (pole.podpis[0] != '\0') {
            podpis = caption(QString::fromUtf8(pole.podpis), grTowar_, memo);
            podpis->setObjectName(nazwaPodpisu(pole.nazwa));
        }
        if (pole.rodzaj == RodzajPola::Grupy) grupyCaption_ = podpis;
        if (pole.rodzaj == RodzajPola::CenaDruga) podpisCeny2_ = podpis;
        if (pole.kolumna == std::string_view("WALUTA.SYMBOL")) {
            podpisWaluty_ = podpis;
            waluta_ = field;
        }
        if (pole.kolumna == std::string_view("STAWKA_VAT.KOD")) {
            podpisVat_ = podpis;
            vat_ = field;
        }

        if (g) {
            if (podpis) g->addWidget(podpis, pole.wiersz, pole.kolumnaSiatki - 1);
            g->addWidget(field, pole.wiersz, pole.kolumnaSiatki, 1, pole.rozpietosc);
            if (pole.rodzaj == RodzajPola::Opis) g->setRowStretch(pole.wiersz, 2);
            if (pole.rodzaj == RodzajPola::Grupy) g->setRowStretch(pole.wiersz, 1);
            continue;
        }
        const int y = pole.wiersz - goraRamki;
        if (podpis) {
            podpis->move(kXPodpisu, y + (memo ? 0 : 3));
            podpis->adjustSize();
        }
        field->move(kXPola, y);
        if (memo || pole.rodzaj == RodzajPola::AdresWWW) {
            rozciagane_.push_back({field, kXPola});
        } else if (pole.rodzaj == RodzajPola::Typ) {
            field->adjustSize();
        } else {
            field->resize(pole.rodzaj == RodzajPola::Linia ? 2 * kSzerokoscPolaCeny : kSzerokoscPolaCeny,
                          kWysokoscLinii);
        }
        dol = std::max(dol, y + field->height());
    }

    if (opis.pozycjeStale) {
        if (cena2_) {
            znacznikCeny2_ = new QLabel(QStringLiteral("1)"), grTowar_);
            znacznikCeny2_->setObjectName(QStringLiteral("lblZnacznikCeny"));
            znacznikCeny2_->move(cena2_->x() + cena2_->width() + 4, cena2_->y() + 3);
            znacznikCeny2_->adjustSize();
            przypis_ =
                new QLabel(QStringLiteral("1) cena brutto = cena netto + koszty pośrednie + zysk"), grTowar_);
            przypis_->setObjectName(QStringLiteral("lblPrzypisCeny"));
            przypis_->move(kXPrzypisu, kGoraPrzypisu - goraRamki);
            przypis_->adjustSize();
            dol = std::max(dol, przypis_->y() + przypis_->height());
        }
        grTowar_->setMinimumSize(kXPola + 2 * kSzerokoscPolaCeny + 180, dol + 12);
        setMinimumSize(grTowar_->minimumWidth() + 2 * kXRamki, kGoraRamki + grTowar_->minimumHeight() + 6);
        UstawKategorie('M');
    }
}

QWidget* GoodsPanel::utworzPole(const PoleSzczegolow& pole) {
    switch (pole.rodzaj) {
        case RodzajPola::Linia:
            return addLine(pole.nazwa, pole.kolumna);
        case RodzajPola::Memo:
            return addMemo(pole.nazwa, pole.kolumna, pole.linie, false);
        case RodzajPola::Cena:
        case RodzajPola::CenaDruga: {
            QLineEdit* cena = addLine(pole.nazwa, pole.kolumna);
            QPalette p = cena->palette();
            p.setColor(QPalette::Base, QColor(236, 236, 236));
            cena->setPalette(p);
            cena->setAlignment(Qt::AlignRight);
            if (pole.rodzaj == RodzajPola::CenaDruga) cena2_ = cena;
            return cena;
        }
        case RodzajPola::Typ: {
            auto* box = new QWidget(grTowar_);
            auto* h = new QHBoxLayout(box);
            h->setContentsMargins(0, 0, 0, 0);
            typ_ = addLine(pole.nazwa, pole.kolumna);
            typ_->setParent(box);
            typ_->setFixedWidth(40);
            h->addWidget(typ_);
            h->addSpacing(6);
            auto* legenda = new QLabel(QString::fromUtf8(pole.dopisek), box);
            legenda->setObjectName(QStringLiteral("lblLegendaTypu"));
            h->addWidget(legenda);
            h->addStretch(1);
            return box;
        }
        case RodzajPola::Opis:
            opis_ = addMemo(pole.nazwa, "", pole.linie, true);
            return opis_;
        case RodzajPola::Grupy:
            grupy_ = addMemo(pole.nazwa, "", pole.linie, true);
            return grupy_;
        case RodzajPola::AdresWWW:
            adresWWW_ = new QLabel(grTowar_);
            adresWWW_->setObjectName(QString::fromLatin1(pole.nazwa));
            adresWWW_->setTextFormat(Qt::RichText);
            adresWWW_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
            adresWWW_->setMaximumWidth(kSzerokoscLinku);
            adresWWW_->setMinimumHeight(kWysokoscLinii);
            connect(adresWWW_, &QLabel::linkActivated, this, [this] { otworzAdresWWW(); });
            return adresWWW_;
        case RodzajPola::Opakowanie:
            return utworzOpakowanie();
    }
    return nullptr;
}

QWidget* GoodsPanel::utworzOpakowanie() {
    auto* jednPak = new QGroupBox(QStringLiteral("Jednostka pakunkowa"), grTowar_);
    jednPak->setObjectName(QStringLiteral("JednPak"));
    auto* h = new QHBoxLayout(jednPak);
    h->setContentsMargins(8, 2, 8, 4);
    h->addWidget(new QLabel(QStringLiteral("Ciężar jedn. pakunk [kg]: "), jednPak));
    QLineEdit* ciezar = addLine("dbCiezarJednPak", "CIEZAR_JED_PAK");
    ciezar->setFixedWidth(80);
    h->addWidget(ciezar);
    h->addSpacing(12);

    auto* rozm = new QGroupBox(QStringLiteral("Rozmiar jednostki pakunkowej [m]"), jednPak);
    rozm->setObjectName(QStringLiteral("RozmJednPak"));
    auto* r = new QHBoxLayout(rozm);
    r->setContentsMargins(8, 2, 8, 4);
    const struct {
        const char* caption;
        const char* name;
        const char* column;
    } wymiary[] = {{"Wysokość [m]", "dbWysokosc", "ROZMIAR_JP_WY"},
                   {"Szerokość [m]", "dbSzerokosc", "ROZMIAR_JP_SZ"},
                   {"Długość [m]", "dbDlugosc", "ROZMIAR_JP_DL"}};
    for (const auto& w : wymiary) {
        r->addWidget(new QLabel(QString::fromUtf8(w.caption), rozm));
        QLineEdit* e = addLine(w.name, w.column);
        e->setFixedWidth(70);
        r->addWidget(e);
        r->addSpacing(6);
    }
    h->addWidget(rozm, 1);
    return jednPak;
}

void GoodsPanel::UstawKategorie(char typ) {
    if (!cena2_) return;
    const bool sprzet = typ == 'S';
    const bool robocizna = typ == 'R';
    cena2_->setVisible(!sprzet);
    if (podpisCeny2_) {
        podpisCeny2_->setVisible(!sprzet);
        podpisCeny2_->setText(robocizna ? QStringLiteral("Cena brutto:") : QStringLiteral("Cena z KZ:"));
        podpisCeny2_->adjustSize();
    }
    znacznikCeny2_->setVisible(robocizna);
    przypis_->setVisible(robocizna);
    // Without the second price the currency and the VAT rate move up.
    const auto przesun = [](QLabel* podpis, QWidget* pole, int gora) {
        if (!pole) return;
        pole->move(pole->x(), gora - kGoraRamki);
        if (podpis) podpis->move(podpis->x(), gora - kGoraRamki + 3);
    };
    przesun(podpisWaluty_, waluta_, sprzet ? kGoraWalutyBezCeny2 : kGoraWaluty);
    przesun(podpisVat_, vat_, sprzet ? kGoraVatBezCeny2 : kGoraVat);
}

void GoodsPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    rozmiescStale();
}

void GoodsPanel::rozmiescStale() {
    if (rozciagane_.empty()) return;
    grTowar_->resize(std::max(grTowar_->minimumWidth(), width() - 2 * kXRamki),
                     std::max(grTowar_->minimumHeight(), height() - kGoraRamki - 6));
    // Memos and the link take the frame's width.
    for (const Rozciagany& r : rozciagane_) {
        const int w = std::max(160, grTowar_->width() - r.x - 14);
        if (r.pole == adresWWW_)
            r.pole->resize(std::min(w, kSzerokoscLinku), kWysokoscLinii);
        else
            r.pole->resize(w, r.pole->minimumHeight());
    }
}

QLineEdit* GoodsPanel::addLine(const char* objectName, const char* column) {
    auto* e = new QLineEdit(grTowar_);
    e->setObjectName(QString::fromLatin1(objectName));
    e->setReadOnly(true);
    bound_.push_back({e, nullptr, column});
    return e;
}

QPlainTextEdit* GoodsPanel::addMemo(const char* objectName, const char* column, int lines, bool scrollBar) {
    auto* m = new QPlainTextEdit(grTowar_);
    m->setObjectName(QString::fromLatin1(objectName));
    m->setReadOnly(true);
    m->setVerticalScrollBarPolicy(scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int lineHeight = QFontMetrics(m->font()).lineSpacing();
    m->setMinimumHeight(lines * lineHeight + 8);
    if (!scrollBar) m->setMaximumHeight(lines * lineHeight + 8);
    // Only bound memos are refreshed from a column; the others are filled by
    // PokazDaneTowaru.
    if (column[0] != '\0') bound_.push_back({nullptr, m, column});
    return m;
}

void GoodsPanel::bind(data::DataSet* set, bool goodsCatalogue) {
    set_ = set;
    goodsCatalogue_ = goodsCatalogue;
}

QString GoodsPanel::webColumn() const {
    return goodsCatalogue_ ? QStringLiteral("Towar.Adres_www") : QStringLiteral("Adres_www");
}

void GoodsPanel::fillBound() {
    for (const BoundField& b : bound_) {
        const QString text = set_ ? pola::tekst(*set_, b.column) : QString();
        if (b.line) {
            b.line->setText(text);
            b.line->setCursorPosition(0);
        } else {
            b.memo->setPlainText(text);
        }
    }
    const QString web = set_ ? pola::tekst(*set_, webColumn().toStdString()) : QString();
    adresWWW_->setText(pola::etykietaLinku(*adresWWW_, web, kSzerokoscLinku));
    adresWWW_->setToolTip(web);
}

void GoodsPanel::clearAll() {
    for (const BoundField& b : bound_) {
        if (b.line)
            b.line->clear();
        else
            b.memo->clear();
    }
    adresWWW_->clear();
    adresWWW_->setToolTip({});
    opis_->clear();
    grupy_->clear();
    ustawWidokTypu();
}

void GoodsPanel::refresh() {
    if (set_ && set_->active())
        PokazDaneTowaru(*set_);
    else
        clearAll();
}

void GoodsPanel::PokazDaneTowaru(data::DataSet& set) {
    fillBound();

    opis_->setPlainText(jakoTekstMemo(UsunTabulatory(pola::odszyfruj(set, "OPIS_TOWARU", 3))));

    if (set.active() && set.recNo() > 0) {
        const int f = pola::znajdz(set, "ID_TOWARU");
        OdkodujGrupyTowarow(static_cast<long>(f >= 0 ? set.value(f).asInt() : 0));
    } else {
        grupy_->clear();
    }

    ustawWidokTypu();
}

void GoodsPanel::ustawWidokTypu() {
    // Equipment has no goods groups: the memo and its caption go away. Every
    // other kind shows them.
    const bool sprzet = typ_->text().trimmed() == QLatin1String("S");
    grupy_->setVisible(!sprzet);
    grupyCaption_->setVisible(!sprzet);
}

QString GoodsPanel::grupyTowarowe() const {
    return grupy_->toPlainText();
}

void GoodsPanel::OdkodujGrupyTowarow(long idTowaru) {
    pola::wypelnijNazwami(this, tdm_.QWybrGrupy, data::ZapytanieGrupTowaru(idTowaru), *grupy_,
                          QStringLiteral("Nie moża wykonać zapytania o grupy materiałowe!"));
}

bool GoodsPanel::otworzAdresWWW() {
    if (!set_) return false;
    const std::string address = pola::odszyfruj(*set_, webColumn().toStdString(), 3);
    if (trimSpaces(address).empty()) return false;
    links_.open(QString::fromStdString(address));
    return true;
}

}  // namespace kmx::app
