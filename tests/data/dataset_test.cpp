#include "data/dataset.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include <sqlcipher/sqlite3.h>

#include "core/cp1250.h"
#include "data/database.h"
#include "test_catalog.h"

namespace kmx::data {
namespace {

using testing::buildCatalog;
using testing::kKey;
using testing::TempDir;

// Five goods in load order (ORDER BY ID):
//   ID NAZWA    CENA  PROD  KOD (blob)
//   1  Beton    12.5  10    x'02'
//   2  cement   3.0   20    x'01'
//   3  Łata     NULL  10    NULL
//   4  ażur     7     30    x'0100'
//   5  BETON    12.5  10    x'FF'
//
// Every case runs twice: on a result loaded whole, and on one read through a
// keyset that knows only two rows after open, so each contract also holds
// while keys are still arriving (the real-valued CENA is no usable rank:
// sorting by it reads the values).
class DataSetTest : public ::testing::TestWithParam<bool> {
protected:
    bool keyed() const { return GetParam(); }

    void TearDown() override { DataSet::setOpenBudget(budget_, minRows_); }

    void SetUp() override {
        if (keyed()) {
            ds_.setKeyset({"ID", {"PROD", "CENA"}});
            DataSet::setOpenBudget(std::chrono::milliseconds(0), 2);
        }
        file_ = dir_.file("kmx.dat");
        buildCatalog(file_,
                     "CREATE TABLE TOWAR(ID INTEGER PRIMARY KEY, NAZWA TEXT COLLATE KMX_PL, CENA NUMERIC,"
                     " PROD INTEGER, KOD BLOB);"
                     "INSERT INTO TOWAR VALUES (1, 'Beton', 12.5, 10, x'02'), (2, 'cement', 3.0, 20, x'01'),"
                     " (3, '\243ata', NULL, 10, NULL), (4, 'a\xBFur', 7, 30, x'0100'),"
                     " (5, 'BETON', 12.5, 10, x'FF');"
                     "CREATE TABLE BRANZA(ID_BRANZY INTEGER PRIMARY KEY, NAZWA TEXT, TYP_RMS TEXT);"
                     "INSERT INTO BRANZA VALUES (1, 'Pozosta\263e', 'M'), (2, 'Pozosta\263e', 'R'),"
                     " (3, 'Farby', 'M');");
        std::string error;
        ASSERT_TRUE(db_.open(file_, kKey, error)) << error;
        ds_.setDatabase(&db_);
    }

    void openGoods() {
        std::string error;
        ASSERT_TRUE(ds_.open("SELECT * FROM TOWAR ORDER BY ID", error)) << error;
        ASSERT_EQ(ds_.keyed(), keyed());
        if (keyed()) {
            ASSERT_EQ(ds_.knownCount(), 2);
        }
        id_ = ds_.fieldIndex("ID");
        nazwa_ = ds_.fieldIndex("NAZWA");
        cena_ = ds_.fieldIndex("CENA");
        prod_ = ds_.fieldIndex("PROD");
        kod_ = ds_.fieldIndex("KOD");
    }

    // IDs of the view in order.
    std::vector<long long> viewIds() const {
        std::vector<long long> out;
        for (int r = 0; r < ds_.recordCount(); ++r) out.push_back(ds_.cell(r, id_).asInt());
        return out;
    }

    long long currentId() const { return ds_.value(id_).asInt(); }

    const std::chrono::milliseconds budget_ = DataSet::openBudget();
    const std::size_t minRows_ = DataSet::openMinRows();
    TempDir dir_;
    std::filesystem::path file_;
    Database db_;
    DataSet ds_;
    int id_ = -1, nazwa_ = -1, cena_ = -1, prod_ = -1, kod_ = -1;
};

TEST_P(DataSetTest, LoadsEveryRowWithTypedValues) {
    openGoods();
    ASSERT_TRUE(ds_.active());
    EXPECT_EQ(ds_.recordCount(), 5);
    EXPECT_EQ(ds_.dataFieldCount(), 5);
    EXPECT_EQ(ds_.fieldName(nazwa_), "NAZWA");
    EXPECT_EQ(ds_.fieldIndex("nazwa"), nazwa_);
    EXPECT_EQ(ds_.fieldIndex("BRAK"), -1);
    EXPECT_EQ(viewIds(), (std::vector<long long>{1, 2, 3, 4, 5}));
    EXPECT_EQ(ds_.cell(0, cena_).type(), CellType::Real);
    EXPECT_DOUBLE_EQ(ds_.cell(0, cena_).asDouble(), 12.5);
    EXPECT_EQ(ds_.cell(3, cena_).type(), CellType::Integer);
    EXPECT_TRUE(ds_.cell(2, cena_).isNull());
    EXPECT_EQ(ds_.cell(2, nazwa_).type(), CellType::Text);
    EXPECT_EQ(ds_.cell(2, nazwa_).bytes(), "\243ata");
    EXPECT_EQ(ds_.cell(3, kod_).type(), CellType::Blob);
    EXPECT_EQ(ds_.cell(3, kod_).bytes(), std::string("\x01\x00", 2));
    // The current row by field name, letter case ignored.
    ASSERT_TRUE(ds_.moveTo(3));
    EXPECT_EQ(ds_.value("id").asInt(), 3);
    EXPECT_TRUE(ds_.isNull("Cena"));
    EXPECT_FALSE(ds_.isNull("NAZWA"));
    EXPECT_EQ(ds_.displayText("nazwa"), "\xC5\201ata");
    EXPECT_TRUE(ds_.value("BRAK").isNull());
    EXPECT_EQ(ds_.displayText("BRAK"), "");
    // Out of range: no value.
    EXPECT_TRUE(ds_.cell(5, id_).isNull());
    EXPECT_TRUE(ds_.cell(-1, id_).isNull());
    EXPECT_TRUE(ds_.cell(0, 99).isNull());
}

TEST_P(DataSetTest, RepeatedValuesAreStoredOnce) {
    // Small results are kept as they come; from a few thousand rows on a
    // repeated value is stored once.
    std::string error;
    ASSERT_TRUE(ds_.open("SELECT T1.NAZWA FROM TOWAR T1, TOWAR T2, TOWAR T3, TOWAR T4, TOWAR T5, TOWAR T6,"
                         " TOWAR T7 WHERE T1.ID = 1",
                         error))
        << error;
    ASSERT_EQ(ds_.recordCount(), 5 * 5 * 5 * 5 * 5 * 5);
    const auto shared = ds_.cell(5000, 0).bytes();
    for (int r = 5001; r < 6000; ++r) {
        EXPECT_EQ(ds_.cell(r, 0).bytes(), "Beton");
        ASSERT_EQ(ds_.cell(r, 0).bytes().data(), shared.data()) << "row " << r;
    }
}

// A join large enough for every way of storing a value: goods names that never
// repeat (stored plainly once that is clear), producer columns that repeat
// with their producer, a town that repeats across producers, codes that repeat
// on their own, blobs with byte 0. Every cell must equal the engine's value.
TEST(DataSetLoad, EveryCellEqualsTheEngineValue) {
    TempDir dir;
    const auto file = dir.file("duzy.dat");
    buildCatalog(
        file,
        "CREATE TABLE P(ID INTEGER PRIMARY KEY, NAZWA TEXT, MIASTO TEXT, OPIS BLOB);"
        "CREATE TABLE G(ID INTEGER PRIMARY KEY, NAZWA TEXT, P INTEGER, KOD TEXT, SYMBOL BLOB, CENA REAL);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
        " INSERT INTO P SELECT i, 'Producent ' || i, 'Miasto ' || (i % 40),"
        " CAST(zeroblob(i % 3) || 'opis' || i AS BLOB) FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000)"
        " INSERT INTO G SELECT i, 'Towar ' || i, (i * 7919) % 3000 + 1,"
        " CASE WHEN i % 11 = 0 THEN NULL ELSE 'K' || (i % 10) END,"
        " CAST(zeroblob(1) || (i % 500) AS BLOB), i / 4.0 FROM n;");
    Database db;
    std::string error;
    ASSERT_TRUE(db.open(file, kKey, error)) << error;
    const std::string sql =
        "SELECT G.ID, G.NAZWA, G.KOD, G.SYMBOL, P.NAZWA, P.MIASTO, P.OPIS, P.ID, G.CENA"
        " FROM G, P WHERE G.P = P.ID ORDER BY G.ID";
    DataSet ds(&db);
    ASSERT_TRUE(ds.open(sql, error)) << error;
    ASSERT_EQ(ds.recordCount(), 40000);

    Statement st;
    ASSERT_TRUE(db.prepare(sql, st, error)) << error;
    int row = 0;
    int mismatches = 0;
    while (st.next(error)) {
        for (int c = 0; c < 9; ++c) {
            const Cell cell = ds.cell(row, c);
            sqlite3_stmt* s = st.handle();
            bool same = false;
            switch (sqlite3_column_type(s, c)) {
                case SQLITE_NULL:
                    same = cell.isNull();
                    break;
                case SQLITE_INTEGER:
                    same = cell.type() == CellType::Integer && cell.asInt() == sqlite3_column_int64(s, c);
                    break;
                case SQLITE_FLOAT:
                    same = cell.type() == CellType::Real && cell.asDouble() == sqlite3_column_double(s, c);
                    break;
                default: {
                    const auto* p = static_cast<const char*>(sqlite3_column_blob(s, c));
                    const std::string_view expected(p, static_cast<std::size_t>(sqlite3_column_bytes(s, c)));
                    const CellType type =
                        sqlite3_column_type(s, c) == SQLITE_TEXT ? CellType::Text : CellType::Blob;
                    same = cell.type() == type && cell.bytes() == expected;
                }
            }
            if (!same && ++mismatches < 10) ADD_FAILURE() << "row " << row << " column " << c;
        }
        ++row;
    }
    EXPECT_EQ(error, "");
    EXPECT_EQ(row, 40000);
    EXPECT_EQ(mismatches, 0);

    // Past the first rows (stored as they come) repeats are stored once: rows
    // 6000 and 9000 (goods 6001 and 9001) belong to the same producer.
    const int base = 6000;
    EXPECT_EQ(ds.cell(base, 4).bytes().data(), ds.cell(base + 3000, 4).bytes().data());
    EXPECT_EQ(ds.cell(base, 6).bytes().data(), ds.cell(base + 3000, 6).bytes().data());
    // Producers of one town share the town.
    int other = base + 1;
    while (other < ds.recordCount() && (ds.cell(other, 7).asInt() == ds.cell(base, 7).asInt() ||
                                        ds.cell(other, 5).bytes() != ds.cell(base, 5).bytes())) {
        ++other;
    }
    ASSERT_LT(other, ds.recordCount());
    EXPECT_EQ(ds.cell(base, 5).bytes().data(), ds.cell(other, 5).bytes().data());
}

TEST_P(DataSetTest, CursorMovesLikeAClassicDataset) {
    openGoods();
    EXPECT_EQ(ds_.recNo(), 1);
    EXPECT_TRUE(ds_.bof());
    EXPECT_FALSE(ds_.eof());
    ds_.next();
    EXPECT_EQ(ds_.recNo(), 2);
    EXPECT_FALSE(ds_.bof());
    EXPECT_EQ(currentId(), 2);
    ds_.last();
    EXPECT_EQ(ds_.recNo(), 5);
    EXPECT_TRUE(ds_.eof());
    EXPECT_FALSE(ds_.bof());
    ds_.next();  // on the last row: EOF stays, no move
    EXPECT_EQ(ds_.recNo(), 5);
    EXPECT_TRUE(ds_.eof());
    EXPECT_EQ(ds_.moveBy(-10), -4);  // clamps at the first row
    EXPECT_EQ(ds_.recNo(), 1);
    EXPECT_TRUE(ds_.bof());
    ds_.prior();
    EXPECT_EQ(ds_.recNo(), 1);
    EXPECT_TRUE(ds_.bof());
    EXPECT_EQ(ds_.moveBy(3), 3);
    EXPECT_EQ(ds_.recNo(), 4);
    EXPECT_FALSE(ds_.bof());
    EXPECT_FALSE(ds_.eof());
    EXPECT_EQ(ds_.moveBy(5), 1);
    EXPECT_TRUE(ds_.eof());
    EXPECT_EQ(ds_.moveBy(5), 0);
    EXPECT_EQ(ds_.moveBy(0), 0);
    EXPECT_FALSE(ds_.moveTo(0));
    EXPECT_FALSE(ds_.moveTo(6));
    EXPECT_TRUE(ds_.moveTo(3));
    EXPECT_EQ(currentId(), 3);
    EXPECT_FALSE(ds_.bof());
    EXPECT_FALSE(ds_.eof());
    ds_.first();
    EXPECT_EQ(ds_.recNo(), 1);
    EXPECT_TRUE(ds_.bof());
}

TEST_P(DataSetTest, EmptyResultHasNoCurrentRow) {
    ds_.addRowNumberField("LP");
    std::string error;
    ASSERT_TRUE(ds_.open("SELECT * FROM TOWAR WHERE ID > 100", error)) << error;
    EXPECT_EQ(ds_.recordCount(), 0);
    EXPECT_EQ(ds_.recNo(), 0);
    EXPECT_TRUE(ds_.bof());
    EXPECT_TRUE(ds_.eof());
    const int lp = ds_.fieldIndex("LP");
    ASSERT_GE(lp, 0);
    EXPECT_EQ(ds_.displayText(lp), "");
    EXPECT_TRUE(ds_.isNull(0));
    ds_.next();
    ds_.last();
    EXPECT_EQ(ds_.recNo(), 0);
    EXPECT_FALSE(ds_.bookmarkValid(ds_.bookmark()));
}

TEST_P(DataSetTest, ClosedSetIsInert) {
    EXPECT_FALSE(ds_.active());
    EXPECT_EQ(ds_.recNo(), 0);
    EXPECT_EQ(ds_.fieldCount(), 0);
    EXPECT_EQ(ds_.fieldIndex("ID"), -1);
    ds_.next();
    EXPECT_EQ(ds_.moveBy(3), 0);
    EXPECT_FALSE(ds_.sort(0, true));
    EXPECT_FALSE(ds_.setFilter(0, std::int64_t{1}));
    EXPECT_EQ(ds_.displayText(0), "");
    openGoods();
    ds_.close();
    EXPECT_FALSE(ds_.active());
    EXPECT_EQ(ds_.recordCount(), 0);
    EXPECT_EQ(ds_.recNo(), 0);
    EXPECT_EQ(ds_.memoryUsage(), 0u);
}

TEST_P(DataSetTest, OpenFailuresLeaveTheSetClosed) {
    std::string error;
    DataSet orphan;
    EXPECT_FALSE(orphan.open("SELECT * FROM TOWAR", error));
    EXPECT_FALSE(error.empty());

    openGoods();
    EXPECT_FALSE(ds_.open("SELECT * FROM BRAK", error));
    EXPECT_NE(error.find("no such table"), std::string::npos) << error;
    EXPECT_FALSE(ds_.active());
    EXPECT_EQ(ds_.recNo(), 0);
    // A failure while loading rows (on the fifth). Through a keyset only the
    // key and ranks are read at open: the failure comes with the fifth row's
    // values and is kept as the load error.
    const std::string failing = "SELECT ID, abs(-9223372036854775803 - ID) FROM TOWAR ORDER BY ID";
    if (keyed()) {
        ASSERT_TRUE(ds_.open(failing, error)) << error;
        EXPECT_EQ(ds_.recordCount(), 5);
        EXPECT_EQ(ds_.cell(0, 1).asInt(), 9223372036854775804LL);
        EXPECT_TRUE(ds_.cell(4, 1).isNull());
        EXPECT_NE(ds_.loadError().find("integer overflow"), std::string::npos) << ds_.loadError();
        // A failure among the keys after open ends the rows where it came,
        // with the load error for the caller to report.
        ASSERT_TRUE(ds_.open("SELECT * FROM TOWAR WHERE abs(-9223372036854775803 - ID) > 0 ORDER BY ID", error))
            << error;
        EXPECT_FALSE(ds_.complete());
        EXPECT_EQ(ds_.recordCount(), 4);
        EXPECT_TRUE(ds_.complete());
        EXPECT_NE(ds_.loadError().find("integer overflow"), std::string::npos) << ds_.loadError();
        EXPECT_FALSE(ds_.fetchAll());
        ds_.close();
    } else {
        EXPECT_FALSE(ds_.open(failing, error));
        EXPECT_NE(error.find("integer overflow"), std::string::npos) << error;
    }
    EXPECT_FALSE(ds_.active());
    EXPECT_FALSE(ds_.open("DELETE FROM TOWAR", error));
    EXPECT_FALSE(ds_.active());
    // The rows are all still there.
    openGoods();
    EXPECT_EQ(ds_.recordCount(), 5);
}

TEST_P(DataSetTest, SortsByNumberAscendingAndDescending) {
    openGoods();
    ASSERT_TRUE(ds_.sort(id_, false));
    EXPECT_EQ(viewIds(), (std::vector<long long>{5, 4, 3, 2, 1}));
    // Nulls first, integers and reals together, equal values in load order.
    ASSERT_TRUE(ds_.sort(cena_, true));
    EXPECT_EQ(viewIds(), (std::vector<long long>{3, 2, 4, 1, 5}));
    ASSERT_TRUE(ds_.sort(cena_, false));
    EXPECT_EQ(viewIds(), (std::vector<long long>{1, 5, 4, 2, 3}));
    EXPECT_EQ(ds_.sortField(), cena_);
    EXPECT_FALSE(ds_.sortAscending());
    ds_.clearSort();
    EXPECT_EQ(ds_.sortField(), -1);
    EXPECT_EQ(viewIds(), (std::vector<long long>{1, 2, 3, 4, 5}));
}

TEST_P(DataSetTest, SortsTextInPolishOrderAndBytesByValue) {
    openGoods();
    // ażur, Beton, BETON, cement, Łata: a < b < c < ł; equal words lower case first.
    ASSERT_TRUE(ds_.sort(nazwa_, true));
    EXPECT_EQ(viewIds(), (std::vector<long long>{4, 1, 5, 2, 3}));
    ASSERT_TRUE(ds_.sort(nazwa_, false));
    EXPECT_EQ(viewIds(), (std::vector<long long>{3, 2, 5, 1, 4}));
    // Blobs byte for byte, shorter prefix first: NULL, 01, 0100, 02, FF.
    ASSERT_TRUE(ds_.sort(kod_, true));
    EXPECT_EQ(viewIds(), (std::vector<long long>{3, 2, 4, 1, 5}));
}

TEST_P(DataSetTest, SortKeepsTheCursorOnItsRow) {
    openGoods();
    ASSERT_TRUE(ds_.moveTo(2));  // ID 2
    ASSERT_TRUE(ds_.sort(id_, false));
    EXPECT_EQ(currentId(), 2);
    EXPECT_EQ(ds_.recNo(), 4);
    EXPECT_FALSE(ds_.sort(-1, true));
    EXPECT_FALSE(ds_.sort(ds_.fieldCount(), true));
}

TEST_P(DataSetTest, FilterOnOneColumnsValue) {
    openGoods();
    ASSERT_TRUE(ds_.sort(id_, false));
    ASSERT_TRUE(ds_.moveTo(3));
    ASSERT_TRUE(ds_.setFilter(prod_, std::int64_t{10}));
    EXPECT_TRUE(ds_.filtered());
    EXPECT_EQ(viewIds(), (std::vector<long long>{5, 3, 1}));
    EXPECT_EQ(ds_.recordCount(), 3);
    EXPECT_EQ(ds_.recNo(), 1);
    ds_.last();
    EXPECT_EQ(ds_.recNo(), 3);
    EXPECT_EQ(currentId(), 1);
    // Sorting keeps the filter.
    ASSERT_TRUE(ds_.sort(id_, true));
    EXPECT_EQ(viewIds(), (std::vector<long long>{1, 3, 5}));
    // A real column matches a whole number too.
    ASSERT_TRUE(ds_.setFilter(cena_, std::int64_t{7}));
    EXPECT_EQ(viewIds(), (std::vector<long long>{4}));
    // Text without regard to case; blobs byte for byte.
    ASSERT_TRUE(ds_.setFilter(nazwa_, std::string_view("beton")));
    EXPECT_EQ(viewIds(), (std::vector<long long>{1, 5}));
    ASSERT_TRUE(ds_.setFilter(kod_, std::string_view("\xFF")));
    EXPECT_EQ(viewIds(), (std::vector<long long>{5}));
    // Nothing left.
    ASSERT_TRUE(ds_.setFilter(prod_, std::int64_t{99}));
    EXPECT_EQ(ds_.recordCount(), 0);
    EXPECT_EQ(ds_.recNo(), 0);
    EXPECT_TRUE(ds_.bof());
    EXPECT_TRUE(ds_.eof());
    ds_.clearFilter();
    EXPECT_FALSE(ds_.filtered());
    EXPECT_EQ(viewIds(), (std::vector<long long>{1, 2, 3, 4, 5}));
    EXPECT_EQ(ds_.recNo(), 1);
}

TEST_P(DataSetTest, BookmarksSurviveSortingButNotReopening) {
    openGoods();
    ASSERT_TRUE(ds_.moveTo(3));
    const DataSet::Bookmark mark = ds_.bookmark();
    EXPECT_TRUE(ds_.bookmarkValid(mark));
    ASSERT_TRUE(ds_.sort(nazwa_, true));  // 4, 1, 5, 2, 3
    ds_.first();
    ASSERT_TRUE(ds_.gotoBookmark(mark));
    EXPECT_EQ(currentId(), 3);
    EXPECT_EQ(ds_.recNo(), 5);
    // Filtered out: refused, the cursor stays.
    ASSERT_TRUE(ds_.setFilter(prod_, std::int64_t{20}));
    EXPECT_FALSE(ds_.gotoBookmark(mark));
    EXPECT_EQ(currentId(), 2);
    ds_.clearFilter();
    EXPECT_TRUE(ds_.gotoBookmark(mark));
    // A new open invalidates it, even with the same rows.
    openGoods();
    EXPECT_FALSE(ds_.bookmarkValid(mark));
    EXPECT_FALSE(ds_.gotoBookmark(mark));
    EXPECT_FALSE(ds_.bookmarkValid(DataSet::Bookmark{}));
}

TEST_P(DataSetTest, RowNumberFieldFollowsTheView) {
    ds_.addRowNumberField("LP");
    openGoods();
    const int lp = ds_.fieldIndex("lp");
    ASSERT_EQ(lp, 5);
    EXPECT_TRUE(ds_.isComputed(lp));
    EXPECT_FALSE(ds_.isComputed(id_));
    EXPECT_EQ(ds_.displayText(lp), "1");
    ds_.last();
    EXPECT_EQ(ds_.displayText(lp), "5");
    EXPECT_EQ(ds_.displayText(2, lp), "3");
    EXPECT_EQ(ds_.cell(2, lp).type(), CellType::Computed);
    ASSERT_TRUE(ds_.setFilter(prod_, std::int64_t{10}));  // IDs 1, 3, 5
    EXPECT_EQ(ds_.displayText(2, lp), "3");
    EXPECT_EQ(ds_.displayTextAt(1, lp), "");  // physical row 1 (ID 2) is outside the view
    EXPECT_FALSE(ds_.sort(lp, true));         // computed fields do not sort
    EXPECT_FALSE(ds_.setFilter(lp, std::int64_t{1}));
}

TEST_P(DataSetTest, CalcFieldsHandlerFillsComputedFieldsAndCanBeDetached) {
    ds_.addComputedField("NazwaD");
    openGoods();
    const int nd = ds_.fieldIndex("NAZWAD");
    ASSERT_GE(nd, 0);
    EXPECT_EQ(ds_.displayText(nd), "");  // no handler yet
    int calls = 0;
    auto handler = [this, &calls](const DataSet& ds, DataSet::RowId row, DataSet::CalcRecord& rec) {
        ++calls;
        rec.set("NazwaD", "[" + cp1250::toUtf8(ds.cellAt(row, nazwa_).bytes()) + "]");
        rec.set(id_, "ignored: not a computed field");
    };
    EXPECT_FALSE(ds_.setOnCalcFields(handler));
    ASSERT_TRUE(ds_.moveTo(3));
    EXPECT_EQ(ds_.displayText(nd), "[\xC5\201ata]");
    EXPECT_EQ(ds_.value(nd).bytes(), "[\xC5\201ata]");
    EXPECT_EQ(currentId(), 3);
    // Detach, then restore what was there.
    DataSet::CalcFieldsHandler saved = ds_.setOnCalcFields({});
    EXPECT_TRUE(ds_.isNull(nd));
    ds_.setOnCalcFields(saved);
    EXPECT_EQ(ds_.displayText(0, nd), "[Beton]");
    // Reading the same row again does not run the handler again.
    const int before = calls;
    EXPECT_EQ(ds_.displayText(0, nd), "[Beton]");
    EXPECT_EQ(calls, before);
}

TEST_P(DataSetTest, DisplayRoutinesAttachByNameAndSurviveReopening) {
    // Default texts: numbers with ",", text as UTF-8, nothing for null.
    openGoods();
    EXPECT_EQ(ds_.displayText(0, cena_), "12,5");
    EXPECT_EQ(ds_.displayText(3, cena_), "7");
    EXPECT_EQ(ds_.displayText(2, cena_), "");
    EXPECT_EQ(ds_.displayText(2, nazwa_), "\xC5\201ata");

    auto routine = [](const DataSet& ds, DataSet::RowId row) {
        return "<" + ds.defaultText(row, ds.fieldIndex("NAZWA")) + ">";
    };
    EXPECT_FALSE(ds_.setDisplay("nazwa", routine));
    EXPECT_EQ(ds_.displayText(nazwa_), "<Beton>");
    EXPECT_EQ(ds_.displayText(1, nazwa_), "<cement>");
    EXPECT_EQ(ds_.displayText(1, cena_), "3");  // other fields unchanged
    openGoods();
    EXPECT_EQ(ds_.displayText(4, nazwa_), "<BETON>");
    DataSet::DisplayFn previous = ds_.setDisplay("NAZWA", {});
    ASSERT_TRUE(previous);
    EXPECT_EQ(ds_.displayText(4, nazwa_), "BETON");
    ds_.setDisplay("NAZWA", previous);
    EXPECT_EQ(ds_.displayText(4, nazwa_), "<BETON>");
}

TEST_P(DataSetTest, DisplayRoutineReadsOtherFieldsOfItsRow) {
    // A branch named "Pozostałe" shows its kind of element.
    ds_.setDisplay("NAZWA", [](const DataSet& ds, DataSet::RowId row) -> std::string {
        const std::string name = cp1250::toUtf8(ds.cellAt(row, ds.fieldIndex("NAZWA")).bytes());
        if (name != "Pozosta\xC5\202e") return name;
        const std::string_view kind = ds.cellAt(row, ds.fieldIndex("TYP_RMS")).bytes();
        return kind == "M" || kind == "S" ? name + " " + std::string(kind) : std::string();
    });
    std::string error;
    ASSERT_TRUE(ds_.open("SELECT * FROM BRANZA ORDER BY ID_BRANZY", error)) << error;
    const int nazwa = ds_.fieldIndex("NAZWA");
    EXPECT_EQ(ds_.displayText(0, nazwa), "Pozosta\xC5\202e M");
    EXPECT_EQ(ds_.displayText(1, nazwa), "");
    EXPECT_EQ(ds_.displayText(2, nazwa), "Farby");
}

TEST_P(DataSetTest, NotificationsFireAfterMovesAndResets) {
    int scrolls = 0;
    std::vector<DataSet::ResetReason> resets;
    ds_.setAfterScroll([&scrolls](DataSet&) { ++scrolls; });
    ds_.setOnReset([&resets](DataSet&, DataSet::ResetReason r) { resets.push_back(r); });
    openGoods();
    EXPECT_EQ(scrolls, 1);
    ASSERT_EQ(resets.size(), 1u);
    EXPECT_EQ(resets[0], DataSet::ResetReason::Opened);
    ds_.next();
    ds_.moveTo(5);
    ds_.next();  // on the last row: sets EOF, which is a scroll of its own
    EXPECT_TRUE(ds_.eof());
    EXPECT_EQ(scrolls, 4);
    ds_.next();  // at EOF already: nothing happens
    EXPECT_EQ(scrolls, 4);
    ds_.sort(id_, false);
    EXPECT_EQ(scrolls, 5);
    EXPECT_EQ(resets.back(), DataSet::ResetReason::Reordered);
    ds_.close();
    EXPECT_EQ(resets.back(), DataSet::ResetReason::Closed);
    EXPECT_EQ(scrolls, 5);
}

TEST_P(DataSetTest, SuspendedNotificationsFireOnceOnResume) {
    openGoods();
    int scrolls = 0;
    int resets = 0;
    ds_.setAfterScroll([&scrolls](DataSet&) { ++scrolls; });
    ds_.setOnReset([&resets](DataSet&, DataSet::ResetReason) { ++resets; });
    {
        NotificationPause outer(ds_);
        ds_.next();
        ds_.next();
        {
            NotificationPause inner(ds_);
            ds_.sort(id_, false);
            ds_.moveBy(2);
        }
        EXPECT_TRUE(ds_.notificationsSuspended());
        EXPECT_EQ(scrolls, 0);
        EXPECT_EQ(resets, 0);
    }
    EXPECT_FALSE(ds_.notificationsSuspended());
    EXPECT_EQ(scrolls, 1);
    EXPECT_EQ(resets, 1);
    // Nothing pending: resuming fires nothing.
    ds_.suspendNotifications();
    ds_.resumeNotifications();
    ds_.resumeNotifications();  // unbalanced resume is harmless
    EXPECT_EQ(scrolls, 1);
    EXPECT_EQ(resets, 1);
}

TEST_P(DataSetTest, HandlersDetachAndRestore) {
    openGoods();
    int scrolls = 0;
    ds_.setAfterScroll([&scrolls](DataSet&) { ++scrolls; });
    DataSet::ScrollHandler saved = ds_.setAfterScroll({});
    ASSERT_TRUE(saved);
    ds_.next();
    EXPECT_EQ(scrolls, 0);
    EXPECT_FALSE(ds_.setAfterScroll(saved));
    ds_.next();
    EXPECT_EQ(scrolls, 1);
    // A handler may close the set it belongs to.
    ds_.setAfterScroll([](DataSet& ds) { ds.close(); });
    ds_.next();
    EXPECT_FALSE(ds_.active());
}

INSTANTIATE_TEST_SUITE_P(Loading, DataSetTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) { return p.param ? "Keyset" : "Whole"; });

}  // namespace
}  // namespace kmx::data
