#pragma once
// Display texts of the catalogue's fields: each routine takes a field's stored
// value (Windows-1250 bytes, scrambled where the column is) and returns the
// UTF-8 text that grids, detail panels, reports, exports and e-mails show.
// None of them fails: unreadable input only gives unreadable text.

#include <optional>
#include <string>
#include <string_view>

namespace kmx {

// A name column (substitution-scrambled, stored upper case): descrambled,
// letter case restored from the row's case mask, trimmed of spaces.
std::string DeszyfrujNazwy(std::string_view stored, std::string_view mask);

// A positional column shown in upper case: descrambled, trimmed, upper-cased
// (Polish letters included).
std::string DeszyfrujStrP2(std::string_view stored);

// A positional column shown as stored: descrambled and trimmed.
std::string DeszyfrujStrP3(std::string_view stored);

// A price: empty for null; else two decimals with ",", no thousands separator,
// at most 10 significant digits ("12,50", "0,00"); beyond 10 digits before
// the separator the exponent form "1,23456789E10".
std::string DeszyfrujCene(std::optional<double> value);

// A measure: empty for null; else the shortest general form with up to 15
// significant digits and "," ("0,5", "1250", "1E15").
std::string DeszyfrujFloat(std::optional<double> value);

// A date stored as a day serial (days since 30 December 1899, the fraction
// being the time of day): empty for null or 0, else "dd-mm-yyyy". A serial
// outside the years 1 to 9999 also shows as empty.
std::string DeszyfrujDate(std::optional<double> serial);

// A plain text column: trimmed of spaces at both ends.
std::string formatuj(std::string_view storedCp1250);

// A column whose text is never shown in a grid cell: always empty.
std::string WywalTab(std::string_view stored);

// The display format "0.00": two decimals with ",", empty for null.
std::string FormatCena00(std::optional<double> value);

// A scrambled memo column in full: descrambled, not trimmed.
std::string DeszyfrujTekst(std::string_view stored, int mode);

}  // namespace kmx
