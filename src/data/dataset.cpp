#include "data/dataset.h"

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "core/cp1250.h"
#include "core/numfmt.h"
#include "core/polish_collation.h"
#include "data/database.h"
#include "data/jet_adapter.h"

namespace kmx::data {

// ---------------------------------------------------------------------------
// Cell

Cell Cell::integer(std::int64_t v) {
    Cell c;
    c.type_ = CellType::Integer;
    c.int_ = v;
    return c;
}

Cell Cell::real(double v) {
    Cell c;
    c.type_ = CellType::Real;
    c.real_ = v;
    return c;
}

Cell Cell::text(std::string_view bytes) {
    Cell c;
    c.type_ = CellType::Text;
    c.view_ = bytes;
    return c;
}

Cell Cell::blob(std::string_view bytes) {
    Cell c;
    c.type_ = CellType::Blob;
    c.view_ = bytes;
    return c;
}

Cell Cell::computed(std::string utf8) {
    Cell c;
    // An empty computed value is no value, as a calculated field left unset.
    if (utf8.empty()) return c;
    c.type_ = CellType::Computed;
    c.own_ = std::move(utf8);
    return c;
}

Cell Cell::owned(CellType type, std::string bytes) {
    Cell c;
    c.type_ = type;
    c.owned_ = true;
    c.own_ = std::move(bytes);
    return c;
}

std::int64_t Cell::asInt() const {
    if (type_ == CellType::Integer) return int_;
    if (type_ == CellType::Real) {
        // Only values strictly inside the int64 range convert.
        if (std::isfinite(real_) && real_ > -9.2e18 && real_ < 9.2e18)
            return static_cast<std::int64_t>(real_);
    }
    return 0;
}

double Cell::asDouble() const {
    if (type_ == CellType::Integer) return static_cast<double>(int_);
    if (type_ == CellType::Real) return real_;
    return 0;
}

std::string_view Cell::bytes() const {
    if (type_ == CellType::Computed || owned_) return own_;
    if (type_ == CellType::Text || type_ == CellType::Blob) return view_;
    return {};
}

// ---------------------------------------------------------------------------
// Storage of the loaded rows

namespace {

// Values live in large blocks, each a 4-byte length and the bytes. Blocks
// never move, so a cell can hold a value's address.
class Arena {
public:
    static constexpr std::size_t kBlock = std::size_t{1} << 20;

    const char* store(const char* p, std::size_t n) {
        const std::size_t need = sizeof(std::uint32_t) + n;
        char* rec;
        if (need > kBlock / 4) {
            // A large value gets a block of its own; the open block stays in use.
            auto block = std::make_unique_for_overwrite<char[]>(need);
            rec = block.get();
            blocks_.push_back(std::move(block));
            total_ += need;
        } else {
            if (need > left_) {
                auto block = std::make_unique_for_overwrite<char[]>(kBlock);
                cur_ = block.get();
                left_ = kBlock;
                blocks_.push_back(std::move(block));
                total_ += kBlock;
            }
            rec = cur_;
            cur_ += need;
            left_ -= need;
        }
        const auto len = static_cast<std::uint32_t>(n);
        std::memcpy(rec, &len, sizeof len);
        if (n > 0) std::memcpy(rec + sizeof len, p, n);
        return rec;
    }

    static std::string_view read(const char* rec) {
        std::uint32_t len;
        std::memcpy(&len, rec, sizeof len);
        return {rec + sizeof len, len};
    }

    std::size_t bytes() const { return total_; }

private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* cur_ = nullptr;
    std::size_t left_ = 0;
    std::size_t total_ = 0;
};

std::uint64_t hashBytes(const char* p, std::size_t n) {
    constexpr std::uint64_t kMul = 0xff51afd7ed558ccdULL;
    std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ n;
    while (n >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        h = (h ^ w) * kMul;
        h ^= h >> 32;
        p += 8;
        n -= 8;
    }
    if (n > 0) {
        std::uint64_t w = 0;
        std::memcpy(&w, p, n);
        h = (h ^ w) * kMul;
        h ^= h >> 32;
    }
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

// Stores each distinct value of one column once. The table is bounded: past
// its largest size a value that finds no free place within a few probes
// replaces an old entry. A column whose values hardly ever repeat (names,
// descriptions) stops looking values up at all once that is clear, so it
// costs neither the probes nor the table's memory; columns of repeated values
// (the joined producer, unit, currency) keep one copy per distinct value.
class InternTable {
public:
    bool enabled() const { return enabled_; }

    // Returns the stored copy of the value and the row that first stored it
    // (`row` itself for a new value).
    const char* intern(const char* p, std::size_t n, Arena& arena, std::uint32_t row, std::uint32_t& origin) {
        origin = row;
        if (++lookups_ == kWindow && !review()) return arena.store(p, n);
        const auto h = static_cast<std::uint32_t>(hashBytes(p, n));
        if (slots_.empty()) slots_.resize(kInitialSlots);
        const std::size_t mask = slots_.size() - 1;
        std::size_t i = h & mask;
        const std::string_view value(p, n);
        for (int probe = 0; probe < kMaxProbes; ++probe, i = (i + 1) & mask) {
            Slot& s = slots_[i];
            if (s.rec == nullptr) {
                const char* rec = arena.store(p, n);
                s = Slot{rec, h, row};
                if (++used_ * 2 > slots_.size()) grow();  // s is gone after this
                return rec;
            }
            if (s.hash == h && Arena::read(s.rec) == value) {
                ++hits_;
                origin = s.row;
                return s.rec;
            }
        }
        // Crowded: the new value takes over its home slot.
        Slot& home = slots_[h & mask];
        home = Slot{arena.store(p, n), h, row};
        return home.rec;
    }

private:
    struct Slot {
        const char* rec = nullptr;
        std::uint32_t hash = 0;
        std::uint32_t row = 0;  // the row that stored it first
    };
    static constexpr std::size_t kInitialSlots = 256;
    static constexpr std::size_t kMaxSlots = std::size_t{1} << 15;
    static constexpr int kMaxProbes = 8;
    static constexpr std::size_t kWindow = 4096;

    // Every kWindow look-ups: a full table that found fewer than one value in
    // two is not worth keeping. Returns whether the table stays in use.
    bool review() {
        if (slots_.size() >= kMaxSlots && hits_ * 2 < lookups_) {
            enabled_ = false;
            std::vector<Slot>().swap(slots_);
        }
        lookups_ = 0;
        hits_ = 0;
        return enabled_;
    }

    void grow() {
        if (slots_.size() >= kMaxSlots) return;
        std::vector<Slot> bigger(slots_.size() * 2);
        const std::size_t mask = bigger.size() - 1;
        for (const Slot& s : slots_) {
            if (s.rec == nullptr) continue;
            std::size_t i = s.hash & mask;
            while (bigger[i].rec != nullptr) i = (i + 1) & mask;
            bigger[i] = s;
        }
        slots_.swap(bigger);
    }

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
    std::size_t lookups_ = 0;
    std::size_t hits_ = 0;
    bool enabled_ = true;
};

std::uint64_t addressBits(const char* rec) {
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(rec));
}

const char* addressOf(std::uint64_t bits) {
    return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(bits));
}

std::uint64_t nextGeneration() {
    static std::uint64_t counter = 0;
    return ++counter;
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = asciiLower(c);
    return out;
}

const std::string& emptyString() {
    static const std::string empty;
    return empty;
}

}  // namespace

// Rows in chunks of 1024: one payload word and one type byte per cell. A
// payload is the integer, the double's bits, or the address of a stored
// value in the arena.
struct DataSet::Storage {
    static constexpr unsigned kChunkShift = 10;
    static constexpr std::size_t kChunkRows = std::size_t{1} << kChunkShift;
    static constexpr std::size_t kChunkMask = kChunkRows - 1;
    // Repeated values are looked for from this row on.
    static constexpr std::size_t kInternFromRow = 4096;

    struct Chunk {
        std::unique_ptr<std::uint64_t[]> payload;
        std::unique_ptr<CellType[]> types;
    };

    std::size_t columns = 0;
    std::vector<Chunk> chunks;
    Arena arena;

    Cell cell(RowId row, std::size_t col) const {
        const Chunk& ch = chunks[row >> kChunkShift];
        const std::size_t k = (row & kChunkMask) * columns + col;
        const std::uint64_t bits = ch.payload[k];
        switch (ch.types[k]) {
            case CellType::Integer:
                return Cell::integer(static_cast<std::int64_t>(bits));
            case CellType::Real: {
                double d;
                std::memcpy(&d, &bits, sizeof d);
                return Cell::real(d);
            }
            case CellType::Text:
                return Cell::text(Arena::read(addressOf(bits)));
            case CellType::Blob:
                return Cell::blob(Arena::read(addressOf(bits)));
            default:
                return {};
        }
    }

    std::size_t bytes() const {
        return chunks.size() * kChunkRows * columns * (sizeof(std::uint64_t) + sizeof(CellType)) +
               arena.bytes();
    }

    // The stored copy of `value` when row `row` holds the same bytes in
    // column `col`, else nullptr.
    const char* sameAs(RowId row, std::size_t col, std::string_view value) const {
        const Chunk& ch = chunks[row >> kChunkShift];
        const std::size_t k = (row & kChunkMask) * columns + col;
        if (ch.types[k] != CellType::Text && ch.types[k] != CellType::Blob) return nullptr;
        const char* rec = addressOf(ch.payload[k]);
        return Arena::read(rec) == value ? rec : nullptr;
    }

    // Steps the statement to its end, storing every row. Returns false with
    // the engine's message on failure.
    //
    // Repeated values come from joined rows: the columns of one source table
    // repeat together. When the first text column of a table in a row finds
    // its value stored by an earlier row, the table's other columns are first
    // compared with that row's values, which were stored side by side: far
    // cheaper than looking each of them up.
    bool load(sqlite3* db, sqlite3_stmt* st, std::size_t& rows, std::string& error) {
        columns = static_cast<std::size_t>(sqlite3_column_count(st));
        const int ncols = static_cast<int>(columns);
        std::vector<InternTable> tables(columns);
        std::vector<int> source(columns, -1);
        std::vector<std::string> sourceNames;
        for (std::size_t c = 0; c < columns; ++c) {
            const char* t = sqlite3_column_table_name(st, static_cast<int>(c));
            if (t == nullptr) continue;
            auto it = std::find(sourceNames.begin(), sourceNames.end(), t);
            source[c] = static_cast<int>(it - sourceNames.begin());
            if (it == sourceNames.end()) sourceNames.emplace_back(t);
        }
        // Per table and row: the earlier row to compare with, none yet, or none.
        constexpr RowId kUndecided = std::numeric_limits<RowId>::max();
        constexpr RowId kNoRow = kUndecided - 1;
        std::vector<RowId> predicted(sourceNames.size(), kUndecided);
        // Per column: comparisons with a predicted row, and how many matched.
        // A column whose value rarely follows its table's first column (a
        // column that repeats on its own) stops trying for a while.
        struct Guess {
            std::uint32_t tries = 0;
            std::uint32_t matches = 0;
            std::uint32_t skipped = 0;
            bool on = true;
        };
        std::vector<Guess> guesses(columns);

        rows = 0;
        constexpr std::size_t kMaxRows = static_cast<std::size_t>(std::numeric_limits<int>::max()) - 1;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            if (rows == kMaxRows) {
                error = "Wynik zapytania ma zbyt wiele wierszy.";
                return false;
            }
            const auto row = static_cast<RowId>(rows);
            const std::size_t inChunk = rows & kChunkMask;
            if (inChunk == 0) {
                const std::size_t cells = std::max<std::size_t>(kChunkRows * columns, 1);
                chunks.push_back(Chunk{std::make_unique_for_overwrite<std::uint64_t[]>(cells),
                                       std::make_unique_for_overwrite<CellType[]>(cells)});
            }
            Chunk& ch = chunks.back();
            std::uint64_t* payload = ch.payload.get() + inChunk * columns;
            CellType* types = ch.types.get() + inChunk * columns;
            std::fill(predicted.begin(), predicted.end(), kUndecided);
            for (int c = 0; c < ncols; ++c) {
                // One look-up of the column's value, then plain reads of it (one
                // thread uses the connection, so the unprotected value is safe).
                sqlite3_value* v = sqlite3_column_value(st, c);
                const int type = sqlite3_value_type(v);
                switch (type) {
                    case SQLITE_INTEGER:
                        types[c] = CellType::Integer;
                        payload[c] = static_cast<std::uint64_t>(sqlite3_value_int64(v));
                        break;
                    case SQLITE_FLOAT: {
                        const double d = sqlite3_value_double(v);
                        types[c] = CellType::Real;
                        std::memcpy(&payload[c], &d, sizeof d);
                        break;
                    }
                    case SQLITE_TEXT:
                    case SQLITE_BLOB: {
                        // Raw bytes for both: text is Windows-1250 and must not be converted.
                        types[c] = type == SQLITE_TEXT ? CellType::Text : CellType::Blob;
                        const auto* bytes = static_cast<const char*>(sqlite3_value_blob(v));
                        const int n = sqlite3_value_bytes(v);
                        const std::string_view value(bytes, n > 0 ? static_cast<std::size_t>(n) : 0);
                        const auto col = static_cast<std::size_t>(c);
                        const int src = source[col];
                        const char* rec = nullptr;
                        RowId* prediction = src >= 0 ? &predicted[static_cast<std::size_t>(src)] : nullptr;
                        Guess& guess = guesses[col];
                        if (prediction != nullptr && *prediction < kNoRow) {
                            if (guess.on) {
                                rec = sameAs(*prediction, col, value);
                                if (rec != nullptr) ++guess.matches;
                                if (++guess.tries == 1024) {
                                    guess.on = guess.matches * 2 >= guess.tries;
                                    guess.tries = guess.matches = 0;
                                }
                            } else if (++guess.skipped == 65536) {
                                guess.on = true;  // give it another chance
                                guess.skipped = 0;
                            }
                        }
                        if (rec == nullptr) {
                            InternTable& table = tables[col];
                            // Small results are stored as they come: looking every
                            // value up costs more than the repeats would save.
                            if (table.enabled() && rows >= kInternFromRow) {
                                RowId origin;
                                rec = table.intern(value.data(), value.size(), arena, row, origin);
                                if (prediction != nullptr && *prediction == kUndecided) {
                                    *prediction = origin != row ? origin : kNoRow;
                                }
                            } else {
                                rec = arena.store(value.data(), value.size());
                            }
                        }
                        payload[c] = addressBits(rec);
                        break;
                    }
                    default:
                        types[c] = CellType::Null;
                        payload[c] = 0;
                        break;
                }
            }
            ++rows;
        }
        if (rc != SQLITE_DONE) {
            error = sqlite3_errmsg(db);
            return false;
        }
        return true;
    }
};


// ---------------------------------------------------------------------------
// Keyset: keys and ranks in memory, rows read on demand

namespace {

std::chrono::milliseconds gOpenBudget{25};
std::size_t gOpenMinRows = 64;
DataSet::ScanSwitch gScanSwitch = DataSet::ScanSwitch::Auto;
// How long the plain scan is timed before an ordered statement starts, and
// how many engine instructions pass between two looks at the clock.
constexpr std::chrono::milliseconds kScanProbe{3};
constexpr int kProgressOps = 1000;

constexpr std::int32_t kNullRank = std::numeric_limits<std::int32_t>::min();

}  // namespace

void DataSet::setOpenBudget(std::chrono::milliseconds budget, std::size_t minRows) {
    gOpenBudget = budget;
    gOpenMinRows = std::max<std::size_t>(minRows, 1);
}

std::size_t DataSet::openMinRows() {
    return gOpenMinRows;
}

std::chrono::milliseconds DataSet::openBudget() {
    return gOpenBudget;
}

void DataSet::setScanSwitch(ScanSwitch mode) {
    gScanSwitch = mode;
}

DataSet::ScanSwitch DataSet::scanSwitch() {
    return gScanSwitch;
}

bool preferScan(double orderedSeconds, std::size_t found, std::size_t wanted, double scanSeconds) {
    if (found >= wanted || !(scanSeconds > 0) || !(orderedSeconds >= scanSeconds)) return false;
    const double rest = static_cast<double>(wanted - found) * orderedSeconds / static_cast<double>(found + 1);
    return rest > scanSeconds;
}

namespace {

// Row keys: four bytes each while every key fits, eight from the first that
// does not.
class KeyColumn {
public:
    std::size_t size() const { return wide_ ? wideKeys_.size() : narrow_.size(); }
    std::int64_t operator[](std::size_t i) const { return wide_ ? wideKeys_[i] : narrow_[i]; }
    void push_back(std::int64_t key) {
        if (!wide_ && key >= std::numeric_limits<std::int32_t>::min() && key <= std::numeric_limits<std::int32_t>::max()) {
            narrow_.push_back(static_cast<std::int32_t>(key));
            return;
        }
        if (!wide_) {
            wideKeys_.assign(narrow_.begin(), narrow_.end());
            std::vector<std::int32_t>().swap(narrow_);
            wide_ = true;
        }
        wideKeys_.push_back(key);
    }
    bool ascending() const {
        return wide_ ? std::is_sorted(wideKeys_.begin(), wideKeys_.end()) : std::is_sorted(narrow_.begin(), narrow_.end());
    }
    std::size_t bytes() const {
        return narrow_.capacity() * sizeof(std::int32_t) + wideKeys_.capacity() * sizeof(std::int64_t);
    }
    void clear() {
        std::vector<std::int32_t>().swap(narrow_);
        std::vector<std::int64_t>().swap(wideKeys_);
        wide_ = false;
    }
    void reserve(std::size_t n) { wide_ ? wideKeys_.reserve(n) : narrow_.reserve(n); }

private:
    bool wide_ = false;
    std::vector<std::int32_t> narrow_;
    std::vector<std::int64_t> wideKeys_;
};

// Sorts words by their upper 32 bits, stably: a byte at a time from the
// lowest, skipping a byte every word shares. Several times quicker than a
// comparison sort on a million words.
void radixSortByHighWord(std::vector<std::uint64_t>& words) {
    std::vector<std::uint64_t> spare(words.size());
    for (int shift = 32; shift < 64; shift += 8) {
        std::array<std::size_t, 256> count{};
        for (const std::uint64_t w : words) ++count[(w >> shift) & 0xffU];
        if (std::find(count.begin(), count.end(), words.size()) != count.end()) continue;
        std::size_t sum = 0;
        for (std::size_t& c : count) {
            const std::size_t here = c;
            c = sum;
            sum += here;
        }
        for (const std::uint64_t w : words) spare[count[(w >> shift) & 0xffU]++] = w;
        words.swap(spare);
    }
}

}  // namespace

namespace {

// A progress callback on a connection for a scope (removed on the way out,
// however it is left: the callback's data lives in the scope).
class ProgressCallback {
public:
    ProgressCallback(sqlite3* db, int (*fn)(void*), void* arg) : db_(db) {
        sqlite3_progress_handler(db_, kProgressOps, fn, arg);
    }
    ~ProgressCallback() { sqlite3_progress_handler(db_, 0, nullptr, nullptr); }
    ProgressCallback(const ProgressCallback&) = delete;
    ProgressCallback& operator=(const ProgressCallback&) = delete;

private:
    sqlite3* db_;
};

}  // namespace

struct DataSet::KeysetState {
    // Rows read at a time: a window of neighbouring rows of the view.
    static constexpr std::size_t kWindow = 64;
    // Rows the cache holds.
    static constexpr std::size_t kCacheRows = 2048;
    static constexpr RowId kNoRow = std::numeric_limits<RowId>::max();

    struct Rank {
        int field = -1;
        bool usable = true;  // every value fitted in 32 bits
        std::vector<std::int32_t> values;
    };
    struct CachedRow {
        RowId row = kNoRow;
        bool used = false;  // read since it was stored or last passed over
        std::vector<CellType> types;
        // The integer, the double's bits, or offset << 32 | length in bytes.
        std::vector<std::uint64_t> payload;
        std::string bytes;
    };

    sqlite3* db = nullptr;
    int keyField = -1;
    std::size_t columns = 0;
    std::vector<Rank> ranks;
    KeyColumn keys;
    Statement keyStmt;
    bool complete = false;
    std::string error;

    Database* database = nullptr;
    std::string pageJet;     // the statement for rows by key, less the key list
    std::string pageSuffix;  // "… key IN (?, …)" in the engine's dialect
    Statement pageStmt;
    int firstKeyParam = 0;

    std::vector<CachedRow> cache;
    std::size_t nextSlot = 0;
    std::unordered_map<RowId, std::uint32_t> slotOf;
    mutable RowId lastRow = kNoRow;
    mutable std::uint32_t lastSlot = 0;

    std::size_t bytes() const {
        std::size_t total = keys.bytes() + sideKeys.bytes();
        for (const Rank& r : ranks) total += r.values.capacity() * sizeof(std::int32_t);
        for (const Rank& r : sideRanks) total += r.values.capacity() * sizeof(std::int32_t);
        for (const CachedRow& c : cache)
            total += sizeof(CachedRow) + c.types.capacity() + c.payload.capacity() * sizeof(std::uint64_t) +
                     c.bytes.capacity();
        total += slotOf.size() * (sizeof(RowId) + sizeof(std::uint32_t) + 2 * sizeof(void*));
        return total;
    }

    // Appends one row of a key statement (key, then the ranks in order).
    // One call for each value: the value's own accessors are cheaper than
    // the statement's.
    static void pushKey(sqlite3_stmt* st, KeyColumn& keysOut, std::vector<Rank>& ranksOut) {
        sqlite3_value* key = sqlite3_column_value(st, 0);
        keysOut.push_back(sqlite3_value_type(key) == SQLITE_INTEGER ? sqlite3_value_int64(key)
                                                                     : std::numeric_limits<std::int64_t>::min());
        for (std::size_t k = 0; k < ranksOut.size(); ++k) {
            Rank& r = ranksOut[k];
            sqlite3_value* value = sqlite3_column_value(st, static_cast<int>(k + 1));
            std::int32_t v = kNullRank;
            const int type = sqlite3_value_type(value);
            if (type == SQLITE_INTEGER) {
                const std::int64_t x = sqlite3_value_int64(value);
                if (x > std::numeric_limits<std::int32_t>::min() && x <= std::numeric_limits<std::int32_t>::max())
                    v = static_cast<std::int32_t>(x);
                else
                    r.usable = false;
            } else if (type != SQLITE_NULL) {
                r.usable = false;
            }
            r.values.push_back(v);
        }
    }

    void finish(const std::string& why) {
        if (!why.empty()) error = why;
        complete = true;
        keyStmt.finalize();
        dropSide();
    }

    // Steps the key statement up to maxRows times, or until the clock says
    // stop (checked every 64 rows; open's watch stops a long step too).
    // Returns the rows read.
    std::size_t read(std::size_t maxRows, std::chrono::steady_clock::time_point deadline, bool useDeadline) {
        std::size_t n = 0;
        sqlite3_stmt* st = keyStmt.handle();
        while (!complete && n < maxRows) {
            if (useDeadline && n >= gOpenMinRows && ((n - gOpenMinRows) & 63) == 0 &&
                std::chrono::steady_clock::now() >= deadline)
                break;
            const int rc = sqlite3_step(st);
            if (rc == SQLITE_INTERRUPT && watch.stop != Stop::None) break;  // stopped by open's watch
            if (rc != SQLITE_ROW) {
                finish(rc != SQLITE_DONE ? sqlite3_errmsg(db) : "");
                break;
            }
            if (rerun > 0) {
                // Started again: the rows already known come first.
                const std::size_t at = keys.size() - rerun--;
                sqlite3_value* key = sqlite3_column_value(st, 0);
                if (sqlite3_value_type(key) != SQLITE_INTEGER || sqlite3_value_int64(key) != keys[at]) {
                    finish("Wynik zapytania zmienił się w czasie czytania.");
                    break;
                }
                continue;
            }
            if (keys.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max()) - 1) {
                finish("Wynik zapytania ma zbyt wiele wierszy.");
                break;
            }
            pushKey(st, keys, ranks);
            ++n;
        }
        return n;
    }

    // --- the side scan
    // When the statement is ordered by one rank ascending, the keys in that
    // order are cheaper to get by reading the result in the engine's own
    // order and sorting it here by (rank, key), as the rank's index orders
    // it: the ordered statement visits the table's rows at random, a plain
    // scan visits each page once. The ordered statement still gives the
    // first rows and whatever is needed before the scan is done; the scan's
    // result replaces the keys only if it starts with the same rows.
    Statement sideStmt;
    int sideRank = -1;  // the rank the statement is ordered by
    KeyColumn sideKeys;
    std::vector<Rank> sideRanks;

    bool sideActive() const { return static_cast<bool>(sideStmt); }

    void dropSide() {
        sideStmt.finalize();
        sideKeys.clear();
        std::vector<Rank>().swap(sideRanks);
    }

    // Steps the side scan up to maxRows times; takes its result when done.
    void readSide(std::size_t maxRows) {
        sqlite3_stmt* st = sideStmt.handle();
        for (std::size_t n = 0; n < maxRows; ++n) {
            const int rc = sqlite3_step(st);
            if (rc == SQLITE_ROW) {
                if (sideKeys.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max()) - 1) {
                    dropSide();
                    return;
                }
                pushKey(st, sideKeys, sideRanks);
                continue;
            }
            // A failing scan is only a lost shortcut: the ordered statement goes on.
            if (rc == SQLITE_DONE) takeSide();
            dropSide();
            return;
        }
    }

    void takeSide() {
        const Rank& order = sideRanks[static_cast<std::size_t>(sideRank)];
        if (!order.usable) return;
        const std::size_t n = sideKeys.size();
        if (keys.size() > n) return;
        const std::vector<std::uint32_t> at = sideOrder(order.values);
        // The rows already known must open the sorted result, in their order.
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (sideKeys[at[i]] != keys[i]) return;
        KeyColumn sortedKeys;
        sortedKeys.reserve(n);
        for (std::size_t i = 0; i < n; ++i) sortedKeys.push_back(sideKeys[at[i]]);
        for (std::size_t k = 0; k < ranks.size(); ++k) {
            std::vector<std::int32_t> values(n);
            const std::vector<std::int32_t>& from = sideRanks[k].values;
            for (std::size_t i = 0; i < n; ++i) values[i] = from[at[i]];
            ranks[k].values = std::move(values);
            ranks[k].usable = sideRanks[k].usable;
        }
        keys = std::move(sortedKeys);
        complete = true;
        keyStmt.finalize();
    }

    // --- open's first keys
    // During open the ordered statement is watched through the engine's
    // progress callback, which may stop it in the middle of a step (a step
    // can last seconds: the next match, or the end, may lie far down the
    // order):
    // - once it has the minimum rows and the budget is spent: open returns
    //   without waiting for the next row; the statement starts again when
    //   more are wanted, passing over the rows already known;
    // - while it is short of them, when preferScan says the side scan would
    //   be quicker (its matches lie far down the order, after rows it visits
    //   at random): the side scan, timed for a moment beforehand (the engine
    //   cannot run two statements of a connection at once), then runs to its
    //   end and gives every key.
    enum class Stop { None, Budget, Scan };
    struct Watch {
        KeysetState* ks = nullptr;
        std::chrono::steady_clock::time_point start;
        std::chrono::steady_clock::time_point deadline;
        bool racing = false;  // may give way to the side scan
        Stop stop = Stop::None;

        static int check(void* self) noexcept {
            Watch& w = *static_cast<Watch*>(self);
            const std::size_t found = w.ks->keys.size();
            const auto now = std::chrono::steady_clock::now();
            if (found >= gOpenMinRows) {
                if (now < w.deadline) return 0;
                w.stop = Stop::Budget;
            } else {
                if (!w.racing) return 0;
                const std::chrono::duration<double> t = now - w.start;
                if (gScanSwitch != DataSet::ScanSwitch::AtOnce &&
                    !preferScan(t.count(), found, gOpenMinRows, w.ks->scanSeconds))
                    return 0;
                w.stop = Stop::Scan;
            }
            return 1;  // the engine stops the statement with SQLITE_INTERRUPT
        }
    };
    Watch watch;
    double scanSeconds = 0;  // the side scan's expected time; 0: unknown
    std::size_t rerun = 0;   // known rows a restarted statement gives first

    // Times the side scan for `span` and reckons its whole time from the
    // share of the table's `tableRows` it visited. Its rows are not kept.
    void probeSide(std::int64_t tableRows, std::chrono::steady_clock::duration span) {
        scanSeconds = 0;
        sqlite3_stmt* st = sideStmt.handle();
        if (st == nullptr || tableRows <= 0) return;
        sqlite3_stmt_status(st, SQLITE_STMTSTATUS_FULLSCAN_STEP, 1);
        struct Timer {
            std::chrono::steady_clock::time_point at;
            static int check(void* self) noexcept {
                return std::chrono::steady_clock::now() >= static_cast<Timer*>(self)->at ? 1 : 0;
            }
        };
        const auto start = std::chrono::steady_clock::now();
        Timer timer{start + span};
        int rc;
        {
            const ProgressCallback watching(db, &Timer::check, &timer);
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            }
        }
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        const std::int64_t visited = sqlite3_stmt_status(st, SQLITE_STMTSTATUS_FULLSCAN_STEP, 1);
        sqlite3_reset(st);
        // A scan done within the probe: a small result, quick either way.
        if (rc == SQLITE_INTERRUPT && visited > 0 && visited < tableRows)
            scanSeconds = seconds.count() * static_cast<double>(tableRows) / static_cast<double>(visited);
    }

    // Reads the ordered statement under watch until `deadline` (at least
    // the minimum rows); says why it stopped early.
    Stop watchedRead(std::chrono::steady_clock::time_point deadline, bool racing) {
        watch.ks = this;
        watch.start = std::chrono::steady_clock::now();
        watch.deadline = deadline;
        watch.racing = racing;
        watch.stop = Stop::None;
        {
            const ProgressCallback watching(db, &Watch::check, &watch);
            read(std::numeric_limits<std::size_t>::max(), deadline, true);
        }
        const Stop stop = watch.stop;
        watch.stop = Stop::None;
        if (stop == Stop::Budget) {
            sqlite3_reset(keyStmt.handle());
            rerun = keys.size();
        }
        return stop;
    }

    // Reads the first keys for open: the ordered statement until `deadline`,
    // or the side scan to its end if the ordered statement gives way to it.
    void readFirst(std::chrono::steady_clock::time_point deadline) {
        const bool racing = sideActive() && (gScanSwitch == DataSet::ScanSwitch::AtOnce || scanSeconds > 0);
        if (watchedRead(deadline, racing) != Stop::Scan) return;
        // The statement is slow to its first rows, so the grid's pages are
        // read by their keys, never by streaming it from its start.
        streamDead = true;
        readSide(std::numeric_limits<std::size_t>::max());
        if (complete) return;
        // The scan could not serve (a rank past 32 bits, another order, a
        // failure): the ordered statement again from its start.
        sqlite3_reset(keyStmt.handle());
        keys.clear();
        for (Rank& r : ranks) {
            std::vector<std::int32_t>().swap(r.values);
            r.usable = true;
        }
        watchedRead(deadline, false);
    }

    // The positions of the scan's rows in the order of (rank, key), as the
    // rank's index orders them.
    std::vector<std::uint32_t> sideOrder(const std::vector<std::int32_t>& rank) const {
        const std::size_t n = sideKeys.size();
        const auto biased = [&](std::size_t i) { return static_cast<std::uint32_t>(rank[i]) ^ 0x80000000U; };
        std::vector<std::uint32_t> at(n);
        if (sideKeys.ascending()) {
            // Keys in scan order (the table read by its key): ties are already
            // in key order, so a stable sort by the rank alone will do.
            std::vector<std::uint64_t> words(n);
            for (std::size_t i = 0; i < n; ++i) words[i] = static_cast<std::uint64_t>(biased(i)) << 32 | i;
            radixSortByHighWord(words);
            for (std::size_t i = 0; i < n; ++i) at[i] = static_cast<std::uint32_t>(words[i] & 0xffffffffU);
            return at;
        }
        struct Entry {
            std::uint32_t rank;
            std::int64_t key;
            std::uint32_t at;
        };
        std::vector<Entry> entries(n);
        for (std::size_t i = 0; i < n; ++i) entries[i] = {biased(i), sideKeys[i], static_cast<std::uint32_t>(i)};
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
            return a.rank != b.rank ? a.rank < b.rank : a.key < b.key;
        });
        for (std::size_t i = 0; i < n; ++i) at[i] = entries[i].at;
        return at;
    }

    const CachedRow* find(RowId row) {
        if (row == lastRow) return &cache[lastSlot];
        const auto it = slotOf.find(row);
        if (it == slotOf.end()) return nullptr;
        lastRow = row;
        lastSlot = it->second;
        CachedRow& c = cache[it->second];
        c.used = true;
        return &c;
    }

    CachedRow& takeSlot(RowId row) {
        if (cache.size() < kCacheRows) {
            cache.emplace_back();
            nextSlot = cache.size() % kCacheRows;
            CachedRow& c = cache.back();
            c.row = row;
            slotOf[row] = static_cast<std::uint32_t>(cache.size() - 1);
            return c;
        }
        // Second chance: a row read again since it was stored stays for one
        // more round (the current row, a page on screen).
        while (cache[nextSlot].used) {
            cache[nextSlot].used = false;
            nextSlot = (nextSlot + 1) % kCacheRows;
        }
        const auto slot = static_cast<std::uint32_t>(nextSlot);
        nextSlot = (nextSlot + 1) % kCacheRows;
        CachedRow& c = cache[slot];
        c.used = false;
        if (c.row != kNoRow) slotOf.erase(c.row);
        if (lastSlot == slot) lastRow = kNoRow;
        c.row = row;
        slotOf[row] = slot;
        return c;
    }

    // Stores the statement's row; with `fields`, its column i is field
    // fields[i] and the other fields are NULL.
    void storeRow(CachedRow& c, sqlite3_stmt* st, const std::vector<std::size_t>* fields = nullptr) {
        c.bytes.clear();
        if (fields != nullptr) {
            c.types.assign(columns, CellType::Null);
            c.payload.assign(columns, 0);
        } else {
            c.types.resize(columns);
            c.payload.resize(columns);
        }
        const std::size_t given = fields != nullptr ? fields->size() : columns;
        for (std::size_t i = 0; i < given; ++i) {
            const std::size_t col = fields != nullptr ? (*fields)[i] : i;
            sqlite3_value* v = sqlite3_column_value(st, static_cast<int>(i));
            const int type = sqlite3_value_type(v);
            switch (type) {
                case SQLITE_INTEGER:
                    c.types[col] = CellType::Integer;
                    c.payload[col] = static_cast<std::uint64_t>(sqlite3_value_int64(v));
                    break;
                case SQLITE_FLOAT: {
                    const double d = sqlite3_value_double(v);
                    c.types[col] = CellType::Real;
                    std::memcpy(&c.payload[col], &d, sizeof d);
                    break;
                }
                case SQLITE_TEXT:
                case SQLITE_BLOB: {
                    c.types[col] = type == SQLITE_TEXT ? CellType::Text : CellType::Blob;
                    const auto* p = static_cast<const char*>(sqlite3_value_blob(v));
                    const int n = sqlite3_value_bytes(v);
                    const std::size_t len = n > 0 ? static_cast<std::size_t>(n) : 0;
                    c.payload[col] = (static_cast<std::uint64_t>(c.bytes.size()) << 32) | len;
                    if (len > 0) c.bytes.append(p, len);
                    break;
                }
                default:
                    c.types[col] = CellType::Null;
                    c.payload[col] = 0;
                    break;
            }
        }
    }

    static void storeNulls(CachedRow& c, std::size_t columns) {
        c.types.assign(columns, CellType::Null);
        c.payload.assign(columns, 0);
        c.bytes.clear();
    }

    // --- the stream
    // A walk in the statement's own order (an export, a report, the grid
    // paging down) reads the full statement from its start instead, the
    // way the engine gives it, at its own speed. Each row's key must be the
    // one expected at its place; otherwise the stream is given up.
    static constexpr std::size_t kStreamReach = 1024;
    std::string fullJet;
    std::string keyOrderJet;  // the full statement ordered by the key
    // For a walk of some fields only: "TABLE.COLUMN" of each data field
    // (empty for an expression), and the statement around the select list.
    std::vector<std::string> origins;
    bool walkable = false;   // a plain SELECT (DISTINCT needs every column)
    std::string walkTail;    // " FROM … WHERE … ORDER BY key"
    CachedRow walk;          // the row being visited
    std::vector<bool> walkHas;  // the fields the walk reads

    Statement streamStmt;
    std::size_t streamPos = 0;  // the row the next step gives
    bool streamDead = false;

    bool canStream(RowId row) {
        if (streamDead) return false;
        // A walk that starts again from the top starts the statement again.
        if (row == 0 && streamPos > 0) {
            streamStmt.finalize();
            streamPos = 0;
        }
        return row >= streamPos && row - streamPos <= kStreamReach;
    }

    void stream(RowId row, std::size_t knownRows) {
        if (!streamStmt) {
            std::string err;
            if (!database->prepare(fullJet, streamStmt, err)) {
                streamDead = true;
                return;
            }
        }
        sqlite3_stmt* st = streamStmt.handle();
        const std::size_t until = std::min<std::size_t>(std::size_t{row} + kWindow, knownRows);
        while (streamPos < until) {
            if (sqlite3_step(st) != SQLITE_ROW || sqlite3_column_type(st, keyField) != SQLITE_INTEGER ||
                sqlite3_column_int64(st, keyField) != keys[streamPos]) {
                streamDead = true;
                streamStmt.finalize();
                return;
            }
            const auto r = static_cast<RowId>(streamPos);
            if (slotOf.find(r) == slotOf.end()) storeRow(takeSlot(r), st);
            ++streamPos;
        }
    }

    // Reads the given rows (at most kWindow) by their keys into the cache.
    void fetch(const std::vector<RowId>& rows) {
        if (rows.empty()) return;
        std::string err;
        if (!pageStmt) {
            if (!database->prepare(pageJet, pageSuffix, static_cast<int>(kWindow), pageStmt, err)) {
                error = err;
            } else {
                firstKeyParam = sqlite3_bind_parameter_count(pageStmt.handle()) - static_cast<int>(kWindow) + 1;
            }
        }
        std::vector<std::pair<std::int64_t, RowId>> wanted;
        wanted.reserve(rows.size());
        for (RowId r : rows) wanted.emplace_back(keys[r], r);
        std::sort(wanted.begin(), wanted.end());
        std::vector<bool> got(wanted.size(), false);
        if (pageStmt) {
            sqlite3_stmt* st = pageStmt.handle();
            sqlite3_reset(st);
            for (std::size_t i = 0; i < kWindow; ++i) {
                const std::int64_t key = wanted[i < wanted.size() ? i : 0].first;
                sqlite3_bind_int64(st, firstKeyParam + static_cast<int>(i), key);
            }
            int rc;
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                if (sqlite3_column_type(st, keyField) != SQLITE_INTEGER) continue;
                const std::int64_t key = sqlite3_column_int64(st, keyField);
                auto it = std::lower_bound(wanted.begin(), wanted.end(), std::make_pair(key, RowId{0}));
                // The same key twice in the result: every such row gets these values.
                for (; it != wanted.end() && it->first == key; ++it) {
                    const auto i = static_cast<std::size_t>(it - wanted.begin());
                    if (got[i]) continue;
                    got[i] = true;
                    storeRow(takeSlot(it->second), st);
                    break;
                }
            }
            if (rc != SQLITE_DONE) error = sqlite3_errmsg(db);
            sqlite3_reset(st);
        }
        // Rows the engine did not give back (or could not) read as empty.
        for (std::size_t i = 0; i < wanted.size(); ++i)
            if (!got[i]) storeNulls(takeSlot(wanted[i].second), columns);
    }
};

namespace {

// The rank (index into `ranks`) that an order clause "ORDER BY name [ASC]"
// names, or -1 for any other order.
template <typename Rank>
int orderedByRank(std::string_view order, const std::vector<std::string>& names, const std::vector<Rank>& ranks) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < order.size()) {
        while (i < order.size() && (order[i] == ' ' || order[i] == '\t' || order[i] == '\r' || order[i] == '\n')) ++i;
        std::size_t j = i;
        while (j < order.size() && order[j] != ' ' && order[j] != '\t' && order[j] != '\r' && order[j] != '\n') ++j;
        if (j > i) words.push_back(order.substr(i, j - i));
        i = j;
    }
    const auto same = [](std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (std::size_t k = 0; k < a.size(); ++k)
            if (asciiLower(a[k]) != asciiLower(b[k])) return false;
        return true;
    };
    if (words.size() < 3 || words.size() > 4 || !same(words[0], "ORDER") || !same(words[1], "BY")) return -1;
    if (words.size() == 4 && !same(words[3], "ASC")) return -1;
    std::string_view column = words[2];
    if (column.find_first_of(",()\"'[") != std::string_view::npos) return -1;
    // The bare column name, as a rank field is named when it is unique.
    if (const auto dot = column.rfind('.'); dot != std::string_view::npos) column = column.substr(dot + 1);
    for (std::size_t k = 0; k < ranks.size(); ++k) {
        std::string_view field = names[static_cast<std::size_t>(ranks[k].field)];
        if (const auto dot = field.rfind('.'); dot != std::string_view::npos) field = field.substr(dot + 1);
        if (same(field, column)) return static_cast<int>(k);
    }
    return -1;
}

// The largest rowid of a table, as its number of rows (0 when unknown).
std::int64_t largestRowid(sqlite3* db, const char* table) {
    if (table == nullptr) return 0;
    std::string sql = "SELECT max(rowid) FROM \"";
    for (const char* c = table; *c != 0; ++c) sql += *c == '"' ? std::string("\"\"") : std::string(1, *c);
    sql += "\"";
    sqlite3_stmt* st = nullptr;
    std::int64_t rows = 0;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && st != nullptr &&
        sqlite3_step(st) == SQLITE_ROW && sqlite3_column_type(st, 0) == SQLITE_INTEGER)
        rows = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return rows;
}

}  // namespace

// Runs the key statement instead of loading the result. False when the
// statement does not lend itself to it (the caller loads it whole); `error`
// is set only when the key statement failed to run.
bool DataSet::openKeyed(Statement& full, std::string& error) {
    if (keysetSpec_.keyField.empty() || db_ == nullptr) return false;
    jet::SelectParts parts;
    if (!jet::splitSelect(sql_, parts)) return false;
    sqlite3_stmt* fs = full.handle();
    const std::vector<std::string> names = jet::fieldNames(fs);
    // "TABLE.COLUMN" of a field that is a column of a table, else empty.
    const auto origin = [&](int field) -> std::string {
        if (field < 0) return {};
        const char* t = sqlite3_column_table_name(fs, field);
        const char* c = sqlite3_column_origin_name(fs, field);
        if (t == nullptr || c == nullptr) return {};
        return std::string(t) + "." + c;
    };
    auto ks = std::make_unique<KeysetState>();
    ks->db = db_->handle();
    ks->database = db_;
    ks->columns = names.size();
    ks->keyField = jet::findField(names, keysetSpec_.keyField);
    const std::string keyExpr = origin(ks->keyField);
    if (keyExpr.empty()) return false;
    std::string list = keyExpr;
    for (const std::string& rankName : keysetSpec_.rankFields) {
        const int field = jet::findField(names, rankName);
        const std::string expr = origin(field);
        if (expr.empty()) continue;  // not in this result: sorts by reading its values
        list += ", " + expr;
        KeysetState::Rank r;
        r.field = field;
        ks->ranks.push_back(std::move(r));
    }
    std::string where;
    if (!parts.where.empty()) {
        where = " WHERE (";
        where.append(parts.where);
        where += ")";
    }
    std::string keyJet(parts.head);
    keyJet += " " + list + " ";
    keyJet.append(parts.from);
    keyJet += where;
    if (!parts.order.empty()) {
        keyJet += " ";
        keyJet.append(parts.order);
    }
    ks->fullJet = sql_;
    for (std::size_t f = 0; f < names.size(); ++f) ks->origins.push_back(origin(static_cast<int>(f)));
    ks->walkable = parts.head == "SELECT";
    ks->walkTail = " " + std::string(parts.from) + where + " ORDER BY " + keyExpr;
    ks->keyOrderJet = std::string(parts.head) + std::string(parts.list) + std::string(parts.from) + where +
                      " ORDER BY " + keyExpr;
    ks->pageJet = std::string(parts.head) + std::string(parts.list) + std::string(parts.from) + where;
    ks->pageSuffix = (where.empty() ? " WHERE " : " AND ") + keyExpr + " IN (";
    for (std::size_t i = 0; i < KeysetState::kWindow; ++i) ks->pageSuffix += i == 0 ? "?" : ",?";
    ks->pageSuffix += ")";
    std::string err;
    if (!db_->prepare(keyJet, ks->keyStmt, err)) return false;  // not ours to judge: load it whole
    const int orderRank = orderedByRank(parts.order, names, ks->ranks);
    if (orderRank >= 0) {
        std::string sideJet(parts.head);
        sideJet += " " + list + " ";
        sideJet.append(parts.from);
        sideJet += where;
        if (db_->prepare(sideJet, ks->sideStmt, err)) {
            ks->sideRank = orderRank;
            ks->sideRanks = ks->ranks;
        }
    }

    if (ks->sideActive() && gScanSwitch == ScanSwitch::Auto)
        ks->probeSide(largestRowid(ks->db, sqlite3_column_table_name(fs, ks->keyField)), kScanProbe);
    const auto deadline = std::chrono::steady_clock::now() + gOpenBudget;
    ks->readFirst(deadline);
    if (!ks->error.empty()) {
        error = ks->error;
        return true;  // failed: error set
    }
    ks->cache.reserve(KeysetState::kCacheRows);
    keyset_ = std::move(ks);
    rows_ = keyset_->keys.size();
    names_ = names;
    view_.resize(rows_);
    for (std::size_t i = 0; i < rows_; ++i) view_[i] = static_cast<RowId>(i);
    return true;
}

bool DataSet::complete() const {
    return keyset_ == nullptr || keyset_->complete;
}

const std::string& DataSet::loadError() const {
    return keyset_ != nullptr ? keyset_->error : emptyString();
}

void DataSet::appendKeys(std::size_t maxRows) {
    if (keyset_ == nullptr || keyset_->complete) return;
    const std::size_t n = keyset_->read(maxRows, {}, false);
    if (n == 0) return;
    rows_ = keyset_->keys.size();
    // Keys arrive only while the view is the statement's order (a sort or
    // filter reads them all first).
    const std::size_t from = view_.size();
    view_.resize(from + n);
    for (std::size_t i = from; i < view_.size(); ++i) view_[i] = static_cast<RowId>(i);
    positionValid_ = false;
}

std::size_t DataSet::fetchMore(std::size_t maxRows) {
    if (!active_ || keyset_ == nullptr || keyset_->complete) return 0;
    if (!keyset_->sideActive()) return fetchInOrder(maxRows);
    // Nothing shows until the scan is done; then every row at once.
    const std::size_t before = view_.size();
    keyset_->readSide(maxRows);
    if (!keyset_->complete) return 0;
    rows_ = keyset_->keys.size();
    view_.resize(rows_);
    for (std::size_t i = before; i < rows_; ++i) view_[i] = static_cast<RowId>(i);
    positionValid_ = false;
    notifyGrow();
    return rows_ - before;
}

std::size_t DataSet::fetchInOrder(std::size_t maxRows) {
    if (!active_ || keyset_ == nullptr || keyset_->complete) return 0;
    const std::size_t before = view_.size();
    appendKeys(maxRows);
    const std::size_t added = view_.size() - before;
    if (added > 0 || keyset_->complete) notifyGrow();
    return added;
}

bool DataSet::fetchAll() {
    // A side scan that fails leaves the rest to the ordered statement: a second round.
    while (active_ && keyset_ != nullptr && !keyset_->complete) fetchMore(std::numeric_limits<std::size_t>::max());
    return loadError().empty();
}

bool DataSet::ensureKnown(std::size_t rows) const {
    if (view_.size() >= rows || complete() || !active_) return view_.size() >= rows;
    auto* self = const_cast<DataSet*>(this);
    // A move well past the known rows waits for them all (the quicker way
    // to the end); a step just past them reads on in order, a batch at a
    // time, so a walk does not read row by row.
    if (rows - view_.size() > 65536) {
        self->fetchAll();
        return view_.size() >= rows;
    }
    self->fetchInOrder(std::max<std::size_t>(rows - view_.size(), 4096));
    while (view_.size() < rows && !complete()) self->fetchInOrder(rows - view_.size());
    return view_.size() >= rows;
}

bool DataSet::visitByKey(const std::function<bool(int viewRow)>& visit, const std::vector<int>& fields) {
    if (!active_) return true;
    const auto inViewOrder = [&](std::size_t from) {
        for (std::size_t v = from; v < view_.size(); ++v)
            if (!visit(static_cast<int>(v))) return false;
        return loadError().empty();
    };
    if (keyset_ == nullptr) return inViewOrder(0);
    if (!fetchAll()) return false;
    KeysetState& ks = *keyset_;
    // Some fields only: the walk's statement lists just their columns, and
    // its rows stay out of the cache (the other fields would be missing).
    bool some = !fields.empty() && ks.walkable;
    std::vector<bool> has(ks.columns, false);
    for (const int f : fields) {
        // A computed field is worked out as usual, from whatever it reads.
        if (f < 0 || static_cast<std::size_t>(f) >= ks.columns) continue;
        if (ks.origins[static_cast<std::size_t>(f)].empty()) some = false;  // an expression
        has[static_cast<std::size_t>(f)] = true;
    }
    has[static_cast<std::size_t>(ks.keyField)] = true;
    // The walk's statement lists the fields it reads; walkCols maps its
    // columns to the fields.
    std::string walkJet = ks.keyOrderJet;
    std::vector<std::size_t> walkCols;
    int keyCol = ks.keyField;
    if (some) {
        walkJet = "SELECT";
        for (std::size_t f = 0; f < ks.columns; ++f) {
            if (!has[f]) continue;
            if (static_cast<int>(f) == ks.keyField) keyCol = static_cast<int>(walkCols.size());
            walkJet += walkCols.empty() ? " " : ", ";
            walkJet += ks.origins[f];
            walkCols.push_back(f);
        }
        walkJet += ks.walkTail;
    }
    Statement st;
    std::string err;
    if (!db_->prepare(walkJet, st, err)) {
        if (!some || !db_->prepare(ks.keyOrderJet, st, err)) return inViewOrder(0);
        some = false;
        keyCol = ks.keyField;
    }
    // Whatever happens, the walk's row is forgotten on the way out.
    struct WalkEnd {
        KeysetState& ks;
        ~WalkEnd() {
            ks.walk.row = KeysetState::kNoRow;
            ks.walkHas.clear();
        }
    } walkEnd{ks};
    if (some) ks.walkHas = std::move(has);
    // The view's rows by key; each row the statement gives is handed to the
    // next row of the view with its key.
    std::vector<std::pair<std::int64_t, std::uint32_t>> byKey(view_.size());
    for (std::size_t v = 0; v < view_.size(); ++v) byKey[v] = {ks.keys[view_[v]], static_cast<std::uint32_t>(v)};
    std::sort(byKey.begin(), byKey.end());
    std::vector<std::uint32_t> missed;  // rows of the view the statement passed by
    std::size_t at = 0;
    sqlite3_stmt* h = st.handle();
    int rc = SQLITE_DONE;
    while (at < byKey.size() && (rc = sqlite3_step(h)) == SQLITE_ROW) {
        if (sqlite3_column_type(h, keyCol) != SQLITE_INTEGER) continue;
        const std::int64_t key = sqlite3_column_int64(h, keyCol);
        while (at < byKey.size() && byKey[at].first < key) missed.push_back(byKey[at++].second);
        if (at == byKey.size() || byKey[at].first != key) continue;  // not in the view
        const std::uint32_t v = byKey[at++].second;
        const RowId row = view_[v];
        if (some) {
            ks.walk.row = row;
            ks.storeRow(ks.walk, h, &walkCols);
        } else {
            const auto it = ks.slotOf.find(row);
            ks.storeRow(it != ks.slotOf.end() ? ks.cache[it->second] : ks.takeSlot(row), h);
        }
        if (!visit(static_cast<int>(v))) return false;
    }
    ks.walk.row = KeysetState::kNoRow;
    if (at < byKey.size() && rc != SQLITE_DONE) {
        ks.error = sqlite3_errmsg(ks.db);
        return false;
    }
    // Whatever the statement did not give is read the usual way.
    for (; at < byKey.size(); ++at) missed.push_back(byKey[at].second);
    std::sort(missed.begin(), missed.end());
    for (std::uint32_t v : missed)
        if (!visit(static_cast<int>(v))) return false;
    return loadError().empty();
}

int DataSet::recordCount() const {
    if (keyset_ != nullptr && !keyset_->complete) const_cast<DataSet*>(this)->fetchAll();
    return static_cast<int>(view_.size());
}

Cell DataSet::keyedCell(RowId row, int field) const {
    KeysetState& ks = *keyset_;
    const bool walking = row == ks.walk.row;  // the row a walk visits
    const KeysetState::CachedRow* c =
        walking && ks.walkHas[static_cast<std::size_t>(field)] ? &ks.walk : ks.find(row);
    // Only once every key is known: a statement whose order the engine must
    // sort gives its first row after its last, and the first page must not wait.
    if (c == nullptr && !walking && ks.complete && sortField_ < 0 && !filter_.active && ks.canStream(row)) {
        ks.stream(row, view_.size());
        c = ks.find(row);
    }
    if (c == nullptr) {
        // The window of the view around the row (aligned, so a page of the
        // grid needs one or two reads and a walk reads each window once).
        std::vector<RowId> rows;
        // A field a walk does not read, of the row it visits: that row alone.
        const int pos = walking ? -1 : viewRowOf(row);
        if (pos < 0) {
            rows.push_back(row);
        } else {
            const std::size_t start = static_cast<std::size_t>(pos) / KeysetState::kWindow * KeysetState::kWindow;
            const std::size_t end = std::min(view_.size(), start + KeysetState::kWindow);
            for (std::size_t v = start; v < end; ++v) {
                const RowId r = view_[v];
                if (r == row || ks.slotOf.find(r) == ks.slotOf.end()) rows.push_back(r);
            }
        }
        ks.fetch(rows);
        c = ks.find(row);
        if (c == nullptr) return {};
    }
    const auto col = static_cast<std::size_t>(field);
    const std::uint64_t bits = c->payload[col];
    switch (c->types[col]) {
        case CellType::Integer:
            return Cell::integer(static_cast<std::int64_t>(bits));
        case CellType::Real: {
            double d;
            std::memcpy(&d, &bits, sizeof d);
            return Cell::real(d);
        }
        case CellType::Text:
            return Cell::text(std::string_view(c->bytes).substr(bits >> 32, bits & 0xffffffffU));
        case CellType::Blob:
            return Cell::blob(std::string_view(c->bytes).substr(bits >> 32, bits & 0xffffffffU));
        default:
            return {};
    }
}

// Sorts by a rank kept in memory; false when the sort field is none of them.
bool DataSet::rankSort(std::vector<RowId>& order) const {
    if (keyset_ == nullptr) return false;
    const KeysetState::Rank* rank = nullptr;
    for (const auto& r : keyset_->ranks)
        if (r.field == sortField_ && r.usable) rank = &r;
    if (rank == nullptr) return false;
    // One 64-bit word per row: the rank made unsigned (order kept, the null
    // marker lowest), then the row, so equal ranks keep load order.
    std::vector<std::uint64_t> words(rows_);
    for (std::size_t r = 0; r < rows_; ++r) {
        std::uint32_t v = static_cast<std::uint32_t>(rank->values[r]) ^ 0x80000000U;
        if (!sortAscending_) v = ~v;
        words[r] = (static_cast<std::uint64_t>(v) << 32) | r;
    }
    std::sort(words.begin(), words.end());
    order.resize(rows_);
    for (std::size_t r = 0; r < rows_; ++r) order[r] = static_cast<RowId>(words[r] & 0xffffffffU);
    return true;
}

// ---------------------------------------------------------------------------
// DataSet

void DataSet::CalcRecord::set(int field, std::string utf8) {
    const int k = field - ds_.dataFieldCount();
    if (k >= 0 && static_cast<std::size_t>(k) < values_.size())
        values_[static_cast<std::size_t>(k)] = std::move(utf8);
}

void DataSet::CalcRecord::set(std::string_view fieldName, std::string utf8) {
    set(ds_.fieldIndex(fieldName), std::move(utf8));
}

DataSet::DataSet(Database* db) : db_(db) {}

DataSet::~DataSet() = default;

bool DataSet::open(std::string jetText, std::string& error) {
    sql_ = std::move(jetText);
    return open(error);
}

bool DataSet::open(std::string& error) {
    close();
    error.clear();
    if (db_ == nullptr) {
        error = "Brak połączenia z bazą danych.";
        return false;
    }
    Statement st;
    if (!db_->prepare(sql_, st, error)) return false;
    try {
        if (openKeyed(st, error)) {
            if (!error.empty()) return false;
            st.finalize();
            return finishOpen();
        }
        auto storage = std::make_unique<Storage>();
        std::size_t rows = 0;
        std::vector<std::string> names = jet::fieldNames(st.handle());
        if (!storage->load(db_->handle(), st.handle(), rows, error)) return false;
        st.finalize();
        std::vector<RowId> view(rows);
        for (std::size_t i = 0; i < rows; ++i) view[i] = static_cast<RowId>(i);

        storage_ = std::move(storage);
        rows_ = rows;
        names_ = std::move(names);
        view_ = std::move(view);
    } catch (const std::bad_alloc&) {
        error = "Za mało pamięci, by wczytać wynik zapytania.";
        return false;
    }
    return finishOpen();
}

bool DataSet::finishOpen() {
    active_ = true;
    rebuildFieldIndex();
    generation_ = nextGeneration();
    sortField_ = -1;
    sortAscending_ = true;
    filter_ = {};
    invalidateDerived();
    resolveDisplays();
    notifyReset(ResetReason::Opened);
    first();
    return true;
}

void DataSet::close() {
    if (!active_) return;
    active_ = false;
    storage_.reset();
    keyset_.reset();
    pendingGrow_ = false;
    rows_ = 0;
    names_.clear();
    fieldByName_.clear();
    displayOf_.clear();
    view_.clear();
    view_.shrink_to_fit();
    position_.clear();
    position_.shrink_to_fit();
    cur_ = -1;
    bof_ = eof_ = true;
    sortField_ = -1;
    sortAscending_ = true;
    filter_ = {};
    invalidateDerived();
    notifyReset(ResetReason::Closed);
}

// --- fields ----------------------------------------------------------------

int DataSet::fieldCount() const {
    return active_ ? static_cast<int>(names_.size() + computed_.size()) : 0;
}

std::size_t DataSet::NoCaseHash::operator()(std::string_view s) const noexcept {
    std::size_t h = 14695981039346656037ull;
    for (char c : s) h = (h ^ static_cast<unsigned char>(asciiLower(c))) * 1099511628211ull;
    return h;
}

bool DataSet::NoCaseEqual::operator()(std::string_view a, std::string_view b) const noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

// Data fields first, so a computed field never hides a column of the same name.
void DataSet::rebuildFieldIndex() {
    fieldByName_.clear();
    if (!active_) return;
    for (std::size_t i = 0; i < names_.size(); ++i) fieldByName_.emplace(names_[i], static_cast<int>(i));
    for (std::size_t k = 0; k < computed_.size(); ++k)
        fieldByName_.emplace(computed_[k].name, dataFieldCount() + static_cast<int>(k));
}

int DataSet::fieldIndex(std::string_view name) const {
    if (!active_) return -1;
    const auto it = fieldByName_.find(name);
    return it == fieldByName_.end() ? -1 : it->second;
}

const std::string& DataSet::fieldName(int field) const {
    if (!validField(field)) return emptyString();
    if (field < dataFieldCount()) return names_[static_cast<std::size_t>(field)];
    return computed_[static_cast<std::size_t>(field - dataFieldCount())].name;
}

int DataSet::addComputedField(std::string name, ComputeFn fn) {
    computed_.push_back(Computed{std::move(name), std::move(fn)});
    invalidateDerived();
    if (!active_) return -1;
    fieldByName_.emplace(computed_.back().name, fieldCount() - 1);
    resolveDisplays();
    return fieldCount() - 1;
}

int DataSet::addRowNumberField(std::string name) {
    return addComputedField(std::move(name), [](const DataSet& ds, RowId row) -> std::string {
        const int pos = ds.viewRowOf(row);
        if (pos < 0) return {};
        char buf[16];
        auto res = std::to_chars(buf, buf + sizeof buf, pos + 1);
        return std::string(buf, res.ptr);
    });
}

DataSet::DisplayFn DataSet::setDisplay(std::string_view fieldName, DisplayFn fn) {
    const std::string key = lowerAscii(fieldName);
    DisplayFn previous;
    auto it = std::find_if(displays_.begin(), displays_.end(), [&](const auto& d) { return d.first == key; });
    if (it != displays_.end()) {
        previous = std::move(it->second);
        if (fn) {
            it->second = std::move(fn);
        } else {
            displays_.erase(it);
        }
    } else if (fn) {
        displays_.emplace_back(key, std::move(fn));
    }
    if (active_) resolveDisplays();
    return previous;
}

void DataSet::resolveDisplays() {
    displayOf_.assign(static_cast<std::size_t>(fieldCount()), DisplayFn{});
    for (const auto& [name, fn] : displays_) {
        const int field = fieldIndex(name);
        if (field >= 0) displayOf_[static_cast<std::size_t>(field)] = fn;
    }
}

// --- cursor ----------------------------------------------------------------

void DataSet::placeCursor(int index) {
    if (index < 0 || view_.empty()) {
        cur_ = -1;
        bof_ = eof_ = true;
        return;
    }
    cur_ = index;
    bof_ = eof_ = false;
}

void DataSet::first() {
    if (!active_) return;
    placeCursor(0);
    bof_ = true;
    notifyScroll();
}

void DataSet::last() {
    if (!active_) return;
    fetchAll();
    placeCursor(recordCount() - 1);
    eof_ = true;
    notifyScroll();
}

int DataSet::moveBy(int distance) {
    if (!active_ || distance == 0) return 0;
    if ((distance > 0 && eof_) || (distance < 0 && bof_)) return 0;
    if (distance > 0) ensureKnown(static_cast<std::size_t>(std::min<long long>(
                          static_cast<long long>(cur_) + distance + 2, std::numeric_limits<int>::max())));
    bof_ = eof_ = false;
    const long long last = static_cast<long long>(view_.size()) - 1;
    const long long target = static_cast<long long>(cur_) + distance;
    int moved;
    if (target > last) {
        moved = static_cast<int>(last - cur_);
        cur_ = static_cast<int>(last);
        eof_ = true;
    } else if (target < 0) {
        moved = -cur_;
        cur_ = 0;
        bof_ = true;
    } else {
        moved = distance;
        cur_ = static_cast<int>(target);
    }
    notifyScroll();
    return moved;
}

bool DataSet::moveTo(int recNo) {
    if (!active_ || recNo < 1 || !ensureKnown(static_cast<std::size_t>(recNo))) return false;
    placeCursor(recNo - 1);
    notifyScroll();
    return true;
}

DataSet::RowId DataSet::currentRow() const {
    return cur_ >= 0 ? view_[static_cast<std::size_t>(cur_)] : 0;
}

// --- values ----------------------------------------------------------------

Cell DataSet::cellAt(RowId row, int field) const {
    if (!active_ || row >= rows_ || !validField(field)) return {};
    if (field >= dataFieldCount()) return Cell::computed(computedText(row, field));
    if (keyset_ != nullptr) return keyedCell(row, field);
    return storage_->cell(row, static_cast<std::size_t>(field));
}

std::string DataSet::defaultText(RowId row, int field) const {
    const Cell c = cellAt(row, field);
    switch (c.type()) {
        case CellType::Integer: {
            char buf[24];
            auto res = std::to_chars(buf, buf + sizeof buf, c.asInt());
            return std::string(buf, res.ptr);
        }
        case CellType::Real:
            return formatGeneral(c.asDouble(), 15, ',');
        case CellType::Text:
        case CellType::Blob:
            return cp1250::toUtf8(c.bytes());
        case CellType::Computed:
            return std::string(c.bytes());
        default:
            return {};
    }
}

std::string DataSet::displayTextAt(RowId row, int field) const {
    if (!active_ || row >= rows_ || !validField(field)) return {};
    const DisplayFn& fn = displayOf_[static_cast<std::size_t>(field)];
    if (fn) return fn(*this, row);
    return defaultText(row, field);
}

bool DataSet::isNull(int field) const {
    return value(field).isNull();
}

Cell DataSet::value(int field) const {
    if (cur_ < 0) return {};
    return cellAt(currentRow(), field);
}

std::string DataSet::displayText(int field) const {
    if (cur_ < 0) return {};
    return displayTextAt(currentRow(), field);
}

Cell DataSet::cell(int viewRow, int field) const {
    if (viewRow < 0 || !ensureKnown(static_cast<std::size_t>(viewRow) + 1)) return {};
    return cellAt(physicalRow(viewRow), field);
}

std::string DataSet::displayText(int viewRow, int field) const {
    if (viewRow < 0 || !ensureKnown(static_cast<std::size_t>(viewRow) + 1)) return {};
    return displayTextAt(physicalRow(viewRow), field);
}

std::string DataSet::computedText(RowId row, int field) const {
    const auto k = static_cast<std::size_t>(field - dataFieldCount());
    const Computed& c = computed_[k];
    if (c.fn) return c.fn(*this, row);
    if (!onCalc_) return {};
    if (!calcValid_ || calcRow_ != row) {
        if (calcBusy_) return {};  // the handler asked for a value it is computing
        calcBusy_ = true;
        std::vector<std::string> values(computed_.size());
        CalcRecord record(*this, values);
        try {
            const CalcFieldsHandler handler = onCalc_;
            handler(*this, row, record);
        } catch (...) {
            calcBusy_ = false;
            throw;
        }
        calcBusy_ = false;
        calcValues_ = std::move(values);
        calcRow_ = row;
        calcValid_ = true;
    }
    return calcValues_[k];
}

int DataSet::viewRowOf(RowId row) const {
    if (!active_ || row >= rows_) return -1;
    // Keys still arriving: the view is the statement's order.
    if (keyset_ != nullptr && sortField_ < 0 && !filter_.active) return static_cast<int>(row);
    if (!positionValid_) {
        position_.assign(rows_, -1);
        for (std::size_t i = 0; i < view_.size(); ++i) position_[view_[i]] = static_cast<std::int32_t>(i);
        positionValid_ = true;
    }
    return position_[row];
}

void DataSet::invalidateDerived() {
    positionValid_ = false;
    calcValid_ = false;
    calcValues_.clear();
}

// --- sorting and filtering -------------------------------------------------

namespace {

struct SortKey {
    DataSet::RowId row;
    int kind;  // 0 null, 1 number, 2 text, 3 bytes
    bool isInt;
    std::int64_t i;
    double d;
    std::string_view s;
};

int compareKeys(const SortKey& a, const SortKey& b) {
    if (a.kind != b.kind) return a.kind < b.kind ? -1 : 1;
    switch (a.kind) {
        case 1:
            if (a.isInt && b.isInt) return (a.i > b.i) - (a.i < b.i);
            return (a.d > b.d) - (a.d < b.d);
        case 2:
            // Equal stored values share one copy: no need to compare them.
            if (a.s.data() == b.s.data() && a.s.size() == b.s.size()) return 0;
            return polish::compare(a.s, b.s, polish::Case::LowerFirst);
        case 3: {
            const int c = a.s.compare(b.s);
            return (c > 0) - (c < 0);
        }
        default:
            return 0;
    }
}

}  // namespace

void DataSet::rebuildView() {
    std::vector<RowId> order;
    if (sortField_ >= 0 && rankSort(order)) {
        // sorted by a rank kept in memory
    } else if (sortField_ >= 0) {
        // Values read through the row cache own their bytes: keep them while sorting.
        std::vector<Cell> held;
        if (keyset_ != nullptr) {
            held.reserve(rows_);
            for (std::size_t r = 0; r < rows_; ++r) {
                const Cell c = keyedCell(static_cast<RowId>(r), sortField_);
                const bool bytes = c.type() == CellType::Text || c.type() == CellType::Blob;
                held.push_back(bytes ? Cell::owned(c.type(), std::string(c.bytes())) : c);
            }
        }
        std::vector<SortKey> keys(rows_);
        for (std::size_t r = 0; r < rows_; ++r) {
            const Cell stored =
                keyset_ != nullptr ? Cell() : storage_->cell(static_cast<RowId>(r), static_cast<std::size_t>(sortField_));
            const Cell& c = keyset_ != nullptr ? held[r] : stored;
            SortKey& k = keys[r];
            k.row = static_cast<RowId>(r);
            k.isInt = c.type() == CellType::Integer;
            k.i = c.asInt();
            k.d = c.asDouble();
            switch (c.type()) {
                case CellType::Integer:
                case CellType::Real:
                    k.kind = 1;
                    break;
                case CellType::Text:
                    k.kind = 2;
                    k.s = c.bytes();
                    break;
                case CellType::Blob:
                    k.kind = 3;
                    k.s = c.bytes();
                    break;
                default:
                    k.kind = 0;
                    break;
            }
        }
        const bool asc = sortAscending_;
        std::sort(keys.begin(), keys.end(), [asc](const SortKey& a, const SortKey& b) {
            const int c = compareKeys(a, b);
            if (c != 0) return asc ? c < 0 : c > 0;
            return a.row < b.row;  // equal values keep load order
        });
        order.resize(rows_);
        for (std::size_t r = 0; r < rows_; ++r) order[r] = keys[r].row;
    } else {
        order.resize(rows_);
        for (std::size_t r = 0; r < rows_; ++r) order[r] = static_cast<RowId>(r);
    }
    if (filter_.active) {
        std::erase_if(order, [this](RowId r) { return !matchesFilter(r); });
    }
    view_ = std::move(order);
    invalidateDerived();
}

bool DataSet::matchesFilter(RowId row) const {
    const Cell c = cellAt(row, filter_.field);
    if (!filter_.isText) {
        if (c.type() == CellType::Integer) return c.asInt() == filter_.number;
        if (c.type() == CellType::Real) return c.asDouble() == static_cast<double>(filter_.number);
        return false;
    }
    if (c.type() == CellType::Text) return polish::equal(c.bytes(), filter_.text);
    if (c.type() == CellType::Blob) return c.bytes() == filter_.text;
    return false;
}

bool DataSet::sort(int field, bool ascending) {
    if (!active_ || field < 0 || field >= dataFieldCount()) return false;
    fetchAll();
    const bool hadRow = cur_ >= 0;
    const RowId keep = currentRow();
    sortField_ = field;
    sortAscending_ = ascending;
    rebuildView();
    placeCursor(hadRow ? viewRowOf(keep) : 0);
    notifyReset(ResetReason::Reordered);
    notifyScroll();
    return true;
}

void DataSet::clearSort() {
    if (!active_ || sortField_ < 0) return;
    const bool hadRow = cur_ >= 0;
    const RowId keep = currentRow();
    sortField_ = -1;
    sortAscending_ = true;
    rebuildView();
    placeCursor(hadRow ? viewRowOf(keep) : 0);
    notifyReset(ResetReason::Reordered);
    notifyScroll();
}

bool DataSet::setFilter(int field, std::int64_t value) {
    if (!active_ || field < 0 || field >= dataFieldCount()) return false;
    fetchAll();
    filter_ = Filter{true, field, false, value, {}};
    rebuildView();
    notifyReset(ResetReason::Reordered);
    first();
    return true;
}

bool DataSet::setFilter(int field, std::string_view bytes) {
    if (!active_ || field < 0 || field >= dataFieldCount()) return false;
    fetchAll();
    filter_ = Filter{true, field, true, 0, std::string(bytes)};
    rebuildView();
    notifyReset(ResetReason::Reordered);
    first();
    return true;
}

void DataSet::clearFilter() {
    if (!active_ || !filter_.active) return;
    filter_ = {};
    rebuildView();
    notifyReset(ResetReason::Reordered);
    first();
}

// --- bookmarks -------------------------------------------------------------

DataSet::Bookmark DataSet::bookmark() const {
    if (!active_ || cur_ < 0) return {};
    return Bookmark{generation_, currentRow()};
}

bool DataSet::bookmarkValid(const Bookmark& b) const {
    return active_ && b.generation != 0 && b.generation == generation_ && b.row < rows_;
}

bool DataSet::gotoBookmark(const Bookmark& b) {
    if (!bookmarkValid(b)) return false;
    const int pos = viewRowOf(b.row);
    if (pos < 0) return false;
    placeCursor(pos);
    notifyScroll();
    return true;
}

// --- notifications ---------------------------------------------------------

void DataSet::notifyScroll() {
    if (suspended_ > 0) {
        pendingScroll_ = true;
        return;
    }
    // A copy: the handler may replace itself or close the set.
    if (const ScrollHandler h = afterScroll_) h(*this);
}

void DataSet::notifyReset(ResetReason reason) {
    if (suspended_ > 0) {
        pendingReset_ = true;
        pendingReason_ = reason;
        return;
    }
    if (const ResetHandler h = onReset_) h(*this, reason);
}

void DataSet::notifyGrow() {
    if (suspended_ > 0) {
        pendingGrow_ = true;
        return;
    }
    if (const GrowHandler h = onGrow_) h(*this);
}

void DataSet::resumeNotifications() {
    if (suspended_ == 0 || --suspended_ > 0) return;
    const bool reset = std::exchange(pendingReset_, false);
    const bool scroll = std::exchange(pendingScroll_, false);
    const bool grow = std::exchange(pendingGrow_, false);
    if (reset) notifyReset(pendingReason_);
    if (grow && active_) notifyGrow();
    if (scroll && active_) notifyScroll();
}

DataSet::ScrollHandler DataSet::setAfterScroll(ScrollHandler h) {
    return std::exchange(afterScroll_, std::move(h));
}

DataSet::CalcFieldsHandler DataSet::setOnCalcFields(CalcFieldsHandler h) {
    invalidateDerived();
    return std::exchange(onCalc_, std::move(h));
}

DataSet::ResetHandler DataSet::setOnReset(ResetHandler h) {
    return std::exchange(onReset_, std::move(h));
}

DataSet::GrowHandler DataSet::setOnGrow(GrowHandler h) {
    return std::exchange(onGrow_, std::move(h));
}

std::size_t DataSet::memoryUsage() const {
    std::size_t total = view_.capacity() * sizeof(RowId) + position_.capacity() * sizeof(std::int32_t);
    if (storage_) total += storage_->bytes();
    if (keyset_) total += keyset_->bytes();
    return total;
}

}  // namespace kmx::data
