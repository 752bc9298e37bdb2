// kmx-tool programs: what the program finds of the cost-estimating programs
// in a Wine prefix, edition by edition, and why an edition counts as not
// installed. Support staff ask users to run it.

#include <QFileInfo>
#include <QString>
#include <ostream>

#include "args.h"
#include "catalogue_open.h"
#include "commands.h"
#include "export/tessar.h"
#include "platform/registry.h"
#include "platform/wine.h"

namespace kmx::tool {

namespace {

std::string s(const QString& q) {
    return q.toStdString();
}

const char* formatName(int format) {
    switch (format) {
        case 1:
            return "1.0";
        case 2:
            return "2.0";
        case 3:
            return "2.1";
        default:
            return "none";
    }
}

}  // namespace

int cmdPrograms(const Args& args, std::ostream& out, std::ostream& err) {
    Options o({"prefix"}, {});
    if (!o.parse(args)) return badArgs(err, "programs", o.error());
    if (!o.positional().empty()) return badArgs(err, "programs", "usage: programs [--prefix DIR]");
    const QString prefix =
        o.value("prefix") ? QString::fromStdString(*o.value("prefix")) : platform::winePrefix();
    platform::WineRegistry registry(prefix);
    const platform::WinePaths paths(prefix);
    const tessar::Tessary tessary(registry, paths);

    out << "Wine prefix: " << s(prefix) << (QFileInfo(prefix).isDir() ? "" : " (no such folder)") << "\n";
    out << "registry: " << s(registry.fileOf(platform::Hive::LocalMachine))
        << (QFileInfo(registry.fileOf(platform::Hive::LocalMachine)).isFile() ? "" : " (missing)") << "\n";
    for (int n = 1; n <= tessar::kWydan; ++n) {
        const tessar::OpisWydania& w = tessar::Wydanie(n);
        out << "\n" << w.nazwa << ": ";
        const QString key = tessary.KluczProgramu(n);
        if (key.isEmpty()) {
            out << "not installed: no key HKEY_LOCAL_MACHINE\\" << w.klucz
                << " (nor under Software\\Wow6432Node) with a \"Program\" value\n";
            continue;
        }
        const QString windows = tessary.SciezkaProgramu(n);
        const QString unix = tessary.SciezkaUnix(n);
        const bool installed = tessary.Zainstalowany(n);
        out << (installed ? "installed" : "not installed") << "\n";
        out << "  key: HKEY_LOCAL_MACHINE\\" << s(key) << "\n";
        out << "  program: " << s(windows) << "\n";
        if (unix.isEmpty()) {
            out << "  unix path: none (the drive of this path has no link in " << s(prefix)
                << "/dosdevices)\n";
            continue;
        }
        out << "  unix path: " << s(unix) << (installed ? "" : " (no such file)") << "\n";
        if (!installed) continue;
        const auto version = tessary.WersjaPliku(n);
        out << "  file version: " << (version ? version->text() : std::string("none (counts as too old)"))
            << "\n";
        out << "  automatic import: " << (tessary.ObslugujeAutoImport(n) ? "yes" : "no") << "\n";
        out << "  price-list format: " << formatName(tessary.WersjaFormatu(n)) << "\n";
    }
    return out ? 0 : 1;
}

}  // namespace kmx::tool
