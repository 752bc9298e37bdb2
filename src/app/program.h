#pragma once
// The program's run, the same for both editions: the main window on the
// catalogue in the program's folder. The entry point of each edition chooses
// the edition first.

#include <QString>

namespace kmx::app {

// The folder the program's catalogue lies in: the first that holds one of
// the executable's folder, the user's data folder and the system's (see
// WybierzFolderKatalogu). For the average-prices edition the subfolder "avg"
// beside the executable comes first, so both programs can run from one build
// folder, each on its own demo catalogue.
QString FolderKatalogu();

// The name of the edition's desktop entry (without ".desktop").
QString IdentyfikatorAplikacji();

// The application's name and desktop entry, for the edition chosen; no
// display name, so window captions stay exactly as the windows set them.
void UstawNazwyAplikacji();

int UruchomProgram(int argc, char** argv);

}  // namespace kmx::app
