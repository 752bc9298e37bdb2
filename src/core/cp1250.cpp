#include "core/cp1250.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace kmx::cp1250 {

namespace {

// Unicode code points of the bytes 0x80..0xFF. The five bytes the code page
// leaves undefined map to the C1 control of the same value, so every byte
// survives a trip to UTF-8 and back.
constexpr std::array<char32_t, 128> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

// (code point, byte) of the upper half, sorted by code point for lookup.
using ReverseTable = std::array<std::pair<char32_t, unsigned char>, 128>;

const ReverseTable& reverseTable() {
    static const ReverseTable table = [] {
        ReverseTable t{};
        for (std::size_t i = 0; i < kHigh.size(); ++i) {
            t[i] = {kHigh[i], static_cast<unsigned char>(0x80 + i)};
        }
        std::sort(t.begin(), t.end());
        return t;
    }();
    return table;
}

// Byte of one code point, or '?' when the code page has no such character.
char byteOf(char32_t cp) {
    if (cp < 0x80) return static_cast<char>(cp);
    const ReverseTable& t = reverseTable();
    auto it = std::lower_bound(t.begin(), t.end(), cp,
                               [](const auto& entry, char32_t value) { return entry.first < value; });
    if (it != t.end() && it->first == cp) return static_cast<char>(it->second);
    return '?';
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Lower-case byte of every upper-case letter of the code page; 0 elsewhere.
struct CaseTables {
    std::array<unsigned char, 256> lower{};
    std::array<unsigned char, 256> upper{};
};

constexpr CaseTables makeCaseTables() {
    CaseTables t{};
    for (int i = 0; i < 256; ++i) {
        t.lower[i] = static_cast<unsigned char>(i);
        t.upper[i] = static_cast<unsigned char>(i);
    }
    auto pair = [&t](int up, int low) {
        t.lower[up] = static_cast<unsigned char>(low);
        t.upper[low] = static_cast<unsigned char>(up);
    };
    for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 0x20);
    pair(0x8A, 0x9A);  // Š š
    pair(0x8C, 0x9C);  // Ś ś
    pair(0x8D, 0x9D);  // Ť ť
    pair(0x8E, 0x9E);  // Ž ž
    pair(0x8F, 0x9F);  // Ź ź
    pair(0xA3, 0xB3);  // Ł ł
    pair(0xA5, 0xB9);  // Ą ą
    pair(0xAA, 0xBA);  // Ş ş
    pair(0xAF, 0xBF);  // Ż ż
    pair(0xBC, 0xBE);  // Ľ ľ
    // Ŕ..Ţ and ŕ..ţ lie 0x20 apart; × and ÷ are not letters, ß has no upper form.
    for (int c = 0xC0; c <= 0xDE; ++c) {
        if (c != 0xD7) pair(c, c + 0x20);
    }
    return t;
}

constexpr CaseTables kCase = makeCaseTables();

}  // namespace

std::string fromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    const std::size_t n = utf8.size();
    std::size_t i = 0;
    auto at = [&utf8](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
    while (i < n) {
        const unsigned char b = at(i);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        // Length and the allowed range of the second byte (which rules out
        // overlong forms, surrogates and code points above U+10FFFF).
        int len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            if (b == 0xE0) lo = 0xA0;
            if (b == 0xED) hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            if (b == 0xF0) lo = 0x90;
            if (b == 0xF4) hi = 0x8F;
        }
        if (len == 0) {  // stray continuation byte or invalid lead byte
            out.push_back('?');
            ++i;
            continue;
        }
        char32_t cp = b & (0xFF >> (len + 1));
        std::size_t k = 1;
        for (; k < static_cast<std::size_t>(len); ++k) {
            if (i + k >= n) break;
            const unsigned char c = at(i + k);
            const unsigned char min = k == 1 ? lo : 0x80;
            const unsigned char max = k == 1 ? hi : 0xBF;
            if (c < min || c > max) break;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (k < static_cast<std::size_t>(len)) {
            // A broken sequence counts as one "?"; scanning resumes at the
            // byte that broke it.
            out.push_back('?');
            i += k;
            continue;
        }
        out.push_back(byteOf(cp));
        i += k;
    }
    return out;
}

std::string toUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        appendUtf8(out, b < 0x80 ? char32_t{b} : kHigh[b - 0x80]);
    }
    return out;
}

unsigned char toUpper(unsigned char c) { return kCase.upper[c]; }
unsigned char toLower(unsigned char c) { return kCase.lower[c]; }

std::string upper(std::string_view bytes) {
    std::string out(bytes);
    for (char& ch : out) ch = static_cast<char>(toUpper(static_cast<unsigned char>(ch)));
    return out;
}

std::string lower(std::string_view bytes) {
    std::string out(bytes);
    for (char& ch : out) ch = static_cast<char>(toLower(static_cast<unsigned char>(ch)));
    return out;
}

}  // namespace kmx::cp1250
