// pe-version FILE: the file version of a Windows executable.

#include <filesystem>
#include <ostream>
#include <system_error>

#include "args.h"
#include "catalogue_open.h"
#include "commands.h"
#include "core/pe_version.h"

namespace kmx::tool {

int cmdPeVersion(const Args& args, std::ostream& out, std::ostream& err) {
    Options o({}, {});
    if (!o.parse(args)) return badArgs(err, "pe-version", o.error());
    if (o.positional().size() != 1) return badArgs(err, "pe-version", "expected one FILE argument");
    const std::filesystem::path file = o.positional()[0];
    const auto version = ReadFileVersionFile(file);
    if (!version) {
        std::error_code ec;
        const bool exists = std::filesystem::exists(file, ec);
        err << "kmx-tool pe-version: " << (exists ? "no file version in " : "cannot open ") << file.string() << "\n";
        return 1;
    }
    out << version->text() << "\n";
    return out ? 0 : 1;
}

}  // namespace kmx::tool
