#pragma once
// The edition of the program: producer and supplier prices (Kalmarex) or
// average prices (KalmarexAvg). Both programs are built from the same code;
// everything in which they differ is described here, once, and the windows,
// reports and exports ask the edition instead of deciding for themselves.
//
// Each program's entry point chooses its edition before any window is made
// (KalmarexAvg's main.cpp chooses CenySrednie); the default is the producer
// and supplier prices.

#include <QString>

namespace kmx::edition {

// The goods categories of the search: two check boxes (materials,
// equipment) or three radio buttons (materials, equipment, labour).
enum class Kategorie { MaterialySprzet, RobociznaMaterialySprzet };

struct Edycja {
    const char* nazwa;  // "Kalmarex" / "KalmarexAvg"
    bool cenySrednie;

    // --- identity
    const char* tytulKomunikatu;     // caption of the message boxes that carry the product name
    const char* prefiksTytuluOkna;   // main window caption before the edition and year
    const char* prefiksWersji;       // "Wersja 1.21 wyd." before edition "/" year
    const char* grupaUstawien;       // per-user settings of placement and path
    const char* etykietaInstrukcji;  // the help label beside "kliknij"
    const char* naglowekProduktu;    // first line of the about box heading
    bool instrukcjaPrzyStarcie;      // the export instruction loaded once at start-up
    const char* plikInstrukcji;      // the export instruction of the help action

    // --- what exists
    bool katalogDostawcow;  // the supplier catalogue, the goods tab's supplier details, supplier reports
    Kategorie kategorie;

    // --- vocabulary
    const char* zakladkaTowarow;      // "Katalog Towarów" / "Ceny RMS"
    const char* stronaSzczegolow;     // "Szczegóły towaru" / "Szczegóły RMS"
    const char* ramkaSzukania;        // " SZUKANIE TOWARÓW - KRYTERIA WYBORU "
    const char* grupaKryteriow;       // "  TOWAR  "
    const char* ramkaListy;           // " LISTA WYSZUKANYCH TOWARÓW "
    const char* czekanieSzukania;     // "Wyszukiwanie towarów..."
    const char* czekanieSortowania;   // "Sortowanie listy towarów..."
    const char* bladZapytania;        // "Nie moża wykonać zapytania o towar!\r\n"
    const char* nieZnaleziono;        // nothing found
    const char* nieWykonanoSzukania;  // leaving the search page without a search
    const char* iloscPozycji;         // the row count label

    // --- reports
    const char* tytulKartyTowaru;       // "Szczegółowe dane towaru pobrane z systemu KALMAREX"
    const char* tytulListyTowarow;      // "Lista towarów wygenerowana z systemu KALMAREX"
    const char* stopkaRaportu;          // the page footer text
    const char* podpisNazwyKarty;       // "Nazwa  towaru:" / "Nazwa RMS:"
    const char* podpisDostawcyKarty;    // "Dostawca:" / "Źródło"
    const char* naglowekNazwyListy;     // "Nazwa towaru" / "Nazwa RMS"
    const char* naglowekDostawcyListy;  // "Dostawca" / "Źródło"
    bool kartaSkrocona;                 // the goods card without PKWiU, original producer, weights, packing
    bool zrodloWLiscie;                 // the list's supplier column prints the computed field Zrodlo

    // --- look
    const char* baner;  // the picture at the top of the main window (a resource)
};

extern const Edycja CenyProducentow;
extern const Edycja CenySrednie;

// The edition of this program.
const Edycja& biezaca();
// Chooses the edition; the program's entry point does it once, tests as they need.
void ustaw(const Edycja& edycja);

// Texts of the current edition as QString.
QString tekst(const char* Edycja::*pole);
// The caption of the message boxes that carry the product name.
QString TytulKomunikatu();

}  // namespace kmx::edition
