// The program Kalmarex: the main window on the catalogue in the program's
// folder. A catalogue that cannot be opened ends the program with its
// message before any window shows.

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QString>
#include <QTranslator>

#include "app/constants.h"
#include "app/main_window.h"
#include "app/program_paths.h"
#include "platform/dialogs.h"
#include "platform/settings_store.h"
#include "editions/edition.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalmarex"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kalmarex"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);  // pixels, whatever the screen's text scaling
    QApplication::setFont(font);
    // Qt's own texts (file dialogs, standard buttons) in Polish, when the
    // translations are installed; the program's own texts are Polish anyway.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Polish, QLocale::Poland), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    kmx::platform::QtSettingsStore settings;
    kmx::app::TKmxMain window(kmx::app::KatalogProgramu(), settings);
    QString error;
    if (!window.start(&error)) {
        kmx::platform::dialogs().message(nullptr, kmx::edition::TytulKomunikatu(), error,
                                         kmx::platform::MessageIcon::Error);
        return 1;
    }
    window.show();
    return QApplication::exec();
}
