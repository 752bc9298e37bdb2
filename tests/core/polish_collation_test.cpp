#include "core/polish_collation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kmx::polish {
namespace {

// Windows-1250 bytes of the Polish letters used below.
constexpr char a_ = '\xB9';  // ą
constexpr char c_ = '\xE6';  // ć
constexpr char e_ = '\xEA';  // ę
constexpr char l_ = '\xB3';  // ł
constexpr char L_ = '\xA3';  // Ł
constexpr char n_ = '\xF1';  // ń
constexpr char o_ = '\xF3';  // ó
constexpr char O_ = '\xD3';  // Ó
constexpr char s_ = '\x9C';  // ś
constexpr char S_ = '\x8C';  // Ś
constexpr char zi = '\x9F';  // ź
constexpr char Zi = '\x8F';  // Ź
constexpr char zo = '\xBF';  // ż

std::string s(std::initializer_list<char> chars) {
    return std::string(chars);
}

TEST(PolishCollation, LettersFollowThePolishAlphabet) {
    const std::vector<std::string> alphabet = {
        "a", s({a_}), "b", "c",     s({c_}), "d", "e",     s({e_}), "f",     "g",     "h",    "i",
        "j", "k",     "l", s({l_}), "m",     "n", s({n_}), "o",     s({o_}), "p",     "q",    "r",
        "s", s({s_}), "t", "u",     "v",     "w", "x",     "y",     "z",     s({zi}), s({zo})};
    for (std::size_t i = 0; i + 1 < alphabet.size(); ++i) {
        EXPECT_LT(compare(alphabet[i], alphabet[i + 1]), 0) << "position " << i;
        EXPECT_GT(compare(alphabet[i + 1], alphabet[i]), 0) << "position " << i;
    }
    // Words: the Polish letter decides before anything after it.
    EXPECT_LT(compare("laska", s({l_, 'a', 'b'})), 0);   // l < ł
    EXPECT_LT(compare(s({'z', 'z'}), s({zi, 'a'})), 0);  // z < ź
    EXPECT_LT(compare(s({zi, 'z'}), s({zo, 'a'})), 0);   // ź < ż
}

TEST(PolishCollation, LetterCaseIsIgnoredUnlessATieBreakIsAsked) {
    const std::string lodz = s({L_, o_, 'd', zi});       // Łódź
    const std::string LODZ = s({L_, O_, 'D', Zi});       // ŁÓDŹ
    const std::string lodzLower = s({l_, o_, 'd', zi});  // łódź
    EXPECT_EQ(compare(lodz, LODZ), 0);
    EXPECT_TRUE(equal(lodzLower, LODZ));
    EXPECT_EQ(compare("Beton", "bEtOn"), 0);
    // Tie-break: at the first position where the case differs, lower case first.
    EXPECT_LT(compare(lodzLower, lodz, Case::LowerFirst), 0);
    EXPECT_GT(compare(LODZ, lodz, Case::LowerFirst), 0);
    EXPECT_LT(compare("Beton", "BETON", Case::LowerFirst), 0);
    EXPECT_EQ(compare("Beton", "Beton", Case::LowerFirst), 0);
    // The tie-break never overrides a difference of letters.
    EXPECT_LT(compare("BETA", "beton", Case::LowerFirst), 0);
}

TEST(PolishCollation, OtherCharactersDigitsThenLetters) {
    EXPECT_LT(compare(" ", "-"), 0);
    EXPECT_LT(compare("-", "0"), 0);
    EXPECT_LT(compare("0", "9"), 0);
    EXPECT_LT(compare("9", "a"), 0);
    EXPECT_LT(compare("_", "0"), 0);  // '_' is above the digits in code order but sorts before them
    EXPECT_LT(compare("~", "A"), 0);
    EXPECT_LT(compare("abc", "abcd"), 0);  // a prefix first
    EXPECT_LT(compare("", "a"), 0);
    EXPECT_EQ(compare("", ""), 0);
    EXPECT_FALSE(equal("ab", "abc"));
}

TEST(PolishCollation, ForeignAccentsDifferOnlyAtTheSecondLevel) {
    const std::string aAcute = "\xE1";  // á
    const std::string sCaron = "\x9A";  // š
    EXPECT_LT(compare("a", aAcute), 0);
    EXPECT_LT(compare(aAcute, "b"), 0);
    // The accent counts only when the letters are equal: áb < ac.
    EXPECT_LT(compare(aAcute + "b", "ac"), 0);
    EXPECT_GT(compare(aAcute + "c", "ab"), 0);
    EXPECT_NE(compare(aAcute, "a"), 0);
    // š sorts with s, before ś, which is a letter of its own.
    EXPECT_LT(compare(sCaron + "z", s({s_, 'a'})), 0);
    EXPECT_LT(compare("sz", s({S_, 'a'})), 0);
    EXPECT_EQ(compare("\x8A", sCaron), 0);  // Š and š
}

TEST(PolishCollation, CharKeysOrderSingleCharactersWithoutCase) {
    EXPECT_EQ(charKey('a'), charKey('A'));
    EXPECT_EQ(charKey(static_cast<unsigned char>(l_)), charKey(static_cast<unsigned char>(L_)));
    EXPECT_LT(charKey('a'), charKey(static_cast<unsigned char>(a_)));
    EXPECT_LT(charKey(static_cast<unsigned char>(a_)), charKey('b'));
    EXPECT_LT(charKey('9'), charKey('a'));
    EXPECT_LT(charKey('%'), charKey('0'));
    EXPECT_NE(charKey('a'), charKey(0xE1));  // á is not a
}

TEST(PolishCollation, BytesZeroAndHighAreOrdinaryCharacters) {
    const std::string withZero("a\0b", 3);
    const std::string withOne("a\1b", 3);
    EXPECT_LT(compare(withZero, withOne), 0);
    EXPECT_EQ(compare(withZero, std::string("A\0B", 3)), 0);
    EXPECT_LT(compare(std::string("\x80"), "0"), 0);  // € is no letter or digit
}

}  // namespace
}  // namespace kmx::polish
