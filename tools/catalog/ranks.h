#pragma once
// The idx_ rank columns: every row's 1-based place in one order of its
// table, ties broken by the row's id, so the ranks of a table are 1..n.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kmx::catalog {

using Ranks = std::vector<std::int64_t>;

// Texts (UTF-8) in Polish alphabetical order, letter case ignored; a missing
// text counts as the empty one and comes first.
Ranks rankByText(const std::vector<std::string>& texts, const std::vector<std::int64_t>& ids);

// Numbers in ascending order, missing ones first.
Ranks rankByNumber(const std::vector<std::optional<double>>& values, const std::vector<std::int64_t>& ids);

// Places of texts in Polish alphabetical order where texts that compare equal
// share a place: 0, 1, 2, ... For ranking rows by a looked-up name.
std::vector<std::int64_t> textOrderPlaces(const std::vector<std::string>& texts);

// Integer keys in ascending order.
Ranks rankByKey(const std::vector<std::int64_t>& keys, const std::vector<std::int64_t>& ids);

}  // namespace kmx::catalog
