#pragma once
// The file version of a Windows executable (PE32 or PE32+): the four numbers
// of the fixed part of its version resource. Used to tell which version of a
// cost-estimating program is installed; the file is only read, never run.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kmx {

// major = high 16 bits, minor = low 16 bits of dwFileVersionMS; release = high
// 16, build = low 16 bits of dwFileVersionLS.
struct TFileVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t release = 0;
    std::uint32_t build = 0;

    // Compares major, then minor, then release, then build: the first
    // difference decides; all four equal counts as at least.
    bool atLeast(const TFileVersion& other) const;
    bool operator==(const TFileVersion&) const = default;
    // "4.0.36.0"
    std::string text() const;
};

// "4.0.36.0": exactly four whole numbers 0..65535 of decimal digits separated
// by dots, nothing else (no sign, no spaces). Returns false and leaves `out`
// alone on anything else.
bool ParseFileVersion(std::string_view text, TFileVersion& out);

// The file version of the PE file in `bytes`, from the version resource
// (type 16, its first name entry, that entry's first language). nullopt for
// anything that is not a PE file or has no readable version resource. Every
// offset and size is checked against the bytes; any input is safe.
std::optional<TFileVersion> ReadFileVersion(std::string_view bytes);

// The same for a file, reading only the parts the lookup needs. nullopt when
// the file cannot be read or is larger than kPeMaxFileSize.
inline constexpr std::uintmax_t kPeMaxFileSize = 512u * 1024u * 1024u;
std::optional<TFileVersion> ReadFileVersionFile(const std::filesystem::path& file);

}  // namespace kmx
