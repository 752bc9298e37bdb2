// The file version of a PE file. The path through the file (all integers
// little-endian, offsets in bytes):
//
//   DOS header       "MZ" at 0; e_lfanew (uint32) at 0x3C: where the PE header starts
//   PE header        "PE\0\0", then the COFF file header (20 bytes):
//                      +6 NumberOfSections (uint16), +20 SizeOfOptionalHeader (uint16)
//   optional header  right after the COFF header; +0 magic 0x10B (PE32) or 0x20B (PE32+);
//                      NumberOfRvaAndSizes at +92 (PE32) / +108 (PE32+), the data directories
//                      (RVA, size; 8 bytes each) from +96 / +112; directory 2 is the resource table
//   section table    after the optional header, 40 bytes a section: +8 VirtualSize,
//                      +12 VirtualAddress, +16 SizeOfRawData, +20 PointerToRawData. An RVA maps
//                      to a file offset through the section whose file data holds it.
//   resource tree    three levels of IMAGE_RESOURCE_DIRECTORY, each 16 bytes (+12 named entry
//                      count, +14 id entry count) followed by its 8-byte entries, the named ones
//                      first: +0 name or id (high bit: a name), +4 offset from the tree's root
//                      (high bit: a subdirectory, otherwise an IMAGE_RESOURCE_DATA_ENTRY).
//                      Level 1 is the type: the id entry 16 (version); level 2 the name and
//                      level 3 the language, of which the first entry is taken each time.
//   data entry       +0 RVA of the resource's bytes, +4 their size
//   VS_VERSIONINFO   +0 wLength, +2 wValueLength, +4 wType, +6 szKey L"VS_VERSION_INFO\0",
//                      padded to +40, where VS_FIXEDFILEINFO begins: +0 signature 0xFEEF04BD,
//                      +4 dwStrucVersion, +8 dwFileVersionMS, +12 dwFileVersionLS, ... (52 bytes)
//
// Nothing is trusted: every read names its offset and length and fails when
// they do not lie in the file, sums are taken in 64 bits so no 32-bit value
// from the file can wrap them, and the walk has a fixed depth with loops
// bounded by 16-bit counts.

#include "core/pe_version.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <fstream>
#include <system_error>
#include <vector>

namespace kmx {

namespace {

constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint32_t kResourceDirectory = 2;
constexpr std::uint32_t kTypeVersion = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BDu;
constexpr std::size_t kFixedInfoSize = 52;
// szKey ends at 6 + 32 = 38; the fixed info follows at the next 4-byte boundary.
constexpr std::size_t kFixedInfoAt = 40;
constexpr std::size_t kVersionHeadSize = kFixedInfoAt + kFixedInfoSize;
constexpr std::uint64_t kMaxRva = 0xFFFFFFFFu;

std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Where the bytes come from: memory or a file read piece by piece.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies the n bytes at `at` into dst; false when they do not all lie in the source.
    virtual bool read(std::uint64_t at, std::size_t n, unsigned char* dst) = 0;
};

class ViewSource final : public ByteSource {
public:
    explicit ViewSource(std::string_view bytes) : bytes_(bytes) {}
    bool read(std::uint64_t at, std::size_t n, unsigned char* dst) override {
        if (at > bytes_.size() || n > bytes_.size() - at) return false;
        if (n > 0) std::memcpy(dst, bytes_.data() + at, n);
        return true;
    }

private:
    std::string_view bytes_;
};

class FileSource final : public ByteSource {
public:
    FileSource(const std::filesystem::path& file, std::uint64_t size) : in_(file, std::ios::binary), size_(size) {}
    bool isOpen() const { return in_.is_open(); }
    bool read(std::uint64_t at, std::size_t n, unsigned char* dst) override {
        if (at > size_ || n > size_ - at) return false;
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(at));
        in_.read(reinterpret_cast<char*>(dst), static_cast<std::streamsize>(n));
        // A file cut short since its size was taken reads fewer bytes.
        return in_.gcount() == static_cast<std::streamsize>(n);
    }

private:
    std::ifstream in_;
    std::uint64_t size_;
};

struct Section {
    std::uint32_t virtualAddress = 0;
    std::uint32_t fileBacked = 0;  // bytes of the section that the file holds
    std::uint32_t rawPointer = 0;
};

struct Entry {
    std::uint32_t name = 0;
    std::uint32_t target = 0;
};

class PeReader {
public:
    explicit PeReader(ByteSource& src) : src_(src) {}

    std::optional<TFileVersion> fileVersion() {
        std::uint32_t resourceRva = 0;
        if (!readHeaders(resourceRva)) return std::nullopt;
        rootRva_ = resourceRva;

        std::vector<Entry> entries;
        std::uint16_t named = 0;
        if (!readDirectory(0, entries, named)) return std::nullopt;
        // Type ids follow the named types; the first id 16 is the version.
        const Entry* type = nullptr;
        for (std::size_t i = named; i < entries.size() && !type; ++i) {
            if (entries[i].name == kTypeVersion) type = &entries[i];
        }
        if (!type || !(type->target & kHighBit)) return std::nullopt;
        // Level 2 (name) and level 3 (language): the first entry of each.
        if (!readDirectory(type->target & ~kHighBit, entries, named) || entries.empty() ||
            !(entries[0].target & kHighBit)) {
            return std::nullopt;
        }
        if (!readDirectory(entries[0].target & ~kHighBit, entries, named) || entries.empty() ||
            (entries[0].target & kHighBit)) {
            return std::nullopt;
        }
        return readVersionData(entries[0].target);
    }

private:
    bool readHeaders(std::uint32_t& resourceRva) {
        std::array<unsigned char, 64> dos{};
        if (!src_.read(0, dos.size(), dos.data()) || dos[0] != 'M' || dos[1] != 'Z') return false;
        const std::uint64_t peAt = le32(&dos[0x3C]);
        std::array<unsigned char, 24> pe{};
        if (!src_.read(peAt, pe.size(), pe.data()) || std::memcmp(pe.data(), "PE\0\0", 4) != 0) return false;
        const std::uint16_t sectionCount = le16(&pe[4 + 2]);
        const std::uint16_t optionalSize = le16(&pe[4 + 16]);
        const std::uint64_t optionalAt = peAt + pe.size();

        std::vector<unsigned char> opt(optionalSize);
        if (optionalSize < 2 || !src_.read(optionalAt, opt.size(), opt.data())) return false;
        std::size_t countAt = 0;
        switch (le16(opt.data())) {
            case kMagicPe32: countAt = 92; break;
            case kMagicPe32Plus: countAt = 108; break;
            default: return false;
        }
        const std::size_t directoriesAt = countAt + 4;
        const std::size_t resourceAt = directoriesAt + 8 * kResourceDirectory;
        // The resource directory must be both counted and inside the optional header.
        if (opt.size() < resourceAt + 8 || le32(&opt[countAt]) <= kResourceDirectory) return false;
        resourceRva = le32(&opt[resourceAt]);
        if (resourceRva == 0 || le32(&opt[resourceAt + 4]) == 0) return false;

        std::vector<unsigned char> table(std::size_t{sectionCount} * 40);
        if (!src_.read(optionalAt + optionalSize, table.size(), table.data())) return false;
        sections_.clear();
        for (std::size_t i = 0; i < sectionCount; ++i) {
            const unsigned char* s = &table[i * 40];
            const std::uint32_t virtualSize = le32(s + 8);
            const std::uint32_t rawSize = le32(s + 16);
            // Bytes past SizeOfRawData are zeros made by the loader, not file data;
            // a VirtualSize of 0 means the raw size.
            Section sec;
            sec.virtualAddress = le32(s + 12);
            sec.fileBacked = virtualSize == 0 ? rawSize : std::min(virtualSize, rawSize);
            sec.rawPointer = le32(s + 20);
            sections_.push_back(sec);
        }
        return true;
    }

    // The file offset of [rva, rva + size) when one section's file data holds all of it.
    std::optional<std::uint64_t> fileOffset(std::uint64_t rva, std::uint64_t size) const {
        if (rva > kMaxRva) return std::nullopt;
        for (const Section& s : sections_) {
            if (rva < s.virtualAddress) continue;
            const std::uint64_t into = rva - s.virtualAddress;
            if (into >= s.fileBacked || size > s.fileBacked - into) continue;
            return std::uint64_t{s.rawPointer} + into;
        }
        return std::nullopt;
    }

    bool readAt(std::uint64_t rva, std::size_t n, unsigned char* dst) const {
        const auto at = fileOffset(rva, n);
        return at && src_.read(*at, n, dst);
    }

    // The directory `offset` bytes from the tree's root: its entries, named ones first.
    bool readDirectory(std::uint32_t offset, std::vector<Entry>& entries, std::uint16_t& named) const {
        const std::uint64_t rva = std::uint64_t{rootRva_} + offset;
        std::array<unsigned char, 16> head{};
        if (!readAt(rva, head.size(), head.data())) return false;
        named = le16(&head[12]);
        const std::size_t count = std::size_t{named} + le16(&head[14]);
        std::vector<unsigned char> raw(count * 8);
        if (!raw.empty() && !readAt(rva + head.size(), raw.size(), raw.data())) return false;
        entries.clear();
        for (std::size_t i = 0; i < count; ++i) entries.push_back({le32(&raw[i * 8]), le32(&raw[i * 8 + 4])});
        return true;
    }

    std::optional<TFileVersion> readVersionData(std::uint32_t dataEntryOffset) const {
        std::array<unsigned char, 16> entry{};
        if (!readAt(std::uint64_t{rootRva_} + dataEntryOffset, entry.size(), entry.data())) return std::nullopt;
        const std::uint32_t dataRva = le32(&entry[0]);
        const std::uint32_t dataSize = le32(&entry[4]);
        // All of the resource must be file data, though only its head is read.
        if (dataSize < kVersionHeadSize || !fileOffset(dataRva, dataSize)) return std::nullopt;
        std::array<unsigned char, kVersionHeadSize> v{};
        if (!readAt(dataRva, v.size(), v.data())) return std::nullopt;

        const std::uint16_t length = le16(&v[0]);
        const std::uint16_t valueLength = le16(&v[2]);
        if (length < kVersionHeadSize || length > dataSize) return std::nullopt;
        if (valueLength < kFixedInfoSize || kFixedInfoAt + valueLength > length) return std::nullopt;
        static constexpr std::string_view kKey = "VS_VERSION_INFO";
        for (std::size_t i = 0; i <= kKey.size(); ++i) {  // with the closing zero
            const std::uint16_t expected = i < kKey.size() ? static_cast<unsigned char>(kKey[i]) : 0;
            if (le16(&v[6 + 2 * i]) != expected) return std::nullopt;
        }
        const unsigned char* fixed = &v[kFixedInfoAt];
        if (le32(fixed) != kFixedInfoSignature) return std::nullopt;
        const std::uint32_t ms = le32(fixed + 8);
        const std::uint32_t ls = le32(fixed + 12);
        return TFileVersion{ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF};
    }

    ByteSource& src_;
    std::vector<Section> sections_;
    std::uint32_t rootRva_ = 0;
};

}  // namespace

bool TFileVersion::atLeast(const TFileVersion& other) const {
    if (major != other.major) return major > other.major;
    if (minor != other.minor) return minor > other.minor;
    if (release != other.release) return release > other.release;
    return build >= other.build;
}

std::string TFileVersion::text() const {
    std::string out;
    for (const std::uint32_t part : {major, minor, release, build}) {
        std::array<char, 12> digits{};
        const auto r = std::to_chars(digits.data(), digits.data() + digits.size(), part);
        if (!out.empty()) out += '.';
        out.append(digits.data(), r.ptr);
    }
    return out;
}

bool ParseFileVersion(std::string_view text, TFileVersion& out) {
    std::array<std::uint32_t, 4> parts{};
    std::size_t at = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::size_t dot = i + 1 < parts.size() ? text.find('.', at) : text.size();
        if (dot == std::string_view::npos) return false;
        const std::string_view part = text.substr(at, dot - at);
        // Digits only, so from_chars reads the whole part.
        if (part.empty() || part.find_first_not_of("0123456789") != std::string_view::npos) return false;
        const auto r = std::from_chars(part.data(), part.data() + part.size(), parts[i]);
        if (r.ec != std::errc() || parts[i] > 0xFFFF) return false;
        at = dot + 1;
    }
    out = TFileVersion{parts[0], parts[1], parts[2], parts[3]};
    return true;
}

std::optional<TFileVersion> ReadFileVersion(std::string_view bytes) {
    ViewSource src(bytes);
    return PeReader(src).fileVersion();
}

std::optional<TFileVersion> ReadFileVersionFile(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size > kPeMaxFileSize) return std::nullopt;
    FileSource src(file, size);
    if (!src.isOpen()) return std::nullopt;
    return PeReader(src).fileVersion();
}

}  // namespace kmx
