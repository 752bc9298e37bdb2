#include "catalog/csv.h"

namespace kmx::catalog {

CsvReader::CsvReader(std::string_view text) : text_(text) {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
}

bool CsvReader::lineEnd() {
    if (pos_ >= text_.size()) return false;
    if (text_[pos_] == '\r') {
        ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    } else if (text_[pos_] == '\n') {
        ++pos_;
    } else {
        return false;
    }
    ++currentLine_;
    return true;
}

bool CsvReader::next(std::vector<std::string>& fields) {
    fields.clear();
    error_.clear();
    while (lineEnd()) {
    }  // blank lines carry no record
    if (pos_ >= text_.size()) return false;
    recordLine_ = currentLine_;
    std::string field;
    for (;;) {
        field.clear();
        if (pos_ < text_.size() && text_[pos_] == '"') {
            const int quoteLine = currentLine_;
            ++pos_;
            for (;;) {
                if (pos_ >= text_.size()) {
                    error_ = "line " + std::to_string(quoteLine) + ": quoted field not closed";
                    recordLine_ = quoteLine;
                    return false;
                }
                const char c = text_[pos_];
                if (c == '"') {
                    if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
                        field.push_back('"');
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                if (c == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') {
                    // CR LF inside the quotes: kept as it is, one line.
                    field += "\r\n";
                    pos_ += 2;
                    ++currentLine_;
                    continue;
                }
                if (c == '\r' || c == '\n') ++currentLine_;
                field.push_back(c);
                ++pos_;
            }
            if (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' && text_[pos_] != '\n') {
                error_ =
                    "line " + std::to_string(currentLine_) + ": unexpected character after a closing quote";
                recordLine_ = currentLine_;
                return false;
            }
        } else {
            while (pos_ < text_.size()) {
                const char c = text_[pos_];
                if (c == ',' || c == '\r' || c == '\n') break;
                if (c == '"') {
                    error_ =
                        "line " + std::to_string(currentLine_) + ": double quote inside an unquoted field";
                    recordLine_ = currentLine_;
                    return false;
                }
                field.push_back(c);
                ++pos_;
            }
        }
        fields.push_back(field);
        if (pos_ < text_.size() && text_[pos_] == ',') {
            ++pos_;
            continue;
        }
        lineEnd();
        return true;
    }
}

bool parseCsv(std::string_view text, std::vector<CsvRecord>& records, std::string& error) {
    records.clear();
    CsvReader reader(text);
    CsvRecord rec;
    while (reader.next(rec.fields)) {
        rec.line = reader.line();
        records.push_back(rec);
    }
    error = reader.error();
    return error.empty();
}

void appendCsvRecord(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) out.push_back(',');
        const std::string& f = fields[i];
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
            out += f;
            continue;
        }
        out.push_back('"');
        for (char c : f) {
            if (c == '"') out.push_back('"');
            out.push_back(c);
        }
        out.push_back('"');
    }
    out += "\r\n";
}

}  // namespace kmx::catalog
