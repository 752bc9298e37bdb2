#pragma once
// Storage settings shared by the catalogue builder and the program's reader.
// Both sides must agree, or the reader cannot decrypt the file.

namespace kmx::data {

// 4096-byte cipher pages: the default 1 KB pages make a cold full read of a
// large catalogue about five times slower.
inline constexpr int kCipherPageSize = 4096;

// Page cache in KiB (negative PRAGMA cache_size): room for the indexes and
// the pages a list keeps coming back to, while the program's memory stays
// bounded on a catalogue of any size (the file itself stays in the system's
// cache).
inline constexpr int kCacheSizeKiB = 128 * 1024;

// Collation of the catalogue's plain text columns: Windows-1250 text compared
// in Polish alphabetical order without regard to letter case.
inline constexpr const char* kTextCollation = "KMX_PL";

}  // namespace kmx::data
