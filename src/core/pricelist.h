#pragma once
// Price-list files for cost-estimating programs: the ".kmx" price list in
// versions 1.0, 2.0 and 2.1 (scrambled text; 2.x packed by kmx_zip.h), the
// descriptor "tmp_all.plo" and the encrypted unit-price file of works.
//
// All text here is Windows-1250 bytes and every line ends with CR LF. The
// record builders take values already descrambled (and, for names, with the
// letter case applied); they clean each field and join the fields with ";".
// Writers take a std::ostream and report a failed stream as a failure with
// an error text; the file overloads write through core/safe_file.h (a new
// file beside the target, renamed over it only when whole).

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kmx::pricelist {

enum class Version { V10, V20, V21 };

// "1.0", "2.0", "2.1"; parseVersion accepts the same texts.
std::string_view versionText(Version v);
bool parseVersion(std::string_view text, Version& out);

// The key shift that disguises the line key: one for 1.0, one for 2.0 and 2.1.
int keyShift(Version v);

// The 12-digit line key of one export run: day, month, four-digit year of
// today's local date and "0000" (the time of day is not part of it).
std::string MakeLineKey();
std::string MakeLineKey(int year, int month, int day);

// The key as stored in the file and back: odd positions (from 1) lowered by
// the shift, even ones raised.
std::string DisguiseKey(std::string_view key, Version v);
std::string RecoverKey(std::string_view disguised, Version v);

// One record line encoded for the file, without its line end: Polish letters
// escaped as "@@" + letter, other bytes outside 32..126 made blanks, the key
// digits added position by position, the line reversed, one blank appended.
std::string EncodeLine(std::string_view line, std::string_view key);
// The encoded line appended to `out`: for writers of many lines.
void AppendEncodedLine(std::string& out, std::string_view line, std::string_view key);
// The inverse. False (with the reason) when the text cannot be an encoded
// line of this key.
bool DecodeLine(std::string_view encoded, std::string_view key, std::string& line, std::string& error);

// Header name of a kind string: "Sprzet", "Materialy", "Robocizna" or
// "Materialy i Sprzet".
std::string_view KindName(std::string_view kind);
// First header line (Windows-1250, no line end) and the notice line of 2.x.
std::string HeaderLine(Version v, std::string_view kind, bool averagePrices);
std::string NoticeLine();

// --- record lines (before encoding)

// A supplier's values, descrambled. Every field is trimmed and ";" made a blank.
struct SupplierRecord {
    std::string code, nip, name, postalCode, street, town, province, phone, fax, email, www;
};
std::string SupplierLine(const SupplierRecord& r);

// A goods row's values, descrambled; the producer's name and code are the
// supplier's when the row comes from a supplier's goods list.
struct GoodsRecord {
    std::string name, eto, unit, pkwiu;
    std::optional<double> retailPrice, unitPrice;
    std::string vat, producerName, producerCode, kind, currency, symbol;
};
// The goods line of a version, or nothing for a row the price list leaves
// out: an ETO index that is not a whole number or is zero, a kind "M" with
// an index shorter than 7 characters, a kind "S" with one shorter than 5.
std::optional<std::string> GoodsLine(const GoodsRecord& r, Version v);
// The same into `line`, whose storage is reused; false for a row left out.
bool GoodsLineInto(const GoodsRecord& r, Version v, std::string& line);

// A price in the file's form: shortest general form, up to 15 significant
// digits, ".", empty for none.
std::string PriceText(std::optional<double> v);

// --- the price-list text body

struct PriceListHead {
    Version version = Version::V21;
    std::string kind;            // "M", "S", "MS", ...
    bool averagePrices = false;  // the average-prices edition
    std::string key;             // MakeLineKey()
};

// Header line(s), the disguised key with no line end, the supplier lines
// (plain, encoded here) each with CR LF, then the goods lines: already
// encoded, either as a list or as a stream of lines that end in CR LF (a
// temporary file of them), copied unchanged.
bool WritePriceList(std::ostream& out, const PriceListHead& head, const std::vector<std::string>& supplierLines,
                    const std::vector<std::string>& encodedGoods, std::string& error);
bool WritePriceList(std::ostream& out, const PriceListHead& head, const std::vector<std::string>& supplierLines,
                    std::istream& encodedGoods, std::string& error);
bool WritePriceListFile(const std::string& path, const PriceListHead& head,
                        const std::vector<std::string>& supplierLines, std::istream& encodedGoods,
                        std::string& error);

// A price-list text body read back: header lines, key, the decoded records.
struct DecodedPriceList {
    Version version = Version::V10;
    std::vector<std::string> headers;  // Windows-1250, no line ends
    std::string key;                   // recovered
    std::vector<std::string> records;  // decoded, Windows-1250
};
// False with "line N: ..." (N counted from 1 in the text) on the first line
// that does not decode.
bool DecodePriceList(std::string_view body, DecodedPriceList& out, std::string& error);

// --- descriptor "tmp_all.plo"

// Six lines. year and quarter are the edition's texts (Rok, Edycja); either
// not a whole number, or a quarter outside 1..4, fails.
bool WriteDescriptor(std::ostream& out, bool averagePrices, std::string_view kind, std::string_view year,
                     std::string_view quarter, std::string& error);
bool WriteDescriptorFile(const std::string& path, bool averagePrices, std::string_view kind,
                         std::string_view year, std::string_view quarter, std::string& error);

// --- unit-price file of works

struct UnitPriceRow {
    std::string basis, variant, name, unit;  // podstawa, wariant, nazwa, jedn_miary
    std::optional<double> price;              // cena
};
// "Lp.;Podstawa;Wariant;Opis;J.ob.;Cj"
std::string UnitPriceHeading();
// number;basis;variant;"name";unit;price with two decimals and ",".
std::string UnitPriceLine(int number, const UnitPriceRow& r);
// The line encrypted the way the file holds it (AES-128-CBC, PKCS #7, base64),
// key and vector set afresh, so equal lines give equal text.
std::string EncryptUnitPriceLine(std::string_view plain);
// Encrypts and writes one line with CR LF.
bool WriteUnitPriceLine(std::ostream& out, std::string_view plain, std::string& error);
// The heading and the rows numbered from 1.
bool WriteUnitPrices(std::ostream& out, const std::vector<UnitPriceRow>& rows, std::string& error);

}  // namespace kmx::pricelist
