// Writes the seeds our own writers make into the corpus folders given as
// the one argument (fuzz/corpus): settings files, price lists plain and
// zipped, Windows executables with version resources (and each fault the
// reader must refuse), prepared reports, Wine registry files and dBASE
// tables. Their names start with "w-"; the hand-made seeds and the fuzzer's
// finds beside them are left alone. Deterministic but for the settings
// files, whose filler is random by design.

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/cp1250.h"
#include "core/kmx_zip.h"
#include "core/pricelist.h"
#include "core/settings_file.h"
#include "pricebase/dbf_tables.h"
#include "pricebase/demo_kmb.h"
#include "reports/engine/prepared.h"
#include "reports/engine/qrp.h"
#include "support/pe_builder.h"
#include "support/wine_prefix.h"

namespace fs = std::filesystem;

namespace {

fs::path root;
int written = 0;

bool put(const std::string& target, const std::string& name, const std::string& bytes) {
    const fs::path dir = root / target;
    std::error_code ec;
    fs::create_directories(dir, ec);
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s/%s\n", target.c_str(), name.c_str());
        return false;
    }
    ++written;
    return true;
}

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool settings() {
    bool ok = true;
    const std::vector<std::pair<std::string, std::string>> passwords = {
        {"w-empty", ""},
        {"w-plain", "Haslo1234"},
        {"w-polish", kmx::cp1250::fromUtf8("zażółć gęślą jaźń")},
        {"w-longest", std::string(64, 'x')},
    };
    for (const auto& [name, password] : passwords) {
        std::ostringstream out;
        ok = kmx::ZapiszUstawienia(out, password).ok && put("settings", name + ".iif", out.str()) && ok;
    }
    return ok;
}

bool priceLists() {
    namespace pl = kmx::pricelist;
    bool ok = true;
    pl::SupplierRecord supplier{"D0001",
                                "527-000-00-01",
                                kmx::cp1250::fromUtf8("Hurtownia Budowlana Łódź"),
                                "90-001",
                                kmx::cp1250::fromUtf8("ul. Piotrkowska 1"),
                                kmx::cp1250::fromUtf8("Łódź"),
                                kmx::cp1250::fromUtf8("łódzkie"),
                                "42 600 00 01",
                                "",
                                "biuro@example.pl",
                                "www.example.pl"};
    pl::GoodsRecord cement{kmx::cp1250::fromUtf8("Cement portlandzki CEM I 42,5R; worek 25 kg"),
                           "1101010",
                           "t",
                           "23.51.12",
                           389.5,
                           412.25,
                           "23",
                           "Cementownia",
                           "P001",
                           "M",
                           "PLN",
                           "CEM-42"};
    pl::GoodsRecord koparka{kmx::cp1250::fromUtf8("Koparka gąsienicowa 0,6 m³"),
                            "0312",
                            "m-g",
                            "",
                            180.0,
                            195.0,
                            "23",
                            "Wynajem Sprzętu",
                            "P002",
                            "S",
                            "PLN",
                            "KOP-06"};
    const std::string key = pl::MakeLineKey(2024, 3, 15);
    for (pl::Version v : {pl::Version::V10, pl::Version::V20, pl::Version::V21}) {
        const std::string tag = std::string(pl::versionText(v)).replace(1, 1, "");
        for (const bool withSupplier : {false, true}) {
            pl::PriceListHead head{v, withSupplier ? "MS" : "M", false, key};
            std::vector<std::string> goods;
            for (const pl::GoodsRecord* g : {&cement, &koparka}) {
                if (const auto line = pl::GoodsLine(*g, v)) goods.push_back(pl::EncodeLine(*line, key));
            }
            std::vector<std::string> suppliers;
            if (withSupplier) suppliers.push_back(pl::SupplierLine(supplier));
            std::ostringstream out;
            std::string error;
            ok = pl::WritePriceList(out, head, suppliers, goods, error) && ok;
            const std::string name = "w-v" + tag + (withSupplier ? "-supplier" : "");
            ok = put("pricelist", name + ".kmx", out.str()) && ok;
            if (v != pl::Version::V10 && !withSupplier) {
                // 2.x files are zipped as the program writes them.
                const fs::path body = fs::temp_directory_path() / "kmx-seed-body.kmx";
                const fs::path zipped = fs::temp_directory_path() / "kmx-seed-zipped.kmx";
                std::ofstream(body, std::ios::binary) << out.str();
                ok = kmx::kmxzip::PackKmx(body.string(), zipped.string(), error) &&
                     put("pricelist", name + "-zip.kmx", slurp(zipped)) && ok;
                fs::remove(body);
                fs::remove(zipped);
            }
        }
        // No records at all, and the average-prices header.
        std::ostringstream empty;
        std::string error;
        ok = pl::WritePriceList(empty, {v, "R", true, key}, {}, std::vector<std::string>{}, error) &&
             put("pricelist", "w-v" + tag + "-empty.kmx", empty.str()) && ok;
    }
    return ok;
}

bool executables() {
    using kmx::testsupport::MakePe;
    using kmx::testsupport::PeOptions;
    bool ok = put("pe_version", "w-pe32.exe", MakePe({.version = {4, 0, 36, 0}}));
    ok = put("pe_version", "w-pe32plus.exe", MakePe({.version = {5, 2, 400, 0}, .pe32plus = true})) && ok;
    ok =
        put("pe_version", "w-only-version.exe", MakePe({.version = {1, 2, 3, 4}, .otherTypes = false})) && ok;
    ok = put("pe_version", "w-two-languages.exe",
             MakePe({.version = {3, 15, 0, 7}, .secondLanguage = kmx::TFileVersion{9, 9, 9, 9}})) &&
         ok;
    int i = 0;
    for (const auto fault : kmx::testsupport::kAllPeFaults) {
        ok = put("pe_version", "w-fault-" + std::to_string(++i) + ".exe", MakePe({.fault = fault})) && ok;
    }
    ok = put("pe_version", "w-version-text", "4.0.36.0") && ok;
    return ok;
}

bool reports() {
    using namespace kmx::reports;
    PageStore store;
    store.setPageSize(148, 210.5f);
    const std::uint16_t title = store.nameId(QStringLiteral("Tytuł"));
    const std::uint16_t goods = store.nameId(QStringLiteral("nazwa_towaru"));
    PreparedPage p1;
    p1.addText({.rect = {10, 10, 128, 5.5f},
                .lineMm = 5.5f,
                .font = {14, true},
                .align = Align::Center,
                .name = title},
               u"Lista towarów");
    p1.addText({.rect = {10, 20.25f, 60, 8.4f},
                .lineMm = 4.2f,
                .font = {},
                .flags = TextItem::Wrapped,
                .name = goods},
               u"Łódź zażółć\ngęślą jaźń");
    p1.addText({.rect = {100, 20.25f, 38, 4.2f},
                .lineMm = 4.2f,
                .font = {9.5f, false},
                .align = Align::Right,
                .flags = TextItem::Clipped},
               u"12,50");
    p1.boxes.push_back({.rect = {9, 19, 130, 12}, .penMm = 0.2f, .sides = SideAll});
    p1.boxes.push_back({.rect = {9, 35, 130, 0}, .penMm = 0.35f, .sides = SideBottom, .name = goods});
    store.addPage(std::move(p1));
    store.addPage(PreparedPage());

    auto save = [](const PageStore& s, const std::string& name) {
        const QString path = QString::fromStdString((root / "qrp" / name).string());
        std::error_code ec;
        fs::create_directories(root / "qrp", ec);
        QString error;
        if (!saveQrp(s, path, &error)) {
            std::fprintf(stderr, "%s: %s\n", name.c_str(), qPrintable(error));
            return false;
        }
        ++written;
        return true;
    };
    PageStore empty;
    return save(store, "w-two-pages.qrp") && save(empty, "w-empty.qrp");
}

bool registries() {
    using kmx::platform::Hive;
    kmx::winetest::FakeWinePrefix prefix;
    prefix.setString(Hive::LocalMachine, QStringLiteral("Software\\Nordvale\\Tessar Pro"),
                     QStringLiteral("Program"), QStringLiteral("C:\\Program Files\\Nordvale\\Tessar Pro"));
    prefix.setString(Hive::LocalMachine, QStringLiteral("Software\\Nordvale\\Tabele parametrów\\"),
                     QStringLiteral("Ścieżka tabel"), QStringLiteral("C:\\Tabele\\nvres"));
    prefix.setString(Hive::CurrentUser, QStringLiteral("Software\\Nordvale\\Kalmarex"), QString(),
                     QStringLiteral("zażółć \"cytat\" \\ ścieżka\t"));
    prefix.setExpandString(Hive::LocalMachine, QStringLiteral("Software\\Nordvale\\Korvo"),
                           QStringLiteral("Path"), QStringLiteral("%ProgramFiles%\\Korvo"));
    prefix.setDword(Hive::LocalMachine, QStringLiteral("Software\\Nordvale\\Korvo"), QStringLiteral("Wersja"),
                    0x403);
    prefix.setHex(Hive::CurrentUser, QStringLiteral("Software\\Nordvale\\Kalmarex"), QStringLiteral("Okno"),
                  QByteArray(90, '\x7f'));
    if (!prefix.isValid() || !prefix.writeRegistry()) return false;
    auto read = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    };
    return put("registry", "w-system.reg", read(prefix.systemReg())) &&
           put("registry", "w-user.reg", read(prefix.userReg()));
}

bool tables() {
    namespace pb = kmx::pricebase;
    const fs::path dir = fs::temp_directory_path() / "kmx-seed-dbf";
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir, ec);
    std::string error;
    bool ok = pb::WriteDemoConversionTable(dir, error);
    ok = ok && put("dbf", "w-etokmb.dbf", slurp(dir / pb::kEtoKmb));

    DBFHandle h = pb::UtworzTabele(dir / "ceny.dbf", pb::kPolaCen);
    if (h) {
        const std::vector<std::vector<std::string>> rows = {
            {"1101010", "t", "M", "M", "tona", "389.5", "400", "412.25",
             kmx::cp1250::fromUtf8("Cement portlandzki")},
            {"0312", "m-g", "S", "S", kmx::cp1250::fromUtf8("maszynogodzina"), "180", "", "195",
             kmx::cp1250::fromUtf8("Koparka gąsienicowa")},
            {"2201", "m2", "M", "M", "metr kwadratowy", "-1.25", "0", "1e3", "Deska; sosna"},
        };
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (int f = 0; f < pb::kpIle; ++f) {
                const std::string& v = rows[r][static_cast<std::size_t>(f)];
                if (pb::kPolaCen[f].typ == 'N' && !v.empty())
                    DBFWriteDoubleAttribute(h, static_cast<int>(r), f, std::stod(v));
                else
                    DBFWriteStringAttribute(h, static_cast<int>(r), f, v.c_str());
            }
        }
        DBFMarkRecordDeleted(h, 1, 1);
        DBFClose(h);
        ok = put("dbf", "w-ceny.dbf", slurp(dir / "ceny.dbf")) && ok;
    } else {
        ok = false;
    }
    h = pb::UtworzTabele(dir / "cenniki.dbf", pb::kPolaCennikow);
    if (h) {
        DBFWriteStringAttribute(h, 0, pb::kcPlik, "ceny.dbf");
        DBFWriteStringAttribute(h, 0, pb::kcTyp, "M");
        DBFWriteStringAttribute(h, 0, pb::kcOpis, kmx::cp1250::fromUtf8("Ceny materiałów").c_str());
        DBFWriteStringAttribute(h, 0, pb::kcPoziom, "2024-1");
        DBFWriteStringAttribute(h, 0, pb::kcWaluta, "PLN");
        DBFClose(h);
        ok = put("dbf", "w-cenniki.dbf", slurp(dir / "cenniki.dbf")) && ok;
    } else {
        ok = false;
    }
    h = pb::UtworzTabele(dir / "producen.dbf", pb::kPolaProducentow);
    if (h) {
        DBFClose(h);
        ok = put("dbf", "w-producen-empty.dbf", slurp(dir / "producen.dbf")) && ok;
    } else {
        ok = false;
    }
    fs::remove_all(dir, ec);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kmx-fuzz-seeds CORPUS_FOLDER   (fuzz/corpus)\n");
        return 2;
    }
    root = argv[1];
    bool ok = settings();
    ok = priceLists() && ok;
    ok = executables() && ok;
    ok = reports() && ok;
    ok = registries() && ok;
    ok = tables() && ok;
    std::printf("%d seeds written to %s\n", written, root.c_str());
    return ok ? 0 : 1;
}
