#include "catalog/schema.h"

#include <cmath>
#include <limits>

#include "data/cipher_settings.h"

namespace kmx::catalog {

namespace {

Column key(std::string name) {
    Column c;
    c.name = std::move(name);
    c.type = ColumnType::Key;
    return c;
}

Column integer(std::string name, std::string references = {}) {
    Column c;
    c.name = std::move(name);
    c.type = ColumnType::Integer;
    c.indexed = !references.empty();
    c.references = std::move(references);
    return c;
}

Column real(std::string name, ColumnType type, int digits = 0) {
    Column c;
    c.name = std::move(name);
    c.type = type;
    c.digits = type == ColumnType::Currency ? 19 : digits;
    return c;
}

Column date(std::string name) {
    Column c;
    c.name = std::move(name);
    c.type = ColumnType::Date;
    return c;
}

Column text(std::string name, int size) {
    Column c;
    c.name = std::move(name);
    c.type = ColumnType::Text;
    c.size = size;
    return c;
}

Column memo(std::string name) {
    Column c;
    c.name = std::move(name);
    c.type = ColumnType::Memo;
    c.size = 65535;
    return c;
}

// A name: stored upper case and substitution-scrambled, its letter case kept in `mask`.
Column name(std::string colName, int size, std::string mask) {
    Column c = text(std::move(colName), size);
    c.storage = Storage::Name;
    c.mode = 1;
    c.upper = true;
    c.maskColumn = std::move(mask);
    return c;
}

// A positionally scrambled column. Mode 2 columns are searched from their
// start and compared in upper case, so they are stored upper case.
Column scrambled(Column c, int mode) {
    c.storage = Storage::Scrambled;
    c.mode = mode;
    c.upper = mode == 2;
    return c;
}

Column mask(std::string colName, int size) {
    Column c = text(std::move(colName), size);
    c.origin = Origin::Mask;
    return c;
}

Column rank(std::string colName) {
    Column c;
    c.name = std::move(colName);
    c.type = ColumnType::Integer;
    c.origin = Origin::Rank;
    c.indexed = true;
    return c;
}

std::vector<Table> makeSchema() {
    using T = ColumnType;
    std::vector<Table> s;
    s.push_back({"KRAJ", {key("ID_KRAJU"), text("NAZWA_KRAJU", 40)}});
    s.push_back({"WOJEWODZTWO", {key("ID_WOJEWODZTWA"), text("NAZWA", 30)}});
    s.push_back({"WALUTA", {key("ID_WALUTY"), text("SYMBOL", 8), text("NAZWA", 30), text("KOD", 8)}});
    s.push_back({"STAWKA_VAT", {key("ID_STAWKI_VAT"), text("KOD", 10), text("NAZWA", 255)}});
    s.push_back({"JEDNOSTKA_MIARY", {key("ID_JEDNOSTKI_MIARY"), text("NAZWA", 30), text("KOD", 20)}});
    s.push_back({"BRANZA", {key("ID_BRANZY"), text("NAZWA", 40), text("TYP_RMS", 1)}});
    s.push_back({"GRUPA_TOWAROWA", {key("ID_GRUPY"), text("NAZWA", 255)}});
    s.push_back({"PRODUCENT",
                 {
                     key("ID_PRODUCENTA"),
                     name("NAZWA", 100, "caseNazwaProd"),
                     mask("caseNazwaProd", 20),
                     scrambled(text("KOD_PRODUCENTA", 15), 2),
                     integer("ID_KRAJU", "KRAJ.ID_KRAJU"),
                     integer("ID_WOJEWODZTWA", "WOJEWODZTWO.ID_WOJEWODZTWA"),
                     scrambled(text("ULICA_DOM", 50), 3),
                     scrambled(text("KOD_POCZTOWY", 12), 3),
                     scrambled(text("MIEJSCOWOSC", 35), 2),
                     scrambled(text("TEL_KIER", 5), 3),
                     scrambled(text("TELEFON1", 15), 3),
                     scrambled(text("TELEFON2", 15), 3),
                     scrambled(text("TELEFON3", 15), 3),
                     scrambled(text("FAKS", 15), 3),
                     scrambled(text("NIP", 13), 3),
                     scrambled(text("EMAIL_PODSTAWOWY", 80), 3),
                     scrambled(text("EMAIL_DZIAL_HANDLOWY", 80), 3),
                     scrambled(text("ADRES_WWW", 80), 3),
                     scrambled(text("NAZWISKO_OSH", 40), 3),
                     scrambled(text("IMIE_OSH", 20), 3),
                     scrambled(text("STANOWISKO_OSH", 40), 3),
                     scrambled(text("TELEFON_OSH", 15), 3),
                     scrambled(text("EMAIL_OSH", 80), 3),
                     scrambled(text("NAZWISKO_OST", 40), 3),
                     scrambled(text("IMIE_OST", 20), 3),
                     scrambled(text("STANOWISKO_OST", 40), 3),
                     scrambled(text("TELEFON_OST", 15), 3),
                     scrambled(text("EMAIL_OST", 80), 3),
                     scrambled(memo("OPIS_FIRMY"), 3),
                     scrambled(memo("UPUSTY"), 3),
                     rank("idx_nazwa_prod"),
                     rank("idx_kod_prod"),
                     rank("idx_nip_prod"),
                     rank("idx_miejscowosc_prod"),
                 }});
    s.push_back({"TOWAR",
                 {
                     key("ID_TOWARU"),
                     integer("ID_PRODUCENTA", "PRODUCENT.ID_PRODUCENTA"),
                     name("NAZWA", 200, "caseNAZWA"),
                     scrambled(text("NAZWA_SKR", 50), 2),
                     integer("ID_JEDNOSTKI", "JEDNOSTKA_MIARY.ID_JEDNOSTKI_MIARY"),
                     scrambled(text("INDEKS_ETO", 20), 2),
                     scrambled(text("PKWIU", 20), 2),
                     scrambled(text("SYMBOL", 50), 2),
                     real("CENA_PRODUCENTA", T::Currency),
                     real("CENA_DETALICZNA", T::Currency),
                     real("CENA_HURTOWA", T::Currency),
                     real("CENA_JEDNOSTKOWA", T::Currency),
                     real("CENA_NARZUT", T::Currency),
                     integer("ID_WALUTY", "WALUTA.ID_WALUTY"),
                     integer("ID_STAWKI_VAT", "STAWKA_VAT.ID_STAWKI_VAT"),
                     date("DATA_OBOWIAZYWANIA_CENY"),
                     date("DATA_MODYFIKACJI"),
                     scrambled(text("NAZWA_ORG_PROD", 100), 2),
                     scrambled(memo("OPIS_TOWARU"), 3),
                     real("CIEZAR_WL", T::Decimal2, 10),
                     scrambled(text("SPOSOB_OPAKOWANIA", 50), 2),
                     real("CIEZAR_JED_PAK", T::Decimal2, 10),
                     real("ILE_TOW_W_JED", T::Double),
                     real("ROZMIAR_JP_DL", T::Decimal2, 10),
                     real("ROZMIAR_JP_SZ", T::Decimal2, 10),
                     real("ROZMIAR_JP_WY", T::Decimal2, 10),
                     scrambled(text("ADRES_WWW", 80), 3),
                     mask("caseNAZWA", 40),
                     text("TYP_RMS", 3),
                     rank("idx_nazwa"),
                     rank("idx_indeks_eto"),
                     rank("idx_jedn_miary"),
                     rank("idx_cena_dost"),
                     rank("idx_prod_nazwa"),
                 }});
    s.push_back(
        {"BRANZA_PRODUCENTA",
         {integer("ID_PRODUCENTA", "PRODUCENT.ID_PRODUCENTA"), integer("ID_BRANZY", "BRANZA.ID_BRANZY")}});
    s.push_back({"WYBRANA_GRUPA",
                 {integer("ID_TOWARU", "TOWAR.ID_TOWARU"), integer("ID_GRUPY", "GRUPA_TOWAROWA.ID_GRUPY")}});
    Column sort = integer("sort");
    sort.indexed = true;
    s.push_back(
        {"KNR",
         {integer("id_knr"), text("nazwa", 150), text("grupa_nazwa", 20), text("grupa_identyf", 20), sort}});
    s.push_back({"ceny_robot",
                 {key("id_ceny"), text("wariant", 20), text("jedn_miary", 20), real("cena", T::Decimal2, 18),
                  text("podstawa", 30), text("zrodlo", 50), memo("nazwa"), rank("idx_nazwa")}});
    s.push_back({"Wersja", {text("Edycja", 25), text("Rok", 25)}});
    return s;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

const Column* Table::column(std::string_view colName) const {
    const int i = columnIndex(colName);
    return i < 0 ? nullptr : &columns[static_cast<std::size_t>(i)];
}

int Table::columnIndex(std::string_view colName) const {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (equalsIgnoreCase(columns[i].name, colName)) return static_cast<int>(i);
    }
    return -1;
}

const Column* Table::key() const {
    for (const auto& c : columns) {
        if (c.type == ColumnType::Key) return &c;
    }
    return nullptr;
}

std::vector<const Column*> Table::sourceColumns() const {
    std::vector<const Column*> out;
    for (const auto& c : columns) {
        if (c.origin == Origin::Source) out.push_back(&c);
    }
    return out;
}

const std::vector<Table>& catalogSchema() {
    static const std::vector<Table> schema = makeSchema();
    return schema;
}

const Table* findTable(std::string_view tableName) {
    for (const auto& t : catalogSchema()) {
        if (t.name == tableName) return &t;
    }
    return nullptr;
}

std::string createTableSql(const Table& table) {
    std::string sql = "CREATE TABLE " + table.name + " (";
    bool first = true;
    for (const auto& c : table.columns) {
        if (!first) sql += ", ";
        first = false;
        sql += c.name;
        if (c.type == ColumnType::Key) {
            sql += " INTEGER PRIMARY KEY";
        } else if (c.type == ColumnType::Integer) {
            sql += " INTEGER";
        } else if (c.isText()) {
            if (c.storage == Storage::Plain) {
                sql += " TEXT COLLATE ";
                sql += data::kTextCollation;
            } else {
                sql += " BLOB";
            }
        } else {
            sql += " REAL";  // currency, decimals, doubles and date serials
        }
    }
    sql += ")";
    return sql;
}

std::vector<std::string> createIndexSql(const Table& table) {
    std::vector<std::string> out;
    for (const auto& c : table.columns) {
        if (!c.indexed) continue;
        out.push_back("CREATE INDEX ix_" + table.name + "_" + c.name + " ON " + table.name + " (" + c.name +
                      ")");
    }
    return out;
}

int decimalsOf(const Column& column) {
    switch (column.type) {
        case ColumnType::Currency:
            return 4;
        case ColumnType::Decimal2:
            return 2;
        default:
            return -1;
    }
}

double magnitudeLimitOf(const Column& column) {
    const int decimals = decimalsOf(column);
    if (decimals < 0) return std::numeric_limits<double>::infinity();
    return std::pow(10.0, column.digits - decimals);
}

}  // namespace kmx::catalog
