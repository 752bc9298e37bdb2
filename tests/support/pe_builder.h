#pragma once
// Builds small Windows executables (PE32 or PE32+) in memory for tests: the
// headers, a ".text" section and a ".rsrc" section holding a resource tree
// with a version resource (VS_VERSIONINFO with its fixed file info and a
// translation table). The ".rsrc" section lies at a different place in the
// file than in memory, so reading it needs the section table. One fault at a
// time can be built in, to make the broken files a reader must refuse.
//
//   #include "support/pe_builder.h"
//   const std::string exe = kmx::testsupport::MakePe({.version = {4, 0, 36, 0}, .pe32plus = true});

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/pe_version.h"

namespace kmx::testsupport {

enum class PeFault {
    None,
    PeHeaderOutside,         // e_lfanew points far past the end of the file
    BadMagic,                // optional header magic neither 0x10B nor 0x20B
    OptionalHeaderTooShort,  // SizeOfOptionalHeader ends before the resource directory
    FewDataDirectories,      // NumberOfRvaAndSizes 2: the resource directory is not counted
    NoResourceDirectory,     // data directory 2 empty
    SectionOutside,          // the ".rsrc" section's file data starts past the end of the file
    NoVersionType,           // the resource tree holds other types only
    VersionTypeIsData,       // the type 16 entry points at a data entry, not a subdirectory
    SubdirectoryOutside,     // the type 16 subdirectory lies past the section
    NoLanguage,              // the version's language directory has no entries
    DataOutside,             // the data entry's RVA lies in no section
    DataSizeWraps,           // the data entry's size makes RVA + size pass 2^32
    LengthBeyondData,        // wLength larger than the data entry's size
    BadKey,                  // szKey is not L"VS_VERSION_INFO"
    ShortValue,              // wValueLength below the 52 bytes of the fixed file info
    BadSignature,            // the fixed file info's signature is not 0xFEEF04BD
};

inline constexpr PeFault kAllPeFaults[] = {
    PeFault::PeHeaderOutside,  PeFault::BadMagic,          PeFault::OptionalHeaderTooShort,
    PeFault::FewDataDirectories, PeFault::NoResourceDirectory, PeFault::SectionOutside,
    PeFault::NoVersionType,    PeFault::VersionTypeIsData, PeFault::SubdirectoryOutside,
    PeFault::NoLanguage,       PeFault::DataOutside,       PeFault::DataSizeWraps,
    PeFault::LengthBeyondData, PeFault::BadKey,            PeFault::ShortValue,
    PeFault::BadSignature,
};

struct PeOptions {
    TFileVersion version{4, 0, 36, 0};
    // Differs from the file version by default, so reading the wrong field shows.
    TFileVersion productVersion{9, 8, 7, 6};
    bool pe32plus = false;
    // A named type and the types 3 (icon) and 24 (manifest) around the version.
    bool otherTypes = true;
    // A second language of the version resource, after the first, with this version.
    std::optional<TFileVersion> secondLanguage = std::nullopt;
    PeFault fault = PeFault::None;
    // The file is cut to this many bytes when shorter.
    std::size_t truncateTo = std::string::npos;
};

namespace pe_detail {

inline void put16(std::string& b, std::size_t at, std::uint32_t v) {
    if (b.size() < at + 2) b.resize(at + 2, '\0');
    for (std::size_t k = 0; k < 2; ++k) b[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
}
inline void put32(std::string& b, std::size_t at, std::uint32_t v) {
    if (b.size() < at + 4) b.resize(at + 4, '\0');
    for (std::size_t k = 0; k < 4; ++k) b[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
}
inline void put64(std::string& b, std::size_t at, std::uint64_t v) {
    put32(b, at, static_cast<std::uint32_t>(v));
    put32(b, at + 4, static_cast<std::uint32_t>(v >> 32));
}
// UTF-16LE of ASCII text and its closing zero, then zeros up to a 4-byte boundary.
inline void putKey(std::string& b, std::string_view key) {
    for (char c : key) put16(b, b.size(), static_cast<unsigned char>(c));
    put16(b, b.size(), 0);
    while (b.size() % 4) b.push_back('\0');
}
inline std::size_t alignUp(std::size_t v, std::size_t a) { return (v + a - 1) / a * a; }
inline std::uint32_t hiLo(std::uint32_t hi, std::uint32_t lo) { return ((hi & 0xFFFF) << 16) | (lo & 0xFFFF); }

// VS_VERSIONINFO: the fixed file info and a VarFileInfo with one translation.
inline std::string versionInfo(const TFileVersion& file, const TFileVersion& product, PeFault fault) {
    std::string b;
    put16(b, 0, 0);  // wLength, set below
    put16(b, 2, fault == PeFault::ShortValue ? 48 : 52);
    put16(b, 4, 0);
    putKey(b, fault == PeFault::BadKey ? "VS_VERSION_INFX" : "VS_VERSION_INFO");
    const std::size_t fixed = b.size();  // 40
    put32(b, fixed + 0, fault == PeFault::BadSignature ? 0xFEEF04BEu : 0xFEEF04BDu);
    put32(b, fixed + 4, 0x00010000u);
    put32(b, fixed + 8, hiLo(file.major, file.minor));
    put32(b, fixed + 12, hiLo(file.release, file.build));
    put32(b, fixed + 16, hiLo(product.major, product.minor));
    put32(b, fixed + 20, hiLo(product.release, product.build));
    put32(b, fixed + 24, 0x3F);         // dwFileFlagsMask
    put32(b, fixed + 28, 0);            // dwFileFlags
    put32(b, fixed + 32, 0x00040004u);  // dwFileOS: 32-bit Windows on NT
    put32(b, fixed + 36, 1);            // dwFileType: application
    put32(b, fixed + 40, 0);
    put32(b, fixed + 44, 0);
    put32(b, fixed + 48, 0);

    const std::size_t varFileInfo = b.size();
    put16(b, varFileInfo + 2, 0);
    put16(b, varFileInfo + 4, 1);
    putKey(b, "VarFileInfo");
    const std::size_t var = b.size();
    put16(b, var + 2, 4);
    put16(b, var + 4, 0);
    putKey(b, "Translation");
    put16(b, b.size(), 0x0415);  // Polish
    put16(b, b.size(), 1250);
    put16(b, var, static_cast<std::uint32_t>(b.size() - var));
    put16(b, varFileInfo, static_cast<std::uint32_t>(b.size() - varFileInfo));
    put16(b, 0, static_cast<std::uint32_t>(b.size()));
    return b;
}

struct ResType {
    std::string name;  // a named type when not empty
    std::uint32_t id = 0;
    std::vector<std::string> languages;  // the payload of each language, in order
};

inline constexpr std::uint32_t kSubdir = 0x80000000u;

// The ".rsrc" section's bytes for a section at `sectionRva`.
inline std::string resourceSection(const PeOptions& o, std::uint32_t sectionRva) {
    std::vector<ResType> types;
    if (o.otherTypes) {
        types.push_back({"KMXDATA", 0, {"dane"}});
        types.push_back({"", 3, {std::string(40, '\x11')}});
    }
    if (o.fault != PeFault::NoVersionType) {
        ResType v{"", 16, {versionInfo(o.version, o.productVersion, o.fault)}};
        if (o.secondLanguage) v.languages.push_back(versionInfo(*o.secondLanguage, o.productVersion, o.fault));
        types.push_back(std::move(v));
    }
    if (o.otherTypes || types.empty()) types.push_back({"", 24, {"<assembly manifestVersion=\"1.0\"/>"}});

    // Offsets from the root: the root, the name directories, the language
    // directories, the data entries, the type names, the payloads.
    std::size_t at = 16 + 8 * types.size();
    std::vector<std::size_t> nameDir, langDir, dataEntry, nameString, payload;
    for (std::size_t t = 0; t < types.size(); ++t, at += 24) nameDir.push_back(at);
    for (const auto& t : types) {
        langDir.push_back(at);
        at += 16 + 8 * t.languages.size();
    }
    for (const auto& t : types) {
        dataEntry.push_back(at);
        at += 16 * t.languages.size();
    }
    for (const auto& t : types) {
        nameString.push_back(at);
        if (!t.name.empty()) at = alignUp(at + 2 + 2 * t.name.size(), 4);
    }
    for (const auto& t : types) {
        at = alignUp(at, 8);
        payload.push_back(at);
        for (const auto& p : t.languages) at = alignUp(at + p.size(), 8);
    }

    std::string b(at, '\0');
    std::size_t namedCount = 0;
    for (const auto& t : types) namedCount += t.name.empty() ? 0 : 1;
    put16(b, 12, static_cast<std::uint32_t>(namedCount));
    put16(b, 14, static_cast<std::uint32_t>(types.size() - namedCount));
    for (std::size_t t = 0; t < types.size(); ++t) {
        const bool isVersion = types[t].id == 16;
        std::uint32_t target = kSubdir | static_cast<std::uint32_t>(nameDir[t]);
        if (isVersion && o.fault == PeFault::VersionTypeIsData) target = static_cast<std::uint32_t>(dataEntry[t]);
        if (isVersion && o.fault == PeFault::SubdirectoryOutside) target = kSubdir | 0x7FFFFFF0u;
        const std::uint32_t name =
            types[t].name.empty() ? types[t].id : kSubdir | static_cast<std::uint32_t>(nameString[t]);
        put32(b, 16 + 8 * t, name);
        put32(b, 16 + 8 * t + 4, target);

        // One name, id 1, then the languages.
        put16(b, nameDir[t] + 14, 1);
        put32(b, nameDir[t] + 16, 1);
        put32(b, nameDir[t] + 20, kSubdir | static_cast<std::uint32_t>(langDir[t]));
        const std::size_t langs = isVersion && o.fault == PeFault::NoLanguage ? 0 : types[t].languages.size();
        put16(b, langDir[t] + 14, static_cast<std::uint32_t>(langs));
        std::size_t data = payload[t];
        for (std::size_t l = 0; l < types[t].languages.size(); ++l) {
            const std::string& p = types[t].languages[l];
            const std::size_t entry = dataEntry[t] + 16 * l;
            put32(b, langDir[t] + 16 + 8 * l, l == 0 ? 0x0415 : 0x0409);
            put32(b, langDir[t] + 16 + 8 * l + 4, static_cast<std::uint32_t>(entry));
            std::uint32_t rva = sectionRva + static_cast<std::uint32_t>(data);
            std::uint32_t size = static_cast<std::uint32_t>(p.size());
            if (isVersion && o.fault == PeFault::DataOutside) rva = 0x00F00000u;
            if (isVersion && o.fault == PeFault::DataSizeWraps) size = 0xFFFFFFF0u;
            put32(b, entry, rva);
            put32(b, entry + 4, size);
            put32(b, entry + 8, 1250);
            b.replace(data, p.size(), p);
            // wLength past the resource's end: the size stays, the structure claims more.
            if (isVersion && o.fault == PeFault::LengthBeyondData) put16(b, data, static_cast<std::uint32_t>(p.size() + 4));
            data = alignUp(data + p.size(), 8);
        }
        if (!types[t].name.empty()) {
            put16(b, nameString[t], static_cast<std::uint32_t>(types[t].name.size()));
            for (std::size_t i = 0; i < types[t].name.size(); ++i) {
                put16(b, nameString[t] + 2 + 2 * i, static_cast<unsigned char>(types[t].name[i]));
            }
        }
    }
    return b;
}

}  // namespace pe_detail

// A PE file with the options' version resource (or the options' fault).
inline std::string MakePe(const PeOptions& o) {
    using namespace pe_detail;
    constexpr std::uint32_t kPeAt = 0x80;
    constexpr std::uint32_t kFileAlign = 0x200;
    constexpr std::uint32_t kSectionAlign = 0x1000;
    constexpr std::uint32_t kHeadersSize = 0x400;
    constexpr std::uint32_t kTextRva = 0x1000, kTextRaw = kHeadersSize, kTextRawSize = 0x200;
    // A gap between the sections in memory, none in the file.
    constexpr std::uint32_t kRsrcRva = 0x4000, kRsrcRaw = kTextRaw + kTextRawSize;

    const std::string rsrc = resourceSection(o, kRsrcRva);
    const auto rsrcRawSize = static_cast<std::uint32_t>(alignUp(rsrc.size(), kFileAlign));
    const std::size_t optionalSize = o.pe32plus ? 240 : 224;
    const std::size_t optionalAt = kPeAt + 24;
    const std::size_t sectionsAt = optionalAt + optionalSize;

    std::string b(kRsrcRaw + rsrcRawSize, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    put32(b, 0x3C, o.fault == PeFault::PeHeaderOutside ? 0xFFFFFFF0u : kPeAt);
    constexpr std::string_view kStub = "This program runs on Windows.$";
    b.replace(0x40, kStub.size(), kStub);

    b.replace(kPeAt, 4, std::string("PE\0\0", 4));
    put16(b, kPeAt + 4, o.pe32plus ? 0x8664 : 0x014C);
    put16(b, kPeAt + 6, 2);
    put32(b, kPeAt + 8, 0x5F000000u);
    put16(b, kPeAt + 20,
          o.fault == PeFault::OptionalHeaderTooShort ? (o.pe32plus ? 112 : 96) : static_cast<std::uint32_t>(optionalSize));
    put16(b, kPeAt + 22, o.pe32plus ? 0x0022 : 0x0102);

    const std::size_t h = optionalAt;
    std::uint32_t magic = o.pe32plus ? 0x20B : 0x10B;
    if (o.fault == PeFault::BadMagic) magic = 0x107;
    put16(b, h + 0, magic);
    b[h + 2] = 6;
    put32(b, h + 4, kTextRawSize);
    put32(b, h + 8, rsrcRawSize);
    put32(b, h + 16, kTextRva);
    put32(b, h + 20, kTextRva);
    if (o.pe32plus) {
        put64(b, h + 24, 0x140000000ull);
    } else {
        put32(b, h + 24, kRsrcRva);  // BaseOfData
        put32(b, h + 28, 0x400000u);
    }
    put32(b, h + 32, kSectionAlign);
    put32(b, h + 36, kFileAlign);
    put16(b, h + 40, 6);
    put16(b, h + 48, 6);
    put32(b, h + 56, static_cast<std::uint32_t>(alignUp(kRsrcRva + rsrc.size(), kSectionAlign)));
    put32(b, h + 60, kHeadersSize);
    put16(b, h + 68, 2);  // Windows GUI
    const std::size_t stackAt = h + 72;
    const std::size_t width = o.pe32plus ? 8 : 4;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::uint64_t v = i % 2 == 0 ? 0x100000u : 0x1000u;
        if (o.pe32plus) put64(b, stackAt + i * width, v);
        else put32(b, stackAt + i * width, static_cast<std::uint32_t>(v));
    }
    const std::size_t countAt = stackAt + 4 * width + 4;  // after LoaderFlags
    put32(b, countAt, o.fault == PeFault::FewDataDirectories ? 2 : 16);
    const std::size_t resourceDir = countAt + 4 + 2 * 8;
    if (o.fault != PeFault::NoResourceDirectory) {
        put32(b, resourceDir, kRsrcRva);
        put32(b, resourceDir + 4, static_cast<std::uint32_t>(rsrc.size()));
    }

    const auto section = [&](std::size_t at, std::string_view name, std::uint32_t virtualSize, std::uint32_t rva,
                             std::uint32_t rawSize, std::uint32_t raw, std::uint32_t flags) {
        b.replace(at, name.size(), name);
        put32(b, at + 8, virtualSize);
        put32(b, at + 12, rva);
        put32(b, at + 16, rawSize);
        put32(b, at + 20, raw);
        put32(b, at + 36, flags);
    };
    section(sectionsAt, ".text", 0x20, kTextRva, kTextRawSize, kTextRaw, 0x60000020u);
    section(sectionsAt + 40, ".rsrc", static_cast<std::uint32_t>(rsrc.size()), kRsrcRva, rsrcRawSize,
            o.fault == PeFault::SectionOutside ? 0x7FFFFE00u : kRsrcRaw, 0x40000040u);

    b.replace(kTextRaw, 0x20, std::string(0x20, '\xC3'));
    b.replace(kRsrcRaw, rsrc.size(), rsrc);
    if (o.truncateTo < b.size()) b.resize(o.truncateTo);
    return b;
}

inline void WritePe(const std::filesystem::path& file, const PeOptions& o) {
    const std::string bytes = MakePe(o);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kmx::testsupport
