#include "core/scramble.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/cp1250.h"

using namespace kmx;

namespace {

// A small key whose draws are easy to follow by hand.
constexpr ScrambleKey kTinyKey{3, 7, 5, 1, 1};

std::string bytes(std::initializer_list<int> codes) {
    std::string s;
    for (int c : codes) s.push_back(static_cast<char>(c));
    return s;
}

bool isEscapeLetter(char c) { return std::string_view("aezxlocnsAEZXLOCNS").find(c) != std::string_view::npos; }

// Random text of codes 1..255. A "~" directly before an escape letter is
// avoided: such plain text reads back as a Polish letter (see FoldUnfold).
std::string randomText(std::mt19937& rng, std::size_t length) {
    std::uniform_int_distribution<int> code(1, 255);
    std::string s;
    while (s.size() < length) {
        const char c = static_cast<char>(code(rng));
        if (!s.empty() && s.back() == '~' && isEscapeLetter(c)) continue;
        s.push_back(c);
    }
    return s;
}

}  // namespace

TEST(ScrambleGenerator, StepsAsWorkedOutByHand) {
    Generator g(kTinyKey);
    // state 5 -> (3*5+1) mod 7 = 2 -> 10*2 div 7 = 2
    EXPECT_EQ(g.random(10), 2u);
    // state 2 -> 7 mod 7 = 0 -> 0
    EXPECT_EQ(g.random(10), 0u);
    // state 0 -> 1 -> 100*1 div 7 = 14
    EXPECT_EQ(g.random(100), 14u);
    // state 1 -> 4 -> 7*4 div 7 = 4
    EXPECT_EQ(g.random(7), 4u);
    g.reseed();
    EXPECT_EQ(g.random(10), 2u);
}

TEST(ScrambleGenerator, ProductAndSumWrapAt32BitsBeforeTheReduction) {
    // 2 * 0xFFFFFFFF + 3 = 2^33 + 1, which is 1 modulo 2^32; without the wrap
    // it would be 8589934593 mod 65521 = 55326.
    Generator g(ScrambleKey{2, 65521, 0xFFFFFFFFu, 3, 0});
    EXPECT_EQ(g.random(65521), 1u);
    // 2 * 1 + 3 = 5
    EXPECT_EQ(g.random(65521), 5u);
}

TEST(ScrambleGenerator, EveryScramblingStartsFromTheSameReseed) {
    const std::string first = Szyfruj("BETON", 2);
    Szyfruj("SOMETHING ELSE ENTIRELY", 2);
    EXPECT_EQ(Szyfruj("BETON", 2), first);
}

TEST(ScrambleProgramKey, GeneratorRunsThroughTheWholeCycleBeforeRepeating) {
    const ScrambleKey& key = programKey();
    Generator g;
    // Random(modulus) returns the state itself.
    std::vector<bool> seen(key.modulus, false);
    const unsigned cycle = key.modulus - 1u;
    for (unsigned i = 0; i < cycle; ++i) {
        const unsigned state = g.random(key.modulus);
        ASSERT_FALSE(seen[state]) << "state repeats after " << i << " draws";
        seen[state] = true;
    }
    EXPECT_EQ(g.random(key.modulus), [&] {
        Generator fresh;
        return fresh.random(key.modulus);
    }());
}

TEST(ScrambleProgramKey, DrawsAreEvenlySpread) {
    for (unsigned n : {100u, 255u}) {
        Generator g;
        std::vector<int> count(n, 0);
        const int perValue = 1000;
        for (unsigned i = 0; i < n * perValue; ++i) ++count[g.random(n)];
        for (unsigned v = 0; v < n; ++v) {
            EXPECT_GT(count[v], perValue * 85 / 100) << "Random(" << n << ") value " << v;
            EXPECT_LT(count[v], perValue * 115 / 100) << "Random(" << n << ") value " << v;
        }
    }
}

TEST(ScrambleProgramKey, SuccessiveDrawsAreNotCorrelated) {
    Generator g;
    std::array<std::array<int, 10>, 10> pairs{};
    const int perCell = 1000;
    for (int i = 0; i < 100 * perCell; ++i) {
        const unsigned a = g.random(10);
        const unsigned b = g.random(10);
        ++pairs[a][b];
    }
    for (const auto& row : pairs) {
        for (int c : row) {
            EXPECT_GT(c, perCell * 85 / 100);
            EXPECT_LT(c, perCell * 115 / 100);
        }
    }
}

TEST(ScrambleProgramKey, ScrambledStarIsSafeInLikePatterns) {
    const std::string star = Szyfruj("*", 1);
    ASSERT_EQ(star.size(), 1u);
    EXPECT_NE(star[0], '\0');
    EXPECT_EQ(std::string_view("%_[]^\"'").find(star[0]), std::string_view::npos)
        << "scrambled * is " << static_cast<int>(static_cast<unsigned char>(star[0]));
    EXPECT_EQ(star[0], static_cast<char>(TablicaPodstawien()['*']));
}

TEST(ScrambleSubstitutionTable, IsAPermutationWithTheLastPositionFixed) {
    const SubstitutionTable& t = TablicaPodstawien();
    std::array<int, 256> times{};
    for (int p = 1; p <= 255; ++p) ++times[t[p]];
    for (int code = 0; code <= 254; ++code) EXPECT_EQ(times[code], 1) << "code " << code;
    EXPECT_EQ(times[255], 0);
    EXPECT_EQ(t[255], 254);
}

TEST(ScrambleSubstitutionTable, BuiltFromSwapsAsWorkedOutByHand) {
    ScrambleKey none = kTinyKey;
    none.swaps = 0;
    const SubstitutionTable identity = buildSubstitutionTable(none);
    for (int p = 1; p <= 255; ++p) EXPECT_EQ(identity[p], p - 1);

    // One swap: a = 254*2 div 7 + 1 = 73, b = 254*0 div 7 + 1 = 1.
    const SubstitutionTable one = buildSubstitutionTable(kTinyKey);
    EXPECT_EQ(one[73], 0);
    EXPECT_EQ(one[1], 72);
    for (int p = 2; p <= 255; ++p) {
        if (p != 73) {
            EXPECT_EQ(one[p], p - 1) << "position " << p;
        }
    }
}

TEST(FoldUnfold, PolishLettersBecomeTildeEscapes) {
    const std::string polish = cp1250::fromUtf8("ąężźłóćńśĄĘŻŹŁÓĆŃŚ");
    EXPECT_EQ(fold(polish), "~a~e~z~x~l~o~c~n~s~A~E~Z~X~L~O~C~N~S");
    EXPECT_EQ(unfold("~a~e~z~x~l~o~c~n~s~A~E~Z~X~L~O~C~N~S"), polish);
    EXPECT_EQ(fold(cp1250::fromUtf8("Łódź")), "~L~od~x");
    EXPECT_EQ(fold("plain text 123"), "plain text 123");
}

TEST(FoldUnfold, TildeWithoutAnEscapeLetterStays) {
    EXPECT_EQ(unfold("~q"), "~q");
    EXPECT_EQ(unfold("ab~"), "ab~");
    EXPECT_EQ(unfold("~"), "~");
    EXPECT_EQ(unfold("~~a"), "~" + cp1250::fromUtf8("ą"));
    EXPECT_EQ(unfold("~1~ "), "~1~ ");
    EXPECT_EQ(fold("~q"), "~q");
}

TEST(FoldUnfold, PlainTildeBeforeAnEscapeLetterReadsBackAsAPolishLetter) {
    // The escapes are not themselves escaped: "~a" typed as such cannot be
    // told from a folded "ą". The scheme accepts this; the settings writer
    // refuses such passwords.
    EXPECT_EQ(Deszyfruj(Szyfruj("~a", 2), 2), cp1250::fromUtf8("ą"));
}

TEST(ScrambleRoundTrip, RandomTextsInEveryMode) {
    std::mt19937 rng(20240305);
    for (int mode : {1, 2, 3}) {
        for (std::size_t length = 0; length <= 300; length += (length < 20 ? 1 : 17)) {
            for (int rep = 0; rep < 5; ++rep) {
                const std::string text = randomText(rng, length);
                const std::string scrambled = Szyfruj(text, mode);
                ASSERT_EQ(Deszyfruj(scrambled, mode), text) << "mode " << mode << " length " << length;
            }
        }
    }
}

TEST(ScrambleRoundTrip, DescramblingIntoAReusedStringLeavesNothingOfTheLastValue) {
    // Long values first, then short ones, escapes among them: each result
    // must be the value alone, whatever the string held before.
    std::mt19937 rng(20261209);
    std::string out = "stale stale stale stale stale stale stale stale ~a~e~z";
    for (int mode : {0, 1, 2, 3}) {
        for (std::size_t length : {300u, 40u, 7u, 1u, 0u, 25u}) {
            const std::string text = randomText(rng, length) + cp1250::fromUtf8("ąę~1") + randomText(rng, length / 3);
            DeszyfrujInto(Szyfruj(text, mode), mode, out);
            ASSERT_EQ(out, text) << "mode " << mode << " length " << length;
        }
    }
    DeszyfrujInto("", 2, out);
    EXPECT_TRUE(out.empty());
}

TEST(ScrambleRoundTrip, PolishTextGrowsByOnePerPolishLetter) {
    const std::string text = cp1250::fromUtf8("Zażółć gęślą jaźń ĄĘŻŹŁÓĆŃŚ");
    const std::size_t polishLetters = 9 + 9;
    for (int mode : {1, 2, 3}) {
        const std::string scrambled = Szyfruj(text, mode);
        EXPECT_EQ(scrambled.size(), text.size() + polishLetters) << "mode " << mode;
        EXPECT_EQ(Deszyfruj(scrambled, mode), text) << "mode " << mode;
        EXPECT_NE(scrambled, fold(text)) << "mode " << mode;
    }
}

TEST(ScrambleRoundTrip, OtherModesLeaveTheTextAlone) {
    const std::string text = cp1250::fromUtf8("Cegła ~a");
    for (int mode : {0, 4, -1, 100}) {
        EXPECT_EQ(Szyfruj(text, mode), text);
        EXPECT_EQ(Deszyfruj(text, mode), text);
    }
}

TEST(ScrambleSubstitution, EachByteIsReplacedAloneWhereverItStands) {
    const SubstitutionTable& t = TablicaPodstawien();
    EXPECT_EQ(Szyfruj("AB", 1), bytes({t['A'], t['B']}));
    const std::string word = Szyfruj("BETON", 1);
    EXPECT_EQ(Szyfruj("XBETONY", 1).find(word), 1u);
    EXPECT_EQ(Szyfruj("PUSTAK BETONOWY", 1).find(word), 7u);
}

TEST(ScrambleSubstitution, ByteZeroAndCodesOutsideTheTable) {
    // Code 0 in plain text is not substituted.
    EXPECT_EQ(Szyfruj(std::string(1, '\0'), 1), std::string(1, '\0'));
    // Byte 255 is held by no position of T: it reads as code 0.
    EXPECT_EQ(Deszyfruj("\xFF", 1), std::string(1, '\0'));
    // Byte 0 in scrambled text reads as the position holding code 0.
    const SubstitutionTable& t = TablicaPodstawien();
    const std::string plainOfZero = Deszyfruj(std::string(1, '\0'), 1);
    ASSERT_EQ(plainOfZero.size(), 1u);
    EXPECT_EQ(t[static_cast<unsigned char>(plainOfZero[0])], 0);
    // Plain 255 scrambles to 254 (the last position keeps its code).
    EXPECT_EQ(Szyfruj("\xFF", 1), "\xFE");
}

TEST(ScramblePositional, EachByteGetsTheDrawOfItsPosition) {
    const std::string text = "CEMENT PORTLANDZKI";
    const std::string scrambled = Szyfruj(text, 2);
    ASSERT_EQ(scrambled.size(), text.size());
    Generator g;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const unsigned shift = (static_cast<unsigned char>(scrambled[k]) + 256u -
                                static_cast<unsigned char>(text[k])) % 256u;
        EXPECT_EQ(shift, g.random(100)) << "position " << k;
    }
    EXPECT_EQ(Szyfruj(text, 3), scrambled);
}

TEST(ScramblePositional, WordScramblesTheSameOnlyAtTheStart) {
    const std::string two = Szyfruj("BE", 2);
    EXPECT_EQ(Szyfruj("BETON", 2).substr(0, 2), two);
    EXPECT_EQ(Szyfruj("BELKA STROPOWA", 2).substr(0, 2), two);
    EXPECT_NE(Szyfruj("XBETON", 2).substr(1, 2), two);
    EXPECT_EQ(Szyfruj("XBETON", 2).find(two), std::string::npos);
}

TEST(ScramblePositional, LongValuesDescrambleAtEveryPosition) {
    // Long memos: descrambling takes the draws from a table for the first
    // positions and from the generator past them.
    std::mt19937 rng(20261209);
    for (const std::size_t length : {1023u, 1024u, 1025u, 1100u, 5000u}) {
        const std::string text = randomText(rng, length);
        EXPECT_EQ(Deszyfruj(Szyfruj(text, 3), 3), text) << "length " << length;
    }
}

TEST(ScramblePositional, WrapsModulo256) {
    // Byte 255 plus any draw above 0 wraps; descrambling undoes it.
    const std::string high(40, '\xFF');
    const std::string scrambled = Szyfruj(high, 2);
    EXPECT_NE(scrambled, high);
    EXPECT_EQ(Deszyfruj(scrambled, 2), high);
}

TEST(CaseMask, FlagsOfOneMaskCharacter) {
    // Flags 1000000: 32 + 64 = 96.
    EXPECT_EQ(NalozWielkoscLiter("KOLANKO", "\x60"), "Kolanko");
    // The same flags from a code with the eighth bit set: (224 - 32) mod 256 = 192, low 7 bits 64.
    EXPECT_EQ(NalozWielkoscLiter("KOLANKO", "\xE0"), "Kolanko");
    // Code 31: (31 - 32) mod 256 = 255, low 7 bits 1111111: nothing changes.
    EXPECT_EQ(NalozWielkoscLiter("KOLANKO", "\x1F"), "KOLANKO");
}

TEST(CaseMask, ShortAndEmptyMasks) {
    // Flags 0000000 cover only the first seven characters.
    EXPECT_EQ(NalozWielkoscLiter("ABCDEFGHIJ", " "), "abcdefgHIJ");
    EXPECT_EQ(NalozWielkoscLiter("RURA PCV", ""), "RURA PCV");
    // A mask longer than the name is harmless.
    EXPECT_EQ(NalozWielkoscLiter("AB", "   "), "ab");
    EXPECT_EQ(NalozWielkoscLiter("", "`"), "");
}

TEST(CaseMask, PolishLettersAndNonLetters) {
    // Flags 1000111 on "ŻÓŁW": Ż kept, ó ł lower, W flag 0 -> w.
    const std::string name = cp1250::fromUtf8("ŻÓŁW");
    EXPECT_EQ(NalozWielkoscLiter(name, std::string(1, 32 + 0b1000111)), cp1250::fromUtf8("Żółw"));
    // Flags 0 on digits and punctuation change nothing.
    EXPECT_EQ(NalozWielkoscLiter(cp1250::fromUtf8("12-ŚĆ"), " "), cp1250::fromUtf8("12-ść"));
}

TEST(CaseMask, BuiltMasksAsWorkedOutByHand) {
    EXPECT_EQ(ZbudujMaskeWielkosci("Kolanko"), "\x60");
    EXPECT_EQ(ZbudujMaskeWielkosci("KOLANKO 15 MM"), "");
    EXPECT_EQ(ZbudujMaskeWielkosci(""), "");
    // "abcdefgh": 0000000 then 0111111 (positions past the end are 1).
    EXPECT_EQ(ZbudujMaskeWielkosci("abcdefgh"), std::string(" ") + static_cast<char>(32 + 63));
    // "Żółw": 1000 then 111 for the missing positions = 1000111.
    EXPECT_EQ(ZbudujMaskeWielkosci(cp1250::fromUtf8("Żółw")), std::string(1, 32 + 0b1000111));
    // The mask stops after the group of the last lower-case letter.
    EXPECT_EQ(ZbudujMaskeWielkosci("Rura PCV 110 MM KIELICHOWA"), std::string(1, 32 + 0b1000111));
    // ß has no upper form: it is kept as stored, so its flag is 1.
    EXPECT_EQ(ZbudujMaskeWielkosci(cp1250::fromUtf8("STRAßE")), "");
}

TEST(CaseMask, BuiltMaskRestoresAnyName) {
    std::mt19937 rng(7);
    const std::string alphabet = cp1250::fromUtf8("aąbcćdeęfghijklłmnńoóprsśtuwyzźżAĄBCĆDEĘFGHIJKLŁMNŃOÓPRSŚTUWYZŹŻšŠďĎß0123 -.,/");
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<std::size_t> len(0, 200);
    for (int rep = 0; rep < 500; ++rep) {
        std::string name;
        const std::size_t n = len(rng);
        for (std::size_t i = 0; i < n; ++i) name.push_back(alphabet[pick(rng)]);
        const std::string mask = ZbudujMaskeWielkosci(name);
        ASSERT_EQ(NalozWielkoscLiter(cp1250::upper(name), mask), name) << name;
        // Never longer than needed: the last group holds a lower-case letter.
        std::size_t lastLower = std::string::npos;
        for (std::size_t p = 0; p < name.size(); ++p) {
            if (cp1250::upper(name.substr(p, 1)) != name.substr(p, 1)) lastLower = p;
        }
        ASSERT_EQ(mask.size(), lastLower == std::string::npos ? 0 : lastLower / 7 + 1) << name;
    }
}
