// The price-base library through its C functions, the tables read back with
// shapelib as any dBASE reader would, and the built shared library.

#include "pricebase/pricebase.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <shapefil.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <limits>
#include <string>
#include <vector>

#include "core/cp1250.h"
#include "core/t3_records.h"

namespace kmx::pricebase {
namespace {

namespace fs = std::filesystem;

std::string pl(const char* utf8) {
    return cp1250::fromUtf8(utf8);
}

std::string lastError() {
    std::array<char, 256> buf{};
    GetDbDllError(buf.data(), 255, nullptr);
    return std::string(buf.data());
}

std::array<char, t3::kCennikRecSize> header(const std::string& plik, const std::string& opis = "Cennik",
                                            const std::string& poziom = "wyd. 4/2026",
                                            const std::string& waluta = "PLN") {
    t3::CennikRec c;
    c.plik = plik;
    c.opis = opis;
    c.poziom = poziom;
    c.waluta = waluta;
    std::array<char, t3::kCennikRecSize> b{};
    t3::Zapisz(c, b.data());
    return b;
}

std::array<char, t3::kRmsRecSize> row(const t3::RmsRec& r) {
    std::array<char, t3::kRmsRecSize> b{};
    t3::ZapiszRms(r, b.data());
    return b;
}

// A table as shapelib's own reader sees it.
struct Dbf {
    bool ok = false;
    std::vector<std::string> fields;
    std::vector<char> types;
    std::vector<int> widths;
    std::vector<std::vector<std::string>> rows;
    std::string codePage;
    const std::string& at(std::size_t r, const char* field) const {
        for (std::size_t f = 0; f < fields.size(); ++f)
            if (fields[f] == field) return rows.at(r).at(f);
        ADD_FAILURE() << "no field " << field;
        static const std::string none;
        return none;
    }
};

Dbf readDbf(const fs::path& file) {
    Dbf d;
    DBFHandle h = DBFOpen(file.c_str(), "rb");
    if (!h) return d;
    d.ok = true;
    if (const char* cp = DBFGetCodePage(h)) d.codePage = cp;
    for (int f = 0; f < DBFGetFieldCount(h); ++f) {
        char name[12] = {};
        int width = 0, decimals = 0;
        DBFGetFieldInfo(h, f, name, &width, &decimals);
        d.fields.emplace_back(name);
        d.types.push_back(DBFGetNativeFieldType(h, f));
        d.widths.push_back(width);
    }
    for (int r = 0; r < DBFGetRecordCount(h); ++r) {
        if (DBFIsRecordDeleted(h, r)) continue;
        std::vector<std::string> values;
        for (int f = 0; f < DBFGetFieldCount(h); ++f) values.emplace_back(DBFReadStringAttribute(h, r, f));
        d.rows.push_back(values);
    }
    DBFClose(h);
    return d;
}

std::string fileBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Writes an ETO to KMB table the way another program would.
void writeConversions(const fs::path& file, const std::vector<std::array<const char*, 3>>& rows) {
    DBFHandle h = DBFCreate(file.c_str());
    ASSERT_NE(h, nullptr);
    DBFAddField(h, "ETO", FTString, 8, 0);
    DBFAddField(h, "JM", FTString, 4, 0);
    DBFAddField(h, "KMB", FTString, 8, 0);
    int r = 0;
    for (const auto& v : rows) {
        for (int f = 0; f < 3; ++f) DBFWriteStringAttribute(h, r, f, v[static_cast<std::size_t>(f)]);
        ++r;
    }
    DBFClose(h);
}

class PriceBase : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::path(::testing::TempDir()) /
               ("kmx_pb_" + std::string(info->name()) + "_" + std::to_string(::getpid())) / "bazy";
        fs::remove_all(dir_.parent_path());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_.parent_path(), ec);
    }
    const char* folder() const { return dir_.c_str(); }

    // Creates, registers and opens a price list; the handle.
    std::int32_t openNew(const std::array<char, t3::kCennikRecSize>& h) {
        std::int32_t handle = 0;
        EXPECT_EQ(DbCenyCreateTable(folder(), h.data(), 'E'), 0) << lastError();
        EXPECT_EQ(DbWstawCennik(folder(), "cenniki.dbf", h.data()), 0) << lastError();
        EXPECT_EQ(DbCenyOpenTable(&handle, folder(), h.data(), 'E'), 0) << lastError();
        EXPECT_GT(handle, 0);
        return handle;
    }

    fs::path dir_;
};

TEST_F(PriceBase, APriceListIsCreatedRegisteredFilledAndReadableAfterEveryCall) {
    const std::string opis = pl("Kalmarex wyd.4/2026 – cegły żółte");
    const auto h = header("Kmx4_2026.dbf", opis, "wyd. 4/2026", "PLN");
    const std::int32_t handle = openNew(h);

    const Dbf list = readDbf(dir_ / "cenniki.dbf");
    ASSERT_TRUE(list.ok);
    EXPECT_EQ(list.codePage, "LDID/200");
    ASSERT_EQ(list.rows.size(), 1u);
    EXPECT_EQ(list.at(0, "PLIK"), "Kmx4_2026.dbf");
    EXPECT_EQ(list.at(0, "TYP"), "E");
    EXPECT_EQ(list.at(0, "OPIS"), opis);
    EXPECT_EQ(list.at(0, "POZIOM"), "wyd. 4/2026");
    EXPECT_EQ(list.at(0, "WALUTA"), "PLN");

    t3::RmsRec a{"1610101", "SZT", "2", "M", "szt.", 7.65f, 8.18f, 9.81f, pl("Cegła pełna ŻÓŁTA 25x12x6,5 cm")};
    t3::RmsRec b{"K1610101", "OPAK", "1", "S", pl("opak."), 0.0125f, 1234567.5f, 0, std::string(201, 'n')};
    ASSERT_EQ(DbCenyWstawRMS(handle, row(a).data()), 0) << lastError();
    // Open and appended to, the table is whole on disk for another reader.
    EXPECT_EQ(readDbf(dir_ / "Kmx4_2026.dbf").rows.size(), 1u);
    ASSERT_EQ(DbCenyWstawRMS(handle, row(b).data()), 0) << lastError();

    const Dbf t = readDbf(dir_ / "Kmx4_2026.dbf");
    ASSERT_TRUE(t.ok);
    EXPECT_EQ(t.codePage, "LDID/200");
    // The language driver byte of the header: 0xC8, Windows-1250.
    EXPECT_EQ(static_cast<unsigned char>(fileBytes(dir_ / "Kmx4_2026.dbf").at(29)), 0xC8);
    EXPECT_EQ(t.fields, (std::vector<std::string>{"KOD", "JM_KOD", "RODZAJ", "TYP", "JM_NAZWA", "CENA_PROD",
                                                  "CENA_HURT", "CENA_DET", "NAZWA"}));
    EXPECT_EQ(t.types, (std::vector<char>{'C', 'C', 'C', 'C', 'C', 'N', 'N', 'N', 'C'}));
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0], (std::vector<std::string>{"1610101", "SZT", "2", "M", "szt.", "7.6500", "8.1800", "9.8100",
                                                   pl("Cegła pełna ŻÓŁTA 25x12x6,5 cm")}));
    EXPECT_EQ(t.rows[1], (std::vector<std::string>{"K1610101", "OPAK", "1", "S", pl("opak."), "0.0125",
                                                   "1234567.5000", "0.0000", std::string(201, 'n')}));
    // "ł" is the single Windows-1250 byte 0xB3.
    EXPECT_EQ(t.rows[0][8].substr(3, 1), "\xB3");

    EXPECT_EQ(DbCenyCloseTable(handle), 0) << lastError();
    EXPECT_NE(DbCenyCloseTable(handle) & 0xFF, 0);
    EXPECT_EQ(readDbf(dir_ / "Kmx4_2026.dbf").rows.size(), 2u);
}

TEST_F(PriceBase, ABadRowIsRefusedWholeAndTheTableStaysOpen) {
    const auto h = header("Kmx4_2026.dbf");
    const std::int32_t handle = openNew(h);
    t3::RmsRec r{"1610101", "SZT", "2", "M", "szt.", 1, 2, 3, "Pustak"};
    for (const float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 3e30f}) {
        r.cenaHurtowa = bad;
        EXPECT_NE(DbCenyWstawRMS(handle, row(r).data()) & 0xFF, 0);
        EXPECT_NE(lastError().find(pl("Nieprawidłowa cena")), std::string::npos) << lastError();
    }
    r.cenaHurtowa = 2;
    EXPECT_EQ(DbCenyWstawRMS(handle, row(r).data()), 0) << lastError();
    EXPECT_EQ(DbCenyCloseTable(handle), 0);
    const Dbf t = readDbf(dir_ / "Kmx4_2026.dbf");
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.at(0, "CENA_HURT"), "2.0000");
}

TEST_F(PriceBase, ExistenceCountsTheTableFileOrItsEntry) {
    const auto h = header("Kmx4_2026.dbf");
    auto exists = [&] {
        std::int16_t e = -1;
        std::int32_t unused = 0;
        EXPECT_EQ(DbCheckTableExists(&e, &unused, folder(), h.data()), 0) << lastError();
        return e;
    };
    EXPECT_EQ(exists(), 0);
    ASSERT_EQ(DbCenyCreateTable(folder(), h.data(), 'E'), 0) << lastError();
    EXPECT_EQ(exists(), 1);  // the file only
    ASSERT_EQ(DbWstawCennik(folder(), "cenniki.dbf", h.data()), 0) << lastError();
    ASSERT_EQ(DbDeleteTable(folder(), h.data()), 0) << lastError();
    EXPECT_FALSE(fs::exists(dir_ / "Kmx4_2026.dbf"));
    EXPECT_EQ(exists(), 1);  // the entry only
    ASSERT_EQ(DbUsunCennik(folder(), "cenniki.dbf", h.data()), 0) << lastError();
    EXPECT_EQ(exists(), 0);
    // Deleting what is not there is no error.
    EXPECT_EQ(DbDeleteTable(folder(), h.data()), 0) << lastError();
    EXPECT_EQ(DbUsunCennik(folder(), "cenniki.dbf", h.data()), 0) << lastError();
}

TEST_F(PriceBase, RemovingAnEntryRewritesTheListWithTheOtherEntriesIntact) {
    const auto first = header("Kmx3_2025.dbf", pl("Cennik łączników"), "wyd. 3/2025", "EUR");
    const auto second = header("Kmx4_2026.dbf", "Cennik 4", "wyd. 4/2026", "PLN");
    const auto third = header("Inny.dbf", "Inny", "", "PLN");
    for (const auto* h : {&first, &second, &third})
        ASSERT_EQ(DbWstawCennik(folder(), "cenniki.dbf", h->data()), 0) << lastError();
    // Registering a file again replaces its entry.
    const auto secondAgain = header("Kmx4_2026.dbf", "Cennik 4 nowy", "wyd. 4/2026", "PLN");
    ASSERT_EQ(DbWstawCennik(folder(), "cenniki.dbf", secondAgain.data()), 0) << lastError();
    ASSERT_EQ(readDbf(dir_ / "cenniki.dbf").rows.size(), 3u);
    EXPECT_EQ(readDbf(dir_ / "cenniki.dbf").at(1, "OPIS"), "Cennik 4 nowy");

    ASSERT_EQ(DbUsunCennik(folder(), "cenniki.dbf", second.data()), 0) << lastError();
    const Dbf list = readDbf(dir_ / "cenniki.dbf");
    ASSERT_TRUE(list.ok);
    EXPECT_EQ(list.codePage, "LDID/200");
    EXPECT_EQ(list.widths, (std::vector<int>{41, 1, 201, 21, 11}));
    ASSERT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(list.rows[0], (std::vector<std::string>{"Kmx3_2025.dbf", "E", pl("Cennik łączników"), "wyd. 3/2025", "EUR"}));
    EXPECT_EQ(list.rows[1], (std::vector<std::string>{"Inny.dbf", "E", "Inny", "", "PLN"}));
    // No scratch file is left beside it.
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(dir_)) files.push_back(e.path().filename().string());
    EXPECT_EQ(files, std::vector<std::string>{"cenniki.dbf"});
}

TEST_F(PriceBase, ProducersAreAppendedToATableCreatedWhenMissing) {
    t3::ProdRec p{"STA",    "1234567890", pl("Stalonda Łódź sp. z o.o."), "90-001", pl("Łódź"), pl("ul. Długa 1"),
                  pl("łódzkie"), "042", "123 45 67", "123 45 68", "biuro@stalonda.example.pl",
                  "www.stalonda.example.pl"};
    std::array<char, t3::kProdRecSize> b{};
    t3::ZapiszProd(p, b.data());
    ASSERT_EQ(DbProdAppendToTable(b.data(), folder(), "producen.dbf"), 0) << lastError();
    p.kod = "FAR";
    p.nazwa = std::string(101, 'F');
    t3::ZapiszProd(p, b.data());
    ASSERT_EQ(DbProdAppendToTable(b.data(), folder(), "producen.dbf"), 0) << lastError();

    const Dbf t = readDbf(dir_ / "producen.dbf");
    ASSERT_TRUE(t.ok);
    EXPECT_EQ(t.codePage, "LDID/200");
    EXPECT_EQ(t.fields, (std::vector<std::string>{"KOD", "NIP", "NAZWA", "KOD_POCZT", "MIEJSCOWOS", "ULICA",
                                                  "WOJEWODZTW", "TEL_KIER", "TELEFON", "FAKS", "EMAIL", "WWW"}));
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0], (std::vector<std::string>{"STA", "1234567890", pl("Stalonda Łódź sp. z o.o."), "90-001",
                                                   pl("Łódź"), pl("ul. Długa 1"), pl("łódzkie"), "042", "123 45 67",
                                                   "123 45 68", "biuro@stalonda.example.pl",
                                                   "www.stalonda.example.pl"}));
    EXPECT_EQ(t.at(1, "KOD"), "FAR");
    EXPECT_EQ(t.at(1, "NAZWA"), std::string(101, 'F'));
}

TEST_F(PriceBase, TableNamesThatWouldLeaveTheFolderAreRefused) {
    const fs::path outside = dir_.parent_path();
    for (const std::string name : {"../x.dbf", "a/b.dbf", "a\\b.dbf", "..\\x.dbf", "", ".dbf", "x.txt", "x.dbf.txt",
                                   "/tmp/x.dbf", " x.dbf"}) {
        SCOPED_TRACE(name);
        const auto h = header(name);
        std::int32_t handle = 0;
        std::int16_t exists = 0;
        EXPECT_NE(DbCenyCreateTable(folder(), h.data(), 'E') & 0xFF, 0);
        EXPECT_NE(lastError().find(pl("Nieprawidłowa nazwa tabeli \"") + name + "\""), std::string::npos)
            << lastError();
        EXPECT_NE(DbWstawCennik(folder(), "cenniki.dbf", h.data()) & 0xFF, 0);
        EXPECT_NE(DbCenyOpenTable(&handle, folder(), h.data(), 'E') & 0xFF, 0);
        EXPECT_EQ(handle, 0);
        EXPECT_NE(DbDeleteTable(folder(), h.data()) & 0xFF, 0);
        EXPECT_NE(DbUsunCennik(folder(), "cenniki.dbf", h.data()) & 0xFF, 0);
        EXPECT_NE(DbCheckTableExists(&exists, nullptr, folder(), h.data()) & 0xFF, 0);
        // The list and producer table names go through the same check.
        const auto good = header("Kmx4_2026.dbf");
        EXPECT_NE(DbWstawCennik(folder(), name.c_str(), good.data()) & 0xFF, 0);
        std::array<char, t3::kProdRecSize> p{};
        EXPECT_NE(DbProdAppendToTable(p.data(), folder(), name.c_str()) & 0xFF, 0);
    }
    EXPECT_FALSE(fs::exists(outside / "x.dbf"));
    EXPECT_TRUE(fs::is_empty(dir_));
    // Upper case ".DBF" is a table name too; the file is written as ".dbf".
    const auto upper = header("KMX4.DBF");
    std::int32_t handle = 0;
    ASSERT_EQ(DbCenyCreateTable(folder(), upper.data(), 'E'), 0) << lastError();
    ASSERT_EQ(DbCenyOpenTable(&handle, folder(), upper.data(), 'E'), 0) << lastError();
    EXPECT_EQ(DbCenyCloseTable(handle), 0);
    EXPECT_TRUE(fs::exists(dir_ / "KMX4.dbf"));
    EXPECT_EQ(DbDeleteTable(folder(), upper.data()), 0) << lastError();
    EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(PriceBase, AnOpenTableIsNeitherOpenedAgainNorReplacedNorDeleted) {
    const auto h = header("Kmx4_2026.dbf");
    const std::int32_t handle = openNew(h);
    std::int32_t second = 0;
    EXPECT_NE(DbCenyOpenTable(&second, folder(), h.data(), 'E') & 0xFF, 0);
    EXPECT_NE(lastError().find(pl("jest już otwarta")), std::string::npos) << lastError();
    EXPECT_NE(DbCenyCreateTable(folder(), h.data(), 'E') & 0xFF, 0);
    EXPECT_NE(DbDeleteTable(folder(), h.data()) & 0xFF, 0);
    EXPECT_TRUE(fs::exists(dir_ / "Kmx4_2026.dbf"));
    EXPECT_EQ(DbCenyCloseTable(handle), 0);
    // Types other than "E" are not price lists of ours.
    EXPECT_NE(DbCenyOpenTable(&second, folder(), h.data(), 'K') & 0xFF, 0);
    EXPECT_NE(DbCenyCreateTable(folder(), h.data(), 'K') & 0xFF, 0);
    EXPECT_EQ(DbCenyOpenTable(&second, folder(), h.data(), 'E'), 0) << lastError();
    EXPECT_EQ(DbCenyCloseTable(second), 0);
}

TEST_F(PriceBase, EtoIndicesConvertToKmbCodesByUnit) {
    writeConversions(dir_ / "etokmb.dbf", {{"1610101", "SZT", "K1610101"},
                                           {"1610101", "", "K1610199"},
                                           {"1520101", "T", "K1520101"},
                                           {"999", "", "K9990000"},
                                           {"1520101", "T", "KDUPLIKA"}});
    std::int32_t ctx = 0;
    ASSERT_EQ(DbCnvEtoKmbOpenTable(folder(), &ctx), 0) << lastError();
    ASSERT_GT(ctx, 0);
    struct Case {
        const char* code;
        std::string unit;  // passed as 4 bytes, not always terminated
        std::int32_t result;
        const char* a;
    };
    const Case cases[] = {
        {"1610101", "SZT", 0, "K1610101"},
        {"1610101", "szt", 0, "K1610101"},    // units compare in upper case
        {"1610101", "M2", 0, "K1610199"},     // a row for any unit
        {"1610101", "", 0, "K1610199"},
        {" 1610101 ", "SZT", 0, "K1610101"},  // blanks trimmed
        {"1520101", "T", 0, "K1520101"},      // the first row counts
        {"1520101", "KG", 2, "1520101"},
        {"999", "OPAK", 0, "K9990000"},       // a full 4-byte unit, then the next field
        {"1610102", "SZT", 2, "1610102"},
        {"", "SZT", 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.code) + "/" + c.unit);
        std::array<char, 9> a{}, b{};
        std::memcpy(a.data(), c.code, std::strlen(c.code));
        std::memcpy(b.data(), "XXXXXXXX", 9);
        char unit[6] = {};
        t3::PoleTekstu(unit, 4, c.unit);
        unit[4] = '2';  // the record's next field
        EXPECT_EQ(DbCnvEtoKmbFind(a.data(), b.data(), unit, 1, &ctx), c.result);
        EXPECT_EQ(std::string(a.data()), c.a);
        EXPECT_STREQ(b.data(), "XXXXXXXX");
    }
    // A nine-byte code without a terminator is read up to its buffer only.
    std::array<char, 9> nine;
    nine.fill('1');
    EXPECT_EQ(DbCnvEtoKmbFind(nine.data(), nullptr, "SZT", 1, &ctx), 2);

    EXPECT_EQ(DbCnvEtoKmbCloseTable(&ctx), 0);
    EXPECT_EQ(ctx, 0);
    std::array<char, 9> a{'9', '9', '9'};
    EXPECT_EQ(DbCnvEtoKmbFind(a.data(), nullptr, "", 1, &ctx) & 0xFF, 1);
    EXPECT_NE(DbCnvEtoKmbCloseTable(&ctx) & 0xFF, 0);
}

TEST_F(PriceBase, WithoutAConversionTableNothingConvertsAndABrokenOneIsAnError) {
    std::int32_t ctx = 0;
    ASSERT_EQ(DbCnvEtoKmbOpenTable(folder(), &ctx), 0) << lastError();
    std::array<char, 9> a{'9', '9', '9'};
    EXPECT_EQ(DbCnvEtoKmbFind(a.data(), nullptr, "RG", 1, &ctx), 2);
    EXPECT_STREQ(a.data(), "999");
    EXPECT_EQ(DbCnvEtoKmbCloseTable(&ctx), 0);

    std::ofstream(dir_ / "etokmb.dbf") << "not a table";
    EXPECT_NE(DbCnvEtoKmbOpenTable(folder(), &ctx) & 0xFF, 0);
    EXPECT_EQ(ctx, 0);
    EXPECT_NE(lastError().find("etokmb.dbf"), std::string::npos) << lastError();
}

TEST_F(PriceBase, TheErrorTextIsPolishWindows1250AndCutToTheCapacity) {
    const auto h = header("Kmx4_2026.dbf");
    const std::string missing = (dir_ / "nie_ma").string();
    ASSERT_NE(DbCenyCreateTable(missing.c_str(), h.data(), 'E') & 0xFF, 0);
    const std::string expected = pl("Nie można utworzyć tabeli Kmx4_2026.dbf: nie ma takiego pliku ani folderu");
    EXPECT_EQ(lastError(), expected);
    EXPECT_EQ(expected.substr(6, 1), "\xBF");  // "ż"

    std::array<char, 16> buf;
    buf.fill('#');
    EXPECT_EQ(GetDbDllError(buf.data(), 10, nullptr), 0);
    EXPECT_EQ(std::string(buf.data()), expected.substr(0, 10));
    EXPECT_EQ(buf[11], '#');
    EXPECT_EQ(GetDbDllError(buf.data(), 0, nullptr), 0);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_NE(GetDbDllError(nullptr, 255, nullptr), 0);
    EXPECT_NE(GetDbDllError(buf.data(), -1, nullptr), 0);

    // The four functions the program never calls answer "not supported".
    EXPECT_EQ(DbWstawCennikEx(folder(), "cenniki.dbf", h.data(), nullptr), KMX_PB_NOT_SUPPORTED);
    EXPECT_EQ(lastError(), pl("Funkcja DbWstawCennikEx nie jest obsługiwana"));
    EXPECT_EQ(DbCenyModyfRMS(1, nullptr), KMX_PB_NOT_SUPPORTED);
    EXPECT_EQ(DbCenySzukajRMS(1, nullptr), KMX_PB_NOT_SUPPORTED);
    EXPECT_EQ(DbUsunCennikEx(folder(), "cenniki.dbf", h.data(), nullptr), KMX_PB_NOT_SUPPORTED);
    EXPECT_EQ(lastError(), pl("Funkcja DbUsunCennikEx nie jest obsługiwana"));
}

TEST_F(PriceBase, NullAndUnknownArgumentsAreErrors) {
    const auto h = header("Kmx4_2026.dbf");
    std::int16_t exists = 0;
    std::int32_t handle = 0;
    std::array<char, t3::kRmsRecSize> r{};
    std::array<char, t3::kProdRecSize> p{};
    std::array<char, 9> a{};
    auto fails = [](std::int32_t result) { return (result & 0xFF) != 0; };
    EXPECT_TRUE(fails(DbCheckTableExists(nullptr, nullptr, folder(), h.data())));
    EXPECT_TRUE(fails(DbCheckTableExists(&exists, nullptr, nullptr, h.data())));
    EXPECT_TRUE(fails(DbCheckTableExists(&exists, nullptr, folder(), nullptr)));
    EXPECT_TRUE(fails(DbCheckTableExists(&exists, nullptr, "", h.data())));
    EXPECT_TRUE(fails(DbDeleteTable(nullptr, h.data())));
    EXPECT_TRUE(fails(DbDeleteTable(folder(), nullptr)));
    EXPECT_TRUE(fails(DbUsunCennik(folder(), nullptr, h.data())));
    EXPECT_TRUE(fails(DbUsunCennik(folder(), "cenniki.dbf", nullptr)));
    EXPECT_TRUE(fails(DbCenyCreateTable(nullptr, h.data(), 'E')));
    EXPECT_TRUE(fails(DbCenyCreateTable(folder(), nullptr, 'E')));
    EXPECT_TRUE(fails(DbWstawCennik(nullptr, "cenniki.dbf", h.data())));
    EXPECT_TRUE(fails(DbWstawCennik(folder(), "cenniki.dbf", nullptr)));
    EXPECT_TRUE(fails(DbCenyOpenTable(nullptr, folder(), h.data(), 'E')));
    EXPECT_TRUE(fails(DbCenyOpenTable(&handle, folder(), nullptr, 'E')));
    EXPECT_TRUE(fails(DbCenyOpenTable(&handle, folder(), h.data(), 'E')));  // no such table
    EXPECT_EQ(handle, 0);
    EXPECT_TRUE(fails(DbCenyWstawRMS(0, r.data())));
    EXPECT_TRUE(fails(DbCenyWstawRMS(12345, r.data())));
    EXPECT_NE(lastError().find("12345"), std::string::npos) << lastError();
    EXPECT_TRUE(fails(DbCenyCloseTable(0)));
    EXPECT_TRUE(fails(DbCnvEtoKmbOpenTable(folder(), nullptr)));
    EXPECT_TRUE(fails(DbCnvEtoKmbOpenTable(nullptr, &handle)));
    EXPECT_TRUE(fails(DbCnvEtoKmbFind(nullptr, nullptr, "SZT", 1, &handle)));
    EXPECT_TRUE(fails(DbCnvEtoKmbFind(a.data(), nullptr, "SZT", 1, nullptr)));
    EXPECT_TRUE(fails(DbCnvEtoKmbCloseTable(nullptr)));
    EXPECT_TRUE(fails(DbProdAppendToTable(nullptr, folder(), "producen.dbf")));
    EXPECT_TRUE(fails(DbProdAppendToTable(p.data(), nullptr, "producen.dbf")));
    EXPECT_TRUE(fails(DbProdAppendToTable(p.data(), folder(), nullptr)));
    // With an open table a null row is still refused and the table stays usable.
    const std::int32_t open = openNew(h);
    EXPECT_TRUE(fails(DbCenyWstawRMS(open, nullptr)));
    EXPECT_EQ(DbCenyWstawRMS(open, r.data()), 0) << lastError();
    EXPECT_EQ(DbCenyCloseTable(open), 0);
}

TEST_F(PriceBase, AFailedWriteIsReported) {
    const auto h = header("Kmx4_2026.dbf");
    const std::int32_t handle = openNew(h);
    // Files of this process may grow to 64 KiB: the table fills up.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    t3::RmsRec r{"1610101", "SZT", "2", "M", "szt.", 1, 2, 3, std::string(200, 'x')};
    const auto rec = row(r);
    int written = 0;
    std::int32_t result = 0;
    while (written < 1000 && (result = DbCenyWstawRMS(handle, rec.data())) == 0) ++written;
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);

    EXPECT_NE(result & 0xFF, 0);
    EXPECT_LT(written, 1000);
    EXPECT_EQ(lastError(), pl("Nie można zapisać wiersza do tabeli Kmx4_2026.dbf: brak miejsca na dysku"));
    DbCenyCloseTable(handle);
}

// The library beside the programs: the nineteen functions and nothing of ours
// besides, and a price list written through it.
TEST(PriceBaseLibrary, TheSharedLibraryExportsTheNineteenFunctionsAndWorks) {
    const char* bin = std::getenv("KMX_BIN_DIR");
    const fs::path lib = fs::path(bin ? bin : fs::read_symlink("/proc/self/exe").parent_path().string()) /
                         "libkmx_pricebase.so";
    void* handle = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    EXPECT_EQ(std::size(kmxPricebaseFunctionNames), 19u);
    for (const char* name : kmxPricebaseFunctionNames) EXPECT_NE(dlsym(handle, name), nullptr) << name;
    EXPECT_EQ(dlsym(handle, "_ZN3kmx2t39CzytajRmsEPKc"), nullptr);
    EXPECT_EQ(dlsym(handle, "DBFOpen"), dlsym(RTLD_DEFAULT, "DBFOpen"));  // shapelib's, not a copy

    const auto ver = reinterpret_cast<GetDbDllVer_t>(dlsym(handle, KMX_PB_GetDbDllVer));
    const auto init = reinterpret_cast<InitDbDLL_t>(dlsym(handle, KMX_PB_InitDbDLL));
    const auto create = reinterpret_cast<DbCenyCreateTable_t>(dlsym(handle, KMX_PB_DbCenyCreateTable));
    const auto open = reinterpret_cast<DbCenyOpenTable_t>(dlsym(handle, KMX_PB_DbCenyOpenTable));
    const auto insert = reinterpret_cast<DbCenyWstawRMS_t>(dlsym(handle, KMX_PB_DbCenyWstawRMS));
    const auto close = reinterpret_cast<DbCenyCloseTable_t>(dlsym(handle, KMX_PB_DbCenyCloseTable));
    const auto error = reinterpret_cast<GetDbDllError_t>(dlsym(handle, KMX_PB_GetDbDllError));
    ASSERT_TRUE(ver && init && create && open && insert && close && error);
    EXPECT_GE(ver(nullptr), 3120);
    EXPECT_EQ(init(nullptr, ver(nullptr)) & 0xFF, 0);

    const fs::path dir = fs::path(::testing::TempDir()) / ("kmx_pb_lib_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const auto h = header("Kmx4_2026.dbf");
    std::int32_t table = 0;
    EXPECT_EQ(create(dir.c_str(), h.data(), 'E'), 0);
    EXPECT_EQ(open(&table, dir.c_str(), h.data(), 'E'), 0);
    EXPECT_EQ(insert(table, row({"1610101", "SZT", "2", "M", "szt.", 1.5f, 2, 3, "Pustak"}).data()), 0);
    EXPECT_EQ(close(table), 0);
    EXPECT_NE(close(table) & 0xFF, 0);
    std::array<char, 256> buf{};
    error(buf.data(), 255, nullptr);
    EXPECT_EQ(std::string(buf.data()), pl("Nieznany uchwyt tabeli ") + std::to_string(table));
    const Dbf t = readDbf(dir / "Kmx4_2026.dbf");
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.at(0, "CENA_PROD"), "1.5000");
    dlclose(handle);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace kmx::pricebase
