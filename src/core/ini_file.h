#pragma once
// A Windows INI file of another program (Windows-1250 bytes, normally CR LF
// line ends), read and changed one key at a time. Writing a key touches only
// that key's line, or adds one line at the end of its section, or adds the
// section at the end of the file; every other byte stays as it was, so the
// other program's comments, order and spelling survive.
//
// Reading follows Windows: section and key names compare without regard to
// ASCII letter case; blanks (space, tab) around names and around "=" do not
// count; the value is the rest of the line after the first "=", trimmed of
// blanks; a line whose first non-blank character is ";" is a comment; a
// section header is "[" name "]" (anything after the "]" is ignored). Lines
// before the first section belong to none. When a section appears twice,
// only the first counts, and within it the first line of a key.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kmx {

class IniFile {
public:
    IniFile() = default;
    // The file's content as it would be loaded; any bytes are accepted.
    static IniFile fromBytes(std::string bytes);

    // Reads the whole file. A missing file (or folder) reads as empty and is
    // no error. On failure false with a Polish UTF-8 message, the content
    // left as it was.
    bool load(const std::filesystem::path& path, std::string& error);

    // The value of `key` in `section`; nullopt when the section or the key
    // is absent, "" for "key=".
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Gives `key` in `section` the value. An existing line keeps everything
    // up to the "=" and the blanks after it and gets the new value with its
    // own line end; a new key goes after the section's last line that is
    // neither blank nor a comment; a new section goes at the end of the file
    // after a blank line. New lines take the file's line end ("\r\n" for a
    // file without one), and an unterminated last line gets one before
    // anything is added after it. False, changing nothing, for names or a
    // value that cannot be written as one line: an empty or "]"-holding
    // section, an empty key, a key with "=" or starting with "[" or ";",
    // any CR or LF.
    bool set(std::string_view section, std::string_view key, std::string_view value);

    // Replaces the file at `path` with the content atomically through
    // core/safe_file.h: a temporary file in the same folder is written,
    // flushed to disk and renamed over it (an existing file's permissions
    // are kept; a symbolic link is followed to the file it names), so a
    // failure leaves the old file whole and no temporary file behind. A
    // missing file is created; a missing folder is not. On failure false
    // with a Polish UTF-8 message naming the file and the reason.
    bool save(const std::filesystem::path& path, std::string& error) const;

    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

}  // namespace kmx
