// pricebase list | dump | producers | demo-kmb: the dBASE tables of a
// price-base folder as our price-base library writes them, printed as UTF-8
// tab-separated lines (the first line names the columns), and the demo
// ETO to KMB conversion table.

#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>

#include "args.h"
#include "catalogue_open.h"
#include "commands.h"
#include "core/cp1250.h"
#include "pricebase/dbf_tables.h"
#include "pricebase/demo_kmb.h"

namespace kmx::tool {

namespace {

namespace pb = kmx::pricebase;

// One value for a tab-separated line: UTF-8, tabs and line ends as blanks.
std::string cell(const std::string& bytes) {
    std::string s = cp1250::toUtf8(bytes);
    for (char& c : s)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return s;
}

// A stored number without the zeros after the second decimal: "12.3400" ->
// "12.34", "0.0125" stays.
std::string number(std::string s) {
    const auto dot = s.find('.');
    if (dot == std::string::npos) return s;
    while (s.size() > dot + 3 && s.back() == '0') s.pop_back();
    return s;
}

void printTable(const pb::Tabela& t, std::ostream& out) {
    for (std::size_t c = 0; c < t.kolumny.size(); ++c) out << (c ? "\t" : "") << t.kolumny[c];
    out << "\n";
    for (const auto& row : t.wiersze) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            const bool numeric = t.typy[c] == 'N' || t.typy[c] == 'F';
            out << (c ? "\t" : "") << (numeric ? number(row[c]) : cell(row[c]));
        }
        out << "\n";
    }
}

bool readTable(const std::filesystem::path& file, pb::Tabela& t, std::ostream& err) {
    std::string error;
    if (pb::CzytajTabele(file, t, error)) return true;
    err << "kmx-tool pricebase: " << error << "\n";
    return false;
}

int list(const std::filesystem::path& folder, std::ostream& out, std::ostream& err) {
    pb::Tabela t;
    if (!readTable(pb::PlikTabeli(folder, pb::kListaCennikow), t, err)) return 1;
    const int cols[pb::kcIle] = {t.kolumna("PLIK"), t.kolumna("TYP"), t.kolumna("OPIS"), t.kolumna("POZIOM"),
                                 t.kolumna("WALUTA")};
    if (cols[pb::kcPlik] < 0) {
        err << "kmx-tool pricebase: " << pb::kListaCennikow << " has no PLIK column\n";
        return 1;
    }
    out << "PLIK\tTYP\tOPIS\tPOZIOM\tWALUTA\tWIERSZE\n";
    for (const auto& row : t.wiersze) {
        for (int c : cols) out << (c >= 0 ? cell(row[static_cast<std::size_t>(c)]) : std::string()) << "\t";
        const std::string& name = row[static_cast<std::size_t>(cols[pb::kcPlik])];
        int rows = 0;
        std::string error;
        if (pb::NazwaTabeliPoprawna(name) && pb::LiczWiersze(pb::PlikTabeli(folder, name), rows, error))
            out << rows << "\n";
        else
            out << "missing\n";
    }
    return out ? 0 : 1;
}

int dump(const std::filesystem::path& folder, const std::string& nameUtf8, std::ostream& out, std::ostream& err) {
    // Table files are named in Windows-1250, as the header records carry them.
    const std::string name = cp1250::fromUtf8(nameUtf8);
    if (!pb::NazwaTabeliPoprawna(name) || !pb::NazwaTabeliPoprawna(nameUtf8))
        return badArgs(err, "pricebase dump", "NAME must be a .dbf file name inside FOLDER");
    std::filesystem::path file = pb::PlikTabeli(folder, name);
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) file = pb::PlikTabeli(folder, nameUtf8);
    pb::Tabela t;
    if (!readTable(file, t, err)) return 1;
    printTable(t, out);
    return out ? 0 : 1;
}

}  // namespace

int cmdPricebase(const Args& args, std::ostream& out, std::ostream& err) {
    Options o({}, {});
    if (!o.parse(args)) return badArgs(err, "pricebase", o.error());
    const auto& p = o.positional();
    if (p.empty()) return badArgs(err, "pricebase", "missing list, dump, producers or demo-kmb");
    const std::string& sub = p[0];
    const std::size_t want = sub == "dump" ? 3 : 2;
    if (sub != "list" && sub != "dump" && sub != "producers" && sub != "demo-kmb")
        return badArgs(err, "pricebase", "unknown subcommand '" + sub + "'");
    if (p.size() != want)
        return badArgs(err, "pricebase " + sub, sub == "dump" ? "usage: pricebase dump FOLDER NAME"
                                                              : "usage: pricebase " + sub + " FOLDER");
    const std::filesystem::path folder = p[1];
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        err << "kmx-tool pricebase: no folder " << folder.string() << "\n";
        return 1;
    }
    if (sub == "list") return list(folder, out, err);
    if (sub == "dump") return dump(folder, p[2], out, err);
    if (sub == "producers") {
        pb::Tabela t;
        if (!readTable(pb::PlikTabeli(folder, pb::kProducenci), t, err)) return 1;
        printTable(t, out);
        return out ? 0 : 1;
    }
    std::string error;
    if (!pb::WriteDemoConversionTable(folder, error)) {
        err << "kmx-tool pricebase: " << error << "\n";
        return 1;
    }
    out << "written " << (folder / pb::kEtoKmb).string() << "\n";
    return out ? 0 : 1;
}

}  // namespace kmx::tool
