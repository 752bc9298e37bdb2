#pragma once
// Free-text search criteria into SQL LIKE conditions.
//
// A criterion holds words separated by "+" or the double quote; a row matches
// when its column matches any word. A criterion enclosed in "(" and ")" asks
// for every word instead, and a word preceded by "-" must not match. Each word
// is upper-cased, scrambled as the column is stored and made literal for LIKE.
// All text here is Windows-1250 bytes; scrambled patterns may hold byte 0.

#include <cstdint>
#include <string>
#include <string_view>

namespace kmx {

// What the statement builders have written so far.
struct StanBudowy {
    bool WhereRozpoczete = false;  // the WHERE keyword is written; next condition starts with " AND "
    bool BrakKryteriow = true;     // no criterion added yet
};

// Scanner over one criterion (already trimmed). Positions are 1-based.
struct Token {
    std::string text;            // the word just read, trimmed of spaces
    std::int32_t position = 1;   // where scanning continues
    std::int32_t count = 0;      // words read so far
    bool bracketed = false;      // the criterion is enclosed in "(" and ")"
    bool negated = false;        // the word just read is preceded by "-" (bracketed form only)

    void reset() { *this = Token{}; }

    // True when the criterion is not empty, begins with "(" and ends with ")".
    static bool czyWNawiasach(std::string_view criterion);
    // Sets `bracketed` from the criterion and returns it.
    bool sprawdzNawiasy(std::string_view criterion);
    // Reads the next word into `text`, using `bracketed` for the syntax.
    void czytajSlowo(std::string_view criterion);
    // There is still text to scan.
    bool maSlowa(std::string_view criterion) const;
};

// The text made literal inside a double-quoted LIKE pattern: '"' doubled,
// each of % [ ] ^ _ enclosed in brackets.
std::string MaskujLike(std::string_view text);

// Appends to `where` one group of LIKE conditions on `column` for the
// criterion, scrambled with `mode` (1 substitution, 2 positional); with
// `leadingWildcard` each word may stand anywhere in the value, else only at
// its start. A criterion of spaces only leaves `where` and the state alone.
std::string WarunekTekstowy(StanBudowy& stan, std::string where, std::string_view column,
                            std::string_view criterion, int mode, bool leadingWildcard);

}  // namespace kmx
