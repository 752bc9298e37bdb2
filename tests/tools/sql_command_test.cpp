// kmx-tool's statement, scrambling and settings commands as a user calls them.

#include <gtest/gtest.h>

#include <string>

#include "tools_test_support.h"

namespace kmx::catalog {
namespace {

using testing::runTool;
using testing::ScratchDir;

TEST(SqlCommand, PrintsTheGoodsStatementWithTheTypedPrice) {
    ScratchDir dir;
    const auto r = runTool(dir, "goods-sql --type M --group 17 --price-to 12,7");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(" AND TOWAR.CENA_JEDNOSTKOWA <= 12.6999998092651367 AND TOWAR.Typ_RMS = \"M\""
                         " AND GRUPA_TOWAROWA.ID_GRUPY = 17 "),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(" FROM TOWAR, PRODUCENT, WALUTA, JEDNOSTKA_MIARY, WOJEWODZTWO, STAWKA_VAT, KRAJ "
                         ",WYBRANA_GRUPA,GRUPA_TOWAROWA WHERE "),
              std::string::npos);
}

TEST(SqlCommand, EscapesScrambledBytesUnlessRaw) {
    ScratchDir dir;
    const auto escaped = runTool(dir, "goods-sql --name beton");
    ASSERT_EQ(escaped.status, 0);
    EXPECT_NE(escaped.out.find("\\x"), std::string::npos);
    for (unsigned char c : escaped.out) EXPECT_TRUE(c == '\n' || (c >= 0x20 && c <= 0x7E)) << int(c);
    const auto raw = runTool(dir, "goods-sql --name beton --raw");
    ASSERT_EQ(raw.status, 0);
    EXPECT_EQ(raw.out.find("\\x"), std::string::npos);
}

TEST(SqlCommand, BadArgumentsExitWithTwoAndOneLine) {
    ScratchDir dir;
    for (const char* args : {"goods-sql --price-to abc", "goods-sql --price-to 1e39", "goods-sql --type X",
                             "goods-sql --group siedem", "goods-sql --mode 2", "supplier-sql --branch x",
                             "scramble TEXT", "scramble --mode 7 x", "descramble --mode 2 ZZ", "nonsense"}) {
        const auto r = runTool(dir, args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << args << ": " << r.err;
    }
}

TEST(SqlCommand, ScrambleAndDescrambleRoundTrip) {
    ScratchDir dir;
    for (const char* mode : {"1", "2", "3"}) {
        const auto s = runTool(dir, std::string("scramble --mode ") + mode + " 'Łódź ma 7 żółwi'");
        ASSERT_EQ(s.status, 0);
        const std::string hex = s.out.substr(0, s.out.size() - 1);
        const auto d = runTool(dir, std::string("descramble --mode ") + mode + " " + hex);
        ASSERT_EQ(d.status, 0);
        EXPECT_EQ(d.out, "Łódź ma 7 żółwi\n");
    }
}

TEST(SqlCommand, SettingsWriteThenRead) {
    ScratchDir dir;
    const std::string file = (dir / "kmx.iif").string();
    ASSERT_EQ(runTool(dir, "settings write '" + file + "' 'Hasło-42'").status, 0);
    const auto r = runTool(dir, "settings read '" + file + "'");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Hasło-42\n");
    EXPECT_EQ(runTool(dir, "settings read '" + (dir / "brak.iif").string() + "'").status, 1);
}

TEST(SqlCommand, WorksStatementDoublesApostrophes) {
    ScratchDir dir;
    const auto r = runTool(dir, "works-sql --opis \"tzw. 'cienka'\" --knr 'KNR 2-02'");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "select * from ceny_robot where  Nazwa LIKE '%tzw. ''cienka''%' AND  Podstawa LIKE '%KNR 2-02%'\n");
}

}  // namespace
}  // namespace kmx::catalog
