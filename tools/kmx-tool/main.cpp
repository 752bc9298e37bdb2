// kmx-tool: developer and support commands over the catalogue and its formats.

#include <iostream>
#include <string>
#include <string_view>

#include "commands.h"

namespace {

struct Command {
    std::string_view name;
    int (*run)(const kmx::tool::Args&, std::ostream&, std::ostream&);
    std::string_view usage;
};

const Command kCommands[] = {
    {"scramble", kmx::tool::cmdScramble, "scramble --mode N TEXT"},
    {"descramble", kmx::tool::cmdDescramble, "descramble --mode N HEX"},
    {"goods-sql", kmx::tool::cmdGoodsSql,
     "goods-sql [--mode 0|1] [--producer-id N] [--name T] [--from-start] [--short-name T] [--eto T]\n"
     "          [--symbol T] [--pkwiu T] [--price-to T] [--type M|S] [--group N] [--supplier T]\n"
     "          [--supplier-code T] [--town T] [--province N] [--raw]"},
    {"supplier-sql", kmx::tool::cmdSupplierSql,
     "supplier-sql [--name T] [--town T] [--province N] [--branch N] [--country N] [--ids LIST] [--raw]"},
    {"works-sql", kmx::tool::cmdWorksSql, "works-sql [--opis T] [--knr T] [--raw]"},
    {"settings", kmx::tool::cmdSettings, "settings read FILE | settings write FILE PASSWORD"},
    {"search-goods", kmx::tool::cmdSearchGoods, "search-goods --catalogue DIR [goods-sql flags]"},
    {"search-suppliers", kmx::tool::cmdSearchSuppliers,
     "search-suppliers --catalogue DIR [supplier-sql flags]"},
    {"works", kmx::tool::cmdWorks, "works --catalogue DIR [--opis T] [--knr T]"},
    {"kmx", kmx::tool::cmdKmx,
     "kmx decode FILE | kmx write --catalogue DIR --version 1.0|2.0|2.1 --kind M|S --out FILE [goods-sql "
     "flags]"},
    {"unit-prices", kmx::tool::cmdUnitPrices, "unit-prices --catalogue DIR --out FILE [--opis T] [--knr T]"},
    {"descriptor", kmx::tool::cmdDescriptor, "descriptor --catalogue DIR --kind K --out FILE"},
    {"pe-version", kmx::tool::cmdPeVersion, "pe-version FILE"},
    {"programs", kmx::tool::cmdPrograms, "programs [--prefix DIR]"},
    {"pricebase", kmx::tool::cmdPricebase,
     "pricebase list FOLDER | pricebase dump FOLDER NAME | pricebase producers FOLDER | pricebase demo-kmb "
     "FOLDER"},
    {"report", kmx::tool::cmdReport,
     "report goods-detail|goods-list|supplier-detail|supplier-list --catalogue DIR [search flags] [--row N]\n"
     "          [--of-supplier [--supplier-row N]] (--pdf FILE | --text FILE | --html FILE | --qrp FILE)"},
    {"catalog", kmx::tool::cmdCatalog,
     "catalog build SRC OUT | catalog dump OUT DEST | catalog demo [--edition prices|avg] [--goods N] DEST"},
};

void printUsage(std::ostream& os) {
    os << "usage: kmx-tool COMMAND [ARGS]\n";
    for (const auto& c : kCommands) os << "  kmx-tool " << c.usage << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "kmx-tool: missing command (try kmx-tool --help)\n";
        return 2;
    }
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(std::cout);
        return 0;
    }
    kmx::tool::Args args(argv + 2, argv + argc);
    for (const auto& c : kCommands) {
        if (c.name == name) return c.run(args, std::cout, std::cerr);
    }
    std::cerr << "kmx-tool: unknown command '" << name << "' (try kmx-tool --help)\n";
    return 2;
}
