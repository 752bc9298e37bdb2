#pragma once
// The three records exchanged with the price-base library of the version 3
// cost-estimating program: the price-list header, one price row and one
// producer. Each is a block of bytes at fixed offsets, written and read
// field by field (never as a packed struct), so the layout does not depend
// on the compiler.
//
// Text fields are 8-bit Windows-1250 bytes: cut to the field's width when
// longer, zero-padded, and ended by a zero byte only when shorter than the
// width. Numbers are little-endian. Reserved bytes are zero.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kmx::t3 {

inline constexpr std::size_t kCennikRecSize = 401;
inline constexpr std::size_t kRmsRecSize = 308;
inline constexpr std::size_t kProdRecSize = 626;

// The goods name of a price row: at most this many bytes, then a zero.
inline constexpr std::size_t kNazwaMax = 201;

// Price-list header (TCennikRec).
struct CennikRec {
    std::string plik;        // 0/41: table file name, "….dbf"
    std::string typ = "E";   // 162/1: type letter
    std::int32_t jeden = 1;  // 164/4: always 1
    std::string opis;        // 168/201: description
    std::string poziom;      // 369/21: price level
    std::string waluta;      // 390/11: currency code
};

// One price row (TRmsRec).
struct RmsRec {
    std::string kod;            // 0/8: ETO index or KMB code
    std::string jmKod;          // 8/4: unit code
    std::string rodzajIndeksu;  // 12/2: "2" ETO, "1" KMB; one character and a zero
    std::string typ;            // 14/1: M, S or R
    std::string jmNazwa;        // 15/21: unit name
    float cenaProducenta = 0;   // 36/4
    float cenaHurtowa = 0;      // 40/4
    float cenaDetaliczna = 0;   // 44/4
    std::string nazwa;          // 48/256: goods name, at most 201 bytes and a zero
};

// One producer (TProdRec).
struct ProdRec {
    std::string kod;          // 0/16
    std::string nip;          // 16/16
    std::string nazwa;        // 32/101
    std::string kodPocztowy;  // 133/11
    std::string miejscowosc;  // 144/31
    std::string ulica;        // 175/51
    std::string wojewodztwo;  // 226/26
    std::string telKier;      // 252/4: phone area code
    std::string telefon;      // 256/16
    std::string faks;         // 272/16
    std::string email;        // 288/41
    std::string www;          // 329/41
};

// Each writer fills exactly its record size of bytes at out.
void Zapisz(const CennikRec& r, char* out);
CennikRec CzytajCennik(const char* in);
void ZapiszRms(const RmsRec& r, char* out);
RmsRec CzytajRms(const char* in);
void ZapiszProd(const ProdRec& r, char* out);
ProdRec CzytajProd(const char* in);

// Writes bytes into a text field of width bytes: cut to the width, the rest
// zeros.
void PoleTekstu(char* at, std::size_t width, std::string_view bytes);
// A text field: its bytes up to the first zero or the width.
std::string CzytajPole(const char* at, std::size_t width);

}  // namespace kmx::t3
