#pragma once
// What the program's four reports share: the window state they read, the
// title band and page footer of every report, the readers of the current
// row's fields, and the report object every output starts from.

#include <QDate>
#include <QString>
#include <functional>
#include <memory>
#include <string_view>

#include "core/publisher.h"
#include "reports/engine/band.h"
#include "reports/engine/filler.h"

namespace kmx::data {
class DataSet;
class TDM;
}  // namespace kmx::data

namespace kmx::reports {

// What the reports read from the main window: the result set of the page on
// screen and the texts the detail panels have composed for the current row.
class ZrodloRaportow {
public:
    virtual ~ZrodloRaportow() = default;
    virtual data::DataSet* ActiveResultSet() = 0;
    virtual data::TDM& tdm() = 0;
    // The "Grupy towarowe:" memo of the goods panel, as it stands.
    virtual QString GrupyTowarowe() = 0;
    // The supplier panel's address, phone and contact-person lines.
    virtual QString AdresDostawcy() = 0;
    virtual QString TelefonyDostawcy() = 0;
    virtual QString OsobaHandlowa() = 0;
    virtual QString OsobaTechniczna() = 0;
    // The program's short date format.
    virtual QString KrotkiFormatDaty() { return QStringLiteral("dd-MM-yy"); }
};

inline constexpr const char* kNazwaFirmy = publisher::kNazwaFirmy;
// The producer edition's page footer; every report prints its edition's
// stopkaRaportu.
inline constexpr char kTekstStopki[] = "KALMAREX - Baza danych towarów i dostawców branży budowlanej";

// The day reports are dated with; tests set their own.
inline std::function<QDate()> zegarRaportow = [] { return QDate::currentDate(); };

// One of the program's reports: created once, reused for every output.
class Raport {
public:
    virtual ~Raport() = default;
    // Before every output: binds the data of the moment, switches every band
    // back on, copies the printer and sets the texts.
    virtual void przedWydrukiem(ZrodloRaportow& zrodlo, int drukarka) = 0;
    // After the pages were printed or their preview closed.
    virtual void poWydruku() {}
    // Window caption, PDF title.
    virtual QString tytul() const = 0;
    // Lays the report out into the store (after przedWydrukiem).
    FillResult przygotuj(PageStore& store, TextMeasurer& measurer);

    ReportDefinition& definicja() { return def_; }
    int drukarka() const { return drukarka_; }

protected:
    virtual RowSource* wiersze() { return nullptr; }
    // The title band (company line, date, title), the page footer (the
    // edition's text) with or without "str. N", in every report alike.
    void zbudujTytulIStopke(bool numerStrony);
    void ustawTekstyWspolne(ZrodloRaportow& zrodlo, const QString& tytulRaportu, int drukarka);

    // The card reports: a row of the card after the name row, its caption at
    // 2.1 and its value at (x, w), ruled left, right and bottom so that the
    // rows form one box.
    Band& pasekKarty(const QString& name, float height, const QString& caption, float x, float w,
                     std::function<QString()> value, bool wrap);
    // The list reports: the boxed column header (7.4 mm) and the ruled row
    // band (4.5 mm), empty.
    void zbudujPasyListy();

    ReportDefinition def_;
    QString tytul_;
    QString formatDaty_ = QStringLiteral("dd-MM-yy");
    int drukarka_ = 0;
};

// --- reading the current row of a result set (empty without a row or field)

// The field's display text, as the data module shows it.
QString tekstPola(const data::DataSet* set, std::string_view name);
// The stored value descrambled with the given mode (1 names, 2/3 other
// texts), not trimmed; plain (unscrambled) text columns come as they are,
// number columns
// as their number (empty when null).
QString zapisane(const data::DataSet* set, std::string_view name, int mode);
// The same, trimmed.
QString zapisanePrzyciete(const data::DataSet* set, std::string_view name, int mode);
// A name: descrambled, letter case restored from the case field, trimmed.
QString nazwaZWielkoscia(const data::DataSet* set, std::string_view name, std::string_view caseName);
// Lower-cased, the text holds "brak" (a placeholder for none).
bool zawieraBrak(const QString& text);

// Walks a result set from its first row to its last in its current order,
// moving its cursor.
class WierszeZbioru : public RowSource {
public:
    explicit WierszeZbioru(data::DataSet* set = nullptr) : set_(set) {}
    void ustaw(data::DataSet* set) { set_ = set; }
    bool first() override;
    bool next() override;

private:
    data::DataSet* set_;
};

// The list reports' cells: a column title in 8 pt in the header, a cell in
// 7 pt in the row, each on its band's text line.
Element tytulKolumny(const QString& name, float x, float w, const QString& text, Align align = Align::Left);
Element komorka(const QString& name, float x, float w, std::function<QString(const FillContext&)> text,
                Align align = Align::Left);

// Element builders shared by the card reports: a caption at (x, 1.1) in
// 10 pt, a value in 10 pt bold.
Element podpis(const QString& name, float x, const QString& text);
Element wartosc(const QString& name, float x, float w, std::function<QString()> text, bool wrap);

}  // namespace kmx::reports
