#pragma once
// "Eksport do programu" for the editions that import by themselves
// (Standard, Pro, Expert): the list on screen written as one price list with
// its descriptor, and the chosen program started under Wine with both.

#include <QString>

#include "export/export_rows.h"

class QWidget;

namespace kmx::tessar {

class Tessary;

struct ImportDoProgramu {
    QWidget* okno = nullptr;  // parent of the messages
    data::DataSet* lista = nullptr;
    exportrows::ListKind rodzajListy = exportrows::ListKind::Goods;
    const data::DataSet* dostawcy = nullptr;  // SupplierGoods: its current row is the supplier
    QString rodzaje;                          // "M", "S", "MS" or empty: the two check boxes
    bool cenySrednie = false;
    QString rok, edycja;  // of the catalogue, for the descriptor
    QString folder;       // where the files go; empty: folderImportu()
    QString prefiks;      // the Wine prefix the program was found in
};

enum class WynikImportu {
    Uruchomiono,  // the program was started with the files
    ZaStary,      // the edition does not import by itself: the user was told
    Blad,         // the price list could not be written: the user was told
    BrakWine,     // wine could not be started: the user was told
    Przerwano,    // cancelled in the wait window: nothing started
};

// The files stay for the program to read, so they are kept in a folder of
// the user's own (mode 0700), overwritten by the next run:
// ~/.cache/kalmarex/import (XDG_CACHE_HOME when set).
QString folderImportu();

// The kind string of the check boxes "materiały" and "sprzęt".
QString RodzajeZPol(bool materialy, bool sprzet);

// The arguments the program gets: "/kmf=" and the price list's Windows path,
// then, with a descriptor, "/kmdf=" and its. See the .cpp for why each switch
// is one argument without quotes.
QStringList ArgumentyImportu(const QString& cennikWindows, const QString& opisWindows);

// Runs the import into edition `numer` (2 to 4).
WynikImportu EksportDoProgramu(const ImportDoProgramu& k, const Tessary& tessary, int numer);

}  // namespace kmx::tessar
