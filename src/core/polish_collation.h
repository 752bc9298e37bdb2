#pragma once
// Polish alphabetical order of Windows-1250 text, the order in which the
// catalogue's plain text columns are compared and sorted.
//
// Letters follow the Polish alphabet (a ą b c ć d e ę f … z ź ż); the other
// Central European letters sort with their base letter and differ from it
// only at the second level (á after a, š after s). Characters other than
// letters and digits come first in code order, then the digits, then the
// letters. Comparison ignores letter case unless a case tie-break is asked for.

#include <cstdint>
#include <string_view>

namespace kmx::polish {

enum class Case {
    Ignore,      // "beton" and "BETON" are equal
    LowerFirst,  // equal texts that differ only in case: lower case first
};

// Three-way comparison: negative, 0 or positive as a sorts before, with or
// after b. Works on any bytes; never reads outside the views.
int compare(std::string_view a, std::string_view b, Case caseOrder = Case::Ignore);

inline bool equal(std::string_view a, std::string_view b) {
    return compare(a, b) == 0;
}

// The sort key of one character, letter case ignored: characters that compare
// equal get equal keys, and keys are ordered as the characters sort. Used for
// character ranges in LIKE patterns.
std::uint32_t charKey(unsigned char c);

}  // namespace kmx::polish
