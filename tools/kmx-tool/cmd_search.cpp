// Searches run through the data module on a catalogue folder, printing what
// the result grids show: the count, then one tab-separated line per row.

#include <ostream>
#include <string>
#include <vector>

#include "args.h"
#include "catalogue_open.h"
#include "commands.h"
#include "core/cp1250.h"
#include "core/last_error.h"
#include "core/query_builder.h"
#include "core/settings_file.h"
#include "core/tcsengine.h"
#include "criteria_options.h"
#include "data/tdm.h"

namespace kmx::tool {

namespace {

// Prints the id and the display texts of the listed fields for every row.
int printRows(data::DataSet& ds, const std::string& idField, const std::vector<std::string>& fields,
              std::ostream& out, std::ostream& err) {
    const int id = ds.fieldIndex(idField);
    std::vector<int> idx;
    for (const auto& f : fields) {
        const int i = ds.fieldIndex(f);
        if (i < 0) {
            err << "kmx-tool: the result has no field " << f << "\n";
            return 1;
        }
        idx.push_back(i);
    }
    out << ds.recordCount() << "\n";
    for (int r = 0; r < ds.recordCount(); ++r) {
        out << ds.cell(r, id).asInt();
        for (int i : idx) out << '\t' << ds.displayText(r, i);
        out << '\n';
    }
    return out ? 0 : 1;
}

}  // namespace

int cmdSearchGoods(const Args& args, std::ostream& out, std::ostream& err) {
    auto names = goodsOptionNames();
    names.insert("catalogue");
    Options o(names, {"from-start"});
    if (!o.parse(args)) return badArgs(err, "search-goods", o.error());
    if (!o.positional().empty() || !o.value("catalogue"))
        return badArgs(err, "search-goods", "usage: search-goods --catalogue DIR [goods-sql flags]");
    TsTowar t;
    int mode = 0;
    std::string error;
    if (!fillGoodsCriteria(o, t, mode, error)) return badArgs(err, "search-goods", error);
    if (mode != 0) return badArgs(err, "search-goods", "--mode must be 0");
    data::TDM dm;
    if (!openCatalogue(dm, *o.value("catalogue"), err)) return 1;
    const std::string sql = ZbudujZapytanieTowarow(t, 0) + " ORDER BY idx_NAZWA";
    std::string dbError;
    if (!dm.QWybrTow.open(sql, dbError)) {
        UstawOstatniBlad("Nie moża wykonać zapytania o towar!\r\n" + dbError, -1);
        err << OstatniBlad().text << "\n";
        return 1;
    }
    return printRows(dm.QWybrTow, "ID_TOWARU",
                     {"TOWAR.NAZWA", "JEDNOSTKA_MIARY.NAZWA", "CENA_JEDNOSTKOWA", "WALUTA.SYMBOL", "INDEKS_ETO",
                      "TYP_RMS", "PRODUCENT.NAZWA"},
                     out, err);
}

int cmdSearchSuppliers(const Args& args, std::ostream& out, std::ostream& err) {
    auto names = supplierOptionNames();
    names.insert("catalogue");
    Options o(names, {});
    if (!o.parse(args)) return badArgs(err, "search-suppliers", o.error());
    if (!o.positional().empty() || !o.value("catalogue"))
        return badArgs(err, "search-suppliers", "usage: search-suppliers --catalogue DIR [supplier-sql flags]");
    TsDostawca d;
    std::string error;
    if (!fillSupplierCriteria(o, d, error)) return badArgs(err, "search-suppliers", error);
    data::TDM dm;
    if (!openCatalogue(dm, *o.value("catalogue"), err)) return 1;
    const std::string sql = ZbudujZapytanieDostawcow(d) + " ORDER BY idx_nazwa_prod";
    std::string dbError;
    if (!dm.QWybrDost.open(sql, dbError)) {
        UstawOstatniBlad("Nie moża wykonać zapytania o dostawcę!\r\n" + dbError, -1);
        err << OstatniBlad().text << "\n";
        return 1;
    }
    return printRows(dm.QWybrDost, "ID_PRODUCENTA",
                     {"PRODUCENT.NAZWA", "MIEJSCOWOSC", "WOJEWODZTWO.NAZWA", "EMAIL_PODSTAWOWY", "ADRES_WWW"}, out,
                     err);
}

int cmdWorks(const Args& args, std::ostream& out, std::ostream& err) {
    Options o({"catalogue", "opis", "knr"}, {});
    if (!o.parse(args)) return badArgs(err, "works", o.error());
    if (!o.positional().empty() || !o.value("catalogue"))
        return badArgs(err, "works", "usage: works --catalogue DIR [--opis T] [--knr T]");
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
    return printRows(dm.Qscalone, "id_ceny", {"podstawa", "wariant", "nazwa", "jedn_miary", "cena"}, out, err);
}

}  // namespace kmx::tool
