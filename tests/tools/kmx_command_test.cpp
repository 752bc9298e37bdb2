// The price-list commands of kmx-tool on a small demo catalogue: files
// written by the row walk and read back by "kmx decode".

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tools_test_support.h"

namespace {

using namespace kmx::catalog::testing;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::string f;
    for (char c : line) {
        if (c == '\t') {
            out.push_back(f);
            f.clear();
        } else {
            f += c;
        }
    }
    out.push_back(f);
    return out;
}

int writtenCount(const std::string& out) {
    const auto p = out.find("written ");
    return p == std::string::npos ? -1 : std::stoi(out.substr(p + 8));
}

class KmxCommand : public ::testing::Test {
protected:
    void SetUp() override {
        const ToolRun demo = runTool(dir_, "catalog demo --goods 120 '" + catalogue() + "'");
        ASSERT_EQ(demo.status, 0) << demo.err;
    }
    std::string catalogue() const { return (dir_ / "demo").string(); }
    std::string file(const char* name) const { return (dir_ / name).string(); }
    ScratchDir dir_;
};

TEST_F(KmxCommand, EachVersionWritesAndDecodes) {
    struct Case {
        const char* version;
        const char* kind;
        std::size_t headers;
        std::size_t goodsFields;
    } cases[] = {{"1.0", "M", 1, 8}, {"2.0", "S", 2, 9}, {"2.1", "M", 2, 10}};
    for (const auto& c : cases) {
        const std::string out = file("list.kmx");
        const ToolRun w = runTool(dir_, std::string("kmx write --catalogue '") + catalogue() + "' --version " +
                                            c.version + " --kind " + c.kind + " --out '" + out + "'");
        ASSERT_EQ(w.status, 0) << w.err;
        const int written = writtenCount(w.out);
        EXPECT_GT(written, 0) << c.version;

        const ToolRun d = runTool(dir_, "kmx decode '" + out + "'");
        ASSERT_EQ(d.status, 0) << d.err;
        const auto ls = lines(d.out);
        ASSERT_GT(ls.size(), c.headers + 1);
        EXPECT_EQ(ls[0].rfind(std::string("KMX - wersja ") + c.version + " - " +
                                  (std::string(c.kind) == "M" ? "Materialy" : "Sprzet"),
                              0),
                  0u)
            << ls[0];
        EXPECT_EQ(ls[c.headers].rfind("key\t", 0), 0u);
        EXPECT_EQ(ls[c.headers].size(), 4u + 12u);
        int goods = 0, suppliers = 0;
        for (std::size_t i = c.headers + 1; i < ls.size(); ++i) {
            const auto f = fields(ls[i]);
            if (ls[i].rfind("#kmxp#", 0) == 0) {
                EXPECT_EQ(goods, 0) << "supplier lines come first";
                EXPECT_EQ(f.size(), 11u) << ls[i];
                ++suppliers;
                continue;
            }
            ++goods;
            ASSERT_EQ(f.size(), c.goodsFields) << ls[i];
            // Field 8 is the kind; the ETO rules held for every written row.
            EXPECT_EQ(f[7], c.kind);
            EXPECT_GE(f[1].size(), std::string(c.kind) == "M" ? 7u : 5u) << ls[i];
            EXPECT_NE(f[1].find_first_not_of('0'), std::string::npos);
        }
        EXPECT_EQ(goods, written) << c.version;
        EXPECT_GT(suppliers, 0);
        // Version 2.x files are archives, 1.0 plain text.
        EXPECT_EQ(readFile(out).rfind("PK\x03\x04", 0) == 0, std::string(c.version) != "1.0");
    }
}

TEST_F(KmxCommand, FailuresAndBadInput) {
    // A target in a folder that does not exist: the failure message, no file.
    const std::string missing = file("nowhere/list.kmx");
    const ToolRun w = runTool(dir_, "kmx write --catalogue '" + catalogue() + "' --version 2.1 --kind M --out '" +
                                        missing + "'");
    EXPECT_EQ(w.status, 1);
    EXPECT_NE(w.err.find("Wystąpił błąd podczas eksportu danych. Sprawdź dysk."), std::string::npos) << w.err;
    EXPECT_FALSE(std::filesystem::exists(missing));

    EXPECT_EQ(runTool(dir_, "kmx write --catalogue x --version 3.0 --kind M --out y").status, 2);
    EXPECT_EQ(runTool(dir_, "kmx write --catalogue x --version 2.1 --kind R --out y").status, 2);
    EXPECT_EQ(runTool(dir_, "kmx").status, 2);

    // A damaged record is named by its line.
    const std::string list = file("list.kmx");
    ASSERT_EQ(runTool(dir_, "kmx write --catalogue '" + catalogue() + "' --version 1.0 --kind M --out '" + list +
                                "'")
                  .status,
              0);
    writeFile(list, readFile(list) + "\x01\x02\x03 \r\n");
    const ToolRun d = runTool(dir_, "kmx decode '" + list + "'");
    EXPECT_EQ(d.status, 1);
    EXPECT_NE(d.err.find("line "), std::string::npos) << d.err;
}

TEST_F(KmxCommand, UnitPricesAndDescriptor) {
    const std::string csv = file("ceny.csv");
    const ToolRun u = runTool(dir_, "unit-prices --catalogue '" + catalogue() + "' --out '" + csv + "'");
    ASSERT_EQ(u.status, 0) << u.err;
    const std::string text = readFile(csv);
    // The heading and one line per work, each base64 ending in CR LF.
    std::size_t crlf = 0;
    for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2)) ++crlf;
    EXPECT_EQ(static_cast<int>(crlf), writtenCount(u.out) + 1);
    EXPECT_EQ(text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=\r\n"),
              std::string::npos);

    // The demo is the 4th quarter of 2026: prices from the quarter's first day.
    const ToolRun d = runTool(dir_, "descriptor --catalogue '" + catalogue() + "' --kind M --out '" +
                                        file("tmp_all.plo") + "'");
    ASSERT_EQ(d.status, 0) << d.err;
    EXPECT_NE(readFile(file("tmp_all.plo")).find("PoziomCenData = 2026.10.01\r\n"), std::string::npos);
}

}  // namespace
