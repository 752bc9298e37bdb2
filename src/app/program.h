#pragma once
// The program's run, the same for both editions: the main window on the
// catalogue in the program's folder. The entry point of each edition chooses
// the edition first.

#include <QString>

namespace kmx::app {

// The folder the program's catalogue lies in: the executable's folder, or,
// for the average-prices edition, its subfolder "avg" when that holds a
// catalogue (so both programs can run from one build folder, each on its own
// demo catalogue).
QString FolderKatalogu();

int UruchomProgram(int argc, char** argv);

}  // namespace kmx::app
