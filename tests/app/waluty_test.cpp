// The currency rates of the price-base export: nvres.ini found through the
// Wine prefix's registry or in the default folder, the base currency, the
// conversion of a row's prices with known and asked rates, and the rate
// dialog's OK rule.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <optional>
#include <string_view>
#include <tuple>
#include <vector>

#include "app/wait_window.h"
#include "export/form_waluta.h"
#include "export/waluty.h"
#include "platform/dialogs.h"
#include "platform/registry.h"
#include "platform/wine.h"
#include "support/wine_prefix.h"

namespace {

using kmx::platform::Hive;
using kmx::platform::WinePaths;
using kmx::platform::WineRegistry;
using kmx::tessar::TFWaluta;
using kmx::tessar::TWaluty;
using kmx::tessar::WynikKursu;
using kmx::winetest::FakeWinePrefix;

const QString kKlucz = QStringLiteral("Software\\Nordvale\\Tabele parametrów\\");
const QString kWartosc = QStringLiteral("ścieżka tabel");

QByteArray czytaj(const QString& plik) {
    QFile f(plik);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool zapisz(const QString& plik, const QByteArray& bytes) {
    QFile f(plik);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QPushButton* przycisk(TFWaluta& d, const char* nazwa) {
    return d.findChild<QPushButton*>(QString::fromLatin1(nazwa));
}
QLineEdit* pole(TFWaluta& d, const char* nazwa) {
    return d.findChild<QLineEdit*>(QString::fromLatin1(nazwa));
}

// One answer of the user in TFWaluta.
struct Odpowiedz {
    const char* przycisk = "btnOK";
    QString kurs;
    QString opis;
    std::optional<QString> kod;  // typed over the preset code
};

// What a dialog showed when it opened.
struct Pytanie {
    QString kod, bazowa;
    bool czekajUkryte = false;
};

class Waluty : public ::testing::Test {
protected:
    void SetUp() override {
        trybTestu_ = kmx::platform::dialogs().testMode();
        kmx::platform::dialogs().setTestMode(true);
        kmx::platform::dialogs().shownMessages.clear();
        kmx::app::ZamknijCzekaj();
        ASSERT_TRUE(prefiks_.isValid());
        ASSERT_TRUE(domyslny_.isValid());
        // Every dialog takes the next queued answer; one not expected fails.
        TFWaluta::testHook = [this](TFWaluta& d) {
            Pytanie p;
            p.kod = pole(d, "edWaluta")->text();
            p.bazowa = d.findChild<QLabel*>(QStringLiteral("lblBazowa"))->text();
            p.czekajUkryte = kmx::app::oknoCzekaj() != nullptr && !kmx::app::oknoCzekaj()->isVisible();
            pytania_.push_back(p);
            if (odpowiedzi_.empty()) {
                ADD_FAILURE() << "unexpected question for " << p.kod.toStdString();
                przycisk(d, "btnAnuluj")->click();
                return;
            }
            const Odpowiedz o = odpowiedzi_.front();
            odpowiedzi_.pop_front();
            if (o.kod) pole(d, "edWaluta")->setText(*o.kod);
            pole(d, "edKurs")->setText(o.kurs);
            pole(d, "edOpis")->setText(o.opis);
            przycisk(d, o.przycisk)->click();
        };
    }
    void TearDown() override {
        TFWaluta::testHook = nullptr;
        kmx::app::ZamknijCzekaj();
        EXPECT_TRUE(odpowiedzi_.empty()) << "answers left unused";
        kmx::platform::dialogs().shownMessages.clear();
        kmx::platform::dialogs().setTestMode(trybTestu_);
    }

    // The rates file in the parameter-table folder the registry names
    // (drive_c/Nordvale/Tabele), with `bytes`; a TWaluty loaded on it.
    TWaluty& waluty(const QByteArray& bytes) {
        QDir().mkpath(prefiks_.driveC() + QStringLiteral("/Nordvale/Tabele"));
        EXPECT_TRUE(zapisz(prefiks_.driveC() + QStringLiteral("/Nordvale/Tabele/nvres.ini"), bytes));
        prefiks_.setString(Hive::LocalMachine, kKlucz, kWartosc, QStringLiteral("C:\\Nordvale\\Tabele"));
        return zaladuj();
    }
    TWaluty& zaladuj() {
        EXPECT_TRUE(prefiks_.writeRegistry());
        rejestr_.emplace(prefiks_.path());
        waluty_.emplace(*rejestr_, WinePaths(prefiks_.path()));
        EXPECT_TRUE(waluty_->Load(domyslny_.path()));
        return *waluty_;
    }
    QString plik() const { return waluty_->plik(); }

    FakeWinePrefix prefiks_;
    QTemporaryDir domyslny_;
    std::optional<WineRegistry> rejestr_;
    std::optional<TWaluty> waluty_;
    std::deque<Odpowiedz> odpowiedzi_;
    std::vector<Pytanie> pytania_;

private:
    bool trybTestu_ = false;
};

const QByteArray kKursy =
    "; kursy wsp\xF3lne programów\r\n"
    "[Kursy walut]\r\n"
    "Waluta bazowa=PLN,z\xB3\r\n"
    "EUR=4.5000,euro\r\n"
    "usd=3.0000,dolar\r\n"
    "XYZ=0.0000,zerowy\r\n"
    "\r\n"
    "[Inne]\r\n"
    "Miasto=\xA3\xF3"
    "d\x9F\r\n";

struct Ceny {
    float producenta, hurtowa, detaliczna;
};

// Converts one row; the result and the prices after.
std::pair<WynikKursu, Ceny> przelicz(TWaluty& w, Ceny c, const char* cennika, const char* towaru) {
    const WynikKursu r = w.Przelicz(c.producenta, c.hurtowa, c.detaliczna, QString::fromUtf8(cennika),
                                    QString::fromUtf8(towaru));
    return {r, c};
}

#define EXPECT_CENY(c, p, h, d)             \
    do {                                    \
        EXPECT_FLOAT_EQ((c).producenta, p); \
        EXPECT_FLOAT_EQ((c).hurtowa, h);    \
        EXPECT_FLOAT_EQ((c).detaliczna, d); \
    } while (0)

TEST_F(Waluty, FindsTheRatesFileThroughTheRegistryInEveryPrefixLayout) {
    struct Uklad {
        bool win64, wow64;
    };
    for (const Uklad u : {Uklad{true, true}, Uklad{true, false}, Uklad{false, true}}) {
        SCOPED_TRACE(testing::Message() << "win64 " << u.win64 << " wow64 " << u.wow64);
        FakeWinePrefix p;
        ASSERT_TRUE(p.isValid());
        // The programs wrote the folder and the file in letters of their own.
        const QString unix = p.driveC() + QStringLiteral("/nordvale/tabele");
        ASSERT_TRUE(QDir().mkpath(unix));
        ASSERT_TRUE(zapisz(unix + QStringLiteral("/NVRES.INI"),
                           "[KURSY WALUT]\r\nwaluta bazowa = EUR , euro\r\nUSD=0.9000,dolar\r\n"));
        p.setString(Hive::LocalMachine, kKlucz, kWartosc, QStringLiteral("C:\\Nordvale\\Tabele\\"), u.wow64);
        ASSERT_TRUE(p.writeRegistry(u.win64));
        WineRegistry rejestr(p.path());
        TWaluty w(rejestr, WinePaths(p.path()));
        EXPECT_TRUE(w.Load(domyslny_.path()));
        EXPECT_EQ(w.plik(), unix + QStringLiteral("/NVRES.INI"));
        EXPECT_EQ(w.walutaBazowa(), QStringLiteral("EUR"));
        EXPECT_EQ(w.Kurs(QStringLiteral("usd")), 0.9);
        EXPECT_EQ(w.Kurs(QStringLiteral("eur")), 1.0);
    }

    // The 32-bit view comes first when both hold a folder.
    FakeWinePrefix p;
    ASSERT_TRUE(p.isValid());
    p.setString(Hive::LocalMachine, QStringLiteral("Software\\Wow6432Node\\Nordvale\\Tabele parametrów"),
                kWartosc, QStringLiteral("C:\\Tabele32"), false);
    p.setString(Hive::LocalMachine, kKlucz, kWartosc, QStringLiteral("C:\\Tabele64"), false);
    ASSERT_TRUE(p.writeRegistry(true));
    WineRegistry rejestr(p.path());
    TWaluty w(rejestr, WinePaths(p.path()));
    w.Load(domyslny_.path());
    EXPECT_EQ(w.plik(), p.driveC() + QStringLiteral("/Tabele32/nvres.ini"));
}

TEST_F(Waluty, DefaultFolderAndBaseCurrency) {
    // No key, an empty value, a drive without a link: the default folder.
    struct Wpis {
        bool jest;
        QString wartosc;
    };
    for (const Wpis& wpis : {Wpis{false, {}}, Wpis{true, {}}, Wpis{true, QStringLiteral("Q:\\Tabele")}}) {
        FakeWinePrefix p;
        ASSERT_TRUE(p.isValid());
        if (wpis.jest) p.setString(Hive::LocalMachine, kKlucz, kWartosc, wpis.wartosc);
        ASSERT_TRUE(p.writeRegistry());
        WineRegistry rejestr(p.path());
        TWaluty w(rejestr, WinePaths(p.path()));
        w.Load(domyslny_.path());
        EXPECT_EQ(w.plik(), domyslny_.filePath(QStringLiteral("nvres.ini"))) << wpis.wartosc.toStdString();
    }

    // A missing file: PLN, written as "PLN,zł" into a new file.
    const QString nowy = domyslny_.filePath(QStringLiteral("nvres.ini"));
    QFile::remove(nowy);
    EXPECT_EQ(zaladuj().walutaBazowa(), QStringLiteral("PLN"));
    ASSERT_EQ(plik(), nowy);
    EXPECT_EQ(czytaj(nowy), QByteArray("[Kursy walut]\r\nWaluta bazowa=PLN,z\xB3\r\n"));

    // A file without the base currency gets it in its section, the rest kept.
    const QByteArray bez = "; uwaga\r\n[Kursy walut]\r\nEUR=4.5000,euro\r\n\r\n[Inne]\r\nx=\xB3\r\n";
    ASSERT_TRUE(zapisz(nowy, bez));
    EXPECT_EQ(zaladuj().walutaBazowa(), QStringLiteral("PLN"));
    EXPECT_EQ(czytaj(nowy), QByteArray(bez).replace("euro\r\n", "euro\r\nWaluta bazowa=PLN,z\xB3\r\n"));

    // The code before the first ","; a value without one is all code. Neither is rewritten.
    for (const QByteArray& wartosc : {QByteArray("EUR,euro,wsp\xF3lne"), QByteArray(" CZK ")}) {
        const QByteArray plikBazowej = "[Kursy walut]\r\nWaluta bazowa=" + wartosc + "\r\n";
        ASSERT_TRUE(zapisz(nowy, plikBazowej));
        EXPECT_EQ(zaladuj().walutaBazowa(),
                  wartosc.startsWith("EUR") ? QStringLiteral("EUR") : QStringLiteral("CZK"));
        EXPECT_EQ(czytaj(nowy), plikBazowej);
    }
}

TEST_F(Waluty, ConvertsWithKnownRates) {
    TWaluty& w = waluty(kKursy);
    // The same currency in other spellings needs no rate.
    auto [r, c] = przelicz(w, {10, 20, 0.5f}, "eur", "EUR ");
    EXPECT_EQ(r, WynikKursu::Ok);
    EXPECT_CENY(c, 10, 20, 0.5f);
    std::tie(r, c) = przelicz(w, {10, 20, 0.5f}, "ABC", " abc");
    EXPECT_CENY(c, 10, 20, 0.5f);

    // Into the base currency: × the goods' rate.
    std::tie(r, c) = przelicz(w, {10, 20, 0.5f}, "PLN", "EUR");
    EXPECT_EQ(r, WynikKursu::Ok);
    EXPECT_CENY(c, 45, 90, 2.25f);
    // Out of it: ÷ the price list's rate.
    std::tie(r, c) = przelicz(w, {45, 9, 1}, "eur", "pln");
    EXPECT_CENY(c, 10, 2, 1 / 4.5f);
    // Between two others: × 3.0 / 4.5 (the file's key in lower case).
    std::tie(r, c) = przelicz(w, {9, 4.5f, 1}, "EUR", "USD");
    EXPECT_EQ(r, WynikKursu::Ok);
    EXPECT_CENY(c, 6, 3, 2.0f / 3.0f);
    // A price-list currency whose rate is 0 counts as 1.
    std::tie(r, c) = przelicz(w, {2, 4, 0}, "XYZ", "EUR");
    EXPECT_EQ(r, WynikKursu::Ok);
    EXPECT_CENY(c, 9, 18, 0);
    std::tie(r, c) = przelicz(w, {2, 4, 8}, "XYZ", "PLN");
    EXPECT_CENY(c, 2, 4, 8);
    EXPECT_TRUE(pytania_.empty());
    EXPECT_EQ(czytaj(plik()), kKursy);
}

TEST_F(Waluty, AsksForAnUnknownRateAndStoresItForTheNextRows) {
    TWaluty& w = waluty(kKursy);
    kmx::app::PokazCzekaj(QStringLiteral("Eksport cennika..."), true);
    odpowiedzi_.push_back({"btnOK", QStringLiteral("3,75"), QStringLiteral("dolar kanadyjski"), {}});
    auto [r, c] = przelicz(w, {10, 2, 4}, "PLN", "cad");
    EXPECT_EQ(r, WynikKursu::Ok);
    EXPECT_CENY(c, 37.5f, 7.5f, 15);
    ASSERT_EQ(pytania_.size(), 1u);
    EXPECT_EQ(pytania_[0].kod, QStringLiteral("CAD"));
    EXPECT_EQ(pytania_[0].bazowa, QStringLiteral("PLN"));
    // The wait window stepped aside for the dialog and came back.
    EXPECT_TRUE(pytania_[0].czekajUkryte);
    ASSERT_NE(kmx::app::oknoCzekaj(), nullptr);
    EXPECT_TRUE(kmx::app::oknoCzekaj()->isVisible());
    // Stored with four decimals at the end of the section, nothing else touched.
    EXPECT_EQ(czytaj(plik()),
              QByteArray(kKursy).replace("zerowy\r\n", "zerowy\r\nCAD=3.7500,dolar kanadyjski\r\n"));

    // The next row reads it from the file.
    std::tie(r, c) = przelicz(w, {2, 0, 1}, "PLN", "CAD");
    EXPECT_EQ(r, WynikKursu::Ok);
    EXPECT_CENY(c, 7.5f, 0, 3.75f);
    EXPECT_EQ(pytania_.size(), 1u);

    // Both unknown: the price list's currency first, then the goods'; the
    // code is stored as typed, the description in Windows-1250.
    odpowiedzi_.push_back(
        {"btnOK", QStringLiteral("4"), QStringLiteral("frank szwajcarski"), QStringLiteral("chf")});
    odpowiedzi_.push_back(
        {"btnOK", QStringLiteral("5.2"), QStringLiteral("funt brytyjski – Wielka Brytania"), {}});
    std::tie(r, c) = przelicz(w, {8, 4, 2}, "CHF", "GBP");
    EXPECT_EQ(r, WynikKursu::Ok);
    EXPECT_CENY(c, 10.4f, 5.2f, 2.6f);
    ASSERT_EQ(pytania_.size(), 3u);
    EXPECT_EQ(pytania_[1].kod, QStringLiteral("CHF"));
    EXPECT_EQ(pytania_[2].kod, QStringLiteral("GBP"));
    const QByteArray teraz = czytaj(plik());
    EXPECT_TRUE(teraz.contains(
        "\r\nchf=4.0000,frank szwajcarski\r\nGBP=5.2000,funt brytyjski \x96 Wielka Brytania\r\n"))
        << teraz.toStdString();
    EXPECT_EQ(w.Kurs(QStringLiteral("CHF")), 4.0);
    std::tie(r, c) = przelicz(w, {8, 4, 2}, "GBP", "CHF");
    EXPECT_CENY(c, 8 * 4 / 5.2f, 4 * 4 / 5.2f, 2 * 4 / 5.2f);
    EXPECT_EQ(pytania_.size(), 3u);
}

TEST_F(Waluty, CancelLeavesTheRateAtOneForTheRowAndAbortStops) {
    TWaluty& w = waluty(kKursy);
    odpowiedzi_.push_back({"btnAnuluj", QStringLiteral("9"), QStringLiteral("nie"), {}});
    auto [r, c] = przelicz(w, {10, 2, 4}, "PLN", "CAD");
    EXPECT_EQ(r, WynikKursu::Anuluj);
    EXPECT_CENY(c, 10, 2, 4);
    EXPECT_EQ(czytaj(plik()), kKursy);

    // Asked again on the next row; a cancelled price-list currency is 1 too.
    odpowiedzi_.push_back({"btnAnuluj", {}, {}, {}});
    std::tie(r, c) = przelicz(w, {10, 2, 4}, "CAD", "EUR");
    EXPECT_EQ(r, WynikKursu::Anuluj);
    EXPECT_CENY(c, 45, 9, 18);
    EXPECT_EQ(pytania_.size(), 2u);

    // "Przerwij": the caller is told to stop, nothing stored, the rate 1.
    odpowiedzi_.push_back({"btnPrzerwij", QStringLiteral("9"), QStringLiteral("nie"), {}});
    std::tie(r, c) = przelicz(w, {10, 2, 4}, "PLN", "CAD");
    EXPECT_EQ(r, WynikKursu::Przerwij);
    EXPECT_CENY(c, 10, 2, 4);
    EXPECT_EQ(czytaj(plik()), kKursy);
    EXPECT_EQ(w.Kurs(QStringLiteral("CAD")), std::nullopt);
}

TEST_F(Waluty, MalformedRatesAreAskedForAgain) {
    const QByteArray zle =
        "[Kursy walut]\r\n"
        "Waluta bazowa=PLN,z\xB3\r\n"
        "USD=abc,dolar\r\n"
        "GBP=5.1\r\n"
        "CHF=\r\n"
        "SEK= 4.2x ,korona\r\n"
        "NOK=4,2,korona\r\n";
    TWaluty& w = waluty(zle);
    EXPECT_EQ(w.Kurs(QStringLiteral("NOK")), 4.0);  // "4" before the first ","
    for (const char* kod : {"USD", "GBP", "CHF", "SEK"}) {
        SCOPED_TRACE(kod);
        EXPECT_EQ(w.Kurs(QString::fromLatin1(kod)), std::nullopt);
        odpowiedzi_.push_back({"btnOK", QStringLiteral("2"), QStringLiteral("nowy"), {}});
        auto [r, c] = przelicz(w, {1, 2, 3}, "PLN", kod);
        EXPECT_EQ(r, WynikKursu::Ok);
        EXPECT_CENY(c, 2, 4, 6);
        EXPECT_EQ(w.Kurs(QString::fromLatin1(kod)), 2.0);
    }
    EXPECT_EQ(pytania_.size(), 4u);
    // Each line replaced in place.
    EXPECT_EQ(czytaj(plik()), QByteArray("[Kursy walut]\r\n"
                                         "Waluta bazowa=PLN,z\xB3\r\n"
                                         "USD=2.0000,nowy\r\n"
                                         "GBP=2.0000,nowy\r\n"
                                         "CHF=2.0000,nowy\r\n"
                                         "SEK= 2.0000,nowy\r\n"
                                         "NOK=4,2,korona\r\n"));
}

TEST_F(Waluty, RateThatCannotBeWrittenIsKeptForTheRun) {
    // A folder where the file should be: it can be neither read nor replaced.
    ASSERT_TRUE(QDir(domyslny_.path()).mkpath(QStringLiteral("nvres.ini/x")));
    TWaluty& w = zaladuj();
    EXPECT_EQ(w.walutaBazowa(), QStringLiteral("PLN"));
    EXPECT_FALSE(w.blad().isEmpty());
    odpowiedzi_.push_back({"btnOK", QStringLiteral("4,5"), QStringLiteral("euro"), {}});
    auto [r, c] = przelicz(w, {1, 2, 3}, "PLN", "EUR");
    EXPECT_EQ(r, WynikKursu::Ok);
    EXPECT_CENY(c, 4.5f, 9, 13.5f);
    const auto& shown = kmx::platform::dialogs().shownMessages;
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].icon, kmx::platform::MessageIcon::Warning);
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("EUR"))) << shown[0].text.toStdString();
    std::tie(r, c) = przelicz(w, {1, 2, 3}, "PLN", "EUR");
    EXPECT_CENY(c, 4.5f, 9, 13.5f);
    EXPECT_EQ(pytania_.size(), 1u);
}

class FWaluta : public ::testing::Test {
protected:
    void SetUp() override {
        trybTestu_ = kmx::platform::dialogs().testMode();
        kmx::platform::dialogs().setTestMode(true);
        kmx::platform::dialogs().shownMessages.clear();
        // Numbers keep "." whatever the user's locale.
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    }
    void TearDown() override {
        TFWaluta::testHook = nullptr;
        QLocale::setDefault(QLocale::c());
        kmx::platform::dialogs().shownMessages.clear();
        kmx::platform::dialogs().setTestMode(trybTestu_);
    }

private:
    bool trybTestu_ = false;
};

TEST_F(FWaluta, OkNormalisesTheRateOrAsksForANumber) {
    struct Przypadek {
        const char* wpisany;
        const char* znormalizowany;  // nullptr: no number
    };
    const Przypadek przypadki[] = {
        {"4,1", "4.1000"}, {"3,75", "3.7500"}, {" 2 ", "2.0000"},   {"1.23456", "1.2346"},
        {"0", "0.0000"},   {"+7,5", "7.5000"}, {"1e2", "100.0000"}, {"abc", nullptr},
        {"", nullptr},     {"1,2,3", nullptr}, {"4.1 zł", nullptr}, {"inf", nullptr},
        {"nan", nullptr},  {"1 000", nullptr},
    };
    TFWaluta d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Dodaj Walutę"));
    EXPECT_TRUE(przycisk(d, "btnOK")->isDefault());
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.wpisany);
        kmx::platform::dialogs().shownMessages.clear();
        bool otwarte = false;
        QString poleKursu;
        TFWaluta::testHook = [&](TFWaluta& okno) {
            pole(okno, "edKurs")->setText(QString::fromUtf8(p.wpisany));
            pole(okno, "edOpis")->setText(QStringLiteral("opis"));
            przycisk(okno, "btnOK")->click();
            otwarte = okno.isVisible();
            poleKursu = pole(okno, "edKurs")->text();
        };
        QString kod = QStringLiteral("bez zmian"), opis = kod, kurs = kod;
        const WynikKursu r = d.pokaz(QStringLiteral("PLN"), QStringLiteral("EUR"), kod, opis, kurs);
        const auto& shown = kmx::platform::dialogs().shownMessages;
        if (p.znormalizowany) {
            EXPECT_EQ(r, WynikKursu::Ok);
            EXPECT_FALSE(otwarte);
            EXPECT_TRUE(shown.empty());
            EXPECT_EQ(kurs, QString::fromLatin1(p.znormalizowany));
            EXPECT_EQ(kod, QStringLiteral("EUR"));
            EXPECT_EQ(opis, QStringLiteral("opis"));
        } else {
            EXPECT_TRUE(otwarte);
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].caption, QStringLiteral("KALMAREX"));
            EXPECT_EQ(shown[0].text, QStringLiteral("Wprowadź liczbę"));
            EXPECT_EQ(shown[0].icon, kmx::platform::MessageIcon::None);
            EXPECT_EQ(shown[0].buttons, kmx::platform::Buttons::Ok);
            // Left open by the hook, the dialog counts as cancelled.
            EXPECT_EQ(r, WynikKursu::Anuluj);
            EXPECT_EQ(kurs, QStringLiteral("bez zmian"));
        }
    }

    // Shown again, the fields start empty; "Przerwij" and "Anuluj" leave the
    // caller's texts alone.
    for (const char* nazwa : {"btnPrzerwij", "btnAnuluj"}) {
        TFWaluta::testHook = [&](TFWaluta& okno) {
            EXPECT_TRUE(pole(okno, "edKurs")->text().isEmpty());
            EXPECT_TRUE(pole(okno, "edOpis")->text().isEmpty());
            EXPECT_EQ(pole(okno, "edWaluta")->text(), QStringLiteral("USD"));
            pole(okno, "edKurs")->setText(QStringLiteral("3"));
            przycisk(okno, nazwa)->click();
        };
        QString kod, opis, kurs;
        const WynikKursu r = d.pokaz(QStringLiteral("EUR"), QStringLiteral("USD"), kod, opis, kurs);
        EXPECT_EQ(r, std::string_view(nazwa) == "btnPrzerwij" ? WynikKursu::Przerwij : WynikKursu::Anuluj);
        EXPECT_TRUE(kurs.isEmpty());
    }
}

TEST_F(FWaluta, Screenshot) {
    const QString dir = qEnvironmentVariable("KMX_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "KMX_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    TFWaluta d;
    bool zapisano = false;
    TFWaluta::testHook = [&](TFWaluta& okno) {
        pole(okno, "edKurs")->setText(QStringLiteral("4,2817"));
        pole(okno, "edOpis")->setText(QStringLiteral("euro – kurs średni"));
        zapisano = okno.grab().save(QDir(dir).filePath(QStringLiteral("form_waluta.png")));
    };
    QString kod, opis, kurs;
    d.pokaz(QStringLiteral("PLN"), QStringLiteral("EUR"), kod, opis, kurs);
    EXPECT_TRUE(zapisano);
}

}  // namespace
