// Word wrapping and the fonts the reports are measured with.
#include <gtest/gtest.h>

#include <QFontInfo>

#include "reports/engine/measure.h"

namespace kmx::reports {
namespace {

TEST(Wrap, BreaksAtBlanksHyphensAndInsideWordsTooLong) {
    FixedMeasurer m(1.0f, 4.0f);  // 1 mm a character at 10 pt
    const FontSpec f;
    EXPECT_EQ(m.wrap(u"ala ma kota", f, 6), (QStringList{"ala ma", "kota"}));
    // Blanks at a break go; blanks inside a line and at its start stay.
    EXPECT_EQ(m.wrap(u"ala  ma    kota", f, 7), (QStringList{"ala  ma", "kota"}));
    EXPECT_EQ(m.wrap(u"  ala", f, 10), (QStringList{"  ala"}));
    // After a hyphen when the rest does not fit.
    EXPECT_EQ(m.wrap(u"beton-komórkowy", f, 8), (QStringList{"beton-", "komórkow", "y"}));
    EXPECT_EQ(m.wrap(u"blok beton-komórkowy", f, 11), (QStringList{"blok beton-", "komórkowy"}));
    // A word wider than the line is cut by characters.
    EXPECT_EQ(m.wrap(u"abcdefghij", f, 4), (QStringList{"abcd", "efgh", "ij"}));
    // Line ends always break, "\r\n" included; an empty paragraph stays a line.
    EXPECT_EQ(m.wrap(u"a\r\n\nb", f, 10), (QStringList{"a", "", "b"}));
    // Blanks only: one empty line; nothing: one empty line.
    EXPECT_EQ(m.wrap(u"   ", f, 10), (QStringList{""}));
    EXPECT_EQ(m.wrap(u"", f, 10), (QStringList{""}));
    // A text that fits exactly is one line.
    EXPECT_EQ(m.wrap(u"abcd", f, 4), (QStringList{"abcd"}));
}

TEST(Wrap, FixedMeasurerScalesWithPoints) {
    FixedMeasurer m(2.0f, 4.0f);
    EXPECT_FLOAT_EQ(m.widthMm(u"abc", FontSpec{5, false}), 3.0f);
    EXPECT_FLOAT_EQ(m.lineHeightMm(FontSpec{20, false}), 8.0f);
}

TEST(FontMeasurer, ArialResolvesToASansFontWithSensibleSizes) {
    const QFont f = reportFont(FontSpec{10, false}, kUnitsPerMm);
    // 10 pt = 3.528 mm = 353 units of 1/100 mm.
    EXPECT_EQ(f.pixelSize(), 353);
    const QString family = QFontInfo(f).family();
    EXPECT_TRUE(family.contains(QStringLiteral("Arial")) ||
                family.contains(QStringLiteral("Liberation Sans")))
        << family.toStdString();

    FontMeasurer m;
    const float line = m.lineHeightMm(FontSpec{10, false});
    EXPECT_GT(line, 3.6f);
    EXPECT_LT(line, 4.6f);
    const float plain = m.widthMm(u"Lista towarów", FontSpec{10, false});
    const float bold = m.widthMm(u"Lista towarów", FontSpec{10, true});
    EXPECT_GT(plain, 15.f);
    EXPECT_LT(plain, 30.f);
    EXPECT_GT(bold, plain);
    // Cached and fresh measurements agree; widths add up across words.
    EXPECT_FLOAT_EQ(m.widthMm(u"Lista towarów", FontSpec{10, false}), plain);
    const QStringList lines =
        m.wrap(u"Lista towarów wygenerowana z systemu KALMAREX", FontSpec{10, false}, 30);
    ASSERT_GE(lines.size(), 2);
    for (const QString& l : lines) EXPECT_LE(m.widthMm(l, FontSpec{10, false}), 30.01f) << l.toStdString();
    EXPECT_EQ(lines.join(' '), QStringLiteral("Lista towarów wygenerowana z systemu KALMAREX"));
}

}  // namespace
}  // namespace kmx::reports
