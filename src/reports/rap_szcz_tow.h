#pragma once
// The goods detail report: a one-item card of labelled, boxed rows for the
// current goods row of the page on screen; rows without a value are left out.
// The edition gives its texts, and the average prices' shortened card has no
// PKWiU, original producer, weight and packing rows.

#include "reports/report_common.h"

namespace kmx::reports {

class TRapSzczTow : public Raport {
public:
    TRapSzczTow();
    void przedWydrukiem(ZrodloRaportow& zrodlo, int drukarka) override;
    QString tytul() const override { return tytul_; }

private:
    // The rule "the stored value, mode 2, trimmed, is not empty".
    std::function<bool(const FillContext&)> niePuste(const char* field);
    // The field's display text in the current row.
    std::function<QString()> wartoscPola(const char* field);
    void dodajPakowanie();

    ZrodloRaportow* zrodlo_ = nullptr;
    data::DataSet* set_ = nullptr;
    bool naTowarach_ = false;  // the active set is the found goods
    QString tytulKarty_;
    QString orygProd_, opis_, www_;
};

}  // namespace kmx::reports
