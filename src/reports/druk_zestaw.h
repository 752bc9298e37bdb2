#pragma once
// The print set: the page on screen picks the report, which is printed on
// the printer chosen in the print-set dialog or prepared into a preview.
// Owns the print-set dialog and the report objects for the whole run: the
// four, or without the supplier catalogue the two goods reports.

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "reports/engine/measure.h"
#include "reports/report_common.h"

class QWidget;

namespace kmx::reports {

class TFrmDruk;
class TRapDostLiDost;
class TRapSzczDost;
class TRapSzczTow;
class TRapTowLiTow;

enum class RodzajRaportu { ListaTowarow, SzczegolyTowaru, SzczegolyDostawcy, ListaDostawcow };

// The report of a page: main tab 0 is the goods catalogue ("Znalezione" 1,
// "Szczegóły towaru" 2, "Szczegóły dostawcy" 3), tab 1 the supplier catalogue
// ("Znalezieni" 1, "Szczegóły dostawcy" 2, "Lista towarów" 3, "Szczegóły
// towaru" 4). No report for the search pages and everything else. Without
// the supplier catalogue (the edition's katalogDostawcow) only tab 0's pages
// 1 and 2 have a report.
std::optional<RodzajRaportu> RaportStrony(int zakladka, int strona);

class ZestawWydrukow {
public:
    ZestawWydrukow(ZrodloRaportow& zrodlo, QWidget* okno);
    ~ZestawWydrukow();
    ZestawWydrukow(const ZestawWydrukow&) = delete;
    ZestawWydrukow& operator=(const ZestawWydrukow&) = delete;

    // The report of the page on screen, asked at every output.
    std::function<std::optional<RodzajRaportu>()> raportNaEkranie;

    // 0: print on the printer at SelectedPrinterIndex; 1: preview.
    void DrukZestaw(int tryb);
    // The print-set dialog, modally.
    void pokazDialogDruku();
    // The system's printer set-up dialog; the printer chosen there becomes the
    // system's current one, SelectedPrinterIndex stays.
    void ustawieniaWydruku();

    // nullptr for a report this edition does not have.
    Raport* raport(RodzajRaportu rodzaj);
    TFrmDruk& dialog() { return *dialog_; }
    TRapTowLiTow& listaTowarow() { return *listaTow_; }

private:
    void drukuj(Raport& r);
    void podglad(Raport& r);

    ZrodloRaportow& zrodlo_;
    QWidget* okno_;
    FontMeasurer measurer_;
    std::unique_ptr<TFrmDruk> dialog_;
    std::unique_ptr<TRapTowLiTow> listaTow_;
    std::unique_ptr<TRapSzczTow> szczTow_;
    std::unique_ptr<TRapSzczDost> szczDost_;
    std::unique_ptr<TRapDostLiDost> listaDost_;
};

}  // namespace kmx::reports
