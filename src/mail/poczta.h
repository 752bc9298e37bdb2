#pragma once
// The price enquiry and the order of a new catalogue edition: composing the
// message from the catalogue and showing it in the mail window. One object
// for the whole run, owned by the main window.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "core/criteria.h"

class QWidget;

namespace kmx::data {
class DataSet;
class TDM;
}  // namespace kmx::data

namespace kmx::mail {

class TFDostawcy;
class TFMail;

// The enquiry body: its four opening lines, then one line per goods name.
QString TrescZapytania(const QStringList& towary);

// A goods line: the stored name in capitals, not trimmed.
QString NazwaTowaru(const data::DataSet& towary);

// The goods lines collected from a list.
struct LinieTowarow {
    QStringList linie;
    bool przerwano = false;  // the user stopped the walk; the lines so far stand
    QString blad;            // empty when all went well
};

// Kind 0: every row of the found goods that belongs to the supplier, in the
// list's order. The list is filtered for the walk with its notifications
// suspended and left unfiltered on the supplier's first goods row. `przerwij`
// is asked after every row.
LinieTowarow TowaryDostawcy(data::DataSet& towary, long idProducenta, const std::function<bool()>& przerwij);
// Kind 2: every row, with the notifications suspended; the list ends on its
// first row.
LinieTowarow WszystkieTowary(data::DataSet& towary, const std::function<bool()>& przerwij);

class Poczta {
public:
    Poczta(data::TDM& tdm, QWidget* okno);
    ~Poczta();
    Poczta(const Poczta&) = delete;
    Poczta& operator=(const Poczta&) = delete;

    // "Znalezione": the supplier picker for the criteria of the last search.
    void PokazDostawcow(const TsTowar& kryteria);
    // Composes the enquiry of a kind and shows it: 0 the picker's supplier
    // and its found goods, 1 the current found goods item, 2 the supplier's
    // goods list, 3 its current goods item.
    void ZapytanieOfertowe(int rodzaj);
    // "Wyślij zamówienie na nowy Kalmarex CD".
    void Zamowienie();

    TFMail& oknoPoczty() { return *mail_; }
    TFDostawcy& oknoDostawcow() { return *dostawcy_; }

private:
    data::TDM& tdm_;
    QWidget* okno_;
    std::unique_ptr<TFMail> mail_;
    std::unique_ptr<TFDostawcy> dostawcy_;
};

}  // namespace kmx::mail
