#pragma once
// String values of the Windows registry. The cost-estimating programs the
// price lists go to are Windows programs run under Wine on this system, so
// "the registry" is the registry files of the Wine prefix; a native Windows
// build puts the real registry behind the same interface.

#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>

namespace kmx::platform {

enum class Hive { LocalMachine, CurrentUser };

class Registry {
public:
    virtual ~Registry() = default;
    // keyPath like "Software\\Nordvale\\Tessar Pro" (backslash-separated, no
    // hive, a trailing backslash allowed); valueName "" is the key's default
    // value. Key and value names compare without regard to letter case.
    // Nullopt when the key or the value is absent or the value is not a
    // string (REG_SZ).
    virtual std::optional<QString> readString(Hive hive, const QString& keyPath, const QString& valueName) = 0;
};

// The parsed string values of one .reg file: lower-cased key path
// (backslash-separated, no brackets) -> lower-cased value name -> value.
struct RegFile {
    QHash<QString, QHash<QString, QString>> keys;
};

// Reads Wine's registry text ("WINE REGISTRY Version 2"). Only plain string
// values are kept; other value types, comments, options and anything that
// does not parse are skipped line by line, so any input gives a result.
RegFile parseRegFile(QByteArrayView text);

// The registry of a Wine prefix: HKEY_LOCAL_MACHINE is <prefix>/system.reg,
// HKEY_CURRENT_USER <prefix>/user.reg. A file is read at its first use and
// again whenever its modification time or size changed; a missing file has
// no values.
class WineRegistry : public Registry {
public:
    explicit WineRegistry(QString prefix);
    std::optional<QString> readString(Hive hive, const QString& keyPath, const QString& valueName) override;
    const QString& prefix() const { return prefix_; }
    // The file that holds `hive`.
    QString fileOf(Hive hive) const;

private:
    struct Cached {
        bool loaded = false;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified{};
        RegFile content;
    };
    const RegFile& current(Hive hive);

    QString prefix_;
    std::mutex mutex_;
    Cached machine_;
    Cached user_;
};

// The program's registry: a WineRegistry on winePrefix() (followed when
// WINEPREFIX changes) unless a test installed another.
Registry& registry();
// For tests; nullptr restores the program's own.
void setRegistry(Registry* r);

}  // namespace kmx::platform
