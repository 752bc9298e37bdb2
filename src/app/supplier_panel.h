#pragma once
// The supplier detail panel "DaneDost": one producer or supplier in full,
// read-only, shown on "Szczegóły dostawcy" of either catalogue. On the goods
// catalogue it shows the supplier columns of the current goods row, on the
// supplier catalogue the current found supplier.
//
// Bound fields show a column of the bound set's current row (filled by
// refresh() and PokazDaneDostawcy()); the address, phone and person lines,
// the descriptions, the branches and the logo are worked out by
// PokazDaneDostawcy() from the stored values.

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <string>
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

// The lines PokazDaneDostawcy builds, from values already descrambled and
// trimmed.
QString LiniaAdresu(const QString& kodPocztowy, const QString& miejscowosc, const QString& ulicaDom);
QString LiniaTelefonow(const QString& telefon1, const QString& telefon2, const QString& telefon3);
// Empty without a surname; the position follows after ", " when there is one.
QString LiniaOsoby(const QString& imie, const QString& nazwisko, const QString& stanowisko);
// The first of several web addresses: the text before the first blank,
// comma or semicolon.
QString PierwszyAdresWWW(const QString& addresses);

// Shows a picture centred in its area, scaled down in proportion to fit.
class LogoView : public QWidget {
    Q_OBJECT

public:
    explicit LogoView(QWidget* parent = nullptr);
    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

class SupplierPanel : public QWidget {
    Q_OBJECT

public:
    SupplierPanel(data::TDM& tdm, platform::LinkOpener& links, QWidget* parent = nullptr);

    // Binds the fields to a result set (nullptr: none). The web address is
    // the column "producent.adres_WWW" on the goods catalogue and
    // "adres_WWW" on the supplier catalogue. Does not refresh.
    void bind(data::DataSet* set, bool goodsCatalogue);
    data::DataSet* boundSet() const { return set_; }

    // Fills every field from the bound set's current row; with no bound set,
    // or a closed one, every field is emptied and "Brak logo dostawcy" shows.
    void refresh();

    // Fills the bound fields from the bound set, then the worked-out fields
    // from the current row of `set`.
    void PokazDaneDostawcy(data::DataSet& set);

    // Puts the trimmed names of a supplier's branches, joined with ", ", into
    // the "Branża podstawowa:" memo. A failed statement shows "Nie można
    // wykonać zapytania o branże dostawcy!" and leaves the memo as it was.
    void OdkodujBranzeDostawcy(long idProducenta);

    // The links, on the bound set's current row. False when there is no
    // address to open.
    bool otworzStroneWWW();
    bool otworzEmail();
    bool otworzEmailHandlowy();

    // The lines composed for the current supplier, as shown (the reports
    // print them).
    QString adres() const;
    QString telefony() const;
    QString osobaHandlowa() const;
    QString osobaTechniczna() const;

    // The logo file tried for the current row (empty when none could be named).
    const QString& plikLogo() const { return logoFile_; }


signals:
    void powrotDoListy();

private:
    struct BoundField {
        QLineEdit* line = nullptr;
        QPlainTextEdit* memo = nullptr;
        std::string column;
    };
    struct LinkField {
        QLabel* label = nullptr;
        std::string column;
    };

    QLineEdit* addLine(QWidget* parent, const char* objectName, const char* column);
    QPlainTextEdit* addMemo(QWidget* parent, const char* objectName, const char* column, int lines,
                            bool scrollBar);
    QLabel* addLink(QWidget* parent, const char* objectName, const char* column);
    QLineEdit* addTextLine(QWidget* parent, const char* objectName);
    void fillBound();
    void clearAll();
    void pokazLogo(const std::string& kodProducenta);
    std::string webColumn() const;
    bool otworzEmailZ(const char* column);

    data::TDM& tdm_;
    platform::LinkOpener& links_;
    data::DataSet* set_ = nullptr;
    bool goodsCatalogue_ = true;

    std::vector<BoundField> bound_;
    std::vector<LinkField> linkFields_;
    QLabel* linkWWW_ = nullptr;
    QLineEdit* adres_ = nullptr;
    QLineEdit* telefony_ = nullptr;
    QLineEdit* osobaOH_ = nullptr;
    QLineEdit* osobaOT_ = nullptr;
    QPlainTextEdit* opisFirmy_ = nullptr;
    QPlainTextEdit* upusty_ = nullptr;
    QPlainTextEdit* branze_ = nullptr;
    LogoView* logo_ = nullptr;
    QLabel* brakLogo_ = nullptr;
    QString logoFile_;
};

}  // namespace kmx::app
