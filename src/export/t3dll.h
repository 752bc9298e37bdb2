#pragma once
// The bridge to the price-base library of the version 3 cost-estimating
// program: finds the program and its price-base folder, loads the library,
// checks it, and inserts the goods list on screen as a new price list.
//
// The program's own library is a Windows library, which a native program
// cannot load: the bridge takes "daravivo3.dll" from the program's folder
// when the platform can load it (a native build placed there), else the
// price-base library of our own: beside the program in the build folder, in
// the private library folder (lib/kalmarex) of an installed one. Everything
// after loading is the same either way.

#include <QLibrary>
#include <QString>
#include <QStringList>
#include <memory>

#include "export/export_rows.h"
#include "platform/wine.h"
#include "pricebase/pricebase.h"

class QWidget;

namespace kmx::platform {
class Registry;
}

namespace kmx::tessar {

class TWaluty;
class TFNowyCennik;

// What the insertion reads: the list on screen and, on a supplier's goods
// list, the supplier row that supplies the producer fields.
struct WstawianieCennika {
    data::DataSet* lista = nullptr;
    exportrows::ListKind rodzajListy = exportrows::ListKind::Goods;
    const data::DataSet* dostawcy = nullptr;
    QString edycja, rok;  // of the catalogue: the price list's name and texts
};

// How an insertion ended, for the caller and the tests.
enum class WynikWstawiania {
    Anulowano,   // "Anuluj" in the new price-list dialog: the price base untouched
    BladTabeli,  // creating, registering or opening the table failed: the user was told
    Wstawiono,   // "Operacja zakończona" shown (rows may have stopped early)
};

class TT3DLL {
public:
    TT3DLL(platform::Registry& registry, platform::WinePaths paths, QWidget* okno);
    ~TT3DLL();
    TT3DLL(const TT3DLL&) = delete;
    TT3DLL& operator=(const TT3DLL&) = delete;

    // Loads and checks the library and the currency rates; false with the
    // error text set.
    bool Open();
    // The error text in a message box (the edition's caption, error icon).
    void ShowError();
    WynikWstawiania InsertPriceList(const WstawianieCennika& k);
    void Close();

    const QString& bladTekst() const { return blad_; }
    // Unix paths of the program's folder and the price-base folder (after Open).
    const QString& folderProgramu() const { return folderProgramu_; }
    const QString& folderBaz() const { return folderBaz_; }
    // The library file that was loaded.
    QString plikBiblioteki() const { return lib_.fileName(); }
    TFNowyCennik& oknoCennika() { return *okno_cennika_; }

    // The rows inserted by the last insertion (both rows of a KMB pair count).
    int wstawione() const { return wstawione_; }

    // Tests: the library to load instead of the program's and ours.
    static inline QString bibliotekaTestowa;
    // Where our own library may lie for an executable in folderProgramu, in
    // the order tried: beside it, then in the installed private folder.
    static QStringList naszeBiblioteki(const QString& folderProgramu);
    // The first of those that exists for this executable (else the first).
    static QString naszaBiblioteka();

private:
    struct Funkcje;
    bool znajdzProgram();
    bool sprawdz(std::int32_t wynik);
    void wstawWiersze(const WstawianieCennika& k, const char* naglowek, std::int32_t tabela);

    platform::Registry& registry_;
    platform::WinePaths paths_;
    QWidget* okno_;
    QString folderProgramu_, folderBaz_, blad_;
    QLibrary lib_;
    std::unique_ptr<Funkcje> f_;
    std::unique_ptr<TWaluty> waluty_;
    std::unique_ptr<TFNowyCennik> okno_cennika_;
    int wstawione_ = 0;
};

}  // namespace kmx::tessar
