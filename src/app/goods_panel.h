#pragma once
// The goods detail panel "DaneTow": every field of one goods item, read-only,
// shown on "Szczegóły towaru" of either catalogue ("Szczegóły RMS" in the
// average-prices edition). The main window owns one panel, moves it between
// the catalogues and binds it to the result set of the catalogue on screen.
//
// The fields come from a description (OpisSzczegolow), one per edition: the
// producer-prices panel lays them out in a grid, the RMS panel at fixed
// distances from its top.
//
// Qt has no data-aware widgets: a "bound" field shows a column of the bound
// set's current row and is filled again by refresh() and PokazDaneTowaru().
// The description, the goods groups and the type view are filled from the
// set handed to PokazDaneTowaru().

#include <QString>
#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace kmx::data {
class DataSet;
class TDM;
}  // namespace kmx::data

namespace kmx::platform {
class LinkOpener;
}

namespace kmx::app {

enum class RodzajPola {
    Linia,       // a bound single-line field
    Memo,        // a bound memo, word-wrapped
    Cena,        // the net price, right-aligned on grey
    CenaDruga,   // the second price, captioned and shown by the category
    Typ,         // the resource kind with its legend beside it
    Opis,        // the goods description, descrambled
    Grupy,       // the goods-group memo
    AdresWWW,    // the goods web-address link
    Opakowanie,  // the packing unit group with its weight and measures
};

struct PoleSzczegolow {
    RodzajPola rodzaj;
    const char* podpis;   // caption (UTF-8); empty: none
    const char* nazwa;    // object name of the field
    const char* kolumna;  // bound column; empty for the filled kinds
    int wiersz;           // grid row, or the top in pixels on a fixed panel
    int kolumnaSiatki;    // grid column of the field (its caption is left of it)
    int rozpietosc;       // grid columns the field spans
    int linie;            // lines of a memo
    const char* dopisek;  // text beside the field (the kind legend), or nullptr
};

struct OpisSzczegolow {
    const char* tytul;  // the panel's frame caption
    bool pozycjeStale;  // fields at fixed tops instead of a grid
    const PoleSzczegolow* pola;
    int liczbaPol;
};

// The goods detail panel of the current edition.
const OpisSzczegolow& OpisSzczegolowTowaru();

class GoodsPanel : public QWidget {
    Q_OBJECT

public:
    GoodsPanel(data::TDM& tdm, platform::LinkOpener& links, QWidget* parent = nullptr);

    // Binds the fields to a result set (nullptr: none). On the goods
    // catalogue the web address is the column "Towar.Adres_www", on the
    // supplier catalogue "Adres_www". Does not refresh.
    void bind(data::DataSet* set, bool goodsCatalogue);
    data::DataSet* boundSet() const { return set_; }

    // Fills every field from the bound set's current row; with no bound set,
    // or a closed one, every field is emptied.
    void refresh();

    // Fills the bound fields from the bound set, then the description, the
    // goods groups and the type view from the current row of `set`.
    void PokazDaneTowaru(data::DataSet& set);

    // Puts the trimmed names of the goods groups of one goods item, joined
    // with ", ", into the "Grupy towarowe:" memo. A failed statement shows
    // "Nie moża wykonać zapytania o grupy materiałowe!" and leaves the memo
    // as it was.
    void OdkodujGrupyTowarow(long idTowaru);

    // Opens the goods web address of the bound set's current row through the
    // link opener (the stored address descrambled, otherwise unchanged).
    // False when there is no address to open.
    bool otworzAdresWWW();

    // The text of the "Grupy towarowe:" memo as it stands (the reports print it).
    QString grupyTowarowe() const;

    // The category chosen on the search page ('M', 'S' or 'R'): the second
    // price is shown with "Cena z KZ:" for materials, with "Cena brutto:",
    // its "1)" marker and the footnote for labour, and hidden for equipment,
    // where currency and VAT rate move up into its place. Panels without a
    // second price ignore it.
    void UstawKategorie(char typ);

signals:
    void powrotDoListy();

private:
    struct BoundField {
        QLineEdit* line = nullptr;
        QPlainTextEdit* memo = nullptr;
        std::string column;
    };

    QLineEdit* addLine(const char* objectName, const char* column);
    QPlainTextEdit* addMemo(const char* objectName, const char* column, int lines, bool scrollBar);
    QWidget* utworzPole(const PoleSzczegolow& pole);
    QWidget* utworzOpakowanie();
    void rozmiescStale();
    void fillBound();
    void clearAll();
    void ustawWidokTypu();
    QString webColumn() const;

    data::TDM& tdm_;
    platform::LinkOpener& links_;
    data::DataSet* set_ = nullptr;
    bool goodsCatalogue_ = true;

    std::vector<BoundField> bound_;
    QGroupBox* grTowar_ = nullptr;
    QLineEdit* typ_ = nullptr;
    QPlainTextEdit* opis_ = nullptr;
    QPlainTextEdit* grupy_ = nullptr;
    QLabel* grupyCaption_ = nullptr;
    QLabel* adresWWW_ = nullptr;

    // the fixed-position panel: fields that stretch to its width, and the
    // second price with what moves with it
    struct Rozciagany {
        QWidget* pole;
        int x;
    };
    std::vector<Rozciagany> rozciagane_;
    QLabel* podpisCeny2_ = nullptr;
    QLineEdit* cena2_ = nullptr;
    QLabel* znacznikCeny2_ = nullptr;
    QLabel* przypis_ = nullptr;
    QLabel* podpisWaluty_ = nullptr;
    QWidget* waluta_ = nullptr;
    QLabel* podpisVat_ = nullptr;
    QWidget* vat_ = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
};

// Reading the current row of a result set, shared by the detail panels.
namespace pola {

// Index of a field; a qualified name ("TOWAR.SYMBOL") falls back to the bare
// column name when the set names it without its table. -1 when absent.
int znajdz(const data::DataSet& set, std::string_view name);
// Display text of the field in the current row (empty without a row).
QString tekst(const data::DataSet& set, std::string_view name);
// The stored value descrambled with the given mode, UTF-8, untrimmed.
std::string odszyfruj(const data::DataSet& set, std::string_view name, int mode);
// The same, trimmed of spaces at both ends.
std::string odszyfrujPrzytnij(const data::DataSet& set, std::string_view name, int mode);
// Text of a link label: the text elided to the width, as an anchor.
QString etykietaLinku(const QLabel& label, const QString& text, int width);
// The link "Powrót do listy" at the top of a detail panel.
QLabel* linkPowrotu(QWidget* parent);
// Runs a statement of names in the query and puts the trimmed names, joined
// with ", ", into the memo; a failure shows its message and leaves the memo.
void wypelnijNazwami(QWidget* owner, data::DataSet& query, const std::string& statement, QPlainTextEdit& memo,
                     const QString& failure);

}  // namespace pola

}  // namespace kmx::app
