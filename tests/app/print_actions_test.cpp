// The print actions of the main window on the demo catalogue: which report
// each page prints, the print-set dialog only away from the search pages,
// the print group's enabling, the printer chosen in the dialog, and the goods
// list back on its row after printing and after its preview.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <vector>

#include "app/program_paths.h"
#include "gui_test_support.h"
#include "platform/printers.h"
#include "reports/druk_zestaw.h"
#include "reports/engine/prepared.h"
#include "reports/form_druk.h"
#include "reports/preview.h"
#include "reports/printing.h"

namespace {

using namespace kmx::guitest;
using kmx::app::TKmxMain;

// Printers whose devices write a PDF file each, to be read back.
class PdfPrinters : public kmx::platform::Printers {
public:
    QStringList list{QStringLiteral("Biuro"), QStringLiteral("Magazyn")};
    int current = 0;
    QTemporaryDir dir;

    QStringList names() override { return list; }
    int currentIndex() override { return list.isEmpty() ? -1 : current; }
    void setCurrentIndex(int index) override { current = index; }
    bool setupDialog(QWidget*, QPrinter&) override { return false; }
    std::unique_ptr<QPrinter> open(int index) override {
        if (index < 0 || index >= list.size()) return nullptr;
        auto printer = kmx::platform::makePrinter(QString());
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf(index));
        return printer;
    }
    QString pdf(int index) const { return dir.filePath(list.at(index) + QStringLiteral(".pdf")); }
};

// What a preview showed.
struct Podglad {
    QString tytul;  // the title band's text on page 1
    int strony = 0;
};

class PrintActionsTest : public OknoNaDemo<PrintActionsTest> {
public:
    static constexpr const char* kHasloDemo = "Druk-Haslo-9";

protected:
    void ustaw() override {
        kmx::platform::setPrinters(&drukarki_);
        kmx::reports::SelectedPrinterIndex = 0;
        kmx::reports::previewTestHook = [this](kmx::reports::TFPreview& w) {
            Podglad p;
            p.strony = w.store().pageCount();
            const auto t = kmx::reports::textsNamed(w.store(), 1, QStringLiteral("Ltytul"));
            if (!t.empty()) p.tytul = w.store().page(1).textOf(*t.front()).toString().replace('\n', ' ');
            podglady_.push_back(p);
            if (poPodgladzie_) poPodgladzie_(w);
        };
        kmx::reports::TFrmDruk::testHook = [this](kmx::reports::TFrmDruk& d) {
            ++dialogi_;
            if (wDialogu_) wDialogu_(d);
        };
    }
    void TearDown() override {
        OknoNaDemo::TearDown();
        kmx::platform::setPrinters(nullptr);
    }

    template <typename T>
    T* w(const QObject* in, const char* name) {
        T* found = in->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The preview of the page on screen; nullopt when none was shown.
    std::optional<Podglad> podglad() {
        podglady_.clear();
        akcja("APodgladWydr")->trigger();
        if (podglady_.empty()) return std::nullopt;
        return podglady_.back();
    }

    PdfPrinters drukarki_;
    std::vector<Podglad> podglady_;
    std::function<void(kmx::reports::TFPreview&)> poPodgladzie_;
    std::function<void(kmx::reports::TFrmDruk&)> wDialogu_;
    int dialogi_ = 0;
};

TEST_F(PrintActionsTest, EveryPageOfBothCataloguesPrintsItsOwnReport) {
    TKmxMain& o = this->o();
    EXPECT_FALSE(podglad());  // the goods search page prints nothing

    o.APokazAllTowarExecute();
    o.ATowListaTowExecute();
    EXPECT_EQ(podglad()->tytul, "Lista towarów wygenerowana z systemu KALMAREX");
    o.ATowSzczTowExecute();
    EXPECT_EQ(podglad()->tytul, "Szczegółowe dane towaru pobrane z systemu KALMAREX");
    o.ATowSzczDostExecute();
    EXPECT_EQ(podglad()->tytul, "Szczegółowe dane dostawcy pobrane z systemu KALMAREX");

    o.AKrytSzukDostawcyExecute();
    EXPECT_FALSE(podglad());
    o.APokazAllDostExecute();
    o.ADostListaDostExecute();
    EXPECT_EQ(podglad()->tytul, "Lista dostawców wygenerowana z systemu KALMAREX");
    o.ADostSzczDostExecute();
    EXPECT_EQ(podglad()->tytul, "Szczegółowe dane dostawcy pobrane z systemu KALMAREX");
    o.ADostListaTowExecute();
    const auto lista = podglad();
    ASSERT_TRUE(lista);
    EXPECT_TRUE(lista->tytul.endsWith(" - Lista towarów wygenerowana z systemu KALMAREX"))
        << lista->tytul.toStdString();
    EXPECT_FALSE(lista->tytul.startsWith(" - "));
    o.ADostSzczTowExecute();
    EXPECT_EQ(podglad()->tytul, "Szczegółowe dane towaru pobrane z systemu KALMAREX");

    // The work prices and labour rates print nothing.
    o.ACenyScaloneExecute();
    EXPECT_FALSE(podglad());
    o.AStawkiExecute();
    EXPECT_FALSE(podglad());
}

TEST_F(PrintActionsTest, DrukujOpensTheDialogOnlyAwayFromTheSearchPages) {
    TKmxMain& o = this->o();
    QAction* drukuj = akcja("ADrukuj");
    EXPECT_EQ(drukuj->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    drukuj->trigger();
    EXPECT_EQ(dialogi_, 0);
    o.AKrytSzukDostawcyExecute();
    drukuj->trigger();
    EXPECT_EQ(dialogi_, 0);

    o.APokazAllTowarExecute();
    o.ATowSzczTowExecute();
    drukuj->trigger();
    EXPECT_EQ(dialogi_, 1);
    // The dialog's "Podgląd" previews the page's report and leaves the dialog open.
    bool otwartyPoPodgladzie = false;
    wDialogu_ = [&](kmx::reports::TFrmDruk& d) {
        w<QPushButton>(&d, "BPodglWydr")->click();
        otwartyPoPodgladzie = d.isVisible();
    };
    podglady_.clear();
    drukuj->trigger();
    ASSERT_EQ(podglady_.size(), 1u);
    EXPECT_EQ(podglady_.front().tytul, "Szczegółowe dane towaru pobrane z systemu KALMAREX");
    EXPECT_TRUE(otwartyPoPodgladzie);
    // "Podgląd wydruku" needs no dialog.
    const int przed = dialogi_;
    EXPECT_TRUE(podglad());
    EXPECT_EQ(dialogi_, przed);
}

TEST_F(PrintActionsTest, ThePrintGroupFollowsThePageAndTheActionsStayEnabled) {
    TKmxMain& o = this->o();
    QAction* menuDrukuj = akcja("mnuDrukuj");
    QAction* menuPodglad = akcja("mnuPodgladWydr");
    EXPECT_FALSE(menuDrukuj->isEnabled());
    EXPECT_FALSE(menuPodglad->isEnabled());
    o.APokazAllTowarExecute();
    o.ATowListaTowExecute();
    EXPECT_TRUE(menuDrukuj->isEnabled());
    EXPECT_TRUE(menuPodglad->isEnabled());
    o.ATowSzczDostExecute();
    EXPECT_TRUE(menuDrukuj->isEnabled());
    o.AKrytSzukTowExecute();
    EXPECT_FALSE(menuDrukuj->isEnabled());
    EXPECT_TRUE(akcja("ADrukuj")->isEnabled());
    EXPECT_TRUE(akcja("APodgladWydr")->isEnabled());
    o.ACenyScaloneExecute();  // unchanged
    EXPECT_FALSE(menuDrukuj->isEnabled());
}

TEST_F(PrintActionsTest, PrintingGoesToThePrinterChosenInTheDialogAndTheListKeepsItsRow) {
    TKmxMain& o = this->o();
    o.APokazAllTowarExecute();
    o.ATowListaTowExecute();
    kmx::data::DataSet& lista = o.tdm().QWybrTow;
    ASSERT_TRUE(lista.moveTo(7));
    const long long id = lista.value("ID_TOWARU").asInt();

    wDialogu_ = [&](kmx::reports::TFrmDruk& d) {
        auto* combo = w<QComboBox>(&d, "CBListaDrukarek");
        ASSERT_EQ(combo->count(), 2);
        combo->setCurrentIndex(1);  // "Magazyn"
        w<QPushButton>(&d, "bDrukuj")->click();
    };
    akcja("ADrukuj")->trigger();
    EXPECT_EQ(kmx::reports::SelectedPrinterIndex, 1);
    EXPECT_EQ(drukarki_.current, 1);
    EXPECT_FALSE(QFileInfo::exists(drukarki_.pdf(0)));
    ASSERT_TRUE(QFileInfo::exists(drukarki_.pdf(1)));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {drukarki_.pdf(1), QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000));
    EXPECT_TRUE(QString::fromUtf8(text.readAllStandardOutput())
                    .contains("Lista towarów wygenerowana z systemu KALMAREX"));
    EXPECT_TRUE(kmx::platform::dialogs().shownMessages.empty());
    // Back on the row it was on, and the window follows the list again.
    EXPECT_EQ(lista.recNo(), 7);
    EXPECT_EQ(lista.value("ID_TOWARU").asInt(), id);
    EXPECT_FALSE(lista.notificationsSuspended());

    // The same after a preview; while the preview is open the list is held.
    bool wstrzymana = false;
    poPodgladzie_ = [&](kmx::reports::TFPreview&) { wstrzymana = lista.notificationsSuspended(); };
    ASSERT_TRUE(podglad());
    EXPECT_TRUE(wstrzymana);
    EXPECT_EQ(lista.recNo(), 7);
    EXPECT_FALSE(lista.notificationsSuspended());
    lista.next();
    EXPECT_EQ(lista.recNo(), 8);  // the cursor moves and is followed again
}

TEST_F(PrintActionsTest, WithoutAnyPrinterNothingIsPrintedAndTheUserIsTold) {
    drukarki_.list.clear();
    TKmxMain& o = this->o();
    o.APokazAllTowarExecute();
    o.ATowSzczTowExecute();
    // A print started as if the dialog had been confirmed.
    o.wydruki().DrukZestaw(0);
    ASSERT_EQ(kmx::platform::dialogs().shownMessages.size(), 1u);
    EXPECT_EQ(kmx::platform::dialogs().shownMessages.front().text, kmx::reports::brakDrukarkiKomunikat());
    EXPECT_EQ(kmx::platform::dialogs().shownMessages.front().caption, "KALMAREX");
    EXPECT_TRUE(QDir(drukarki_.dir.path()).isEmpty());
    // The preview still works.
    EXPECT_TRUE(podglad());
}

TEST_F(PrintActionsTest, ScreenshotsOfThePreviewOfEveryReport) {
    const QString dir = qEnvironmentVariable("KMX_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "KMX_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    TKmxMain& o = this->o();
    int n = 0;
    poPodgladzie_ = [&](kmx::reports::TFPreview& p) {
        p.resize(1200, 900);
        p.calaSzerokosc();
        QApplication::processEvents();
        p.grab().save(QDir(dir).filePath(QStringLiteral("podglad_%1.png").arg(++n)));
    };
    o.APokazAllTowarExecute();
    o.ATowListaTowExecute();
    podglad();
    o.ATowSzczTowExecute();
    podglad();
    o.APokazAllDostExecute();
    o.ADostListaDostExecute();
    podglad();
    o.ADostSzczDostExecute();
    podglad();
    EXPECT_EQ(n, 4);
}

}  // namespace
