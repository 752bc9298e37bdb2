// kmx-tool programs on a fake Wine prefix: each edition with its key, paths,
// version and capabilities, or why it counts as not installed.

#include <gtest/gtest.h>

#include <string>

#include "support/pe_builder.h"
#include "support/wine_prefix.h"
#include "tools_test_support.h"

namespace {

using namespace kmx::catalog::testing;
using kmx::platform::Hive;

TEST(ProgramsCommand, SaysWhatItFoundAndWhy) {
    ScratchDir dir;
    kmx::winetest::FakeWinePrefix prefix;
    ASSERT_TRUE(prefix.isValid());
    prefix.setString(Hive::LocalMachine, "Software\\Nordvale\\Tessar Pro", "Program",
                     "C:\\Program Files\\Nordvale\\Tessar Pro");
    kmx::testsupport::PeOptions pe;
    pe.version = {4, 0, 35, 9};
    ASSERT_FALSE(prefix
                     .addFile("C:\\Program Files\\Nordvale\\Tessar Pro\\TESSAR4.EXE",
                              QByteArray::fromStdString(kmx::testsupport::MakePe(pe)))
                     .isEmpty());
    // A key whose folder has no executable, and one on a drive without a link.
    prefix.setString(Hive::LocalMachine, "Software\\Nordvale\\Tessar Standard", "Program", "C:\\Tessar Std");
    prefix.setString(Hive::LocalMachine, "Software\\Nordvale\\Tessar Expert", "Program", "Q:\\Expert");
    ASSERT_TRUE(prefix.writeRegistry(true));

    const ToolRun r = runTool(dir, "programs --prefix '" + prefix.path().toStdString() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string& out = r.out;
    const auto section = [&out](const std::string& name) {
        const auto at = out.find("\n" + name + ": ");
        const auto end = out.find("\n\n", at + 1);
        return at == std::string::npos ? std::string() : out.substr(at + 1, end - at - 1);
    };
    const std::string pro = section("Tessar Pro");
    EXPECT_NE(pro.find("Tessar Pro: installed"), std::string::npos) << out;
    EXPECT_NE(pro.find("key: HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Nordvale\\Tessar Pro\\"),
              std::string::npos);
    EXPECT_NE(pro.find("program: C:\\Program Files\\Nordvale\\Tessar Pro\\tessar4.exe"), std::string::npos);
    EXPECT_NE(pro.find("/drive_c/Program Files/Nordvale/Tessar Pro/TESSAR4.EXE"), std::string::npos);
    EXPECT_NE(pro.find("file version: 4.0.35.9"), std::string::npos);
    EXPECT_NE(pro.find("automatic import: yes"), std::string::npos);
    EXPECT_NE(pro.find("price-list format: 2.0"), std::string::npos);
    EXPECT_NE(section("Tessar Standard").find("(no such file)"), std::string::npos) << out;
    EXPECT_NE(section("Tessar Expert").find("has no link"), std::string::npos) << out;
    EXPECT_NE(section("Tessar 3").find("not installed: no key"), std::string::npos) << out;

    EXPECT_EQ(runTool(dir, "programs extra").status, 2);
    EXPECT_EQ(runTool(dir, "programs --bogus x").status, 2);
}

}  // namespace
