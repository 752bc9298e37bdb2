// Search expression parser: the word scanner, LIKE masking and the condition
// groups. Scrambled patterns in the expectations come from Szyfruj directly.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "core/cp1250.h"
#include "core/expression.h"
#include "core/scramble.h"

namespace kmx {
namespace {

constexpr std::string_view kLikeChars = "\"%[]^_";

bool hasLikeChar(std::string_view s) {
    return s.find_first_of(kLikeChars) != std::string_view::npos;
}

char scrambledStar() {
    const std::string s = Szyfruj("*", 1);
    EXPECT_EQ(s.size(), 1u);
    return s[0];
}

// A word's stored form, for words whose scrambled bytes need no escaping.
std::string scr(std::string_view upperWord, int mode) {
    std::string s = Szyfruj(upperWord, mode);
    EXPECT_FALSE(hasLikeChar(s)) << "scrambled '" << upperWord << "' holds a LIKE character; pick another";
    if (mode == 1) {
        EXPECT_EQ(s.find(scrambledStar()), std::string::npos);
    }
    return s;
}

struct Word {
    std::string text;
    bool negated;
    bool operator==(const Word&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Word& w) {
    return os << (w.negated ? "-" : "") << '\'' << w.text << '\'';
}

std::vector<Word> scan(std::string_view criterion) {
    Token t;
    t.sprawdzNawiasy(criterion);
    std::vector<Word> words;
    while (t.maSlowa(criterion)) {
        t.czytajSlowo(criterion);
        words.push_back({t.text, t.negated});
        EXPECT_EQ(t.count, static_cast<int>(words.size()));
    }
    return words;
}

TEST(Token, StartsEmptyAndResets) {
    Token t;
    EXPECT_EQ(t.text, "");
    EXPECT_EQ(t.position, 1);
    EXPECT_EQ(t.count, 0);
    EXPECT_FALSE(t.bracketed);
    EXPECT_FALSE(t.negated);
    t.sprawdzNawiasy("(-a)");
    t.czytajSlowo("(-a)");
    t.czytajSlowo("(-a)");
    EXPECT_TRUE(t.negated);
    t.reset();
    EXPECT_EQ(t.text, "");
    EXPECT_EQ(t.position, 1);
    EXPECT_EQ(t.count, 0);
    EXPECT_FALSE(t.bracketed);
    EXPECT_FALSE(t.negated);
}

TEST(Token, BracketedFormNeedsBothEnds) {
    EXPECT_TRUE(Token::czyWNawiasach("()"));
    EXPECT_TRUE(Token::czyWNawiasach("(a+b)"));
    EXPECT_FALSE(Token::czyWNawiasach(""));
    EXPECT_FALSE(Token::czyWNawiasach("("));
    EXPECT_FALSE(Token::czyWNawiasach(")"));
    EXPECT_FALSE(Token::czyWNawiasach("(a"));
    EXPECT_FALSE(Token::czyWNawiasach("a)"));
    EXPECT_FALSE(Token::czyWNawiasach("a(b)"));
}

TEST(Token, PlainFormSplitsOnPlusAndQuoteOnly) {
    EXPECT_EQ(scan("beton"), (std::vector<Word>{{"beton", false}}));
    EXPECT_EQ(scan("beton+stal"), (std::vector<Word>{{"beton", false}, {"stal", false}}));
    EXPECT_EQ(scan("beton-stal"), (std::vector<Word>{{"beton-stal", false}}));
    EXPECT_EQ(scan("beton komorkowy"), (std::vector<Word>{{"beton komorkowy", false}}));
    EXPECT_EQ(scan("a\"b\"c"), (std::vector<Word>{{"a", false}, {"b", false}, {"c", false}}));
    EXPECT_EQ(scan("beton+ +stal"), (std::vector<Word>{{"beton", false}, {"", false}, {"stal", false}}));
    // A trailing separator ends the scan; leading ones are skipped.
    EXPECT_EQ(scan("++beton+"), (std::vector<Word>{{"beton", false}}));
    // Brackets that do not enclose the whole criterion are ordinary characters.
    EXPECT_EQ(scan("(beton-stal"), (std::vector<Word>{{"(beton-stal", false}}));
}

TEST(Token, BracketedFormSplitsOnMinusAndNegates) {
    EXPECT_EQ(scan("(beton-stal)"), (std::vector<Word>{{"beton", false}, {"stal", true}}));
    EXPECT_EQ(scan("(beton+stal)"), (std::vector<Word>{{"beton", false}, {"stal", false}}));
    EXPECT_EQ(scan("( beton - stal )"), (std::vector<Word>{{"beton", false}, {"stal", true}}));
    EXPECT_EQ(scan("()"), (std::vector<Word>{{"", false}}));
    // The "(" at position 1 is skipped while collecting, so the "-" after it
    // ends an empty first word and negates the next one.
    EXPECT_EQ(scan("(-beton)"), (std::vector<Word>{{"", false}, {"beton", true}}));
    // Inner brackets are kept.
    EXPECT_EQ(scan("((a))"), (std::vector<Word>{{"(a)", false}}));
}

TEST(MaskujLike, EscapesTheLikeCharactersOnly) {
    EXPECT_EQ(MaskujLike("a\"b%c[d]e^f_g"), "a\"\"b[%]c[[]d[]]e[^]f[_]g");
    EXPECT_EQ(MaskujLike("abc *?#"), "abc *?#");
    EXPECT_EQ(MaskujLike(""), "");
    const std::string withZero("a\0b", 3);
    EXPECT_EQ(MaskujLike(withZero), withZero);
}

TEST(WarunekTekstowy, PlainShape) {
    StanBudowy stan{true, true};
    const std::string p1 = scr("BETON", 1), p2 = scr("STAL", 1);
    EXPECT_EQ(WarunekTekstowy(stan, "W", "C", "beton+stal", 1, true),
              "W AND ( C like \"%" + p1 + "%\" OR C like \"%" + p2 + "%\")");
    EXPECT_TRUE(stan.WhereRozpoczete);
    EXPECT_FALSE(stan.BrakKryteriow);
}

TEST(WarunekTekstowy, BracketedShapeWithNegatedSecondWord) {
    StanBudowy stan{true, true};
    const std::string p1 = scr("BETON", 1), p2 = scr("STAL", 1);
    EXPECT_EQ(WarunekTekstowy(stan, "", "C", "(beton-stal)", 1, true),
              " AND  C like \"%" + p1 + "%\" AND( NOT ( C like \"%" + p2 + "%\"))");
}

TEST(WarunekTekstowy, WithoutLeadingWildcardAndPositionalMode) {
    StanBudowy stan{true, true};
    const std::string p1 = scr("KOD", 2), p2 = scr("XYZ", 2);
    EXPECT_EQ(WarunekTekstowy(stan, "", "C", "kod+xyz", 2, false),
              " AND ( C like \"" + p1 + "%\" OR C like \"" + p2 + "%\")");
    EXPECT_EQ(WarunekTekstowy(stan, "", "C", "(kod-xyz)", 2, false),
              " AND  C like \"" + p1 + "%\" AND( NOT ( C like \"" + p2 + "%\"))");
}

TEST(WarunekTekstowy, FirstConditionOpensTheWhere) {
    StanBudowy stan{false, true};
    const std::string w = WarunekTekstowy(stan, "", "C", "beton", 1, true);
    EXPECT_EQ(w, " WHERE ( C like \"%" + scr("BETON", 1) + "%\")");
    EXPECT_TRUE(stan.WhereRozpoczete);
    EXPECT_EQ(WarunekTekstowy(stan, w, "D", "beton", 1, false),
              w + " AND ( D like \"" + scr("BETON", 1) + "%\")");
}

TEST(WarunekTekstowy, EdgeCriteria) {
    StanBudowy stan{true, true};
    const std::string beton = scr("BETON", 1);
    EXPECT_EQ(WarunekTekstowy(stan, "", "C", "(-beton)", 1, true),
              " AND  C like \"%%\" AND( NOT ( C like \"%" + beton + "%\"))");
    EXPECT_EQ(WarunekTekstowy(stan, "", "C", "beton-stal", 1, true),
              " AND ( C like \"%" + scr("BETON-STAL", 1) + "%\")");
    EXPECT_EQ(WarunekTekstowy(stan, "", "C", "beton+ +stal", 1, true),
              " AND ( C like \"%" + beton + "%\" OR C like \"%%\" OR C like \"%" + scr("STAL", 1) + "%\")");
    EXPECT_EQ(WarunekTekstowy(stan, "", "C", "()", 1, true), " AND  C like \"%%\"");
    EXPECT_EQ(WarunekTekstowy(stan, "", "C", "  beton  ", 1, true), " AND ( C like \"%" + beton + "%\")");
}

TEST(WarunekTekstowy, SpacesOnlyChangeNothing) {
    StanBudowy stan{false, true};
    EXPECT_EQ(WarunekTekstowy(stan, "W", "C", "    ", 1, true), "W");
    EXPECT_EQ(WarunekTekstowy(stan, "W", "C", "", 2, false), "W");
    EXPECT_FALSE(stan.WhereRozpoczete);
    EXPECT_TRUE(stan.BrakKryteriow);
}

TEST(WarunekTekstowy, WordsAreUpperCasedPolishLettersIncluded) {
    StanBudowy stan{true, true};
    // "żółw" in Windows-1250: BF F3 B3 77; upper case "ŻÓŁW": AF D3 A3 57.
    EXPECT_EQ(WarunekTekstowy(stan, "", "C", "\xBF\xF3\xB3w", 1, true),
              WarunekTekstowy(stan, "", "C", "\xAF\xD3\xA3W", 1, true));
    EXPECT_EQ(WarunekTekstowy(stan, "", "C", "\xBF\xF3\xB3w", 2, false),
              " AND ( C like \"" + MaskujLike(Szyfruj("\xAF\xD3\xA3W", 2)) + "%\")");
}

// Unscrambled (mode 0), the LIKE characters a user types are searched for themselves.
TEST(WarunekTekstowy, LikeCharactersAreSearchedLiterally) {
    StanBudowy stan{true, true};
    EXPECT_EQ(WarunekTekstowy(stan, "", "C", "50%_x[1]^", 0, false), " AND ( C like \"50[%][_]X[[]1[]][^]%\")");
}

// Scrambled bytes that happen to be LIKE characters are escaped too, and a
// scrambled byte equal to the double quote is doubled.
TEST(WarunekTekstowy, ScrambledLikeCharactersAreEscaped) {
    const std::string likeChars(kLikeChars);
    int checked = 0;
    for (char likeChar : likeChars) {
        // The character whose substitution is this LIKE character.
        std::string typed;
        for (int c = 33; c < 256 && typed.empty(); ++c) {
            const std::string one(1, static_cast<char>(c));
            if (cp1250::upper(one) != one || fold(one) != one) continue;
            if (std::string_view("+\"-() ").find(one[0]) != std::string_view::npos) continue;
            if (Szyfruj(one, 1) == std::string(1, likeChar)) typed = one;
        }
        if (typed.empty()) continue;  // substituted from a lower-case letter or a separator
        const std::string escaped = likeChar == '"' ? std::string("\"\"") : "[" + std::string(1, likeChar) + "]";
        StanBudowy stan{true, true};
        EXPECT_EQ(WarunekTekstowy(stan, "", "C", typed, 1, false), " AND ( C like \"" + escaped + "%\")")
            << "LIKE character " << likeChar;
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

TEST(WarunekTekstowy, AsteriskIsAWildcardInNames) {
    StanBudowy stan{true, true};
    EXPECT_EQ(WarunekTekstowy(stan, "", "C", "be*ton", 1, true),
              " AND ( C like \"%" + scr("BE", 1) + "%" + scr("TON", 1) + "%\")");
}

// Under positional scrambling the byte that stands for "*" in the name
// columns is an ordinary scrambled character and must stay in the pattern.
TEST(WarunekTekstowy, SubstitutedAsteriskByteIsKeptInPositionalPatterns) {
    const char star = scrambledStar();
    ASSERT_EQ(std::string_view("%[]^_\"").find(star), std::string_view::npos);

    std::string word;
    for (int len = 1; len <= 40 && word.empty(); ++len) {
        for (int c = 33; c < 256 && word.empty(); ++c) {
            const char ch = static_cast<char>(c);
            const std::string last(1, ch);
            if (cp1250::upper(last) != last || fold(last) != last || ch == '~') continue;
            if (std::string_view("+\"-() *").find(ch) != std::string_view::npos) continue;
            const std::string candidate = std::string(static_cast<std::size_t>(len - 1), 'A') + last;
            const std::string scrambled = Szyfruj(candidate, 2);
            if (scrambled.back() == star && !hasLikeChar(scrambled)) word = candidate;
        }
    }
    ASSERT_FALSE(word.empty()) << "no positional word scrambles to the substituted asterisk";

    StanBudowy stan{true, true};
    const std::string scrambled = Szyfruj(word, 2);
    EXPECT_EQ(WarunekTekstowy(stan, "", "C", word, 2, false), " AND ( C like \"" + scrambled + "%\")");
    // The same byte in a name pattern is the wildcard.
    EXPECT_EQ(WarunekTekstowy(stan, "", "C", "A*", 1, false), " AND ( C like \"" + scr("A", 1) + "%%\")");
}

}  // namespace
}  // namespace kmx
