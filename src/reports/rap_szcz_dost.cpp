#include "reports/rap_szcz_dost.h"

#include "data/tdm.h"

namespace kmx::reports {

namespace {

constexpr float kWysokosc = 6.9f;
constexpr float kNiska = 6.3f;  // phones and fax

}  // namespace

QString LiniaKontaktu(const QString& osobaZPanelu, const QString& telefon, const QString& email) {
    QString linia = osobaZPanelu.trimmed();
    if (linia.isEmpty()) return {};
    if (!telefon.trimmed().isEmpty()) linia += QStringLiteral("; tel.: ") + telefon.trimmed();
    if (!email.trimmed().isEmpty()) linia += QStringLiteral("; e-mail: ") + email.trimmed();
    return linia.trimmed();
}

// A contact row: caption and value wrap inside 9 mm and do not grow.
Band& TRapSzczDost::pasekOsoby(const QString& name, float height, const QString& caption, QString* linia) {
    Band& b = pasekKarty(
        name, height, caption, 57.1f, 129.4f, [linia] { return *linia; }, true);
    for (Element& e : b.elements) {
        e.wrap = true;
        e.grow = false;
        e.rect.h = 9.0f;
    }
    Element& p = b.elements.front();
    p.autoWidth = false;
    p.rect.w = 53.2f;
    return b;
}

TRapSzczDost::TRapSzczDost() {
    zbudujTytulIStopke(false);
    auto pole = [this](const char* name) { return [this, name] { return tekstPola(set_, name); }; };
    auto zapamietane = [](const QString* text) { return [text] { return *text; }; };
    auto niePusteBezBraku = [](const QString& t) { return !t.isEmpty() && !zawieraBrak(t); };

    def_.detail = makeBand(BandKind::Detail, QStringLiteral("PasekNazwy"), kWysokosc, SideAll);
    Band& nazwa = *def_.detail;
    nazwa.add(podpis(QStringLiteral("PasekNazwyPodpis"), 2.1f, QStringLiteral("Nazwa  dostawcy:")));
    nazwa.add(wartosc(QStringLiteral("PasekNazwyWartosc"), 31.8f, 154.8f, pole("producent.NAZWA"), true));

    pasekKarty(QStringLiteral("PasKodDost"), kWysokosc, QStringLiteral("Kod dostawcy:"), 26.5f, 135.7f,
               pole("KOD_PRODUCENTA"), true);
    pasekKarty(QStringLiteral("PasNIP"), kWysokosc, QStringLiteral("NIP:"), 11.1f, 48.9f, pole("NIP"), false);
    pasekKarty(QStringLiteral("PasKraj"), kWysokosc, QStringLiteral("Kraj:"), 11.1f, 48.9f,
               pole("NAZWA_KRAJU"), false);
    pasekKarty(QStringLiteral("PasWojew"), kWysokosc, QStringLiteral("Województwo:"), 27.5f, 112.4f,
               pole("Wojewodztwo.NAZWA"), false);
    pasekKarty(QStringLiteral("PasAdres"), kWysokosc, QStringLiteral("Adres:"), 14.3f, 172.2f,
               zapamietane(&adres_), true)
        .beforePrint = [this, niePusteBezBraku](const FillContext&) {
        adres_ = zrodlo_ ? zrodlo_->AdresDostawcy().trimmed() : QString();
        return niePusteBezBraku(adres_);
    };
    pasekKarty(QStringLiteral("PasTelKier"), kWysokosc, QStringLiteral("Tel. kierunkowy:"), 28.6f, 32.0f,
               pole("TEL_KIER"), false)
        .beforePrint = [this, niePusteBezBraku](const FillContext&) {
        return niePusteBezBraku(zapisanePrzyciete(set_, "TEL_KIER", 2));
    };
    pasekKarty(QStringLiteral("pasTelefony"), kNiska, QStringLiteral("Telefony:"), 17.5f, 169.1f,
               zapamietane(&telefony_), true)
        .beforePrint = [this, niePusteBezBraku](const FillContext&) {
        telefony_ = zrodlo_ ? zrodlo_->TelefonyDostawcy().trimmed() : QString();
        return niePusteBezBraku(telefony_);
    };
    pasekKarty(QStringLiteral("PasFaks"), kNiska, QStringLiteral("Faks:"), 12.7f, 148.4f, pole("FAKS"), false)
        .beforePrint = [this](const FillContext&) { return !zapisanePrzyciete(set_, "FAKS", 2).isEmpty(); };
    pasekKarty(QStringLiteral("PasEmail"), kWysokosc, QStringLiteral("e-mail:"), 14.3f, 142.1f,
               pole("EMAIL_PODSTAWOWY"), false)
        .beforePrint = [this, niePusteBezBraku](const FillContext&) {
        return niePusteBezBraku(zapisanePrzyciete(set_, "EMAIL_PODSTAWOWY", 2));
    };
    Band& handl =
        pasekKarty(QStringLiteral("PasEmailHandl"), kWysokosc, QStringLiteral("e-mail - dział handlowy:"),
                   39.7f, 108.2f, pole("EMAIL_DZIAL_HANDLOWY"), false);
    handl.beforePrint = [this](const FillContext&) {
        return !zapisanePrzyciete(set_, "EMAIL_DZIAL_HANDLOWY", 2).isEmpty();
    };
    handl.keepWithPrevious = true;

    Band& www = pasekKarty(QStringLiteral("PasStrWWW"), kWysokosc, QStringLiteral("Strona WWW:"), 27.0f, 0,
                           zapamietane(&www_), false);
    www.element(QStringLiteral("PasStrWWWWartosc"))->autoWidth = true;
    www.beforePrint = [this](const FillContext&) {
        const data::DataSet* d = naTowarach_ ? set_ : (zrodlo_ ? &zrodlo_->tdm().QWybrDost : nullptr);
        www_ = zapisanePrzyciete(d, naTowarach_ ? "producent.ADRES_WWW" : "ADRES_WWW", 2);
        return !www_.isEmpty();
    };

    pasekOsoby(QStringLiteral("PasOsHandl"), 11.6f,
               QStringLiteral("Osoba odpowiedzialna za sprawy handlowe:"), &osobaH_)
        .beforePrint = [this](const FillContext&) {
        osobaH_ =
            LiniaKontaktu(zrodlo_ ? zrodlo_->OsobaHandlowa() : QString(),
                          zapisanePrzyciete(set_, "TELEFON_OSH", 2), zapisanePrzyciete(set_, "EMAIL_OSH", 2));
        return !osobaH_.isEmpty();
    };
    pasekOsoby(QStringLiteral("PasOsTech"), 10.6f,
               QStringLiteral("Osoba odpowiedzialna za sprawy techniczne:"), &osobaT_)
        .beforePrint = [this](const FillContext&) {
        osobaT_ =
            LiniaKontaktu(zrodlo_ ? zrodlo_->OsobaTechniczna() : QString(),
                          zapisanePrzyciete(set_, "TELEFON_OST", 2), zapisanePrzyciete(set_, "EMAIL_OST", 2));
        return !osobaT_.isEmpty();
    };
    pasekKarty(QStringLiteral("PasUpusty"), kWysokosc, QStringLiteral("Zasady udzielania upustów:"), 46.6f,
               140.0f, zapamietane(&upusty_), true)
        .beforePrint = [this](const FillContext&) {
        upusty_ = zapisanePrzyciete(set_, "UPUSTY", 2);
        return !upusty_.isEmpty();
    };
    pasekKarty(QStringLiteral("PasOpis"), kWysokosc, QStringLiteral("Opis firmy:"), 21.2f, 167.5f,
               zapamietane(&opis_), true)
        .beforePrint = [this](const FillContext&) {
        const data::DataSet* d = naTowarach_ ? set_ : (zrodlo_ ? &zrodlo_->tdm().QWybrDost : nullptr);
        opis_ = zapisanePrzyciete(d, "OPIS_FIRMY", 2);
        return !opis_.isEmpty();
    };
}

void TRapSzczDost::przedWydrukiem(ZrodloRaportow& zrodlo, int drukarka) {
    zrodlo_ = &zrodlo;
    set_ = zrodlo.ActiveResultSet();
    naTowarach_ = set_ == &zrodlo.tdm().QWybrTow;
    ustawTekstyWspolne(zrodlo, QStringLiteral("Szczegółowe dane dostawcy pobrane z systemu KALMAREX"),
                       drukarka);
}

}  // namespace kmx::reports
