#pragma once
// The goods and supplier criteria flags shared by the *-sql and search-* commands.

#include <set>
#include <string>

#include "args.h"
#include "core/criteria.h"

namespace kmx::tool {

std::set<std::string> goodsOptionNames();
std::set<std::string> supplierOptionNames();

// Fills a goods criteria record as the goods screen would (the price typed
// with "," as the decimal separator). False with a message on a bad value.
bool fillGoodsCriteria(const Options& o, TsTowar& t, int& mode, std::string& error);
bool fillSupplierCriteria(const Options& o, TsDostawca& d, std::string& error);

}  // namespace kmx::tool
