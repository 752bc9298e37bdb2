// Tables whose header promises more records than the file holds: found by
// fuzzing the table reader, where such a header had every reader walk up to
// 2^31 rows that are not there, each read failing quietly as empty values.

#include <gtest/gtest.h>
#include <shapefil.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "pricebase/dbf_tables.h"
#include "support/disk_faults.h"

namespace kmx::pricebase {
namespace {

namespace fs = std::filesystem;

class DamagedTable : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kmx-dbf-findings-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        file_ = dir_ / "ceny.dbf";
        DBFHandle h = UtworzTabele(file_, kPolaCen);
        ASSERT_NE(h, nullptr);
        for (int r = 0; r < 3; ++r) {
            ASSERT_TRUE(DBFWriteStringAttribute(h, r, kpKod, ("110101" + std::to_string(r)).c_str()));
            ASSERT_TRUE(DBFWriteDoubleAttribute(h, r, kpCenaDet, 10.5 + r));
        }
        DBFClose(h);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    std::string bytes() const { return kmx::disktest::readFile(file_); }
    void write(const std::string& b) const { kmx::disktest::writeFile(file_, b); }

    fs::path dir_;
    fs::path file_;
};

TEST_F(DamagedTable, AWholeTableStillReads) {
    Tabela t;
    std::string error;
    ASSERT_TRUE(CzytajTabele(file_, t, error)) << error;
    ASSERT_EQ(t.wiersze.size(), 3u);
    EXPECT_EQ(t.wiersze[2][static_cast<std::size_t>(kpKod)], "1101012");
    int rows = 0;
    EXPECT_TRUE(LiczWiersze(file_, rows, error));
    EXPECT_EQ(rows, 3);
    // The end-of-file mark dropped: the records are all there.
    std::string b = bytes();
    ASSERT_EQ(b.back(), '\x1A');
    b.pop_back();
    write(b);
    EXPECT_TRUE(CzytajTabele(file_, t, error)) << error;
    EXPECT_EQ(t.wiersze.size(), 3u);
}

TEST_F(DamagedTable, ACutTableIsRefusedNotReadAsEmptyRows) {
    std::string b = bytes();
    b.resize(b.size() - 40);  // the last record cut short
    write(b);
    Tabela t;
    std::string error;
    EXPECT_FALSE(CzytajTabele(file_, t, error));
    EXPECT_NE(error.find("dBASE"), std::string::npos) << error;
    EXPECT_TRUE(t.wiersze.empty());
    int rows = -1;
    EXPECT_FALSE(LiczWiersze(file_, rows, error));
    EXPECT_EQ(OtworzTabele(file_, "rb+"), nullptr);
}

TEST_F(DamagedTable, AHugeRecordCountIsRefusedAtOnce) {
    std::string b = bytes();
    // The count at offset 4: 0x7FFFFFFD records in a file of a few hundred bytes.
    b[4] = '\xFD';
    b[5] = '\xFF';
    b[6] = '\xFF';
    b[7] = '\x7F';
    write(b);
    Tabela t;
    std::string error;
    EXPECT_FALSE(CzytajTabele(file_, t, error));
    int rows = -1;
    EXPECT_FALSE(LiczWiersze(file_, rows, error));
    EXPECT_TRUE(t.wiersze.empty());
}

}  // namespace
}  // namespace kmx::pricebase
