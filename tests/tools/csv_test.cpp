#include "catalog/csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kmx::catalog {
namespace {

using Fields = std::vector<std::string>;

std::vector<Fields> fieldsOf(const std::vector<CsvRecord>& records) {
    std::vector<Fields> out;
    for (const auto& r : records) out.push_back(r.fields);
    return out;
}

TEST(CsvReader, PlainAndQuotedFields) {
    std::vector<CsvRecord> recs;
    std::string error;
    ASSERT_TRUE(parseCsv("a,b,c\r\n1,\"x,y\",\"say \"\"hi\"\"\"\r\n", recs, error)) << error;
    EXPECT_EQ(fieldsOf(recs), (std::vector<Fields>{{"a", "b", "c"}, {"1", "x,y", "say \"hi\""}}));
}

TEST(CsvReader, LineBreaksInsideQuotesAreKeptAndCounted) {
    std::vector<CsvRecord> recs;
    std::string error;
    ASSERT_TRUE(parseCsv("id,opis\r\n1,\"first\r\nsecond\nthird\"\r\n2,x\r\n", recs, error)) << error;
    ASSERT_EQ(recs.size(), 3u);
    EXPECT_EQ(recs[1].fields[1], "first\r\nsecond\nthird");
    EXPECT_EQ(recs[1].line, 2);
    // The quoted field spans lines 2 to 4, so the next record starts on line 5.
    EXPECT_EQ(recs[2].line, 5);
}

TEST(CsvReader, EmptyFieldsLfEndsBlankLinesAndMissingFinalLineEnd) {
    std::vector<CsvRecord> recs;
    std::string error;
    ASSERT_TRUE(parseCsv("a,,c\n\n,\n\"\",z", recs, error)) << error;
    EXPECT_EQ(fieldsOf(recs), (std::vector<Fields>{{"a", "", "c"}, {"", ""}, {"", "z"}}));
    EXPECT_EQ(recs[1].line, 3);
    EXPECT_EQ(recs[2].line, 4);
}

TEST(CsvReader, SkipsUtf8ByteOrderMark) {
    std::vector<CsvRecord> recs;
    std::string error;
    ASSERT_TRUE(parseCsv("\xEF\xBB\xBFNAZWA,KOD\r\nZ\xC5\x82oty,z\xC5\x82\r\n", recs, error)) << error;
    EXPECT_EQ(recs[0].fields[0], "NAZWA");
    EXPECT_EQ(recs[1].fields[0], "Z\xC5\x82oty");
}

TEST(CsvReader, MalformedInputNamesTheLine) {
    std::vector<CsvRecord> recs;
    std::string error;
    EXPECT_FALSE(parseCsv("a,b\r\n1,\"open\r\n2,3\r\n", recs, error));
    EXPECT_EQ(error, "line 2: quoted field not closed");

    EXPECT_FALSE(parseCsv("a,b\r\n1,2\r\n3,\"x\"y\r\n", recs, error));
    EXPECT_EQ(error, "line 3: unexpected character after a closing quote");

    EXPECT_FALSE(parseCsv("a,b\nab\"c,d\n", recs, error));
    EXPECT_EQ(error, "line 2: double quote inside an unquoted field");
}

TEST(CsvReader, EmptyInputHasNoRecords) {
    std::vector<CsvRecord> recs;
    std::string error = "x";
    EXPECT_TRUE(parseCsv("", recs, error));
    EXPECT_TRUE(recs.empty());
    EXPECT_TRUE(error.empty());
}

TEST(CsvWriter, QuotesOnlyWhatNeedsIt) {
    std::string out;
    appendCsvRecord(out, {"plain", "a,b", "say \"x\"", "two\r\nlines", "", " sp "});
    EXPECT_EQ(out, "plain,\"a,b\",\"say \"\"x\"\"\",\"two\r\nlines\",, sp \r\n");
}

TEST(CsvWriter, ReaderReadsBackWhatWriterWrote) {
    const std::vector<Fields> rows = {
        {"ID", "NAZWA", "OPIS"},
        {"1", "Klej \"Szybki\", 310 ml", "a\r\nb\nc\rd"},
        {"2", "", "\"\""},
    };
    std::string text;
    for (const auto& r : rows) appendCsvRecord(text, r);
    std::vector<CsvRecord> recs;
    std::string error;
    ASSERT_TRUE(parseCsv(text, recs, error)) << error;
    EXPECT_EQ(fieldsOf(recs), rows);
}

}  // namespace
}  // namespace kmx::catalog
