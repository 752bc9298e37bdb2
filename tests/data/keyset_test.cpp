// Result sets read through a keyset: the same rows, values and order as a
// set loaded whole, with keys arriving while the program works and memory
// that holds little more than the keys.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/dataset.h"
#include "data/jet_adapter.h"
#include "test_catalog.h"

namespace kmx::data {
namespace {

using testing::buildCatalog;
using testing::kKey;
using testing::TempDir;

TEST(SplitSelect, FindsTheClausesAtTheTopLevelOnly) {
    jet::SelectParts p;
    ASSERT_TRUE(jet::splitSelect(" SELECT  A.X, (SELECT 1 FROM B WHERE B.Y = A.X) FROM A, C WHERE A.N = \"FROM ORDER\""
                                 " AND A.K IN (SELECT K FROM D) ORDER BY A.idx",
                                 p));
    EXPECT_EQ(p.head, "SELECT");
    EXPECT_EQ(p.list, "  A.X, (SELECT 1 FROM B WHERE B.Y = A.X) ");
    EXPECT_EQ(p.from, "FROM A, C ");
    EXPECT_EQ(p.where, " A.N = \"FROM ORDER\" AND A.K IN (SELECT K FROM D) ");
    EXPECT_EQ(p.order, "ORDER BY A.idx");

    ASSERT_TRUE(jet::splitSelect("select distinct [from].a from [from] order by 1", p));
    EXPECT_EQ(p.head, "select distinct");
    EXPECT_EQ(p.list, " [from].a ");
    EXPECT_EQ(p.from, "from [from] ");
    EXPECT_EQ(p.where, "");
    EXPECT_EQ(p.order, "order by 1");

    ASSERT_TRUE(jet::splitSelect("SELECT * FROM TOWAR", p));
    EXPECT_EQ(p.from, "FROM TOWAR");
    EXPECT_EQ(p.order, "");

    // What a keyset cannot reproduce is refused: it is loaded whole.
    for (const char* refused :
         {"SELECT A FROM T GROUP BY A", "SELECT A FROM T UNION SELECT B FROM U", "SELECT A FROM T LIMIT 5",
          "SELECT A FROM T; SELECT B FROM U", "SELECT 1", "UPDATE T SET A = 1", "SELECT A FROM T WHERE (A = 1",
          "SELECT A FROM T WHERE A = \"open", "SELECT A FROM T ORDER BY A WHERE B = 1",
          "SELECT A FROM T HAVING A > 1"}) {
        EXPECT_FALSE(jet::splitSelect(refused, p)) << refused;
    }
}

// Goods joined with their producers, as the goods search joins them: names
// that never repeat, producer columns repeating with their producer, blobs
// with byte 0, nulls, ranks kept as integers.
class KeysetTest : public ::testing::Test {
protected:
    static constexpr int kGoods = 20000;

    static void SetUpTestSuite() {
        dir_ = new TempDir;
        buildCatalog(
            dir_->file("kmx.dat"),
            "CREATE TABLE P(ID INTEGER PRIMARY KEY, NAZWA TEXT, MIASTO TEXT, OPIS BLOB, idx_p INTEGER);"
            "CREATE TABLE G(ID INTEGER PRIMARY KEY, NAZWA BLOB, P INTEGER, KOD TEXT, CENA REAL,"
            " idx_nazwa INTEGER, idx_kod INTEGER);"
            "CREATE INDEX g_idx ON G(idx_nazwa);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300)"
            " INSERT INTO P SELECT i, 'Producent ' || i, 'Miasto ' || (i % 40),"
            " CAST(zeroblob(i % 3) || 'opis' || i AS BLOB), (i * 37) % 300 FROM n;"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000)"
            " INSERT INTO G SELECT i, CAST(zeroblob(1) || 'Towar ' || i AS BLOB), (i * 7919) % 300 + 1,"
            " CASE WHEN i % 11 = 0 THEN NULL ELSE 'K' || (i % 10) END, i / 4.0,"
            " (i * 104729) % 20011, CASE WHEN i % 13 = 0 THEN NULL ELSE i % 97 END FROM n;"
            // Keys past 32 bits after the first rows, some negative.
            "CREATE TABLE W(ID INTEGER PRIMARY KEY, V TEXT, idx_nazwa INTEGER);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500)"
            " INSERT INTO W SELECT CASE WHEN i <= 100 THEN i WHEN i % 2 = 0 THEN i * 100000000000"
            " ELSE -i * 3000000000 END, 'w' || i, 501 - i FROM n;"
            // Ranks with ties, NULLs, negatives and values in every byte, indexed.
            "CREATE TABLE T(ID INTEGER PRIMARY KEY, V TEXT, idx_nazwa INTEGER);"
            "CREATE INDEX t_idx ON T(idx_nazwa);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
            " INSERT INTO T SELECT i, 't' || i, CASE WHEN i % 17 = 0 THEN NULL WHEN i % 5 = 0 THEN -(i % 7)"
            " WHEN i % 5 = 1 THEN (i % 9) * 16777216 + i % 3 WHEN i % 5 = 2 THEN (i % 4) * 65536"
            " ELSE i % 11 END FROM n;"
            // Ranks past 32 bits, indexed: a scan cannot order them here.
            "CREATE TABLE X(ID INTEGER PRIMARY KEY, V TEXT, idx_nazwa INTEGER);"
            "CREATE INDEX x_idx ON X(idx_nazwa);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 4000)"
            " INSERT INTO X SELECT i, 'x' || i, ((i * 7919) % 4001) * 3000000000 FROM n;");
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }

    void SetUp() override {
        std::string error;
        ASSERT_TRUE(db_.open(dir_->file("kmx.dat"), kKey, error)) << error;
        whole_.setDatabase(&db_);
        keyed_.setDatabase(&db_);
        keyed_.setKeyset({"ID", {"idx_nazwa", "idx_kod", "idx_p", "BRAK"}});
    }
    void TearDown() override {
        DataSet::setOpenBudget(budget_, minRows_);
        DataSet::setScanSwitch(DataSet::ScanSwitch::Auto);
    }

    void openBoth(const std::string& sql) {
        std::string error;
        ASSERT_TRUE(whole_.open(sql, error)) << error;
        ASSERT_TRUE(keyed_.open(sql, error)) << error;
    }

    // Every cell of every row of both views, in view order.
    void expectSameRows() {
        ASSERT_EQ(keyed_.recordCount(), whole_.recordCount());
        ASSERT_EQ(keyed_.dataFieldCount(), whole_.dataFieldCount());
        int mismatches = 0;
        for (int r = 0; r < whole_.recordCount(); ++r) {
            for (int f = 0; f < whole_.dataFieldCount(); ++f) {
                const Cell a = whole_.cell(r, f);
                const Cell b = keyed_.cell(r, f);
                const bool same = a.type() == b.type() && a.asInt() == b.asInt() && a.asDouble() == b.asDouble() &&
                                  a.bytes() == b.bytes();
                if (!same && ++mismatches < 10) ADD_FAILURE() << "row " << r << " field " << whole_.fieldName(f);
            }
        }
        EXPECT_EQ(mismatches, 0);
    }

    static constexpr const char* kJoin =
        "SELECT G.ID, G.NAZWA, G.KOD, G.CENA, G.idx_nazwa, G.idx_kod, P.NAZWA, P.MIASTO, P.OPIS, P.idx_p"
        " FROM G, P WHERE G.P = P.ID";

    static TempDir* dir_;
    const std::chrono::milliseconds budget_ = DataSet::openBudget();
    const std::size_t minRows_ = DataSet::openMinRows();
    Database db_;
    DataSet whole_;
    DataSet keyed_;
};

TempDir* KeysetTest::dir_ = nullptr;

TEST_F(KeysetTest, SameRowsValuesAndOrdersAsALoadedSet) {
    DataSet::setOpenBudget(std::chrono::milliseconds(0), 300);
    openBoth(std::string(kJoin) + " AND G.ID % 3 <> 0 ORDER BY G.idx_nazwa");
    ASSERT_TRUE(keyed_.keyed());
    EXPECT_FALSE(whole_.keyed());
    EXPECT_FALSE(keyed_.complete());
    EXPECT_EQ(keyed_.knownCount(), 300);
    expectSameRows();
    EXPECT_TRUE(keyed_.complete());

    // A rank kept in memory, both ways; nulls first.
    const int kod = whole_.fieldIndex("idx_kod");
    for (bool asc : {true, false}) {
        ASSERT_TRUE(whole_.sort(kod, asc));
        ASSERT_TRUE(keyed_.sort(kod, asc));
        expectSameRows();
    }
    // A field that is no rank (text, a real, a blob of the other table): read and compared.
    for (const char* name : {"KOD", "CENA", "OPIS", "P.NAZWA"}) {
        const int f = whole_.fieldIndex(name);
        ASSERT_TRUE(whole_.sort(f, false)) << name;
        ASSERT_TRUE(keyed_.sort(f, false));
        expectSameRows();
    }
    // Filters read the values too.
    const int miasto = whole_.fieldIndex("MIASTO");
    ASSERT_TRUE(whole_.setFilter(miasto, std::string_view("miasto 7")));
    ASSERT_TRUE(keyed_.setFilter(miasto, std::string_view("miasto 7")));
    EXPECT_GT(keyed_.recordCount(), 0);
    expectSameRows();
    whole_.clearFilter();
    keyed_.clearFilter();
    whole_.clearSort();
    keyed_.clearSort();
    expectSameRows();
}

TEST_F(KeysetTest, WalksWithTheCursorSeeEveryRow) {
    DataSet::setOpenBudget(std::chrono::milliseconds(0), 1);
    openBoth(std::string(kJoin) + " ORDER BY G.idx_nazwa");
    ASSERT_EQ(keyed_.knownCount(), 1);
    const int nazwa = whole_.fieldIndex("G.NAZWA");
    int rows = 0;
    for (keyed_.first(); !keyed_.eof(); keyed_.next()) {
        ASSERT_EQ(keyed_.recNo(), rows + 1);
        ASSERT_EQ(keyed_.value(nazwa).bytes(), whole_.cell(rows, nazwa).bytes()) << "row " << rows;
        ++rows;
    }
    EXPECT_EQ(rows, kGoods);
    // MoveBy and MoveTo past the known rows read what they need.
    std::string error;
    ASSERT_TRUE(keyed_.open(error)) << error;
    EXPECT_EQ(keyed_.moveBy(5000), 5000);
    EXPECT_EQ(keyed_.recNo(), 5001);
    EXPECT_LT(keyed_.knownCount(), kGoods);
    EXPECT_TRUE(keyed_.moveTo(12000));
    EXPECT_EQ(keyed_.value(nazwa).bytes(), whole_.cell(11999, nazwa).bytes());
    EXPECT_FALSE(keyed_.moveTo(kGoods + 1));
    keyed_.last();
    EXPECT_TRUE(keyed_.complete());
    EXPECT_EQ(keyed_.recNo(), kGoods);
    EXPECT_EQ(keyed_.value(nazwa).bytes(), whole_.cell(kGoods - 1, nazwa).bytes());
}

TEST_F(KeysetTest, VisitByKeySeesEachRowOfTheViewOnceWithItsOwnValues) {
    DataSet::setOpenBudget(std::chrono::milliseconds(0), 10);
    openBoth(std::string(kJoin) + " AND G.ID % 5 <> 0 ORDER BY G.idx_nazwa");
    const int id = whole_.fieldIndex("G.ID");
    const int opis = whole_.fieldIndex("OPIS");
    const int cena = whole_.fieldIndex("CENA");
    // Unsorted, sorted by a rank, and filtered: the view's rows, each once, in key order.
    for (int round = 0; round < 3; ++round) {
        if (round == 1) {
            ASSERT_TRUE(keyed_.sort(keyed_.fieldIndex("idx_kod"), false));
            ASSERT_TRUE(whole_.sort(whole_.fieldIndex("idx_kod"), false));
        }
        if (round == 2) {
            ASSERT_TRUE(keyed_.setFilter(keyed_.fieldIndex("MIASTO"), std::string_view("Miasto 3")));
            ASSERT_TRUE(whole_.setFilter(whole_.fieldIndex("MIASTO"), std::string_view("Miasto 3")));
        }
        std::vector<int> seen(static_cast<std::size_t>(whole_.recordCount()), 0);
        std::int64_t lastKey = std::numeric_limits<std::int64_t>::min();
        int outOfOrder = 0, wrong = 0;
        ASSERT_TRUE(keyed_.visitByKey([&](int row) {
            ++seen.at(static_cast<std::size_t>(row));
            const std::int64_t key = keyed_.cell(row, id).asInt();
            if (key < lastKey) ++outOfOrder;
            lastKey = key;
            if (key != whole_.cell(row, id).asInt() || keyed_.cell(row, opis).bytes() != whole_.cell(row, opis).bytes() ||
                keyed_.cell(row, cena).asDouble() != whole_.cell(row, cena).asDouble())
                ++wrong;
            return true;
        })) << keyed_.loadError();
        EXPECT_EQ(outOfOrder, 0) << "round " << round;
        EXPECT_EQ(wrong, 0) << "round " << round;
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), static_cast<long>(seen.size())) << "round " << round;
    }
    // A visit that says stop ends the walk there.
    int visits = 0;
    EXPECT_FALSE(keyed_.visitByKey([&](int) { return ++visits < 7; }));
    EXPECT_EQ(visits, 7);
    // A set loaded whole is visited in its view's order.
    int expected = 0;
    bool inOrder = true;
    EXPECT_TRUE(whole_.visitByKey([&](int row) {
        inOrder = inOrder && row == expected++;
        return true;
    }));
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(expected, whole_.recordCount());
}

// A walk of some fields: those come from the walk, the others are read as
// usual, and nothing of the walk is left in the rows the set keeps.
TEST_F(KeysetTest, VisitByKeyOfSomeFieldsReadsTheRestAsUsual) {
    DataSet::setOpenBudget(std::chrono::milliseconds(0), 10);
    const auto walkAndCompare = [&](const std::vector<std::string>& names, const std::vector<std::string>& others) {
        std::vector<int> fields, rest;
        for (const std::string& n : names) fields.push_back(keyed_.fieldIndex(n));
        for (const std::string& n : others) rest.push_back(keyed_.fieldIndex(n));
        const auto same = [&](int row, int f) {
            const Cell a = whole_.cell(row, f);
            const Cell b = keyed_.cell(row, f);
            return a.type() == b.type() && a.asDouble() == b.asDouble() && a.bytes() == b.bytes();
        };
        int visits = 0, wrong = 0;
        EXPECT_TRUE(keyed_.visitByKey(
            [&](int row) {
                ++visits;
                for (const int f : fields) wrong += same(row, f) ? 0 : 1;
                if (row % 97 == 0)
                    for (const int f : rest) wrong += same(row, f) ? 0 : 1;
                return true;
            },
            fields))
            << keyed_.loadError();
        EXPECT_EQ(visits, whole_.recordCount());
        EXPECT_EQ(wrong, 0);
        expectSameRows();
    };
    openBoth(std::string(kJoin) + " AND G.ID % 5 <> 0 ORDER BY G.idx_nazwa");
    walkAndCompare({"OPIS", "CENA", "P.NAZWA"}, {"G.KOD", "MIASTO", "G.NAZWA"});
    // Sorted in memory, then with a field that is no column: the whole row is read.
    ASSERT_TRUE(keyed_.sort(keyed_.fieldIndex("idx_kod"), false));
    ASSERT_TRUE(whole_.sort(whole_.fieldIndex("idx_kod"), false));
    walkAndCompare({"G.KOD"}, {"OPIS"});
    openBoth("SELECT G.ID, G.CENA * 2 AS DWA, G.KOD, G.idx_nazwa FROM G ORDER BY G.idx_nazwa");
    ASSERT_TRUE(keyed_.keyed());
    walkAndCompare({"DWA", "G.KOD"}, {"G.idx_nazwa"});
}

TEST_F(KeysetTest, KeysArriveInChunksWithGrowNotifications) {
    DataSet::setOpenBudget(std::chrono::milliseconds(0), 100);
    std::vector<int> grown;
    keyed_.setOnGrow([&](DataSet& ds) { grown.push_back(ds.knownCount()); });
    int resets = 0;
    keyed_.setOnReset([&](DataSet&, DataSet::ResetReason) { ++resets; });
    // Descending: the keys come from the ordered statement, chunk by chunk.
    openBoth(std::string(kJoin) + " ORDER BY G.idx_nazwa DESC");
    EXPECT_EQ(resets, 1);
    EXPECT_TRUE(grown.empty());
    EXPECT_EQ(keyed_.fetchMore(1000), 1000u);
    EXPECT_EQ(grown, (std::vector<int>{1100}));
    // Suspended: one notification on resume for all that arrived.
    {
        NotificationPause pause(keyed_);
        keyed_.fetchMore(50);
        keyed_.fetchMore(50);
        EXPECT_EQ(grown.size(), 1u);
    }
    EXPECT_EQ(grown, (std::vector<int>{1100, 1200}));
    // The row number of a known row is its position, also before the end is known.
    const int lp = keyed_.addRowNumberField("LP");
    EXPECT_EQ(keyed_.displayText(1199, lp), "1200");
    EXPECT_TRUE(keyed_.fetchAll());
    EXPECT_EQ(grown.back(), kGoods);
    EXPECT_EQ(keyed_.fetchMore(10), 0u);
    EXPECT_EQ(resets, 1);
    // The set's cursor stayed where it was while keys arrived.
    EXPECT_EQ(keyed_.recNo(), 1);
    expectSameRows();
}

// Ordered by one rank: after the first rows the keys come from a plain scan
// sorted in memory, all at once; the rows read in order meanwhile open it.
TEST_F(KeysetTest, OrderedByOneRankTheRestComesFromAScanAtOnce) {
    DataSet::setOpenBudget(std::chrono::milliseconds(0), 100);
    std::vector<int> grown;
    keyed_.setOnGrow([&](DataSet& ds) { grown.push_back(ds.knownCount()); });
    openBoth(std::string(kJoin) + " AND G.ID % 7 <> 0 ORDER BY G.idx_nazwa");
    const int total = whole_.recordCount();
    EXPECT_EQ(keyed_.knownCount(), 100);
    // A step past the known rows reads on in order.
    ASSERT_TRUE(keyed_.moveTo(5000));
    const int known = keyed_.knownCount();
    EXPECT_GE(known, 5000);
    EXPECT_LT(known, total);
    const int nazwa = whole_.fieldIndex("G.NAZWA");
    EXPECT_EQ(keyed_.value(nazwa).bytes(), whole_.cell(4999, nazwa).bytes());
    // Part of the scan: nothing new to show yet.
    grown.clear();
    EXPECT_EQ(keyed_.fetchMore(1000), 0u);
    EXPECT_EQ(keyed_.knownCount(), known);
    EXPECT_TRUE(grown.empty());
    EXPECT_FALSE(keyed_.complete());
    // The scan's end: every row at once, the cursor where it was.
    keyed_.fetchMore(std::numeric_limits<std::size_t>::max());
    ASSERT_TRUE(keyed_.complete());
    EXPECT_EQ(grown, (std::vector<int>{total}));
    EXPECT_EQ(keyed_.recNo(), 5000);
    expectSameRows();
    // The other ranks came along in the new order.
    const int kod = whole_.fieldIndex("idx_kod");
    ASSERT_TRUE(whole_.sort(kod, false));
    ASSERT_TRUE(keyed_.sort(kod, false));
    expectSameRows();

    // Without any step in order, straight from the first rows to the end.
    std::string error;
    ASSERT_TRUE(keyed_.open(std::string(kJoin) + " ORDER BY G.idx_nazwa", error)) << error;
    ASSERT_TRUE(whole_.open(keyed_.sql(), error)) << error;
    EXPECT_TRUE(keyed_.fetchAll());
    expectSameRows();
}

TEST_F(KeysetTest, TheScanOrdersTiesNullsAndNegativeRanksAsTheIndexDoes) {
    DataSet::setOpenBudget(std::chrono::milliseconds(0), 7);
    openBoth("SELECT ID, V, idx_nazwa FROM T ORDER BY idx_nazwa");
    EXPECT_EQ(keyed_.knownCount(), 7);
    // One round of the scan ends it: its order agreed with the rows shown.
    keyed_.fetchMore(std::numeric_limits<std::size_t>::max());
    EXPECT_TRUE(keyed_.complete());
    EXPECT_EQ(keyed_.recordCount(), 3000);
    expectSameRows();
    // Filtered: the scan holds only some rows of each tie.
    openBoth("SELECT ID, V, idx_nazwa FROM T WHERE ID % 3 <> 1 ORDER BY idx_nazwa");
    keyed_.fetchMore(std::numeric_limits<std::size_t>::max());
    EXPECT_TRUE(keyed_.complete());
    EXPECT_EQ(keyed_.recordCount(), 2000);
    expectSameRows();
}

TEST(PreferScan, GivesWayOnlyAfterTheScansTimeAndWhenTheRowsComeTooSlowly) {
    // Enough rows, or no estimate of the scan: the ordered statement goes on.
    EXPECT_FALSE(preferScan(10.0, 64, 64, 1.0));
    EXPECT_FALSE(preferScan(10.0, 0, 64, 0.0));
    EXPECT_FALSE(preferScan(10.0, 0, 64, -1.0));
    EXPECT_FALSE(preferScan(10.0, 0, 64, std::numeric_limits<double>::quiet_NaN()));
    // Not before it has spent what the whole scan costs, however slow.
    EXPECT_FALSE(preferScan(0.99, 0, 64, 1.0));
    EXPECT_TRUE(preferScan(1.0, 0, 64, 1.0));
    // Rows coming at a rate that finishes them sooner than a scan would.
    EXPECT_FALSE(preferScan(1.0, 40, 64, 1.0));    // 24 more at 1/41 s each
    EXPECT_TRUE(preferScan(1.0, 20, 64, 1.0));     // 44 more at 1/21 s each
    EXPECT_FALSE(preferScan(2.0, 63, 64, 1.5));
}

TEST_F(KeysetTest, AnOrderedStatementGivingWayToTheScanKeepsEveryRowInOrder) {
    // Wanting more rows than the engine gives between two looks at the clock.
    DataSet::setScanSwitch(DataSet::ScanSwitch::AtOnce);
    DataSet::setOpenBudget(std::chrono::milliseconds(0), 1000);
    // Matches only at the end of the order (a condition no index serves): the
    // ordered statement visits most rows before its first, the scan gives
    // them all at once.
    openBoth(std::string(kJoin) + " AND G.idx_nazwa + 0 > 19000 ORDER BY G.idx_nazwa");
    ASSERT_TRUE(keyed_.keyed());
    EXPECT_TRUE(keyed_.complete());
    EXPECT_EQ(keyed_.knownCount(), whole_.recordCount());
    EXPECT_EQ(keyed_.recNo(), 1);
    expectSameRows();
    // Rows spread over the order: some already read when it gave way.
    openBoth(std::string(kJoin) + " AND G.ID % 5 <> 0 ORDER BY G.idx_nazwa");
    EXPECT_TRUE(keyed_.complete());
    expectSameRows();
    // Ties, NULLs and negative ranks come in the index's order.
    openBoth("SELECT ID, V, idx_nazwa FROM T WHERE ID % 3 <> 1 ORDER BY idx_nazwa");
    EXPECT_TRUE(keyed_.complete());
    expectSameRows();
    // Ranks the scan cannot order: the ordered statement again from its
    // start, with no row twice.
    DataSet::setOpenBudget(std::chrono::milliseconds(0), 2000);
    openBoth("SELECT ID, V, idx_nazwa FROM X ORDER BY idx_nazwa");
    EXPECT_EQ(keyed_.knownCount(), 2000);
    EXPECT_EQ(keyed_.recordCount(), 4000);
    expectSameRows();
    // Kept to the ordered statement, the same search reads in chunks.
    DataSet::setScanSwitch(DataSet::ScanSwitch::Never);
    DataSet::setOpenBudget(std::chrono::milliseconds(0), 100);
    openBoth(std::string(kJoin) + " AND G.ID % 5 <> 0 ORDER BY G.idx_nazwa");
    EXPECT_FALSE(keyed_.complete());
    EXPECT_EQ(keyed_.knownCount(), 100);
    expectSameRows();
}

TEST_F(KeysetTest, OpenDoesNotWaitForTheEndOnceItsBudgetIsSpent) {
    // Every match at the start of the order, then a long tail of rows that
    // do not match: the step after the last match lasts until the end.
    DataSet::setScanSwitch(DataSet::ScanSwitch::Never);
    DataSet::setOpenBudget(std::chrono::milliseconds(10), 10);
    const std::string tail = " AND (G.idx_nazwa + 0 < 150 OR length(randomblob(5000)) < 0)";
    openBoth(std::string(kJoin) + tail + " ORDER BY G.idx_nazwa");
    EXPECT_FALSE(keyed_.complete());
    EXPECT_GE(keyed_.knownCount(), 10);
    // Started again for the rest, the statement passes over the known rows.
    ASSERT_TRUE(keyed_.fetchAll()) << keyed_.loadError();
    expectSameRows();
    // The same without a rank order: read on in order, chunk by chunk.
    openBoth(std::string(kJoin) + tail + " ORDER BY G.NAZWA");
    EXPECT_FALSE(keyed_.complete());
    const int known = keyed_.knownCount();
    EXPECT_GE(known, 10);
    keyed_.fetchMore(5);
    EXPECT_EQ(keyed_.knownCount(), std::min(known + 5, whole_.recordCount()));
    ASSERT_TRUE(keyed_.fetchAll()) << keyed_.loadError();
    expectSameRows();
}

TEST_F(KeysetTest, KeysBeyondThirtyTwoBitsKeepTheirValue) {
    DataSet::setOpenBudget(std::chrono::milliseconds(0), 5);
    // Ordered by the rank: keys from the scan; by V: in order, chunk by chunk.
    for (const char* sql : {"SELECT ID, V, idx_nazwa FROM W ORDER BY idx_nazwa", "SELECT ID, V FROM W ORDER BY V"}) {
        openBoth(sql);
        ASSERT_TRUE(keyed_.keyed()) << sql;
        EXPECT_EQ(keyed_.knownCount(), 5);
        expectSameRows();
        EXPECT_EQ(keyed_.recordCount(), 500);
    }
}

TEST_F(KeysetTest, MemoryHoldsKeysRanksAndABoundedCache) {
    openBoth(std::string(kJoin) + " ORDER BY G.idx_nazwa");
    ASSERT_TRUE(keyed_.fetchAll());
    const int nazwa = whole_.fieldIndex("G.NAZWA");
    // Touch every row: the cache stays bounded.
    for (int r = 0; r < keyed_.recordCount(); ++r) ASSERT_FALSE(keyed_.cell(r, nazwa).isNull());
    const std::size_t keyedBytes = keyed_.memoryUsage();
    // Key, three ranks and the view: 20 bytes a row, plus a cache of a few thousand rows.
    EXPECT_LT(keyedBytes, std::size_t{kGoods} * 20 + 2048 * 1024);
    EXPECT_LT(keyedBytes * 2, whole_.memoryUsage());
    // Sorting by a rank needs no values and builds the position index.
    ASSERT_TRUE(keyed_.sort(keyed_.fieldIndex("idx_p"), true));
    EXPECT_LT(keyed_.memoryUsage(), keyedBytes + std::size_t{kGoods} * 8);
}

TEST_F(KeysetTest, StatementsAKeysetCannotServeAreLoadedWhole) {
    std::string error;
    const std::vector<std::string> whole = {
        // no such key field in the result
        "SELECT NAZWA, KOD FROM G ORDER BY ID",
        // the key is an expression, not a column
        "SELECT ID + 0 AS ID, NAZWA FROM G",
        // grouping
        "SELECT P AS ID, count(*) FROM G GROUP BY P",
        // a table under another name: the key's table name does not resolve
        "SELECT X.ID, X.NAZWA FROM G X ORDER BY X.ID",
    };
    for (const std::string& sql : whole) {
        ASSERT_TRUE(keyed_.open(sql, error)) << sql << ": " << error;
        EXPECT_FALSE(keyed_.keyed()) << sql;
        ASSERT_TRUE(whole_.open(sql, error)) << error;
        expectSameRows();
    }
    // An unknown rank is left out; the set still reads through its keyset.
    // (Its keys come from a scan in the goods' order, not the producers'.)
    DataSet::setOpenBudget(std::chrono::milliseconds(0), 10);
    ASSERT_TRUE(keyed_.open("SELECT DISTINCT P.ID, P.NAZWA, P.idx_p FROM G, P WHERE G.P = P.ID ORDER BY P.idx_p", error))
        << error;
    EXPECT_TRUE(keyed_.keyed());
    EXPECT_EQ(keyed_.knownCount(), 10);
    ASSERT_TRUE(whole_.open(keyed_.sql(), error)) << error;
    EXPECT_EQ(keyed_.recordCount(), 300);
    expectSameRows();
    // A failing statement fails to open either way.
    EXPECT_FALSE(keyed_.open("SELECT ID FROM BRAK", error));
    EXPECT_FALSE(keyed_.active());
}

}  // namespace
}  // namespace kmx::data
