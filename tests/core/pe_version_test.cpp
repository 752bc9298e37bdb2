#include "core/pe_version.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <system_error>

#include <unistd.h>

#include "support/pe_builder.h"

using namespace kmx;
using kmx::testsupport::MakePe;
using kmx::testsupport::PeFault;
using kmx::testsupport::PeOptions;
namespace fs = std::filesystem;

namespace {

TFileVersion v(std::string_view text) {
    TFileVersion out;
    EXPECT_TRUE(ParseFileVersion(text, out)) << text;
    return out;
}

// The bytes in an allocation of exactly their size, so a read past the end is
// one past the allocation (seen by the address sanitizer) and not slack of a string.
std::optional<TFileVersion> readExact(std::string_view bytes) {
    const auto copy = std::make_unique<char[]>(bytes.size());
    if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
    return ReadFileVersion(std::string_view(copy.get(), bytes.size()));
}

// The end of dwFileVersionLS: no shorter prefix can tell the version.
std::size_t versionEnd(const std::string& pe) {
    const std::size_t signature = pe.find("\xBD\x04\xEF\xFE");
    EXPECT_NE(signature, std::string::npos);
    return signature + 16;
}

}  // namespace

TEST(FileVersion, AtLeastIsDecidedByTheFirstDifference) {
    struct Case {
        const char* installed;
        const char* threshold;
        bool atLeast;
    };
    const Case cases[] = {
        {"4.0.35.9", "4.0.32.0", true},     {"4.0.36.0", "4.0.32.0", true},
        {"4.0.31.0", "4.0.32.0", false},    {"4.0.35.9", "4.0.36.0", false},
        {"4.0.36.0", "4.0.36.0", true},     {"4.0.31.0", "4.0.36.0", false},
        {"5.1.400.0", "5.1.400.0", true},   {"5.2.0.0", "5.1.400.0", true},
        {"5.2.400.0", "5.1.400.0", true},   {"5.1.400.0", "5.2.400.0", false},
        {"5.2.0.0", "5.2.400.0", false},    {"5.2.400.0", "5.2.400.0", true},
        {"5.0.999.999", "5.1.0.0", false},  {"4.65535.65535.65535", "5.0.0.0", false},
        {"6.0.0.0", "5.9.9.9", true},       {"4.0.36.1", "4.0.36.0", true},
        {"4.0.36.0", "4.0.36.1", false},    {"0.0.0.0", "0.0.0.0", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(v(c.installed).atLeast(v(c.threshold)), c.atLeast) << c.installed << " vs " << c.threshold;
    }
}

TEST(FileVersion, ParseAndTextRoundTrip) {
    for (const char* text : {"4.0.36.0", "5.2.400.0", "0.0.0.0", "65535.65535.65535.65535", "1.22.333.4444"}) {
        EXPECT_EQ(v(text).text(), text);
    }
    EXPECT_EQ(v("4.0.36.0"), (TFileVersion{4, 0, 36, 0}));
    EXPECT_EQ(v("007.0.36.01"), (TFileVersion{7, 0, 36, 1}));
    EXPECT_EQ((TFileVersion{10, 2, 300, 4000}).text(), "10.2.300.4000");
}

TEST(FileVersion, ParseRefusesAnythingButFourNumbers) {
    for (const char* text : {"", "4", "4.0.36", "4.0.36.0.1", "4.0.36.", ".4.0.36", "4..36.0", "...",
                             "4.0.36.65536", "4.0.36.99999999999", "-4.0.36.0", "+4.0.36.0", " 4.0.36.0",
                             "4.0.36.0 ", "4.0.36.0\n", "4,0,36,0", "4.0.3a.0", "4.0.36.0x", "0x4.0.36.0"}) {
        TFileVersion out{1, 2, 3, 4};
        EXPECT_FALSE(ParseFileVersion(text, out)) << text;
        EXPECT_EQ(out, (TFileVersion{1, 2, 3, 4})) << text;
    }
}

TEST(PeVersion, ReadsTheFileVersionOfPe32AndPe32Plus) {
    for (const bool plus : {false, true}) {
        for (const TFileVersion& version : {TFileVersion{4, 0, 36, 0}, TFileVersion{5, 2, 400, 0},
                                            TFileVersion{65535, 65534, 1, 0}, TFileVersion{0, 0, 0, 1}}) {
            SCOPED_TRACE(version.text() + (plus ? " PE32+" : " PE32"));
            EXPECT_EQ(readExact(MakePe({.version = version, .pe32plus = plus})), version);
            // The version resource as the only resource.
            EXPECT_EQ(readExact(MakePe({.version = version, .pe32plus = plus, .otherTypes = false})), version);
        }
    }
}

TEST(PeVersion, TakesTheFirstLanguage) {
    PeOptions o;
    o.version = {4, 0, 36, 0};
    o.secondLanguage = TFileVersion{3, 9, 0, 0};
    EXPECT_EQ(readExact(MakePe(o)), (TFileVersion{4, 0, 36, 0}));
}

TEST(PeVersion, NotAPeFileGivesNothing) {
    const std::string pe = MakePe({});
    std::string mzZeros(64, '\0');
    mzZeros[0] = 'M';
    mzZeros[1] = 'Z';
    std::string notMz = pe;
    notMz[0] = 'N';
    std::string notPe = pe;
    notPe[0x81] = 'X';  // "PX\0\0"
    for (const std::string& bytes : {std::string(), std::string("MZ"), std::string("Cennik materiałów\n1;2;3\n"),
                                     mzZeros, std::string(4096, '\xFF'), notMz, notPe}) {
        EXPECT_FALSE(readExact(bytes)) << bytes.size();
    }
}

TEST(PeVersion, EveryFaultGivesNothing) {
    for (const bool plus : {false, true}) {
        ASSERT_EQ(readExact(MakePe({.pe32plus = plus})), (TFileVersion{4, 0, 36, 0}));
        for (const PeFault fault : testsupport::kAllPeFaults) {
            EXPECT_FALSE(readExact(MakePe({.pe32plus = plus, .fault = fault})))
                << "fault " << static_cast<int>(fault) << (plus ? " PE32+" : " PE32");
        }
    }
}

TEST(PeVersion, EveryPrefixGivesNothingOrTheVersion) {
    for (const bool plus : {false, true}) {
        const TFileVersion version{4, 0, 36, 0};
        const std::string pe = MakePe({.version = version, .pe32plus = plus});
        const std::size_t needed = versionEnd(pe);
        for (std::size_t n = 0; n <= pe.size(); ++n) {
            const auto got = readExact(std::string_view(pe).substr(0, n));
            if (n < needed) {
                EXPECT_FALSE(got) << n;
            } else if (got) {
                EXPECT_EQ(*got, version) << n;
            }
        }
        EXPECT_EQ(readExact(pe), version);
        EXPECT_FALSE(readExact(MakePe({.pe32plus = plus, .truncateTo = needed - 1})));
    }
}

TEST(PeVersion, RandomByteChangesNeverCrash) {
    std::mt19937 rng(20240611);
    int intact = 0;
    int refused = 0;
    for (const bool plus : {false, true}) {
        const std::string pe = MakePe({.version = {5, 2, 400, 0}, .pe32plus = plus});
        std::uniform_int_distribution<std::size_t> position(0, pe.size() - 1);
        std::uniform_int_distribution<int> byte(0, 255), count(1, 4), kind(0, 4);
        const unsigned char edges[] = {0x00, 0xFF, 0x7F, 0x80};
        for (int round = 0; round < 2000; ++round) {
            std::string changed = pe;
            for (int k = count(rng); k > 0; --k) {
                const int what = kind(rng);
                changed[position(rng)] = static_cast<char>(what < 4 ? edges[what] : byte(rng));
            }
            const auto got = readExact(changed);
            if (!got) ++refused;
            else if (*got == TFileVersion{5, 2, 400, 0}) ++intact;
        }
    }
    // Changes in padding leave the version; changes in the structure lose it.
    EXPECT_GT(intact, 0);
    EXPECT_GT(refused, 0);
}

TEST(PeVersionFile, ReadsAFileAndRefusesWhatItCannotRead) {
    const fs::path dir = fs::path(::testing::TempDir()) / ("kmx_pe_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const TFileVersion version{4, 0, 36, 0};
    testsupport::WritePe(dir / "prog.exe", {.version = version, .pe32plus = true});
    testsupport::WritePe(dir / "cut.exe", {.version = version, .truncateTo = 0x500});
    testsupport::WritePe(dir / "none.exe", {.fault = PeFault::NoVersionType});
    EXPECT_EQ(ReadFileVersionFile(dir / "prog.exe"), version);
    EXPECT_FALSE(ReadFileVersionFile(dir / "cut.exe"));
    EXPECT_FALSE(ReadFileVersionFile(dir / "none.exe"));
    EXPECT_FALSE(ReadFileVersionFile(dir / "missing.exe"));
    EXPECT_FALSE(ReadFileVersionFile(dir));

    // Grown with zeros (a sparse file): read up to the limit, refused past it.
    std::error_code ec;
    fs::resize_file(dir / "prog.exe", kPeMaxFileSize, ec);
    ASSERT_FALSE(ec) << ec.message();
    EXPECT_EQ(ReadFileVersionFile(dir / "prog.exe"), version);
    fs::resize_file(dir / "prog.exe", kPeMaxFileSize + 1, ec);
    ASSERT_FALSE(ec) << ec.message();
    EXPECT_FALSE(ReadFileVersionFile(dir / "prog.exe"));
    fs::remove_all(dir, ec);
}
