// The records exchanged with the price-base library: every field at its
// offset and width, cutting, zero padding, the goods-name rule, reserved
// bytes and reading each field back (Windows-1250 bytes among them).

#include "core/t3_records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace kmx::t3 {
namespace {

constexpr unsigned char kGuard = 0xAA;

// A written record in a buffer with guard bytes behind it.
template <typename Rec>
std::string bytesOf(const Rec& r, void (*write)(const Rec&, char*), std::size_t size) {
    std::string buf(size + 8, static_cast<char>(kGuard));
    write(r, buf.data());
    for (std::size_t i = size; i < buf.size(); ++i)
        EXPECT_EQ(static_cast<unsigned char>(buf[i]), kGuard) << "written past the record at " << i;
    buf.resize(size);
    return buf;
}

// A text of n distinct, non-zero bytes (Windows-1250 letters among them).
std::string pattern(std::size_t n, char seed) {
    static const std::string letters = "abc\xB9\xEA\xBF\x9F\xF3\xB3\xA3XYZ0123456789";
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s.push_back(letters[(static_cast<std::size_t>(seed) + i) % letters.size()]);
    return s;
}

template <typename Rec>
struct TextField {
    const char* name;
    std::size_t offset, width;
    std::string Rec::*member;
};

// Each text field alone, longer than its width and shorter: only its own
// bytes change, cut to the width without a terminator, or ended by zeros.
template <typename Rec>
void checkTextFields(const std::vector<TextField<Rec>>& fields, const Rec& empty, void (*write)(const Rec&, char*),
                     Rec (*read)(const char*), std::size_t size) {
    const std::string base = bytesOf(empty, write, size);
    char seed = 0;
    for (const auto& f : fields) {
        SCOPED_TRACE(f.name);
        for (const std::size_t len : {f.width + 7, f.width, f.width - 1, std::size_t{1}}) {
            Rec r = empty;
            r.*(f.member) = pattern(len, ++seed);
            const std::string b = bytesOf(r, write, size);
            for (std::size_t i = 0; i < size; ++i) {
                if (i >= f.offset && i < f.offset + f.width) continue;
                ASSERT_EQ(b[i], base[i]) << "byte " << i << ", length " << len;
            }
            const std::string stored = (r.*(f.member)).substr(0, f.width);
            EXPECT_EQ(b.substr(f.offset, stored.size()), stored) << "length " << len;
            EXPECT_EQ(b.substr(f.offset + stored.size(), f.width - stored.size()),
                      std::string(f.width - stored.size(), '\0'))
                << "length " << len;
            EXPECT_EQ(read(b.data()).*(f.member), stored) << "length " << len;
        }
    }
}

std::uint32_t le32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

TEST(T3CennikRec, FieldsLieAtTheirOffsetsAndWidths) {
    CennikRec empty;
    empty.typ.clear();
    empty.jeden = 0;
    const std::string base = bytesOf(empty, Zapisz, kCennikRecSize);
    EXPECT_EQ(base, std::string(kCennikRecSize, '\0'));
    checkTextFields<CennikRec>({{"plik", 0, 41, &CennikRec::plik},
                                {"typ", 162, 1, &CennikRec::typ},
                                {"opis", 168, 201, &CennikRec::opis},
                                {"poziom", 369, 21, &CennikRec::poziom},
                                {"waluta", 390, 11, &CennikRec::waluta}},
                               empty, Zapisz, CzytajCennik, kCennikRecSize);
}

TEST(T3CennikRec, TheDefaultsAndTheCounterAreLittleEndianAndReservedBytesStayZero) {
    CennikRec r;
    r.plik = pattern(60, 1);
    r.opis = pattern(250, 2);
    r.poziom = pattern(30, 3);
    r.waluta = pattern(20, 4);
    const std::string b = bytesOf(r, Zapisz, kCennikRecSize);
    EXPECT_EQ(b[162], 'E');
    EXPECT_EQ(le32(b, 164), 1u);
    for (std::size_t i = 41; i < 162; ++i) EXPECT_EQ(b[i], '\0') << i;
    EXPECT_EQ(b[163], '\0');

    r.jeden = 0x01020304;
    const std::string c = bytesOf(r, Zapisz, kCennikRecSize);
    EXPECT_EQ(c.substr(164, 4), std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(CzytajCennik(c.data()).jeden, 0x01020304);
}

TEST(T3RmsRec, TextFieldsLieAtTheirOffsetsAndWidths) {
    const RmsRec empty;
    EXPECT_EQ(bytesOf(empty, ZapiszRms, kRmsRecSize), std::string(kRmsRecSize, '\0'));
    checkTextFields<RmsRec>({{"kod", 0, 8, &RmsRec::kod},
                             {"jmKod", 8, 4, &RmsRec::jmKod},
                             {"typ", 14, 1, &RmsRec::typ},
                             {"jmNazwa", 15, 21, &RmsRec::jmNazwa}},
                            empty, ZapiszRms, CzytajRms, kRmsRecSize);
}

TEST(T3RmsRec, TheIndexKindIsOneCharacterAndAZero) {
    RmsRec r;
    r.rodzajIndeksu = "21";
    r.typ = "M";
    const std::string b = bytesOf(r, ZapiszRms, kRmsRecSize);
    EXPECT_EQ(b.substr(12, 3), std::string("2\0M", 3));
    EXPECT_EQ(CzytajRms(b.data()).rodzajIndeksu, "2");
}

TEST(T3RmsRec, PricesAreLittleEndianFloatsAtTheirOffsets) {
    RmsRec r;
    r.cenaProducenta = 12.5f;     // 0x41480000
    r.cenaHurtowa = -0.375f;      // 0xBEC00000
    r.cenaDetaliczna = 1234.56f;  // 0x449A51EC
    const std::string b = bytesOf(r, ZapiszRms, kRmsRecSize);
    EXPECT_EQ(b.substr(36, 4), std::string("\x00\x00\x48\x41", 4));
    EXPECT_EQ(b.substr(40, 4), std::string("\x00\x00\xC0\xBE", 4));
    EXPECT_EQ(b.substr(44, 4), std::string("\xEC\x51\x9A\x44", 4));
    const RmsRec back = CzytajRms(b.data());
    EXPECT_EQ(back.cenaProducenta, 12.5f);
    EXPECT_EQ(back.cenaHurtowa, -0.375f);
    EXPECT_EQ(back.cenaDetaliczna, 1234.56f);
}

TEST(T3RmsRec, TheNameIsAtMost201BytesAndAZeroAndTheTailStaysZero) {
    for (const std::size_t len : {std::size_t{300}, std::size_t{201}, std::size_t{200}, std::size_t{0}}) {
        SCOPED_TRACE(len);
        RmsRec r;
        r.kod = pattern(8, 1);
        r.nazwa = pattern(len, 5);
        const std::string b = bytesOf(r, ZapiszRms, kRmsRecSize);
        const std::size_t kept = len < 201 ? len : 201;
        EXPECT_EQ(b.substr(48, kept), r.nazwa.substr(0, kept));
        EXPECT_EQ(b.substr(48 + kept, kRmsRecSize - 48 - kept), std::string(kRmsRecSize - 48 - kept, '\0'));
        EXPECT_EQ(CzytajRms(b.data()).nazwa, r.nazwa.substr(0, kept));
    }
    // A record from elsewhere with the whole name area filled reads 201 bytes.
    std::string foreign(kRmsRecSize, '\0');
    std::memset(foreign.data() + 48, 'x', 256);
    EXPECT_EQ(CzytajRms(foreign.data()).nazwa, std::string(201, 'x'));
}

TEST(T3ProdRec, FieldsLieAtTheirOffsetsAndWidthsAndTheTailIsReserved) {
    const ProdRec empty;
    EXPECT_EQ(bytesOf(empty, ZapiszProd, kProdRecSize), std::string(kProdRecSize, '\0'));
    const std::vector<TextField<ProdRec>> fields = {
        {"kod", 0, 16, &ProdRec::kod},           {"nip", 16, 16, &ProdRec::nip},
        {"nazwa", 32, 101, &ProdRec::nazwa},     {"kodPocztowy", 133, 11, &ProdRec::kodPocztowy},
        {"miejscowosc", 144, 31, &ProdRec::miejscowosc}, {"ulica", 175, 51, &ProdRec::ulica},
        {"wojewodztwo", 226, 26, &ProdRec::wojewodztwo}, {"telKier", 252, 4, &ProdRec::telKier},
        {"telefon", 256, 16, &ProdRec::telefon}, {"faks", 272, 16, &ProdRec::faks},
        {"email", 288, 41, &ProdRec::email},     {"www", 329, 41, &ProdRec::www}};
    checkTextFields<ProdRec>(fields, empty, ZapiszProd, CzytajProd, kProdRecSize);

    ProdRec full;
    for (const auto& f : fields) full.*(f.member) = pattern(f.width + 3, 7);
    const std::string b = bytesOf(full, ZapiszProd, kProdRecSize);
    EXPECT_EQ(b.substr(370), std::string(256, '\0'));
    // Full-width fields run into each other without a terminator.
    EXPECT_EQ(std::strlen(b.data() + 252), 4u + 16 + 16 + 41 + 41);
}

TEST(T3Records, FieldHelpersCutPadAndStopAtTheFirstZero) {
    char f[6];
    std::memset(f, 'x', sizeof f);
    PoleTekstu(f, 5, "ab");
    EXPECT_EQ(std::string(f, 6), std::string("ab\0\0\0x", 6));
    PoleTekstu(f, 5, "abcdefgh");
    EXPECT_EQ(std::string(f, 6), "abcdex");
    EXPECT_EQ(CzytajPole(f, 5), "abcde");
    PoleTekstu(f, 5, std::string_view("a\0b", 3));
    EXPECT_EQ(CzytajPole(f, 5), "a");
    PoleTekstu(f, 5, "");
    EXPECT_EQ(std::string(f, 6), std::string("\0\0\0\0\0x", 6));
    EXPECT_EQ(CzytajPole(f, 5), "");
}

}  // namespace
}  // namespace kmx::t3
