#pragma once
// Finding a result set's fields the way the windows and reports name them.

#include <string_view>

namespace kmx::data {

class DataSet;

// Index of a field; a qualified name ("TOWAR.SYMBOL") falls back to the bare
// column name when the set names it without its table. -1 when absent.
int znajdzPole(const DataSet& set, std::string_view name);

}  // namespace kmx::data
