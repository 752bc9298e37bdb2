#pragma once
// The goods list report: a ruled table with one line per row of the goods
// list on screen (found goods, or one supplier's goods), in the list's order.
// While it runs the list's cursor walks the rows with the window's
// data-aware controls suspended; afterwards the list is back on its row.
// The edition gives its texts; on the average prices the supplier column
// holds the found item's source line (the data module's Zrodlo).

#include <vector>

#include "data/dataset.h"
#include "reports/report_common.h"

namespace kmx::reports {

class TRapTowLiTow : public Raport {
public:
    TRapTowLiTow();
    void przedWydrukiem(ZrodloRaportow& zrodlo, int drukarka) override;
    void poWydruku() override;
    QString tytul() const override { return tytul_; }
    // Outputs under way that hold the list (a preview stays open while the
    // next output starts; each restores its own row, the last begun first).
    int trzymaneListy() const { return static_cast<int>(przebiegi_.size()); }

protected:
    RowSource* wiersze() override { return &wiersze_; }

private:
    struct Pola {
        int nazwa = -1, caseNazwa = -1, dostawca = -1, caseDostawcy = -1, eto = -1, jm = -1, cena = -1,
            waluta = -1, zrodlo = -1;
    };
    QString nazwa(int field, int caseField) const;

    QString tytulListy_;
    bool zrodloWLiscie_ = false;
    data::DataSet* set_ = nullptr;
    WierszeZbioru wiersze_;
    Pola p_;
    struct Przebieg {
        data::DataSet* set = nullptr;
        data::DataSet::Bookmark zakladka;
        bool maZakladke = false;
        bool wstrzymany = false;
    };
    std::vector<Przebieg> przebiegi_;
};

}  // namespace kmx::reports
