#pragma once
// The supplier detail report: a one-supplier card of labelled, boxed rows for
// the supplier of the page on screen (the current goods row's supplier on the
// goods catalogue, the current found supplier on the supplier catalogue).

#include "reports/report_common.h"

namespace kmx::reports {

// The contact line of a person: the panel's text for that person, then
// "; tel.: " and the phone and "; e-mail: " and the address when known.
// Empty when the panel has no text for the person.
QString LiniaKontaktu(const QString& osobaZPanelu, const QString& telefon, const QString& email);

class TRapSzczDost : public Raport {
public:
    TRapSzczDost();
    void przedWydrukiem(ZrodloRaportow& zrodlo, int drukarka) override;
    QString tytul() const override { return tytul_; }

private:
    Band& pasekOsoby(const QString& name, float height, const QString& caption, QString* linia);

    ZrodloRaportow* zrodlo_ = nullptr;
    data::DataSet* set_ = nullptr;
    bool naTowarach_ = false;
    QString adres_, telefony_, www_, osobaH_, osobaT_, upusty_, opis_;
};

}  // namespace kmx::reports
