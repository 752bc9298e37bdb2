#include "core/textutil.h"

namespace kmx {

std::string trimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string UsunTabulatory(std::string_view text) {
    std::string noTabs;
    noTabs.reserve(text.size());
    for (char c : text) {
        if (c != '\t') noTabs.push_back(c);
    }
    return trimSpaces(noTabs);
}

}  // namespace kmx
