#pragma once
// Small measuring helpers of the benchmark: a stopwatch, medians, the
// process's resident memory and locale-free number text.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace kmx::bench {

class Stopwatch {
public:
    Stopwatch() : start_(std::chrono::steady_clock::now()) {}
    double ms() const {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    std::chrono::steady_clock::time_point start_;
};

// The first (cold) run and the runs after it.
struct Samples {
    double first = 0;
    std::vector<double> warm;

    // Median of the warm runs; the first run when there are none.
    double median() const;
};

double median(std::vector<double> values);

// Resident set size of this process in bytes, from /proc/self/statm; 0 when
// it cannot be read.
std::int64_t residentBytes();

// "12.3": fixed notation with `decimals` digits after a "." whatever the locale.
std::string fixed(double value, int decimals);

// Bytes as megabytes (10^6 bytes) with one decimal: "123.4 MB".
std::string megabytes(std::int64_t bytes);

// The processor's model name and the number of hardware threads, for the
// report's header.
std::string machineDescription();

}  // namespace kmx::bench
