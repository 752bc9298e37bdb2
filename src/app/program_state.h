#pragma once
// Program-wide state of the main window: the edition texts, the last search
// statements and row counts, the criteria of the last goods search and the
// formatting settings made at start-up. One instance for the whole run; the
// main window writes it, reports and exports read it.

#include <QString>
#include <cstdint>
#include <string>

#include "core/criteria.h"

namespace kmx::app {

struct StanProgramu {
    // Edition of the catalogue, from table Wersja; the defaults stay when it
    // cannot be read.
    QString Edycja = QStringLiteral("x");
    QString Rok = QStringLiteral("yyyy");
    QString WersjaOpis = QStringLiteral("Wersja 1.21 wyd.x/yyyy");  // "Wersja 1.21 wyd." + Edycja + "/" + Rok
    QString Wydanie = QStringLiteral("x/yyyy");                     // Edycja + "/" + Rok

    // SELECT texts of the last searches (Windows-1250 bytes, ORDER BY not
    // included) and their row counts.
    std::string SqlTowarow;
    std::string SqlDostawcow;
    std::int32_t IloscTowarow = 0;
    std::int32_t IloscDostawcow = 0;
    std::int32_t IloscTowarowDostawcy = 0;
    // ID_PRODUCENTA of the supplier whose goods list is loaded; 0 = none.
    std::int32_t IdDostawcyTowarow = 0;

    // Criteria of the last goods search.
    TsTowar KryteriaTowaru;

    // Formatting: dates "dd-MM-yy" with "-", numbers with "," as shown.
    QString KrotkiFormatDaty = QStringLiteral("dd-MM-yy");
    QChar SeparatorDaty = QLatin1Char('-');
    QChar SeparatorDziesietny = QLatin1Char(',');
};

StanProgramu& stanProgramu();

// Sets Edycja and Rok and the texts built from them.
void UstawWydanie(const QString& edycja, const QString& rok);

// The formatting settings of start-up: date separator "-", short date
// format "dd-MM-yy", decimal separator ",".
void UstawFormatyStartowe();

// The system announced a change of its regional settings: from now on the
// short date format is "dd-MM-yyyy".
void ZmianaUstawienRegionalnych();

// Back to the state of a fresh start (tests).
void ZerujStanProgramu();

}  // namespace kmx::app
