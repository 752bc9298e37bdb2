#include "pricebase/demo_kmb.h"

#include <cerrno>
#include <system_error>

#include "core/safe_file.h"
#include "pricebase/dbf_tables.h"

namespace kmx::pricebase {

namespace {

struct Konwersja {
    const char* eto;
    const char* jm;  // empty: any unit
    const char* kmb;
};

// Indices of the demo catalogue's goods and machines with their units.
constexpr Konwersja kDemo[] = {
    {"1610101", "SZT", "K1610101"}, {"1610102", "SZT", "K1610102"}, {"1620101", "SZT", "K1620101"},
    {"1520101", "T", "K1520101"},   {"1530101", "T", "K1530101"},   {"1540102", "KG", "K1540102"},
    {"1710102", "T", "K1710102"},   {"1810102", "T", "K1810102"},   {"2010101", "M2", "K2010101"},
    {"2610103", "M", "K2610103"},   {"2310104", "", "K2310104"},    {"030102", "", "K0301020"},
    {"04105", "MG", "K0410500"},
};

}  // namespace

bool WriteDemoConversionTable(const std::filesystem::path& folder, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        error = "no folder " + folder.string();
        return false;
    }
    const std::filesystem::path file = PlikDoZapisu(folder, kEtoKmb);
    // Made beside the table's name and renamed to it when whole.
    safefile::Replacement zamiana(file, ".dbf");
    if (!zamiana.open(error)) return false;
    ZerujBladZapisu();
    DBFHandle h = UtworzTabele(zamiana.name(), kPolaKonwersji);
    if (!h) {
        error = safefile::WriteError(file, errno ? errno : EIO);
        return false;
    }
    bool ok = true;
    int row = 0;
    for (const Konwersja& k : kDemo) {
        ok = DBFWriteStringAttribute(h, row, kkEto, k.eto) && ok;
        ok = DBFWriteStringAttribute(h, row, kkJm, k.jm) && ok;
        ok = DBFWriteStringAttribute(h, row, kkKmb, k.kmb) && ok;
        ++row;
    }
    DBFClose(h);
    if (!ok || BladZapisu()) {
        error = safefile::WriteError(file, BladZapisu() ? BladZapisu() : EIO);
        return false;
    }
    if (!zamiana.commit(error)) return false;
    return true;
}

}  // namespace kmx::pricebase
