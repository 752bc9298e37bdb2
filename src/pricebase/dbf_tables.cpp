#include "pricebase/dbf_tables.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <system_error>

#include <stdio_ext.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/cp1250.h"
#include "core/safe_file.h"

namespace kmx::pricebase {

const Pole kPolaCennikow[kcIle] = {
    {"PLIK", 'C', 41}, {"TYP", 'C', 1}, {"OPIS", 'C', 201}, {"POZIOM", 'C', 21}, {"WALUTA", 'C', 11},
};

const Pole kPolaCen[kpIle] = {
    {"KOD", 'C', 8},           {"JM_KOD", 'C', 4},       {"RODZAJ", 'C', 2},
    {"TYP", 'C', 1},           {"JM_NAZWA", 'C', 21},    {"CENA_PROD", 'N', 15, 4},
    {"CENA_HURT", 'N', 15, 4}, {"CENA_DET", 'N', 15, 4}, {"NAZWA", 'C', 201},
};

const Pole kPolaProducentow[kdIle] = {
    {"KOD", 'C', 16},        {"NIP", 'C', 16},   {"NAZWA", 'C', 101},     {"KOD_POCZT", 'C', 11},
    {"MIEJSCOWOS", 'C', 31}, {"ULICA", 'C', 51}, {"WOJEWODZTW", 'C', 26}, {"TEL_KIER", 'C', 4},
    {"TELEFON", 'C', 16},    {"FAKS", 'C', 16},  {"EMAIL", 'C', 41},      {"WWW", 'C', 41},
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
    if (size == 0 || n == 0) return 0;
    // The test seam of safe_file.h fails our writes as a full disk would.
    int injected = 0;
    const std::size_t allowed = safefile::AllowedBytes(size * n, injected);
    errno = 0;
    const std::size_t done = allowed > 0 ? std::fwrite(p, 1, allowed, plik(f)) : 0;
    if (done != size * n) {
        if (injected) errno = injected;
        if (tBladZapisu == 0) tBladZapisu = errno ? errno : EIO;
    }
    return done / size;
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

// A closed table is on the disk: what stdio holds is written out and synced,
// so a full disk shows here rather than after the program has moved on.
int hClose(SAFile f) {
    FILE* fp = plik(f);
    int r = std::fflush(fp);
    if (r != 0 && tBladZapisu == 0) tBladZapisu = errno ? errno : EIO;
    if (r == 0 && ::fsync(fileno(fp)) != 0 && errno != EINVAL && errno != EBADF && tBladZapisu == 0)
        tBladZapisu = errno;
    r = std::fclose(fp) != 0 ? -1 : r;
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
    DBFHandle h = DBFOpenLL(file.c_str(), access, Hooki());
    if (!h) return nullptr;
    // A header that counts more records than the file holds (a cut or
    // damaged table) would have every reader walk rows that are not there,
    // up to 2^31 of them, each failed read giving empty values.
    struct stat st {};
    const std::uint64_t needed =
        static_cast<std::uint64_t>(h->nHeaderLength) +
        static_cast<std::uint64_t>(h->nRecords) * static_cast<std::uint64_t>(h->nRecordLength);
    if (h->nRecords < 0 || ::fstat(::fileno(plik(h->fp)), &st) != 0 ||
        static_cast<std::uint64_t>(st.st_size) < needed) {
        DBFClose(h);
        errno = EINVAL;
        return nullptr;
    }
    return h;
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

bool NaglowekTabeli(DBFHandle h, Naglowek& out) {
    if (!h) return false;
    return ::pread(fileno(plik(h->fp)), out.data(), out.size(), 0) == static_cast<ssize_t>(out.size());
}

void CofnijDopisanie(DBFHandle h, int rows, const Naglowek& naglowek) {
    if (!h || rows < 0 || rows > h->nRecords) return;
    FILE* fp = plik(h->fp);
    // What stdio still holds of the failed row is dropped, not retried.
    __fpurge(fp);
    std::clearerr(fp);
    h->nRecords = rows;
    h->nCurrentRecord = -1;
    h->bCurrentRecordModified = 0;
    // The header on disk is the one put back here; closing must not write
    // it again.
    h->bUpdated = 0;
    const int fd = fileno(fp);
    const off_t end = static_cast<off_t>(h->nHeaderLength) + static_cast<off_t>(h->nRecordLength) * rows;
    // Shortening a file and rewriting bytes it has need no space, so these
    // go straight to the file: the end mark back after the last whole row
    // and the header as it was before the append (shapelib rewrites the
    // header after a row even when it could not read it back).
    if (::ftruncate(fd, end) == 0 && h->bWriteEndOfFileChar) {
        const ssize_t mark = ::pwrite(fd, "\x1a", 1, end);
        static_cast<void>(mark);
    }
    const ssize_t header = ::pwrite(fd, naglowek.data(), naglowek.size(), 0);
    static_cast<void>(header);
    ::fsync(fd);
}

bool KopiujDo(const std::filesystem::path& from, safefile::Replacement& to) {
    FILE* in = std::fopen(from.c_str(), "rb");
    if (!in) {
        to.setFailed(errno);
        return false;
    }
    char buf[65536];
    bool ok = true;
    for (std::size_t n; ok && (n = std::fread(buf, 1, sizeof buf, in)) > 0;) ok = to.write(buf, n);
    if (ok && std::ferror(in)) {
        to.setFailed(EIO);
        ok = false;
    }
    std::fclose(in);
    return ok;
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
