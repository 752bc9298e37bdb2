// "Pobierz ceny" against failing disks: the written price lists (1.0 in
// place, 2.x packed), the ready-made lists copied, and the unit-price file.
// Every failure shows the export's error message (never the success one),
// keeps the user's previous file byte for byte and leaves no other file.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/program_state.h"
#include "app/wait_window.h"
#include "app/works_page.h"
#include "gui_test_support.h"
#include "platform/dialogs.h"
#include "platform/links.h"
#include "platform/settings_store.h"
#include "support/disk_faults.h"

namespace {

using namespace kmx::guitest;
using kmx::platform::FileDialogResult;
using kmx::platform::MessageIcon;
namespace dt = kmx::disktest;
namespace sf = kmx::safefile;

const QString kZakonczono = QStringLiteral("Zapis pliku zakończony");
const QString kBlad = QStringLiteral("Wystąpił błąd podczas eksportu danych. Sprawdź dysk.");
const std::string kPoprzedni = "poprzedni plik użytkownika\r\n";

class ExportDiskFaults : public NaDemo<ExportDiskFaults> {
public:
    static constexpr const char* kHasloDemo = "Demo-Haslo-D1";

protected:
    void SetUp() override {
        ASSERT_NE(demo_, nullptr);
        przygotujTestOkna();
        store_ = std::make_unique<kmx::platform::QtSettingsStore>(ini_.filePath(QStringLiteral("kmx.ini")));
        okno_ = otworzOkno(demo_->path(), *store_, links_);
    }
    void TearDown() override {
        okno_.reset();
        kmx::app::ZamknijCzekaj();
        kmx::app::UstawKatalogProgramu(QString());
        kmx::platform::dialogs().nextFiles.clear();
    }
    template <typename T>
    T* w(const char* name) {
        T* found = okno_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAction* akcja(const char* name) { return w<QAction>(name); }
    const std::vector<kmx::platform::ShownMessage>& komunikaty() {
        return kmx::platform::dialogs().shownMessages;
    }
    void wyczysc() {
        kmx::platform::dialogs().shownMessages.clear();
        kmx::platform::dialogs().fileRequests.clear();
        kmx::platform::dialogs().nextFiles.clear();
    }
    void odpowiedz(const dt::fs::path& file, int filterIndex) {
        kmx::platform::dialogs().nextFiles.push_back(
            FileDialogResult{true, QString::fromStdString(file.string()), filterIndex});
    }
    void anuluj() { kmx::platform::dialogs().nextFiles.push_back(FileDialogResult{false, QString(), 0}); }
    // Materials only, with a price bound (a real criterion) or none.
    void szukajMaterialow(const QString& cenaDo) {
        QCheckBox* cm = w<QCheckBox>("chbMaterialy");
        QCheckBox* cs = w<QCheckBox>("chbSprzet");
        cm->setChecked(true);
        cs->setChecked(true);
        cs->click();
        ASSERT_FALSE(cs->isChecked());
        QLineEdit* cena = w<QLineEdit>("eCenajednDo");
        cena->clear();
        if (!cenaDo.isEmpty()) wpisz(cena, cenaDo);
        enter(w<QLineEdit>("eNazwaTow"));
        QApplication::processEvents();
        ASSERT_TRUE(okno_->tdm().QWybrTow.active());
    }
    // One run of the export: the error message shown once, with its icon,
    // and no wait window left.
    void oczekujBledu(const std::string& label) {
        ASSERT_EQ(komunikaty().size(), 1u) << label;
        EXPECT_EQ(komunikaty()[0].text, kBlad) << label;
        EXPECT_EQ(komunikaty()[0].icon, MessageIcon::Error) << label;
        EXPECT_EQ(kmx::app::oknoCzekaj(), nullptr) << label;
    }

    QTemporaryDir ini_;
    dt::TempDir out_;
    std::unique_ptr<kmx::platform::QtSettingsStore> store_;
    kmx::platform::RecordingLinkOpener links_;
    std::unique_ptr<kmx::app::TKmxMain> okno_;
};

// Runs `run` (one export to `target`) under every fault of the seam and
// checks what the user is left with.
template <typename Run>
void underEveryFault(ExportDiskFaults& t, const dt::TempDir& out, const dt::fs::path& target, Run run,
                     const std::vector<std::uint64_t>& offsets) {
    for (const dt::SeamCase& c : dt::seamCases(offsets)) {
        dt::writeFile(target, kPoprzedni);
        {
            sf::FaultScope fault(c.fault);
            run(c.label);
        }
        EXPECT_EQ(dt::readFile(target), kPoprzedni) << c.label;
        EXPECT_EQ(out.names(), std::vector<std::string>{target.filename().string()}) << c.label;
    }
    static_cast<void>(t);
}

TEST_F(ExportDiskFaults, AWrittenPriceListKeepsThePreviousFileOnAFailingDisk) {
    szukajMaterialow(QStringLiteral("30"));
    const dt::fs::path target = out_ / "Materialy.kmx";
    for (const int filter : {0, 1, 2}) {  // 1.0 written as text, 2.0 and 2.1 packed
        // First a good export: its size places the faults inside the file.
        wyczysc();
        odpowiedz(target, filter);
        akcja("AEksport")->trigger();
        ASSERT_EQ(komunikaty().size(), 1u);
        ASSERT_EQ(komunikaty()[0].text, kZakonczono);
        const std::size_t size = dt::readFile(target).size();
        ASSERT_GT(size, 100u);
        underEveryFault(*this, out_, target,
                        [&](const std::string& label) {
                            wyczysc();
                            odpowiedz(target, filter);
                            akcja("AEksport")->trigger();
                            oczekujBledu("filter " + std::to_string(filter) + ", " + label);
                        },
                        {0, 1, size / 2, size - 1});
    }
}

TEST_F(ExportDiskFaults, TheUnitPriceFileKeepsThePreviousFileOnAFailingDisk) {
    akcja("ACenyScalone")->trigger();
    ASSERT_GT(okno_->stronaCenRobot()->SzukajCenRobot(), 0);
    const dt::fs::path target = out_ / "Ceny_Jednostkowe_Nordvale.csv";
    wyczysc();
    odpowiedz(target, 0);
    akcja("AEksport")->trigger();
    ASSERT_EQ(komunikaty().size(), 1u);
    ASSERT_EQ(komunikaty()[0].text, kZakonczono);
    const std::size_t size = dt::readFile(target).size();
    ASSERT_GT(size, 1000u);
    underEveryFault(*this, out_, target,
                    [&](const std::string& label) {
                        wyczysc();
                        odpowiedz(target, 0);
                        akcja("AEksport")->trigger();
                        oczekujBledu(label);
                    },
                    {0, 1, size / 2, size - 1});
}

TEST_F(ExportDiskFaults, ACopiedReadyMadeListKeepsThePreviousFileOnAFailingDisk) {
    kmx::app::UstawKatalogProgramu(demo_->path());
    szukajMaterialow(QString());  // no criterion: the shipped lists are copied
    const dt::fs::path target = out_ / "Materialy.kmx";
    wyczysc();
    odpowiedz(target, 1);
    anuluj();  // no equipment
    akcja("AEksport")->trigger();
    const std::size_t size = dt::readFile(target).size();
    ASSERT_GT(size, 100u);
    underEveryFault(*this, out_, target,
                    [&](const std::string& label) {
                        wyczysc();
                        odpowiedz(target, 1);
                        anuluj();
                        akcja("AEksport")->trigger();
                        oczekujBledu(label);
                    },
                    {0, 1, size / 2, size - 1});
}

TEST_F(ExportDiskFaults, UnwritablePlacesAndARealFullDiskShowTheErrorMessage) {
    szukajMaterialow(QStringLiteral("30"));
    const std::vector<dt::Unwritable> places = dt::unwritablePlaces(out_, "Materialy.kmx");
    for (const int filter : {0, 2}) {
        for (const dt::Unwritable& u : places) {
            wyczysc();
            odpowiedz(u.file, filter);
            akcja("AEksport")->trigger();
            oczekujBledu(u.file.string());
        }
        // The full device through a link of the chosen name (a name without
        // an extension would get ".kmx").
        const dt::fs::path full = out_ / "pelny.kmx";
        dt::fs::create_symlink("/dev/full", full);
        wyczysc();
        odpowiedz(full, filter);
        akcja("AEksport")->trigger();
        oczekujBledu("/dev/full");
        EXPECT_TRUE(dt::fs::is_symlink(full));
        dt::fs::remove(full);
        // Files of the process may not grow past 2 KiB: the kernel's full disk.
        const dt::fs::path target = out_ / "Materialy.kmx";
        dt::writeFile(target, kPoprzedni);
        wyczysc();
        odpowiedz(target, filter);
        {
            dt::FileSizeLimit limit(2048);
            ASSERT_TRUE(limit.ok());
            akcja("AEksport")->trigger();
        }
        oczekujBledu("size limit");
        EXPECT_EQ(dt::readFile(target), kPoprzedni);
        EXPECT_EQ(out_.names(), (std::vector<std::string>{"Materialy.kmx", "plik.txt"}));
        dt::fs::remove(target);
    }
}

}  // namespace
