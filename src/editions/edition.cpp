#include "editions/edition.h"

namespace kmx::edition {

const Edycja CenyProducentow{
    "Kalmarex",
    false,
    "KALMAREX",
    "KALMAREX - CENY PRODUCENTÓW I DOSTAWCÓW - wydanie ",
    "Wersja 1.21 wyd.",
    "Kalmarex VORA",
    "Instrukcja importu i eksportu KALMAREX - CENY PRODUCENTÓW I DOSTAWCÓW M i S do programów kosztorysowych",
    "KALMAREX - CENY PRODUCENTÓW I DOSTAWCÓW M i S ",
    false,
    "Instrukcja_eksportu_ms.rtf",
    true,
    Kategorie::MaterialySprzet,
    "Katalog Towarów",
    "Szczegóły towaru",
    " SZUKANIE TOWARÓW - KRYTERIA WYBORU ",
    "  TOWAR  ",
    " LISTA WYSZUKANYCH TOWARÓW ",
    "Wyszukiwanie towarów...",
    "Sortowanie listy towarów...",
    "Nie moża wykonać zapytania o towar!\r\n",
    "Nie znaleziono towaru. Sprawdź czy określiłeś właściwą kategorie wyszukiwania materiał/sprzęt",
    "Nie wykonano szukania towarów!",
    "Il. poz.: ",
    "Szczegółowe dane towaru pobrane z systemu KALMAREX",
    "Lista towarów wygenerowana z systemu KALMAREX",
    "KALMAREX - Baza danych towarów i dostawców branży budowlanej",
    "Nazwa  towaru:",
    "Dostawca:",
    "Nazwa towaru",
    "Dostawca",
    false,
    false,
    ":/kmx/images/banner.png",
};

const Edycja CenySrednie{
    "KalmarexAvg",
    true,
    "KALMAREX CS",
    "KALMAREX - CENY ŚREDNIE - wydanie ",
    "Wersja 1.09 wyd.",
    "Kalmarex CS",
    "Instrukcja importu i eksportu KALMAREX - CENY SREDNIE RMS do programów kosztorysowych",
    "KALMAREX - CENY ŚREDNIE RMS ",
    true,
    "Instrukcja_eksportu_cs.rtf",
    false,
    Kategorie::RobociznaMaterialySprzet,
    "Ceny RMS",
    "Szczegóły RMS",
    " SZUKANIE RMS - KRYTERIA WYBORU ",
    "  RMS  ",
    " LISTA WYSZUKANYCH RMS",
    "Wyszukiwanie RMS...",
    "Sortowanie listy RMS...",
    "Nie moża wykonać zapytania o RMS!\r\n",
    "Nie znaleziono RMS. Sprawdź czy określiłeś właściwą kategorie wyszukiwania robocizna/materiał/sprzęt",
    "Nie wykonano szukania RMS!",
    "Ilość pozycji: ",
    "Szczegółowe dane RMS pobrane z systemu KALMAREX",
    "Lista RMS wygenerowana z systemu KALMAREX",
    "KALMAREX - Baza danych RMS i dostawców branży budowlanej",
    "Nazwa RMS:",
    "Źródło",
    "Nazwa RMS",
    "Źródło",
    true,
    true,
    ":/kmx/images/banner_avg.png",
};

namespace {
const Edycja* wybrana = &CenyProducentow;
}

const Edycja& biezaca() {
    return *wybrana;
}

void ustaw(const Edycja& edycja) {
    wybrana = &edycja;
}

QString tekst(const char* Edycja::*pole) {
    return QString::fromUtf8(biezaca().*pole);
}

QString TytulKomunikatu() {
    return tekst(&Edycja::tytulKomunikatu);
}

}  // namespace kmx::edition
