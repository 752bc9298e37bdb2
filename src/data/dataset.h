#pragma once
// A result set with a cursor, the way the screens and reports use the
// catalogue's queries.
//
// Opening runs one statement and loads all its rows, or, with a keyset, its
// keys (below). The rows stay where they were loaded ("physical rows",
// numbered from 0 in the statement's order); sorting and
// filtering only change the view, an ordered list of physical rows. The
// cursor, the record count and RecNo (1-based) are relative to the view. A
// sort or filter lasts until the set is closed or opened again.
//
// Cursor rules are those of a classic dataset: after open and First, BOF is
// set; Next on the last row sets EOF and stays; Prior on the first row sets
// BOF and stays; MoveBy stops at the ends. An empty view has BOF and EOF set
// and RecNo 0.
//
// Fields are the result's columns (named as Jet names them, looked up without
// regard to letter case) followed by the computed fields. Computed fields and
// display routines are kept by name and survive closing and re-opening, like
// a data module's persistent fields; field indices are valid while the set is
// open.
//
// Large results: a set given a keyset (setKeyset) keeps per row only the
// row's key and its rank fields. The other values are read when asked for, a
// window of neighbouring rows at a time (a walk in the statement's order
// reads the statement itself from its start), and kept in a cache of a few
// thousand rows: their Text and Blob values stay valid until that many other
// rows have been read, not until the set closes. Rows become known progressively: open() reads keys
// for a short while, and the rest arrive through fetchMore() (the program
// calls it when idle) or as soon as a caller needs them: recordCount(), Last,
// a sort or a filter first read every key, moving past the known rows reads
// what the move needs. knownCount() never reads. The view grows at its end
// while keys arrive, and the grow notification tells about it.
//
// Notifications: after-scroll after every cursor move (open, First, Last,
// Next, Prior, MoveBy, MoveTo, a bookmark, a sort or filter; a move that
// cannot happen, such as Next at EOF, fires nothing), reset after open, close
// and every change of the view. While notifications are suspended none fire;
// resuming fires each pending kind once.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kmx::data {

class Database;
class Statement;

// Whether an ordered statement that has run `orderedSeconds` and given
// `found` of the `wanted` first rows should give way to a plain scan of the
// result expected to take `scanSeconds` (not positive: unknown). Not before
// the ordered statement has spent what the whole scan costs, so an open takes
// at most about twice the quicker of the two; then only when its rows, at
// the rate they have come so far, would take longer than the scan.
bool preferScan(double orderedSeconds, std::size_t found, std::size_t wanted, double scanSeconds);

enum class CellType : std::uint8_t {
    Null,
    Integer,
    Real,
    Text,      // Windows-1250 bytes of a plain text column
    Blob,      // raw bytes (the scrambled columns)
    Computed,  // UTF-8 text of a computed field
};

// One value. Text and Blob view the result set's storage and stay valid until
// the set is closed or re-opened; a Computed value holds its own text, so its
// bytes() live as long as the Cell.
class Cell {
public:
    Cell() = default;
    static Cell integer(std::int64_t v);
    static Cell real(double v);
    static Cell text(std::string_view bytes);
    static Cell blob(std::string_view bytes);
    static Cell computed(std::string utf8);
    // A Text or Blob value holding its own copy of the bytes.
    static Cell owned(CellType type, std::string bytes);

    CellType type() const { return type_; }
    bool isNull() const { return type_ == CellType::Null; }
    // Integer as it is, Real cut towards zero (0 when out of range), else 0.
    std::int64_t asInt() const;
    // Integer or Real as a double, else 0.
    double asDouble() const;
    // Text, Blob or Computed bytes; empty for the other types.
    std::string_view bytes() const;

private:
    CellType type_ = CellType::Null;
    std::int64_t int_ = 0;
    double real_ = 0;
    bool owned_ = false;
    std::string_view view_;
    std::string own_;
};

class DataSet {
public:
    using RowId = std::uint32_t;
    // Display text (UTF-8) of a field for a physical row.
    using DisplayFn = std::function<std::string(const DataSet&, RowId)>;
    // Value (UTF-8) of a computed field for a physical row.
    using ComputeFn = std::function<std::string(const DataSet&, RowId)>;
    using ScrollHandler = std::function<void(DataSet&)>;
    enum class ResetReason { Opened, Closed, Reordered };
    using ResetHandler = std::function<void(DataSet&, ResetReason)>;
    // Rows were added at the end of the view (knownCount() tells how many
    // there are now).
    using GrowHandler = std::function<void(DataSet&)>;

    // What a set opened with a keyset keeps in memory: the key (an integer
    // field unique for each row) and the integer fields that sorting uses.
    struct Keyset {
        std::string keyField;
        std::vector<std::string> rankFields;
    };

    // The computed fields of one row that have no function of their own, as
    // the calc-fields handler fills them.
    class CalcRecord {
    public:
        // By field index or name; unknown or non-computed fields are ignored.
        void set(int field, std::string utf8);
        void set(std::string_view fieldName, std::string utf8);

    private:
        friend class DataSet;
        CalcRecord(const DataSet& ds, std::vector<std::string>& values) : ds_(ds), values_(values) {}
        const DataSet& ds_;
        std::vector<std::string>& values_;
    };
    using CalcFieldsHandler = std::function<void(const DataSet&, RowId, CalcRecord&)>;

    // Opaque position of a row; valid until the set is closed or re-opened,
    // across sorting and filtering.
    struct Bookmark {
        std::uint64_t generation = 0;
        RowId row = 0;
    };

    explicit DataSet(Database* db = nullptr);
    ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    void setDatabase(Database* db) { db_ = db; }
    Database* database() const { return db_; }
    // The statement: Jet-dialect text in Windows-1250 bytes.
    void setSql(std::string jetText) { sql_ = std::move(jetText); }
    const std::string& sql() const { return sql_; }

    // Closes the set and runs the statement: with a keyset, reads keys for a
    // short while (see setOpenBudget); otherwise loads every row. On failure
    // the set stays closed and `error` holds the engine's message.
    bool open(std::string& error);
    bool open(std::string jetText, std::string& error);
    void close();
    bool active() const { return active_; }

    // --- large results
    // Applies from the next open. An empty key field loads results whole.
    // Statements that are not a plain SELECT … FROM … [WHERE] [ORDER BY], or
    // whose key is not a column of a table, are loaded whole too.
    void setKeyset(Keyset keyset) { keysetSpec_ = std::move(keyset); }
    const Keyset& keysetSpec() const { return keysetSpec_; }
    // The open result is read through its keyset.
    bool keyed() const { return keyset_ != nullptr; }
    // Every row of the result is known.
    bool complete() const;
    // Rows of the view known so far; reads nothing.
    int knownCount() const { return static_cast<int>(view_.size()); }
    // Reads up to `maxRows` further keys; returns how many arrived.
    // When the order is one rank the set keeps, the rest of the keys come
    // from a plain scan sorted here, and arrive all at once when it ends.
    std::size_t fetchMore(std::size_t maxRows);
    // Reads every remaining key; false when reading failed (loadError()).
    bool fetchAll();
    // The engine's message when reading keys or rows failed after open.
    const std::string& loadError() const;
    // Calls `visit` once for every row of the view, in the order of the key
    // (for a table's key, the order the table is stored in: a walk of a large
    // result reads each page once instead of visiting the rows at random).
    // During a call the row's values are read without a statement of their
    // own. Every key is read first; a set without a keyset is visited in view
    // order. False when `visit` returned false or reading failed (loadError()).
    // With `fields` (data fields), the walk reads only those of each row: the
    // engine skips the columns nobody asks for. While a row is visited those
    // fields answer from the walk (their text lives until the next row);
    // any other field is read the usual way.
    bool visitByKey(const std::function<bool(int viewRow)>& visit, const std::vector<int>& fields = {});
    // How long open() reads keys before it returns, and how many it reads in
    // any case; the rest are left for fetchMore(). Shared by all sets.
    static void setOpenBudget(std::chrono::milliseconds budget, std::size_t minRows = 64);
    static std::chrono::milliseconds openBudget();
    static std::size_t openMinRows();
    // An ordered statement slow to give its first rows (a search whose
    // matches lie far down the order) may give way, during open, to the
    // plain scan of the result sorted here, which gives every key at once
    // (see preferScan). Auto decides by the clock; Never keeps the ordered
    // statement; AtOnce gives way at its first chance (for tests).
    enum class ScanSwitch { Auto, Never, AtOnce };
    static void setScanSwitch(ScanSwitch mode);
    static ScanSwitch scanSwitch();

    // --- fields
    int fieldCount() const;
    int dataFieldCount() const { return static_cast<int>(names_.size()); }
    // -1 when there is no such field (or the set is closed).
    int fieldIndex(std::string_view name) const;
    const std::string& fieldName(int field) const;
    bool isComputed(int field) const { return field >= dataFieldCount() && field < fieldCount(); }

    // Adds a computed field (kept across re-opening). Without a function its
    // value comes from the calc-fields handler. Returns its index while open,
    // else -1.
    int addComputedField(std::string name, ComputeFn fn = {});
    // A computed field holding the row's 1-based position in the view as
    // text, empty for a row outside the view (the row-number column "LP").
    int addRowNumberField(std::string name);

    // Attaches a display routine to a field by name (kept across re-opening);
    // an empty function detaches it. Returns the routine it replaces.
    DisplayFn setDisplay(std::string_view fieldName, DisplayFn fn);

    // --- cursor
    // Rows in the view; with a keyset this first reads every key.
    int recordCount() const;
    std::size_t loadedRowCount() const { return rows_; }
    int recNo() const { return cur_ + 1; }
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    bool isEmpty() const { return view_.empty(); }
    void first();
    void last();
    void next() { moveBy(1); }
    void prior() { moveBy(-1); }
    // Moves by up to `distance` rows, stopping at the ends; returns the rows moved.
    int moveBy(int distance);
    // Moves to a 1-based record number of the view; false when out of range.
    bool moveTo(int recNo);

    // --- values of the current row (Null and empty text when there is none)
    bool isNull(int field) const;
    Cell value(int field) const;
    std::string displayText(int field) const;
    // The same by field name (an unknown name gives Null and empty text).
    bool isNull(std::string_view fieldName) const { return isNull(fieldIndex(fieldName)); }
    Cell value(std::string_view fieldName) const { return value(fieldIndex(fieldName)); }
    std::string displayText(std::string_view fieldName) const { return displayText(fieldIndex(fieldName)); }
    // The physical row under the cursor; only meaningful when recNo() > 0.
    RowId currentRow() const;

    // --- values of any row of the view (0-based), the cursor does not move
    Cell cell(int viewRow, int field) const;
    std::string displayText(int viewRow, int field) const;

    // --- values of a physical row (what display routines are given)
    Cell cellAt(RowId row, int field) const;
    std::string displayTextAt(RowId row, int field) const;
    // The field's text without its display routine: numbers in decimal with
    // ",", text converted to UTF-8, computed values as they are.
    std::string defaultText(RowId row, int field) const;

    RowId physicalRow(int viewRow) const { return view_[static_cast<std::size_t>(viewRow)]; }
    // 0-based position of a physical row in the view, -1 when it is not in it.
    int viewRowOf(RowId row) const;

    // --- sorting and filtering (no statement runs)
    // Sorts the view by one data field: nulls, then numbers, text in Polish
    // order (ties by letter case), then bytes; equal values keep load order.
    // The cursor stays on its row. False for an unknown or computed field.
    bool sort(int field, bool ascending);
    void clearSort();
    int sortField() const { return sortField_; }
    bool sortAscending() const { return sortAscending_; }

    // Keeps only the rows whose field equals the value: a number (integer or
    // real cells), or Windows-1250 text (text cells compared in Polish order
    // without regard to case, blob cells byte for byte). The cursor goes to the
    // first row. False for an unknown or computed field.
    bool setFilter(int field, std::int64_t value);
    bool setFilter(int field, std::string_view bytes);
    void clearFilter();
    bool filtered() const { return filter_.active; }

    // --- bookmarks
    Bookmark bookmark() const;
    bool bookmarkValid(const Bookmark& b) const;
    // Moves to the bookmarked row; false (cursor unchanged) when the bookmark
    // is stale or the row is filtered out.
    bool gotoBookmark(const Bookmark& b);

    // --- notifications
    void suspendNotifications() { ++suspended_; }
    void resumeNotifications();
    bool notificationsSuspended() const { return suspended_ > 0; }
    // Each setter returns the handler it replaces, so a caller can detach a
    // handler for a while and restore it.
    ScrollHandler setAfterScroll(ScrollHandler h);
    CalcFieldsHandler setOnCalcFields(CalcFieldsHandler h);
    ResetHandler setOnReset(ResetHandler h);
    GrowHandler setOnGrow(GrowHandler h);
    const GrowHandler& onGrow() const { return onGrow_; }
    const ScrollHandler& afterScroll() const { return afterScroll_; }
    const CalcFieldsHandler& onCalcFields() const { return onCalc_; }
    const ResetHandler& onReset() const { return onReset_; }

    // Bytes held by the loaded rows (or the keys and the row cache) and the view.
    std::size_t memoryUsage() const;

private:
    struct Storage;
    struct KeysetState;
    struct Computed {
        std::string name;
        ComputeFn fn;
    };
    struct Filter {
        bool active = false;
        int field = -1;
        bool isText = false;
        std::int64_t number = 0;
        std::string text;
    };

    // Field names without regard to ASCII letter case, looked up without
    // copying the name (display routines and exports ask for every cell).
    struct NoCaseHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept;
    };
    struct NoCaseEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept;
    };
    void rebuildFieldIndex();

    void rebuildView();
    void resolveDisplays();
    void placeCursor(int index);  // sets cur_, bof_ and eof_ for an index of the view
    void notifyScroll();
    void notifyReset(ResetReason reason);
    void invalidateDerived();
    std::string computedText(RowId row, int field) const;
    bool validField(int field) const { return field >= 0 && field < fieldCount(); }
    bool matchesFilter(RowId row) const;
    bool openKeyed(Statement& full, std::string& error);
    bool finishOpen();
    void appendKeys(std::size_t maxRows);  // reads keys in order, without notifying
    std::size_t fetchInOrder(std::size_t maxRows);
    bool ensureKnown(std::size_t rows) const;  // reads keys until the view has `rows` rows
    void notifyGrow();
    Cell keyedCell(RowId row, int field) const;
    bool rankSort(std::vector<RowId>& order) const;

    Database* db_ = nullptr;
    std::string sql_;
    bool active_ = false;
    std::uint64_t generation_ = 0;

    std::unique_ptr<Storage> storage_;
    Keyset keysetSpec_;
    std::unique_ptr<KeysetState> keyset_;
    std::size_t rows_ = 0;
    std::vector<std::string> names_;
    std::unordered_map<std::string, int, NoCaseHash, NoCaseEqual> fieldByName_;  // while open
    std::vector<Computed> computed_;
    std::vector<std::pair<std::string, DisplayFn>> displays_;  // by lower-case name
    std::vector<DisplayFn> displayOf_;                         // by field index, while open

    std::vector<RowId> view_;
    mutable std::vector<std::int32_t> position_;  // physical row -> view index, built on demand
    mutable bool positionValid_ = false;
    int cur_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    int sortField_ = -1;
    bool sortAscending_ = true;
    Filter filter_;

    ScrollHandler afterScroll_;
    CalcFieldsHandler onCalc_;
    ResetHandler onReset_;
    GrowHandler onGrow_;
    int suspended_ = 0;
    bool pendingGrow_ = false;
    bool pendingScroll_ = false;
    bool pendingReset_ = false;
    ResetReason pendingReason_ = ResetReason::Reordered;

    mutable std::vector<std::string> calcValues_;
    mutable RowId calcRow_ = 0;
    mutable bool calcValid_ = false;
    mutable bool calcBusy_ = false;
};

// Suspends a set's notifications for a scope.
class NotificationPause {
public:
    explicit NotificationPause(DataSet& ds) : ds_(ds) { ds_.suspendNotifications(); }
    ~NotificationPause() { ds_.resumeNotifications(); }
    NotificationPause(const NotificationPause&) = delete;
    NotificationPause& operator=(const NotificationPause&) = delete;

private:
    DataSet& ds_;
};

}  // namespace kmx::data
