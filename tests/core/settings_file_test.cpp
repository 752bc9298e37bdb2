#include "core/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>

#include <unistd.h>

#include "core/cp1250.h"
#include "core/scramble.h"

using namespace kmx;
namespace fs = std::filesystem;

namespace {

void putInt32(std::string& file, std::size_t at, std::int64_t value) {
    const auto v = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
    for (int k = 0; k < 4; ++k) file[at + static_cast<std::size_t>(k)] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

// A settings file put together by hand from the layout: an arbitrary header,
// start and length, and the block holding `scrambled` at `start`, masked with
// Random(255) after a reseed.
std::string handMadeFile(const std::string& scrambled, std::int64_t start, std::int64_t length,
                         std::size_t totalSize = 1116) {
    std::string file(std::max<std::size_t>(totalSize, 1116), '\0');
    for (std::size_t i = 0; i < 84; ++i) file[i] = static_cast<char>('A' + i % 26);
    putInt32(file, 84, start);
    putInt32(file, 88, length);
    std::string block(1024, 'x');
    if (start >= 0 && start + static_cast<std::int64_t>(scrambled.size()) <= 1024) {
        block.replace(static_cast<std::size_t>(start), scrambled.size(), scrambled);
    }
    Generator g;
    for (std::size_t i = 0; i < 1024; ++i) {
        file[92 + i] = static_cast<char>(static_cast<unsigned char>(block[i]) ^ g.random(255));
    }
    file.resize(totalSize);
    return file;
}

std::string handMadeFile(const std::string& password, std::int64_t start) {
    const std::string scrambled = Szyfruj(password, 2);
    return handMadeFile(scrambled, start, static_cast<std::int64_t>(scrambled.size()));
}

fs::path uniqueTempPath(const std::string& name) {
    static std::atomic<int> counter{0};
    const fs::path dir = fs::path(::testing::TempDir()) /
                         ("kmx_settings_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::create_directories(dir);
    return dir / name;
}

// A stream buffer that refuses every byte.
class FailingBuf : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

}  // namespace

TEST(SettingsRead, HandMadeFileGivesItsPassword) {
    const UstawieniaResult r = CzytajUstawieniaZBajtow(handMadeFile("TajneHaslo123", 300));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.password, "TajneHaslo123");
    EXPECT_TRUE(r.error.empty());
}

TEST(SettingsRead, PolishPasswordIsUnfolded) {
    const std::string password = cp1250::fromUtf8("Źdźbło-ąę");
    const UstawieniaResult r = CzytajUstawieniaZBajtow(handMadeFile(password, 0));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.password, password);
}

TEST(SettingsRead, LengthZeroIsTheEmptyPassword) {
    const UstawieniaResult r = CzytajUstawieniaZBajtow(handMadeFile("", 17, 0));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.password, "");
    const UstawieniaResult atEnd = CzytajUstawieniaZBajtow(handMadeFile("", 1024, 0));
    EXPECT_TRUE(atEnd.ok) << atEnd.error;
}

TEST(SettingsRead, SeventyCharactersAreCutTo64) {
    std::string password;
    for (int i = 0; i < 70; ++i) password.push_back(static_cast<char>('a' + i % 26));
    const UstawieniaResult r = CzytajUstawieniaZBajtow(handMadeFile(password, 100));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.password, password.substr(0, 64));
}

TEST(SettingsRead, CutCountsDescrambledCharacters) {
    // 60 letters and 10 Polish letters: 80 scrambled bytes, 70 characters.
    const std::string password = std::string(60, 'k') + cp1250::fromUtf8("ąęśćźżółńĄ");
    const UstawieniaResult r = CzytajUstawieniaZBajtow(handMadeFile(password, 0));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.password, std::string(60, 'k') + cp1250::fromUtf8("ąęść"));
}

TEST(SettingsRead, FileSizeLimits) {
    const std::string good = handMadeFile("abc", 5);
    const UstawieniaResult shortFile = CzytajUstawieniaZBajtow(good.substr(0, 1115));
    EXPECT_FALSE(shortFile.ok);
    EXPECT_FALSE(shortFile.error.empty());
    EXPECT_TRUE(shortFile.password.empty());
    EXPECT_FALSE(CzytajUstawieniaZBajtow("").ok);

    const std::string scrambled = Szyfruj("abc", 2);
    const UstawieniaResult longer = CzytajUstawieniaZBajtow(handMadeFile(scrambled, 5, 3, 5000));
    ASSERT_TRUE(longer.ok) << longer.error;
    EXPECT_EQ(longer.password, "abc");
}

TEST(SettingsRead, RangeOutsideTheBlockMakesTheFileUnreadable) {
    const std::string scrambled = Szyfruj("abc", 2);
    const std::pair<std::int64_t, std::int64_t> bad[] = {
        {-1, 3}, {0, -1}, {1000, 25}, {0, 1025}, {1025, 0}, {INT32_MAX, 1}, {1, INT32_MAX},
        {INT32_MAX, INT32_MAX}, {INT32_MIN, 3}, {3, INT32_MIN},
    };
    for (const auto& [start, length] : bad) {
        const UstawieniaResult r = CzytajUstawieniaZBajtow(handMadeFile(scrambled, start, length));
        EXPECT_FALSE(r.ok) << "start " << start << " length " << length;
        EXPECT_FALSE(r.error.empty());
        EXPECT_TRUE(r.password.empty());
    }
    // The last range that still fits.
    const UstawieniaResult edge = CzytajUstawieniaZBajtow(handMadeFile(std::string(24, 'q'), 1000, 24));
    EXPECT_TRUE(edge.ok) << edge.error;
}

TEST(SettingsRead, RandomGarbageNeverBreaksTheReader) {
    std::mt19937 rng(1116);
    std::uniform_int_distribution<int> byteValue(0, 255);
    std::uniform_int_distribution<int> size(0, 1300);
    int readable = 0;
    for (int rep = 0; rep < 2000; ++rep) {
        std::string file(static_cast<std::size_t>(size(rng)), '\0');
        for (char& c : file) c = static_cast<char>(byteValue(rng));
        if (rep % 2 == 0 && file.size() >= 92) {
            // Half of them with a small plausible range, so the reading path runs.
            putInt32(file, 84, byteValue(rng) * 3);
            putInt32(file, 88, byteValue(rng));
        }
        const UstawieniaResult r = CzytajUstawieniaZBajtow(file);
        if (r.ok) {
            ++readable;
            EXPECT_LE(r.password.size(), 64u);
        } else {
            EXPECT_FALSE(r.error.empty());
        }
    }
    EXPECT_GT(readable, 0);
}

TEST(SettingsRead, StreamsAndPaths) {
    std::istringstream in(handMadeFile("zStrumienia", 40));
    const UstawieniaResult fromStream = CzytajUstawienia(in);
    ASSERT_TRUE(fromStream.ok) << fromStream.error;
    EXPECT_EQ(fromStream.password, "zStrumienia");

    std::istringstream broken(handMadeFile("x", 0));
    broken.setstate(std::ios::badbit);
    EXPECT_FALSE(CzytajUstawienia(broken).ok);

    const fs::path path = uniqueTempPath("kmx.iif");
    {
        std::ofstream out(path, std::ios::binary);
        const std::string file = handMadeFile("zPliku", 900);
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
    }
    const UstawieniaResult fromFile = CzytajUstawienia(path);
    ASSERT_TRUE(fromFile.ok) << fromFile.error;
    EXPECT_EQ(fromFile.password, "zPliku");
}

TEST(SettingsRead, MissingFileOrDirectory) {
    const fs::path missing = uniqueTempPath("brak.iif");
    const UstawieniaResult r = CzytajUstawienia(missing);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("Nie można otworzyć"), std::string::npos) << r.error;
    EXPECT_FALSE(CzytajUstawienia(missing.parent_path()).ok);
}

TEST(SettingsWrite, WrittenFileReadsBack) {
    for (const std::string& password :
         {std::string("Kalmarex-2004"), std::string(), cp1250::fromUtf8("Hasło-Żółć~q~"), std::string(64, 'Z'),
          std::string("a\0b", 3)}) {
        std::ostringstream out;
        const ZapisUstawienResult w = ZapiszUstawienia(out, password);
        ASSERT_TRUE(w.ok) << w.error;
        const std::string file = out.str();
        EXPECT_EQ(file.size(), 1116u);
        EXPECT_EQ(file.compare(0, 8, "KALMAREX"), 0);
        const UstawieniaResult r = CzytajUstawieniaZBajtow(file);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(r.password, password);
    }
}

TEST(SettingsWrite, EachFileHidesThePasswordDifferently) {
    std::ostringstream first, second;
    ASSERT_TRUE(ZapiszUstawienia(first, "same").ok);
    ASSERT_TRUE(ZapiszUstawienia(second, "same").ok);
    EXPECT_NE(first.str(), second.str());
    // The plain and the scrambled password appear nowhere in the file.
    EXPECT_EQ(first.str().find("same"), std::string::npos);
}

TEST(SettingsWrite, RefusesPasswordsThatWouldNotReadBack) {
    std::ostringstream out;
    const ZapisUstawienResult tooLong = ZapiszUstawienia(out, std::string(65, 'a'));
    EXPECT_FALSE(tooLong.ok);
    EXPECT_FALSE(tooLong.error.empty());
    const ZapisUstawienResult escape = ZapiszUstawienia(out, "abc~a");
    EXPECT_FALSE(escape.ok);
    EXPECT_FALSE(escape.error.empty());
    EXPECT_TRUE(out.str().empty());
}

TEST(SettingsWrite, FailingStreamsReportFailure) {
    std::ostringstream bad;
    bad.setstate(std::ios::badbit);
    EXPECT_FALSE(ZapiszUstawienia(bad, "haslo").ok);

    FailingBuf buf;
    std::ostream refusing(&buf);
    const ZapisUstawienResult r = ZapiszUstawienia(refusing, "haslo");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
}

TEST(SettingsWrite, PathOverload) {
    const fs::path path = uniqueTempPath("kmx.iif");
    const std::string password = cp1250::fromUtf8("Ćma-Ślimak");
    ASSERT_TRUE(ZapiszUstawienia(path, password).ok);
    EXPECT_EQ(fs::file_size(path), 1116u);
    EXPECT_FALSE(fs::exists(path.string() + ".tmp"));
    const UstawieniaResult r = CzytajUstawienia(path);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.password, password);

    // Overwriting keeps one complete file.
    ASSERT_TRUE(ZapiszUstawienia(path, "nowe").ok);
    EXPECT_EQ(CzytajUstawienia(path).password, "nowe");

    // A refused password leaves the earlier file alone.
    EXPECT_FALSE(ZapiszUstawienia(path, std::string(70, 'x')).ok);
    EXPECT_EQ(CzytajUstawienia(path).password, "nowe");
    EXPECT_FALSE(fs::exists(path.string() + ".tmp"));

    const fs::path nowhere = path.parent_path() / "brak_katalogu" / "kmx.iif";
    const ZapisUstawienResult w = ZapiszUstawienia(nowhere, "x");
    EXPECT_FALSE(w.ok);
    EXPECT_FALSE(w.error.empty());
    EXPECT_FALSE(fs::exists(nowhere));
}
