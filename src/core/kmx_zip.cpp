#include "core/kmx_zip.h"

#include "core/safe_file.h"

#include <zip.h>

#include <filesystem>
#include <fstream>
#include <system_error>

namespace kmx::kmxzip {

namespace {
std::string zipError(zip_t* z) {
    const char* s = zip_strerror(z);
    return s ? s : "nieznany błąd biblioteki zip";
}
}  // namespace

bool PackKmx(const std::string& bodyPath, const std::string& target, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(bodyPath, ec)) {
        error = "brak pliku " + bodyPath;
        return false;
    }
    std::string archive;
    if (!PackKmxBytes(bodyPath, archive, error)) return false;
    // A new file beside the target renamed over it: an older archive keeps
    // none of its members, and a failure keeps the older file whole.
    return safefile::WriteFile(target, archive, error);
}

bool PackKmxBytes(const std::string& bodyPath, std::string& archive, std::string& error) {
    archive.clear();
    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &ze);
    if (buffer == nullptr) {
        error = std::string("pakowanie nie powiodło się: ") + zip_error_strerror(&ze);
        zip_error_fini(&ze);
        return false;
    }
    zip_t* z = zip_open_from_source(buffer, ZIP_TRUNCATE, &ze);
    if (z == nullptr) {
        error = std::string("pakowanie nie powiodło się: ") + zip_error_strerror(&ze);
        zip_error_fini(&ze);
        zip_source_free(buffer);
        return false;
    }
    zip_error_fini(&ze);
    // The buffer outlives the archive, to be read once it is closed.
    zip_source_keep(buffer);
    zip_source_t* src = zip_source_file(z, bodyPath.c_str(), 0, -1);
    zip_int64_t index = -1;
    if (src != nullptr) {
        index = zip_file_add(z, kMemberName, src, ZIP_FL_ENC_UTF_8);
        if (index < 0) zip_source_free(src);
    }
    if (index < 0 || zip_set_file_compression(z, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9) != 0) {
        error = "pakowanie nie powiodło się: " + zipError(z);
        zip_discard(z);
        zip_source_free(buffer);
        return false;
    }
    if (zip_close(z) != 0) {
        error = "pakowanie nie powiodło się: " + zipError(z);
        zip_discard(z);
        zip_source_free(buffer);
        return false;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    bool ok = zip_source_stat(buffer, &st) == 0 && (st.valid & ZIP_STAT_SIZE) && zip_source_open(buffer) == 0;
    if (ok) {
        archive.resize(static_cast<std::size_t>(st.size));
        const zip_int64_t got = zip_source_read(buffer, archive.data(), st.size);
        ok = got == static_cast<zip_int64_t>(st.size);
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    if (!ok) {
        archive.clear();
        error = "pakowanie nie powiodło się: nie można odczytać archiwum z pamięci";
    }
    return ok;
}

bool IsZip(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    char sig[4] = {};
    f.read(sig, 4);
    return f.gcount() == 4 && sig[0] == 'P' && sig[1] == 'K' && sig[2] == 3 && sig[3] == 4;
}

bool UnpackSingle(const std::string& zipPath, std::string& contents, std::string& memberName,
                  std::string& error) {
    int code = 0;
    zip_t* z = zip_open(zipPath.c_str(), ZIP_RDONLY, &code);
    if (z == nullptr) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, code);
        error = "nie można otworzyć archiwum " + zipPath + ": " + zip_error_strerror(&ze);
        zip_error_fini(&ze);
        return false;
    }
    const zip_int64_t n = zip_get_num_entries(z, 0);
    if (n != 1) {
        error = "archiwum ma " + std::to_string(n) + " plików zamiast jednego";
        zip_discard(z);
        return false;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    zip_file_t* f = nullptr;
    if (zip_stat_index(z, 0, 0, &st) != 0 || (f = zip_fopen_index(z, 0, 0)) == nullptr) {
        error = "nie można odczytać archiwum: " + zipError(z);
        zip_discard(z);
        return false;
    }
    memberName = st.name ? st.name : "";
    contents.clear();
    char buf[65536];
    zip_int64_t got = 0;
    while ((got = zip_fread(f, buf, sizeof buf)) > 0) contents.append(buf, static_cast<std::size_t>(got));
    const bool ok = got == 0;
    if (!ok) error = "błąd rozpakowania: " + std::string(zip_file_strerror(f));
    zip_fclose(f);
    zip_discard(z);
    return ok;
}

}  // namespace kmx::kmxzip
