#include "catalog/ranks.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <numeric>

namespace kmx::catalog {

namespace {

QCollator& polishCollator() {
    static QCollator collator = [] {
        QCollator c(QLocale(QLocale::Polish, QLocale::Poland));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

// Sort keys once per text: comparing keys is far cheaper than collating.
std::vector<QCollatorSortKey> sortKeys(const std::vector<std::string>& texts) {
    QCollator& collator = polishCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (const auto& t : texts) {
        keys.push_back(collator.sortKey(QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()))));
    }
    return keys;
}

Ranks ranksOfOrder(const std::vector<std::size_t>& order) {
    Ranks ranks(order.size());
    for (std::size_t place = 0; place < order.size(); ++place) {
        ranks[order[place]] = static_cast<std::int64_t>(place) + 1;
    }
    return ranks;
}

std::vector<std::size_t> identity(std::size_t n) {
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    return order;
}

}  // namespace

Ranks rankByText(const std::vector<std::string>& texts, const std::vector<std::int64_t>& ids) {
    const std::vector<QCollatorSortKey> keys = sortKeys(texts);
    std::vector<std::size_t> order = identity(texts.size());
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int c = keys[a].compare(keys[b]);
        return c != 0 ? c < 0 : ids[a] < ids[b];
    });
    return ranksOfOrder(order);
}

Ranks rankByNumber(const std::vector<std::optional<double>>& values, const std::vector<std::int64_t>& ids) {
    std::vector<std::size_t> order = identity(values.size());
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const auto& va = values[a];
        const auto& vb = values[b];
        if (va.has_value() != vb.has_value()) return !va.has_value();
        if (va && *va != *vb) return *va < *vb;
        return ids[a] < ids[b];
    });
    return ranksOfOrder(order);
}

std::vector<std::int64_t> textOrderPlaces(const std::vector<std::string>& texts) {
    const std::vector<QCollatorSortKey> keys = sortKeys(texts);
    std::vector<std::size_t> order = identity(texts.size());
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]) < 0; });
    std::vector<std::int64_t> places(texts.size());
    std::int64_t place = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && keys[order[i - 1]].compare(keys[order[i]]) != 0) ++place;
        places[order[i]] = place;
    }
    return places;
}

Ranks rankByKey(const std::vector<std::int64_t>& keys, const std::vector<std::int64_t>& ids) {
    std::vector<std::size_t> order = identity(keys.size());
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return keys[a] != keys[b] ? keys[a] < keys[b] : ids[a] < ids[b];
    });
    return ranksOfOrder(order);
}

}  // namespace kmx::catalog
