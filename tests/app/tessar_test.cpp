// Which cost-estimating programs a Wine prefix holds: the registry keys in
// the 32-bit view and without it, executables found whatever their letter
// case, the versions that import by themselves and in which format, and the
// choice when several are installed.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <optional>

#include "export/tessar.h"
#include "export/wybor_tessara.h"
#include "platform/dialogs.h"
#include "platform/registry.h"
#include "platform/wine.h"
#include "support/pe_builder.h"
#include "support/wine_prefix.h"

namespace {

using kmx::TFileVersion;
using kmx::platform::Hive;
using kmx::tessar::Tessary;
using kmx::tessar::TFWyborTessara;
using kmx::winetest::FakeWinePrefix;

const char* kFoldery[] = {"", "C:\\Program Files\\Nordvale\\Tessar 3",
                          "C:\\Program Files\\Nordvale\\Tessar Standard",
                          "C:\\Program Files\\Nordvale\\Tessar Pro", "D:\\Programy\\Tessar Expert"};
const char* kKlucze[] = {"", "Software\\Nordvale\\Tessar 3", "Software\\Nordvale\\Tessar Standard",
                         "Software\\Nordvale\\Tessar Pro", "Software\\Nordvale\\Tessar Expert"};
const char* kPliki[] = {"", "TESSAR3.EXE", "Tessar4Std.exe", "TESSAR4.EXE", "tsx.exe"};

QByteArray pe(TFileVersion v, bool plus = false) {
    kmx::testsupport::PeOptions o;
    o.version = v;
    o.pe32plus = plus;
    return QByteArray::fromStdString(kmx::testsupport::MakePe(o));
}

// A prefix with editions installed: number -> version (nullopt: a file
// without a version resource).
class Prefiks {
public:
    explicit Prefiks(bool win64 = true) : win64_(win64) {
        EXPECT_TRUE(p_.isValid());
        // Expert lives on a second drive of its own.
        QDir(p_.path()).mkpath(QStringLiteral("drive_d"));
        EXPECT_TRUE(p_.setDrive('d', QStringLiteral("../drive_d")));
    }
    void zainstaluj(int numer, std::optional<TFileVersion> wersja, bool zPlikiem = true) {
        p_.setString(Hive::LocalMachine, kKlucze[numer], QStringLiteral("Program"), kFoldery[numer]);
        if (!zPlikiem) return;
        const QString plik = QString::fromLatin1(kFoldery[numer]) + '\\' + kPliki[numer];
        QByteArray bytes = wersja ? pe(*wersja, numer == 4) : QByteArray("MZ to nie jest program");
        if (numer == 4) {
            // addFile knows drive C only: put Expert's file by hand.
            const QString unix = p_.path() + "/drive_d/Programy/Tessar Expert";
            QDir().mkpath(unix);
            QFile f(unix + "/" + kPliki[4]);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        } else {
            EXPECT_FALSE(p_.addFile(plik, bytes).isEmpty());
        }
    }
    Tessary tessary() {
        EXPECT_TRUE(p_.writeRegistry(win64_));
        rejestr_.emplace(p_.path());
        return Tessary(*rejestr_, kmx::platform::WinePaths(p_.path()));
    }
    FakeWinePrefix& prefiks() { return p_; }

private:
    FakeWinePrefix p_;
    bool win64_;
    std::optional<kmx::platform::WineRegistry> rejestr_;
};

TFileVersion v(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    return TFileVersion{a, b, c, d};
}

TEST(Tessary, PathsKeysAndTheInstalledSet) {
    Prefiks p;
    p.zainstaluj(3, v(4, 0, 36, 0));
    p.zainstaluj(2, v(4, 0, 35, 9), false);  // a key whose folder holds no executable
    const Tessary t = p.tessary();
    EXPECT_EQ(t.SciezkaProgramu(3), "C:\\Program Files\\Nordvale\\Tessar Pro\\tessar4.exe");
    EXPECT_EQ(t.KluczProgramu(3), "Software\\Wow6432Node\\Nordvale\\Tessar Pro\\");
    // The file on disk is upper case; Windows matches names without case.
    EXPECT_TRUE(t.SciezkaUnix(3).endsWith("/drive_c/Program Files/Nordvale/Tessar Pro/TESSAR4.EXE"))
        << t.SciezkaUnix(3).toStdString();
    EXPECT_TRUE(t.Zainstalowany(3));
    EXPECT_FALSE(t.Zainstalowany(2));
    EXPECT_EQ(t.SciezkaProgramu(2), "C:\\Program Files\\Nordvale\\Tessar Standard\\tessar4std.exe");
    EXPECT_FALSE(t.Zainstalowany(1));
    EXPECT_TRUE(t.SciezkaProgramu(1).isEmpty());
    EXPECT_EQ(t.Zainstalowane(), 8);
    EXPECT_FALSE(t.Zainstalowany(0));
    EXPECT_FALSE(t.Zainstalowany(5));
}

TEST(Tessary, AThirtyTwoBitPrefixHasTheKeysWithoutTheRedirection) {
    Prefiks p(false);
    p.zainstaluj(1, v(3, 5, 0, 0));
    p.zainstaluj(4, v(5, 2, 400, 0));
    const Tessary t = p.tessary();
    EXPECT_EQ(t.KluczProgramu(1), "Software\\Nordvale\\Tessar 3\\");
    EXPECT_EQ(t.Zainstalowane(), 2 | 16);
    // Expert on drive D: through its own link.
    EXPECT_TRUE(t.SciezkaUnix(4).endsWith("/drive_d/Programy/Tessar Expert/tsx.exe"))
        << t.SciezkaUnix(4).toStdString();
    // Version 3 never imports by itself and always takes format 1.0.
    EXPECT_FALSE(t.ObslugujeAutoImport(1));
    EXPECT_EQ(t.WersjaFormatu(1), 1);
}

TEST(Tessary, TheVersionDecidesAutomaticImportAndTheFormat) {
    struct Przypadek {
        int numer;
        TFileVersion wersja;
        bool autoImport;
        int format;
    } przypadki[] = {
        {2, v(4, 0, 35, 9), true, 2}, {2, v(4, 0, 36, 0), true, 3},  {2, v(4, 0, 31, 0), false, 2},
        {3, v(4, 0, 32, 0), true, 2}, {3, v(4, 1, 0, 0), true, 3},   {4, v(5, 1, 400, 0), true, 2},
        {4, v(5, 2, 0, 0), true, 2},  {4, v(5, 2, 400, 0), true, 3}, {4, v(5, 1, 399, 9), false, 2},
        {4, v(6, 0, 0, 0), true, 3},
    };
    for (const Przypadek& c : przypadki) {
        SCOPED_TRACE(std::to_string(c.numer) + " " + c.wersja.text());
        Prefiks p;
        p.zainstaluj(c.numer, c.wersja);
        const Tessary t = p.tessary();
        ASSERT_TRUE(t.Zainstalowany(c.numer));
        ASSERT_TRUE(t.WersjaPliku(c.numer));
        EXPECT_EQ(*t.WersjaPliku(c.numer), c.wersja);
        EXPECT_EQ(t.ObslugujeAutoImport(c.numer), c.autoImport);
        EXPECT_EQ(t.WersjaFormatu(c.numer), c.format);
    }
    // An executable without version information counts as too old and has no format.
    Prefiks p;
    p.zainstaluj(3, std::nullopt);
    const Tessary t = p.tessary();
    EXPECT_TRUE(t.Zainstalowany(3));
    EXPECT_FALSE(t.WersjaPliku(3));
    EXPECT_FALSE(t.ObslugujeAutoImport(3));
    EXPECT_EQ(t.WersjaFormatu(3), 0);
    EXPECT_EQ(t.WersjaFormatu(2), 0);  // not installed
}

class WyborTessara : public ::testing::Test {
protected:
    void SetUp() override {
        kmx::platform::dialogs().setTestMode(true);
        kmx::platform::dialogs().shownMessages.clear();
    }
    void TearDown() override { TFWyborTessara::testHook = nullptr; }
};

TEST_F(WyborTessara, OneInstalledEditionNeedsNoDialogAndNoneGivesZero) {
    TFWyborTessara okno;
    int pokazany = 0;
    TFWyborTessara::testHook = [&](TFWyborTessara&) { ++pokazany; };
    Prefiks jeden;
    jeden.zainstaluj(3, v(4, 0, 36, 0));
    EXPECT_EQ(kmx::tessar::Wybor(jeden.tessary(), okno), 3);
    Prefiks zaden;
    EXPECT_EQ(kmx::tessar::Wybor(zaden.tessary(), okno), 0);
    EXPECT_EQ(pokazany, 0);
}

TEST_F(WyborTessara, OnlyTheInstalledEditionsCanBeChosenAndOkNeedsAChoice) {
    Prefiks p;
    p.zainstaluj(1, v(3, 0, 0, 0));
    p.zainstaluj(4, v(5, 2, 400, 0));
    const Tessary t = p.tessary();
    TFWyborTessara okno;
    std::vector<bool> wlaczone, zaznaczone;
    bool otwartePoPustymOk = false;
    TFWyborTessara::testHook = [&](TFWyborTessara& d) {
        EXPECT_EQ(d.windowTitle(), "Wybór wersji Tessara");
        for (int n = 1; n <= 4; ++n) {
            wlaczone.push_back(d.przycisk(n)->isEnabled());
            zaznaczone.push_back(d.przycisk(n)->isChecked());
        }
        EXPECT_EQ(d.przycisk(3)->text(), "Tessar Pro");
        d.findChild<QPushButton*>("btnOK")->click();
        otwartePoPustymOk = d.isVisible();
        d.przycisk(4)->setChecked(true);
        d.findChild<QPushButton*>("btnOK")->click();
    };
    EXPECT_EQ(kmx::tessar::Wybor(t, okno), 4);
    EXPECT_EQ(wlaczone, (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(zaznaczone, (std::vector<bool>{false, false, false, false}));
    EXPECT_TRUE(otwartePoPustymOk);
    ASSERT_EQ(kmx::platform::dialogs().shownMessages.size(), 1u);
    EXPECT_EQ(kmx::platform::dialogs().shownMessages[0].text, "Wybierz program");

    // Shown again, the previous choice is gone; "Anuluj" gives 0.
    TFWyborTessara::testHook = [&](TFWyborTessara& d) {
        EXPECT_FALSE(d.przycisk(4)->isChecked());
        d.findChild<QPushButton*>("btnCancel")->click();
    };
    EXPECT_EQ(kmx::tessar::Wybor(t, okno), 0);
}

}  // namespace

namespace {

TEST_F(WyborTessara, Screenshot) {
    const QString dir = qEnvironmentVariable("KMX_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "KMX_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    TFWyborTessara okno;
    bool zapisano = false;
    TFWyborTessara::testHook = [&](TFWyborTessara& d) {
        d.przycisk(3)->setChecked(true);
        zapisano = d.grab().save(QDir(dir).filePath("wybor_tessara.png"));
    };
    okno.wybierz(2 | 8 | 16);
    EXPECT_TRUE(zapisano);
}

}  // namespace
