#include "bench_catalogue.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include "catalog/demo.h"
#include "core/last_error.h"
#include "data/tdm.h"
#include "measure.h"

namespace fs = std::filesystem;

namespace kmx::bench {
namespace {

constexpr const char* kBenchPassword = "Kmx-bench-200k";
constexpr const char* kMarkerName = "kmx-bench.txt";

std::string markerText(int goods) {
    return "kmx-bench demo catalogue\ngoods=" + std::to_string(goods) + "\n";
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

bool ensureDemoCatalogue(const fs::path& dir, std::string& error) {
    return ensureDemoCatalogue(dir, kBenchGoods, error);
}

bool ensureDemoCatalogue(const fs::path& dir, int goods, std::string& error) {
    std::error_code ec;
    const fs::path marker = dir / kMarkerName;
    if (fs::exists(dir / "kmx.dat", ec) && readFile(marker) == markerText(goods)) return true;
    fs::create_directories(dir, ec);
    fs::remove(marker, ec);
    std::cout << "Making the " << goods << "-goods demo catalogue in " << dir.string()
              << " (once; it is reused afterwards)..." << std::endl;
    Stopwatch sw;
    const catalog::DemoResult r = catalog::writeDemo(dir, catalog::DemoOptions{goods, kBenchPassword});
    if (!r.ok) {
        error = "cannot make the demo catalogue: " + r.error;
        return false;
    }
    std::ofstream out(marker, std::ios::binary | std::ios::trunc);
    out << markerText(goods);
    if (!out) {
        error = marker.string() + ": cannot write the marker file";
        return false;
    }
    std::cout << "Made in " << fixed(sw.ms() / 1000, 1) << " s." << std::endl;
    return true;
}

bool openModule(data::TDM& dm, const fs::path& file, const std::string& password, std::string& error) {
    if (dm.PolaczZBaza(file, password) || dm.OtworzTabele()) {
        error = OstatniBlad().text;
        return false;
    }
    return true;
}

}  // namespace kmx::bench
