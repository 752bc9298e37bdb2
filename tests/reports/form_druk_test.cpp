// The print-set dialog: the printers it lists, the printer it chooses, and
// what its buttons do.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "platform/printers.h"
#include "reports/form_druk.h"
#include "reports/printing.h"

namespace kmx::reports {
namespace {

// Printers printing into PDF files; the set-up dialog answers as told.
class TestPrinters : public platform::Printers {
public:
    QStringList list{QStringLiteral("Biuro laser"), QStringLiteral("Magazyn"),
                     QString::fromUtf8("Kreślarnia A3")};
    int current = 1;
    QTemporaryDir dir;
    std::vector<int> openedFor;
    std::function<bool()> setup;

    QStringList names() override { return list; }
    int currentIndex() override { return list.isEmpty() ? -1 : std::clamp(current, 0, int(list.size()) - 1); }
    void setCurrentIndex(int index) override {
        if (index >= 0 && index < list.size()) current = index;
    }
    bool setupDialog(QWidget*, QPrinter&) override { return setup && setup(); }
    std::unique_ptr<QPrinter> open(int index) override {
        if (index < 0 || index >= list.size()) return nullptr;
        openedFor.push_back(index);
        auto printer = platform::makePrinter(QString());
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(dir.filePath(QStringLiteral("drukarka%1.pdf").arg(index)));
        return printer;
    }
};

PageStore jednaStrona() {
    PageStore store;
    PreparedPage page;
    TextItem t;
    t.rect = {20, 20, 100, 5};
    page.addText(t, u"Wydruk");
    store.addPage(std::move(page));
    return store;
}

class FrmDruk : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(printers.dir.isValid());
        platform::setPrinters(&printers);
        SelectedPrinterIndex = 0;
        dialog.drukZestaw = [this](int mode) { modes.push_back(mode); };
    }
    void TearDown() override {
        TFrmDruk::testHook = nullptr;
        platform::setPrinters(nullptr);
        SelectedPrinterIndex = 0;
    }

    // Shows the dialog and runs `steps` on it while it is on screen.
    int pokaz(const std::function<void()>& steps) {
        TFrmDruk::testHook = [&](TFrmDruk&) { steps(); };
        return dialog.pokaz();
    }
    template <typename T = QPushButton>
    T* w(const char* name) {
        return dialog.findChild<T*>(QString::fromLatin1(name));
    }
    QComboBox* combo() { return w<QComboBox>("CBListaDrukarek"); }
    QString nazwa() { return w<QLabel>("LDrukarka")->text(); }
    QStringList pozycje() {
        QStringList items;
        for (int i = 0; i < combo()->count(); ++i) items << combo()->itemText(i);
        return items;
    }

    TestPrinters printers;
    TFrmDruk dialog;
    std::vector<int> modes;
};

TEST_F(FrmDruk, ShowingTakesTheCurrentPrinterAndListsEveryPrinterInOrder) {
    bool ran = false;
    pokaz([&] {
        ran = true;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Drukuj"));
        EXPECT_EQ(dialog.height(), 160);
        EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
        const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
        // Up to the window frame, unknown before the first showing.
        EXPECT_LE((dialog.frameGeometry().center() - centre).manhattanLength(), 12);
        ASSERT_TRUE(combo() && w("BPodglWydr") && w("bDrukuj") && w("bAnuluj") && w("BUstawieniaDruk"));
        EXPECT_FALSE(combo()->isEditable());
        EXPECT_EQ(pozycje(), printers.list);
        EXPECT_EQ(combo()->currentIndex(), 1);
        EXPECT_EQ(SelectedPrinterIndex, 1);
        EXPECT_EQ(nazwa(), QStringLiteral("Magazyn"));
        EXPECT_TRUE(w<QLabel>("LDrukarka")->font().bold());
        // "Podgląd" at the left of the bottom row, "Drukuj" and "Anuluj" at its right.
        EXPECT_LT(w("BPodglWydr")->x(), dialog.width() / 2);
        EXPECT_GT(w("bDrukuj")->x(), dialog.width() / 2);
        EXPECT_LT(w("bDrukuj")->x(), w("bAnuluj")->x());
    });
    EXPECT_TRUE(ran);
    EXPECT_FALSE(dialog.isVisible());

    // Every showing reads the printers again.
    printers.list.insert(0, QStringLiteral("Nowa"));
    printers.current = 3;
    pokaz([&] {
        EXPECT_EQ(pozycje(), printers.list);
        EXPECT_EQ(nazwa(), QString::fromUtf8("Kreślarnia A3"));
    });
    EXPECT_EQ(SelectedPrinterIndex, 3);
    EXPECT_TRUE(modes.empty());
}

TEST_F(FrmDruk, ChoosingAPrinterMakesItCurrentAtOnceAndDrukujPrintsThereAndCloses) {
    bool printed = false;
    dialog.drukZestaw = [&](int mode) {
        modes.push_back(mode);
        QString error;
        printed = drukujStrony(jednaStrona(), SelectedPrinterIndex, &error);
    };
    const int result = pokaz([&] {
        combo()->setCurrentIndex(2);
        EXPECT_EQ(SelectedPrinterIndex, 2);
        EXPECT_EQ(printers.current, 2);
        EXPECT_EQ(nazwa(), QString::fromUtf8("Kreślarnia A3"));
        w("bDrukuj")->click();
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(modes, std::vector<int>{0});
    EXPECT_TRUE(printed);
    EXPECT_EQ(printers.openedFor, std::vector<int>{2});
    // The next showing starts from that printer.
    pokaz([&] { EXPECT_EQ(combo()->currentIndex(), 2); });
}

TEST_F(FrmDruk, PodgladStaysOpenAnulujAndEscapeCloseWithoutPrinting) {
    const int result = pokaz([&] {
        w("BPodglWydr")->click();
        EXPECT_TRUE(dialog.isVisible());
        w("BPodglWydr")->click();
        w("bAnuluj")->click();
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(modes, (std::vector<int>{1, 1}));

    const int escaped = pokaz([&] {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&dialog, &esc);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(escaped, QDialog::Rejected);
    EXPECT_EQ(modes.size(), 2u);
}

TEST_F(FrmDruk, PrinterSetUpOpensTheCurrentPrinterAndTakesThePrinterChosenThere) {
    printers.setup = [&] {
        printers.list << QStringLiteral("Sieciowa");  // one added meanwhile, and chosen
        printers.current = 3;
        return true;
    };
    pokaz([&] {
        w("BUstawieniaDruk")->click();
        EXPECT_EQ(printers.openedFor, std::vector<int>{1});
        EXPECT_EQ(combo()->count(), 4);
        EXPECT_EQ(combo()->currentIndex(), 3);
        EXPECT_EQ(nazwa(), QStringLiteral("Sieciowa"));
        EXPECT_TRUE(dialog.isVisible());
    });
    EXPECT_EQ(SelectedPrinterIndex, 3);
    EXPECT_TRUE(modes.empty());
}

TEST_F(FrmDruk, WithoutPrintersOnlyThePreviewIsOffered) {
    printers.list.clear();
    pokaz([&] {
        EXPECT_EQ(nazwa(), QString::fromUtf8("Brak zainstalowanych drukarek"));
        EXPECT_EQ(combo()->count(), 0);
        EXPECT_FALSE(combo()->isEnabled());
        EXPECT_FALSE(w("bDrukuj")->isEnabled());
        EXPECT_FALSE(w("BUstawieniaDruk")->isEnabled());
        w("BPodglWydr")->click();
        EXPECT_TRUE(dialog.isVisible());
    });
    EXPECT_EQ(modes, std::vector<int>{1});
    EXPECT_EQ(SelectedPrinterIndex, 0);
    QString error;
    EXPECT_FALSE(drukujStrony(jednaStrona(), SelectedPrinterIndex, &error));

    // A printer installed later is offered at the next showing.
    printers.list = {QStringLiteral("Biuro laser")};
    pokaz([&] {
        EXPECT_TRUE(w("bDrukuj")->isEnabled());
        EXPECT_EQ(nazwa(), QStringLiteral("Biuro laser"));
    });
}

TEST_F(FrmDruk, Screenshot) {
    const QString folder = qEnvironmentVariable("KMX_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "KMX_SCREENSHOT_DIR not set";
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto grab = [&](const char* file) {
        QApplication::processEvents();
        EXPECT_TRUE(dialog.grab().save(QDir(folder).filePath(QString::fromLatin1(file))));
    };
    pokaz([&] { grab("frm_druk.png"); });
    printers.list.clear();
    pokaz([&] { grab("frm_druk_bez_drukarek.png"); });
}

}  // namespace
}  // namespace kmx::reports
