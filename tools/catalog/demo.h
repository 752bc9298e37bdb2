#pragma once
// A deterministic demo catalogue of the Polish building trade: the same
// number of goods always gives the same CSV bytes. Every firm, person, web
// address and e-mail in it is invented (addresses use example domains).

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "catalog/builder.h"

namespace kmx::catalog {

struct DemoSizes {
    int goods = 0;
    int producers = 0;
    int workPrices = 0;
};

// Producers and work prices that go with a number of goods: 3,000 goods give
// 300 producers and 3,000 work prices, 200,000 give 5,000 and 50,000.
DemoSizes demoSizes(int goods);

inline constexpr int kDemoMinGoods = 50;
inline constexpr int kDemoMaxGoods = 1000000;

// A producer that gets a logo picture.
struct DemoLogo {
    std::string code;  // file name without ".jpg": the producer code
    std::string name;  // the firm's name, for its initials
    std::uint64_t seed = 0;
};

struct DemoData {
    std::map<std::string, std::string> csv;  // table name -> CSV text
    std::vector<DemoLogo> logos;
};

// Generates the source tables; `goods` must lie within kDemoMinGoods..kDemoMaxGoods.
DemoData generateDemo(int goods);

// The average-prices catalogue (KalmarexAvg): average prices of labour ("R",
// net r-g rates), materials and equipment, each resource once as the
// national average and then once for each province, as far as the number of
// goods goes. CENA_JEDNOSTKOWA is the average, CENA_NARZUT the price with the
// purchase or indirect costs (the gross rate for labour), NAZWA_ORG_PROD the
// source. The producers are the three sources, one per kind. The work prices
// are made as in the producer-prices demo.
DemoData generateAverageDemo(int goods);
// The most goods it holds: every resource for the country and sixteen provinces.
int averageDemoMaxGoods();
DemoSizes averageDemoSizes(int goods);

enum class DemoEdition {
    Prices,         // producer and supplier prices (Kalmarex)
    AveragePrices,  // average prices (KalmarexAvg)
};

struct DemoOptions {
    int goods = 3000;
    std::string password;  // empty: a random one
    DemoEdition edition = DemoEdition::Prices;
};

struct DemoResult {
    bool ok = false;
    std::string error;
    DemoSizes sizes;
    int logos = 0;
    BuildResult build;
};

// Writes dest/src/*.csv, dest/Logo/*.jpg, the three RTF texts, and builds
// dest/kmx.dat with dest/kmx.iif, then the ready-made price lists of the
// whole catalogue in dest/KMX (2.0) and dest/KMX2.1 (2.1): materialy.kmx and
// sprzet.kmx, or for the average prices Materialy_sred.kmx, Sprzet_sred.kmx
// and Robocizna_sred.kmx with the average-prices headers. Needs a
// QGuiApplication for the logos and creates one on the "offscreen" platform
// when there is none.
DemoResult writeDemo(const std::filesystem::path& dest, const DemoOptions& options);

// Draws a logo of the firm's initials on a simple emblem as a JPEG file.
bool writeLogo(const std::filesystem::path& file, const DemoLogo& logo, std::string& error);

// The demo's text files as embedded in the program: file name -> bytes. The
// average-prices demo has its own export instruction
// (Instrukcja_eksportu_cs.rtf, the one its program shows at start-up).
std::map<std::string, std::string> demoTexts(DemoEdition edition = DemoEdition::Prices);

}  // namespace kmx::catalog
