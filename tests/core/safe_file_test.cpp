// The safe replacement of a file: the new content renamed over the old only
// when all of it reached the disk, the old file whole and no temporary file
// left after any failure, links followed, permissions kept, and a Polish
// message naming the file and the reason.

#include "core/safe_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "support/disk_faults.h"

namespace {

using namespace kmx::disktest;
namespace sf = kmx::safefile;

std::string big(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 23);
    return s;
}

TEST(SafeFile, ReplacesOrCreatesTheFileAndLeavesNothingElse) {
    TempDir dir;
    const fs::path file = dir / "cennik.kmx";
    std::string error;
    ASSERT_TRUE(sf::WriteFile(file, "pierwszy", error)) << error;
    EXPECT_EQ(readFile(file), "pierwszy");
    // A new file has the permissions any new file gets under the umask.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(static_cast<mode_t>(fs::status(file).permissions()), 0666 & ~mask);

    // Replacing keeps the old file's mode.
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(sf::WriteFile(file, big(300000), error)) << error;
    EXPECT_EQ(readFile(file), big(300000));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(sf::WriteFile(file, "", error)) << error;
    EXPECT_EQ(readFile(file), "");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"cennik.kmx"});
}

TEST(SafeFile, ALinkIsFollowedToTheFileItNamesAndStays) {
    TempDir dir;
    fs::create_directories(dir / "dane");
    writeFile(dir / "dane" / "nvres.ini", "stary");
    fs::create_symlink("dane/nvres.ini", dir / "link.ini");
    fs::create_symlink("link.ini", dir / "link2.ini");
    std::string error;
    ASSERT_TRUE(sf::WriteFile(dir / "link2.ini", "nowy", error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_TRUE(fs::is_symlink(dir / "link2.ini"));
    EXPECT_EQ(readFile(dir / "dane" / "nvres.ini"), "nowy");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"dane", "link.ini", "link2.ini"}));
    // A link to a file not there yet creates that file.
    fs::create_symlink("dane/nowy.ini", dir / "link3.ini");
    ASSERT_TRUE(sf::WriteFile(dir / "link3.ini", "abc", error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "link3.ini"));
    EXPECT_EQ(readFile(dir / "dane" / "nowy.ini"), "abc");
}

TEST(SafeFile, EveryFailingStepKeepsTheOldFileAndNamesFileAndReason) {
    TempDir dir;
    const fs::path file = dir / "raport.qrp";
    const std::string old = big(5000);
    const std::string fresh = big(200000);
    for (const SeamCase& c : seamCases({0, 1, 4095, 65536, 199999})) {
        for (const bool existed : {true, false}) {
            std::error_code ec;
            fs::remove(file, ec);
            if (existed) writeFile(file, old);
            std::string error;
            {
                sf::FaultScope fault(c.fault);
                EXPECT_FALSE(sf::WriteFile(file, fresh, error)) << c.label;
            }
            EXPECT_EQ(error, message(file, c.reason)) << c.label;
            if (existed) {
                EXPECT_EQ(readFile(file), old) << c.label;
                EXPECT_EQ(dir.names(), std::vector<std::string>{"raport.qrp"}) << c.label;
            } else {
                EXPECT_TRUE(dir.names().empty()) << c.label;
            }
        }
    }
    // With the fault gone the same write goes through.
    std::string error;
    ASSERT_TRUE(sf::WriteFile(file, fresh, error)) << error;
    EXPECT_EQ(readFile(file), fresh);
}

TEST(SafeFile, AFaultAfterTheFirstFilesHitsOnlyTheLaterOnes) {
    TempDir dir;
    std::string error;
    sf::FaultScope fault({sf::Step::Rename, ENOSPC, 0, 2});
    EXPECT_TRUE(sf::WriteFile(dir / "a", "1", error)) << error;
    EXPECT_TRUE(sf::WriteFile(dir / "b", "2", error)) << error;
    EXPECT_FALSE(sf::WriteFile(dir / "c", "3", error));
    EXPECT_EQ(error, message(dir / "c", "brak miejsca na dysku"));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"a", "b"}));
}

TEST(SafeFile, PlacesThatCannotBeWrittenFailWithTheirReason) {
    TempDir dir;
    for (const Unwritable& u : unwritablePlaces(dir, "cennik.kmx")) {
        std::string error;
        EXPECT_FALSE(sf::WriteFile(u.file, "x", error)) << u.file;
        EXPECT_EQ(error, message(u.file, u.reason));
        EXPECT_FALSE(fs::exists(u.file));
    }
    // A folder where the file should be.
    fs::create_directories(dir / "folder.kmx");
    std::string error;
    EXPECT_FALSE(sf::WriteFile(dir / "folder.kmx", "x", error));
    EXPECT_EQ(error, message(dir / "folder.kmx", "to jest folder"));
    EXPECT_TRUE(fs::is_directory(dir / "folder.kmx"));
    // sysfs takes no new files, whatever the user.
    EXPECT_FALSE(sf::WriteFile("/sys/kmx-test.kmx", "x", error));
    EXPECT_EQ(error.rfind("Nie można zapisać pliku /sys/kmx-test.kmx: ", 0), 0u) << error;
}

TEST(SafeFile, ADeviceIsWrittenDirectlyAndAFullOneFails) {
    std::string error;
    EXPECT_FALSE(sf::WriteFile("/dev/full", "abc", error));
    EXPECT_EQ(error, message("/dev/full", "brak miejsca na dysku"));
    // The device stays a device: nothing was renamed over it.
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_TRUE(sf::WriteFile("/dev/null", big(100000), error)) << error;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST(SafeFile, TheKernelsFileSizeLimitIsAFullDisk) {
    TempDir dir;
    const fs::path file = dir / "ceny.csv";
    writeFile(file, "stare ceny");
    std::string error;
    bool written = true;
    {
        FileSizeLimit limit(64 * 1024);
        ASSERT_TRUE(limit.ok());
        written = sf::WriteFile(file, big(200000), error);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(error, message(file, "brak miejsca na dysku"));
    EXPECT_EQ(readFile(file), "stare ceny");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"ceny.csv"});
}

TEST(SafeFile, AStreamKeepsTheOldFileWhenAWriteFails) {
    TempDir dir;
    const fs::path file = dir / "tmp_all.plo";
    writeFile(file, "stary opis");
    for (const std::uint64_t after : {0u, 10u, 70000u}) {
        sf::FaultScope fault({sf::Step::Write, ENOSPC, after, 0});
        sf::OutFile out(file);
        std::string error;
        ASSERT_TRUE(out.open(error)) << error;
        for (int i = 0; i < 20000; ++i) out << "linia " << i << "\r\n";
        out.write(big(100000).data(), 100000);
        EXPECT_FALSE(out.commit(error)) << after;
        EXPECT_TRUE(out.bad());
        EXPECT_EQ(error, message(file, "brak miejsca na dysku"));
        EXPECT_EQ(readFile(file), "stary opis");
        EXPECT_EQ(dir.names(), std::vector<std::string>{"tmp_all.plo"});
    }
    // Without a fault: every byte, small and large pieces in order.
    sf::OutFile out(file);
    std::string error;
    ASSERT_TRUE(out.open(error)) << error;
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        out << "linia " << i << "\r\n";
        expected += "linia " + std::to_string(i) + "\r\n";
    }
    out.write(big(100000).data(), 100000);
    expected += big(100000);
    ASSERT_TRUE(out.commit(error)) << error;
    EXPECT_EQ(readFile(file), expected);
    // Discarded, the stream changes nothing.
    sf::OutFile dropped(file);
    ASSERT_TRUE(dropped.open(error)) << error;
    dropped << "nie";
    dropped.discard();
    EXPECT_EQ(readFile(file), expected);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"tmp_all.plo"});
}

TEST(SafeFile, ARealFullFileSystemKeepsTheOldFile) {
    TempDir dir;
    fs::create_directories(dir / "mnt");
    const int status = inSmallTmpfs(dir / "mnt", 64 * 1024, [&] {
        const fs::path file = dir / "mnt" / "cennik.kmx";
        writeFile(file, big(8192));
        if (readFile(file) != big(8192)) return 1;
        std::string error;
        if (sf::WriteFile(file, big(256 * 1024), error)) return 2;
        if (error != message(file, "brak miejsca na dysku")) return 3;
        if (readFile(file) != big(8192)) return 4;
        std::size_t entries = 0;
        for (const auto& e : fs::directory_iterator(dir / "mnt")) entries += e.is_regular_file() ? 1 : 0;
        if (entries != 1) return 5;
        // A smaller file still fits once the failed one is gone.
        if (!sf::WriteFile(file, big(16384), error)) return 6;
        return readFile(file) == big(16384) ? 0 : 7;
    });
    if (status == 77) GTEST_SKIP() << "no private mount namespace with a tmpfs here";
    EXPECT_EQ(status, 0);
}

TEST(SafeFile, ReasonsArePolish) {
    EXPECT_EQ(sf::Reason(ENOSPC), "brak miejsca na dysku");
    EXPECT_EQ(sf::Reason(EDQUOT), "brak miejsca na dysku");
    EXPECT_EQ(sf::Reason(EROFS), "dysk tylko do odczytu");
    EXPECT_EQ(sf::Reason(EACCES), "brak uprawnień");
    EXPECT_EQ(sf::Reason(ENOTDIR), "ścieżka nie prowadzi do folderu");
    EXPECT_EQ(sf::Reason(12345), "błąd systemu nr 12345");
}

}  // namespace
