#include "openssl_reference.h"
#include "core/rijndael.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <string>

namespace {

using kmx::EKeyError;
using kmx::TCipherMode;
using kmx::TKeySize;
using kmx::TRijndael;
using kmx::TStringMode;

std::string hex(std::string_view h) {
    std::string out;
    for (std::size_t i = 0; i + 1 < h.size(); i += 2) out += static_cast<char>(std::stoi(std::string(h.substr(i, 2)), nullptr, 16));
    return out;
}

std::string toHex(std::string_view bytes) {
    static constexpr char d[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += d[c >> 4];
        out += d[c & 15];
    }
    return out;
}

// NIST SP 800-38A, AES-128 examples.
const std::string kNistKey = hex("2b7e151628aed2a6abf7158809cf4f3c");
const std::string kNistIv = hex("000102030405060708090a0b0c0d0e0f");
const std::string kNistPlain = hex(
    "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710");

std::string nist(TCipherMode mode) {
    TRijndael r;
    r.CipherMode = mode;
    r.StringMode = TStringMode::smNormal;
    r.SetKey(kNistKey);
    r.SetIV(kNistIv);
    const std::string out = r.EncryptString(kNistPlain);
    EXPECT_EQ(out.size(), 80u);  // four blocks and one block of padding
    return toHex(out.substr(0, 64));
}

TEST(RijndaelVectors, Fips197BlockForEachKeySize) {
    const std::string plain = hex("00112233445566778899aabbccddeeff");
    struct Case {
        TKeySize size;
        const char* key;
        const char* cipher;
    } cases[] = {
        {TKeySize::Small128, "000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {TKeySize::Med192, "000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"},
        {TKeySize::Large256, "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
         "8ea2b7ca516745bfeafc49904b496089"},
    };
    for (const auto& c : cases) {
        TRijndael r;
        r.KeySize = c.size;
        r.StringMode = TStringMode::smNormal;
        r.SetKey(hex(c.key));
        EXPECT_EQ(toHex(r.EncryptString(plain).substr(0, 16)), c.cipher);
    }
}

TEST(RijndaelVectors, Sp80038aModes) {
    EXPECT_EQ(nist(TCipherMode::ECB),
              "3ad77bb40d7a3660a89ecaf32466ef97f5d3d58503b9699de785895a96fdbaaf"
              "43b1cd7f598ece23881b00e3ed0306887b0c785e27e8ad3f8223207104725dd4");
    EXPECT_EQ(nist(TCipherMode::CBC),
              "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
              "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7");
    EXPECT_EQ(nist(TCipherMode::CFB),
              "3b3fd92eb72dad20333449f8e83cfb4ac8a64537a0b3a93fcde3cdad9f1ce58b"
              "26751f67a3cbb140b1808cf187a4f4dfc04b05357c5d1c0eeac4c66f9ff7f2e6");
    EXPECT_EQ(nist(TCipherMode::OFB),
              "3b3fd92eb72dad20333449f8e83cfb4a7789508d16918f03f53c52dac54ed825"
              "9740051e9c5fecf64344f7a82260edcc304c6528f659c77866a510d9c1d6ae5e");
}

// OpenSSL's own CBC decryption with PKCS #7 padding removal.
std::string opensslCbcDecrypt(const std::string& key, const std::string& iv, const std::string& cipher) {
    return kmx::testref::opensslCbcDecrypt(key, iv, cipher);
}

TEST(RijndaelPadding, FifteenAndSixteenBytes) {
    TRijndael r;
    r.CipherMode = TCipherMode::CBC;
    r.StringMode = TStringMode::smNormal;
    const std::string key = kNistKey;
    for (std::size_t len : {15u, 16u, 1u, 31u}) {
        r.SetKey(key);
        r.SetIV(kNistIv);
        const std::string plain(len, 'x');
        const std::string c = r.EncryptString(plain);
        EXPECT_EQ(c.size(), (len / 16 + 1) * 16) << len;
        EXPECT_EQ(opensslCbcDecrypt(key, kNistIv, c), plain) << len;
    }
    // The base64 lengths: one block is 24 characters, two blocks 44.
    r.StringMode = TStringMode::smMime;
    r.SetIV(kNistIv);
    EXPECT_EQ(r.EncryptString(std::string(15, 'a')).size(), 24u);
    r.SetIV(kNistIv);
    EXPECT_EQ(r.EncryptString(std::string(16, 'a')).size(), 44u);
    EXPECT_EQ(r.EncryptString(""), "");
}

TEST(RijndaelKeys, FoldingOfPhraseAndVector) {
    // A short phrase is padded with zero bytes, a long one wraps round by xor.
    TRijndael a, b;
    a.StringMode = b.StringMode = TStringMode::smNormal;
    a.SetKey("abc");
    b.SetKey(std::string("abc") + std::string(13, '\0'));
    EXPECT_EQ(a.EncryptString("block"), b.EncryptString("block"));
    std::string longPhrase(16, 'A');
    longPhrase += "B";  // byte 0 becomes 'A' ^ 'B' = 0x03
    std::string folded(16, 'A');
    folded[0] = 0x03;
    a.SetKey(longPhrase);
    b.SetKey(folded);
    EXPECT_EQ(a.EncryptString("block"), b.EncryptString("block"));

    // Vector folding the same way: "0123456789abcdefX" is the 16 bytes with
    // 'X' ^ '0' in the first.
    a.CipherMode = b.CipherMode = TCipherMode::CBC;
    std::string iv = "0123456789abcdef";
    a.SetIV(iv + "X");
    iv[0] = static_cast<char>('X' ^ '0');
    b.SetIV(iv);
    EXPECT_EQ(a.EncryptString("block"), b.EncryptString("block"));
    EXPECT_EQ(a.chain(), b.chain());
}

TEST(RijndaelKeys, Errors) {
    TRijndael r;
    try {
        r.SetKey("");
        FAIL() << "empty key accepted";
    } catch (const EKeyError& e) {
        EXPECT_STREQ(e.what(), "Rijndael: Key must be between 1 and 255 bytes");
    }
    EXPECT_THROW(r.SetKey(std::string(256, 'k')), EKeyError);
    EXPECT_NO_THROW(r.SetKey(std::string(255, 'k')));

    TRijndael noKey;
    try {
        noKey.EncryptString("x");
        FAIL() << "no key";
    } catch (const EKeyError& e) {
        EXPECT_STREQ(e.what(), "Rijndael: Key not set");
    }
    // ECB needs no vector; CBC does.
    r.CipherMode = TCipherMode::ECB;
    EXPECT_NO_THROW(r.EncryptString("x"));
    r.CipherMode = TCipherMode::CBC;
    try {
        r.EncryptString("x");
        FAIL() << "no vector";
    } catch (const EKeyError& e) {
        EXPECT_STREQ(e.what(), "Rijndael: IV not set");
    }
    // Burn forgets both, keeps the mode.
    r.SetIV("");
    EXPECT_NO_THROW(r.EncryptString("x"));
    r.Burn();
    EXPECT_FALSE(r.keySet());
    EXPECT_FALSE(r.ivSet());
    EXPECT_EQ(r.CipherMode, TCipherMode::CBC);
    EXPECT_THROW(r.EncryptString("x"), EKeyError);
}

TEST(RijndaelChain, KeptBetweenCalls) {
    TRijndael r;
    r.CipherMode = TCipherMode::CBC;
    r.StringMode = TStringMode::smNormal;
    r.SetKey(kNistKey);
    r.SetIV(kNistIv);
    const std::string first = r.EncryptString("line one");
    const std::string second = r.EncryptString("line one");
    EXPECT_NE(first, second);
    // Both calls together are one CBC chain over the two padded messages.
    const std::string pad(8, '\x08');
    EXPECT_EQ(opensslCbcDecrypt(kNistKey, kNistIv, first + second), "line one" + pad + "line one");
    // A fresh vector starts the chain again.
    r.SetIV(kNistIv);
    EXPECT_EQ(r.EncryptString("line one"), first);
}

TEST(RijndaelText, Encodings) {
    EXPECT_EQ(kmx::base64Encode(""), "");
    EXPECT_EQ(kmx::base64Encode("f"), "Zg==");
    EXPECT_EQ(kmx::base64Encode("fo"), "Zm8=");
    EXPECT_EQ(kmx::base64Encode("foo"), "Zm9v");
    EXPECT_EQ(kmx::base64Encode("\xff\xfe"), "//4=");
    // 0x000000 -> "++++", 0xffffff -> "zzzz"; one byte 0x04 -> bits 000001|00.. -> "-+".
    EXPECT_EQ(kmx::sixBitEncode(std::string(3, '\0')), "++++");
    EXPECT_EQ(kmx::sixBitEncode("\xff\xff\xff"), "zzzz");
    EXPECT_EQ(kmx::sixBitEncode("\x04"), "-+");
}

}  // namespace
