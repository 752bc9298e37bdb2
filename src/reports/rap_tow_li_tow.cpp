#include "reports/rap_tow_li_tow.h"

#include "core/cp1250.h"
#include "core/display.h"
#include "data/fields.h"
#include "data/tdm.h"
#include "editions/edition.h"

namespace kmx::reports {

namespace {

constexpr float kNazwaZDostawca = 65.9f;
constexpr float kNazwaBezDostawcy = 127.3f;

}  // namespace

TRapTowLiTow::TRapTowLiTow() {
    const edition::Edycja& ed = edition::biezaca();
    tytulListy_ = QString::fromUtf8(ed.tytulListyTowarow);
    zrodloWLiscie_ = ed.zrodloWLiscie;
    zbudujTytulIStopke(true);

    zbudujPasyListy();
    Band& h = *def_.columnHeader;
    h.add(tytulKolumny(QStringLiteral("NLp"), 2.1f, 7.1f, QStringLiteral("Lp"), Align::Center));
    h.add(tytulKolumny(QStringLiteral("NNazwa"), 12.7f, 66.0f, QString::fromUtf8(ed.naglowekNazwyListy)));
    h.add(
        tytulKolumny(QStringLiteral("NDostawca"), 80.7f, 19.1f, QString::fromUtf8(ed.naglowekDostawcyListy)));
    h.add(tytulKolumny(QStringLiteral("NIndeksETO"), 141.8f, 15.1f, QStringLiteral("Indeks ETO"),
                       Align::Right));
    h.add(tytulKolumny(QStringLiteral("NJm"), 158.8f, 8.7f, QStringLiteral("J.m."), Align::Center));
    Element& cena = h.add(tytulKolumny(QStringLiteral("NCena"), 168.3f, 22.0f,
                                       QStringLiteral("Cena jednostkowa"), Align::Center));
    cena.rect.y = 0.4f;
    cena.wrap = true;
    cena.rect.h = 6.6f;  // two lines fit; the header does not grow

    Band& w = *def_.detail;
    w.add(komorka(
        QStringLiteral("WLp"), 0.0f, 10.8f, [](const FillContext& c) { return QString::number(c.rowNumber); },
        Align::Right));
    Element& n = w.add(komorka(QStringLiteral("WNazwa"), 12.7f, kNazwaZDostawca,
                               [this](const FillContext&) { return nazwa(p_.nazwa, p_.caseNazwa); }));
    n.wrap = n.grow = true;
    // The supplier, or on the average prices the found item's source line.
    Element& d = w.add(komorka(QStringLiteral("WDostawca"), 80.4f, 59.5f, [this](const FillContext&) {
        if (!zrodloWLiscie_) return nazwa(p_.dostawca, p_.caseDostawcy);
        return p_.zrodlo < 0 ? QString() : QString::fromStdString(set_->displayText(p_.zrodlo));
    }));
    d.wrap = d.grow = true;
    w.add(komorka(
        QStringLiteral("WIndeksETO"), 141.8f, 15.1f,
        [this](const FillContext&) {
            return p_.eto < 0
                       ? QString()
                       : QString::fromStdString(DeszyfrujTekst(set_->value(p_.eto).bytes(), 2)).trimmed();
        },
        Align::Right));
    w.add(komorka(
        QStringLiteral("WJm"), 158.8f, 6.6f,
        [this](const FillContext&) {
            return p_.jm < 0 ? QString()
                             : QString::fromStdString(cp1250::toUtf8(set_->value(p_.jm).bytes())).trimmed();
        },
        Align::Right));
    w.add(komorka(
        QStringLiteral("WCena"), 167.7f, 14.8f,
        [this](const FillContext&) {
            return p_.cena < 0 ? QString() : QString::fromStdString(set_->displayText(p_.cena));
        },
        Align::Right));
    w.add(komorka(QStringLiteral("WWaluta"), 183.6f, 5.6f, [this](const FillContext&) {
        return p_.waluta < 0 ? QString() : QString::fromStdString(set_->displayText(p_.waluta));
    }));
}

QString TRapTowLiTow::nazwa(int field, int caseField) const {
    if (field < 0) return {};
    const std::string_view mask = caseField >= 0 ? set_->value(caseField).bytes() : std::string_view();
    return QString::fromStdString(DeszyfrujNazwy(set_->value(field).bytes(), mask));
}

void TRapTowLiTow::przedWydrukiem(ZrodloRaportow& zrodlo, int drukarka) {
    data::TDM& dm = zrodlo.tdm();
    set_ = zrodlo.ActiveResultSet();
    wiersze_.ustaw(set_);
    p_ = Pola{};
    Przebieg& run = przebiegi_.emplace_back();  // every run, so each poWydruku ends its own
    if (set_ && set_->active()) {
        run.set = set_;
        if (set_->recNo() > 0) {
            run.zakladka = set_->bookmark();
            run.maZakladke = true;
        }
        // The grid and the panels do not follow the report through the rows.
        set_->suspendNotifications();
        run.wstrzymany = true;
        auto f = [this](std::string_view name) { return data::znajdzPole(*set_, name); };
        p_.nazwa = f("Towar.Nazwa");
        p_.caseNazwa = f("caseNazwa");
        p_.dostawca = f("Producent.Nazwa");
        p_.caseDostawcy = f("caseNazwaProd");
        p_.eto = f("INDEKS_ETO");
        p_.jm = f("JEDNOSTKA_MIARY.NAZWA");
        p_.cena = f("CENA_JEDNOSTKOWA");
        p_.waluta = f("WALUTA.SYMBOL");
        // Only the found goods carry the source line.
        if (set_ == &dm.QWybrTow) p_.zrodlo = f("Zrodlo");
    }

    // On one supplier's goods the supplier stands in the title, not in a column.
    const bool zDostawca = set_ != &dm.QWybrTowForDost;
    QString tytul = tytulListy_;
    if (!zDostawca)
        tytul = nazwaZWielkoscia(&dm.QWybrDost, "producent.NAZWA", "caseNazwaProd") + QStringLiteral(" - ") +
                tytulListy_;
    def_.columnHeader->element(QStringLiteral("NDostawca"))->visible = zDostawca;
    def_.detail->element(QStringLiteral("WDostawca"))->visible = zDostawca;
    def_.detail->element(QStringLiteral("WNazwa"))->rect.w = zDostawca ? kNazwaZDostawca : kNazwaBezDostawcy;
    ustawTekstyWspolne(zrodlo, tytul, drukarka);
}

void TRapTowLiTow::poWydruku() {
    // Back to the remembered row; nothing here may fail visibly.
    if (przebiegi_.empty()) return;
    const Przebieg run = przebiegi_.back();
    przebiegi_.pop_back();
    if (!run.wstrzymany) return;
    if (run.maZakladke && run.set->active() && run.set->bookmarkValid(run.zakladka))
        run.set->gotoBookmark(run.zakladka);
    run.set->resumeNotifications();
}

}  // namespace kmx::reports
