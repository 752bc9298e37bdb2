// The work-price page, its "Cena scalona" window and the labour-rate page,
// on the demo catalogue. Expected rows and counts come from the demo's source
// tables.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/rates_page.h"
#include "app/result_grid.h"
#include "app/works_page.h"
#include "catalog/csv.h"
#include "catalog/demo.h"
#include "core/settings_file.h"
#include "core/tcsengine.h"
#include "data/dataset.h"
#include "data/tdm.h"
#include "platform/dialogs.h"

namespace {

using kmx::app::CenaScalonaDialog;
using kmx::app::RatesPage;
using kmx::app::ResultGrid;
using kmx::app::WorksPage;
using kmx::data::TDM;

constexpr int kGoods = 150;

struct Rows {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
    QString get(const std::vector<std::string>& row, const char* name) const {
        for (std::size_t c = 0; c < header.size(); ++c) {
            if (header[c] == name) return QString::fromStdString(row[c]);
        }
        return {};
    }
};

struct WorksDemo {
    QTemporaryDir dir;
    std::string password;
    std::string error;
    bool ok = false;
    Rows works;
    Rows knr;

    WorksDemo() {
        kmx::catalog::DemoOptions options;
        options.goods = kGoods;
        const auto r = kmx::catalog::writeDemo(dir.path().toStdString(), options);
        if (!r.ok) {
            error = r.error;
            return;
        }
        const auto settings =
            kmx::CzytajUstawienia(std::filesystem::path(dir.path().toStdString()) / "kmx.iif");
        if (!settings.ok) {
            error = settings.error;
            return;
        }
        password = settings.password;
        const auto data = kmx::catalog::generateDemo(kGoods);
        if (!read(data.csv.at("ceny_robot"), works) || !read(data.csv.at("KNR"), knr)) return;
        ok = true;
    }
    bool read(const std::string& text, Rows& out) {
        std::vector<kmx::catalog::CsvRecord> records;
        if (!kmx::catalog::parseCsv(text, records, error)) return false;
        out.header = records.front().fields;
        for (std::size_t i = 1; i < records.size(); ++i) out.rows.push_back(records[i].fields);
        return true;
    }
    // Work rows whose column holds the text anywhere, letter case aside.
    int countContaining(const char* column, const QString& text) const {
        int n = 0;
        for (const auto& r : works.rows) {
            if (works.get(r, column).contains(text, Qt::CaseInsensitive)) ++n;
        }
        return n;
    }
};

const WorksDemo& demo() {
    static WorksDemo d;
    return d;
}

class WorksPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(demo().ok) << demo().error;
        ASSERT_FALSE(tdm.PolaczZBaza(std::filesystem::path(demo().dir.path().toStdString()) / "kmx.dat",
                                     demo().password));
        engine.SetRunner([this](const std::string& s) { return tdm.WykonajScalone(s); });
        auto& d = kmx::platform::dialogs();
        d.setTestMode(true);
        d.shownMessages.clear();
        ResultGrid::KliknietoTytul() = false;
        page = std::make_unique<WorksPage>(tdm, engine);
        page->resize(900, 500);
    }
    void TearDown() override { page.reset(); }

    // Shows the page and lets its deferred first run happen.
    void showPage() {
        page->show();
        QCoreApplication::processEvents();
    }
    QString count() const { return page->findChild<QLabel*>("lblIlPoz")->text(); }
    QLineEdit* edit(const char* name) const { return page->findChild<QLineEdit*>(name); }
    QPushButton* button(const char* name) const { return page->findChild<QPushButton*>(name); }
    QComboBox* knr() const { return page->findChild<QComboBox*>("cbKNR"); }

    TDM tdm;
    kmx::TCSEngine engine;
    std::unique_ptr<WorksPage> page;
};

QString countText(int n) {
    return QStringLiteral("Il. poz.: %1").arg(n);
}

TEST_F(WorksPageTest, FirstShowListsEveryWorkPrice) {
    EXPECT_EQ(page->objectName(), "PCScalone");
    EXPECT_EQ(count(), "Il. poz.:");
    showPage();
    const int all = static_cast<int>(demo().works.rows.size());
    EXPECT_EQ(count(), countText(all));
    EXPECT_EQ(page->grid()->model()->rowCount(), all);

    // The columns of the grid, in order, with their widths.
    const QStringList titles = {"Podstawa", "Wariant", "Nazwa", "J.ob.", "C.j."};
    const int widths[] = {148, 93, 503, 46};
    for (int c = 0; c < titles.size(); ++c)
        EXPECT_EQ(page->grid()->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                  titles[c]);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(page->grid()->columnWidth(c), widths[c]) << c;
}

TEST_F(WorksPageTest, KnrListFollowsItsSortOrder) {
    QString error = QStringLiteral("stale");
    ASSERT_TRUE(page->WypelnijListeKNR(&error));
    EXPECT_TRUE(error.isEmpty());
    const Rows& k = demo().knr;
    ASSERT_EQ(knr()->count(), static_cast<int>(k.rows.size()));
    EXPECT_EQ(knr()->currentIndex(), -1);
    for (const auto& r : k.rows) {
        const int at = k.get(r, "sort").toInt() - 1;
        EXPECT_EQ(knr()->itemText(at), k.get(r, "grupa_nazwa") + " " + k.get(r, "nazwa"));
        EXPECT_EQ(knr()->itemData(at).toString(), k.get(r, "grupa_identyf"));
    }
    EXPECT_GE(knr()->view()->minimumWidth(), 600);

    // A catalogue without a KNR table: the error text comes back.
    TDM broken;
    WorksPage other(broken, engine);
    EXPECT_FALSE(other.WypelnijListeKNR(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(other.findChild<QComboBox*>("cbKNR")->count(), 0);
}

TEST_F(WorksPageTest, ChoosingAKnrGroupFillsTheBasisAndSzukajFilters) {
    ASSERT_TRUE(page->WypelnijListeKNR(nullptr));
    showPage();
    const QString all = count();

    const int item = 2;
    emit knr()->activated(item);
    const QString key = knr()->itemData(item).toString();
    EXPECT_EQ(edit("edKNR")->text(), key);
    EXPECT_EQ(count(), all);  // choosing does not run the filter

    button("bSzukaj")->click();
    const int expected = demo().countContaining("podstawa", key);
    ASSERT_GT(expected, 0);
    EXPECT_EQ(count(), countText(expected));
    auto& set = tdm.Qscalone;
    const int f = set.fieldIndex("podstawa");
    for (int r = 0; r < set.recordCount(); ++r)
        EXPECT_TRUE(QString::fromStdString(set.displayText(r, f)).contains(key)) << r;

    // "Wszystkie" empties both filters and lists everything again.
    edit("edOpis")->setText(QStringLiteral("tynk"));
    button("bWszystkie")->click();
    EXPECT_EQ(edit("edKNR")->text(), "");
    EXPECT_EQ(edit("edOpis")->text(), "");
    EXPECT_EQ(count(), countText(static_cast<int>(demo().works.rows.size())));
}

TEST_F(WorksPageTest, DescriptionFilterMatchesAnywhereAndTakesApostrophes) {
    showPage();
    edit("edOpis")->setText(QStringLiteral("tynk"));
    // Enter in the field runs the filter.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(edit("edOpis"), &enter);
    const int expected = demo().countContaining("nazwa", QStringLiteral("tynk"));
    ASSERT_GT(expected, 0);
    EXPECT_EQ(count(), countText(expected));

    edit("edOpis")->setText(QStringLiteral("'cienka spoina'"));
    const int quoted = demo().countContaining("nazwa", QStringLiteral("'cienka spoina'"));
    ASSERT_GE(quoted, 1);
    EXPECT_EQ(page->SzukajCenRobot(), quoted);
    EXPECT_TRUE(kmx::platform::dialogs().shownMessages.empty());
}

TEST_F(WorksPageTest, RefusedStatementShowsTheErrorAndKeepsTheCount) {
    showPage();
    const QString before = count();
    engine.SetRunner(
        [this](const std::string&) { return tdm.WykonajScalone("select * from brak_takiej_tabeli"); });
    EXPECT_EQ(page->SzukajCenRobot(), -1);
    EXPECT_EQ(count(), before);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    const auto& shown = kmx::platform::dialogs().shownMessages;
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "KALMAREX");
    EXPECT_EQ(shown[0].icon, kmx::platform::MessageIcon::Error);
    EXPECT_FALSE(shown[0].text.isEmpty());
    EXPECT_EQ(shown[0].text, QString::fromStdString(tdm.scaloneError()));
}

TEST_F(WorksPageTest, CenaScalonaShowsTheCurrentRow) {
    showPage();
    auto& set = tdm.Qscalone;
    const int idField = set.fieldIndex("id_ceny");
    ASSERT_GE(idField, 0);
    ASSERT_TRUE(set.moveTo(5));
    const std::string id = std::to_string(set.value(idField).asInt());
    const Rows& w = demo().works;
    const std::vector<std::string>* row = nullptr;
    for (const auto& r : w.rows) {
        if (r[0] == id) row = &r;
    }
    ASSERT_TRUE(row);

    CenaScalonaDialog* dialog = page->przygotujCeneScalona();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Cena scalona");
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->findChild<QLineEdit*>("edPodstawa")->text(), w.get(*row, "podstawa"));
    EXPECT_EQ(dialog->findChild<QLineEdit*>("edWariant")->text(), w.get(*row, "wariant"));
    EXPECT_EQ(dialog->findChild<QPlainTextEdit*>("mOpis")->toPlainText(), w.get(*row, "nazwa"));
    EXPECT_EQ(dialog->findChild<QLineEdit*>("edJednOb")->text(), w.get(*row, "jedn_miary"));
    EXPECT_EQ(dialog->findChild<QLineEdit*>("edCenaJedn")->text(),
              QString::number(w.get(*row, "cena").toDouble(), 'f', 2).replace('.', ','));
    auto* zamknij = dialog->findChild<QPushButton*>("bZamknij");
    ASSERT_TRUE(zamknij);
    EXPECT_EQ(zamknij->text(), "Zamknij");
    EXPECT_TRUE(zamknij->isDefault());
    for (auto* e : dialog->findChildren<QLineEdit*>()) EXPECT_TRUE(e->isReadOnly());
}

TEST_F(WorksPageTest, EnterOpensCenaScalonaUnlessTheTitleWasClicked) {
    showPage();
    int opened = 0;
    QString basis;
    page->setDialogRunner([&](CenaScalonaDialog& d) {
        ++opened;
        basis = d.findChild<QLineEdit*>("edPodstawa")->text();
    });
    ASSERT_TRUE(tdm.Qscalone.moveTo(3));
    const QString expected = QString::fromStdString(tdm.Qscalone.displayText("podstawa"));

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(page->grid(), &enter);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(basis, expected);

    // A click on the "Nazwa" title sorts by its rank column; Enter then opens nothing.
    emit page->grid()->horizontalHeader()->sectionPressed(2);
    emit page->grid()->horizontalHeader()->sectionClicked(2);
    EXPECT_TRUE(ResultGrid::KliknietoTytul());
    ASSERT_GE(tdm.Qscalone.sortField(), 0);
    EXPECT_EQ(QString::fromStdString(tdm.Qscalone.fieldName(tdm.Qscalone.sortField())).toLower(),
              "idx_nazwa");
    QCoreApplication::sendEvent(page->grid(), &enter);
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(page->otworzCeneScalona());

    // The next run starts in the statement's order again.
    button("bSzukaj")->click();
    EXPECT_LT(tdm.Qscalone.sortField(), 0);
}

TEST_F(WorksPageTest, InstructionLinkAsksForTheInstruction) {
    int asked = 0;
    QObject::connect(page.get(), &WorksPage::instrukcjaRequested, [&] { ++asked; });
    auto* text = page->findChild<QLabel*>("lblInstrukcja");
    auto* link = page->findChild<QLabel*>("lKliknij");
    ASSERT_TRUE(text && link);
    EXPECT_EQ(text->text(), "Instrukcja eksportu BAZY CEN ROBÓT do programu kosztorysowego");
    emit link->linkActivated(QStringLiteral("#"));
    EXPECT_EQ(asked, 1);
}

// ------------------------------------------------------------------ labour rates

QString sourceFile(const char* relative) {
    return QDir(QStringLiteral(KMX_SOURCE_TREE)).filePath(QString::fromLatin1(relative));
}

TEST(RatesPage, LoadsTheRatesTextAndStaysEmptyWithoutIt) {
    RatesPage page;
    EXPECT_EQ(page.objectName(), "pcStawki");
    EXPECT_TRUE(page.view()->isReadOnly());
    const QString rates = sourceFile("resources/demo/stawki.rtf");
    ASSERT_TRUE(QFile::exists(rates)) << rates.toStdString();
    EXPECT_TRUE(page.zaladuj(rates));
    EXPECT_TRUE(page.view()->toPlainText().contains(QStringLiteral("Objaśnienia")));
    EXPECT_EQ(page.view()->textCursor().position(), 0);  // opens at the top

    QTemporaryDir dir;
    EXPECT_FALSE(page.zaladuj(dir.filePath("stawki.rtf")));
    EXPECT_TRUE(page.view()->document()->isEmpty());
}

TEST_F(WorksPageTest, Screenshots) {
    const QString folder = qEnvironmentVariable("KMX_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "KMX_SCREENSHOT_DIR not set";
    QDir().mkpath(folder);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    page->setFont(font);
    ASSERT_TRUE(page->WypelnijListeKNR(nullptr));
    page->resize(885, 480);
    showPage();
    EXPECT_TRUE(page->grab().save(folder + "/works_page.png"));
    ASSERT_TRUE(tdm.Qscalone.moveTo(2));
    CenaScalonaDialog* d = page->przygotujCeneScalona();
    d->setFont(font);
    d->show();
    EXPECT_TRUE(d->grab().save(folder + "/cena_scalona.png"));
    d->hide();

    RatesPage rates;
    rates.setFont(font);
    rates.resize(885, 480);
    ASSERT_TRUE(rates.zaladuj(sourceFile("resources/demo/stawki.rtf")));
    rates.show();
    EXPECT_TRUE(rates.grab().save(folder + "/rates_page.png"));
}

}  // namespace
