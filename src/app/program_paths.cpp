#include "app/program_paths.h"

#include <QCoreApplication>

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

}  // namespace

QString KatalogProgramu() {
    if (!chosenFolder().isEmpty()) return chosenFolder();
    if (QCoreApplication::instance() == nullptr) return {};
    return withSlash(QCoreApplication::applicationDirPath());
}

void UstawKatalogProgramu(const QString& folder) {
    chosenFolder() = withSlash(folder);
}

}  // namespace kmx::app
