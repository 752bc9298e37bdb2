#include "data/database.h"

#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

#include <fstream>
#include <string>
#include <vector>

#include "test_catalog.h"

namespace kmx::data {
namespace {

using testing::buildCatalog;
using testing::kKey;
using testing::TempDir;

constexpr const char* kEncryptedMessage = "file is encrypted or is not a database";

std::string readFile(const std::filesystem::path& p) {
    std::string bytes(static_cast<std::size_t>(std::filesystem::file_size(p)), '\0');
    std::ifstream in(p, std::ios::binary);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

void writeFile(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = dir_.file("kmx.dat");
        buildCatalog(file_,
                     "CREATE TABLE T(ID INTEGER PRIMARY KEY, NAZWA TEXT COLLATE KMX_PL);"
                     "INSERT INTO T VALUES (1, 'Beton'), (2, 'Cement');");
    }

    // Steps a statement to its end and counts the rows.
    static int countRows(Statement& st) {
        std::string error;
        int n = 0;
        while (st.next(error)) ++n;
        EXPECT_EQ(error, "");
        return n;
    }

    TempDir dir_;
    std::filesystem::path file_;
};

TEST_F(DatabaseTest, OpensWithTheRightKeyAndReads) {
    Database db;
    std::string error;
    ASSERT_TRUE(db.open(file_, kKey, error)) << error;
    EXPECT_TRUE(db.isOpen());
    EXPECT_TRUE(db.isReadOnly());
    Statement st;
    ASSERT_TRUE(db.prepare("SELECT * FROM T", st, error)) << error;
    EXPECT_EQ(countRows(st), 2);
}

TEST_F(DatabaseTest, TheFileIsEncrypted) {
    const std::string bytes = readFile(file_);
    ASSERT_GE(bytes.size(), 4096u);
    EXPECT_EQ(bytes.find("SQLite format 3"), std::string::npos);
    EXPECT_EQ(bytes.find("Cement"), std::string::npos);
    EXPECT_EQ(bytes.find("CREATE TABLE"), std::string::npos);
}

TEST_F(DatabaseTest, WrongOrEmptyKeyFailsAtOpen) {
    for (std::string_view key : {std::string_view("wrong"), std::string_view()}) {
        Database db;
        std::string error;
        EXPECT_FALSE(db.open(file_, key, error)) << "key '" << key << "'";
        EXPECT_NE(error.find(kEncryptedMessage), std::string::npos) << error;
        EXPECT_FALSE(db.isOpen());
    }
}

TEST_F(DatabaseTest, MissingFileFailsAndIsNotCreated) {
    Database db;
    std::string error;
    const auto missing = dir_.file("brak.dat");
    EXPECT_FALSE(db.open(missing, kKey, error));
    EXPECT_NE(error.find("unable to open database file"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(DatabaseTest, FileThatIsNoDatabaseFails) {
    const auto text = dir_.file("tekst.dat");
    std::string junk;
    for (int i = 0; i < 3000; ++i) junk += "to nie jest baza danych ";
    writeFile(text, junk);
    Database db;
    std::string error;
    EXPECT_FALSE(db.open(text, kKey, error));
    EXPECT_NE(error.find(kEncryptedMessage), std::string::npos) << error;
    EXPECT_EQ(readFile(text), junk);
}

TEST_F(DatabaseTest, EmptyFileIsNoCatalogue) {
    // The engine takes an empty file for an empty database; that is no catalogue.
    const auto empty = dir_.file("pusty.dat");
    writeFile(empty, "");
    Database db;
    std::string error;
    EXPECT_FALSE(db.open(empty, kKey, error));
    EXPECT_NE(error.find("brak tabel"), std::string::npos) << error;
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);
}

TEST_F(DatabaseTest, OpenForBuildNeedsAKeyAndTheRightOne) {
    Database db;
    std::string error;
    const auto fresh = dir_.file("nowy.dat");
    EXPECT_FALSE(db.openForBuild(fresh, "", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(fresh));
    EXPECT_FALSE(db.openForBuild(file_, "wrong", error));
    EXPECT_NE(error.find(kEncryptedMessage), std::string::npos) << error;
    ASSERT_TRUE(db.openForBuild(file_, kKey, error)) << error;
    EXPECT_FALSE(db.isReadOnly());
}

TEST_F(DatabaseTest, ReadOnlyConnectionRefusesEveryWrite) {
    const std::string before = readFile(file_);
    {
        Database db;
        std::string error;
        ASSERT_TRUE(db.open(file_, kKey, error)) << error;
        const std::vector<std::string> refused = {
            "INSERT INTO T VALUES (3, 'Stal')",
            "UPDATE T SET NAZWA = 'x'",
            "DELETE FROM T",
            "DROP TABLE T",
            "CREATE TABLE U(A)",
            "CREATE INDEX I ON T(NAZWA)",
            "ALTER TABLE T ADD COLUMN Z",
            "ATTACH DATABASE 'inny.dat' AS inny",
            "DETACH DATABASE main",
            "PRAGMA user_version = 7",
            "PRAGMA locking_mode = NORMAL",
            "PRAGMA cache_size",
            "BEGIN",
            "REINDEX",
            "ANALYZE",
            "VACUUM",
            "SELECT load_extension('x')",
        };
        for (const std::string& sql : refused) {
            Statement st;
            error.clear();
            EXPECT_FALSE(db.prepare(sql, st, error)) << sql;
            EXPECT_FALSE(st) << sql;
            EXPECT_FALSE(error.empty()) << sql;
            error.clear();
            EXPECT_FALSE(db.exec(sql, error)) << sql;
        }
        Statement st;
        ASSERT_TRUE(db.prepare("SELECT NAZWA FROM T WHERE ID = 1", st, error)) << error;
        EXPECT_EQ(countRows(st), 1);
        EXPECT_FALSE(std::filesystem::exists(dir_.file("inny.dat")));
    }
    EXPECT_EQ(readFile(file_), before);
}

TEST_F(DatabaseTest, RefusesASecondStatementInTheText) {
    Database db;
    std::string error;
    ASSERT_TRUE(db.open(file_, kKey, error)) << error;
    Statement st;
    EXPECT_FALSE(db.prepare("SELECT * FROM T; SELECT * FROM T", st, error));
    EXPECT_NE(error.find("jedno"), std::string::npos) << error;
    EXPECT_FALSE(db.prepare("SELECT * FROM T;DROP TABLE T", st, error));
    EXPECT_FALSE(db.prepare("SELECT * FROM T; -- komentarz", st, error));
    EXPECT_FALSE(db.prepare("", st, error));
    EXPECT_FALSE(db.prepare("  ;  ", st, error));
    // Trailing semicolons and white space are no second statement.
    ASSERT_TRUE(db.prepare("SELECT * FROM T ; ;\r\n\t", st, error)) << error;
    EXPECT_EQ(countRows(st), 2);
}

TEST_F(DatabaseTest, RefusesParametersOfTheEngineSyntax) {
    Database db;
    std::string error;
    ASSERT_TRUE(db.open(file_, kKey, error)) << error;
    Statement st;
    for (const char* sql : {"SELECT * FROM T WHERE ID = ?", "SELECT * FROM T WHERE NAZWA = :n",
                            "SELECT * FROM T WHERE NAZWA = \"Beton\" OR ID = ?5"}) {
        error.clear();
        EXPECT_FALSE(db.prepare(sql, st, error)) << sql;
        EXPECT_NE(error.find("parametr"), std::string::npos) << error;
    }
}

TEST_F(DatabaseTest, EngineErrorsComeBackAsText) {
    Database db;
    std::string error;
    Statement st;
    EXPECT_FALSE(db.prepare("SELECT 1", st, error));  // not open
    EXPECT_FALSE(error.empty());
    ASSERT_TRUE(db.open(file_, kKey, error)) << error;
    EXPECT_FALSE(db.prepare("SELECT * FROM BRAK", st, error));
    EXPECT_NE(error.find("no such table: BRAK"), std::string::npos) << error;
    EXPECT_FALSE(db.prepare("SELECT \"niezamknięty", st, error));
    EXPECT_FALSE(error.empty());
    // A failure while stepping.
    ASSERT_TRUE(db.prepare("SELECT abs(-9223372036854775807 - 1)", st, error)) << error;
    error.clear();
    EXPECT_FALSE(st.next(error));
    EXPECT_NE(error.find("integer overflow"), std::string::npos) << error;
}

// Share-deny-write: while the program has the catalogue open, other readers
// work but no writer can change the file.
TEST_F(DatabaseTest, OpenCatalogueRefusesAnotherWriterButNotAReader) {
    Database reader;
    std::string error;
    ASSERT_TRUE(reader.open(file_, kKey, error)) << error;

    Database secondReader;
    ASSERT_TRUE(secondReader.open(file_, kKey, error)) << error;
    Statement st;
    ASSERT_TRUE(secondReader.prepare("SELECT * FROM T", st, error)) << error;
    EXPECT_EQ(countRows(st), 2);
    st.finalize();
    secondReader.close();

    auto tryWrite = [&]() {
        sqlite3* writer = nullptr;
        EXPECT_EQ(sqlite3_open_v2(file_.c_str(), &writer, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        EXPECT_EQ(sqlite3_key(writer, kKey.data(), static_cast<int>(kKey.size())), SQLITE_OK);
        sqlite3_exec(writer, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
        const int rc = sqlite3_exec(writer, "INSERT INTO T VALUES (3, 'Stal')", nullptr, nullptr, nullptr);
        sqlite3_close(writer);
        return rc;
    };
    EXPECT_EQ(tryWrite(), SQLITE_BUSY);

    // The lock is the reader's: once it closes, the same write goes through.
    reader.close();
    EXPECT_EQ(tryWrite(), SQLITE_OK);
}

}  // namespace
}  // namespace kmx::data
