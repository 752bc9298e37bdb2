// The plain-text, HTML and PDF exports of prepared pages.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include "failing_device.h"
#include "reports/engine/exports.h"

namespace kmx::reports {
namespace {

void addText(PreparedPage& page, RectMm rect, QStringView text, Align align = Align::Left, float lineMm = 4,
             FontSpec font = {}, std::uint8_t flags = 0) {
    TextItem t;
    t.rect = rect;
    t.lineMm = lineMm;
    t.align = align;
    t.font = font;
    t.flags = flags;
    page.addText(t, text);
}

void addBox(PreparedPage& page, RectMm rect, float penMm, std::uint8_t sides) {
    BoxItem b;
    b.rect = rect;
    b.penMm = penMm;
    b.sides = sides;
    page.boxes.push_back(b);
}

QString blanks(int n) {
    return QString(n, QLatin1Char(' '));
}

// Two A4 pages: a heading row, a two-line name beside a right-aligned price,
// a centred total, two items that would overlap, a box; a page number on 2.
void fillGridSample(PageStore& store) {
    store.clear();
    PreparedPage p1;
    addText(p1, {10, 10, 100, 4}, u"Lista towarów");
    addText(p1, {150, 10.5f, 50, 4}, u"Strona 1", Align::Right);  // half a millimetre lower: the same row
    addText(p1, {60, 14, 20, 4}, u"12,50", Align::Right);
    addText(p1, {20, 15, 40, 8}, u"Łódź\nzażółć   ");
    addText(p1, {0, 40, 210, 4}, u"Razem", Align::Center);
    addText(p1, {100, 48, 10, 4}, u"ABCDEF");
    addText(p1, {104, 48, 20, 4}, u"XYZ");
    addBox(p1, {9, 9, 192, 50}, 0.2f, SideAll);
    store.addPage(std::move(p1));
    PreparedPage p2;
    addText(p2, {150, 10, 50, 4}, u"Strona 2", Align::Right);
    store.addPage(std::move(p2));
}

QByteArray textOf(const PageStore& store) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    EXPECT_TRUE(writeText(store, buffer, &error)) << error.toStdString();
    return buffer.data();
}

QByteArray htmlOf(const PageStore& store, const QString& title) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    EXPECT_TRUE(writeHtml(store, buffer, title, &error)) << error.toStdString();
    return buffer.data();
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ExportText, LaysPagesOutOnACharacterGrid) {
    PageStore store;
    fillGridSample(store);
    const QString expected =
        // "Strona 1" ends at 200 mm = column 100.
        blanks(5) + QStringLiteral("Lista towarów") + blanks(74) + QStringLiteral("Strona 1\n") +
        // Rows merged from 14 and 15 mm; the price ends at 80 mm = column 40.
        blanks(10) + QStringLiteral("Łódź") + blanks(21) + QStringLiteral("12,50\n") +
        // The second line of the name, trailing blanks gone.
        blanks(10) + QStringLiteral("zażółć\n") +
        // Four empty lines down to the total: one empty row.
        QStringLiteral("\n") +
        // Centred in the 105 columns of the page.
        blanks(50) + QStringLiteral("Razem\n\n") +
        // "XYZ" would start inside "ABCDEF": it moves right past one blank.
        blanks(50) + QStringLiteral("ABCDEF XYZ\n") +
        // Page 2 after a form feed.
        QStringLiteral("\f") + blanks(92) + QStringLiteral("Strona 2\n");
    EXPECT_EQ(QString::fromUtf8(textOf(store)).toStdString(), expected.toStdString());
}

TEST(ExportText, CentresInTheItemsColumnsAndKeepsControlCharactersOffTheGrid) {
    PageStore store;
    PreparedPage page;
    addText(page, {20, 10, 12, 4}, u"abc", Align::Center);     // columns 10..15: one blank left, two right
    addText(page, {20, 14, 4, 4}, u"szeroki", Align::Center);  // wider than its 2 columns
    addText(page, {0, 18, 100, 4}, u"a\fb\tc");
    addText(page, {0, 22, 20, 12}, u"x\n\ny");  // an empty line inside an item stays one empty row
    store.addPage(std::move(page));
    store.addPage(PreparedPage());
    const QString expected = blanks(11) + QStringLiteral("abc\n") + blanks(7) + QStringLiteral("szeroki\n") +
                             QStringLiteral("a b c\n") + QStringLiteral("x\n\ny\n") + QStringLiteral("\f");
    EXPECT_EQ(QString::fromUtf8(textOf(store)).toStdString(), expected.toStdString());
}

TEST(ExportHtml, PlacesEscapedItemsInMillimetresWhateverTheLocale) {
    struct LocaleGuard {
        QLocale saved;
        ~LocaleGuard() { QLocale::setDefault(saved); }
    } guard;
    QLocale::setDefault(QLocale(QLocale::Polish));
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));

    PageStore store;
    PreparedPage p1;
    addText(p1, {12.5f, 20.25f, 60, 8.4f}, u"Łódź\nzażółć", Align::Right, 4.2f, {9.5f, true},
            TextItem::Clipped);
    addText(p1, {10, 40, 100, 4}, u"Cement & <wapno> \"B'\"", Align::Center);
    addBox(p1, {20.25f, 30.5f, 40, 10}, 0.3f, SideLeft | SideTop);
    addBox(p1, {10, 60, 190, 0}, 0.2f, SideBottom);
    store.addPage(std::move(p1));
    PreparedPage p2;
    addText(p2, {10, 10, 50, 4}, u"Strona 2");
    store.addPage(std::move(p2));

    const QString html = QString::fromUtf8(htmlOf(store, QStringLiteral("Cennik <2024> & \"Łódź\"")));

    EXPECT_TRUE(html.startsWith(QStringLiteral("<!DOCTYPE html>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    EXPECT_TRUE(html.contains(QStringLiteral("<title>Cennik &lt;2024&gt; &amp; &quot;Łódź&quot;</title>")));
    EXPECT_TRUE(html.trimmed().endsWith(QStringLiteral("</html>")));

    EXPECT_EQ(html.count(QStringLiteral("<div class=\"page\" style=\"width:210mm;height:297mm\">")), 2);
    EXPECT_TRUE(html.contains(QStringLiteral("page-break-after: always")));

    // Lines joined by <br>, numbers with a point, the style of the item.
    EXPECT_TRUE(html.contains(QStringLiteral(
        "style=\"left:12.5mm;top:20.25mm;width:60mm;height:8.4mm;font-size:9.5pt;line-height:4.2mm;"
        "font-weight:bold;text-align:right;overflow:hidden\">Łódź<br>zażółć</div>")))
        << html.toStdString();
    EXPECT_TRUE(html.contains(
        QStringLiteral("text-align:center\">Cement &amp; &lt;wapno&gt; &quot;B&#39;&quot;</div>")));
    EXPECT_FALSE(html.contains(QStringLiteral("<wapno>")));
    EXPECT_FALSE(html.contains(QStringLiteral("12,5mm")));

    // Boxes: the sides they have, centred on the edges.
    EXPECT_TRUE(
        html.contains(QStringLiteral("left:20.1mm;top:30.35mm;width:40.3mm;height:10.3mm;"
                                     "border-left:0.3mm solid black;border-top:0.3mm solid black\"></div>")));
    EXPECT_TRUE(html.contains(QStringLiteral("height:0.2mm;border-bottom:0.2mm solid black\"></div>")));
    EXPECT_EQ(html.count(QStringLiteral("solid black")), 3);
}

TEST(ExportFormats, WriteTheirFilesInTheirOrder) {
    const std::vector<ExportFormat>& formats = exportFormats();
    ASSERT_EQ(formats.size(), 3u);
    PageStore store;
    fillGridSample(store);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const ExportFormat& f : formats)
        EXPECT_TRUE(f.filter.contains(QStringLiteral("(*.") + f.extension)) << f.filter.toStdString();

    QString error;
    const QString txt = dir.filePath(QStringLiteral("raport.") + formats[0].extension);
    ASSERT_TRUE(formats[0].write(store, txt, QStringLiteral("Lista"), &error)) << error.toStdString();
    EXPECT_EQ(contentsOf(txt), textOf(store));

    const QString html = dir.filePath(QStringLiteral("raport.") + formats[1].extension);
    ASSERT_TRUE(formats[1].write(store, html, QStringLiteral("Lista"), &error)) << error.toStdString();
    EXPECT_EQ(contentsOf(html), htmlOf(store, QStringLiteral("Lista")));

    const QString pdf = dir.filePath(QStringLiteral("raport.") + formats[2].extension);
    ASSERT_TRUE(formats[2].write(store, pdf, QStringLiteral("Lista"), &error)) << error.toStdString();
    EXPECT_TRUE(contentsOf(pdf).startsWith("%PDF"));

    // A folder that is not there: nothing written, the reason given.
    const QString missing = dir.filePath(QStringLiteral("brak/raport.txt"));
    error.clear();
    EXPECT_FALSE(formats[0].write(store, missing, QString(), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Nie można zapisać pliku"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(missing));
}

TEST(ExportWriters, ReportAFailingDevice) {
    PageStore store;
    fillGridSample(store);
    const qint64 textSize = textOf(store).size();
    const qint64 htmlSize = htmlOf(store, QString()).size();
    for (const qint64 limit : {qint64{0}, textSize / 2, textSize - 1}) {
        FailingDevice device(limit);
        QString error;
        EXPECT_FALSE(writeText(store, device, &error)) << limit;
        EXPECT_EQ(error, QStringLiteral("Nie można zapisać pliku: Brak miejsca na dysku")) << limit;
    }
    for (const qint64 limit : {qint64{0}, htmlSize / 2, htmlSize - 1}) {
        FailingDevice device(limit);
        QString error;
        EXPECT_FALSE(writeHtml(store, device, QString(), &error)) << limit;
        EXPECT_EQ(error, QStringLiteral("Nie można zapisać pliku: Brak miejsca na dysku")) << limit;
    }
}

}  // namespace
}  // namespace kmx::reports
