// Price-list files from the command line: writing them from a catalogue
// without dialogs, and reading any of them back.

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

#include "args.h"
#include "catalogue_open.h"
#include "commands.h"
#include "core/cp1250.h"
#include "core/kmx_zip.h"
#include "core/last_error.h"
#include "core/pricelist.h"
#include "core/query_builder.h"
#include "core/settings_file.h"
#include "core/tcsengine.h"
#include "criteria_options.h"
#include "data/tdm.h"
#include "export/export_rows.h"

namespace kmx::tool {

namespace {

int report(const exportrows::Result& r, std::ostream& out, std::ostream& err) {
    if (!r.ok) {
        err << exportrows::kExportFailed << "\n" << r.error << "\n";
        return 1;
    }
    out << "written " << r.written << "\n";
    return 0;
}

int kmxDecode(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return badArgs(err, "kmx decode", "usage: kmx decode FILE");
    const std::string& path = args[1];
    std::string body, error;
    if (kmxzip::IsZip(path)) {
        std::string member;
        if (!kmxzip::UnpackSingle(path, body, member, error)) {
            err << path << ": " << error << "\n";
            return 1;
        }
        if (member != kmxzip::kMemberName) {
            err << path << ": member " << member << " instead of " << kmxzip::kMemberName << "\n";
            return 1;
        }
    } else {
        std::ifstream f(path, std::ios::binary);
        if (!f) {
            err << path << ": cannot open\n";
            return 1;
        }
        std::ostringstream s;
        s << f.rdbuf();
        body = s.str();
    }
    pricelist::DecodedPriceList list;
    if (!pricelist::DecodePriceList(body, list, error)) {
        err << path << ": " << error << "\n";
        return 1;
    }
    for (const std::string& h : list.headers) out << cp1250::toUtf8(h) << "\n";
    out << "key\t" << list.key << "\n";
    for (const std::string& rec : list.records) {
        std::string line = cp1250::toUtf8(rec);
        for (char& c : line)
            if (c == ';') c = '\t';
        out << line << "\n";
    }
    return out ? 0 : 1;
}

int kmxWrite(const Args& args, std::ostream& out, std::ostream& err) {
    auto names = goodsOptionNames();
    for (const char* n : {"catalogue", "version", "kind", "out"}) names.insert(n);
    Options o(names, {"from-start"});
    const Args rest(args.begin() + 1, args.end());
    if (!o.parse(rest)) return badArgs(err, "kmx write", o.error());
    pricelist::Version version{};
    const auto kind = o.value("kind");
    if (!o.positional().empty() || !o.value("catalogue") || !o.value("out") || !o.value("version") ||
        !pricelist::parseVersion(*o.value("version"), version) || !kind || (*kind != "M" && *kind != "S"))
        return badArgs(err, "kmx write",
                     "usage: kmx write --catalogue DIR --version 1.0|2.0|2.1 --kind M|S --out FILE [goods-sql flags]");
    TsTowar t;
    int mode = 0;
    std::string error;
    if (!fillGoodsCriteria(o, t, mode, error)) return badArgs(err, "kmx write", error);
    if (mode != 0) return badArgs(err, "kmx write", "--mode must be 0");
    data::TDM dm;
    if (!openCatalogue(dm, *o.value("catalogue"), err)) return 1;
    const std::string sql = ZbudujZapytanieTowarow(t, 0) + " ORDER BY idx_NAZWA";
    if (!dm.QWybrTow.open(sql, error)) {
        err << error << "\n";
        return 1;
    }
    exportrows::PriceListJob job;
    job.list = &dm.QWybrTow;
    job.version = version;
    (*kind == "M" ? job.materialsTarget : job.equipmentTarget) = *o.value("out");
    return report(exportrows::WritePriceLists(job), out, err);
}

}  // namespace

int cmdKmx(const Args& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && args[0] == "decode") return kmxDecode(args, out, err);
    if (!args.empty() && args[0] == "write") return kmxWrite(args, out, err);
    return badArgs(err, "kmx", "usage: kmx decode FILE | kmx write --catalogue DIR ...");
}

int cmdUnitPrices(const Args& args, std::ostream& out, std::ostream& err) {
    Options o({"catalogue", "out", "opis", "knr"}, {});
    if (!o.parse(args)) return badArgs(err, "unit-prices", o.error());
    if (!o.positional().empty() || !o.value("catalogue") || !o.value("out"))
        return badArgs(err, "unit-prices", "usage: unit-prices --catalogue DIR --out FILE [--opis T] [--knr T]");
    data::TDM dm;
    if (!openCatalogue(dm, *o.value("catalogue"), err)) return 1;
    TCSEngine engine;
    engine.SetRunner([&dm](const std::string& statement) { return dm.WykonajScalone(statement); });
    engine.Reset();
    engine.AddLike("Nazwa", o.value("opis").value_or(""), true);
    engine.AddLike("Podstawa", o.value("knr").value_or(""), true);
    if (engine.Execute() < 0) {
        err << dm.scaloneError() << "\n";
        return 1;
    }
    exportrows::UnitPriceJob job;
    job.works = &dm.Qscalone;
    job.target = *o.value("out");
    return report(exportrows::WriteUnitPriceFile(job), out, err);
}

int cmdDescriptor(const Args& args, std::ostream& out, std::ostream& err) {
    Options o({"catalogue", "kind", "out"}, {});
    if (!o.parse(args)) return badArgs(err, "descriptor", o.error());
    if (!o.positional().empty() || !o.value("catalogue") || !o.value("kind") || !o.value("out"))
        return badArgs(err, "descriptor", "usage: descriptor --catalogue DIR --kind K --out FILE");
    data::TDM dm;
    if (!openCatalogue(dm, *o.value("catalogue"), err)) return 1;
    std::string edycja, rok, error;
    if (!dm.CzytajWersje(edycja, rok)) {
        err << "kmx-tool descriptor: cannot read the edition\n";
        return 1;
    }
    if (!pricelist::WriteDescriptorFile(*o.value("out"), false, *o.value("kind"), rok, edycja, error)) {
        err << error << "\n";
        return 1;
    }
    out << "written " << *o.value("out") << "\n";
    return 0;
}

}  // namespace kmx::tool
