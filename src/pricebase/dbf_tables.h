#pragma once
// The dBASE tables of a price-base folder, through shapelib:
//   cenniki.dbf   the price lists (one row each)
//   <plik>.dbf    one table per price list, its price rows
//   producen.dbf  the producers
//   etokmb.dbf    ETO index to KMB code conversions
// Tables are created with the language driver byte 0xC8 (Windows-1250) in
// their header and hold the records' Windows-1250 bytes as they are.

#include <shapefil.h>

#include <array>
#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/safe_file.h"

namespace kmx::pricebase {

inline constexpr const char* kListaCennikow = "cenniki.dbf";
inline constexpr const char* kProducenci = "producen.dbf";
inline constexpr const char* kEtoKmb = "etokmb.dbf";
// The code page shapelib writes as the language driver byte: 200 = 0xC8.
inline constexpr const char* kStronaKodowa = "LDID/200";

// One column: 'C' text or 'N' number with decimals.
struct Pole {
    const char* nazwa;
    char typ;
    int szerokosc;
    int miejsca = 0;
};

// cenniki.dbf: PLIK C41, TYP C1, OPIS C201, POZIOM C21, WALUTA C11.
enum PoleCennika { kcPlik, kcTyp, kcOpis, kcPoziom, kcWaluta, kcIle };
extern const Pole kPolaCennikow[kcIle];
// A price list: KOD C8, JM_KOD C4, RODZAJ C2, TYP C1, JM_NAZWA C21,
// CENA_PROD, CENA_HURT, CENA_DET N15.4, NAZWA C201.
enum PoleCeny {
    kpKod,
    kpJmKod,
    kpRodzaj,
    kpTyp,
    kpJmNazwa,
    kpCenaProd,
    kpCenaHurt,
    kpCenaDet,
    kpNazwa,
    kpIle
};
extern const Pole kPolaCen[kpIle];
// producen.dbf: KOD C16, NIP C16, NAZWA C101, KOD_POCZT C11, MIEJSCOWOS C31,
// ULICA C51, WOJEWODZTW C26, TEL_KIER C4, TELEFON C16, FAKS C16, EMAIL C41, WWW C41.
enum PoleProducenta {
    kdKod,
    kdNip,
    kdNazwa,
    kdKodPocztowy,
    kdMiejscowosc,
    kdUlica,
    kdWojewodztwo,
    kdTelKier,
    kdTelefon,
    kdFaks,
    kdEmail,
    kdWww,
    kdIle
};
extern const Pole kPolaProducentow[kdIle];
// etokmb.dbf: ETO C8, JM C4 (empty: any unit), KMB C8.
enum PoleKonwersji { kkEto, kkJm, kkKmb, kkIle };
extern const Pole kPolaKonwersji[kkIle];

// A table name that stays in its folder: no "..", "/" or "\", not starting
// with a blank, ending in ".dbf" (any case) after at least one character.
bool NazwaTabeliPoprawna(std::string_view name);

// The file shapelib opens for a table name: "<name without .dbf>.dbf", or the
// ".DBF" spelling when only that exists. PlikDoZapisu is always ".dbf".
std::filesystem::path PlikTabeli(const std::filesystem::path& folder, std::string_view name);
std::filesystem::path PlikDoZapisu(const std::filesystem::path& folder, std::string_view name);

// The file hooks every table of ours is opened with: stdio, numbers read
// without regard to the locale, and failed writes, flushes and closes
// remembered (per thread) so that a full disk is reported.
SAHooks* Hooki();
// Forgets the remembered failure; BladZapisu gives it (errno, 0 when none).
void ZerujBladZapisu();
int BladZapisu();
// DBFOpenLL with the hooks.
DBFHandle OtworzTabele(const std::filesystem::path& file, const char* access);

// Creates an empty table with these columns and today's date. Null on
// failure, with errno of the failed step.
DBFHandle UtworzTabele(const std::filesystem::path& file, std::span<const Pole> pola);

// The 32 bytes of a table's file header as they are on disk, taken before an
// append so that a failed one can be undone.
using Naglowek = std::array<unsigned char, 32>;
bool NaglowekTabeli(DBFHandle h, Naglowek& out);
// Undoes an append that failed: the file's length goes back to `rows` rows,
// its header to `naglowek`, the stdio buffer of the failed row is dropped.
// The table then holds what it held before the append.
void CofnijDopisanie(DBFHandle h, int rows, const Naglowek& naglowek);

// Copies a file's bytes into a replacement (of the same table, to be changed
// and renamed over it). False with the failure kept in `to`.
bool KopiujDo(const std::filesystem::path& from, safefile::Replacement& to);

// The column index of each of pola in an open table; false with the name of
// the first column missing or of the wrong kind.
bool ZnajdzPola(DBFHandle h, std::span<const Pole> pola, std::vector<int>& indeksy, std::string& brak);

// A number as a field of width characters with that many decimals, right
// aligned, "." as decimal point whatever the locale. False when it does not
// fit or is not finite.
bool PoleLiczby(double value, int width, int decimals, std::string& out);

// Blanks trimmed at both ends.
std::string_view Przytnij(std::string_view s);

// A whole table for reading: column names and kinds, and the rows not marked
// deleted, each value as stored with blanks trimmed.
struct Tabela {
    std::vector<std::string> kolumny;
    std::vector<char> typy;
    std::vector<std::vector<std::string>> wiersze;
    int kolumna(std::string_view name) const;  // -1 when missing
};
// False with a UTF-8 reason when the file is missing or no dBASE table.
bool CzytajTabele(const std::filesystem::path& file, Tabela& out, std::string& error);
// The number of rows not marked deleted, without reading the values.
bool LiczWiersze(const std::filesystem::path& file, int& rows, std::string& error);

}  // namespace kmx::pricebase
