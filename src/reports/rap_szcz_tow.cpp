#include "reports/rap_szcz_tow.h"

#include "data/tdm.h"
#include "editions/edition.h"

namespace kmx::reports {

namespace {

constexpr float kWysokosc = 6.9f;
constexpr float kNiska = 6.3f;  // the currency and VAT rows

}  // namespace

std::function<bool(const FillContext&)> TRapSzczTow::niePuste(const char* field) {
    return [this, field](const FillContext&) { return !zapisanePrzyciete(set_, field, 2).isEmpty(); };
}

std::function<QString()> TRapSzczTow::wartoscPola(const char* field) {
    return [this, field] { return tekstPola(set_, field); };
}

TRapSzczTow::TRapSzczTow() {
    // The edition is chosen before the report is made: its texts and, on the
    // shortened card, which rows exist at all.
    const edition::Edycja& ed = edition::biezaca();
    const bool pelna = !ed.kartaSkrocona;
    tytulKarty_ = QString::fromUtf8(ed.tytulKartyTowaru);
    zbudujTytulIStopke(false);

    def_.detail = makeBand(BandKind::Detail, QStringLiteral("PasekNazwy"), kWysokosc, SideAll);
    Band& nazwa = *def_.detail;
    nazwa.add(podpis(QStringLiteral("PasekNazwyPodpis"), 2.1f, QString::fromUtf8(ed.podpisNazwyKarty)));
    nazwa.add(wartosc(QStringLiteral("PasekNazwyWartosc"), 27.5f, 159.0f, wartoscPola("towar.NAZWA"), true));

    pasekKarty(QStringLiteral("PasNazwaSkr"), kWysokosc, QStringLiteral("Nazwa skrócona lub handlowa:"),
               50.8f, 135.7f, wartoscPola("NAZWA_SKR"), true)
        .beforePrint = niePuste("NAZWA_SKR");
    // The supplier's name in capitals, as stored: the goods row's own on the
    // goods catalogue, the found supplier's on the supplier catalogue.
    pasekKarty(
        QStringLiteral("PasDostawca"), kWysokosc, QString::fromUtf8(ed.podpisDostawcyKarty), 20.1f, 167.0f,
        [this] {
            const data::DataSet* d = naTowarach_ ? set_ : (zrodlo_ ? &zrodlo_->tdm().QWybrDost : nullptr);
            return zapisane(d, "producent.NAZWA", 1);
        },
        true);
    pasekKarty(QStringLiteral("PasSymb"), kWysokosc, QStringLiteral("Symbol u dostawcy:"), 35.5f, 150.5f,
               wartoscPola("Towar.SYMBOL"), false)
        .beforePrint = niePuste("TOWAR.SYMBOL");
    pasekKarty(QStringLiteral("pasJM"), kWysokosc, QStringLiteral("J.miary:"), 16.9f, 19.3f,
               wartoscPola("JEDNOSTKA_MIARY.NAZWA"), false);
    pasekKarty(QStringLiteral("PasIndeksETO"), kWysokosc, QStringLiteral("Indeks ETO wg KMB:"), 38.1f, 19.3f,
               wartoscPola("INDEKS_ETO"), false);
    if (pelna)
        pasekKarty(QStringLiteral("PasPKWIU"), kWysokosc, QStringLiteral("Nr PKWiU:"), 21.2f, 27.8f,
                   wartoscPola("PKWIU"), false)
            .beforePrint = niePuste("PKWIU");
    Band& cena = pasekKarty(QStringLiteral("pasCena"), kWysokosc, QStringLiteral("Cena jednostkowa:"), 32.8f,
                            19.3f, wartoscPola("CENA_JEDNOSTKOWA"), false);
    cena.add(podpis(QStringLiteral("pasCenaDostPodpis"), 52.9f, QStringLiteral("Cena dostawcy:")));
    cena.add(
        wartosc(QStringLiteral("pasCenaDostWartosc"), 78.8f, 15.1f, wartoscPola("CENA_PRODUCENTA"), false));
    pasekKarty(QStringLiteral("pasWaluta"), kNiska, QStringLiteral("Waluta:"), 15.9f, 10.8f,
               wartoscPola("WALUTA.SYMBOL"), false)
        .beforePrint = niePuste("WALUTA.SYMBOL");
    pasekKarty(QStringLiteral("PasStVAT"), kNiska, QStringLiteral("Stawka VAT:"), 24.3f, 10.8f,
               wartoscPola("STAWKA_VAT.KOD"), false);
    // The text tested is the text printed: set first, then tested.
    if (pelna)
        pasekKarty(
            QStringLiteral("PasOrygProd"), kWysokosc, QStringLiteral("Oryginalny producent:"), 38.1f, 148.4f,
            [this] { return orygProd_; }, true)
            .beforePrint = [this](const FillContext&) {
            orygProd_ = zapisanePrzyciete(set_, "NAZWA_ORG_PROD", 2);
            return !orygProd_.isEmpty();
        };
    Band& opis = pasekKarty(
        QStringLiteral("PasOpis"), kWysokosc, QStringLiteral("Opis towaru:"), 23.3f, 163.2f,
        [this] { return opis_; }, true);
    opis.beforePrint = [this](const FillContext&) {
        opis_ = zapisanePrzyciete(set_, "OPIS_TOWARU", 2);
        return !opis_.isEmpty();
    };
    // With the original producer; the shortened card has nothing to keep it with.
    opis.keepWithPrevious = pelna;
    if (pelna) dodajPakowanie();
    Band& www = pasekKarty(
        QStringLiteral("PasStrWWW"), kWysokosc, QStringLiteral("Strona WWW:"), 26.5f, 0,
        [this] { return www_; }, false);
    www.element(QStringLiteral("PasStrWWWWartosc"))->autoWidth = true;
    www.beforePrint = [this](const FillContext&) {
        www_ = zapisanePrzyciete(set_, naTowarach_ ? "Towar.ADRES_WWW" : "ADRES_WWW", 2);
        return !www_.isEmpty();
    };
    pasekKarty(
        QStringLiteral("pasGrupaTow"), kWysokosc, QStringLiteral("Grupa towarowa:"), 29.6f, 156.9f,
        [this] { return zrodlo_ ? zrodlo_->GrupyTowarowe() : QString(); }, true)
        .beforePrint = [this](const FillContext&) {
        return zrodlo_ && !zrodlo_->GrupyTowarowe().trimmed().isEmpty();
    };
}

// The weights and the packing unit, on the full card only.
void TRapSzczTow::dodajPakowanie() {
    pasekKarty(QStringLiteral("PasCiezWl"), kWysokosc, QStringLiteral("Ciężar w kg/jedn.miary:"), 40.2f,
               27.8f, wartoscPola("CIEZAR_WL"), false)
        .beforePrint = niePuste("CIEZAR_WL");
    pasekKarty(QStringLiteral("PasSposPak"), kWysokosc, QStringLiteral("Sposób pakowania:"), 33.9f, 152.7f,
               wartoscPola("SPOSOB_OPAKOWANIA"), false)
        .beforePrint = niePuste("SPOSOB_OPAKOWANIA");
    pasekKarty(QStringLiteral("PasCiezarJP"), kWysokosc, QStringLiteral("Ciężar jednostki pakunkowej:"),
               48.7f, 25.7f, wartoscPola("CIEZAR_JED_PAK"), false)
        .beforePrint = niePuste("CIEZAR_JED_PAK");
    pasekKarty(QStringLiteral("PasIlTowWJP"), kWysokosc,
               QStringLiteral("Ilość towaru w jednostce pakunkowej:"), 61.4f, 38.4f,
               wartoscPola("ILE_TOW_W_JED"), false)
        .beforePrint = niePuste("ILE_TOW_W_JED");

    // Three caption/value pairs on one row; a pair without its value leaves
    // its place blank.
    Band& rozm = pasekKarty(QStringLiteral("PasRozmJP"), kWysokosc, QStringLiteral("Długość jedn. pakunk.:"),
                            39.2f, 19.3f, wartoscPola("ROZMIAR_JP_DL"), false);
    rozm.add(podpis(QStringLiteral("PasRozmJPSzPodpis"), 61.4f, QStringLiteral("Szerokość jedn. pakunk.:")));
    rozm.add(
        wartosc(QStringLiteral("PasRozmJPSzWartosc"), 102.1f, 21.4f, wartoscPola("ROZMIAR_JP_SZ"), false));
    rozm.add(podpis(QStringLiteral("PasRozmJPWyPodpis"), 129.1f, QStringLiteral("Wysokość jedn. pakunk.:")));
    rozm.add(
        wartosc(QStringLiteral("PasRozmJPWyWartosc"), 169.9f, 17.2f, wartoscPola("ROZMIAR_JP_WY"), false));
    rozm.beforePrint = [this, &rozm](const FillContext&) {
        const bool dl = !zapisanePrzyciete(set_, "ROZMIAR_JP_DL", 2).isEmpty();
        const bool sz = !zapisanePrzyciete(set_, "ROZMIAR_JP_SZ", 2).isEmpty();
        const bool wy = !zapisanePrzyciete(set_, "ROZMIAR_JP_WY", 2).isEmpty();
        if (!dl && !sz && !wy) return false;
        const std::pair<const char*, bool> pary[] = {
            {"PasRozmJP", dl}, {"PasRozmJPSz", sz}, {"PasRozmJPWy", wy}};
        for (const auto& [nazwaPary, widoczna] : pary) {
            const QString n = QString::fromLatin1(nazwaPary);
            rozm.element(n + QStringLiteral("Podpis"))->visible = widoczna;
            rozm.element(n + QStringLiteral("Wartosc"))->visible = widoczna;
        }
        return true;
    };
}

void TRapSzczTow::przedWydrukiem(ZrodloRaportow& zrodlo, int drukarka) {
    zrodlo_ = &zrodlo;
    set_ = zrodlo.ActiveResultSet();
    naTowarach_ = set_ == &zrodlo.tdm().QWybrTow;
    // Every row is considered again: a pair hidden for the previous item shows.
    for (auto& b : def_.detail->children)
        for (Element& e : b->elements) e.visible = true;
    ustawTekstyWspolne(zrodlo, tytulKarty_, drukarka);
}

}  // namespace kmx::reports
