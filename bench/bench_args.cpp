#include "bench_args.h"

#include <algorithm>
#include <charconv>
#include <iostream>

namespace kmx::bench {

bool ArgCursor::next() {
    if (++i_ >= argc_) return false;
    name_ = argv_[i_];
    inline_.reset();
    if (const auto eq = name_.find('='); name_.rfind("--", 0) == 0 && eq != std::string::npos) {
        inline_ = name_.substr(eq + 1);
        name_.resize(eq);
    }
    return true;
}

bool ArgCursor::value(std::string& out) {
    if (inline_) {
        out = *inline_;
        return true;
    }
    if (i_ + 1 >= argc_) return false;
    out = argv_[++i_];
    return true;
}

Common readCommonOption(ArgCursor& args, CommonOptions& o, const char* tool, const char* usage) {
    const std::string& arg = args.name();
    std::string v;
    if (arg == "--help" || arg == "-h") {
        std::cout << usage;
        return Common::Help;
    }
    if (arg == "--markdown" && !args.hasInlineValue()) {
        o.markdown = true;
        return Common::Taken;
    }
    if (arg == "--catalogue" && args.value(v) && !v.empty()) {
        o.catalogue = v;
        o.ownCatalogue = false;
        return Common::Taken;
    }
    if (arg == "--repeat") {
        if (args.value(v) && wholeNumber(v, 1, 1000, o.repeat)) return Common::Taken;
        std::cerr << tool << ": --repeat needs a whole number from 1 to 1000\n";
        return Common::Bad;
    }
    return Common::NotMine;
}

bool wholeNumber(const std::string& text, int lo, int hi, int& out) {
    int n = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), n);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size() || n < lo || n > hi) return false;
    out = n;
    return true;
}

bool caseList(const std::string& text, const std::function<bool(int)>& allowed, std::set<int>& out) {
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        int n = 0;
        if (!wholeNumber(text.substr(at, comma - at), -1000000, 1000000, n) || !allowed(n)) return false;
        out.insert(n);
        at = comma + 1;
    }
    return true;
}

}  // namespace kmx::bench
