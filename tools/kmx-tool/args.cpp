#include "args.h"

#include <charconv>

namespace kmx::tool {

bool Options::parse(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            std::string name = a.substr(2);
            std::optional<std::string> inlineValue;
            if (auto eq = name.find('='); eq != std::string::npos) {
                inlineValue = name.substr(eq + 1);
                name.resize(eq);
            }
            if (valued_.count(name)) {
                if (inlineValue) {
                    values_[name] = *inlineValue;
                } else if (i + 1 < args.size()) {
                    values_[name] = args[++i];
                } else {
                    error_ = "option --" + name + " needs a value";
                    return false;
                }
            } else if (flags_.count(name) && !inlineValue) {
                setFlags_.insert(name);
            } else {
                error_ = "unknown option --" + name;
                return false;
            }
        } else {
            positional_.push_back(a);
        }
    }
    return true;
}

std::optional<std::string> Options::value(const std::string& name) const {
    auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

bool Options::intValue(const std::string& name, long& out) const {
    auto v = value(name);
    if (!v) return true;
    const char* first = v->data();
    const char* last = first + v->size();
    auto [ptr, ec] = std::from_chars(first, last, out);
    if (ec != std::errc() || ptr != last) {
        error_ = "option --" + name + " needs an integer, got '" + *v + "'";
        return false;
    }
    return true;
}

std::string escapeBytes(const std::string& bytes) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (unsigned char c : bytes) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c <= 0x7E) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

}  // namespace kmx::tool
