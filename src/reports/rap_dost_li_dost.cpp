#include "reports/rap_dost_li_dost.h"

#include "data/tdm.h"

namespace kmx::reports {

namespace {

constexpr FontSpec kNaglowek{8, false};
constexpr FontSpec kWiersz{7, false};
constexpr float kYNaglowka = 2.0f;
constexpr float kYWiersza = 0.8f;

}  // namespace

TRapDostLiDost::TRapDostLiDost() {
    zbudujTytulIStopke(true);

    def_.columnHeader = makeBand(BandKind::ColumnHeader, QStringLiteral("PasNaglowek"), 7.4f, SideAll);
    Band& h = *def_.columnHeader;
    h.add(label(QStringLiteral("NLp"), 2.1f, kYNaglowka, 7.1f, QStringLiteral("Lp"), kNaglowek, Align::Center));
    h.add(label(QStringLiteral("NNazwa"), 13.2f, kYNaglowka, 70.0f, QStringLiteral("Nazwa dostawcy"), kNaglowek));
    h.add(label(QStringLiteral("NKod"), 87.0f, kYNaglowka, 19.1f, QStringLiteral("Kod dostawcy"), kNaglowek));
    h.add(label(QStringLiteral("NNIP"), 116.4f, kYNaglowka, 19.3f, QStringLiteral("NIP"), kNaglowek, Align::Center));
    h.add(label(QStringLiteral("NMiejscowosc"), 139.7f, kYNaglowka, 21.4f, QStringLiteral("Miejscowość"), kNaglowek));
    h.add(label(QStringLiteral("NTelefon"), 169.3f, kYNaglowka, 18.5f, QStringLiteral("Telefon"), kNaglowek,
                Align::Center));

    def_.detail = makeBand(BandKind::Detail, QStringLiteral("PasWiersz"), 4.5f, SideLeft | SideRight | SideBottom);
    Band& w = *def_.detail;
    w.add(field(
        QStringLiteral("WLp"), 2.1f, kYWiersza, 8.7f,
        [](const FillContext& c) { return QString::number(c.rowNumber); }, kWiersz, Align::Right));
    // The name in capitals as stored, without its letter case.
    Element& n = w.add(field(
        QStringLiteral("WNazwa"), 13.2f, kYWiersza, 69.6f,
        [this](const FillContext&) { return zapisanePrzyciete(set_, "Producent.NAZWA", 1); }, kWiersz));
    n.wrap = n.grow = true;
    w.add(field(
        QStringLiteral("WKod"), 86.8f, kYWiersza, 27.8f,
        [this](const FillContext&) { return tekstPola(set_, "KOD_PRODUCENTA"); }, kWiersz));
    w.add(field(
        QStringLiteral("WNIP"), 116.4f, kYWiersza, 19.3f, [this](const FillContext&) { return tekstPola(set_, "NIP"); },
        kWiersz, Align::Center));
    Element& m = w.add(field(
        QStringLiteral("WMiejscowosc"), 139.7f, kYWiersza, 25.7f,
        [this](const FillContext&) { return zapisanePrzyciete(set_, "MIEJSCOWOSC", 2); }, kWiersz));
    m.clip = true;  // one line
    w.add(field(
        QStringLiteral("WTelefon"), 169.3f, kYWiersza, 18.0f,
        [this](const FillContext&) { return tekstPola(set_, "TELEFON1"); }, kWiersz, Align::Right));
}

void TRapDostLiDost::przedWydrukiem(ZrodloRaportow& zrodlo, int drukarka) {
    set_ = &zrodlo.tdm().QWybrDost;
    wiersze_.ustaw(set_);
    ustawTekstyWspolne(zrodlo, QStringLiteral("Lista dostawców wygenerowana z systemu KALMAREX"), drukarka);
}

}  // namespace kmx::reports
