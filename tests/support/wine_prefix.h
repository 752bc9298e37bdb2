#pragma once
// A fake Wine prefix for tests: drive_c/, dosdevices/c: -> ../drive_c and
// dosdevices/z: -> /, files under drive_c, and system.reg / user.reg written
// the way Wine writes them (escapes, sections with a timestamp and "#time=",
// the values of the test among dword, hex and multi-line hex values of
// others). Point WINEPREFIX or WineRegistry/WinePaths at path().

#include "platform/registry.h"

#include <QByteArray>
#include <QtGlobal>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

namespace kmx::winetest {

using kmx::platform::Hive;

// A name, value or key path escaped as Wine writes it into a registry file:
// printable ASCII as it is with "\" and the characters of `special` ("\"" in
// names and values, "[]" in key paths) behind a backslash; control
// characters as \a \b \t \n \v \f \r \e or octal; anything beyond ASCII as \x
// and its UTF-16 code unit in the fewest hex digits, four when a hex digit
// follows (so "ścieżka" is "\x015bcie\x17cka").
inline QByteArray wineEscaped(const QString& text, const char* special = "\"") {
    static const char cEscapes[33] = ".......abtnvfr.............e....";
    const auto isHex = [](char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    };
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char16_t next = i + 1 < text.size() ? text[i + 1].unicode() : u'\0';
        if (c > 127) {
            out += "\\x" + QByteArray::number(uint(c), 16).rightJustified(isHex(next) ? 4 : 0, '0');
        } else if (c < 32) {
            if (cEscapes[c] != '.')
                out += QByteArray("\\") + cEscapes[c];
            else
                out += "\\" + QByteArray::number(uint(c), 8).rightJustified(next >= u'0' && next <= u'7' ? 3 : 0, '0');
        } else {
            if (c == u'\\' || std::strchr(special, char(c))) out += '\\';
            out += char(c);
        }
    }
    return out;
}

class FakeWinePrefix {
public:
    // In a fresh temporary folder, removed with the object.
    FakeWinePrefix() : temp_(std::make_unique<QTemporaryDir>()) {
        if (temp_->isValid()) build(temp_->path());
    }
    // In `folder`, made when missing and left in place.
    explicit FakeWinePrefix(const QString& folder) { build(QDir(folder).absolutePath()); }

    bool isValid() const { return valid_; }
    // The prefix, as WINEPREFIX would name it.
    QString path() const { return root_; }
    QString driveC() const { return root_ + QStringLiteral("/drive_c"); }
    QString systemReg() const { return root_ + QStringLiteral("/system.reg"); }
    QString userReg() const { return root_ + QStringLiteral("/user.reg"); }

    // A string value (REG_SZ); `name` "" is the key's default value ("@=").
    // `wow64`: the value of a 32-bit program, so in a 64-bit prefix a
    // HKEY_LOCAL_MACHINE "Software\\..." key of it lies under
    // "Software\\Wow6432Node\\..."; HKEY_CURRENT_USER\Software is shared by
    // both and never moves. A later value of the same name replaces an
    // earlier one.
    void setString(Hive hive, const QString& keyPath, const QString& name, const QString& value, bool wow64 = true) {
        values_.push_back({hive, keyPath, name, wow64, quoted(value)});
    }
    // REG_EXPAND_SZ, written as str(2):"...".
    void setExpandString(Hive hive, const QString& keyPath, const QString& name, const QString& value,
                         bool wow64 = true) {
        values_.push_back({hive, keyPath, name, wow64, "str(2):" + quoted(value)});
    }
    void setDword(Hive hive, const QString& keyPath, const QString& name, quint32 value, bool wow64 = true) {
        values_.push_back({hive, keyPath, name, wow64, "dword:" + QByteArray::number(value, 16).rightJustified(8, '0')});
    }
    // Bytes as "hex:" (type 3, REG_BINARY) or "hex(type):", wrapped over
    // lines as Wine wraps them.
    void setHex(Hive hive, const QString& keyPath, const QString& name, const QByteArray& bytes, unsigned type = 3,
                bool wow64 = true) {
        values_.push_back({hive, keyPath, name, wow64, {}, bytes, type});
    }

    // Writes system.reg and user.reg of a 64-bit ("#arch=win64") or 32-bit
    // ("#arch=win32") prefix. False when a file cannot be written.
    bool writeRegistry(bool win64 = true) const {
        return writeHive(Hive::LocalMachine, win64) && writeHive(Hive::CurrentUser, win64);
    }

    // Creates the file of a "C:\\..." path (or one relative to C:) under
    // drive_c with the letter case given, folders included. Its Unix path,
    // or empty when it could not be written.
    QString addFile(const QString& windowsPath, const QByteArray& bytes) const {
        QString relative = windowsPath;
        if (relative.size() >= 2 && relative[1] == QLatin1Char(':')) {
            if (relative[0].toLower() != QLatin1Char('c')) return {};
            relative.remove(0, 2);
        }
        relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (parts.isEmpty()) return {};
        const QString file = driveC() + QLatin1Char('/') + parts.join(QLatin1Char('/'));
        if (!QDir().mkpath(QFileInfo(file).path())) return {};
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size()) return {};
        return file;
    }

    // Points dosdevices/<letter>: at `target` (relative to dosdevices or
    // absolute), replacing the link there; an empty target only removes it.
    bool setDrive(char letter, const QString& target) const {
        const std::filesystem::path link(
            QFile::encodeName(root_ + QStringLiteral("/dosdevices/") + QLatin1Char(letter) + QLatin1Char(':'))
                .toStdString());
        std::error_code error;
        std::filesystem::remove(link, error);
        if (target.isEmpty()) return !error;
        std::filesystem::create_symlink(QFile::encodeName(target).toStdString(), link, error);
        return !error;
    }

private:
    struct Value {
        Hive hive;
        QString keyPath;
        QString name;
        bool wow64;
        QByteArray text;  // after "=", unless a hex value
        QByteArray hex = {};
        unsigned hexType = 0;
    };
    struct Key {
        QString path;
        QMap<QString, Value> values;  // by lower-case name
    };

    static QByteArray quoted(const QString& value) { return '"' + wineEscaped(value) + '"'; }

    void build(const QString& root) {
        root_ = root;
        valid_ = QDir().mkpath(root_ + QStringLiteral("/drive_c/windows/system32")) &&
                 QDir().mkpath(root_ + QStringLiteral("/drive_c/users/kosztorysant")) &&
                 QDir().mkpath(root_ + QStringLiteral("/dosdevices")) && setDrive('c', QStringLiteral("../drive_c")) &&
                 setDrive('z', QStringLiteral("/"));
    }

    // Where a key of `value` lies in the file.
    static QString placed(const Value& value, bool win64) {
        QStringList parts = value.keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        const bool redirected = win64 && value.wow64 && value.hive == Hive::LocalMachine && !parts.isEmpty() &&
                                parts[0].compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0 &&
                                (parts.size() < 2 || parts[1].compare(QLatin1String("Wow6432Node"), Qt::CaseInsensitive) != 0);
        if (redirected) parts.insert(1, QStringLiteral("Wow6432Node"));
        return parts.join(QLatin1Char('\\'));
    }

    // One value line (or several for a long hex value) as Wine's writer makes it.
    static QByteArray valueLine(const Value& value) {
        QByteArray line = value.name.isEmpty() ? QByteArray("@=") : '"' + wineEscaped(value.name) + "\"=";
        if (!value.text.isEmpty()) return line + value.text + '\n';
        line += value.hexType == 3 ? QByteArray("hex:") : "hex(" + QByteArray::number(value.hexType, 16) + "):";
        qsizetype count = line.size();
        for (qsizetype i = 0; i < value.hex.size(); ++i) {
            line += QByteArray::number(uchar(value.hex[i]), 16).rightJustified(2, '0');
            count += 2;
            if (i + 1 < value.hex.size()) {
                line += ',';
                if (++count > 76) {
                    line += "\\\n  ";
                    count = 2;
                }
            }
        }
        return line + '\n';
    }

    // Keys other programs and Wine itself keep in the files: dwords, short
    // and long hex values, expand strings.
    void addNoise(Hive hive, QMap<QString, Key>& keys) const {
        QByteArray config;
        for (int i = 0; i < 120; ++i) config += char(i * 37 + 11);
        std::vector<Value> noise;
        if (hive == Hive::LocalMachine) {
            const QString cpu = QStringLiteral("Hardware\\Description\\System\\CentralProcessor\\0");
            noise.push_back({hive, cpu, QStringLiteral("~MHz"), false, "dword:00000bb8"});
            noise.push_back({hive, cpu, QStringLiteral("FeatureSet"), false, "dword:3d1b7fff"});
            noise.push_back({hive, QStringLiteral("Hardware\\Description\\System"), QStringLiteral("Configuration Data"),
                             false, {}, config, 9});
            const QString env = QStringLiteral("System\\CurrentControlSet\\Control\\Session Manager\\Environment");
            noise.push_back({hive, env, QStringLiteral("PATH"), false,
                             "str(2):" + quoted(QStringLiteral("%SystemRoot%\\system32;%SystemRoot%"))});
            noise.push_back({hive, env, QStringLiteral("NUMBER_OF_PROCESSORS"), false, quoted(QStringLiteral("4"))});
        } else {
            const QString desktop = QStringLiteral("Control Panel\\Desktop");
            noise.push_back({hive, desktop, QStringLiteral("UserPreferenceMask"), false, {}, QByteArray("\x9e\x1e\x07\x80", 4), 3});
            noise.push_back({hive, desktop, QStringLiteral("FontSmoothing"), false, quoted(QStringLiteral("2"))});
            noise.push_back({hive, QStringLiteral("Software\\Wine\\Fonts"), QStringLiteral("Cache"), false, {}, config, 3});
            noise.push_back({hive, QStringLiteral("Environment"), QStringLiteral("TEMP"), false,
                             "str(2):" + quoted(QStringLiteral("%USERPROFILE%\\Temp"))});
        }
        for (const Value& v : noise) {
            Key& key = keys[v.keyPath.toLower()];
            key.path = v.keyPath;
            key.values.insert(v.name.toLower(), v);
        }
    }

    bool writeHive(Hive hive, bool win64) const {
        QMap<QString, Key> keys;  // by lower-case path: the order Wine keeps them in, near enough
        addNoise(hive, keys);
        for (const Value& value : values_) {
            if (value.hive != hive) continue;
            const QString where = placed(value, win64);
            Key& key = keys[where.toLower()];
            if (key.path.isEmpty()) key.path = where;
            key.values.insert(value.name.toLower(), value);
        }
        QByteArray text = "WINE REGISTRY Version 2\n;; All keys relative to ";
        text += hive == Hive::LocalMachine ? wineEscaped(QStringLiteral("\\Machine"))
                                           : wineEscaped(QStringLiteral("\\User\\S-1-5-21-0-0-0-1000"));
        text += win64 ? "\n\n#arch=win64\n" : "\n\n#arch=win32\n";
        qint64 stamp = 1700000000;
        for (const Key& key : keys) {
            ++stamp;
            text += "\n[" + wineEscaped(key.path, "[]") + "] " + QByteArray::number(stamp) + '\n';
            text += "#time=" + QByteArray::number((stamp + 11644473600LL) * 10000000LL, 16) + '\n';
            for (const Value& value : key.values) text += valueLine(value);
        }
        QFile out(hive == Hive::LocalMachine ? systemReg() : userReg());
        return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(text) == text.size();
    }

    std::unique_ptr<QTemporaryDir> temp_;
    QString root_;
    bool valid_ = false;
    std::vector<Value> values_;
};

// Sets WINEPREFIX (unsets it for a null string) for its lifetime and puts
// back what was there.
class WinePrefixVariable {
public:
    explicit WinePrefixVariable(const QString& prefix)
        : had_(qEnvironmentVariableIsSet("WINEPREFIX")), old_(qgetenv("WINEPREFIX")) {
        if (prefix.isNull())
            qunsetenv("WINEPREFIX");
        else
            qputenv("WINEPREFIX", QFile::encodeName(prefix));
    }
    ~WinePrefixVariable() {
        if (had_)
            qputenv("WINEPREFIX", old_);
        else
            qunsetenv("WINEPREFIX");
    }
    WinePrefixVariable(const WinePrefixVariable&) = delete;
    WinePrefixVariable& operator=(const WinePrefixVariable&) = delete;

private:
    bool had_;
    QByteArray old_;
};

}  // namespace kmx::winetest
