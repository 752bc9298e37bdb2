#include "app/paging_bar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>

#include <memory>
#include <string>

#include "../data/test_catalog.h"
#include "data/database.h"
#include "data/dataset.h"

namespace kmx::app {
namespace {

using data::DataSet;
using data::testing::buildCatalog;
using data::testing::kKey;
using data::testing::TempDir;

// 120 rows, ID 1..120 in load order.
class PagingBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto file = dir_.file("kmx.dat");
        buildCatalog(file,
                     "CREATE TABLE T(ID INTEGER PRIMARY KEY);"
                     "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 120)"
                     " INSERT INTO T SELECT x FROM n;");
        std::string error;
        ASSERT_TRUE(db_.open(file, kKey, error)) << error;
        set_.setDatabase(&db_);
        set_.setAfterScroll([this](DataSet&) { ++scrolls_; });
    }

    void open(int rows) {
        std::string error;
        ASSERT_TRUE(set_.open("SELECT * FROM T WHERE ID <= " + std::to_string(rows) + " ORDER BY ID", error))
            << error;
        scrolls_ = 0;
    }

    struct Buttons {
        bool first, prior, next, last;
        bool operator==(const Buttons&) const = default;
    };
    Buttons buttons() const {
        return {bar_.przyciskPierwsza()->isEnabled(), bar_.przyciskPoprzednia()->isEnabled(),
                bar_.przyciskNastepna()->isEnabled(), bar_.przyciskOstatnia()->isEnabled()};
    }

    void type(const QString& text) {
        QKeyEvent event(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QCoreApplication::sendEvent(bar_.poleKroku()->lineEdit(), &event);
    }

    TempDir dir_;
    data::Database db_;
    DataSet set_;
    int scrolls_ = 0;
    PagingBar bar_;
};

TEST_F(PagingBarTest, BarAndCountersAtStart) {
    EXPECT_EQ(bar_.size(), QSize(251, 33));
    EXPECT_EQ(bar_.frameShadow(), QFrame::Sunken);
    QComboBox* step = bar_.findChild<QComboBox*>("cbKrok");
    ASSERT_EQ(step, bar_.poleKroku());
    EXPECT_TRUE(step->isEditable());
    EXPECT_EQ(step->width(), 47);
    EXPECT_EQ(step->currentText(), "1");
    EXPECT_EQ(step->maxVisibleItems(), 10);
    QStringList items;
    for (int i = 0; i < step->count(); ++i) items << step->itemText(i);
    EXPECT_EQ(items, (QStringList{"1", "2", "3", "4", "5", "10", "15", "20", "25", "50"}));
    EXPECT_EQ(bar_.jednostka(), QString::fromUtf8("stronę"));
    EXPECT_EQ(bar_.findChild<QLabel*>("lblPrzewijajO")->text(), "Przewijaj o");

    EXPECT_EQ(bar_.przyciskPierwsza()->toolTip(), "Pierwsza strona");
    EXPECT_EQ(bar_.przyciskPoprzednia()->toolTip(), "Poprzednia strona");
    EXPECT_EQ(bar_.przyciskNastepna()->toolTip(), QString::fromUtf8("Następna strona"));
    EXPECT_EQ(bar_.przyciskOstatnia()->toolTip(), "Ostatnia strona");
    // Left to right: first, previous, the step, next, last, all inside the bar.
    EXPECT_LT(bar_.przyciskPoprzednia()->x(), step->x());
    EXPECT_LT(step->x(), bar_.przyciskNastepna()->x());
    EXPECT_LT(bar_.przyciskNastepna()->x(), bar_.przyciskOstatnia()->x());
    EXPECT_LE(bar_.przyciskOstatnia()->geometry().right(), 251 - 2);

    EXPECT_EQ(bar_.etykietaIlStron()->text(), "Il. stron:");
    EXPECT_EQ(bar_.etykietaNrStrony()->text(), "Nr strony:");
    EXPECT_EQ(bar_.etykietaIloscPozycji()->text(), QString::fromUtf8("Ilość pozycji:"));
    EXPECT_EQ(bar_.wartoscIlStron()->text(), "1");
    EXPECT_EQ(bar_.wartoscNrStrony()->text(), "1");
    EXPECT_EQ(bar_.wartoscIloscPozycji()->text(), "1");

    bar_.UstawIloscStron(3);
    bar_.UstawNumerStrony(2);
    bar_.UstawIloscPozycji(35);
    EXPECT_EQ(bar_.wartoscIlStron()->text(), "3");
    EXPECT_EQ(bar_.wartoscNrStrony()->text(), "2");
    EXPECT_EQ(bar_.iloscPozycji(), 35);
}

TEST_F(PagingBarTest, StepFieldChangeRule) {
    bar_.ustawTekstKroku("3");
    EXPECT_EQ(bar_.krok(), 3);
    EXPECT_EQ(bar_.jednostka(), "strony");
    bar_.ustawTekstKroku("25");
    EXPECT_EQ(bar_.jednostka(), "stron");
    bar_.ustawTekstKroku("0");
    EXPECT_EQ(bar_.tekstKroku(), "1");
    EXPECT_EQ(bar_.jednostka(), QString::fromUtf8("stronę"));
    bar_.ustawTekstKroku("4");
    bar_.ustawTekstKroku("x2");
    EXPECT_EQ(bar_.tekstKroku(), "1");
    EXPECT_EQ(bar_.jednostka(), QString::fromUtf8("stronę"));
    bar_.ustawTekstKroku("-3");
    EXPECT_EQ(bar_.tekstKroku(), "1");

    // Choosing from the list is a change too.
    bar_.poleKroku()->setCurrentIndex(5);
    EXPECT_EQ(bar_.tekstKroku(), "10");
    EXPECT_EQ(bar_.jednostka(), "stron");

    // Emptying is allowed while editing; leaving the field puts "1" back.
    bar_.ustawTekstKroku("");
    EXPECT_EQ(bar_.tekstKroku(), "");
    EXPECT_EQ(bar_.krok(), 0);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(bar_.poleKroku()->lineEdit(), &out);
    EXPECT_EQ(bar_.tekstKroku(), "1");
    EXPECT_EQ(bar_.jednostka(), QString::fromUtf8("stronę"));
}

TEST_F(PagingBarTest, StepFieldKeys) {
    EXPECT_TRUE(PagingBar::klawiszKrokuDozwolony("0"));
    EXPECT_TRUE(PagingBar::klawiszKrokuDozwolony("9"));
    EXPECT_TRUE(PagingBar::klawiszKrokuDozwolony("\b"));
    EXPECT_TRUE(PagingBar::klawiszKrokuDozwolony("\t"));
    EXPECT_TRUE(PagingBar::klawiszKrokuDozwolony("\r"));
    EXPECT_TRUE(PagingBar::klawiszKrokuDozwolony(""));  // arrows and the like
    EXPECT_FALSE(PagingBar::klawiszKrokuDozwolony("a"));
    EXPECT_FALSE(PagingBar::klawiszKrokuDozwolony(","));
    EXPECT_FALSE(PagingBar::klawiszKrokuDozwolony("-"));
    EXPECT_FALSE(PagingBar::klawiszKrokuDozwolony(" "));
    EXPECT_FALSE(PagingBar::klawiszKrokuDozwolony("\x16"));  // Ctrl+V
    EXPECT_FALSE(PagingBar::klawiszKrokuDozwolony(QString::fromUtf8("ę")));

    QLineEdit* edit = bar_.poleKroku()->lineEdit();
    edit->setCursorPosition(1);
    type("a");
    EXPECT_EQ(bar_.tekstKroku(), "1");
    type("5");
    EXPECT_EQ(bar_.tekstKroku(), "15");
    EXPECT_EQ(bar_.jednostka(), "stron");
    // Enter does not add the typed value to the list.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QCoreApplication::sendEvent(bar_.poleKroku(), &enter);
    EXPECT_EQ(bar_.poleKroku()->count(), 10);
}

TEST_F(PagingBarTest, TurningPagesMovesByStepTimesLines) {
    open(120);
    bar_.ustawTekstKroku("5");
    EXPECT_EQ(bar_.PrzewinStrony(set_, 17, true), 85);
    EXPECT_EQ(set_.recNo(), 86);
    EXPECT_EQ(bar_.PrzewinStrony(set_, 17, true), 34);  // stops on the last row
    EXPECT_EQ(set_.recNo(), 120);
    EXPECT_EQ(bar_.PrzewinStrony(set_, 17, true), 0);
    EXPECT_EQ(set_.recNo(), 120);
    EXPECT_EQ(bar_.PrzewinStrony(set_, 17, false), -85);
    EXPECT_EQ(set_.recNo(), 35);
    EXPECT_EQ(bar_.PrzewinStrony(set_, 17, false), -34);  // stops on the first row
    EXPECT_EQ(set_.recNo(), 1);

    // A grid too low for a line turns by one line per page.
    bar_.ustawTekstKroku("2");
    EXPECT_EQ(bar_.PrzewinStrony(set_, 0, true), 2);
    EXPECT_EQ(bar_.PrzewinStrony(set_, -1, true), 2);
    EXPECT_EQ(set_.recNo(), 5);

    set_.close();
    EXPECT_EQ(bar_.PrzewinStrony(set_, 17, true), 0);
}

TEST_F(PagingBarTest, NextAndPriorWithAnEmptyStepOnlyRefillIt) {
    open(120);
    set_.moveTo(40);
    scrolls_ = 0;
    bar_.ustawTekstKroku("");
    bar_.NastepnaStrona(&set_, 17);
    EXPECT_EQ(bar_.tekstKroku(), "1");
    EXPECT_EQ(set_.recNo(), 40);
    EXPECT_EQ(scrolls_, 0);
    bar_.ustawTekstKroku("");
    bar_.PoprzedniaStrona(&set_, 17);
    EXPECT_EQ(bar_.tekstKroku(), "1");
    EXPECT_EQ(set_.recNo(), 40);
    EXPECT_EQ(scrolls_, 0);

    bar_.NastepnaStrona(&set_, 17);
    EXPECT_EQ(set_.recNo(), 57);
    bar_.PoprzedniaStrona(&set_, 17);
    bar_.PoprzedniaStrona(&set_, 17);
    EXPECT_EQ(set_.recNo(), 23);
}

TEST_F(PagingBarTest, FirstAndLastGoToTheEndsAndRefillAnEmptyStep) {
    open(120);
    set_.moveTo(40);
    bar_.ustawTekstKroku("");
    bar_.OstatniaStrona(&set_);
    EXPECT_EQ(set_.recNo(), 120);
    EXPECT_EQ(bar_.tekstKroku(), "1");
    bar_.ustawTekstKroku("3");
    bar_.PierwszaStrona(&set_);
    EXPECT_EQ(set_.recNo(), 1);
    EXPECT_EQ(bar_.tekstKroku(), "3");
    bar_.PierwszaStrona(nullptr);  // no list: nothing to move
    bar_.ustawTekstKroku("");
    bar_.PierwszaStrona(nullptr);
    EXPECT_EQ(bar_.tekstKroku(), "1");
}

TEST_F(PagingBarTest, ButtonsActOnTheTargetAndSignal) {
    open(120);
    int next = 0, last = 0, first = 0, prior = 0;
    QObject::connect(&bar_, &PagingBar::nastepnaStronaKliknieta, [&] { ++next; });
    QObject::connect(&bar_, &PagingBar::ostatniaStronaKliknieta, [&] { ++last; });
    QObject::connect(&bar_, &PagingBar::pierwszaStronaKliknieta, [&] { ++first; });
    QObject::connect(&bar_, &PagingBar::poprzedniaStronaKliknieta, [&] { ++prior; });

    // Without a target the buttons only signal.
    bar_.przyciskNastepna()->click();
    EXPECT_EQ(next, 1);
    EXPECT_EQ(set_.recNo(), 1);

    bar_.setCel([this] { return PagingBar::Cel{&set_, 17}; });
    bar_.ustawTekstKroku("2");
    bar_.przyciskNastepna()->click();
    EXPECT_EQ(set_.recNo(), 35);
    bar_.przyciskPoprzednia()->click();
    EXPECT_EQ(set_.recNo(), 1);
    bar_.przyciskOstatnia()->click();
    EXPECT_EQ(set_.recNo(), 120);
    bar_.przyciskPierwsza()->click();
    EXPECT_EQ(set_.recNo(), 1);
    EXPECT_EQ(next, 2);
    EXPECT_EQ(prior, 1);
    EXPECT_EQ(last, 1);
    EXPECT_EQ(first, 1);
}

TEST_F(PagingBarTest, ButtonStatesFollowTheRow) {
    open(35);
    bar_.UstawPrzyciskiStron(&set_, 35);
    EXPECT_EQ(buttons(), (Buttons{false, false, true, true}));
    set_.moveTo(18);
    bar_.UstawPrzyciskiStron(&set_, 35);
    EXPECT_EQ(buttons(), (Buttons{true, true, true, true}));
    set_.last();
    bar_.UstawPrzyciskiStron(&set_, 35);
    EXPECT_EQ(buttons(), (Buttons{true, true, false, false}));

    // Closed or missing set: the buttons stay as they are.
    set_.close();
    bar_.UstawPrzyciskiStron(&set_, 35);
    EXPECT_EQ(buttons(), (Buttons{true, true, false, false}));
    bar_.UstawPrzyciskiStron(nullptr, 35);
    EXPECT_EQ(buttons(), (Buttons{true, true, false, false}));

    open(1);
    bar_.UstawPrzyciskiStron(&set_, 1);
    EXPECT_EQ(buttons(), (Buttons{false, false, false, false}));
}

TEST_F(PagingBarTest, MovingIntoHeaderGroups) {
    QWidget window;
    window.resize(1000, 300);
    auto* goods = new QGroupBox(QStringLiteral(" LISTA WYSZUKANYCH TOWARÓW "), &window);
    goods->setGeometry(0, 0, 1000, 60);
    auto* supplierGoods = new QGroupBox(QStringLiteral(" LISTA TOWARÓW DOSTAWCY "), &window);
    supplierGoods->setGeometry(0, 100, 1000, 80);
    auto* bar = new PagingBar(&window);
    window.show();

    bar->przeniesDo(goods, false);
    EXPECT_EQ(bar->parentWidget(), goods);
    EXPECT_EQ(bar->etykietaIlStron()->parentWidget(), goods);
    EXPECT_EQ(bar->wartoscIloscPozycji()->parentWidget(), goods);
    EXPECT_EQ(bar->y(), 10);
    EXPECT_EQ(bar->etykietaIlStron()->y(), 10);
    EXPECT_EQ(bar->wartoscIlStron()->y(), 10);
    EXPECT_EQ(bar->etykietaNrStrony()->y(), 30);
    EXPECT_EQ(bar->etykietaIloscPozycji()->y(), 30);
    EXPECT_EQ(bar->wartoscIloscPozycji()->y(), 30);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->wartoscNrStrony()->isVisible());
    // Counters to the right of the bar, nothing past the group's edge, the
    // two counters that share a line side by side.
    EXPECT_GT(bar->etykietaIlStron()->x(), bar->geometry().right());
    EXPECT_LE(bar->wartoscIloscPozycji()->geometry().right(), goods->width());
    EXPECT_GT(bar->etykietaIloscPozycji()->x(), bar->wartoscNrStrony()->geometry().right());

    bar->przeniesDo(supplierGoods, true);
    EXPECT_EQ(bar->parentWidget(), supplierGoods);
    EXPECT_EQ(bar->etykietaNrStrony()->parentWidget(), supplierGoods);
    EXPECT_EQ(bar->y(), 18);
    EXPECT_EQ(bar->etykietaIlStron()->y(), 18);
    EXPECT_EQ(bar->etykietaNrStrony()->y(), 38);
    EXPECT_EQ(bar->etykietaIloscPozycji()->y(), 48);
    EXPECT_EQ(goods->findChildren<QLabel*>().size(), 0);

    // The block keeps to the right edge when the group's width changes.
    const int gap = supplierGoods->width() - bar->wartoscIloscPozycji()->geometry().right();
    supplierGoods->resize(1200, 80);
    EXPECT_EQ(supplierGoods->width() - bar->wartoscIloscPozycji()->geometry().right(), gap);
    goods->resize(900, 60);
    EXPECT_EQ(bar->parentWidget(), supplierGoods);

    // The group takes the bar and its counters with it.
    QPointer<PagingBar> watched(bar);
    QPointer<QLabel> counter(bar->wartoscIlStron());
    delete supplierGoods;
    EXPECT_TRUE(watched.isNull());
    EXPECT_TRUE(counter.isNull());
}

TEST_F(PagingBarTest, BarGoingFirstTakesItsCounters) {
    QGroupBox group;
    group.resize(800, 60);
    auto* bar = new PagingBar;
    bar->przeniesDo(&group, false);
    QPointer<QLabel> counter(bar->etykietaIloscPozycji());
    delete bar;
    EXPECT_TRUE(counter.isNull());
    group.resize(900, 60);  // no filter of a deleted bar left behind
    EXPECT_TRUE(group.findChildren<QWidget*>().isEmpty());
}

}  // namespace
}  // namespace kmx::app
