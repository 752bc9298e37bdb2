#include "export/tessar.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <array>

#include "platform/registry.h"

namespace kmx::tessar {

namespace {

const std::array<OpisWydania, kWydan> kOpisy{{
    {"Tessar 3", "Software\\Nordvale\\Tessar 3\\", "tessar3.exe"},
    {"Tessar Standard", "Software\\Nordvale\\Tessar Standard\\", "tessar4std.exe"},
    {"Tessar Pro", "Software\\Nordvale\\Tessar Pro\\", "tessar4.exe"},
    {"Tessar Expert", "Software\\Nordvale\\Tessar Expert\\", "tsx.exe"},
}};

bool poprawny(int numer) {
    return numer >= 1 && numer <= kWydan;
}

TFileVersion wersja(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    TFileVersion v;
    v.major = a;
    v.minor = b;
    v.release = c;
    v.build = d;
    return v;
}

}  // namespace

QString Widok32(const QString& klucz) {
    QString k = klucz;
    if (k.startsWith(QLatin1String("Software\\"), Qt::CaseInsensitive))
        k.insert(9, QStringLiteral("Wow6432Node\\"));
    return k;
}

QString TytulProgramu() {
    const QString t = QGuiApplication::applicationDisplayName();
    return t.isEmpty() ? QStringLiteral("Kalmarex") : t;
}

const OpisWydania& Wydanie(int numer) {
    return kOpisy[static_cast<std::size_t>(poprawny(numer) ? numer - 1 : 0)];
}

std::optional<TFileVersion> ProgAutoImportu(int numer) {
    if (numer == 2 || numer == 3) return wersja(4, 0, 32, 0);
    if (numer == 4) return wersja(5, 1, 400, 0);
    return std::nullopt;
}

std::optional<TFileVersion> ProgFormatu21(int numer) {
    if (numer == 2 || numer == 3) return wersja(4, 0, 36, 0);
    if (numer == 4) return wersja(5, 2, 400, 0);
    return std::nullopt;
}

Tessary::Tessary(platform::Registry& registry, platform::WinePaths paths)
    : registry_(registry), paths_(std::move(paths)) {}

QString Tessary::KluczProgramu(int numer) const {
    if (!poprawny(numer)) return {};
    const QString klucz = QString::fromLatin1(Wydanie(numer).klucz);
    for (const QString& k : {Widok32(klucz), klucz}) {
        const std::optional<QString> folder =
            registry_.readString(platform::Hive::LocalMachine, k, QStringLiteral("Program"));
        if (folder && !folder->isEmpty()) return k;
    }
    return {};
}

QString Tessary::SciezkaProgramu(int numer) const {
    const QString klucz = KluczProgramu(numer);
    if (klucz.isEmpty()) return {};
    const std::optional<QString> folder =
        registry_.readString(platform::Hive::LocalMachine, klucz, QStringLiteral("Program"));
    if (!folder || folder->isEmpty()) return {};
    QString sciezka = *folder;
    if (!sciezka.endsWith(QLatin1Char('\\'))) sciezka += QLatin1Char('\\');
    return sciezka + QString::fromLatin1(Wydanie(numer).plik);
}

QString Tessary::SciezkaUnix(int numer) const {
    const QString windows = SciezkaProgramu(numer);
    return windows.isEmpty() ? QString() : paths_.toUnix(windows);
}

bool Tessary::Zainstalowany(int numer) const {
    const QString plik = SciezkaUnix(numer);
    return !plik.isEmpty() && QFileInfo(plik).isFile();
}

int Tessary::Zainstalowane() const {
    int zbior = 0;
    for (int n = 1; n <= kWydan; ++n)
        if (Zainstalowany(n)) zbior |= 1 << n;
    return zbior;
}

std::optional<TFileVersion> Tessary::WersjaPliku(int numer) const {
    if (!Zainstalowany(numer)) return std::nullopt;
    return ReadFileVersionFile(QFileInfo(SciezkaUnix(numer)).filesystemFilePath());
}

bool Tessary::ObslugujeAutoImport(int numer) const {
    const std::optional<TFileVersion> prog = ProgAutoImportu(numer);
    if (!prog) return false;
    const std::optional<TFileVersion> v = WersjaPliku(numer);
    return v && v->atLeast(*prog);
}

int Tessary::WersjaFormatu(int numer) const {
    if (numer == 1) return 1;
    const std::optional<TFileVersion> prog = ProgFormatu21(numer);
    if (!prog) return 0;
    const std::optional<TFileVersion> v = WersjaPliku(numer);
    if (!v) return 0;
    return v->atLeast(*prog) ? 3 : 2;
}

}  // namespace kmx::tessar
