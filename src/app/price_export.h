#pragma once
// "Pobierz ceny": price-list files from the goods list or a supplier's goods
// list, the ready-made price lists copied from the program folder, and the
// encrypted unit-price file from the work-price list. The main window only
// gathers what is on screen into EksportCen and calls PobierzCeny; the rows
// are walked by src/export/export_rows.h.

#include <QString>
#include <string>

class QWidget;

namespace kmx::data {
class DataSet;
}

namespace kmx::app {

// The page on screen, as far as the export cares.
enum class StronaEksportu {
    Inna,                  // nothing to export
    ZnalezioneTowary,      // "Katalog Towarów", tab "Znalezione" (QWybrTow)
    ListaTowarowDostawcy,  // "Katalog Dostawców", tab "Lista towarów" (QWybrTowForDost)
    CenyRobot,             // "Baza cen robót" (Qscalone)
};

struct EksportCen {
    QWidget* okno = nullptr;  // parent of the dialogs and messages
    StronaEksportu strona = StronaEksportu::Inna;
    data::DataSet* lista = nullptr;           // the list on screen
    const data::DataSet* dostawcy = nullptr;  // QWybrDost, its current row: the supplier
    QWidget* siatka = nullptr;                // the list's grid, frozen during the walk
    std::string ograniczenie;                 // TYP_RMS of the last goods search
    bool brakKryteriow = false;               // the last goods query had no other criterion
    QString folderStartowy;                   // where the save dialogs open
    QString katalogProgramu;                  // holds KMX/ and KMX2.1/
    bool cenySrednie = false;                 // the average-prices edition
    // The average-prices edition: the category of the search, "R", "M" or
    // "S" (one of three buttons); empty: the kind restriction above.
    std::string kategoria;
};

// The texts the export shows.
inline constexpr char kZapisZakonczony[] = "Zapis pliku zakończony";
inline constexpr char kFiltr10[] = "Kalmarex 1.0 (*.kmx)";
inline constexpr char kFiltr20[] = "Kalmarex 2.0 (*.kmx)";
inline constexpr char kFiltr21[] = "Kalmarex 2.1 (*.kmx)";
inline constexpr char kFiltrNV[] = "Kalmarex NV (*.csv)";

// How a run ended, for the caller and the tests.
enum class WynikEksportu {
    Nic,        // nothing to do on this page, or every dialog cancelled
    Zapisano,   // "Zapis pliku zakończony" shown
    Blad,       // the error message shown
    Przerwano,  // cancelled in the wait window; the files hold the rows written so far
};

// "Pobierz ceny" (wersja10 off) and "Pobierz ceny ver. 1.0" (on): dispatches
// by the page. With wersja10 the 1.0 file type is chosen before the first
// dialog, so the dialogs offer only it, and the goods catalogue always
// writes the files (the ready-made lists exist in 2.0 and 2.1 only).
//
// The producer edition offers materials, then equipment. The average-prices
// edition offers the price list of its one category: labour
// ("Robocizna_sred"), materials ("Materialy_sred") or equipment
// ("Sprzet_sred"), written with the average-prices headers; without any
// other criterion the ready-made list of that category is copied.
WynikEksportu PobierzCeny(const EksportCen& k, bool wersja10);

// The three paths on their own. KopiujGotoweCenniki of the average-prices
// edition does nothing without a category.
WynikEksportu EksportujCenniki(const EksportCen& k, bool wersja10);
WynikEksportu KopiujGotoweCenniki(const EksportCen& k);
WynikEksportu EksportujCenyJednostkowe(const EksportCen& k);

// Adds ".ext" when the chosen name has no extension of its own.
QString ZRozszerzeniem(const QString& path, const QString& ext);

}  // namespace kmx::app
