#include "core/criteria.h"

#include <algorithm>
#include <cstring>

namespace kmx::detail {

void copyFixed(char* dest, std::size_t capacity, std::string_view text) {
    const std::size_t n = std::min(capacity, text.size());
    std::memcpy(dest, text.data(), n);
    std::memset(dest + n, 0, capacity + 1 - n);
}

std::string_view viewFixed(const char* data, std::size_t capacity) {
    // The terminating zero is always there; a zero byte copied in with the
    // text ends it early, as in any zero-terminated field.
    const void* zero = std::memchr(data, 0, capacity + 1);
    const std::size_t n = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - data) : capacity;
    return {data, n};
}

}  // namespace kmx::detail
