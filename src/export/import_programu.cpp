#include "export/import_programu.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include "app/wait_window.h"
#include "export/tessar.h"
#include "platform/dialogs.h"
#include "platform/programs.h"
#include "editions/edition.h"

namespace kmx::tessar {

namespace {

void komunikat(QWidget* okno, const QString& tekst, platform::MessageIcon ikona,
               const QString& tytul = edition::TytulKomunikatu()) {
    platform::dialogs().message(okno, tytul, tekst, ikona);
}

std::string lokalna(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

QString folderImportu() {
    QString baza = qEnvironmentVariable("XDG_CACHE_HOME");
    if (baza.isEmpty() || !QDir::isAbsolutePath(baza)) baza = QDir::homePath() + QStringLiteral("/.cache");
    return baza + QStringLiteral("/kalmarex/import");
}

QString RodzajeZPol(bool materialy, bool sprzet) {
    QString r;
    if (materialy) r += QLatin1Char('M');
    if (sprzet) r += QLatin1Char('S');
    return r;
}

// The program reads its command line the Windows way. The switches of the
// import are `/kmf="path"` and `/kmdf="path"`; under Wine an argument that
// holds a quote or a blank is wrapped in quotes with its own quotes escaped,
// so the quotes cannot be handed over as they are. Given as `/kmf=path`
// without quotes, Wine passes it unchanged, or wrapped whole in quotes when
// the path holds a blank, and both the C runtime's rules and ParamStr read
// exactly `/kmf=path` from it, which is what they read from
// `/kmf="path"`. A Windows path never holds a quote itself.
QStringList ArgumentyImportu(const QString& cennikWindows, const QString& opisWindows) {
    QStringList a{QStringLiteral("/kmf=") + cennikWindows};
    if (!opisWindows.isEmpty()) a << QStringLiteral("/kmdf=") + opisWindows;
    return a;
}

WynikImportu EksportDoProgramu(const ImportDoProgramu& k, const Tessary& tessary, int numer) {
    if (!tessary.ObslugujeAutoImport(numer)) {
        komunikat(
            k.okno,
            QStringLiteral("Ta wersja Tessara nie obsługuje automatycznego importu. Uaktualnij program do "
                           "najnowszej wersji"),
            platform::MessageIcon::None, TytulProgramu());
        return WynikImportu::ZaStary;
    }
    const pricelist::Version wersja =
        tessary.WersjaFormatu(numer) == 3 ? pricelist::Version::V21 : pricelist::Version::V20;
    const QString program = tessary.SciezkaUnix(numer);

    const QString folder = k.folder.isEmpty() ? folderImportu() : k.folder;
    const QString cennik = folder + (k.cenySrednie ? QStringLiteral("/KMX_sr_") : QStringLiteral("/KMX_d_")) +
                           k.rodzaje + QStringLiteral(".kmx");
    const QString opis = folder + QStringLiteral("/tmp_all.plo");
    const QString bladEksportu = QStringLiteral("Wystąpił błąd podczas eksportu danych.");
    if (!QDir().mkpath(folder) ||
        !QFile::setPermissions(folder,
                               QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner) ||
        QFileInfo(cennik).isSymLink() || QFileInfo(opis).isSymLink()) {
        komunikat(k.okno, bladEksportu, platform::MessageIcon::Error);
        return WynikImportu::Blad;
    }

    exportrows::Result r;
    {
        app::CzekajGuard czekaj(QStringLiteral("Eksport cennika..."), true);
        app::UstawZakres(0, k.lista ? k.lista->recordCount() : 0);
        exportrows::CombinedPriceListJob job;
        job.list = k.lista;
        job.listKind = k.rodzajListy;
        job.supplierList = k.dostawcy;
        job.version = wersja;
        job.averagePrices = k.cenySrednie;
        job.kind = k.rodzaje.toStdString();
        job.target = lokalna(cennik);
        job.progress = [](int, int) {
            QCoreApplication::processEvents();
            if (app::Przerwano()) return false;
            app::KrokPostepu();
            return true;
        };
        r = exportrows::WriteCombinedPriceList(job);
    }
    if (!r.ok) {
        komunikat(k.okno, bladEksportu, platform::MessageIcon::Error);
        return WynikImportu::Blad;
    }
    // A cancelled walk leaves a shortened list: the program is not given it.
    if (r.cancelled) return WynikImportu::Przerwano;

    std::string bladOpisu;
    const bool zOpisem =
        pricelist::WriteDescriptorFile(lokalna(opis), k.cenySrednie, k.rodzaje.toStdString(),
                                       k.rok.toStdString(), k.edycja.toStdString(), bladOpisu);
    const platform::WinePaths& sciezki = tessary.sciezki();
    const QStringList argumenty =
        QStringList{program} +
        ArgumentyImportu(sciezki.toWindows(cennik), zOpisem ? sciezki.toWindows(opis) : QString());

    QProcessEnvironment srodowisko = QProcessEnvironment::systemEnvironment();
    if (!k.prefiks.isEmpty()) srodowisko.insert(QStringLiteral("WINEPREFIX"), k.prefiks);
    QString blad;
    if (!platform::programs().startDetached(QStringLiteral("wine"), argumenty,
                                            QFileInfo(program).absolutePath(), srodowisko, &blad)) {
        komunikat(
            k.okno,
            QStringLiteral("Nie można uruchomić programu kosztorysowego: nie udało się uruchomić Wine (%1). "
                           "Sprawdź, czy Wine jest zainstalowany.")
                .arg(blad),
            platform::MessageIcon::Error);
        return WynikImportu::BrakWine;
    }
    return WynikImportu::Uruchomiono;
}

}  // namespace kmx::tessar
