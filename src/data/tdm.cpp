#include "data/tdm.h"

#include <array>
#include <charconv>
#include <initializer_list>
#include <memory>
#include <utility>

#include "core/cp1250.h"
#include "core/display.h"
#include "core/last_error.h"
#include "core/scramble.h"
#include "core/textutil.h"

namespace kmx::data {

namespace {

// The built-in password, kept positionally scrambled so that it does not
// stand in the program as plain text.
constexpr std::array<unsigned char, 11> kWbudowaneHasloSzyfr = {
#include "data/builtin_password.inc"
};

std::optional<double> numberOf(const Cell& c) {
    if (c.type() == CellType::Integer || c.type() == CellType::Real) return c.asDouble();
    return std::nullopt;
}

// Resolves a field of the row's own result set by name; display routines are
// attached by name and survive re-opening, so the position is looked up when
// the routine runs.
int field(const DataSet& ds, std::string_view name) {
    return ds.fieldIndex(name);
}

std::string_view bytesOf(const DataSet& ds, DataSet::RowId row, std::string_view name) {
    const int f = field(ds, name);
    if (f < 0) return {};
    return ds.cellAt(row, f).bytes();
}

DataSet::DisplayFn nameDisplay(std::string nameField, std::string maskField) {
    return [nameField = std::move(nameField), maskField = std::move(maskField)](const DataSet& ds,
                                                                                DataSet::RowId row) {
        const std::string stored(bytesOf(ds, row, nameField));
        const std::string mask(bytesOf(ds, row, maskField));
        return DeszyfrujNazwy(stored, mask);
    };
}

template <typename Fn>
DataSet::DisplayFn bytesDisplay(std::string name, Fn fn) {
    return [name = std::move(name), fn](const DataSet& ds, DataSet::RowId row) {
        return fn(bytesOf(ds, row, name));
    };
}

template <typename Fn>
DataSet::DisplayFn numberDisplay(std::string name, Fn fn) {
    return [name = std::move(name), fn](const DataSet& ds, DataSet::RowId row) {
        const int f = field(ds, name);
        if (f < 0) return std::string();
        return fn(numberOf(ds.cellAt(row, f)));
    };
}

void attachAll(DataSet& ds, std::initializer_list<const char*> names,
               const std::function<DataSet::DisplayFn(std::string)>& make) {
    for (const char* n : names) ds.setDisplay(n, make(n));
}

// The display routines every goods or supplier result set shares.
void attachCommon(DataSet& ds) {
    attachAll(ds,
              {"NAZWA_SKR", "INDEKS_ETO", "PKWIU", "TOWAR.SYMBOL", "SYMBOL", "NAZWA_ORG_PROD",
               "SPOSOB_OPAKOWANIA", "KOD_PRODUCENTA", "MIEJSCOWOSC"},
              [](std::string n) { return bytesDisplay(std::move(n), DeszyfrujStrP2); });
    attachAll(ds,
              {"ULICA_DOM",
               "KOD_POCZTOWY",
               "TEL_KIER",
               "TELEFON1",
               "TELEFON2",
               "TELEFON3",
               "FAKS",
               "NIP",
               "EMAIL_PODSTAWOWY",
               "EMAIL_DZIAL_HANDLOWY",
               "ADRES_WWW",
               "TOWAR.ADRES_WWW",
               "PRODUCENT.ADRES_WWW",
               "NAZWISKO_OSH",
               "IMIE_OSH",
               "STANOWISKO_OSH",
               "TELEFON_OSH",
               "EMAIL_OSH",
               "NAZWISKO_OST",
               "IMIE_OST",
               "STANOWISKO_OST",
               "TELEFON_OST",
               "EMAIL_OST"},
              [](std::string n) { return bytesDisplay(std::move(n), DeszyfrujStrP3); });
    attachAll(ds, {"CENA_PRODUCENTA", "CENA_DETALICZNA", "CENA_HURTOWA"},
              [](std::string n) { return numberDisplay(std::move(n), DeszyfrujCene); });
    attachAll(ds, {"CIEZAR_WL", "CIEZAR_JED_PAK", "ROZMIAR_JP_DL", "ROZMIAR_JP_SZ", "ROZMIAR_JP_WY"},
              [](std::string n) { return numberDisplay(std::move(n), DeszyfrujFloat); });
    attachAll(ds, {"DATA_OBOWIAZYWANIA_CENY", "DATA_MODYFIKACJI"},
              [](std::string n) { return numberDisplay(std::move(n), DeszyfrujDate); });
    attachAll(ds,
              {"JEDNOSTKA_MIARY.NAZWA", "JEDNOSTKA_MIARY.KOD", "WALUTA.SYMBOL", "WALUTA.NAZWA",
               "WOJEWODZTWO.NAZWA", "STAWKA_VAT.KOD", "NAZWA_KRAJU", "TYP_RMS"},
              [](std::string n) { return bytesDisplay(std::move(n), formatuj); });
    attachAll(ds, {"CENA_JEDNOSTKOWA", "CENA_NARZUT"},
              [](std::string n) { return numberDisplay(std::move(n), FormatCena00); });
}

void appendInt(std::string& s, long v) {
    char buf[24];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    (void)ec;
    s.append(buf, p);
}

}  // namespace

std::string ZapytanieTowarowDostawcy(long idProducenta) {
    std::string s =
        "SELECT TOWAR.*, JEDNOSTKA_MIARY.*, STAWKA_VAT.*, WALUTA.*"
        " FROM JEDNOSTKA_MIARY INNER JOIN"
        " ((TOWAR INNER JOIN STAWKA_VAT ON TOWAR.ID_STAWKI_VAT = STAWKA_VAT.ID_STAWKI_VAT)"
        " INNER JOIN WALUTA ON TOWAR.ID_WALUTY = WALUTA.ID_WALUTY)"
        " ON JEDNOSTKA_MIARY.ID_JEDNOSTKI_MIARY = TOWAR.ID_JEDNOSTKI "
        " where towar.id_producenta=";
    appendInt(s, idProducenta);
    s += " ORDER BY IDX_NAZWA";
    return s;
}

std::string TekstZrodla(std::string_view edycja, std::string_view rok) {
    std::string s = "Ceny średnie materiałów wg KalMarex z ";
    s.append(edycja);
    s += " kw. ";
    s.append(rok);
    s += ' ';
    return s;
}

std::string ZapytanieGrupTowaru(long idTowaru) {
    std::string s =
        "SELECT GRUPA_TOWAROWA.NAZWA FROM GRUPA_TOWAROWA, WYBRANA_GRUPA "
        "WHERE WYBRANA_GRUPA.ID_TOWARU = ";
    appendInt(s, idTowaru);
    s += " AND WYBRANA_GRUPA.ID_GRUPY = GRUPA_TOWAROWA.ID_GRUPY";
    return s;
}

std::string ZapytanieBranzDostawcy(long idProducenta) {
    std::string s =
        "SELECT BRANZA.NAZWA FROM BRANZA, BRANZA_PRODUCENTA "
        "WHERE BRANZA_PRODUCENTA.ID_PRODUCENTA = ";
    appendInt(s, idProducenta);
    s += " AND BRANZA.ID_BRANZY = BRANZA_PRODUCENTA.ID_BRANZY";
    return s;
}

TDM::TDM() {
    for (DataSet* ds :
         {&QWybrTow, &QWybrDost, &QWybrTowForDost, &TGrupa_Towarowa, &TJednostka_Miary, &TWaluta,
          &TWojewodztwo, &TKraj, &TBranza, &TDostawca, &QWybrGrupy, &QWybrBranza, &Qscalone, &QKnr, &TWersja})
        ds->setDatabase(&KMXConnection);

    QWybrTow.setSql("select * from TOWAR");
    // The goods searches may find the whole catalogue: keep only each item's
    // key and the ranks the list sorts by.
    QWybrTow.setKeyset({"ID_TOWARU", {"idx_nazwa", "idx_indeks_eto", "idx_jedn_miary", "idx_nazwa_prod"}});
    QWybrDost.setSql("select * from PRODUCENT");
    TGrupa_Towarowa.setSql("select * from GRUPA_TOWAROWA order by NAZWA");
    TJednostka_Miary.setSql("select * from JEDNOSTKA_MIARY order by NAZWA");
    TWaluta.setSql("select * from WALUTA order by NAZWA");
    TWojewodztwo.setSql("select * from WOJEWODZTWO order by NAZWA");
    TKraj.setSql("select * from KRAJ order by NAZWA_KRAJU");
    TBranza.setSql("select ID_BRANZY, NAZWA, TYP_RMS from BRANZA order by NAZWA");
    TDostawca.setSql("select NAZWA,caseNazwaProd from PRODUCENT order by idx_nazwa_prod");
    QWybrGrupy.setSql("select NAZWA from GRUPA_TOWAROWA");
    QWybrBranza.setSql("select NAZWA from BRANZA");
    Qscalone.setSql("select * from ceny_robot");
    QKnr.setSql("select * from KNR order by sort");
    TWersja.setSql("select * from Wersja");

    zapomnijWersje();
    attachDisplays();
    attachNotifications();
}

TDM::~TDM() {
    DataModuleDestroy();
}

void TDM::attachDisplays() {
    // Found goods: both names with the case masks of their own row.
    attachCommon(QWybrTow);
    QWybrTow.setDisplay("TOWAR.NAZWA", nameDisplay("TOWAR.NAZWA", "caseNAZWA"));
    QWybrTow.setDisplay("PRODUCENT.NAZWA", nameDisplay("PRODUCENT.NAZWA", "caseNazwaProd"));
    QWybrTow.addRowNumberField("LP");
    // The average prices' source of every found item: the catalogue edition
    // as last read, so it follows a later CzytajWersje.
    QWybrTow.addComputedField(
        "Zrodlo", [this](const DataSet&, DataSet::RowId) { return TekstZrodla(wersjaEdycja_, wersjaRok_); });

    // Found suppliers.
    attachCommon(QWybrDost);
    QWybrDost.setDisplay("PRODUCENT.NAZWA", nameDisplay("PRODUCENT.NAZWA", "caseNazwaProd"));
    QWybrDost.setDisplay("OPIS_FIRMY", [](const DataSet&, DataSet::RowId) { return WywalTab({}); });
    QWybrDost.addRowNumberField("LP");

    // Goods of one supplier: the description shows here too.
    attachCommon(QWybrTowForDost);
    QWybrTowForDost.setDisplay("TOWAR.NAZWA", nameDisplay("TOWAR.NAZWA", "caseNazwa"));
    QWybrTowForDost.setDisplay("OPIS_TOWARU", bytesDisplay("OPIS_TOWARU", DeszyfrujStrP3));
    QWybrTowForDost.addRowNumberField("LP");

    // Supplier names for the type-ahead fields.
    TDostawca.setDisplay("NAZWA", nameDisplay("NAZWA", "caseNazwaProd"));
    TDostawca.addComputedField("NazwaD", [](const DataSet& ds, DataSet::RowId row) {
        return DeszyfrujNazwy(bytesOf(ds, row, "NAZWA"), bytesOf(ds, row, "caseNazwaProd"));
    });

    // Branches: the catch-all branch is named by its kind.
    TBranza.setDisplay("NAZWA", [](const DataSet& ds, DataSet::RowId row) {
        const std::string name = cp1250::toUtf8(bytesOf(ds, row, "NAZWA"));
        if (name != "Pozostałe") return name;
        const std::string_view typ = bytesOf(ds, row, "TYP_RMS");
        if (typ == "M") return std::string("Pozostałe M");
        if (typ == "S") return std::string("Pozostałe S");
        return std::string();
    });

    Qscalone.setDisplay("cena", numberDisplay("cena", FormatCena00));
}

void TDM::attachNotifications() {
    QWybrTow.setAfterScroll([this](DataSet&) { QWybrTowAfterScroll(); });
    QWybrDost.setAfterScroll([this](DataSet&) { QWybrDostAfterScroll(); });
    QWybrTowForDost.setAfterScroll([this](DataSet&) { QWybrTowForDostAfterScroll(); });
}

void TDM::QWybrTowAfterScroll() {
    if (observer_) observer_->KursorPrzesuniety(QWybrTow);
    PokazNumerStronyBiez();
    if (!observer_) return;
    observer_->PokazDaneDostawcy(QWybrTow);
    observer_->PokazDaneTowaru(QWybrTow);
    observer_->UstawPrzyciskiStron();
}

void TDM::QWybrDostAfterScroll() {
    if (observer_) observer_->KursorPrzesuniety(QWybrDost);
    if (QWybrTowForDost.active()) {
        QWybrTowForDost.close();
        if (observer_) observer_->UstawPrzyciskMenuiZaklSzczTowDost(false);
    }
    PokazNumerStronyBiez();
    if (!observer_) return;
    observer_->PokazDaneDostawcy(QWybrDost);
    observer_->UstawPrzyciskiStron();
}

void TDM::QWybrTowForDostAfterScroll() {
    if (observer_) observer_->KursorPrzesuniety(QWybrTowForDost);
    PokazNumerStronyBiez();
    if (!observer_) return;
    observer_->PokazDaneTowaru(QWybrTowForDost);
    observer_->UstawPrzyciskiStron();
}

std::string TDM::ConnectionString(const std::filesystem::path& dataFile, std::string_view passwordCp1250) {
    std::string s;
    auto pair = [&s](std::string_view key, std::string_view value, bool last = false) {
        s.append(key);
        s += '=';
        s.append(value);
        if (!last) s += ';';
    };
    pair("Provider", "Microsoft.Jet.OLEDB.4.0");
    pair("User ID", "Admin");
    pair("Password", "");
    pair("Data Source", dataFile.string());
    pair("Mode", "Share Deny Write");
    pair("Extended Properties", "\"\"");
    pair("Persist Security Info", "False");
    pair("Jet OLEDB:System database", "");
    pair("Jet OLEDB:Registry Path", "\"\"");
    pair("Jet OLEDB:Database Password", passwordCp1250);
    pair("Jet OLEDB:Engine Type", "5");
    pair("Jet OLEDB:Database Locking Mode", "1");
    pair("Jet OLEDB:Global Partial Bulk Ops", "2");
    pair("Jet OLEDB:Global Bulk Transactions", "1");
    pair("Jet OLEDB:New Database Password", "\"\"");
    pair("Jet OLEDB:Create System Database", "False");
    pair("Jet OLEDB:Encrypt Database", "False");
    pair("Jet OLEDB:Don't Copy Locale on Compact", "False");
    pair("Jet OLEDB:Compact Without Replica Repair", "False");
    pair("Jet OLEDB:SFP", "False", true);
    return s;
}

std::string TDM::WbudowaneHaslo() {
    const std::string stored(reinterpret_cast<const char*>(kWbudowaneHasloSzyfr.data()),
                             kWbudowaneHasloSzyfr.size());
    return Deszyfruj(stored, 2).substr(0, 11);
}

bool TDM::PolaczZBaza(const std::filesystem::path& dataFile, std::optional<std::string> passwordCp1250) {
    const std::string password = passwordCp1250 ? *passwordCp1250 : WbudowaneHaslo();
    connectionString_ = ConnectionString(dataFile, password);
    KMXConnection.close();
    zapomnijWersje();  // the edition read belongs to the catalogue closed
    std::string error;
    // The path and the password are the only keys this engine uses; opening is
    // read-only with the file locked against writers, and there is no login.
    if (!KMXConnection.open(dataFile, password, error)) {
        UstawOstatniBlad("Nie można otworzyć bazy danych Davideriv.\r\n" + error, 0);
        return true;
    }
    return false;
}

bool TDM::OtworzTabele() {
    for (DataSet* t :
         {&TGrupa_Towarowa, &TJednostka_Miary, &TWaluta, &TWojewodztwo, &TKraj, &TBranza, &TDostawca}) {
        std::string error;
        if (!t->open(error)) {
            UstawOstatniBlad("Nie można otworzyć tabeli.\r\n" + error, 0);
            return true;
        }
    }
    return false;
}

void TDM::zapomnijWersje() {
    wersjaEdycja_ = "x";
    wersjaRok_ = "yyyy";
}

bool TDM::CzytajWersje(std::string& edycja, std::string& rok) {
    zapomnijWersje();
    std::string error;
    if (!TWersja.open(error)) return false;
    bool ok = false;
    if (TWersja.recordCount() > 0) {
        TWersja.first();
        const int fe = TWersja.fieldIndex("Edycja");
        const int fr = TWersja.fieldIndex("Rok");
        if (fe >= 0 && fr >= 0) {
            wersjaEdycja_ = cp1250::toUtf8(TWersja.value(fe).bytes());
            wersjaRok_ = cp1250::toUtf8(TWersja.value(fr).bytes());
            edycja = wersjaEdycja_;
            rok = wersjaRok_;
            ok = true;
        }
    }
    TWersja.close();
    return ok;
}

void TDM::DataModuleDestroy() {
    for (DataSet* ds : {&TGrupa_Towarowa, &TJednostka_Miary, &TWaluta, &TWojewodztwo, &TKraj, &TBranza,
                        &QWybrTow, &QWybrDost, &QWybrTowForDost})
        ds->close();
}

int TDM::ObliczNumerStrBiez(int pages, int rowsPerPage, int currentRow) {
    for (int k = 0; k < pages; ++k) {
        const long long lo = static_cast<long long>(k) * rowsPerPage;
        const long long hi = static_cast<long long>(k + 1) * rowsPerPage;
        if (lo <= currentRow && currentRow <= hi) return k + 1;
    }
    return 0;
}

void TDM::PokazNumerStronyBiez() {
    if (!observer_) return;
    const auto grid = observer_->GetActiveGrid();
    if (!grid || !grid->set) return;
    int page = 1;
    if (grid->set->active()) {
        const int row = grid->set->recNo();
        const int pages = observer_->ObliczIloscStronwGridzie();
        observer_->UstawIloscStron(pages);
        page = ObliczNumerStrBiez(pages, grid->linesPerPage, row);
    }
    observer_->UstawNumerStrony(page);
}

int TDM::WykonajScalone(const std::string& statement) {
    Qscalone.close();
    Qscalone.setSql(statement);
    scaloneError_.clear();
    if (!Qscalone.open(scaloneError_)) return -1;
    return Qscalone.recordCount();
}

}  // namespace kmx::data
