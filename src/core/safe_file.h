#pragma once
// Safe replacement of the files the program writes for the user. The new
// content goes to a temporary file created beside the target (same folder,
// so the same file system; unique name, created exclusively, with the
// permissions a new file gets, or the old file's permissions and owner),
// is written and flushed to disk, and only then renamed over the target.
// Any failure removes the temporary file and leaves the old file as it was.
// A symbolic link is followed to the file it names, which is replaced; the
// link stays. A target that exists and is no regular file (a device such as
// /dev/null) is written directly.
//
// Error texts are Polish UTF-8 and name the file and the reason.
//
// A test seam makes the open, write, flush, close or rename of every writer
// of ours fail as a full or read-only disk would (FaultScope).

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace kmx::safefile {

// Why a file operation failed (errno), in Polish.
std::string Reason(int err);

// "Nie można zapisać pliku PATH: reason".
std::string WriteError(const std::filesystem::path& path, int err);

// ---- test seam

enum class Step { Open, Write, Sync, Close, Rename };

struct Fault {
    Step step = Step::Write;
    int error = ENOSPC;
    // Write: the bytes that still go through, counted over every write of
    // every file since the fault was set; the write that crosses the limit
    // writes up to it and fails.
    std::uint64_t afterBytes = 0;
    // The other steps: that many pass before the step fails (every later
    // one fails too).
    int skip = 0;
};

// Sets (or with nullopt clears) the fault every writer meets.
void SetFault(std::optional<Fault> f);

// The errno the step fails with, 0 when it does not.
int FaultAt(Step step);

// How many of n bytes a write may take; when fewer, err is what it fails with.
std::size_t AllowedBytes(std::size_t n, int& err);

// The fault for a scope.
class FaultScope {
public:
    explicit FaultScope(const Fault& f) { SetFault(f); }
    ~FaultScope() { SetFault(std::nullopt); }
    FaultScope(const FaultScope&) = delete;
    FaultScope& operator=(const FaultScope&) = delete;
};

// ---- the replacement of one file

// The file a path names after following symbolic links (the path itself when
// it is none or names nothing yet).
std::filesystem::path ResolveLinks(const std::filesystem::path& path);

// New content for one file: open(), write() as often as needed, commit().
// Destroyed without a commit, the temporary file goes and the target stays.
//
// For a writer that opens files by name (the dBASE tables), the temporary
// file may be written through its name() as well: commit() still flushes it
// to disk through the descriptor held here.
class Replacement {
public:
    // tempSuffix ends the temporary file's name (a library that insists on
    // an extension gets it).
    explicit Replacement(std::filesystem::path target, std::string tempSuffix = ".tmp")
        : shown_(std::move(target)), suffix_(std::move(tempSuffix)) {}
    ~Replacement() { discard(); }
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    bool open(std::string& error);

    // Appends bytes; false with the reason kept for commit()'s message.
    bool write(const void* data, std::size_t n);
    bool write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }

    // Flushes, closes and renames over the target; false (and the target as
    // it was) on any failure, with the message in error.
    bool commit(std::string& error);

    // Closes and removes the temporary file; the target stays as it was.
    void discard();

    // Keeps the first failure (errno) of a write done through name().
    void setFailed(int err);
    int errorCode() const { return code_; }
    bool committed() const { return committed_; }
    // Where the bytes go before the commit: the temporary file (or the device).
    std::filesystem::path name() const { return direct_ ? target_ : temp_; }
    // The file replaced (links followed), and the path as given.
    const std::filesystem::path& target() const { return target_; }
    const std::filesystem::path& shown() const { return shown_; }

private:
    bool fail(int code, std::string& error);

    std::filesystem::path shown_;
    std::string suffix_;
    std::filesystem::path target_;
    std::filesystem::path temp_;
    int fd_ = -1;
    int code_ = 0;
    bool direct_ = false;
    bool committed_ = false;
};

// ---- the convenient forms

// Replaces the file with these bytes.
bool WriteFile(const std::filesystem::path& target, std::string_view bytes, std::string& error);

// A std::ostream over a Replacement, for the writers that take a stream:
//   OutFile f(path);
//   if (!f.open(error)) ...;  Write(f, ...);  if (!f.commit(error)) ...
// A failed write sets the stream's badbit; commit() then gives the reason.
class OutFile : public std::ostream {
public:
    explicit OutFile(const std::filesystem::path& target);
    ~OutFile() override;
    bool open(std::string& error);
    bool commit(std::string& error);
    void discard();
    const std::filesystem::path& shown() const;

private:
    class Buffer;
    std::unique_ptr<Buffer> buffer_;
};

}  // namespace kmx::safefile
