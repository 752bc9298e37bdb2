#pragma once
// The new price-list dialog of the version 3 export: the name, price level,
// currency and description of the price list about to be made.

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

#include "core/t3_records.h"

namespace Ui {
class TFNowyCennik;
}

namespace kmx::tessar {

// The table file name the user typed made a file name: cut before its first
// "." and ".dbf" appended ("Cennik.abc.txt" gives "Cennik.dbf").
QString NazwaTabeli(const QString& wpisana);

class TFNowyCennik : public QDialog {
    Q_OBJECT

public:
    explicit TFNowyCennik(QWidget* parent = nullptr);
    ~TFNowyCennik() override;

    // Fills the fields from the header, shows the dialog modally and on OK
    // stores the name, price level, description and currency back (each cut
    // to its field when the record is written). False on "Anuluj". With
    // testHook set, the hook gets the filled dialog instead of a modal loop.
    bool pokaz(t3::CennikRec& naglowek);
    static inline std::function<void(TFNowyCennik&)> testHook;

private:
    std::unique_ptr<Ui::TFNowyCennik> ui_;
};

}  // namespace kmx::tessar
