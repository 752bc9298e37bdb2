#include "export/t3dll.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QWidget>
#include <array>
#include <vector>

#include "app/wait_window.h"
#include "core/cp1250.h"
#include "core/scramble.h"
#include "core/textutil.h"
#include "data/dataset.h"
#include "data/fields.h"
#include "editions/edition.h"
#include "export/form_nowy_cennik.h"
#include "export/tessar.h"
#include "export/waluty.h"
#include "platform/dialogs.h"
#include "platform/registry.h"

// Our price-base library's folder relative to the executable's folder in the
// installed layout (bin/ beside lib/kalmarex/); the build sets it from the
// install folders.
#ifndef KMX_BIN_TO_PRICEBASE
#define KMX_BIN_TO_PRICEBASE "../lib/kalmarex"
#endif

namespace kmx::tessar {

namespace {

const char* const kNieZnaleziono =
    "Nie znaleziono biblioteki daravivo3.dll. Tessar 3 nie jest zainstalowana lub wersja starsza niż 3.17";
const char* const kBrakFunkcji =
    "Nie znaleziono wszystkich funkcji w daravivo3.dll. Program działa z Tessarem od wersji 3.17";

// The keys of version 3, in the order they are tried.
const char* const kKluczeProgramu[] = {"Software\\Nordvale\\Tessar 3\\",
                                       "Software\\Nordvale\\Tessar 3\\ (edukacyjna)\\",
                                       "Software\\Nordvale\\Tessar 3\\ Demo\\"};

QByteArray sciezka(const QString& folder) {
    return QFile::encodeName(folder);
}

// A list's fields, looked up once per run.
struct Pole {
    int index = -1;
    int mode = 0;  // descrambling mode of a scrambled column
};

Pole pole(const data::DataSet& set, const char* name, int mode = 2) {
    return Pole{data::znajdzPole(set, name), mode};
}

// A text field of the current row, Windows-1250 bytes, blanks trimmed:
// scrambled columns descrambled, plain ones as stored.
std::string tekst(const data::DataSet& set, const Pole& p) {
    if (p.index < 0 || set.recNo() <= 0) return {};
    const data::Cell c = set.value(p.index);
    if (c.type() == data::CellType::Blob) return trimSpaces(Deszyfruj(c.bytes(), p.mode));
    if (c.type() == data::CellType::Integer || c.type() == data::CellType::Real)
        return set.defaultText(set.currentRow(), p.index);
    return trimSpaces(c.bytes());
}

double liczba(const data::DataSet& set, const Pole& p) {
    if (p.index < 0 || set.recNo() <= 0) return 0;
    return set.value(p.index).asDouble();
}

// The producer columns of a list row or of the supplier row.
struct PolaProducenta {
    Pole kod, nip, nazwa, kodPocztowy, miejscowosc, ulica, wojewodztwo, telKier, telefon, faks, email, www;
    explicit PolaProducenta(const data::DataSet& s)
        : kod(pole(s, "KOD_PRODUCENTA")),
          nip(pole(s, "NIP")),
          nazwa(pole(s, "producent.NAZWA", 1)),
          kodPocztowy(pole(s, "KOD_POCZTOWY")),
          miejscowosc(pole(s, "MIEJSCOWOSC")),
          ulica(pole(s, "ULICA_DOM")),
          wojewodztwo(pole(s, "WOJEWODZTWO.NAZWA", 0)),
          telKier(pole(s, "TEL_KIER")),
          telefon(pole(s, "TELEFON1")),
          faks(pole(s, "FAKS")),
          email(pole(s, "EMAIL_PODSTAWOWY")),
          www(pole(s, "PRODUCENT.ADRES_WWW")) {}

    t3::ProdRec czytaj(const data::DataSet& s) const {
        t3::ProdRec p;
        p.kod = tekst(s, kod);
        p.nip = tekst(s, nip);
        p.nazwa = tekst(s, nazwa);
        p.kodPocztowy = tekst(s, kodPocztowy);
        p.miejscowosc = tekst(s, miejscowosc);
        p.ulica = tekst(s, ulica);
        p.wojewodztwo = tekst(s, wojewodztwo);
        p.telKier = tekst(s, telKier);
        p.telefon = tekst(s, telefon);
        p.faks = tekst(s, faks);
        p.email = tekst(s, email);
        p.www = tekst(s, www);
        return p;
    }
};

// The goods columns of the list.
struct PolaTowaru {
    Pole eto, jmKod, typ, jmNazwa, cenaProducenta, ileWJednostce, cenaHurtowa, cenaDetaliczna, nazwa, maska,
        waluta;
    explicit PolaTowaru(const data::DataSet& s)
        : eto(pole(s, "INDEKS_ETO")),
          jmKod(pole(s, "JEDNOSTKA_MIARY.KOD", 0)),
          typ(pole(s, "TYP_RMS", 0)),
          jmNazwa(pole(s, "JEDNOSTKA_MIARY.NAZWA", 0)),
          cenaProducenta(pole(s, "CENA_PRODUCENTA")),
          ileWJednostce(pole(s, "ILE_TOW_W_JED")),
          cenaHurtowa(pole(s, "CENA_HURTOWA")),
          cenaDetaliczna(pole(s, "CENA_DETALICZNA")),
          nazwa(pole(s, "Towar.NAZWA", 1)),
          maska(pole(s, "caseNAZWA", 0)),
          waluta(pole(s, "WALUTA.SYMBOL", 0)) {}

    t3::RmsRec czytaj(const data::DataSet& s) const {
        t3::RmsRec r;
        r.kod = tekst(s, eto);
        r.jmKod = tekst(s, jmKod);
        r.rodzajIndeksu = "2";
        r.typ = tekst(s, typ);
        r.jmNazwa = tekst(s, jmNazwa);
        // The producer's price per unit of measure: by the quantity in a
        // packing unit, or as it is when that is zero.
        const double ile = liczba(s, ileWJednostce);
        r.cenaProducenta = static_cast<float>(liczba(s, cenaProducenta) / (ile != 0 ? ile : 1.0));
        r.cenaHurtowa = static_cast<float>(liczba(s, cenaHurtowa));
        r.cenaDetaliczna = static_cast<float>(liczba(s, cenaDetaliczna));
        if (nazwa.index >= 0 && s.recNo() > 0) {
            const std::string_view m = maska.index >= 0 ? s.value(maska.index).bytes() : std::string_view();
            r.nazwa = trimSpaces(NalozWielkoscLiter(Deszyfruj(s.value(nazwa.index).bytes(), 1), m));
        }
        return r;
    }
};

}  // namespace

struct TT3DLL::Funkcje {
    decltype(&GetDbDllVer) getDbDllVer = nullptr;
    decltype(&InitDbDLL) initDbDll = nullptr;
    decltype(&DbCheckTableExists) checkTableExists = nullptr;
    decltype(&DbDeleteTable) deleteTable = nullptr;
    decltype(&DbUsunCennik) usunCennik = nullptr;
    decltype(&DbCenyCreateTable) createTable = nullptr;
    decltype(&DbWstawCennik) wstawCennik = nullptr;
    decltype(&DbCenyOpenTable) openTable = nullptr;
    decltype(&DbCenyWstawRMS) wstawRms = nullptr;
    decltype(&DbCenyCloseTable) closeTable = nullptr;
    decltype(&DbCnvEtoKmbOpenTable) kmbOpen = nullptr;
    decltype(&DbCnvEtoKmbFind) kmbFind = nullptr;
    decltype(&DbCnvEtoKmbCloseTable) kmbClose = nullptr;
    decltype(&DbProdAppendToTable) prodAppend = nullptr;
    decltype(&GetDbDllError) getError = nullptr;
};

TT3DLL::TT3DLL(platform::Registry& registry, platform::WinePaths paths, QWidget* okno)
    : registry_(registry),
      paths_(std::move(paths)),
      okno_(okno),
      f_(std::make_unique<Funkcje>()),
      waluty_(std::make_unique<TWaluty>(registry, paths_, okno)),
      okno_cennika_(std::make_unique<TFNowyCennik>(okno)) {}

TT3DLL::~TT3DLL() {
    Close();
}

QStringList TT3DLL::naszeBiblioteki(const QString& folderProgramu) {
    const QString plik = QStringLiteral("libkmx_pricebase.so");
    const QString wzgledny = QString::fromUtf8(KMX_BIN_TO_PRICEBASE);
    const QString zainstalowany =
        QDir::isAbsolutePath(wzgledny) ? wzgledny : folderProgramu + QLatin1Char('/') + wzgledny;
    return {QDir::cleanPath(folderProgramu + QLatin1Char('/') + plik),
            QDir::cleanPath(zainstalowany + QLatin1Char('/') + plik)};
}

QString TT3DLL::naszaBiblioteka() {
    const QStringList kandydaci = naszeBiblioteki(QCoreApplication::applicationDirPath());
    for (const QString& plik : kandydaci)
        if (QFileInfo(plik).isFile()) return plik;
    return kandydaci.front();
}

bool TT3DLL::znajdzProgram() {
    folderProgramu_.clear();
    folderBaz_.clear();
    for (const char* k : kKluczeProgramu) {
        const QString klucz = QString::fromUtf8(k);
        for (const QString& widok : {Widok32(klucz), klucz}) {
            const std::optional<QString> folder =
                registry_.readString(platform::Hive::LocalMachine, widok, QStringLiteral("Program"));
            if (!folder) continue;
            // The first key that exists decides; an empty value is no program.
            if (folder->trimmed().isEmpty()) return false;
            folderProgramu_ = paths_.toUnix(*folder);
            if (folderProgramu_.isEmpty()) return false;
            const std::optional<QString> bazy = registry_.readString(
                platform::Hive::CurrentUser, QStringLiteral("Software\\Nordvale\\Tessar\\Opcje Programu"),
                QStringLiteral("Sciezka baz cen"));
            // Without the key, or with an empty value, the price bases are in
            // the program's folder.
            folderBaz_ = bazy && !bazy->trimmed().isEmpty() ? paths_.toUnix(*bazy) : QString();
            if (folderBaz_.isEmpty()) folderBaz_ = folderProgramu_;
            return true;
        }
    }
    return false;
}

bool TT3DLL::Open() {
    blad_.clear();
    if (!znajdzProgram()) {
        blad_ = QString::fromUtf8(kNieZnaleziono);
        return false;
    }
    // The program's own library when this platform can load it, else ours.
    const QString wlasna = folderProgramu_ + QStringLiteral("/daravivo3.dll");
    bool zaladowana = false;
    QStringList kandydaci{wlasna};
    kandydaci += naszeBiblioteki(QCoreApplication::applicationDirPath());
    if (!bibliotekaTestowa.isEmpty()) kandydaci = QStringList{bibliotekaTestowa};
    for (const QString& plik : kandydaci) {
        if (!QFileInfo(plik).isFile()) continue;
        lib_.setFileName(plik);
        if (lib_.load()) {
            zaladowana = true;
            break;
        }
    }
    bool komplet = zaladowana;
    auto znajdz = [&](auto& wskaznik, const char* nazwa) {
        wskaznik = reinterpret_cast<std::remove_reference_t<decltype(wskaznik)>>(lib_.resolve(nazwa));
        if (!wskaznik) komplet = false;
    };
    if (zaladowana) {
        znajdz(f_->getDbDllVer, "GetDbDllVer");
        znajdz(f_->initDbDll, "InitDbDLL");
        znajdz(f_->checkTableExists, "DbCheckTableExists");
        znajdz(f_->deleteTable, "DbDeleteTable");
        znajdz(f_->usunCennik, "DbUsunCennik");
        znajdz(f_->createTable, "DbCenyCreateTable");
        znajdz(f_->wstawCennik, "DbWstawCennik");
        znajdz(f_->openTable, "DbCenyOpenTable");
        znajdz(f_->wstawRms, "DbCenyWstawRMS");
        znajdz(f_->closeTable, "DbCenyCloseTable");
        znajdz(f_->kmbOpen, "DbCnvEtoKmbOpenTable");
        znajdz(f_->kmbFind, "DbCnvEtoKmbFind");
        znajdz(f_->kmbClose, "DbCnvEtoKmbCloseTable");
        znajdz(f_->prodAppend, "DbProdAppendToTable");
        znajdz(f_->getError, "GetDbDllError");
        // Never called, but a library without them is not the right one.
        for (const char* n : {"DbWstawCennikEx", "DbCenyModyfRMS", "DbCenySzukajRMS", "DbUsunCennikEx"})
            if (!lib_.resolve(n)) komplet = false;
    }
    if (!komplet) {
        Close();
        blad_ = QString::fromUtf8(kBrakFunkcji);
        return false;
    }
    const std::int32_t wersja = f_->getDbDllVer(nullptr);
    if (wersja < 3120) {
        blad_ = QStringLiteral("Zła wersja biblioteki daravivo3.dll:") + QString::number(wersja);
        Close();
        return false;
    }
    void* uchwyt = okno_ ? reinterpret_cast<void*>(okno_->winId()) : nullptr;
    if ((f_->initDbDll(uchwyt, wersja) & 0xFF) != 0) {
        blad_ = QStringLiteral("Błąd inicjalizacji biblioteki daravivo3.dll");
        Close();
        return false;
    }
    waluty_->Load(folderProgramu_);
    return true;
}

void TT3DLL::ShowError() {
    platform::dialogs().message(okno_, edition::TytulKomunikatu(), blad_, platform::MessageIcon::Error);
}

void TT3DLL::Close() {
    if (lib_.isLoaded()) lib_.unload();
    *f_ = Funkcje{};
}

bool TT3DLL::sprawdz(std::int32_t wynik) {
    if ((wynik & 0xFF) == 0) return true;
    std::array<char, 256> bufor{};
    std::int32_t nieuzywane = 0;
    f_->getError(bufor.data(), 255, &nieuzywane);
    bufor.back() = '\0';
    platform::dialogs().message(okno_, edition::TytulKomunikatu(),
                                QStringLiteral("Błąd bazy danych.\r\n") +
                                    QString::fromStdString(cp1250::toUtf8(std::string(bufor.data()))),
                                platform::MessageIcon::Warning);
    return false;
}

WynikWstawiania TT3DLL::InsertPriceList(const WstawianieCennika& k) {
    wstawione_ = 0;
    if (!f_->wstawRms) return WynikWstawiania::BladTabeli;
    const std::string kw = k.edycja.toStdString(), rok = k.rok.toStdString();
    t3::CennikRec naglowek;
    naglowek.plik = "Kmx" + kw + "_" + rok + ".dbf";
    naglowek.typ = "E";
    naglowek.jeden = 1;
    naglowek.opis = "Kalmarex wyd." + kw + "/" + rok;
    naglowek.poziom = "wyd. " + kw + "/" + rok;
    naglowek.waluta = "PLN";

    const QByteArray folder = sciezka(folderBaz_);
    std::array<char, t3::kCennikRecSize> rekord{};
    while (true) {
        if (!okno_cennika_->pokaz(naglowek)) return WynikWstawiania::Anulowano;
        if (okno_) okno_->repaint();
        t3::Zapisz(naglowek, rekord.data());
        std::int16_t istnieje = 0;
        std::int32_t nieuzywane = 0;
        if ((f_->checkTableExists(&istnieje, &nieuzywane, folder.constData(), rekord.data()) & 0xFF) == 0 &&
            istnieje != 0) {
            const platform::Answer odp = platform::dialogs().message(
                okno_, edition::TytulKomunikatu(),
                QStringLiteral("Podany cennik już istnieje. Czy chcesz go zastąpić nowymi danymi?"),
                platform::MessageIcon::Question, platform::Buttons::YesNoDefaultNo);
            if (odp != platform::Answer::Yes) continue;  // another name
            f_->deleteTable(folder.constData(), rekord.data());
            f_->usunCennik(folder.constData(), "cenniki.dbf", rekord.data());
        }
        break;
    }
    std::int32_t tabela = 0;
    const bool gotowa = sprawdz(f_->createTable(folder.constData(), rekord.data(), 'E')) &&
                        sprawdz(f_->wstawCennik(folder.constData(), "cenniki.dbf", rekord.data())) &&
                        sprawdz(f_->openTable(&tabela, folder.constData(), rekord.data(), 'E'));
    if (gotowa) wstawWiersze(k, rekord.data(), tabela);
    f_->closeTable(tabela);
    return gotowa ? WynikWstawiania::Wstawiono : WynikWstawiania::BladTabeli;
}

void TT3DLL::wstawWiersze(const WstawianieCennika& k, const char* naglowek, std::int32_t tabela) {
    if (!k.lista) return;
    data::DataSet& lista = *k.lista;
    const QByteArray folder = sciezka(folderBaz_);
    const QString walutaCennika = QString::fromStdString(cp1250::toUtf8(t3::CzytajCennik(naglowek).waluta));
    std::int32_t kontekst = 0;
    f_->kmbOpen(folder.constData(), &kontekst);

    // Producers in the order met, each once by its upper-case code.
    std::vector<t3::ProdRec> producenci;
    QHash<QByteArray, bool> znani;

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    {
        // The list's handlers are off and its controls still for the walk;
        // on the way out it is back on its first row and followed again.
        exportrows::ListPause pauza(lista);
        const bool zDostawcy = k.rodzajListy == exportrows::ListKind::SupplierGoods && k.dostawcy;
        const PolaTowaru towar(lista);
        const PolaProducenta producent(zDostawcy ? *k.dostawcy : lista);
        app::CzekajGuard czekaj(QStringLiteral("Wstawianie pozycji do Tessara 3"), true);
        app::UstawZakres(0, lista.recordCount());
        std::array<char, t3::kRmsRecSize> rms{};
        std::array<char, t3::kProdRecSize> prod{};
        for (lista.first(); !lista.eof(); lista.next()) {
            const t3::ProdRec p = producent.czytaj(zDostawcy ? *k.dostawcy : lista);
            t3::RmsRec r = towar.czytaj(lista);
            const QString walutaTowaru = QString::fromStdString(cp1250::toUtf8(tekst(lista, towar.waluta)));
            if (waluty_->Przelicz(r.cenaProducenta, r.cenaHurtowa, r.cenaDetaliczna, walutaCennika,
                                  walutaTowaru) == WynikKursu::Przerwij)
                break;
            t3::ZapiszRms(r, rms.data());
            std::int32_t wynik = f_->wstawRms(tabela, rms.data());
            if ((wynik & 0xFF) == 0) ++wstawione_;
            const QByteArray kod = QByteArray::fromStdString(cp1250::upper(trimSpaces(p.kod)));
            if (!kod.isEmpty() && !znani.contains(kod)) {
                znani.insert(kod, true);
                producenci.push_back(p);
            }
            // A KMB counterpart of the ETO index: the row goes in a second time
            // under it.
            std::array<char, 9> a{}, b{};
            t3::PoleTekstu(a.data(), 8, r.kod);
            t3::PoleTekstu(b.data(), 8, r.kod);
            if ((f_->kmbFind(a.data(), b.data(), rms.data() + 8, 1, &kontekst) & 0xFF) == 0) {
                a.back() = '\0';
                r.kod = std::string(a.data());
                r.rodzajIndeksu = "1";
                t3::ZapiszRms(r, rms.data());
                wynik = f_->wstawRms(tabela, rms.data());
                if ((wynik & 0xFF) == 0) ++wstawione_;
            }
            // A row the library refused ends the insertion, quietly.
            if ((wynik & 0xFF) != 0) break;
            app::KrokPostepu();
            QCoreApplication::processEvents();
            if (app::Przerwano()) break;
        }
        for (const t3::ProdRec& p : producenci) {
            t3::ZapiszProd(p, prod.data());
            f_->prodAppend(prod.data(), folder.constData(), "producen.dbf");
        }
    }
    f_->kmbClose(&kontekst);
    QGuiApplication::restoreOverrideCursor();
    // A list read on demand that failed part way was not inserted whole.
    if (!lista.loadError().empty()) {
        platform::dialogs().message(okno_, TytulProgramu(),
                                    QStringLiteral("Odczyt listy towarów nie powiódł się: ") +
                                        QString::fromStdString(lista.loadError()),
                                    platform::MessageIcon::Error);
        return;
    }
    platform::dialogs().message(okno_, TytulProgramu(), QStringLiteral("Operacja zakończona"),
                                platform::MessageIcon::None);
}

}  // namespace kmx::tessar
