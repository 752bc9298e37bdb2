// The search expression parser with the Jet LIKE matcher and the statement
// translation it feeds. The input is a control byte (scrambling mode and
// leading wildcard), a criterion, then after a zero byte a LIKE pattern and
// after another a value. Checked:
// - the word scanner ends and moves forward;
// - the conditions built for a criterion translate (their literals close),
//   one parameter per word, and each word's pattern matches the word's
//   stored form (inside any text with the leading wildcard);
// - text made literal by MaskujLike matches itself and nothing longer;
// - the matcher agrees with a plain dynamic-programming matcher of the same
//   pattern rules, byte for byte, and without regard to case gives the same
//   answer for the value in upper case.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/cp1250.h"
#include "core/expression.h"
#include "core/scramble.h"
#include "data/jet_adapter.h"
#include "fuzz/fuzz_support.h"

namespace {

using kmx::data::jet::likeMatches;

// The pattern rules of the adapter, written out again plainly: one byte set
// per position, or "any run".
struct RefStep {
    bool anyRun = false;
    std::array<bool, 256> accepts{};
};

std::vector<RefStep> refCompile(std::string_view p) {
    std::vector<RefStep> steps;
    const std::size_t n = p.size();
    auto at = [&](std::size_t k) { return static_cast<unsigned char>(p[k]); };
    std::size_t i = 0;
    while (i < n) {
        RefStep st;
        const unsigned char c = at(i);
        if (c == '%') {
            st.anyRun = true;
            steps.push_back(st);
            ++i;
            continue;
        }
        if (c == '_') {
            st.accepts.fill(true);
            steps.push_back(st);
            ++i;
            continue;
        }
        if (c == '[') {
            // The set ends at the first "]" after at least one member; "^"
            // first negates when a member follows it; "x-y" is a range unless
            // the "-" is followed by the closing "]".
            std::size_t j = i + 1;
            bool negate = false;
            if (j + 1 < n && at(j) == '^' && at(j + 1) != ']') {
                negate = true;
                ++j;
            }
            std::array<bool, 256> set{};
            bool closed = false;
            bool first = true;
            while (j < n) {
                if (at(j) == ']' && !first) {
                    closed = true;
                    break;
                }
                if (j + 2 < n && at(j + 1) == '-' && at(j + 2) != ']') {
                    for (unsigned v = at(j); v <= at(j + 2); ++v) set[v] = true;
                    j += 3;
                } else {
                    set[at(j)] = true;
                    ++j;
                }
                first = false;
            }
            if (closed) {
                for (std::size_t v = 0; v < 256; ++v) st.accepts[v] = set[v] != negate;
                steps.push_back(st);
                i = j + 1;
                continue;
            }
        }
        st.accepts[c] = true;  // an unclosed "[" stands for itself
        steps.push_back(st);
        ++i;
    }
    return steps;
}

bool refMatch(std::string_view pattern, std::string_view value) {
    const std::vector<RefStep> steps = refCompile(pattern);
    // can[j]: the first i bytes of the value match the first j steps.
    std::string can(steps.size() + 1, '\0'), next(steps.size() + 1, '\0');
    can.front() = 1;
    for (std::size_t j = 0; j < steps.size(); ++j) can[j + 1] = can[j] && steps[j].anyRun;
    for (const char ch : value) {
        const auto b = static_cast<unsigned char>(ch);
        next.front() = 0;
        for (std::size_t j = 0; j < steps.size(); ++j) {
            const RefStep& s = steps[j];
            next[j + 1] = s.anyRun ? (can[j + 1] || next[j]) : (can[j] && s.accepts[b]);
        }
        can.swap(next);
    }
    return can[steps.size()] != 0;
}

// MaskujLike's text inside a double-quoted literal, its doubled quotes undone.
std::string literalValue(std::string_view masked) {
    kmx::data::jet::Translated t;
    std::string error;
    KMX_FUZZ_CHECK(kmx::data::jet::translate("\"" + std::string(masked) + "\"", t, error));
    KMX_FUZZ_CHECK(t.params.size() == 1);
    return t.params[0];
}

void checkScanner(std::string_view criterion) {
    kmx::Token t;
    t.sprawdzNawiasy(criterion);
    std::int32_t last = t.position;
    while (t.maSlowa(criterion)) {
        t.czytajSlowo(criterion);
        KMX_FUZZ_CHECK(t.position > last);
        last = t.position;
        KMX_FUZZ_CHECK(static_cast<std::size_t>(t.count) <= criterion.size());
    }
}

void checkConditions(std::string_view criterion, int mode, bool leadingWildcard) {
    // The words as the builder reads them.
    const std::string s = [&] {
        std::string_view v = criterion;
        while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
        while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
        return std::string(v);
    }();
    std::vector<std::string> words;
    kmx::Token t;
    t.sprawdzNawiasy(s);
    while (t.maSlowa(s)) {
        t.czytajSlowo(s);
        words.push_back(t.text);
    }

    kmx::StanBudowy stan;
    const std::string where =
        kmx::WarunekTekstowy(stan, "SELECT * FROM TOWARY", "NAZWA", criterion, mode, leadingWildcard);
    if (s.empty()) {
        KMX_FUZZ_CHECK(where == "SELECT * FROM TOWARY");
        KMX_FUZZ_CHECK(!stan.WhereRozpoczete && stan.BrakKryteriow);
        return;
    }
    KMX_FUZZ_CHECK(stan.WhereRozpoczete && !stan.BrakKryteriow);
    kmx::data::jet::Translated tr;
    std::string error;
    KMX_FUZZ_CHECK(kmx::data::jet::translate(where, tr, error));
    KMX_FUZZ_CHECK(tr.params.size() == words.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string stored = kmx::Szyfruj(kmx::cp1250::upper(words[i]), mode);
        const std::string& pattern = tr.params[i];
        KMX_FUZZ_CHECK(likeMatches(pattern, stored, false));
        KMX_FUZZ_CHECK(likeMatches(pattern, stored + "\x01Z", false));
        if (leadingWildcard) KMX_FUZZ_CHECK(likeMatches(pattern, "Q\x02" + stored, false));
    }
}

void checkLiteral(std::string_view text) {
    const std::string pattern = literalValue(kmx::MaskujLike(text));
    KMX_FUZZ_CHECK(likeMatches(pattern, text, false));
    KMX_FUZZ_CHECK(!likeMatches(pattern, std::string(text) + "x", false));
    if (!text.empty()) KMX_FUZZ_CHECK(!likeMatches(pattern, text.substr(1), false));
    KMX_FUZZ_CHECK(likeMatches(pattern, kmx::cp1250::upper(text), true));
}

void checkMatcher(std::string_view pattern, std::string_view value) {
    const kmx::data::jet::LikePattern compiled(pattern);
    KMX_FUZZ_CHECK(compiled.source() == pattern);
    const bool exact = compiled.matches(value, false);
    KMX_FUZZ_CHECK(exact == refMatch(pattern, value));
    KMX_FUZZ_CHECK(exact == likeMatches(pattern, value, false));
    const bool caseless = compiled.matches(value, true);
    KMX_FUZZ_CHECK(caseless == compiled.matches(kmx::cp1250::upper(value), true));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned control = data[0];
    const int mode = (control & 1) ? 1 : 2;
    const bool leadingWildcard = (control & 2) != 0;
    const auto parts = kmx::fuzz::splitAtZeros(kmx::fuzz::asView(data + 1, size - 1), 3);

    checkScanner(parts[0]);
    checkConditions(parts[0], mode, leadingWildcard);
    checkLiteral(parts[0]);
    checkMatcher(parts[1], parts[2]);
    checkMatcher(parts[0], parts[2]);

    kmx::data::jet::Translated tr;
    std::string error;
    if (kmx::data::jet::translate(parts[2], tr, error)) {
        KMX_FUZZ_CHECK(tr.sql.find('\0') == std::string::npos);
    } else {
        KMX_FUZZ_CHECK(!error.empty());
    }
    return 0;
}
