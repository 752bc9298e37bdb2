#include "core/tcsengine.h"

#include "core/cp1250.h"

namespace kmx {

void TCSEngine::Reset() {
    filter_.clear();
    table_ = "ceny_robot";
}

void TCSEngine::AddLike(std::string_view column, std::string_view valueUtf8, bool anywhere) {
    if (valueUtf8.empty()) return;
    if (!filter_.empty()) filter_ += " AND ";
    filter_ += ' ';
    filter_ += cp1250::fromUtf8(column);
    filter_ += " LIKE '";
    if (anywhere) filter_ += '%';
    for (char c : cp1250::fromUtf8(valueUtf8)) {
        // A doubled apostrophe is one apostrophe inside the quoted value.
        if (c == '\'') filter_ += '\'';
        filter_ += c;
    }
    filter_ += "%'";
}

std::string TCSEngine::Statement() const {
    std::string statement = "select * from ";
    statement += table_;
    statement += filter_.empty() ? " " : " where ";
    statement += filter_;
    return statement;
}

int TCSEngine::Execute() {
    if (!runner_) return -1;
    return runner_(Statement());
}

}  // namespace kmx
