#pragma once
// CSV of the catalogue's source files: comma-separated, fields with a comma,
// a double quote or a line break enclosed in double quotes with inner quotes
// doubled. The reader takes CR LF, LF or CR line ends, skips a leading UTF-8
// byte order mark and blank lines, and rejects malformed quoting with the line
// it was found on. The writer ends every record with CR LF.

#include <string>
#include <string_view>
#include <vector>

namespace kmx::catalog {

class CsvReader {
public:
    explicit CsvReader(std::string_view text);

    // Reads the next record into `fields`. False at the end of the input and
    // on malformed input; error() tells which (empty at the end).
    bool next(std::vector<std::string>& fields);
    // 1-based line on which the last record read (or the failing one) starts.
    int line() const { return recordLine_; }
    const std::string& error() const { return error_; }

private:
    // Consumes one line end at pos_ if there is one.
    bool lineEnd();

    std::string_view text_;
    std::size_t pos_ = 0;
    int currentLine_ = 1;
    int recordLine_ = 0;
    std::string error_;
};

struct CsvRecord {
    int line = 0;
    std::vector<std::string> fields;
};

// Reads a whole text; false with "line N: ..." in `error` on malformed input.
bool parseCsv(std::string_view text, std::vector<CsvRecord>& records, std::string& error);

// Appends one record with its CR LF.
void appendCsvRecord(std::string& out, const std::vector<std::string>& fields);

}  // namespace kmx::catalog
