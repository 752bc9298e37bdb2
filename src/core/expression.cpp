#include "core/expression.h"

#include "core/cp1250.h"
#include "core/scramble.h"
#include "core/textutil.h"

namespace kmx {

namespace {

// Separators between words; "-" separates (and negates) in the bracketed form only.
bool isSeparator(char c, bool bracketed) {
    return c == '+' || c == '"' || (c == '-' && bracketed);
}

}  // namespace

bool Token::czyWNawiasach(std::string_view criterion) {
    return !criterion.empty() && criterion.front() == '(' && criterion.back() == ')';
}

bool Token::sprawdzNawiasy(std::string_view criterion) {
    bracketed = czyWNawiasach(criterion);
    return bracketed;
}

bool Token::maSlowa(std::string_view criterion) const {
    return position >= 1 && static_cast<std::size_t>(position) <= criterion.size();
}

void Token::czytajSlowo(std::string_view s) {
    const auto length = static_cast<std::int32_t>(s.size());
    auto at = [&](std::int32_t pos) { return s[static_cast<std::size_t>(pos - 1)]; };

    text.clear();
    negated = false;

    while (position <= length && isSeparator(at(position), bracketed)) {
        if (at(position) == '-') negated = true;
        ++position;
    }

    while (position <= length) {
        const char c = at(position);
        if (isSeparator(c, bracketed)) {
            // A "-" stays for the next word, which it negates.
            if (c != '-') ++position;
            break;
        }
        if (bracketed && ((c == '(' && position == 1) || (c == ')' && position == length))) {
            ++position;
            continue;
        }
        text += c;
        ++position;
    }

    ++count;
    text = trimSpaces(text);
}

std::string MaskujLike(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\"\"";
                break;
            case '%':
            case '[':
            case ']':
            case '^':
            case '_':
                out += '[';
                out += c;
                out += ']';
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string WarunekTekstowy(StanBudowy& stan, std::string where, std::string_view column,
                            std::string_view criterion, int mode, bool leadingWildcard) {
    const std::string s = trimSpaces(criterion);
    if (s.empty()) return where;

    where += stan.WhereRozpoczete ? " AND " : " WHERE ";

    Token token;
    const bool bracketed = token.sprawdzNawiasy(s);
    if (!bracketed) where += '(';

    // In the name columns every byte is substituted on its own, so the
    // substituted "*" stands for itself wherever it occurs and can serve as a
    // wildcard. Under positional scrambling the same byte is just some
    // character of the word, so it is left alone there.
    const std::string scrambledStar = Szyfruj("*", 1);

    while (token.maSlowa(s)) {
        token.czytajSlowo(s);
        if (token.count > 1) where += bracketed ? " AND" : " OR";
        const bool negate = token.negated && bracketed;
        if (negate) where += "( NOT (";
        where += ' ';
        where += column;
        where += " like \"";
        if (leadingWildcard) where += '%';

        std::string pattern = MaskujLike(Szyfruj(cp1250::upper(token.text), mode));
        if (mode == 1 && scrambledStar.size() == 1) {
            for (char& c : pattern) {
                if (c == scrambledStar[0]) c = '%';
            }
        }
        where += pattern;
        where += "%\"";
        if (negate) where += "))";
    }

    if (!bracketed) where += ')';

    stan.WhereRozpoczete = true;
    stan.BrakKryteriow = false;
    return where;
}

}  // namespace kmx
