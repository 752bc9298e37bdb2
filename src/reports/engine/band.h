#pragma once
// The definition of a band report: bands of fixed kinds, each with its
// elements, and the hooks the report's owner attaches. A definition is built
// once and filled as often as needed; its hooks read the data of the moment.
//
// Geometry is in millimetres: element positions from the top-left corner of
// their band, band heights as designed (a band grows when a wrapping element
// needs more lines than its height holds).

#include <QDate>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "reports/engine/prepared.h"

namespace kmx::reports {

// What the element texts may use while a band is printed.
struct FillContext {
    int rowNumber = 0;   // 1-based ordinal of the detail row within the report
    int pageNumber = 0;  // 1-based
    QDate date;          // the day the report is prepared
};

struct Element {
    enum class Kind { Text, Box };
    Kind kind = Kind::Text;
    QString name;
    RectMm rect;  // within the band; a text's height is one line when 0
    FontSpec font;
    Align align = Align::Left;
    bool wrap = false;             // word-wrapped inside the width
    bool grow = false;             // a wrapped text taller than its height makes the band taller
    bool autoWidth = false;        // one line, as wide as the text
    bool clip = false;             // nothing drawn outside the rectangle (one-line cells)
    bool visible = true;           // a band's hook may switch it off for one printing
    std::uint8_t sides = SideAll;  // of a box
    QString fixed;                 // the text when there is no function
    std::function<QString(const FillContext&)> text;
};

enum class BandKind { Title, ColumnHeader, Detail, Child, PageFooter };

struct Band {
    BandKind kind = BandKind::Detail;
    QString name;
    float heightMm = 0;
    std::uint8_t frame = 0;  // sides of the band's own frame, drawn at its final height
    std::vector<Element> elements;
    // Called just before the band prints; false leaves it out, and a band
    // left out takes no space.
    std::function<bool(const FillContext&)> beforePrint;
    // The band goes to the next page together with the band printed just
    // before it when both do not fit on the page.
    bool keepWithPrevious = false;
    // Chained child bands, printed after this band in their order, each
    // with its own hook.
    std::vector<std::unique_ptr<Band>> children;

    Element& add(Element e) {
        elements.push_back(std::move(e));
        return elements.back();
    }
    Band& addChild(std::unique_ptr<Band> child) {
        children.push_back(std::move(child));
        return *children.back();
    }
    // The element of that name, or nullptr.
    Element* element(const QString& elementName);
};

// The rows a list report walks; a report without one prints its detail band
// once.
class RowSource {
public:
    virtual ~RowSource() = default;
    // Moves to the first row; false when there is none.
    virtual bool first() = 0;
    // Moves to the next row; false after the last.
    virtual bool next() = 0;
};

struct ReportDefinition {
    float pageWidthMm = PageStore::kA4WidthMm;
    float pageHeightMm = PageStore::kA4HeightMm;
    float marginLeftMm = 10, marginTopMm = 10, marginRightMm = 10, marginBottomMm = 10;

    std::unique_ptr<Band> title;         // once, at the top of the first page
    std::unique_ptr<Band> columnHeader;  // at the top of every page, below the title on page 1
    std::unique_ptr<Band> detail;        // per row, then its children
    std::unique_ptr<Band> pageFooter;    // at the foot of every page, the last included

    float contentWidthMm() const { return pageWidthMm - marginLeftMm - marginRightMm; }
};

// Small builders for the report definitions.
std::unique_ptr<Band> makeBand(BandKind kind, const QString& name, float heightMm, std::uint8_t frame = 0);
Element label(const QString& name, float x, float y, float w, const QString& text, FontSpec font = {},
              Align align = Align::Left);
Element field(const QString& name, float x, float y, float w, std::function<QString(const FillContext&)> text,
              FontSpec font = {}, Align align = Align::Left);

}  // namespace kmx::reports
