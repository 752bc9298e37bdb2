#include "core/rijndael.h"

#include <algorithm>

#include <openssl/crypto.h>
#include <openssl/evp.h>

namespace kmx {

namespace {

void wipe(Block& b) { OPENSSL_cleanse(b.data(), b.size()); }

std::size_t keyBytes(TKeySize size) {
    switch (size) {
        case TKeySize::Med192: return 24;
        case TKeySize::Large256: return 32;
        case TKeySize::Small128: break;
    }
    return 16;
}

}  // namespace

// The single-block cipher: an ECB context without padding, so every update of
// 16 bytes gives exactly one encrypted block.
struct TRijnCore::Ctx {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    ~Ctx() { EVP_CIPHER_CTX_free(ctx); }
};

TRijnCore::TRijnCore() : ctx_(std::make_unique<Ctx>()) {}
TRijnCore::~TRijnCore() = default;

bool TRijnCore::expand(const unsigned char* key, std::size_t length) {
    const EVP_CIPHER* cipher = nullptr;
    switch (length) {
        case 16: cipher = EVP_aes_128_ecb(); break;
        case 24: cipher = EVP_aes_192_ecb(); break;
        case 32: cipher = EVP_aes_256_ecb(); break;
        default: return false;
    }
    rounds_ = 0;
    if (ctx_->ctx == nullptr) return false;
    EVP_CIPHER_CTX_reset(ctx_->ctx);
    if (EVP_EncryptInit_ex(ctx_->ctx, cipher, nullptr, key, nullptr) != 1) return false;
    EVP_CIPHER_CTX_set_padding(ctx_->ctx, 0);
    rounds_ = static_cast<int>(length / 4) + 6;
    return true;
}

void TRijnCore::clear() {
    if (ctx_->ctx != nullptr) EVP_CIPHER_CTX_reset(ctx_->ctx);
    rounds_ = 0;
}

bool TRijnCore::encryptBlock(Block& block) {
    if (rounds_ == 0) return false;
    Block out{};
    int len = 0;
    if (EVP_EncryptUpdate(ctx_->ctx, out.data(), &len, block.data(), static_cast<int>(block.size())) != 1 ||
        len != static_cast<int>(block.size()))
        return false;
    block = out;
    wipe(out);
    return true;
}

void TRijndael::SetKey(std::string_view passPhrase) {
    if (passPhrase.empty() || passPhrase.size() > 255)
        throw EKeyError("Rijndael: Key must be between 1 and 255 bytes");
    wipe(scratch_);
    wipe(buffer_);
    const std::size_t n = keyBytes(KeySize);
    std::array<unsigned char, 32> key{};
    for (std::size_t i = 0; i < passPhrase.size(); ++i)
        key[i % n] ^= static_cast<unsigned char>(passPhrase[i]);
    const bool ok = core_.expand(key.data(), n);
    OPENSSL_cleanse(key.data(), key.size());
    keySet_ = ok ? 1 : 0;
    // Only a broken libcrypto gets here; the caller sees it as a missing key.
    if (!ok) throw EKeyError("Rijndael: Key not set");
}

void TRijndael::SetIV(std::string_view text) {
    v_.fill(0);
    for (std::size_t i = 0; i < text.size(); ++i) v_[i % 16] ^= static_cast<unsigned char>(text[i]);
    ivSet_ = 1;
}

std::string TRijndael::EncryptString(std::string_view plain) {
    if (keySet_ == 0) throw EKeyError("Rijndael: Key not set");
    if (CipherMode != TCipherMode::ECB && ivSet_ == 0) throw EKeyError("Rijndael: IV not set");
    if (plain.empty()) return {};

    const std::size_t pad = 16 - plain.size() % 16;
    const std::size_t total = plain.size() + pad;
    std::string cipher(total, '\0');
    for (std::size_t off = 0; off < total; off += 16) {
        for (std::size_t j = 0; j < 16; ++j) {
            const std::size_t k = off + j;
            buffer_[j] = k < plain.size() ? static_cast<unsigned char>(plain[k]) : static_cast<unsigned char>(pad);
        }
        bool ok = true;
        switch (CipherMode) {
            case TCipherMode::ECB:
                scratch_ = buffer_;
                ok = core_.encryptBlock(scratch_);
                break;
            case TCipherMode::CBC:
                for (std::size_t j = 0; j < 16; ++j) scratch_[j] = buffer_[j] ^ v_[j];
                ok = core_.encryptBlock(scratch_);
                v_ = scratch_;
                break;
            case TCipherMode::CFB:
                scratch_ = v_;
                ok = core_.encryptBlock(scratch_);
                for (std::size_t j = 0; j < 16; ++j) scratch_[j] ^= buffer_[j];
                v_ = scratch_;
                break;
            case TCipherMode::OFB:
                ok = core_.encryptBlock(v_);
                for (std::size_t j = 0; j < 16; ++j) scratch_[j] = buffer_[j] ^ v_[j];
                break;
        }
        if (!ok) throw EKeyError("Rijndael: Key not set");
        for (std::size_t j = 0; j < 16; ++j) cipher[off + j] = static_cast<char>(scratch_[j]);
    }
    wipe(buffer_);
    wipe(scratch_);

    switch (StringMode) {
        case TStringMode::smNormal: return cipher;
        case TStringMode::smEncode: return sixBitEncode(cipher);
        case TStringMode::smMime: break;
    }
    return base64Encode(cipher);
}

void TRijndael::Burn() {
    keySet_ = 0;
    ivSet_ = 0;
    wipe(v_);
    wipe(scratch_);
    wipe(buffer_);
    core_.clear();
}

std::string base64Encode(std::string_view bytes) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 | static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[v >> 18 & 63];
        out += kAlphabet[v >> 12 & 63];
        out += kAlphabet[v >> 6 & 63];
        out += kAlphabet[v & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[v >> 18 & 63];
        out += kAlphabet[v >> 12 & 63];
        out += rest == 2 ? kAlphabet[v >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

// Three bytes give four characters, most significant bits first; a last
// group of one or two bytes gives two or three characters, with no padding.
std::string sixBitEncode(std::string_view bytes) {
    static constexpr char kAlphabet[] = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        unsigned v = 0;
        for (std::size_t j = 0; j < 3; ++j)
            v = v << 8 | (j < n ? static_cast<unsigned char>(bytes[i + j]) : 0u);
        for (std::size_t j = 0; j <= n; ++j) out += kAlphabet[v >> (18 - 6 * j) & 63];
    }
    return out;
}

}  // namespace kmx
