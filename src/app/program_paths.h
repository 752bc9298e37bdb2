#pragma once
// The program's folder, where the catalogue, the settings file and the texts
// shipped with the program lie.

#include <QString>

namespace kmx::app {

// The executable's folder with a trailing "/", unless a folder was set.
QString KatalogProgramu();

// Points KatalogProgramu at another folder (tests, the demo catalogue); a
// missing trailing "/" is added. An empty text goes back to the executable's
// folder.
void UstawKatalogProgramu(const QString& folder);

}  // namespace kmx::app
