#pragma once
// Measuring text for the layout: widths, line heights and word wrapping in
// millimetres. The filler asks only this interface, so tests can lay out
// with a measurer of fixed widths and the program with the real fonts.

#include <QFont>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>

#include "reports/engine/prepared.h"

namespace kmx::reports {

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual float widthMm(QStringView text, const FontSpec& font) = 0;
    virtual float lineHeightMm(const FontSpec& font) = 0;

    // Breaks a text into lines no wider than the width: at blanks, after a
    // hyphen when the rest does not fit, inside a word only when the word
    // alone is too wide; "\n" (and "\r\n") always break. Blanks at a break
    // are dropped; a text of blanks only gives one empty line.
    QStringList wrap(QStringView text, const FontSpec& font, float widthMm);
};

// The fonts themselves, measured at a fixed resolution of 1/100 mm so that
// the layout is the same whatever device it is drawn on. Word widths are
// kept in a cache (names repeat the same words over and over).
class FontMeasurer : public TextMeasurer {
public:
    FontMeasurer();
    ~FontMeasurer() override;
    float widthMm(QStringView text, const FontSpec& font) override;
    float lineHeightMm(const FontSpec& font) override;

private:
    struct Fonts;
    std::unique_ptr<Fonts> fonts_;
};

// Every character the same width (widthPerCharMm × points / 10) and lines
// lineMm × points / 10 high: layouts whose breaks a test can work out by hand.
class FixedMeasurer : public TextMeasurer {
public:
    explicit FixedMeasurer(float charMmAt10pt = 2.0f, float lineMmAt10pt = 4.0f)
        : charMm_(charMmAt10pt), lineMm_(lineMmAt10pt) {}
    float widthMm(QStringView text, const FontSpec& font) override;
    float lineHeightMm(const FontSpec& font) override;

private:
    float charMm_;
    float lineMm_;
};

// The font an item is drawn and measured with, sized in pixels of a device
// with `pixelsPerMm`: family "Arial", no hinting, so widths scale linearly.
QFont reportFont(const FontSpec& spec, double pixelsPerMm);

// Design units: 1/100 mm.
inline constexpr double kUnitsPerMm = 100.0;

}  // namespace kmx::reports
