#include "core/numfmt.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace kmx {

namespace {

// A finite value as decimal digits: value = 0.d1d2d3... * 10^(exp + 1), i.e.
// the first digit stands at the power `exp`. Zero has no digits.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exp = 0;

    bool isZero() const { return digits.empty(); }
    char digitAt(int power) const {
        const int idx = exp - power;
        return idx >= 0 && idx < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(idx)]
                                                                 : '0';
    }
};

// The shortest decimal form that reads back as the same double.
Decimal shortestDecimal(double v) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    Decimal d;
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-') {
        d.negative = true;
        ++i;
    }
    const std::size_t e = text.find('e', i);
    for (std::size_t k = i; k < e; ++k) {
        if (text[k] != '.') d.digits.push_back(text[k]);
    }
    int expValue = 0;
    const char* first = text.data() + e + 1;
    if (*first == '+') ++first;
    std::from_chars(first, text.data() + text.size(), expValue);
    d.exp = expValue;
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

// Keeps the first `keep` digits, rounding half away from zero.
void roundDigits(Decimal& d, int keep) {
    if (d.isZero() || keep >= static_cast<int>(d.digits.size())) return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int k = keep - 1;
        while (k >= 0 && d.digits[static_cast<std::size_t>(k)] == '9') {
            d.digits[static_cast<std::size_t>(k)] = '0';
            --k;
        }
        if (k >= 0) {
            ++d.digits[static_cast<std::size_t>(k)];
        } else {
            // All nines (or no digit kept): one unit of the next power.
            d.digits.assign(1, '1');
            d.exp += 1;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

std::string renderFixed(const Decimal& d, int decimals, char sep) {
    std::string out;
    if (d.negative && !d.isZero()) out.push_back('-');
    if (d.isZero() || d.exp < 0) {
        out.push_back('0');
    } else {
        for (int p = d.exp; p >= 0; --p) out.push_back(d.digitAt(p));
    }
    if (decimals > 0) {
        out.push_back(sep);
        for (int p = -1; p >= -decimals; --p) out.push_back(d.isZero() ? '0' : d.digitAt(p));
    }
    return out;
}

std::string exponentText(int exp) {
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, exp);
    std::string out(1, 'E');
    out.append(buf, res.ptr);
    return out;
}

std::string renderExponent(const Decimal& d, char sep) {
    std::string out;
    if (d.negative) out.push_back('-');
    out.push_back(d.digits[0]);
    if (d.digits.size() > 1) {
        out.push_back(sep);
        out.append(d.digits, 1, std::string::npos);
    }
    return out + exponentText(d.exp);
}

// "INF", "-INF", "NAN" for a value that is not finite, else empty.
std::string nonFinite(double v) {
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
    return {};
}

// Days from 1970-01-01 to a civil date of the proleptic Gregorian calendar.
constexpr std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

CivilDate civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return CivilDate{static_cast<int>(y + (m <= 2 ? 1 : 0)), static_cast<int>(m), static_cast<int>(d)};
}

constexpr std::int64_t kSerialBase = daysFromCivil(1899, 12, 30);
constexpr std::int64_t kFirstSerial = daysFromCivil(1, 1, 1) - kSerialBase;
constexpr std::int64_t kLastSerial = daysFromCivil(9999, 12, 31) - kSerialBase;
static_assert(kSerialBase == -25569, "30 December 1899 lies 25569 days before 1 January 1970");

}  // namespace

std::string formatGeneral(double v, int precision, char decimalSep) {
    std::string out;
    appendGeneral(out, v, precision, decimalSep);
    return out;
}

void appendGeneral(std::string& out, double v, int precision, char decimalSep) {
    if (std::string bad = nonFinite(v); !bad.empty()) {
        out += bad;
        return;
    }
    precision = std::clamp(precision, 1, 800);
    if (v == 0) v = 0.0;  // no "-0"
    char buf[840];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, precision);
    const char* e = std::find(buf, res.ptr, 'e');
    for (const char* k = buf; k != e; ++k) out.push_back(*k == '.' ? decimalSep : *k);
    if (e != res.ptr) {
        int expValue = 0;
        const char* first = e + 1;
        if (*first == '+') ++first;
        std::from_chars(first, res.ptr, expValue);
        out += exponentText(expValue);
    }
}

std::string formatFixed(double v, int decimals, char decimalSep) {
    if (std::string bad = nonFinite(v); !bad.empty()) return bad;
    decimals = std::max(decimals, 0);
    Decimal d = shortestDecimal(v);
    roundDigits(d, d.exp + decimals + 1);
    return renderFixed(d, decimals, decimalSep);
}

std::string formatFixedPrecision(double v, int precision, int decimals, char decimalSep) {
    if (std::string bad = nonFinite(v); !bad.empty()) return bad;
    precision = std::max(precision, 1);
    decimals = std::max(decimals, 0);
    Decimal d = shortestDecimal(v);
    roundDigits(d, std::min(precision, d.exp + decimals + 1));
    if (!d.isZero() && d.exp + 1 > precision) return renderExponent(d, decimalSep);
    return renderFixed(d, decimals, decimalSep);
}

bool isValidDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int last = month == 2 && leap ? 29 : kDays[month - 1];
    return day <= last;
}

double dateSerial(int year, int month, int day) {
    if (!isValidDate(year, month, day)) return 0;
    return static_cast<double>(daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                               kSerialBase);
}

CivilDate civilFromSerial(double serial) {
    if (!std::isfinite(serial)) return {};
    const double whole = std::trunc(serial);
    if (whole < static_cast<double>(kFirstSerial) || whole > static_cast<double>(kLastSerial)) return {};
    return civilFromDays(static_cast<std::int64_t>(whole) + kSerialBase);
}

bool parseDecimal(std::string_view text, char sep, double& out) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string normal;
    bool digit = false, separator = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digit = true;
            normal.push_back(c);
        } else if (c == sep && !separator) {
            separator = true;
            normal.push_back('.');
        } else {
            return false;
        }
    }
    if (!digit) return false;
    if (normal.front() == '.') normal.insert(normal.begin(), '0');
    if (normal.back() == '.') normal.pop_back();
    double value = 0;
    const auto res =
        std::from_chars(normal.data(), normal.data() + normal.size(), value, std::chars_format::fixed);
    if (res.ec != std::errc() || res.ptr != normal.data() + normal.size()) return false;
    out = negative ? -value : value;
    return true;
}

}  // namespace kmx
