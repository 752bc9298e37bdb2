#include "core/cp1250.h"

#include <gtest/gtest.h>

#include <string>

using namespace kmx;

namespace {

std::string byte(int b) { return std::string(1, static_cast<char>(b)); }

// The 18 Polish letters "ąćęłńóśźżĄĆĘŁŃÓŚŹŻ" as Windows-1250 bytes.
const std::string kPolishCp1250 =
    "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF"
    "\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF";

}  // namespace

TEST(Cp1250Codec, EveryByteSurvivesTheTripThroughUtf8) {
    for (int b = 0; b < 256; ++b) {
        const std::string utf8 = cp1250::toUtf8(byte(b));
        EXPECT_EQ(cp1250::fromUtf8(utf8), byte(b)) << "byte " << b;
    }
    std::string all;
    for (int b = 0; b < 256; ++b) all += byte(b);
    EXPECT_EQ(cp1250::fromUtf8(cp1250::toUtf8(all)), all);
}

TEST(Cp1250Codec, PolishLettersHaveTheirCodePageBytes) {
    EXPECT_EQ(cp1250::fromUtf8("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ"), kPolishCp1250);
    EXPECT_EQ(cp1250::toUtf8(kPolishCp1250), "ąćęłńóśźżĄĆĘŁŃÓŚŹŻ");
    EXPECT_EQ(cp1250::fromUtf8("Zażółć gęślą jaźń"), "Za\xBF\xF3\xB3\xE6 g\xEA\x9C\x6C\xB9 ja\x9F\xF1");
}

TEST(Cp1250Codec, PunctuationAndSymbolsOfTheUpperHalf) {
    EXPECT_EQ(cp1250::toUtf8("\x80"), "€");
    EXPECT_EQ(cp1250::toUtf8("\x84\x94"), "„”");
    EXPECT_EQ(cp1250::toUtf8("\x96\x97"), "–—");
    EXPECT_EQ(cp1250::toUtf8("\xA0"), "\u00A0");
    EXPECT_EQ(cp1250::toUtf8("\xB0\xD7\xF7"), "°×÷");
    EXPECT_EQ(cp1250::toUtf8("\xFF"), "˙");
    EXPECT_EQ(cp1250::fromUtf8("„Cena” 5 €"), "\x84" "Cena\x94 5 \x80");
    EXPECT_EQ(cp1250::fromUtf8("\u2122"), "\x99");
}

TEST(Cp1250Codec, UndefinedBytesMapToTheC1ControlOfTheSameCode) {
    for (int b : {0x81, 0x83, 0x88, 0x90, 0x98}) {
        const std::string expected = {static_cast<char>(0xC2), static_cast<char>(b)};
        EXPECT_EQ(cp1250::toUtf8(byte(b)), expected) << "byte " << b;
    }
    // U+0080 is not one of them: byte 0x80 is the euro sign.
    EXPECT_EQ(cp1250::fromUtf8("\xC2\x80"), "?");
}

TEST(Cp1250Codec, CharactersWithoutACodePageFormBecomeQuestionMarks) {
    EXPECT_EQ(cp1250::fromUtf8("Привет"), "??????");
    EXPECT_EQ(cp1250::fromUtf8("a日本b"), "a??b");
    EXPECT_EQ(cp1250::fromUtf8("x😀y"), "x?y");
    EXPECT_EQ(cp1250::fromUtf8("ÿ"), "?");  // Latin-1 letter the code page lacks
    EXPECT_EQ(cp1250::fromUtf8("ñ"), "?");
}

TEST(Cp1250Codec, MalformedUtf8BecomesQuestionMarks) {
    EXPECT_EQ(cp1250::fromUtf8("a\x80z"), "a?z");               // stray continuation byte
    EXPECT_EQ(cp1250::fromUtf8("ab\xC4"), "ab?");               // cut at the end
    EXPECT_EQ(cp1250::fromUtf8("\xC4" "A"), "?A");              // cut before an ASCII byte
    EXPECT_EQ(cp1250::fromUtf8("\xE2\x82x"), "?x");             // three-byte form cut short
    EXPECT_EQ(cp1250::fromUtf8("\xC0\xAF"), "??");              // overlong "/"
    EXPECT_EQ(cp1250::fromUtf8("\xE0\x80\xAF"), "???");         // overlong three-byte form
    EXPECT_EQ(cp1250::fromUtf8("\xED\xA0\x80"), "???");         // surrogate half
    EXPECT_EQ(cp1250::fromUtf8("\xF4\x90\x80\x80"), "????");    // above U+10FFFF
    EXPECT_EQ(cp1250::fromUtf8("\xF5\xFE\xFF"), "???");         // bytes never valid
    EXPECT_EQ(cp1250::fromUtf8("\xC5\x82\xC5"), "\xB3?");       // "ł" then a cut sequence
    EXPECT_EQ(cp1250::fromUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp1250Case, PolishAndCentralEuropeanLettersChangeCase) {
    const std::string lowerText = cp1250::fromUtf8(
        "ąćęłńóśźż šťžľŕáâăäĺçčéëěíîďđňôőöřůúűüýţ abcxyz");
    const std::string upperText = cp1250::fromUtf8(
        "ĄĆĘŁŃÓŚŹŻ ŠŤŽĽŔÁÂĂÄĹÇČÉËĚÍÎĎĐŇÔŐÖŘŮÚŰÜÝŢ ABCXYZ");
    ASSERT_EQ(lowerText.find('?'), std::string::npos);
    ASSERT_EQ(upperText.find('?'), std::string::npos);
    EXPECT_EQ(cp1250::upper(lowerText), upperText);
    EXPECT_EQ(cp1250::lower(upperText), lowerText);
    EXPECT_EQ(cp1250::toUpper(0xB9), 0xA5);  // ą -> Ą
    EXPECT_EQ(cp1250::toLower(0x8F), 0x9F);  // Ź -> ź
}

TEST(Cp1250Case, NonLettersAndLettersWithoutAPairStay) {
    const std::string others = cp1250::fromUtf8("ßµ×÷0123456789 .,;-_~@€„”§©°±");
    ASSERT_EQ(others.find('?'), std::string::npos);
    EXPECT_EQ(cp1250::upper(others), others);
    EXPECT_EQ(cp1250::lower(others), others);
}

TEST(Cp1250Case, UpperAndLowerAreInverseOnEveryByte) {
    for (int b = 0; b < 256; ++b) {
        const auto c = static_cast<unsigned char>(b);
        const unsigned char up = cp1250::toUpper(c);
        const unsigned char low = cp1250::toLower(c);
        if (up != c) {
            EXPECT_EQ(cp1250::toLower(up), c) << "byte " << b;
            EXPECT_EQ(low, c) << "a lower-case letter has no lower form of its own, byte " << b;
        }
        if (low != c) {
            EXPECT_EQ(cp1250::toUpper(low), c) << "byte " << b;
        }
    }
}
