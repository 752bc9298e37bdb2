#include "measure.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <thread>

namespace kmx::bench {

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Samples::median() const {
    return warm.empty() ? first : bench::median(warm);
}

std::int64_t residentBytes() {
    std::ifstream in("/proc/self/statm");
    long long size = 0;
    long long resident = 0;
    if (!(in >> size >> resident)) return 0;
    const long page = sysconf(_SC_PAGESIZE);
    return resident * (page > 0 ? page : 4096);
}

std::string fixed(double value, int decimals) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (res.ec != std::errc()) return "?";
    return std::string(buf, res.ptr);
}

std::string megabytes(std::int64_t bytes) {
    return fixed(static_cast<double>(bytes) / 1e6, 1) + " MB";
}

std::string machineDescription() {
    std::string model;
    std::ifstream in("/proc/cpuinfo");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("model name", 0) == 0) {
            const auto colon = line.find(':');
            if (colon != std::string::npos) model = line.substr(line.find_first_not_of(" \t", colon + 1));
            break;
        }
    }
    if (model.empty()) model = "unknown processor";
    const unsigned threads = std::thread::hardware_concurrency();
    return model + ", " + std::to_string(threads) + (threads == 1 ? " hardware thread" : " hardware threads");
}

}  // namespace kmx::bench
