#pragma once
// The work-price page "Baza cen robót" (PCScalone): the catalogue of work
// prices filtered by description and KNR basis through the table query
// engine into the data module's Qscalone, and the small "Cena scalona"
// window that shows one work price.

#include <QDialog>
#include <QString>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kmx {
class TCSEngine;
}

namespace kmx::data {
class DataSet;
class TDM;
}  // namespace kmx::data

namespace kmx::app {

class ResultGrid;

// "Cena scalona": modal, read-only, on the current row of Qscalone.
class CenaScalonaDialog : public QDialog {
    Q_OBJECT

public:
    explicit CenaScalonaDialog(QWidget* parent = nullptr);
    // Fills the fields from the set's current row (empty without one).
    void wypelnij(const data::DataSet& qscalone);

private:
    QLineEdit* podstawa_ = nullptr;
    QLineEdit* wariant_ = nullptr;
    QPlainTextEdit* opis_ = nullptr;
    QLineEdit* jednOb_ = nullptr;
    QLineEdit* cena_ = nullptr;
};

class WorksPage : public QWidget {
    Q_OBJECT

public:
    WorksPage(data::TDM& tdm, TCSEngine& engine, QWidget* parent = nullptr);

    // Fills the KNR group list from QKnr: item text grupa_nazwa + " " +
    // nazwa, key grupa_identyf. On failure returns false with the engine's
    // message in *error (when given) and keeps the items added so far.
    bool WypelnijListeKNR(QString* error);

    // Runs the filter: description and basis, each matched anywhere. Returns
    // the row count, or -1 when the statement was refused (the error text is
    // shown and "Il. poz.:" keeps its text).
    int SzukajCenRobot();

    ResultGrid* grid() const { return grid_; }

    // Opens "Cena scalona" on the current row unless the last click on the
    // grid was on its title row. Returns whether it opened.
    bool otworzCeneScalona();
    // The dialog filled for the current row, without showing it.
    CenaScalonaDialog* przygotujCeneScalona();
    // How the dialog is shown; exec() unless a test replaces it.
    void setDialogRunner(std::function<void(CenaScalonaDialog&)> runner) { runDialog_ = std::move(runner); }

signals:
    void instrukcjaRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void wybranoKNR(int index);
    void wszystkie();

    data::TDM& tdm_;
    TCSEngine& engine_;
    QLineEdit* edOpis_ = nullptr;
    QComboBox* cbKNR_ = nullptr;
    QLineEdit* edKNR_ = nullptr;
    QPushButton* bSzukaj_ = nullptr;
    QPushButton* bWszystkie_ = nullptr;
    QLabel* lblIlPoz_ = nullptr;
    ResultGrid* grid_ = nullptr;
    CenaScalonaDialog* dialog_ = nullptr;
    std::function<void(CenaScalonaDialog&)> runDialog_;
};

}  // namespace kmx::app
