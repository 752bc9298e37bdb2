// kmx-tool pe-version as a user calls it.

#include <gtest/gtest.h>

#include <string>

#include "support/pe_builder.h"
#include "tools_test_support.h"

namespace kmx::catalog {
namespace {

using testing::runTool;
using testing::ScratchDir;
using testsupport::PeFault;
using testsupport::WritePe;

TEST(PeVersionCommand, PrintsTheFileVersion) {
    ScratchDir dir;
    WritePe(dir / "prog.exe", {.version = {4, 0, 36, 0}});
    WritePe(dir / "prog64.exe", {.version = {5, 2, 400, 0}, .pe32plus = true});
    for (const auto& [file, text] : {std::pair{"prog.exe", "4.0.36.0\n"}, std::pair{"prog64.exe", "5.2.400.0\n"}}) {
        const auto r = runTool(dir, "pe-version '" + (dir / file).string() + "'");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, text);
        EXPECT_EQ(r.err, "");
    }
}

TEST(PeVersionCommand, AFileWithoutVersionFailsWithOneLine) {
    ScratchDir dir;
    WritePe(dir / "none.exe", {.fault = PeFault::NoVersionType});
    testing::writeFile(dir / "notes.txt", "nie program\n");
    for (const char* file : {"none.exe", "notes.txt", "missing.exe"}) {
        const auto r = runTool(dir, "pe-version '" + (dir / file).string() + "'");
        EXPECT_EQ(r.status, 1) << file;
        EXPECT_EQ(r.out, "") << file;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << file << ": " << r.err;
        EXPECT_NE(r.err.find(file), std::string::npos) << r.err;
    }
}

TEST(PeVersionCommand, BadArgumentsExitWithTwoAndOneLine) {
    ScratchDir dir;
    WritePe(dir / "prog.exe", {});
    const std::string file = "'" + (dir / "prog.exe").string() + "'";
    for (const std::string& args : {std::string("pe-version"), "pe-version " + file + " " + file,
                                    "pe-version --all " + file}) {
        const auto r = runTool(dir, args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << args << ": " << r.err;
    }
}

}  // namespace
}  // namespace kmx::catalog
