#include "platform/registry.h"

#include "platform/wine.h"

#include <QByteArray>
#include <QChar>
#include <QFile>

#include <cstring>
#include <memory>
#include <system_error>
#include <utility>

namespace kmx::platform {

namespace {

// Real registry files are a few megabytes; anything far beyond is not one.
constexpr std::uintmax_t maxFileSize = 512u * 1024u * 1024u;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

// Reads an escaped key name, value name or value from `pos` up to the first
// unescaped `end` and appends it to `out`. Bytes as they are are UTF-8; \x
// (up to four hex digits) and octal escapes are UTF-16 code units. Returns
// the position after `end`, or -1 when the line ends first.
qsizetype readEscaped(QByteArrayView line, qsizetype pos, char end, QString& out) {
    const qsizetype n = line.size();
    qsizetype run = pos;  // first byte not yet decoded
    auto flush = [&](qsizetype upTo) {
        if (upTo > run) out += QString::fromUtf8(line.sliced(run, upTo - run));
    };
    while (pos < n) {
        const char c = line[pos];
        if (c == end) {
            flush(pos);
            return pos + 1;
        }
        if (c != '\\') {
            ++pos;
            continue;
        }
        flush(pos);
        if (pos + 1 >= n) return -1;
        const char e = line[pos + 1];
        pos += 2;
        run = pos;
        switch (e) {
        case 'a': out += QChar(char16_t(7)); break;
        case 'b': out += QChar(char16_t(8)); break;
        case 't': out += QChar(char16_t(9)); break;
        case 'n': out += QChar(char16_t(10)); break;
        case 'v': out += QChar(char16_t(11)); break;
        case 'f': out += QChar(char16_t(12)); break;
        case 'r': out += QChar(char16_t(13)); break;
        case 'e': out += QChar(char16_t(27)); break;
        case 'x': {
            unsigned unit = 0;
            int digits = 0;
            while (digits < 4 && pos < n && hexDigit(line[pos]) >= 0) {
                unit = unit * 16 + unsigned(hexDigit(line[pos]));
                ++pos;
                ++digits;
            }
            if (digits == 0)
                out += QLatin1Char('x');
            else
                out += QChar(char16_t(unit));
            run = pos;
            break;
        }
        case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': {
            unsigned unit = unsigned(e - '0');
            for (int digits = 1; digits < 3 && pos < n && isOctal(line[pos]); ++digits, ++pos)
                unit = unit * 8 + unsigned(line[pos] - '0');
            out += QChar(char16_t(unit));
            run = pos;
            break;
        }
        default:
            // "\\", "\"", "\]" and any other escaped byte stand for themselves;
            // the byte starts the next run so that a UTF-8 sequence stays whole.
            run = pos - 1;
            break;
        }
    }
    return -1;
}

QString normalKey(QString path) {
    while (path.endsWith(QLatin1Char('\\'))) path.chop(1);
    return path.toLower();
}

qsizetype skipBlanks(QByteArrayView line, qsizetype pos) {
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    return pos;
}

}  // namespace

RegFile parseRegFile(QByteArrayView text) {
    RegFile file;
    QString key;
    bool inKey = false;  // false before the first section and after a broken one
    // After a hex value line ending in "\": its data goes on in the lines
    // that start with blanks.
    bool continuation = false;
    const char* const data = text.data();
    const qsizetype n = text.size();
    qsizetype start = 0;
    while (start < n) {
        const void* found = std::memchr(data + start, '\n', size_t(n - start));
        const qsizetype stop = found ? static_cast<const char*>(found) - data : n;
        QByteArrayView line = text.sliced(start, stop - start);
        start = stop + 1;
        if (line.endsWith('\r')) line.chop(1);

        qsizetype last = line.size();
        while (last > 0 && isBlank(line[last - 1])) --last;
        const bool endsInBackslash = last > 0 && line[last - 1] == '\\';
        const qsizetype first = skipBlanks(line, 0);
        if (continuation) {
            if (first > 0) {
                continuation = endsInBackslash;
                continue;
            }
            continuation = false;
        }
        if (first == line.size()) continue;

        const char lead = line[first];
        if (lead == '[') {
            QString name;
            inKey = readEscaped(line, first + 1, ']', name) >= 0;
            if (inKey) key = normalKey(name);
            continue;
        }
        if (lead != '"' && lead != '@') continue;  // header, ";;" comments, "#" options, noise

        QString name;
        qsizetype pos = first + 1;
        if (lead == '"') {
            pos = readEscaped(line, pos, '"', name);
            if (pos < 0) continue;
        }
        pos = skipBlanks(line, pos);
        if (pos >= line.size() || line[pos] != '=') continue;
        pos = skipBlanks(line, pos + 1);
        const QString valueName = name.toLower();
        if (pos < line.size() && line[pos] == '"') {
            QString value;
            if (readEscaped(line, pos + 1, '"', value) < 0 || !inKey) continue;
            file.keys[key].insert(valueName, value);
        } else {
            // Another type: a later line replaces an earlier string of that name.
            continuation = endsInBackslash;
            if (!inKey) continue;
            const auto it = file.keys.find(key);
            if (it != file.keys.end()) it->remove(valueName);
        }
    }
    return file;
}

WineRegistry::WineRegistry(QString prefix) : prefix_(std::move(prefix)) {}

QString WineRegistry::fileOf(Hive hive) const {
    return prefix_ + (hive == Hive::LocalMachine ? QStringLiteral("/system.reg") : QStringLiteral("/user.reg"));
}

const RegFile& WineRegistry::current(Hive hive) {
    Cached& cache = hive == Hive::LocalMachine ? machine_ : user_;
    const QString name = fileOf(hive);
    const std::filesystem::path path(QFile::encodeName(name).toStdString());
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    std::filesystem::file_time_type modified{};
    if (!error) modified = std::filesystem::last_write_time(path, error);
    if (error) {
        cache = Cached{};
        return cache.content;
    }
    if (cache.loaded && cache.size == size && cache.modified == modified) return cache.content;
    cache = Cached{};
    QFile in(name);
    // Stat first, read second: a change during the read shows at the next call.
    if (size <= maxFileSize && in.open(QIODevice::ReadOnly)) {
        cache.content = parseRegFile(in.readAll());
        cache.loaded = true;
        cache.size = size;
        cache.modified = modified;
    }
    return cache.content;
}

std::optional<QString> WineRegistry::readString(Hive hive, const QString& keyPath, const QString& valueName) {
    const std::lock_guard lock(mutex_);
    const RegFile& file = current(hive);
    const auto key = file.keys.constFind(normalKey(keyPath));
    if (key == file.keys.constEnd()) return std::nullopt;
    const auto value = key->constFind(valueName.toLower());
    if (value == key->constEnd()) return std::nullopt;
    return *value;
}

namespace {

// The registry of the prefix WINEPREFIX names at the time of each read.
class PrefixRegistry : public Registry {
public:
    std::optional<QString> readString(Hive hive, const QString& keyPath, const QString& valueName) override {
        const QString prefix = winePrefix();
        const std::lock_guard lock(mutex_);
        if (!wine_ || wine_->prefix() != prefix) wine_ = std::make_unique<WineRegistry>(prefix);
        return wine_->readString(hive, keyPath, valueName);
    }

private:
    std::mutex mutex_;
    std::unique_ptr<WineRegistry> wine_;
};

Registry* installed = nullptr;

}  // namespace

Registry& registry() {
    static PrefixRegistry system;
    return installed ? *installed : system;
}

void setRegistry(Registry* r) {
    installed = r;
}

}  // namespace kmx::platform
