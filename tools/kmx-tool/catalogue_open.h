#pragma once
// Helpers shared by the kmx-tool commands that work on a catalogue folder.

#include <iosfwd>
#include <string>

namespace kmx::data {
class TDM;
}

namespace kmx::tool {

// Prints "kmx-tool COMMAND: MESSAGE" and returns the bad-arguments status 2.
int badArgs(std::ostream& err, const std::string& command, const std::string& message);

// Opens the catalogue in a folder as the program does at start-up: the
// password from its settings file (empty when unreadable), then the lookups.
// On failure prints the data module's message and returns false.
bool openCatalogue(data::TDM& dm, const std::string& dir, std::ostream& err);

}  // namespace kmx::tool
