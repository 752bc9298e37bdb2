// kmx-tool pricebase as support staff call it, on price bases written
// through the price-base library that lies beside the programs.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "catalog/csv.h"
#include "catalog/demo.h"
#include "core/cp1250.h"
#include "core/t3_records.h"
#include "pricebase/pricebase.h"
#include "tools_test_support.h"

namespace kmx::catalog {
namespace {

using testing::runTool;
using testing::ScratchDir;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

std::string quoted(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

// The library's functions, loaded as the program loads them.
class Library {
public:
    Library() {
        const char* bin = std::getenv("KMX_BIN_DIR");
        const std::filesystem::path dir =
            bin ? std::filesystem::path(bin) : std::filesystem::read_symlink("/proc/self/exe").parent_path();
        handle_ = dlopen((dir / "libkmx_pricebase.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) {
            const char* e = dlerror();
            why_ = e ? e : "cannot load the library";
            return;
        }
        create = reinterpret_cast<DbCenyCreateTable_t>(dlsym(handle_, KMX_PB_DbCenyCreateTable));
        enter = reinterpret_cast<DbWstawCennik_t>(dlsym(handle_, KMX_PB_DbWstawCennik));
        open = reinterpret_cast<DbCenyOpenTable_t>(dlsym(handle_, KMX_PB_DbCenyOpenTable));
        insert = reinterpret_cast<DbCenyWstawRMS_t>(dlsym(handle_, KMX_PB_DbCenyWstawRMS));
        close = reinterpret_cast<DbCenyCloseTable_t>(dlsym(handle_, KMX_PB_DbCenyCloseTable));
        producer = reinterpret_cast<DbProdAppendToTable_t>(dlsym(handle_, KMX_PB_DbProdAppendToTable));
        kmbOpen = reinterpret_cast<DbCnvEtoKmbOpenTable_t>(dlsym(handle_, KMX_PB_DbCnvEtoKmbOpenTable));
        kmbFind = reinterpret_cast<DbCnvEtoKmbFind_t>(dlsym(handle_, KMX_PB_DbCnvEtoKmbFind));
    }
    ~Library() {
        if (handle_) dlclose(handle_);
    }
    bool loaded() const {
        return handle_ && create && enter && open && insert && close && producer && kmbOpen && kmbFind;
    }
    const std::string& why() const { return why_; }

    // A registered price list with its rows.
    void priceList(const std::filesystem::path& folder, const t3::CennikRec& c, const std::vector<t3::RmsRec>& rows) {
        std::array<char, t3::kCennikRecSize> h{};
        t3::Zapisz(c, h.data());
        std::int32_t table = 0;
        ASSERT_EQ(create(folder.c_str(), h.data(), 'E'), 0);
        ASSERT_EQ(enter(folder.c_str(), "cenniki.dbf", h.data()), 0);
        ASSERT_EQ(open(&table, folder.c_str(), h.data(), 'E'), 0);
        for (const t3::RmsRec& r : rows) {
            std::array<char, t3::kRmsRecSize> b{};
            t3::ZapiszRms(r, b.data());
            ASSERT_EQ(insert(table, b.data()), 0);
        }
        ASSERT_EQ(close(table), 0);
    }

    DbCenyCreateTable_t create = nullptr;
    DbWstawCennik_t enter = nullptr;
    DbCenyOpenTable_t open = nullptr;
    DbCenyWstawRMS_t insert = nullptr;
    DbCenyCloseTable_t close = nullptr;
    DbProdAppendToTable_t producer = nullptr;
    DbCnvEtoKmbOpenTable_t kmbOpen = nullptr;
    DbCnvEtoKmbFind_t kmbFind = nullptr;

private:
    void* handle_ = nullptr;
    std::string why_ = "a function is missing";
};

std::string pl(const char* utf8) {
    return cp1250::fromUtf8(utf8);
}

TEST(PricebaseCommand, ListsThePriceListsAndDumpsTheirRowsAsUtf8) {
    ScratchDir dir;
    Library lib;
    ASSERT_TRUE(lib.loaded()) << lib.why();
    const auto base = dir / "bazy";
    std::filesystem::create_directories(base);
    lib.priceList(base, {"Kmx4_2026.dbf", "E", 1, pl("Kalmarex wyd.4/2026 – ściany"), "wyd. 4/2026", "PLN"},
                  {{"1610101", "SZT", "2", "M", "szt.", 7.65f, 8.18f, 9.81f, pl("Pustak ceramiczny P+W\tżółty")},
                   {"K1610101", "SZT", "1", "M", "szt.", 0.0125f, 1200.5f, 0, pl("Łącznik")}});
    lib.priceList(base, {"Pusty.dbf", "E", 1, "Pusty", "", "EUR"}, {});
    lib.priceList(base, {"Znikniety.dbf", "E", 1, pl("Zniknięty"), "", "PLN"}, {});
    std::filesystem::remove(base / "Znikniety.dbf");

    const auto list = runTool(dir, "pricebase list " + quoted(base));
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.err, "");
    EXPECT_EQ(lines(list.out), (std::vector<std::string>{
                                   "PLIK\tTYP\tOPIS\tPOZIOM\tWALUTA\tWIERSZE",
                                   "Kmx4_2026.dbf\tE\tKalmarex wyd.4/2026 – ściany\twyd. 4/2026\tPLN\t2",
                                   "Pusty.dbf\tE\tPusty\t\tEUR\t0",
                                   "Znikniety.dbf\tE\tZniknięty\t\tPLN\tmissing",
                               }));

    const auto dump = runTool(dir, "pricebase dump " + quoted(base) + " Kmx4_2026.dbf");
    EXPECT_EQ(dump.status, 0) << dump.err;
    EXPECT_EQ(lines(dump.out), (std::vector<std::string>{
                                   "KOD\tJM_KOD\tRODZAJ\tTYP\tJM_NAZWA\tCENA_PROD\tCENA_HURT\tCENA_DET\tNAZWA",
                                   "1610101\tSZT\t2\tM\tszt.\t7.65\t8.18\t9.81\tPustak ceramiczny P+W żółty",
                                   "K1610101\tSZT\t1\tM\tszt.\t0.0125\t1200.50\t0.00\tŁącznik",
                               }));
}

TEST(PricebaseCommand, PrintsTheProducers) {
    ScratchDir dir;
    Library lib;
    ASSERT_TRUE(lib.loaded()) << lib.why();
    t3::ProdRec p{"STA", "1234567890", pl("Stalonda Łódź"), "90-001", pl("Łódź"), pl("ul. Długa 1"), pl("łódzkie"),
                  "042", "123 45 67", "", "biuro@stalonda.example.pl", "www.stalonda.example.pl"};
    std::array<char, t3::kProdRecSize> b{};
    t3::ZapiszProd(p, b.data());
    ASSERT_EQ(lib.producer(b.data(), dir.path().c_str(), "producen.dbf"), 0);
    const auto r = runTool(dir, "pricebase producers " + quoted(dir.path()));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(r.out),
              (std::vector<std::string>{"KOD\tNIP\tNAZWA\tKOD_POCZT\tMIEJSCOWOS\tULICA\tWOJEWODZTW\tTEL_KIER\tTELEFON"
                                        "\tFAKS\tEMAIL\tWWW",
                                        "STA\t1234567890\tStalonda Łódź\t90-001\tŁódź\tul. Długa 1\tłódzkie\t042\t123 "
                                        "45 67\t\tbiuro@stalonda.example.pl\twww.stalonda.example.pl"}));
}

TEST(PricebaseCommand, TheDemoConversionTableConvertsIndicesOfTheDemoCatalogue) {
    ScratchDir dir;
    const auto written = runTool(dir, "pricebase demo-kmb " + quoted(dir.path()));
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out, "written " + (dir / "etokmb.dbf").string() + "\n");

    // Every index and unit of the table belongs to goods of the default demo.
    const DemoData demo = generateDemo(3000);
    std::vector<CsvRecord> goods, units;
    std::string error;
    ASSERT_TRUE(parseCsv(demo.csv.at("TOWAR"), goods, error)) << error;
    ASSERT_TRUE(parseCsv(demo.csv.at("JEDNOSTKA_MIARY"), units, error)) << error;
    std::map<std::string, std::string> unitCode;
    for (std::size_t i = 1; i < units.size(); ++i) unitCode[units[i].fields[0]] = units[i].fields[2];
    const auto& head = goods.front().fields;
    const auto col = [&](const char* name) {
        return static_cast<std::size_t>(std::find(head.begin(), head.end(), name) - head.begin());
    };
    std::set<std::pair<std::string, std::string>> demoPairs;
    std::set<std::string> demoEto;
    for (std::size_t i = 1; i < goods.size(); ++i) {
        const auto& f = goods[i].fields;
        demoPairs.emplace(f[col("INDEKS_ETO")], unitCode[f[col("ID_JEDNOSTKI")]]);
        demoEto.insert(f[col("INDEKS_ETO")]);
    }

    const auto dump = runTool(dir, "pricebase dump " + quoted(dir.path()) + " etokmb.dbf");
    ASSERT_EQ(dump.status, 0) << dump.err;
    const auto rows = lines(dump.out);
    ASSERT_GE(rows.size(), 13u);
    EXPECT_EQ(rows[0], "ETO\tJM\tKMB");
    Library lib;
    ASSERT_TRUE(lib.loaded()) << lib.why();
    std::int32_t ctx = 0;
    ASSERT_EQ(lib.kmbOpen(dir.path().c_str(), &ctx), 0);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        std::vector<std::string> v;
        std::istringstream in(rows[i]);
        for (std::string s; std::getline(in, s, '\t');) v.push_back(s);
        v.resize(3);
        SCOPED_TRACE(rows[i]);
        if (v[1].empty())
            EXPECT_TRUE(demoEto.count(v[0]));
        else
            EXPECT_TRUE(demoPairs.count({v[0], v[1]}));
        std::array<char, 9> a{};
        t3::PoleTekstu(a.data(), 8, v[0]);
        EXPECT_EQ(lib.kmbFind(a.data(), nullptr, v[1].empty() ? "SZT" : v[1].c_str(), 1, &ctx), 0);
        EXPECT_EQ(std::string(a.data()), v[2]);
    }
}

TEST(PricebaseCommand, FailuresAndBadArgumentsExitWithOneLine) {
    ScratchDir dir;
    const std::string folder = quoted(dir.path());
    for (const std::string& args :
         {"pricebase list " + folder, "pricebase producers " + folder, "pricebase dump " + folder + " Brak.dbf",
          "pricebase list " + quoted(dir / "none"), "pricebase demo-kmb " + quoted(dir / "none")}) {
        const auto r = runTool(dir, args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << args << ": " << r.err;
    }
    for (const std::string& args :
         {std::string("pricebase"), "pricebase frobnicate " + folder, std::string("pricebase list"),
          "pricebase list " + folder + " x",
          "pricebase dump " + folder, "pricebase dump " + folder + " ../x.dbf", "pricebase dump " + folder + " x.txt",
          "pricebase list --all " + folder}) {
        const auto r = runTool(dir, args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << args << ": " << r.err;
    }
}

}  // namespace
}  // namespace kmx::catalog
