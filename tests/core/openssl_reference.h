#pragma once
// OpenSSL's own decryption, the reference the cipher and the unit-price file
// are checked against (never the code under test).

#include <openssl/evp.h>

#include <string>

namespace kmx::testref {

// AES-128-CBC decryption with PKCS #7 padding removed; "<bad padding>" when
// the padding is wrong.
inline std::string opensslCbcDecrypt(const std::string& key, const std::string& iv, const std::string& cipher) {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    std::string out(cipher.size() + 16, '\0');
    int n1 = 0, n2 = 0;
    EVP_DecryptInit_ex(ctx, EVP_aes_128_cbc(), nullptr, reinterpret_cast<const unsigned char*>(key.data()),
                       reinterpret_cast<const unsigned char*>(iv.data()));
    EVP_DecryptUpdate(ctx, reinterpret_cast<unsigned char*>(out.data()), &n1,
                      reinterpret_cast<const unsigned char*>(cipher.data()), static_cast<int>(cipher.size()));
    const int ok = EVP_DecryptFinal_ex(ctx, reinterpret_cast<unsigned char*>(out.data()) + n1, &n2);
    EVP_CIPHER_CTX_free(ctx);
    if (ok != 1) return "<bad padding>";
    out.resize(static_cast<std::size_t>(n1 + n2));
    return out;
}

// One line of the unit-price file: base64 of the line encrypted with the
// file's key and vector.
inline std::string opensslDecryptUnitPriceLine(const std::string& b64) {
    std::string raw(b64.size(), '\0');
    const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(raw.data()),
                                  reinterpret_cast<const unsigned char*>(b64.data()), static_cast<int>(b64.size()));
    if (n < 0) return "<bad base64>";
    std::size_t len = static_cast<std::size_t>(n);
    if (!b64.empty() && b64.back() == '=') --len;
    if (b64.size() > 1 && b64[b64.size() - 2] == '=') --len;
    raw.resize(len);
    const std::string key = std::string("!KASZTANOWIEC!") + std::string(2, '\0');
    return opensslCbcDecrypt(key, "8302657194416028", raw);
}

}  // namespace kmx::testref
