#include "platform/registry.h"

#include "support/wine_prefix.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTime>

#include <gtest/gtest.h>

#include <random>

namespace {

using kmx::platform::Hive;
using kmx::platform::parseRegFile;
using kmx::platform::RegFile;
using kmx::platform::Registry;
using kmx::platform::registry;
using kmx::platform::setRegistry;
using kmx::platform::WineRegistry;
using kmx::winetest::FakeWinePrefix;
using kmx::winetest::wineEscaped;
using kmx::winetest::WinePrefixVariable;

const QString tessarKey = QStringLiteral("Software\\Nordvale\\Tessar Pro");
const QString tessarKey32 = QStringLiteral("Software\\Wow6432Node\\Nordvale\\Tessar Pro");

QString valueOf(const RegFile& file, const QString& key, const QString& name) {
    return file.keys.value(key).value(name, QStringLiteral("<none>"));
}

// A system.reg as Wine writes it, with the measured spellings of a Polish
// key and value name.
const char* const wineSystemReg = R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\Nordvale\\Tabele parametr\xf3w] 1700000001
#time=1da2b3c4d5e6f70
"\x015bcie\x17cka tabel"="C:\\Tabele"

[Software\\Wow6432Node\\Nordvale\\Tessar Pro] 1700000002
#time=1da2b3c4d5e6f71
@="Tessar Pro 4"
"Blob"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\
  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,\
  30,31
"Env"=str(2):"%ProgramFiles%\\Nordvale"
"Install"=dword:00000001
"List"=str(7):"a\0b\0"
"Path"="C:\\Program Files (x86)\\Nordvale\\Tessar Pro"
"Version"="4.2"
)";

TEST(RegistryParse, ReadsTheStringValuesOfAFileAsWineWritesIt) {
    const RegFile file = parseRegFile(QByteArray(wineSystemReg));
    ASSERT_EQ(file.keys.size(), 2);
    EXPECT_EQ(valueOf(file, QString::fromUtf8("software\\nordvale\\tabele parametrów"),
                      QString::fromUtf8("ścieżka tabel")),
              "C:\\Tabele");
    const QHash<QString, QString> tessar = file.keys.value("software\\wow6432node\\nordvale\\tessar pro");
    // Strings only: the default value, "Path" and "Version"; hex, dword, str(2) and str(7) are skipped.
    EXPECT_EQ(tessar.size(), 3);
    EXPECT_EQ(tessar.value(""), "Tessar Pro 4");
    EXPECT_EQ(tessar.value("path"), "C:\\Program Files (x86)\\Nordvale\\Tessar Pro");
    EXPECT_EQ(tessar.value("version"), "4.2");
}

TEST(RegistryParse, DecodesEveryEscape) {
    const RegFile file =
        parseRegFile(QByteArray("[K\\\\Br\\]acket\\\\]\n"
                                "\"c\"=\"\\\\ \\\" \\n\\r\\t\\a\\b\\e\\f\\v\"\n"
                                "\"octal\"=\"\\101\\1012\\0x\\7\"\n"
                                "\"hex\"=\"\\x41\\x00411\\xf3w\\x17c\\xd83d\\xde00\\xq\"\n"
                                "\"raw\"=\"\xc5\x9b"
                                "ci\xc3\xb3\\\\\xc5\xbc\"\n"
                                "\"other\"=\"\\q\\\xc3\xb3\"\n"));
    const QString key = "k\\br]acket";  // the trailing backslash of the section dropped
    ASSERT_TRUE(file.keys.contains(key));
    EXPECT_EQ(valueOf(file, key, "c"), QString::fromUtf8("\\ \" \n\r\t\a\b\x1b\f\v"));
    EXPECT_EQ(valueOf(file, key, "octal"), QString("A") + "A2" + QChar(0) + "x" + QChar(7));
    EXPECT_EQ(valueOf(file, key, "hex"), QString::fromUtf8("AA1ów\u017c\U0001F600xq"));
    EXPECT_EQ(valueOf(file, key, "raw"), QString::fromUtf8("śció\\ż"));
    EXPECT_EQ(valueOf(file, key, "other"), QString::fromUtf8("qó"));
}

TEST(RegistryParse, SkipsBrokenLinesAndKeepsTheRest) {
    const RegFile file =
        parseRegFile(QByteArray("\"before\"=\"no section yet\"\r\n"
                                "[A] 1\r\n"
                                "\"ok\"=\"1\"\r\n"
                                "\"unterminated\"=\"abc\r\n"
                                "\"name only\r\n"
                                "\"noequals\" \"x\"\r\n"
                                "\"lone\"=\"abc\\\r\n"
                                "  \"spaced\" = \"2\"\r\n"
                                "\"twice\"=\"string first\"\r\n"
                                "\"twice\"=dword:00000002\r\n"
                                "\"wrapped\"=hex:01,02,\\\r\n"
                                "  \"looks\"=\"like a value\",\\\r\n"
                                "  [Looks like a key]\r\n"
                                "\"after\"=\"3\"\r\n"
                                "\"cut\"=hex:01,\\\r\n"
                                "[B]\r\n"
                                "\"b\"=\"4\"\r\n"
                                "[Broken\\\r\n"
                                "\"lost\"=\"5\"\r\n"
                                "[a]\r\n"
                                "\"merged\"=\"6\""));
    const QHash<QString, QString> a = file.keys.value("a");
    EXPECT_EQ(a, (QHash<QString, QString>{{"ok", "1"}, {"spaced", "2"}, {"after", "3"}, {"merged", "6"}}));
    EXPECT_EQ(file.keys.value("b"), (QHash<QString, QString>{{"b", "4"}}));
    EXPECT_EQ(file.keys.size(), 2);
}

TEST(RegistryParse, EscapesAsWineDoes) {
    // Measured with Wine's own "reg add".
    EXPECT_EQ(wineEscaped(QString::fromUtf8("ścieżka tabel")), "\\x015bcie\\x17cka tabel");
    EXPECT_EQ(wineEscaped(QString::fromUtf8("Software\\Nordvale\\Tabele parametrów"), "[]"),
              "Software\\\\Nordvale\\\\Tabele parametr\\xf3w");
    EXPECT_EQ(wineEscaped(QString::fromUtf8("\"[x]\"\t\x01") + "7" + QChar(1)), "\\\"[x]\\\"\\t\\0017\\1");

    // Whatever the helper writes reads back as it was.
    const QStringList texts = {QString::fromUtf8("żółć 4 ąę"),
                               QString::fromUtf8("ó1ÓaÓg"),
                               "a\\\"b\"\\",
                               QString("\x01") + "7" + QChar(0x7f) + "\n\x1b",
                               QString::fromUtf8("\U0001F600f]["),
                               ""};
    for (const QString& text : texts) {
        const QString key = "K\\" + text + "\\Z";
        const QByteArray reg = "[" + wineEscaped(key, "[]") + "] 1\n\"" + wineEscaped(text) + "\"=\"" +
                               wineEscaped(text) + "\"\n";
        EXPECT_EQ(valueOf(parseRegFile(reg), key.toLower(), text.toLower()), text) << reg.toStdString();
    }
}

// Random bytes and mutations of a real file: every parse ends, names come out
// lower-cased, and the section after the damage is read in full.
TEST(RegistryParse, SurvivesDamagedAndRandomInput) {
    std::mt19937 random(20240611);
    const QByteArray valid(wineSystemReg);
    const QByteArray syntax = "[]\"\\@=:,x0179af \t\r\n;#";
    const QByteArray marker = "\n[Marker]\n\"v\"=\"ok\"\n";
    const auto pick = [&](qsizetype below) { return below <= 0 ? 0 : qsizetype(random() % size_t(below)); };
    const auto anyByte = [&] { return random() % 2 ? syntax[pick(syntax.size())] : char(random() % 256); };
    for (int run = 0; run < 4000; ++run) {
        QByteArray text;
        if (run % 2) {
            for (qsizetype i = pick(400); i > 0; --i) text += anyByte();
        } else {
            text = valid;
            for (int edits = 1 + int(pick(8)); edits > 0; --edits) {
                const qsizetype at = pick(text.size() + 1);
                switch (random() % 4) {
                    case 0:
                        if (at < text.size()) text[at] = anyByte();
                        break;
                    case 1:
                        text.insert(at, anyByte());
                        break;
                    case 2:
                        text.remove(at, pick(40));
                        break;
                    default:
                        text.insert(at, text.mid(pick(text.size()), pick(60)));
                        break;
                }
            }
        }
        const RegFile file = parseRegFile(text + marker);
        ASSERT_EQ(valueOf(file, "marker", "v"), "ok") << "run " << run << ": " << text.toHex().toStdString();
        for (auto key = file.keys.cbegin(); key != file.keys.cend(); ++key) {
            ASSERT_EQ(key.key(), key.key().toLower()) << "run " << run;
            for (auto value = key->cbegin(); value != key->cend(); ++value)
                ASSERT_EQ(value.key(), value.key().toLower()) << "run " << run;
        }
    }
    // Lines of megabytes that never close: one pass over each.
    const QByteArray huge(4 * 1024 * 1024, 'a');
    const QByteArray hugeLines = "[" + huge + "\n[K]\n\"" + huge + "\n\"v\"=\"" + huge + "\\\n" + "\"" +
                                 QByteArray("\\x").repeated(1 << 20) + "\n\"v2\"=\"" + huge + "\"\n";
    const RegFile file = parseRegFile(hugeLines);
    EXPECT_EQ(file.keys.value("k").size(), 1);
    EXPECT_EQ(file.keys.value("k").value("v2").size(), huge.size());
}

// A 64-bit prefix keeps a 32-bit program's machine keys under Wow6432Node and
// its user keys in place; a 32-bit prefix has no Wow6432Node.
TEST(RegistryWine, ReadsSixtyFourAndThirtyTwoBitLayouts) {
    for (const bool win64 : {true, false}) {
        SCOPED_TRACE(win64 ? "win64" : "win32");
        FakeWinePrefix prefix;
        ASSERT_TRUE(prefix.isValid());
        prefix.setString(Hive::LocalMachine, tessarKey, "Path", "C:\\Program Files\\Nordvale\\Tessar Pro");
        prefix.setString(Hive::LocalMachine, "Software\\Nordvale\\Tessar Pro 64", "Path", "C:\\T64", false);
        prefix.setString(Hive::CurrentUser, tessarKey + "\\Ustawienia", "Katalog cen", "C:\\Ceny");
        ASSERT_TRUE(prefix.writeRegistry(win64));

        WineRegistry wine(prefix.path());
        EXPECT_EQ(wine.readString(Hive::LocalMachine, win64 ? tessarKey32 : tessarKey, "Path"),
                  "C:\\Program Files\\Nordvale\\Tessar Pro");
        EXPECT_EQ(wine.readString(Hive::LocalMachine, win64 ? tessarKey : tessarKey32, "Path"), std::nullopt);
        EXPECT_EQ(wine.readString(Hive::LocalMachine, "Software\\Nordvale\\Tessar Pro 64", "Path"),
                  "C:\\T64");
        EXPECT_EQ(wine.readString(Hive::CurrentUser, tessarKey + "\\Ustawienia", "Katalog cen"), "C:\\Ceny");
        // The hives are apart.
        EXPECT_EQ(wine.readString(Hive::LocalMachine, tessarKey + "\\Ustawienia", "Katalog cen"),
                  std::nullopt);
        EXPECT_EQ(wine.readString(Hive::CurrentUser, "Software\\Nordvale\\Tessar Pro 64", "Path"),
                  std::nullopt);
    }
}

TEST(RegistryWine, NamesIgnoreLetterCaseAndOnlyStringsAreStrings) {
    FakeWinePrefix prefix;
    const QString tables = QString::fromUtf8("Software\\Nordvale\\Tabele parametrów");
    prefix.setString(Hive::LocalMachine, tables, QString::fromUtf8("ścieżka tabel"),
                     QString::fromUtf8("C:\\Tabele Ó"), false);
    prefix.setString(Hive::LocalMachine, tessarKey, "", "Tessar Pro 4");
    prefix.setDword(Hive::LocalMachine, tessarKey, "Install", 1);
    prefix.setExpandString(Hive::LocalMachine, tessarKey, "Env", "%ProgramFiles%");
    prefix.setHex(Hive::LocalMachine, tessarKey, "Blob", QByteArray(100, 'x'));
    prefix.setString(Hive::LocalMachine, tessarKey, "Multi", "a\nb\t\"c\"");
    ASSERT_TRUE(prefix.writeRegistry());

    // The helper writes the measured spellings.
    QFile system(prefix.systemReg());
    ASSERT_TRUE(system.open(QIODevice::ReadOnly));
    const QByteArray text = system.readAll();
    EXPECT_TRUE(text.contains("\n[Software\\\\Nordvale\\\\Tabele parametr\\xf3w] 17")) << text.toStdString();
    EXPECT_TRUE(text.contains("\n\"\\x015bcie\\x17cka tabel\"=\"C:\\\\Tabele \\xd3\"\n"))
        << text.toStdString();

    WineRegistry wine(prefix.path());
    EXPECT_EQ(
        wine.readString(Hive::LocalMachine, QString::fromUtf8("SOFTWARE\\NORDVALE\\TABELE PARAMETRÓW\\"),
                        QString::fromUtf8("ŚCIEŻKA Tabel")),
        QString::fromUtf8("C:\\Tabele Ó"));
    EXPECT_EQ(wine.readString(Hive::LocalMachine, tessarKey32, ""), "Tessar Pro 4");
    EXPECT_EQ(wine.readString(Hive::LocalMachine, tessarKey32, "multi"), "a\nb\t\"c\"");
    for (const char* notString : {"Install", "Env", "Blob", "Missing"})
        EXPECT_EQ(wine.readString(Hive::LocalMachine, tessarKey32, notString), std::nullopt) << notString;
    EXPECT_EQ(wine.readString(Hive::LocalMachine, tessarKey32 + "\\Missing", ""), std::nullopt);
}

TEST(RegistryWine, ReadsAFileAgainWhenItChanged) {
    FakeWinePrefix prefix;
    prefix.setString(Hive::CurrentUser, tessarKey, "Path", "C:\\A");
    ASSERT_TRUE(prefix.writeRegistry());
    WineRegistry wine(prefix.path());
    EXPECT_EQ(wine.readString(Hive::CurrentUser, tessarKey, "Path"), "C:\\A");

    // Another size.
    const QDateTime stamp(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC);
    const auto touch = [&](const QDateTime& time) {
        QFile user(prefix.userReg());
        return user.open(QIODevice::ReadWrite) && user.setFileTime(time, QFileDevice::FileModificationTime);
    };
    prefix.setString(Hive::CurrentUser, tessarKey, "Path", "C:\\Longer");
    ASSERT_TRUE(prefix.writeRegistry() && touch(stamp));
    EXPECT_EQ(wine.readString(Hive::CurrentUser, tessarKey, "Path"), "C:\\Longer");

    // The same size and time: the file read before still counts; a new time is a change.
    prefix.setString(Hive::CurrentUser, tessarKey, "Path", "C:\\Shorte");
    ASSERT_TRUE(prefix.writeRegistry() && touch(stamp));
    EXPECT_EQ(wine.readString(Hive::CurrentUser, tessarKey, "Path"), "C:\\Longer");
    ASSERT_TRUE(touch(stamp.addSecs(5)));
    EXPECT_EQ(wine.readString(Hive::CurrentUser, tessarKey, "Path"), "C:\\Shorte");

    ASSERT_TRUE(QFile::remove(prefix.userReg()));
    EXPECT_EQ(wine.readString(Hive::CurrentUser, tessarKey, "Path"), std::nullopt);
}

TEST(RegistryWine, PrefixWithoutRegistryFilesHasNoValues) {
    FakeWinePrefix prefix;
    WineRegistry wine(prefix.path());
    EXPECT_EQ(wine.readString(Hive::LocalMachine, tessarKey32, "Path"), std::nullopt);
    EXPECT_EQ(wine.readString(Hive::CurrentUser, tessarKey, "Path"), std::nullopt);
    // Files made later (Wine's first start) are read then.
    prefix.setString(Hive::LocalMachine, tessarKey, "Path", "C:\\T");
    ASSERT_TRUE(prefix.writeRegistry());
    EXPECT_EQ(wine.readString(Hive::LocalMachine, tessarKey32, "Path"), "C:\\T");

    WineRegistry nowhere(prefix.path() + "/missing");
    EXPECT_EQ(nowhere.readString(Hive::LocalMachine, tessarKey32, "Path"), std::nullopt);
}

class OneValueRegistry : public Registry {
public:
    std::optional<QString> readString(Hive, const QString& keyPath, const QString&) override {
        return keyPath;
    }
};

TEST(RegistryAccessor, FollowsWinePrefixUntilATestInstallsAnother) {
    FakeWinePrefix first;
    FakeWinePrefix second;
    first.setString(Hive::CurrentUser, tessarKey, "Path", "C:\\First");
    second.setString(Hive::CurrentUser, tessarKey, "Path", "C:\\Second");
    ASSERT_TRUE(first.writeRegistry() && second.writeRegistry());

    WinePrefixVariable variable(first.path());
    EXPECT_EQ(registry().readString(Hive::CurrentUser, tessarKey, "Path"), "C:\\First");
    qputenv("WINEPREFIX", QFile::encodeName(second.path()));
    EXPECT_EQ(registry().readString(Hive::CurrentUser, tessarKey, "Path"), "C:\\Second");

    OneValueRegistry fake;
    setRegistry(&fake);
    EXPECT_EQ(&registry(), &fake);
    setRegistry(nullptr);
    EXPECT_EQ(registry().readString(Hive::CurrentUser, tessarKey, "Path"), "C:\\Second");
}

}  // namespace
