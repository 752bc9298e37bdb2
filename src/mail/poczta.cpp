#include "mail/poczta.h"

#include <QCoreApplication>
#include <utility>

#include "app/wait_window.h"
#include "data/dataset.h"
#include "data/fields.h"
#include "data/tdm.h"
#include "mail/form_dostawcy.h"
#include "mail/form_mail.h"
#include "platform/dialogs.h"
#include "editions/edition.h"

namespace kmx::mail {

namespace {

void blad(QWidget* okno, const QString& text) {
    platform::dialogs().message(okno, edition::TytulKomunikatu(), text, platform::MessageIcon::Error);
}

// The row-change handler of a list, detached for a scope: the window's
// details pages do not follow the walk. On the way out it is put back and
// told once where the list now stands.
class BezZdarzen {
public:
    explicit BezZdarzen(data::DataSet& set) : set_(set), handler_(set.setAfterScroll({})) {}
    ~BezZdarzen() {
        set_.setAfterScroll(handler_);
        if (handler_ && set_.active()) handler_(set_);
    }
    BezZdarzen(const BezZdarzen&) = delete;
    BezZdarzen& operator=(const BezZdarzen&) = delete;

private:
    data::DataSet& set_;
    data::DataSet::ScrollHandler handler_;
};

// Walks the view from its first row, one line a row, asking after each.
void przejdz(data::DataSet& towary, LinieTowarow& wynik, const std::function<bool()>& przerwij) {
    for (towary.first(); !towary.eof(); towary.next()) {
        wynik.linie << NazwaTowaru(towary);
        if (przerwij && przerwij()) {
            wynik.przerwano = true;
            break;
        }
    }
}

}  // namespace

QString TrescZapytania(const QStringList& towary) {
    QStringList linie{QStringLiteral("\t \t     Wiadomość wygenerowana przez system Kalmarex."), QString(),
                      QStringLiteral("Proszę o podanie wyceny dla wymienionych niżej materiałów:"),
                      QString()};
    linie << towary;
    return linie.join(QLatin1Char('\n'));
}

QString NazwaTowaru(const data::DataSet& towary) {
    return QString::fromStdString(data::zapisanePole(towary, "Towar.Nazwa", 1));
}

LinieTowarow TowaryDostawcy(data::DataSet& towary, long idProducenta, const std::function<bool()>& przerwij) {
    LinieTowarow wynik;
    if (!towary.active()) {
        wynik.blad = QStringLiteral("lista towarów jest zamknięta");
        return wynik;
    }
    const data::NotificationPause pauza(towary);
    if (!towary.setFilter(data::znajdzPole(towary, "id_producenta"),
                          static_cast<std::int64_t>(idProducenta))) {
        wynik.blad = QStringLiteral("lista towarów nie ma pola id_producenta");
        return wynik;
    }
    przejdz(towary, wynik, przerwij);
    // Unfiltered again, on the supplier's first goods row.
    towary.first();
    const data::DataSet::Bookmark pierwszy = towary.bookmark();
    towary.clearFilter();
    towary.gotoBookmark(pierwszy);
    return wynik;
}

LinieTowarow WszystkieTowary(data::DataSet& towary, const std::function<bool()>& przerwij) {
    LinieTowarow wynik;
    if (!towary.active()) {
        wynik.blad = QStringLiteral("lista towarów jest zamknięta");
        return wynik;
    }
    const data::NotificationPause pauza(towary);
    przejdz(towary, wynik, przerwij);
    towary.first();
    return wynik;
}

Poczta::Poczta(data::TDM& tdm, QWidget* okno)
    : tdm_(tdm),
      okno_(okno),
      mail_(std::make_unique<TFMail>(okno)),
      dostawcy_(std::make_unique<TFDostawcy>(tdm, okno)) {
    dostawcy_->wyslijZapytanie = [this] { ZapytanieOfertowe(0); };
}

Poczta::~Poczta() = default;

void Poczta::PokazDostawcow(const TsTowar& kryteria) {
    if (dostawcy_->otworz(kryteria)) dostawcy_->pokaz();
}

void Poczta::ZapytanieOfertowe(int rodzaj) {
    app::PokazCzekaj(QStringLiteral("Tworzę zapytanie ofertowe..."), false);
    TematPoczty = QStringLiteral("Zapytanie ofertowe");

    // The recipient: the picked supplier, the found goods item's supplier or
    // the found supplier.
    data::DataSet* odbiorca = rodzaj == 0   ? &dostawcy_->lista()
                              : rodzaj == 1 ? &tdm_.QWybrTow
                                            : &tdm_.QWybrDost;
    if (rodzaj < 0 || rodzaj > 3 || !odbiorca->active() || odbiorca->recNo() <= 0) {
        app::ZamknijCzekaj();
        blad(okno_, QStringLiteral("Błąd podczas generowania e-maila"));
        return;
    }
    const QString nazwa = QString::fromStdString(data::zapisanePole(*odbiorca, "producent.NAZWA", 1));
    const QString adres = QString::fromStdString(data::zapisanePole(*odbiorca, "EMAIL_PODSTAWOWY", 2));

    LinieTowarow towary;
    {
        const BezZdarzen bezTow(tdm_.QWybrTow);
        const BezZdarzen bezTowDost(tdm_.QWybrTowForDost);
        // Pending events run after every row, so that Escape in the wait
        // window is seen.
        const auto przerwij = [] {
            QCoreApplication::processEvents();
            return app::Przerwano();
        };
        switch (rodzaj) {
            case 0: {
                const long id = static_cast<long>(dostawcy_->lista().value("ID_PRODUCENTA").asInt());
                towary = TowaryDostawcy(tdm_.QWybrTow, id, przerwij);
                break;
            }
            case 1:
                towary.linie << NazwaTowaru(tdm_.QWybrTow);
                break;
            case 2:
                towary = WszystkieTowary(tdm_.QWybrTowForDost, przerwij);
                break;
            default:
                towary.linie << NazwaTowaru(tdm_.QWybrTowForDost);
                break;
        }
    }
    // The wait window goes before the mail window shows, or it would stand
    // over it.
    app::ZamknijCzekaj();
    if (!towary.blad.isEmpty())
        blad(okno_, QStringLiteral("Błąd podczas generowania liczby RMS ") + towary.blad);
    mail_->ustawZapytanie(nazwa, adres, TrescZapytania(towary.linie));
    mail_->pokaz();
}

void Poczta::Zamowienie() {
    mail_->ustawZamowienie();
    mail_->pokaz();
}

}  // namespace kmx::mail
