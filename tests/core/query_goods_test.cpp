// Goods statement builder: statement texts assembled here from the literal
// pieces by hand, with the scrambled words taken from Szyfruj.

#include <clocale>
#include <cstdint>
#include <locale>
#include <string>
#include <string_view>
#include <type_traits>

#include <gtest/gtest.h>

#include "core/cp1250.h"
#include "core/criteria.h"
#include "core/query_builder.h"
#include "core/scramble.h"

namespace kmx {
namespace {

std::string concat(std::initializer_list<std::string_view> pieces) {
    std::string out;
    for (auto p : pieces) out += p;
    return out;
}

const std::string kSelect = concat({
    " SELECT ",
    " TOWAR.ID_TOWARU, TOWAR.NAZWA, TOWAR.NAZWA_SKR",
    " ,TOWAR.ID_JEDNOSTKI, TOWAR.INDEKS_ETO, TOWAR.PKWIU, TOWAR.SYMBOL",
    " ,TOWAR.CENA_PRODUCENTA, TOWAR.CENA_DETALICZNA, TOWAR.CENA_HURTOWA, TOWAR.CENA_JEDNOSTKOWA",
    " ,TOWAR.ID_WALUTY, TOWAR.ID_STAWKI_VAT, TOWAR.DATA_OBOWIAZYWANIA_CENY",
    " ,TOWAR.NAZWA_ORG_PROD, TOWAR.CIEZAR_WL, TOWAR.SPOSOB_OPAKOWANIA",
    " ,TOWAR.CIEZAR_JED_PAK, TOWAR.ILE_TOW_W_JED, TOWAR.ROZMIAR_JP_DL, TOWAR.ROZMIAR_JP_SZ",
    " ,TOWAR.ROZMIAR_JP_WY, TOWAR.ADRES_WWW",
    " ,TOWAR.DATA_MODYFIKACJI",
    " ,TOWAR.caseNAZWA, TOWAR.TYP_RMS, idx_nazwa, idx_indeks_eto, idx_jedn_miary, idx_cena_dost",
    " ,TOWAR.OPIS_TOWARU, TOWAR.CENA_NARZUT",
    " ,PRODUCENT.ID_PRODUCENTA, PRODUCENT.NAZWA",
    " ,PRODUCENT.KOD_PRODUCENTA, PRODUCENT.ID_KRAJU, PRODUCENT.ULICA_DOM",
    " ,PRODUCENT.KOD_POCZTOWY, PRODUCENT.MIEJSCOWOSC, PRODUCENT.ID_WOJEWODZTWA",
    " ,PRODUCENT.TEL_KIER, PRODUCENT.TELEFON1, PRODUCENT.TELEFON2",
    " ,PRODUCENT.TELEFON3, PRODUCENT.FAKS, PRODUCENT.NIP, PRODUCENT.EMAIL_PODSTAWOWY",
    " ,PRODUCENT.EMAIL_DZIAL_HANDLOWY, PRODUCENT.ADRES_WWW",
    " ,PRODUCENT.casenazwaprod",
    " , PRODUCENT.NAZWISKO_OSH, PRODUCENT.IMIE_OSH, PRODUCENT.TELEFON_OSH",
    " , PRODUCENT.EMAIL_OSH, PRODUCENT.STANOWISKO_OSH, PRODUCENT.NAZWISKO_OST, PRODUCENT.IMIE_OST",
    " , PRODUCENT.TELEFON_OST, PRODUCENT.EMAIL_OST, PRODUCENT.STANOWISKO_OST",
    " , PRODUCENT.OPIS_FIRMY, PRODUCENT.UPUSTY",
    " , idx_nazwa_prod, idx_miejscowosc_prod, idx_nip_prod, idx_kod_prod ",
    " ,JEDNOSTKA_MIARY.NAZWA, JEDNOSTKA_MIARY.KOD, WALUTA.SYMBOL, WALUTA.NAZWA, WALUTA.KOD",
    " ,WOJEWODZTWO.ID_WOJEWODZTWA",
    " ,WOJEWODZTWO.NAZWA",
    " ,STAWKA_VAT.ID_STAWKI_VAT, STAWKA_VAT.KOD",
    " ,KRAJ.ID_KRAJU, KRAJ.NAZWA_KRAJU",
});

const std::string kSelectDistinct = concat({
    " SELECT DISTINCT",
    " PRODUCENT.ID_PRODUCENTA, PRODUCENT.NAZWA",
    " ,PRODUCENT.KOD_PRODUCENTA, PRODUCENT.ID_KRAJU, PRODUCENT.ULICA_DOM",
    " ,PRODUCENT.KOD_POCZTOWY, PRODUCENT.MIEJSCOWOSC, PRODUCENT.ID_WOJEWODZTWA",
    " ,PRODUCENT.TEL_KIER, PRODUCENT.TELEFON1, PRODUCENT.TELEFON2",
    " ,PRODUCENT.TELEFON3, PRODUCENT.FAKS, PRODUCENT.NIP, PRODUCENT.EMAIL_PODSTAWOWY",
    " ,PRODUCENT.EMAIL_DZIAL_HANDLOWY, PRODUCENT.ADRES_WWW, producent.caseNazwaProd",
    " ,PRODUCENT.idx_nazwa_prod",
    " ,WOJEWODZTWO.NAZWA, KRAJ.NAZWA_KRAJU",
});

const std::string kFrom = " FROM TOWAR, PRODUCENT, WALUTA, JEDNOSTKA_MIARY, WOJEWODZTWO, STAWKA_VAT, KRAJ ";
const std::string kGroupTables = ",WYBRANA_GRUPA,GRUPA_TOWAROWA";

const std::string kJoins = concat({
    " WHERE ",
    " TOWAR.ID_PRODUCENTA = PRODUCENT.ID_PRODUCENTA",
    " AND TOWAR.ID_WALUTY = WALUTA.ID_WALUTY",
    " AND JEDNOSTKA_MIARY.ID_JEDNOSTKI_MIARY = TOWAR.ID_JEDNOSTKI",
    " AND PRODUCENT.ID_WOJEWODZTWA = WOJEWODZTWO.ID_WOJEWODZTWA",
    " AND TOWAR.ID_STAWKI_VAT = STAWKA_VAT.ID_STAWKI_VAT",
    " AND PRODUCENT.ID_KRAJU = KRAJ.ID_KRAJU",
});

const std::string kGroupJoin =
    "AND TOWAR.ID_TOWARU = WYBRANA_GRUPA.ID_TOWARU AND WYBRANA_GRUPA.ID_GRUPY = GRUPA_TOWAROWA.ID_GRUPY";

// The stored form of an upper-case ASCII word. The words of these tests are
// chosen so that their scrambled form holds none of the LIKE characters,
// which keeps the expected texts free of escapes; the check says so if a
// change of key ever breaks that.
std::string scr(std::string_view upperWord, int mode) {
    std::string s = Szyfruj(upperWord, mode);
    const std::string star = Szyfruj("*", 1);
    for (char c : s) {
        EXPECT_EQ(std::string_view("\"%[]^_").find(c), std::string_view::npos)
            << "scrambled '" << upperWord << "' holds a LIKE character; pick another test word";
        if (mode == 1) {
            EXPECT_NE(c, star[0]) << "scrambled '" << upperWord << "' holds the wildcard byte";
        }
    }
    return s;
}

// One-word group as the text condition writes it.
std::string like(std::string_view column, const std::string& pattern, bool wildcard) {
    return concat({" AND ( ", column, " like \"", wildcard ? "%" : "", pattern, "%\")"});
}

class GoodsQuery : public ::testing::Test {
protected:
    TsTowar t{};
};

TEST_F(GoodsQuery, AllEmptyRecordGivesJoinsOnlyAndNoCriteria) {
    BrakKryteriow = false;
    EXPECT_EQ(ZbudujZapytanieTowarow(t, 0), kSelect + kFrom + kJoins);
    EXPECT_TRUE(BrakKryteriow);
}

TEST_F(GoodsQuery, KindAndGroupExample) {
    t.typRms.setUtf8("M");
    t.idGrupy = 17;
    BrakKryteriow = true;
    const std::string expected = kSelect + kFrom + kGroupTables + kJoins +
                                 " AND TOWAR.Typ_RMS = \"M\" AND GRUPA_TOWAROWA.ID_GRUPY = 17 " + kGroupJoin;
    EXPECT_EQ(ZbudujZapytanieTowarow(t, 0), expected);
    EXPECT_FALSE(BrakKryteriow);
}

TEST_F(GoodsQuery, KindAloneStillCountsAsNoCriteria) {
    t.typRms.setUtf8("s");  // upper-cased on the way in
    BrakKryteriow = false;
    EXPECT_EQ(ZbudujZapytanieTowarow(t, 0), kSelect + kFrom + kJoins + " AND TOWAR.Typ_RMS = \"S\"");
    EXPECT_TRUE(BrakKryteriow);
}

TEST_F(GoodsQuery, BrakKryteriowFollowsTheLatestBuild) {
    t.idProducenta = 4;
    ZbudujZapytanieTowarow(t, 0);
    EXPECT_FALSE(BrakKryteriow);
    ZbudujZapytanieTowarow(TsTowar{}, 0);
    EXPECT_TRUE(BrakKryteriow);
    t = TsTowar{};
    t.nazwa.setUtf8("beton");
    ZbudujZapytanieTowarow(t, 1);
    EXPECT_FALSE(BrakKryteriow);
}

TEST_F(GoodsQuery, ProducersModeKeepsTheGoodsConditions) {
    t.nazwa.setUtf8("beton");
    t.idGrupy = 3;
    const std::string expected = kSelectDistinct + kFrom + kGroupTables + kJoins +
                                 like("TOWAR.NAZWA", scr("BETON", 1), true) +
                                 " AND GRUPA_TOWAROWA.ID_GRUPY = 3 " + kGroupJoin;
    EXPECT_EQ(ZbudujZapytanieTowarow(t, 1), expected);
}

TEST_F(GoodsQuery, NameFromTheStartHasNoLeadingWildcard) {
    t.nazwa.setUtf8("Beton");
    EXPECT_EQ(ZbudujZapytanieTowarow(t, 0), kSelect + kFrom + kJoins + like("TOWAR.NAZWA", scr("BETON", 1), true));
    t.odPoczatkuNazwy = true;
    EXPECT_EQ(ZbudujZapytanieTowarow(t, 0), kSelect + kFrom + kJoins + like("TOWAR.NAZWA", scr("BETON", 1), false));
}

TEST_F(GoodsQuery, CriteriaOfSpacesOnlyAddNothing) {
    t.nazwa.setUtf8("   ");
    t.indeksEto.setUtf8("  ");
    t.miejscowosc.setUtf8(" ");
    t.typRms.setUtf8(" ");
    EXPECT_EQ(ZbudujZapytanieTowarow(t, 0), kSelect + kFrom + kJoins);
    EXPECT_TRUE(BrakKryteriow);
}

TEST_F(GoodsQuery, PriceBoundIsTheFloatsExactValue) {
    t.cenaJednostkowaDo = 12.7f;
    EXPECT_EQ(ZbudujZapytanieTowarow(t, 0),
              kSelect + kFrom + kJoins + " AND TOWAR.CENA_JEDNOSTKOWA <= 12.6999998092651367");
    t.cenaJednostkowaDo = 150;
    EXPECT_EQ(ZbudujZapytanieTowarow(t, 0), kSelect + kFrom + kJoins + " AND TOWAR.CENA_JEDNOSTKOWA <= 150");
    // 0.1f is 0.100000001490116119384765625 exactly.
    t.cenaJednostkowaDo = 0.1f;
    EXPECT_EQ(ZbudujZapytanieTowarow(t, 0),
              kSelect + kFrom + kJoins + " AND TOWAR.CENA_JEDNOSTKOWA <= 0.100000001490116119");
}

TEST_F(GoodsQuery, NegativeOrZeroBoundsAddNothingButNegativeDatesDo) {
    t.cenaProducentaOd = -1;
    t.cenaJednostkowaDo = 0;
    t.cenaHurtowaOd = -0.5f;
    t.ciezarWl = -2;
    t.ciezarJedPak = 0;
    t.rozmiarDl = -3;
    t.idProducenta = -5;
    t.idJednostki = 0;
    t.idGrupy = -17;
    EXPECT_EQ(ZbudujZapytanieTowarow(t, 0), kSelect + kFrom + kJoins);
    EXPECT_TRUE(BrakKryteriow);

    t.dataModyfikacjiDo = -2.5;
    EXPECT_EQ(ZbudujZapytanieTowarow(t, 0), kSelect + kFrom + kJoins + " AND TOWAR.DATA_MODYFIKACJI <= -2.5 ");
    EXPECT_FALSE(BrakKryteriow);
}

TEST_F(GoodsQuery, DatesUseUpToFifteenDigitsAndATrailingSpace) {
    t.dataCenyOd = 38051.123456789012345;  // 15 digits: 38051.1234567890, the last zero dropped
    t.dataCenyDo = 38052;
    EXPECT_EQ(ZbudujZapytanieTowarow(t, 0), kSelect + kFrom + kJoins +
                                                " AND TOWAR.DATA_OBOWIAZYWANIA_CENY >= 38051.123456789 " +
                                                " AND TOWAR.DATA_OBOWIAZYWANIA_CENY <= 38052 ");
}

// Every criterion at once: the conditions come in their fixed order.
TEST_F(GoodsQuery, EveryCriterionInOrder) {
    t.idProducenta = 11;
    t.nazwa.setUtf8("beton");
    t.nazwaSkr.setUtf8("bk");
    t.symbol.setUtf8("sy");
    t.indeksEto.setUtf8("w01");
    t.pkwiu.setUtf8("pk");
    t.sposobOpakowania.setUtf8("worek");
    t.nazwaOrgProd.setUtf8("org");
    t.nazwaProducenta.setUtf8("handel");
    t.kodProducenta.setUtf8("kod");
    t.miejscowosc.setUtf8("lodz");
    t.idJednostki = 12;
    t.idWojewodztwa = 13;
    t.cenaProducentaOd = 1.5f;
    t.cenaProducentaDo = 2.5f;
    t.cenaJednostkowaOd = 3.25f;
    t.cenaJednostkowaDo = 4.75f;
    t.cenaHurtowaOd = 5;
    t.cenaHurtowaDo = 6;
    t.cenaDetalicznaOd = 7;
    t.cenaDetalicznaDo = 8;
    t.dataCenyOd = 100.5;
    t.dataCenyDo = 101;
    t.dataModyfikacjiOd = 102;
    t.dataModyfikacjiDo = 103.25;
    t.ciezarWl = 0.5f;
    t.ciezarJedPak = 25;
    t.ileTowWJed = 40;
    t.rozmiarDl = 1.25f;
    t.rozmiarSz = 0.75f;
    t.rozmiarWy = 0.125f;
    t.typRms.setUtf8("M");
    t.idGrupy = 9;

    const std::string expected =
        kSelect + kFrom + kGroupTables + kJoins + " AND TOWAR.ID_PRODUCENTA = 11" +
        like("TOWAR.NAZWA", scr("BETON", 1), true) + like("TOWAR.NAZWA_SKR", scr("BK", 2), false) +
        like("TOWAR.SYMBOL", scr("SY", 2), false) + like("TOWAR.INDEKS_ETO", scr("W01", 2), false) +
        like("TOWAR.PKWIU", scr("PK", 2), false) + like("TOWAR.Sposob_opakowania", scr("WOREK", 2), false) +
        like("TOWAR.Nazwa_org_prod", scr("ORG", 2), false) + like("PRODUCENT.NAZWA", scr("HANDEL", 1), true) +
        like("PRODUCENT.KOD_PRODUCENTA", scr("KOD", 2), false) +
        like("PRODUCENT.MIEJSCOWOSC", scr("LODZ", 2), false) + " AND TOWAR.ID_JEDNOSTKI = 12" +
        " AND PRODUCENT.ID_WOJEWODZTWA = 13" + " AND TOWAR.CENA_PRODUCENTA >= 1.5" +
        " AND TOWAR.CENA_PRODUCENTA <= 2.5" + " AND TOWAR.CENA_JEDNOSTKOWA >= 3.25" +
        " AND TOWAR.CENA_JEDNOSTKOWA <= 4.75" + " AND TOWAR.CENA_HURTOWA >= 5" + " AND TOWAR.CENA_HURTOWA <= 6" +
        " AND TOWAR.CENA_DETALICZNA >= 7" + " AND TOWAR.CENA_DETALICZNA <= 8" +
        " AND TOWAR.DATA_OBOWIAZYWANIA_CENY >= 100.5 " + " AND TOWAR.DATA_OBOWIAZYWANIA_CENY <= 101 " +
        " AND TOWAR.DATA_MODYFIKACJI >= 102 " + " AND TOWAR.DATA_MODYFIKACJI <= 103.25 " +
        " AND TOWAR.Ciezar_wl = 0.5" + " AND TOWAR.Ciezar_jed_pak = 25" + " AND TOWAR.Ile_tow_w_jed = 40" +
        " AND TOWAR.Rozmiar_jp_dl = 1.25" + " AND TOWAR.Rozmiar_jp_sz = 0.75" + " AND TOWAR.Rozmiar_jp_wy = 0.125" +
        " AND TOWAR.Typ_RMS = \"M\"" + " AND GRUPA_TOWAROWA.ID_GRUPY = 9 " + kGroupJoin;
    EXPECT_EQ(ZbudujZapytanieTowarow(t, 0), expected);
    EXPECT_FALSE(BrakKryteriow);
}

// A numpunct with "," as the decimal point, as a Polish locale has.
struct CommaPoint : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return ' '; }
    std::string do_grouping() const override { return "\3"; }
};

TEST_F(GoodsQuery, NumbersIgnoreTheProcessLocale) {
    t.cenaJednostkowaDo = 12.7f;
    t.dataCenyOd = 38051.5;
    t.idGrupy = 12345;
    const std::string expected = kSelect + kFrom + kGroupTables + kJoins +
                                 " AND TOWAR.CENA_JEDNOSTKOWA <= 12.6999998092651367" +
                                 " AND TOWAR.DATA_OBOWIAZYWANIA_CENY >= 38051.5 " +
                                 " AND GRUPA_TOWAROWA.ID_GRUPY = 12345 " + kGroupJoin;

    const std::locale saved = std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    const std::string savedC = std::setlocale(LC_ALL, nullptr);
    // Also the C library's locale, where a Polish one is installed.
    const bool polish = std::setlocale(LC_ALL, "pl_PL.UTF-8") != nullptr;
    const std::string built = ZbudujZapytanieTowarow(t, 0);
    std::setlocale(LC_ALL, savedC.c_str());
    std::locale::global(saved);

    EXPECT_EQ(built, expected) << (polish ? "with pl_PL" : "with a ',' numpunct only");
}

TEST(ConditionBuilders, FirstConditionWritesWhereAndLaterOnesAnd) {
    StanBudowy stan{false, true};
    std::string w = WarunekLiczbowy(stan, "", "A", "=", 0);
    EXPECT_EQ(w, "");
    EXPECT_FALSE(stan.WhereRozpoczete);
    w = WarunekLiczbowy(stan, w, "A", "=", 2147483647);
    EXPECT_EQ(w, " WHERE A = 2147483647");
    EXPECT_TRUE(stan.WhereRozpoczete);
    EXPECT_FALSE(stan.BrakKryteriow);
    w = WarunekCeny(stan, w, "B", ">=", 0.25f);
    EXPECT_EQ(w, " WHERE A = 2147483647 AND B >= 0.25");
}

TEST(ConditionBuilders, EqualityNeitherScramblesNorCountsAsCriterion) {
    StanBudowy stan{false, true};
    EXPECT_EQ(WarunekRowny(stan, "", "T", "   "), "");
    EXPECT_FALSE(stan.WhereRozpoczete);
    EXPECT_EQ(WarunekRowny(stan, "", "T", " r\"_ "), " WHERE T = \"R\"\"[_]\"");
    EXPECT_TRUE(stan.WhereRozpoczete);
    EXPECT_TRUE(stan.BrakKryteriow);
}

TEST(ConditionBuilders, SizeAndDateBounds) {
    StanBudowy stan{true, true};
    EXPECT_EQ(WarunekWielkosci(stan, "", "S", 0.0f), "");
    EXPECT_EQ(WarunekWielkosci(stan, "", "S", -1.0f), "");
    EXPECT_TRUE(stan.BrakKryteriow);
    EXPECT_EQ(WarunekWielkosci(stan, "", "S", 2.5f), " AND S = 2.5");
    EXPECT_FALSE(stan.BrakKryteriow);
    stan = StanBudowy{true, true};
    EXPECT_EQ(WarunekDaty(stan, "", "D", "<=", 0.0), "");
    EXPECT_TRUE(stan.BrakKryteriow);
    EXPECT_EQ(WarunekDaty(stan, "", "D", "<=", -0.75), " AND D <= -0.75 ");
    EXPECT_FALSE(stan.BrakKryteriow);
    // 1/3 of a day to 15 significant digits.
    EXPECT_EQ(WarunekDaty(stan, "", "D", ">=", 1.0 / 3.0), " AND D >= 0.333333333333333 ");
}

TEST(ConditionBuilders, JoinAddsItsTablesOnlyWhenItApplies) {
    StanBudowy stan{true, true};
    std::string from = "F";
    EXPECT_EQ(WarunekZlaczenia(stan, "W", "G.ID", 0, ",X", "AND J", from), "W");
    EXPECT_EQ(from, "F");
    EXPECT_TRUE(stan.BrakKryteriow);
    EXPECT_EQ(WarunekZlaczenia(stan, "W", "G.ID", 8, ",X", "AND J", from), "W AND G.ID = 8 AND J");
    EXPECT_EQ(from, "F,X");
    EXPECT_FALSE(stan.BrakKryteriow);
}

TEST(GoodsCriteria, TextIsCutToCapacityCountingPolishLettersAsOne) {
    TsTowar t{};
    // 201 characters, 150 of them two-byte "ą" in UTF-8, one byte 0xB9 in Windows-1250.
    std::string name;
    for (int i = 0; i < 150; ++i) name += "ą";
    name += std::string(51, 'b');
    t.nazwa.setUtf8(name);
    EXPECT_EQ(t.nazwa.view(), std::string(150, '\xB9') + std::string(50, 'b'));
    EXPECT_EQ(t.nazwa.bytes[200], '\0');

    t.nazwa.setUtf8(std::string(201, 'x'));
    EXPECT_EQ(t.nazwa.view(), std::string(200, 'x'));

    // A shorter text afterwards leaves nothing of the longer one.
    t.nazwa.setUtf8("Żwir");
    EXPECT_EQ(t.nazwa.view(), "\xAFwir");

    t.kodProducenta.setBytes("0123456789ABCDEFGH");
    EXPECT_EQ(t.kodProducenta.view(), "0123456789ABCDE");
    t.typRms.setUtf8("MS");
    EXPECT_EQ(t.typRms.view(), "M");
    t.typRms.clear();
    EXPECT_TRUE(t.typRms.empty());
}

TEST(GoodsCriteria, FreshRecordSetsNoCriterion) {
    static_assert(std::is_trivially_copyable_v<TsTowar>);
    static_assert(decltype(TsTowar::nazwa)::capacity == 200 && sizeof(TsTowar::nazwa) == 201);
    TsTowar t;  // default member values, no braces
    EXPECT_TRUE(t.nazwa.empty());
    EXPECT_TRUE(t.miejscowosc.view().empty());
    EXPECT_EQ(t.idGrupy, 0);
    EXPECT_EQ(t.cenaJednostkowaDo, 0.0f);
    EXPECT_EQ(t.dataModyfikacjiDo, 0.0);
    EXPECT_FALSE(t.odPoczatkuNazwy);
}

}  // namespace
}  // namespace kmx
