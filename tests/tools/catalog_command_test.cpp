// "kmx-tool catalog" as a user runs it: exit codes and messages.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "catalog/demo.h"
#include "tools_test_support.h"

namespace kmx::catalog {
namespace {

using testing::readFile;
using testing::runTool;
using testing::ScratchDir;
using testing::toolPath;
using testing::ToolRun;
using testing::writeFile;

TEST(CatalogCommand, BadArgumentsExitWithTwo) {
    ScratchDir dir;
    ASSERT_TRUE(std::filesystem::exists(toolPath())) << toolPath();
    EXPECT_EQ(runTool(dir, "catalog").status, 2);
    EXPECT_EQ(runTool(dir, "catalog build onlyone").status, 2);
    EXPECT_EQ(runTool(dir, "catalog frobnicate a b").status, 2);
    const ToolRun small = runTool(dir, "catalog demo --goods 10 '" + (dir / "demo").string() + "'");
    EXPECT_EQ(small.status, 2);
    EXPECT_NE(small.err.find("--goods must lie between 50 and 1000000"), std::string::npos) << small.err;
    EXPECT_EQ(runTool(dir, "catalog demo --goods many x").status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "demo"));
}

TEST(CatalogCommand, BuildFromIncompleteSourcesFailsWithOneAndWritesNothing) {
    ScratchDir dir;
    writeFile(dir / "src" / "KRAJ.csv", "ID_KRAJU,NAZWA_KRAJU\r\n1,Polska\r\n");
    const ToolRun r =
        runTool(dir, "catalog build '" + (dir / "src").string() + "' '" + (dir / "out").string() + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("missing source file"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / "kmx.dat"));
}

TEST(CatalogCommand, DemoThenDumpRoundTrip) {
    ScratchDir dir;
    const ToolRun demo =
        runTool(dir, "catalog demo --goods 80 --password tajne '" + (dir / "demo").string() + "'");
    ASSERT_EQ(demo.status, 0) << demo.err;
    EXPECT_NE(demo.out.find("80 goods, 20 producers, 80 work prices, 7 logos"), std::string::npos)
        << demo.out;
    const ToolRun dump =
        runTool(dir, "catalog dump '" + (dir / "demo").string() + "' '" + (dir / "dump").string() + "'");
    ASSERT_EQ(dump.status, 0) << dump.err;
    // Tables without upper-cased columns come back byte for byte.
    for (const char* t : {"KNR", "ceny_robot", "WOJEWODZTWO", "BRANZA_PRODUCENTA", "Wersja"}) {
        EXPECT_EQ(readFile(dir / "dump" / (std::string(t) + ".csv")),
                  readFile(dir / "demo" / "src" / (std::string(t) + ".csv")))
            << t;
    }
    const ToolRun wrong = runTool(dir, "catalog dump --password zle '" + (dir / "demo").string() + "' '" +
                                           (dir / "dump2").string() + "'");
    EXPECT_EQ(wrong.status, 1);
}

TEST(CatalogCommand, DemoOfTheAveragePricesEdition) {
    ScratchDir dir;
    const ToolRun avg = runTool(
        dir, "catalog demo --edition avg --goods 60 --password tajne '" + (dir / "avg").string() + "'");
    ASSERT_EQ(avg.status, 0) << avg.err;
    EXPECT_NE(avg.out.find("60 goods, 3 producers, 60 work prices, 3 logos"), std::string::npos) << avg.out;
    for (const char* f :
         {"kmx.dat", "KMX/Robocizna_sred.kmx", "KMX2.1/Materialy_sred.kmx", "pricebase/etokmb.dbf"})
        EXPECT_TRUE(std::filesystem::exists(dir / "avg" / f)) << f;

    const ToolRun unknown = runTool(dir, "catalog demo --edition srednie '" + (dir / "x").string() + "'");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("--edition must be prices or avg"), std::string::npos) << unknown.err;
    // The average prices hold fewer goods than the producer prices allow.
    const ToolRun big =
        runTool(dir, "catalog demo --edition avg --goods 200000 '" + (dir / "y").string() + "'");
    EXPECT_EQ(big.status, 2);
    EXPECT_NE(big.err.find("--goods must lie between 50 and " + std::to_string(averageDemoMaxGoods())),
              std::string::npos)
        << big.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "x"));
    EXPECT_FALSE(std::filesystem::exists(dir / "y"));
}

}  // namespace
}  // namespace kmx::catalog
