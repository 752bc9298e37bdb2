#pragma once
// The paging bar of the result lists: a sunken bar with the four page
// buttons and the page step field, and beside it the three counters
// "Il. stron:", "Nr strony:" and "Ilość pozycji:". One bar serves every list;
// the main window moves it into the header of the list on screen.
//
// The rules (turning pages, the step field, which buttons are enabled) are
// plain methods; the button handlers call them on the target that setCel()
// supplies and then emit the button's signal.

#include <QFrame>
#include <QPointer>
#include <QString>
#include <functional>

class QComboBox;
class QLabel;
class QToolButton;

namespace kmx::data {
class DataSet;
}

namespace kmx::app {

class PagingBar : public QFrame {
    Q_OBJECT

public:
    // What the page buttons act on: the active result set and the lines per
    // page of the grid on screen.
    struct Cel {
        data::DataSet* set = nullptr;
        int linesPerPage = 0;
    };

    // The counters are created beside the bar, in the same parent.
    explicit PagingBar(QWidget* parent = nullptr);
    ~PagingBar() override;

    // PrzeniesPasekStron: puts the bar and the counters into a list's header
    // group: the bar and "Il. stron:" at top 10, "Nr strony:" 20 below the
    // bar's top, "Ilość pozycji:" at top 30; in the supplier's goods header at
    // 18, 38 and 48. The block sits at the group's right edge and follows its
    // width.
    void przeniesDo(QWidget* headerGroup, bool naglowekListyTowarowDostawcy);
    QWidget* grupa() const { return grupa_; }

    // --- counters (values "1" at start)
    void UstawIloscStron(int pages);
    void UstawNumerStrony(int page);
    void UstawIloscPozycji(int rows);
    // The row count shown in "Ilość pozycji:", 0 when it is no number.
    int iloscPozycji() const;

    // --- the page step field
    // The step as a positive number; 0 when the field is blank or holds no
    // positive integer.
    int krok() const;
    QString tekstKroku() const;
    // Sets the field's text as typing would, with the change rule applied.
    void ustawTekstKroku(const QString& text);
    QString jednostka() const;  // "stronę", "strony" or "stron"
    // The keys the field accepts: digits, backspace, tab and Enter; keys
    // without text (arrows, Delete, Home) pass as well.
    static bool klawiszKrokuDozwolony(const QString& typed);

    // --- rules
    void setCel(std::function<Cel()> provider) { cel_ = std::move(provider); }
    // Moves the set's cursor by step x lines (lines <= 0 count as 1), forward
    // or back, stopping at the first or last row. Returns the rows moved.
    int PrzewinStrony(data::DataSet& set, int linesPerPage, bool forward);
    // "Następna strona" / "Poprzednia strona": an empty step field gets "1"
    // and nothing moves; otherwise the pages turn.
    void NastepnaStrona(data::DataSet* set, int linesPerPage);
    void PoprzedniaStrona(data::DataSet* set, int linesPerPage);
    // "Pierwsza strona" / "Ostatnia strona": the first / last row; an empty
    // step field gets "1".
    void PierwszaStrona(data::DataSet* set);
    void OstatniaStrona(data::DataSet* set);
    // First and previous off on row 1; next and last off when the current
    // row number equals the shown row count. Nothing changes while there is
    // no open set.
    void UstawPrzyciskiStron(const data::DataSet* active, int shownCount);

    // --- parts, for the main window and tests
    QToolButton* przyciskPierwsza() const { return bPierwsza_; }
    QToolButton* przyciskPoprzednia() const { return bPoprzednia_; }
    QToolButton* przyciskNastepna() const { return bNastepna_; }
    QToolButton* przyciskOstatnia() const { return bOstatnia_; }
    QComboBox* poleKroku() const { return cbKrok_; }
    QLabel* etykietaIlStron() const { return lblIlStron_; }
    QLabel* etykietaNrStrony() const { return lblNrStrony_; }
    QLabel* etykietaIloscPozycji() const { return lblIloscPozycji_; }
    QLabel* wartoscIlStron() const { return valIlStron_; }
    QLabel* wartoscNrStrony() const { return valNrStrony_; }
    QLabel* wartoscIloscPozycji() const { return valIloscPozycji_; }

signals:
    void pierwszaStronaKliknieta();
    void poprzedniaStronaKliknieta();
    void nastepnaStronaKliknieta();
    void ostatniaStronaKliknieta();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* przycisk(const char* name, const QString& hint, int arrow, int x);
    void etykieta(QLabel*& slot, const char* name, const QString& text, bool value);
    void zmianaKroku();
    void uzupelnijPustyKrok();
    void rozmiesc();

    QToolButton* bPierwsza_ = nullptr;
    QToolButton* bPoprzednia_ = nullptr;
    QToolButton* bNastepna_ = nullptr;
    QToolButton* bOstatnia_ = nullptr;
    QComboBox* cbKrok_ = nullptr;
    QLabel* lblPrzewijaj_ = nullptr;
    QLabel* lblJednostka_ = nullptr;
    // The counters live beside the bar in the header group, so they are not
    // its children; a counter deleted with its group clears its pointer, and
    // the bar deletes those still alive when it goes.
    QLabel* lblIlStron_ = nullptr;
    QLabel* valIlStron_ = nullptr;
    QLabel* lblNrStrony_ = nullptr;
    QLabel* valNrStrony_ = nullptr;
    QLabel* lblIloscPozycji_ = nullptr;
    QLabel* valIloscPozycji_ = nullptr;
    QPointer<QWidget> grupa_;
    bool naglowekTowarowDostawcy_ = false;
    std::function<Cel()> cel_;
};

}  // namespace kmx::app
