#pragma once
// The maker's cost-estimating programs that can take a price list: which of
// the four editions are installed (the registry of the Wine prefix they run
// in), where their executables are, and from the executable's file version
// whether an edition imports price lists by itself and in which format.

#include <QString>
#include <optional>

#include "core/pe_version.h"
#include "platform/wine.h"

namespace kmx::platform {
class Registry;
}

namespace kmx::tessar {

// Editions by number: 1 version 3, 2 Standard, 3 Pro, 4 Expert.
inline constexpr int kWydan = 4;

struct OpisWydania {
    const char* nazwa;  // "Tessar Pro"
    const char* klucz;  // "Software\\Nordvale\\Tessar Pro\\" under HKEY_LOCAL_MACHINE
    const char* plik;   // "tessar4.exe"
};
// 1 to 4; anything else gives edition 1's description.
const OpisWydania& Wydanie(int numer);

// The programs are 32-bit: in a 64-bit prefix their machine keys live under
// "Software\Wow6432Node\...". The key seen that way.
QString Widok32(const QString& klucz);

// The caption of the plain message boxes: the program's own title.
QString TytulProgramu();

// The thresholds: automatic import from, format 2.1 from (editions 2 to 4).
std::optional<TFileVersion> ProgAutoImportu(int numer);
std::optional<TFileVersion> ProgFormatu21(int numer);

class Tessary {
public:
    Tessary(platform::Registry& registry, platform::WinePaths paths);

    // The executable's Windows path from the key's "Program" value (the
    // 32-bit view of a 64-bit prefix first), empty when unknown.
    QString SciezkaProgramu(int numer) const;
    // The key the path was read under, empty when none.
    QString KluczProgramu(int numer) const;
    // The executable's path in the Unix file system, empty when it cannot be
    // found there.
    QString SciezkaUnix(int numer) const;
    // The executable exists.
    bool Zainstalowany(int numer) const;
    // Bit n set for installed edition n (bit 0 never).
    int Zainstalowane() const;
    // The executable's file version; nullopt without one.
    std::optional<TFileVersion> WersjaPliku(int numer) const;
    // Version 3 never; the others from their threshold on.
    bool ObslugujeAutoImport(int numer) const;
    // 1 (1.0), 2 (2.0) or 3 (2.1); 0 without an executable or a version.
    int WersjaFormatu(int numer) const;

    const platform::WinePaths& sciezki() const { return paths_; }

private:
    platform::Registry& registry_;
    platform::WinePaths paths_;
};

}  // namespace kmx::tessar
