#pragma once
// Shared by the fuzz targets: a check that stops the run with a message, so
// that a broken invariant is a crash the fuzzer keeps and the corpus replay
// in the tests reports; the input taken apart into fields; files in a
// scratch folder for the readers that take a path.

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include <signal.h>
#include <unistd.h>

#define KMX_FUZZ_CHECK(cond) ((cond) ? static_cast<void>(0) : ::kmx::fuzz::fail(#cond, __FILE__, __LINE__))

namespace kmx::fuzz {

[[noreturn]] inline void fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
    std::fflush(stderr);
    std::abort();
}

inline std::string_view asView(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input cut at its first `parts - 1` zero bytes; the last part keeps any
// further zeros. Missing parts are empty.
inline std::vector<std::string_view> splitAtZeros(std::string_view input, std::size_t parts) {
    std::vector<std::string_view> out;
    while (out.size() + 1 < parts) {
        const std::size_t zero = input.find('\0');
        if (zero == std::string_view::npos) break;
        out.push_back(input.substr(0, zero));
        input.remove_prefix(zero + 1);
    }
    out.push_back(input);
    out.resize(parts);
    return out;
}

// A folder of this process under the temporary folder, removed at a normal
// exit; one a crashed run left behind goes at the next run's start.
inline const std::filesystem::path& scratchDir() {
    // Never destroyed, so that the exit handler still finds it.
    static const std::filesystem::path* const dir = [] {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::temp_directory_path(ec);
        if (ec) base = "/tmp";
        // Folders of earlier runs whose process is gone (a crash, or the
        // fuzzer's own quick exit) are cleared first.
        for (auto it = std::filesystem::directory_iterator(base, ec);
             !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.rfind("kmx-fuzz-", 0) != 0) continue;
            const std::string pid = name.substr(9);
            if (pid.empty() || pid.size() > 9 || pid.find_first_not_of("0123456789") != std::string::npos)
                continue;
            if (::kill(static_cast<pid_t>(std::stol(pid)), 0) != 0 && errno == ESRCH) {
                std::error_code ignored;
                std::filesystem::remove_all(it->path(), ignored);
            }
        }
        ec.clear();
        std::filesystem::path d = base / ("kmx-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d, ec);
        return new std::filesystem::path(std::move(d));
    }();
    static const bool cleanup = std::atexit([] {
                                    std::error_code e;
                                    std::filesystem::remove_all(*dir, e);
                                }) == 0;
    (void)cleanup;
    return *dir;
}

// Writes the bytes to scratchDir()/name; the target cannot go on without it.
inline std::filesystem::path scratchFile(const std::string& name, std::string_view bytes) {
    const std::filesystem::path path = scratchDir() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    KMX_FUZZ_CHECK(out.good());
    return path;
}

}  // namespace kmx::fuzz
