// The average-prices texts of the price list and its descriptor, for every
// kind the average-prices edition writes: what a cost-estimating program reads
// to tell average prices from supplier prices.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "core/cp1250.h"
#include "core/pricelist.h"

namespace {

using namespace kmx::pricelist;
using kmx::cp1250::fromUtf8;

TEST(PriceListAveragePrices, HeadersSaySredniePerKindAndVersion) {
    struct Case {
        Version version;
        const char* kind;
        const char* start;
    } cases[] = {
        {Version::V10, "M", "KMX - wersja 1.0 - Materialy ceny srednie - format danych"},
        {Version::V10, "R", "KMX - wersja 1.0 - Robocizna ceny srednie - format danych"},
        {Version::V10, "S", "KMX - wersja 1.0 - Sprzet ceny srednie - format danych"},
        {Version::V20, "M", "KMX - wersja 2.0 - Materialy ceny srednie - format danych"},
        {Version::V20, "R", "KMX - wersja 2.0 - Robocizna ceny srednie - format danych"},
        {Version::V21, "S", "KMX - wersja 2.1 - Sprzet ceny srednie - format danych"},
    };
    for (const Case& c : cases) {
        const std::string h = HeaderLine(c.version, c.kind, true);
        EXPECT_EQ(h.rfind(c.start, 0), 0u) << h;
        EXPECT_EQ(h.find("dostawcow"), std::string::npos) << h;
    }
    // The producer edition's 1.0 header has no price word at all.
    EXPECT_EQ(HeaderLine(Version::V10, "R", false).rfind("KMX - wersja 1.0 - Robocizna - format", 0), 0u);
}

TEST(PriceListAveragePrices, DescriptorNamesEachKindAndFlagsAveragePrices) {
    struct Case {
        const char* kind;
        const char* name;
    } cases[] = {
        {"M", "Ceny średnie materiałów (Kalmarex)"},
        {"S", "Ceny średnie pracy sprzętu (Kalmarex)"},
        {"R", "Kosztorysowe stawki robocizny (Kalmarex)"},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        std::string error;
        ASSERT_TRUE(WriteDescriptor(out, true, c.kind, "2026", "4", error)) << error;
        EXPECT_EQ(out.str(), "KodCennika  = KMX_sr_" + std::string(c.kind) +
                                 "\r\nNazwaCennika  = " + fromUtf8(c.name) +
                                 "\r\nCenySrednie = 1\r\nCenyDostawcow  = 0\r\n"
                                 "PoziomCenInterwal = KWARTAL\r\nPoziomCenData = 2026.10.01\r\n")
            << c.kind;
    }
}

}  // namespace
