#pragma once
// The last error text (at most 255 characters) with a code, through which the
// data layer and the search screens hand a failure's text to the screen that
// shows it. Set by one operation, read by another; nothing clears it.

#include <string>
#include <string_view>

namespace kmx {

struct LastError {
    std::string text;  // UTF-8
    int code = 0;      // 0 start-up failures, -1 failed searches
};

// Stores the text cut to 255 characters (whole UTF-8 characters) and the code.
void UstawOstatniBlad(std::string_view textUtf8, int code);
const LastError& OstatniBlad();

}  // namespace kmx
