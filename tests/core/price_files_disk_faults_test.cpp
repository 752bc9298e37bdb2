// The price-list files of core against failing disks: the packed price list,
// the price-list text and the descriptor keep the user's previous file
// whole, leave no temporary file and name the file and the reason.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/ini_file.h"
#include "core/kmx_zip.h"
#include "core/pricelist.h"
#include "support/disk_faults.h"

namespace {

using namespace kmx::disktest;
namespace pl = kmx::pricelist;
namespace sf = kmx::safefile;

// A writer under test: writes `target`, true on success.
struct Writer {
    const char* name;
    std::function<bool(const fs::path& target, std::string& error)> write;
};

std::string goodsLines(const std::string& key, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += pl::EncodeLine("Cegla pelna " + std::to_string(i) + ";1610101;szt.;;7.65;;23;P1;M;PLN", key) +
               "\r\n";
    return out;
}

std::vector<Writer> writers(const fs::path& work) {
    const std::string key = pl::MakeLineKey(2026, 4, 1);
    const std::string body = work / "kmx.kmx";
    writeFile(body, "KMX - wersja 2.1 - Materialy\r\n" + goodsLines(key, 3000));
    return {
        {"packed price list",
         [body](const fs::path& target, std::string& error) {
             return kmx::kmxzip::PackKmx(body, target, error);
         }},
        {"price-list text",
         [key](const fs::path& target, std::string& error) {
             std::istringstream goods(goodsLines(key, 3000));
             return pl::WritePriceListFile(target, {pl::Version::V10, "M", false, key}, {}, goods, error);
         }},
        {"descriptor",
         [](const fs::path& target, std::string& error) {
             return pl::WriteDescriptorFile(target, false, "M", "2026", "2", error);
         }},
        {"INI file",
         [](const fs::path& target, std::string& error) {
             kmx::IniFile ini = kmx::IniFile::fromBytes(std::string(5000, ';') + "\r\n");
             ini.set("Kursy walut", "EUR", "4.3000,euro");
             return ini.save(target, error);
         }},
    };
}

TEST(PriceFilesDiskFaults, AFullOrReadOnlyDiskAtAnyStepKeepsThePreviousFile) {
    TempDir work;
    for (const Writer& w : writers(work.path())) {
        TempDir dir;
        const fs::path target = dir / "Materialy.kmx";
        std::string error;
        ASSERT_TRUE(w.write(target, error)) << w.name << ": " << error;
        const std::string good = readFile(target);
        ASSERT_FALSE(good.empty()) << w.name;
        for (const SeamCase& c : seamCases({0, 1, good.size() / 2, good.size() - 1})) {
            writeFile(target, "poprzedni plik użytkownika");
            error.clear();
            {
                sf::FaultScope fault(c.fault);
                EXPECT_FALSE(w.write(target, error)) << w.name << ", " << c.label;
            }
            EXPECT_EQ(error, message(target, c.reason)) << w.name << ", " << c.label;
            EXPECT_EQ(readFile(target), "poprzedni plik użytkownika") << w.name << ", " << c.label;
            EXPECT_EQ(dir.names(), std::vector<std::string>{"Materialy.kmx"}) << w.name << ", " << c.label;
        }
        // The fault gone, the same file again.
        ASSERT_TRUE(w.write(target, error)) << w.name << ": " << error;
        EXPECT_EQ(readFile(target), good) << w.name;
    }
}

TEST(PriceFilesDiskFaults, UnwritablePlacesAndARealFullDiskAreReported) {
    TempDir work;
    for (const Writer& w : writers(work.path())) {
        TempDir dir;
        for (const Unwritable& u : unwritablePlaces(dir, "Sprzet.kmx")) {
            std::string error;
            EXPECT_FALSE(w.write(u.file, error)) << w.name << " " << u.file;
            EXPECT_EQ(error, message(u.file, u.reason)) << w.name;
        }
        std::string error;
        EXPECT_FALSE(w.write("/dev/full", error)) << w.name;
        EXPECT_EQ(error, message("/dev/full", "brak miejsca na dysku")) << w.name;

        // No file of the process may grow past half of this one: a full disk
        // for the kernel, met in the middle of the file.
        const fs::path target = dir / "Sprzet.kmx";
        ASSERT_TRUE(w.write(target, error)) << w.name << ": " << error;
        const std::size_t size = readFile(target).size();
        writeFile(target, "poprzedni");
        bool written = true;
        {
            FileSizeLimit limit(size / 2);
            ASSERT_TRUE(limit.ok());
            written = w.write(target, error);
        }
        EXPECT_FALSE(written) << w.name;
        EXPECT_EQ(error, message(target, "brak miejsca na dysku")) << w.name;
        EXPECT_EQ(readFile(target), "poprzedni") << w.name;
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"Sprzet.kmx", "plik.txt"})) << w.name;
    }
}

}  // namespace
