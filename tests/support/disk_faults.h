#pragma once
// Helpers for the tests of writers against failing disks. The tests run as
// root, for whom permission bits do not count, so the failures used are
// ones root meets too: the test seam of core/safe_file.h (full or read-only
// disk at any step), a file-size limit of the process (the kernel's EFBIG, a
// real full disk for this process), /dev/full, folders of the read-only
// /proc and /sys, a parent that is a regular file, and a small tmpfs mounted
// in a private mount namespace of a child process where that is allowed.

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/safe_file.h"

namespace kmx::disktest {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir() {
        std::string templ = (fs::temp_directory_path() / "kmx-disk-XXXXXX").string();
        if (::mkdtemp(templ.data()) != nullptr) path_ = templ;
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    // The names in the folder, sorted (a left-over temporary file shows here).
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(path_)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    fs::path path_;
};

inline std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream out;
    if (in) out << in.rdbuf();
    return out.str();
}

inline void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Files of this process may not grow past `bytes` for the scope: writes
// beyond fail with EFBIG ("brak miejsca na dysku").
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ok_ = ::getrlimit(RLIMIT_FSIZE, &old_) == 0;
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old_;
        small.rlim_cur = bytes;
        ok_ = ok_ && ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, signal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return ok_; }

private:
    rlimit old_{};
    void (*signal_)(int) = SIG_DFL;
    bool ok_ = false;
};

// A place where nothing can be written, and the reason the message gives.
struct Unwritable {
    fs::path file;
    std::string reason;
};
// Under the read-only /proc, and below a regular file.
inline std::vector<Unwritable> unwritablePlaces(const TempDir& dir, const std::string& name) {
    writeFile(dir / "plik.txt", "nie folder");
    return {
        {fs::path("/proc") / ("kmx-" + std::to_string(::getpid()) + "-" + name),
         "nie ma takiego pliku ani folderu"},
        {dir / "plik.txt" / name, "ścieżka nie prowadzi do folderu"},
    };
}

// The message of a writer that failed for `reason` on `file`.
inline std::string message(const fs::path& file, const std::string& reason) {
    return "Nie można zapisać pliku " + file.string() + ": " + reason;
}

// The faults of the seam every writer is taken through: a full disk after
// each of `offsets` bytes, and a full or read-only disk at the flush, the
// close and the rename.
struct SeamCase {
    safefile::Fault fault;
    std::string reason;
    std::string label;
};
inline std::vector<SeamCase> seamCases(const std::vector<std::uint64_t>& offsets) {
    using safefile::Step;
    std::vector<SeamCase> out;
    for (const std::uint64_t n : offsets)
        out.push_back(
            {{Step::Write, ENOSPC, n, 0}, "brak miejsca na dysku", "write after " + std::to_string(n)});
    out.push_back({{Step::Sync, EIO, 0, 0}, "błąd wejścia/wyjścia dysku", "sync"});
    out.push_back({{Step::Close, ENOSPC, 0, 0}, "brak miejsca na dysku", "close"});
    out.push_back({{Step::Rename, EROFS, 0, 0}, "dysk tylko do odczytu", "rename"});
    out.push_back({{Step::Open, EROFS, 0, 0}, "dysk tylko do odczytu", "open"});
    return out;
}

// Runs `body` in a child process that has a tmpfs of `bytes` mounted on
// `mountPoint` in its own mount namespace. The child's exit status is
// `body`'s result (0 passed); 77 when the file system could not be mounted.
inline int inSmallTmpfs(const fs::path& mountPoint, std::size_t bytes, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child < 0) return 77;
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0) ::_exit(77);
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) ::_exit(77);
        const std::string options = "size=" + std::to_string(bytes);
        if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, options.c_str()) != 0) ::_exit(77);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

}  // namespace kmx::disktest
