#include "core/settings_file.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <istream>
#include <ostream>
#include <random>
#include <system_error>

#include "core/scramble.h"

namespace kmx {

namespace {

constexpr std::size_t kStartOffset = kUstawieniaHeaderSize;
constexpr std::size_t kLengthOffset = kUstawieniaHeaderSize + 4;
constexpr std::size_t kBlockOffset = kUstawieniaHeaderSize + 8;

// Our own header; the reader ignores it, it only tells a person what the file is.
constexpr std::string_view kHeader = "KALMAREX kmx.iif 1\r\n\x1A";

std::int32_t readInt32(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 4; ++k) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + k])) << (8 * k);
    return static_cast<std::int32_t>(v);
}

void writeInt32(std::string& bytes, std::size_t at, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (std::size_t k = 0; k < 4; ++k) bytes[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

// XOR with Random(255) after a reseed; applying it twice restores the block.
void maskBlock(char* block) {
    Generator g;
    for (std::size_t i = 0; i < kUstawieniaBlockSize; ++i) {
        block[i] = static_cast<char>(static_cast<unsigned char>(block[i]) ^ g.random(255));
    }
}

UstawieniaResult failure(std::string text) {
    UstawieniaResult r;
    r.error = std::move(text);
    return r;
}

ZapisUstawienResult writeFailure(std::string text) { return ZapisUstawienResult{false, std::move(text)}; }

// splitmix64 seeded from the system's entropy source: the filler and the
// password's place differ from file to file.
class FillSource {
public:
    FillSource() {
        std::random_device rd;
        state_ = (static_cast<std::uint64_t>(rd()) << 32) ^ rd();
    }
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A value from 0 to n - 1 (n > 0); the bias is far below anything visible.
    std::uint64_t below(std::uint64_t n) { return next() % n; }

private:
    std::uint64_t state_ = 0;
};

}  // namespace

UstawieniaResult CzytajUstawieniaZBajtow(std::string_view bytes) {
    if (bytes.size() < kUstawieniaFileSize) return failure("Plik ustawień jest za krótki.");
    const std::int32_t start = readInt32(bytes, kStartOffset);
    const std::int32_t length = readInt32(bytes, kLengthOffset);
    // Checked without any sum that could overflow.
    constexpr auto kBlock = static_cast<std::int32_t>(kUstawieniaBlockSize);
    if (start < 0 || length < 0 || length > kBlock || start > kBlock - length) {
        return failure("Plik ustawień jest uszkodzony.");
    }
    std::array<char, kUstawieniaBlockSize> block;
    bytes.copy(block.data(), block.size(), kBlockOffset);
    maskBlock(block.data());
    std::string password = Deszyfruj(
        std::string_view(block.data() + start, static_cast<std::size_t>(length)), 2);
    if (password.size() > kUstawieniaMaxPassword) password.resize(kUstawieniaMaxPassword);
    UstawieniaResult r;
    r.ok = true;
    r.password = std::move(password);
    return r;
}

UstawieniaResult CzytajUstawienia(std::istream& in) {
    std::string bytes(kUstawieniaFileSize, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (in.bad()) return failure("Błąd odczytu pliku ustawień.");
    bytes.resize(got);
    return CzytajUstawieniaZBajtow(bytes);
}

UstawieniaResult CzytajUstawienia(const std::filesystem::path& path) {
    std::error_code ec;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, ec)) in.open(path, std::ios::binary);
    if (!in.is_open()) return failure("Nie można otworzyć pliku ustawień " + path.string() + ".");
    return CzytajUstawienia(in);
}

ZapisUstawienResult ZapiszUstawienia(std::ostream& out, std::string_view passwordCp1250) {
    if (passwordCp1250.size() > kUstawieniaMaxPassword) {
        return writeFailure("Hasło jest za długie: najwyżej 64 znaki.");
    }
    const std::string scrambled = Szyfruj(passwordCp1250, 2);
    if (Deszyfruj(scrambled, 2) != passwordCp1250) {
        // A "~" before one of the escape letters reads back as a Polish letter.
        return writeFailure("Hasło zawiera znak ~ przed literą i nie odczytałoby się bez zmian.");
    }

    std::string file(kUstawieniaFileSize, '\0');
    file.replace(0, kHeader.size(), kHeader);

    FillSource fill;
    char* block = file.data() + kBlockOffset;
    for (std::size_t i = 0; i < kUstawieniaBlockSize; ++i) {
        // A printable character shifted the way mode 2 shifts text, so the
        // password does not stand out from its surroundings.
        block[i] = static_cast<char>((32 + fill.below(95) + fill.below(100)) & 0xFF);
    }
    const std::size_t start = fill.below(kUstawieniaBlockSize - scrambled.size() + 1);
    scrambled.copy(block + start, scrambled.size());
    maskBlock(block);
    writeInt32(file, kStartOffset, static_cast<std::int32_t>(start));
    writeInt32(file, kLengthOffset, static_cast<std::int32_t>(scrambled.size()));

    out.write(file.data(), static_cast<std::streamsize>(file.size()));
    out.flush();
    if (!out) return writeFailure("Nie można zapisać pliku ustawień.");
    return ZapisUstawienResult{true, {}};
}

ZapisUstawienResult ZapiszUstawienia(const std::filesystem::path& path, std::string_view passwordCp1250) {
    std::filesystem::path temp = path;
    temp += ".tmp";
    ZapisUstawienResult r;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out.is_open()) return writeFailure("Nie można utworzyć pliku ustawień " + path.string() + ".");
        r = ZapiszUstawienia(out, passwordCp1250);
        out.close();
        if (r.ok && !out) r = writeFailure("Nie można zapisać pliku ustawień " + path.string() + ".");
    }
    std::error_code ec;
    if (r.ok) {
        std::filesystem::rename(temp, path, ec);
        if (ec) r = writeFailure("Nie można zapisać pliku ustawień " + path.string() + ".");
    }
    if (!r.ok) std::filesystem::remove(temp, ec);
    return r;
}

}  // namespace kmx
