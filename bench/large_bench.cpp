// kmx-bench-large: the goods list on a catalogue of a million goods, timed
// beside the bare engine: first screen, full count, memory, last page, sort
// and export.
//
//   kmx-bench-large [--catalogue DIR] [--repeat N] [--markdown] [--goods-word WORD]
//
// Without --catalogue the 1,000,000-goods demo catalogue is made once in the
// build folder (several minutes) and reused. "Cold" is the first run on a
// fresh connection: the engine's page cache empty, the file in the system's
// cache. The exit code is 0 whether targets are met or not.

#include <malloc.h>
#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "bench_args.h"
#include "bench_catalogue.h"
#include "core/criteria.h"
#include "core/query_builder.h"
#include "core/settings_file.h"
#include "data/jet_adapter.h"
#include "data/tdm.h"
#include "export_bench.h"
#include "measure.h"
#include "raw_engine.h"

namespace fs = std::filesystem;

namespace kmx::bench {
namespace {

constexpr int kLargeGoods = 1000000;
constexpr int kScreenRows = 17;  // a 374-pixel grid
constexpr double kMaxFirstScreenMs = 300;
constexpr double kMaxCountRatio = 1.3;
constexpr double kSearchSlackMs = 30;
constexpr double kMaxBytesPerRow = 32;
constexpr std::int64_t kMaxRss = 300'000'000;
constexpr double kMaxLastPageMs = 50;
constexpr double kMaxSortMs = 250;
constexpr double kMinExportRowsPerSecond = 150000;

struct Options : CommonOptions {
    std::string goodsWord = "ZAPRAWA";
    bool exportOnly = false;
};

const char* kUsage =
    "usage: kmx-bench-large [--catalogue DIR] [--repeat N] [--markdown] [--goods-word WORD]\n"
    "  --catalogue DIR   a folder with kmx.dat and kmx.iif (default: the 1,000,000-goods\n"
    "                    demo catalogue, made once in " KMX_BENCH_CATALOGUE_DIR
    "-1m)\n"
    "  --repeat N        measured runs per case after the first, cold one (default 5)\n"
    "  --markdown        print the table as Markdown\n"
    "  --goods-word W    the name word of the goods search (default ZAPRAWA)\n"
    "  --export-only     only the export case, e.g. for profiling it\n";

int parseArgs(int argc, char** argv, Options& o) {
    o.catalogue = KMX_BENCH_CATALOGUE_DIR "-1m";
    ArgCursor args(argc, argv);
    while (args.next()) {
        switch (readCommonOption(args, o, "kmx-bench-large", kUsage)) {
            case Common::Taken:
                continue;
            case Common::Help:
                return 1;
            case Common::Bad:
                return 2;
            case Common::NotMine:
                break;
        }
        if (args.name() == "--goods-word" && args.value(o.goodsWord)) continue;
        if (args.name() == "--export-only") {
            o.exportOnly = true;
            continue;
        }
        std::cerr << "kmx-bench-large: unknown option " << args.typed() << "\n" << kUsage;
        return 2;
    }
    return 0;
}

// What the grid shows of the rows [from, from + kScreenRows): every field's
// display text. Returns a length sum so the work cannot be skipped.
std::size_t paintScreen(const data::DataSet& ds, int from) {
    std::size_t n = 0;
    const int end = std::min(from + kScreenRows, ds.knownCount());
    for (int r = std::max(from, 0); r < end; ++r)
        for (int f = 0; f < ds.fieldCount(); ++f) n += ds.displayText(r, f).size();
    return n;
}

struct Row {
    std::string name, rows, program, raw, target;
    bool pass = false;
};

// Rows without a target are for comparison only.
const char* verdict(const Row& r) {
    return r.target == "-" ? "-" : r.pass ? "PASS" : "FAIL";
}

void printTable(const std::vector<Row>& rows, bool markdown) {
    if (markdown) {
        std::cout << "| case | rows | program | raw engine | target | result |\n|---|---:|---:|---:|---|---|\n";
        for (const Row& r : rows)
            std::cout << "| " << r.name << " | " << r.rows << " | " << r.program << " | " << r.raw << " | "
                      << r.target << " | " << verdict(r) << " |\n";
        return;
    }
    for (const Row& r : rows)
        std::cout << r.name << ": " << r.program << " (raw " << r.raw << "), rows " << r.rows << ", target "
                  << r.target << ": " << verdict(r) << "\n";
}

std::string msText(double v) {
    return fixed(v, 1) + " ms";
}

// Times `fn` once cold (after `fresh`) and `repeat` more times.
template <typename Fresh, typename Fn>
Samples timeRuns(int repeat, Fresh fresh, Fn fn) {
    Samples s;
    for (int i = 0; i <= repeat; ++i) {
        fresh(i == 0);
        Stopwatch sw;
        fn();
        const double t = sw.ms();
        if (i == 0) {
            s.first = t;
        } else {
            s.warm.push_back(t);
        }
    }
    return s;
}

int run(const Options& o) {
    std::string error;
    if (o.ownCatalogue && !ensureDemoCatalogue(o.catalogue, kLargeGoods, error)) {
        std::cerr << "kmx-bench-large: " << error << "\n";
        return 1;
    }
    const fs::path file = o.catalogue / "kmx.dat";
    const UstawieniaResult settings = CzytajUstawienia(o.catalogue / "kmx.iif");
    if (!settings.ok) {
        std::cerr << "kmx-bench-large: " << (o.catalogue / "kmx.iif").string() << ": " << settings.error << "\n";
        return 1;
    }
    const std::string& password = settings.password;
    std::cout << "kmx-bench-large on " << file.string() << "\nmachine: " << machineDescription()
              << "; engine: SQLCipher on SQLite " << sqlite3_libversion() << "\n\n";

    TsTowar byName;
    byName.nazwa.setUtf8(o.goodsWord);
    const std::string allSql = ZbudujZapytanieTowarow(TsTowar{}, 0) + " ORDER BY idx_NAZWA";
    const std::string searchSql = ZbudujZapytanieTowarow(byName, 0) + " ORDER BY idx_NAZWA";
    data::jet::SelectParts parts;
    if (!data::jet::splitSelect(allSql, parts)) {
        std::cerr << "kmx-bench-large: the goods statement does not split\n";
        return 1;
    }
    const std::string countSql =
        "SELECT COUNT(*) " + std::string(parts.from) + " WHERE " + std::string(parts.where);

    std::vector<Row> table;
    std::size_t sink = 0;
    data::TDM dm;
    if (!o.exportOnly) {

    // 1-3: first screens and the count, each run on a fresh module.
    struct Fresh {
        std::unique_ptr<data::TDM> dm;
        std::unique_ptr<RawConnection> raw;
    } fresh;
    const auto freshModule = [&](bool) {
        fresh.dm = std::make_unique<data::TDM>();
        if (!openModule(*fresh.dm, file, password, error)) std::cerr << "kmx-bench-large: " << error << "\n";
    };
    const auto freshRaw = [&](bool) {
        fresh.raw = std::make_unique<RawConnection>();
        if (!fresh.raw->open(file, password, error)) std::cerr << "kmx-bench-large: " << error << "\n";
    };
    int allRows = 0;
    for (const auto& item : {std::pair{std::string("show-all goods"), &allSql},
                             std::pair{"search \"" + o.goodsWord + "\"", &searchSql}}) {
        // Named copies: lambdas below capture them (clang 14 cannot capture a structured binding).
        const std::string& name = item.first;
        const std::string* sql = item.second;
        const auto openAndPaint = [&] {
            data::DataSet& ds = fresh.dm->QWybrTow;
            if (!ds.open(*sql, error)) std::cerr << "kmx-bench-large: " << error << "\n";
            sink += paintScreen(ds, 0);
        };
        const Samples program = timeRuns(o.repeat, freshModule, openAndPaint);
        const Samples raw = timeRuns(o.repeat, freshRaw, [&] {
            RawScan scan;
            fresh.raw->scan(*sql, scan, error, kScreenRows);
            sink += scan.checksum;
        });
        const bool all = sql == &allSql;
        Row r;
        r.name = "first screen, " + name + (all ? " (cold / warm)" : " (warm; cold)");
        r.rows = std::to_string(kScreenRows);
        r.program = msText(all ? program.first : program.median()) + " / " +
                    msText(all ? program.median() : program.first);
        r.raw = msText(all ? raw.first : raw.median()) + " / " + msText(all ? raw.median() : raw.first);
        if (all) {
            r.target = "<= " + fixed(kMaxFirstScreenMs, 0) + " ms cold";
            r.pass = program.first <= kMaxFirstScreenMs;
        } else {
            r.target = "<= raw + " + fixed(kSearchSlackMs, 0) + " ms";
            r.pass = program.median() <= raw.median() + kSearchSlackMs;
        }
        table.push_back(r);
        if (!all) {
            // The program kept to the ordered statement, as the engine runs it.
            data::DataSet::setScanSwitch(data::DataSet::ScanSwitch::Never);
            const Samples ordered = timeRuns(o.repeat, freshModule, openAndPaint);
            data::DataSet::setScanSwitch(data::DataSet::ScanSwitch::Auto);
            table.push_back({"first screen, " + name + ", the ordered statement alone (warm; cold)",
                             std::to_string(kScreenRows), msText(ordered.median()) + " / " + msText(ordered.first),
                             "-", "-", true});
        }

        if (all) {
            // The count: open until every key is known, against the engine counting the rows.
            const Samples count = timeRuns(o.repeat, freshModule, [&] {
                data::DataSet& ds = fresh.dm->QWybrTow;
                if (!ds.open(*sql, error)) std::cerr << "kmx-bench-large: " << error << "\n";
                ds.fetchAll();
                allRows = ds.recordCount();
            });
            std::int64_t rawCount = 0;
            const Samples rawCountTime = timeRuns(o.repeat, freshRaw, [&] {
                sqlite3_stmt* st = nullptr;
                data::jet::Translated t;
                data::jet::translate(countSql, t, error);
                sqlite3_prepare_v2(fresh.raw->handle(), t.sql.c_str(), -1, &st, nullptr);
                if (sqlite3_step(st) == SQLITE_ROW) rawCount = sqlite3_column_int64(st, 0);
                sqlite3_finalize(st);
            });
            // The same keys and ranks as the list keeps, in the engine's order.
            const std::string keysSql =
                "SELECT TOWAR.ID_TOWARU, TOWAR.idx_nazwa, TOWAR.idx_indeks_eto, TOWAR.idx_jedn_miary,"
                " PRODUCENT.idx_nazwa_prod " +
                std::string(parts.from) + " WHERE " + std::string(parts.where);
            const Samples rawKeys = timeRuns(o.repeat, freshRaw, [&] {
                RawScan scan;
                fresh.raw->scan(keysSql, scan, error);
                sink += scan.checksum;
            });
            table.push_back({"raw engine: the keys and ranks of show-all, engine order", std::to_string(allRows), "-",
                             msText(rawKeys.median()), "-", true});
            Row c;
            c.name = "full count known, show-all goods";
            c.rows = std::to_string(allRows) + (rawCount == allRows ? "" : " (engine: " + std::to_string(rawCount) + ")");
            c.program = msText(count.median());
            c.raw = msText(rawCountTime.median()) + " (COUNT(*))";
            c.target = "<= " + fixed(kMaxCountRatio, 1) + "x raw";
            c.pass = rawCount == allRows && count.median() <= kMaxCountRatio * rawCountTime.median();
            table.push_back(c);
        }
    }

    // 4-6: one module with the whole show-all list known.
    fresh.raw.reset();
    fresh.dm.reset();
    malloc_trim(0);
    if (!openModule(dm, file, password, error)) {
        std::cerr << "kmx-bench-large: " << error << "\n";
        return 1;
    }
    data::DataSet& ds = dm.QWybrTow;
    if (!ds.open(allSql, error) || !ds.fetchAll()) {
        std::cerr << "kmx-bench-large: " << error << ds.loadError() << "\n";
        return 1;
    }
    sink += paintScreen(ds, 0);
    const int rows = ds.recordCount();
    const double perRow = rows > 0 ? static_cast<double>(ds.memoryUsage()) / rows : 0;
    const std::int64_t rss = residentBytes();
    table.push_back({"memory of the show-all result set", std::to_string(rows),
                     fixed(perRow, 1) + " B/row (" + megabytes(static_cast<std::int64_t>(ds.memoryUsage())) + ")", "-",
                     "<= " + fixed(kMaxBytesPerRow, 0) + " B/row", perRow <= kMaxBytesPerRow});
    table.push_back({"RSS of the process after show-all", std::to_string(rows), megabytes(rss), "-",
                     "<= " + megabytes(kMaxRss), rss <= kMaxRss});

    const Samples last = timeRuns(o.repeat, [&](bool) { ds.first(); }, [&] {
        ds.last();
        sink += paintScreen(ds, ds.recNo() - kScreenRows);
    });
    table.push_back({"jump to the last page (keys loaded)", std::to_string(kScreenRows), msText(last.median()), "-",
                     "<= " + fixed(kMaxLastPageMs, 0) + " ms", last.median() <= kMaxLastPageMs});

    const int rank = ds.fieldIndex("idx_NAZWA");
    bool ascending = false;
    const Samples sort = timeRuns(o.repeat, [](bool) {}, [&] {
        ds.sort(rank, ascending);
        ascending = !ascending;
    });
    const bool ordered = ds.cell(0, rank).asInt() <= ds.cell(rows - 1, rank).asInt() ||
                         ds.cell(0, rank).asInt() >= ds.cell(rows - 1, rank).asInt();
    table.push_back({"sort by idx_NAZWA (rank in memory)", std::to_string(rows), msText(sort.median()), "-",
                     "<= " + fixed(kMaxSortMs, 0) + " ms", ordered && sort.median() <= kMaxSortMs});
    ds.close();
    } else if (!openModule(dm, file, password, error)) {
        std::cerr << "kmx-bench-large: " << error << "\n";
        return 1;
    }

    // The floor of any walk of the list in its order: the engine stepping
    // the show-all statement to its end, every column read.
    {
        RawConnection rc;
        if (!rc.open(file, password, error)) {
            std::cerr << "kmx-bench-large: " << error << "\n";
            return 1;
        }
        const auto rawWalk = [&](const std::string& name, const std::string& sql) {
            Stopwatch sw;
            RawScan scan;
            rc.scan(sql, scan, error);
            const double t = sw.ms();
            sink += scan.checksum;
            table.push_back({name, std::to_string(scan.rows), "-",
                             msText(t) + " (" + fixed(scan.rows / (t / 1000), 0) + " rows/s)", "-", true});
        };
        const std::string tail =
            std::string(parts.from) + " WHERE " + std::string(parts.where) + " ORDER BY TOWAR.ID_TOWARU";
        rawWalk("raw engine: every row and column of show-all, in order", allSql);
        // The floor of the export, which reads the rows in the order of their key.
        rawWalk("raw engine: every row and column of show-all, in key order",
                std::string(parts.head) + std::string(parts.list) + tail);
        // The same with only the columns the export's walk reads: the goods
        // lines' own (each producer's record is read once, with its first row).
        rawWalk("raw engine: the goods lines' columns of show-all, in key order",
                "SELECT TOWAR.ID_TOWARU, TOWAR.NAZWA, TOWAR.caseNAZWA, TOWAR.INDEKS_ETO, TOWAR.PKWIU, TOWAR.SYMBOL,"
                " TOWAR.CENA_DETALICZNA, TOWAR.CENA_JEDNOSTKOWA, TOWAR.TYP_RMS, PRODUCENT.ID_PRODUCENTA,"
                " JEDNOSTKA_MIARY.KOD, WALUTA.KOD, STAWKA_VAT.KOD " +
                    tail);
    }

    // 7: export of the show-all list to version 2.1.
    ExportFigures exported;
    if (!measureExport(dm, allSql, std::min(o.repeat, 2), exported, error)) {
        std::cerr << "kmx-bench-large: export: " << error << "\n";
        return 1;
    }
    const double perSecond = exported.ms.median() > 0 ? exported.rows / (exported.ms.median() / 1000) : 0;
    table.push_back({"export show-all to 2.1 (" + fixed(perSecond, 0) + " rows/s)", std::to_string(exported.rows),
                     msText(exported.ms.median()), "-", ">= " + fixed(kMinExportRowsPerSecond, 0) + " rows/s",
                     perSecond >= kMinExportRowsPerSecond});

    printTable(table, o.markdown);
    std::cout << "\n(checksum " << sink % 1000 << ")\n";
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
