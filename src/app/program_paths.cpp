#include "app/program_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

// The system data folder relative to the executable's folder in the installed
// layout; the build sets it from the install folders.
#ifndef KMX_BIN_TO_DATA
#define KMX_BIN_TO_DATA "../share/kalmarex"
#endif

namespace kmx::app {

namespace {

QString& chosenFolder() {
    static QString folder;
    return folder;
}

QString withSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder;
    return folder + QLatin1Char('/');
}

bool holdsCatalogue(const QString& folder) {
    return !folder.isEmpty() && QFileInfo(folder + QStringLiteral("kmx.dat")).isFile();
}

}  // namespace

QString KatalogProgramu() {
    if (!chosenFolder().isEmpty()) return chosenFolder();
    if (QCoreApplication::instance() == nullptr) return {};
    return withSlash(QCoreApplication::applicationDirPath());
}

void UstawKatalogProgramu(const QString& folder) {
    chosenFolder() = withSlash(folder);
}

FolderyKatalogu DomyslneFolderyKatalogu(const QString& folderProgramu) {
    FolderyKatalogu f;
    f.programu = withSlash(folderProgramu);
    // $XDG_DATA_HOME, or ~/.local/share when that is not set.
    const QString dane = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!dane.isEmpty()) f.uzytkownika = withSlash(dane + QStringLiteral("/kalmarex"));
    if (!folderProgramu.isEmpty()) {
        const QString wzgledny = QString::fromUtf8(KMX_BIN_TO_DATA);
        f.systemowy = withSlash(QDir::cleanPath(
            QDir::isAbsolutePath(wzgledny) ? wzgledny : folderProgramu + QLatin1Char('/') + wzgledny));
    }
    return f;
}

QString WybierzFolderKatalogu(const FolderyKatalogu& foldery, bool cenySrednie) {
    const QString avg = QStringLiteral("avg/");
    const QString programu = withSlash(foldery.programu);
    const QString uzytkownika = withSlash(foldery.uzytkownika);
    const QString systemowy = withSlash(foldery.systemowy);
    QStringList kandydaci;
    if (cenySrednie) {
        if (!programu.isEmpty()) kandydaci << programu + avg;
        kandydaci << programu;
        if (!uzytkownika.isEmpty()) kandydaci << uzytkownika + avg;
        if (!systemowy.isEmpty()) kandydaci << systemowy + avg;
    } else {
        kandydaci << programu << uzytkownika << systemowy;
    }
    for (const QString& folder : kandydaci)
        if (holdsCatalogue(folder)) return folder;
    return programu;
}

}  // namespace kmx::app
