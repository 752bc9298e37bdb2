#pragma once
// Small text helpers that work on UTF-8 and Windows-1250 bytes alike (they
// touch only spaces and tabs, which are the same byte in both).

#include <string>
#include <string_view>

namespace kmx {

// The text without the spaces at both ends. Only " " counts: tabs, line ends
// and non-breaking spaces stay.
std::string trimSpaces(std::string_view text);

// Removes every tab character, then trims spaces at both ends.
std::string UsunTabulatory(std::string_view text);

}  // namespace kmx
