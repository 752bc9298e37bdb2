#include "app/result_grid.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "../data/test_catalog.h"
#include "app/paging_bar.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/tdm.h"

namespace kmx::app {
namespace {

using data::DataSet;
using data::testing::buildCatalog;
using data::testing::kKey;
using data::testing::TempDir;

// 120 goods: ID x, NAZWA "Towar xxx" (ID 3 is "Łata"), idx_NAZWA = 121 - x
// (so the rank order is the reverse of the text order), CENA = 10 x.
class ResultGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto file = dir_.file("kmx.dat");
        buildCatalog(
            file,
            "CREATE TABLE TOWAR(ID INTEGER PRIMARY KEY, NAZWA TEXT, idx_NAZWA INTEGER, CENA INTEGER);"
            "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 120)"
            " INSERT INTO TOWAR SELECT x, printf('Towar %03d', x), 121 - x, 10 * x FROM n;"
            "UPDATE TOWAR SET NAZWA = '\243ata' WHERE ID = 3;");
        std::string error;
        ASSERT_TRUE(db_.open(file, kKey, error)) << error;
        set_.setDatabase(&db_);
        set_.setDisplay("CENA", [](const DataSet& ds, DataSet::RowId row) {
            return std::to_string(ds.cellAt(row, ds.fieldIndex("CENA")).asInt()) + ",00";
        });
    }

    void open(const std::string& where = "ID <= 35") {
        std::string error;
        ASSERT_TRUE(set_.open("SELECT * FROM TOWAR WHERE " + where + " ORDER BY ID", error)) << error;
    }

    static std::vector<GridColumn> columns() {
        return {{QStringLiteral("Nazwa"), QStringLiteral("NAZWA"), 200},
                {QStringLiteral("Id"), QStringLiteral("ID"), 50},
                {QStringLiteral("Cena"), QStringLiteral("CENA"), 90, Qt::AlignRight | Qt::AlignVCenter}};
    }

    // Sorting "NAZWA" goes by its rank; the others by themselves.
    std::unique_ptr<ResultGrid> makeGrid() {
        auto grid = std::make_unique<ResultGrid>(set_, columns(), [](const QString& field) {
            return field.compare(QStringLiteral("nazwa"), Qt::CaseInsensitive) == 0
                       ? QStringLiteral("idx_NAZWA")
                       : QString();
        });
        grid->resize(500, 374);
        grid->show();
        QApplication::processEvents();
        return grid;
    }

    QString text(const ResultGrid& grid, int row, int column) const {
        return grid.model()->index(row, column).data().toString();
    }
    long long currentId() const { return set_.value(set_.fieldIndex("ID")).asInt(); }

    static void mouse(QWidget* target, QEvent::Type type, QPoint pos) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), Qt::LeftButton, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }
    static void click(QWidget* target, QPoint pos) {
        mouse(target, QEvent::MouseButtonPress, pos);
        mouse(target, QEvent::MouseButtonRelease, pos);
    }
    static void doubleClick(QWidget* target, QPoint pos) {
        click(target, pos);
        mouse(target, QEvent::MouseButtonDblClick, pos);
        mouse(target, QEvent::MouseButtonRelease, pos);
    }
    static QPoint titlePos(const ResultGrid& grid, int section) {
        const QHeaderView* h = grid.horizontalHeader();
        return {h->sectionViewportPosition(section) + h->sectionSize(section) / 2, h->height() / 2};
    }
    static QPoint rowPos(const ResultGrid& grid, int row) {
        return grid.visualRect(grid.model()->index(row, 0)).center();
    }
    static void key(QWidget* target, int k) {
        QKeyEvent event(QEvent::KeyPress, k, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }

    TempDir dir_;
    data::Database db_;
    DataSet set_;
};

// ------------------------------------------------------------------ the model

TEST_F(ResultGridTest, ModelShowsTheViewThroughTheDisplayRoutines) {
    open();
    DataSetModel model(set_, columns());
    EXPECT_EQ(model.rowCount(), 35);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Nazwa");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "Cena");
    EXPECT_EQ(model.index(0, 0).data().toString(), "Towar 001");
    EXPECT_EQ(model.index(2, 0).data().toString(), QString::fromUtf8("Łata"));  // Windows-1250 in the file
    EXPECT_EQ(model.index(3, 2).data().toString(), "40,00");                    // the display routine
    EXPECT_EQ(model.index(34, 1).data().toString(), "35");
    EXPECT_EQ(model.index(3, 2).data(Qt::TextAlignmentRole).toInt(),
              static_cast<int>(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(model.index(3, 0).data(Qt::TextAlignmentRole).toInt(),
              static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter));
    EXPECT_FALSE(model.index(35, 0).data().isValid());

    // Reading rows leaves the cursor where it was.
    EXPECT_EQ(set_.recNo(), 1);
}

TEST_F(ResultGridTest, ModelFollowsOpenCloseAndReopen) {
    DataSetModel model(set_, columns());
    int resets = 0;
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });
    EXPECT_EQ(model.rowCount(), 0);

    open();
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(model.rowCount(), 35);

    set_.close();
    EXPECT_EQ(resets, 2);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.index(0, 0).isValid());

    open("ID IN (7, 9, 11)");
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.index(1, 0).data().toString(), "Towar 009");

    // A column the set lacks shows empty text.
    DataSetModel missing(set_, {{QStringLiteral("X"), QStringLiteral("BRAK"), 40}});
    EXPECT_EQ(missing.rowCount(), 3);
    EXPECT_EQ(missing.index(0, 0).data().toString(), QString());
}

TEST_F(ResultGridTest, ModelReadsTheSetInPlaceAfterASort) {
    open();
    DataSetModel model(set_, columns());
    ASSERT_EQ(model.index(0, 0).data().toString(), "Towar 001");
    ASSERT_TRUE(set_.sort(set_.fieldIndex("idx_NAZWA"), true));
    // Ranks run backwards, so the last goods item comes first.
    EXPECT_EQ(model.index(0, 0).data().toString(), "Towar 035");
    EXPECT_EQ(model.index(34, 0).data().toString(), "Towar 001");
    ASSERT_TRUE(set_.sort(set_.fieldIndex("CENA"), false));
    EXPECT_EQ(model.index(0, 2).data().toString(), "350,00");
}

TEST_F(ResultGridTest, ModelChainsToTheResetHandlerBeforeIt) {
    int earlier = 0;
    set_.setOnReset([&](DataSet&, DataSet::ResetReason) { ++earlier; });
    auto first = std::make_unique<DataSetModel>(set_, columns());
    auto second = std::make_unique<DataSetModel>(set_, columns());
    open();
    EXPECT_EQ(earlier, 1);
    EXPECT_EQ(first->rowCount(), 35);
    EXPECT_EQ(second->rowCount(), 35);

    // The first model goes while the second is chained after it: the chain
    // still reaches the earlier handler.
    first.reset();
    open("ID <= 4");  // closes (one reset), then opens (another)
    EXPECT_EQ(earlier, 3);
    EXPECT_EQ(second->rowCount(), 4);

    // The last model unlinks itself.
    second.reset();
    set_.close();
    EXPECT_EQ(earlier, 4);
}

// ------------------------------------------------------------------- the grid

TEST_F(ResultGridTest, GridLook) {
    open();
    auto grid = makeGrid();
    EXPECT_EQ(grid->font().pixelSize(), 13);
    EXPECT_EQ(grid->font().family(), "Arial");
    EXPECT_FALSE(grid->verticalHeader()->isVisible());
    EXPECT_EQ(grid->rowHeight(0), 20);
    EXPECT_EQ(grid->horizontalHeader()->height(), 20);
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(grid->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(grid->columnWidth(0), 200);
    EXPECT_EQ(grid->columnWidth(1), 50);
    // The last column fills the rest of the width.
    const int inner = grid->viewport()->width();
    EXPECT_EQ(grid->columnWidth(0) + grid->columnWidth(1) + grid->columnWidth(2), inner);

    // Colours as painted: green title, grey second row, white third row.
    const QImage title = grid->horizontalHeader()->grab().toImage();
    EXPECT_EQ(QColor(title.pixel(grid->columnWidth(0) - 10, 3)), QColor(125, 171, 84));
    const QImage rows = grid->viewport()->grab().toImage();
    const int x = grid->columnWidth(0) + 40;  // right of the short "Id" texts
    EXPECT_EQ(QColor(rows.pixel(x, 20 + 10)), QColor(226, 226, 226));
    EXPECT_EQ(QColor(rows.pixel(x, 40 + 10)), QColor(Qt::white));
}

TEST_F(ResultGridTest, SelectionMovesTheCursorAndTheCursorMovesTheSelection) {
    open();
    auto grid = makeGrid();
    int scrolls = 0;
    // As the main window does: every cursor move calls followCursor().
    set_.setAfterScroll([&](DataSet&) {
        ++scrolls;
        grid->followCursor();
    });
    EXPECT_EQ(grid->currentIndex().row(), 0);

    click(grid->viewport(), rowPos(*grid, 4));
    EXPECT_EQ(set_.recNo(), 5);
    EXPECT_EQ(scrolls, 1);
    EXPECT_EQ(grid->currentIndex().row(), 4);

    key(grid.get(), Qt::Key_Down);
    EXPECT_EQ(set_.recNo(), 6);
    EXPECT_EQ(scrolls, 2);

    set_.moveTo(20);
    EXPECT_EQ(grid->currentIndex().row(), 19);
    ASSERT_EQ(grid->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(grid->selectionModel()->selectedRows().front().row(), 19);
    EXPECT_EQ(scrolls, 3);  // following the cursor moved nothing

    // Without the notification the grid follows on request only.
    set_.setAfterScroll({});
    set_.last();
    EXPECT_EQ(grid->currentIndex().row(), 19);
    grid->followCursor();
    EXPECT_EQ(grid->currentIndex().row(), 34);
    EXPECT_EQ(set_.recNo(), 35);
}

TEST_F(ResultGridTest, TitleClickSortsAscendingThenDescendingWithTheArrow) {
    open();
    auto grid = makeGrid();
    QHeaderView* header = grid->horizontalHeader();
    const int rank = set_.fieldIndex("idx_NAZWA");
    std::vector<int> clicked;
    QObject::connect(grid.get(), &ResultGrid::titleClicked, [&](int c) { clicked.push_back(c); });
    EXPECT_EQ(header->sortIndicatorSection(), -1);

    ResultGrid::KliknietoTytul() = false;
    click(header->viewport(), titlePos(*grid, 0));
    EXPECT_TRUE(ResultGrid::KliknietoTytul());
    EXPECT_EQ(set_.sortField(), rank);
    EXPECT_TRUE(set_.sortAscending());
    EXPECT_EQ(text(*grid, 0, 0), "Towar 035");
    EXPECT_EQ(header->sortIndicatorSection(), 0);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);

    click(header->viewport(), titlePos(*grid, 0));
    EXPECT_EQ(set_.sortField(), rank);
    EXPECT_FALSE(set_.sortAscending());
    EXPECT_EQ(text(*grid, 0, 0), "Towar 001");
    EXPECT_EQ(header->sortIndicatorSection(), 0);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);

    // Another title: that column, ascending, and the arrow moves there.
    click(header->viewport(), titlePos(*grid, 2));
    EXPECT_EQ(set_.sortField(), set_.fieldIndex("CENA"));
    EXPECT_TRUE(set_.sortAscending());
    EXPECT_EQ(text(*grid, 0, 2), "10,00");
    EXPECT_EQ(header->sortIndicatorSection(), 2);
    EXPECT_EQ(clicked, (std::vector<int>{0, 0, 2}));

    // A click on a data cell clears the flag.
    click(grid->viewport(), rowPos(*grid, 1));
    EXPECT_FALSE(ResultGrid::KliknietoTytul());
}

TEST_F(ResultGridTest, SortKeepsTheCursorOnItsRowAndTheSelectionWithIt) {
    open();
    auto grid = makeGrid();
    set_.moveTo(10);
    grid->followCursor();
    ASSERT_EQ(currentId(), 10);
    ASSERT_TRUE(grid->sortByTitle(0));
    // Ranks 111 (ID 10) .. 86 (ID 35): ID 10 is 26th in ascending rank order.
    EXPECT_EQ(currentId(), 10);
    EXPECT_EQ(set_.recNo(), 26);
    EXPECT_EQ(grid->currentIndex().row(), 25);
    EXPECT_EQ(text(*grid, 25, 1), "10");
}

TEST_F(ResultGridTest, SortShowsTheHourglassAndHoldsThePainting) {
    open();
    auto grid = makeGrid();
    bool sawHourglass = false;
    bool sawPaintingHeld = false;
    const auto previous = set_.onReset();
    set_.setOnReset([&](DataSet& ds, DataSet::ResetReason why) {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        sawHourglass = cursor && cursor->shape() == Qt::WaitCursor;
        sawPaintingHeld = !grid->updatesEnabled();
        if (previous) previous(ds, why);
    });
    ASSERT_TRUE(grid->sortByTitle(0));
    EXPECT_TRUE(sawHourglass);
    EXPECT_TRUE(sawPaintingHeld);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(grid->updatesEnabled());
}

TEST_F(ResultGridTest, SortThatCannotHappenChangesNothing) {
    auto grid = std::make_unique<ResultGrid>(
        set_,
        std::vector<GridColumn>{{QStringLiteral("Nazwa"), QStringLiteral("NAZWA"), 100},
                                {QStringLiteral("Brak"), QStringLiteral("BRAK"), 100}},
        nullptr);
    EXPECT_FALSE(grid->sortByTitle(0));  // closed set
    open();
    ASSERT_TRUE(grid->sortByTitle(0));  // no map: the field itself
    EXPECT_EQ(set_.sortField(), set_.fieldIndex("NAZWA"));
    EXPECT_FALSE(grid->sortByTitle(1));  // no such field
    EXPECT_EQ(set_.sortField(), set_.fieldIndex("NAZWA"));
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorSection(), 0);
}

TEST_F(ResultGridTest, ANewRunStartsWithoutTheArrow) {
    open();
    auto grid = makeGrid();
    ASSERT_TRUE(grid->sortByTitle(0));
    ASSERT_TRUE(grid->sortByTitle(0));
    ASSERT_FALSE(set_.sortAscending());
    open();
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorSection(), -1);
    EXPECT_EQ(text(*grid, 0, 0), "Towar 001");
    ASSERT_TRUE(grid->sortByTitle(0));
    EXPECT_TRUE(set_.sortAscending());
}

TEST_F(ResultGridTest, DoubleClicksOpenRowsButNotTitles) {
    open();
    auto grid = makeGrid();
    int activated = 0;
    int enters = 0;
    QObject::connect(grid.get(), &ResultGrid::rowActivated, [&] { ++activated; });
    QObject::connect(grid.get(), &ResultGrid::enterPressed, [&] { ++enters; });

    doubleClick(grid->horizontalHeader()->viewport(), titlePos(*grid, 0));
    EXPECT_EQ(activated, 0);
    EXPECT_TRUE(ResultGrid::KliknietoTytul());
    EXPECT_EQ(set_.sortField(), set_.fieldIndex("idx_NAZWA"));
    grid->scrollToTop();

    // A double-click message alone after a title click (no cell click between).
    mouse(grid->viewport(), QEvent::MouseButtonDblClick, rowPos(*grid, 2));
    EXPECT_EQ(activated, 0);

    doubleClick(grid->viewport(), rowPos(*grid, 2));
    EXPECT_EQ(activated, 1);
    EXPECT_FALSE(ResultGrid::KliknietoTytul());
    EXPECT_EQ(set_.recNo(), 3);
    EXPECT_EQ(currentId(), 33);  // third in rank order

    // Enter leaves the decision to the window; the flag is untouched.
    ResultGrid::KliknietoTytul() = true;
    key(grid.get(), Qt::Key_Return);
    key(grid.get(), Qt::Key_Enter);
    EXPECT_EQ(enters, 2);
    EXPECT_EQ(activated, 1);
    EXPECT_TRUE(ResultGrid::KliknietoTytul());
    ResultGrid::KliknietoTytul() = false;
}

// ------------------------------------------------------------------ paging

TEST(PagingRules, LinesPerPageFromTheGridHeight) {
    EXPECT_EQ(liczbaLiniiNaStronie(374), 17);  // 371 / 20 = 18, minus the title row
    EXPECT_EQ(liczbaLiniiNaStronie(383), 18);
    EXPECT_EQ(liczbaLiniiNaStronie(382), 17);
    EXPECT_EQ(liczbaLiniiNaStronie(43), 1);
    EXPECT_EQ(liczbaLiniiNaStronie(42), 0);
    EXPECT_EQ(liczbaLiniiNaStronie(10), -1);
}

TEST(PagingRules, PageCount) {
    EXPECT_EQ(liczbaStron(35, 17), 3);
    EXPECT_EQ(liczbaStron(34, 17), 2);
    EXPECT_EQ(liczbaStron(1, 17), 1);
    EXPECT_EQ(liczbaStron(0, 17), 0);
    EXPECT_EQ(liczbaStron(35, 0), 35);  // a grid with no line counts one
    EXPECT_EQ(liczbaStron(35, -3), 35);
    EXPECT_EQ(liczbaStron(2147483647, 2), 1073741824);
}

TEST(PagingRules, StepUnit) {
    EXPECT_EQ(jednostkaKroku(1), QString::fromUtf8("stronę"));
    EXPECT_EQ(jednostkaKroku(2), "strony");
    EXPECT_EQ(jednostkaKroku(4), "strony");
    EXPECT_EQ(jednostkaKroku(5), "stron");
    EXPECT_EQ(jednostkaKroku(22), "stron");
    EXPECT_EQ(jednostkaKroku(50), "stron");
}

TEST_F(ResultGridTest, TallGridPagesAndPageNumber) {
    open();
    auto grid = makeGrid();
    ASSERT_EQ(grid->height(), 374);
    EXPECT_EQ(grid->linesPerPage(), 17);
    const int pages = liczbaStron(set_.recordCount(), grid->linesPerPage());
    EXPECT_EQ(pages, 3);
    set_.moveTo(18);
    EXPECT_EQ(data::TDM::ObliczNumerStrBiez(pages, grid->linesPerPage(), set_.recNo()), 2);
    set_.moveTo(17);
    EXPECT_EQ(data::TDM::ObliczNumerStrBiez(pages, grid->linesPerPage(), set_.recNo()), 1);
    // Taller grid, fewer pages.
    grid->resize(500, 800);
    EXPECT_EQ(grid->linesPerPage(), 38);
    EXPECT_EQ(liczbaStron(set_.recordCount(), grid->linesPerPage()), 1);
}

// A list with its paging bar working together, as the main window joins them;
// saved as a picture when KMX_SCREENSHOT_DIR names a folder.
TEST_F(ResultGridTest, ListWithItsPagingBar) {
    open();
    QWidget page;
    page.resize(900, 460);
    auto* layout = new QVBoxLayout(&page);
    auto* header = new QWidget(&page);
    header->setFixedHeight(56);
    auto* grid = new ResultGrid(
        set_, columns(),
        [](const QString& f) {
            return f == QStringLiteral("NAZWA") ? QStringLiteral("idx_NAZWA") : QString();
        },
        &page);
    layout->addWidget(header);
    layout->addWidget(grid);
    auto* bar = new PagingBar(&page);
    page.show();
    QApplication::processEvents();
    bar->przeniesDo(header, false);
    bar->UstawIloscPozycji(set_.recordCount());
    bar->UstawIloscStron(liczbaStron(set_.recordCount(), grid->linesPerPage()));
    bar->setCel([&] { return PagingBar::Cel{&set_, grid->linesPerPage()}; });
    set_.setAfterScroll([&](DataSet& ds) {
        grid->followCursor();
        bar->UstawPrzyciskiStron(&ds, bar->iloscPozycji());
    });
    set_.moveTo(4);
    ASSERT_TRUE(grid->sortByTitle(0));
    // ID 4 has rank 117; the ranks of IDs 35..1 run 86..120, so it is 32nd.
    EXPECT_EQ(set_.recNo(), 32);
    EXPECT_EQ(grid->currentIndex().row(), 31);
    EXPECT_TRUE(bar->przyciskNastepna()->isEnabled());
    bar->przyciskNastepna()->click();  // step 1 x the grid's lines: stops on the last row
    EXPECT_EQ(set_.recNo(), 35);
    EXPECT_EQ(grid->currentIndex().row(), 34);
    EXPECT_FALSE(bar->przyciskNastepna()->isEnabled());
    EXPECT_FALSE(bar->przyciskOstatnia()->isEnabled());
    EXPECT_TRUE(bar->przyciskPierwsza()->isEnabled());
    EXPECT_TRUE(header->rect().contains(bar->geometry()));
    EXPECT_TRUE(header->rect().contains(bar->wartoscIloscPozycji()->geometry()));

    const QString folder = qEnvironmentVariable("KMX_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        QApplication::processEvents();
        QDir().mkpath(folder);
        EXPECT_TRUE(page.grab().save(QDir(folder).filePath(QStringLiteral("result_grid.png"))));
    }
}

}  // namespace
}  // namespace kmx::app
