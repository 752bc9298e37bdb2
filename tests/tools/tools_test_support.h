#pragma once
// Shared helpers of the tool tests: scratch directories and file access.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace kmx::catalog::testing {

// A fresh directory for one test (or, given a name, for a whole suite),
// removed afterwards.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& suiteName = {}) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // A suite's folder is per process: CTest runs each case in a process of its own, side by side.
        const std::string name = suiteName.empty() ? std::string(info->test_suite_name()) + "_" + info->name()
                                                   : suiteName + "_" + std::to_string(::getpid());
        path_ = std::filesystem::path(::testing::TempDir()) / ("kmx_tools_" + name);
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void writeFile(const std::filesystem::path& p, const std::string& bytes) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline void writeTables(const std::filesystem::path& dir, const std::map<std::string, std::string>& tables) {
    for (const auto& [name, text] : tables) writeFile(dir / (name + ".csv"), text);
}

// kmx-tool lies beside the test program (KMX_BIN_DIR when run by CTest).
inline std::filesystem::path toolPath() {
    if (const char* bin = std::getenv("KMX_BIN_DIR")) return std::filesystem::path(bin) / "kmx-tool";
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "kmx-tool";
}

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs kmx-tool with shell-quoted arguments, its output kept in files of dir.
inline ToolRun runTool(const ScratchDir& dir, const std::string& args) {
    const std::string command = "'" + toolPath().string() + "' " + args + " >'" + (dir / "out.txt").string() +
                                "' 2>'" + (dir / "err.txt").string() + "'";
    const int raw = std::system(command.c_str());
    ToolRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = readFile(dir / "out.txt");
    r.err = readFile(dir / "err.txt");
    return r;
}

}  // namespace kmx::catalog::testing
