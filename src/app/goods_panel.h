#pragma once
// The goods detail panel "DaneTow": every field of one goods item, read-only,
// shown on "Szczegóły towaru" of either catalogue. The main window owns one
// panel, moves it between the catalogues and binds it to the result set of
// the catalogue on screen.
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
