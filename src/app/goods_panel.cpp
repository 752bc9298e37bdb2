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

#include "app/wait_window.h"
#include "core/display.h"
#include "core/textutil.h"
#include "data/dataset.h"
#include "data/fields.h"
#include "data/tdm.h"
#include "platform/dialogs.h"
#include "platform/links.h"
#include "editions/edition.h"

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

}  // namespace

GoodsPanel::GoodsPanel(data::TDM& tdm, platform::LinkOpener& links, QWidget* parent)
    : QWidget(parent), tdm_(tdm), links_(links) {
    setObjectName(QStringLiteral("DaneTow"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 4, 6, 6);

    auto* powrot = pola::linkPowrotu(this);
    connect(powrot, &QLabel::linkActivated, this, [this] { emit powrotDoListy(); });
    outer->addWidget(powrot, 0, Qt::AlignLeft);

    grTowar_ = new QGroupBox(QStringLiteral(" TOWAR "), this);
    grTowar_->setObjectName(QStringLiteral("GrBTowar"));
    outer->addWidget(grTowar_, 1);

    auto* g = new QGridLayout(grTowar_);
    g->setContentsMargins(8, 4, 8, 6);
    g->setHorizontalSpacing(8);
    g->setVerticalSpacing(3);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    int row = 0;

    g->addWidget(caption(QStringLiteral("Nazwa pełna towaru: "), grTowar_, true), row, 0);
    g->addWidget(addMemo("dbNazwaTowaru", "TOWAR.NAZWA", 2, false), row, 1, 1, 3);
    ++row;

    g->addWidget(caption(QStringLiteral("Symbol u dostawcy:"), grTowar_), row, 0);
    g->addWidget(addLine("dbSymbol", "TOWAR.SYMBOL"), row, 1);
    g->addWidget(caption(QStringLiteral("Jedn. miary:"), grTowar_), row, 2);
    g->addWidget(addLine("dbJednMiary", "JEDNOSTKA_MIARY.NAZWA"), row, 3);
    ++row;

    g->addWidget(caption(QStringLiteral("Typ produktu:"), grTowar_), row, 0);
    {
        auto* box = new QHBoxLayout;
        typ_ = addLine("dbTypProduktu", "TYP_RMS");
        typ_->setFixedWidth(40);
        box->addWidget(typ_);
        box->addSpacing(6);
        auto* legenda = new QLabel(QStringLiteral("M - Materiał, S - sprzęt"), grTowar_);
        legenda->setObjectName(QStringLiteral("lblLegendaTypu"));
        box->addWidget(legenda);
        box->addStretch(1);
        g->addLayout(box, row, 1);
    }
    g->addWidget(caption(QStringLiteral("Indeks KMB/ETO:"), grTowar_), row, 2);
    g->addWidget(addLine("dbIndeksETO", "INDEKS_ETO"), row, 3);
    ++row;

    g->addWidget(caption(QStringLiteral("Nr PKWiU:"), grTowar_), row, 0);
    g->addWidget(addLine("dbPKWiU", "PKWIU"), row, 1);
    g->addWidget(caption(QStringLiteral("Cena netto za j.m."), grTowar_), row, 2);
    {
        QLineEdit* cena = addLine("dbCena", "CENA_JEDNOSTKOWA");
        QPalette p = cena->palette();
        p.setColor(QPalette::Base, QColor(236, 236, 236));
        cena->setPalette(p);
        cena->setAlignment(Qt::AlignRight);
        g->addWidget(cena, row, 3);
    }
    ++row;

    g->addWidget(caption(QStringLiteral("Waluta:"), grTowar_), row, 0);
    g->addWidget(addLine("dbWaluta", "WALUTA.SYMBOL"), row, 1);
    g->addWidget(caption(QStringLiteral("Stawka VAT:"), grTowar_), row, 2);
    g->addWidget(addLine("dbStawkaVAT", "STAWKA_VAT.KOD"), row, 3);
    ++row;

    g->addWidget(caption(QStringLiteral("Nazwa oryginalnego producenta:"), grTowar_, true), row, 0);
    g->addWidget(addMemo("dbNazwaOrgProd", "NAZWA_ORG_PROD", 2, false), row, 1, 1, 3);
    ++row;

    g->addWidget(caption(QStringLiteral("Opis towaru:"), grTowar_, true), row, 0);
    opis_ = addMemo("mOpisTowaru", "", 3, true);
    g->addWidget(opis_, row, 1, 1, 3);
    g->setRowStretch(row, 2);
    ++row;

    grupyCaption_ = caption(QStringLiteral("Grupy towarowe:"), grTowar_, true);
    grupyCaption_->setObjectName(QStringLiteral("lblGrupyTowarowe"));
    g->addWidget(grupyCaption_, row, 0);
    grupy_ = addMemo("mGrupyTowarowe", "", 2, true);
    g->addWidget(grupy_, row, 1, 1, 3);
    g->setRowStretch(row, 1);
    ++row;

    adresWWW_ = new QLabel(grTowar_);
    adresWWW_->setObjectName(QStringLiteral("lAdresWWW"));
    adresWWW_->setTextFormat(Qt::RichText);
    adresWWW_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    adresWWW_->setMaximumWidth(kSzerokoscLinku);
    connect(adresWWW_, &QLabel::linkActivated, this, [this] { otworzAdresWWW(); });
    g->addWidget(adresWWW_, row, 1, 1, 3);
    ++row;

    auto* jednPak = new QGroupBox(QStringLiteral("Jednostka pakunkowa"), grTowar_);
    jednPak->setObjectName(QStringLiteral("JednPak"));
    {
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
    }
    g->addWidget(jednPak, row, 0, 1, 4);
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
