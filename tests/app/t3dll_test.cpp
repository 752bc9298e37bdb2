// The bridge to version 3's price-base library, on the demo catalogue in a
// fake Wine prefix: finding the program and the folders, the four ways Open
// fails, the new price-list dialog and the replace question, the records the
// library gets (checked field by field from the log of a test library), KMB
// double rows, producers once each, a row the library refuses, the currency
// rates; and the whole run through the main window with our own library,
// its tables read back.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <cmath>
#include <map>
#include <set>

#include "core/cp1250.h"
#include "core/query_builder.h"
#include "core/scramble.h"
#include "core/settings_file.h"
#include "core/t3_records.h"
#include "core/textutil.h"
#include "data/fields.h"
#include "data/tdm.h"
#include "export/form_nowy_cennik.h"
#include "export/form_waluta.h"
#include "export/t3dll.h"
#include "export/wybor_tessara.h"
#include "gui_test_support.h"
#include "support/wine_prefix.h"

namespace {

using namespace kmx::guitest;
using kmx::platform::Hive;
using kmx::tessar::TFNowyCennik;
using kmx::tessar::TT3DLL;
using kmx::tessar::WynikWstawiania;

QString binDir() {
    const QString d = qEnvironmentVariable("KMX_BIN_DIR");
    return d.isEmpty() ? QCoreApplication::applicationDirPath() : d;
}

QByteArray fromHex(const std::string& hex) {
    return QByteArray::fromHex(QByteArray::fromStdString(hex));
}

// The environment the test library reads, set for one test.
class Srodowisko {
public:
    void set(const char* name, const QByteArray& value) {
        if (!saved_.count(name))
            saved_[name] = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
        qputenv(name, value);
    }
    ~Srodowisko() {
        for (const auto& [name, value] : saved_) {
            if (value)
                qputenv(name.c_str(), *value);
            else
                qunsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<QByteArray>> saved_;
};

class T3DllTest : public NaDemo<T3DllTest> {
public:
    static constexpr const char* kHasloDemo = "Tessar3-Haslo-1";

protected:
    void SetUp() override {
        ASSERT_NE(demo_, nullptr);
        przygotujTestOkna();
        const auto settings = kmx::CzytajUstawienia(toPath(demo_->filePath("kmx.iif")));
        ASSERT_FALSE(dm_.PolaczZBaza(toPath(demo_->filePath("kmx.dat")), settings.password) ||
                     dm_.OtworzTabele());
        std::string error;
        ASSERT_TRUE(
            dm_.QWybrTow.open(kmx::ZbudujZapytanieTowarow(kmx::TsTowar{}, 0) + " ORDER BY idx_NAZWA", error))
            << error;
        ASSERT_TRUE(QDir().mkpath(prefiks_.driveC() + "/Tessar3"));
        ASSERT_TRUE(QDir().mkpath(prefiks_.driveC() + "/Bazy cen"));
        env_.set("KMX_FAKE_PB_LOG", QFile::encodeName(log_.filePath("log")));
        TT3DLL::bibliotekaTestowa = binDir() + "/libkmx_test_pricebase_whole.so";
        TFNowyCennik::testHook = [this](TFNowyCennik& d) {
            ++dialogi_;
            if (wDialogu_) {
                wDialogu_(d);
            } else {
                d.findChild<QPushButton*>("btnOK")->click();
            }
        };
    }
    void TearDown() override {
        TT3DLL::bibliotekaTestowa.clear();
        TFNowyCennik::testHook = nullptr;
        kmx::tessar::TFWaluta::testHook = nullptr;
    }

    // Version 3 in the prefix, the price bases in a folder of their own.
    void zainstaluj(const char* klucz = "Software\\Nordvale\\Tessar 3", bool bazyOsobno = true) {
        prefiks_.setString(Hive::LocalMachine, klucz, "Program", "C:\\Tessar3");
        if (bazyOsobno)
            prefiks_.setString(Hive::CurrentUser, "Software\\Nordvale\\Tessar\\Opcje Programu",
                               "Sciezka baz cen", "C:\\Bazy cen");
        ASSERT_TRUE(prefiks_.writeRegistry(true));
        rejestr_.emplace(prefiks_.path());
    }
    std::unique_ptr<TT3DLL> most() {
        if (!rejestr_) rejestr_.emplace(prefiks_.path());
        return std::make_unique<TT3DLL>(*rejestr_, kmx::platform::WinePaths(prefiks_.path()), nullptr);
    }
    kmx::tessar::WstawianieCennika lista() {
        kmx::tessar::WstawianieCennika k;
        k.lista = &dm_.QWybrTow;
        k.edycja = "4";
        k.rok = "2026";
        return k;
    }
    std::vector<std::string> wpisy(const std::string& funkcja = {}) const {
        std::vector<std::string> out;
        QFile f(log_.filePath("log"));
        if (!f.open(QIODevice::ReadOnly)) return out;
        for (const QByteArray& l : f.readAll().split('\n')) {
            const std::string s = l.toStdString();
            if (!s.empty() && (funkcja.empty() || s.rfind(funkcja + " ", 0) == 0 || s == funkcja))
                out.push_back(s);
        }
        return out;
    }
    // The records the library got, decoded from the log.
    std::vector<kmx::t3::RmsRec> wiersze() const {
        std::vector<kmx::t3::RmsRec> out;
        for (const std::string& l : wpisy("DbCenyWstawRMS"))
            out.push_back(kmx::t3::CzytajRms(fromHex(l.substr(l.rfind(' ') + 1)).constData()));
        return out;
    }
    std::vector<kmx::t3::ProdRec> producenci() const {
        std::vector<kmx::t3::ProdRec> out;
        for (const std::string& l : wpisy("DbProdAppendToTable"))
            out.push_back(kmx::t3::CzytajProd(fromHex(l.substr(l.rfind(' ') + 1)).constData()));
        return out;
    }
    kmx::t3::CennikRec utworzony() const {
        const auto l = wpisy("DbCenyCreateTable");
        EXPECT_EQ(l.size(), 1u);
        if (l.empty()) return {};
        const std::string& s = l.front();
        const auto end = s.rfind(' ');
        const auto start = s.rfind(' ', end - 1) + 1;
        return kmx::t3::CzytajCennik(fromHex(s.substr(start, end - start)).constData());
    }
    std::string tekst(const kmx::data::DataSet& s, int viewRow, const char* pole, int mode) const {
        const int f = kmx::data::znajdzPole(s, pole);
        const kmx::data::Cell c = s.cell(viewRow, f);
        return kmx::trimSpaces(c.type() == kmx::data::CellType::Blob ? kmx::Deszyfruj(c.bytes(), mode)
                                                                     : std::string(c.bytes()));
    }

    kmx::data::TDM dm_;
    kmx::winetest::FakeWinePrefix prefiks_;
    std::optional<kmx::platform::WineRegistry> rejestr_;
    QTemporaryDir log_;
    Srodowisko env_;
    int dialogi_ = 0;
    std::function<void(TFNowyCennik&)> wDialogu_;
};

TEST_F(T3DllTest, OpenFindsTheProgramAndItsFoldersOrSaysWhyNot) {
    {
        auto m = most();
        EXPECT_FALSE(m->Open());
        EXPECT_EQ(m->bladTekst(),
                  "Nie znaleziono biblioteki daravivo3.dll. Tessar 3 nie jest zainstalowana lub wersja "
                  "starsza niż 3.17");
        m->ShowError();
        ASSERT_EQ(kmx::platform::dialogs().shownMessages.size(), 1u);
        EXPECT_EQ(kmx::platform::dialogs().shownMessages[0].icon, kmx::platform::MessageIcon::Error);
        EXPECT_EQ(kmx::platform::dialogs().shownMessages[0].caption, "KALMAREX");
    }
    // The educational edition's key, with no price-base folder of its own.
    zainstaluj("Software\\Nordvale\\Tessar 3\\ (edukacyjna)", false);
    auto m = most();
    ASSERT_TRUE(m->Open()) << m->bladTekst().toStdString();
    EXPECT_EQ(m->folderProgramu(), prefiks_.driveC() + "/Tessar3");
    EXPECT_EQ(m->folderBaz(), m->folderProgramu());
    EXPECT_EQ(wpisy().front(), "GetDbDllVer");
    EXPECT_EQ(wpisy()[1], "InitDbDLL 3120");
}

TEST_F(T3DllTest, TheLibrarysVersionFunctionsAndInitialisationAreChecked) {
    zainstaluj();
    struct Przypadek {
        const char* zmienna;
        const char* wartosc;
        const char* biblioteka;
        QString blad;
    } przypadki[] = {
        {"KMX_FAKE_PB_VERSION", "3119", "whole", "Zła wersja biblioteki daravivo3.dll:3119"},
        {"KMX_FAKE_PB_INIT", "fail", "whole", "Błąd inicjalizacji biblioteki daravivo3.dll"},
        {"KMX_FAKE_PB_VERSION", "3120", "incomplete",
         "Nie znaleziono wszystkich funkcji w daravivo3.dll. Program działa z Tessarem od wersji 3.17"},
        {"KMX_FAKE_PB_VERSION", "3120", "missing",
         "Nie znaleziono wszystkich funkcji w daravivo3.dll. Program działa z Tessarem od wersji 3.17"},
    };
    for (const Przypadek& c : przypadki) {
        SCOPED_TRACE(c.blad.toStdString());
        Srodowisko e;
        e.set(c.zmienna, c.wartosc);
        TT3DLL::bibliotekaTestowa = binDir() + "/libkmx_test_pricebase_" + c.biblioteka + ".so";
        auto m = most();
        EXPECT_FALSE(m->Open());
        EXPECT_EQ(m->bladTekst(), c.blad);
    }
    Srodowisko e;
    e.set("KMX_FAKE_PB_VERSION", "3120");
    TT3DLL::bibliotekaTestowa = binDir() + "/libkmx_test_pricebase_whole.so";
    EXPECT_TRUE(most()->Open());
}

TEST_F(T3DllTest, TheRecordsCarryEveryRowOnceAndItsKmbCodeAsASecondRow) {
    zainstaluj();
    kmx::data::DataSet& tow = dm_.QWybrTow;
    // Two ETO indexes of the list get a KMB counterpart.
    const std::string eto0 = tekst(tow, 0, "INDEKS_ETO", 2), eto1 = tekst(tow, 1, "INDEKS_ETO", 2);
    env_.set("KMX_FAKE_PB_KMB", QByteArray::fromStdString(eto0 + "=K1111111," + eto1 + "=K2222222"));
    auto m = most();
    ASSERT_TRUE(m->Open());
    ASSERT_TRUE(tow.moveTo(5));
    EXPECT_EQ(m->InsertPriceList(lista()), WynikWstawiania::Wstawiono);
    EXPECT_EQ(dialogi_, 1);

    // The header of the new price list.
    const kmx::t3::CennikRec c = utworzony();
    EXPECT_EQ(c.plik, "Kmx4_2026.dbf");
    EXPECT_EQ(c.typ, "E");
    EXPECT_EQ(c.jeden, 1);
    EXPECT_EQ(c.opis, "Kalmarex wyd.4/2026");
    EXPECT_EQ(c.poziom, "wyd. 4/2026");
    EXPECT_EQ(c.waluta, "PLN");
    const std::string folder = QFile::encodeName(prefiks_.driveC() + "/Bazy cen").toStdString();
    EXPECT_EQ(wpisy("DbWstawCennik"),
              std::vector<std::string>{"DbWstawCennik " + folder + " cenniki.dbf Kmx4_2026.dbf"});
    EXPECT_EQ(wpisy("DbCenyOpenTable"),
              std::vector<std::string>{"DbCenyOpenTable " + folder + " Kmx4_2026.dbf E"});

    // Every row, in the list's order, each followed by a second one under the
    // KMB code when its ETO index has one.
    const std::map<std::string, std::string> kmb{{eto0, "K1111111"}, {eto1, "K2222222"}};
    const std::vector<kmx::t3::RmsRec> r = wiersze();
    int podwojne = 0;
    for (int row = 0; row < tow.recordCount(); ++row)
        if (kmb.count(tekst(tow, row, "INDEKS_ETO", 2))) ++podwojne;
    ASSERT_EQ(static_cast<int>(r.size()), tow.recordCount() + podwojne);
    EXPECT_GE(podwojne, 2);
    // Field by field for every row: the goods row's values, the producer's
    // price per unit (undivided when the quantity is zero).
    int niepodzielone = 0;
    std::size_t at = 0;
    for (int row = 0; row < tow.recordCount(); ++row) {
        SCOPED_TRACE(row);
        const kmx::t3::RmsRec& w = r[at++];
        EXPECT_EQ(w.kod, tekst(tow, row, "INDEKS_ETO", 2));
        EXPECT_EQ(w.rodzajIndeksu, "2");
        if (const auto k = kmb.find(w.kod); k != kmb.end()) {
            const kmx::t3::RmsRec& d = r[at++];
            EXPECT_EQ(d.kod, k->second);
            EXPECT_EQ(d.rodzajIndeksu, "1");
            EXPECT_EQ(d.nazwa, w.nazwa);
            EXPECT_FLOAT_EQ(d.cenaHurtowa, w.cenaHurtowa);
        }
        EXPECT_EQ(w.jmKod, tekst(tow, row, "JEDNOSTKA_MIARY.KOD", 0));
        EXPECT_EQ(w.jmNazwa, tekst(tow, row, "JEDNOSTKA_MIARY.NAZWA", 0));
        EXPECT_EQ(w.typ, tekst(tow, row, "TYP_RMS", 0));
        const int nazwa = kmx::data::znajdzPole(tow, "Towar.NAZWA");
        const int maska = kmx::data::znajdzPole(tow, "caseNAZWA");
        EXPECT_EQ(w.nazwa,
                  kmx::trimSpaces(kmx::NalozWielkoscLiter(kmx::Deszyfruj(tow.cell(row, nazwa).bytes(), 1),
                                                          tow.cell(row, maska).bytes()))
                      .substr(0, 201));
        const double ile = tow.cell(row, kmx::data::znajdzPole(tow, "ILE_TOW_W_JED")).asDouble();
        if (ile == 0) ++niepodzielone;
        const double cena = tow.cell(row, kmx::data::znajdzPole(tow, "CENA_PRODUCENTA")).asDouble();
        if (tekst(tow, row, "WALUTA.SYMBOL", 0) == "PLN") {
            EXPECT_FLOAT_EQ(w.cenaProducenta, static_cast<float>(cena / (ile != 0 ? ile : 1.0)));
            EXPECT_FLOAT_EQ(
                w.cenaHurtowa,
                static_cast<float>(tow.cell(row, kmx::data::znajdzPole(tow, "CENA_HURTOWA")).asDouble()));
        }
    }
    EXPECT_GT(niepodzielone, 0) << "the demo has goods without a packing quantity";

    // Producers once each by their code, in the order met, after the rows.
    std::set<std::string> kody;
    for (int row = 0; row < tow.recordCount(); ++row)
        kody.insert(kmx::cp1250::upper(tekst(tow, row, "KOD_PRODUCENTA", 2)));
    const std::vector<kmx::t3::ProdRec> p = producenci();
    EXPECT_EQ(p.size(), kody.size());
    EXPECT_EQ(p.front().kod, tekst(tow, 0, "KOD_PRODUCENTA", 2));
    EXPECT_EQ(p.front().nazwa, tekst(tow, 0, "producent.NAZWA", 1));
    EXPECT_EQ(p.front().wojewodztwo, tekst(tow, 0, "WOJEWODZTWO.NAZWA", 0));
    EXPECT_EQ(wpisy().back(), "DbCenyCloseTable 7");
    const auto last = wpisy("DbCnvEtoKmbCloseTable");
    EXPECT_EQ(last.size(), 1u);

    // The list is back on its first row, followed again.
    EXPECT_EQ(tow.recNo(), 1);
    EXPECT_FALSE(tow.notificationsSuspended());
    const auto& msgs = kmx::platform::dialogs().shownMessages;
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].text, "Operacja zakończona");
    EXPECT_EQ(msgs[0].icon, kmx::platform::MessageIcon::None);
}

TEST_F(T3DllTest, TheNameRuleTheReplaceQuestionAndCancel) {
    zainstaluj();
    env_.set("KMX_FAKE_PB_EXISTS", "1");
    auto m = most();
    ASSERT_TRUE(m->Open());
    QString drugiRaz;
    wDialogu_ = [&](TFNowyCennik& d) {
        EXPECT_EQ(d.windowTitle(), "Utworzenie bazy cenowej  w Tessarze 3");
        if (dialogi_ == 1) {
            EXPECT_EQ(d.findChild<QLineEdit*>("edNzwCen")->text(), "Kmx4_2026.dbf");
            EXPECT_EQ(d.findChild<QComboBox*>("cbTyp")->currentText(), "Ceny elementów RMS");
            d.findChild<QLineEdit*>("edNzwCen")->setText("Cennik.abc.txt");
            d.findChild<QLineEdit*>("edPoziom")->setText("IV kwartał");
            d.findChild<QPushButton*>("btnOK")->click();
        } else {
            // "Nie" to the question: the dialog again, with what was entered.
            drugiRaz = d.findChild<QLineEdit*>("edNzwCen")->text() + "|" +
                       d.findChild<QLineEdit*>("edPoziom")->text();
            d.findChild<QPushButton*>("btnAnuluj")->click();
        }
    };
    kmx::platform::dialogs().nextAnswers.push_back(kmx::platform::Answer::No);
    EXPECT_EQ(m->InsertPriceList(lista()), WynikWstawiania::Anulowano);
    EXPECT_EQ(dialogi_, 2);
    EXPECT_EQ(drugiRaz, "Cennik.dbf|IV kwartał");
    ASSERT_EQ(kmx::platform::dialogs().shownMessages.size(), 1u);
    EXPECT_EQ(kmx::platform::dialogs().shownMessages[0].text,
              "Podany cennik już istnieje. Czy chcesz go zastąpić nowymi danymi?");
    EXPECT_EQ(kmx::platform::dialogs().shownMessages[0].buttons, kmx::platform::Buttons::YesNoDefaultNo);
    // Cancel touched nothing.
    EXPECT_TRUE(wpisy("DbDeleteTable").empty());
    EXPECT_TRUE(wpisy("DbCenyCreateTable").empty());

    // "Tak" replaces: the old table and its entry go first.
    wDialogu_ = nullptr;
    dialogi_ = 0;
    kmx::platform::dialogs().nextAnswers.push_back(kmx::platform::Answer::Yes);
    EXPECT_EQ(m->InsertPriceList(lista()), WynikWstawiania::Wstawiono);
    const std::vector<std::string> log = wpisy();
    const auto pos = [&log](const std::string& f) {
        for (std::size_t i = 0; i < log.size(); ++i)
            if (log[i].rfind(f, 0) == 0) return static_cast<int>(i);
        return -1;
    };
    EXPECT_LT(pos("DbDeleteTable"), pos("DbUsunCennik"));
    EXPECT_LT(pos("DbUsunCennik"), pos("DbCenyCreateTable"));
    EXPECT_NE(pos("DbUsunCennik"), -1);
}

TEST_F(T3DllTest, AFailedTableStepWarnsWithTheLibrarysTextAndARefusedRowEndsTheInsertion) {
    zainstaluj();
    for (const char* krok : {"create", "register", "open"}) {
        SCOPED_TRACE(krok);
        Srodowisko e;
        e.set("KMX_FAKE_PB_FAIL", krok);
        QFile::remove(log_.filePath("log"));
        kmx::platform::dialogs().shownMessages.clear();
        auto m = most();
        ASSERT_TRUE(m->Open());
        EXPECT_EQ(m->InsertPriceList(lista()), WynikWstawiania::BladTabeli);
        const auto& msgs = kmx::platform::dialogs().shownMessages;
        ASSERT_EQ(msgs.size(), 1u);
        EXPECT_TRUE(msgs[0].text.startsWith("Błąd bazy danych.\r\n"));
        EXPECT_GT(msgs[0].text.size(), QString("Błąd bazy danych.\r\n").size());
        EXPECT_EQ(msgs[0].icon, kmx::platform::MessageIcon::Warning);
        EXPECT_TRUE(wiersze().empty());
        EXPECT_EQ(wpisy("DbCenyCloseTable").size(), 1u);  // closed also after a failed step
    }
    // The 10th insertion refused: ten rows reach the library, the producers
    // met so far are still appended, and the run ends as usual.
    QFile::remove(log_.filePath("log"));
    kmx::platform::dialogs().shownMessages.clear();
    env_.set("KMX_FAKE_PB_FAIL_ROW", "10");
    auto m = most();
    ASSERT_TRUE(m->Open());
    EXPECT_EQ(m->InsertPriceList(lista()), WynikWstawiania::Wstawiono);
    EXPECT_EQ(wiersze().size(), 10u);
    EXPECT_FALSE(producenci().empty());
    ASSERT_EQ(kmx::platform::dialogs().shownMessages.size(), 1u);
    EXPECT_EQ(kmx::platform::dialogs().shownMessages[0].text, "Operacja zakończona");
}

TEST_F(T3DllTest, PricesAreConvertedWithTheRatesOfTheFileAndPrzerwijStops) {
    zainstaluj();
    kmx::data::DataSet& tow = dm_.QWybrTow;
    int eur = -1;
    for (int r = 0; r < tow.recordCount() && eur < 0; ++r)
        if (tekst(tow, r, "WALUTA.SYMBOL", 0) == "EUR") eur = r;
    ASSERT_GE(eur, 0) << "the demo has goods priced in EUR";
    {
        // The rates file in the program's folder (no table folder in the registry).
        QFile f(prefiks_.driveC() + "/Tessar3/nvres.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Kursy walut]\r\nWaluta bazowa=PLN,z\xb3\r\nEUR=4.5000,euro\r\n");
    }
    auto m = most();
    ASSERT_TRUE(m->Open());
    EXPECT_EQ(m->InsertPriceList(lista()), WynikWstawiania::Wstawiono);
    // A copy: wiersze() returns the rows by value.
    const kmx::t3::RmsRec w = wiersze()[static_cast<std::size_t>(eur)];
    const double hurt = tow.cell(eur, kmx::data::znajdzPole(tow, "CENA_HURTOWA")).asDouble();
    EXPECT_FLOAT_EQ(w.cenaHurtowa, static_cast<float>(hurt * 4.5));

    // Without the rate the user is asked; "Przerwij" stops before that row.
    {
        QFile f(prefiks_.driveC() + "/Tessar3/nvres.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Kursy walut]\r\nWaluta bazowa=PLN,z\xb3\r\n");
    }
    QFile::remove(log_.filePath("log"));
    int pytania = 0;
    kmx::tessar::TFWaluta::testHook = [&](kmx::tessar::TFWaluta& d) {
        ++pytania;
        d.findChild<QPushButton*>("btnPrzerwij")->click();
    };
    auto m2 = most();
    ASSERT_TRUE(m2->Open());
    EXPECT_EQ(m2->InsertPriceList(lista()), WynikWstawiania::Wstawiono);
    EXPECT_EQ(pytania, 1);
    // The rows before the first one in another currency than PLN.
    int obca = 0;
    while (tekst(tow, obca, "WALUTA.SYMBOL", 0) == "PLN") ++obca;
    EXPECT_EQ(wiersze().size(), static_cast<std::size_t>(obca));
}

// The whole run as a user makes it: Ctrl+N on the found goods with only
// version 3 installed, our own library, the tables read back.
class T3OknoTest : public OknoNaDemo<T3OknoTest> {
public:
    static constexpr const char* kHasloDemo = "Tessar3-Okno-2";

protected:
    void ustaw() override {
        // The executable makes it installed; version 3 needs no version resource.
        ASSERT_FALSE(prefiks_.addFile("C:\\Tessar3\\TESSAR3.EXE", "MZ").isEmpty());
        prefiks_.setString(Hive::LocalMachine, "Software\\Nordvale\\Tessar 3", "Program", "C:\\Tessar3");
        ASSERT_TRUE(prefiks_.writeRegistry(true));
        zmienna_.emplace(prefiks_.path());
        TT3DLL::bibliotekaTestowa = binDir() + "/libkmx_pricebase.so";
        TFNowyCennik::testHook = [](TFNowyCennik& d) { d.findChild<QPushButton*>("btnOK")->click(); };
        // Rates of the demo's other currencies, so that no one is asked.
        QFile f(prefiks_.driveC() + "/Tessar3/nvres.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Kursy walut]\r\nWaluta bazowa=PLN,z\xb3\r\nEUR=4.3000,euro\r\nUSD=3.9000,dolar\r\n");
    }
    void TearDown() override {
        OknoNaDemo::TearDown();
        TT3DLL::bibliotekaTestowa.clear();
        TFNowyCennik::testHook = nullptr;
        zmienna_.reset();
    }
    QString narzedzie(const QStringList& args) {
        QProcess p;
        p.start(binDir() + "/kmx-tool", args);
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    kmx::winetest::FakeWinePrefix prefiks_;
    std::optional<kmx::winetest::WinePrefixVariable> zmienna_;
};

TEST_F(T3OknoTest, CtrlNPutsTheFoundGoodsIntoANewPriceListOfVersion3) {
    o().APokazAllTowarExecute();
    o().ATowListaTowExecute();
    const int wiersze = o().tdm().QWybrTow.recordCount();
    akcja("ExTessar3")->trigger();
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, "Operacja zakończona");

    const QString folder = prefiks_.driveC() + "/Tessar3";
    const QString cenniki = narzedzie({"pricebase", "list", folder});
    EXPECT_TRUE(cenniki.contains("Kmx")) << cenniki.toStdString();
    const QString nazwa =
        "Kmx" + kmx::app::stanProgramu().Edycja + "_" + kmx::app::stanProgramu().Rok + ".dbf";
    const QString dump = narzedzie({"pricebase", "dump", folder, nazwa});
    EXPECT_GE(dump.count('\n'), wiersze);
    const QString prod = narzedzie({"pricebase", "producers", folder});
    EXPECT_GT(prod.count('\n'), 10);
}

}  // namespace

namespace {

TEST(NowyCennik, ScreenshotOfTheDialog) {
    const QString dir = qEnvironmentVariable("KMX_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "KMX_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    TFNowyCennik okno;
    kmx::t3::CennikRec naglowek;
    naglowek.plik = "Kmx4_2026.dbf";
    naglowek.opis = "Kalmarex wyd.4/2026";
    naglowek.poziom = "wyd. 4/2026";
    naglowek.waluta = "PLN";
    bool zapisano = false;
    TFNowyCennik::testHook = [&](TFNowyCennik& d) {
        zapisano = d.grab().save(QDir(dir).filePath("nowy_cennik.png"));
    };
    EXPECT_FALSE(okno.pokaz(naglowek));
    TFNowyCennik::testHook = nullptr;
    EXPECT_TRUE(zapisano);
}

}  // namespace
