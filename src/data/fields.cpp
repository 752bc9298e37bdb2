#include "data/fields.h"

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

}  // namespace kmx::data
