#pragma once
// The large demo catalogue the benchmarks run on: made once in the build
// folder and reused while its marker file names the same size.

#include <filesystem>
#include <string>

#ifndef KMX_BENCH_CATALOGUE_DIR
#define KMX_BENCH_CATALOGUE_DIR "bench-catalogue"
#endif

namespace kmx::data {
class TDM;
}

namespace kmx::bench {

inline constexpr int kBenchGoods = 200000;

// Makes the demo catalogue in `dir` unless a finished one of the same size is
// there. The marker is written last, so an interrupted run is made again.
// Prints a line before and after making it; false with the reason in `error`.
bool ensureDemoCatalogue(const std::filesystem::path& dir, std::string& error);
bool ensureDemoCatalogue(const std::filesystem::path& dir, int goods, std::string& error);

// Connects the data module to the catalogue and opens its lookups, as
// start-up does; false with the program's message in `error`.
bool openModule(data::TDM& dm, const std::filesystem::path& file, const std::string& password, std::string& error);

}  // namespace kmx::bench
