#include "export/export_rows.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/cp1250.h"
#include "core/kmx_zip.h"
#include "core/safe_file.h"
#include "core/scramble.h"

namespace kmx::exportrows {

namespace fs = std::filesystem;
using data::Cell;
using data::CellType;
using data::DataSet;

namespace {

// The first of the names the set has; result sets name a column with its
// table only where two tables share the name.
int fieldOf(const DataSet& ds, std::initializer_list<std::string_view> names) {
    for (std::string_view n : names) {
        const int i = ds.fieldIndex(n);
        if (i >= 0) return i;
    }
    return -1;
}

// The bytes of a resolved field (none for a field the set lacks), into a
// string whose storage is reused. The cell is held while its bytes are
// used: a computed value owns them.
void rawInto(std::string& out, const DataSet& ds, int row, int field) {
    if (field < 0) {
        out.clear();
        return;
    }
    const Cell c = ds.cell(row, field);
    out.assign(c.bytes());
}

void plainInto(std::string& out, const DataSet& ds, int row, int mode, int field) {
    if (field < 0) {
        out.clear();
        return;
    }
    const Cell c = ds.cell(row, field);
    DeszyfrujInto(c.bytes(), mode, out);
}

std::string raw(const DataSet& ds, int row, int field) {
    std::string out;
    rawInto(out, ds, row, field);
    return out;
}

std::string plain(const DataSet& ds, int row, int mode, int field) {
    std::string out;
    plainInto(out, ds, row, mode, field);
    return out;
}

std::string raw(const DataSet& ds, int row, std::initializer_list<std::string_view> names) {
    return raw(ds, row, fieldOf(ds, names));
}

std::optional<double> number(const DataSet& ds, int row, int field) {
    if (field < 0) return std::nullopt;
    const data::Cell c = ds.cell(row, field);
    if (c.isNull()) return std::nullopt;
    return c.asDouble();
}

constexpr std::string_view kCrLf = "\r\n";

// Supplier lines of one kind in the order collected, each once.
struct SupplierLines {
    std::vector<std::string> lines;
    std::unordered_set<std::string> seen;
    void add(const std::string& line) {
        if (seen.insert(line).second) lines.push_back(line);
    }
};

}  // namespace

Kinds DecideKinds(std::string_view restriction, const DataSet& list, bool withLabour) {
    Kinds k;
    std::string r(restriction);
    while (!r.empty() && r.back() == ' ') r.pop_back();
    while (!r.empty() && r.front() == ' ') r.erase(r.begin());
    if (!r.empty()) {
        k.materials = r == "M";
        k.equipment = r == "S";
        k.labour = withLabour && r == "R";
        return k;
    }
    const int f = fieldOf(list, {"TYP_RMS", "TOWAR.TYP_RMS"});
    if (f < 0) return k;
    const auto all = [&] { return k.materials && k.equipment && (k.labour || !withLabour); };
    for (int row = 0; row < list.recordCount() && !all(); ++row) {
        const std::string_view kind = list.cell(row, f).bytes();
        if (kind == "M") k.materials = true;
        if (kind == "S") k.equipment = true;
        if (withLabour && kind == "R") k.labour = true;
    }
    return k;
}

SupplierFields SupplierFields::Of(const DataSet& ds, bool fromSupplierList) {
    SupplierFields f;
    f.code = fieldOf(ds, {"KOD_PRODUCENTA", "PRODUCENT.KOD_PRODUCENTA"});
    f.nip = fieldOf(ds, {"NIP", "PRODUCENT.NIP"});
    f.name = fieldOf(ds, {"PRODUCENT.NAZWA", "NAZWA"});
    f.nameCase = fieldOf(ds, {"caseNazwaProd", "PRODUCENT.caseNazwaProd"});
    f.postalCode = fieldOf(ds, {"KOD_POCZTOWY", "PRODUCENT.KOD_POCZTOWY"});
    f.street = fieldOf(ds, {"ULICA_DOM", "PRODUCENT.ULICA_DOM"});
    f.town = fieldOf(ds, {"MIEJSCOWOSC", "PRODUCENT.MIEJSCOWOSC"});
    f.province = fieldOf(ds, {"WOJEWODZTWO.NAZWA"});
    f.phone = fieldOf(ds, {"TELEFON1", "PRODUCENT.TELEFON1"});
    f.fax = fieldOf(ds, {"FAKS", "PRODUCENT.FAKS"});
    f.email = fieldOf(ds, {"EMAIL_PODSTAWOWY", "PRODUCENT.EMAIL_PODSTAWOWY"});
    f.www = fromSupplierList ? fieldOf(ds, {"ADRES_WWW", "PRODUCENT.ADRES_WWW"}) : fieldOf(ds, {"PRODUCENT.ADRES_WWW"});
    return f;
}

void SupplierFields::appendTo(std::vector<int>& out) const {
    out.insert(out.end(), {code, nip, name, nameCase, postalCode, street, town, province, phone, fax, email, www});
}

pricelist::SupplierRecord SupplierFromRow(const DataSet& ds, const SupplierFields& f, int row) {
    pricelist::SupplierRecord s;
    s.code = plain(ds, row, 2, f.code);
    s.nip = plain(ds, row, 2, f.nip);
    s.name = NalozWielkoscLiter(plain(ds, row, 1, f.name), raw(ds, row, f.nameCase));
    s.postalCode = plain(ds, row, 2, f.postalCode);
    s.street = plain(ds, row, 2, f.street);
    s.town = plain(ds, row, 2, f.town);
    s.province = raw(ds, row, f.province);
    s.phone = plain(ds, row, 2, f.phone);
    s.fax = plain(ds, row, 2, f.fax);
    s.email = plain(ds, row, 2, f.email);
    s.www = plain(ds, row, 2, f.www);
    return s;
}

pricelist::SupplierRecord SupplierFromRow(const DataSet& ds, int row, bool fromSupplierList) {
    return SupplierFromRow(ds, SupplierFields::Of(ds, fromSupplierList), row);
}

GoodsFields GoodsFields::Of(const DataSet& ds) {
    GoodsFields f;
    f.name = fieldOf(ds, {"TOWAR.NAZWA", "NAZWA"});
    f.nameCase = fieldOf(ds, {"caseNazwa", "TOWAR.caseNazwa"});
    f.eto = fieldOf(ds, {"INDEKS_ETO", "TOWAR.INDEKS_ETO"});
    f.unit = fieldOf(ds, {"JEDNOSTKA_MIARY.KOD"});
    f.pkwiu = fieldOf(ds, {"PKWIU", "TOWAR.PKWIU"});
    f.retailPrice = fieldOf(ds, {"CENA_DETALICZNA"});
    f.unitPrice = fieldOf(ds, {"CENA_JEDNOSTKOWA"});
    f.vat = fieldOf(ds, {"STAWKA_VAT.KOD"});
    f.producerName = fieldOf(ds, {"PRODUCENT.NAZWA"});
    f.producerCode = fieldOf(ds, {"KOD_PRODUCENTA", "PRODUCENT.KOD_PRODUCENTA"});
    f.kind = fieldOf(ds, {"TYP_RMS", "TOWAR.TYP_RMS"});
    f.currency = fieldOf(ds, {"WALUTA.KOD"});
    f.symbol = fieldOf(ds, {"TOWAR.SYMBOL", "SYMBOL"});
    return f;
}

void GoodsFields::appendTo(std::vector<int>& out) const {
    out.insert(out.end(), {name, nameCase, eto, unit, pkwiu, retailPrice, unitPrice, vat, producerName, producerCode,
                           kind, currency, symbol});
}

pricelist::GoodsRecord GoodsFromRow(const DataSet& ds, const GoodsFields& f, int row, bool withProducer) {
    pricelist::GoodsRecord g;
    GoodsFromRow(ds, f, row, withProducer, g);
    return g;
}

void GoodsFromRow(const DataSet& ds, const GoodsFields& f, int row, bool withProducer, pricelist::GoodsRecord& g) {
    plainInto(g.name, ds, row, 1, f.name);
    if (f.nameCase >= 0) {
        const Cell mask = ds.cell(row, f.nameCase);
        NalozWielkoscLiterWMiejscu(g.name, mask.bytes());
    }
    plainInto(g.eto, ds, row, 2, f.eto);
    rawInto(g.unit, ds, row, f.unit);
    // Stored positionally scrambled like the other classification columns:
    // written as stored it would reach the price list unreadable.
    plainInto(g.pkwiu, ds, row, 2, f.pkwiu);
    g.retailPrice = number(ds, row, f.retailPrice);
    g.unitPrice = number(ds, row, f.unitPrice);
    rawInto(g.vat, ds, row, f.vat);
    if (withProducer) {
        plainInto(g.producerName, ds, row, 1, f.producerName);
        plainInto(g.producerCode, ds, row, 2, f.producerCode);
    } else {
        g.producerName.clear();
        g.producerCode.clear();
    }
    rawInto(g.kind, ds, row, f.kind);
    rawInto(g.currency, ds, row, f.currency);
    plainInto(g.symbol, ds, row, 2, f.symbol);
}

pricelist::GoodsRecord GoodsFromRow(const DataSet& ds, int row) {
    return GoodsFromRow(ds, GoodsFields::Of(ds), row, true);
}

pricelist::UnitPriceRow UnitPriceFromRow(const DataSet& ds, int row) {
    pricelist::UnitPriceRow u;
    u.basis = raw(ds, row, {"podstawa"});
    u.variant = raw(ds, row, {"wariant"});
    u.name = raw(ds, row, {"nazwa"});
    u.unit = raw(ds, row, {"jedn_miary"});
    u.price = number(ds, row, fieldOf(ds, {"cena"}));
    return u;
}

ListPause::ListPause(DataSet& ds) : ds_(ds) {
    scroll_ = ds_.setAfterScroll({});
    calc_ = ds_.setOnCalcFields({});
    ds_.suspendNotifications();
}

ListPause::~ListPause() {
    ds_.setAfterScroll(std::move(scroll_));
    ds_.setOnCalcFields(std::move(calc_));
    ds_.first();
    ds_.resumeNotifications();
}

TempFolder::TempFolder() {
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    if (ec) return;
    std::string tmpl = (base / "kmxexportXXXXXX").string();
    if (mkdtemp(tmpl.data()) != nullptr) path_ = tmpl;
}

TempFolder::~TempFolder() {
    if (path_.empty()) return;
    std::error_code ec;
    fs::remove_all(path_, ec);
}

namespace {

// Lists of at least this many rows read on demand are walked in the order of
// their key: below it the rows the list needs fit the catalogue's page cache
// and the list's own order is as quick.
int gKeyOrderRows = kDefaultKeyOrderRows;

// A file of the run mapped for reading (an empty file maps to nothing).
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile() {
        if (data_ != nullptr) munmap(data_, size_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    bool open(const std::string& path, std::uint64_t size) {
        if (size == 0) return true;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        void* p = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        ::close(fd);
        if (p == MAP_FAILED) return false;
        data_ = p;
        size_ = size;
        return true;
    }
    const char* data() const { return static_cast<const char*>(data_); }

private:
    void* data_ = nullptr;
    std::size_t size_ = 0;
};

// The slot of each producer id, in the order the ids are first seen.
// Catalogue ids are small: those are looked up in a table, the rest hashed.
class ProducerSlots {
public:
    // The id's slot; `next` (and it is taken) for an id not seen before.
    std::uint32_t slot(std::int64_t id, std::uint32_t next) {
        if (id >= 0 && id < kDirect) {
            const auto i = static_cast<std::size_t>(id);
            if (i >= direct_.size()) direct_.resize(i + 1, kNone);
            if (direct_[i] == kNone) direct_[i] = next;
            return direct_[i];
        }
        return hashed_.emplace(id, next).first->second;
    }

private:
    static constexpr std::int64_t kDirect = 1 << 20;
    static constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> direct_;
    std::unordered_map<std::int64_t, std::uint32_t> hashed_;
};

// A file written in large pieces: the many short lines of a walk are
// gathered in memory and written a chunk at a time.
class ChunkedFile {
public:
    bool open(const std::string& path) {
        file_.open(path, std::ios::binary | std::ios::trunc);
        pending_.reserve(kChunk + 4096);
        return static_cast<bool>(file_);
    }
    // Bytes are appended here; wrote() then passes a full chunk on.
    std::string& pending() { return pending_; }
    bool wrote() { return pending_.size() < kChunk || flush(); }
    bool flush() {
        if (!pending_.empty()) file_.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
        pending_.clear();
        return static_cast<bool>(file_);
    }
    bool close() {
        const bool flushed = flush();
        file_.close();
        return flushed && !file_.fail();
    }

private:
    static constexpr std::size_t kChunk = std::size_t{1} << 20;
    std::ofstream file_;
    std::string pending_;
};

// One price list written by a walk: the rows of one kind ("M", "S", "R") or of
// every kind (an empty filter), under the header of `headKind`.
struct Output {
    std::string filter;
    std::string headKind;
    std::string target;
    std::string tmpName;  // its goods lines while the rows are walked
    SupplierLines suppliers;
    ChunkedFile goods;
};

// Walks the list once, writing the goods lines of every output to its
// temporary file and collecting its supplier lines, then finishes each
// output in order: version 1.0 written at its target, 2.x as a text body
// packed into the target.
Result writeOutputs(const PriceListSource& src, std::vector<Output>& outs) {
    Result r;
    if (src.list == nullptr) {
        r.error = "brak listy do eksportu";
        return r;
    }
    if (outs.empty()) {
        r.ok = true;
        return r;
    }
    const std::string key = src.key.empty() ? pricelist::MakeLineKey() : src.key;
    TempFolder tmp;
    if (!tmp.ok()) {
        r.error = "nie można utworzyć folderu tymczasowego";
        return r;
    }

    DataSet& list = *src.list;
    ListPause pause(list);
    for (Output& o : outs) {
        if (!o.goods.open(tmp.file(o.tmpName))) {
            r.error = "nie można utworzyć pliku tymczasowego";
            return r;
        }
    }
    // On a supplier's goods list every file starts with the supplier, and
    // the producer's name and code of every row are the supplier's.
    std::string supplierName, supplierCode;
    const bool fromSupplier = src.listKind == ListKind::SupplierGoods && src.supplierList != nullptr &&
                              src.supplierList->recNo() > 0;
    if (fromSupplier) {
        const int row = src.supplierList->recNo() - 1;
        const pricelist::SupplierRecord s = SupplierFromRow(*src.supplierList, row, true);
        const std::string line = pricelist::SupplierLine(s);
        for (Output& o : outs) o.suppliers.add(line);
        supplierName = Deszyfruj(raw(*src.supplierList, row, {"PRODUCENT.NAZWA", "NAZWA"}), 1);
        supplierCode = s.code;
    }

    // The walk visits each row once and notes what it gives: which outputs
    // take it, its producer and its encoded line (kept in a file of the run).
    // The outputs are then written from the notes in the list's order. A
    // large list read on demand is visited in the order of its key, so the
    // catalogue is read page by page instead of at random.
    const int kindField = fieldOf(list, {"TYP_RMS", "TOWAR.TYP_RMS"});
    // A producer's line is the same on each of its rows: descrambled once.
    const int producerField = fieldOf(list, {"PRODUCENT.ID_PRODUCENTA", "ID_PRODUCENTA"});
    ProducerSlots producerSlots;
    std::vector<std::string> producerLines;
    // The name and code the goods lines carry, per producer slot.
    std::vector<std::pair<std::string, std::string>> producerOfLine;
    const SupplierFields supplierFields = SupplierFields::Of(list, false);
    const GoodsFields goodsFields = GoodsFields::Of(list);
    const auto addProducer = [&](int row) {
        const pricelist::SupplierRecord s = SupplierFromRow(list, supplierFields, row);
        producerLines.push_back(pricelist::SupplierLine(s));
        // The goods lines' producer code is the supplier's own.
        producerOfLine.emplace_back(plain(list, row, 1, goodsFields.producerName), s.code);
    };
    constexpr std::uint32_t kNoLine = std::numeric_limits<std::uint32_t>::max();
    struct Note {
        std::uint64_t offset = 0;
        std::uint32_t length = kNoLine;  // kNoLine: the row gives no goods line
        std::uint32_t producer = 0;      // into producerLines
        std::uint8_t outputs = 0;        // bit i: outs[i] takes the row
        bool visited = false;
    };
    const int total = list.recordCount();
    if (!list.loadError().empty()) {
        r.error = "odczyt listy nie powiódł się: " + list.loadError();
        return r;
    }
    std::vector<Note> notes(static_cast<std::size_t>(total));
    const std::string linesName = tmp.file("lines.tmp");
    ChunkedFile lines;
    if (!lines.open(linesName)) {
        r.error = "nie można utworzyć pliku tymczasowego";
        return r;
    }
    std::uint64_t linesSize = 0;
    int done = 0;
    bool writeFailed = false;
    // On the goods list each producer's record is read once, from the first
    // of its rows, and its name and code are the record's.
    const bool byProducer = src.listKind == ListKind::Goods;
    // Reused from row to row.
    pricelist::GoodsRecord g;
    std::string line, kind;
    const auto visit = [&](int row) {
        Note& n = notes[static_cast<std::size_t>(row)];
        n.visited = true;
        rawInto(kind, list, row, kindField);
        for (char& ch : kind) ch = static_cast<char>(cp1250::toUpper(static_cast<unsigned char>(ch)));
        for (std::size_t i = 0; i < outs.size(); ++i)
            if (outs[i].filter.empty() || outs[i].filter == kind) n.outputs |= static_cast<std::uint8_t>(1U << i);
        if (n.outputs != 0) {
            // The producer is listed before the row's own checks, so a
            // producer whose rows are all rejected is listed too.
            if (byProducer) {
                const Cell id = producerField >= 0 ? list.cell(row, producerField) : Cell();
                const auto next = static_cast<std::uint32_t>(producerLines.size());
                // A row without an id is a producer of its own.
                n.producer = id.type() == CellType::Integer ? producerSlots.slot(id.asInt(), next) : next;
                if (n.producer == next) addProducer(row);
            }
            GoodsFromRow(list, goodsFields, row, !byProducer && !fromSupplier, g);
            if (fromSupplier) {
                g.producerName = supplierName;
                g.producerCode = supplierCode;
            } else if (byProducer) {
                // Version 1.0 lines carry the producer's name as well.
                if (src.version == pricelist::Version::V10) g.producerName = producerOfLine[n.producer].first;
                g.producerCode = producerOfLine[n.producer].second;
            }
            if (pricelist::GoodsLineInto(g, src.version, line)) {
                std::string& out = lines.pending();
                const std::size_t before = out.size();
                pricelist::AppendEncodedLine(out, line, key);
                n.offset = linesSize;
                n.length = static_cast<std::uint32_t>(out.size() - before);
                linesSize += n.length;
                if (!lines.wrote()) {
                    writeFailed = true;
                    return false;
                }
            }
        }
        if (src.progress && !src.progress(++done, total)) {
            r.cancelled = true;
            return false;
        }
        return true;
    };
    if (list.keyed() && total >= gKeyOrderRows) {
        // The walk reads only the fields the goods lines are made of; a
        // producer's record is read with its first row alone.
        std::vector<int> fields{kindField, producerField};
        GoodsFields lineFields = goodsFields;
        if (byProducer) lineFields.producerName = lineFields.producerCode = -1;
        lineFields.appendTo(fields);
        list.visitByKey(visit, fields);
    } else {
        for (int row = 0; row < total && visit(row); ++row) {
        }
    }
    if (!lines.close() || writeFailed) {
        r.error = "zapis pliku tymczasowego nie powiódł się";
        return r;
    }
    // A result read on demand may have failed part way (a damaged catalogue):
    // a list cut short is no export.
    if (!list.loadError().empty()) {
        r.error = "odczyt listy nie powiódł się: " + list.loadError();
        return r;
    }
    {
        MappedFile mapped;
        if (!mapped.open(linesName, linesSize)) {
            r.error = "odczyt pliku tymczasowego nie powiódł się";
            return r;
        }
        std::vector<std::vector<bool>> listed(outs.size(), std::vector<bool>(producerLines.size(), false));
        for (const Note& n : notes) {
            if (!n.visited) continue;
            for (std::size_t i = 0; i < outs.size(); ++i) {
                if ((n.outputs & (1U << i)) == 0) continue;
                Output& o = outs[i];
                if (src.listKind == ListKind::Goods && !listed[i][n.producer]) {
                    listed[i][n.producer] = true;
                    o.suppliers.add(producerLines[n.producer]);
                }
                if (n.length == kNoLine) continue;
                std::string& out = o.goods.pending();
                out.append(mapped.data() + n.offset, n.length);
                out.append(kCrLf);
                if (!o.goods.wrote()) {
                    r.error = "zapis pliku tymczasowego nie powiódł się";
                    return r;
                }
                ++r.written;
            }
        }
    }
    std::error_code removeEc;
    fs::remove(linesName, removeEc);
    for (Output& o : outs) {
        if (!o.goods.close()) {
            r.error = "zapis pliku tymczasowego nie powiódł się";
            return r;
        }
    }

    for (Output& o : outs) {
        const pricelist::PriceListHead head{src.version, o.headKind, src.averagePrices, key};
        const std::string goodsTmp = tmp.file(o.tmpName);
        std::ifstream goods(goodsTmp, std::ios::binary);
        if (!goods) {
            r.error = "brak pliku tymczasowego " + goodsTmp;
            return r;
        }
        if (src.version == pricelist::Version::V10) {
            if (!pricelist::WritePriceListFile(o.target, head, o.suppliers.lines, goods, r.error)) return r;
            continue;
        }
        // The text body is a file of the run's private folder, packed next:
        // only the user's target needs the safe replacement.
        const std::string body = tmp.file("uncompressed" + o.tmpName);
        {
            std::ofstream bodyFile(body, std::ios::binary | std::ios::trunc);
            if (!bodyFile) {
                r.error = "nie można utworzyć pliku tymczasowego " + body;
                return r;
            }
            if (!pricelist::WritePriceList(bodyFile, head, o.suppliers.lines, goods, r.error)) return r;
            bodyFile.close();
            if (bodyFile.fail()) {
                r.error = "zapis pliku tymczasowego nie powiódł się";
                return r;
            }
        }
        goods.close();
        std::error_code ec;
        fs::remove(goodsTmp, ec);
        const std::string packed = tmp.file(kmxzip::kMemberName);
        fs::remove(packed, ec);
        fs::rename(body, packed, ec);
        if (ec) {
            r.error = "nie można przemianować pliku tymczasowego: " + ec.message();
            return r;
        }
        if (!kmxzip::PackKmx(packed, o.target, r.error)) return r;
    }
    r.ok = true;
    return r;
}

}  // namespace

void SetKeyOrderRows(int rows) {
    gKeyOrderRows = rows;
}

Result WritePriceLists(const PriceListJob& job) {
    std::vector<Output> outs;
    // Materials before equipment, labour last.
    if (!job.materialsTarget.empty()) outs.push_back(Output{"M", "M", job.materialsTarget, "M.tmp", {}, {}});
    if (!job.equipmentTarget.empty()) outs.push_back(Output{"S", "S", job.equipmentTarget, "S.tmp", {}, {}});
    if (!job.labourTarget.empty()) outs.push_back(Output{"R", "R", job.labourTarget, "R.tmp", {}, {}});
    return writeOutputs(job, outs);
}

Result WriteCombinedPriceList(const CombinedPriceListJob& job) {
    if (job.target.empty()) {
        Result r;
        r.error = "brak pliku docelowego";
        return r;
    }
    std::vector<Output> outs;
    outs.push_back(Output{"", job.kind, job.target, "MS.tmp", {}, {}});
    return writeOutputs(job, outs);
}

Result WriteUnitPriceFile(const UnitPriceJob& job) {
    Result r;
    if (job.works == nullptr) {
        r.error = "brak listy do eksportu";
        return r;
    }
    // Written beside the target and renamed over it at the end: a failure
    // keeps the file that was there.
    safefile::OutFile out(job.target);
    if (!out.open(r.error)) return r;
    DataSet& works = *job.works;
    ListPause pause(works);
    // A failed write names the file and the reason.
    const auto failed = [&] {
        if (out.bad()) out.commit(r.error);
        out.discard();
        return r;
    };
    if (!pricelist::WriteUnitPriceLine(out, pricelist::UnitPriceHeading(), r.error)) return failed();
    const int total = works.recordCount();
    for (int row = 0; row < total; ++row) {
        if (!pricelist::WriteUnitPriceLine(
                out, pricelist::UnitPriceLine(row + 1, UnitPriceFromRow(works, row)), r.error))
            return failed();
        ++r.written;
        if (job.progress && !job.progress(row + 1, total)) {
            r.cancelled = true;
            break;
        }
    }
    if (!out.commit(r.error)) return r;
    r.ok = true;
    return r;
}

}  // namespace kmx::exportrows
