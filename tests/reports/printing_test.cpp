// Printing prepared pages: refused without a printer, the page range, the
// copies, the paper of the store.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSize>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "platform/printers.h"
#include "reports/printing.h"

namespace kmx::reports {
namespace {

// Printers whose devices write one PDF file per printer, to be read back.
class PdfPrinters : public platform::Printers {
public:
    QStringList list{QStringLiteral("Biuro"), QStringLiteral("Magazyn")};
    int opened = 0;
    QTemporaryDir dir;

    QStringList names() override { return list; }
    int currentIndex() override { return list.isEmpty() ? -1 : 0; }
    void setCurrentIndex(int) override {}
    bool setupDialog(QWidget*, QPrinter&) override { return false; }
    std::unique_ptr<QPrinter> open(int index) override {
        if (index < 0 || index >= list.size()) return nullptr;
        ++opened;
        auto printer = platform::makePrinter(QString());
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf(index));
        return printer;
    }
    QString pdf(int index) const { return dir.filePath(list.at(index) + QStringLiteral(".pdf")); }
};

// Pages that say which they are.
PageStore strony(int count, float widthMm = PageStore::kA4WidthMm, float heightMm = PageStore::kA4HeightMm) {
    PageStore store;
    store.setPageSize(widthMm, heightMm);
    for (int n = 1; n <= count; ++n) {
        PreparedPage page;
        TextItem t;
        t.rect = {20, 20, 150, 6};
        t.lineMm = 6;
        page.addText(t, QStringLiteral("Strona%1").arg(n));
        store.addPage(std::move(page));
    }
    return store;
}

QString uruchom(const QString& program, const QString& pdf) {
    QProcess p;
    p.start(program,
            program == QLatin1String("pdftotext") ? QStringList{pdf, QStringLiteral("-")} : QStringList{pdf});
    return p.waitForFinished(30000) && p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput())
                                                         : QString();
}

// The page numbers in the order printed.
QStringList kolejnosc(const QString& pdf) {
    QStringList found;
    const QRegularExpression re(QStringLiteral("Strona(\\d+)"));
    for (auto it = re.globalMatch(uruchom(QStringLiteral("pdftotext"), pdf)); it.hasNext();)
        found << it.next().captured(1);
    return found;
}

// The first page's size in whole points.
QSize rozmiarStrony(const QString& pdf) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+)"))
            .match(uruchom(QStringLiteral("pdfinfo"), pdf));
    return {int(std::lround(m.captured(1).toDouble())), int(std::lround(m.captured(2).toDouble()))};
}

class PrintingToPrinter : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fake.dir.isValid());
        platform::setPrinters(&fake);
    }
    void TearDown() override { platform::setPrinters(nullptr); }
    PdfPrinters fake;
};

TEST_F(PrintingToPrinter, RefusesAnIndexThatNamesNoPrinterAndSendsNothing) {
    const PageStore store = strony(2);
    QString error;
    for (const int index : {-1, 2}) {
        EXPECT_FALSE(drukujStrony(store, index, &error)) << index;
        EXPECT_EQ(error, brakDrukarkiKomunikat());
    }
    // With none installed even index 0 names none, a set-up device or not.
    fake.list.clear();
    EXPECT_FALSE(drukujStrony(store, 0, &error));
    QPrinter settings(QPrinter::HighResolution);
    settings.setOutputFormat(QPrinter::PdfFormat);
    settings.setOutputFileName(fake.dir.filePath(QStringLiteral("ustawiona.pdf")));
    EXPECT_FALSE(drukujStrony(store, 0, &error, &settings));
    EXPECT_EQ(fake.opened, 0);
    EXPECT_TRUE(QDir(fake.dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(brakDrukarkiKomunikat().startsWith(QString::fromUtf8("Nie znaleziono drukarki")));
}

TEST_F(PrintingToPrinter, PrintsEveryPageInOrderOnTheChosenPrinterOnItsPaper) {
    QString error;
    ASSERT_TRUE(drukujStrony(strony(3), 1, &error)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(fake.pdf(0)));
    EXPECT_EQ(kolejnosc(fake.pdf(1)), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(rozmiarStrony(fake.pdf(1)), QSize(595, 842));  // A4

    // A landscape report read from a file gets landscape paper.
    ASSERT_TRUE(drukujStrony(strony(2, PageStore::kA4HeightMm, PageStore::kA4WidthMm), 0, &error));
    EXPECT_EQ(rozmiarStrony(fake.pdf(0)), QSize(842, 595));

    EXPECT_FALSE(drukujStrony(PageStore(), 0, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(PrintingToPrinter, ASetUpDeviceGivesThePageRangeTheCopiesAndTheOrder) {
    const PageStore store = strony(4);
    QString error;
    const auto print = [&](const std::function<void(QPrinter&)>& setUp) {
        auto settings = fake.open(0);
        setUp(*settings);
        EXPECT_TRUE(drukujStrony(store, 0, &error, settings.get())) << error.toStdString();
        return kolejnosc(fake.pdf(0));
    };
    EXPECT_EQ(print([](QPrinter& p) { p.setFromTo(2, 3); }), (QStringList{"2", "3"}));
    // A range past the last page stops at it.
    EXPECT_EQ(print([](QPrinter& p) { p.setFromTo(3, 9); }), (QStringList{"3", "4"}));
    // The PDF device makes no copies itself: every copy is sent, collated or
    // not, reversed when the device asks for the last page first.
    EXPECT_EQ(print([](QPrinter& p) {
                  p.setFromTo(1, 2);
                  p.setCopyCount(2);
                  p.setCollateCopies(true);
              }),
              (QStringList{"1", "2", "1", "2"}));
    EXPECT_EQ(print([](QPrinter& p) {
                  p.setFromTo(1, 2);
                  p.setCopyCount(2);
                  p.setCollateCopies(false);
                  p.setPageOrder(QPrinter::LastPageFirst);
              }),
              (QStringList{"2", "2", "1", "1"}));

    PageStore onPage3 = strony(4);
    onPage3.setCurrentPage(3);
    auto current = fake.open(1);
    current->setPrintRange(QPrinter::CurrentPage);
    ASSERT_TRUE(drukujStrony(onPage3, 1, &error, current.get()));
    EXPECT_EQ(kolejnosc(fake.pdf(1)), (QStringList{"3"}));

    // A range wholly past the pages, or a device that cannot start, prints
    // nothing and says why.
    QFile::remove(fake.pdf(1));
    auto past = fake.open(1);
    past->setFromTo(5, 6);
    EXPECT_FALSE(drukujStrony(store, 1, &error, past.get()));
    EXPECT_FALSE(QFile::exists(fake.pdf(1)));
    QPrinter broken(QPrinter::HighResolution);
    broken.setOutputFormat(QPrinter::PdfFormat);
    broken.setOutputFileName(fake.dir.filePath(QStringLiteral("brak/folderu/wydruk.pdf")));
    EXPECT_FALSE(drukujStrony(store, 1, &error, &broken));
    EXPECT_TRUE(error.startsWith(QString::fromUtf8("Nie można rozpocząć drukowania"))) << error.toStdString();
}

TEST(PrintingSystemPrinters, KeepAValidCurrentPrinterAndOpenOnlyInstalledOnes) {
    platform::CupsPrinters system;
    const QStringList names = system.names();
    if (names.isEmpty()) {
        EXPECT_EQ(system.currentIndex(), -1);
        EXPECT_EQ(system.open(0), nullptr);
        return;
    }
    const int last = int(names.size()) - 1;
    system.setCurrentIndex(last);
    system.setCurrentIndex(last + 1);  // no such printer: unchanged
    EXPECT_EQ(system.currentIndex(), last);
    const auto printer = system.open(last);
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->printerName(), names.last());
    EXPECT_TRUE(printer->fullPage());
    EXPECT_EQ(system.open(last + 1), nullptr);
}

}  // namespace
}  // namespace kmx::reports
