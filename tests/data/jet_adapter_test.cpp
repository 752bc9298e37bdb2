#include "data/jet_adapter.h"

#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

#include <string>
#include <vector>

#include "data/database.h"
#include "test_catalog.h"

namespace kmx::data {
namespace {

using testing::buildCatalog;
using testing::insertBlob;
using testing::kKey;
using testing::TempDir;

// --- translation -----------------------------------------------------------

TEST(JetTranslate, DoubleQuotedLiteralsBecomeParameters) {
    jet::Translated t;
    std::string error;
    ASSERT_TRUE(jet::translate(R"(SELECT * FROM T WHERE A = "x""y" AND B like "%Z%")", t, error)) << error;
    EXPECT_EQ(t.sql, "SELECT * FROM T WHERE A =  ?1  AND B like  ?2 ");
    ASSERT_EQ(t.params.size(), 2u);
    EXPECT_EQ(t.params[0], "x\"y");
    EXPECT_EQ(t.params[1], "%Z%");
}

TEST(JetTranslate, LiteralBytesPassIntactIncludingZero) {
    const std::string literal("A\0\"\xFF;'B", 7);  // holds a NUL, a quote, a high byte, ';' and an apostrophe
    std::string jet = "SELECT 1 WHERE X = \"";
    for (char c : literal) {
        jet.push_back(c);
        if (c == '"') jet.push_back('"');
    }
    jet += "\"";
    jet::Translated t;
    std::string error;
    ASSERT_TRUE(jet::translate(jet, t, error)) << error;
    ASSERT_EQ(t.params.size(), 1u);
    EXPECT_EQ(t.params[0], literal);
    EXPECT_EQ(t.sql, "SELECT 1 WHERE X =  ?1 ");
    // An empty literal is an empty parameter.
    ASSERT_TRUE(jet::translate("SELECT \"\"", t, error));
    ASSERT_EQ(t.params.size(), 1u);
    EXPECT_EQ(t.params[0], "");
}

TEST(JetTranslate, ApostropheLiteralsAndBracketsStayAsWritten) {
    const std::string jet = R"(select * from ceny_robot where  Nazwa LIKE '%it''s "x"%' AND [a"b] = 1)";
    jet::Translated t;
    std::string error;
    ASSERT_TRUE(jet::translate(jet, t, error)) << error;
    EXPECT_EQ(t.sql, jet);
    EXPECT_TRUE(t.params.empty());
}

TEST(JetTranslate, RefusesUnterminatedLiteralAndStrayZeroBytes) {
    jet::Translated t;
    std::string error;
    EXPECT_FALSE(jet::translate("SELECT \"abc", t, error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(jet::translate("SELECT \"abc\"\"", t, error));  // the doubled quote is not a closing one
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(jet::translate(std::string("SELECT 1\0 DROP", 14), t, error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(jet::translate(std::string("SELECT 'a\0b'", 12), t, error));
    EXPECT_FALSE(error.empty());
}

// --- like ------------------------------------------------------------------

struct LikeCase {
    std::string pattern;
    std::string value;
    bool caseless;
    bool expected;
};

TEST(JetLike, PatternRules) {
    const std::vector<LikeCase> cases = {
        // % and _
        {"%BETON%", "ZBETONOWANY", false, true},
        {"%BETON%", "BETO", false, false},
        {"BET%", "BETON", false, true},
        {"BET%", "ABETON", false, false},
        {"B_TON", "BETON", false, true},
        {"B_TON", "BTON", false, false},
        {"B_TON", "BEETON", false, false},
        {"%", "", false, true},
        {"_", "", false, false},
        {"", "", false, true},
        {"", "A", false, false},
        {"A%B%C", "AxxBxxC", false, true},
        {"A%B%C", "AxxCxxB", false, false},
        {"%AB", "AAB", false, true},  // needs a step back after a false start
        {"%A%A%", "BAB", false, false},
        // sets and ranges
        {"[BC]ETON", "CETON", false, true},
        {"[BC]ETON", "DETON", false, false},
        {"[A-C]1", "B1", false, true},
        {"[A-C]1", "D1", false, false},
        {"[A-CX-Z]", "Y", false, true},
        {"[^A-C]1", "D1", false, true},
        {"[^A-C]1", "B1", false, false},
        {"[^AB]", "A", false, false},
        {"[-A]", "-", false, true},  // a leading or trailing '-' is itself
        {"[A-]", "-", false, true},
        // the escapes the query builders write
        {"[^]", "^", false, true},
        {"[^]", "A", false, false},
        {"[]]", "]", false, true},
        {"[]]", "A", false, false},
        {"[[]", "[", false, true},
        {"[%]", "%", false, true},
        {"[%]", "X", false, false},
        {"[_]", "_", false, true},
        {"[_]", "A", false, false},
        {"100[%]", "100%", false, true},
        {"100[%]", "1000", false, false},
        {"%[%]%", "ABC", false, false},
        // an unclosed '[' is itself
        {"[", "[", false, true},
        {"A[B", "A[B", false, true},
    };
    for (const LikeCase& c : cases) {
        EXPECT_EQ(jet::likeMatches(c.pattern, c.value, c.caseless), c.expected)
            << "'" << c.value << "' LIKE '" << c.pattern << "'";
    }
}

TEST(JetLike, TextIgnoresCaseBlobDoesNot) {
    EXPECT_TRUE(jet::likeMatches("%BETON%", "zbetonowany", true));
    EXPECT_FALSE(jet::likeMatches("%BETON%", "zbetonowany", false));
    EXPECT_TRUE(jet::likeMatches("[b]eton", "BETON", true));
    EXPECT_FALSE(jet::likeMatches("[^a]", "A", true));
    // Polish letters: "%ŁÓDŹ%" finds "miasto łódź" as text.
    const std::string pattern = "%\xA3\323D\x8F%";
    const std::string value = "miasto \xB3\363d\x9F";
    EXPECT_TRUE(jet::likeMatches(pattern, value, true));
    EXPECT_FALSE(jet::likeMatches(pattern, value, false));
    // A range follows the alphabet for text (ą lies between a and c) and the
    // byte codes for bytes (0xB9 is above 'c').
    EXPECT_TRUE(jet::likeMatches("[a-c]", "\xB9", true));
    EXPECT_FALSE(jet::likeMatches("[a-c]", "\xB9", false));
    EXPECT_FALSE(jet::likeMatches("[a-c]", "\xBF", true));  // ż comes after z
}

TEST(JetLike, ZeroAndHighBytesAreOrdinary) {
    const std::string value("A\0B\xFF", 4);
    EXPECT_TRUE(jet::likeMatches(value, value, false));
    EXPECT_TRUE(jet::likeMatches("A_B_", value, false));
    EXPECT_TRUE(jet::likeMatches(std::string("%\0B%", 4), value, false));
    EXPECT_FALSE(jet::likeMatches(std::string("%\0C%", 4), value, false));
    EXPECT_FALSE(jet::likeMatches("A", value, false));
}

// --- on a catalogue --------------------------------------------------------

class JetOnCatalogue : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = dir_.file("kmx.dat");
        buildCatalog(
            file_,
            "CREATE TABLE T(ID INTEGER PRIMARY KEY, V BLOB);"
            "CREATE TABLE MIASTO(ID INTEGER PRIMARY KEY, NAZWA TEXT COLLATE KMX_PL, TYP TEXT COLLATE KMX_PL);"
            // Łódź, Kraków, Żywiec, łomża, Gdańsk in Windows-1250.
            "INSERT INTO MIASTO VALUES (1, '\xA3\363d\x9F', 'M'), (2, 'Krak\xF3w', 'S'),"
            " (3, '\xAFywiec', 'M'), (4, '\xB3om\277a', 'm'), (5, 'Gda\xF1sk', NULL);");
        insertBlob(file_, "T", 1, std::string("AB\0C\"D", 6));
        insertBlob(file_, "T", 2, "ABCD");
        insertBlob(file_, "T", 3, "abcd");
        insertBlob(file_, "T", 4, "ABCD", /*asText=*/true);
        std::string error;
        ASSERT_TRUE(db_.open(file_, kKey, error)) << error;
    }

    std::vector<long long> ids(const std::string& jet) {
        Statement st;
        std::string error;
        std::vector<long long> out;
        EXPECT_TRUE(db_.prepare(jet, st, error)) << jet << ": " << error;
        if (!st) return out;
        while (st.next(error)) out.push_back(sqlite3_column_int64(st.handle(), 0));
        EXPECT_EQ(error, "");
        return out;
    }

    TempDir dir_;
    std::filesystem::path file_;
    Database db_;
};

TEST_F(JetOnCatalogue, LiteralWithZeroByteFindsTheBlob) {
    // "AB<NUL>C""D" in Jet text: a NUL and a doubled quote inside the literal.
    const std::string jet = std::string("SELECT ID FROM T WHERE V like \"AB") + '\0' + "C\"\"D\" ORDER BY ID";
    EXPECT_EQ(ids(jet), (std::vector<long long>{1}));
    EXPECT_EQ(ids(std::string("SELECT ID FROM T WHERE V like \"%") + '\0' + "%\" ORDER BY ID"),
              (std::vector<long long>{1}));
}

TEST_F(JetOnCatalogue, BlobComparesByteForByteTextWithoutCase) {
    // Row 2 and 3 are blobs; row 4 holds the same letters as text.
    EXPECT_EQ(ids("SELECT ID FROM T WHERE V like \"ABC%\" ORDER BY ID"), (std::vector<long long>{2, 4}));
    EXPECT_EQ(ids("SELECT ID FROM T WHERE V like \"abc%\" ORDER BY ID"), (std::vector<long long>{3, 4}));
    EXPECT_EQ(ids("SELECT ID FROM T WHERE NOT (V like \"%C%\") ORDER BY ID"), (std::vector<long long>{3}));
    EXPECT_EQ(ids("SELECT ID FROM T WHERE V like NULL"), (std::vector<long long>{}));
}

TEST_F(JetOnCatalogue, PolishTextMatchesWithoutCase) {
    // "%ŁÓDŹ%" and "ŁOMŻA" upper case against the stored mixed case.
    EXPECT_EQ(ids("SELECT ID FROM MIASTO WHERE NAZWA like \"%\xA3\323D\x8F%\""), (std::vector<long long>{1}));
    EXPECT_EQ(ids("SELECT ID FROM MIASTO WHERE NAZWA = \"\xA3OM\257A\""), (std::vector<long long>{4}));
    EXPECT_EQ(ids("SELECT ID FROM MIASTO WHERE NAZWA = 'krak\xD3w'"), (std::vector<long long>{2}));
    // The apostrophe form of the work-price filter.
    EXPECT_EQ(ids("select ID from MIASTO where  NAZWA LIKE '%gda%'"), (std::vector<long long>{5}));
}

TEST_F(JetOnCatalogue, KindOfElementComparesAsText) {
    // TOWAR.Typ_RMS = "M": the literal is bound as text, so it equals the text column.
    EXPECT_EQ(ids("SELECT ID FROM MIASTO WHERE TYP = \"M\" ORDER BY ID"), (std::vector<long long>{1, 3, 4}));
}

TEST_F(JetOnCatalogue, OrderByTextFollowsThePolishAlphabet) {
    // Gdańsk, Kraków, łomża, Łódź, Żywiec: case ignored, o before ó, Ż last.
    EXPECT_EQ(ids("SELECT ID FROM MIASTO ORDER BY NAZWA"), (std::vector<long long>{5, 2, 4, 1, 3}));
}

TEST_F(JetOnCatalogue, LikeRulesHoldInSql) {
    EXPECT_EQ(ids("SELECT ID FROM MIASTO WHERE NAZWA like \"[GK]%\" ORDER BY ID"),
              (std::vector<long long>{2, 5}));
    EXPECT_EQ(ids("SELECT ID FROM MIASTO WHERE NAZWA like \"[^GK]%\" ORDER BY ID"),
              (std::vector<long long>{1, 3, 4}));
    EXPECT_EQ(ids("SELECT ID FROM MIASTO WHERE NAZWA like \"_RAK_W\""), (std::vector<long long>{2}));
}

// --- field names -----------------------------------------------------------

class JetFieldNames : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = dir_.file("kmx.dat");
        buildCatalog(
            file_,
            "CREATE TABLE TOWAR(ID_TOWARU INTEGER PRIMARY KEY, NAZWA BLOB, NAZWA_SKR BLOB, caseNAZWA TEXT,"
            " SYMBOL BLOB, ID_PRODUCENTA INTEGER, ID_JEDNOSTKI INTEGER, ID_WALUTY INTEGER,"
            " ID_STAWKI_VAT INTEGER, idx_nazwa INTEGER);"
            "CREATE TABLE PRODUCENT(ID_PRODUCENTA INTEGER PRIMARY KEY, NAZWA BLOB);"
            "CREATE TABLE JEDNOSTKA_MIARY(ID_JEDNOSTKI_MIARY INTEGER PRIMARY KEY, NAZWA TEXT, KOD TEXT);"
            "CREATE TABLE WALUTA(ID_WALUTY INTEGER PRIMARY KEY, SYMBOL TEXT, NAZWA TEXT, KOD TEXT);"
            "CREATE TABLE STAWKA_VAT(ID_STAWKI_VAT INTEGER PRIMARY KEY, KOD TEXT, NAZWA TEXT);"
            "INSERT INTO TOWAR VALUES (1, 'T', 'S', 'c', 'Y', 1, 1, 1, 1, 1);"
            "INSERT INTO PRODUCENT VALUES (1, 'P');"
            "INSERT INTO JEDNOSTKA_MIARY VALUES (1, 'szt', 'S');"
            "INSERT INTO WALUTA VALUES (1, 'PLN', 'zloty', 'PLN');"
            "INSERT INTO STAWKA_VAT VALUES (1, '23', 'VAT');");
        std::string error;
        ASSERT_TRUE(db_.open(file_, kKey, error)) << error;
    }

    std::vector<std::string> names(const std::string& jet) {
        Statement st;
        std::string error;
        EXPECT_TRUE(db_.prepare(jet, st, error)) << error;
        return jet::fieldNames(st.handle());
    }

    TempDir dir_;
    std::filesystem::path file_;
    Database db_;
};

TEST_F(JetFieldNames, DuplicatesAreQualifiedUniqueNamesStayBare) {
    const auto n = names(
        " SELECT  TOWAR.ID_TOWARU, TOWAR.NAZWA, TOWAR.NAZWA_SKR, TOWAR.caseNAZWA, PRODUCENT.ID_PRODUCENTA,"
        " PRODUCENT.NAZWA, JEDNOSTKA_MIARY.NAZWA FROM TOWAR, PRODUCENT, JEDNOSTKA_MIARY"
        " WHERE TOWAR.ID_PRODUCENTA = PRODUCENT.ID_PRODUCENTA"
        " AND JEDNOSTKA_MIARY.ID_JEDNOSTKI_MIARY = TOWAR.ID_JEDNOSTKI");
    EXPECT_EQ(n, (std::vector<std::string>{"ID_TOWARU", "TOWAR.NAZWA", "NAZWA_SKR", "caseNAZWA",
                                           "ID_PRODUCENTA", "PRODUCENT.NAZWA", "JEDNOSTKA_MIARY.NAZWA"}));
    EXPECT_EQ(jet::findField(n, "towar.NAZWA"), 1);
    EXPECT_EQ(jet::findField(n, "producent.NAZWA"), 5);
    EXPECT_EQ(jet::findField(n, "JEDNOSTKA_MIARY.NAZWA"), 6);
    EXPECT_EQ(jet::findField(n, "NAZWA_SKR"), 2);
    EXPECT_EQ(jet::findField(n, "caseNazwa"), 3);
    EXPECT_EQ(jet::findField(n, "NAZWA"), -1);  // ambiguous: no such field
    EXPECT_EQ(jet::findField(n, "BRAK"), -1);
}

TEST_F(JetFieldNames, StarColumnsOfANestedJoinKeepTheirOrigin) {
    // The supplier's goods statement: the engine renames repeated columns of
    // the nested join ("NAZWA:1"); Jet's names come from table and column.
    const auto n = names(
        "SELECT TOWAR.*, JEDNOSTKA_MIARY.*, STAWKA_VAT.*, WALUTA.* FROM JEDNOSTKA_MIARY INNER JOIN"
        " ((TOWAR INNER JOIN STAWKA_VAT ON TOWAR.ID_STAWKI_VAT = STAWKA_VAT.ID_STAWKI_VAT)"
        " INNER JOIN WALUTA ON TOWAR.ID_WALUTY = WALUTA.ID_WALUTY)"
        " ON JEDNOSTKA_MIARY.ID_JEDNOSTKI_MIARY = TOWAR.ID_JEDNOSTKI  where towar.id_producenta=1 ORDER BY "
        "IDX_NAZWA");
    ASSERT_EQ(n.size(), 20u);
    EXPECT_EQ(jet::findField(n, "Towar.NAZWA"), 1);
    EXPECT_EQ(jet::findField(n, "Towar.SYMBOL"), 4);
    EXPECT_EQ(jet::findField(n, "Towar.ID_STAWKI_VAT"), 8);
    EXPECT_EQ(jet::findField(n, "NAZWA_SKR"), 2);
    EXPECT_EQ(jet::findField(n, "caseNazwa"), 3);
    EXPECT_EQ(jet::findField(n, "Jednostka_miary.KOD"), 12);
    EXPECT_EQ(jet::findField(n, "STAWKA_VAT.KOD"), 14);
    EXPECT_EQ(jet::findField(n, "WALUTA.SYMBOL"), 17);
    EXPECT_EQ(jet::findField(n, "WALUTA.NAZWA"), 18);
    EXPECT_EQ(jet::findField(n, "idx_nazwa"), 9);
    EXPECT_EQ(jet::findField(n, "ID_JEDNOSTKI_MIARY"), 10);
    for (const std::string& name : n) EXPECT_EQ(name.find(':'), std::string::npos) << name;
}

TEST_F(JetFieldNames, ExpressionsAndAliasesKeepTheEngineName) {
    const auto n = names("SELECT count(*), NAZWA AS N, ID_TOWARU FROM TOWAR");
    EXPECT_EQ(n, (std::vector<std::string>{"count(*)", "N", "ID_TOWARU"}));
}

}  // namespace
}  // namespace kmx::data
