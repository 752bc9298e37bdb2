#pragma once
// Prepared pages: what a report looks like once it is laid out, as a plain
// display list in millimetres from the top-left corner of the paper. One
// painter routine draws them on the preview, a printer and a PDF file; the
// text and HTML exports and the prepared-report file read the same items.
//
// A page keeps its texts in one buffer and its items as small value records,
// so that a list of thousands of pages stays compact in memory.

#include <QHash>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <vector>

namespace kmx::reports {

struct RectMm {
    float x = 0;
    float y = 0;
    float w = 0;
    float h = 0;
    float right() const { return x + w; }
    float bottom() const { return y + h; }
};

// Fonts are always "Arial" (Liberation Sans on Linux); the size in points.
struct FontSpec {
    float pt = 10;
    bool bold = false;
    bool operator==(const FontSpec&) const = default;
};

enum class Align : std::uint8_t { Left = 0, Right = 1, Center = 2 };

// Sides of a box, to be or-ed.
enum Side : std::uint8_t {
    SideLeft = 1,
    SideTop = 2,
    SideRight = 4,
    SideBottom = 8,
    SideAll = 15,
};

// A text placed on a page. Its lines are already broken (joined by '\n' in
// the page's buffer) and stand lineMm apart from the top of the rectangle.
struct TextItem {
    enum Flags : std::uint8_t {
        Wrapped = 1,  // word-wrapped inside the width
        Clipped = 2,  // drawn only inside its rectangle
    };
    RectMm rect;
    std::uint32_t offset = 0;  // into PreparedPage::text
    std::uint32_t length = 0;
    float lineMm = 0;
    FontSpec font;
    Align align = Align::Left;
    std::uint8_t flags = 0;
    std::uint16_t name = 0;  // index into the store's names; 0 = unnamed
};

// A rectangle drawn with the chosen sides; a line is a box with one side.
struct BoxItem {
    RectMm rect;
    float penMm = 0.2f;
    std::uint8_t sides = SideAll;
    std::uint16_t name = 0;
};

class PreparedPage {
public:
    std::vector<TextItem> texts;
    std::vector<BoxItem> boxes;
    QString text;  // the texts of every item, one after another

    QStringView textOf(const TextItem& item) const { return QStringView(text).mid(item.offset, item.length); }
    // Appends an item's text to the buffer and returns the item pointing at it.
    TextItem& addText(const TextItem& layout, QStringView lines);
    std::size_t memoryUsage() const;
};

// The pages of one prepared report, the current page and the names of the
// elements that produced them. Pages are added one by one while a report is
// prepared; whoever watches the store hears of each.
class PageStore {
public:
    static constexpr float kA4WidthMm = 210;
    static constexpr float kA4HeightMm = 297;

    int pageCount() const { return static_cast<int>(pages_.size()); }
    const PreparedPage& page(int number) const { return pages_.at(static_cast<std::size_t>(number - 1)); }
    PreparedPage& page(int number) { return pages_.at(static_cast<std::size_t>(number - 1)); }

    // 1-based; 0 while the store is empty. Kept within 1..pageCount().
    int currentPage() const { return current_; }
    void setCurrentPage(int number);

    float pageWidthMm() const { return widthMm_; }
    float pageHeightMm() const { return heightMm_; }
    void setPageSize(float widthMm, float heightMm) {
        widthMm_ = widthMm;
        heightMm_ = heightMm;
    }

    // Element names: 0 is the empty name.
    std::uint16_t nameId(const QString& name);
    const QString& name(std::uint16_t id) const;
    const std::vector<QString>& names() const { return names_; }

    // Adds a finished page and tells the listener (page number); the listener
    // answers false to stop the preparation.
    bool addPage(PreparedPage page);
    void clear();
    // Replaces everything at once (a prepared report read from a file);
    // `names` are the element names 1, 2, ... in their order.
    void assign(std::vector<PreparedPage> pages, std::vector<QString> names, float widthMm, float heightMm);

    using PageListener = std::function<bool(int pageNumber)>;
    void setPageListener(PageListener listener) { listener_ = std::move(listener); }

    std::size_t memoryUsage() const;

private:
    std::vector<PreparedPage> pages_;
    std::vector<QString> names_{QString()};
    QHash<QString, std::uint16_t> nameIds_;
    int current_ = 0;
    float widthMm_ = kA4WidthMm;
    float heightMm_ = kA4HeightMm;
    PageListener listener_;
};

// Items of a page found by element name, for the exports and the tests.
std::vector<const TextItem*> textsNamed(const PageStore& store, int pageNumber, const QString& name);
std::vector<const BoxItem*> boxesNamed(const PageStore& store, int pageNumber, const QString& name);

}  // namespace kmx::reports
