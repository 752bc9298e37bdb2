#pragma once
// TRijndael: encrypts a byte string with AES (128-bit blocks) and returns it
// as text. Key and initialisation vector are folded from pass phrases of any
// length, the data is padded PKCS #7 style, and the chaining register is kept
// between calls until the vector is set again. The block function itself is
// libcrypto's AES.

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kmx {

// The component's errors: "Rijndael: Key must be between 1 and 255 bytes",
// "Rijndael: Key not set", "Rijndael: IV not set".
class EKeyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TCipherMode : std::uint8_t { ECB, CBC, CFB, OFB };
enum class TKeySize : std::uint8_t { Small128, Med192, Large256 };
// smMime: standard base64 with "=" padding; smEncode: six bits per character
// over "+-0-9A-Za-z"; smNormal: the cipher bytes as they are.
enum class TStringMode : std::uint8_t { smMime, smEncode, smNormal };

using Block = std::array<unsigned char, 16>;

// The expanded key: one AES block function for the key last set.
class TRijnCore {
public:
    TRijnCore();
    ~TRijnCore();
    TRijnCore(const TRijnCore&) = delete;
    TRijnCore& operator=(const TRijnCore&) = delete;

    // key is 16, 24 or 32 bytes. False only when libcrypto refuses.
    bool expand(const unsigned char* key, std::size_t length);
    void clear();
    // One block, in place.
    bool encryptBlock(Block& block);
    int rounds() const { return rounds_; }

private:
    struct Ctx;
    std::unique_ptr<Ctx> ctx_;
    int rounds_ = 0;
};

class TRijndael {
public:
    TRijndael() = default;
    ~TRijndael() { Burn(); }
    TRijndael(const TRijndael&) = delete;
    TRijndael& operator=(const TRijndael&) = delete;

    TCipherMode CipherMode = TCipherMode::ECB;
    TKeySize KeySize = TKeySize::Small128;
    TStringMode StringMode = TStringMode::smMime;

    // Folds the phrase (1 to 255 bytes) into a key of KeySize and expands it.
    // Throws EKeyError for any other length.
    void SetKey(std::string_view passPhrase);
    // Folds the text (any length, empty gives the zero vector) into the
    // chaining register.
    void SetIV(std::string_view text);
    // Pads, encrypts and encodes. Throws EKeyError without a key, or without
    // a vector in a mode other than ECB. Empty input gives empty output.
    std::string EncryptString(std::string_view plain);
    // Forgets key and vector and wipes the work blocks; the mode and key size
    // stay.
    void Burn();

    bool keySet() const { return keySet_ != 0; }
    bool ivSet() const { return ivSet_ != 0; }
    // The chaining register as it stands.
    const Block& chain() const { return v_; }

private:
    std::uint8_t keySet_ = 0;
    std::uint8_t ivSet_ = 0;
    Block v_{};
    Block scratch_{};
    Block buffer_{};
    TRijnCore core_;
};

// The two text forms of EncryptString, usable on their own.
std::string base64Encode(std::string_view bytes);
std::string sixBitEncode(std::string_view bytes);

}  // namespace kmx
