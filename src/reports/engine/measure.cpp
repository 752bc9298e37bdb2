#include "reports/engine/measure.h"

#include <QFontMetricsF>
#include <cmath>
#include <vector>

namespace kmx::reports {

namespace {

// Widths are compared with a little slack so that a text measured exactly as
// wide as its box still fits.
constexpr float kSlackMm = 0.01f;

struct Token {
    QStringView blanks;  // before the word
    QStringView word;
};

std::vector<Token> tokenize(QStringView paragraph) {
    std::vector<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = paragraph.size();
    while (i < n) {
        const qsizetype blankStart = i;
        while (i < n && paragraph[i] == QLatin1Char(' ')) ++i;
        const qsizetype wordStart = i;
        while (i < n && paragraph[i] != QLatin1Char(' ')) ++i;
        tokens.push_back(
            {paragraph.mid(blankStart, wordStart - blankStart), paragraph.mid(wordStart, i - wordStart)});
    }
    return tokens;
}

}  // namespace

QStringList TextMeasurer::wrap(QStringView text, const FontSpec& font, float width) {
    QStringList lines;
    qsizetype start = 0;
    while (true) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        const bool last = end < 0;
        if (last) end = text.size();
        QStringView paragraph = text.mid(start, end - start);
        if (paragraph.endsWith(QLatin1Char('\r'))) paragraph.chop(1);

        QString line;
        float lineW = 0;
        auto flush = [&] {
            lines.push_back(line);
            line.clear();
            lineW = 0;
        };
        // Puts a word on fresh lines, cut where it must be.
        auto placeAlone = [&](QStringView word) {
            while (!word.isEmpty()) {
                const float w = widthMm(word, font);
                if (w <= width + kSlackMm) {
                    line = word.toString();
                    lineW = w;
                    return;
                }
                // The longest part up to a hyphen that fits, else the most characters.
                qsizetype cut = 0;
                for (qsizetype h = word.lastIndexOf(QLatin1Char('-'), word.size() - 2); h >= 0;
                     h = h > 0 ? word.lastIndexOf(QLatin1Char('-'), h - 1) : -1) {
                    if (widthMm(word.left(h + 1), font) <= width + kSlackMm) {
                        cut = h + 1;
                        break;
                    }
                }
                if (cut == 0) {
                    qsizetype lo = 1, hi = word.size() - 1;
                    cut = 1;
                    while (lo <= hi) {
                        const qsizetype mid = (lo + hi) / 2;
                        if (widthMm(word.left(mid), font) <= width + kSlackMm) {
                            cut = mid;
                            lo = mid + 1;
                        } else {
                            hi = mid - 1;
                        }
                    }
                }
                line = word.left(cut).toString();
                flush();
                word = word.mid(cut);
            }
        };

        const std::vector<Token> tokens = tokenize(paragraph);
        bool empty = true;  // nothing on the current line yet
        for (std::size_t k = 0; k < tokens.size(); ++k) {
            const Token& t = tokens[k];
            if (t.word.isEmpty()) continue;  // blanks at the end of a paragraph are not drawn
            const float blanksW = empty ? 0 : widthMm(t.blanks, font);
            const float wordW = widthMm(t.word, font);
            if (empty) {
                // Blanks that open a paragraph stay with its first word when both fit.
                if (k == 0 && !t.blanks.isEmpty()) {
                    const float lead = widthMm(t.blanks, font);
                    if (lead + wordW <= width + kSlackMm) {
                        line = t.blanks.toString() + t.word.toString();
                        lineW = lead + wordW;
                        empty = false;
                        continue;
                    }
                }
                placeAlone(t.word);
                empty = false;
                continue;
            }
            if (lineW + blanksW + wordW <= width + kSlackMm) {
                line += t.blanks;
                line += t.word;
                lineW += blanksW + wordW;
                continue;
            }
            // The word does not fit behind the line: a part up to a hyphen may.
            qsizetype cut = 0;
            for (qsizetype h = t.word.lastIndexOf(QLatin1Char('-'), t.word.size() - 2); h >= 0;
                 h = h > 0 ? t.word.lastIndexOf(QLatin1Char('-'), h - 1) : -1) {
                if (lineW + blanksW + widthMm(t.word.left(h + 1), font) <= width + kSlackMm) {
                    cut = h + 1;
                    break;
                }
            }
            if (cut > 0) {
                line += t.blanks;
                line += t.word.left(cut);
                flush();
                placeAlone(t.word.mid(cut));
            } else {
                flush();
                placeAlone(t.word);
            }
        }
        lines.push_back(line);
        if (last) break;
        start = end + 1;
    }
    return lines;
}

// ------------------------------------------------------------ FontMeasurer

QFont reportFont(const FontSpec& spec, double pixelsPerMm) {
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setBold(spec.bold);
    const double px = static_cast<double>(spec.pt) / 72.0 * 25.4 * pixelsPerMm;
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(px))));
    return f;
}

struct FontMeasurer::Fonts {
    struct One {
        FontSpec spec;
        QFont font;
        QFontMetricsF metrics;
        QHash<QString, float> widths;  // in mm
        float lineMm = 0;
    };
    std::vector<std::unique_ptr<One>> fonts;

    One& of(const FontSpec& spec) {
        for (auto& f : fonts)
            if (f->spec == spec) return *f;
        const QFont font = reportFont(spec, kUnitsPerMm);
        fonts.push_back(std::make_unique<One>(One{spec, font, QFontMetricsF(font), {}, 0}));
        One& one = *fonts.back();
        one.lineMm = static_cast<float>(one.metrics.lineSpacing() / kUnitsPerMm);
        return one;
    }
};

FontMeasurer::FontMeasurer() : fonts_(std::make_unique<Fonts>()) {}
FontMeasurer::~FontMeasurer() = default;

float FontMeasurer::widthMm(QStringView text, const FontSpec& font) {
    if (text.isEmpty()) return 0;
    Fonts::One& f = fonts_->of(font);
    // Short pieces (words, codes, units) repeat endlessly: remember them,
    // up to a bound so that a huge list cannot grow the cache without end.
    const QString s = text.toString();
    const bool cacheable = s.size() <= 32;
    if (cacheable) {
        const auto it = f.widths.constFind(s);
        if (it != f.widths.cend()) return it.value();
    }
    const float w = static_cast<float>(f.metrics.horizontalAdvance(s) / kUnitsPerMm);
    if (cacheable) {
        if (f.widths.size() > 200000) f.widths.clear();
        f.widths.insert(s, w);
    }
    return w;
}

float FontMeasurer::lineHeightMm(const FontSpec& font) {
    return fonts_->of(font).lineMm;
}

// ------------------------------------------------------------ FixedMeasurer

float FixedMeasurer::widthMm(QStringView text, const FontSpec& font) {
    return static_cast<float>(text.size()) * charMm_ * font.pt / 10.0f;
}

float FixedMeasurer::lineHeightMm(const FontSpec& font) {
    return lineMm_ * font.pt / 10.0f;
}

}  // namespace kmx::reports
