// The price-base tables against failing disks: a table created over an old
// one, the list of price lists changed or shortened, rows and producers
// appended. Every failure is an error with the Polish reason, and the
// tables on disk stay as they were before the failing call, byte for byte,
// readable by any dBASE reader.

#include <gtest/gtest.h>
#include <shapefil.h>

#include <array>
#include <string>
#include <vector>

#include "core/cp1250.h"
#include "core/t3_records.h"
#include "pricebase/demo_kmb.h"
#include "pricebase/pricebase.h"
#include "support/disk_faults.h"

namespace kmx::pricebase {
namespace {

namespace dt = kmx::disktest;
namespace sf = kmx::safefile;
using dt::fs::path;

std::string pl(const std::string& utf8) {
    return cp1250::fromUtf8(utf8);
}

std::string lastError() {
    std::array<char, 512> buf{};
    GetDbDllError(buf.data(), 500, nullptr);
    return std::string(buf.data());
}

std::array<char, t3::kCennikRecSize> header(const std::string& plik, const std::string& opis = "Cennik") {
    t3::CennikRec c;
    c.plik = plik;
    c.opis = opis;
    c.poziom = "wyd. 4/2026";
    c.waluta = "PLN";
    std::array<char, t3::kCennikRecSize> b{};
    t3::Zapisz(c, b.data());
    return b;
}

std::array<char, t3::kRmsRecSize> rms(int n) {
    t3::RmsRec r{"16101" + std::to_string(10 + n % 80),
                 "SZT",
                 "2",
                 "M",
                 "szt.",
                 1.5f + n,
                 2,
                 3,
                 pl("Cegła pełna nr ") + std::to_string(n) + std::string(120, 'x')};
    std::array<char, t3::kRmsRecSize> b{};
    t3::ZapiszRms(r, b.data());
    return b;
}

std::array<char, t3::kProdRecSize> producer(int n) {
    t3::ProdRec p;
    p.kod = "P" + std::to_string(n);
    p.nazwa = pl("Cegielnia Zielonka nr ") + std::to_string(n);
    p.miejscowosc = pl("Łódź");
    std::array<char, t3::kProdRecSize> b{};
    t3::ZapiszProd(p, b.data());
    return b;
}

// The rows as a dBASE reader sees them; -1 when the file is no table.
int readableRows(const path& file) {
    DBFHandle h = DBFOpen(file.c_str(), "rb");
    if (!h) return -1;
    int rows = 0;
    for (int r = 0; r < DBFGetRecordCount(h); ++r)
        if (!DBFIsRecordDeleted(h, r) && DBFReadStringAttribute(h, r, 0) != nullptr) ++rows;
    DBFClose(h);
    return rows;
}

class PriceBaseDiskFaults : public ::testing::Test {
public:
    const char* folder() const { return dir_.path().c_str(); }
    path file(const char* name) const { return dir_ / name; }
    // A price list "Kmx.dbf" entered in cenniki.dbf with `rows` rows, and
    // `producers` producers in producen.dbf.
    void fill(int rows, int producers) {
        const auto h = header("Kmx.dbf");
        ASSERT_EQ(DbCenyCreateTable(folder(), h.data(), 'E'), 0) << lastError();
        ASSERT_EQ(DbWstawCennik(folder(), "cenniki.dbf", h.data()), 0) << lastError();
        ASSERT_EQ(DbWstawCennik(folder(), "cenniki.dbf", header("Inny.dbf").data()), 0) << lastError();
        std::int32_t handle = 0;
        ASSERT_EQ(DbCenyOpenTable(&handle, folder(), h.data(), 'E'), 0) << lastError();
        for (int i = 0; i < rows; ++i) ASSERT_EQ(DbCenyWstawRMS(handle, rms(i).data()), 0) << lastError();
        ASSERT_EQ(DbCenyCloseTable(handle), 0) << lastError();
        for (int i = 0; i < producers; ++i)
            ASSERT_EQ(DbProdAppendToTable(producer(i).data(), folder(), "producen.dbf"), 0) << lastError();
    }
    // Every table's bytes, to compare after a failed call.
    std::vector<std::string> snapshot() const {
        std::vector<std::string> out;
        for (const std::string& n : dir_.names()) out.push_back(n + "\n" + dt::readFile(dir_ / n));
        return out;
    }

    dt::TempDir dir_;
};

// Runs `call` under every fault of the seam and checks the tables after.
// With writesOnly only the full disk in the middle of the writes (a table
// appended to in place has no replacement to sync, close or rename).
template <typename Call>
void underEveryFault(PriceBaseDiskFaults& t, const std::vector<std::string>& before, Call call,
                     const std::string& what, const std::vector<std::uint64_t>& offsets,
                     bool writesOnly = false) {
    for (const dt::SeamCase& c : dt::seamCases(offsets)) {
        if (writesOnly && c.fault.step != sf::Step::Write) continue;
        std::int32_t result = 0;
        {
            sf::FaultScope fault(c.fault);
            result = call();
        }
        EXPECT_NE(result & 0xFF, 0) << what << ", " << c.label;
        // An empty `what`: any of the call's messages, with the reason.
        const std::string reason = pl(": " + c.reason);
        const std::string error = lastError();
        if (what.empty())
            EXPECT_TRUE(error.rfind(pl("Nie można "), 0) == 0 && error.size() >= reason.size() &&
                        error.compare(error.size() - reason.size(), reason.size(), reason) == 0)
                << c.label << ": " << cp1250::toUtf8(error);
        else
            EXPECT_EQ(error, pl(what) + reason) << c.label;
        EXPECT_TRUE(t.snapshot() == before) << what << ", " << c.label;
    }
}

TEST_F(PriceBaseDiskFaults, ATableCreatedOverAnOldOneKeepsTheOldOneOnAFailure) {
    fill(30, 0);
    const std::vector<std::string> before = snapshot();
    const auto h = header("Kmx.dbf");
    underEveryFault(*this, before, [&] { return DbCenyCreateTable(folder(), h.data(), 'E'); },
                    "Nie można utworzyć tabeli Kmx.dbf", {0, 1, 100, 300});
    // Sync, close and rename are steps of the replacement; a write of the
    // new table's header meets the full disk in the table's own writes.
    EXPECT_EQ(readableRows(file("Kmx.dbf")), 30);
    ASSERT_EQ(DbCenyCreateTable(folder(), h.data(), 'E'), 0) << lastError();
    EXPECT_EQ(readableRows(file("Kmx.dbf")), 0);
    EXPECT_EQ(dir_.names(), (std::vector<std::string>{"Kmx.dbf", "cenniki.dbf"}));
}

TEST_F(PriceBaseDiskFaults, TheListOfPriceListsIsChangedInACopy) {
    fill(2, 0);
    const std::vector<std::string> before = snapshot();
    const std::size_t size = dt::readFile(file("cenniki.dbf")).size();
    const auto nowy = header("Nowy.dbf", "Nowy cennik");
    underEveryFault(*this, before, [&] { return DbWstawCennik(folder(), "cenniki.dbf", nowy.data()); },
                    "Nie można zapisać cennika do tabeli cenniki.dbf", {0, 1, size / 2, size + 10});
    const auto inny = header("Inny.dbf");
    underEveryFault(*this, before, [&] { return DbUsunCennik(folder(), "cenniki.dbf", inny.data()); },
                    "Nie można usunąć cennika Inny.dbf z tabeli cenniki.dbf", {0, 1, size / 2});
    EXPECT_EQ(readableRows(file("cenniki.dbf")), 2);
    ASSERT_EQ(DbWstawCennik(folder(), "cenniki.dbf", nowy.data()), 0) << lastError();
    EXPECT_EQ(readableRows(file("cenniki.dbf")), 3);
    ASSERT_EQ(DbUsunCennik(folder(), "cenniki.dbf", inny.data()), 0) << lastError();
    EXPECT_EQ(readableRows(file("cenniki.dbf")), 2);
}

TEST_F(PriceBaseDiskFaults, AFailedRowIsTakenBackAndTheTableStaysOpenForTheNext) {
    fill(5, 0);
    const auto h = header("Kmx.dbf");
    std::int32_t handle = 0;
    ASSERT_EQ(DbCenyOpenTable(&handle, folder(), h.data(), 'E'), 0) << lastError();
    const std::vector<std::string> before = snapshot();
    for (const std::uint64_t after : {0u, 1u, 150u, 308u}) {
        std::int32_t result = 0;
        {
            sf::FaultScope fault({sf::Step::Write, ENOSPC, after, 0});
            result = DbCenyWstawRMS(handle, rms(100).data());
        }
        EXPECT_NE(result & 0xFF, 0) << after;
        EXPECT_EQ(lastError(), pl("Nie można zapisać wiersza do tabeli Kmx.dbf: brak miejsca na dysku"));
        EXPECT_TRUE(snapshot() == before) << after;
        EXPECT_EQ(readableRows(file("Kmx.dbf")), 5) << after;
    }
    ASSERT_EQ(DbCenyWstawRMS(handle, rms(6).data()), 0) << lastError();
    EXPECT_EQ(DbCenyCloseTable(handle), 0) << lastError();
    EXPECT_EQ(readableRows(file("Kmx.dbf")), 6);
}

TEST_F(PriceBaseDiskFaults, AKernelFullDiskLeavesEveryRowBeforeItReadable) {
    fill(0, 0);
    const auto h = header("Kmx.dbf");
    std::int32_t handle = 0;
    ASSERT_EQ(DbCenyOpenTable(&handle, folder(), h.data(), 'E'), 0) << lastError();
    int written = 0;
    std::int32_t result = 0;
    {
        dt::FileSizeLimit limit(20 * 1024);
        ASSERT_TRUE(limit.ok());
        while (written < 1000 && (result = DbCenyWstawRMS(handle, rms(written).data())) == 0) ++written;
    }
    EXPECT_NE(result & 0xFF, 0);
    EXPECT_GT(written, 10);
    EXPECT_LT(written, 1000);
    EXPECT_EQ(lastError(), pl("Nie można zapisać wiersza do tabeli Kmx.dbf: brak miejsca na dysku"));
    // The header counts exactly the rows that are whole on disk.
    EXPECT_EQ(readableRows(file("Kmx.dbf")), written);
    EXPECT_EQ(DbCenyCloseTable(handle), 0) << lastError();
    DBFHandle t = DBFOpen(file("Kmx.dbf").c_str(), "rb");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(DBFGetRecordCount(t), written);
    EXPECT_EQ(std::string(DBFReadStringAttribute(t, written - 1, 8)).substr(0, 15),
              pl("Cegła pełna nr ").substr(0, 15));
    DBFClose(t);
}

TEST_F(PriceBaseDiskFaults, AProducerThatDoesNotFitIsTakenBack) {
    fill(1, 3);
    const std::vector<std::string> before = snapshot();
    underEveryFault(
        *this, before, [&] { return DbProdAppendToTable(producer(50).data(), folder(), "producen.dbf"); },
        "Nie można dopisać producenta do tabeli producen.dbf", {0, 1, 200, 380}, true);
    EXPECT_EQ(readableRows(file("producen.dbf")), 3);
    ASSERT_EQ(DbProdAppendToTable(producer(50).data(), folder(), "producen.dbf"), 0) << lastError();
    EXPECT_EQ(readableRows(file("producen.dbf")), 4);
    // A new producers' table that cannot be finished is not left half made.
    dt::fs::remove(file("producen.dbf"));
    const std::vector<std::string> without = snapshot();
    underEveryFault(*this, without,
                    [&] { return DbProdAppendToTable(producer(1).data(), folder(), "producen.dbf"); }, "",
                    {0, 1, 200});
}

TEST_F(PriceBaseDiskFaults, FoldersThatCannotBeWrittenAreErrorsWithTheirReason) {
    const auto h = header("Kmx.dbf");
    for (const dt::Unwritable& u : dt::unwritablePlaces(dir_, "bazy")) {
        EXPECT_NE(DbCenyCreateTable(u.file.c_str(), h.data(), 'E') & 0xFF, 0) << u.file;
        EXPECT_EQ(lastError(), pl("Nie można utworzyć tabeli Kmx.dbf: " + u.reason));
        EXPECT_NE(DbWstawCennik(u.file.c_str(), "cenniki.dbf", h.data()) & 0xFF, 0) << u.file;
        EXPECT_EQ(lastError(), pl("Nie można zapisać cennika do tabeli cenniki.dbf: " + u.reason));
        EXPECT_NE(DbProdAppendToTable(producer(1).data(), u.file.c_str(), "producen.dbf") & 0xFF, 0)
            << u.file;
        EXPECT_EQ(lastError(), pl("Nie można utworzyć tabeli producen.dbf: " + u.reason));
        std::string error;
        EXPECT_FALSE(WriteDemoConversionTable(u.file, error));
    }
    // The sample table written by kmx-tool: a failure leaves no half table.
    std::string error;
    {
        sf::FaultScope fault({sf::Step::Write, ENOSPC, 100, 0});
        EXPECT_FALSE(WriteDemoConversionTable(dir_.path(), error));
    }
    EXPECT_EQ(error, dt::message(file("etokmb.dbf"), "brak miejsca na dysku"));
    EXPECT_TRUE(dir_.names().empty() || dir_.names() == std::vector<std::string>{"plik.txt"});
    ASSERT_TRUE(WriteDemoConversionTable(dir_.path(), error)) << error;
    EXPECT_EQ(readableRows(file("etokmb.dbf")), 13);
}

}  // namespace
}  // namespace kmx::pricebase
