#pragma once
// The catalogue's tables as the builder and the dumper see them: every column
// with its type, size, how it is stored and whether the source CSV gives it or
// the builder computes it.

#include <string>
#include <string_view>
#include <vector>

namespace kmx::catalog {

enum class ColumnType {
    Key,       // autoincrement integer key; given in the source so links can name it
    Integer,   // plain integer
    Currency,  // fixed point with 4 decimals
    Decimal2,  // decimal with 2 decimals
    Double,    // floating point
    Date,      // day serial (days since 30 December 1899)
    Text,      // text of at most `size` characters
    Memo,      // long text
};

enum class Storage {
    Plain,      // as given (text as Windows-1250 bytes)
    Name,       // upper-cased, substitution-scrambled (mode 1), case mask in `maskColumn`
    Scrambled,  // positional scrambling with `mode` 2 or 3
};

enum class Origin {
    Source,  // read from the CSV file
    Mask,    // case mask of the name column named in `maskOf`
    Rank,    // idx_ rank computed by the builder
};

struct Column {
    std::string name;
    ColumnType type = ColumnType::Text;
    int size = 0;    // characters for Text and Memo
    int digits = 0;  // total digits of a Currency or Decimal2 column
    Storage storage = Storage::Plain;
    int mode = 0;        // scrambling mode for Storage::Scrambled
    bool upper = false;  // stored upper-cased (mode-2 search columns and names)
    Origin origin = Origin::Source;
    std::string maskColumn;  // Storage::Name: the column holding its case mask
    std::string references;  // "TABLE.COLUMN" the value must exist in, empty if none
    bool indexed = false;

    bool isText() const { return type == ColumnType::Text || type == ColumnType::Memo; }
    bool isReal() const {
        return type == ColumnType::Currency || type == ColumnType::Decimal2 || type == ColumnType::Double;
    }
};

struct Table {
    std::string name;
    std::vector<Column> columns;

    const Column* column(std::string_view name) const;
    int columnIndex(std::string_view name) const;  // -1 when absent
    const Column* key() const;                     // the Key column, or nullptr
    // The columns the source CSV carries, in table order.
    std::vector<const Column*> sourceColumns() const;
};

// All tables, in the order they are loaded: every table comes after the
// tables its columns reference.
const std::vector<Table>& catalogSchema();
const Table* findTable(std::string_view name);

// Statements that create a table and its indexes.
std::string createTableSql(const Table& table);
std::vector<std::string> createIndexSql(const Table& table);

// Decimals kept for a real column (-1: no rounding).
int decimalsOf(const Column& column);
// Magnitude a real column cannot reach: 10 to the power of its digits before the point.
double magnitudeLimitOf(const Column& column);

}  // namespace kmx::catalog
