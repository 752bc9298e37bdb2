#include "core/polish_collation.h"

#include <array>
#include <cstddef>

#include "core/cp1250.h"

namespace kmx::polish {

namespace {

// Weights of every byte: the primary letter (or character) and the accent
// within it. Letter case is taken from the byte itself, not from the table.
struct Weights {
    std::array<std::uint16_t, 256> primary{};
    std::array<std::uint8_t, 256> secondary{};
    std::array<std::uint8_t, 256> lower{};  // 1 for a lower-case letter
};

// The Polish alphabet; every letter is its own primary weight.
constexpr std::string_view kAlphabet =
    "A\xA5"
    "BC\xC6"
    "DE\xCA"
    "FGHIJKL\xA3"
    "MN\xD1"
    "O\xD3"
    "PQRS\x8C"
    "TUVWXYZ\x8F\xAF";

// The other letters of the code page: base letter (upper case) and accent rank.
struct Foreign {
    unsigned char byte;
    char base;
    unsigned char accent;
};
constexpr std::array<Foreign, 32> kForeign = {{
    {0xC1, 'A', 1},  // Á
    {0xC2, 'A', 2},  // Â
    {0xC3, 'A', 3},  // Ă
    {0xC4, 'A', 4},  // Ä
    {0xC7, 'C', 1},  // Ç
    {0xC8, 'C', 2},  // Č
    {0xCF, 'D', 1},  // Ď
    {0xD0, 'D', 2},  // Đ
    {0xC9, 'E', 1},  // É
    {0xCB, 'E', 2},  // Ë
    {0xCC, 'E', 3},  // Ě
    {0xCD, 'I', 1},  // Í
    {0xCE, 'I', 2},  // Î
    {0xC5, 'L', 1},  // Ĺ
    {0xBC, 'L', 2},  // Ľ
    {0xD2, 'N', 1},  // Ň
    {0xD4, 'O', 1},  // Ô
    {0xD5, 'O', 2},  // Ő
    {0xD6, 'O', 3},  // Ö
    {0xC0, 'R', 1},  // Ŕ
    {0xD8, 'R', 2},  // Ř
    {0x8A, 'S', 1},  // Š
    {0xAA, 'S', 2},  // Ş
    {0xDF, 'S', 3},  // ß (no upper-case form)
    {0x8D, 'T', 1},  // Ť
    {0xDE, 'T', 2},  // Ţ
    {0xDA, 'U', 1},  // Ú
    {0xD9, 'U', 2},  // Ů
    {0xDC, 'U', 3},  // Ü
    {0xDB, 'U', 4},  // Ű
    {0xDD, 'Y', 1},  // Ý
    {0x8E, 'Z', 1},  // Ž
}};

Weights makeWeights() {
    Weights w{};
    std::array<bool, 256> letter{};
    // Letters: primary 1000 + 10 * position in the alphabet.
    auto setLetter = [&](unsigned char up, std::uint16_t primary, std::uint8_t accent) {
        const unsigned char low = cp1250::toLower(up);
        for (unsigned char c : {up, low}) {
            letter[c] = true;
            w.primary[c] = primary;
            w.secondary[c] = accent;
        }
        if (low != up) w.lower[low] = 1;
    };
    auto letterPrimary = [](std::size_t pos) { return static_cast<std::uint16_t>(1000 + 10 * pos); };
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        setLetter(static_cast<unsigned char>(kAlphabet[i]), letterPrimary(i), 0);
    }
    for (const Foreign& f : kForeign) {
        setLetter(f.byte, letterPrimary(kAlphabet.find(f.base)), f.accent);
    }
    // ß is lower case but has no upper form of its own in the code page.
    w.lower[0xDF] = 1;
    // Everything else: first the other characters in code order, then the digits.
    for (int c = 0; c < 256; ++c) {
        const bool digit = c >= '0' && c <= '9';
        if (!digit && !letter[c]) w.primary[c] = static_cast<std::uint16_t>(c);
    }
    for (int d = 0; d < 10; ++d) w.primary['0' + d] = static_cast<std::uint16_t>(500 + d);
    return w;
}

const Weights& weights() {
    static const Weights w = makeWeights();
    return w;
}

int sign(int v) {
    return (v > 0) - (v < 0);
}

}  // namespace

int compare(std::string_view a, std::string_view b, Case caseOrder) {
    const Weights& w = weights();
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    auto at = [](std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); };
    // First the letters themselves, then the accents, then (if asked) the case.
    for (std::size_t i = 0; i < n; ++i) {
        const int d = int{w.primary[at(a, i)]} - int{w.primary[at(b, i)]};
        if (d != 0) return sign(d);
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    for (std::size_t i = 0; i < n; ++i) {
        const int d = int{w.secondary[at(a, i)]} - int{w.secondary[at(b, i)]};
        if (d != 0) return sign(d);
    }
    if (caseOrder == Case::LowerFirst) {
        for (std::size_t i = 0; i < n; ++i) {
            // A lower-case letter (1) sorts before its upper case (0).
            const int d = int{w.lower[at(b, i)]} - int{w.lower[at(a, i)]};
            if (d != 0) return sign(d);
        }
    }
    return 0;
}

std::uint32_t charKey(unsigned char c) {
    const Weights& w = weights();
    return (std::uint32_t{w.primary[c]} << 8) | w.secondary[c];
}

}  // namespace kmx::polish
