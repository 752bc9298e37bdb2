#include "openssl_reference.h"
#include "core/pricelist.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <limits>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "core/cp1250.h"

namespace {

using namespace kmx::pricelist;
using kmx::cp1250::fromUtf8;

// A stream that takes `limit` bytes and then fails, like a full disk.
class LimitedBuf : public std::streambuf {
public:
    explicit LimitedBuf(std::size_t limit) : limit_(limit) {}
    std::string data;

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        if (data.size() >= limit_) return traits_type::eof();
        data += traits_type::to_char_type(c);
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        std::streamsize k = 0;
        while (k < n && data.size() < limit_) data += s[k++];
        return k;
    }

private:
    std::size_t limit_;
};

const std::string kHeaderTail =
    " - format danych elementów budowlanych z www.kalmarex.example.pl dla programów kosztorysowych TESSAR i "
    "KORVO. Tylko one w pełni wykorzystują Kalmarex. Wszelkie prawa zastrzeżone: Davideriv sp. z o.o., "
    "ul. Jaworowa 12, 30-416 Kraków, biuro@davideriv.example.pl, tel. 12 345 67 89 ";

TEST(PriceListKey, MakeDisguiseRecover) {
    EXPECT_EQ(MakeLineKey(2005, 4, 7), "070420050000");
    EXPECT_EQ(MakeLineKey(2000, 1, 1), "010120000000");
    EXPECT_EQ(MakeLineKey().size(), 12u);
    EXPECT_EQ(MakeLineKey().substr(8), "0000");
    // Shift 3 for 1.0, 5 for 2.x: odd positions down, even positions up.
    EXPECT_EQ(DisguiseKey("070420050000", Version::V10), "-:-7/3-8-3-3");
    EXPECT_EQ(DisguiseKey("070420050000", Version::V21), "+<+9-5+:+5+5");
    EXPECT_EQ(RecoverKey("+<+9-5+:+5+5", Version::V20), "070420050000");
}

TEST(PriceListEncode, PolishLettersKeyAndReversal) {
    // "Łódź" -> "@@L@@od@@x", plus 0,7,0,4,2,0,0,5,0,0 -> "@GLDBodE@x", reversed, blank.
    EXPECT_EQ(EncodeLine(fromUtf8("Łódź"), "070420050000"), "x@EdoBDLG@ ");
    // Every Polish letter has its escape; nothing becomes a blank.
    EXPECT_EQ(EncodeLine(fromUtf8("ąężźłóćńśĄĘŻŹŁÓĆŃŚ"), "000000000000"),
              "S@@N@@C@@O@@L@@X@@Z@@E@@A@@s@@n@@c@@o@@l@@x@@z@@e@@a@@ ");
    // Other bytes outside 32..126 become blanks before the key is added; the
    // ninth digit 9 on "~" gives byte 135.
    EXPECT_EQ(EncodeLine("\t\xE4~", "100000000000"), "~ ! ");
    EXPECT_EQ(EncodeLine("aaaaaaaa~", "000000009000"), std::string("\x87") + "aaaaaaaa ");
    EXPECT_EQ(EncodeLine("", "070420050000"), " ");
    // Past the twelfth byte the key starts again from its first digit.
    EXPECT_EQ(EncodeLine("abcdefghijklmn", "123456789012"), "pnnljrpnljhfdb ");
}

TEST(PriceListEncode, AppendedLinesFollowWhatTheBufferHolds) {
    std::string out = "abc";
    AppendEncodedLine(out, fromUtf8("Łódź"), "070420050000");
    EXPECT_EQ(out, "abcx@EdoBDLG@ ");
    AppendEncodedLine(out, "", "070420050000");
    AppendEncodedLine(out, "abcdefghijklmn", "123456789012");
    EXPECT_EQ(out, "abcx@EdoBDLG@  pnnljrpnljhfdb ");
    // Without a key nothing is shifted.
    out.clear();
    AppendEncodedLine(out, "ab", "");
    EXPECT_EQ(out, "ba ");
}

TEST(PriceListEncode, DecodeIsTheInverseAndRejectsGarbage) {
    std::string line, error;
    ASSERT_TRUE(DecodeLine("x@EdoBDLG@ ", "070420050000", line, error)) << error;
    EXPECT_EQ(line, fromUtf8("Łódź"));
    EXPECT_FALSE(DecodeLine("x@EdoBDLG@", "070420050000", line, error));  // no final blank
    EXPECT_FALSE(DecodeLine("\x1F ", "000000000000", line, error));        // below 32 after the key
    EXPECT_FALSE(DecodeLine("a ", "0704200500", line, error));             // short key
}

TEST(PriceListHeaders, ThreeVersionsAndNotice) {
    EXPECT_EQ(HeaderLine(Version::V10, "M", false), fromUtf8("KMX - wersja 1.0 - Materialy" + kHeaderTail));
    EXPECT_EQ(HeaderLine(Version::V10, "S", true),
              fromUtf8("KMX - wersja 1.0 - Sprzet ceny srednie" + kHeaderTail));
    EXPECT_EQ(HeaderLine(Version::V20, "MS", false),
              fromUtf8("KMX - wersja 2.0 - Materialy i Sprzet ceny dostawcow" + kHeaderTail));
    EXPECT_EQ(HeaderLine(Version::V21, "R", true), fromUtf8("KMX - wersja 2.1 - Robocizna ceny srednie" + kHeaderTail));
    EXPECT_EQ(HeaderLine(Version::V21, "", false).substr(0, 45), "KMX - wersja 2.1 - Materialy i Sprzet ceny do");
    // "ó" of "elementów" is the single Windows-1250 byte 0xF3.
    EXPECT_NE(HeaderLine(Version::V10, "M", false).find("element\xF3w"), std::string::npos);
    EXPECT_EQ(NoticeLine(),
              fromUtf8("Do zaimportowania pliku potrzebna jest Tessar w wersji conajmniej 3.15 lub Korvo 4.3. "
                       "Sprawdz wersję programu: (menu Pomoc -> O programie). Aby zaktualizowac swoj program "
                       "skontaktuj sie ze sprzedawca 12 345 67 80. sprzedaz@davideriv.example.pl."));
}

TEST(PriceListRecords, SupplierLineFieldsCleaned) {
    SupplierRecord s;
    s.code = " P1 ";
    s.name = "A;B";
    s.www = fromUtf8("Łódź");
    EXPECT_EQ(SupplierLine(s), fromUtf8("#kmxp#P1;;A B;;;;;;;;Łódź"));
    s.www = "; x ;";  // trimmed first, then the separators become blanks
    EXPECT_EQ(SupplierLine(s), "#kmxp#P1;;A B;;;;;;;;  x  ");
}

GoodsRecord goods(std::string eto, std::string kind) {
    GoodsRecord g;
    g.name = fromUtf8(" Cegła;pełna ");
    g.eto = std::move(eto);
    g.unit = "szt";
    g.pkwiu = "26.40";
    g.retailPrice = 12.5;
    g.unitPrice = 0.75;
    g.vat = "23";
    g.producerName = "A;B";
    g.producerCode = "P1";
    g.kind = std::move(kind);
    g.currency = "PLN";
    g.symbol = " C-1 ";
    return g;
}

TEST(PriceListRecords, GoodsLinePerVersion) {
    const GoodsRecord g = goods(" 1234567 ", "M");
    EXPECT_EQ(GoodsLine(g, Version::V10), fromUtf8("Cegła pełna;1234567;szt;12.5;0.75;A B;P1;M"));
    EXPECT_EQ(GoodsLine(g, Version::V20), fromUtf8("Cegła pełna;1234567;szt;26.40;0.75;23;P1;M;PLN"));
    EXPECT_EQ(GoodsLine(g, Version::V21), fromUtf8("Cegła pełna;1234567;szt;26.40;0.75;23;P1;M;PLN;C-1"));
    // No price gives an empty field; large and tiny values.
    GoodsRecord h = goods("12345", "S");
    h.unitPrice.reset();
    h.retailPrice = 100;
    EXPECT_EQ(GoodsLine(h, Version::V10), fromUtf8("Cegła pełna;12345;szt;100;;A B;P1;S"));
    EXPECT_EQ(PriceText(1234567.125), "1234567.125");
    EXPECT_EQ(PriceText(0.00001), "1E-5");
    EXPECT_EQ(PriceText(std::nullopt), "");
}

TEST(PriceListRecords, GoodsLineIntoReusesTheBufferAndEmptiesItForARejectedRow) {
    std::string line(500, 'x');
    ASSERT_TRUE(GoodsLineInto(goods(" 1234567 ", "M"), Version::V21, line));
    EXPECT_EQ(line, fromUtf8("Cegła pełna;1234567;szt;26.40;0.75;23;P1;M;PLN;C-1"));
    EXPECT_FALSE(GoodsLineInto(goods("12345", "M"), Version::V21, line));
    EXPECT_TRUE(line.empty());
}

TEST(PriceListRecords, PricesInLinesAreWrittenAsPriceTextWritesThem) {
    // Plain decimals, the 15-digit rounding, exponents both ways, no "-0",
    // values that are not numbers.
    for (double v : {0.0, -0.0, 0.75, -2.5, 100.0, 1234567.125, 0.1 + 0.2, 123456789012345.6, 999999999999999.0,
                     1e15, 1e16, 1.5e300, 0.0001, 0.00001, -0.000012345, std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN()}) {
        GoodsRecord g = goods("1234567", "M");
        g.unitPrice = v;
        const std::optional<std::string> line = GoodsLine(g, Version::V21);
        ASSERT_TRUE(line) << v;
        const std::vector<std::string_view> fields = [&] {
            std::vector<std::string_view> f;
            std::string_view rest = *line;
            for (std::size_t at; (at = rest.find(';')) != std::string_view::npos; rest.remove_prefix(at + 1))
                f.push_back(rest.substr(0, at));
            f.push_back(rest);
            return f;
        }();
        ASSERT_GT(fields.size(), 4u);
        EXPECT_EQ(fields[4], PriceText(v)) << v;
    }
    EXPECT_EQ(PriceText(-0.0), "0");
    EXPECT_EQ(PriceText(0.1 + 0.2), "0.3");
}

TEST(PriceListRecords, RowsRejectedByEtoRules) {
    EXPECT_FALSE(GoodsLine(goods("12345", "M"), Version::V21));  // M needs 7 characters
    EXPECT_TRUE(GoodsLine(goods("12345", "S"), Version::V21));
    EXPECT_FALSE(GoodsLine(goods("1234", "S"), Version::V21));  // S needs 5
    EXPECT_TRUE(GoodsLine(goods("1234", "R"), Version::V21));   // other kinds: no length rule
    EXPECT_TRUE(GoodsLine(goods("12345", "m"), Version::V21));  // the rule is for exactly "M"
    for (const char* bad : {"0", "0000000", "", "   ", "ABCDEFG", "12345x7", "1234.67", "99999999999"}) {
        EXPECT_FALSE(GoodsLine(goods(bad, "M"), Version::V10)) << bad;
        EXPECT_FALSE(GoodsLine(goods(bad, "S"), Version::V20)) << bad;
    }
}

TEST(PriceListFile, Version10ByteExact) {
    SupplierRecord s;
    s.code = "P1";
    s.name = "A;B";
    s.www = fromUtf8("Łódź");
    PriceListHead head{Version::V10, "M", false, "010120000000"};
    const std::string goodsLine = EncodeLine(fromUtf8("Cegła;1234567;szt;12.5;0.75;A B;P1;M"), head.key);
    EXPECT_EQ(goodsLine, "N;1P;B A;78.1;5.21;tzu<7754321;alBAgfC ");

    std::ostringstream out;
    std::string error;
    ASSERT_TRUE(WritePriceList(out, head, {SupplierLine(s)}, {goodsLine}, error)) << error;
    const std::string expected = fromUtf8("KMX - wersja 1.0 - Materialy" + kHeaderTail) + "\r\n" +
                                 "-4-4/3-3-3-3" + "x@BeoA@L@@;;;;=<;<B A;;1P#ryml# \r\n" +
                                 "N;1P;B A;78.1;5.21;tzu<7754321;alBAgfC \r\n";
    EXPECT_EQ(out.str(), expected);

    // The same from a stream of encoded lines (the temporary file).
    std::istringstream tmp(goodsLine + "\r\n");
    std::ostringstream out2;
    ASSERT_TRUE(WritePriceList(out2, head, {SupplierLine(s)}, tmp, error)) << error;
    EXPECT_EQ(out2.str(), expected);

    DecodedPriceList back;
    ASSERT_TRUE(DecodePriceList(expected, back, error)) << error;
    EXPECT_EQ(back.version, Version::V10);
    EXPECT_EQ(back.key, "010120000000");
    ASSERT_EQ(back.records.size(), 2u);
    EXPECT_EQ(back.records[0], fromUtf8("#kmxp#P1;;A B;;;;;;;;Łódź"));
    EXPECT_EQ(back.records[1], fromUtf8("Cegła;1234567;szt;12.5;0.75;A B;P1;M"));
}

TEST(PriceListFile, EmptyVersion10EndsWithTheKey) {
    std::ostringstream out;
    std::string error;
    ASSERT_TRUE(WritePriceList(out, {Version::V10, "S", false, "070420050000"}, {}, std::vector<std::string>{}, error));
    EXPECT_EQ(out.str(), fromUtf8("KMX - wersja 1.0 - Sprzet" + kHeaderTail) + "\r\n-:-7/3-8-3-3");
    DecodedPriceList back;
    ASSERT_TRUE(DecodePriceList(out.str(), back, error)) << error;
    EXPECT_TRUE(back.records.empty());
}

TEST(PriceListFile, Version2xHasTheNoticeLine) {
    std::ostringstream out;
    std::string error;
    ASSERT_TRUE(WritePriceList(out, {Version::V21, "M", false, "070420050000"}, {}, {"x@EdoBDLG@ "}, error));
    EXPECT_EQ(out.str(), fromUtf8("KMX - wersja 2.1 - Materialy ceny dostawcow" + kHeaderTail) + "\r\n" +
                             NoticeLine() + "\r\n+<+9-5+:+5+5x@EdoBDLG@ \r\n");
    DecodedPriceList back;
    ASSERT_TRUE(DecodePriceList(out.str(), back, error)) << error;
    EXPECT_EQ(back.version, Version::V21);
    ASSERT_EQ(back.headers.size(), 2u);
    ASSERT_EQ(back.records.size(), 1u);
    EXPECT_EQ(back.records[0], fromUtf8("Łódź"));
    // A damaged record names its line.
    EXPECT_FALSE(DecodePriceList(out.str() + "\x01\x01 \r\n", back, error));
    EXPECT_EQ(error.substr(0, 7), "line 4:");
    EXPECT_FALSE(DecodePriceList("not a price list", back, error));
}

TEST(PriceListFile, FailingStreamReportsFailure) {
    LimitedBuf buf(100);
    std::ostream out(&buf);
    std::string error;
    std::vector<std::string> lines(50, "x@EdoBDLG@ ");
    EXPECT_FALSE(WritePriceList(out, {Version::V20, "M", false, "070420050000"}, {}, lines, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(buf.data.size(), 100u);

    LimitedBuf small(30);
    std::ostream out2(&small);
    error.clear();
    EXPECT_FALSE(WriteDescriptor(out2, false, "M", "2005", "4", error));
    EXPECT_FALSE(error.empty());

    LimitedBuf units(60);
    std::ostream out3(&units);
    error.clear();
    EXPECT_FALSE(WriteUnitPrices(out3, std::vector<UnitPriceRow>(5, UnitPriceRow{"a", "b", "c", "d", 1.0}), error));
    EXPECT_FALSE(error.empty());
}

TEST(PriceListDescriptor, SixLines) {
    std::ostringstream out;
    std::string error;
    ASSERT_TRUE(WriteDescriptor(out, false, "M", "2005", "4", error)) << error;
    EXPECT_EQ(out.str(),
              "KodCennika  = KMX_d_M\r\n"
              "NazwaCennika  = Ceny materia\xB3\xF3w producent\xF3w i dostawc\xF3w\r\n"
              "CenySrednie = 0\r\n"
              "CenyDostawcow  = 1\r\n"
              "PoziomCenInterwal = KWARTAL\r\n"
              "PoziomCenData = 2005.10.01\r\n");
    std::ostringstream avg;
    ASSERT_TRUE(WriteDescriptor(avg, true, "S", "2006", "2", error)) << error;
    EXPECT_EQ(avg.str(),
              "KodCennika  = KMX_sr_S\r\n"
              "NazwaCennika  = Ceny \x9Crednie pracy sprz\xEAtu (Kalmarex)\r\n"
              "CenySrednie = 1\r\n"
              "CenyDostawcow  = 0\r\n"
              "PoziomCenInterwal = KWARTAL\r\n"
              "PoziomCenData = 2006.04.01\r\n");
    std::ostringstream mixed, avgMixed;
    ASSERT_TRUE(WriteDescriptor(mixed, false, "MS", "2005", "1", error));
    EXPECT_NE(mixed.str().find("KMX_d_MS\r\nNazwaCennika  = Ceny dostawc\xF3w\r\n"), std::string::npos);
    EXPECT_NE(mixed.str().find("= 2005.01.01\r\n"), std::string::npos);
    ASSERT_TRUE(WriteDescriptor(avgMixed, true, "MS", "2005", "3", error));
    EXPECT_NE(avgMixed.str().find("NazwaCennika  = \r\n"), std::string::npos);
    EXPECT_NE(avgMixed.str().find("= 2005.07.01\r\n"), std::string::npos);
}

TEST(PriceListDescriptor, EditionNotANumberFails) {
    for (auto [year, quarter] : {std::pair{"2005", "IV"}, std::pair{"", "1"}, std::pair{"2005", "5"},
                                 std::pair{"2005", "0"}}) {
        std::ostringstream out;
        std::string error;
        EXPECT_FALSE(WriteDescriptor(out, false, "M", year, quarter, error)) << year << "/" << quarter;
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(out.str().empty());
    }
}

std::string opensslDecryptLine(const std::string& b64) {
    return kmx::testref::opensslDecryptUnitPriceLine(b64);
}

TEST(UnitPriceFile, PlainLines) {
    EXPECT_EQ(UnitPriceHeading(), "Lp.;Podstawa;Wariant;Opis;J.ob.;Cj");
    const UnitPriceRow r{" KNR 2-01 ", "0101;01", fromUtf8(" Roboty \"ziemne\"; ręczne "), " m3", 12.5};
    EXPECT_EQ(UnitPriceLine(1, r), fromUtf8("1;KNR 2-01;0101 01;\"Roboty \"\"ziemne\"\"; ręczne\";m3;12,50"));
    const UnitPriceRow none{"", "", "", "", std::nullopt};
    EXPECT_EQ(UnitPriceLine(10, none), "10;;;\"\";;0,00");
    EXPECT_EQ(UnitPriceLine(3, UnitPriceRow{"a", "b", "c", "d", 0.125}), "3;a;b;\"c\";d;0,13");
}

TEST(UnitPriceFile, LinesDecryptWithOpenSsl) {
    const std::vector<UnitPriceRow> rows{{"KNR 2-01", "0101-01", fromUtf8("Wykop ręczny"), "m3", 45.5},
                                         {"KNR 2-01", "0101-01", fromUtf8("Wykop ręczny"), "m3", 45.5}};
    std::ostringstream out;
    std::string error;
    ASSERT_TRUE(WriteUnitPrices(out, rows, error)) << error;
    std::vector<std::string> lines;
    std::string text = out.str();
    for (std::size_t p = 0; p < text.size();) {
        const std::size_t e = text.find("\r\n", p);
        ASSERT_NE(e, std::string::npos);
        lines.push_back(text.substr(p, e - p));
        p = e + 2;
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(opensslDecryptLine(lines[0]), "Lp.;Podstawa;Wariant;Opis;J.ob.;Cj");
    EXPECT_EQ(opensslDecryptLine(lines[1]), fromUtf8("1;KNR 2-01;0101-01;\"Wykop ręczny\";m3;45,50"));
    EXPECT_EQ(opensslDecryptLine(lines[2]), fromUtf8("2;KNR 2-01;0101-01;\"Wykop ręczny\";m3;45,50"));
    // Equal plain lines give equal text: every line starts from the same key and vector.
    EXPECT_EQ(EncryptUnitPriceLine("abc"), EncryptUnitPriceLine("abc"));
    EXPECT_EQ(EncryptUnitPriceLine(std::string(16, 'q')).size(), 44u);
}

}  // namespace
