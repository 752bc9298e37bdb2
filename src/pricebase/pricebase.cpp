// The nineteen C functions of the price-base library over the dBASE tables of
// dbf_tables.h. One mutex guards the open tables, the loaded conversions and
// the last error text, so the functions may be called from any thread.

#include "pricebase/pricebase.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "core/cp1250.h"
#include "core/safe_file.h"
#include "core/t3_records.h"
#include "pricebase/dbf_tables.h"

namespace kmx::pricebase {
namespace {

// Windows-1250 bytes of a UTF-8 text of ours.
std::string pl(std::string_view utf8) {
    return cp1250::fromUtf8(utf8);
}

// Why a file operation failed, in Polish (0: the file is no table).
std::string powod(int err) {
    return pl(err == 0 ? std::string("plik nie jest tabelą dBASE") : safefile::Reason(err));
}

struct OtwartaTabela {
    DBFHandle h = nullptr;
    std::filesystem::path plik;
    std::string nazwa;            // as the header gives it, for error texts
    std::vector<int> pola;        // column of each of kPolaCen
    std::vector<int> szerokosci;  // and its width in this table
    std::vector<int> miejsca;
};

// ETO index + '\x1f' + unit code (upper case; empty: any unit) -> KMB code.
using Konwersje = std::unordered_map<std::string, std::string>;

struct Stan {
    std::mutex m;
    std::string blad;  // Windows-1250
    std::map<std::int32_t, OtwartaTabela> tabele;
    std::int32_t nastepnaTabela = 1;
    std::map<std::int32_t, Konwersje> konwersje;
    std::int32_t nastepnaKonwersja = 1;

    ~Stan() {
        for (auto& [handle, t] : tabele) DBFClose(t.h);
    }
};

Stan& stan() {
    static Stan s;
    return s;
}

// Sets the error text and gives the failure result.
std::int32_t blad(Stan& s, std::string text) {
    s.blad = std::move(text);
    return KMX_PB_ERROR;
}

// The next free key of a map of handles: small positive numbers.
template <typename Map>
std::int32_t wolnyNumer(const Map& map, std::int32_t& next) {
    for (;;) {
        if (next <= 0) next = 1;
        const std::int32_t id = next;
        next = id == std::numeric_limits<std::int32_t>::max() ? 1 : id + 1;
        if (!map.count(id)) return id;
    }
}

std::string klucz(std::string_view eto, std::string_view jm) {
    std::string k;
    k.reserve(eto.size() + 1 + jm.size());
    k.append(eto);
    k.push_back('\x1f');
    k.append(jm);
    return k;
}

// Checks the folder and the table name; on success file is the table's file
// for reading (existing spelling) and for writing.
bool sprawdzNazwe(Stan& s, const char* folder, std::string_view name, std::filesystem::path& czytaj,
                  std::filesystem::path& pisz) {
    if (!folder || !*folder) {
        blad(s, pl("Nie podano folderu baz cen"));
        return false;
    }
    if (!NazwaTabeliPoprawna(name)) {
        blad(s, pl("Nieprawidłowa nazwa tabeli \"") + std::string(name) +
                    pl("\": nazwa pliku .dbf w folderze baz cen, bez \"..\", \"/\" i \"\\\""));
        return false;
    }
    const std::filesystem::path dir(folder);
    czytaj = PlikTabeli(dir, name);
    pisz = PlikDoZapisu(dir, name);
    return true;
}

bool otwarta(const Stan& s, const std::filesystem::path& file) {
    for (const auto& [handle, t] : s.tabele)
        if (t.plik == file) return true;
    return false;
}

// Whether the list table has an entry for the table file name: 1 yes, 0 no,
// -1 an error (text set).
int maWpis(Stan& s, const std::filesystem::path& list, std::string_view listName, std::string_view plik) {
    std::error_code ec;
    if (!std::filesystem::exists(list, ec)) return 0;
    DBFHandle h = OtworzTabele(list, "rb");
    if (!h) {
        blad(s, pl("Nie można odczytać tabeli ") + std::string(listName) + ": " + powod(errno));
        return -1;
    }
    const int col = DBFGetFieldIndex(h, kPolaCennikow[kcPlik].nazwa);
    int found = col < 0 ? -1 : 0;
    for (int r = 0, n = DBFGetRecordCount(h); found == 0 && r < n; ++r) {
        if (DBFIsRecordDeleted(h, r)) continue;
        const char* v = DBFReadStringAttribute(h, r, col);
        if (v && Przytnij(v) == plik) found = 1;
    }
    DBFClose(h);
    if (found < 0) blad(s, pl("Tabela ") + std::string(listName) + pl(" nie ma pola PLIK"));
    return found;
}

const t3::CennikRec* naglowek(const void* rec, t3::CennikRec& out) {
    if (!rec) return nullptr;
    out = t3::CzytajCennik(static_cast<const char*>(rec));
    return &out;
}

// Writes a text value cut to the column's width.
bool zapiszTekst(DBFHandle h, int row, int col, int width, const std::string& value) {
    if (static_cast<int>(value.size()) <= width) return DBFWriteStringAttribute(h, row, col, value.c_str());
    const std::string cut = value.substr(0, static_cast<std::size_t>(width));
    return DBFWriteStringAttribute(h, row, col, cut.c_str());
}

int szerokosc(DBFHandle h, int col) {
    int width = 0, decimals = 0;
    DBFGetFieldInfo(h, col, nullptr, &width, &decimals);
    return width;
}

std::int32_t bladTabeli(Stan& s, const char* what, std::string_view name, int err) {
    return blad(s, pl(what) + std::string(name) + ": " + powod(err));
}

// The four functions that are never called.
std::int32_t nieobslugiwana(const char* name) {
    Stan& s = stan();
    std::lock_guard lock(s.m);
    s.blad = pl("Funkcja ") + name + pl(" nie jest obsługiwana");
    return KMX_PB_NOT_SUPPORTED;
}

// An empty table of the same columns and code page as h, so that its rows
// can be copied byte for byte.
DBFHandle klonujPusta(DBFHandle h, const std::filesystem::path& file) {
    errno = 0;
    DBFHandle out = DBFCreateLL(file.c_str(), DBFGetCodePage(h), Hooki());
    if (!out) return nullptr;
    for (int f = 0, n = DBFGetFieldCount(h); f < n; ++f) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0, decimals = 0;
        DBFGetFieldInfo(h, f, name, &width, &decimals);
        if (DBFAddNativeFieldType(out, name, DBFGetNativeFieldType(h, f), width, decimals) < 0) {
            DBFClose(out);
            return nullptr;
        }
    }
    return out;
}

}  // namespace
}  // namespace kmx::pricebase

using namespace kmx;
using namespace kmx::pricebase;

extern "C" {

std::int32_t GetDbDllVer(void*) {
    return KMX_PB_VERSION;
}

std::int32_t InitDbDLL(void*, std::int32_t) {
    return KMX_PB_OK;
}

std::int32_t DbCheckTableExists(std::int16_t* exists, std::int32_t*, const char* folder,
                                const void* cennikRec) {
    Stan& s = stan();
    std::lock_guard lock(s.m);
    t3::CennikRec rec;
    if (!exists || !naglowek(cennikRec, rec))
        return blad(s, pl("Brak argumentów funkcji DbCheckTableExists"));
    *exists = 0;
    std::filesystem::path czytaj, pisz;
    if (!sprawdzNazwe(s, folder, rec.plik, czytaj, pisz)) return KMX_PB_ERROR;
    std::error_code ec;
    if (std::filesystem::exists(czytaj, ec)) {
        *exists = 1;
        return KMX_PB_OK;
    }
    const std::filesystem::path list = PlikTabeli(folder, kListaCennikow);
    const int entry = maWpis(s, list, kListaCennikow, rec.plik);
    if (entry < 0) return KMX_PB_ERROR;
    *exists = entry ? 1 : 0;
    return KMX_PB_OK;
}

std::int32_t DbDeleteTable(const char* folder, const void* cennikRec) {
    Stan& s = stan();
    std::lock_guard lock(s.m);
    t3::CennikRec rec;
    if (!naglowek(cennikRec, rec)) return blad(s, pl("Brak nagłówka cennika w DbDeleteTable"));
    std::filesystem::path czytaj, pisz;
    if (!sprawdzNazwe(s, folder, rec.plik, czytaj, pisz)) return KMX_PB_ERROR;
    if (otwarta(s, czytaj) || otwarta(s, pisz))
        return blad(s, pl("Nie można usunąć tabeli ") + rec.plik + pl(": tabela jest otwarta"));
    // Both spellings of the file and a code-page file beside them.
    const std::string stem = pisz.stem().string();
    const std::filesystem::path dir(folder);
    for (const char* ext : {".dbf", ".DBF", ".cpg", ".CPG"}) {
        std::error_code ec;
        std::filesystem::remove(dir / (stem + ext), ec);
        if (ec && ec != std::errc::no_such_file_or_directory)
            return bladTabeli(s, "Nie można usunąć tabeli ", rec.plik, ec.value());
    }
    return KMX_PB_OK;
}

std::int32_t DbUsunCennik(const char* folder, const char* listTable, const void* cennikRec) {
    Stan& s = stan();
    std::lock_guard lock(s.m);
    t3::CennikRec rec;
    if (!listTable || !naglowek(cennikRec, rec)) return blad(s, pl("Brak argumentów funkcji DbUsunCennik"));
    std::filesystem::path list, listNew, table, tableNew;
    if (!sprawdzNazwe(s, folder, listTable, list, listNew)) return KMX_PB_ERROR;
    if (!sprawdzNazwe(s, folder, rec.plik, table, tableNew)) return KMX_PB_ERROR;
    std::error_code ec;
    if (!std::filesystem::exists(list, ec)) return KMX_PB_OK;

    DBFHandle h = OtworzTabele(list, "rb");
    if (!h) return bladTabeli(s, "Nie można odczytać tabeli ", listTable, errno);
    const int col = DBFGetFieldIndex(h, kPolaCennikow[kcPlik].nazwa);
    if (col < 0) {
        DBFClose(h);
        return blad(s, pl("Tabela ") + listTable + pl(" nie ma pola PLIK"));
    }
    std::vector<int> keep;
    const int n = DBFGetRecordCount(h);
    for (int r = 0; r < n; ++r) {
        if (DBFIsRecordDeleted(h, r)) continue;
        const char* v = DBFReadStringAttribute(h, r, col);
        if (!(v && Przytnij(v) == rec.plik)) keep.push_back(r);
    }
    if (static_cast<int>(keep.size()) == n) {
        DBFClose(h);
        return KMX_PB_OK;
    }
    // The table without those rows, written beside it and moved over it.
    safefile::Replacement zamiana(list, ".dbf");
    std::string ignored;
    ZerujBladZapisu();
    bool ok = zamiana.open(ignored);
    int err = ok ? 0 : zamiana.errorCode();
    errno = 0;
    DBFHandle out = ok ? klonujPusta(h, zamiana.name()) : nullptr;
    if (ok && !out) {
        ok = false;
        err = errno;
    }
    for (std::size_t i = 0; ok && i < keep.size(); ++i) {
        const char* tuple = DBFReadTuple(h, keep[i]);
        // DBFWriteTuple copies the bytes; the tuple buffer is shapelib's own.
        ok = tuple && DBFWriteTuple(out, static_cast<int>(i), const_cast<char*>(tuple));
    }
    DBFClose(h);
    if (out) DBFClose(out);
    if (ok && BladZapisu()) {
        ok = false;
        err = BladZapisu();
    }
    if (ok && !zamiana.commit(ignored)) {
        ok = false;
        err = zamiana.errorCode();
    }
    if (!ok) {
        zamiana.discard();
        return blad(s, pl("Nie można usunąć cennika ") + rec.plik + pl(" z tabeli ") + listTable + ": " +
                           powod(err ? err : EIO));
    }
    return KMX_PB_OK;
}

std::int32_t DbCenyCreateTable(const char* folder, const void* cennikRec, char type) {
    Stan& s = stan();
    std::lock_guard lock(s.m);
    t3::CennikRec rec;
    if (!naglowek(cennikRec, rec)) return blad(s, pl("Brak nagłówka cennika w DbCenyCreateTable"));
    if (type != 'E') return blad(s, pl("Nieobsługiwany typ cennika ") + std::string(1, type));
    std::filesystem::path czytaj, pisz;
    if (!sprawdzNazwe(s, folder, rec.plik, czytaj, pisz)) return KMX_PB_ERROR;
    if (otwarta(s, czytaj) || otwarta(s, pisz))
        return blad(s, pl("Nie można utworzyć tabeli ") + rec.plik + pl(": tabela jest otwarta"));
    // The empty table is made beside and renamed over a file of that name:
    // a failure keeps the old file.
    safefile::Replacement zamiana(pisz, ".dbf");
    std::string ignored;
    if (!zamiana.open(ignored))
        return bladTabeli(s, "Nie można utworzyć tabeli ", rec.plik, zamiana.errorCode());
    ZerujBladZapisu();
    DBFHandle h = UtworzTabele(zamiana.name(), kPolaCen);
    if (!h) return bladTabeli(s, "Nie można utworzyć tabeli ", rec.plik, errno ? errno : EIO);
    DBFClose(h);
    if (const int err = BladZapisu()) return bladTabeli(s, "Nie można utworzyć tabeli ", rec.plik, err);
    if (!zamiana.commit(ignored))
        return bladTabeli(s, "Nie można utworzyć tabeli ", rec.plik, zamiana.errorCode());
    return KMX_PB_OK;
}

std::int32_t DbWstawCennik(const char* folder, const char* listTable, const void* cennikRec) {
    Stan& s = stan();
    std::lock_guard lock(s.m);
    t3::CennikRec rec;
    if (!listTable || !naglowek(cennikRec, rec)) return blad(s, pl("Brak argumentów funkcji DbWstawCennik"));
    std::filesystem::path list, listNew, table, tableNew;
    if (!sprawdzNazwe(s, folder, listTable, list, listNew)) return KMX_PB_ERROR;
    if (!sprawdzNazwe(s, folder, rec.plik, table, tableNew)) return KMX_PB_ERROR;

    ZerujBladZapisu();
    std::error_code ec;
    const bool exists = std::filesystem::exists(list, ec);
    // The list changed in a copy renamed over it: a failure keeps the old list.
    safefile::Replacement zamiana(exists ? list : listNew, ".dbf");
    std::string ignored;
    if (!zamiana.open(ignored) || (exists && !KopiujDo(list, zamiana)))
        return bladTabeli(s, "Nie można zapisać cennika do tabeli ", listTable, zamiana.errorCode());
    DBFHandle h = exists ? OtworzTabele(zamiana.name(), "rb+") : UtworzTabele(zamiana.name(), kPolaCennikow);
    if (!h)
        return bladTabeli(s, exists ? "Nie można otworzyć tabeli " : "Nie można utworzyć tabeli ", listTable,
                          errno ? errno : EIO);
    std::vector<int> cols;
    std::string missing;
    if (!ZnajdzPola(h, kPolaCennikow, cols, missing)) {
        DBFClose(h);
        return blad(s, pl("Tabela ") + listTable + pl(" nie ma pola ") + missing);
    }
    // One entry per table file: an entry of the same file is written over.
    int row = DBFGetRecordCount(h);
    for (int r = 0, n = row; r < n; ++r) {
        const char* v = DBFReadStringAttribute(h, r, cols[kcPlik]);
        if (!DBFIsRecordDeleted(h, r) && v && Przytnij(v) == rec.plik) {
            row = r;
            break;
        }
    }
    const std::string* values[kcIle] = {&rec.plik, &rec.typ, &rec.opis, &rec.poziom, &rec.waluta};
    bool ok = true;
    for (int f = 0; f < kcIle; ++f)
        ok = zapiszTekst(h, row, cols[f], szerokosc(h, cols[f]), *values[f]) && ok;
    DBFClose(h);
    if (!ok || BladZapisu())
        return bladTabeli(s, "Nie można zapisać cennika do tabeli ", listTable,
                          BladZapisu() ? BladZapisu() : EIO);
    if (!zamiana.commit(ignored))
        return bladTabeli(s, "Nie można zapisać cennika do tabeli ", listTable, zamiana.errorCode());
    return KMX_PB_OK;
}

std::int32_t DbCenyOpenTable(std::int32_t* handle, const char* folder, const void* cennikRec, char type) {
    Stan& s = stan();
    std::lock_guard lock(s.m);
    t3::CennikRec rec;
    if (!handle || !naglowek(cennikRec, rec)) return blad(s, pl("Brak argumentów funkcji DbCenyOpenTable"));
    *handle = 0;
    if (type != 'E') return blad(s, pl("Nieobsługiwany typ cennika ") + std::string(1, type));
    std::filesystem::path czytaj, pisz;
    if (!sprawdzNazwe(s, folder, rec.plik, czytaj, pisz)) return KMX_PB_ERROR;
    if (otwarta(s, czytaj))
        return blad(s, pl("Nie można otworzyć tabeli ") + rec.plik + pl(": tabela jest już otwarta"));
    std::error_code ec;
    if (!std::filesystem::exists(czytaj, ec))
        return bladTabeli(s, "Nie można otworzyć tabeli ", rec.plik, ENOENT);
    OtwartaTabela t;
    t.h = OtworzTabele(czytaj, "rb+");
    if (!t.h) return bladTabeli(s, "Nie można otworzyć tabeli ", rec.plik, errno);
    std::string missing;
    if (!ZnajdzPola(t.h, kPolaCen, t.pola, missing)) {
        DBFClose(t.h);
        return blad(s, pl("Tabela ") + rec.plik + pl(" nie ma pola ") + missing);
    }
    for (const int col : t.pola) {
        int width = 0, decimals = 0;
        DBFGetFieldInfo(t.h, col, nullptr, &width, &decimals);
        t.szerokosci.push_back(width);
        t.miejsca.push_back(decimals);
    }
    t.plik = czytaj;
    t.nazwa = rec.plik;
    const std::int32_t id = wolnyNumer(s.tabele, s.nastepnaTabela);
    s.tabele.emplace(id, std::move(t));
    *handle = id;
    return KMX_PB_OK;
}

std::int32_t DbCenyWstawRMS(std::int32_t handle, const void* rmsRec) {
    Stan& s = stan();
    std::lock_guard lock(s.m);
    if (!rmsRec) return blad(s, pl("Brak wiersza cennika w DbCenyWstawRMS"));
    const auto it = s.tabele.find(handle);
    if (it == s.tabele.end()) return blad(s, pl("Nieznany uchwyt tabeli ") + std::to_string(handle));
    OtwartaTabela& t = it->second;
    const t3::RmsRec r = t3::CzytajRms(static_cast<const char*>(rmsRec));

    // The prices first: a row is written whole or not at all.
    const float prices[3] = {r.cenaProducenta, r.cenaHurtowa, r.cenaDetaliczna};
    std::string priceText[3];
    for (int i = 0; i < 3; ++i) {
        const int f = kpCenaProd + i;
        if (!PoleLiczby(prices[i], t.szerokosci[f], t.miejsca[f], priceText[i]))
            return blad(s, pl("Nieprawidłowa cena w wierszu ") + r.kod + pl(" tabeli ") + t.nazwa);
    }
    const std::string* texts[] = {&r.kod, &r.jmKod, &r.rodzajIndeksu, &r.typ, &r.jmNazwa};
    const int textFields[] = {kpKod, kpJmKod, kpRodzaj, kpTyp, kpJmNazwa};
    const int row = DBFGetRecordCount(t.h);
    Naglowek przed{};
    if (!NaglowekTabeli(t.h, przed))
        return bladTabeli(s, "Nie można zapisać wiersza do tabeli ", t.nazwa, errno ? errno : EIO);
    ZerujBladZapisu();
    bool ok = true;
    for (int i = 0; i < 5; ++i) {
        const int f = textFields[i];
        ok = zapiszTekst(t.h, row, t.pola[f], t.szerokosci[f], *texts[i]) && ok;
    }
    for (int i = 0; i < 3; ++i)
        ok = DBFWriteAttributeDirectly(t.h, row, t.pola[kpCenaProd + i], priceText[i].data()) && ok;
    ok = zapiszTekst(t.h, row, t.pola[kpNazwa], t.szerokosci[kpNazwa], r.nazwa) && ok;
    // The row and the header's row count on disk: readable at once.
    DBFUpdateHeader(t.h);
    if (const int err = BladZapisu(); err || !ok) {
        // A row that did not reach the disk whole is taken back: the table
        // keeps the rows written before it, and its header counts them.
        CofnijDopisanie(t.h, row, przed);
        return bladTabeli(s, "Nie można zapisać wiersza do tabeli ", t.nazwa, err ? err : EIO);
    }
    return KMX_PB_OK;
}

std::int32_t DbCenyCloseTable(std::int32_t handle) {
    Stan& s = stan();
    std::lock_guard lock(s.m);
    const auto it = s.tabele.find(handle);
    if (it == s.tabele.end()) return blad(s, pl("Nieznany uchwyt tabeli ") + std::to_string(handle));
    const std::string name = it->second.nazwa;
    ZerujBladZapisu();
    DBFClose(it->second.h);
    s.tabele.erase(it);
    if (const int err = BladZapisu()) return bladTabeli(s, "Nie można zamknąć tabeli ", name, err);
    return KMX_PB_OK;
}

std::int32_t DbCnvEtoKmbOpenTable(const char* folder, std::int32_t* context) {
    Stan& s = stan();
    std::lock_guard lock(s.m);
    if (!context) return blad(s, pl("Brak argumentów funkcji DbCnvEtoKmbOpenTable"));
    *context = 0;
    std::filesystem::path file, fileNew;
    if (!sprawdzNazwe(s, folder, kEtoKmb, file, fileNew)) return KMX_PB_ERROR;
    Konwersje map;
    std::error_code ec;
    // Without the table nothing converts.
    if (std::filesystem::exists(file, ec)) {
        DBFHandle h = OtworzTabele(file, "rb");
        if (!h) return bladTabeli(s, "Nie można odczytać tabeli ", kEtoKmb, errno);
        const int eto = DBFGetFieldIndex(h, kPolaKonwersji[kkEto].nazwa);
        const int jm = DBFGetFieldIndex(h, kPolaKonwersji[kkJm].nazwa);
        const int kmb = DBFGetFieldIndex(h, kPolaKonwersji[kkKmb].nazwa);
        if (eto < 0 || kmb < 0) {
            DBFClose(h);
            return blad(s, pl("Tabela ") + kEtoKmb + pl(" nie ma pól ETO i KMB"));
        }
        for (int r = 0, n = DBFGetRecordCount(h); r < n; ++r) {
            if (DBFIsRecordDeleted(h, r)) continue;
            const char* e = DBFReadStringAttribute(h, r, eto);
            std::string etoCode(Przytnij(e ? e : ""));
            const char* j = jm >= 0 ? DBFReadStringAttribute(h, r, jm) : "";
            const std::string unit = cp1250::upper(Przytnij(j ? j : ""));
            const char* k = DBFReadStringAttribute(h, r, kmb);
            const std::string_view kmbCode = Przytnij(k ? k : "");
            if (etoCode.empty() || kmbCode.empty()) continue;
            // The first row of an index and unit counts.
            map.emplace(klucz(etoCode, unit), std::string(kmbCode.substr(0, 8)));
        }
        DBFClose(h);
    }
    const std::int32_t id = wolnyNumer(s.konwersje, s.nastepnaKonwersja);
    s.konwersje.emplace(id, std::move(map));
    *context = id;
    return KMX_PB_OK;
}

std::int32_t DbCnvEtoKmbFind(char* codeA, char*, const char* unitCode, std::int32_t, std::int32_t* context) {
    Stan& s = stan();
    std::lock_guard lock(s.m);
    if (!codeA || !context) return blad(s, pl("Brak argumentów funkcji DbCnvEtoKmbFind"));
    const auto it = s.konwersje.find(*context);
    if (it == s.konwersje.end()) return blad(s, pl("Tabela konwersji ETO-KMB nie jest otwarta"));
    // The buffers are 9 bytes; the unit code may be the 4-byte field of a row.
    const std::string_view eto = Przytnij(std::string_view(codeA, strnlen(codeA, 9)));
    if (eto.empty() || eto.size() > 8) return KMX_PB_NOT_FOUND;
    char unit[4];
    const std::string_view unitRaw =
        unitCode ? Przytnij(std::string_view(unitCode, strnlen(unitCode, 4))) : "";
    for (std::size_t i = 0; i < unitRaw.size(); ++i)
        unit[i] = static_cast<char>(cp1250::toUpper(static_cast<unsigned char>(unitRaw[i])));
    const Konwersje& map = it->second;
    auto found = map.find(klucz(eto, std::string_view(unit, unitRaw.size())));
    if (found == map.end() && !unitRaw.empty()) found = map.find(klucz(eto, {}));
    if (found == map.end()) return KMX_PB_NOT_FOUND;
    const std::string& kmb = found->second;
    std::memcpy(codeA, kmb.data(), kmb.size());
    codeA[kmb.size()] = '\0';
    return KMX_PB_OK;
}

std::int32_t DbCnvEtoKmbCloseTable(std::int32_t* context) {
    Stan& s = stan();
    std::lock_guard lock(s.m);
    if (!context) return blad(s, pl("Brak argumentów funkcji DbCnvEtoKmbCloseTable"));
    if (!s.konwersje.erase(*context)) return blad(s, pl("Tabela konwersji ETO-KMB nie jest otwarta"));
    *context = 0;
    return KMX_PB_OK;
}

std::int32_t DbProdAppendToTable(const void* prodRec, const char* folder, const char* table) {
    Stan& s = stan();
    std::lock_guard lock(s.m);
    if (!prodRec || !table) return blad(s, pl("Brak argumentów funkcji DbProdAppendToTable"));
    std::filesystem::path file, fileNew;
    if (!sprawdzNazwe(s, folder, table, file, fileNew)) return KMX_PB_ERROR;
    const t3::ProdRec p = t3::CzytajProd(static_cast<const char*>(prodRec));
    ZerujBladZapisu();
    std::error_code ec;
    const bool exists = std::filesystem::exists(file, ec);
    // An existing table is appended to in place (a failed row is taken back);
    // a new one is made beside its name and renamed to it when whole.
    safefile::Replacement nowa(fileNew, ".dbf");
    std::string ignored;
    if (!exists && !nowa.open(ignored))
        return bladTabeli(s, "Nie można utworzyć tabeli ", table, nowa.errorCode());
    DBFHandle h = exists ? OtworzTabele(file, "rb+") : UtworzTabele(nowa.name(), kPolaProducentow);
    if (!h)
        return bladTabeli(s, exists ? "Nie można otworzyć tabeli " : "Nie można utworzyć tabeli ", table,
                          errno ? errno : EIO);
    std::vector<int> cols;
    std::string missing;
    if (!ZnajdzPola(h, kPolaProducentow, cols, missing)) {
        DBFClose(h);
        return blad(s, pl("Tabela ") + table + pl(" nie ma pola ") + missing);
    }
    const std::string* values[kdIle] = {&p.kod,         &p.nip,   &p.nazwa,       &p.kodPocztowy,
                                        &p.miejscowosc, &p.ulica, &p.wojewodztwo, &p.telKier,
                                        &p.telefon,     &p.faks,  &p.email,       &p.www};
    const int row = DBFGetRecordCount(h);
    Naglowek przed{};
    if (exists && !NaglowekTabeli(h, przed)) {
        const int readErr = errno ? errno : EIO;
        DBFClose(h);
        return bladTabeli(s, "Nie można dopisać producenta do tabeli ", table, readErr);
    }
    bool ok = true;
    for (int f = 0; f < kdIle; ++f)
        ok = zapiszTekst(h, row, cols[f], szerokosc(h, cols[f]), *values[f]) && ok;
    DBFUpdateHeader(h);
    const int err = !ok || BladZapisu() ? (BladZapisu() ? BladZapisu() : EIO) : 0;
    if (err && exists) CofnijDopisanie(h, row, przed);
    ZerujBladZapisu();
    DBFClose(h);
    const int closeErr = BladZapisu();
    if (err) return bladTabeli(s, "Nie można dopisać producenta do tabeli ", table, err);
    if (closeErr) return bladTabeli(s, "Nie można dopisać producenta do tabeli ", table, closeErr);
    if (!exists && !nowa.commit(ignored))
        return bladTabeli(s, "Nie można dopisać producenta do tabeli ", table, nowa.errorCode());
    return KMX_PB_OK;
}

std::int32_t GetDbDllError(char* buffer, std::int32_t capacity, std::int32_t*) {
    Stan& s = stan();
    std::lock_guard lock(s.m);
    if (!buffer || capacity < 0) return KMX_PB_ERROR;
    const std::size_t n = std::min(s.blad.size(), static_cast<std::size_t>(capacity));
    std::memcpy(buffer, s.blad.data(), n);
    buffer[n] = '\0';
    return KMX_PB_OK;
}

std::int32_t DbWstawCennikEx(const char*, const char*, const void*, const void*) {
    return nieobslugiwana("DbWstawCennikEx");
}

std::int32_t DbCenyModyfRMS(std::int32_t, const void*) {
    return nieobslugiwana("DbCenyModyfRMS");
}

std::int32_t DbCenySzukajRMS(std::int32_t, void*) {
    return nieobslugiwana("DbCenySzukajRMS");
}

std::int32_t DbUsunCennikEx(const char*, const char*, const void*, const void*) {
    return nieobslugiwana("DbUsunCennikEx");
}

}  // extern "C"
