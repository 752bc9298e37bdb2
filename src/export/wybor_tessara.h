#pragma once
// The choice of the cost-estimating program when several editions are
// installed: one radio button per edition, only the installed ones enabled,
// none selected at first.

#include <QDialog>
#include <functional>
#include <memory>

class QRadioButton;

namespace Ui {
class TFWyborTessara;
}

namespace kmx::tessar {

class Tessary;

class TFWyborTessara : public QDialog {
    Q_OBJECT

public:
    explicit TFWyborTessara(QWidget* parent = nullptr);
    ~TFWyborTessara() override;

    // Enables the buttons of the installed set (bit n for edition n),
    // selects none, shows the dialog modally. The chosen edition, or 0 when
    // cancelled. With testHook set, the hook gets the prepared dialog instead
    // of a modal loop.
    int wybierz(int zainstalowane);
    static inline std::function<void(TFWyborTessara&)> testHook;

    // Edition n's button (1 to 4).
    QRadioButton* przycisk(int numer) const;
    // "OK": with no edition selected says "Wybierz program" and stays open.
    void ok();

private:
    std::unique_ptr<Ui::TFWyborTessara> ui_;
    int wybrany_ = 0;
};

// Which edition to serve: none installed 0, one installed that one without
// a dialog, else the user's choice in the dialog (0 when cancelled).
int Wybor(const Tessary& tessary, TFWyborTessara& okno);

}  // namespace kmx::tessar
