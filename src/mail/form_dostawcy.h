#pragma once
// The supplier picker: the suppliers of the goods found by the last goods
// search, one of which gets the price enquiry. Created once and reused; it
// runs its own statement on the data module's connection.

#include <QDialog>
#include <functional>
#include <memory>

#include "core/criteria.h"
#include "data/dataset.h"

namespace Ui {
class TFDostawcy;
}

namespace kmx::data {
class TDM;
}

namespace kmx::mail {

class TFDostawcy : public QDialog {
    Q_OBJECT

public:
    explicit TFDostawcy(data::TDM& tdm, QWidget* parent = nullptr);
    ~TFDostawcy() override;

    // Runs the statement of the distinct suppliers of the goods the criteria
    // find, by name, and fills the list. False when it failed; the engine's
    // message has been shown then and the picker must not open.
    bool otworz(const TsTowar& kryteria);

    // Shows the picker modally; with testHook set, without a modal loop as
    // TFMail does.
    int pokaz();
    static inline std::function<void(TFDostawcy&)> testHook;

    // " &Wyślij zapytanie": set by the owner, composes the enquiry for the
    // selected supplier while the picker stays open.
    std::function<void()> wyslijZapytanie;

    // The suppliers; the cursor is on the selected one.
    data::DataSet& lista() { return lista_; }
    // Selects a row of the list (0-based), as a click does.
    void wybierz(int row);

private:
    void pokazDane();

    std::unique_ptr<Ui::TFDostawcy> ui_;
    data::DataSet lista_;
};

}  // namespace kmx::mail
