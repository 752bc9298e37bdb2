// The INI reader and writer (nvres.ini and other programs' files). The input
// is the file, then, after zero bytes, a section, a key and a value to write
// and a second section and key to look at (missing ones take the currency
// rate names the program uses). Checked: the bytes load unchanged; a value
// read holds no line feed and no blanks at its ends; a write that succeeds
// reads back, changes one line or only adds bytes, and leaves every other
// key's value alone; a refused write changes nothing.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/ini_file.h"
#include "fuzz/fuzz_support.h"

namespace {

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    a = trimmed(a);
    b = trimmed(b);
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

void checkValue(const std::optional<std::string>& v) {
    if (!v) return;
    // A line ends at LF; a lone CR inside a line is part of its value.
    KMX_FUZZ_CHECK(v->find('\n') == std::string::npos);
    KMX_FUZZ_CHECK(v->empty() ||
                   (v->front() != ' ' && v->front() != '\t' && v->back() != ' ' && v->back() != '\t'));
}

std::string_view orDefault(std::string_view s, std::string_view fallback) {
    return s.empty() ? fallback : s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = kmx::fuzz::splitAtZeros(kmx::fuzz::asView(data, size), 6);
    const std::string original(parts[0]);
    const std::string_view section = orDefault(parts[1], "Kursy walut");
    const std::string_view key = orDefault(parts[2], "EUR");
    const std::string_view value = parts[3];
    const std::string_view section2 = orDefault(parts[4], "Kursy walut");
    const std::string_view key2 = orDefault(parts[5], "Waluta bazowa");

    kmx::IniFile ini = kmx::IniFile::fromBytes(original);
    KMX_FUZZ_CHECK(ini.bytes() == original);

    const std::optional<std::string> before = ini.value(section, key);
    const std::optional<std::string> otherBefore = ini.value(section2, key2);
    checkValue(before);
    checkValue(otherBefore);

    const bool written = ini.set(section, key, value);
    const std::string& now = ini.bytes();
    if (!written) {
        KMX_FUZZ_CHECK(now == original);
        return 0;
    }
    // What the writer may not refuse was written, and reads back trimmed.
    KMX_FUZZ_CHECK(ini.value(section, key) == std::string(trimmed(value)));

    // Only one place changed: the bytes the old file and the new one share at
    // the start and at the end leave out at most a part of one line (the old
    // value), or nothing when a line or a section was added.
    std::size_t prefix = 0;
    const std::size_t shorter = std::min(original.size(), now.size());
    while (prefix < shorter && original[prefix] == now[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < shorter - prefix &&
           original[original.size() - 1 - suffix] == now[now.size() - 1 - suffix])
        ++suffix;
    const std::string_view removed =
        std::string_view(original).substr(prefix, original.size() - prefix - suffix);
    if (before) {
        KMX_FUZZ_CHECK(removed.find('\n') == std::string_view::npos);
    } else {
        KMX_FUZZ_CHECK(removed.empty());
    }

    if (!(sameName(section, section2) && sameName(key, key2))) {
        KMX_FUZZ_CHECK(ini.value(section2, key2) == otherBefore);
    }

    // Writing the value again changes nothing (blanks in front of a value
    // add to the blanks kept after the "=", so those are left out).
    if (value.empty() || (value.front() != ' ' && value.front() != '\t')) {
        const std::string once = now;
        KMX_FUZZ_CHECK(ini.set(section, key, value));
        KMX_FUZZ_CHECK(ini.bytes() == once);
    }
    return 0;
}
