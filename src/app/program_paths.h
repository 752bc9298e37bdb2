#pragma once
// The program's folder, where the catalogue, the settings file and the texts
// shipped with the program lie, and the folders a catalogue is looked for in.

#include <QString>

namespace kmx::app {

// The executable's folder with a trailing "/", unless a folder was set.
QString KatalogProgramu();

// Points KatalogProgramu at another folder (tests, the demo catalogue); a
// missing trailing "/" is added. An empty text goes back to the executable's
// folder.
void UstawKatalogProgramu(const QString& folder);

// The folders a catalogue (kmx.dat) may lie in, in the order they are tried.
struct FolderyKatalogu {
    QString programu;     // beside the executable (the build folder, a copied program)
    QString uzytkownika;  // the user's: $XDG_DATA_HOME/kalmarex, ~/.local/share/kalmarex
    QString systemowy;    // the installed one: <prefix>/share/kalmarex, /usr/share/kalmarex
};

// The folders of a program whose executable lies in folderProgramu: the
// system folder is found from it by the installed layout (bin/ beside
// share/), so a program installed under any prefix finds its own data.
FolderyKatalogu DomyslneFolderyKatalogu(const QString& folderProgramu);

// The first of the folders that holds a catalogue, with a trailing "/".
// The average-prices edition takes the subfolder "avg": beside the executable
// first "avg/" and then the folder itself (a folder of its own), in the user's
// and the system's folders only "avg/" (the folder itself holds the other
// edition's catalogue). When none holds one, the program's folder, whose
// missing catalogue the start-up then reports.
QString WybierzFolderKatalogu(const FolderyKatalogu& foldery, bool cenySrednie);

}  // namespace kmx::app
