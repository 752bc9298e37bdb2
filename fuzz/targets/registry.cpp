// Wine's registry files (system.reg, user.reg). Any text parses; key paths
// and value names come out lower-cased with no trailing backslash; and the
// string values found, written back the way Wine escapes them, parse to the
// same values: the escapes read are the escapes Wine writes.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "platform/registry.h"
#include "support/wine_prefix.h"

namespace {

using kmx::platform::RegFile;

// The keys that hold values; a key whose strings were all replaced by
// values of other types is the same as no key.
QHash<QString, QHash<QString, QString>> withValues(const RegFile& f) {
    QHash<QString, QHash<QString, QString>> out;
    for (auto it = f.keys.cbegin(); it != f.keys.cend(); ++it)
        if (!it->isEmpty()) out.insert(it.key(), it.value());
    return out;
}

QByteArray written(const RegFile& f) {
    QByteArray text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n";
    for (auto key = f.keys.cbegin(); key != f.keys.cend(); ++key) {
        if (key->isEmpty()) continue;
        text += "\n[" + kmx::winetest::wineEscaped(key.key(), "[]") + "] 1700000000\n#time=1da2b3c4d5e6f70\n";
        for (auto value = key->cbegin(); value != key->cend(); ++value) {
            text +=
                value.key().isEmpty() ? QByteArray("@") : '"' + kmx::winetest::wineEscaped(value.key()) + '"';
            text += "=\"" + kmx::winetest::wineEscaped(value.value()) + "\"\n";
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const RegFile file = kmx::platform::parseRegFile(text);
    for (auto key = file.keys.cbegin(); key != file.keys.cend(); ++key) {
        KMX_FUZZ_CHECK(key.key() == key.key().toLower());
        KMX_FUZZ_CHECK(!key.key().endsWith(u'\\'));
        for (auto value = key->cbegin(); value != key->cend(); ++value)
            KMX_FUZZ_CHECK(value.key() == value.key().toLower());
    }
    const RegFile again = kmx::platform::parseRegFile(written(file));
    KMX_FUZZ_CHECK(withValues(again) == withValues(file));
    return 0;
}
