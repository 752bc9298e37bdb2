#include "core/t3_records.h"

#include <bit>
#include <cstring>

namespace kmx::t3 {

namespace {

void putInt32(char* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<char>((v >> (8 * i)) & 0xFFu);
}

std::uint32_t getInt32(const char* at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(at[i])) << (8 * i);
    return v;
}

void putFloat(char* at, float f) {
    putInt32(at, std::bit_cast<std::uint32_t>(f));
}

float getFloat(const char* at) {
    return std::bit_cast<float>(getInt32(at));
}

}  // namespace

void PoleTekstu(char* at, std::size_t width, std::string_view bytes) {
    const std::size_t n = bytes.size() < width ? bytes.size() : width;
    if (n > 0) std::memcpy(at, bytes.data(), n);
    if (n < width) std::memset(at + n, 0, width - n);
}

std::string CzytajPole(const char* at, std::size_t width) {
    const void* zero = std::memchr(at, 0, width);
    const std::size_t n = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - at) : width;
    return std::string(at, n);
}

void Zapisz(const CennikRec& r, char* out) {
    std::memset(out, 0, kCennikRecSize);
    PoleTekstu(out + 0, 41, r.plik);
    PoleTekstu(out + 162, 1, r.typ);
    putInt32(out + 164, static_cast<std::uint32_t>(r.jeden));
    PoleTekstu(out + 168, 201, r.opis);
    PoleTekstu(out + 369, 21, r.poziom);
    PoleTekstu(out + 390, 11, r.waluta);
}

CennikRec CzytajCennik(const char* in) {
    CennikRec r;
    r.plik = CzytajPole(in + 0, 41);
    r.typ = CzytajPole(in + 162, 1);
    r.jeden = static_cast<std::int32_t>(getInt32(in + 164));
    r.opis = CzytajPole(in + 168, 201);
    r.poziom = CzytajPole(in + 369, 21);
    r.waluta = CzytajPole(in + 390, 11);
    return r;
}

void ZapiszRms(const RmsRec& r, char* out) {
    std::memset(out, 0, kRmsRecSize);
    PoleTekstu(out + 0, 8, r.kod);
    PoleTekstu(out + 8, 4, r.jmKod);
    // A one-character string: the character and its terminating zero.
    PoleTekstu(out + 12, 2, std::string_view(r.rodzajIndeksu).substr(0, 1));
    PoleTekstu(out + 14, 1, r.typ);
    PoleTekstu(out + 15, 21, r.jmNazwa);
    putFloat(out + 36, r.cenaProducenta);
    putFloat(out + 40, r.cenaHurtowa);
    putFloat(out + 44, r.cenaDetaliczna);
    PoleTekstu(out + 48, 256, std::string_view(r.nazwa).substr(0, kNazwaMax));
}

RmsRec CzytajRms(const char* in) {
    RmsRec r;
    r.kod = CzytajPole(in + 0, 8);
    r.jmKod = CzytajPole(in + 8, 4);
    r.rodzajIndeksu = CzytajPole(in + 12, 1);
    r.typ = CzytajPole(in + 14, 1);
    r.jmNazwa = CzytajPole(in + 15, 21);
    r.cenaProducenta = getFloat(in + 36);
    r.cenaHurtowa = getFloat(in + 40);
    r.cenaDetaliczna = getFloat(in + 44);
    r.nazwa = CzytajPole(in + 48, kNazwaMax);
    return r;
}

void ZapiszProd(const ProdRec& r, char* out) {
    std::memset(out, 0, kProdRecSize);
    PoleTekstu(out + 0, 16, r.kod);
    PoleTekstu(out + 16, 16, r.nip);
    PoleTekstu(out + 32, 101, r.nazwa);
    PoleTekstu(out + 133, 11, r.kodPocztowy);
    PoleTekstu(out + 144, 31, r.miejscowosc);
    PoleTekstu(out + 175, 51, r.ulica);
    PoleTekstu(out + 226, 26, r.wojewodztwo);
    PoleTekstu(out + 252, 4, r.telKier);
    PoleTekstu(out + 256, 16, r.telefon);
    PoleTekstu(out + 272, 16, r.faks);
    PoleTekstu(out + 288, 41, r.email);
    PoleTekstu(out + 329, 41, r.www);
}

ProdRec CzytajProd(const char* in) {
    ProdRec r;
    r.kod = CzytajPole(in + 0, 16);
    r.nip = CzytajPole(in + 16, 16);
    r.nazwa = CzytajPole(in + 32, 101);
    r.kodPocztowy = CzytajPole(in + 133, 11);
    r.miejscowosc = CzytajPole(in + 144, 31);
    r.ulica = CzytajPole(in + 175, 51);
    r.wojewodztwo = CzytajPole(in + 226, 26);
    r.telKier = CzytajPole(in + 252, 4);
    r.telefon = CzytajPole(in + 256, 16);
    r.faks = CzytajPole(in + 272, 16);
    r.email = CzytajPole(in + 288, 41);
    r.www = CzytajPole(in + 329, 41);
    return r;
}

}  // namespace kmx::t3
