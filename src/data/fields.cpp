#include "data/fields.h"

#include "core/display.h"
#include "data/dataset.h"

namespace kmx::data {

int znajdzPole(const DataSet& set, std::string_view name) {
    int f = set.fieldIndex(name);
    if (f < 0) {
        const auto dot = name.find('.');
        if (dot != std::string_view::npos) f = set.fieldIndex(name.substr(dot + 1));
    }
    return f;
}

std::string zapisanePole(const DataSet& set, std::string_view name, int mode) {
    if (!set.active() || set.recNo() <= 0) return {};
    const int f = znajdzPole(set, name);
    if (f < 0) return {};
    const Cell c = set.value(f);
    if (c.type() == CellType::Integer || c.type() == CellType::Real) return set.defaultText(set.currentRow(), f);
    return DeszyfrujTekst(c.bytes(), c.type() == CellType::Blob ? mode : 0);
}

}  // namespace kmx::data
