// kmx-tool report on a small demo catalogue: each report in each output,
// the row that is current, one supplier's goods, and the argument errors.

#include <gtest/gtest.h>

#include <string>

#include "tools_test_support.h"

namespace {

using namespace kmx::catalog::testing;

class ReportCommand : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new ScratchDir("ReportCommand");  // the demo is made once
        const ToolRun demo = runTool(*dir_, "catalog demo --goods 120 '" + catalogue() + "'");
        ASSERT_EQ(demo.status, 0) << demo.err;
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static std::string catalogue() { return (*dir_ / "demo").string(); }
    static std::string file(const std::string& name) { return (*dir_ / name).string(); }
    static ToolRun report(const std::string& args) {
        return runTool(*dir_, "report " + args + " --catalogue '" + catalogue() + "'");
    }
    static ScratchDir* dir_;
};

ScratchDir* ReportCommand::dir_ = nullptr;

TEST_F(ReportCommand, EveryReportAsText) {
    struct Case {
        const char* kind;
        const char* title;
    } cases[] = {{"goods-list", "Lista towarów wygenerowana z systemu KALMAREX"},
                 {"goods-detail", "Szczegółowe dane towaru pobrane z systemu KALMAREX"},
                 {"supplier-list", "Lista dostawców wygenerowana z systemu KALMAREX"},
                 {"supplier-detail", "Szczegółowe dane dostawcy pobrane z systemu KALMAREX"}};
    for (const auto& c : cases) {
        const std::string out = file(std::string(c.kind) + ".txt");
        const ToolRun r = report(std::string(c.kind) + " --text '" + out + "'");
        ASSERT_EQ(r.status, 0) << c.kind << ": " << r.err;
        EXPECT_NE(r.out.find("page"), std::string::npos) << r.out;
        const std::string text = readFile(out);
        EXPECT_NE(text.find(c.title), std::string::npos) << c.kind;
        EXPECT_NE(text.find("NORDVALE SP Z O.O."), std::string::npos) << c.kind;
        EXPECT_NE(text.find("KALMAREX - Baza danych towarów i dostawców branży budowlanej"),
                  std::string::npos);
    }
    // The lists are paged and numbered; 120 goods take more than one page.
    const std::string lista = readFile(file("goods-list.txt"));
    EXPECT_NE(lista.find("str. 2"), std::string::npos);
    EXPECT_NE(lista.find('\f'), std::string::npos);
}

TEST_F(ReportCommand, TheRowChoosesTheItemAndSearchFlagsTheList) {
    const ToolRun first = report("goods-detail --name cement --text '" + file("a.txt") + "'");
    ASSERT_EQ(first.status, 0) << first.err;
    const ToolRun second = report("goods-detail --name cement --row 2 --text '" + file("b.txt") + "'");
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_NE(readFile(file("a.txt")), readFile(file("b.txt")));
    EXPECT_NE(readFile(file("a.txt")).find("Nazwa  towaru:"), std::string::npos);

    const ToolRun far = report("goods-detail --name cement --row 100000 --text '" + file("c.txt") + "'");
    EXPECT_EQ(far.status, 1);
    EXPECT_NE(far.err.find("outside"), std::string::npos) << far.err;
}

TEST_F(ReportCommand, OneSuppliersGoodsAndEveryOutputFormat) {
    const ToolRun r = report("goods-list --of-supplier --supplier-row 2 --html '" + file("l.html") + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string html = readFile(file("l.html"));
    EXPECT_NE(html.find(" - Lista towarów wygenerowana z systemu KALMAREX"), std::string::npos);
    EXPECT_EQ(html.find(">Dostawca<"), std::string::npos);  // no supplier column

    ASSERT_EQ(report("supplier-list --pdf '" + file("d.pdf") + "'").status, 0);
    EXPECT_EQ(readFile(file("d.pdf")).rfind("%PDF", 0), 0u);
    ASSERT_EQ(report("supplier-detail --qrp '" + file("d.qrp") + "'").status, 0);
    EXPECT_EQ(readFile(file("d.qrp")).rfind("KMXQRP", 0), 0u);
}

TEST_F(ReportCommand, BadArgumentsExitWithTwo) {
    EXPECT_EQ(runTool(*dir_, "report").status, 2);
    EXPECT_EQ(report("catalogue-list --text x").status, 2);
    EXPECT_EQ(report("goods-list").status, 2);  // no output
    EXPECT_EQ(report("goods-list --text a --pdf b").status, 2);
    EXPECT_EQ(report("goods-list --row 0 --text a").status, 2);
    EXPECT_EQ(report("supplier-list --of-supplier --text a").status, 2);
    EXPECT_EQ(report("goods-list --price-to abc --text a").status, 2);
    const ToolRun missing = runTool(*dir_, "report goods-list --catalogue '" + file("none") + "' --text a");
    EXPECT_EQ(missing.status, 1);
    // A file that cannot be written fails with the reason.
    const ToolRun unwritable = report("goods-list --text '" + file("no/such/folder/x.txt") + "'");
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_FALSE(unwritable.err.empty());
}

}  // namespace
