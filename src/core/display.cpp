#include "core/display.h"

#include <charconv>

#include "core/cp1250.h"
#include "core/numfmt.h"
#include "core/scramble.h"
#include "core/textutil.h"

namespace kmx {

namespace {

constexpr char kDisplaySep = ',';

void appendPadded(std::string& out, int value, int width) {
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    const auto len = static_cast<int>(res.ptr - buf);
    out.append(static_cast<std::size_t>(width > len ? width - len : 0), '0');
    out.append(buf, res.ptr);
}

}  // namespace

std::string DeszyfrujNazwy(std::string_view stored, std::string_view mask) {
    return cp1250::toUtf8(trimSpaces(NalozWielkoscLiter(Deszyfruj(stored, 1), mask)));
}

std::string DeszyfrujStrP2(std::string_view stored) {
    return cp1250::toUtf8(cp1250::upper(trimSpaces(Deszyfruj(stored, 2))));
}

std::string DeszyfrujStrP3(std::string_view stored) {
    return cp1250::toUtf8(trimSpaces(Deszyfruj(stored, 3)));
}

std::string DeszyfrujCene(std::optional<double> value) {
    if (!value) return {};
    return formatFixedPrecision(*value, 10, 2, kDisplaySep);
}

std::string DeszyfrujFloat(std::optional<double> value) {
    if (!value) return {};
    return formatGeneral(*value, 15, kDisplaySep);
}

std::string DeszyfrujDate(std::optional<double> serial) {
    if (!serial || *serial == 0) return {};
    const CivilDate d = civilFromSerial(*serial);
    if (d.year == 0) return {};
    std::string out;
    appendPadded(out, d.day, 2);
    out.push_back('-');
    appendPadded(out, d.month, 2);
    out.push_back('-');
    appendPadded(out, d.year, 4);
    return out;
}

std::string formatuj(std::string_view storedCp1250) { return cp1250::toUtf8(trimSpaces(storedCp1250)); }

std::string WywalTab(std::string_view /*stored*/) { return {}; }

std::string FormatCena00(std::optional<double> value) {
    if (!value) return {};
    return formatFixed(*value, 2, kDisplaySep);
}

std::string DeszyfrujTekst(std::string_view stored, int mode) { return cp1250::toUtf8(Deszyfruj(stored, mode)); }

}  // namespace kmx
