#include "reports/engine/prepared.h"

#include <algorithm>
#include <limits>

namespace kmx::reports {

TextItem& PreparedPage::addText(const TextItem& layout, QStringView lines) {
    TextItem item = layout;
    item.offset = static_cast<std::uint32_t>(text.size());
    item.length = static_cast<std::uint32_t>(lines.size());
    text.append(lines);
    texts.push_back(item);
    return texts.back();
}

std::size_t PreparedPage::memoryUsage() const {
    return sizeof(PreparedPage) + texts.capacity() * sizeof(TextItem) + boxes.capacity() * sizeof(BoxItem) +
           static_cast<std::size_t>(text.capacity()) * sizeof(QChar);
}

void PageStore::setCurrentPage(int number) {
    if (pages_.empty()) {
        current_ = 0;
        return;
    }
    current_ = std::clamp(number, 1, pageCount());
}

std::uint16_t PageStore::nameId(const QString& name) {
    if (name.isEmpty()) return 0;
    const auto it = nameIds_.constFind(name);
    if (it != nameIds_.cend()) return it.value();
    // Past the last id every further name stays unnamed rather than wrap.
    if (names_.size() > std::numeric_limits<std::uint16_t>::max()) return 0;
    const auto id = static_cast<std::uint16_t>(names_.size());
    names_.push_back(name);
    nameIds_.insert(name, id);
    return id;
}

const QString& PageStore::name(std::uint16_t id) const {
    return id < names_.size() ? names_[id] : names_.front();
}

bool PageStore::addPage(PreparedPage page) {
    page.texts.shrink_to_fit();
    page.boxes.shrink_to_fit();
    page.text.squeeze();
    pages_.push_back(std::move(page));
    if (current_ == 0) current_ = 1;
    return listener_ ? listener_(pageCount()) : true;
}

void PageStore::clear() {
    pages_.clear();
    names_.assign(1, QString());
    nameIds_.clear();
    current_ = 0;
}

void PageStore::assign(std::vector<PreparedPage> pages, std::vector<QString> names, float widthMm,
                       float heightMm) {
    pages_ = std::move(pages);
    // Id 0 stays the empty name; the names given take 1, 2, ...
    names_.assign(1, QString());
    nameIds_.clear();
    for (QString& n : names) {
        nameIds_.insert(n, static_cast<std::uint16_t>(names_.size()));
        names_.push_back(std::move(n));
    }
    widthMm_ = widthMm;
    heightMm_ = heightMm;
    current_ = pages_.empty() ? 0 : 1;
}

std::size_t PageStore::memoryUsage() const {
    std::size_t bytes = sizeof(PageStore) + pages_.capacity() * sizeof(PreparedPage);
    for (const PreparedPage& p : pages_) bytes += p.memoryUsage() - sizeof(PreparedPage);
    for (const QString& n : names_) bytes += sizeof(QString) + static_cast<std::size_t>(n.capacity()) * 2;
    return bytes;
}

std::vector<const TextItem*> textsNamed(const PageStore& store, int pageNumber, const QString& name) {
    std::vector<const TextItem*> found;
    if (pageNumber < 1 || pageNumber > store.pageCount()) return found;
    for (const TextItem& t : store.page(pageNumber).texts)
        if (t.name != 0 && store.name(t.name) == name) found.push_back(&t);
    return found;
}

std::vector<const BoxItem*> boxesNamed(const PageStore& store, int pageNumber, const QString& name) {
    std::vector<const BoxItem*> found;
    if (pageNumber < 1 || pageNumber > store.pageCount()) return found;
    for (const BoxItem& b : store.page(pageNumber).boxes)
        if (b.name != 0 && store.name(b.name) == name) found.push_back(&b);
    return found;
}

}  // namespace kmx::reports
