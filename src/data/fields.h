#pragma once
// Finding a result set's fields the way the windows and reports name them.

#include <string>
#include <string_view>

namespace kmx::data {

class DataSet;

// Index of a field; a qualified name ("TOWAR.SYMBOL") falls back to the bare
// column name when the set names it without its table. -1 when absent.
int znajdzPole(const DataSet& set, std::string_view name);

// The stored value of a field in the current row as UTF-8: a scrambled
// column (stored as bytes) descrambled with the mode (1 names, 2 and 3 other
// texts), a plain text column as it is, a number column as its number; not
// trimmed. Empty without a row, a field or a value.
std::string zapisanePole(const DataSet& set, std::string_view name, int mode);

}  // namespace kmx::data
