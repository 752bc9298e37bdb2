// dBASE tables of a price-base folder read back. The input is written as a
// table file and read the two ways the price base reads tables. Checked: the
// row count agrees with the rows read; every row has a value per column,
// trimmed; names and kinds come per column; looking up the price base's
// column sets answers consistently.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "pricebase/dbf_tables.h"

namespace {

namespace pb = kmx::pricebase;

void checkColumns(const std::filesystem::path& file, std::span<const pb::Pole> pola, const pb::Tabela& t) {
    DBFHandle h = pb::OtworzTabele(file, "rb");
    KMX_FUZZ_CHECK(h != nullptr);
    std::vector<int> indeksy;
    std::string brak;
    const bool found = pb::ZnajdzPola(h, pola, indeksy, brak);
    DBFClose(h);
    KMX_FUZZ_CHECK(indeksy.size() == pola.size());
    if (!found) {
        KMX_FUZZ_CHECK(!brak.empty());
        return;
    }
    for (std::size_t i = 0; i < pola.size(); ++i) {
        KMX_FUZZ_CHECK(indeksy[i] >= 0 && static_cast<std::size_t>(indeksy[i]) < t.kolumny.size());
        const char typ = t.typy[static_cast<std::size_t>(indeksy[i])];
        KMX_FUZZ_CHECK(pola[i].typ == 'N' ? (typ == 'N' || typ == 'F') : typ == 'C');
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = kmx::fuzz::scratchFile("cennik.dbf", kmx::fuzz::asView(data, size));
    pb::Tabela t;
    std::string error;
    const bool read = pb::CzytajTabele(file, t, error);
    int rows = -1;
    std::string countError;
    const bool counted = pb::LiczWiersze(file, rows, countError);
    KMX_FUZZ_CHECK(read == counted);
    if (!read) {
        KMX_FUZZ_CHECK(!error.empty() && !countError.empty());
        return 0;
    }
    KMX_FUZZ_CHECK(rows >= 0 && static_cast<std::size_t>(rows) == t.wiersze.size());
    KMX_FUZZ_CHECK(t.kolumny.size() == t.typy.size());
    for (const auto& row : t.wiersze) {
        KMX_FUZZ_CHECK(row.size() == t.kolumny.size());
        for (const std::string& v : row) KMX_FUZZ_CHECK(v.empty() || (v.front() != ' ' && v.back() != ' '));
    }
    for (std::size_t i = 0; i < t.kolumny.size(); ++i) {
        const int at = t.kolumna(t.kolumny[i]);
        KMX_FUZZ_CHECK(at >= 0 && static_cast<std::size_t>(at) <= i);
    }
    checkColumns(file, pb::kPolaCennikow, t);
    checkColumns(file, pb::kPolaCen, t);
    checkColumns(file, pb::kPolaProducentow, t);
    checkColumns(file, pb::kPolaKonwersji, t);
    return 0;
}
