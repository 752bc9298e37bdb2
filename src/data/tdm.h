#pragma once
// The data module: the one owner of the catalogue connection and of the
// shared result sets the screens, reports and exports work on.
//
// Result sets follow the program's naming: Q… for queries, T… for tables.
// Each field carries the display routine that turns its stored (scrambled)
// value into plain text; grids, panels and reports read displayText().

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "data/database.h"
#include "data/dataset.h"

namespace kmx::data {

// What the data module asks of the main window when a result set's cursor
// moves. The window implements it; tests substitute their own.
class TDMObserver {
public:
    virtual ~TDMObserver() = default;
    // The cursor of a result set moved (first of the notifications, so the
    // grid showing the set can follow it).
    virtual void KursorPrzesuniety(DataSet& set) { (void)set; }
    // Shows or hides the supplier catalogue's "Szczegóły towaru" tab.
    virtual void UstawPrzyciskMenuiZaklSzczTowDost(bool on) = 0;
    virtual void PokazDaneDostawcy(DataSet& set) = 0;
    virtual void PokazDaneTowaru(DataSet& set) = 0;
    virtual void UstawPrzyciskiStron() = 0;

    // The result grid on screen: its result set and lines per page.
    struct ActiveGrid {
        DataSet* set = nullptr;
        int linesPerPage = 0;
    };
    virtual std::optional<ActiveGrid> GetActiveGrid() = 0;
    // Page count of the grid on screen.
    virtual int ObliczIloscStronwGridzie() = 0;
    virtual void UstawIloscStron(int pages) = 0;  // "Il. stron:"
    virtual void UstawNumerStrony(int page) = 0;  // "Nr strony:"
};

class TDM {
public:
    TDM();
    ~TDM();
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    // The connection string of the catalogue, with its keys in their fixed
    // order. Only the path and password mean anything to this engine.
    static std::string ConnectionString(const std::filesystem::path& dataFile,
                                        std::string_view passwordCp1250);

    // The password used when none is given: a constant kept scrambled.
    static std::string WbudowaneHaslo();

    // Opens the catalogue. Returns true on failure, with the text in
    // OstatniBlad (code 0). Without a password the built-in one is used.
    bool PolaczZBaza(const std::filesystem::path& dataFile, std::optional<std::string> passwordCp1250);

    // Opens the lookup tables in their fixed order, stopping at the first that
    // fails. Returns true on failure, with the text in OstatniBlad (code 0).
    bool OtworzTabele();

    // Reads the edition record (Edycja, Rok); false when it cannot be read.
    // The module keeps what it read for the found goods' Zrodlo field; a
    // failed read brings back the placeholders "x" and "yyyy".
    bool CzytajWersje(std::string& edycja, std::string& rok);
    // The catalogue edition and year last read, the placeholders before a
    // read, after a failed one and after connecting again.
    const std::string& wersjaEdycja() const { return wersjaEdycja_; }
    const std::string& wersjaRok() const { return wersjaRok_; }

    // Closes the lookups and result queries; the connection stays open.
    void DataModuleDestroy();

    // Current page number for a row of a list shown in pages; 0 when the row
    // lies on no page.
    static int ObliczNumerStrBiez(int pages, int rowsPerPage, int currentRow);
    // Refreshes the page count and page number of the main window's list.
    void PokazNumerStronyBiez();

    // Runs a work-price statement in Qscalone and returns its row count, or
    // -1 with the engine's message in scaloneError().
    int WykonajScalone(const std::string& statement);
    const std::string& scaloneError() const { return scaloneError_; }

    void setObserver(TDMObserver* observer) { observer_ = observer; }
    TDMObserver* observer() const { return observer_; }

    const std::string& connectionString() const { return connectionString_; }

    Database KMXConnection;

    DataSet QWybrTow;
    DataSet QWybrDost;
    DataSet QWybrTowForDost;
    DataSet TGrupa_Towarowa;
    DataSet TJednostka_Miary;
    DataSet TWaluta;
    DataSet TWojewodztwo;
    DataSet TKraj;
    DataSet TBranza;
    DataSet TDostawca;
    DataSet QWybrGrupy;
    DataSet QWybrBranza;
    DataSet Qscalone;
    DataSet QKnr;
    DataSet TWersja;

private:
    void attachDisplays();
    void attachNotifications();
    void QWybrTowAfterScroll();
    void QWybrDostAfterScroll();
    void QWybrTowForDostAfterScroll();
    void zapomnijWersje();

    TDMObserver* observer_ = nullptr;
    std::string connectionString_;
    std::string scaloneError_;
    std::string wersjaEdycja_;
    std::string wersjaRok_;
};

// The source line of the average prices: the catalogue edition and year.
std::string TekstZrodla(std::string_view edycja, std::string_view rok);

// The statement of a supplier's goods, ordered by name.
std::string ZapytanieTowarowDostawcy(long idProducenta);
// The names of the goods groups of one goods item (the goods detail view).
std::string ZapytanieGrupTowaru(long idTowaru);
// The names of the branches of one supplier (the supplier detail view).
std::string ZapytanieBranzDostawcy(long idProducenta);

}  // namespace kmx::data
