#include "core/scramble.h"

#include <array>
#include <utility>

#include "core/cp1250.h"

namespace kmx {

namespace {

// The 18 Polish letters in Windows-1250 and the letters of their escapes.
constexpr std::string_view kPolish =
    "\xB9\xEA\xBF\x9F\xB3\xF3\xE6\xF1\x9C"   // ą ę ż ź ł ó ć ń ś
    "\xA5\xCA\xAF\x8F\xA3\xD3\xC6\xD1\x8C";  // Ą Ę Ż Ź Ł Ó Ć Ń Ś
constexpr std::string_view kEscapeLetters = "aezxlocnsAEZXLOCNS";
constexpr char kEscape = '~';

}  // namespace

const ScrambleKey& programKey() {
    // The generator works modulo 65521, the largest prime below 2^16, so the
    // state (below 2^16 after the first step) never wraps and the generator is
    // a pure congruential one: with the multiplier a primitive root modulo that
    // prime every state except the single fixed point c / (1 - a) lies on one
    // cycle of 65520 states, and the first state drawn from the seed is not the
    // fixed point. 29245 scored best in the spectral test over dimensions 2 to 5
    // among the primitive roots, so successive Random(100) and Random(255)
    // values are evenly spread and not visibly correlated. 3000 swaps shuffle the
    // 254 movable entries of the substitution table thoroughly. The seed was
    // then stepped until the scrambled "*" (the wildcard of name searches) came
    // out as a plain letter: never byte 0 and none of the characters LIKE
    // patterns escape or quote (% _ [ ] ^ " '), so swapping it for "%" in a
    // scrambled name pattern cannot collide with the escaping.
    static const ScrambleKey key{29245, 65521, 0x4B4D5828u, 40503, 3000};
    return key;
}

unsigned Generator::random(unsigned n) {
    // Product and sum wrap at 32 bits before the reduction.
    const std::uint32_t next = static_cast<std::uint32_t>(key_.multiplier) * state_ + key_.increment;
    state_ = next % key_.modulus;
    return static_cast<unsigned>((static_cast<std::uint64_t>(n) * state_) / key_.modulus);
}

SubstitutionTable buildSubstitutionTable(const ScrambleKey& key) {
    SubstitutionTable t{};
    for (int i = 1; i <= 255; ++i) t[i] = static_cast<unsigned char>(i - 1);
    Generator g(key);
    for (int i = 0; i < key.swaps; ++i) {
        const unsigned a = g.random(254) + 1;
        const unsigned b = g.random(254) + 1;
        std::swap(t[a], t[b]);
    }
    return t;
}

const SubstitutionTable& TablicaPodstawien() {
    static const SubstitutionTable table = buildSubstitutionTable(programKey());
    return table;
}

std::string fold(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes) {
        const std::size_t k = kPolish.find(ch);
        if (k == std::string_view::npos) {
            out.push_back(ch);
        } else {
            out.push_back(kEscape);
            out.push_back(kEscapeLetters[k]);
        }
    }
    return out;
}

namespace {
// Unfolds in place: an escape pair becomes one letter, so the text only shrinks.
void unfoldInPlace(std::string& s) {
    std::size_t i = s.find(kEscape);
    if (i == std::string::npos) return;  // nothing to unfold
    std::size_t w = i;
    for (; i < s.size(); ++i) {
        if (s[i] == kEscape && i + 1 < s.size()) {
            const std::size_t k = kEscapeLetters.find(s[i + 1]);
            if (k != std::string_view::npos) {
                s[w++] = kPolish[k];
                ++i;
                continue;
            }
        }
        s[w++] = s[i];
    }
    s.resize(w);
}
}  // namespace

std::string unfold(std::string_view bytes) {
    std::string out(bytes);
    unfoldInPlace(out);
    return out;
}

namespace {

bool isPositional(int mode) { return mode == 2 || mode == 3; }

// The positional offsets of a fresh generator, worked out once: the same for
// every value, and each a division or two apiece when drawn.
constexpr std::size_t kKnownOffsets = 1024;
const std::array<unsigned char, kKnownOffsets>& positionalOffsets() {
    static const std::array<unsigned char, kKnownOffsets> offsets = [] {
        std::array<unsigned char, kKnownOffsets> o{};
        Generator g;
        for (unsigned char& v : o) v = static_cast<unsigned char>(g.random(100));
        return o;
    }();
    return offsets;
}

}  // namespace

std::string Szyfruj(std::string_view bytes, int mode) {
    if (mode != 1 && !isPositional(mode)) return std::string(bytes);
    std::string out = fold(bytes);
    if (mode == 1) {
        const SubstitutionTable& t = TablicaPodstawien();
        for (char& ch : out) {
            const auto c = static_cast<unsigned char>(ch);
            if (c != 0) ch = static_cast<char>(t[c]);  // code 0 stays 0
        }
    } else {
        Generator g;
        for (char& ch : out) {
            ch = static_cast<char>((static_cast<unsigned char>(ch) + g.random(100)) & 0xFF);
        }
    }
    return out;
}

std::string Deszyfruj(std::string_view bytes, int mode) {
    std::string out;
    DeszyfrujInto(bytes, mode, out);
    return out;
}

void DeszyfrujInto(std::string_view bytes, int mode, std::string& out) {
    out.assign(bytes);
    if (mode != 1 && !isPositional(mode)) return;
    if (mode == 1) {
        // Inverse table: the position of each code in T; 255 is not in T.
        static const std::array<unsigned char, 256> inverse = [] {
            std::array<unsigned char, 256> inv{};
            const SubstitutionTable& t = TablicaPodstawien();
            for (int p = 1; p <= 255; ++p) inv[t[p]] = static_cast<unsigned char>(p);
            return inv;
        }();
        for (char& ch : out) ch = static_cast<char>(inverse[static_cast<unsigned char>(ch)]);
    } else if (out.size() <= kKnownOffsets) {
        const std::array<unsigned char, kKnownOffsets>& offsets = positionalOffsets();
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = static_cast<char>((static_cast<unsigned char>(out[i]) + 256 - offsets[i]) & 0xFF);
    } else {
        Generator g;
        for (char& ch : out) {
            ch = static_cast<char>((static_cast<unsigned char>(ch) + 256 - g.random(100)) & 0xFF);
        }
    }
    unfoldInPlace(out);
}

std::string NalozWielkoscLiter(std::string_view name, std::string_view mask) {
    std::string out(name);
    NalozWielkoscLiterWMiejscu(out, mask);
    return out;
}

void NalozWielkoscLiterWMiejscu(std::string& name, std::string_view mask) {
    std::size_t p = 0;  // 0-based position in the name = index of the flag
    for (char m : mask) {
        const unsigned group = (static_cast<unsigned char>(m) + 256u - 32u) & 0x7Fu;
        for (int bit = 6; bit >= 0; --bit, ++p) {
            if (p >= name.size()) return;
            if ((group & (1u << bit)) == 0) {
                name[p] = static_cast<char>(cp1250::toLower(static_cast<unsigned char>(name[p])));
            }
        }
    }
}

std::string ZbudujMaskeWielkosci(std::string_view mixedCaseName) {
    // Flag "0" marks a lower-case letter (one whose upper form differs).
    std::size_t lastLower = std::string_view::npos;
    for (std::size_t p = 0; p < mixedCaseName.size(); ++p) {
        const auto c = static_cast<unsigned char>(mixedCaseName[p]);
        if (cp1250::toUpper(c) != c) lastLower = p;
    }
    std::string mask;
    if (lastLower == std::string_view::npos) return mask;
    const std::size_t groups = lastLower / 7 + 1;
    mask.reserve(groups);
    for (std::size_t g = 0; g < groups; ++g) {
        unsigned value = 0;
        for (std::size_t k = 0; k < 7; ++k) {
            const std::size_t p = g * 7 + k;
            bool keep = true;
            if (p < mixedCaseName.size()) {
                const auto c = static_cast<unsigned char>(mixedCaseName[p]);
                keep = cp1250::toUpper(c) == c;
            }
            value = (value << 1) | (keep ? 1u : 0u);
        }
        mask.push_back(static_cast<char>(32 + value));
    }
    return mask;
}

}  // namespace kmx
