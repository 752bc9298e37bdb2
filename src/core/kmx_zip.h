#pragma once
// Packing of a version 2.x price list: a ZIP archive holding the one file
// "kmx.kmx", deflated at level 9. And the reverse, for reading files back.

#include <string>

namespace kmx::kmxzip {

// The member name every packed price list uses.
inline constexpr const char* kMemberName = "kmx.kmx";

// Replaces `target` with a new archive holding the contents of `bodyPath` as
// "kmx.kmx" (core/safe_file.h: written beside it and renamed over it). On
// failure the file at `target` is as it was (or still absent) and `error`
// says why.
bool PackKmx(const std::string& bodyPath, const std::string& target, std::string& error);
// The same archive as bytes.
bool PackKmxBytes(const std::string& bodyPath, std::string& archive, std::string& error);

// True when the file starts with a ZIP local header ("PK\3\4").
bool IsZip(const std::string& path);

// The contents of the archive's only member. Fails on anything but an
// archive of exactly one member.
bool UnpackSingle(const std::string& zipPath, std::string& contents, std::string& memberName,
                  std::string& error);

}  // namespace kmx::kmxzip
