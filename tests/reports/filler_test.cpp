// Laying bands out on pages: headers and footers on every page, page breaks,
// growing rows, bands left out, bands kept together, bands taller than a
// page, cancelling. Measured with fixed character widths so that every
// position can be worked out by hand.
#include <gtest/gtest.h>

#include <vector>

#include "reports/engine/filler.h"

namespace kmx::reports {
namespace {

// Rows numbered 1..n.
class Numbers : public RowSource {
public:
    explicit Numbers(int n) : n_(n) {}
    bool first() override {
        i_ = 1;
        return i_ <= n_;
    }
    bool next() override { return ++i_ <= n_; }
    int current() const { return i_; }

private:
    int n_;
    int i_ = 0;
};

// A page 100 mm high with 10 mm margins: title 10, header 5, footer 5, rows 10.
// Page 1 holds rows from y 25 to the footer at 85 (6 rows), the others from
// 15 (7 rows).
ReportDefinition smallReport() {
    ReportDefinition d;
    d.pageHeightMm = 100;
    d.pageWidthMm = 100;
    d.title = makeBand(BandKind::Title, "T", 10);
    d.title->add(label("tytul", 0, 0, 80, "Tytuł"));
    d.columnHeader = makeBand(BandKind::ColumnHeader, "H", 5, SideAll);
    d.columnHeader->add(label("naglowek", 0, 0, 80, "Nagłówek"));
    d.detail = makeBand(BandKind::Detail, "R", 10, SideLeft | SideRight | SideBottom);
    d.detail->add(field("lp", 0, 1, 10, [](const FillContext& c) { return QString::number(c.rowNumber); }));
    d.pageFooter = makeBand(BandKind::PageFooter, "F", 5);
    d.pageFooter->add(field(
        "str", 50, 0, 30, [](const FillContext& c) { return "str. " + QString::number(c.pageNumber); },
        FontSpec{}, Align::Right));
    return d;
}

QString textOf(const PageStore& s, int page, const TextItem* t) {
    return s.page(page).textOf(*t).toString();
}

std::vector<QString> texts(const PageStore& s, int page, const QString& name) {
    std::vector<QString> out;
    for (const TextItem* t : textsNamed(s, page, name)) out.push_back(textOf(s, page, t));
    return out;
}

TEST(Filler, HeadersOnEveryPageFooterOnEveryPageTitleOnce) {
    ReportDefinition d = smallReport();
    Numbers rows(20);
    PageStore s;
    FixedMeasurer m;
    ASSERT_EQ(fillReport(d, &rows, s, m, QDate(2026, 12, 9)), FillResult::Done);
    ASSERT_EQ(s.pageCount(), 3);  // 6 + 7 + 7
    EXPECT_EQ(textsNamed(s, 1, "tytul").size(), 1u);
    EXPECT_TRUE(textsNamed(s, 2, "tytul").empty());
    for (int p = 1; p <= 3; ++p) {
        ASSERT_EQ(textsNamed(s, p, "naglowek").size(), 1u) << p;
        EXPECT_EQ(texts(s, p, "str"), std::vector<QString>{"str. " + QString::number(p)});
        // The footer stands at the foot of the page: 100 - 10 - 5.
        EXPECT_FLOAT_EQ(textsNamed(s, p, "str").front()->rect.y, 85.f);
    }
    EXPECT_FLOAT_EQ(textsNamed(s, 1, "naglowek").front()->rect.y, 20.f);
    EXPECT_FLOAT_EQ(textsNamed(s, 2, "naglowek").front()->rect.y, 10.f);

    // Row numbers run on across pages; the first row of page 2 sits under its header.
    EXPECT_EQ(texts(s, 1, "lp"), (std::vector<QString>{"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(texts(s, 2, "lp").front(), "7");
    EXPECT_EQ(texts(s, 3, "lp").back(), "20");
    EXPECT_FLOAT_EQ(textsNamed(s, 2, "lp").front()->rect.y, 16.f);
    // Row frames: left, right and bottom; the header boxed; at the left margin, full width.
    const auto frames = boxesNamed(s, 1, "R");
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames.front()->sides, SideLeft | SideRight | SideBottom);
    EXPECT_FLOAT_EQ(frames.front()->rect.x, 10.f);
    EXPECT_FLOAT_EQ(frames.front()->rect.w, 80.f);
    EXPECT_FLOAT_EQ(frames.back()->rect.bottom(), 85.f);
    EXPECT_EQ(boxesNamed(s, 2, "H").front()->sides, SideAll);
}

TEST(Filler, NoRowsGivesTitleHeaderAndFooterAndNoSourcePrintsTheDetailOnce) {
    ReportDefinition d = smallReport();
    Numbers none(0);
    PageStore s;
    FixedMeasurer m;
    ASSERT_EQ(fillReport(d, &none, s, m, QDate(2026, 1, 1)), FillResult::Done);
    ASSERT_EQ(s.pageCount(), 1);
    EXPECT_EQ(textsNamed(s, 1, "tytul").size(), 1u);
    EXPECT_EQ(textsNamed(s, 1, "naglowek").size(), 1u);
    EXPECT_EQ(texts(s, 1, "str"), std::vector<QString>{"str. 1"});
    EXPECT_TRUE(textsNamed(s, 1, "lp").empty());

    ASSERT_EQ(fillReport(d, nullptr, s, m, QDate(2026, 1, 1)), FillResult::Done);
    EXPECT_EQ(texts(s, 1, "lp"), std::vector<QString>{"1"});
}

TEST(Filler, AWrappedCellGrowsItsRowAndTheOtherCellsStayAtTheTop) {
    ReportDefinition d = smallReport();
    Element& name = d.detail->add(field("nazwa", 20, 1, 10, [](const FillContext& c) {
        return c.rowNumber == 2 ? QString("aaaa bbbb cccc") : QString("krótka");
    }));
    name.wrap = name.grow = true;
    Numbers rows(3);
    PageStore s;
    FixedMeasurer m(1.0f, 4.0f);  // 1 mm a character, lines 4 mm
    ASSERT_EQ(fillReport(d, &rows, s, m, QDate()), FillResult::Done);
    const auto cells = textsNamed(s, 1, "nazwa");
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(textOf(s, 1, cells[1]), "aaaa bbbb\ncccc");
    // Two lines of 4 mm where one was designed: the row grows by 4 mm.
    EXPECT_FLOAT_EQ(cells[1]->rect.h, 8.f);
    const auto frames = boxesNamed(s, 1, "R");
    EXPECT_FLOAT_EQ(frames[0]->rect.h, 10.f);
    EXPECT_FLOAT_EQ(frames[1]->rect.h, 14.f);
    EXPECT_FLOAT_EQ(frames[2]->rect.y, 25.f + 10.f + 14.f);
    // The row number beside the grown cell keeps its place at the top.
    const auto lp = textsNamed(s, 1, "lp");
    EXPECT_FLOAT_EQ(lp[1]->rect.y, cells[1]->rect.y);
    EXPECT_FLOAT_EQ(lp[1]->rect.h, 4.f);
}

TEST(Filler, ABandLeftOutTakesNoSpaceAndHiddenElementsLeaveBlankRoom) {
    ReportDefinition d = smallReport();
    d.detail->heightMm = 6;
    auto& child = d.detail->addChild(makeBand(BandKind::Child, "C", 7, SideLeft | SideRight | SideBottom));
    child.add(label("dziecko", 0, 1, 30, "dziecko"));
    child.add(label("ukryty", 40, 1, 30, "ukryty"));
    child.beforePrint = [&child](const FillContext& c) {
        child.element("ukryty")->visible = c.rowNumber != 3;
        return c.rowNumber % 2 == 1;
    };
    Numbers rows(3);
    PageStore s;
    FixedMeasurer m;
    ASSERT_EQ(fillReport(d, &rows, s, m, QDate()), FillResult::Done);
    const auto children = textsNamed(s, 1, "dziecko");
    ASSERT_EQ(children.size(), 2u);  // rows 1 and 3
    // Row 1 at 25, its child at 31, row 2 at 38 with no child, row 3 at 44, its child at 50.
    const auto lp = textsNamed(s, 1, "lp");
    EXPECT_FLOAT_EQ(lp[1]->rect.y, 38.f + 1);
    EXPECT_FLOAT_EQ(lp[2]->rect.y, 44.f + 1);
    EXPECT_FLOAT_EQ(children[1]->rect.y, 50.f + 1);
    // The hidden element is gone on row 3 only; its neighbour did not move.
    EXPECT_EQ(textsNamed(s, 1, "ukryty").size(), 1u);
    EXPECT_FLOAT_EQ(children[1]->rect.x, 10.f);
}

TEST(Filler, ABandKeptWithThePreviousOneTakesItToTheNextPage) {
    ReportDefinition d;
    d.pageHeightMm = 100;
    d.pageFooter = makeBand(BandKind::PageFooter, "F", 5);
    // Content 10..85: A 10..50, B 50..70, and C would end at 90.
    d.detail = makeBand(BandKind::Detail, "A", 40);
    d.detail->add(label("a", 0, 0, 10, "A"));
    auto& b = d.detail->addChild(makeBand(BandKind::Child, "B", 20));
    b.add(label("b", 0, 0, 10, "B"));
    auto& c = d.detail->addChild(makeBand(BandKind::Child, "C", 20));
    c.add(label("c", 0, 0, 10, "C"));
    c.keepWithPrevious = true;
    Numbers rows(1);
    PageStore s;
    FixedMeasurer m;
    ASSERT_EQ(fillReport(d, &rows, s, m, QDate()), FillResult::Done);
    ASSERT_EQ(s.pageCount(), 2);
    EXPECT_EQ(textsNamed(s, 1, "a").size(), 1u);
    EXPECT_TRUE(textsNamed(s, 1, "b").empty());
    ASSERT_EQ(textsNamed(s, 2, "b").size(), 1u);
    EXPECT_FLOAT_EQ(textsNamed(s, 2, "b").front()->rect.y, 10.f);
    EXPECT_FLOAT_EQ(textsNamed(s, 2, "c").front()->rect.y, 30.f);
    // Without the rule only C moves.
    c.keepWithPrevious = false;
    ASSERT_EQ(fillReport(d, &rows, s, m, QDate()), FillResult::Done);
    EXPECT_EQ(textsNamed(s, 1, "b").size(), 1u);
    EXPECT_FLOAT_EQ(textsNamed(s, 2, "c").front()->rect.y, 10.f);
}

TEST(Filler, ABandTallerThanAPageContinuesOnTheNextPagesWithoutLosingALine) {
    ReportDefinition d;
    d.pageHeightMm = 100;
    d.pageFooter = makeBand(BandKind::PageFooter, "F", 5);
    d.pageFooter->add(
        field("str", 0, 0, 30, [](const FillContext& c) { return QString::number(c.pageNumber); }));
    d.detail = makeBand(BandKind::Detail, "D", 10, SideAll);
    QStringList lines;
    for (int i = 1; i <= 40; ++i) lines << QString("w%1").arg(i, 2, 10, QChar('0'));
    Element& e = d.detail->add(label("opis", 0, 2, 80, lines.join('\n')));
    e.wrap = e.grow = true;
    PageStore s;
    FixedMeasurer m(1.0f, 4.0f);
    ASSERT_EQ(fillReport(d, nullptr, s, m, QDate()), FillResult::Done);
    // 2 + 160 + 4 (the bottom gap) = 166 mm over pages of 75 mm.
    ASSERT_EQ(s.pageCount(), 3);
    QStringList seen;
    for (int p = 1; p <= 3; ++p) {
        for (const TextItem* t : textsNamed(s, p, "opis")) {
            seen << s.page(p).textOf(*t).toString().split('\n');
            EXPECT_GE(t->rect.y, 10.f - 0.01f);
            EXPECT_LE(t->rect.bottom(), 85.f + 0.01f);
        }
        EXPECT_EQ(texts(s, p, "str"), std::vector<QString>{QString::number(p)});
    }
    EXPECT_EQ(seen, lines);
    // The frame is open at every cut: top only at the start, bottom only at the end.
    EXPECT_EQ(boxesNamed(s, 1, "D").front()->sides, SideLeft | SideRight | SideTop);
    EXPECT_EQ(boxesNamed(s, 2, "D").front()->sides, SideLeft | SideRight);
    EXPECT_EQ(boxesNamed(s, 3, "D").front()->sides, SideLeft | SideRight | SideBottom);
}

TEST(Filler, AutoWidthClipAndFixedHeightWrapping) {
    ReportDefinition d;
    d.detail = makeBand(BandKind::Detail, "D", 10);
    Element& www = d.detail->add(label("www", 20, 1, 0, "www.example.pl"));
    www.autoWidth = true;
    Element& person = d.detail->add(label("osoba", 40, 1, 10, "aaaa bbbb cccc dddd eeee"));
    person.wrap = true;
    person.rect.h = 8.5f;  // two lines of 4 mm, no growing
    Element& town = d.detail->add(label("miasto", 60, 1, 5, "Jelenia Góra"));
    town.clip = true;
    PageStore s;
    FixedMeasurer m(1.0f, 4.0f);
    ASSERT_EQ(fillReport(d, nullptr, s, m, QDate()), FillResult::Done);
    EXPECT_FLOAT_EQ(textsNamed(s, 1, "www").front()->rect.w, 14.f);
    // Three lines of text, two fit in 8.5 mm: the band keeps its height.
    EXPECT_EQ(texts(s, 1, "osoba"), std::vector<QString>{"aaaa bbbb\ncccc dddd"});
    EXPECT_FLOAT_EQ(textsNamed(s, 1, "osoba").front()->rect.h, 8.5f);
    EXPECT_TRUE(boxesNamed(s, 1, "D").empty());  // a band without a frame draws none
    const TextItem* t = textsNamed(s, 1, "miasto").front();
    EXPECT_TRUE(t->flags & TextItem::Clipped);
    EXPECT_EQ(s.page(1).textOf(*t), u"Jelenia Góra");
}

TEST(Filler, TheListenerHearsEveryPageAndCanStop) {
    ReportDefinition d = smallReport();
    Numbers rows(100);
    PageStore s;
    FixedMeasurer m;
    std::vector<int> heard;
    s.setPageListener([&](int p) {
        heard.push_back(p);
        return p < 2;
    });
    EXPECT_EQ(fillReport(d, &rows, s, m, QDate()), FillResult::Cancelled);
    EXPECT_EQ(heard, (std::vector<int>{1, 2}));
    EXPECT_EQ(s.pageCount(), 2);
    // Stopped at the second page: the rows walked no further than it holds.
    EXPECT_EQ(rows.current(), 14);
}

TEST(Filler, TheDateComesFromTheCaller) {
    ReportDefinition d;
    d.detail = makeBand(BandKind::Detail, "D", 10);
    d.detail->add(field("data", 0, 0, 30, [](const FillContext& c) { return c.date.toString("dd-MM-yy"); }));
    PageStore s;
    FixedMeasurer m;
    ASSERT_EQ(fillReport(d, nullptr, s, m, QDate(2027, 3, 4)), FillResult::Done);
    EXPECT_EQ(texts(s, 1, "data"), std::vector<QString>{"04-03-27"});
}

}  // namespace
}  // namespace kmx::reports
