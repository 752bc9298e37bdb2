#pragma once
// The row walk behind "Pobierz ceny": reads the rows of a goods list (the
// goods search list or a supplier's goods list) and writes the price-list
// files of the chosen kinds, or reads the work-price list and writes the
// encrypted unit-price file. No windows here: the caller chooses the targets
// and shows the progress; this walks the rows and writes the files.
//
// During a walk the list's after-scroll and calc-fields handlers are
// detached and its notifications suspended; every way out restores them and
// leaves the list on its first row. Temporary files live in a private folder
// made for the run and removed at its end.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/pricelist.h"
#include "data/dataset.h"

namespace kmx::exportrows {

// The message the export windows show for any failure of these writers.
inline constexpr std::string_view kExportFailed = "Wystąpił błąd podczas eksportu danych. Sprawdź dysk.";

enum class ListKind {
    Goods,          // QWybrTow: every row carries its producer
    SupplierGoods,  // QWybrTowForDost: the producer is the supplier list's current row
};

struct Kinds {
    bool materials = false;
    bool equipment = false;
    bool labour = false;  // only with DecideKinds(..., withLabour)
};

// Which kinds to write: from the last goods search's kind restriction
// ("M" or "S", blanks trimmed) or, when it is empty, by looking for rows of
// kind exactly "M" and "S" in the list (the cursor does not move). With
// withLabour (the average-prices edition) "R" is a kind too, in the
// restriction and in the rows; without it labour is never chosen.
Kinds DecideKinds(std::string_view restriction, const data::DataSet& list, bool withLabour = false);

// Called once per row walked with the number of rows done and the total.
// Returning false cancels: the files are finished with the rows written so far.
using Progress = std::function<bool(int done, int total)>;

// The list a walk reads and how its lines are written.
struct PriceListSource {
    data::DataSet* list = nullptr;
    ListKind listKind = ListKind::Goods;
    const data::DataSet* supplierList = nullptr;  // SupplierGoods: its current row
    pricelist::Version version = pricelist::Version::V21;
    bool averagePrices = false;
    std::string key;  // empty: MakeLineKey()
    Progress progress;
};

struct PriceListJob : PriceListSource {
    std::string materialsTarget;  // empty: materials not written
    std::string equipmentTarget;  // empty: equipment not written
    std::string labourTarget;     // empty: labour ("R" rows) not written
};

struct Result {
    bool ok = false;
    bool cancelled = false;
    int written = 0;  // goods lines, or unit-price rows
    std::string error;
};

Result WritePriceLists(const PriceListJob& job);

// A goods list read on demand with at least this many rows is read in the
// order of its key and its lines written in the list's order (the files are
// the same either way); tests lower it.
inline constexpr int kDefaultKeyOrderRows = 100000;
void SetKeyOrderRows(int rows);

// The one price list handed to a cost-estimating program: the rows of every
// kind in one file; the kind string ("M", "S", "MS" or empty) only chooses
// the header ("Materialy i Sprzet" for "MS" and for none).
struct CombinedPriceListJob : PriceListSource {
    std::string kind;
    std::string target;
};
Result WriteCombinedPriceList(const CombinedPriceListJob& job);

struct UnitPriceJob {
    data::DataSet* works = nullptr;  // Qscalone
    std::string target;
    Progress progress;
};
// The heading and every row from the first, numbered from 1, wherever the
// cursor stood.
Result WriteUnitPriceFile(const UnitPriceJob& job);

// The records of one row as the price list takes them (descrambled,
// Windows-1250). For a supplier line `www` comes from "PRODUCENT.ADRES_WWW"
// on the goods list and from "ADRES_WWW" on the supplier list.
pricelist::SupplierRecord SupplierFromRow(const data::DataSet& ds, int viewRow, bool fromSupplierList);
pricelist::GoodsRecord GoodsFromRow(const data::DataSet& ds, int viewRow);

// The fields the records are read from, looked up once for a walk (-1 where
// the set lacks one).
struct SupplierFields {
    int code = -1, nip = -1, name = -1, nameCase = -1, postalCode = -1, street = -1, town = -1, province = -1,
        phone = -1, fax = -1, email = -1, www = -1;
    static SupplierFields Of(const data::DataSet& ds, bool fromSupplierList);
    void appendTo(std::vector<int>& fields) const;
};
struct GoodsFields {
    int name = -1, nameCase = -1, eto = -1, unit = -1, pkwiu = -1, retailPrice = -1, unitPrice = -1, vat = -1,
        producerName = -1, producerCode = -1, kind = -1, currency = -1, symbol = -1;
    static GoodsFields Of(const data::DataSet& ds);
    void appendTo(std::vector<int>& fields) const;
};
pricelist::SupplierRecord SupplierFromRow(const data::DataSet& ds, const SupplierFields& fields, int viewRow);
// Without the producer's name and code when `withProducer` is false (a walk
// that has them per producer).
pricelist::GoodsRecord GoodsFromRow(const data::DataSet& ds, const GoodsFields& fields, int viewRow,
                                    bool withProducer);
// The same into a record whose strings are reused from row to row.
void GoodsFromRow(const data::DataSet& ds, const GoodsFields& fields, int viewRow, bool withProducer,
                  pricelist::GoodsRecord& into);
pricelist::UnitPriceRow UnitPriceFromRow(const data::DataSet& ds, int viewRow);

// Detaches a list's handlers and suspends its notifications for a scope; on
// the way out puts the handlers back and the list on its first row.
class ListPause {
public:
    explicit ListPause(data::DataSet& ds);
    ~ListPause();
    ListPause(const ListPause&) = delete;
    ListPause& operator=(const ListPause&) = delete;

private:
    data::DataSet& ds_;
    data::DataSet::ScrollHandler scroll_;
    data::DataSet::CalcFieldsHandler calc_;
};

// A private folder for one run's temporary files, removed with everything
// in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    bool ok() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

}  // namespace kmx::exportrows
