// The goods and supplier detail panels on the demo catalogue. Expected texts
// come from the demo's source tables (the plain values the catalogue was
// built from), not from the panels' own reading of the catalogue.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "app/goods_panel.h"
#include "app/program_paths.h"
#include "app/supplier_panel.h"
#include "catalog/csv.h"
#include "catalog/demo.h"
#include "core/criteria.h"
#include "core/query_builder.h"
#include "core/settings_file.h"
#include "data/dataset.h"
#include "data/tdm.h"
#include "platform/dialogs.h"
#include "platform/links.h"

namespace {

using kmx::app::GoodsPanel;
using kmx::app::SupplierPanel;
using kmx::data::DataSet;
using kmx::data::TDM;

constexpr int kGoods = 120;

// One source table of the demo: header and rows of plain UTF-8 values.
struct Table {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;

    int col(const std::string& name) const {
        const auto it = std::find(header.begin(), header.end(), name);
        return it == header.end() ? -1 : static_cast<int>(it - header.begin());
    }
    // The row whose first column is the id.
    const std::vector<std::string>& byId(long id) const {
        for (const auto& r : rows) {
            if (r[0] == std::to_string(id)) return r;
        }
        static const std::vector<std::string> none;
        return none;
    }
    QString get(const std::vector<std::string>& row, const std::string& name) const {
        const int c = col(name);
        if (c < 0 || static_cast<std::size_t>(c) >= row.size()) return {};
        return QString::fromStdString(row[static_cast<std::size_t>(c)]);
    }
    QString get(long id, const std::string& name) const { return get(byId(id), name); }
};

// The demo catalogue, built once for this test program.
struct Demo {
    QTemporaryDir dir;
    std::string password;
    std::string error;
    bool ok = false;
    std::map<std::string, Table> tables;

    Demo() {
        kmx::catalog::DemoOptions options;
        options.goods = kGoods;
        const kmx::catalog::DemoResult r = kmx::catalog::writeDemo(dir.path().toStdString(), options);
        if (!r.ok) {
            error = r.error;
            return;
        }
        const kmx::UstawieniaResult settings =
            kmx::CzytajUstawienia(std::filesystem::path(dir.path().toStdString()) / "kmx.iif");
        if (!settings.ok) {
            error = settings.error;
            return;
        }
        password = settings.password;
        const kmx::catalog::DemoData data = kmx::catalog::generateDemo(kGoods);
        for (const auto& [name, text] : data.csv) {
            std::vector<kmx::catalog::CsvRecord> records;
            if (!kmx::catalog::parseCsv(text, records, error)) return;
            Table t;
            t.header = records.front().fields;
            for (std::size_t i = 1; i < records.size(); ++i) t.rows.push_back(records[i].fields);
            tables[name] = std::move(t);
        }
        ok = true;
    }
    std::filesystem::path file(const char* name) const {
        return std::filesystem::path(dir.path().toStdString()) / name;
    }
    const Table& table(const std::string& name) const { return tables.at(name); }
};

const Demo& demo() {
    static Demo d;
    return d;
}

// Passes the data module's notifications to the panels, as the main window does.
class PanelObserver : public kmx::data::TDMObserver {
public:
    GoodsPanel* goods = nullptr;
    SupplierPanel* supplier = nullptr;
    void UstawPrzyciskMenuiZaklSzczTowDost(bool) override {}
    void PokazDaneDostawcy(DataSet& set) override {
        if (supplier) supplier->PokazDaneDostawcy(set);
    }
    void PokazDaneTowaru(DataSet& set) override {
        if (goods) goods->PokazDaneTowaru(set);
    }
    void UstawPrzyciskiStron() override {}
    std::optional<ActiveGrid> GetActiveGrid() override { return std::nullopt; }
    int ObliczIloscStronwGridzie() override { return 0; }
    void UstawIloscStron(int) override {}
    void UstawNumerStrony(int) override {}
};

bool moveToId(DataSet& set, const char* idField, long id) {
    const int f = set.fieldIndex(idField);
    if (f < 0) return false;
    for (int r = 0; r < set.recordCount(); ++r) {
        if (set.cell(r, f).asInt() == id) return set.moveTo(r + 1);
    }
    return false;
}

// The names a goods item's groups have in the source tables.
QStringList groupNamesOf(long goodsId) {
    const Table& links = demo().table("WYBRANA_GRUPA");
    const Table& groups = demo().table("GRUPA_TOWAROWA");
    QStringList names;
    for (const auto& r : links.rows) {
        if (r[0] == std::to_string(goodsId)) names << groups.get(std::stol(r[1]), "NAZWA");
    }
    return names;
}

// True when the text is the names joined with ", " in some order (the
// statement gives no order; names may hold commas themselves).
bool joinedInSomeOrder(const QString& text, QStringList names) {
    names.sort();
    do {
        if (names.join(QStringLiteral(", ")) == text) return true;
    } while (std::next_permutation(names.begin(), names.end()));
    return false;
}

QString memoText(const std::string& raw) {
    QString s = QString::fromStdString(raw);
    s.remove(QLatin1Char('\t'));
    s = s.trimmed();
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

class DetailPanels : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(demo().ok) << demo().error;
        ASSERT_FALSE(tdm.PolaczZBaza(demo().file("kmx.dat"), demo().password));
        kmx::app::UstawKatalogProgramu(demo().dir.path());
        auto& d = kmx::platform::dialogs();
        d.setTestMode(true);
        d.shownMessages.clear();
        tdm.setObserver(&observer);
    }
    void TearDown() override {
        tdm.setObserver(nullptr);
        kmx::app::UstawKatalogProgramu(QString());
    }

    void openGoods() {
        std::string error;
        ASSERT_TRUE(
            tdm.QWybrTow.open(kmx::ZbudujZapytanieTowarow(kmx::TsTowar{}, 0) + " ORDER BY idx_NAZWA", error))
            << error;
    }
    void openSuppliers() {
        std::string error;
        ASSERT_TRUE(tdm.QWybrDost.open(
            kmx::ZbudujZapytanieDostawcow(kmx::TsDostawca{}) + " ORDER BY idx_nazwa_prod", error))
            << error;
    }
    // First goods id whose row satisfies the test, from the source table.
    template <typename Pred>
    long findGoods(Pred pred) const {
        const Table& t = demo().table("TOWAR");
        for (const auto& r : t.rows) {
            if (pred(t, r)) return std::stol(r[0]);
        }
        return 0;
    }

    TDM tdm;
    PanelObserver observer;
    kmx::platform::RecordingLinkOpener links;
};

template <typename T>
QString textOf(QWidget& panel, const char* name) {
    T* w = panel.findChild<T*>(QString::fromLatin1(name));
    if (!w) return QStringLiteral("<missing %1>").arg(QString::fromLatin1(name));
    if constexpr (std::is_same_v<T, QPlainTextEdit>)
        return w->toPlainText();
    else
        return w->text();
}

QString line(QWidget& p, const char* name) {
    return textOf<QLineEdit>(p, name);
}
QString memo(QWidget& p, const char* name) {
    return textOf<QPlainTextEdit>(p, name);
}

// ------------------------------------------------------------------ goods panel

TEST_F(DetailPanels, GoodsPanelShowsTheFieldsOfTheCurrentRow) {
    GoodsPanel panel(tdm, links);
    observer.goods = &panel;
    panel.bind(&tdm.QWybrTow, true);
    openGoods();
    ASSERT_TRUE(moveToId(tdm.QWybrTow, "ID_TOWARU", 1));

    const Table& t = demo().table("TOWAR");
    const auto& row = t.byId(1);
    EXPECT_EQ(panel.objectName(), "DaneTow");
    EXPECT_EQ(memo(panel, "dbNazwaTowaru"), "Pustak ceramiczny P+W 25x38x23,8 cm (pióro + wpust)");
    EXPECT_EQ(line(panel, "dbSymbol"), t.get(row, "SYMBOL").toUpper());
    EXPECT_EQ(line(panel, "dbIndeksETO"), t.get(row, "INDEKS_ETO").toUpper());
    EXPECT_EQ(line(panel, "dbPKWiU"), t.get(row, "PKWIU").toUpper());
    EXPECT_EQ(line(panel, "dbTypProduktu"), t.get(row, "TYP_RMS"));
    EXPECT_EQ(line(panel, "dbJednMiary"),
              demo().table("JEDNOSTKA_MIARY").get(t.get(row, "ID_JEDNOSTKI").toLong(), "NAZWA"));
    EXPECT_EQ(line(panel, "dbWaluta"),
              demo().table("WALUTA").get(t.get(row, "ID_WALUTY").toLong(), "SYMBOL"));
    EXPECT_EQ(line(panel, "dbStawkaVAT"),
              demo().table("STAWKA_VAT").get(t.get(row, "ID_STAWKI_VAT").toLong(), "KOD"));
    // The net price with two decimals and a decimal comma.
    EXPECT_EQ(line(panel, "dbCena"),
              QString::number(t.get(row, "CENA_JEDNOSTKOWA").toDouble(), 'f', 2).replace('.', ','));
    EXPECT_EQ(memo(panel, "dbNazwaOrgProd"), t.get(row, "NAZWA_ORG_PROD").toUpper());
    EXPECT_EQ(memo(panel, "mOpisTowaru"), memoText(row[static_cast<std::size_t>(t.col("OPIS_TOWARU"))]));
    // Packaging measures as the data module shows them.
    EXPECT_EQ(line(panel, "dbCiezarJednPak"),
              QString::fromStdString(tdm.QWybrTow.displayText("CIEZAR_JED_PAK")));
    EXPECT_EQ(line(panel, "dbWysokosc"), QString::fromStdString(tdm.QWybrTow.displayText("ROZMIAR_JP_WY")));
    EXPECT_EQ(line(panel, "dbSzerokosc"), QString::fromStdString(tdm.QWybrTow.displayText("ROZMIAR_JP_SZ")));
    EXPECT_EQ(line(panel, "dbDlugosc"), QString::fromStdString(tdm.QWybrTow.displayText("ROZMIAR_JP_DL")));
    EXPECT_TRUE(panel.findChild<QWidget*>("JednPak"));
    EXPECT_TRUE(panel.findChild<QWidget*>("RozmJednPak"));

    // Closing the set and refreshing empties the panel.
    tdm.QWybrTow.close();
    panel.refresh();
    EXPECT_EQ(memo(panel, "dbNazwaTowaru"), "");
    EXPECT_EQ(line(panel, "dbSymbol"), "");
    EXPECT_EQ(memo(panel, "mOpisTowaru"), "");
}

TEST_F(DetailPanels, GoodsGroupsAreJoinedAndClearedForGoodsWithoutGroups) {
    GoodsPanel panel(tdm, links);
    observer.goods = &panel;
    panel.bind(&tdm.QWybrTow, true);
    openGoods();

    const long twoGroups =
        findGoods([](const Table&, const auto& r) { return groupNamesOf(std::stol(r[0])).size() == 2; });
    const long noGroups =
        findGoods([](const Table&, const auto& r) { return groupNamesOf(std::stol(r[0])).isEmpty(); });
    ASSERT_NE(twoGroups, 0);
    ASSERT_NE(noGroups, 0);

    ASSERT_TRUE(moveToId(tdm.QWybrTow, "ID_TOWARU", twoGroups));
    const QString shown = memo(panel, "mGrupyTowarowe");
    EXPECT_TRUE(joinedInSomeOrder(shown, groupNamesOf(twoGroups))) << shown.toStdString();
    EXPECT_FALSE(shown.endsWith(' '));
    EXPECT_FALSE(shown.endsWith(','));

    ASSERT_TRUE(moveToId(tdm.QWybrTow, "ID_TOWARU", noGroups));
    EXPECT_EQ(memo(panel, "mGrupyTowarowe"), "");

    EXPECT_EQ(
        kmx::data::ZapytanieGrupTowaru(42),
        "SELECT GRUPA_TOWAROWA.NAZWA FROM GRUPA_TOWAROWA, WYBRANA_GRUPA WHERE WYBRANA_GRUPA.ID_TOWARU = 42 "
        "AND WYBRANA_GRUPA.ID_GRUPY = GRUPA_TOWAROWA.ID_GRUPY");
}

TEST_F(DetailPanels, FailedGroupStatementShowsTheMessageAndKeepsTheMemo) {
    GoodsPanel panel(tdm, links);
    const long withGroup =
        findGoods([](const Table&, const auto& r) { return groupNamesOf(std::stol(r[0])).size() == 1; });
    panel.OdkodujGrupyTowarow(withGroup);
    const QString before = memo(panel, "mGrupyTowarowe");
    ASSERT_EQ(before, groupNamesOf(withGroup).front());

    tdm.QWybrGrupy.setDatabase(nullptr);  // the statement cannot run now
    panel.OdkodujGrupyTowarow(withGroup);
    tdm.QWybrGrupy.setDatabase(&tdm.KMXConnection);

    EXPECT_EQ(memo(panel, "mGrupyTowarowe"), before);
    const auto& shown = kmx::platform::dialogs().shownMessages;
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "KALMAREX");
    EXPECT_EQ(shown[0].text, "Nie moża wykonać zapytania o grupy materiałowe!");
    EXPECT_EQ(shown[0].icon, kmx::platform::MessageIcon::Error);
}

TEST_F(DetailPanels, EquipmentHidesTheGroupsAndMaterialShowsThemAgain) {
    GoodsPanel panel(tdm, links);
    observer.goods = &panel;
    panel.bind(&tdm.QWybrTow, true);
    openGoods();
    const long equipment =
        findGoods([](const Table& t, const auto& r) { return t.get(r, "TYP_RMS") == "S"; });
    const long material = findGoods([](const Table& t, const auto& r) { return t.get(r, "TYP_RMS") == "M"; });
    ASSERT_NE(equipment, 0);
    ASSERT_NE(material, 0);

    auto* groups = panel.findChild<QPlainTextEdit*>("mGrupyTowarowe");
    auto* caption = panel.findChild<QLabel*>("lblGrupyTowarowe");
    ASSERT_TRUE(groups && caption);
    EXPECT_EQ(caption->text(), "Grupy towarowe:");

    ASSERT_TRUE(moveToId(tdm.QWybrTow, "ID_TOWARU", equipment));
    EXPECT_EQ(line(panel, "dbTypProduktu"), "S");
    EXPECT_TRUE(groups->isHidden());
    EXPECT_TRUE(caption->isHidden());

    ASSERT_TRUE(moveToId(tdm.QWybrTow, "ID_TOWARU", material));
    EXPECT_FALSE(groups->isHidden());
    EXPECT_FALSE(caption->isHidden());
}

TEST_F(DetailPanels, GoodsWebLinkOpensTheStoredAddressOnBothCatalogues) {
    GoodsPanel panel(tdm, links);
    const Table& t = demo().table("TOWAR");
    const long withWww =
        findGoods([](const Table& tt, const auto& r) { return !tt.get(r, "ADRES_WWW").isEmpty(); });
    const long withoutWww =
        findGoods([](const Table& tt, const auto& r) { return tt.get(r, "ADRES_WWW").isEmpty(); });
    ASSERT_NE(withWww, 0);
    const QString address = t.get(withWww, "ADRES_WWW");

    // Goods catalogue: column "Towar.Adres_www" of the found goods.
    panel.bind(&tdm.QWybrTow, true);
    openGoods();
    ASSERT_TRUE(moveToId(tdm.QWybrTow, "ID_TOWARU", withWww));
    panel.refresh();
    auto* link = panel.findChild<QLabel*>("lAdresWWW");
    ASSERT_TRUE(link);
    EXPECT_TRUE(link->text().contains(address.toHtmlEscaped()));
    emit link->linkActivated(QStringLiteral("#"));
    ASSERT_EQ(links.opened.size(), 1u);
    EXPECT_EQ(links.opened[0], address);

    // Supplier catalogue: column "Adres_www" of one supplier's goods.
    const long producer = t.get(withWww, "ID_PRODUCENTA").toLong();
    std::string error;
    ASSERT_TRUE(tdm.QWybrTowForDost.open(kmx::data::ZapytanieTowarowDostawcy(producer), error)) << error;
    ASSERT_TRUE(moveToId(tdm.QWybrTowForDost, "ID_TOWARU", withWww));
    panel.bind(&tdm.QWybrTowForDost, false);
    panel.refresh();
    EXPECT_EQ(memo(panel, "dbNazwaTowaru"), t.get(withWww, "NAZWA"));
    EXPECT_TRUE(panel.otworzAdresWWW());
    ASSERT_EQ(links.opened.size(), 2u);
    EXPECT_EQ(links.opened[1], address);

    // Nothing is opened for goods without an address.
    if (withoutWww != 0) {
        panel.bind(&tdm.QWybrTow, true);
        ASSERT_TRUE(moveToId(tdm.QWybrTow, "ID_TOWARU", withoutWww));
        EXPECT_FALSE(panel.otworzAdresWWW());
        EXPECT_EQ(links.opened.size(), 2u);
    }
}

TEST_F(DetailPanels, BackToListLinksEmitTheirSignal) {
    GoodsPanel goods(tdm, links);
    SupplierPanel supplier(tdm, links);
    int goodsBack = 0;
    int supplierBack = 0;
    QObject::connect(&goods, &GoodsPanel::powrotDoListy, [&] { ++goodsBack; });
    QObject::connect(&supplier, &SupplierPanel::powrotDoListy, [&] { ++supplierBack; });
    auto* g = goods.findChild<QLabel*>("lPowrotDoListy");
    auto* s = supplier.findChild<QLabel*>("lPowrotDoListy");
    ASSERT_TRUE(g && s);
    EXPECT_TRUE(g->text().contains("Powrót do listy"));
    emit g->linkActivated(QStringLiteral("#"));
    EXPECT_EQ(goodsBack, 1);
    EXPECT_EQ(supplierBack, 0);
    emit s->linkActivated(QStringLiteral("#"));
    EXPECT_EQ(supplierBack, 1);
}

// ------------------------------------------------------------------ supplier panel

TEST_F(DetailPanels, SupplierLinesFollowTheirRules) {
    using kmx::app::LiniaAdresu;
    using kmx::app::LiniaOsoby;
    using kmx::app::LiniaTelefonow;
    using kmx::app::PierwszyAdresWWW;
    EXPECT_EQ(LiniaAdresu("00-950", "Warszawa", "ul. Prosta 1"), "00-950 Warszawa, ul. Prosta 1");
    EXPECT_EQ(LiniaTelefonow("1", "2", "3"), "1, 2, 3");
    EXPECT_EQ(LiniaTelefonow("1", "", "3"), "1, 3");
    EXPECT_EQ(LiniaTelefonow("", "2", ""), ", 2");
    EXPECT_EQ(LiniaTelefonow("", "", ""), "");
    EXPECT_EQ(LiniaOsoby("Jan", "Nowak", "Kierownik"), "Jan Nowak, Kierownik");
    EXPECT_EQ(LiniaOsoby("Jan", "Nowak", ""), "Jan Nowak");
    EXPECT_EQ(LiniaOsoby("Jan", "", "Kierownik"), "");
    EXPECT_EQ(PierwszyAdresWWW("  www.a.pl  "), "www.a.pl");
    EXPECT_EQ(PierwszyAdresWWW("www.a.pl,www.b.pl"), "www.a.pl");
    EXPECT_EQ(PierwszyAdresWWW("www.a.pl www.b.pl"), "www.a.pl");
    EXPECT_EQ(PierwszyAdresWWW("www.a.pl; www.b.pl"), "www.a.pl");
    EXPECT_EQ(PierwszyAdresWWW(""), "");
}

TEST_F(DetailPanels, SupplierPanelShowsTheFoundSupplier) {
    SupplierPanel panel(tdm, links);
    observer.supplier = &panel;
    panel.bind(&tdm.QWybrDost, false);
    openSuppliers();
    const Table& p = demo().table("PRODUCENT");

    ASSERT_TRUE(moveToId(tdm.QWybrDost, "ID_PRODUCENTA", 1));
    EXPECT_EQ(panel.objectName(), "DaneDost");
    EXPECT_EQ(memo(panel, "dbNazwaDostawcy"), p.get(1, "NAZWA"));
    EXPECT_EQ(line(panel, "dbNIP"), p.get(1, "NIP"));
    EXPECT_EQ(line(panel, "dbKraj"), demo().table("KRAJ").get(p.get(1, "ID_KRAJU").toLong(), "NAZWA_KRAJU"));
    EXPECT_EQ(line(panel, "dbWojewodztwo"),
              demo().table("WOJEWODZTWO").get(p.get(1, "ID_WOJEWODZTWA").toLong(), "NAZWA"));
    EXPECT_EQ(line(panel, "dbTelKier"), p.get(1, "TEL_KIER"));
    EXPECT_EQ(line(panel, "dbFaks"), p.get(1, "FAKS"));
    EXPECT_EQ(line(panel, "dbTelefonOSH"), p.get(1, "TELEFON_OSH"));
    EXPECT_EQ(line(panel, "dbEmailOSH"), p.get(1, "EMAIL_OSH"));
    // The catalogue keeps town names in upper case, as they are searched.
    EXPECT_EQ(line(panel, "lAdres"), p.get(1, "KOD_POCZTOWY") + " " + p.get(1, "MIEJSCOWOSC").toUpper() +
                                         ", " + p.get(1, "ULICA_DOM"));
    EXPECT_EQ(memo(panel, "mOpisFirmy"), memoText(p.byId(1)[static_cast<std::size_t>(p.col("OPIS_FIRMY"))]));
    EXPECT_EQ(memo(panel, "mUpusty"), memoText(p.byId(1)[static_cast<std::size_t>(p.col("UPUSTY"))]));

    // Branches from the link table.
    QStringList branches;
    for (const auto& r : demo().table("BRANZA_PRODUCENTA").rows) {
        if (r[0] == "1") branches << demo().table("BRANZA").get(std::stol(r[1]), "NAZWA");
    }
    ASSERT_FALSE(branches.isEmpty());
    ASSERT_GE(branches.size(), 2);
    EXPECT_TRUE(joinedInSomeOrder(memo(panel, "mBranze"), branches)) << memo(panel, "mBranze").toStdString();

    // A description with a tab loses it.
    for (const auto& r : p.rows) {
        const QString opis = p.get(r, "OPIS_FIRMY");
        if (!opis.contains('\t')) continue;
        ASSERT_TRUE(moveToId(tdm.QWybrDost, "ID_PRODUCENTA", std::stol(r[0])));
        EXPECT_FALSE(memo(panel, "mOpisFirmy").contains('\t'));
        EXPECT_EQ(memo(panel, "mOpisFirmy"), memoText(r[static_cast<std::size_t>(p.col("OPIS_FIRMY"))]));
        break;
    }
}

TEST_F(DetailPanels, SupplierPhoneAndPersonLines) {
    SupplierPanel panel(tdm, links);
    observer.supplier = &panel;
    panel.bind(&tdm.QWybrDost, false);
    openSuppliers();
    const Table& p = demo().table("PRODUCENT");

    // Producer 2 lists no first telephone.
    ASSERT_TRUE(p.get(2, "TELEFON1").isEmpty());
    ASSERT_FALSE(p.get(2, "TELEFON2").isEmpty());
    ASSERT_TRUE(moveToId(tdm.QWybrDost, "ID_PRODUCENTA", 2));
    QString phones = ", " + p.get(2, "TELEFON2");
    if (!p.get(2, "TELEFON3").isEmpty()) phones += ", " + p.get(2, "TELEFON3");
    EXPECT_EQ(line(panel, "lTelefony"), phones);

    // Producer 6: a surname without a position.
    ASSERT_TRUE(p.get(6, "STANOWISKO_OSH").isEmpty());
    ASSERT_TRUE(moveToId(tdm.QWybrDost, "ID_PRODUCENTA", 6));
    EXPECT_EQ(line(panel, "lOsobaOH"), p.get(6, "IMIE_OSH") + " " + p.get(6, "NAZWISKO_OSH"));

    // Producer 5: a first name without a surname gives an empty line.
    ASSERT_FALSE(p.get(5, "IMIE_OSH").isEmpty());
    ASSERT_TRUE(moveToId(tdm.QWybrDost, "ID_PRODUCENTA", 5));
    EXPECT_EQ(line(panel, "lOsobaOH"), "");

    // A technical person with name, surname and position.
    for (const auto& r : p.rows) {
        if (p.get(r, "NAZWISKO_OST").isEmpty() || p.get(r, "STANOWISKO_OST").isEmpty()) continue;
        ASSERT_TRUE(moveToId(tdm.QWybrDost, "ID_PRODUCENTA", std::stol(r[0])));
        EXPECT_EQ(line(panel, "lOsobaOT"),
                  p.get(r, "IMIE_OST") + " " + p.get(r, "NAZWISKO_OST") + ", " + p.get(r, "STANOWISKO_OST"));
        break;
    }
}

TEST_F(DetailPanels, SupplierLogoOrItsAbsence) {
    SupplierPanel panel(tdm, links);
    observer.supplier = &panel;
    panel.bind(&tdm.QWybrDost, false);
    openSuppliers();
    const Table& p = demo().table("PRODUCENT");
    auto* logo = panel.findChild<kmx::app::LogoView*>("imgLogo");
    auto* none = panel.findChild<QLabel*>("lBrakLogo");
    ASSERT_TRUE(logo && none);
    EXPECT_EQ(none->text(), "Brak logo dostawcy");

    // Producer 1 has a logo file, producer 2 none.
    ASSERT_TRUE(QFileInfo::exists(demo().dir.filePath("Logo/" + p.get(1, "KOD_PRODUCENTA") + ".jpg")));
    ASSERT_FALSE(QFileInfo::exists(demo().dir.filePath("Logo/" + p.get(2, "KOD_PRODUCENTA") + ".jpg")));

    ASSERT_TRUE(moveToId(tdm.QWybrDost, "ID_PRODUCENTA", 1));
    EXPECT_EQ(panel.plikLogo(),
              QDir(demo().dir.path()).filePath("Logo/" + p.get(1, "KOD_PRODUCENTA") + ".jpg"));
    EXPECT_FALSE(logo->picture().isNull());
    EXPECT_TRUE(none->isHidden());

    ASSERT_TRUE(moveToId(tdm.QWybrDost, "ID_PRODUCENTA", 2));
    EXPECT_TRUE(logo->picture().isNull());
    EXPECT_FALSE(none->isHidden());

    // A file that is not a picture counts as no logo.
    ASSERT_TRUE(moveToId(tdm.QWybrDost, "ID_PRODUCENTA", 1));
    QFile broken(demo().dir.filePath("Logo/" + p.get(2, "KOD_PRODUCENTA") + ".jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    ASSERT_TRUE(moveToId(tdm.QWybrDost, "ID_PRODUCENTA", 2));
    broken.remove();
    EXPECT_TRUE(logo->picture().isNull());
    EXPECT_FALSE(none->isHidden());
}

TEST_F(DetailPanels, SupplierLinksOpenTheFirstAddressAndMail) {
    SupplierPanel panel(tdm, links);
    observer.supplier = &panel;
    panel.bind(&tdm.QWybrDost, false);
    openSuppliers();
    const Table& p = demo().table("PRODUCENT");

    // Producer 4 lists two web addresses separated by a comma.
    const QString two = p.get(4, "ADRES_WWW");
    ASSERT_TRUE(two.contains(','));
    ASSERT_TRUE(moveToId(tdm.QWybrDost, "ID_PRODUCENTA", 4));
    auto* www = panel.findChild<QLabel*>("lStronaWWW");
    ASSERT_TRUE(www);
    EXPECT_LE(www->maximumWidth(), 197);
    emit www->linkActivated(QStringLiteral("#"));
    ASSERT_EQ(links.opened.size(), 1u);
    EXPECT_EQ(links.opened[0], two.left(two.indexOf(',')));

    emit panel.findChild<QLabel*>("lEmail")->linkActivated(QStringLiteral("#"));
    ASSERT_EQ(links.opened.size(), 2u);
    EXPECT_EQ(links.opened[1], "mailto:" + p.get(4, "EMAIL_PODSTAWOWY"));

    // The sales department's address, for a producer that has one.
    long sales = 0;
    for (const auto& r : p.rows) {
        if (!p.get(r, "EMAIL_DZIAL_HANDLOWY").isEmpty()) {
            sales = std::stol(r[0]);
            break;
        }
    }
    ASSERT_NE(sales, 0);
    ASSERT_TRUE(moveToId(tdm.QWybrDost, "ID_PRODUCENTA", sales));
    emit panel.findChild<QLabel*>("lEmailHandlowy")->linkActivated(QStringLiteral("#"));
    ASSERT_EQ(links.opened.size(), 3u);
    EXPECT_EQ(links.opened[2], "mailto:" + p.get(sales, "EMAIL_DZIAL_HANDLOWY"));

    // A producer without a sales address opens nothing.
    for (const auto& r : p.rows) {
        if (!p.get(r, "EMAIL_DZIAL_HANDLOWY").isEmpty()) continue;
        ASSERT_TRUE(moveToId(tdm.QWybrDost, "ID_PRODUCENTA", std::stol(r[0])));
        EXPECT_FALSE(panel.otworzEmailHandlowy());
        EXPECT_EQ(links.opened.size(), 3u);
        break;
    }
}

TEST_F(DetailPanels, SupplierPanelOnTheGoodsCatalogue) {
    SupplierPanel panel(tdm, links);
    observer.supplier = &panel;
    panel.bind(&tdm.QWybrTow, true);
    openGoods();
    const Table& t = demo().table("TOWAR");
    const Table& p = demo().table("PRODUCENT");
    const long goodsOf4 =
        findGoods([](const Table& tt, const auto& r) { return tt.get(r, "ID_PRODUCENTA") == "4"; });
    ASSERT_NE(goodsOf4, 0);
    ASSERT_EQ(t.get(goodsOf4, "ID_PRODUCENTA"), "4");

    ASSERT_TRUE(moveToId(tdm.QWybrTow, "ID_TOWARU", goodsOf4));
    EXPECT_EQ(memo(panel, "dbNazwaDostawcy"), p.get(4, "NAZWA"));
    EXPECT_EQ(line(panel, "lAdres"), p.get(4, "KOD_POCZTOWY") + " " + p.get(4, "MIEJSCOWOSC").toUpper() +
                                         ", " + p.get(4, "ULICA_DOM"));
    // The web address comes from "producent.adres_WWW" of the goods row.
    EXPECT_TRUE(panel.otworzStroneWWW());
    ASSERT_EQ(links.opened.size(), 1u);
    const QString two = p.get(4, "ADRES_WWW");
    EXPECT_EQ(links.opened[0], two.left(two.indexOf(',')));

    // Producer 1 separates its two addresses with a semicolon and a blank.
    const long goodsOf1 =
        findGoods([](const Table& tt, const auto& r) { return tt.get(r, "ID_PRODUCENTA") == "1"; });
    ASSERT_TRUE(moveToId(tdm.QWybrTow, "ID_TOWARU", goodsOf1));
    EXPECT_TRUE(panel.otworzStroneWWW());
    ASSERT_EQ(links.opened.size(), 2u);
    const QString first = p.get(1, "ADRES_WWW");
    EXPECT_EQ(links.opened[1], first.left(first.indexOf(';')));

    // A closed set leaves nothing on the panel.
    tdm.QWybrTow.close();
    panel.refresh();
    EXPECT_EQ(memo(panel, "dbNazwaDostawcy"), "");
    EXPECT_EQ(line(panel, "lAdres"), "");
    EXPECT_EQ(memo(panel, "mBranze"), "");
    EXPECT_FALSE(panel.findChild<QLabel*>("lBrakLogo")->isHidden());
    EXPECT_FALSE(panel.otworzStroneWWW());
}

TEST_F(DetailPanels, FailedBranchStatementShowsTheMessageAndKeepsTheMemo) {
    SupplierPanel panel(tdm, links);
    panel.OdkodujBranzeDostawcy(1);
    const QString before = memo(panel, "mBranze");
    ASSERT_FALSE(before.isEmpty());

    tdm.QWybrBranza.setDatabase(nullptr);
    panel.OdkodujBranzeDostawcy(2);
    tdm.QWybrBranza.setDatabase(&tdm.KMXConnection);

    EXPECT_EQ(memo(panel, "mBranze"), before);
    const auto& shown = kmx::platform::dialogs().shownMessages;
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "KALMAREX");
    EXPECT_EQ(shown[0].text, "Nie można wykonać zapytania o branże dostawcy!");
    EXPECT_EQ(shown[0].icon, kmx::platform::MessageIcon::Error);

    EXPECT_EQ(kmx::data::ZapytanieBranzDostawcy(7),
              "SELECT BRANZA.NAZWA FROM BRANZA, BRANZA_PRODUCENTA WHERE BRANZA_PRODUCENTA.ID_PRODUCENTA = 7 "
              "AND BRANZA.ID_BRANZY = BRANZA_PRODUCENTA.ID_BRANZY");
}

// Pictures of both panels for a person to look at, when a folder is given.
TEST_F(DetailPanels, Screenshots) {
    const QString folder = qEnvironmentVariable("KMX_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "KMX_SCREENSHOT_DIR not set";
    QDir().mkpath(folder);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);

    GoodsPanel goods(tdm, links);
    SupplierPanel supplier(tdm, links);
    observer.goods = &goods;
    observer.supplier = &supplier;
    goods.setFont(font);
    supplier.setFont(font);
    goods.bind(&tdm.QWybrTow, true);
    supplier.bind(&tdm.QWybrTow, true);
    openGoods();
    // Goods with groups and a web address, from a supplier with a logo.
    const long shown = findGoods([](const Table& t, const auto& r) {
        return !groupNamesOf(std::stol(r[0])).isEmpty() && !t.get(r, "ADRES_WWW").isEmpty() &&
               t.get(r, "ID_PRODUCENTA").toLong() % 3 == 1;
    });
    ASSERT_TRUE(moveToId(tdm.QWybrTow, "ID_TOWARU", shown != 0 ? shown : 1));
    goods.resize(860, 470);
    supplier.resize(860, 470);
    goods.show();
    supplier.show();
    EXPECT_TRUE(goods.grab().save(folder + "/goods_panel.png"));
    EXPECT_TRUE(supplier.grab().save(folder + "/supplier_panel.png"));
}

}  // namespace
