// "Pobierz ceny" on the demo catalogue: which save dialogs appear on each
// page and for each search, the files they lead to (read back and decoded),
// the ready-made copies, the unit-price file, cancelling in the dialogs and in
// the wait window, targets that cannot be written, and the list left as it
// was found.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/main_window.h"
#include "app/price_export.h"
#include "app/program_paths.h"
#include "app/program_state.h"
#include "app/result_grid.h"
#include "app/wait_window.h"
#include "app/works_page.h"
#include "catalog/demo.h"
#include "core/kmx_zip.h"
#include "core/pricelist.h"
#include "core/query_builder.h"
#include "data/database.h"
#include "data/tdm.h"
#include "export/export_rows.h"
#include "gui_test_support.h"
#include "platform/dialogs.h"
#include "platform/links.h"
#include "platform/settings_store.h"
#include "price_list_readback.h"

namespace {

using namespace kmx::guitest;

using kmx::app::ResultGrid;
using kmx::app::TKmxMain;
using kmx::platform::FileDialogRequest;
using kmx::platform::FileDialogResult;
using kmx::platform::MessageIcon;
namespace fs = std::filesystem;
namespace pl = kmx::pricelist;

constexpr char kHaslo[] = "Demo-Haslo-J2";
const QString kZakonczono = QStringLiteral("Zapis pliku zakończony");
const QString kBlad = QStringLiteral("Wystąpił błąd podczas eksportu danych. Sprawdź dysk.");
const QString kF10 = QStringLiteral("Kalmarex 1.0 (*.kmx)");
const QString kF20 = QStringLiteral("Kalmarex 2.0 (*.kmx)");
const QString kF21 = QStringLiteral("Kalmarex 2.1 (*.kmx)");

Odczyt odczytaj(const QString& path) {
    return odczytajCennik(path);
}

std::vector<std::string> pola(const std::string& line) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : line) {
        if (c == ';') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

bool dostawcy(const std::string& record) {
    return record.rfind("#kmxp#", 0) == 0;
}

class PriceExportTest : public kmx::guitest::NaDemo<PriceExportTest> {
public:
    static constexpr const char* kHasloDemo = kHaslo;

protected:
    void SetUp() override {
        ASSERT_NE(demo_, nullptr);
        przygotujTestOkna();
        ASSERT_TRUE(ini_.isValid());
        ASSERT_TRUE(out_.isValid());
        store_ = std::make_unique<kmx::platform::QtSettingsStore>(ini_.filePath(QStringLiteral("kmx.ini")));
    }
    void TearDown() override {
        okno_.reset();
        kmx::app::ZamknijCzekaj();
        kmx::app::UstawKatalogProgramu(QString());
        kmx::platform::dialogs().nextFiles.clear();
    }

    TKmxMain& otworz(const QString& folder = demo_->path()) {
        okno_ = otworzOkno(folder, *store_, links_);
        return *okno_;
    }

    template <typename T>
    T* w(const char* name) {
        T* found = okno_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAction* akcja(const char* name) { return w<QAction>(name); }
    kmx::data::DataSet& QWybrTow() { return okno_->tdm().QWybrTow; }
    kmx::data::DataSet& QWybrTowForDost() { return okno_->tdm().QWybrTowForDost; }
    const std::vector<kmx::platform::ShownMessage>& komunikaty() {
        return kmx::platform::dialogs().shownMessages;
    }
    const std::vector<FileDialogRequest>& okna() { return kmx::platform::dialogs().fileRequests; }

    // The kinds on the goods screen: checked as asked.
    void rodzaje(bool m, bool s) {
        QCheckBox* cm = w<QCheckBox>("chbMaterialy");
        QCheckBox* cs = w<QCheckBox>("chbSprzet");
        cm->setChecked(true);
        cs->setChecked(true);
        if (!m) cm->click();
        if (!s) cs->click();
        ASSERT_EQ(cm->isChecked(), m);
        ASSERT_EQ(cs->isChecked(), s);
    }
    // A goods search with a price bound (a real criterion), or none.
    void szukaj(const QString& cenaDo) {
        if (!cenaDo.isEmpty()) wpisz(w<QLineEdit>("eCenajednDo"), cenaDo);
        enter(w<QLineEdit>("eNazwaTow"));
        QApplication::processEvents();
        ASSERT_TRUE(QWybrTow().active());
        ASSERT_EQ(w<QTabWidget>("PCProdukty")->currentIndex(), 1);
    }
    void odpowiedz(const QString& name, int filterIndex) {
        kmx::platform::dialogs().nextFiles.push_back(
            FileDialogResult{true, out_.filePath(name), filterIndex});
    }
    void anuluj() { kmx::platform::dialogs().nextFiles.push_back(FileDialogResult{false, QString(), 0}); }
    QString plik(const QString& name) { return out_.filePath(name); }

    // Rows of a kind in a list, and whether every handler came back with the
    // list on its first row and the grid painting again.
    static int ileRodzaju(const kmx::data::DataSet& ds, const char* kind) {
        const int f = ds.fieldIndex("TYP_RMS");
        int n = 0;
        for (int r = 0; r < ds.recordCount(); ++r) n += ds.cell(r, f).bytes() == kind;
        return n;
    }
    static void przywrocona(const kmx::data::DataSet& ds, const QWidget* grid) {
        EXPECT_EQ(ds.recNo(), 1);
        EXPECT_TRUE(static_cast<bool>(ds.afterScroll()));
        EXPECT_FALSE(ds.notificationsSuspended());
        EXPECT_TRUE(grid->updatesEnabled());
    }

    // Every supplier listed and the goods of the n-th (from 1) on screen.
    void towaryDostawcy(int n) {
        akcja("APokazAllDost")->trigger();
        ASSERT_TRUE(okno_->tdm().QWybrDost.moveTo(n));
        akcja("ADostListaTow")->trigger();
        QApplication::processEvents();
        ASSERT_EQ(w<QTabWidget>("PCDostawcy")->currentIndex(), 3);
        ASSERT_TRUE(QWybrTowForDost().active());
    }

    QTemporaryDir ini_;
    QTemporaryDir out_;
    std::unique_ptr<kmx::platform::QtSettingsStore> store_;
    kmx::platform::RecordingLinkOpener links_;
    std::unique_ptr<TKmxMain> okno_;
};

// ------------------------------------------------------------------ small rules

TEST(PriceExportRules, DefaultExtensionOnlyWhenTheNameHasNone) {
    using kmx::app::ZRozszerzeniem;
    EXPECT_EQ(ZRozszerzeniem(QStringLiteral("/a/Materialy"), QStringLiteral("kmx")),
              QStringLiteral("/a/Materialy.kmx"));
    EXPECT_EQ(ZRozszerzeniem(QStringLiteral("/a/cennik.txt"), QStringLiteral("kmx")),
              QStringLiteral("/a/cennik.txt"));
    EXPECT_EQ(ZRozszerzeniem(QStringLiteral("/a.b/Ceny"), QStringLiteral("csv")),
              QStringLiteral("/a.b/Ceny.csv"));
    EXPECT_TRUE(ZRozszerzeniem(QString(), QStringLiteral("csv")).isEmpty());
}

TEST(PriceExportRules, NothingHappensOnAPageWithoutAList) {
    kmx::platform::dialogs().setTestMode(true);
    kmx::platform::dialogs().fileRequests.clear();
    kmx::platform::dialogs().shownMessages.clear();
    kmx::app::EksportCen k;
    EXPECT_EQ(kmx::app::PobierzCeny(k, false), kmx::app::WynikEksportu::Nic);
    EXPECT_EQ(kmx::app::PobierzCeny(k, true), kmx::app::WynikEksportu::Nic);
    EXPECT_TRUE(kmx::platform::dialogs().fileRequests.empty());
    EXPECT_TRUE(kmx::platform::dialogs().shownMessages.empty());
}

// ------------------------------------------------------------------ goods list

TEST_F(PriceExportTest, RestrictedToMaterialsOffersOnlyTheMaterialsDialog) {
    otworz();
    rodzaje(true, false);
    szukaj(QStringLiteral("30"));
    ASSERT_TRUE(akcja("AEksport")->isEnabled());
    QWybrTow().moveTo(3);
    odpowiedz(QStringLiteral("mat"), 2);  // no extension typed: ".kmx" added
    akcja("AEksport")->trigger();

    ASSERT_EQ(okna().size(), 1u);
    const FileDialogRequest& r = okna()[0];
    EXPECT_EQ(r.title, QStringLiteral("Eksport cennika materiałów"));
    EXPECT_EQ(r.fileName, QStringLiteral("Materialy"));
    EXPECT_EQ(r.filters, (QStringList{kF10, kF20, kF21}));
    EXPECT_EQ(r.filterIndex, 2);
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, kZakonczono);
    EXPECT_EQ(komunikaty()[0].caption, QStringLiteral("KALMAREX"));
    EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Information);
    przywrocona(QWybrTow(), okno_->siatkaTowarow());

    const Odczyt o = odczytaj(plik(QStringLiteral("mat.kmx")));
    EXPECT_TRUE(o.zip);
    EXPECT_EQ(o.lista.version, pl::Version::V21);
    ASSERT_EQ(o.lista.headers.size(), 2u);
    EXPECT_EQ(o.lista.headers[0].rfind("KMX - wersja 2.1 - Materialy ceny dostawcow", 0), 0u);
    int goods = 0;
    for (const std::string& rec : o.lista.records) {
        if (dostawcy(rec)) continue;
        ++goods;
        const auto f = pola(rec);
        ASSERT_EQ(f.size(), 10u) << rec;
        EXPECT_EQ(f[7], "M");
        EXPECT_GE(f[1].size(), 7u);  // a material's ETO index has at least 7 characters
    }
    EXPECT_GT(goods, 0);
    EXPECT_LE(goods, ileRodzaju(QWybrTow(), "M"));
    EXPECT_TRUE(dostawcy(o.lista.records.front()));  // the producers come before the goods
    EXPECT_FALSE(fs::exists(toPath(plik(QStringLiteral("Sprzet.kmx")))));
}

TEST_F(PriceExportTest, VersionOneInTheFirstDialogNarrowsTheSecond) {
    otworz();
    rodzaje(true, true);
    szukaj(QStringLiteral("30"));
    ASSERT_GT(ileRodzaju(QWybrTow(), "M"), 0);
    ASSERT_GT(ileRodzaju(QWybrTow(), "S"), 0);
    odpowiedz(QStringLiteral("m10.kmx"), 0);
    odpowiedz(QStringLiteral("s10.kmx"), 0);
    akcja("AEksport")->trigger();

    ASSERT_EQ(okna().size(), 2u);
    EXPECT_EQ(okna()[0].filters, (QStringList{kF10, kF20, kF21}));
    EXPECT_EQ(okna()[1].title, QStringLiteral("Eksport cennika sprzętu"));
    EXPECT_EQ(okna()[1].fileName, QStringLiteral("Sprzet"));
    EXPECT_EQ(okna()[1].filters, QStringList{kF10});
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, kZakonczono);

    const Odczyt m = odczytaj(plik(QStringLiteral("m10.kmx")));
    const Odczyt s = odczytaj(plik(QStringLiteral("s10.kmx")));
    EXPECT_FALSE(m.zip);
    EXPECT_FALSE(s.zip);
    ASSERT_EQ(m.lista.headers.size(), 1u);
    EXPECT_EQ(m.lista.headers[0].rfind("KMX - wersja 1.0 - Materialy - ", 0), 0u);
    EXPECT_EQ(s.lista.headers[0].rfind("KMX - wersja 1.0 - Sprzet - ", 0), 0u);
    EXPECT_EQ(m.lista.key, s.lista.key);  // one key per run
    for (const Odczyt* o : {&m, &s}) {
        for (const std::string& rec : o->lista.records) {
            if (!dostawcy(rec)) {
                EXPECT_EQ(pola(rec).size(), 8u);
                EXPECT_EQ(pola(rec)[7], o == &m ? "M" : "S");
            }
        }
    }
    przywrocona(QWybrTow(), okno_->siatkaTowarow());
}

TEST_F(PriceExportTest, CancelledMaterialsAndEquipmentAsTwoOneWritesOnlyEquipment) {
    otworz();
    rodzaje(true, true);
    szukaj(QStringLiteral("30"));
    anuluj();
    odpowiedz(QStringLiteral("sprzet21.kmx"), 2);
    akcja("AEksport")->trigger();

    ASSERT_EQ(okna().size(), 2u);
    EXPECT_EQ(okna()[1].filters, (QStringList{kF10, kF20, kF21}));  // no version chosen yet
    EXPECT_EQ(okna()[1].filterIndex, 2);
    EXPECT_EQ(QDir(out_.path()).entryList(QDir::Files), QStringList{QStringLiteral("sprzet21.kmx")});
    const Odczyt s = odczytaj(plik(QStringLiteral("sprzet21.kmx")));
    EXPECT_TRUE(s.zip);
    EXPECT_EQ(s.lista.version, pl::Version::V21);
    EXPECT_EQ(s.lista.headers[0].rfind("KMX - wersja 2.1 - Sprzet ceny dostawcow", 0), 0u);
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, kZakonczono);
}

TEST_F(PriceExportTest, BothDialogsCancelledEndSilently) {
    otworz();
    rodzaje(true, true);
    szukaj(QStringLiteral("30"));
    QWybrTow().moveTo(5);
    anuluj();
    anuluj();
    akcja("AEksport")->trigger();
    EXPECT_EQ(okna().size(), 2u);
    EXPECT_TRUE(komunikaty().empty());
    EXPECT_TRUE(QDir(out_.path()).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(kmx::app::oknoCzekaj(), nullptr);
    przywrocona(QWybrTow(), okno_->siatkaTowarow());
}

TEST_F(PriceExportTest, VersionOneActionOffersOnlyTheOneFileType) {
    otworz();
    rodzaje(false, true);
    szukaj(QStringLiteral("30"));
    odpowiedz(QStringLiteral("s.kmx"), 0);
    akcja("AEksportKmx10")->trigger();
    ASSERT_EQ(okna().size(), 1u);
    EXPECT_EQ(okna()[0].title, QStringLiteral("Eksport cennika sprzętu"));
    EXPECT_EQ(okna()[0].filters, QStringList{kF10});
    const Odczyt s = odczytaj(plik(QStringLiteral("s.kmx")));
    EXPECT_FALSE(s.zip);
    EXPECT_EQ(s.lista.version, pl::Version::V10);
}

TEST_F(PriceExportTest, AnUnwritableTargetReportsTheDiskError) {
    otworz();
    rodzaje(true, false);
    szukaj(QStringLiteral("30"));
    QFile blocker(plik(QStringLiteral("file.txt")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    for (int version : {0, 2}) {  // written in place (1.0) and packed (2.1)
        kmx::platform::dialogs().shownMessages.clear();
        odpowiedz(QStringLiteral("file.txt/out.kmx"), version);
        QWybrTow().moveTo(4);
        akcja("AEksport")->trigger();
        ASSERT_EQ(komunikaty().size(), 1u) << version;
        EXPECT_EQ(komunikaty()[0].text, kBlad);
        EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Error);
        EXPECT_EQ(kmx::app::oknoCzekaj(), nullptr);
        przywrocona(QWybrTow(), okno_->siatkaTowarow());
    }
}

TEST_F(PriceExportTest, EscapeInTheWaitWindowFinishesTheFileWithTheRowsSoFar) {
    otworz();
    rodzaje(true, false);
    szukaj(QStringLiteral("1000"));
    const int materials = ileRodzaju(QWybrTow(), "M");
    ASSERT_GT(materials, 50);

    // Escape once the export's gauge is a third on; Yes to the question.
    kmx::platform::dialogs().nextAnswers.push_back(kmx::platform::Answer::Yes);
    bool gauge = false;
    int walked = 0;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* wait = kmx::app::oknoCzekaj();
        if (wait == nullptr) return;
        auto* label = wait->findChild<QLabel*>(QStringLiteral("LKomunikat"));
        if (label == nullptr || label->text() != QStringLiteral("Eksport cennika...")) return;
        auto* bar = wait->findChild<QProgressBar*>(QStringLiteral("Postep"));
        if (bar->value() < bar->maximum() / 3) return;  // a third in: the gauge moves with the walk
        walked = bar->value();
        gauge = bar->isVisibleTo(wait) && bar->maximum() == QWybrTow().recordCount();
        fs::create_directories("/tmp/shots-m");
        wait->grab().save(QStringLiteral("/tmp/shots-m/wait_export.png"));
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(wait, &esc);
        timer.stop();
    });
    timer.start();
    odpowiedz(QStringLiteral("czesc.kmx"), 1);
    akcja("AEksport")->trigger();
    timer.stop();

    EXPECT_TRUE(gauge);
    ASSERT_EQ(komunikaty().size(), 2u);
    EXPECT_EQ(komunikaty()[0].text, QStringLiteral("Czy przerwać operację ?"));
    EXPECT_EQ(komunikaty()[1].text, kZakonczono);
    const Odczyt o = odczytaj(plik(QStringLiteral("czesc.kmx")));
    EXPECT_EQ(o.lista.version, pl::Version::V20);
    int goods = 0;
    for (const std::string& rec : o.lista.records) goods += !dostawcy(rec);
    EXPECT_GT(goods, 0);       // the rows before the cancel are kept...
    EXPECT_LE(goods, walked);  // ...and the walk stopped after the row it was on
    EXPECT_LT(walked, QWybrTow().recordCount());
    przywrocona(QWybrTow(), okno_->siatkaTowarow());
}

// ------------------------------------------------------------------ ready-made lists

TEST_F(PriceExportTest, UnrestrictedSearchCopiesTheShippedLists) {
    otworz();
    rodzaje(true, true);
    szukaj(QString());
    ASSERT_TRUE(kmx::BrakKryteriow);
    QFile old(plik(QStringLiteral("Sprzet.kmx")));  // overwritten
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("stary");
    old.close();
    odpowiedz(QStringLiteral("Materialy"), 0);
    odpowiedz(QStringLiteral("Sprzet.kmx"), 1);
    akcja("AEksport")->trigger();

    ASSERT_EQ(okna().size(), 2u);
    EXPECT_EQ(okna()[0].title, QStringLiteral("Zapis cennika materiałów"));
    EXPECT_EQ(okna()[0].fileName, QStringLiteral("Materialy"));
    EXPECT_EQ(okna()[1].title, QStringLiteral("Zapis cennika sprzętu"));
    EXPECT_EQ(okna()[1].fileName, QStringLiteral("Sprzet"));
    for (const FileDialogRequest& r : okna()) {
        EXPECT_EQ(r.filters, (QStringList{kF20, kF21}));
        EXPECT_EQ(r.filterIndex, 1);
    }
    EXPECT_EQ(czytaj(plik(QStringLiteral("Materialy.kmx"))),
              czytaj(demo_->filePath(QStringLiteral("KMX/materialy.kmx"))));
    EXPECT_EQ(czytaj(plik(QStringLiteral("Sprzet.kmx"))),
              czytaj(demo_->filePath(QStringLiteral("KMX2.1/sprzet.kmx"))));
    EXPECT_EQ(odczytaj(plik(QStringLiteral("Sprzet.kmx"))).lista.version, pl::Version::V21);
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, kZakonczono);
}

TEST_F(PriceExportTest, OnlyTheKindFilterStillCopiesOnGoodsButGeneratesOnTheSupplierList) {
    otworz();
    rodzaje(true, false);
    szukaj(QString());
    ASSERT_TRUE(kmx::BrakKryteriow);
    anuluj();
    anuluj();
    akcja("AEksport")->trigger();
    ASSERT_EQ(okna().size(), 2u);  // both ready-made dialogs, whatever the kind
    EXPECT_EQ(okna()[0].title, QStringLiteral("Zapis cennika materiałów"));
    EXPECT_EQ(okna()[1].title, QStringLiteral("Zapis cennika sprzętu"));
    EXPECT_TRUE(komunikaty().empty());

    // The same search, a supplier's goods on screen: generated, materials only.
    kmx::platform::dialogs().fileRequests.clear();
    towaryDostawcy(1);
    anuluj();
    akcja("AEksport")->trigger();
    ASSERT_EQ(okna().size(), 1u);
    EXPECT_EQ(okna()[0].title, QStringLiteral("Eksport cennika materiałów"));
    EXPECT_EQ(okna()[0].filters, (QStringList{kF10, kF20, kF21}));
}

TEST_F(PriceExportTest, MissingShippedListIsReportedNotPassedOffAsSaved) {
    QTemporaryDir kopia;
    ASSERT_TRUE(kopia.isValid());
    for (const char* f : {"kmx.dat", "kmx.iif", "stawki.rtf"}) {
        ASSERT_TRUE(
            QFile::copy(demo_->filePath(QString::fromLatin1(f)), kopia.filePath(QString::fromLatin1(f))));
    }
    otworz(kopia.path());
    rodzaje(true, true);
    szukaj(QString());
    anuluj();
    odpowiedz(QStringLiteral("Sprzet.kmx"), 1);
    akcja("AEksport")->trigger();
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, kBlad);
    EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Error);
    EXPECT_FALSE(QFile::exists(plik(QStringLiteral("Sprzet.kmx"))));
}

// ------------------------------------------------------------------ supplier's goods list

TEST_F(PriceExportTest, OnlyEquipmentSupplierAfterAnUnfilteredSearchOffersOnlyEquipment) {
    otworz();
    rodzaje(true, true);
    szukaj(QStringLiteral("30"));  // no kind restriction
    int n = 1;
    for (; n <= 60; ++n) {
        towaryDostawcy(n);
        if (ileRodzaju(QWybrTowForDost(), "M") == 0 && ileRodzaju(QWybrTowForDost(), "S") > 0) break;
    }
    ASSERT_LE(n, 60) << "no supplier of equipment only";
    anuluj();
    akcja("AEksport")->trigger();
    ASSERT_EQ(okna().size(), 1u);
    EXPECT_EQ(okna()[0].title, QStringLiteral("Eksport cennika sprzętu"));
    EXPECT_EQ(okna()[0].fileName, QStringLiteral("Sprzet"));
    EXPECT_EQ(okna()[0].filters, (QStringList{kF10, kF20, kF21}));
    EXPECT_TRUE(komunikaty().empty());
}

TEST_F(PriceExportTest, SupplierGoodsFilesStartWithTheSupplierLine) {
    // A catalogue in which every producer sells both kinds.
    QTemporaryDir kopia;
    ASSERT_TRUE(kopia.isValid());
    for (const char* f : {"kmx.dat", "kmx.iif", "stawki.rtf"}) {
        ASSERT_TRUE(
            QFile::copy(demo_->filePath(QString::fromLatin1(f)), kopia.filePath(QString::fromLatin1(f))));
    }
    {
        kmx::data::Database db;
        std::string error;
        ASSERT_TRUE(db.openForBuild(toPath(kopia.filePath(QStringLiteral("kmx.dat"))), kHaslo, error))
            << error;
        ASSERT_TRUE(
            db.exec("UPDATE TOWAR SET TYP_RMS = CASE WHEN ID_TOWARU % 2 = 0 THEN 'S' ELSE 'M' END", error))
            << error;
    }
    otworz(kopia.path());
    rodzaje(true, true);
    szukaj(QStringLiteral("30"));
    int n = 1;
    for (; n <= 20; ++n) {
        towaryDostawcy(n);
        if (ileRodzaju(QWybrTowForDost(), "M") > 0 && ileRodzaju(QWybrTowForDost(), "S") > 0) break;
    }
    ASSERT_LE(n, 20) << "no supplier with both kinds";
    const std::string kod =
        kmx::exportrows::SupplierFromRow(okno_->tdm().QWybrDost, okno_->tdm().QWybrDost.recNo() - 1, true)
            .code;
    ASSERT_FALSE(kod.empty());
    QWybrTowForDost().moveTo(2);
    odpowiedz(QStringLiteral("dm.kmx"), 1);
    odpowiedz(QStringLiteral("ds.kmx"), 1);
    akcja("AEksport")->trigger();
    ASSERT_EQ(okna().size(), 2u);
    EXPECT_EQ(okna()[1].filters, QStringList{kF20});
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, kZakonczono);
    for (const char* f : {"dm.kmx", "ds.kmx"}) {
        const Odczyt o = odczytaj(plik(QString::fromLatin1(f)));
        EXPECT_EQ(o.lista.version, pl::Version::V20);
        ASSERT_FALSE(o.lista.records.empty()) << f;
        EXPECT_EQ(o.lista.records[0].rfind("#kmxp#" + kod + ";", 0), 0u) << f;
        int supplierLines = 0;
        for (const std::string& rec : o.lista.records) {
            if (dostawcy(rec)) {
                ++supplierLines;
                continue;
            }
            EXPECT_EQ(pola(rec)[6], kod);  // the producer code is the supplier's
            EXPECT_EQ(pola(rec)[7], f[1] == 'm' ? "M" : "S");
        }
        EXPECT_EQ(supplierLines, 1) << f;
    }
    przywrocona(QWybrTowForDost(), okno_->siatkaTowarowDostawcy());
}

// ------------------------------------------------------------------ unit prices

TEST_F(PriceExportTest, UnitPricesFromTheFirstRowNumberedFromOne) {
    otworz();
    akcja("ACenyScalone")->trigger();
    kmx::app::WorksPage* page = okno_->stronaCenRobot();
    ASSERT_GT(page->SzukajCenRobot(), 10);
    kmx::data::DataSet& works = okno_->tdm().Qscalone;
    ASSERT_TRUE(akcja("AEksport")->isEnabled());
    works.moveTo(10);
    odpowiedz(QStringLiteral("ceny"), 0);
    akcja("AEksport")->trigger();

    ASSERT_EQ(okna().size(), 1u);
    EXPECT_EQ(okna()[0].title, QStringLiteral("Eksport cennika NV"));
    EXPECT_EQ(okna()[0].fileName, QStringLiteral("Ceny_Jednostkowe_Nordvale"));
    EXPECT_EQ(okna()[0].filters, QStringList{QStringLiteral("Kalmarex NV (*.csv)")});
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, kZakonczono);
    EXPECT_EQ(works.recNo(), 1);
    EXPECT_TRUE(page->grid()->updatesEnabled());

    const std::string text = czytaj(plik(QStringLiteral("ceny.csv")));
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(static_cast<int>(lines.size()), works.recordCount() + 1);
    EXPECT_EQ(lines[0], pl::EncryptUnitPriceLine("Lp.;Podstawa;Wariant;Opis;J.ob.;Cj"));
    EXPECT_EQ(lines[1],
              pl::EncryptUnitPriceLine(pl::UnitPriceLine(1, kmx::exportrows::UnitPriceFromRow(works, 0))));
    const int last = works.recordCount();
    EXPECT_EQ(lines[static_cast<std::size_t>(last)],
              pl::EncryptUnitPriceLine(
                  pl::UnitPriceLine(last, kmx::exportrows::UnitPriceFromRow(works, last - 1))));
}

TEST_F(PriceExportTest, UnitPricesToAnUnwritablePlaceReportTheDiskError) {
    otworz();
    akcja("ACenyScalone")->trigger();
    ASSERT_GT(okno_->stronaCenRobot()->SzukajCenRobot(), 0);
    QFile blocker(plik(QStringLiteral("file.txt")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    odpowiedz(QStringLiteral("file.txt/ceny.csv"), 0);
    akcja("AEksport")->trigger();
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, kBlad);
    EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Error);
    EXPECT_EQ(kmx::app::oknoCzekaj(), nullptr);
}

}  // namespace
