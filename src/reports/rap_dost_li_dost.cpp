#include "reports/rap_dost_li_dost.h"

#include "data/tdm.h"

namespace kmx::reports {

namespace {}  // namespace

TRapDostLiDost::TRapDostLiDost() {
    zbudujTytulIStopke(true);

    zbudujPasyListy();
    Band& h = *def_.columnHeader;
    h.add(tytulKolumny(QStringLiteral("NLp"), 2.1f, 7.1f, QStringLiteral("Lp"), Align::Center));
    h.add(tytulKolumny(QStringLiteral("NNazwa"), 13.2f, 70.0f, QStringLiteral("Nazwa dostawcy")));
    h.add(tytulKolumny(QStringLiteral("NKod"), 87.0f, 19.1f, QStringLiteral("Kod dostawcy")));
    h.add(tytulKolumny(QStringLiteral("NNIP"), 116.4f, 19.3f, QStringLiteral("NIP"), Align::Center));
    h.add(tytulKolumny(QStringLiteral("NMiejscowosc"), 139.7f, 21.4f, QStringLiteral("Miejscowość")));
    h.add(tytulKolumny(QStringLiteral("NTelefon"), 169.3f, 18.5f, QStringLiteral("Telefon"), Align::Center));

    Band& w = *def_.detail;
    w.add(komorka(
        QStringLiteral("WLp"), 2.1f, 8.7f, [](const FillContext& c) { return QString::number(c.rowNumber); },
        Align::Right));
    // The name in capitals as stored, without its letter case.
    Element& n = w.add(komorka(QStringLiteral("WNazwa"), 13.2f, 69.6f, [this](const FillContext&) {
        return zapisanePrzyciete(set_, "Producent.NAZWA", 1);
    }));
    n.wrap = n.grow = true;
    w.add(komorka(QStringLiteral("WKod"), 86.8f, 27.8f,
                  [this](const FillContext&) { return tekstPola(set_, "KOD_PRODUCENTA"); }));
    w.add(komorka(
        QStringLiteral("WNIP"), 116.4f, 19.3f, [this](const FillContext&) { return tekstPola(set_, "NIP"); },
        Align::Center));
    Element& m = w.add(komorka(QStringLiteral("WMiejscowosc"), 139.7f, 25.7f, [this](const FillContext&) {
        return zapisanePrzyciete(set_, "MIEJSCOWOSC", 2);
    }));
    m.clip = true;  // one line
    w.add(komorka(
        QStringLiteral("WTelefon"), 169.3f, 18.0f,
        [this](const FillContext&) { return tekstPola(set_, "TELEFON1"); }, Align::Right));
}

void TRapDostLiDost::przedWydrukiem(ZrodloRaportow& zrodlo, int drukarka) {
    set_ = &zrodlo.tdm().QWybrDost;
    wiersze_.ustaw(set_);
    ustawTekstyWspolne(zrodlo, QStringLiteral("Lista dostawców wygenerowana z systemu KALMAREX"), drukarka);
}

}  // namespace kmx::reports
