#include "catalog/demo_text.h"

#include <string_view>

#include "core/numfmt.h"

namespace kmx::catalog::demo {

namespace {

// The Polish letters in UTF-8 and their base letters.
struct Fold {
    std::string_view utf8;
    char base;
};
constexpr Fold kFolds[] = {
    {"ą", 'a'}, {"ć", 'c'}, {"ę", 'e'}, {"ł", 'l'}, {"ń", 'n'}, {"ó", 'o'},
    {"ś", 's'}, {"ź", 'z'}, {"ż", 'z'}, {"Ą", 'A'}, {"Ć", 'C'}, {"Ę", 'E'},
    {"Ł", 'L'}, {"Ń", 'N'}, {"Ó", 'O'}, {"Ś", 'S'}, {"Ź", 'Z'}, {"Ż", 'Z'},
};

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::size_t charCount(const std::string& utf8) {
    std::size_t n = 0;
    for (char c : utf8) {
        if (!isContinuation(c)) ++n;
    }
    return n;
}

std::string fit(const std::string& utf8, std::size_t chars) {
    std::size_t n = 0;
    std::size_t end = 0;
    for (; end < utf8.size(); ++end) {
        if (!isContinuation(utf8[end])) {
            if (n == chars) break;
            ++n;
        }
    }
    std::string out = utf8.substr(0, end);
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string ascii(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        std::size_t len = 1;
        while (i + len < utf8.size() && isContinuation(utf8[i + len])) ++len;
        const std::string_view ch(utf8.data() + i, len);
        for (const auto& f : kFolds) {
            if (f.utf8 == ch) out.push_back(f.base);
        }
        i += len;
    }
    return out;
}

std::string lowerAscii(const std::string& utf8) {
    std::string out = ascii(utf8);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string upperAscii(const std::string& utf8) {
    std::string out = ascii(utf8);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::string lettersAndDigits(const std::string& text) {
    std::string out;
    for (char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) out.push_back(c);
    }
    return out;
}

std::string hundredths(std::int64_t value) {
    std::string out;
    if (value < 0) {
        out = "-";
        value = -value;
    }
    out += std::to_string(value / 100);
    const int frac = static_cast<int>(value % 100);
    if (frac != 0) {
        out.push_back('.');
        out.push_back(static_cast<char>('0' + frac / 10));
        if (frac % 10 != 0) out.push_back(static_cast<char>('0' + frac % 10));
    }
    return out;
}

std::string zeroPad(std::int64_t value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    }
    return digits;
}

std::string dateText(int serial) {
    const CivilDate d = civilFromSerial(serial);
    return zeroPad(d.year, 4) + "-" + zeroPad(d.month, 2) + "-" + zeroPad(d.day, 2);
}

}  // namespace kmx::catalog::demo
