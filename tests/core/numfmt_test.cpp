#include "core/numfmt.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <string>

using namespace kmx;

namespace {

// A C++ locale with "," as the decimal point and "." grouping every 3 digits.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

}  // namespace

TEST(FormatGeneral, DigitsOfTheExactValue) {
    EXPECT_EQ(formatGeneral(static_cast<double>(12.7f), 18, '.'), "12.6999998092651367");
    EXPECT_EQ(formatGeneral(150, 18, '.'), "150");
    EXPECT_EQ(formatGeneral(38051.5, 15, '.'), "38051.5");
    EXPECT_EQ(formatGeneral(0.1, 15, '.'), "0.1");
    EXPECT_EQ(formatGeneral(1.0 / 3.0, 15, ','), "0,333333333333333");
    EXPECT_EQ(formatGeneral(0, 15, '.'), "0");
    EXPECT_EQ(formatGeneral(-0.0, 15, '.'), "0");
    EXPECT_EQ(formatGeneral(-2.5, 15, ','), "-2,5");
}

TEST(FormatGeneral, ExponentStyle) {
    EXPECT_EQ(formatGeneral(12345678901.0, 10, ','), "1,23456789E10");
    EXPECT_EQ(formatGeneral(1e20, 15, '.'), "1E20");
    EXPECT_EQ(formatGeneral(1e100, 15, '.'), "1E100");
    EXPECT_EQ(formatGeneral(1.5e-5, 15, ','), "1,5E-5");
    EXPECT_EQ(formatGeneral(-2.5e-7, 15, '.'), "-2.5E-7");
    // The switch: exponent at or above the precision, or below -4.
    EXPECT_EQ(formatGeneral(123456789012345.0, 15, '.'), "123456789012345");
    EXPECT_EQ(formatGeneral(1e15, 15, '.'), "1E15");
    EXPECT_EQ(formatGeneral(0.0001, 15, '.'), "0.0001");
    EXPECT_EQ(formatGeneral(0.00001, 15, '.'), "1E-5");
}

TEST(FormatGeneral, ValuesThatAreNotFinite) {
    EXPECT_EQ(formatGeneral(std::numeric_limits<double>::infinity(), 15, '.'), "INF");
    EXPECT_EQ(formatGeneral(-std::numeric_limits<double>::infinity(), 15, '.'), "-INF");
    EXPECT_EQ(formatGeneral(std::nan(""), 15, '.'), "NAN");
    EXPECT_EQ(formatFixed(std::nan(""), 2, ','), "NAN");
}

TEST(FormatFixed, RoundsTheDecimalFormHalfAwayFromZero) {
    EXPECT_EQ(formatFixed(12.5, 2, ','), "12,50");
    EXPECT_EQ(formatFixed(12.125, 2, '.'), "12.13");
    EXPECT_EQ(formatFixed(0.285, 2, '.'), "0.29");  // 0.28499999999999998 in binary
    EXPECT_EQ(formatFixed(2.675, 2, '.'), "2.68");
    EXPECT_EQ(formatFixed(-1.005, 2, '.'), "-1.01");
    EXPECT_EQ(formatFixed(1.004, 2, '.'), "1.00");
    EXPECT_EQ(formatFixed(0.005, 2, '.'), "0.01");
}

TEST(FormatFixed, CarriesAndZeros) {
    EXPECT_EQ(formatFixed(9.995, 2, '.'), "10.00");
    EXPECT_EQ(formatFixed(999.9999, 2, '.'), "1000.00");
    EXPECT_EQ(formatFixed(0.5, 0, '.'), "1");
    EXPECT_EQ(formatFixed(1234.5, 0, '.'), "1235");
    EXPECT_EQ(formatFixed(0, 3, ','), "0,000");
    EXPECT_EQ(formatFixed(-0.0, 2, ','), "0,00");
    EXPECT_EQ(formatFixed(-0.004, 2, ','), "0,00");
    EXPECT_EQ(formatFixed(5e-324, 2, ','), "0,00");
    EXPECT_EQ(formatFixed(1e21, 2, '.'), "1000000000000000000000.00");
}

TEST(DateSerial, DaysCountedFrom30December1899) {
    EXPECT_EQ(dateSerial(1899, 12, 30), 0.0);
    EXPECT_EQ(dateSerial(1899, 12, 31), 1.0);
    EXPECT_EQ(dateSerial(1900, 1, 1), 2.0);
    EXPECT_EQ(dateSerial(1900, 3, 1), 61.0);  // 1900 is not a leap year
    EXPECT_EQ(dateSerial(2000, 2, 29), 36585.0);
    EXPECT_EQ(dateSerial(2004, 3, 5), 38051.0);
    EXPECT_EQ(dateSerial(1899, 12, 29), -1.0);
}

TEST(DateSerial, InvalidDates) {
    EXPECT_TRUE(isValidDate(2000, 2, 29));
    EXPECT_FALSE(isValidDate(2001, 2, 29));
    EXPECT_FALSE(isValidDate(1900, 2, 29));
    EXPECT_FALSE(isValidDate(2004, 4, 31));
    EXPECT_FALSE(isValidDate(2004, 13, 1));
    EXPECT_FALSE(isValidDate(2004, 1, 0));
    EXPECT_FALSE(isValidDate(0, 1, 1));
    EXPECT_FALSE(isValidDate(10000, 1, 1));
    EXPECT_EQ(dateSerial(2001, 2, 29), 0.0);
}

TEST(DateSerial, SerialBackToDate) {
    const CivilDate d = civilFromSerial(38051.75);
    EXPECT_EQ(d.year, 2004);
    EXPECT_EQ(d.month, 3);
    EXPECT_EQ(d.day, 5);
    const CivilDate before = civilFromSerial(-1.25);  // the day part is taken towards zero
    EXPECT_EQ(before.year, 1899);
    EXPECT_EQ(before.month, 12);
    EXPECT_EQ(before.day, 29);
    const CivilDate first = civilFromSerial(dateSerial(1, 1, 1));
    EXPECT_EQ(first.year, 1);
    EXPECT_EQ(first.day, 1);
    const CivilDate last = civilFromSerial(dateSerial(9999, 12, 31) + 0.99);
    EXPECT_EQ(last.year, 9999);
    EXPECT_EQ(last.month, 12);
    EXPECT_EQ(last.day, 31);
}

TEST(DateSerial, OutOfRangeSerialsGiveNoDate) {
    EXPECT_EQ(civilFromSerial(dateSerial(9999, 12, 31) + 1).year, 0);
    EXPECT_EQ(civilFromSerial(dateSerial(1, 1, 1) - 1).year, 0);
    EXPECT_EQ(civilFromSerial(1e300).year, 0);
    EXPECT_EQ(civilFromSerial(std::nan("")).year, 0);
    EXPECT_EQ(civilFromSerial(std::numeric_limits<double>::infinity()).year, 0);
}

TEST(DateSerial, EveryDayOfTwoCenturiesRoundTrips) {
    int y = 1899, m = 12, d = 30;
    for (int serial = 0; serial < 73000; ++serial) {
        ASSERT_EQ(dateSerial(y, m, d), serial) << y << "-" << m << "-" << d;
        const CivilDate back = civilFromSerial(serial);
        ASSERT_TRUE(back.year == y && back.month == m && back.day == d) << serial;
        // Next day, counted independently of the code under test.
        ++d;
        if (!isValidDate(y, m, d)) {
            d = 1;
            if (++m > 12) {
                m = 1;
                ++y;
            }
        }
    }
    // 1 January 2099 is day 72686 (36526 + 99 * 365 + 25), 1 November 72990.
    EXPECT_EQ(y, 2099);
    EXPECT_EQ(m, 11);
    EXPECT_EQ(d, 11);
}

TEST(ParseDecimal, AcceptsPlainDecimals) {
    double v = 0;
    ASSERT_TRUE(parseDecimal("12,7", ',', v));
    EXPECT_DOUBLE_EQ(v, 12.7);
    ASSERT_TRUE(parseDecimal("-3", ',', v));
    EXPECT_DOUBLE_EQ(v, -3);
    ASSERT_TRUE(parseDecimal(",5", ',', v));
    EXPECT_DOUBLE_EQ(v, 0.5);
    ASSERT_TRUE(parseDecimal("7,", ',', v));
    EXPECT_DOUBLE_EQ(v, 7);
    ASSERT_TRUE(parseDecimal("+2.25", '.', v));
    EXPECT_DOUBLE_EQ(v, 2.25);
    ASSERT_TRUE(parseDecimal("0007", '.', v));
    EXPECT_DOUBLE_EQ(v, 7);
}

TEST(ParseDecimal, RejectsEverythingElseAndKeepsTheOldValue) {
    for (const char* bad : {"", "-", "+", ",", "-,", "1,2,3", "1.5", " 1", "1 ", "1e5", "1 000", "abc", "12a", "--1",
                            "1-", "\t1"}) {
        double v = 42;
        EXPECT_FALSE(parseDecimal(bad, ',', v)) << '"' << bad << '"';
        EXPECT_EQ(v, 42) << '"' << bad << '"';
    }
    double v = 42;
    EXPECT_FALSE(parseDecimal("1" + std::string(400, '0'), ',', v));
    EXPECT_EQ(v, 42);
}

TEST(NumberFormatLocale, ProcessLocaleChangesNothing) {
    const std::locale saved = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    const char* cLocale = std::setlocale(LC_ALL, "pl_PL.UTF-8");
    if (cLocale == nullptr) std::setlocale(LC_ALL, "de_DE.UTF-8");
    EXPECT_EQ(formatGeneral(1234.5, 15, '.'), "1234.5");
    EXPECT_EQ(formatFixed(1234.5, 2, '.'), "1234.50");
    EXPECT_EQ(formatFixedPrecision(1234.5, 10, 2, ','), "1234,50");
    double v = 0;
    EXPECT_TRUE(parseDecimal("1234.5", '.', v));
    EXPECT_DOUBLE_EQ(v, 1234.5);
    std::setlocale(LC_ALL, "C");
    std::locale::global(saved);
}
