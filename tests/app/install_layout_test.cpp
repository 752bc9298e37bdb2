// Where the programs look for their catalogue and for our price-base library,
// in the build folder and in an installed tree.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLibrary>
#include <QProcess>
#include <QTemporaryDir>

#include <optional>

#include "app/program.h"
#include "app/program_paths.h"
#include "core/settings_file.h"
#include "data/tdm.h"
#include "editions/edition.h"
#include "export/t3dll.h"
#include "gui_test_support.h"
#include "pricebase/pricebase.h"

namespace {

using kmx::app::DomyslneFolderyKatalogu;
using kmx::app::FolderyKatalogu;
using kmx::app::WybierzFolderKatalogu;
using kmx::tessar::TT3DLL;

QString testBinDir() {
    const QString d = qEnvironmentVariable("KMX_BIN_DIR");
    return d.isEmpty() ? QCoreApplication::applicationDirPath() : d;
}

// An environment variable set (or removed) for one test.
class ZmiennaSrodowiska {
public:
    ZmiennaSrodowiska(const char* name, const std::optional<QByteArray>& value) : name_(name) {
        if (qEnvironmentVariableIsSet(name)) old_ = qgetenv(name);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~ZmiennaSrodowiska() {
        if (old_)
            qputenv(name_, *old_);
        else
            qunsetenv(name_);
    }
    ZmiennaSrodowiska(const ZmiennaSrodowiska&) = delete;
    ZmiennaSrodowiska& operator=(const ZmiennaSrodowiska&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> old_;
};

// The edition chosen for one test.
class Edycja {
public:
    explicit Edycja(const kmx::edition::Edycja& e) : old_(&kmx::edition::biezaca()) {
        kmx::edition::ustaw(e);
    }
    ~Edycja() { kmx::edition::ustaw(*old_); }

private:
    const kmx::edition::Edycja* old_;
};

// Three folders standing for the program's, the user's and the system's,
// each with or without a catalogue.
class CatalogueLookup : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        f_.programu = root_.filePath("bin");
        f_.uzytkownika = root_.filePath("home/.local/share/kalmarex");
        f_.systemowy = root_.filePath("usr/share/kalmarex");
        for (const QString& d : {f_.programu, f_.uzytkownika, f_.systemowy}) ASSERT_TRUE(QDir().mkpath(d));
    }
    void katalog(const QString& folder) {
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile f(folder + "/kmx.dat");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("catalogue");
    }
    void usun(const QString& folder) { ASSERT_TRUE(QFile::remove(folder + "/kmx.dat")); }
    QString ze(const QString& folder) const { return folder + "/"; }

    QTemporaryDir root_;
    FolderyKatalogu f_;
};

TEST_F(CatalogueLookup, ProducerPricesBesideTheProgramThenUserThenSystem) {
    // None holds a catalogue: the program's folder, whose start-up then names it.
    EXPECT_EQ(WybierzFolderKatalogu(f_, false), ze(f_.programu));
    katalog(f_.systemowy);
    EXPECT_EQ(WybierzFolderKatalogu(f_, false), ze(f_.systemowy));
    katalog(f_.uzytkownika);
    EXPECT_EQ(WybierzFolderKatalogu(f_, false), ze(f_.uzytkownika));
    katalog(f_.programu);
    EXPECT_EQ(WybierzFolderKatalogu(f_, false), ze(f_.programu));
    usun(f_.uzytkownika);
    EXPECT_EQ(WybierzFolderKatalogu(f_, false), ze(f_.programu));
    usun(f_.programu);
    EXPECT_EQ(WybierzFolderKatalogu(f_, false), ze(f_.systemowy));
    // The average-prices subfolders are not the producer prices' catalogue.
    usun(f_.systemowy);
    katalog(f_.programu + "/avg");
    katalog(f_.uzytkownika + "/avg");
    EXPECT_EQ(WybierzFolderKatalogu(f_, false), ze(f_.programu));
}

TEST_F(CatalogueLookup, AveragePricesTakeTheAvgSubfolders) {
    katalog(f_.programu);
    katalog(f_.uzytkownika);
    katalog(f_.systemowy);
    // Beside the program its own folder counts, after its "avg".
    EXPECT_EQ(WybierzFolderKatalogu(f_, true), ze(f_.programu));
    katalog(f_.programu + "/avg");
    EXPECT_EQ(WybierzFolderKatalogu(f_, true), f_.programu + "/avg/");
    usun(f_.programu + "/avg");
    usun(f_.programu);
    // The shared folders themselves hold the other program's catalogue.
    EXPECT_EQ(WybierzFolderKatalogu(f_, true), ze(f_.programu));
    katalog(f_.systemowy + "/avg");
    EXPECT_EQ(WybierzFolderKatalogu(f_, true), f_.systemowy + "/avg/");
    katalog(f_.uzytkownika + "/avg");
    EXPECT_EQ(WybierzFolderKatalogu(f_, true), f_.uzytkownika + "/avg/");
    katalog(f_.programu);
    EXPECT_EQ(WybierzFolderKatalogu(f_, true), ze(f_.programu));
}

TEST_F(CatalogueLookup, OnlyAFileCountsAndFoldersMayLackTheSlash) {
    // A folder named kmx.dat is no catalogue.
    ASSERT_TRUE(QDir().mkpath(f_.uzytkownika + "/kmx.dat"));
    katalog(f_.systemowy);
    EXPECT_EQ(WybierzFolderKatalogu(f_, false), ze(f_.systemowy));
    FolderyKatalogu zUkosnikami{ze(f_.programu), ze(f_.uzytkownika), ze(f_.systemowy)};
    EXPECT_EQ(WybierzFolderKatalogu(zUkosnikami, false), ze(f_.systemowy));
    // Without a user's or a system folder (no home, no known layout).
    EXPECT_EQ(WybierzFolderKatalogu(FolderyKatalogu{f_.programu, {}, {}}, false), ze(f_.programu));
    EXPECT_EQ(WybierzFolderKatalogu(FolderyKatalogu{f_.programu, {}, {}}, true), ze(f_.programu));
}

TEST_F(CatalogueLookup, UserFolderIsTheDataHomeAndSystemFolderBesideBin) {
    {
        ZmiennaSrodowiska dane("XDG_DATA_HOME", QFile::encodeName(root_.filePath("dane")));
        EXPECT_EQ(DomyslneFolderyKatalogu(f_.programu).uzytkownika, root_.filePath("dane/kalmarex/"));
    }
    {
        ZmiennaSrodowiska dane("XDG_DATA_HOME", std::nullopt);
        ZmiennaSrodowiska dom("HOME", QFile::encodeName(root_.filePath("home")));
        EXPECT_EQ(DomyslneFolderyKatalogu(f_.programu).uzytkownika, ze(f_.uzytkownika));
    }
    const FolderyKatalogu d = DomyslneFolderyKatalogu(root_.filePath("usr/bin"));
    EXPECT_EQ(d.programu, root_.filePath("usr/bin/"));
    EXPECT_EQ(d.systemowy, ze(f_.systemowy));
}

// FolderKatalogu, which the program opens, asks these folders for the edition
// chosen.
TEST_F(CatalogueLookup, TheProgramsFolderFollowsTheEdition) {
    ZmiennaSrodowiska dane("XDG_DATA_HOME", QFile::encodeName(root_.filePath("home/.local/share")));
    kmx::app::UstawKatalogProgramu(f_.programu);
    katalog(f_.uzytkownika);
    katalog(f_.uzytkownika + "/avg");
    {
        Edycja e(kmx::edition::CenyProducentow);
        EXPECT_EQ(kmx::app::FolderKatalogu(), ze(f_.uzytkownika));
    }
    {
        Edycja e(kmx::edition::CenySrednie);
        EXPECT_EQ(kmx::app::FolderKatalogu(), f_.uzytkownika + "/avg/");
        katalog(f_.programu + "/avg");
        EXPECT_EQ(kmx::app::FolderKatalogu(), f_.programu + "/avg/");
    }
    kmx::app::UstawKatalogProgramu(QString());
}

TEST(PriceBaseLibrary, BesideTheProgramFirstThenThePrivateFolder) {
    const QStringList build = TT3DLL::naszeBiblioteki(testBinDir());
    ASSERT_EQ(build.size(), 2);
    EXPECT_EQ(build[0], QDir::cleanPath(testBinDir() + "/libkmx_pricebase.so"));
    // The build folder's library lies beside the tests and is the one taken.
    EXPECT_EQ(TT3DLL::naszaBiblioteka(),
              QDir::cleanPath(QCoreApplication::applicationDirPath() + "/libkmx_pricebase.so"));
    const QStringList zainstalowane = TT3DLL::naszeBiblioteki("/usr/bin");
    ASSERT_EQ(zainstalowane.size(), 2);
    EXPECT_EQ(zainstalowane[0], "/usr/bin/libkmx_pricebase.so");
    EXPECT_TRUE(zainstalowane[1].startsWith("/usr/lib/")) << zainstalowane[1].toStdString();
    EXPECT_TRUE(zainstalowane[1].endsWith("/kalmarex/libkmx_pricebase.so")) << zainstalowane[1].toStdString();
}

TEST(ApplicationNames, NoDisplayNameToDecorateCaptionsAndTheEditionsDesktopEntry) {
    const QString name = QCoreApplication::applicationName();
    const QString desktop = QGuiApplication::desktopFileName();
    QString prices, avg;
    {
        Edycja e(kmx::edition::CenyProducentow);
        kmx::app::UstawNazwyAplikacji();
        EXPECT_EQ(QCoreApplication::applicationName(), "Kalmarex");
        prices = QGuiApplication::desktopFileName();
        // A display name set by the program would stay when the name changes;
        // unset, it follows the name and the platform adds nothing to captions.
        QCoreApplication::setApplicationName("kmx-test-name");
        EXPECT_EQ(QGuiApplication::applicationDisplayName(), "kmx-test-name");
    }
    {
        Edycja e(kmx::edition::CenySrednie);
        kmx::app::UstawNazwyAplikacji();
        EXPECT_EQ(QCoreApplication::applicationName(), "KalmarexAvg");
        avg = QGuiApplication::desktopFileName();
        EXPECT_EQ(avg, kmx::app::IdentyfikatorAplikacji());
    }
    EXPECT_FALSE(prices.isEmpty());
    EXPECT_NE(prices, avg);
    QCoreApplication::setApplicationName(name);
    QGuiApplication::setDesktopFileName(desktop);
}

// The build installed into a scratch prefix: the programs' lookups find the
// installed catalogues, the desktop entries and our library there.
class InstalledTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix_ = new QTemporaryDir();
        ASSERT_TRUE(prefix_->isValid());
        const QString build = QDir::cleanPath(testBinDir() + "/..");
        QProcess cmake;
        cmake.setProcessChannelMode(QProcess::MergedChannels);
        cmake.start("cmake", {"--install", build, "--prefix", prefix_->path()});
        ASSERT_TRUE(cmake.waitForFinished(120000));
        installed_ = cmake.exitStatus() == QProcess::NormalExit && cmake.exitCode() == 0;
        log_ = QString::fromLocal8Bit(cmake.readAll()).toStdString();
    }
    static void TearDownTestSuite() {
        delete prefix_;
        prefix_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(installed_) << log_; }
    static QString p(const QString& rel) { return prefix_->path() + "/" + rel; }

    static inline QTemporaryDir* prefix_ = nullptr;
    static inline bool installed_ = false;
    static inline std::string log_;
};

TEST_F(InstalledTree, ProgramsFindTheSystemCataloguesAndTheyOpen) {
    QTemporaryDir home;
    ZmiennaSrodowiska dane("XDG_DATA_HOME", QFile::encodeName(home.path()));
    ASSERT_TRUE(QFileInfo(p("bin/Kalmarex")).isExecutable());
    ASSERT_TRUE(QFileInfo(p("bin/KalmarexAvg")).isExecutable());
    const FolderyKatalogu f = DomyslneFolderyKatalogu(p("bin"));
    EXPECT_EQ(f.systemowy, p("share/kalmarex/"));
    const QString ceny = WybierzFolderKatalogu(f, false);
    const QString srednie = WybierzFolderKatalogu(f, true);
    EXPECT_EQ(ceny, p("share/kalmarex/"));
    EXPECT_EQ(srednie, p("share/kalmarex/avg/"));
    // Each opens with its settings file, read-only, and lists goods of its kind.
    for (const QString& folder : {ceny, srednie}) {
        SCOPED_TRACE(folder.toStdString());
        const auto settings = kmx::CzytajUstawienia(kmx::guitest::toPath(folder + "kmx.iif"));
        ASSERT_TRUE(settings.ok);
        kmx::data::TDM dm;
        ASSERT_FALSE(dm.PolaczZBaza(kmx::guitest::toPath(folder + "kmx.dat"), settings.password));
        ASSERT_FALSE(dm.OtworzTabele());
        std::string edycja, rok;
        EXPECT_TRUE(dm.CzytajWersje(edycja, rok));
        EXPECT_EQ(rok.size(), 4u);
        EXPECT_TRUE(QFileInfo::exists(folder + "stawki.rtf"));
    }
    EXPECT_TRUE(QFileInfo::exists(ceny + "KMX/materialy.kmx"));
    EXPECT_TRUE(QFileInfo::exists(srednie + "KMX/Robocizna_sred.kmx"));
    // A catalogue the user keeps comes before the installed one.
    ASSERT_TRUE(QDir().mkpath(home.path() + "/kalmarex"));
    ASSERT_TRUE(QFile::copy(ceny + "kmx.dat", home.path() + "/kalmarex/kmx.dat"));
    EXPECT_EQ(WybierzFolderKatalogu(DomyslneFolderyKatalogu(p("bin")), false), home.path() + "/kalmarex/");
    EXPECT_EQ(WybierzFolderKatalogu(DomyslneFolderyKatalogu(p("bin")), true), p("share/kalmarex/avg/"));
}

TEST_F(InstalledTree, TheBridgeLoadsTheInstalledLibrary) {
    const QStringList kandydaci = TT3DLL::naszeBiblioteki(p("bin"));
    ASSERT_EQ(kandydaci.size(), 2);
    EXPECT_FALSE(QFileInfo::exists(kandydaci[0]));
    ASSERT_TRUE(QFileInfo(kandydaci[1]).isFile()) << kandydaci[1].toStdString();
    EXPECT_TRUE(kandydaci[1].startsWith(p("lib/")));
    QLibrary lib(kandydaci[1]);
    ASSERT_TRUE(lib.load()) << lib.errorString().toStdString();
    const auto wersja = reinterpret_cast<decltype(&GetDbDllVer)>(lib.resolve("GetDbDllVer"));
    ASSERT_NE(wersja, nullptr);
    EXPECT_GE(wersja(nullptr), 3120);
    lib.unload();
}

TEST_F(InstalledTree, EachEditionHasItsDesktopEntry) {
    const QString desktop = QGuiApplication::desktopFileName();
    for (const auto* e : {&kmx::edition::CenyProducentow, &kmx::edition::CenySrednie}) {
        Edycja wybrana(*e);
        const QString id = kmx::app::IdentyfikatorAplikacji();
        SCOPED_TRACE(id.toStdString());
        QFile plik(p("share/applications/" + id + ".desktop"));
        ASSERT_TRUE(plik.open(QIODevice::ReadOnly));
        const QString tekst = QString::fromUtf8(plik.readAll());
        const QString program = QString::fromUtf8(e->nazwa);
        EXPECT_TRUE(tekst.contains("\nExec=" + program + "\n"));
        EXPECT_TRUE(tekst.contains("\nIcon=" + id + "\n"));
        EXPECT_TRUE(QFileInfo::exists(p("share/icons/hicolor/scalable/apps/" + id + ".svg")));
        EXPECT_TRUE(QFileInfo::exists(p("share/metainfo/" + id + ".metainfo.xml")));
        EXPECT_TRUE(QFileInfo(p("bin/" + program)).isExecutable());
    }
    QGuiApplication::setDesktopFileName(desktop);
}

}  // namespace
