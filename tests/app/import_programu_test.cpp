// "Eksport do programu" on the demo catalogue into a fake Wine prefix: the
// price list and descriptor written, the program started through a
// stand-in wine that records its arguments, environment and folder; the
// kinds of the check boxes, a descriptor that cannot be written, an edition
// too old, nothing installed, no wine, a cancelled walk.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "app/wait_window.h"
#include "core/kmx_zip.h"
#include "core/pricelist.h"
#include "export/wybor_tessara.h"
#include "gui_test_support.h"
#include "support/pe_builder.h"
#include "support/wine_prefix.h"

namespace {

using namespace kmx::guitest;
using kmx::platform::Hive;

// A stand-in wine first on PATH: it writes its arguments (NUL-separated),
// WINEPREFIX and its working folder into files.
class WineStub {
public:
    WineStub() : oldPath_(qgetenv("PATH")) {
        QFile f(dir_.filePath("wine"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        const QByteArray d = QFile::encodeName(dir_.path());
        f.write("#!/bin/sh\nprintf '%s' \"$WINEPREFIX\" > '" + d + "/prefix'\npwd > '" + d + "/cwd'\n" +
                "printf '%s\\0' \"$@\" > '" + d + "/args.tmp'\nmv '" + d + "/args.tmp' '" + d + "/args'\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", d + ":" + oldPath_);
    }
    ~WineStub() { qputenv("PATH", oldPath_); }
    // Waits for the detached stand-in to finish writing; empty when it never ran.
    QStringList arguments() const {
        QElapsedTimer t;
        t.start();
        while (!QFile::exists(dir_.filePath("args")) && t.elapsed() < 10000) QThread::msleep(20);
        QFile f(dir_.filePath("args"));
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList out;
        for (const QByteArray& a : f.readAll().split('\0')) out << QString::fromUtf8(a);
        out.removeLast();  // after the last NUL
        return out;
    }
    QString read(const char* name) const {
        QFile f(dir_.filePath(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
    }

private:
    QTemporaryDir dir_;
    QByteArray oldPath_;
};

class ImportProgramuTest : public OknoNaDemo<ImportProgramuTest> {
public:
    static constexpr const char* kHasloDemo = "Import-Haslo-4";

protected:
    void ustaw() override {
        ASSERT_TRUE(cache_.isValid());
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache_.path()));
        prefiksZmienna_.emplace(prefiks_.path());
    }
    void TearDown() override {
        OknoNaDemo::TearDown();
        kmx::tessar::TFWyborTessara::testHook = nullptr;
        prefiksZmienna_.reset();
        qunsetenv("XDG_CACHE_HOME");
    }

    // Tessar Pro (or Standard) of a version, installed in the prefix.
    void zainstaluj(kmx::TFileVersion wersja, const char* wydanie = "Tessar Pro",
                    const char* plik = "TESSAR4.EXE") {
        const QString folder = QStringLiteral("C:\\Program Files\\Nordvale\\") + wydanie;
        prefiks_.setString(Hive::LocalMachine, QStringLiteral("Software\\Nordvale\\") + wydanie, "Program",
                           folder);
        kmx::testsupport::PeOptions o;
        o.version = wersja;
        program_ =
            prefiks_.addFile(folder + "\\" + plik, QByteArray::fromStdString(kmx::testsupport::MakePe(o)));
        ASSERT_FALSE(program_.isEmpty());
        ASSERT_TRUE(prefiks_.writeRegistry(true));
    }
    void naLiscie() {
        o().APokazAllTowarExecute();
        o().ATowListaTowExecute();
    }
    void rodzaje(bool m, bool s) {
        okno_->findChild<QCheckBox*>("chbMaterialy")->setChecked(m);
        okno_->findChild<QCheckBox*>("chbSprzet")->setChecked(s);
    }
    QString folder() const { return cache_.path() + "/kalmarex/import"; }
    QString zWindows(const QString& unix) const { return "Z:" + QString(unix).replace('/', '\\'); }
    void ctrlN() { akcja("ExTessar3")->trigger(); }

    kmx::pricelist::DecodedPriceList odczytaj(const QString& plik) {
        std::string body, member, error;
        kmx::pricelist::DecodedPriceList list;
        EXPECT_TRUE(kmx::kmxzip::UnpackSingle(QFile::encodeName(plik).toStdString(), body, member, error))
            << error;
        EXPECT_TRUE(kmx::pricelist::DecodePriceList(body, list, error)) << error;
        return list;
    }

    QTemporaryDir cache_;
    kmx::winetest::FakeWinePrefix prefiks_;
    std::optional<kmx::winetest::WinePrefixVariable> prefiksZmienna_;
    QString program_;
};

TEST_F(ImportProgramuTest, TheProgramStartsUnderWineWithThePriceListAndItsDescriptor) {
    WineStub wine;
    zainstaluj({4, 0, 36, 0});
    naLiscie();
    rodzaje(true, true);
    ctrlN();
    const QString cennik = folder() + "/KMX_d_MS.kmx";
    const QString opis = folder() + "/tmp_all.plo";
    const QStringList args = wine.arguments();
    ASSERT_EQ(args.size(), 3);
    EXPECT_EQ(args[0], program_);
    EXPECT_EQ(args[1], "/kmf=" + zWindows(cennik));
    EXPECT_EQ(args[2], "/kmdf=" + zWindows(opis));
    EXPECT_EQ(wine.read("prefix"), prefiks_.path());
    EXPECT_EQ(wine.read("cwd"), QFileInfo(program_).absolutePath());
    EXPECT_TRUE(komunikaty().empty());

    // The files stay for the program, in a folder of the user's own.
    EXPECT_EQ(QFileInfo(folder()).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther),
              0);
    ASSERT_TRUE(QFileInfo::exists(opis));
    const kmx::pricelist::DecodedPriceList list = odczytaj(cennik);
    EXPECT_EQ(list.version, kmx::pricelist::Version::V21);  // 4.0.36.0 reads 2.1
    ASSERT_FALSE(list.headers.empty());
    EXPECT_EQ(list.headers[0].rfind("KMX - wersja 2.1 - Materialy i Sprzet", 0), 0u) << list.headers[0];
    EXPECT_GT(list.records.size(), 100u);
}

TEST_F(ImportProgramuTest, TheCheckBoxesNameTheFileAndItsHeaderAndEveryRowIsWritten) {
    zainstaluj({4, 0, 35, 9});  // format 2.0
    naLiscie();
    struct Przypadek {
        bool m, s;
        const char* plik;
        const char* naglowek;
    } przypadki[] = {{true, false, "KMX_d_M.kmx", "Materialy"},
                     {false, true, "KMX_d_S.kmx", "Sprzet"},
                     {false, false, "KMX_d_.kmx", "Materialy i Sprzet"}};
    std::optional<std::size_t> rekordy;
    for (const Przypadek& c : przypadki) {
        SCOPED_TRACE(c.plik);
        WineStub wine;
        rodzaje(c.m, c.s);
        ctrlN();
        const QStringList args = wine.arguments();
        ASSERT_EQ(args.size(), 3);
        EXPECT_EQ(args[1], "/kmf=" + zWindows(folder() + "/" + c.plik));
        const kmx::pricelist::DecodedPriceList list = odczytaj(folder() + "/" + c.plik);
        EXPECT_EQ(list.version, kmx::pricelist::Version::V20);
        EXPECT_EQ(list.headers[0].rfind(std::string("KMX - wersja 2.0 - ") + c.naglowek + " ceny", 0), 0u);
        // The same rows of every kind whatever the boxes say.
        if (rekordy) {
            EXPECT_EQ(list.records.size(), *rekordy);
        }
        rekordy = list.records.size();
    }
}

TEST_F(ImportProgramuTest, ADescriptorThatCannotBeWrittenOnlyDropsItsSwitch) {
    WineStub wine;
    zainstaluj({4, 0, 36, 0});
    ASSERT_TRUE(QDir().mkpath(folder() + "/tmp_all.plo"));  // a folder where the file should go
    naLiscie();
    ctrlN();
    const QStringList args = wine.arguments();
    ASSERT_EQ(args.size(), 2);
    EXPECT_TRUE(args[1].startsWith("/kmf="));
    EXPECT_TRUE(komunikaty().empty());
}

TEST_F(ImportProgramuTest, AnEditionTooOldIsToldAndNothingStarts) {
    WineStub wine;
    zainstaluj({4, 0, 31, 0});
    naLiscie();
    ctrlN();
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(
        komunikaty()[0].text,
        "Ta wersja Tessara nie obsługuje automatycznego importu. Uaktualnij program do najnowszej wersji");
    EXPECT_EQ(komunikaty()[0].icon, kmx::platform::MessageIcon::None);
    EXPECT_NE(komunikaty()[0].caption, "KALMAREX");  // the program's own title
    EXPECT_FALSE(QFileInfo::exists(folder() + "/KMX_d_MS.kmx"));
}

TEST_F(ImportProgramuTest, NothingInstalledDoesNothing) {
    WineStub wine;
    ASSERT_TRUE(prefiks_.writeRegistry(true));
    int dialogi = 0;
    kmx::tessar::TFWyborTessara::testHook = [&](kmx::tessar::TFWyborTessara&) { ++dialogi; };
    naLiscie();
    ctrlN();
    EXPECT_EQ(dialogi, 0);
    EXPECT_TRUE(komunikaty().empty());
    EXPECT_FALSE(QFileInfo::exists(folder()));
}

TEST_F(ImportProgramuTest, WithoutWineTheUserIsTold) {
    zainstaluj({4, 0, 36, 0});
    naLiscie();
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir pusty;
    qputenv("PATH", QFile::encodeName(pusty.path()));
    ctrlN();
    qputenv("PATH", path);
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_TRUE(komunikaty()[0].text.contains("Wine")) << komunikaty()[0].text.toStdString();
    EXPECT_EQ(komunikaty()[0].icon, kmx::platform::MessageIcon::Error);
    EXPECT_TRUE(QFileInfo::exists(folder() + "/KMX_d_MS.kmx"));  // written before the start failed
}

TEST_F(ImportProgramuTest, TwoEditionsAskAndACancelledWalkStartsNothing) {
    zainstaluj({4, 0, 36, 0});
    zainstaluj({4, 0, 36, 0}, "Tessar Standard", "TESSAR4STD.EXE");
    naLiscie();
    int wybrano = 0;
    kmx::tessar::TFWyborTessara::testHook = [&](kmx::tessar::TFWyborTessara& d) {
        d.przycisk(2)->setChecked(true);
        ++wybrano;
        d.ok();
    };
    {
        WineStub wine;
        ctrlN();
        EXPECT_EQ(wybrano, 1);
        const QStringList args = wine.arguments();
        ASSERT_FALSE(args.isEmpty());
        EXPECT_TRUE(args[0].endsWith("/Tessar Standard/TESSAR4STD.EXE")) << args[0].toStdString();
    }
    // Escape and "Tak" in "Eksport cennika..." stop the walk: no program.
    WineStub wine;
    kmx::platform::dialogs().nextAnswers.push_back(kmx::platform::Answer::Yes);
    QTimer::singleShot(0, [] {
        if (QWidget* w = kmx::app::oknoCzekaj()) klawisz(w, Qt::Key_Escape);
    });
    QFile::remove(folder() + "/KMX_d_MS.kmx");
    ctrlN();
    // Only the wait window's question was asked; no failure was reported.
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].icon, kmx::platform::MessageIcon::Question);
    QThread::msleep(300);
    EXPECT_TRUE(wine.read("args").isEmpty());
}

}  // namespace
