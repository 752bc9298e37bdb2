// A price-base library for the bridge's tests: the nineteen functions, its
// behaviour chosen through the environment, every call written to a log.
//   KMX_FAKE_PB_LOG        file the calls are appended to, one per line
//   KMX_FAKE_PB_VERSION    what GetDbDllVer reports (default 3120)
//   KMX_FAKE_PB_INIT       "fail": InitDbDLL refuses
//   KMX_FAKE_PB_FAIL       "create", "register" or "open": that step fails
//   KMX_FAKE_PB_FAIL_ROW   the k-th DbCenyWstawRMS (from 1) fails
//   KMX_FAKE_PB_EXISTS     "1": DbCheckTableExists says the price list exists
//   KMX_FAKE_PB_KMB        "ETO=KMB,ETO=KMB": the conversions DbCnvEtoKmbFind finds
// Built once whole and once without DbCenySzukajRMS (KMX_FAKE_PB_INCOMPLETE).

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/t3_records.h"
#include "pricebase/pricebase.h"

namespace {

const char* env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

void log(const std::string& line) {
    const char* file = env("KMX_FAKE_PB_LOG");
    if (!*file) return;
    if (FILE* f = std::fopen(file, "ab")) {
        std::fwrite(line.data(), 1, line.size(), f);
        std::fputc('\n', f);
        std::fclose(f);
    }
}

std::string hex(const void* data, std::size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    const auto* b = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        out += digits[b[i] >> 4];
        out += digits[b[i] & 15];
    }
    return out;
}

bool fails(const char* step) {
    return std::strcmp(env("KMX_FAKE_PB_FAIL"), step) == 0;
}

int rows = 0;
std::string lastError;

std::int32_t error(const std::string& text) {
    lastError = text;
    return 1;
}

}  // namespace

extern "C" {

std::int32_t GetDbDllVer(void*) {
    log("GetDbDllVer");
    const char* v = env("KMX_FAKE_PB_VERSION");
    return *v ? std::atoi(v) : 3120;
}

std::int32_t InitDbDLL(void*, std::int32_t version) {
    log("InitDbDLL " + std::to_string(version));
    rows = 0;
    return std::strcmp(env("KMX_FAKE_PB_INIT"), "fail") == 0 ? 1 : 0;
}

std::int32_t DbCheckTableExists(std::int16_t* exists, std::int32_t*, const char* folder, const void* rec) {
    log(std::string("DbCheckTableExists ") + folder + " " + hex(rec, kmx::t3::kCennikRecSize));
    *exists = std::strcmp(env("KMX_FAKE_PB_EXISTS"), "1") == 0 ? 1 : 0;
    return 0;
}

std::int32_t DbDeleteTable(const char* folder, const void* rec) {
    log(std::string("DbDeleteTable ") + folder + " " +
        kmx::t3::CzytajCennik(static_cast<const char*>(rec)).plik);
    return 0;
}

std::int32_t DbUsunCennik(const char* folder, const char* table, const void* rec) {
    log(std::string("DbUsunCennik ") + folder + " " + table + " " +
        kmx::t3::CzytajCennik(static_cast<const char*>(rec)).plik);
    return 0;
}

std::int32_t DbCenyCreateTable(const char* folder, const void* rec, char type) {
    log(std::string("DbCenyCreateTable ") + folder + " " + hex(rec, kmx::t3::kCennikRecSize) + " " + type);
    return fails("create") ? error("Brak miejsca na dysku") : 0;
}

std::int32_t DbWstawCennik(const char* folder, const char* table, const void* rec) {
    log(std::string("DbWstawCennik ") + folder + " " + table + " " +
        kmx::t3::CzytajCennik(static_cast<const char*>(rec)).plik);
    return fails("register") ? error("Tabela cenniki.dbf jest uszkodzona") : 0;
}

std::int32_t DbCenyOpenTable(std::int32_t* handle, const char* folder, const void* rec, char type) {
    log(std::string("DbCenyOpenTable ") + folder + " " +
        kmx::t3::CzytajCennik(static_cast<const char*>(rec)).plik + " " + type);
    *handle = 7;
    return fails("open") ? error("Nie można otworzyć tabeli") : 0;
}

std::int32_t DbCenyWstawRMS(std::int32_t handle, const void* rec) {
    ++rows;
    log("DbCenyWstawRMS " + std::to_string(handle) + " " + hex(rec, kmx::t3::kRmsRecSize));
    const char* k = env("KMX_FAKE_PB_FAIL_ROW");
    return *k && std::atoi(k) == rows ? error("wiersz odrzucony") : 0;
}

std::int32_t DbCenyCloseTable(std::int32_t handle) {
    log("DbCenyCloseTable " + std::to_string(handle));
    return 0;
}

std::int32_t DbCnvEtoKmbOpenTable(const char* folder, std::int32_t* context) {
    log(std::string("DbCnvEtoKmbOpenTable ") + folder);
    *context = 3;
    return 0;
}

std::int32_t DbCnvEtoKmbFind(char* codeA, char* codeB, const char* unit, std::int32_t one,
                             std::int32_t* context) {
    log(std::string("DbCnvEtoKmbFind ") + codeA + " " + codeB + " " + std::string(unit, strnlen(unit, 4)) +
        " " + std::to_string(one) + " " + std::to_string(*context));
    const std::string pairs = std::string(",") + env("KMX_FAKE_PB_KMB") + ",";
    const std::string key = std::string(",") + codeA + "=";
    const auto at = pairs.find(key);
    if (at == std::string::npos) return 1;
    const auto from = at + key.size();
    const std::string kmb = pairs.substr(from, pairs.find(',', from) - from);
    std::memset(codeA, 0, 9);
    std::memcpy(codeA, kmb.data(), kmb.size() < 8 ? kmb.size() : 8);
    return 0;
}

std::int32_t DbCnvEtoKmbCloseTable(std::int32_t* context) {
    log("DbCnvEtoKmbCloseTable " + std::to_string(*context));
    return 0;
}

std::int32_t DbProdAppendToTable(const void* rec, const char* folder, const char* table) {
    log(std::string("DbProdAppendToTable ") + folder + " " + table + " " + hex(rec, kmx::t3::kProdRecSize));
    return 0;
}

std::int32_t GetDbDllError(char* buffer, std::int32_t capacity, std::int32_t*) {
    log("GetDbDllError " + std::to_string(capacity));
    std::snprintf(buffer, static_cast<std::size_t>(capacity) + 1, "%s", lastError.c_str());
    return 0;
}

// Present, never called.
std::int32_t DbWstawCennikEx(const char*, const char*, const void*, const void*) {
    return error("nieobsługiwane");
}
std::int32_t DbCenyModyfRMS(std::int32_t, const void*) {
    return error("nieobsługiwane");
}
#ifndef KMX_FAKE_PB_INCOMPLETE
std::int32_t DbCenySzukajRMS(std::int32_t, void*) {
    return error("nieobsługiwane");
}
#endif
std::int32_t DbUsunCennikEx(const char*, const char*, const void*, const void*) {
    return error("nieobsługiwane");
}

}  // extern "C"
