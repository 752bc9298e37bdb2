#include "reports/druk_zestaw.h"

#include <QCoreApplication>
#include <QPrinter>

#include "app/wait_window.h"
#include "editions/edition.h"
#include "platform/dialogs.h"
#include "platform/printers.h"
#include "reports/form_druk.h"
#include "reports/preview.h"
#include "reports/printing.h"
#include "reports/rap_dost_li_dost.h"
#include "reports/rap_szcz_dost.h"
#include "reports/rap_szcz_tow.h"
#include "reports/rap_tow_li_tow.h"

namespace kmx::reports {

std::optional<RodzajRaportu> RaportStrony(int zakladka, int strona) {
    // Without the supplier catalogue only the goods tab's list and card print.
    const bool dostawcy = edition::biezaca().katalogDostawcow;
    if (zakladka == 0) {
        switch (strona) {
            case 1:
                return RodzajRaportu::ListaTowarow;
            case 2:
                return RodzajRaportu::SzczegolyTowaru;
            case 3:
                if (dostawcy) return RodzajRaportu::SzczegolyDostawcy;
                return std::nullopt;
            default:
                return std::nullopt;
        }
    }
    if (zakladka == 1 && dostawcy) {
        switch (strona) {
            case 1:
                return RodzajRaportu::ListaDostawcow;
            case 2:
                return RodzajRaportu::SzczegolyDostawcy;
            case 3:
                return RodzajRaportu::ListaTowarow;
            case 4:
                return RodzajRaportu::SzczegolyTowaru;
            default:
                return std::nullopt;
        }
    }
    return std::nullopt;
}

ZestawWydrukow::ZestawWydrukow(ZrodloRaportow& zrodlo, QWidget* okno)
    : zrodlo_(zrodlo),
      okno_(okno),
      dialog_(std::make_unique<TFrmDruk>(okno)),
      listaTow_(std::make_unique<TRapTowLiTow>()),
      szczTow_(std::make_unique<TRapSzczTow>()) {
    // The supplier reports exist only with the supplier catalogue.
    if (edition::biezaca().katalogDostawcow) {
        szczDost_ = std::make_unique<TRapSzczDost>();
        listaDost_ = std::make_unique<TRapDostLiDost>();
    }
    dialog_->drukZestaw = [this](int tryb) { DrukZestaw(tryb); };
}

ZestawWydrukow::~ZestawWydrukow() = default;

Raport* ZestawWydrukow::raport(RodzajRaportu rodzaj) {
    switch (rodzaj) {
        case RodzajRaportu::ListaTowarow:
            return listaTow_.get();
        case RodzajRaportu::SzczegolyTowaru:
            return szczTow_.get();
        case RodzajRaportu::SzczegolyDostawcy:
            return szczDost_.get();
        case RodzajRaportu::ListaDostawcow:
            break;
    }
    return listaDost_.get();
}

void ZestawWydrukow::DrukZestaw(int tryb) {
    const std::optional<RodzajRaportu> rodzaj = raportNaEkranie ? raportNaEkranie() : std::nullopt;
    if (!rodzaj) return;
    Raport* r = raport(*rodzaj);
    if (!r) return;
    if (tryb == 0)
        drukuj(*r);
    else
        podglad(*r);
}

void ZestawWydrukow::drukuj(Raport& r) {
    const int drukarka = SelectedPrinterIndex;
    QString blad;
    // Nothing is prepared for a printer that does not exist.
    if (drukarka < 0 || drukarka >= platform::printers().names().size()) {
        platform::dialogs().message(okno_, edition::TytulKomunikatu(), brakDrukarkiKomunikat(),
                                    platform::MessageIcon::Error);
        return;
    }
    r.przedWydrukiem(zrodlo_, drukarka);
    bool wydrukowano = false;
    {
        app::CzekajGuard czekaj(QStringLiteral("Drukowanie raportu..."), false);
        PageStore strony;
        strony.setPageListener([](int) {
            QCoreApplication::processEvents();
            return !app::Przerwano();
        });
        if (r.przygotuj(strony, measurer_) == FillResult::Done)
            wydrukowano = drukujStrony(strony, r.drukarka(), &blad);
        else
            blad.clear();  // cancelled in the wait window: quietly
    }
    r.poWydruku();
    if (!wydrukowano && !blad.isEmpty())
        platform::dialogs().message(okno_, edition::TytulKomunikatu(), blad, platform::MessageIcon::Error);
}

void ZestawWydrukow::podglad(Raport& r) {
    r.przedWydrukiem(zrodlo_, SelectedPrinterIndex);
    // Opened from the print-set dialog the preview belongs to it, so that the
    // dialog waits behind it.
    QWidget* rodzic = dialog_->isVisible() ? static_cast<QWidget*>(dialog_.get()) : okno_;
    ShowReportPreview(
        r.tytul(), r.drukarka(), [this, &r](PageStore& strony) { return r.przygotuj(strony, measurer_); },
        rodzic);
    r.poWydruku();
}

void ZestawWydrukow::pokazDialogDruku() {
    dialog_->pokaz();
}

void ZestawWydrukow::ustawieniaWydruku() {
    platform::Printers& p = platform::printers();
    std::unique_ptr<QPrinter> printer = p.open(p.currentIndex());
    if (!printer) {
        platform::dialogs().message(okno_, edition::TytulKomunikatu(),
                                    QStringLiteral("Brak zainstalowanych drukarek."),
                                    platform::MessageIcon::Information);
        return;
    }
    p.setupDialog(okno_, *printer);
}

}  // namespace kmx::reports
