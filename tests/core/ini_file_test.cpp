// The INI file of another program: keys read as Windows reads them, one key
// written without disturbing any other byte, the file replaced atomically.

#include "core/ini_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

using kmx::IniFile;
namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class TempDir {
public:
    TempDir() {
        std::string templ = (fs::temp_directory_path() / "kmx-ini-XXXXXX").string();
        if (::mkdtemp(templ.data()) != nullptr) path_ = templ;
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    std::vector<std::string> names() const {
        std::vector<std::string> n;
        for (const auto& e : fs::directory_iterator(path_)) n.push_back(e.path().filename().string());
        return n;
    }

private:
    fs::path path_;
};

std::string replaced(std::string s, const std::string& from, const std::string& to) {
    const std::size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? s : s.replace(at, from.size(), to);
}

// Another program's file: comments, blank lines, sections, tabs, Polish text
// in Windows-1250 ("Kraków", "złoty", "Łódź").
const std::string kPlik =
    "; Parametry programów\r\n"
    "[Ogólne]\r\n"
    "Miasto=Krak\xF3w\r\n"
    "\r\n"
    "[Kursy walut]\r\n"
    "; kurs , opis\r\n"
    "Waluta bazowa = PLN,z\xB3oty\r\n"
    "EUR\t=\t4.3000,euro\r\n"
    "USD=3.9000,\r\n"
    "\r\n"
    "; koniec kursów\r\n"
    "[Drukarka]\r\n"
    "Nazwa=\xA3\xF3" "d\x9F\r\n";

TEST(IniFile, ReadsKeysAsWindowsDoes) {
    const IniFile f = IniFile::fromBytes(
        "bezSekcji=1\r\n"
        "[Kursy walut]\r\n"
        "  eur  =  4.3000,euro  \r\n"
        ";USD=3.0000,komentarz\r\n"
        "  ; GBP=5.0000,komentarz\r\n"
        "pusty=\r\n"
        "wzor=a=b\r\n"
        "bez znaku rownosci\r\n"
        "Opis=z\xB3oty\n"
        "EUR=1.0000,drugi wiersz\r\n"
        "[niepelny\r\n"
        "CHF=4.1000,frank\r\n"
        "[  inna  ] po nawiasie\r\n"
        "bezSekcji=2\r\n"
        "[KURSY WALUT]\r\n"
        "JPY=0.0300,jen");
    EXPECT_EQ(f.value("kursy WALUT", "EUR"), "4.3000,euro");  // the first of two
    EXPECT_EQ(f.value(" Kursy walut ", " Eur "), "4.3000,euro");
    EXPECT_EQ(f.value("Kursy walut", "pusty"), "");
    EXPECT_EQ(f.value("Kursy walut", "wzor"), "a=b");
    EXPECT_EQ(f.value("Kursy walut", "opis"), "z\xB3oty");
    EXPECT_EQ(f.value("Kursy walut", "CHF"), "4.1000,frank");  // "[niepelny" is no header
    EXPECT_EQ(f.value("INNA", "bezSekcji"), "2");
    // Comments, a line without "=", keys before the first section or in the
    // ignored repeat of the section are not there.
    for (const char* key : {"USD", "GBP", "bez znaku rownosci", "bezSekcji", "JPY"})
        EXPECT_EQ(f.value("Kursy walut", key), std::nullopt) << key;
    EXPECT_EQ(f.value("niepelny", "CHF"), std::nullopt);
    EXPECT_EQ(IniFile().value("Kursy walut", "EUR"), std::nullopt);
}

TEST(IniFile, SettingAKeyChangesOnlyItsLine) {
    // The line keeps its spelling and blanks up to the value.
    IniFile f = IniFile::fromBytes(kPlik);
    ASSERT_TRUE(f.set("KURSY WALUT", "waluta BAZOWA", "EUR,euro"));
    EXPECT_EQ(f.bytes(), replaced(kPlik, "Waluta bazowa = PLN,z\xB3oty\r\n", "Waluta bazowa = EUR,euro\r\n"));
    ASSERT_TRUE(f.set("Kursy walut", "EUR", "4.5000,euro wsp\xF3lne"));
    ASSERT_TRUE(f.set("Kursy walut", "USD", ""));
    EXPECT_EQ(f.bytes(), replaced(replaced(replaced(kPlik, "PLN,z\xB3oty", "EUR,euro"), "4.3000,euro",
                                           "4.5000,euro wsp\xF3lne"),
                                  "USD=3.9000,", "USD="));
    EXPECT_EQ(f.value("Kursy walut", "EUR"), "4.5000,euro wsp\xF3lne");

    // A file with LF only gets LF lines; a changed line keeps its own line end.
    f = IniFile::fromBytes("[A]\nx=1\n\n[B]\r\ny=2\n");
    ASSERT_TRUE(f.set("A", "z", "3"));
    ASSERT_TRUE(f.set("C", "w", "4"));
    ASSERT_TRUE(f.set("B", "y", "5"));
    EXPECT_EQ(f.bytes(), "[A]\nx=1\nz=3\n\n[B]\r\ny=5\n\n[C]\nw=4\n");
}

TEST(IniFile, AddsKeysAndSections) {
    // After the section's last key: the blank line and the comment before the
    // next section stay with that section.
    IniFile f = IniFile::fromBytes(kPlik);
    ASSERT_TRUE(f.set("Kursy walut", "CHF", "4.1000,frank"));
    EXPECT_EQ(f.bytes(), replaced(kPlik, "USD=3.9000,\r\n", "USD=3.9000,\r\nCHF=4.1000,frank\r\n"));
    f = IniFile::fromBytes(kPlik);
    ASSERT_TRUE(f.set("drukarka", "Kopie", "2"));
    EXPECT_EQ(f.bytes(), kPlik + "Kopie=2\r\n");
    f = IniFile::fromBytes("[Pusta]\r\n; komentarz\r\n\r\n[A]\r\nx=1\r\n[B]\r\n[a]\r\ny=2\r\n");
    ASSERT_TRUE(f.set("Pusta", "a", "b"));
    ASSERT_TRUE(f.set("A", "y", "3"));  // into the first of two
    EXPECT_EQ(f.bytes(), "[Pusta]\r\na=b\r\n; komentarz\r\n\r\n[A]\r\nx=1\r\ny=3\r\n[B]\r\n[a]\r\ny=2\r\n");

    // A new section at the end after one blank line; none in an empty file.
    f = IniFile::fromBytes(kPlik);
    ASSERT_TRUE(f.set("Nowa", "Klucz", "warto\x9C\x9C"));
    EXPECT_EQ(f.bytes(), kPlik + "\r\n[Nowa]\r\nKlucz=warto\x9C\x9C\r\n");
    EXPECT_EQ(f.value("nowa", "klucz"), "warto\x9C\x9C");
    f = IniFile::fromBytes("[A]\r\nx=1\r\n\r\n");
    ASSERT_TRUE(f.set("B", "y", "2"));
    EXPECT_EQ(f.bytes(), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    f = IniFile();
    ASSERT_TRUE(f.set("Kursy walut", "Waluta bazowa", "PLN,z\xB3"));
    EXPECT_EQ(f.bytes(), "[Kursy walut]\r\nWaluta bazowa=PLN,z\xB3\r\n");

    // Without a final line end: a changed last line stays so, a line added
    // after it ends it first.
    const std::string bez = "[A]\r\nx=1\r\ny=2";
    f = IniFile::fromBytes(bez);
    ASSERT_TRUE(f.set("A", "y", "22"));
    EXPECT_EQ(f.bytes(), "[A]\r\nx=1\r\ny=22");
    f = IniFile::fromBytes(bez);
    ASSERT_TRUE(f.set("A", "z", "3"));
    EXPECT_EQ(f.bytes(), bez + "\r\nz=3\r\n");
    f = IniFile::fromBytes(bez);
    ASSERT_TRUE(f.set("B", "z", "3"));
    EXPECT_EQ(f.bytes(), bez + "\r\n\r\n[B]\r\nz=3\r\n");

    // What cannot be one line changes nothing.
    for (const auto& [s, k, v] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"", "k", "v"}, {"a]b", "k", "v"}, {"a\nb", "k", "v"}, {"S", " ", "v"}, {"S", "a=b", "v"},
             {"S", "[k", "v"}, {"S", ";k", "v"}, {"Kursy walut", "EUR", "4\r\n[X]"}}) {
        f = IniFile::fromBytes(kPlik);
        EXPECT_FALSE(f.set(s, k, v)) << s << " / " << k;
        EXPECT_EQ(f.bytes(), kPlik);
    }
}

// Writes into random mixes of lines: the key written reads back, every other
// key reads as before.
TEST(IniFile, RandomEditsKeepEveryOtherValue) {
    const std::vector<std::string> pieces = {
        "[A]", "[a]", "[B] x", " [ C ] ", "[D", "k=1", "K = 2", " m\t=\t3 ", "n=", "=x", ";k=9",
        "  ; c", "", "   ", "bez", "\xB3\xF3" "d\x9F=\xEA", "k=a=b", "[\xA3\xF3" "d\x9F]",
    };
    const std::vector<std::string> sections = {"A", "b", "C", "D", "\xA3\xF3" "d\x9F", "E"};
    const std::vector<std::string> keys = {"k", "M", "n", "p", "\xB3\xF3" "d\x9F"};
    const std::vector<std::string> ends = {"\r\n", "\n", ""};
    std::mt19937 rng(20240611);
    const auto pick = [&](const auto& v) { return v[rng() % v.size()]; };
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int lines = static_cast<int>(rng() % 12);
        for (int i = 0; i < lines; ++i) text += pick(pieces) + (i + 1 < lines ? std::string("\r\n") : pick(ends));
        IniFile f = IniFile::fromBytes(text);
        for (int edit = 0; edit < 4; ++edit) {
            std::map<std::pair<std::string, std::string>, std::optional<std::string>> before;
            for (const auto& s : sections)
                for (const auto& k : keys) before[{s, k}] = f.value(s, k);
            const std::string s = pick(sections), k = pick(keys), v = "w" + std::to_string(rng() % 100);
            ASSERT_TRUE(f.set(s, k, v));
            for (const auto& [where, old] : before)
                EXPECT_EQ(f.value(where.first, where.second),
                          where == std::make_pair(s, k) ? std::optional<std::string>(v) : old)
                    << text << "\n--\n" << f.bytes();
        }
    }
}

// Saves as an ordinary user: root writes into read-only folders.
std::pair<bool, std::string> saveUnprivileged(const IniFile& f, const fs::path& file) {
    std::string error;
    if (::geteuid() != 0) return {f.save(file, error), error};
    int fds[2];
    if (::pipe(fds) != 0) return {true, "pipe"};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        int status = 3;
        if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
            status = f.save(file, error) ? 1 : 0;
            if (::write(fds[1], error.data(), error.size()) < 0) status = 4;
        }
        ::_exit(status);
    }
    ::close(fds[1]);
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) error.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1) << "could not run as another user";
    return {WEXITSTATUS(status) != 0, error};
}

TEST(IniFile, SaveCreatesOrReplacesTheFileAtomically) {
    TempDir dir;
    const fs::path file = dir.path() / "nvres.ini";
    // A missing file (or folder) reads as empty; saving creates the file, not the folder.
    IniFile f = IniFile::fromBytes("stare");
    std::string error;
    ASSERT_TRUE(f.load(file, error)) << error;
    EXPECT_TRUE(f.bytes().empty());
    ASSERT_TRUE(f.load(dir.path() / "brak" / "nvres.ini", error)) << error;
    ASSERT_TRUE(f.set("Kursy walut", "Waluta bazowa", "PLN,z\xB3"));
    ASSERT_TRUE(f.save(file, error)) << error;
    EXPECT_EQ(readFile(file), "[Kursy walut]\r\nWaluta bazowa=PLN,z\xB3\r\n");
    EXPECT_FALSE(f.save(dir.path() / "brak" / "nvres.ini", error));
    EXPECT_FALSE(fs::exists(dir.path() / "brak"));

    // Replacing keeps the file's permissions and leaves no temporary file.
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(file, mode);
    ASSERT_TRUE(f.load(file, error)) << error;
    ASSERT_TRUE(f.set("Kursy walut", "EUR", "4.5000,euro"));
    ASSERT_TRUE(f.save(file, error)) << error;
    EXPECT_EQ(readFile(file), f.bytes());
    EXPECT_EQ(fs::status(file).permissions(), mode);
    // Through a link, the file it names is replaced and the link stays.
    fs::create_symlink("nvres.ini", dir.path() / "link.ini");
    ASSERT_TRUE(f.set("Kursy walut", "USD", "3.0000,"));
    ASSERT_TRUE(f.save(dir.path() / "link.ini", error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.ini"));
    EXPECT_EQ(readFile(file), f.bytes());
    fs::remove(dir.path() / "link.ini");
    // A folder where the file should be: the rename fails and its temporary
    // file goes; reading it fails and keeps the content.
    fs::create_directories(dir.path() / "folder.ini" / "x");
    EXPECT_FALSE(f.save(dir.path() / "folder.ini", error));
    EXPECT_NE(error.find("folder.ini"), std::string::npos) << error;
    EXPECT_FALSE(f.load(dir.path() / "folder.ini", error));
    EXPECT_EQ(f.value("Kursy walut", "USD"), "3.0000,");
    fs::remove_all(dir.path() / "folder.ini");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"nvres.ini"});

    // A read-only folder: save fails with a message, the old file is whole.
    const std::string old = readFile(file);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    ASSERT_TRUE(f.set("Kursy walut", "EUR", "9.9999,nie"));
    const auto [saved, message] = saveUnprivileged(f, file);
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_FALSE(saved);
    EXPECT_NE(message.find("nvres.ini"), std::string::npos) << message;
    EXPECT_EQ(readFile(file), old);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"nvres.ini"});
}

}  // namespace
