#pragma once
// "Dodaj Walutę": the rate of a currency nvres.ini does not know yet, asked
// while a price list is written. The rate is one unit's value in the base
// currency shown beside it, typed with "," or "." and kept with four decimals.

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

#include "export/waluty.h"

namespace Ui {
class TFWaluta;
}

namespace kmx::tessar {

class TFWaluta : public QDialog {
    Q_OBJECT

public:
    explicit TFWaluta(QWidget* parent = nullptr);
    ~TFWaluta() override;

    // Shows the dialog modally with `bazowa` beside the rate, `kod` preset
    // and the rate and description empty. On Ok `kodWpisany`, `opis` and
    // `kurs` (the rate as "4.1000") are set; Anuluj and Przerwij leave them.
    // With testHook set, the hook gets the prepared dialog instead of a
    // modal loop.
    WynikKursu pokaz(const QString& bazowa, const QString& kod, QString& kodWpisany, QString& opis,
                     QString& kurs);
    static inline std::function<void(TFWaluta&)> testHook;

    // "OK": the rate with "," made "." is rewritten with four decimals; a
    // text that is no number says "Wprowadź liczbę" and the dialog stays open.
    void ok();

private:
    std::unique_ptr<Ui::TFWaluta> ui_;
};

}  // namespace kmx::tessar
