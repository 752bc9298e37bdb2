#pragma once
// The currency rates of the price-base export. A price list going to the
// version 3 program has one currency, the goods have theirs; TWaluty turns
// each row's three prices into the price list's currency with the rates of
// "nvres.ini", the parameter file the maker's programs share, and asks the
// user (TFWaluta) for a rate the file does not have, writing the answer there.
//
// nvres.ini, section "Kursy walut" (Windows-1250, CR LF):
//   Waluta bazowa=PLN,zł      base currency code, "," and a description
//   EUR=4.5000,euro           one unit's value in the base currency, ","
//                             and a description (may be empty)
// A rate without the "," is no usable rate. The base currency's rate is 1.

#include <QHash>
#include <QString>
#include <optional>
#include <string_view>

#include "platform/wine.h"

class QWidget;

namespace kmx::platform {
class Registry;
}

namespace kmx::tessar {

enum class WynikKursu { Ok, Anuluj, Przerwij };

// A number with "." as the decimal separator whatever the locale: blanks
// around it and a leading "+" allowed, the whole text must be the number,
// infinities and NaN refused.
std::optional<double> LiczbaZKropka(std::string_view text);

class TWaluty {
public:
    TWaluty(platform::Registry& registry, platform::WinePaths paths, QWidget* okno = nullptr);

    // Finds the file (see plik()) and reads the base currency; an empty one
    // becomes "PLN" and is written as "PLN,zł". Always true.
    //
    // The folder: HKEY_LOCAL_MACHINE "Software\Nordvale\Tabele parametrów\"
    // value "ścieżka tabel" (a Windows path), the 32-bit view of a 64-bit
    // prefix first (the programs are 32-bit); `folderDomyslny` (a Unix path)
    // when neither has a non-empty value or the path has no Unix form.
    bool Load(const QString& folderDomyslny);

    // The base currency's code as the file has it, "PLN" by default.
    QString walutaBazowa() const { return bazowa_; }
    // The Unix path of nvres.ini (an existing file whatever its letter
    // case, else "nvres.ini" in the folder); empty before Load.
    QString plik() const { return plik_; }

    // The rate of `kod` from the file, read anew each time; 1 for the base
    // currency; nullopt when the key is missing or empty, lacks the "," or
    // its number does not parse. A rate asked for that could not be written
    // to the file is remembered here for the rest of the run.
    std::optional<double> Kurs(const QString& kod) const;

    // Asks for the rate of `kod` with the wait window hidden meanwhile. On
    // Ok writes the code as entered with the rate text and the description
    // and sets `kurs` (1 when the text does not parse); otherwise `kurs` is
    // left as it was and nothing is written.
    WynikKursu ZapytajOKurs(const QString& kod, double& kurs);

    // Converts the three prices in place from the goods' currency into the
    // price list's currency: p × rate(goods) / rate(price list), asking for
    // unknown rates. Anuluj: the unknown rate is 1 for this row only;
    // Przerwij: the caller stops.
    WynikKursu Przelicz(float& cenaProducenta, float& cenaHurtowa, float& cenaDetaliczna,
                        const QString& walutaCennika, const QString& walutaTowaru);

    // The last failure to read or write the file (Polish), empty when none.
    const QString& blad() const { return blad_; }

private:
    QString folderTabel(const QString& folderDomyslny);
    bool zapisz(const QString& klucz, const QString& wartosc);

    platform::Registry& registry_;
    platform::WinePaths paths_;
    QWidget* okno_;
    QString plik_;
    QString bazowa_ = QStringLiteral("PLN");
    QString blad_;
    QHash<QString, double> niezapisane_;  // by upper-case code
};

}  // namespace kmx::tessar
