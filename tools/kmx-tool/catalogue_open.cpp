#include "catalogue_open.h"

#include <filesystem>
#include <ostream>

#include "core/last_error.h"
#include "core/settings_file.h"
#include "data/tdm.h"

namespace kmx::tool {

int badArgs(std::ostream& err, const std::string& command, const std::string& message) {
    err << "kmx-tool " << command << ": " << message << "\n";
    return 2;
}

bool openCatalogue(data::TDM& dm, const std::string& dir, std::ostream& err) {
    const std::filesystem::path folder(dir);
    auto settings = CzytajUstawienia(folder / "kmx.iif");
    const std::string password = settings.ok ? settings.password : std::string();
    if (dm.PolaczZBaza(folder / "kmx.dat", password) || dm.OtworzTabele()) {
        err << OstatniBlad().text << "\n";
        return false;
    }
    // The edition record names the catalogue in what the reports print (the
    // average prices' source line); a catalogue without one keeps the
    // placeholders.
    std::string edycja;
    std::string rok;
    dm.CzytajWersje(edycja, rok);
    return true;
}

}  // namespace kmx::tool
