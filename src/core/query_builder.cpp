#include "core/query_builder.h"

#include <charconv>
#include <utility>

#include "core/cp1250.h"
#include "core/numfmt.h"
#include "core/textutil.h"

namespace kmx {

bool BrakKryteriow = true;

namespace {

std::string decimal(std::int32_t value) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

// Starts one condition and marks the WHERE keyword written.
void zacznij(StanBudowy& stan, std::string& where) {
    where += stan.WhereRozpoczete ? " AND " : " WHERE ";
    stan.WhereRozpoczete = true;
}

void dopisz(std::string& where, std::string_view column, std::string_view op, std::string_view value) {
    where += column;
    where += ' ';
    where += op;
    where += ' ';
    where += value;
}

}  // namespace

std::string WarunekLiczbowy(StanBudowy& stan, std::string where, std::string_view column, std::string_view op,
                            std::int32_t value) {
    if (value <= 0) return where;
    zacznij(stan, where);
    dopisz(where, column, op, decimal(value));
    stan.BrakKryteriow = false;
    return where;
}

std::string WarunekCeny(StanBudowy& stan, std::string where, std::string_view column, std::string_view op,
                        float value) {
    if (!(value > 0)) return where;
    zacznij(stan, where);
    // The bound as the float holds it, not as typed: 12,7 becomes 12.6999998092651367.
    dopisz(where, column, op, formatGeneral(static_cast<double>(value), 18, '.'));
    stan.BrakKryteriow = false;
    return where;
}

std::string WarunekWielkosci(StanBudowy& stan, std::string where, std::string_view column, float value) {
    return WarunekCeny(stan, std::move(where), column, "=", value);
}

std::string WarunekDaty(StanBudowy& stan, std::string where, std::string_view column, std::string_view op,
                        double value) {
    if (value == 0) return where;
    zacznij(stan, where);
    dopisz(where, column, op, formatGeneral(value, 15, '.'));
    where += ' ';
    stan.BrakKryteriow = false;
    return where;
}

std::string WarunekRowny(StanBudowy& stan, std::string where, std::string_view column, std::string_view text) {
    const std::string value = trimSpaces(text);
    if (value.empty()) return where;
    zacznij(stan, where);
    where += column;
    where += " = \"";
    where += MaskujLike(cp1250::upper(value));
    where += '"';
    return where;
}

std::string WarunekZlaczenia(StanBudowy& stan, std::string where, std::string_view column, std::int32_t value,
                             std::string_view extraTables, std::string_view joinConditions, std::string& from) {
    if (value <= 0) return where;
    from += extraTables;
    zacznij(stan, where);
    dopisz(where, column, "=", decimal(value));
    where += ' ';
    where += joinConditions;
    stan.BrakKryteriow = false;
    return where;
}

std::string WarunekListy(StanBudowy& stan, std::string where, std::string_view column, std::string_view op,
                         std::string_view list) {
    const std::string value = trimSpaces(list);
    if (value.empty()) return where;
    zacznij(stan, where);
    dopisz(where, column, op, MaskujLike(cp1250::upper(value)));
    stan.BrakKryteriow = false;
    return where;
}

namespace {

constexpr std::string_view kSelectTowarow =
    " SELECT "
    " TOWAR.ID_TOWARU, TOWAR.NAZWA, TOWAR.NAZWA_SKR"
    " ,TOWAR.ID_JEDNOSTKI, TOWAR.INDEKS_ETO, TOWAR.PKWIU, TOWAR.SYMBOL"
    " ,TOWAR.CENA_PRODUCENTA, TOWAR.CENA_DETALICZNA, TOWAR.CENA_HURTOWA, TOWAR.CENA_JEDNOSTKOWA"
    " ,TOWAR.ID_WALUTY, TOWAR.ID_STAWKI_VAT, TOWAR.DATA_OBOWIAZYWANIA_CENY"
    " ,TOWAR.NAZWA_ORG_PROD, TOWAR.CIEZAR_WL, TOWAR.SPOSOB_OPAKOWANIA"
    " ,TOWAR.CIEZAR_JED_PAK, TOWAR.ILE_TOW_W_JED, TOWAR.ROZMIAR_JP_DL, TOWAR.ROZMIAR_JP_SZ"
    " ,TOWAR.ROZMIAR_JP_WY, TOWAR.ADRES_WWW"
    " ,TOWAR.DATA_MODYFIKACJI"
    " ,TOWAR.caseNAZWA, TOWAR.TYP_RMS, idx_nazwa, idx_indeks_eto, idx_jedn_miary, idx_cena_dost"
    " ,TOWAR.OPIS_TOWARU, TOWAR.CENA_NARZUT"
    " ,PRODUCENT.ID_PRODUCENTA, PRODUCENT.NAZWA"
    " ,PRODUCENT.KOD_PRODUCENTA, PRODUCENT.ID_KRAJU, PRODUCENT.ULICA_DOM"
    " ,PRODUCENT.KOD_POCZTOWY, PRODUCENT.MIEJSCOWOSC, PRODUCENT.ID_WOJEWODZTWA"
    " ,PRODUCENT.TEL_KIER, PRODUCENT.TELEFON1, PRODUCENT.TELEFON2"
    " ,PRODUCENT.TELEFON3, PRODUCENT.FAKS, PRODUCENT.NIP, PRODUCENT.EMAIL_PODSTAWOWY"
    " ,PRODUCENT.EMAIL_DZIAL_HANDLOWY, PRODUCENT.ADRES_WWW"
    " ,PRODUCENT.casenazwaprod"
    " , PRODUCENT.NAZWISKO_OSH, PRODUCENT.IMIE_OSH, PRODUCENT.TELEFON_OSH"
    " , PRODUCENT.EMAIL_OSH, PRODUCENT.STANOWISKO_OSH, PRODUCENT.NAZWISKO_OST, PRODUCENT.IMIE_OST"
    " , PRODUCENT.TELEFON_OST, PRODUCENT.EMAIL_OST, PRODUCENT.STANOWISKO_OST"
    " , PRODUCENT.OPIS_FIRMY, PRODUCENT.UPUSTY"
    " , idx_nazwa_prod, idx_miejscowosc_prod, idx_nip_prod, idx_kod_prod "
    " ,JEDNOSTKA_MIARY.NAZWA, JEDNOSTKA_MIARY.KOD, WALUTA.SYMBOL, WALUTA.NAZWA, WALUTA.KOD"
    " ,WOJEWODZTWO.ID_WOJEWODZTWA"
    " ,WOJEWODZTWO.NAZWA"
    " ,STAWKA_VAT.ID_STAWKI_VAT, STAWKA_VAT.KOD"
    " ,KRAJ.ID_KRAJU, KRAJ.NAZWA_KRAJU";

constexpr std::string_view kSelectProducentowTowarow =
    " SELECT DISTINCT"
    " PRODUCENT.ID_PRODUCENTA, PRODUCENT.NAZWA"
    " ,PRODUCENT.KOD_PRODUCENTA, PRODUCENT.ID_KRAJU, PRODUCENT.ULICA_DOM"
    " ,PRODUCENT.KOD_POCZTOWY, PRODUCENT.MIEJSCOWOSC, PRODUCENT.ID_WOJEWODZTWA"
    " ,PRODUCENT.TEL_KIER, PRODUCENT.TELEFON1, PRODUCENT.TELEFON2"
    " ,PRODUCENT.TELEFON3, PRODUCENT.FAKS, PRODUCENT.NIP, PRODUCENT.EMAIL_PODSTAWOWY"
    " ,PRODUCENT.EMAIL_DZIAL_HANDLOWY, PRODUCENT.ADRES_WWW, producent.caseNazwaProd"
    " ,PRODUCENT.idx_nazwa_prod"
    " ,WOJEWODZTWO.NAZWA, KRAJ.NAZWA_KRAJU";

constexpr std::string_view kFromTowarow = " FROM TOWAR, PRODUCENT, WALUTA, JEDNOSTKA_MIARY, WOJEWODZTWO, STAWKA_VAT, KRAJ ";

constexpr std::string_view kWhereTowarow =
    " WHERE "
    " TOWAR.ID_PRODUCENTA = PRODUCENT.ID_PRODUCENTA"
    " AND TOWAR.ID_WALUTY = WALUTA.ID_WALUTY"
    " AND JEDNOSTKA_MIARY.ID_JEDNOSTKI_MIARY = TOWAR.ID_JEDNOSTKI"
    " AND PRODUCENT.ID_WOJEWODZTWA = WOJEWODZTWO.ID_WOJEWODZTWA"
    " AND TOWAR.ID_STAWKI_VAT = STAWKA_VAT.ID_STAWKI_VAT"
    " AND PRODUCENT.ID_KRAJU = KRAJ.ID_KRAJU";

constexpr std::string_view kSelectDostawcow =
    " Select "
    " PRODUCENT.ID_PRODUCENTA, PRODUCENT.NAZWA, PRODUCENT.caseNazwaProd"
    " ,PRODUCENT.KOD_PRODUCENTA, PRODUCENT.ID_KRAJU, PRODUCENT.ULICA_DOM"
    " ,PRODUCENT.KOD_POCZTOWY, PRODUCENT.ID_WOJEWODZTWA, PRODUCENT.MIEJSCOWOSC"
    " ,PRODUCENT.TEL_KIER, PRODUCENT.TELEFON1, PRODUCENT.TELEFON2, PRODUCENT.TELEFON3"
    " ,PRODUCENT.FAKS, PRODUCENT.NIP, PRODUCENT.EMAIL_PODSTAWOWY, PRODUCENT.EMAIL_DZIAL_HANDLOWY"
    " ,PRODUCENT.ADRES_WWW, PRODUCENT.NAZWISKO_OSH, PRODUCENT.IMIE_OSH, PRODUCENT.TELEFON_OSH"
    " ,PRODUCENT.EMAIL_OSH, PRODUCENT.STANOWISKO_OSH, PRODUCENT.NAZWISKO_OST"
    " ,PRODUCENT.IMIE_OST, PRODUCENT.TELEFON_OST, PRODUCENT.EMAIL_OST, PRODUCENT.STANOWISKO_OST"
    " ,PRODUCENT.idx_kod_prod, PRODUCENT.idx_nazwa_prod, PRODUCENT.idx_nip_prod"
    " ,PRODUCENT.idx_miejscowosc_prod, WOJEWODZTWO.NAZWA, KRAJ.NAZWA_KRAJU"
    " ,PRODUCENT.OPIS_FIRMY, PRODUCENT.UPUSTY";

constexpr std::string_view kFromDostawcow = " From PRODUCENT, WOJEWODZTWO, KRAJ ";

constexpr std::string_view kWhereDostawcow =
    " WHERE "
    " PRODUCENT.ID_WOJEWODZTWA=WOJEWODZTWO.ID_WOJEWODZTWA"
    " AND PRODUCENT.ID_KRAJU=KRAJ.ID_KRAJU";

}  // namespace

std::string ZbudujZapytanieTowarow(const TsTowar& k, int mode) {
    StanBudowy stan{true, true};
    std::string from(kFromTowarow);
    std::string w(kWhereTowarow);

    w = WarunekLiczbowy(stan, std::move(w), "TOWAR.ID_PRODUCENTA", "=", k.idProducenta);
    w = WarunekTekstowy(stan, std::move(w), "TOWAR.NAZWA", k.nazwa.view(), 1, !k.odPoczatkuNazwy);
    w = WarunekTekstowy(stan, std::move(w), "TOWAR.NAZWA_SKR", k.nazwaSkr.view(), 2, false);
    w = WarunekTekstowy(stan, std::move(w), "TOWAR.SYMBOL", k.symbol.view(), 2, false);
    w = WarunekTekstowy(stan, std::move(w), "TOWAR.INDEKS_ETO", k.indeksEto.view(), 2, false);
    w = WarunekTekstowy(stan, std::move(w), "TOWAR.PKWIU", k.pkwiu.view(), 2, false);
    w = WarunekTekstowy(stan, std::move(w), "TOWAR.Sposob_opakowania", k.sposobOpakowania.view(), 2, false);
    w = WarunekTekstowy(stan, std::move(w), "TOWAR.Nazwa_org_prod", k.nazwaOrgProd.view(), 2, false);
    w = WarunekTekstowy(stan, std::move(w), "PRODUCENT.NAZWA", k.nazwaProducenta.view(), 1, true);
    w = WarunekTekstowy(stan, std::move(w), "PRODUCENT.KOD_PRODUCENTA", k.kodProducenta.view(), 2, false);
    w = WarunekTekstowy(stan, std::move(w), "PRODUCENT.MIEJSCOWOSC", k.miejscowosc.view(), 2, false);
    w = WarunekLiczbowy(stan, std::move(w), "TOWAR.ID_JEDNOSTKI", "=", k.idJednostki);
    w = WarunekLiczbowy(stan, std::move(w), "PRODUCENT.ID_WOJEWODZTWA", "=", k.idWojewodztwa);
    w = WarunekCeny(stan, std::move(w), "TOWAR.CENA_PRODUCENTA", ">=", k.cenaProducentaOd);
    w = WarunekCeny(stan, std::move(w), "TOWAR.CENA_PRODUCENTA", "<=", k.cenaProducentaDo);
    w = WarunekCeny(stan, std::move(w), "TOWAR.CENA_JEDNOSTKOWA", ">=", k.cenaJednostkowaOd);
    w = WarunekCeny(stan, std::move(w), "TOWAR.CENA_JEDNOSTKOWA", "<=", k.cenaJednostkowaDo);
    w = WarunekCeny(stan, std::move(w), "TOWAR.CENA_HURTOWA", ">=", k.cenaHurtowaOd);
    w = WarunekCeny(stan, std::move(w), "TOWAR.CENA_HURTOWA", "<=", k.cenaHurtowaDo);
    w = WarunekCeny(stan, std::move(w), "TOWAR.CENA_DETALICZNA", ">=", k.cenaDetalicznaOd);
    w = WarunekCeny(stan, std::move(w), "TOWAR.CENA_DETALICZNA", "<=", k.cenaDetalicznaDo);
    w = WarunekDaty(stan, std::move(w), "TOWAR.DATA_OBOWIAZYWANIA_CENY", ">=", k.dataCenyOd);
    w = WarunekDaty(stan, std::move(w), "TOWAR.DATA_OBOWIAZYWANIA_CENY", "<=", k.dataCenyDo);
    w = WarunekDaty(stan, std::move(w), "TOWAR.DATA_MODYFIKACJI", ">=", k.dataModyfikacjiOd);
    w = WarunekDaty(stan, std::move(w), "TOWAR.DATA_MODYFIKACJI", "<=", k.dataModyfikacjiDo);
    w = WarunekWielkosci(stan, std::move(w), "TOWAR.Ciezar_wl", k.ciezarWl);
    w = WarunekWielkosci(stan, std::move(w), "TOWAR.Ciezar_jed_pak", k.ciezarJedPak);
    w = WarunekWielkosci(stan, std::move(w), "TOWAR.Ile_tow_w_jed", k.ileTowWJed);
    w = WarunekWielkosci(stan, std::move(w), "TOWAR.Rozmiar_jp_dl", k.rozmiarDl);
    w = WarunekWielkosci(stan, std::move(w), "TOWAR.Rozmiar_jp_sz", k.rozmiarSz);
    w = WarunekWielkosci(stan, std::move(w), "TOWAR.Rozmiar_jp_wy", k.rozmiarWy);
    w = WarunekRowny(stan, std::move(w), "TOWAR.Typ_RMS", k.typRms.view());
    w = WarunekZlaczenia(stan, std::move(w), "GRUPA_TOWAROWA.ID_GRUPY", k.idGrupy, ",WYBRANA_GRUPA,GRUPA_TOWAROWA",
                         "AND TOWAR.ID_TOWARU = WYBRANA_GRUPA.ID_TOWARU"
                         " AND WYBRANA_GRUPA.ID_GRUPY = GRUPA_TOWAROWA.ID_GRUPY",
                         from);

    std::string statement(mode == 1 ? kSelectProducentowTowarow : kSelectTowarow);
    statement += from;
    statement += w;
    BrakKryteriow = stan.BrakKryteriow;
    return statement;
}

std::string ZbudujZapytanieDostawcow(const TsDostawca& k) {
    StanBudowy stan{true, true};
    std::string from(kFromDostawcow);
    std::string w(kWhereDostawcow);

    w = WarunekListy(stan, std::move(w), "PRODUCENT.ID_PRODUCENTA", "IN", k.listaId);
    w = WarunekLiczbowy(stan, std::move(w), "PRODUCENT.ID_PRODUCENTA", "=", k.idProducenta);
    w = WarunekTekstowy(stan, std::move(w), "PRODUCENT.NAZWA", k.nazwa.view(), 1, true);
    w = WarunekTekstowy(stan, std::move(w), "PRODUCENT.KOD_PRODUCENTA", k.kodProducenta.view(), 2, false);
    w = WarunekTekstowy(stan, std::move(w), "PRODUCENT.MIEJSCOWOSC", k.miejscowosc.view(), 2, false);
    w = WarunekLiczbowy(stan, std::move(w), "PRODUCENT.ID_WOJEWODZTWA", "=", k.idWojewodztwa);
    w = WarunekLiczbowy(stan, std::move(w), "PRODUCENT.ID_KRAJU", "=", k.idKraju);
    w = WarunekZlaczenia(stan, std::move(w), "BRANZA.ID_BRANZY", k.idBranzy, ", BRANZA_PRODUCENTA, BRANZA",
                         "AND BRANZA_PRODUCENTA.ID_PRODUCENTA=PRODUCENT.ID_PRODUCENTA"
                         " AND BRANZA.ID_BRANZY=BRANZA_PRODUCENTA.ID_BRANZY",
                         from);

    std::string statement(kSelectDostawcow);
    statement += from;
    statement += w;
    return statement;
}

}  // namespace kmx
