// Pictures of every page of the main window on the demo catalogue, for a
// person to look at. Runs only when KMX_SCREENSHOT_DIR names the folder for
// the PNG files:
//   KMX_SCREENSHOT_DIR=/tmp/shots build/bin/kmx_app_tests --gtest_filter='Screenshots*'

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <chrono>
#include <filesystem>

#include "app/about_box.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/program_paths.h"
#include "app/program_state.h"
#include "app/wait_window.h"
#include "catalog/demo.h"
#include "data/tdm.h"
#include "platform/dialogs.h"
#include "platform/links.h"
#include "platform/settings_store.h"

namespace {

void zapisz(QWidget* widget, const QDir& dir, const char* name, QStringList& saved) {
    QApplication::processEvents();
    const QString file = dir.filePath(QString::fromLatin1(name));
    ASSERT_TRUE(widget->grab().save(file)) << file.toStdString();
    saved << file;
}

void wpisz(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->setText(text);
}

TEST(Screenshots, EveryPageOfTheMainWindow) {
    const QString target = qEnvironmentVariable("KMX_SCREENSHOT_DIR");
    if (target.isEmpty()) GTEST_SKIP() << "KMX_SCREENSHOT_DIR is not set";
    QDir dir(target);
    ASSERT_TRUE(dir.mkpath(QStringLiteral(".")));

    QTemporaryDir demo;
    ASSERT_TRUE(demo.isValid());
    kmx::catalog::DemoOptions options;
    options.password = "Zdjecia-Demo";
    const auto built =
        kmx::catalog::writeDemo(std::filesystem::path(QFile::encodeName(demo.path()).toStdString()), options);
    ASSERT_TRUE(built.ok) << built.error;

    auto& dialogs = kmx::platform::dialogs();
    dialogs.setTestMode(true);
    dialogs.shownMessages.clear();
    kmx::app::ZerujStanProgramu();
    kmx::app::TFHelp::setTestMode(true);
    kmx::app::TKmxMain::setTestMode(true);
    QTemporaryDir ini;
    kmx::platform::QtSettingsStore store(ini.filePath(QStringLiteral("kmx.ini")));
    kmx::platform::RecordingLinkOpener links;

    QStringList saved;
    {
        kmx::app::TKmxMain okno(demo.path(), store, &links);
        QString error;
        ASSERT_TRUE(okno.start(&error)) << error.toStdString();
        okno.show();
        QApplication::processEvents();
        auto* PCMain = okno.findChild<QTabWidget*>(QStringLiteral("PCMain"));
        ASSERT_NE(PCMain, nullptr);

        zapisz(&okno, dir, "01_szukanie_proste.png", saved);
        okno.findChild<QPushButton*>(QStringLiteral("bSzukZaawans"))->click();
        wpisz(okno.findChild<QLineEdit*>(QStringLiteral("eNazwaTow")), QStringLiteral("farba"));
        wpisz(okno.findChild<QLineEdit*>(QStringLiteral("eTMiastoDost")), QStringLiteral("Kraków"));
        zapisz(&okno, dir, "02_szukanie_zaawansowane.png", saved);
        okno.findChild<QPushButton*>(QStringLiteral("bSzukZaawans"))->click();
        okno.findChild<QLineEdit*>(QStringLiteral("eTMiastoDost"))->clear();

        okno.bSzukajTowClick();
        ASSERT_TRUE(dialogs.shownMessages.empty());
        okno.tdm().QWybrTow.moveTo(4);
        zapisz(&okno, dir, "03_znalezione.png", saved);

        okno.ATowSzczTowExecute();
        zapisz(&okno, dir, "04_szczegoly_towaru.png", saved);

        // A goods item whose supplier has a logo.
        kmx::data::DataSet& tow = okno.tdm().QWybrTow;
        for (int r = 1; r <= tow.recordCount(); ++r) {
            tow.moveTo(r);
            okno.ATowSzczDostExecute();
            QApplication::processEvents();
            if (QFile::exists(demo.filePath(QStringLiteral("Logo/")) +
                              QString::fromStdString(tow.displayText("KOD_PRODUCENTA")).trimmed() +
                              QStringLiteral(".jpg")))
                break;
        }
        zapisz(&okno, dir, "05_szczegoly_dostawcy.png", saved);

        okno.ACenyScaloneExecute();
        QApplication::processEvents();
        zapisz(&okno, dir, "06_ceny_robot.png", saved);
        okno.AStawkiExecute();
        zapisz(&okno, dir, "07_narzuty.png", saved);
        okno.AKrytSzukDostawcyExecute();
        wpisz(okno.findChild<QLineEdit*>(QStringLiteral("eMiejscowosc")), QStringLiteral("K"));
        zapisz(&okno, dir, "08_katalog_dostawcow.png", saved);
        okno.findChild<QLineEdit*>(QStringLiteral("eMiejscowosc"))->clear();

        // The supplier pages: every supplier, the first one with a logo.
        okno.APokazAllDostExecute();
        ASSERT_TRUE(dialogs.shownMessages.empty());
        kmx::data::DataSet& dost = okno.tdm().QWybrDost;
        for (int r = 1; r <= dost.recordCount(); ++r) {
            dost.moveTo(r);
            if (dost.value("ID_PRODUCENTA").asInt() == 1) break;
        }
        okno.ADostListaDostExecute();
        zapisz(&okno, dir, "13_znalezieni.png", saved);
        okno.ADostSzczDostExecute();
        zapisz(&okno, dir, "14_dostawca_szczegoly.png", saved);
        okno.ADostListaTowExecute();
        ASSERT_TRUE(dialogs.shownMessages.empty());
        okno.tdm().QWybrTowForDost.moveTo(3);
        zapisz(&okno, dir, "15_lista_towarow_dostawcy.png", saved);
        okno.ADostSzczTowExecute();
        zapisz(&okno, dir, "16_towar_dostawcy.png", saved);

        kmx::app::PokazCzekaj(QStringLiteral("Wyszukiwanie towarów..."), false);
        ASSERT_NE(kmx::app::oknoCzekaj(), nullptr);
        zapisz(kmx::app::oknoCzekaj(), dir, "09_czekaj.png", saved);
        kmx::app::ZamknijCzekaj();

        okno.pokazOProgramie();
        zapisz(okno.oknoOProgramie(), dir, "10_o_programie.png", saved);
        okno.oknoOProgramie()->hide();
        okno.pokazInstrukcje(QStringLiteral("Instrukcja_eksportu_ms.rtf"));
        zapisz(okno.oknoPomocy(), dir, "11_pomoc.png", saved);
        okno.oknoPomocy()->hide();

        auto* plik = okno.findChild<QMenu*>(QStringLiteral("mnuPlik"));
        ASSERT_NE(plik, nullptr);
        plik->popup(okno.mapToGlobal(QPoint(0, 20)));
        zapisz(plik, dir, "12_menu_plik.png", saved);
        plik->hide();
    }
    kmx::app::UstawKatalogProgramu(QString());
    for (const QString& f : saved) EXPECT_GT(QFile(f).size(), 1000) << f.toStdString();
    EXPECT_EQ(saved.size(), 16);
}

// The show-all list on a large catalogue (KMX_LARGE_CATALOGUE: a folder with
// kmx.dat and kmx.iif, e.g. build/bench-catalogue-1m): the first page as it
// comes, then the list with every key read, then its last page.
TEST(Screenshots, ShowAllOnALargeCatalogue) {
    const QString target = qEnvironmentVariable("KMX_SCREENSHOT_DIR");
    const QString folder = qEnvironmentVariable("KMX_LARGE_CATALOGUE");
    if (target.isEmpty() || folder.isEmpty()) GTEST_SKIP() << "KMX_SCREENSHOT_DIR or KMX_LARGE_CATALOGUE is not set";
    QDir dir(target);
    ASSERT_TRUE(dir.mkpath(QStringLiteral(".")));
    auto& dialogs = kmx::platform::dialogs();
    dialogs.setTestMode(true);
    dialogs.shownMessages.clear();
    kmx::app::ZerujStanProgramu();
    kmx::app::TKmxMain::setTestMode(true);
    QTemporaryDir ini;
    kmx::platform::QtSettingsStore store(ini.filePath(QStringLiteral("kmx.ini")));
    kmx::platform::RecordingLinkOpener links;
    const auto budget = kmx::data::DataSet::openBudget();
    const auto minRows = kmx::data::DataSet::openMinRows();
    kmx::data::DataSet::setOpenBudget(std::chrono::milliseconds(25), 64);
    QStringList saved;
    {
        kmx::app::TKmxMain okno(folder, store, &links);
        QString error;
        ASSERT_TRUE(okno.start(&error)) << error.toStdString();
        okno.resize(1024, 740);
        okno.show();
        QApplication::processEvents();
        okno.findChild<QPushButton*>(QStringLiteral("bPokazAllTowar"))->click();
        ASSERT_TRUE(dialogs.shownMessages.empty());
        EXPECT_FALSE(okno.tdm().QWybrTow.complete());
        zapisz(&okno, dir, "large_1_pierwsza_strona.png", saved);
        while (okno.doczytywanieTrwa()) QApplication::processEvents();
        zapisz(&okno, dir, "large_2_wszystkie.png", saved);
        okno.tdm().QWybrTow.last();
        zapisz(&okno, dir, "large_3_ostatnia_strona.png", saved);
        // A word whose goods come last in name order: the keys come from the scan, all at once.
        wpisz(okno.findChild<QLineEdit*>(QStringLiteral("eNazwaTow")), QStringLiteral("zaprawa"));
        okno.findChild<QPushButton*>(QStringLiteral("bSzukajTow"))->click();
        ASSERT_TRUE(dialogs.shownMessages.empty());
        kmx::data::DataSet& found = okno.tdm().QWybrTow;
        EXPECT_TRUE(found.complete());
        ASSERT_GT(found.knownCount(), 0);
        const int nazwa = found.fieldIndex("TOWAR.NAZWA");
        for (int r : {0, found.knownCount() - 1})
            EXPECT_TRUE(QString::fromStdString(found.displayText(r, nazwa))
                            .contains(QStringLiteral("zaprawa"), Qt::CaseInsensitive))
                << r;
        zapisz(&okno, dir, "large_4_szukaj_zaprawa.png", saved);
    }
    kmx::data::DataSet::setOpenBudget(budget, minRows);
    for (const QString& f : saved) EXPECT_GT(QFile(f).size(), 1000) << f.toStdString();
}

}  // namespace
