#include "export/waluty.h"

#include <QDir>
#include <QFile>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <string>
#include <utility>

#include "app/wait_window.h"
#include "core/cp1250.h"
#include "core/ini_file.h"
#include "export/form_waluta.h"
#include "platform/dialogs.h"
#include "platform/registry.h"
#include "editions/edition.h"

namespace kmx::tessar {

namespace {

const char* const kSekcja = "Kursy walut";
const char* const kKluczBazowej = "Waluta bazowa";
const QString kKlucz = QStringLiteral("Software\\Nordvale\\Tabele parametrów\\");
const QString kKlucz32 = QStringLiteral("Software\\Wow6432Node\\Nordvale\\Tabele parametrów\\");
const QString kWartosc = QStringLiteral("ścieżka tabel");
const QString kNazwaPliku = QStringLiteral("nvres.ini");

std::string doPliku(const QString& text) {
    return cp1250::fromUtf8(text.toStdString());
}

QString zPliku(const std::string& bytes) {
    return QString::fromStdString(cp1250::toUtf8(bytes));
}

std::filesystem::path sciezka(const QString& unixPath) {
    return std::filesystem::path(QFile::encodeName(unixPath).toStdString());
}

QString kodWaluty(const QString& kod) {
    return kod.trimmed().toUpper();
}

// The file in `folder`, found whatever its letter case as the Windows
// programs may have written it.
QString plikWFolderze(const QString& folder) {
    const QDir dir(folder);
    const QStringList nazwy = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& n : nazwy)
        if (n.compare(kNazwaPliku, Qt::CaseInsensitive) == 0) return dir.filePath(n);
    return dir.filePath(kNazwaPliku);
}

}  // namespace

std::optional<double> LiczbaZKropka(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    double value = 0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

TWaluty::TWaluty(platform::Registry& registry, platform::WinePaths paths, QWidget* okno)
    : registry_(registry), paths_(std::move(paths)), okno_(okno) {}

QString TWaluty::folderTabel(const QString& folderDomyslny) {
    for (const QString& klucz : {kKlucz32, kKlucz}) {
        const std::optional<QString> windows =
            registry_.readString(platform::Hive::LocalMachine, klucz, kWartosc);
        if (!windows || windows->trimmed().isEmpty()) continue;
        const QString unix = paths_.toUnix(windows->trimmed());
        if (!unix.isEmpty()) return unix;
    }
    return folderDomyslny;
}

bool TWaluty::Load(const QString& folderDomyslny) {
    blad_.clear();
    niezapisane_.clear();
    plik_ = plikWFolderze(folderTabel(folderDomyslny));

    IniFile ini;
    std::string error;
    if (!ini.load(sciezka(plik_), error)) blad_ = QString::fromStdString(error);
    const QString wartosc = zPliku(ini.value(kSekcja, kKluczBazowej).value_or(std::string()));
    if (wartosc.isEmpty()) {
        bazowa_ = QStringLiteral("PLN");
        // Only into a file that was read: one that could not be is left alone.
        if (blad_.isEmpty()) zapisz(QString::fromLatin1(kKluczBazowej), QStringLiteral("PLN,zł"));
    } else {
        const qsizetype przecinek = wartosc.indexOf(QLatin1Char(','));
        bazowa_ = (przecinek >= 0 ? wartosc.left(przecinek) : wartosc).trimmed();
        if (bazowa_.isEmpty()) bazowa_ = QStringLiteral("PLN");
    }
    return true;
}

std::optional<double> TWaluty::Kurs(const QString& kod) const {
    const QString k = kodWaluty(kod);
    if (k.isEmpty() || plik_.isEmpty()) return std::nullopt;
    if (k == kodWaluty(bazowa_)) return 1.0;
    IniFile ini;
    std::string error;
    if (ini.load(sciezka(plik_), error)) {
        const std::string wartosc = ini.value(kSekcja, doPliku(k)).value_or(std::string());
        const std::size_t przecinek = wartosc.find(',');
        if (przecinek != std::string::npos) {
            if (const std::optional<double> kurs =
                    LiczbaZKropka(std::string_view(wartosc).substr(0, przecinek)))
                return kurs;
        }
    }
    const auto zapamietany = niezapisane_.constFind(k);
    if (zapamietany != niezapisane_.constEnd()) return *zapamietany;
    return std::nullopt;
}

bool TWaluty::zapisz(const QString& klucz, const QString& wartosc) {
    IniFile ini;
    std::string error;
    // A file that cannot be read is never overwritten.
    bool ok = ini.load(sciezka(plik_), error) && ini.set(kSekcja, doPliku(klucz), doPliku(wartosc)) &&
              ini.save(sciezka(plik_), error);
    if (!ok)
        blad_ = error.empty() ? QStringLiteral("Nie można zapisać pliku %1").arg(plik_)
                              : QString::fromStdString(error);
    return ok;
}

WynikKursu TWaluty::ZapytajOKurs(const QString& kod, double& kurs) {
    app::UkryjCzekaj();
    TFWaluta okno(okno_);
    QString kodWpisany, opis, tekstKursu;
    const WynikKursu wynik = okno.pokaz(bazowa_, kod, kodWpisany, opis, tekstKursu);
    if (wynik == WynikKursu::Ok) {
        kurs = LiczbaZKropka(tekstKursu.toStdString()).value_or(1.0);
        const QString klucz = kodWpisany.trimmed();
        // A line edit holds one line, but a pasted description must not break the file.
        opis.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (!klucz.isEmpty() && !zapisz(klucz, tekstKursu + QLatin1Char(',') + opis)) {
            niezapisane_.insert(kodWaluty(klucz), kurs);
            platform::dialogs().message(okno_, edition::TytulKomunikatu(),
                                        QStringLiteral("Nie można zapisać kursu waluty %1 w pliku %2.\n%3")
                                            .arg(klucz, QDir::toNativeSeparators(plik_), blad_),
                                        platform::MessageIcon::Warning);
        }
    }
    app::PrzywrocCzekaj();
    return wynik;
}

WynikKursu TWaluty::Przelicz(float& cenaProducenta, float& cenaHurtowa, float& cenaDetaliczna,
                             const QString& walutaCennika, const QString& walutaTowaru) {
    const QString a = kodWaluty(walutaCennika);
    const QString b = kodWaluty(walutaTowaru);
    const QString bazowa = kodWaluty(bazowa_);
    double kursA = 1.0;
    double kursB = 1.0;
    WynikKursu wynik = WynikKursu::Ok;
    if (a == b) return wynik;
    if (a != bazowa) {
        if (const std::optional<double> k = Kurs(a))
            kursA = *k;
        else
            wynik = ZapytajOKurs(a, kursA);
    }
    if (b != bazowa) {
        if (const std::optional<double> k = Kurs(b))
            kursB = *k;
        else
            wynik = ZapytajOKurs(b, kursB);
    }
    if (kursA == 0) kursA = 1.0;
    const long double czynnik = static_cast<long double>(kursB);
    const long double dzielnik = static_cast<long double>(kursA);
    for (float* cena : {&cenaProducenta, &cenaHurtowa, &cenaDetaliczna})
        *cena = static_cast<float>(static_cast<long double>(*cena) * czynnik / dzielnik);
    return wynik;
}

}  // namespace kmx::tessar
