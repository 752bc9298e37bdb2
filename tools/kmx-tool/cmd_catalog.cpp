// "kmx-tool catalog": build a catalogue from CSV files, dump it back, or
// generate and build the demo catalogue.

#include <filesystem>
#include <ostream>
#include <string>

#include <filesystem>
#include "args.h"
#include "catalog/builder.h"

#include "catalog/demo.h"
#include "catalog/dumper.h"
#include "commands.h"
#include "pricebase/demo_kmb.h"

namespace kmx::tool {

namespace {

constexpr const char* kUsage =
    "usage: kmx-tool catalog build [--password P] SRC OUT\n"
    "       kmx-tool catalog dump [--password P] OUT DEST\n"
    "       kmx-tool catalog demo [--edition prices|avg] [--goods N] [--password P] DEST\n";

int badArgs(std::ostream& err, const std::string& message) {
    err << "kmx-tool catalog: " << message << "\n" << kUsage;
    return 2;
}

int failed(std::ostream& err, const std::string& sub, const std::string& message) {
    err << "kmx-tool catalog " << sub << ": " << message << "\n";
    return 1;
}

void printCounts(std::ostream& out, const catalog::BuildResult& r) {
    out << "rows:";
    for (const char* table :
         {"TOWAR", "PRODUCENT", "ceny_robot", "KNR", "WYBRANA_GRUPA", "BRANZA_PRODUCENTA"}) {
        const auto it = r.rowCounts.find(table);
        if (it != r.rowCounts.end()) out << " " << table << " " << it->second;
    }
    out << "\n";
}

}  // namespace

int cmdCatalog(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return badArgs(err, "missing build, dump or demo");
    const std::string sub = args.front();
    const Args rest(args.begin() + 1, args.end());

    if (sub == "build" || sub == "dump") {
        Options o({"password"}, {});
        if (!o.parse(rest)) return badArgs(err, o.error());
        if (o.positional().size() != 2) return badArgs(err, sub + " takes two directories");
        const std::string password = o.value("password").value_or("");
        if (o.has("password") && password.empty()) return badArgs(err, "--password must not be empty");
        const std::string& from = o.positional()[0];
        const std::string& to = o.positional()[1];
        if (sub == "build") {
            catalog::BuildOptions options;
            options.password = password;
            const catalog::BuildResult r = catalog::buildCatalog(from, to, options);
            if (!r.ok) return failed(err, sub, r.error);
            out << "built " << to << "/kmx.dat and " << to << "/kmx.iif\n";
            printCounts(out, r);
            return 0;
        }
        catalog::DumpOptions options;
        options.password = password;
        const catalog::DumpResult r = catalog::dumpCatalog(from, to, options);
        if (!r.ok) return failed(err, sub, r.error);
        out << "dumped " << from << "/kmx.dat into " << to << "\n";
        return 0;
    }

    if (sub == "demo") {
        Options o({"goods", "password", "edition"}, {});
        if (!o.parse(rest)) return badArgs(err, o.error());
        if (o.positional().size() != 1) return badArgs(err, "demo takes one directory");
        // "prices": the producer and supplier prices of Kalmarex; "avg": the
        // average prices of KalmarexAvg.
        const std::string edition = o.value("edition").value_or("prices");
        if (edition != "prices" && edition != "avg") return badArgs(err, "--edition must be prices or avg");
        const bool average = edition == "avg";
        const long most = average ? catalog::averageDemoMaxGoods() : catalog::kDemoMaxGoods;
        long goods = 3000;
        if (!o.intValue("goods", goods)) return badArgs(err, o.error());
        if (goods < catalog::kDemoMinGoods || goods > most) {
            return badArgs(err, "--goods must lie between " + std::to_string(catalog::kDemoMinGoods) +
                                    " and " + std::to_string(most));
        }
        catalog::DemoOptions options;
        options.goods = static_cast<int>(goods);
        options.edition = average ? catalog::DemoEdition::AveragePrices : catalog::DemoEdition::Prices;
        options.password = o.value("password").value_or("");
        if (o.has("password") && options.password.empty())
            return badArgs(err, "--password must not be empty");
        const std::string& dest = o.positional()[0];
        const catalog::DemoResult r = catalog::writeDemo(dest, options);
        if (!r.ok) return failed(err, sub, r.error);
        // A sample ETO to KMB conversion table for a version 3 price-base folder.
        std::string kmbError;
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(dest) / "pricebase", ec);
        if (!pricebase::WriteDemoConversionTable(std::filesystem::path(dest) / "pricebase", kmbError))
            return failed(err, sub, kmbError);
        out << "demo catalogue in " << dest << ": " << r.sizes.goods << " goods, " << r.sizes.producers
            << " producers, " << r.sizes.workPrices << " work prices, " << r.logos << " logos\n";
        printCounts(out, r.build);
        return 0;
    }
    return badArgs(err, "unknown subcommand '" + sub + "'");
}

}  // namespace kmx::tool
