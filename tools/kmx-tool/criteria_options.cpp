#include "criteria_options.h"

#include <cmath>

#include "core/cp1250.h"
#include "core/numfmt.h"

namespace kmx::tool {

namespace {

template <typename T>
bool intOption(const Options& o, const std::string& name, T& field, std::string& error) {
    long v = 0;
    if (!o.intValue(name, v)) {
        error = o.error();
        return false;
    }
    if (o.value(name)) field = static_cast<T>(v);
    return true;
}

}  // namespace

std::set<std::string> goodsOptionNames() {
    return {"mode",  "producer-id", "name",     "short-name",    "eto",  "symbol",  "pkwiu",
            "price-to", "type",     "group",    "supplier",      "supplier-code", "town", "province"};
}

std::set<std::string> supplierOptionNames() { return {"name", "town", "province", "branch", "country", "ids"}; }

bool fillGoodsCriteria(const Options& o, TsTowar& t, int& mode, std::string& error) {
    long m = 0;
    if (!o.intValue("mode", m) || (m != 0 && m != 1)) {
        error = "--mode must be 0 or 1";
        return false;
    }
    mode = static_cast<int>(m);
    if (!intOption(o, "producer-id", t.idProducenta, error) || !intOption(o, "group", t.idGrupy, error) ||
        !intOption(o, "province", t.idWojewodztwa, error))
        return false;
    if (auto v = o.value("name")) t.nazwa.setUtf8(*v);
    t.odPoczatkuNazwy = o.has("from-start");
    if (auto v = o.value("short-name")) t.nazwaSkr.setUtf8(*v);
    if (auto v = o.value("eto")) t.indeksEto.setUtf8(*v);
    if (auto v = o.value("symbol")) t.symbol.setUtf8(*v);
    if (auto v = o.value("pkwiu")) t.pkwiu.setUtf8(*v);
    if (auto v = o.value("price-to")) {
        double price = 0;
        // A value beyond a 32-bit float would reach the statement as "INF".
        if (!parseDecimal(*v, ',', price) || !std::isfinite(static_cast<float>(price))) {
            error = "--price-to: Błędna liczba '" + *v + "'";
            return false;
        }
        t.cenaJednostkowaDo = static_cast<float>(price);
    }
    if (auto v = o.value("type")) {
        if (*v != "M" && *v != "S") {
            error = "--type must be M or S";
            return false;
        }
        t.typRms.setUtf8(*v);
    }
    if (auto v = o.value("supplier")) t.nazwaProducenta.setUtf8(*v);
    if (auto v = o.value("supplier-code")) t.kodProducenta.setUtf8(*v);
    if (auto v = o.value("town")) t.miejscowosc.setUtf8(*v);
    return true;
}

bool fillSupplierCriteria(const Options& o, TsDostawca& d, std::string& error) {
    if (!intOption(o, "province", d.idWojewodztwa, error) || !intOption(o, "branch", d.idBranzy, error) ||
        !intOption(o, "country", d.idKraju, error))
        return false;
    if (auto v = o.value("name")) d.nazwa.setUtf8(*v);
    if (auto v = o.value("town")) d.miejscowosc.setUtf8(*v);
    if (auto v = o.value("ids")) d.listaId = cp1250::fromUtf8(*v);
    return true;
}

}  // namespace kmx::tool
