#pragma once
// A small option parser shared by the kmx-tool subcommands.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kmx::tool {

class Options {
public:
    // valued: options that take a value ("--name T"); flags: options without one.
    Options(std::set<std::string> valued, std::set<std::string> flags)
        : valued_(std::move(valued)), flags_(std::move(flags)) {}

    // Parses args; on failure returns false and sets error().
    bool parse(const std::vector<std::string>& args);

    bool has(const std::string& name) const { return values_.count(name) || setFlags_.count(name); }
    std::optional<std::string> value(const std::string& name) const;
    // An integer option; false (with error()) when present but not an integer.
    bool intValue(const std::string& name, long& out) const;
    const std::vector<std::string>& positional() const { return positional_; }
    const std::string& error() const { return error_; }

private:
    std::set<std::string> valued_;
    std::set<std::string> flags_;
    std::map<std::string, std::string> values_;
    std::set<std::string> setFlags_;
    std::vector<std::string> positional_;
    mutable std::string error_;
};

// Prints a statement for a terminal: bytes 0x20-0x7E as they are, "\" as "\\",
// every other byte as \xHH.
std::string escapeBytes(const std::string& bytes);

}  // namespace kmx::tool
