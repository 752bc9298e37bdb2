#include "core/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <streambuf>
#include <vector>

namespace kmx::safefile {

std::string Reason(int err) {
    switch (err) {
        case ENOENT:
            return "nie ma takiego pliku ani folderu";
        case EACCES:
        case EPERM:
            return "brak uprawnień";
        case ENOSPC:
        case EFBIG:
        case EDQUOT:
            return "brak miejsca na dysku";
        case EROFS:
            return "dysk tylko do odczytu";
        case EISDIR:
            return "to jest folder";
        case ENOTDIR:
            return "ścieżka nie prowadzi do folderu";
        case EMFILE:
        case ENFILE:
            return "zbyt wiele otwartych plików";
        case EIO:
            return "błąd wejścia/wyjścia dysku";
        case ENAMETOOLONG:
            return "zbyt długa nazwa pliku";
        case ELOOP:
            return "zbyt wiele dowiązań symbolicznych";
        case EBUSY:
        case ETXTBSY:
            return "plik jest zajęty";
        case EEXIST:
            return "plik już istnieje";
        case EXDEV:
            return "plik tymczasowy i docelowy leżą na różnych dyskach";
        default:
            return "błąd systemu nr " + std::to_string(err);
    }
}

std::string WriteError(const std::filesystem::path& path, int err) {
    return "Nie można zapisać pliku " + path.string() + ": " + Reason(err);
}

namespace detail {
struct FaultState {
    std::mutex m;
    std::atomic<bool> set{false};
    Fault fault;
    std::uint64_t written = 0;
    int passed = 0;
};
FaultState& faultState() {
    static FaultState s;
    return s;
}
}  // namespace detail

void SetFault(std::optional<Fault> f) {
    detail::FaultState& s = detail::faultState();
    std::lock_guard lock(s.m);
    s.set = f.has_value();
    s.fault = f.value_or(Fault{});
    s.written = 0;
    s.passed = 0;
}

int FaultAt(Step step) {
    detail::FaultState& s = detail::faultState();
    if (!s.set || step == Step::Write) return 0;
    std::lock_guard lock(s.m);
    if (!s.set || s.fault.step != step) return 0;
    if (s.passed < s.fault.skip) {
        ++s.passed;
        return 0;
    }
    return s.fault.error;
}

std::size_t AllowedBytes(std::size_t n, int& err) {
    detail::FaultState& s = detail::faultState();
    if (!s.set) return n;
    std::lock_guard lock(s.m);
    if (!s.set || s.fault.step != Step::Write) return n;
    const std::uint64_t left = s.fault.afterBytes > s.written ? s.fault.afterBytes - s.written : 0;
    const std::size_t allowed = left < n ? static_cast<std::size_t>(left) : n;
    s.written += allowed;
    if (allowed < n) err = s.fault.error;
    return allowed;
}

std::filesystem::path ResolveLinks(const std::filesystem::path& path) {
    std::filesystem::path p = path;
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(p, ec)) return p;
        const std::filesystem::path link = std::filesystem::read_symlink(p, ec);
        if (ec) return p;
        p = link.is_absolute() ? link : p.parent_path() / link;
    }
    return p;
}

bool Replacement::open(std::string& error) {
    discard();
    code_ = 0;
    committed_ = false;
    target_ = ResolveLinks(shown_);
    struct stat old {};
    const bool exists = ::stat(target_.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) return fail(EISDIR, error);
    if (const int f = FaultAt(Step::Open)) return fail(f, error);
    if (exists && !S_ISREG(old.st_mode)) {
        // A device or a pipe: there is nothing to keep, it takes the bytes.
        direct_ = true;
        fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        return fd_ >= 0 || fail(errno, error);
    }
    direct_ = false;
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder = target_.parent_path().empty() ? "." : target_.parent_path();
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        std::string name = "." + target_.filename().string() + "." + std::to_string(::getpid()) + "." +
                           std::to_string(counter++) + suffix_;
        temp_ = folder / name;
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd_ < 0 && errno != EEXIST) {
            const int code = errno;
            temp_.clear();
            return fail(code, error);
        }
    }
    if (fd_ < 0) {
        temp_.clear();
        return fail(EEXIST, error);
    }
    if (exists) {
        // The replacement keeps the old file's owner (where allowed) and mode.
        // Another user's file that root may not hand back stays ours.
        const int owned = ::fchown(fd_, old.st_uid, old.st_gid);
        const int moded = ::fchmod(fd_, old.st_mode & 07777);
        static_cast<void>(owned);
        static_cast<void>(moded);
    }
    return true;
}

bool Replacement::write(const void* data, std::size_t n) {
    if (fd_ < 0) {
        if (code_ == 0) code_ = EBADF;
        return false;
    }
    if (code_ != 0) return false;
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        int injected = 0;
        const std::size_t allowed = AllowedBytes(n, injected);
        std::size_t done = 0;
        while (done < allowed) {
            const ssize_t w = ::write(fd_, p + done, allowed - done);
            if (w < 0) {
                if (errno == EINTR) continue;
                code_ = errno;
                return false;
            }
            done += static_cast<std::size_t>(w);
        }
        if (injected != 0) {
            code_ = injected;
            return false;
        }
        p += allowed;
        n -= allowed;
    }
    return true;
}

bool Replacement::commit(std::string& error) {
    if (fd_ < 0) return fail(code_ ? code_ : EBADF, error);
    if (code_ != 0) return fail(code_, error);
    int code = FaultAt(Step::Sync);
    // A device may refuse to be synced; it has nothing to lose.
    if (code == 0 && ::fsync(fd_) != 0 && !(direct_ && (errno == EINVAL || errno == EROFS))) code = errno;
    if (code != 0) return fail(code, error);
    code = FaultAt(Step::Close);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (code == 0 && closed != 0 && errno != EINTR) code = errno;
    if (code != 0) return fail(code, error);
    if (direct_) {
        committed_ = true;
        return true;
    }
    code = FaultAt(Step::Rename);
    if (code == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) code = errno;
    if (code != 0) return fail(code, error);
    temp_.clear();
    committed_ = true;
    // The rename reaches the disk with the folder's entry.
    const std::filesystem::path folder = target_.parent_path().empty() ? "." : target_.parent_path();
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void Replacement::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

void Replacement::setFailed(int err) {
    if (code_ == 0) code_ = err ? err : EIO;
}

bool Replacement::fail(int code, std::string& error) {
    code_ = code ? code : EIO;
    error = WriteError(shown_, code_);
    discard();
    return false;
}

bool WriteFile(const std::filesystem::path& target, std::string_view bytes, std::string& error) {
    Replacement file(target);
    if (!file.open(error)) return false;
    file.write(bytes);
    return file.commit(error);
}

// The stream's buffer: 64 KiB collected, then handed to the Replacement.
class OutFile::Buffer : public std::streambuf {
public:
    explicit Buffer(const std::filesystem::path& target) : file_(target), space_(64 * 1024) {
        setp(space_.data(), space_.data() + space_.size());
    }
    Replacement& file() { return file_; }

protected:
    int_type overflow(int_type c) override {
        if (!drain()) return traits_type::eof();
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        // Large pieces bypass the buffer.
        if (n >= static_cast<std::streamsize>(space_.size())) {
            if (!drain() || !file_.write(s, static_cast<std::size_t>(n))) return 0;
            return n;
        }
        return std::streambuf::xsputn(s, n);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    bool drain() {
        const std::size_t n = static_cast<std::size_t>(pptr() - pbase());
        setp(space_.data(), space_.data() + space_.size());
        return n == 0 ? file_.errorCode() == 0 : file_.write(space_.data(), n);
    }

    Replacement file_;
    std::vector<char> space_;
};

OutFile::OutFile(const std::filesystem::path& target)
    : std::ostream(nullptr), buffer_(std::make_unique<Buffer>(target)) {
    rdbuf(buffer_.get());
    // Unusable until open() succeeds.
    setstate(std::ios::badbit);
}

OutFile::~OutFile() {
    rdbuf(nullptr);
}

bool OutFile::open(std::string& error) {
    if (!buffer_->file().open(error)) return false;
    clear();
    return true;
}

bool OutFile::commit(std::string& error) {
    Replacement& file = buffer_->file();
    if (!file.name().empty() && (buffer_->pubsync() != 0 || !*this)) {
        // A stream failure without a failed write of ours (a writer that set
        // failbit itself) still keeps the old file.
        if (file.errorCode() == 0) file.setFailed(EIO);
    }
    const bool ok = file.commit(error);
    setstate(ok ? std::ios::goodbit : std::ios::badbit);
    return ok;
}

void OutFile::discard() {
    buffer_->file().discard();
    setstate(std::ios::badbit);
}

const std::filesystem::path& OutFile::shown() const {
    return buffer_->file().shown();
}

}  // namespace kmx::safefile
