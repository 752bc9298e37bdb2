#pragma once
// Statement builders of the goods and supplier searches: a criteria record in,
// the text of one SELECT out (Windows-1250 bytes with scrambled words, which
// may hold byte 0). They never touch the database.
//
// Every condition builder takes the WHERE text so far and returns it extended,
// or unchanged when its criterion is empty. A condition starts with " AND "
// once the WHERE keyword is written and with " WHERE " before; it then marks
// the keyword written and, unless said otherwise, clears BrakKryteriow of the
// builder state. Numbers are written with "." whatever the process locale.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/criteria.h"
#include "core/expression.h"

namespace kmx {

// True when the latest goods build had no criterion besides the resource
// kind (materials/equipment). The export reads it; only the goods build sets it.
extern bool BrakKryteriow;

// column op value, for value > 0.
std::string WarunekLiczbowy(StanBudowy& stan, std::string where, std::string_view column, std::string_view op,
                            std::int32_t value);
// column op value, for value > 0; the float's exact value to 18 significant digits.
std::string WarunekCeny(StanBudowy& stan, std::string where, std::string_view column, std::string_view op,
                        float value);
// WarunekCeny with "=".
std::string WarunekWielkosci(StanBudowy& stan, std::string where, std::string_view column, float value);
// column op serial + " ", for a serial other than 0 (negative serials included);
// shortest form with up to 15 significant digits.
std::string WarunekDaty(StanBudowy& stan, std::string where, std::string_view column, std::string_view op,
                        double value);
// column = "TEXT", the trimmed text upper-cased and made LIKE-literal. Leaves
// BrakKryteriow as it is.
std::string WarunekRowny(StanBudowy& stan, std::string where, std::string_view column, std::string_view text);
// For value > 0: appends extraTables to `from` and writes
// column = value followed by " " and the join conditions.
std::string WarunekZlaczenia(StanBudowy& stan, std::string where, std::string_view column, std::int32_t value,
                             std::string_view extraTables, std::string_view joinConditions, std::string& from);
// column op LIST, the trimmed list upper-cased and made LIKE-literal, neither
// quoted nor scrambled; for a non-empty list.
std::string WarunekListy(StanBudowy& stan, std::string where, std::string_view column, std::string_view op,
                         std::string_view list);

// Mode 0: the goods matching the criteria; mode 1: the distinct producers of
// those goods. Any other mode is taken as 0. Sets kmx::BrakKryteriow.
std::string ZbudujZapytanieTowarow(const TsTowar& kryteria, int mode);

// The producers matching the criteria. Leaves kmx::BrakKryteriow alone.
std::string ZbudujZapytanieDostawcow(const TsDostawca& kryteria);

}  // namespace kmx
