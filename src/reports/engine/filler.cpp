#include "reports/engine/filler.h"

#include <algorithm>
#include <cmath>

namespace kmx::reports {

Element* Band::element(const QString& elementName) {
    for (Element& e : elements)
        if (e.name == elementName) return &e;
    return nullptr;
}

std::unique_ptr<Band> makeBand(BandKind kind, const QString& name, float heightMm, std::uint8_t frame) {
    auto b = std::make_unique<Band>();
    b->kind = kind;
    b->name = name;
    b->heightMm = heightMm;
    b->frame = frame;
    return b;
}

Element label(const QString& name, float x, float y, float w, const QString& text, FontSpec font,
              Align align) {
    Element e;
    e.name = name;
    e.rect = {x, y, w, 0};
    e.font = font;
    e.align = align;
    e.fixed = text;
    return e;
}

Element field(const QString& name, float x, float y, float w, std::function<QString(const FillContext&)> text,
              FontSpec font, Align align) {
    Element e = label(name, x, y, w, QString(), font, align);
    e.text = std::move(text);
    return e;
}

namespace {

constexpr float kEpsMm = 0.001f;

// One element of a band as it will print: its rectangle within the band and
// its lines.
struct Placed {
    const Element* element = nullptr;
    RectMm rect;
    QStringList lines;
    float lineMm = 0;
};

struct BandLayout {
    const Band* band = nullptr;
    float height = 0;
    std::vector<Placed> items;
};

class Filler {
public:
    Filler(ReportDefinition& d, PageStore& s, TextMeasurer& m, const QDate& date)
        : def_(d), store_(s), measure_(m) {
        ctx_.date = date;
        contentTop_ = d.marginTopMm;
        footerTop_ = d.pageHeightMm - d.marginBottomMm - (d.pageFooter ? d.pageFooter->heightMm : 0.f);
    }

    FillResult run(RowSource* rows) {
        store_.clear();
        store_.setPageSize(def_.pageWidthMm, def_.pageHeightMm);
        if (def_.columnHeader) headerHeight_ = layout(*def_.columnHeader).height;
        startPage();
        if (def_.title && !placeBand(*def_.title, false)) return FillResult::Cancelled;
        if (def_.columnHeader && !placeBand(*def_.columnHeader, false)) return FillResult::Cancelled;
        // Rows start below the headers; nothing printed so far moves with them.
        pageContentTop_ = y_;
        last_.valid = false;
        if (def_.detail) {
            if (rows) {
                for (bool more = rows->first(); more; more = rows->next()) {
                    ++ctx_.rowNumber;
                    if (!placeChain(*def_.detail)) return FillResult::Cancelled;
                }
            } else {
                ctx_.rowNumber = 1;
                if (!placeChain(*def_.detail)) return FillResult::Cancelled;
            }
        }
        return finishPage() ? FillResult::Done : FillResult::Cancelled;
    }

private:
    // What was placed last, so that a band kept with it can take it along.
    struct LastBand {
        bool valid = false;
        std::size_t textStart = 0, boxStart = 0;
        float top = 0, height = 0;
    };

    bool placeChain(Band& band) {
        if (!placeBand(band, true)) return false;
        for (auto& child : band.children)
            if (!placeBand(*child, true)) return false;
        return true;
    }

    BandLayout layout(const Band& band) {
        BandLayout l;
        l.band = &band;
        float growth = 0;
        for (const Element& e : band.elements) {
            if (!e.visible) continue;
            Placed p;
            p.element = &e;
            p.rect = e.rect;
            if (e.kind == Element::Kind::Box) {
                l.items.push_back(std::move(p));
                continue;
            }
            QString text = e.text ? e.text(ctx_) : e.fixed;
            p.lineMm = measure_.lineHeightMm(e.font);
            const float designH = e.rect.h > 0 ? e.rect.h : p.lineMm;
            p.rect.h = designH;
            if (e.autoWidth) {
                text.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
                p.rect.w = measure_.widthMm(text, e.font);
                p.lines = QStringList{text};
            } else if (e.wrap) {
                p.lines = measure_.wrap(text, e.font, e.rect.w);
                const float needed = static_cast<float>(p.lines.size()) * p.lineMm;
                if (e.grow) {
                    if (needed > designH) {
                        p.rect.h = needed;
                        growth = std::max(growth, needed - designH);
                    }
                } else {
                    const auto fit = std::max<qsizetype>(
                        1, static_cast<qsizetype>(std::floor((designH + kEpsMm) / p.lineMm)));
                    if (p.lines.size() > fit) p.lines = p.lines.mid(0, fit);
                }
            } else {
                text.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
                    .replace(QLatin1Char('\n'), QLatin1Char(' '));
                p.lines = QStringList{text};
            }
            l.items.push_back(std::move(p));
        }
        l.height = band.heightMm + growth;
        return l;
    }

    float available() const { return footerTop_ - y_; }

    // Emits the part of a band between `from` and `to` (band coordinates)
    // at the page's y.
    void putPart(const BandLayout& l, float from, float to, bool firstPart, bool lastPart) {
        const float x0 = def_.marginLeftMm;
        const float top = y_;
        for (const Placed& p : l.items) {
            const Element& e = *p.element;
            if (e.kind == Element::Kind::Box) {
                if (p.rect.y + kEpsMm < from || p.rect.y >= to - kEpsMm) continue;
                BoxItem b;
                b.rect = {x0 + p.rect.x, top + p.rect.y - from, p.rect.w, std::min(p.rect.h, to - p.rect.y)};
                b.sides = e.sides;
                b.name = store_.nameId(e.name);
                page_.boxes.push_back(b);
                continue;
            }
            // The lines that lie wholly inside this part (the last part takes
            // whatever starts in it).
            const bool whole = firstPart && lastPart;
            qsizetype firstLine = -1, count = 0;
            for (qsizetype i = 0; i < p.lines.size(); ++i) {
                const float lt = p.rect.y + static_cast<float>(i) * p.lineMm;
                const bool inside =
                    whole || (lt + kEpsMm >= from && (lastPart || lt + p.lineMm <= to + kEpsMm));
                if (!inside) continue;
                if (firstLine < 0) firstLine = i;
                ++count;
            }
            if (firstLine < 0) continue;
            TextItem t;
            const float lineTop = p.rect.y + static_cast<float>(firstLine) * p.lineMm;
            const float h = firstPart && lastPart ? p.rect.h : static_cast<float>(count) * p.lineMm;
            t.rect = {x0 + p.rect.x, top + lineTop - from, p.rect.w, h};
            t.lineMm = p.lineMm;
            t.font = e.font;
            t.align = e.align;
            t.flags = static_cast<std::uint8_t>((e.wrap ? TextItem::Wrapped : 0) |
                                                (e.clip ? TextItem::Clipped : 0));
            t.name = store_.nameId(e.name);
            const QString lines = p.lines.mid(firstLine, count).join(QLatin1Char('\n'));
            if (lines.isEmpty()) continue;  // nothing to draw
            page_.addText(t, lines);
        }
        if (l.band->frame) {
            std::uint8_t sides = l.band->frame & (SideLeft | SideRight);
            if (firstPart) sides |= l.band->frame & SideTop;
            if (lastPart) sides |= l.band->frame & SideBottom;
            BoxItem b;
            b.rect = {x0, top, def_.contentWidthMm(), to - from};
            b.sides = sides;
            b.name = store_.nameId(l.band->name);
            page_.boxes.push_back(b);
        }
        y_ += to - from;
    }

    // Where the part of a band that starts at `from` must end to fit `room`:
    // never through a line of text.
    float cutAt(const BandLayout& l, float from, float room) const {
        float cut = from + room;
        for (const Placed& p : l.items) {
            for (qsizetype i = 0; i < p.lines.size(); ++i) {
                const float lt = p.rect.y + static_cast<float>(i) * p.lineMm;
                const float lb = lt + p.lineMm;
                if (lt < cut - kEpsMm && lb > cut + kEpsMm && lt > from + kEpsMm) cut = lt;
            }
        }
        return cut;
    }

    // Places a band after its hook; false when the filling was stopped.
    bool placeBand(Band& band, bool canMove) {
        if (band.beforePrint && !band.beforePrint(ctx_)) return true;
        const BandLayout l = layout(band);
        if (l.height <= available() + kEpsMm) {
            place(l);
            return true;
        }
        if (canMove && band.keepWithPrevious && last_.valid && last_.top > pageContentTop_ + kEpsMm &&
            last_.height + l.height <= (footerTop_ - pageContentTopOfNext()) + kEpsMm) {
            if (!moveLastToNextPage()) return false;
            place(l);
            return true;
        }
        if (y_ > pageContentTop_ + kEpsMm) {
            if (!finishPage()) return false;
            startPage();
            if (l.height <= available() + kEpsMm) {
                place(l);
                return true;
            }
        }
        // Taller than a whole page: part by part over as many pages as it takes.
        float from = 0;
        while (true) {
            const float room = available();
            float to = cutAt(l, from, room);
            if (to <= from + kEpsMm) to = from + room;  // a line taller than a page: cut it anyway
            const bool lastPart = to >= l.height - kEpsMm;
            if (lastPart) to = l.height;
            putPart(l, from, to, from <= kEpsMm, lastPart);
            if (lastPart) break;
            from = to;
            if (!finishPage()) return false;
            startPage();
        }
        last_.valid = false;
        return true;
    }

    void place(const BandLayout& l) {
        last_.valid = true;
        last_.textStart = page_.texts.size();
        last_.boxStart = page_.boxes.size();
        last_.top = y_;
        last_.height = l.height;
        putPart(l, 0, l.height, true, true);
    }

    float pageContentTopOfNext() const { return contentTop_ + headerHeight_; }

    bool moveLastToNextPage() {
        std::vector<TextItem> texts(page_.texts.begin() + static_cast<std::ptrdiff_t>(last_.textStart),
                                    page_.texts.end());
        std::vector<BoxItem> boxes(page_.boxes.begin() + static_cast<std::ptrdiff_t>(last_.boxStart),
                                   page_.boxes.end());
        QStringList strings;
        for (const TextItem& t : texts) strings.push_back(page_.textOf(t).toString());
        if (!texts.empty()) page_.text.truncate(static_cast<qsizetype>(texts.front().offset));
        page_.texts.resize(last_.textStart);
        page_.boxes.resize(last_.boxStart);
        y_ = last_.top;
        if (!finishPage()) return false;
        startPage();
        const float shift = y_ - last_.top;
        last_.textStart = page_.texts.size();
        last_.boxStart = page_.boxes.size();
        for (std::size_t i = 0; i < texts.size(); ++i) {
            TextItem t = texts[i];
            t.rect.y += shift;
            page_.addText(t, strings[static_cast<qsizetype>(i)]);
        }
        for (BoxItem b : boxes) {
            b.rect.y += shift;
            page_.boxes.push_back(b);
        }
        last_.top = y_;
        y_ += last_.height;
        return true;
    }

    void startPage() {
        page_ = PreparedPage();
        ++ctx_.pageNumber;
        y_ = contentTop_;
        last_.valid = false;
        if (ctx_.pageNumber > 1 && def_.columnHeader) {
            Band& h = *def_.columnHeader;
            if (!h.beforePrint || h.beforePrint(ctx_)) {
                const BandLayout l = layout(h);
                putPart(l, 0, l.height, true, true);
            }
        }
        pageContentTop_ = y_;
    }

    bool finishPage() {
        if (def_.pageFooter) {
            Band& f = *def_.pageFooter;
            if (!f.beforePrint || f.beforePrint(ctx_)) {
                y_ = footerTop_;
                const BandLayout l = layout(f);
                putPart(l, 0, l.height, true, true);
            }
        }
        return store_.addPage(std::move(page_));
    }

    ReportDefinition& def_;
    PageStore& store_;
    TextMeasurer& measure_;
    FillContext ctx_;
    PreparedPage page_;
    float contentTop_ = 0;
    float footerTop_ = 0;
    float pageContentTop_ = 0;  // below the headers of the page
    float headerHeight_ = 0;    // of the column header repeated on every page
    float y_ = 0;
    LastBand last_;
};

}  // namespace

FillResult fillReport(ReportDefinition& definition, RowSource* rows, PageStore& store, TextMeasurer& measurer,
                      const QDate& date) {
    Filler f(definition, store, measurer, date);
    return f.run(rows);
}

}  // namespace kmx::reports
