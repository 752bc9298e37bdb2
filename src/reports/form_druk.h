#pragma once
// The print-set dialog: the printer to print on, its set-up, and the choice
// between printing and the preview. The owner creates it once and shows it
// for every report; each showing reads the installed printers again.

#include <QDialog>
#include <functional>
#include <memory>

class QShowEvent;

namespace Ui {
class TFrmDruk;
}

namespace kmx::reports {

class TFrmDruk : public QDialog {
    Q_OBJECT

public:
    explicit TFrmDruk(QWidget* parent = nullptr);
    ~TFrmDruk() override;

    // Set by the owner: prints (0) or previews (1) the report.
    std::function<void(int mode)> drukZestaw;

    // Shows the dialog modally. With testHook set it prepares the dialog as
    // on showing, shows it without a modal loop, hands it to the hook (which
    // clicks its buttons) and closes it if the hook left it open.
    int pokaz();
    static inline std::function<void(TFrmDruk&)> testHook;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void przygotuj();
    void wypelnijListe();
    void wybranoDrukarke(int index);
    void pokazNazwe();
    void ustawienia();
    void drukuj();
    void podglad();
    void wysrodkuj();

    std::unique_ptr<Ui::TFrmDruk> ui_;
};

}  // namespace kmx::reports
