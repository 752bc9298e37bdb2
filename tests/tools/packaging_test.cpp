// The installed tree as the package ships it: desktop entries, metainfo,
// icons, the man page against kmx-tool's own usage, the demo catalogues, and
// the window captions on a real X server.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools_test_support.h"

namespace {

namespace fs = std::filesystem;
using kmx::catalog::testing::readFile;
using kmx::catalog::testing::ScratchDir;
using kmx::catalog::testing::toolPath;
using kmx::catalog::testing::writeFile;

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct Wynik {
    int status = -1;
    std::string out;
};

// Runs a shell command, standard output and error together.
Wynik run(const ScratchDir& dir, const std::string& command) {
    const fs::path out = dir / "run.txt";
    const int raw = std::system((command + " >" + quote(out.string()) + " 2>&1").c_str());
    return Wynik{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out)};
}

bool onPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// The value of key in a desktop entry's text ("" when absent).
std::string desktopValue(const std::string& text, const std::string& key) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return {};
}

std::vector<fs::path> filesIn(const fs::path& dir, const std::string& suffix) {
    std::vector<fs::path> files;
    if (!fs::is_directory(dir)) return files;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The build folder's install rules run once for the suite into a scratch
// prefix.
class Packaging : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new ScratchDir("Packaging");
        const fs::path build = toolPath().parent_path().parent_path();
        const Wynik r = run(*dir_, "cmake --install " + quote(build.string()) + " --prefix " +
                                       quote((dir_->path() / "usr").string()));
        installed_ = r.status == 0;
        log_ = r.out;
        // The demo catalogues are left out when the build was configured so.
        demo_ = readFile(build / "CMakeCache.txt").find("KMX_INSTALL_DEMO:BOOL=OFF") == std::string::npos;
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(installed_) << log_; }
    static fs::path prefix() { return dir_->path() / "usr"; }

    static std::vector<fs::path> desktopFiles() {
        return filesIn(prefix() / "share/applications", ".desktop");
    }

    static inline ScratchDir* dir_ = nullptr;
    static inline bool installed_ = false;
    static inline bool demo_ = true;
    static inline std::string log_;
};

TEST_F(Packaging, OneValidDesktopEntryPerProgramWithItsIcon) {
    const auto files = desktopFiles();
    ASSERT_EQ(files.size(), 2u);
    std::set<std::string> programs;
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.string());
        const std::string text = readFile(f);
        const std::string id = f.stem().string();
        const std::string exec = desktopValue(text, "Exec");
        programs.insert(exec);
        EXPECT_EQ(desktopValue(text, "Type"), "Application");
        EXPECT_EQ(desktopValue(text, "TryExec"), exec);
        EXPECT_EQ(desktopValue(text, "StartupWMClass"), exec);
        EXPECT_FALSE(desktopValue(text, "Name").empty());
        EXPECT_FALSE(desktopValue(text, "Comment").empty());
        EXPECT_NE(desktopValue(text, "Categories").find("Office;"), std::string::npos);
        // The icon by the entry's own name, in the hicolor theme.
        EXPECT_EQ(desktopValue(text, "Icon"), id);
        const fs::path icon = prefix() / "share/icons/hicolor/scalable/apps" / (id + ".svg");
        ASSERT_TRUE(fs::is_regular_file(icon));
        EXPECT_NE(readFile(icon).find("<svg"), std::string::npos);
        EXPECT_EQ(::access((prefix() / "bin" / exec).c_str(), X_OK), 0);
    }
    EXPECT_EQ(programs, (std::set<std::string>{"Kalmarex", "KalmarexAvg"}));
    if (!onPath("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is not installed";
    for (const fs::path& f : files) {
        const Wynik r = run(*dir_, "desktop-file-validate " + quote(f.string()));
        EXPECT_EQ(r.status, 0) << f << ": " << r.out;
        EXPECT_EQ(r.out, "") << f;
    }
}

TEST_F(Packaging, MetainfoNamesTheEntryAndTheProgramAndValidates) {
    const auto files = filesIn(prefix() / "share/metainfo", ".metainfo.xml");
    ASSERT_EQ(files.size(), 2u);
    for (const fs::path& f : files) {
        SCOPED_TRACE(f.string());
        const std::string text = readFile(f);
        const std::string id = f.filename().string().substr(0, f.filename().string().size() - 13);
        EXPECT_NE(text.find("<id>" + id + "</id>"), std::string::npos);
        EXPECT_NE(text.find("<launchable type=\"desktop-id\">" + id + ".desktop</launchable>"),
                  std::string::npos);
        const fs::path desktop = prefix() / "share/applications" / (id + ".desktop");
        ASSERT_TRUE(fs::is_regular_file(desktop));
        const std::string exec = desktopValue(readFile(desktop), "Exec");
        EXPECT_NE(text.find("<binary>" + exec + "</binary>"), std::string::npos);
    }
    if (!onPath("appstreamcli")) GTEST_SKIP() << "appstreamcli is not installed";
    for (const fs::path& f : files) {
        const Wynik r = run(*dir_, "appstreamcli validate --no-net " + quote(f.string()));
        EXPECT_EQ(r.status, 0) << f << ": " << r.out;
        // Pedantic remarks only (the id's capitals); no error, warning or info.
        const std::string lines = "\n" + r.out;
        for (const char* level : {"\nE:", "\nW:", "\nI:"})
            EXPECT_EQ(lines.find(level), std::string::npos) << r.out;
    }
}

// The command names kmx-tool lists in its usage and the man page's COMMANDS
// section describes.
std::set<std::string> usageCommands(const std::string& usage) {
    std::set<std::string> names;
    std::istringstream in(usage);
    std::string line;
    const std::regex row("^  kmx-tool ([a-z][a-z0-9-]*)");
    std::smatch m;
    while (std::getline(in, line))
        if (std::regex_search(line, m, row)) names.insert(m[1]);
    return names;
}

std::set<std::string> manCommands(const std::string& page) {
    std::set<std::string> names;
    std::istringstream in(page);
    std::string line;
    bool inCommands = false, afterTp = false;
    const std::regex item("^\\.B ([a-z][a-z0-9-]*)");
    std::smatch m;
    while (std::getline(in, line)) {
        if (line.rfind(".SH", 0) == 0) inCommands = line == ".SH COMMANDS";
        if (!inCommands) continue;
        if (afterTp && std::regex_search(line, m, item)) names.insert(m[1]);
        afterTp = line == ".TP";
    }
    return names;
}

TEST_F(Packaging, ManPageDescribesExactlyTheCommandsOfTheUsage) {
    const fs::path page = prefix() / "share/man/man1/kmx-tool.1.gz";
    ASSERT_TRUE(fs::is_regular_file(page));
    const Wynik man = run(*dir_, "gzip -dc " + quote(page.string()));
    ASSERT_EQ(man.status, 0) << man.out;
    EXPECT_EQ(man.out.rfind(".TH KMX-TOOL 1 ", 0), 0u);
    const Wynik usage = run(*dir_, quote((prefix() / "bin/kmx-tool").string()) + " --help");
    ASSERT_EQ(usage.status, 0) << usage.out;
    const std::set<std::string> fromUsage = usageCommands(usage.out);
    // The parse itself: these are among the usage's commands.
    for (const char* c : {"scramble", "catalog", "report", "pricebase", "pe-version"})
        EXPECT_EQ(fromUsage.count(c), 1u) << c;
    EXPECT_EQ(manCommands(man.out), fromUsage);
    // groff reads it without a warning, when it is installed.
    if (onPath("groff")) {
        const Wynik g = run(*dir_, "gzip -dc " + quote(page.string()) + " | groff -man -Tutf8 -ww -z");
        EXPECT_EQ(g.status, 0) << g.out;
        EXPECT_EQ(g.out, "");
    }
}

TEST_F(Packaging, LibraryInItsPrivateFolderAndNothingOfTheTests) {
    std::vector<std::string> libraries;
    for (const auto& e : fs::recursive_directory_iterator(prefix())) {
        const std::string name = e.path().filename().string();
        if (name.find(".so") != std::string::npos)
            libraries.push_back(fs::relative(e.path(), prefix()).string());
        EXPECT_EQ(name.find("test"), std::string::npos) << e.path();
    }
    ASSERT_EQ(libraries.size(), 1u);
    const std::regex place("^lib/([a-z0-9_]+-linux-gnu/)?kalmarex/libkmx_pricebase\\.so$");
    EXPECT_TRUE(std::regex_match(libraries[0], place)) << libraries[0];
    for (const char* program : {"Kalmarex", "KalmarexAvg", "kmx-tool"})
        EXPECT_EQ(::access((prefix() / "bin" / program).c_str(), X_OK), 0) << program;
}

TEST_F(Packaging, DemoCataloguesWithoutTheirSourcesAndTheToolReadsThem) {
    if (!demo_) GTEST_SKIP() << "configured with KMX_INSTALL_DEMO=OFF";
    const fs::path share = prefix() / "share/kalmarex";
    for (const fs::path& folder : {share, share / "avg"}) {
        SCOPED_TRACE(folder.string());
        for (const char* f : {"kmx.dat", "kmx.iif", "stawki.rtf"})
            EXPECT_TRUE(fs::is_regular_file(folder / f)) << f;
        EXPECT_TRUE(fs::is_directory(folder / "Logo"));
        EXPECT_FALSE(fs::exists(folder / "src"));
        EXPECT_FALSE(fs::exists(folder / "pricebase"));
        // Everyone may read them; the program opens them read-only.
        struct stat st {};
        ASSERT_EQ(::stat((folder / "kmx.dat").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0644u);
    }
    const std::string tool = quote((prefix() / "bin/kmx-tool").string());
    const Wynik prices =
        run(*dir_, tool + " search-goods --catalogue " + quote(share.string()) + " --type M");
    ASSERT_EQ(prices.status, 0) << prices.out;
    const Wynik avg =
        run(*dir_, tool + " search-goods --catalogue " + quote((share / "avg").string()) + " --type S");
    ASSERT_EQ(avg.status, 0) << avg.out;
    // The first line is the count, then a row per goods item; the average
    // prices name their source where the producer prices name the supplier.
    for (const Wynik* r : {&prices, &avg}) {
        const std::string count = r->out.substr(0, r->out.find('\n'));
        ASSERT_TRUE(std::regex_match(count, std::regex("[1-9][0-9]*"))) << r->out;
    }
    EXPECT_NE(avg.out.find("Ceny Średnie"), std::string::npos);
    EXPECT_EQ(prices.out.find("Ceny Średnie"), std::string::npos);
}

// Starts an installed program on a virtual X server, waits for its main
// window and prints the window's properties.
const char* const kWindowScript = R"(#!/bin/sh
"$1" & pid=$!
id=
for i in $(seq 1 80); do
  id=$(xwininfo -root -tree | grep '"KALMAREX' | head -n 1 | awk '{print $1}')
  [ -n "$id" ] && break
  sleep 0.25
done
[ -n "$id" ] && xprop -id "$id" WM_NAME _NET_WM_NAME WM_CLASS
kill $pid
wait $pid
)";

TEST_F(Packaging, WindowCaptionOnX11IsExactlyTheProgramsCaption) {
    if (!demo_) GTEST_SKIP() << "configured with KMX_INSTALL_DEMO=OFF";
    for (const char* p : {"xvfb-run", "xwininfo", "xprop"})
        if (!onPath(p)) GTEST_SKIP() << p << " is not installed";
    writeFile(dir_->path() / "window.sh", kWindowScript);
    fs::permissions(dir_->path() / "window.sh", fs::perms::owner_all);
    const fs::path home = dir_->path() / "home";
    fs::create_directories(home / "runtime");
    fs::permissions(home / "runtime", fs::perms::owner_all);
    const struct {
        const char* program;
        const char* caption;
    } cases[] = {{"Kalmarex", "KALMAREX - CENY PRODUCENTÓW I DOSTAWCÓW - wydanie "},
                 {"KalmarexAvg", "KALMAREX - CENY ŚREDNIE - wydanie "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        // A home of its own: the settings written on close stay in the scratch
        // folder, and no catalogue of the user's is found first.
        const Wynik r = run(*dir_, "env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME=" + quote(home.string()) +
                                       " XDG_RUNTIME_DIR=" + quote((home / "runtime").string()) +
                                       " xvfb-run -a " + quote((dir_->path() / "window.sh").string()) + " " +
                                       quote((prefix() / "bin" / c.program).string()));
        std::smatch m;
        ASSERT_TRUE(std::regex_search(r.out, m, std::regex("_NET_WM_NAME\\(UTF8_STRING\\) = \"([^\"\n]*)\"")))
            << r.out;
        // The catalogue's edition and year after the caption, nothing after them.
        const std::string title = m[1];
        EXPECT_EQ(title.rfind(c.caption, 0), 0u) << title;
        EXPECT_TRUE(
            std::regex_match(title.substr(std::string(c.caption).size()), std::regex("[0-9]+/[0-9]{4}")))
            << title;
        ASSERT_TRUE(
            std::regex_search(r.out, m, std::regex("WM_CLASS\\(STRING\\) = \"([^\"]*)\", \"([^\"]*)\"")))
            << r.out;
        // The class the desktop entry ties the window to.
        EXPECT_EQ(m[2], c.program);
    }
}

}  // namespace
