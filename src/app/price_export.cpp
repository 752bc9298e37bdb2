#include "app/price_export.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "app/constants.h"
#include "app/program_state.h"
#include "app/wait_window.h"
#include "core/safe_file.h"
#include "data/dataset.h"
#include "editions/edition.h"
#include "export/export_rows.h"
#include "platform/dialogs.h"

namespace kmx::app {

namespace {

namespace fs = std::filesystem;
using platform::dialogs;
using platform::FileDialogRequest;
using platform::FileDialogResult;
using platform::MessageIcon;

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

fs::path sciezka(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

void komunikat(const EksportCen& k, const QString& text, MessageIcon icon) {
    dialogs().message(k.okno, edition::TytulKomunikatu(), text, icon);
}

WynikEksportu zakonczono(const EksportCen& k) {
    komunikat(k, u8(kZapisZakonczony), MessageIcon::Information);
    return WynikEksportu::Zapisano;
}

WynikEksportu blad(const EksportCen& k) {
    komunikat(k,
              QString::fromUtf8(exportrows::kExportFailed.data(),
                                static_cast<qsizetype>(exportrows::kExportFailed.size())),
              MessageIcon::Error);
    return WynikEksportu::Blad;
}

// Stops the grid from repainting for a scope.
class ZamrozSiatke {
public:
    explicit ZamrozSiatke(QWidget* grid) : grid_(grid) {
        if (grid_ != nullptr) {
            wasEnabled_ = grid_->updatesEnabled();
            grid_->setUpdatesEnabled(false);
        }
    }
    ~ZamrozSiatke() {
        if (grid_ != nullptr) grid_->setUpdatesEnabled(wasEnabled_);
    }
    ZamrozSiatke(const ZamrozSiatke&) = delete;
    ZamrozSiatke& operator=(const ZamrozSiatke&) = delete;

private:
    QWidget* grid_;
    bool wasEnabled_ = true;
};

// After every row: the gauge, the pending events (repaint, Escape), the
// cancel request.
exportrows::Progress postepOkna() {
    return [](int, int) {
        KrokPostepu();
        QCoreApplication::processEvents();
        return !Przerwano();
    };
}

FileDialogResult zapytajONazwe(const EksportCen& k, const QString& title, const QString& name,
                               const QStringList& filters, int filterIndex) {
    FileDialogRequest r;
    r.title = title;
    r.directory = k.folderStartowy;
    r.fileName = name;
    r.filters = filters;
    r.filterIndex = filterIndex;
    // A wait window still up steps aside (and lifts its hourglass) while the
    // dialog is used.
    UkryjCzekaj();
    FileDialogResult result = dialogs().saveFile(k.okno, r);
    PrzywrocCzekaj();
    return result;
}

// Copies one shipped file over the target, under "Kopiowanie pliku".
bool kopiuj(const QString& source, const QString& target) {
    CzekajGuard czekaj(u8("Kopiowanie pliku"), false);
    std::error_code ec;
    if (!fs::is_regular_file(sciezka(source), ec)) return false;
    // Written beside the target and renamed over it: a copy that fails half
    // way keeps the user's previous file.
    std::ifstream in(sciezka(source), std::ios::binary);
    if (!in) return false;
    safefile::Replacement kopia(sciezka(target));
    std::string error;
    if (!kopia.open(error)) return false;
    char buf[65536];
    while (in) {
        in.read(buf, sizeof buf);
        if (in.gcount() > 0 && !kopia.write(buf, static_cast<std::size_t>(in.gcount()))) return false;
    }
    if (in.bad()) return false;
    return kopia.commit(error);
}

pricelist::Version wersjaZFiltra(int index) {
    switch (index) {
        case 0:
            return pricelist::Version::V10;
        case 1:
            return pricelist::Version::V20;
        default:
            return pricelist::Version::V21;
    }
}

QString filtrWersji(pricelist::Version v) {
    switch (v) {
        case pricelist::Version::V10:
            return u8(kFiltr10);
        case pricelist::Version::V20:
            return u8(kFiltr20);
        case pricelist::Version::V21:
            break;
    }
    return u8(kFiltr21);
}

std::string bezSpacji(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    while (!s.empty() && s.front() == ' ') s.erase(s.begin());
    return s;
}

// The price lists of the average-prices edition, one per category, in the
// order of the category buttons: the name proposed, the dialog's title and
// the ready-made file in KMX/ and KMX2.1/.
struct CennikSredni {
    const char* rodzaj;
    const char* nazwa;
    const char* tytul;
    const char* gotowy;
};
constexpr CennikSredni kCennikiSrednie[] = {
    {"R", "Robocizna_sred", "Eksport cennika robocizny", "Robocizna_sred.kmx"},
    {"M", "Materialy_sred", "Eksport cennika materiałów", "Materialy_sred.kmx"},
    {"S", "Sprzet_sred", "Eksport cennika sprzętu", "Sprzet_sred.kmx"},
};

// The category of an average-prices export: the buttons', else the kind
// restriction of the search.
std::string kategoria(const EksportCen& k) {
    const std::string c = bezSpacji(k.kategoria);
    return c.empty() ? bezSpacji(k.ograniczenie) : c;
}

const CennikSredni* cennikSredni(const std::string& rodzaj) {
    for (const CennikSredni& c : kCennikiSrednie)
        if (rodzaj == c.rodzaj) return &c;
    return nullptr;
}

QString gotowyCennik(const EksportCen& k, int filterIndex, const char* file) {
    return QDir(k.katalogProgramu).absolutePath() +
           (filterIndex == 0 ? QStringLiteral("/KMX/") : QStringLiteral("/KMX2.1/")) + QLatin1String(file);
}

// The ready-made list of the one category, 2.0 or 2.1 as the dialog's type.
WynikEksportu kopiujGotowySredni(const EksportCen& k) {
    const CennikSredni* c = cennikSredni(kategoria(k));
    if (c == nullptr) return WynikEksportu::Nic;
    const FileDialogResult f =
        zapytajONazwe(k, u8(c->tytul), QLatin1String(c->nazwa), QStringList{u8(kFiltr20), u8(kFiltr21)}, 1);
    if (!f.accepted) return WynikEksportu::Nic;
    if (!kopiuj(gotowyCennik(k, f.filterIndex, c->gotowy), ZRozszerzeniem(f.path, QStringLiteral("kmx"))))
        return blad(k);
    return zakonczono(k);
}

}  // namespace

QString ZRozszerzeniem(const QString& path, const QString& ext) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    return path + QLatin1Char('.') + ext;
}

WynikEksportu PobierzCeny(const EksportCen& k, bool wersja10) {
    switch (k.strona) {
        case StronaEksportu::ZnalezioneTowary:
            // The average-prices edition has a ready-made list only for a known category.
            if (k.brakKryteriow && !wersja10 && (!k.cenySrednie || cennikSredni(kategoria(k)) != nullptr))
                return KopiujGotoweCenniki(k);
            return EksportujCenniki(k, wersja10);
        case StronaEksportu::ListaTowarowDostawcy:
            return EksportujCenniki(k, wersja10);
        case StronaEksportu::CenyRobot:
            return EksportujCenyJednostkowe(k);
        case StronaEksportu::Inna:
            break;
    }
    return WynikEksportu::Nic;
}

WynikEksportu KopiujGotoweCenniki(const EksportCen& k) {
    if (k.cenySrednie) return kopiujGotowySredni(k);
    const QStringList filters{u8(kFiltr20), u8(kFiltr21)};

    bool ok = true;
    const FileDialogResult m =
        zapytajONazwe(k, u8("Zapis cennika materiałów"), QStringLiteral("Materialy"), filters, 1);
    if (m.accepted)
        ok = kopiuj(gotowyCennik(k, m.filterIndex, "materialy.kmx"),
                    ZRozszerzeniem(m.path, QStringLiteral("kmx")));
    const FileDialogResult s =
        zapytajONazwe(k, u8("Zapis cennika sprzętu"), QStringLiteral("Sprzet"), filters, 1);
    if (s.accepted) {
        ok = kopiuj(gotowyCennik(k, s.filterIndex, "sprzet.kmx"),
                    ZRozszerzeniem(s.path, QStringLiteral("kmx"))) &&
             ok;
    }
    // A copy that failed is reported rather than passed off as saved.
    if (!ok) return blad(k);
    if (!s.accepted) return WynikEksportu::Nic;
    return zakonczono(k);
}

WynikEksportu EksportujCenniki(const EksportCen& k, bool wersja10) {
    if (k.lista == nullptr || !k.lista->active()) return WynikEksportu::Nic;
    data::DataSet& lista = *k.lista;
    stanProgramu().SeparatorDziesietny = QLatin1Char('.');

    // Handlers off and the grid still for the whole run; both come back, with
    // the list on its first row, on every way out.
    exportrows::ListPause pauza(lista);
    ZamrozSiatke zamroz(k.siatka);
    CzekajGuard czekaj(k.cenySrednie ? u8("Szukanie robocizny, materiałów i sprzętu...")
                                     : u8("Szukanie materiałów i sprzętu..."),
                       false);

    const std::string ograniczenie = k.cenySrednie ? kategoria(k) : bezSpacji(k.ograniczenie);
    const exportrows::Kinds rodzaje = exportrows::DecideKinds(ograniczenie, lista, k.cenySrednie);
    if (ograniczenie.empty()) {
        lista.first();
        ZamknijCzekaj();
    }

    std::optional<pricelist::Version> wersja;
    if (wersja10) wersja = pricelist::Version::V10;
    const QStringList wszystkie{u8(kFiltr10), u8(kFiltr20), u8(kFiltr21)};
    const auto filtry = [&]() { return wersja ? QStringList{filtrWersji(*wersja)} : wszystkie; };

    exportrows::PriceListJob job;
    job.list = &lista;
    job.listKind = k.strona == StronaEksportu::ListaTowarowDostawcy ? exportrows::ListKind::SupplierGoods
                                                                    : exportrows::ListKind::Goods;
    job.supplierList = k.dostawcy;
    job.averagePrices = k.cenySrednie;
    // The first file type chosen is the only one the later dialogs offer.
    const auto zapytaj = [&](const char* tytul, const char* nazwa, std::string& cel) {
        const FileDialogResult f =
            zapytajONazwe(k, u8(tytul), QLatin1String(nazwa), filtry(), wersja ? 0 : 2);
        if (!f.accepted) return;
        cel = QFile::encodeName(ZRozszerzeniem(f.path, QStringLiteral("kmx"))).toStdString();
        if (!wersja) wersja = wersjaZFiltra(f.filterIndex);
    };
    if (k.cenySrednie) {
        for (const CennikSredni& c : kCennikiSrednie) {
            const std::string_view rodzaj = c.rodzaj;
            if (rodzaj == "R" && rodzaje.labour) zapytaj(c.tytul, c.nazwa, job.labourTarget);
            if (rodzaj == "M" && rodzaje.materials) zapytaj(c.tytul, c.nazwa, job.materialsTarget);
            if (rodzaj == "S" && rodzaje.equipment) zapytaj(c.tytul, c.nazwa, job.equipmentTarget);
        }
    } else {
        if (rodzaje.materials) zapytaj("Eksport cennika materiałów", "Materialy", job.materialsTarget);
        if (rodzaje.equipment) zapytaj("Eksport cennika sprzętu", "Sprzet", job.equipmentTarget);
    }
    lista.first();
    ZamknijCzekaj();
    if (job.materialsTarget.empty() && job.equipmentTarget.empty() && job.labourTarget.empty())
        return WynikEksportu::Nic;
    job.version = wersja.value_or(pricelist::Version::V21);

    PokazCzekaj(u8("Eksport cennika..."), true);
    UstawZakres(0, lista.recordCount());
    lista.first();
    job.progress = postepOkna();
    const exportrows::Result r = exportrows::WritePriceLists(job);
    ZamknijCzekaj();
    if (!r.ok) return blad(k);
    zakonczono(k);
    return r.cancelled ? WynikEksportu::Przerwano : WynikEksportu::Zapisano;
}

WynikEksportu EksportujCenyJednostkowe(const EksportCen& k) {
    if (k.lista == nullptr || !k.lista->active()) return WynikEksportu::Nic;
    const FileDialogResult f =
        zapytajONazwe(k, u8("Eksport cennika NV"), QStringLiteral("Ceny_Jednostkowe_Nordvale"),
                      QStringList{u8(kFiltrNV)}, 0);
    if (!f.accepted) return WynikEksportu::Nic;

    if (k.okno != nullptr) k.okno->repaint();
    exportrows::UnitPriceJob job;
    job.works = k.lista;
    job.target = QFile::encodeName(ZRozszerzeniem(f.path, QStringLiteral("csv"))).toStdString();
    job.progress = postepOkna();
    exportrows::Result r;
    {
        CzekajGuard czekaj(u8("Eksport cennika..."), true);
        UstawZakres(0, k.lista->recordCount());
        ZamrozSiatke zamroz(k.siatka);
        r = exportrows::WriteUnitPriceFile(job);
    }
    if (!r.ok) return blad(k);
    zakonczono(k);
    return r.cancelled ? WynikEksportu::Przerwano : WynikEksportu::Zapisano;
}

}  // namespace kmx::app
