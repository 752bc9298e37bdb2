#include "core/ini_file.h"

#include "core/safe_file.h"

#include <cerrno>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace kmx {

namespace {

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

// One line of the file: [begin, end) is its text without the line end,
// [end, next) the line end ("\n", "\r\n" or nothing for the last line).
struct Line {
    std::size_t begin, end, next;
};

std::vector<Line> splitLines(const std::string& bytes) {
    std::vector<Line> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t lf = bytes.find('\n', at);
        if (lf == std::string::npos) {
            lines.push_back({at, bytes.size(), bytes.size()});
            break;
        }
        const std::size_t end = lf > at && bytes[lf - 1] == '\r' ? lf - 1 : lf;
        lines.push_back({at, end, lf + 1});
        at = lf + 1;
    }
    return lines;
}

enum class Kind { Blank, Comment, Header, Key, Other };

struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;       // section or key name, trimmed
    std::size_t valueBegin = 0;  // Key: offset of the value in the file (after "=" and blanks)
};

Parsed parse(const std::string& bytes, const Line& line) {
    const std::string_view text(bytes.data() + line.begin, line.end - line.begin);
    const std::string_view t = trimmed(text);
    Parsed p;
    if (t.empty()) {
        p.kind = Kind::Blank;
    } else if (t.front() == ';') {
        p.kind = Kind::Comment;
    } else if (t.front() == '[' && t.find(']') != std::string_view::npos) {
        p.kind = Kind::Header;
        p.name = trimmed(t.substr(1, t.find(']') - 1));
    } else if (const std::size_t eq = text.find('=');
               eq != std::string_view::npos && !trimmed(text.substr(0, eq)).empty()) {
        p.kind = Kind::Key;
        p.name = trimmed(text.substr(0, eq));
        std::size_t v = eq + 1;
        while (v < text.size() && (text[v] == ' ' || text[v] == '\t')) ++v;
        p.valueBegin = line.begin + v;
    }
    return p;
}

// Where a key is or would go.
struct Place {
    bool section = false;         // the section exists
    std::size_t lastContent = 0;  // its last line that is neither blank nor a comment
    bool key = false;             // the key exists
    std::size_t keyLine = 0;
    Parsed keyParsed;
};

Place locate(const std::string& bytes, const std::vector<Line>& lines, std::string_view section,
             std::string_view key) {
    Place place;
    bool inside = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Parsed p = parse(bytes, lines[i]);
        if (p.kind == Kind::Header) {
            if (inside) break;  // past the end of the first such section
            if (sameName(p.name, section)) {
                inside = place.section = true;
                place.lastContent = i;
            }
            continue;
        }
        if (!inside) continue;
        if (p.kind != Kind::Blank && p.kind != Kind::Comment) place.lastContent = i;
        if (p.kind == Kind::Key && sameName(p.name, key)) {
            place.key = true;
            place.keyLine = i;
            place.keyParsed = p;
            break;
        }
    }
    return place;
}

std::string lineEnd(const std::string& bytes) {
    const std::size_t lf = bytes.find('\n');
    if (lf == std::string::npos) return "\r\n";
    return lf > 0 && bytes[lf - 1] == '\r' ? "\r\n" : "\n";
}

bool hasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

std::string pathText(const std::filesystem::path& path) {
    return path.string();
}

std::string reason(int code) {
    return safefile::Reason(code);
}

}  // namespace

IniFile IniFile::fromBytes(std::string bytes) {
    IniFile f;
    f.bytes_ = std::move(bytes);
    return f;
}

bool IniFile::load(const std::filesystem::path& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            bytes_.clear();
            return true;
        }
        error = "Nie można odczytać pliku " + pathText(path) + ": " + reason(errno);
        return false;
    }
    std::string content;
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int code = errno;
            ::close(fd);
            error = "Nie można odczytać pliku " + pathText(path) + ": " + reason(code);
            return false;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    bytes_ = std::move(content);
    return true;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const std::vector<Line> lines = splitLines(bytes_);
    const Place place = locate(bytes_, lines, trimmed(section), trimmed(key));
    if (!place.key) return std::nullopt;
    const Line& line = lines[place.keyLine];
    return std::string(trimmed(
        std::string_view(bytes_).substr(place.keyParsed.valueBegin, line.end - place.keyParsed.valueBegin)));
}

bool IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
    section = trimmed(section);
    key = trimmed(key);
    if (section.empty() || section.find(']') != std::string_view::npos || hasLineBreak(section)) return false;
    if (key.empty() || key.find('=') != std::string_view::npos || key.front() == '[' || key.front() == ';' ||
        hasLineBreak(key))
        return false;
    if (hasLineBreak(value)) return false;

    const std::vector<Line> lines = splitLines(bytes_);
    const Place place = locate(bytes_, lines, section, key);
    const std::string eol = lineEnd(bytes_);
    const std::string entry = std::string(key) + "=" + std::string(value);
    if (place.key) {
        const Line& line = lines[place.keyLine];
        bytes_.replace(place.keyParsed.valueBegin, line.end - place.keyParsed.valueBegin, value);
        return true;
    }
    if (place.section) {
        const Line& after = lines[place.lastContent];
        if (after.next > after.end)
            bytes_.insert(after.next, entry + eol);
        else
            bytes_.insert(after.next, eol + entry + eol);  // the file's unterminated last line
        return true;
    }
    std::string added;
    if (!bytes_.empty()) {
        if (bytes_.back() != '\n') added += eol;
        if (parse(bytes_, lines.back()).kind != Kind::Blank) added += eol;
    }
    added += '[';
    added += section;
    added += ']';
    added += eol;
    added += entry;
    added += eol;
    bytes_ += added;
    return true;
}

bool IniFile::save(const std::filesystem::path& path, std::string& error) const {
    return safefile::WriteFile(path, bytes_, error);
}

}  // namespace kmx
