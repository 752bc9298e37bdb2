#pragma once
// The settings file "kmx.iif": carries the catalogue's database password,
// scrambled. Layout (integers little-endian):
//   0    84 bytes  header, ignored by the reader
//   84   int32     start of the password inside the data block (0-based)
//   88   int32     length of the password in bytes
//   92   1024      data block, each byte XOR-ed with Random(255) drawn in
//                  order after a reseed of the scrambling generator
// The password is the block's bytes [start, start + length), descrambled with
// Deszyfruj mode 2 and cut to 64 characters. Bytes after offset 1116 are
// ignored.

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

namespace kmx {

inline constexpr std::size_t kUstawieniaHeaderSize = 84;
inline constexpr std::size_t kUstawieniaBlockSize = 1024;
inline constexpr std::size_t kUstawieniaFileSize = kUstawieniaHeaderSize + 8 + kUstawieniaBlockSize;  // 1116
inline constexpr std::size_t kUstawieniaMaxPassword = 64;

struct UstawieniaResult {
    bool ok = false;
    std::string password;  // Windows-1250 bytes, at most 64; empty on failure
    std::string error;     // Polish, UTF-8; empty on success
};

// Reads the settings from the file's bytes (at least 1116 of them). A start
// or length that does not lie within the data block makes the file unreadable.
UstawieniaResult CzytajUstawieniaZBajtow(std::string_view bytes);
// Reads the settings from a stream positioned at the file's first byte.
UstawieniaResult CzytajUstawienia(std::istream& in);
// Reads the settings file at `path`.
UstawieniaResult CzytajUstawienia(const std::filesystem::path& path);

struct ZapisUstawienResult {
    bool ok = false;
    std::string error;  // Polish, UTF-8; empty on success
};

// Writes a settings file that CzytajUstawienia reads back as
// `passwordCp1250` (Windows-1250 bytes). The password goes at a random place
// of the block among random bytes that look like scrambled text. Refuses a
// password that would not read back the same: longer than 64 characters, or
// holding "~" before one of the letters of the Polish-letter escapes.
ZapisUstawienResult ZapiszUstawienia(std::ostream& out, std::string_view passwordCp1250);
// Writes the file at `path` through a temporary file beside it, so a failed
// write leaves any earlier file in place.
ZapisUstawienResult ZapiszUstawienia(const std::filesystem::path& path, std::string_view passwordCp1250);

}  // namespace kmx
