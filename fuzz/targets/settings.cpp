// The settings file kmx.iif read at start-up: any bytes either read as a
// password of at most 64 bytes or fail with a message; the stream reader
// agrees with the byte reader; a password that can be written reads back
// the same from the file the writer makes (only a "~" may stop the writer).

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "core/settings_file.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = kmx::fuzz::asView(data, size);
    const kmx::UstawieniaResult r = kmx::CzytajUstawieniaZBajtow(bytes);
    KMX_FUZZ_CHECK(r.ok == r.error.empty());
    KMX_FUZZ_CHECK(r.ok || r.password.empty());
    KMX_FUZZ_CHECK(r.password.size() <= kmx::kUstawieniaMaxPassword);
    KMX_FUZZ_CHECK(!r.ok || size >= kmx::kUstawieniaFileSize);

    std::istringstream in{std::string(bytes)};
    const kmx::UstawieniaResult fromStream = kmx::CzytajUstawienia(in);
    KMX_FUZZ_CHECK(fromStream.ok == r.ok);
    KMX_FUZZ_CHECK(fromStream.password == r.password);
    KMX_FUZZ_CHECK(fromStream.error == r.error);

    if (r.ok) {
        std::ostringstream out;
        const kmx::ZapisUstawienResult w = kmx::ZapiszUstawienia(out, r.password);
        if (w.ok) {
            const std::string file = out.str();
            KMX_FUZZ_CHECK(file.size() == kmx::kUstawieniaFileSize);
            const kmx::UstawieniaResult back = kmx::CzytajUstawieniaZBajtow(file);
            KMX_FUZZ_CHECK(back.ok);
            KMX_FUZZ_CHECK(back.password == r.password);
        } else {
            // Only a "~" before a letter of the Polish-letter escapes is refused.
            KMX_FUZZ_CHECK(!w.error.empty());
            KMX_FUZZ_CHECK(r.password.find('~') != std::string::npos);
        }
    }
    return 0;
}
