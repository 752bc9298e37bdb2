#include "platform/wine.h"

#include "support/wine_prefix.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using kmx::platform::WinePaths;
using kmx::platform::winePrefix;
using kmx::winetest::FakeWinePrefix;
using kmx::winetest::WinePrefixVariable;

class WinePathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(prefix.isValid());
        exe = prefix.addFile("C:\\Program Files\\NORDVALE\\Tessar Pro\\TESSAR4.EXE", "MZ");
        ASSERT_FALSE(exe.isEmpty());
    }
    FakeWinePrefix prefix;
    QString exe;
};

TEST_F(WinePathsTest, ToUnixFindsTheNamesOnDiskWhateverTheirLetterCase) {
    const WinePaths paths(prefix.path());
    const QString dir = prefix.driveC() + "/Program Files/NORDVALE/Tessar Pro";
    EXPECT_EQ(paths.toUnix("C:\\Program Files\\Nordvale\\Tessar Pro\\tessar4.exe"), exe);
    EXPECT_EQ(paths.toUnix("c:/PROGRAM FILES/nordvale/./TESSAR PRO/Tessar4.Exe"), exe);
    EXPECT_EQ(paths.toUnix("C:\\Program Files\\Nordvale\\..\\NORDVALE\\\\Tessar Pro\\"), dir);
    // ".." stops at the drive's root.
    EXPECT_EQ(paths.toUnix("C:\\..\\..\\program files"), prefix.driveC() + "/Program Files");
    EXPECT_EQ(paths.toUnix("C:\\"), prefix.driveC());
    EXPECT_EQ(paths.toUnix("C:"), prefix.driveC());
    // What does not exist yet keeps its spelling after the part that does.
    EXPECT_EQ(paths.toUnix("C:\\program files\\nordvale\\Tessar Pro\\Eksport\\Cennik.KMX"),
              dir + "/Eksport/Cennik.KMX");
    EXPECT_TRUE(QFile::exists(paths.toUnix("C:\\PROGRAM FILES\\NORDVALE\\TESSAR PRO\\TESSAR4.EXE")));

    // Two names apart only in letter case: the exact spelling, else the first in byte order.
    ASSERT_TRUE(QDir().mkpath(prefix.driveC() + "/Dane") && QDir().mkpath(prefix.driveC() + "/DANE"));
    EXPECT_EQ(paths.toUnix("C:\\Dane"), prefix.driveC() + "/Dane");
    EXPECT_EQ(paths.toUnix("C:\\dane"), prefix.driveC() + "/DANE");
}

TEST_F(WinePathsTest, ToUnixGoesThroughTheDriveLinks) {
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir().mkpath(elsewhere.path() + "/Ceny"));
    ASSERT_TRUE(prefix.setDrive('d', elsewhere.path()));
    ASSERT_TRUE(prefix.setDrive('e', "../drive_c/Program Files"));
    const WinePaths paths(prefix.path());
    EXPECT_EQ(paths.toUnix("D:\\ceny\\a.kmx"), elsewhere.path() + "/Ceny/a.kmx");
    EXPECT_EQ(paths.toUnix("e:\\nordvale"), prefix.driveC() + "/Program Files/NORDVALE");
    EXPECT_EQ(paths.toUnix("Z:\\"), "/");
    EXPECT_EQ(paths.toUnix("z:" + exe), exe);
    for (const char* notThere : {"F:\\x", "Program Files\\x", "\\Program Files", "\\\\server\\share\\x",
                                 "C:x", "", "1:\\x", "CC:\\x"})
        EXPECT_EQ(paths.toUnix(notThere), QString()) << notThere;
    EXPECT_EQ(WinePaths(prefix.path() + "/missing").toUnix("C:\\x"), QString());
}

TEST_F(WinePathsTest, ToWindowsGoesThroughTheRootDrive) {
    const WinePaths paths(prefix.path());
    EXPECT_EQ(paths.rootDrive(), 'z');
    EXPECT_EQ(paths.toWindows("/home/a b/x.kmx"), "Z:\\home\\a b\\x.kmx");
    EXPECT_EQ(paths.toWindows("/"), "Z:\\");
    EXPECT_EQ(paths.toWindows("//tmp/./a/../b/"), "Z:\\tmp\\b");
    EXPECT_EQ(paths.toWindows("/../etc"), "Z:\\etc");
    EXPECT_EQ(paths.toUnix(paths.toWindows(exe)), exe);
    for (const char* unfit : {"relative/x.kmx", "", "/home/a\\b"})
        EXPECT_EQ(paths.toWindows(unfit), QString()) << unfit;
}

TEST_F(WinePathsTest, ToWindowsWithoutRootDriveTakesTheLongestDrive) {
    ASSERT_TRUE(prefix.setDrive('z', QString()));
    // Drives before and after C: with shorter and longer targets.
    ASSERT_TRUE(prefix.setDrive('d', prefix.path() + "/drive_c/Program Files/"));
    ASSERT_TRUE(prefix.setDrive('x', ".."));
    const WinePaths paths(prefix.path());
    EXPECT_EQ(paths.rootDrive(), 0);
    EXPECT_EQ(paths.toWindows(exe), "D:\\NORDVALE\\Tessar Pro\\TESSAR4.EXE");
    EXPECT_EQ(paths.toWindows(prefix.driveC() + "/users/kosztorysant/Moje ceny.kmx"),
              "C:\\users\\kosztorysant\\Moje ceny.kmx");
    EXPECT_EQ(paths.toWindows(prefix.driveC()), "C:\\");
    EXPECT_EQ(paths.toWindows(prefix.driveC() + "x/a"),
              "X:\\drive_cx\\a");  // drive_c is no prefix of drive_cx
    EXPECT_EQ(paths.toWindows(prefix.path() + "/user.reg"), "X:\\user.reg");
    EXPECT_EQ(paths.toWindows("/home/a b/x.kmx"), QString());

    // Another letter may be the root drive.
    ASSERT_TRUE(prefix.setDrive('y', "/"));
    EXPECT_EQ(paths.rootDrive(), 'y');
    EXPECT_EQ(paths.toWindows("/home/a b/x.kmx"), "Y:\\home\\a b\\x.kmx");
}

TEST(WinePrefix, IsWinePrefixWhenSetElseDotWineAtHome) {
    const QString home = QDir::homePath() + "/.wine";
    {
        WinePrefixVariable variable("/srv/wine/kosztorys/");
        EXPECT_EQ(winePrefix(), "/srv/wine/kosztorys");
    }
    {
        WinePrefixVariable variable("");
        EXPECT_EQ(winePrefix(), home);
    }
    {
        WinePrefixVariable variable{QString()};
        EXPECT_EQ(winePrefix(), home);
    }
}

}  // namespace
