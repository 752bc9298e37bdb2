#include "app/program.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
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

QString FolderKatalogu() {
    const QString folder = KatalogProgramu();
    if (edition::biezaca().cenySrednie && QFileInfo::exists(folder + QStringLiteral("avg/kmx.dat")))
        return folder + QStringLiteral("avg/");
    return folder;
}

int UruchomProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString nazwa = edition::tekst(&edition::Edycja::nazwa);
    QApplication::setApplicationName(nazwa);
    QApplication::setApplicationDisplayName(nazwa);
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
