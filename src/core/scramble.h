#pragma once
// Scrambling of the catalogue's stored text.
//
// Mode 1 (goods and producer names) is a substitution of every byte through a
// table built once from the key; modes 2 and 3 (every other scrambled column)
// add a pseudo-random number to each byte, tied to its position in the value.
// Polish letters are folded into two-byte escapes ("~a" for "ą") before
// scrambling and unfolded after descrambling. All of it works on Windows-1250
// bytes; scrambled values may hold byte 0 and are never C strings.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kmx {

// The key material of the scheme. The catalogue and the settings file can be
// read only with the key they were written with.
struct ScrambleKey {
    std::uint16_t multiplier;
    std::uint16_t modulus;
    std::uint32_t seed;
    std::uint16_t increment;
    int swaps;
};

// The program's own key (see scramble.cpp for why these values).
const ScrambleKey& programKey();

// The pseudo-random generator of the scheme. Every scrambling of one value
// starts from a fresh reseed, so results never depend on earlier calls.
class Generator {
public:
    explicit Generator(const ScrambleKey& key = programKey()) : key_(key) { reseed(); }
    void reseed() { state_ = key_.seed; }
    // A value from 0 to n - 1, for 0 < n < 65536.
    unsigned random(unsigned n);

private:
    ScrambleKey key_;
    std::uint32_t state_ = 0;
};

// The substitution table T, indexed 1..255, holding each code 0..254 once.
// Index 0 is unused.
using SubstitutionTable = std::array<unsigned char, 256>;
SubstitutionTable buildSubstitutionTable(const ScrambleKey& key);
// The table of the program's key, built on first use.
const SubstitutionTable& TablicaPodstawien();

// Polish-letter escapes: "ą" -> "~a" and back. Windows-1250 bytes.
std::string fold(std::string_view bytes);
std::string unfold(std::string_view bytes);

// Scramble and descramble Windows-1250 bytes. Mode 1 substitution, modes 2 and
// 3 positional, any other mode leaves the text unchanged.
std::string Szyfruj(std::string_view bytes, int mode);
std::string Deszyfruj(std::string_view bytes, int mode);
// The same into `out`, whose storage is reused: for walks over many rows.
void DeszyfrujInto(std::string_view bytes, int mode, std::string& out);

// Restores a name's letter case from its case mask (Windows-1250 bytes).
std::string NalozWielkoscLiter(std::string_view name, std::string_view mask);
// The same on the name in place.
void NalozWielkoscLiterWMiejscu(std::string& name, std::string_view mask);
// The inverse, used by the catalogue builder: the mask that turns
// upper(name) back into name. Never longer than needed.
std::string ZbudujMaskeWielkosci(std::string_view mixedCaseName);

}  // namespace kmx
