// Price-list decoding as "kmx-tool decode" does it: a file that starts as a
// ZIP archive is unpacked first (one member, "kmx.kmx"), then the text body
// is decoded. Checked:
// - a decoded list re-encodes to the body it came from: every record line
//   encodes back to its line, the key disguises back to the key text, and
//   the header lines are the file's own;
// - a failure names the line, counted from 1;
// - an unpacked body packs again and unpacks to the same bytes.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/kmx_zip.h"
#include "core/pricelist.h"
#include "fuzz/fuzz_support.h"

namespace {

namespace pl = kmx::pricelist;

std::vector<std::string_view> crlfLines(std::string_view body) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < body.size()) {
        const std::size_t e = body.find("\r\n", pos);
        if (e == std::string_view::npos) {
            lines.push_back(body.substr(pos));
            break;
        }
        lines.push_back(body.substr(pos, e - pos));
        pos = e + 2;
    }
    return lines;
}

void checkDecode(std::string_view body) {
    pl::DecodedPriceList list;
    std::string error;
    if (!pl::DecodePriceList(body, list, error)) {
        KMX_FUZZ_CHECK(error.rfind("line ", 0) == 0);
        return;
    }
    KMX_FUZZ_CHECK(error.empty());
    const std::size_t headerCount = list.version == pl::Version::V10 ? 1 : 2;
    KMX_FUZZ_CHECK(list.headers.size() == headerCount);
    KMX_FUZZ_CHECK(list.key.size() == 12);

    const std::vector<std::string_view> lines = crlfLines(body);
    KMX_FUZZ_CHECK(lines.size() > headerCount);
    for (std::size_t i = 0; i < headerCount; ++i) KMX_FUZZ_CHECK(lines[i] == list.headers[i]);
    KMX_FUZZ_CHECK(pl::DisguiseKey(list.key, list.version) == lines[headerCount].substr(0, 12));

    // The record lines: what follows the key on its line, then every further line.
    std::vector<std::string_view> encoded;
    if (lines[headerCount].size() > 12) encoded.push_back(lines[headerCount].substr(12));
    for (std::size_t i = headerCount + 1; i < lines.size(); ++i) encoded.push_back(lines[i]);
    KMX_FUZZ_CHECK(encoded.size() == list.records.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        KMX_FUZZ_CHECK(pl::EncodeLine(list.records[i], list.key) == encoded[i]);
        std::string again, why;
        KMX_FUZZ_CHECK(pl::DecodeLine(encoded[i], list.key, again, why));
        KMX_FUZZ_CHECK(again == list.records[i]);
    }
}

void checkZip(std::string_view bytes) {
    const std::filesystem::path file = kmx::fuzz::scratchFile("cennik.kmx", bytes);
    KMX_FUZZ_CHECK(kmx::kmxzip::IsZip(file.string()));
    std::string body, member, error;
    if (!kmx::kmxzip::UnpackSingle(file.string(), body, member, error)) {
        KMX_FUZZ_CHECK(!error.empty());
        return;
    }
    if (member == kmx::kmxzip::kMemberName) checkDecode(body);

    // Bodies of real price lists are a few megabytes at most; level 9 on more
    // would only slow the run down.
    if (body.size() > (1u << 20)) return;
    const std::filesystem::path plain = kmx::fuzz::scratchFile("kmx.kmx", body);
    const std::filesystem::path packed = kmx::fuzz::scratchDir() / "repacked.kmx";
    KMX_FUZZ_CHECK(kmx::kmxzip::PackKmx(plain.string(), packed.string(), error));
    std::string back, backMember;
    KMX_FUZZ_CHECK(kmx::kmxzip::UnpackSingle(packed.string(), back, backMember, error));
    KMX_FUZZ_CHECK(back == body);
    KMX_FUZZ_CHECK(backMember == kmx::kmxzip::kMemberName);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = kmx::fuzz::asView(data, size);
    if (bytes.substr(0, 4) == std::string_view("PK\3\4", 4)) {
        checkZip(bytes);
    } else {
        checkDecode(bytes);
    }
    return 0;
}
