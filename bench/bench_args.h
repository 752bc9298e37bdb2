#pragma once
// Reading the benchmarks' command lines: "--name value" and "--name=value",
// whole numbers within bounds, lists of case numbers.

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>

namespace kmx::bench {

class ArgCursor {
public:
    ArgCursor(int argc, char** argv) : argc_(argc), argv_(argv) {}
    // Moves to the next argument; false after the last.
    bool next();
    // The option's name, without "=value".
    const std::string& name() const { return name_; }
    const char* typed() const { return argv_[i_]; }
    bool hasInlineValue() const { return inline_.has_value(); }
    // The option's value: what follows "=", else the next argument.
    bool value(std::string& out);

private:
    int argc_;
    char** argv_;
    int i_ = 0;
    std::string name_;
    std::optional<std::string> inline_;
};

// The options every benchmark takes.
struct CommonOptions {
    std::filesystem::path catalogue;
    bool ownCatalogue = true;  // the demo catalogue made in the build folder
    int repeat = 5;
    bool markdown = false;
};

// Reads --help, --markdown, --catalogue DIR and --repeat N. NotMine leaves the
// argument to the caller; Help has printed the usage; Bad has said why.
enum class Common { NotMine, Taken, Help, Bad };
Common readCommonOption(ArgCursor& args, CommonOptions& o, const char* tool, const char* usage);

bool wholeNumber(const std::string& text, int lo, int hi, int& out);
// "1,3" into case numbers that `allowed` accepts; false on anything else.
bool caseList(const std::string& text, const std::function<bool(int)>& allowed, std::set<int>& out);

}  // namespace kmx::bench
