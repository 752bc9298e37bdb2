#include "core/last_error.h"

namespace kmx {

namespace {
LastError g_lastError;
}

void UstawOstatniBlad(std::string_view textUtf8, int code) {
    // Count characters, not bytes: a UTF-8 continuation byte never starts one.
    std::size_t chars = 0, end = 0;
    for (; end < textUtf8.size(); ++end) {
        const auto c = static_cast<unsigned char>(textUtf8[end]);
        if ((c & 0xC0) != 0x80) {
            if (chars == 255) break;
            ++chars;
        }
    }
    g_lastError.text.assign(textUtf8.substr(0, end));
    g_lastError.code = code;
}

const LastError& OstatniBlad() { return g_lastError; }

}  // namespace kmx
