#pragma once
// The goods detail report: a one-item card of labelled, boxed rows for the
// current goods row of the page on screen; rows without a value are left out.

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

    ZrodloRaportow* zrodlo_ = nullptr;
    data::DataSet* set_ = nullptr;
    bool naTowarach_ = false;  // the active set is the found goods
    QString orygProd_, opis_, www_;
};

}  // namespace kmx::reports
