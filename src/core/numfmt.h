#pragma once
// Locale-free number and date formatting. Every number the program shows or
// writes goes through here, so the process locale never changes a digit or a
// separator.

#include <string>
#include <string_view>

namespace kmx {

// General notation with at most `precision` significant digits (at least 1;
// the digits are those of the double's exact binary value, correctly rounded).
// Trailing zeros of the fraction are dropped. Exponent notation is used when
// the decimal exponent is below -4 or at least `precision`, written as "E" and
// the exponent without "+" or leading zeros: "1,23456789E10", "1.5E-5".
// formatGeneral(12.7f, 18, '.') == "12.6999998092651367".
// Zero never carries a minus sign. Infinities and NaN give "INF", "-INF" and
// "NAN" here and below.
std::string formatGeneral(double v, int precision, char decimalSep);
// The same appended to `out`: for writers of many numbers.
void appendGeneral(std::string& out, double v, int precision, char decimalSep);

// Fixed notation with exactly `decimals` digits after the separator (0 gives
// no separator). Rounds the shortest decimal form of the value half away from
// zero, the way a price is rounded by hand: 12.125 -> "12.13", 0.285 ->
// "0.29". A result that rounds to zero carries no minus sign.
std::string formatFixed(double v, int decimals, char decimalSep);

// Fixed notation limited to `precision` significant digits: the value is
// rounded (half away from zero) to whichever comes first, `precision`
// significant digits or `decimals` decimals, and then shown with exactly
// `decimals` decimals. When the rounded value has more than `precision`
// digits before the separator it is shown in the exponent notation of
// formatGeneral with `precision` digits instead:
// formatFixedPrecision(12345678901, 10, 2, ',') == "1,23456789E10".
std::string formatFixedPrecision(double v, int precision, int decimals, char decimalSep);

// Dates as day serials: days since 30 December 1899, the fraction being the
// time of day.
struct CivilDate {
    int year = 0;  // 0: no date (see civilFromSerial)
    int month = 0;
    int day = 0;
};

// True for a date of the proleptic Gregorian calendar in the years 1 to 9999.
bool isValidDate(int year, int month, int day);
// The serial of a valid date (isValidDate); anything else gives 0.
double dateSerial(int year, int month, int day);
// The date of a serial; the time of day is ignored (the integer part is taken
// towards zero, so -1.25 is 29 December 1899). A serial that is not finite or
// lies outside the years 1 to 9999 gives year 0.
CivilDate civilFromSerial(double serial);

// Strict decimal number: an optional sign, digits, and optionally `sep`
// followed by digits ("12,7", "-3", ",5", "7,"). No spaces, no exponent, no
// thousands separators. Returns false and leaves `out` alone on anything else,
// including a value out of the range of double.
bool parseDecimal(std::string_view text, char sep, double& out);

}  // namespace kmx
