// The preview window: paging, zoom, printing, saving and opening, and the
// progressive preparation behind ShowReportPreview.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <functional>
#include <memory>

#include "app/wait_window.h"
#include "platform/dialogs.h"
#include "platform/printers.h"
#include "reports/engine/band.h"
#include "reports/engine/exports.h"
#include "reports/engine/filler.h"
#include "reports/engine/measure.h"
#include "reports/engine/qrp.h"
#include "reports/preview.h"
#include "reports/printing.h"

namespace kmx::reports {
namespace {

using platform::dialogs;

// Printers printing into PDF files; the test hears of every opening and
// answers the set-up dialog.
class PreviewPrinters : public platform::Printers {
public:
    QStringList list{QStringLiteral("Biuro"), QStringLiteral("Magazyn")};
    int current = 0;
    QTemporaryDir dir;
    int opened = 0;
    std::function<void()> onOpen;
    std::function<bool(QPrinter&)> setup;

    QStringList names() override { return list; }
    int currentIndex() override { return current; }
    void setCurrentIndex(int index) override { current = index; }
    bool setupDialog(QWidget*, QPrinter& printer) override { return setup && setup(printer); }
    std::unique_ptr<QPrinter> open(int index) override {
        if (index < 0 || index >= list.size()) return nullptr;
        ++opened;
        if (onOpen) onOpen();
        auto printer = platform::makePrinter(QString());
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf(index));
        return printer;
    }
    QString pdf(int index) const { return dir.filePath(list.at(index) + QStringLiteral(".pdf")); }
};

void dodajStrony(PageStore& store, int count, const QString& prefix = QStringLiteral("Strona")) {
    const std::uint16_t name = store.nameId(QStringLiteral("Tytul"));
    for (int n = 1; n <= count; ++n) {
        PreparedPage page;
        TextItem t;
        t.rect = {20, 20, 150, 6};
        t.lineMm = 6;
        t.name = name;
        page.addText(t, QStringLiteral("%1 %2").arg(prefix).arg(n));
        store.addPage(std::move(page));
    }
}

QString tytulStrony(const PageStore& store, int n) {
    const auto items = textsNamed(store, n, QStringLiteral("Tytul"));
    return items.empty() ? QString() : store.page(n).textOf(*items.front()).toString();
}

// The page numbers a PDF file shows, in order.
QStringList stronyPdf(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000)) return {};
    QStringList found;
    const QRegularExpression re(QStringLiteral("Strona (\\d+)"));
    for (auto it = re.globalMatch(QString::fromUtf8(p.readAllStandardOutput())); it.hasNext();)
        found << it.next().captured(1);
    return found;
}

QString tekstCzekaj() {
    QWidget* w = app::oknoCzekaj();
    const auto* label = w != nullptr ? w->findChild<QLabel*>(QStringLiteral("LKomunikat")) : nullptr;
    return label != nullptr ? label->text() : QString();
}

TFPreview* otwartyPodglad() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<TFPreview*>(w)) return p;
    return nullptr;
}

void esc(QWidget* target) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &key);
}

class Preview : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(printers.dir.isValid() && files.isValid());
        platform::setPrinters(&printers);
        auto& d = dialogs();
        d.setTestMode(true);
        d.shownMessages.clear();
        d.nextAnswers.clear();
        d.nextFiles.clear();
        d.fileRequests.clear();
    }
    void TearDown() override {
        previewTestHook = nullptr;
        app::ZamknijCzekaj();
        platform::setPrinters(nullptr);
    }

    // A shown preview of `pages` pages, on page 1.
    std::unique_ptr<TFPreview> okno(int pages) {
        auto w = std::make_unique<TFPreview>();
        dodajStrony(w->store(), pages);
        w->resize(1000, 760);
        w->show();
        QApplication::processEvents();
        w->pierwsza();
        return w;
    }
    static QAction* akcja(TFPreview& w, const char* name) {
        return w.findChild<QAction*>(QString::fromLatin1(name));
    }
    static void wybierzPlik(const QString& path, int filterIndex = 0) {
        dialogs().nextFiles.push_back(platform::FileDialogResult{true, path, filterIndex});
    }
    static const std::vector<platform::ShownMessage>& komunikaty() { return dialogs().shownMessages; }

    PreviewPrinters printers;
    QTemporaryDir files;
};

TEST_F(Preview, CaptionToolbarGroupsAndPaging) {
    auto w = okno(3);
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Podgląd wydruku"));
    QStringList hints;
    std::vector<int> groups{0};
    for (QAction* a : w->toolBar()->actions()) {
        if (a->isSeparator()) {
            groups.push_back(0);
            continue;
        }
        hints << a->toolTip();
        ++groups.back();
        EXPECT_FALSE(a->icon().isNull() || a->text().isEmpty() || a->objectName().isEmpty());
    }
    EXPECT_EQ(
        hints.join(QLatin1Char('|')),
        QString::fromUtf8("Strona pierwsza|Strona poprzednia|Strona następna|Strona ostatnia|Cała strona|"
                          "Normalny|Cała szerokość|Ustawienia drukarki|Drukuj|Otwórz|Zapisz|Zamknij"));
    EXPECT_EQ(groups, (std::vector<int>{4, 3, 2, 2, 1}));

    // At either end the page stays and the status is shown again.
    EXPECT_EQ(w->statusText(), QStringLiteral("Strona: 1/3"));
    w->ShowNumberOfPage(9);
    w->poprzednia();
    EXPECT_EQ(w->store().currentPage(), 1);
    EXPECT_EQ(w->statusText(), QStringLiteral("Strona: 1/3"));
    akcja(*w, "SBNastepna")->trigger();
    EXPECT_EQ(w->statusText(), QStringLiteral("Strona: 2/3"));
    w->ostatnia();
    w->ShowNumberOfPage(9);
    w->nastepna();
    EXPECT_EQ(w->store().currentPage(), 3);
    EXPECT_EQ(w->statusText(), QStringLiteral("Strona: 3/3"));
    w->poprzednia();
    EXPECT_EQ(w->statusText(), QStringLiteral("Strona: 2/3"));
    akcja(*w, "SBPierwsza")->trigger();
    EXPECT_EQ(w->statusText(), QStringLiteral("Strona: 1/3"));
}

TEST_F(Preview, ZoomModesFitThePageTheWidthOrShowItAtFullSize) {
    auto w = okno(2);
    QScrollArea* scroll = w->scrollArea();
    const auto paperW = [&] { return w->pixelsPerMm() * PageStore::kA4WidthMm; };
    const auto paperH = [&] { return w->pixelsPerMm() * PageStore::kA4HeightMm; };

    EXPECT_EQ(w->zoom(), TFPreview::Zoom::WholePage);
    EXPECT_LE(paperW(), scroll->viewport()->width());
    EXPECT_LE(paperH(), scroll->viewport()->height());
    EXPECT_LT(scroll->viewport()->height() - paperH(), 40);
    EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0);

    w->calaSzerokosc();
    QApplication::processEvents();
    EXPECT_EQ(w->zoom(), TFPreview::Zoom::PageWidth);
    EXPECT_LE(paperW(), scroll->viewport()->width());
    EXPECT_LT(scroll->viewport()->width() - paperW(), 40);
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
    // The mode holds when the window changes size.
    const double before = w->pixelsPerMm();
    w->resize(1300, 760);
    QApplication::processEvents();
    EXPECT_GT(w->pixelsPerMm(), before);
    EXPECT_LT(scroll->viewport()->width() - paperW(), 40);
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0);

    w->normalny();
    EXPECT_EQ(w->zoom(), TFPreview::Zoom::Normal);
    EXPECT_DOUBLE_EQ(w->pixelsPerMm(), w->pageView()->logicalDpiX() / 25.4);
    akcja(*w, "SBCalaStrona")->trigger();
    EXPECT_EQ(w->zoom(), TFPreview::Zoom::WholePage);
    EXPECT_LE(paperH(), scroll->viewport()->height());
}

TEST_F(Preview, SavingAsAPreparedReportOrAnExport) {
    auto w = okno(2);
    // A prepared report under a name without a dot gets ".qrp".
    const QString plain = files.filePath(QStringLiteral("raport"));
    wybierzPlik(plain, 0);
    w->zapisz();
    QStringList filters{QStringLiteral("raport (*.qrp)")};
    for (const ExportFormat& f : exportFormats()) filters << f.filter;
    ASSERT_EQ(dialogs().fileRequests.size(), 1u);
    EXPECT_EQ(dialogs().fileRequests[0].filters, filters);
    PageStore back;
    QString error;
    ASSERT_TRUE(loadQrp(back, plain + QStringLiteral(".qrp"), &error)) << error.toStdString();
    EXPECT_EQ(tytulStrony(back, 2), QStringLiteral("Strona 2"));
    // A dot anywhere, the folder included, keeps the name as typed.
    ASSERT_TRUE(QDir(files.path()).mkdir(QStringLiteral("wyniki.2024")));
    const QString dotted = files.filePath(QStringLiteral("wyniki.2024/raport"));
    wybierzPlik(dotted, 0);
    w->zapisz();
    EXPECT_TRUE(QFile::exists(dotted));
    EXPECT_FALSE(QFile::exists(dotted + QStringLiteral(".qrp")));

    // The second type is plain text, written under the name as typed.
    const QString text = files.filePath(QStringLiteral("wydruk"));
    wybierzPlik(text, 1);
    w->zapisz();
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(content.contains(QStringLiteral("Strona 1")) && content.contains(QStringLiteral("Strona 2")));
    const QString pdf = files.filePath(QStringLiteral("wydruk.pdf"));
    wybierzPlik(pdf, 3);
    w->zapisz();
    EXPECT_EQ(stronyPdf(pdf), (QStringList{"1", "2"}));
    EXPECT_TRUE(komunikaty().empty());

    wybierzPlik(files.filePath(QStringLiteral("brak/folderu/wydruk.txt")), 1);
    w->zapisz();
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].caption, QStringLiteral("KALMAREX"));
    EXPECT_EQ(komunikaty()[0].icon, platform::MessageIcon::Error);
}

TEST_F(Preview, OpeningReadsASavedReportAndKeepsThePagesOnAFailure) {
    auto w = okno(3);
    w->nastepna();
    const QString nieMozna = QString::fromUtf8("Nie można odczytać: ");

    const QString missing = files.filePath(QStringLiteral("nie_ma.qrp"));
    wybierzPlik(missing);
    w->otworz();
    EXPECT_EQ(dialogs().fileRequests.at(0).filters, QStringList{QStringLiteral("raport (*.qrp)")});
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, nieMozna + missing);
    EXPECT_EQ(komunikaty()[0].caption, QStringLiteral("KALMAREX"));
    EXPECT_EQ(komunikaty()[0].icon, platform::MessageIcon::Error);

    const QString corrupt = files.filePath(QStringLiteral("zepsuty.qrp"));
    QFile f(corrupt);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("to nie jest raport");
    f.close();
    wybierzPlik(corrupt);
    w->otworz();
    ASSERT_EQ(komunikaty().size(), 2u);
    const QString head = nieMozna + corrupt + QStringLiteral("\n");
    EXPECT_TRUE(komunikaty()[1].text.startsWith(head) && komunikaty()[1].text.size() > head.size())
        << komunikaty()[1].text.toStdString();
    EXPECT_EQ(w->store().pageCount(), 3);
    EXPECT_EQ(w->store().currentPage(), 2);
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Podgląd wydruku"));

    PageStore saved;
    dodajStrony(saved, 5, QStringLiteral("Zapisana"));
    const QString good = files.filePath(QStringLiteral("zapisany.qrp"));
    QString error;
    ASSERT_TRUE(saveQrp(saved, good, &error)) << error.toStdString();
    wybierzPlik(good);
    w->otworz();
    EXPECT_EQ(komunikaty().size(), 2u);
    EXPECT_EQ(tytulStrony(w->store(), 5), QStringLiteral("Zapisana 5"));
    EXPECT_EQ(w->statusText(), QStringLiteral("Strona: 1/5"));
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Podgląd wydruku: ") + good);
}

TEST_F(Preview, PrintingUsesThePreviewsPrinterAndItsOwnSetUp) {
    auto w = okno(4);
    QAction* print = akcja(*w, "SBDrukuj");
    QString waitText;
    bool enabledMeanwhile = true;
    printers.onOpen = [&] {
        waitText = tekstCzekaj();
        enabledMeanwhile = print->isEnabled();
    };
    w->printerIndex = 1;
    print->trigger();
    EXPECT_EQ(waitText, QStringLiteral("Drukowanie raportu..."));
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_TRUE(print->isEnabled());
    EXPECT_EQ(app::oknoCzekaj(), nullptr);
    EXPECT_EQ(stronyPdf(printers.pdf(1)), (QStringList{"1", "2", "3", "4"}));
    EXPECT_FALSE(QFile::exists(printers.pdf(0)));

    // The set-up is this preview's: its range stays for the next prints,
    // and the printer chosen there is the one printed on.
    printers.setup = [&](QPrinter& p) {
        p.setFromTo(2, 3);
        p.setOutputFileName(printers.pdf(0));  // the other printer chosen there
        printers.current = 0;
        return true;
    };
    akcja(*w, "SBUstawieniaDrukarki")->trigger();
    EXPECT_EQ(w->printerIndex, 0);
    w->drukuj();
    EXPECT_EQ(stronyPdf(printers.pdf(0)), (QStringList{"2", "3"}));
    printers.setup = [](QPrinter&) { return false; };
    w->ustawieniaDrukarki();
    QFile::remove(printers.pdf(0));
    w->drukuj();
    EXPECT_EQ(stronyPdf(printers.pdf(0)), (QStringList{"2", "3"}));
    EXPECT_TRUE(komunikaty().empty());

    // A printer that is gone: a message and nothing sent.
    auto other = okno(1);
    other->printerIndex = 2;
    printers.opened = 0;
    other->drukuj();
    other->ustawieniaDrukarki();
    EXPECT_EQ(printers.opened, 0);
    ASSERT_EQ(komunikaty().size(), 2u);
    EXPECT_EQ(komunikaty()[0].text, brakDrukarkiKomunikat());
    EXPECT_EQ(komunikaty()[0].caption, QStringLiteral("KALMAREX"));
    EXPECT_EQ(komunikaty()[0].icon, platform::MessageIcon::Error);
    EXPECT_EQ(app::oknoCzekaj(), nullptr);

    // Closing takes a wait window still open along.
    app::PokazCzekaj(QStringLiteral("Coś trwa"), false);
    akcja(*other, "SBZamknij")->trigger();
    EXPECT_FALSE(other->isVisible());
    EXPECT_EQ(app::oknoCzekaj(), nullptr);
}

// ---- ShowReportPreview and the progressive preparation

// Rows of a list report; `onRow` hears each row as it is reached.
class Rows : public RowSource {
public:
    explicit Rows(int count) : count_(count) {}
    bool first() override { return count_ > 0 && step(); }
    bool next() override { return row < count_ && step(); }
    int row = 0;
    std::function<void(int)> onRow;

private:
    bool step() {
        ++row;
        if (onRow) onRow(row);
        return true;
    }
    int count_;
};

class PreviewPreparation : public Preview {
protected:
    PreviewPreparation() {
        // 13 rows of 20 mm on a page between margins of 10 mm.
        definition.detail = makeBand(BandKind::Detail, QStringLiteral("Wiersz"), 20);
        definition.detail->add(field(QStringLiteral("Nr"), 0, 0, 60, [](const FillContext& c) {
            return QStringLiteral("Wiersz %1").arg(c.rowNumber);
        }));
    }
    bool pokaz(Rows& rows, int printerIndex = 0) {
        return ShowReportPreview(QString::fromUtf8("Lista towarów"), printerIndex, [&](PageStore& store) {
            return fillReport(definition, &rows, store, measurer, QDate(2024, 5, 6));
        });
    }
    ReportDefinition definition;
    FixedMeasurer measurer;
};

TEST_F(PreviewPreparation, ShowsPageOneAtOnceWithTheWaitWindowAndEndsWithTheCount) {
    Rows rows(60);
    QString waitText, status;
    bool maximised = false;
    rows.onRow = [&](int row) {
        if (row != 16) return;  // page 1 is done
        waitText = tekstCzekaj();
        if (TFPreview* p = otwartyPodglad()) {
            status = p->statusText();
            maximised = p->windowState().testFlag(Qt::WindowMaximized);
        }
    };
    QPointer<TFPreview> seen;
    int hooked = 0;
    previewTestHook = [&](TFPreview& p) {
        ++hooked;
        seen = &p;
        EXPECT_EQ(app::oknoCzekaj(), nullptr);
        EXPECT_EQ(p.statusText(), QStringLiteral("Strona: 1/5"));
        EXPECT_EQ(p.reportTitle, QString::fromUtf8("Lista towarów"));
        EXPECT_EQ(p.printerIndex, 1);
        p.ostatnia();
        EXPECT_EQ(p.statusText(), QStringLiteral("Strona: 5/5"));
    };
    EXPECT_TRUE(pokaz(rows, 1));
    EXPECT_EQ(waitText, QStringLiteral("Tworzenie raportu..."));
    EXPECT_EQ(status, QStringLiteral("Strona: 1/1"));
    EXPECT_TRUE(maximised);
    EXPECT_EQ(rows.row, 60);
    EXPECT_EQ(hooked, 1);
    EXPECT_TRUE(seen.isNull());  // the window is gone once the preview is over
    EXPECT_EQ(otwartyPodglad(), nullptr);
    EXPECT_TRUE(komunikaty().empty());
}

TEST_F(PreviewPreparation, CancellingOrClosingStopsSilently) {
    bool hooked = false;
    previewTestHook = [&](TFPreview&) { hooked = true; };
    // Esc in the wait window, answered "Tak".
    Rows rows(200);
    rows.onRow = [&](int row) {
        if (row == 20 && app::oknoCzekaj() != nullptr) esc(app::oknoCzekaj());
    };
    EXPECT_FALSE(pokaz(rows));
    EXPECT_LT(rows.row, 40);  // stopped once page 2 was done
    EXPECT_EQ(otwartyPodglad(), nullptr);
    EXPECT_EQ(app::oknoCzekaj(), nullptr);
    // The wait window's own question is the only message.
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].icon, platform::MessageIcon::Question);

    // Closing the window while it fills.
    Rows closed(200);
    closed.onRow = [&](int row) {
        if (row == 20) otwartyPodglad()->close();
    };
    EXPECT_FALSE(pokaz(closed));
    EXPECT_LT(closed.row, 40);
    EXPECT_EQ(otwartyPodglad(), nullptr);
    EXPECT_FALSE(hooked);
    EXPECT_EQ(komunikaty().size(), 1u);
}

TEST_F(PreviewPreparation, FromAModalDialogThePreviewBelongsToItAndPassesEscOn) {
    QDialog modal;
    modal.setWindowModality(Qt::ApplicationModal);
    modal.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &modal);
    // Esc on the preview reaches the wait window's question; "Nie" goes on.
    dialogs().nextAnswers.push_back(platform::Answer::No);
    Rows rows(40);
    rows.onRow = [&](int row) {
        if (row == 20) esc(otwartyPodglad());
    };
    QWidget* owner = nullptr;
    previewTestHook = [&](TFPreview& p) { owner = p.parentWidget(); };
    EXPECT_TRUE(pokaz(rows));
    EXPECT_EQ(owner, &modal);
    EXPECT_EQ(rows.row, 40);
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].icon, platform::MessageIcon::Question);
}

TEST_F(PreviewPreparation, Screenshot) {
    const QString folder = qEnvironmentVariable("KMX_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "KMX_SCREENSHOT_DIR not set";
    ASSERT_TRUE(QDir().mkpath(folder));
    // A list with a title, framed column headers and rows, as the reports print.
    definition.title = makeBand(BandKind::Title, QStringLiteral("Tytul"), 14);
    definition.title->add(label(QStringLiteral("Naglowek"), 0, 2, 190, QString::fromUtf8("Lista towarów"),
                                {16, true}, Align::Center));
    definition.columnHeader = makeBand(BandKind::ColumnHeader, QStringLiteral("Kolumny"), 7, SideAll);
    definition.columnHeader->add(
        label(QStringLiteral("KNazwa"), 2, 1, 120, QStringLiteral("Nazwa towaru"), {9, true}));
    definition.columnHeader->add(
        label(QStringLiteral("KCena"), 150, 1, 38, QStringLiteral("Cena netto"), {9, true}, Align::Right));
    definition.detail =
        makeBand(BandKind::Detail, QStringLiteral("Wiersz"), 6, SideLeft | SideRight | SideBottom);
    definition.detail->add(
        field(QStringLiteral("Nazwa"), 2, 1, 130,
              [](const FillContext& c) {
                  return QString::fromUtf8("Bloczek z betonu komórkowego %1 cm").arg(c.rowNumber);
              },
              {9, false}));
    definition.detail->add(field(
        QStringLiteral("Cena"), 150, 1, 38,
        [](const FillContext& c) { return QStringLiteral("%1,50 zł").arg(10 + c.rowNumber); }, {9, false},
        Align::Right));
    FontMeasurer fonts;
    Rows rows(90);
    previewTestHook = [&](TFPreview& p) {
        p.showNormal();
        p.resize(1100, 820);
        QApplication::processEvents();
        p.calaStrona();
        EXPECT_TRUE(p.grab().save(QDir(folder).filePath(QStringLiteral("preview_cala_strona.png"))));
        p.nastepna();
        p.calaSzerokosc();
        EXPECT_TRUE(p.grab().save(QDir(folder).filePath(QStringLiteral("preview_szerokosc.png"))));
    };
    EXPECT_TRUE(ShowReportPreview(QStringLiteral("Lista"), 0, [&](PageStore& store) {
        return fillReport(definition, &rows, store, fonts, QDate(2024, 5, 6));
    }));
}

}  // namespace
}  // namespace kmx::reports
