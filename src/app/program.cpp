#include "app/program.h"

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QString>
#include <QTranslator>

#include "app/main_window.h"
#include "app/program_paths.h"
#include "editions/edition.h"
#include "platform/dialogs.h"
#include "platform/settings_store.h"

namespace kmx::app {

// KMX_APP_ID, KMX_APP_ID_AVG: the desktop entries' names (without
// ".desktop"), set by the build.

QString FolderKatalogu() {
    return WybierzFolderKatalogu(DomyslneFolderyKatalogu(KatalogProgramu()), edition::biezaca().cenySrednie);
}

QString IdentyfikatorAplikacji() {
    return QString::fromUtf8(edition::biezaca().cenySrednie ? KMX_APP_ID_AVG : KMX_APP_ID);
}

void UstawNazwyAplikacji() {
    QGuiApplication::setApplicationName(edition::tekst(&edition::Edycja::nazwa));
    // No display name: the platform would append it to every window's caption
    // (" — Kalmarex" on X11), and each caption is the program's own.
    // The desktop entry gives the windows their menu entry and icon.
    QGuiApplication::setDesktopFileName(IdentyfikatorAplikacji());
}

int UruchomProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    UstawNazwyAplikacji();
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);  // pixels, whatever the screen's text scaling
    QApplication::setFont(font);
    // Qt's own texts (file dialogs, standard buttons) in Polish, when the
    // translations are installed; the program's own texts are Polish anyway.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Polish, QLocale::Poland), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // Each edition keeps its placement and path in its own settings.
    platform::QtSettingsStore settings =
        platform::QtSettingsStore::forApplication(edition::tekst(&edition::Edycja::grupaUstawien));
    TKmxMain window(FolderKatalogu(), settings);
    QString error;
    if (!window.start(&error)) {
        platform::dialogs().message(nullptr, edition::TytulKomunikatu(), error, platform::MessageIcon::Error);
        return 1;
    }
    window.show();
    return QApplication::exec();
}

}  // namespace kmx::app
