#pragma once
// The supplier list report: a ruled table of every found supplier, in the
// list's order. It walks the found suppliers' cursor and leaves it where the
// walk ends.

#include "reports/report_common.h"

namespace kmx::reports {

class TRapDostLiDost : public Raport {
public:
    TRapDostLiDost();
    void przedWydrukiem(ZrodloRaportow& zrodlo, int drukarka) override;
    QString tytul() const override { return tytul_; }

protected:
    RowSource* wiersze() override { return &wiersze_; }

private:
    data::DataSet* set_ = nullptr;
    WierszeZbioru wiersze_;
};

}  // namespace kmx::reports
