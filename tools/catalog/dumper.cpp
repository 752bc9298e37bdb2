#include "catalog/dumper.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <vector>

#include "catalog/builder.h"
#include "catalog/csv.h"
#include "catalog/schema.h"
#include "catalog/sqlite_db.h"
#include "core/cp1250.h"
#include "core/numfmt.h"
#include "core/scramble.h"
#include "core/settings_file.h"

namespace kmx::catalog {

namespace fs = std::filesystem;

namespace {

// The shortest decimal form that reads back as the same double, never in
// exponent notation, so the builder's parser takes it again.
std::string formatReal(double v) {
    char buf[400];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    return ec == std::errc() ? std::string(buf, ptr) : std::string();
}

bool formatDate(double serial, std::string& out) {
    if (serial == 0) {
        out = "0";
        return true;
    }
    const CivilDate d = civilFromSerial(serial);
    if (d.year == 0 || serial != std::trunc(serial)) return false;
    char buf[16];
    auto two = [](char* p, int v) {
        p[0] = static_cast<char>('0' + v / 10);
        p[1] = static_cast<char>('0' + v % 10);
    };
    two(buf, d.year / 100);
    two(buf + 2, d.year % 100);
    buf[4] = '-';
    two(buf + 5, d.month);
    buf[7] = '-';
    two(buf + 8, d.day);
    out.assign(buf, 10);
    return true;
}

bool dumpTable(const Db& db, const Table& table, const fs::path& file, std::string& error) {
    const std::vector<const Column*> source = table.sourceColumns();
    // Every source column, then the case masks the names need.
    std::string select;
    std::vector<std::string> header;
    for (const Column* c : source) {
        if (!select.empty()) select += ", ";
        select += c->name;
        header.push_back(c->name);
    }
    std::vector<int> maskAt(source.size(), -1);
    int next = static_cast<int>(source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (source[i]->storage != Storage::Name) continue;
        select += ", " + source[i]->maskColumn;
        maskAt[i] = next++;
    }
    Statement query;
    if (!query.prepare(db, "SELECT " + select + " FROM " + table.name + " ORDER BY rowid", error))
        return false;

    std::string out;
    appendCsvRecord(out, header);
    std::vector<std::string> fields(source.size());
    while (query.nextRow(error)) {
        for (std::size_t i = 0; i < source.size(); ++i) {
            const Column& col = *source[i];
            const int at = static_cast<int>(i);
            std::string& f = fields[i];
            f.clear();
            if (query.isNull(at)) continue;
            switch (col.type) {
                case ColumnType::Key:
                case ColumnType::Integer:
                    f = std::to_string(query.intAt(at));
                    break;
                case ColumnType::Currency:
                case ColumnType::Decimal2:
                case ColumnType::Double:
                    f = formatReal(query.realAt(at));
                    break;
                case ColumnType::Date:
                    if (!formatDate(query.realAt(at), f)) {
                        error = table.name + "." + col.name +
                                ": not a date serial: " + formatReal(query.realAt(at));
                        return false;
                    }
                    break;
                case ColumnType::Text:
                case ColumnType::Memo: {
                    const std::string stored = query.bytesAt(at);
                    std::string plain;
                    if (col.storage == Storage::Plain) {
                        plain = stored;
                    } else if (col.storage == Storage::Name) {
                        plain = NalozWielkoscLiter(Deszyfruj(stored, col.mode), query.bytesAt(maskAt[i]));
                    } else {
                        plain = Deszyfruj(stored, col.mode);
                    }
                    f = cp1250::toUtf8(plain);
                    break;
                }
            }
        }
        appendCsvRecord(out, fields);
    }
    if (!error.empty()) {
        error = table.name + ": " + error;
        return false;
    }
    std::ofstream os(file, std::ios::binary | std::ios::trunc);
    os.write(out.data(), static_cast<std::streamsize>(out.size()));
    os.close();
    if (!os) {
        error = file.string() + ": cannot write";
        return false;
    }
    return true;
}

}  // namespace

DumpResult dumpCatalog(const fs::path& catalogDir, const fs::path& destDir, const DumpOptions& options) {
    DumpResult result;
    std::string password;
    if (options.password.empty()) {
        const UstawieniaResult settings = CzytajUstawienia(catalogDir / "kmx.iif");
        if (!settings.ok) {
            result.error = (catalogDir / "kmx.iif").string() + ": " + settings.error;
            return result;
        }
        password = settings.password;
    } else if (!passwordToCp1250(options.password, password, result.error)) {
        return result;
    }
    Db db;
    if (!db.openReadOnly(catalogDir / "kmx.dat", password, result.error)) return result;
    std::error_code ec;
    fs::create_directories(destDir, ec);
    if (!fs::is_directory(destDir, ec)) {
        result.error = destDir.string() + ": cannot create the directory";
        return result;
    }
    for (const Table& table : catalogSchema()) {
        if (!dumpTable(db, table, destDir / (table.name + ".csv"), result.error)) return result;
    }
    result.ok = true;
    return result;
}

}  // namespace kmx::catalog
