#pragma once
// The demo ETO to KMB conversion table: a dozen rows for indices of the demo
// catalogue, so that a price base made from it shows KMB rows.

#include <filesystem>
#include <string>

namespace kmx::pricebase {

// Writes folder/etokmb.dbf (replacing it). False with a UTF-8 reason.
bool WriteDemoConversionTable(const std::filesystem::path& folder, std::string& error);

}  // namespace kmx::pricebase
