#include "core/display.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "core/cp1250.h"
#include "core/scramble.h"
#include "core/textutil.h"

using namespace kmx;

namespace {

// A name as the catalogue stores it: upper case, substitution-scrambled, with its mask.
struct StoredName {
    std::string stored;
    std::string mask;
};

StoredName storeName(const char* utf8) {
    const std::string cp = cp1250::fromUtf8(utf8);
    return {Szyfruj(cp1250::upper(cp), 1), ZbudujMaskeWielkosci(cp)};
}

}  // namespace

TEST(DisplayNames, DescrambledWithCaseRestoredAndTrimmed) {
    const StoredName name = storeName("Zaprawa klejowa do płytek, żółta 25 kg");
    EXPECT_EQ(DeszyfrujNazwy(name.stored, name.mask), "Zaprawa klejowa do płytek, żółta 25 kg");

    // The mask counts the leading spaces; trimming comes after the case.
    const StoredName padded = storeName("  Cegła pełna  ");
    EXPECT_EQ(DeszyfrujNazwy(padded.stored, padded.mask), "Cegła pełna");
}

TEST(DisplayNames, MaskOfAnotherLengthOrNoMask) {
    const std::string stored = Szyfruj(cp1250::fromUtf8("ŁĄCZNIK ŚRUBOWY"), 1);
    EXPECT_EQ(DeszyfrujNazwy(stored, ""), "ŁĄCZNIK ŚRUBOWY");
    // Flags 1000000 for the first seven characters only.
    EXPECT_EQ(DeszyfrujNazwy(stored, "`"), "Łącznik ŚRUBOWY");
}

TEST(DisplayPositional, StrP2IsUpperCaseAndStrP3KeepsCase) {
    const std::string text = cp1250::fromUtf8("  ul. Łąkowa 5/7 m. ż  ");
    EXPECT_EQ(DeszyfrujStrP2(Szyfruj(text, 2)), "UL. ŁĄKOWA 5/7 M. Ż");
    EXPECT_EQ(DeszyfrujStrP3(Szyfruj(text, 3)), "ul. Łąkowa 5/7 m. ż");
    EXPECT_EQ(DeszyfrujStrP3(Szyfruj("", 3)), "");
}

TEST(DisplayPositional, TabsInsideAndAtTheEndsStay) {
    // Only spaces are trimmed.
    const std::string text = "\tA B\t ";
    EXPECT_EQ(DeszyfrujStrP3(Szyfruj(text, 3)), "\tA B\t");
}

TEST(DisplayMemo, DescrambledInFullWithoutTrimming) {
    const std::string memo = cp1250::fromUtf8(" Opis firmy:\r\n  - hurtownia materiałów \r\n");
    EXPECT_EQ(DeszyfrujTekst(Szyfruj(memo, 3), 3), " Opis firmy:\r\n  - hurtownia materiałów \r\n");
    EXPECT_EQ(DeszyfrujTekst(memo, 0), " Opis firmy:\r\n  - hurtownia materiałów \r\n");
}

TEST(DisplayPrice, TwoDecimalsWithComma) {
    EXPECT_EQ(DeszyfrujCene(12.5), "12,50");
    EXPECT_EQ(DeszyfrujCene(0.0), "0,00");
    EXPECT_EQ(DeszyfrujCene(std::nullopt), "");
    EXPECT_EQ(DeszyfrujCene(-3.456), "-3,46");
    EXPECT_EQ(DeszyfrujCene(12.125), "12,13");
}

TEST(DisplayPrice, TenSignificantDigitsThenExponent) {
    EXPECT_EQ(DeszyfrujCene(1234567890.0), "1234567890,00");
    // 9 digits before the separator leave room for one decimal only.
    EXPECT_EQ(DeszyfrujCene(123456789.126), "123456789,10");
    EXPECT_EQ(DeszyfrujCene(1234567890.5), "1234567891,00");
    EXPECT_EQ(DeszyfrujCene(12345678901.0), "1,23456789E10");
    EXPECT_EQ(DeszyfrujCene(-98765432109.0), "-9,876543211E10");
    // Rounding itself can push the value past 10 digits.
    EXPECT_EQ(DeszyfrujCene(9999999999.6), "1E10");
}

TEST(DisplayFloat, ShortestGeneralForm) {
    EXPECT_EQ(DeszyfrujFloat(std::nullopt), "");
    EXPECT_EQ(DeszyfrujFloat(0.5), "0,5");
    EXPECT_EQ(DeszyfrujFloat(1250.0), "1250");
    EXPECT_EQ(DeszyfrujFloat(0.1 + 0.2), "0,3");
    EXPECT_EQ(DeszyfrujFloat(1e15), "1E15");
}

TEST(DisplayDate, DayMonthYear) {
    EXPECT_EQ(DeszyfrujDate(38051.0), "05-03-2004");  // 5 March 2004
    EXPECT_EQ(DeszyfrujDate(38051.75), "05-03-2004");
    EXPECT_EQ(DeszyfrujDate(60.0), "28-02-1900");
    EXPECT_EQ(DeszyfrujDate(-1.25), "29-12-1899");
    EXPECT_EQ(DeszyfrujDate(-693593.0), "01-01-0001");
}

TEST(DisplayDate, NoDate) {
    EXPECT_EQ(DeszyfrujDate(0.0), "");
    EXPECT_EQ(DeszyfrujDate(std::nullopt), "");
    EXPECT_EQ(DeszyfrujDate(3e6), "");  // beyond the year 9999
    EXPECT_EQ(DeszyfrujDate(std::nan("")), "");
}

TEST(DisplayPlain, FormatujTrimsSpacesAndConverts) {
    EXPECT_EQ(formatuj("  m2  "), "m2");
    EXPECT_EQ(formatuj(cp1250::fromUtf8(" złoty ")), "złoty");
    EXPECT_EQ(formatuj("   "), "");
    EXPECT_EQ(formatuj("szt.\t "), "szt.\t");
}

TEST(DisplayPlain, WywalTabShowsNothing) {
    EXPECT_EQ(WywalTab("Opis firmy\tz tabulatorem"), "");
    EXPECT_EQ(WywalTab(""), "");
}

TEST(DisplayPlain, Format000) {
    EXPECT_EQ(FormatCena00(12.5), "12,50");
    EXPECT_EQ(FormatCena00(std::nullopt), "");
    EXPECT_EQ(FormatCena00(1234567890123.456), "1234567890123,46");  // no exponent here
    EXPECT_EQ(FormatCena00(-0.004), "0,00");
}

TEST(TextUtil, TrimSpacesOnly) {
    EXPECT_EQ(trimSpaces("  a b  "), "a b");
    EXPECT_EQ(trimSpaces(""), "");
    EXPECT_EQ(trimSpaces("    "), "");
    EXPECT_EQ(trimSpaces("\t a \n"), "\t a \n");
    EXPECT_EQ(trimSpaces("\xA0x\xA0"), "\xA0x\xA0");  // non-breaking space is not a space here
}

TEST(TextUtil, UsunTabulatory) {
    EXPECT_EQ(UsunTabulatory("a\tb "), "ab");
    EXPECT_EQ(UsunTabulatory("\t \t  \t"), "");
    EXPECT_EQ(UsunTabulatory(""), "");
    EXPECT_EQ(UsunTabulatory(" \tOpis:\tżółty \t\r\nkoniec\t "), "Opis:żółty \r\nkoniec");
    const std::string cp = cp1250::fromUtf8("\t łąka\t");
    EXPECT_EQ(UsunTabulatory(cp), cp1250::fromUtf8("łąka"));
}
