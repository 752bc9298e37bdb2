// The file version of a Windows executable: any bytes are read safely; the
// reader over a file agrees with the reader over memory; a version found
// prints as a text that parses back to it. The input is also tried as a
// version text, which must print back to a text that parses the same.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/pe_version.h"
#include "fuzz/fuzz_support.h"

namespace {

void checkText(const kmx::TFileVersion& v) {
    KMX_FUZZ_CHECK(v.major <= 0xFFFF && v.minor <= 0xFFFF && v.release <= 0xFFFF && v.build <= 0xFFFF);
    kmx::TFileVersion back{1, 2, 3, 4};
    KMX_FUZZ_CHECK(kmx::ParseFileVersion(v.text(), back));
    KMX_FUZZ_CHECK(back == v);
    KMX_FUZZ_CHECK(v.atLeast(v));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = kmx::fuzz::asView(data, size);
    const std::optional<kmx::TFileVersion> version = kmx::ReadFileVersion(bytes);
    if (version) checkText(*version);

    const auto file = kmx::fuzz::scratchFile("program.exe", bytes);
    KMX_FUZZ_CHECK(kmx::ReadFileVersionFile(file) == version);

    if (size <= 64) {
        const kmx::TFileVersion untouched{7, 7, 7, 7};
        kmx::TFileVersion parsed = untouched;
        if (kmx::ParseFileVersion(bytes, parsed)) {
            checkText(parsed);
            // Four numbers and three dots, nothing else.
            KMX_FUZZ_CHECK(bytes.find_first_not_of("0123456789.") == std::string_view::npos);
        } else {
            KMX_FUZZ_CHECK(parsed == untouched);
        }
    }
    return 0;
}
