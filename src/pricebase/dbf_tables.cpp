#include "pricebase/dbf_tables.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "core/cp1250.h"

namespace kmx::pricebase {

const Pole kPolaCennikow[kcIle] = {
    {"PLIK", 'C', 41}, {"TYP", 'C', 1}, {"OPIS", 'C', 201}, {"POZIOM", 'C', 21}, {"WALUTA", 'C', 11},
};

const Pole kPolaCen[kpIle] = {
    {"KOD", 'C', 8},           {"JM_KOD", 'C', 4},        {"RODZAJ", 'C', 2},
    {"TYP", 'C', 1},           {"JM_NAZWA", 'C', 21},     {"CENA_PROD", 'N', 15, 4},
    {"CENA_HURT", 'N', 15, 4}, {"CENA_DET", 'N', 15, 4},  {"NAZWA", 'C', 201},
};

const Pole kPolaProducentow[kdIle] = {
    {"KOD", 'C', 16},        {"NIP", 'C', 16},     {"NAZWA", 'C', 101},   {"KOD_POCZT", 'C', 11},
    {"MIEJSCOWOS", 'C', 31}, {"ULICA", 'C', 51},   {"WOJEWODZTW", 'C', 26}, {"TEL_KIER", 'C', 4},
    {"TELEFON", 'C', 16},    {"FAKS", 'C', 16},    {"EMAIL", 'C', 41},    {"WWW", 'C', 41},
};

const Pole kPolaKonwersji[kkIle] = {{"ETO", 'C', 8}, {"JM", 'C', 4}, {"KMB", 'C', 8}};

std::string_view Przytnij(std::string_view s) {
    const auto a = s.find_first_not_of(' ');
    if (a == std::string_view::npos) return {};
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

bool NazwaTabeliPoprawna(std::string_view name) {
    if (name.size() <= 4) return false;
    if (name.find("..") != std::string_view::npos || name.find('/') != std::string_view::npos ||
        name.find('\\') != std::string_view::npos)
        return false;
    if (name.front() == ' ') return false;
    return cp1250::lower(name.substr(name.size() - 4)) == ".dbf";
}

namespace {

thread_local int tBladZapisu = 0;

FILE* plik(SAFile f) {
    return static_cast<FILE*>(static_cast<void*>(f));
}

SAFile hOpen(const char* name, const char* access) {
    return static_cast<SAFile>(static_cast<void*>(std::fopen(name, access)));
}

SAOffset hRead(void* p, SAOffset size, SAOffset n, SAFile f) {
    return std::fread(p, size, n, plik(f));
}

SAOffset hWrite(void* p, SAOffset size, SAOffset n, SAFile f) {
    const SAOffset done = std::fwrite(p, size, n, plik(f));
    if (done != n && tBladZapisu == 0) tBladZapisu = errno ? errno : EIO;
    return done;
}

// A seek writes out what stdio holds, so its failure may be a failed write.
SAOffset hSeek(SAFile f, SAOffset offset, int whence) {
    const int r = std::fseek(plik(f), static_cast<long>(offset), whence);
    if (r != 0 && tBladZapisu == 0) tBladZapisu = errno ? errno : EIO;
    return static_cast<SAOffset>(r);
}

SAOffset hTell(SAFile f) {
    return static_cast<SAOffset>(std::ftell(plik(f)));
}

int hFlush(SAFile f) {
    const int r = std::fflush(plik(f));
    if (r != 0 && tBladZapisu == 0) tBladZapisu = errno ? errno : EIO;
    return r;
}

int hClose(SAFile f) {
    const int r = std::fclose(plik(f));
    if (r != 0 && tBladZapisu == 0) tBladZapisu = errno ? errno : EIO;
    return r;
}

int hRemove(const char* name) {
    return std::remove(name);
}

void hError(const char*) {}

// Numbers as dBASE stores them, "." whatever the locale.
double hAtof(const char* text) {
    std::string_view s = Przytnij(text ? text : "");
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

std::string rdzen(std::string_view name) {
    return std::string(name.substr(0, name.size() >= 4 ? name.size() - 4 : 0));
}

}  // namespace

std::filesystem::path PlikDoZapisu(const std::filesystem::path& folder, std::string_view name) {
    return folder / (rdzen(name) + ".dbf");
}

std::filesystem::path PlikTabeli(const std::filesystem::path& folder, std::string_view name) {
    const std::filesystem::path lower = PlikDoZapisu(folder, name);
    std::error_code ec;
    if (std::filesystem::exists(lower, ec)) return lower;
    const std::filesystem::path upper = folder / (rdzen(name) + ".DBF");
    if (std::filesystem::exists(upper, ec)) return upper;
    return lower;
}

SAHooks* Hooki() {
    static SAHooks hooks = [] {
        SAHooks h{};
        h.FOpen = hOpen;
        h.FRead = hRead;
        h.FWrite = hWrite;
        h.FSeek = hSeek;
        h.FTell = hTell;
        h.FFlush = hFlush;
        h.FClose = hClose;
        h.Remove = hRemove;
        h.Error = hError;
        h.Atof = hAtof;
        return h;
    }();
    return &hooks;
}

void ZerujBladZapisu() {
    tBladZapisu = 0;
}

int BladZapisu() {
    return tBladZapisu;
}

DBFHandle OtworzTabele(const std::filesystem::path& file, const char* access) {
    errno = 0;
    return DBFOpenLL(file.c_str(), access, Hooki());
}

DBFHandle UtworzTabele(const std::filesystem::path& file, std::span<const Pole> pola) {
    errno = 0;
    DBFHandle h = DBFCreateLL(file.c_str(), kStronaKodowa, Hooki());
    if (!h) return nullptr;
    for (const Pole& p : pola) {
        const DBFFieldType type = p.typ == 'N' ? FTDouble : FTString;
        if (DBFAddField(h, p.nazwa, type, p.szerokosc, p.miejsca) < 0) {
            const int saved = errno;
            DBFClose(h);
            std::error_code ec;
            std::filesystem::remove(file, ec);
            errno = saved;
            return nullptr;
        }
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local)) DBFSetLastModifiedDate(h, local.tm_year, local.tm_mon + 1, local.tm_mday);
    return h;
}

bool ZnajdzPola(DBFHandle h, std::span<const Pole> pola, std::vector<int>& indeksy, std::string& brak) {
    indeksy.assign(pola.size(), -1);
    for (std::size_t i = 0; i < pola.size(); ++i) {
        const int index = DBFGetFieldIndex(h, pola[i].nazwa);
        const char native = index >= 0 ? DBFGetNativeFieldType(h, index) : '\0';
        const bool kindOk = pola[i].typ == 'N' ? (native == 'N' || native == 'F') : native == 'C';
        if (!kindOk) {
            brak = pola[i].nazwa;
            return false;
        }
        indeksy[i] = index;
    }
    return true;
}

bool PoleLiczby(double value, int width, int decimals, std::string& out) {
    if (!std::isfinite(value) || width <= 0 || width > 64) return false;
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (r.ec != std::errc()) return false;
    const auto n = static_cast<int>(r.ptr - buf);
    if (n > width) return false;
    out.assign(static_cast<std::size_t>(width - n), ' ');
    out.append(buf, r.ptr);
    return true;
}

int Tabela::kolumna(std::string_view name) const {
    for (std::size_t i = 0; i < kolumny.size(); ++i)
        if (cp1250::upper(kolumny[i]) == cp1250::upper(name)) return static_cast<int>(i);
    return -1;
}

namespace {

DBFHandle otworzDoCzytania(const std::filesystem::path& file, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        error = "no table " + file.string();
        return nullptr;
    }
    DBFHandle h = OtworzTabele(file, "rb");
    if (!h) error = "cannot read " + file.string() + " as a dBASE table";
    return h;
}

}  // namespace

bool LiczWiersze(const std::filesystem::path& file, int& rows, std::string& error) {
    rows = 0;
    DBFHandle h = otworzDoCzytania(file, error);
    if (!h) return false;
    for (int r = 0, n = DBFGetRecordCount(h); r < n; ++r)
        if (!DBFIsRecordDeleted(h, r)) ++rows;
    DBFClose(h);
    return true;
}

bool CzytajTabele(const std::filesystem::path& file, Tabela& out, std::string& error) {
    out = Tabela{};
    DBFHandle h = otworzDoCzytania(file, error);
    if (!h) return false;
    const int fields = DBFGetFieldCount(h);
    for (int f = 0; f < fields; ++f) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0, decimals = 0;
        DBFGetFieldInfo(h, f, name, &width, &decimals);
        out.kolumny.emplace_back(name);
        out.typy.push_back(DBFGetNativeFieldType(h, f));
    }
    const int rows = DBFGetRecordCount(h);
    for (int r = 0; r < rows; ++r) {
        if (DBFIsRecordDeleted(h, r)) continue;
        std::vector<std::string> row;
        row.reserve(static_cast<std::size_t>(fields));
        for (int f = 0; f < fields; ++f) {
            const char* value = DBFReadStringAttribute(h, r, f);
            row.emplace_back(Przytnij(value ? value : ""));
        }
        out.wiersze.push_back(std::move(row));
    }
    DBFClose(h);
    return true;
}

}  // namespace kmx::pricebase
