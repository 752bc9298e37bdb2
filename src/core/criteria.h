#pragma once
// The search criteria records: TsTowar for the goods search and TsDostawca
// for the supplier search. Plain records of fixed layout; the screens fill
// them and the query builders turn them into statement text. Text fields hold
// Windows-1250 bytes. A zero number, a zero date and an empty text set no
// criterion, so a value-initialised record asks for everything.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/cp1250.h"

namespace kmx {

// Text of at most N characters (Windows-1250 bytes, one byte per character)
// followed by a terminating zero. Longer input is cut to N characters.
template <std::size_t N>
struct FixedText {
    static constexpr std::size_t capacity = N;

    std::array<char, N + 1> bytes{};

    // UTF-8 input, converted to Windows-1250 and cut to the capacity.
    void setUtf8(std::string_view utf8);
    // Windows-1250 input, cut to the capacity.
    void setBytes(std::string_view cp1250);
    void clear() { bytes.fill('\0'); }

    // The text up to its terminating zero.
    std::string_view view() const;
    bool empty() const { return bytes[0] == '\0'; }
};

namespace detail {
// Copies at most capacity bytes of text into dest and zero-fills the rest.
void copyFixed(char* dest, std::size_t capacity, std::string_view text);
std::string_view viewFixed(const char* data, std::size_t capacity);
}  // namespace detail

template <std::size_t N>
void FixedText<N>::setUtf8(std::string_view utf8) {
    // One byte per character in Windows-1250, so the cut never splits one.
    detail::copyFixed(bytes.data(), N, cp1250::fromUtf8(utf8));
}

template <std::size_t N>
void FixedText<N>::setBytes(std::string_view cp1250) {
    detail::copyFixed(bytes.data(), N, cp1250);
}

template <std::size_t N>
std::string_view FixedText<N>::view() const {
    return detail::viewFixed(bytes.data(), N);
}

// Goods criteria.
struct TsTowar {
    std::int32_t idProducenta = 0;
    FixedText<200> nazwa;
    bool odPoczatkuNazwy = false;  // match the name from its start only
    FixedText<50> nazwaSkr;
    FixedText<20> indeksEto;
    std::int32_t idJednostki = 0;
    FixedText<50> symbol;
    FixedText<50> pkwiu;
    float cenaProducentaOd = 0;
    float cenaProducentaDo = 0;
    float cenaJednostkowaOd = 0;
    float cenaJednostkowaDo = 0;
    float cenaDetalicznaOd = 0;
    float cenaDetalicznaDo = 0;
    float cenaHurtowaOd = 0;
    float cenaHurtowaDo = 0;
    // Date serials: days since 30 December 1899, the fraction being the time.
    double dataCenyOd = 0;
    double dataCenyDo = 0;
    double dataModyfikacjiOd = 0;
    double dataModyfikacjiDo = 0;
    std::array<std::int32_t, 2> zarezerwowane1{};
    FixedText<1> typRms;  // "M", "S", "R" or empty for any kind
    FixedText<100> nazwaOrgProd;
    std::int32_t idGrupy = 0;
    float ciezarWl = 0;
    std::int32_t zarezerwowane2 = 0;
    FixedText<50> sposobOpakowania;
    float ileTowWJed = 0;
    std::int32_t zarezerwowane3 = 0;
    float ciezarJedPak = 0;
    std::int32_t zarezerwowane4 = 0;
    float rozmiarDl = 0;
    float rozmiarSz = 0;
    float rozmiarWy = 0;
    std::array<std::int32_t, 3> zarezerwowane5{};
    FixedText<80> zarezerwowanyTekst;
    FixedText<100> nazwaProducenta;
    FixedText<15> kodProducenta;
    FixedText<35> miejscowosc;
    std::int32_t idWojewodztwa = 0;
};

// Supplier criteria.
struct TsDostawca {
    std::int32_t idProducenta = 0;
    FixedText<100> nazwa;
    FixedText<15> kodProducenta;
    std::int32_t idBranzy = 0;
    std::int32_t idKraju = 0;
    std::array<unsigned char, 64> zarezerwowane1{};
    FixedText<35> miejscowosc;
    std::int32_t idWojewodztwa = 0;
    std::array<unsigned char, 328> zarezerwowane2{};
    // A parenthesised list of producer ids in SQL syntax, e.g. "(3,17,42)",
    // written into the statement as it stands; empty for no restriction.
    std::string listaId;
};

}  // namespace kmx
