// "Pobierz ceny" of the average-prices edition on its demo catalogue: the one
// category's dialog and file ("Robocizna_sred", "Materialy_sred",
// "Sprzet_sred") under the average-prices headers, the ready-made list of that
// category alone after a search without other criteria, and the producer
// edition on the same list, which never offers labour.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/price_export.h"
#include "app/program_state.h"
#include "app/wait_window.h"
#include "catalog/demo.h"
#include "core/criteria.h"
#include "core/kmx_zip.h"
#include "core/last_error.h"
#include "core/pricelist.h"
#include "core/query_builder.h"
#include "core/settings_file.h"
#include "data/tdm.h"
#include "editions/edition.h"
#include "gui_test_support.h"
#include "platform/dialogs.h"
#include "price_list_readback.h"

namespace {

using kmx::app::EksportCen;
using kmx::app::StronaEksportu;
using kmx::app::WynikEksportu;
using kmx::platform::FileDialogRequest;
using kmx::platform::FileDialogResult;
using kmx::platform::MessageIcon;
namespace fs = std::filesystem;
namespace pl = kmx::pricelist;

const QString kZakonczono = QStringLiteral("Zapis pliku zakończony");
const QString kBlad = QStringLiteral("Wystąpił błąd podczas eksportu danych. Sprawdź dysk.");
const QString kF10 = QStringLiteral("Kalmarex 1.0 (*.kmx)");
const QString kF20 = QStringLiteral("Kalmarex 2.0 (*.kmx)");
const QString kF21 = QStringLiteral("Kalmarex 2.1 (*.kmx)");

// A price list read back: unpacked when zipped, decoded; the goods records
// and the supplier ("#kmxp#") records apart.
struct Cennik {
    bool zip = false;
    pl::DecodedPriceList lista;
    std::vector<std::string> towary;
    int zrodla = 0;
};
Cennik odczytaj(const QString& path) {
    Cennik c;
    kmx::guitest::Odczyt o = kmx::guitest::odczytajCennik(path);
    c.zip = o.zip;
    c.lista = std::move(o.lista);
    for (const std::string& r : c.lista.records) {
        if (r.rfind("#kmxp#", 0) == 0) {
            ++c.zrodla;
        } else {
            c.towary.push_back(r);
        }
    }
    return c;
}

std::string rodzajRekordu(const std::string& record) {
    std::size_t at = 0;
    for (int i = 0; i < 7; ++i) at = record.find(';', at) + 1;
    return record.substr(at, record.find(';', at) - at);
}

class PriceExportAvgTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        demo_ = kmx::guitest::zbudujDemo("Demo-Srednie-7", 600, kmx::catalog::DemoEdition::AveragePrices);
    }
    static void TearDownTestSuite() {
        delete demo_;
        demo_ = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(demo_, nullptr);
        kmx::edition::ustaw(kmx::edition::CenySrednie);
        auto& d = kmx::platform::dialogs();
        d.setTestMode(true);
        d.shownMessages.clear();
        d.nextAnswers.clear();
        d.nextFiles.clear();
        d.fileRequests.clear();
        kmx::app::ZerujStanProgramu();
        ASSERT_TRUE(out_.isValid());
        const kmx::UstawieniaResult s =
            kmx::CzytajUstawienia(kmx::guitest::toPath(demo_->filePath(QStringLiteral("kmx.iif"))));
        ASSERT_TRUE(s.ok) << s.error;
        ASSERT_FALSE(
            dm_.PolaczZBaza(kmx::guitest::toPath(demo_->filePath(QStringLiteral("kmx.dat"))), s.password) ||
            dm_.OtworzTabele())
            << kmx::OstatniBlad().text;
    }
    void TearDown() override {
        kmx::edition::ustaw(kmx::edition::CenyProducentow);
        kmx::app::ZamknijCzekaj();
        kmx::platform::dialogs().nextFiles.clear();
    }

    // A goods search of one category ("" for any), with an upper price bound
    // as its other criterion when cenaDo is above zero.
    void szukaj(const char* kategoria, float cenaDo = 0) {
        kmx::TsTowar t;
        t.typRms.setUtf8(kategoria);
        t.cenaJednostkowaDo = cenaDo;
        std::string error;
        ASSERT_TRUE(dm_.QWybrTow.open(kmx::ZbudujZapytanieTowarow(t, 0) + " ORDER BY idx_NAZWA", error))
            << error;
        ASSERT_GT(dm_.QWybrTow.recordCount(), 0);
        brak_ = kmx::BrakKryteriow;
        kategoria_ = kategoria;
    }
    // What the main window hands over on "Znalezione" after that search.
    EksportCen eksport() {
        EksportCen k;
        k.okno = &okno_;
        k.strona = StronaEksportu::ZnalezioneTowary;
        k.lista = &dm_.QWybrTow;
        k.siatka = &siatka_;
        k.ograniczenie = kategoria_;
        k.kategoria = kategoria_;
        k.brakKryteriow = brak_;
        k.folderStartowy = out_.path();
        k.katalogProgramu = demo_->path();
        k.cenySrednie = kmx::edition::biezaca().cenySrednie;
        return k;
    }

    void odpowiedz(const QString& name, int filterIndex) {
        kmx::platform::dialogs().nextFiles.push_back(
            FileDialogResult{true, out_.filePath(name), filterIndex});
    }
    void anuluj() { kmx::platform::dialogs().nextFiles.push_back(FileDialogResult{false, QString(), 0}); }
    QString plik(const QString& name) const { return out_.filePath(name); }
    const std::vector<FileDialogRequest>& okna() { return kmx::platform::dialogs().fileRequests; }
    const std::vector<kmx::platform::ShownMessage>& komunikaty() {
        return kmx::platform::dialogs().shownMessages;
    }
    void wyczysc() {
        kmx::platform::dialogs().fileRequests.clear();
        kmx::platform::dialogs().shownMessages.clear();
    }
    int ileRodzaju(const char* kind) const {
        const int f = dm_.QWybrTow.fieldIndex("TYP_RMS");
        int n = 0;
        for (int r = 0; r < dm_.QWybrTow.recordCount(); ++r) n += dm_.QWybrTow.cell(r, f).bytes() == kind;
        return n;
    }

    static inline QTemporaryDir* demo_ = nullptr;
    QTemporaryDir out_;
    kmx::data::TDM dm_;
    QWidget okno_;
    QWidget siatka_;
    std::string kategoria_;
    bool brak_ = false;
};

// The three categories: the name offered, the dialog's title, the header word.
struct Kategoria {
    const char* rodzaj;
    const char* nazwa;
    const char* tytul;
    const char* naglowek;
};
const Kategoria kKategorie[] = {
    {"R", "Robocizna_sred", "Eksport cennika robocizny", "Robocizna"},
    {"M", "Materialy_sred", "Eksport cennika materiałów", "Materialy"},
    {"S", "Sprzet_sred", "Eksport cennika sprzętu", "Sprzet"},
};

// ------------------------------------------------------------------ generated files

TEST_F(PriceExportAvgTest, LabourWithACriterionIsWrittenAsRobociznaSredWithTheAverageHeader) {
    szukaj("R", 1000);
    ASSERT_FALSE(brak_);
    const int labour = ileRodzaju("R");
    ASSERT_EQ(labour, dm_.QWybrTow.recordCount());
    dm_.QWybrTow.moveTo(3);
    odpowiedz(QStringLiteral("robocizna"), 2);
    EXPECT_EQ(kmx::app::PobierzCeny(eksport(), false), WynikEksportu::Zapisano);

    ASSERT_EQ(okna().size(), 1u);
    EXPECT_EQ(okna()[0].title, QStringLiteral("Eksport cennika robocizny"));
    EXPECT_EQ(okna()[0].fileName, QStringLiteral("Robocizna_sred"));
    EXPECT_EQ(okna()[0].filters, (QStringList{kF10, kF20, kF21}));
    EXPECT_EQ(okna()[0].filterIndex, 2);
    EXPECT_EQ(okna()[0].directory, out_.path());
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, kZakonczono);
    EXPECT_EQ(komunikaty()[0].caption, QStringLiteral("KALMAREX CS"));
    EXPECT_EQ(dm_.QWybrTow.recNo(), 1);
    EXPECT_TRUE(siatka_.updatesEnabled());
    EXPECT_EQ(kmx::app::oknoCzekaj(), nullptr);

    const Cennik c = odczytaj(plik(QStringLiteral("robocizna.kmx")));
    EXPECT_TRUE(c.zip);
    EXPECT_EQ(c.lista.version, pl::Version::V21);
    ASSERT_EQ(c.lista.headers.size(), 2u);
    EXPECT_EQ(c.lista.headers[0].rfind("KMX - wersja 2.1 - Robocizna ceny srednie - ", 0), 0u)
        << c.lista.headers[0];
    EXPECT_EQ(static_cast<int>(c.towary.size()), labour);  // every labour index is a whole number
    for (const std::string& t : c.towary) EXPECT_EQ(rodzajRekordu(t), "R") << t;
    EXPECT_EQ(c.zrodla, 1);  // the labour rates' source

    // "Pobierz ceny ver. 1.0": the same list in the 1.0 file type.
    wyczysc();
    odpowiedz(QStringLiteral("robocizna10.kmx"), 0);
    EXPECT_EQ(kmx::app::PobierzCeny(eksport(), true), WynikEksportu::Zapisano);
    ASSERT_EQ(okna().size(), 1u);
    EXPECT_EQ(okna()[0].fileName, QStringLiteral("Robocizna_sred"));
    EXPECT_EQ(okna()[0].filters, QStringList{kF10});
    const Cennik v10 = odczytaj(plik(QStringLiteral("robocizna10.kmx")));
    EXPECT_FALSE(v10.zip);
    ASSERT_EQ(v10.lista.headers.size(), 1u);
    EXPECT_EQ(v10.lista.headers[0].rfind("KMX - wersja 1.0 - Robocizna ceny srednie - ", 0), 0u);
    EXPECT_EQ(static_cast<int>(v10.towary.size()), labour);
}

TEST_F(PriceExportAvgTest, EachCategoryWithACriterionOffersOnlyItsOwnFile) {
    for (const Kategoria& kat : kKategorie) {
        SCOPED_TRACE(kat.rodzaj);
        wyczysc();
        szukaj(kat.rodzaj, 100000);
        ASSERT_EQ(ileRodzaju(kat.rodzaj), dm_.QWybrTow.recordCount());
        const QString name = QString::fromLatin1(kat.rodzaj) + QStringLiteral("20.kmx");
        odpowiedz(name, 1);
        EXPECT_EQ(kmx::app::PobierzCeny(eksport(), false), WynikEksportu::Zapisano);
        ASSERT_EQ(okna().size(), 1u);
        EXPECT_EQ(okna()[0].title, QString::fromUtf8(kat.tytul));
        EXPECT_EQ(okna()[0].fileName, QString::fromLatin1(kat.nazwa));
        const Cennik c = odczytaj(plik(name));
        EXPECT_EQ(c.lista.version, pl::Version::V20);
        EXPECT_EQ(c.lista.headers[0].rfind(
                      std::string("KMX - wersja 2.0 - ") + kat.naglowek + " ceny srednie - ", 0),
                  0u)
            << c.lista.headers[0];
        ASSERT_FALSE(c.towary.empty());
        for (const std::string& t : c.towary) EXPECT_EQ(rodzajRekordu(t), kat.rodzaj) << t;
    }
}

TEST_F(PriceExportAvgTest, WithoutACategoryEveryKindOnTheListIsOfferedLabourFirst) {
    szukaj("", 100000);
    ASSERT_GT(ileRodzaju("R"), 0);
    ASSERT_GT(ileRodzaju("M"), 0);
    ASSERT_GT(ileRodzaju("S"), 0);
    odpowiedz(QStringLiteral("r.kmx"), 0);  // 1.0 chosen in the first dialog...
    anuluj();
    odpowiedz(QStringLiteral("s.kmx"), 0);
    EXPECT_EQ(kmx::app::PobierzCeny(eksport(), false), WynikEksportu::Zapisano);
    ASSERT_EQ(okna().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(okna()[i].fileName, QString::fromLatin1(kKategorie[i].nazwa));
    EXPECT_EQ(okna()[1].filters, QStringList{kF10});  // ...is the only type the others offer
    EXPECT_EQ(odczytaj(plik(QStringLiteral("r.kmx")))
                  .lista.headers[0]
                  .rfind("KMX - wersja 1.0 - Robocizna ceny srednie", 0),
              0u);
    EXPECT_EQ(odczytaj(plik(QStringLiteral("s.kmx")))
                  .lista.headers[0]
                  .rfind("KMX - wersja 1.0 - Sprzet ceny srednie", 0),
              0u);
    EXPECT_FALSE(QFile::exists(plik(QStringLiteral("Materialy_sred.kmx"))));
}

// ------------------------------------------------------------------ ready-made lists

TEST_F(PriceExportAvgTest, WithoutOtherCriteriaOnlyTheChosenCategorysReadyMadeListIsCopied) {
    int version = 0;
    for (const Kategoria& kat : kKategorie) {
        SCOPED_TRACE(kat.rodzaj);
        wyczysc();
        szukaj(kat.rodzaj);
        ASSERT_TRUE(brak_);
        odpowiedz(QString::fromLatin1(kat.rodzaj), version);  // no extension: ".kmx" added
        EXPECT_EQ(kmx::app::PobierzCeny(eksport(), false), WynikEksportu::Zapisano);

        ASSERT_EQ(okna().size(), 1u);
        EXPECT_EQ(okna()[0].title, QString::fromUtf8(kat.tytul));
        EXPECT_EQ(okna()[0].fileName, QString::fromLatin1(kat.nazwa));
        EXPECT_EQ(okna()[0].filters, (QStringList{kF20, kF21}));
        EXPECT_EQ(okna()[0].filterIndex, 1);
        EXPECT_EQ(okna()[0].directory, out_.path());
        ASSERT_EQ(komunikaty().size(), 1u);
        EXPECT_EQ(komunikaty()[0].text, kZakonczono);
        EXPECT_EQ(komunikaty()[0].caption, QStringLiteral("KALMAREX CS"));

        const QString copy = plik(QString::fromLatin1(kat.rodzaj) + QStringLiteral(".kmx"));
        const QString shipped =
            demo_->filePath((version == 0 ? QStringLiteral("KMX/") : QStringLiteral("KMX2.1/")) +
                            QString::fromLatin1(kat.nazwa) + QStringLiteral(".kmx"));
        EXPECT_EQ(kmx::guitest::czytaj(copy), kmx::guitest::czytaj(shipped));
        const Cennik c = odczytaj(copy);
        EXPECT_EQ(c.lista.version, version == 0 ? pl::Version::V20 : pl::Version::V21);
        EXPECT_NE(c.lista.headers[0].find(std::string(kat.naglowek) + " ceny srednie"), std::string::npos);
        version = 1 - version;
    }
    // Cancelled: nothing copied, nothing said.
    wyczysc();
    szukaj("M");
    anuluj();
    const QStringList before = QDir(out_.path()).entryList(QDir::Files);
    EXPECT_EQ(kmx::app::PobierzCeny(eksport(), false), WynikEksportu::Nic);
    EXPECT_EQ(okna().size(), 1u);
    EXPECT_TRUE(komunikaty().empty());
    EXPECT_EQ(QDir(out_.path()).entryList(QDir::Files), before);
}

TEST_F(PriceExportAvgTest, AMissingReadyMadeListIsReportedAsTheDiskError) {
    QTemporaryDir pusty;
    ASSERT_TRUE(pusty.isValid());
    szukaj("S");
    EksportCen k = eksport();
    k.katalogProgramu = pusty.path();
    odpowiedz(QStringLiteral("Sprzet_sred.kmx"), 1);
    EXPECT_EQ(kmx::app::PobierzCeny(k, false), WynikEksportu::Blad);
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, kBlad);
    EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Error);
    EXPECT_FALSE(QFile::exists(plik(QStringLiteral("Sprzet_sred.kmx"))));
}

// ------------------------------------------------------------------ the producer edition

TEST_F(PriceExportAvgTest, TheProducerEditionOffersNoLabourExport) {
    kmx::edition::ustaw(kmx::edition::CenyProducentow);
    szukaj("", 100000);
    ASSERT_GT(ileRodzaju("R"), 0);
    anuluj();
    anuluj();
    EXPECT_EQ(kmx::app::PobierzCeny(eksport(), false), WynikEksportu::Nic);
    ASSERT_EQ(okna().size(), 2u);
    EXPECT_EQ(okna()[0].fileName, QStringLiteral("Materialy"));
    EXPECT_EQ(okna()[1].fileName, QStringLiteral("Sprzet"));

    // Restricted to labour: nothing to offer at all.
    wyczysc();
    szukaj("R", 100000);
    EXPECT_EQ(kmx::app::PobierzCeny(eksport(), false), WynikEksportu::Nic);
    EXPECT_TRUE(okna().empty());
    EXPECT_TRUE(komunikaty().empty());

    // Without other criteria: the producer edition's two ready-made lists, whatever the kind.
    wyczysc();
    szukaj("R");
    anuluj();
    anuluj();
    EXPECT_EQ(kmx::app::PobierzCeny(eksport(), false), WynikEksportu::Nic);
    ASSERT_EQ(okna().size(), 2u);
    EXPECT_EQ(okna()[0].title, QStringLiteral("Zapis cennika materiałów"));
    EXPECT_EQ(okna()[1].title, QStringLiteral("Zapis cennika sprzętu"));
}

}  // namespace
