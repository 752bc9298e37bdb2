#pragma once
// The large demo catalogue the benchmarks run on: made once in the build
// folder and reused while its marker file names the same size.

#include <filesystem>
#include <string>

#ifndef KMX_BENCH_CATALOGUE_DIR
#define KMX_BENCH_CATALOGUE_DIR "bench-catalogue"
#endif

namespace kmx::bench {

inline constexpr int kBenchGoods = 200000;

// Makes the demo catalogue in `dir` unless a finished one of the same size is
// there. The marker is written last, so an interrupted run is made again.
// Prints a line before and after making it; false with the reason in `error`.
bool ensureDemoCatalogue(const std::filesystem::path& dir, std::string& error);
bool ensureDemoCatalogue(const std::filesystem::path& dir, int goods, std::string& error);

}  // namespace kmx::bench
