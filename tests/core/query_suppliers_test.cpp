// Supplier statement builder: expected texts assembled from the literal
// pieces by hand, scrambled words from Szyfruj.

#include <string>
#include <string_view>

#include <gtest/gtest.h>

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
    " Select ",
    " PRODUCENT.ID_PRODUCENTA, PRODUCENT.NAZWA, PRODUCENT.caseNazwaProd",
    " ,PRODUCENT.KOD_PRODUCENTA, PRODUCENT.ID_KRAJU, PRODUCENT.ULICA_DOM",
    " ,PRODUCENT.KOD_POCZTOWY, PRODUCENT.ID_WOJEWODZTWA, PRODUCENT.MIEJSCOWOSC",
    " ,PRODUCENT.TEL_KIER, PRODUCENT.TELEFON1, PRODUCENT.TELEFON2, PRODUCENT.TELEFON3",
    " ,PRODUCENT.FAKS, PRODUCENT.NIP, PRODUCENT.EMAIL_PODSTAWOWY, PRODUCENT.EMAIL_DZIAL_HANDLOWY",
    " ,PRODUCENT.ADRES_WWW, PRODUCENT.NAZWISKO_OSH, PRODUCENT.IMIE_OSH, PRODUCENT.TELEFON_OSH",
    " ,PRODUCENT.EMAIL_OSH, PRODUCENT.STANOWISKO_OSH, PRODUCENT.NAZWISKO_OST",
    " ,PRODUCENT.IMIE_OST, PRODUCENT.TELEFON_OST, PRODUCENT.EMAIL_OST, PRODUCENT.STANOWISKO_OST",
    " ,PRODUCENT.idx_kod_prod, PRODUCENT.idx_nazwa_prod, PRODUCENT.idx_nip_prod",
    " ,PRODUCENT.idx_miejscowosc_prod, WOJEWODZTWO.NAZWA, KRAJ.NAZWA_KRAJU",
    " ,PRODUCENT.OPIS_FIRMY, PRODUCENT.UPUSTY",
});

const std::string kFrom = " From PRODUCENT, WOJEWODZTWO, KRAJ ";
const std::string kJoins =
    " WHERE  PRODUCENT.ID_WOJEWODZTWA=WOJEWODZTWO.ID_WOJEWODZTWA AND PRODUCENT.ID_KRAJU=KRAJ.ID_KRAJU";

// See the goods tests: the words are chosen to scramble without LIKE characters.
std::string scr(std::string_view upperWord, int mode) {
    std::string s = Szyfruj(upperWord, mode);
    for (char c : s) {
        EXPECT_EQ(std::string_view("\"%[]^_").find(c), std::string_view::npos)
            << "scrambled '" << upperWord << "' holds a LIKE character; pick another test word";
        if (mode == 1) {
            EXPECT_NE(c, Szyfruj("*", 1)[0]);
        }
    }
    return s;
}

TEST(SupplierQuery, BranchAndProvinceExample) {
    TsDostawca d{};
    d.idBranzy = 5;
    d.idWojewodztwa = 7;
    const std::string tail =
        " From PRODUCENT, WOJEWODZTWO, KRAJ , BRANZA_PRODUCENTA, BRANZA WHERE  "
        "PRODUCENT.ID_WOJEWODZTWA=WOJEWODZTWO.ID_WOJEWODZTWA AND PRODUCENT.ID_KRAJU=KRAJ.ID_KRAJU AND "
        "PRODUCENT.ID_WOJEWODZTWA = 7 AND BRANZA.ID_BRANZY = 5 AND "
        "BRANZA_PRODUCENTA.ID_PRODUCENTA=PRODUCENT.ID_PRODUCENTA AND BRANZA.ID_BRANZY=BRANZA_PRODUCENTA.ID_BRANZY";
    EXPECT_EQ(ZbudujZapytanieDostawcow(d), kSelect + tail);
}

TEST(SupplierQuery, EmptyRecordListsEveryProducer) {
    EXPECT_EQ(ZbudujZapytanieDostawcow(TsDostawca{}), kSelect + kFrom + kJoins);
    TsDostawca d{};
    d.nazwa.setUtf8("  ");
    d.listaId = "   ";
    d.idKraju = -1;
    EXPECT_EQ(ZbudujZapytanieDostawcow(d), kSelect + kFrom + kJoins);
}

TEST(SupplierQuery, EveryCriterionInOrder) {
    TsDostawca d{};
    d.listaId = " (3,17,42) ";
    d.idProducenta = 8;
    d.nazwa.setUtf8("handel");
    d.kodProducenta.setUtf8("kod");
    d.miejscowosc.setUtf8("lodz");
    d.idWojewodztwa = 6;
    d.idKraju = 1;
    d.idBranzy = 2;
    const std::string expected =
        kSelect + kFrom + ", BRANZA_PRODUCENTA, BRANZA" + kJoins + " AND PRODUCENT.ID_PRODUCENTA IN (3,17,42)" +
        " AND PRODUCENT.ID_PRODUCENTA = 8" + " AND ( PRODUCENT.NAZWA like \"%" + scr("HANDEL", 1) + "%\")" +
        " AND ( PRODUCENT.KOD_PRODUCENTA like \"" + scr("KOD", 2) + "%\")" +
        " AND ( PRODUCENT.MIEJSCOWOSC like \"" + scr("LODZ", 2) + "%\")" + " AND PRODUCENT.ID_WOJEWODZTWA = 6" +
        " AND PRODUCENT.ID_KRAJU = 1" +
        " AND BRANZA.ID_BRANZY = 2 AND BRANZA_PRODUCENTA.ID_PRODUCENTA=PRODUCENT.ID_PRODUCENTA"
        " AND BRANZA.ID_BRANZY=BRANZA_PRODUCENTA.ID_BRANZY";
    EXPECT_EQ(ZbudujZapytanieDostawcow(d), expected);
}

TEST(SupplierQuery, MixedCaseNameIsSearchedUpperCase) {
    TsDostawca lower{};
    lower.nazwa.setUtf8("łopata");
    TsDostawca upper{};
    upper.nazwa.setUtf8("ŁOPATA");
    const std::string built = ZbudujZapytanieDostawcow(lower);
    EXPECT_EQ(built, ZbudujZapytanieDostawcow(upper));
    // "Ł" is 0xA3 in Windows-1250.
    EXPECT_EQ(built, kSelect + kFrom + kJoins + " AND ( PRODUCENT.NAZWA like \"%" + scr("\xA3OPATA", 1) + "%\")");
}

TEST(SupplierQuery, LeavesTheGoodsNoCriteriaFlagAlone) {
    TsDostawca d{};
    d.idBranzy = 4;
    BrakKryteriow = true;
    ZbudujZapytanieDostawcow(d);
    EXPECT_TRUE(BrakKryteriow);
    BrakKryteriow = false;
    ZbudujZapytanieDostawcow(TsDostawca{});
    EXPECT_FALSE(BrakKryteriow);
}

TEST(SupplierQuery, ListConditionIsWrittenAsItStands) {
    StanBudowy stan{false, true};
    EXPECT_EQ(WarunekListy(stan, "", "C", "IN", "  "), "");
    EXPECT_FALSE(stan.WhereRozpoczete);
    EXPECT_TRUE(stan.BrakKryteriow);
    EXPECT_EQ(WarunekListy(stan, "x", "C", "IN", " (1, 2) "), "x WHERE C IN (1, 2)");
    EXPECT_TRUE(stan.WhereRozpoczete);
    EXPECT_FALSE(stan.BrakKryteriow);
    // Upper-cased and made LIKE-literal, but not quoted.
    EXPECT_EQ(WarunekListy(stan, "", "C", "IN", "(a_b)"), " AND C IN (A[_]B)");
}

TEST(SupplierCriteria, TextFieldsKeepTheirCapacities) {
    TsDostawca d{};
    d.nazwa.setUtf8(std::string(101, 'n'));
    d.miejscowosc.setUtf8(std::string(34, 'm') + "ść");
    d.kodProducenta.setUtf8(std::string(16, 'k'));
    EXPECT_EQ(d.nazwa.view(), std::string(100, 'n'));
    EXPECT_EQ(d.miejscowosc.view(), std::string(34, 'm') + "\x9C");
    EXPECT_EQ(d.kodProducenta.view(), std::string(15, 'k'));
}

}  // namespace
}  // namespace kmx
