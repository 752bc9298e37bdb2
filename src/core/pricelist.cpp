#include "core/pricelist.h"

#include <array>
#include <charconv>
#include <chrono>
#include <ctime>
#include <istream>
#include <ostream>

#include "core/cp1250.h"
#include "core/numfmt.h"
#include "core/publisher.h"
#include "core/rijndael.h"
#include "core/safe_file.h"

namespace kmx::pricelist {

namespace {

// The key shifts, chosen once: a reader of our files must use the same two.
constexpr int kShiftV10 = 3;
constexpr int kShiftV2x = 5;

// The publisher's and seller's details written into every header and notice.
constexpr std::string_view kPublisherWww = publisher::kWwwProduktu;
constexpr std::string_view kPublisherNotice = publisher::kNotaPrawna;
constexpr std::string_view kSellerPhone = publisher::kTelefonSprzedawcy;
constexpr std::string_view kSellerEmail = publisher::kEmailSprzedawcy;

// The unit-price file's cipher settings.
constexpr std::string_view kUnitPricePhrase = "!KASZTANOWIEC!";
constexpr std::string_view kUnitPriceIv = "8302657194416028";

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kSupplierPrefix = "#kmxp#";

// The Polish letters and the Latin letters of their escapes, position for position.
struct EscapeTable {
    std::array<char, 256> latin{};   // 0 for bytes that are not escaped
    std::array<char, 256> polish{};  // by Latin letter, 0 where none
};
const EscapeTable& escapes() {
    static const EscapeTable table = [] {
        EscapeTable t;
        const std::string letters = cp1250::fromUtf8("ąężźłóćńśĄĘŻŹŁÓĆŃŚ");
        const std::string_view latin = "aezxlocnsAEZXLOCNS";
        for (std::size_t i = 0; i < letters.size(); ++i) {
            t.latin[static_cast<unsigned char>(letters[i])] = latin[i];
            t.polish[static_cast<unsigned char>(latin[i])] = letters[i];
        }
        return t;
    }();
    return table;
}

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

std::string_view trimmedView(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string trimmed(std::string_view s) {
    return std::string(trimmedView(s));
}

// A field as the file holds it: trimmed where the format says, ";" made a blank.
std::string field(std::string_view s, bool trim = true) {
    std::string out = trim ? trimmed(s) : std::string(s);
    for (char& c : out)
        if (c == ';') c = ' ';
    return out;
}

// A whole number in the 32-bit range: optional sign and digits.
bool wholeNumber(std::string_view s, long long& value) {
    if (s.empty()) return false;
    std::size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
    if (i == s.size()) return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
        if (v > 2147483648LL) return false;
    }
    if (s[0] == '-') v = -v;
    if (v > 2147483647LL) return false;
    value = v;
    return true;
}

std::string digits(long long v, int width) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, r.ptr);
    while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
    return s;
}

bool finish(std::ostream& out, std::string& error) {
    out.flush();
    if (!out) {
        error = "zapis do pliku nie powiódł się";
        return false;
    }
    return true;
}

void join(std::string& line, const std::string& f) {
    line += ';';
    line += f;
}

// Appends the field as field() makes it, without a string of its own.
void appendField(std::string& line, std::string_view s, bool trim = true) {
    if (trim) s = trimmedView(s);
    const std::size_t from = line.size();
    line.append(s);
    for (std::size_t i = from; i < line.size(); ++i)
        if (line[i] == ';') line[i] = ' ';
}

// The same after a ";".
void joinField(std::string& line, std::string_view s, bool trim = true) {
    line += ';';
    appendField(line, s, trim);
}

}  // namespace

std::string_view versionText(Version v) {
    switch (v) {
        case Version::V10:
            return "1.0";
        case Version::V20:
            return "2.0";
        case Version::V21:
            break;
    }
    return "2.1";
}

bool parseVersion(std::string_view text, Version& out) {
    for (Version v : {Version::V10, Version::V20, Version::V21}) {
        if (text == versionText(v)) {
            out = v;
            return true;
        }
    }
    return false;
}

int keyShift(Version v) {
    return v == Version::V10 ? kShiftV10 : kShiftV2x;
}

std::string MakeLineKey(int year, int month, int day) {
    return digits(day, 2) + digits(month, 2) + digits(year, 4) + "0000";
}

std::string MakeLineKey() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    localtime_r(&now, &tm);
    return MakeLineKey(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

namespace {
std::string shiftKey(std::string_view key, int shift) {
    std::string out(key);
    for (std::size_t i = 0; i < out.size(); ++i) {
        // Position i + 1 counted from 1: odd ones go down, even ones up.
        const int d = (i % 2 == 0) ? -shift : shift;
        out[i] = static_cast<char>(static_cast<unsigned char>(out[i]) + d);
    }
    return out;
}
}  // namespace

std::string DisguiseKey(std::string_view key, Version v) {
    return shiftKey(key, keyShift(v));
}
std::string RecoverKey(std::string_view disguised, Version v) {
    return shiftKey(disguised, -keyShift(v));
}

std::string EncodeLine(std::string_view line, std::string_view key) {
    std::string out;
    AppendEncodedLine(out, line, key);
    return out;
}

void AppendEncodedLine(std::string& out, std::string_view line, std::string_view key) {
    const EscapeTable& t = escapes();
    // Polish letters become "@@" and their Latin letter: the encoded length first.
    std::size_t n = line.size();
    for (const char c : line)
        if (t.latin[static_cast<unsigned char>(c)] != 0) n += 2;
    const std::size_t base = out.size();
    out.resize(base + n + 1);
    // Each escaped byte shifted by the key's digit at its place, written
    // from the back, so the line comes out reversed; then a closing space.
    char* p = out.data() + base + n;
    *p = ' ';
    std::size_t k = 0;
    const auto put = [&](unsigned char b) {
        int d = 0;
        if (!key.empty()) {
            d = static_cast<unsigned char>(key[k]) - '0';
            if (++k == key.size()) k = 0;
        }
        *--p = static_cast<char>(b + d);
    };
    for (const char c : line) {
        const char latin = t.latin[static_cast<unsigned char>(c)];
        if (latin != 0) {
            put('@');
            put('@');
            put(static_cast<unsigned char>(latin));
        } else {
            const auto u = static_cast<unsigned char>(c);
            put((u < 32 || u > 126) ? ' ' : u);
        }
    }
}

bool DecodeLine(std::string_view encoded, std::string_view key, std::string& line, std::string& error) {
    if (encoded.empty() || encoded.back() != ' ') {
        error = "brak końcowej spacji";
        return false;
    }
    if (key.size() != 12) {
        error = "klucz nie ma 12 znaków";
        return false;
    }
    for (char k : key) {
        if (k < '0' || k > '9') {
            error = "klucz nie jest liczbą";
            return false;
        }
    }
    encoded.remove_suffix(1);
    std::string s(encoded.rbegin(), encoded.rend());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const int v = static_cast<unsigned char>(s[i]) - (key[i % 12] - '0');
        if (v < 32 || v > 126) {
            error = "znak spoza zakresu na pozycji " + digits(static_cast<long long>(i) + 1, 1);
            return false;
        }
        s[i] = static_cast<char>(v);
    }
    const EscapeTable& t = escapes();
    line.clear();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '@' && i + 2 < s.size() && s[i + 1] == '@' &&
            t.polish[static_cast<unsigned char>(s[i + 2])] != 0) {
            line += t.polish[static_cast<unsigned char>(s[i + 2])];
            i += 2;
        } else {
            line += s[i];
        }
    }
    return true;
}

std::string_view KindName(std::string_view kind) {
    if (kind == "S") return "Sprzet";
    if (kind == "M") return "Materialy";
    if (kind == "R") return "Robocizna";
    return "Materialy i Sprzet";
}

std::string HeaderLine(Version v, std::string_view kind, bool averagePrices) {
    std::string h = "KMX - wersja ";
    h += versionText(v);
    h += " - ";
    h += KindName(kind);
    if (v == Version::V10) {
        if (averagePrices) h += " ceny srednie";
    } else {
        h += " ceny ";
        h += averagePrices ? "srednie" : "dostawcow";
    }
    h += " - format danych elementów budowlanych z ";
    h += kPublisherWww;
    h += " dla programów kosztorysowych TESSAR i KORVO. Tylko one w pełni wykorzystują Kalmarex. ";
    h += kPublisherNotice;
    h += " ";
    return cp1250::fromUtf8(h);
}

std::string NoticeLine() {
    std::string n =
        "Do zaimportowania pliku potrzebna jest Tessar w wersji conajmniej 3.15 lub Korvo 4.3. "
        "Sprawdz wersję programu: (menu Pomoc -> O programie). Aby zaktualizowac swoj program skontaktuj "
        "sie ze sprzedawca ";
    n += kSellerPhone;
    n += ". ";
    n += kSellerEmail;
    n += ".";
    return cp1250::fromUtf8(n);
}

std::string SupplierLine(const SupplierRecord& r) {
    std::string line(kSupplierPrefix);
    line += field(r.code);
    for (const std::string* f : {&r.nip, &r.name, &r.postalCode, &r.street, &r.town, &r.province, &r.phone,
                                 &r.fax, &r.email, &r.www})
        join(line, field(*f));
    return line;
}

std::string PriceText(std::optional<double> v) {
    return v ? formatGeneral(*v, 15, '.') : std::string();
}

std::optional<std::string> GoodsLine(const GoodsRecord& r, Version v) {
    std::string line;
    if (!GoodsLineInto(r, v, line)) return std::nullopt;
    return line;
}

namespace {
// Appends ";" and the price as PriceText writes it.
void joinPrice(std::string& line, std::optional<double> v) {
    line += ';';
    if (v) appendGeneral(line, *v, 15, '.');
}
}  // namespace

bool GoodsLineInto(const GoodsRecord& r, Version v, std::string& line) {
    line.clear();
    // An index that is a whole number holds neither blanks nor ";".
    const std::string_view eto = trimmedView(r.eto);
    long long number = 0;
    if (!wholeNumber(eto, number) || number == 0) return false;
    if (r.kind == "M" && eto.size() < 7) return false;
    if (r.kind == "S" && eto.size() < 5) return false;

    appendField(line, r.name);
    line += ';';
    line.append(eto);
    joinField(line, r.unit);
    if (v == Version::V10) {
        joinPrice(line, r.retailPrice);
        joinPrice(line, r.unitPrice);
        joinField(line, r.producerName);
        joinField(line, r.producerCode);
        joinField(line, r.kind, false);
        return true;
    }
    joinField(line, r.pkwiu);
    joinPrice(line, r.unitPrice);
    joinField(line, r.vat);
    joinField(line, r.producerCode);
    joinField(line, r.kind, false);
    joinField(line, r.currency, false);
    if (v == Version::V21) joinField(line, r.symbol);
    return true;
}

namespace {
void writeHead(std::ostream& out, const PriceListHead& head, const std::vector<std::string>& supplierLines) {
    out << HeaderLine(head.version, head.kind, head.averagePrices) << kCrLf;
    if (head.version != Version::V10) out << NoticeLine() << kCrLf;
    out << DisguiseKey(head.key, head.version);
    for (const std::string& s : supplierLines) out << EncodeLine(s, head.key) << kCrLf;
}
}  // namespace

bool WritePriceList(std::ostream& out, const PriceListHead& head,
                    const std::vector<std::string>& supplierLines,
                    const std::vector<std::string>& encodedGoods, std::string& error) {
    writeHead(out, head, supplierLines);
    for (const std::string& g : encodedGoods) {
        if (!out) break;
        out << g << kCrLf;
    }
    return finish(out, error);
}

bool WritePriceList(std::ostream& out, const PriceListHead& head,
                    const std::vector<std::string>& supplierLines, std::istream& encodedGoods,
                    std::string& error) {
    writeHead(out, head, supplierLines);
    char buf[65536];
    while (out && encodedGoods) {
        encodedGoods.read(buf, sizeof buf);
        out.write(buf, encodedGoods.gcount());
    }
    if (encodedGoods.bad()) {
        error = "odczyt pliku tymczasowego nie powiódł się";
        return false;
    }
    return finish(out, error);
}

bool WritePriceListFile(const std::string& path, const PriceListHead& head,
                        const std::vector<std::string>& supplierLines, std::istream& encodedGoods,
                        std::string& error) {
    safefile::OutFile f(path);
    if (!f.open(error)) return false;
    if (!WritePriceList(f, head, supplierLines, encodedGoods, error)) {
        // The stream's own failure names the file and the reason.
        if (f.bad()) f.commit(error);
        f.discard();
        return false;
    }
    return f.commit(error);
}

bool DecodePriceList(std::string_view body, DecodedPriceList& out, std::string& error) {
    out = DecodedPriceList{};
    // Split at CR LF; the last piece may have no line end.
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos <= body.size()) {
        const std::size_t e = body.find(kCrLf, pos);
        if (e == std::string_view::npos) {
            if (pos < body.size()) lines.push_back(body.substr(pos));
            break;
        }
        lines.push_back(body.substr(pos, e - pos));
        pos = e + 2;
    }
    if (lines.empty() || lines[0].substr(0, 13) != "KMX - wersja ") {
        error = "line 1: not a price-list header";
        return false;
    }
    if (!parseVersion(lines[0].substr(13, 3), out.version)) {
        error = "line 1: unknown version";
        return false;
    }
    const std::size_t headerCount = out.version == Version::V10 ? 1 : 2;
    if (lines.size() <= headerCount || lines[headerCount].size() < 12) {
        error = "line " + digits(static_cast<long long>(headerCount) + 1, 1) + ": no key";
        return false;
    }
    for (std::size_t i = 0; i < headerCount; ++i) out.headers.emplace_back(lines[i]);
    out.key = RecoverKey(lines[headerCount].substr(0, 12), out.version);
    lines[headerCount].remove_prefix(12);
    for (std::size_t i = headerCount; i < lines.size(); ++i) {
        if (i == headerCount && lines[i].empty()) continue;  // a file with no records
        std::string rec, why;
        if (!DecodeLine(lines[i], out.key, rec, why)) {
            error = "line " + digits(static_cast<long long>(i) + 1, 1) + ": " + why;
            return false;
        }
        out.records.push_back(std::move(rec));
    }
    return true;
}

bool WriteDescriptor(std::ostream& out, bool averagePrices, std::string_view kind, std::string_view year,
                     std::string_view quarter, std::string& error) {
    long long y = 0, q = 0;
    if (!wholeNumber(trimmed(year), y) || !wholeNumber(trimmed(quarter), q)) {
        error = "rok lub numer kwartału wydania nie jest liczbą";
        return false;
    }
    if (q < 1 || q > 4) {
        error = "numer kwartału wydania spoza zakresu 1-4";
        return false;
    }
    std::string name;
    if (averagePrices) {
        if (kind == "R")
            name = "Kosztorysowe stawki robocizny (Kalmarex)";
        else if (kind == "M")
            name = "Ceny średnie materiałów (Kalmarex)";
        else if (kind == "S")
            name = "Ceny średnie pracy sprzętu (Kalmarex)";
    } else {
        if (kind == "M")
            name = "Ceny materiałów producentów i dostawców";
        else if (kind == "S")
            name = "Ceny najmu sprzętu wg dostawców";
        else
            name = "Ceny dostawców";
    }
    out << "KodCennika  = " << (averagePrices ? "KMX_sr_" : "KMX_d_") << kind << kCrLf;
    out << "NazwaCennika  = " << cp1250::fromUtf8(name) << kCrLf;
    out << "CenySrednie = " << (averagePrices ? "1" : "0") << kCrLf;
    out << "CenyDostawcow  = " << (averagePrices ? "0" : "1") << kCrLf;
    out << "PoziomCenInterwal = KWARTAL" << kCrLf;
    out << "PoziomCenData = " << digits(y, 1) << "." << digits(3 * q - 2, 2) << ".01" << kCrLf;
    return finish(out, error);
}

bool WriteDescriptorFile(const std::string& path, bool averagePrices, std::string_view kind,
                         std::string_view year, std::string_view quarter, std::string& error) {
    safefile::OutFile f(path);
    if (!f.open(error)) return false;
    if (!WriteDescriptor(f, averagePrices, kind, year, quarter, error)) {
        if (f.bad()) f.commit(error);
        f.discard();
        return false;
    }
    return f.commit(error);
}

std::string UnitPriceHeading() {
    return "Lp.;Podstawa;Wariant;Opis;J.ob.;Cj";
}

std::string UnitPriceLine(int number, const UnitPriceRow& r) {
    std::string line = digits(number, 1);
    join(line, field(r.basis));
    join(line, field(r.variant));
    std::string quoted = "\"";
    for (char c : trimmed(r.name)) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    join(line, quoted);
    join(line, field(r.unit));
    join(line, formatFixed(r.price.value_or(0.0), 2, ','));
    return line;
}

std::string EncryptUnitPriceLine(std::string_view plain) {
    TRijndael r;
    r.SetIV(kUnitPriceIv);
    r.CipherMode = TCipherMode::CBC;
    r.SetKey(kUnitPricePhrase);
    r.StringMode = TStringMode::smMime;
    std::string out = r.EncryptString(plain);
    r.Burn();
    return out;
}

bool WriteUnitPriceLine(std::ostream& out, std::string_view plain, std::string& error) {
    try {
        out << EncryptUnitPriceLine(plain) << kCrLf;
    } catch (const EKeyError& e) {
        error = e.what();
        return false;
    }
    if (!out) {
        error = "zapis do pliku nie powiódł się";
        return false;
    }
    return true;
}

bool WriteUnitPrices(std::ostream& out, const std::vector<UnitPriceRow>& rows, std::string& error) {
    if (!WriteUnitPriceLine(out, UnitPriceHeading(), error)) return false;
    int n = 1;
    for (const UnitPriceRow& r : rows)
        if (!WriteUnitPriceLine(out, UnitPriceLine(n++, r), error)) return false;
    return finish(out, error);
}

}  // namespace kmx::pricelist
