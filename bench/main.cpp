// kmx-bench: what the screens run on a large catalogue, timed beside the bare
// engine doing the same work in the same process.
//
//   kmx-bench [--catalogue DIR] [--repeat N] [--plans] [--markdown]
//             [--goods-word WORD] [--work-word WORD]
//
// Without --catalogue the 200,000-goods demo catalogue is made once in the
// build folder and reused while its marker file names the same size. Every
// case runs once on a fresh connection (the engine's page cache empty, the
// file in the system's cache) and then N times; the table shows the median of
// those N. The exit code is 0 whether targets are met or not; only a
// catalogue that cannot be made or opened ends it with 1, bad arguments with 2.

#include <malloc.h>
#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "bench_args.h"
#include "bench_catalogue.h"
#include "core/criteria.h"
#include "core/query_builder.h"
#include "core/settings_file.h"
#include "core/tcsengine.h"
#include "data/tdm.h"
#include "export_bench.h"
#include "measure.h"
#include "raw_engine.h"

namespace fs = std::filesystem;

namespace kmx::bench {
namespace {

// Targets.
constexpr double kMaxRatio = 1.3;
constexpr double kMaxOpenMs = 400;
constexpr double kMaxSortMs = 50;
constexpr std::int64_t kMaxResultBytes = 250'000'000;
constexpr double kMinExportRowsPerSecond = 100000;

struct Options : CommonOptions {
    bool plans = false;
    std::string goodsWord = "ZAPRAWA";
    std::string workWord = "zaprawie";
    std::set<int> only;  // cases to run; empty: all
};

const char* kUsage =
    "usage: kmx-bench [--catalogue DIR] [--repeat N] [--plans] [--markdown]\n"
    "                 [--goods-word WORD] [--work-word WORD]\n"
    "  --catalogue DIR   a folder with kmx.dat and kmx.iif (default: the 200,000-goods\n"
    "                    demo catalogue, made once in " KMX_BENCH_CATALOGUE_DIR
    ")\n"
    "  --repeat N        measured runs per case after the first, cold one (default 5)\n"
    "  --plans           print the engine's query plans of the searches\n"
    "  --markdown        print the table as Markdown\n"
    "  --goods-word W    the name word of the goods search (default ZAPRAWA)\n"
    "  --work-word W     the description word of the work-price filter (default zaprawie)\n"
    "  --only N[,N...]   run only these of the cases 1 to 5 and 8 (the sort and memory\n"
    "                    figures come with case 3), e.g. for profiling one of them\n";

// Returns 0 to go on, 1 after --help, 2 on bad arguments.
int parseArgs(int argc, char** argv, Options& o) {
    o.catalogue = KMX_BENCH_CATALOGUE_DIR;
    ArgCursor args(argc, argv);
    while (args.next()) {
        const std::string& arg = args.name();
        const bool inlineValue = args.hasInlineValue();
        auto value = [&args](std::string& out) { return args.value(out); };
        std::string v;
        switch (readCommonOption(args, o, "kmx-bench", kUsage)) {
            case Common::Taken:
                continue;
            case Common::Help:
                return 1;
            case Common::Bad:
                return 2;
            case Common::NotMine:
                break;
        }
        if (arg == "--plans" && !inlineValue) {
            o.plans = true;
        } else if (arg == "--only" && value(v)) {
            if (!caseList(
                    v, [](int n) { return (n >= 1 && n <= 5) || n == 8; }, o.only)) {
                std::cerr << "kmx-bench: --only takes the case numbers 1 to 5 and 8, separated by commas\n";
                return 2;
            }
        } else if (arg == "--goods-word" && value(v) && !v.empty()) {
            o.goodsWord = v;
        } else if (arg == "--work-word" && value(v) && !v.empty()) {
            o.workWord = v;
        } else {
            std::cerr << "kmx-bench: unknown or incomplete argument " << args.typed() << "\n" << kUsage;
            return 2;
        }
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Running the cases

// One timed run: its milliseconds and the rows it produced.
using Run = std::function<bool(double& ms, std::int64_t& rows, std::string& error)>;

struct Pair {
    Samples program;
    Samples raw;
    std::int64_t programRows = 0;
    std::int64_t rawRows = 0;
};

// The first run of each side, then `repeat` runs of each, alternating so that
// neither side gets the machine's quieter moments.
bool measurePair(int repeat, const Run& program, const Run& raw, Pair& out, std::string& error) {
    double ms = 0;
    std::int64_t rows = 0;
    if (!program(ms, rows, error)) return false;
    out.program.first = ms;
    out.programRows = rows;
    if (!raw(ms, rows, error)) return false;
    out.raw.first = ms;
    out.rawRows = rows;
    for (int i = 0; i < repeat; ++i) {
        if (!program(ms, rows, error)) return false;
        out.program.warm.push_back(ms);
        if (!raw(ms, rows, error)) return false;
        out.raw.warm.push_back(ms);
    }
    return true;
}

// Opens the data module as start-up does.
// The program's search run: close the set (not timed), then the statement
// with the count taken as the screens take it (last row's number) and the
// cursor back on the first row.
Run programLoad(data::DataSet& ds, std::string sql) {
    return [&ds, sql = std::move(sql)](double& ms, std::int64_t& rows, std::string& error) {
        ds.close();
        Stopwatch sw;
        if (!ds.open(sql, error)) return false;
        int count = 0;
        if (!ds.isEmpty()) {
            ds.last();
            count = ds.recNo();
            ds.first();
        }
        ms = sw.ms();
        rows = count;
        return true;
    };
}

Run rawLoad(RawConnection& raw, std::string sql) {
    return [&raw, sql = std::move(sql)](double& ms, std::int64_t& rows, std::string& error) {
        Stopwatch sw;
        RawScan scan;
        if (!raw.scan(sql, scan, error)) return false;
        ms = sw.ms();
        rows = scan.rows;
        return true;
    };
}

// ---------------------------------------------------------------------------
// The report

enum class Order { None, Index, Sort };

struct Row {
    std::string name;
    std::string rows;
    std::string program;
    std::string raw;
    std::string ratio;
    std::string first;
    std::string target;
    std::string order;  // how the statement is ordered
    bool pass = true;
};

std::string ms(double v) {
    return fixed(v, 1);
}

// A load beside the raw engine: passes when it stays within the ratio, reads
// an index for its order and loads the rows the engine returns.
Row loadRow(const std::string& name, const Pair& p, Order order, std::string& warnings) {
    Row r;
    r.name = name;
    r.rows = std::to_string(p.programRows);
    r.program = ms(p.program.median());
    r.raw = ms(p.raw.median());
    const double ratio = p.raw.median() > 0 ? p.program.median() / p.raw.median() : 0;
    r.ratio = fixed(ratio, 2) + "x";
    r.first = ms(p.program.first) + " / " + ms(p.raw.first);
    r.target = "<= " + fixed(kMaxRatio, 1) + "x raw";
    r.order = order == Order::Index ? "index" : order == Order::Sort ? "TEMP SORT" : "-";
    r.pass = ratio <= kMaxRatio && order != Order::Sort && p.programRows == p.rawRows;
    if (p.programRows != p.rawRows) {
        r.pass = false;
        warnings += name + ": the program loaded " + std::to_string(p.programRows) + " rows, the engine " +
                    std::to_string(p.rawRows) + "\n";
    }
    return r;
}

void printTable(const std::vector<Row>& rows, bool markdown) {
    const std::vector<std::string> head = {"case",   "rows",   "program ms",
                                           "raw ms", "ratio",  "first run ms (program / raw)",
                                           "order",  "target", "result"};
    std::vector<std::vector<std::string>> cells;
    cells.push_back(head);
    for (const Row& r : rows) {
        cells.push_back({r.name, r.rows, r.program, r.raw, r.ratio, r.first, r.order, r.target,
                         r.pass ? "PASS" : "MISS"});
    }
    std::vector<std::size_t> width(head.size(), 0);
    for (const auto& line : cells) {
        for (std::size_t i = 0; i < line.size(); ++i) width[i] = std::max(width[i], line[i].size());
    }
    auto pad = [](const std::string& s, std::size_t w, bool right) {
        const std::string fill(w > s.size() ? w - s.size() : 0, ' ');
        return right ? fill + s : s + fill;
    };
    for (std::size_t l = 0; l < cells.size(); ++l) {
        const auto& line = cells[l];
        std::string out;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const bool right = l > 0 && i >= 1 && i <= 5;
            if (markdown) {
                out += "| " + line[i] + " ";
            } else {
                out += (i == 0 ? "" : "  ") + pad(line[i], width[i], right);
            }
        }
        if (markdown) out += "|";
        while (!out.empty() && out.back() == ' ') out.pop_back();
        std::cout << out << "\n";
        if (l == 0) {
            std::string rule;
            for (std::size_t i = 0; i < line.size(); ++i) {
                if (markdown) {
                    rule += i >= 1 && i <= 5 ? "|---:" : "|---";
                } else {
                    rule += (i == 0 ? "" : "  ") + std::string(width[i], '-');
                }
            }
            if (markdown) rule += "|";
            std::cout << rule << "\n";
        }
    }
}

Order planOrder(RawConnection& raw, const std::string& name, const std::string& sql, bool hasOrderBy,
                bool print) {
    std::vector<PlanLine> plan;
    std::string error;
    if (!raw.plan(sql, plan, error)) {
        std::cout << "Plan of " << name << ": " << error << "\n";
        return Order::None;
    }
    if (print) {
        std::cout << "Plan of " << name << ":\n";
        for (const PlanLine& l : plan) {
            std::cout << "  " << l.select << " " << l.order << " " << l.from << "  " << l.detail << "\n";
        }
    }
    if (!hasOrderBy) return Order::None;
    return planSorts(plan) ? Order::Sort : Order::Index;
}

// ---------------------------------------------------------------------------

int run(const Options& o) {
    std::string error;
    if (o.ownCatalogue && !ensureDemoCatalogue(o.catalogue, error)) {
        std::cerr << "kmx-bench: " << error << "\n";
        return 1;
    }
    const fs::path file = o.catalogue / "kmx.dat";
    const UstawieniaResult settings = CzytajUstawienia(o.catalogue / "kmx.iif");
    if (!settings.ok) {
        std::cerr << "kmx-bench: " << (o.catalogue / "kmx.iif").string() << ": " << settings.error << "\n";
        return 1;
    }
    const std::string& password = settings.password;

    std::cout
        << "kmx-bench on " << file.string() << "\n"
        << "machine: " << machineDescription() << "; engine: SQLCipher on SQLite " << sqlite3_libversion()
        << "\n"
        << "each case: one first run on a fresh connection (empty engine page cache, file in the system's "
           "cache),\nthen the median of "
        << o.repeat << " runs; program and raw engine alternate in one process\n\n";

    std::vector<Row> rows;
    std::string warnings;
    auto wanted = [&o](int n) { return o.only.empty() || o.only.count(n) > 0; };

    // 1. Start-up: connection, lookups, KNR groups.
    if (wanted(1)) {
        data::TDM texts;  // only for the statement texts of the lookups
        const std::vector<std::string> lookupSql = {texts.TGrupa_Towarowa.sql(), texts.TJednostka_Miary.sql(),
                                                    texts.TWaluta.sql(),         texts.TWojewodztwo.sql(),
                                                    texts.TKraj.sql(),           texts.TBranza.sql(),
                                                    texts.TDostawca.sql(),       texts.QKnr.sql()};
        const Run program = [&](double& t, std::int64_t& n, std::string& err) {
            Stopwatch sw;
            data::TDM dm;
            if (!openModule(dm, file, password, err)) return false;
            if (!dm.QKnr.open(err)) return false;
            t = sw.ms();
            n = 0;
            for (const data::DataSet* ds :
                 {&dm.TGrupa_Towarowa, &dm.TJednostka_Miary, &dm.TWaluta, &dm.TWojewodztwo, &dm.TKraj,
                  &dm.TBranza, &dm.TDostawca, &dm.QKnr})
                n += ds->recordCount();
            return true;
        };
        const Run raw = [&](double& t, std::int64_t& n, std::string& err) {
            Stopwatch sw;
            RawConnection rc;
            if (!rc.open(file, password, err)) return false;
            n = 0;
            for (const std::string& sql : lookupSql) {
                RawScan scan;
                if (!rc.scan(sql, scan, err)) return false;
                n += scan.rows;
            }
            t = sw.ms();
            return true;
        };
        Pair p;
        if (!measurePair(o.repeat, program, raw, p, error)) {
            std::cerr << "kmx-bench: open: " << error << "\n";
            return 1;
        }
        // Start-up has a time limit rather than a ratio.
        Row r = loadRow("1 open + lookups + KNR", p, Order::None, warnings);
        r.target = "<= " + fixed(kMaxOpenMs, 0) + " ms";
        r.pass = p.programRows == p.rawRows && p.program.median() <= kMaxOpenMs;
        rows.push_back(r);
    }

    // The statements of the searches, as the screens build them.
    TsTowar byName;
    byName.nazwa.setUtf8(o.goodsWord);
    const std::string goodsSearchSql = ZbudujZapytanieTowarow(byName, 0) + " ORDER BY idx_NAZWA";
    const std::string goodsAllSql = ZbudujZapytanieTowarow(TsTowar{}, 0) + " ORDER BY idx_NAZWA";
    const std::string suppliersAllSql = ZbudujZapytanieDostawcow(TsDostawca{}) + " ORDER BY idx_nazwa_prod";
    TCSEngine engine;
    auto filterWorks = [&engine, &o]() {
        engine.Reset();
        engine.AddLike("Nazwa", o.workWord, true);
        engine.AddLike("Podstawa", "", true);
    };
    filterWorks();
    const std::string worksSql = engine.Statement();

    // 2.-4. Searches and show-all lists, each on a fresh module and connection.
    struct LoadCase {
        int number;
        std::string name;
        data::DataSet data::TDM::*set;
        const std::string* sql;
    };
    const std::vector<LoadCase> loads = {
        {2, "2 goods search \"" + o.goodsWord + "\"", &data::TDM::QWybrTow, &goodsSearchSql},
        {3, "3 show-all goods", &data::TDM::QWybrTow, &goodsAllSql},
        {4, "4 show-all suppliers", &data::TDM::QWybrDost, &suppliersAllSql},
    };
    struct Memory {
        std::int64_t rssBefore = 0, rssAfter = 0, cacheBefore = 0, cacheAfter = 0, resultBytes = 0, rows = 0;
    } memory;
    std::vector<Row> sortRows;
    for (const LoadCase& c : loads) {
        if (!wanted(c.number)) continue;
        data::TDM dm;
        RawConnection rc;
        if (!openModule(dm, file, password, error) || !rc.open(file, password, error)) {
            std::cerr << "kmx-bench: " << c.name << ": " << error << "\n";
            return 1;
        }
        const Order order = planOrder(rc, c.name, *c.sql, true, o.plans);
        data::DataSet& ds = dm.*(c.set);
        Run program = programLoad(ds, *c.sql);
        const bool showAllGoods = c.sql == &goodsAllSql;
        if (showAllGoods) {
            // The first (cold) load also gives the memory figures.
            program = [inner = program, &memory, &dm, first = true](double& t, std::int64_t& n,
                                                                    std::string& err) mutable {
                if (!first) return inner(t, n, err);
                first = false;
                dm.QWybrTow.close();
                // Memory freed by earlier cases would be reused unseen: hand it back first.
                malloc_trim(0);
                memory.rssBefore = residentBytes();
                memory.cacheBefore = cacheBytesOf(dm.KMXConnection.handle());
                const bool ok = inner(t, n, err);
                memory.rssAfter = residentBytes();
                memory.cacheAfter = cacheBytesOf(dm.KMXConnection.handle());
                memory.resultBytes = static_cast<std::int64_t>(dm.QWybrTow.memoryUsage());
                memory.rows = n;
                return ok;
            };
        }
        Pair p;
        if (!measurePair(o.repeat, program, rawLoad(rc, *c.sql), p, error)) {
            std::cerr << "kmx-bench: " << c.name << ": " << error << "\n";
            return 1;
        }
        rows.push_back(loadRow(c.name, p, order, warnings));

        if (showAllGoods) {
            // 6. Sorting the loaded list by name rank, as a title click does.
            const int field = ds.fieldIndex("idx_NAZWA");
            if (field < 0) {
                std::cerr << "kmx-bench: the goods list has no field idx_NAZWA\n";
                return 1;
            }
            Samples desc;
            Samples asc;
            bool ordered = true;
            for (int i = 0; i <= o.repeat; ++i) {
                Stopwatch a;
                ds.sort(field, false);
                const double tDesc = a.ms();
                ordered =
                    ordered && ds.cell(0, field).asInt() >= ds.cell(ds.recordCount() - 1, field).asInt();
                Stopwatch b;
                ds.sort(field, true);
                const double tAsc = b.ms();
                ordered =
                    ordered && ds.cell(0, field).asInt() <= ds.cell(ds.recordCount() - 1, field).asInt();
                if (i == 0) {
                    desc.first = tDesc;
                    asc.first = tAsc;
                } else {
                    desc.warm.push_back(tDesc);
                    asc.warm.push_back(tAsc);
                }
            }
            if (!ordered) warnings += "sort: the list did not come out in idx_NAZWA order\n";
            for (const auto& [name, s] : {std::pair{"6 sort idx_NAZWA descending", &desc},
                                          std::pair{"6 sort idx_NAZWA ascending", &asc}}) {
                Row r;
                r.name = name;
                r.rows = std::to_string(ds.recordCount());
                r.program = ms(s->median());
                r.raw = r.ratio = r.order = "-";
                r.first = ms(s->first) + " / -";
                r.target = "<= " + fixed(kMaxSortMs, 0) + " ms";
                r.pass = ordered && s->median() <= kMaxSortMs;
                sortRows.push_back(r);
            }
        }
    }

    // 5. Work-price filter through the table query engine.
    if (wanted(5)) {
        data::TDM dm;
        RawConnection rc;
        if (!openModule(dm, file, password, error) || !rc.open(file, password, error)) {
            std::cerr << "kmx-bench: work prices: " << error << "\n";
            return 1;
        }
        const std::string name = "5 work-price filter \"" + o.workWord + "\"";
        planOrder(rc, name, worksSql, false, o.plans);
        engine.SetRunner([&dm](const std::string& statement) { return dm.WykonajScalone(statement); });
        const Run program = [&](double& t, std::int64_t& n, std::string& err) {
            dm.Qscalone.close();
            Stopwatch sw;
            filterWorks();
            const int count = engine.Execute();
            t = sw.ms();
            if (count < 0) {
                err = dm.scaloneError();
                return false;
            }
            n = count;
            return true;
        };
        Pair p;
        if (!measurePair(o.repeat, program, rawLoad(rc, worksSql), p, error)) {
            std::cerr << "kmx-bench: " << name << ": " << error << "\n";
            return 1;
        }
        rows.push_back(loadRow(name, p, Order::None, warnings));
        engine.SetRunner({});
    }
    rows.insert(rows.end(), sortRows.begin(), sortRows.end());

    // 7. Memory of the show-all goods list.
    if (wanted(3)) {
        Row r;
        r.name = "7 memory: DataSet::memoryUsage";
        r.rows = std::to_string(memory.rows);
        r.program = megabytes(memory.resultBytes);
        r.raw = r.ratio = r.first = r.order = "-";
        r.target = "<= " + megabytes(kMaxResultBytes);
        r.pass = memory.resultBytes <= kMaxResultBytes;
        rows.push_back(r);
        const std::int64_t rss = memory.rssAfter - memory.rssBefore;
        const std::int64_t cache = memory.cacheAfter - memory.cacheBefore;
        Row g = r;
        g.name = "7 memory: RSS growth - page cache";
        g.program = megabytes(rss - cache);
        g.pass = rss - cache <= kMaxResultBytes;
        rows.push_back(g);
    }
    // 8. Export of the show-all goods to version 2.1 files, dialogs excluded.
    ExportFigures exported;
    if (wanted(8)) {
        data::TDM dm;
        if (!openModule(dm, file, password, error) ||
            !measureExport(dm, goodsAllSql, o.repeat, exported, error)) {
            std::cerr << "kmx-bench: export: " << error << "\n";
            return 1;
        }
        const double perSecond = exported.ms.median() > 0 ? exported.rows / (exported.ms.median() / 1000) : 0;
        Row r;
        r.name = "8 export show-all to 2.1";
        r.rows = std::to_string(exported.rows);
        r.program = ms(exported.ms.median());
        r.raw = r.ratio = r.order = "-";
        r.first = ms(exported.ms.first) + " / -";
        r.target = ">= " + fixed(kMinExportRowsPerSecond, 0) + " rows/s";
        r.pass = perSecond >= kMinExportRowsPerSecond;
        rows.push_back(r);
    }
    std::cout << (o.plans ? "\n" : "");
    printTable(rows, o.markdown);
    if (wanted(8)) {
        const double perSecond = exported.ms.median() > 0 ? exported.rows / (exported.ms.median() / 1000) : 0;
        std::cout
            << "\nExport of the show-all goods to 2.1 (kinds decided by walking the list, materials and "
               "equipment files packed): "
            << exported.rows << " rows walked, " << exported.written << " goods lines, "
            << megabytes(exported.bytes) << " packed, " << fixed(perSecond, 0) << " rows/s.\n";
    }
    if (wanted(3)) {
        const std::int64_t rss = memory.rssAfter - memory.rssBefore;
        const std::int64_t cache = memory.cacheAfter - memory.cacheBefore;
        std::cout << "\nShow-all goods, first load: RSS grew by " << megabytes(rss)
                  << ", of which the engine's page "
                  << "cache " << megabytes(cache) << "; the result set reports "
                  << megabytes(memory.resultBytes) << ".\n";
    }
    std::cout << "ratio = program median / raw median; \"order\": index = the ORDER BY reads an index, "
                 "TEMP SORT = the engine sorts the whole result.\n";
    if (!warnings.empty()) std::cout << "\nWarnings:\n" << warnings;
    return 0;
}

}  // namespace
}  // namespace kmx::bench

int main(int argc, char** argv) {
    kmx::bench::Options o;
    const int rc = kmx::bench::parseArgs(argc, argv, o);
    if (rc == 1) return 0;
    if (rc != 0) return rc;
    return kmx::bench::run(o);
}
