#pragma once
// Subcommands of kmx-tool. Each takes the arguments after its own name and
// returns the process exit status: 0 success, 1 failure, 2 bad arguments.

#include <iosfwd>
#include <string>
#include <vector>

namespace kmx::tool {

using Args = std::vector<std::string>;

int cmdScramble(const Args& args, std::ostream& out, std::ostream& err);
int cmdDescramble(const Args& args, std::ostream& out, std::ostream& err);
int cmdGoodsSql(const Args& args, std::ostream& out, std::ostream& err);
int cmdSupplierSql(const Args& args, std::ostream& out, std::ostream& err);
int cmdWorksSql(const Args& args, std::ostream& out, std::ostream& err);
int cmdSettings(const Args& args, std::ostream& out, std::ostream& err);
// Searches through the data module on a catalogue folder.
int cmdSearchGoods(const Args& args, std::ostream& out, std::ostream& err);
int cmdSearchSuppliers(const Args& args, std::ostream& out, std::ostream& err);
int cmdWorks(const Args& args, std::ostream& out, std::ostream& err);
// catalog build | dump | demo
int cmdCatalog(const Args& args, std::ostream& out, std::ostream& err);
// Price-list files: kmx decode | kmx write; the unit-price file; the descriptor.
int cmdKmx(const Args& args, std::ostream& out, std::ostream& err);
int cmdUnitPrices(const Args& args, std::ostream& out, std::ostream& err);
int cmdDescriptor(const Args& args, std::ostream& out, std::ostream& err);
// The cost-estimating programs found in a Wine prefix.
int cmdPrograms(const Args& args, std::ostream& out, std::ostream& err);
// One of the program's reports written as PDF, text, HTML or a prepared report.
int cmdReport(const Args& args, std::ostream& out, std::ostream& err);
int cmdPeVersion(const Args& args, std::ostream& out, std::ostream& err);
// The dBASE tables of a price-base folder written by our price-base library.
int cmdPricebase(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace kmx::tool
