#pragma once
// Small helpers of the demo generator: its random numbers and text shaping.

#include <cstdint>
#include <string>
#include <vector>

namespace kmx::catalog::demo {

// splitmix64: tiny, fast and the same on every platform and library version.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1 for n > 0.
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool percent(int p) { return below(100) < p; }
    template <class T>
    const T& pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
    }

private:
    std::uint64_t state_;
};

// Characters (code points) of a UTF-8 text.
std::size_t charCount(const std::string& utf8);
// The text cut to at most `chars` characters, without trailing blanks.
std::string fit(const std::string& utf8, std::size_t chars);
// Polish letters replaced by their base letters; other non-ASCII dropped.
std::string ascii(const std::string& utf8);
std::string lowerAscii(const std::string& utf8);
std::string upperAscii(const std::string& utf8);
// Only the ASCII letters and digits of the text.
std::string lettersAndDigits(const std::string& text);

// Hundredths as a decimal with "." and no trailing zeros: 1250 -> "12.5".
std::string hundredths(std::int64_t value);
// A whole number padded with zeros to `width` digits.
std::string zeroPad(std::int64_t value, int width);
// The yyyy-mm-dd text of a day serial.
std::string dateText(int serial);

}  // namespace kmx::catalog::demo
