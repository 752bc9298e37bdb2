// kmx-bench-reports: the goods list report on the show-all goods list of a
// large catalogue, prepared as the program prepares it, shown in the preview
// window and written as PDF.
//
//   kmx-bench-reports [--catalogue DIR] [--repeat N] [--markdown] [--only N[,N...]] [--rows N]
//
// Without --catalogue the 200,000-goods demo catalogue is made once in the
// build folder and reused (the same one kmx-bench uses). The windows run on
// the offscreen platform unless QT_QPA_PLATFORM says otherwise. Every case
// runs once cold and then N times; the table shows the median of those N.
// The exit code is 0 whether targets are met or not; 1 when the catalogue
// cannot be made or opened or a case cannot run, 2 on bad arguments.

#include <malloc.h>
#include <stdlib.h>

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <QtGlobal>
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/goods_panel.h"
#include "app/report_source.h"
#include "app/supplier_panel.h"
#include "bench_args.h"
#include "bench_catalogue.h"
#include "core/criteria.h"
#include "core/last_error.h"
#include "core/query_builder.h"
#include "core/settings_file.h"
#include "data/tdm.h"
#include "export/form_nowy_cennik.h"
#include "export/form_waluta.h"
#include "export/t3dll.h"
#include "measure.h"
#include "platform/dialogs.h"
#include "platform/links.h"
#include "platform/registry.h"
#include "platform/wine.h"
#include "reports/engine/measure.h"
#include "reports/engine/painter.h"
#include "reports/engine/prepared.h"
#include "reports/preview.h"
#include "reports/rap_tow_li_tow.h"

namespace fs = std::filesystem;

namespace kmx::bench {
namespace {

// Targets.
constexpr double kMinPreparePagesPerSecond = 1000;
constexpr double kMaxKbPerPage = 40;
constexpr double kMinPdfPagesPerSecond = 200;
constexpr double kMinInsertRowsPerSecond = 50000;

struct Options : CommonOptions {
    int rows = 0;        // 0: the whole show-all list
    std::set<int> only;  // cases to run; empty: all
};

const char* kUsage =
    "usage: kmx-bench-reports [--catalogue DIR] [--repeat N] [--markdown] [--only N[,N...]] [--rows N]\n"
    "  --catalogue DIR   a folder with kmx.dat and kmx.iif (default: the 200,000-goods\n"
    "                    demo catalogue, made once in " KMX_BENCH_CATALOGUE_DIR
    ")\n"
    "  --repeat N        measured runs per case after the first, cold one (default 5)\n"
    "  --markdown        print the table as Markdown\n"
    "  --only N[,N...]   run only these of the cases 1 (prepare), 2 (preview), 3 (PDF),\n"
    "                    4 (price base)\n"
    "  --rows N          only the first N rows of the show-all list, e.g. for profiling\n"
    "cases, on the show-all goods list (\"Pokaż wszystkie\"), the goods list report:\n"
    "  1 prepared into pages; the memory of the prepared pages\n"
    "  2 shown in the preview window: until page 1 is painted, until every page is made\n"
    "  3 every prepared page written as PDF\n"
    "  4 the list inserted into a version 3 price list through our price-base library\n";

// Returns 0 to go on, 1 after --help, 2 on bad arguments.
int parseArgs(int argc, char** argv, Options& o) {
    o.catalogue = KMX_BENCH_CATALOGUE_DIR;
    ArgCursor args(argc, argv);
    while (args.next()) {
        const std::string& arg = args.name();
        auto value = [&args](std::string& out) { return args.value(out); };
        std::string v;
        switch (readCommonOption(args, o, "kmx-bench-reports", kUsage)) {
            case Common::Taken:
                continue;
            case Common::Help:
                return 1;
            case Common::Bad:
                return 2;
            case Common::NotMine:
                break;
        }
        if (arg == "--rows" && value(v)) {
            if (!wholeNumber(v, 1, 100'000'000, o.rows)) {
                std::cerr << "kmx-bench-reports: --rows needs a whole number of at least 1\n";
                return 2;
            }
        } else if (arg == "--only" && value(v)) {
            if (!caseList(
                    v, [](int n) { return n >= 1 && n <= 4; }, o.only)) {
                std::cerr << "kmx-bench-reports: --only takes the case numbers 1 to 4, separated by commas\n";
                return 2;
            }
        } else {
            std::cerr << "kmx-bench-reports: unknown or incomplete argument " << args.typed() << "\n"
                      << kUsage;
            return 2;
        }
    }
    return 0;
}

// ---------------------------------------------------------------------------
// The process's surroundings: an offscreen platform and a private runtime folder

// A runtime folder made for this run (0700, as Qt wants it), removed at the end.
class RuntimeDir {
public:
    RuntimeDir() {
        if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
        std::string pattern = (fs::temp_directory_path() / "kmx-runtime.XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return;
        made_ = pattern;
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(made_.string()));
    }
    ~RuntimeDir() {
        if (made_.empty()) return;
        std::error_code ec;
        fs::remove_all(made_, ec);
    }
    RuntimeDir(const RuntimeDir&) = delete;
    RuntimeDir& operator=(const RuntimeDir&) = delete;

private:
    fs::path made_;
};

// The offscreen platform says it cannot pass size hints on every window it
// shows; that line would bury the table.
QtMessageHandler previousHandler = nullptr;
void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.contains(QStringLiteral("propagateSizeHints"))) return;
    if (previousHandler) previousHandler(type, context, message);
}

// The registry of a prefix holding version 3 at `program`.
class BenchRegistry : public platform::Registry {
public:
    QString program;
    std::optional<QString> readString(platform::Hive hive, const QString& key,
                                      const QString& value) override {
        if (hive == platform::Hive::LocalMachine && value == QLatin1String("Program") &&
            key.startsWith(QLatin1String("Software\\Nordvale\\Tessar 3"), Qt::CaseInsensitive))
            return program;
        return std::nullopt;
    }
};

// ---------------------------------------------------------------------------
// The table

struct Row {
    std::string name;
    std::string pages;
    std::string ms;     // median of the warm runs
    std::string first;  // the cold run
    std::string figure;
    std::string target;
    std::string result;  // PASS, FAIL or "-" where there is no target
};

void printTable(const std::vector<Row>& rows, bool markdown) {
    const std::vector<std::string> head = {"case",   "pages",  "ms",    "first run ms",
                                           "figure", "target", "result"};
    std::vector<std::vector<std::string>> cells{head};
    for (const Row& r : rows) cells.push_back({r.name, r.pages, r.ms, r.first, r.figure, r.target, r.result});
    auto numeric = [](std::size_t column) { return column >= 1 && column <= 3; };
    std::vector<std::size_t> width(head.size(), 0);
    for (const auto& line : cells)
        for (std::size_t i = 0; i < line.size(); ++i) width[i] = std::max(width[i], line[i].size());
    for (std::size_t l = 0; l < cells.size(); ++l) {
        std::string out;
        for (std::size_t i = 0; i < cells[l].size(); ++i) {
            const std::string& s = cells[l][i];
            if (markdown) {
                out += "| " + s + " ";
            } else {
                const std::string fill(width[i] - s.size(), ' ');
                out += (i == 0 ? "" : "  ") + (l > 0 && numeric(i) ? fill + s : s + fill);
            }
        }
        if (markdown) out += "|";
        while (!out.empty() && out.back() == ' ') out.pop_back();
        std::cout << out << "\n";
        if (l == 0) {
            std::string rule;
            for (std::size_t i = 0; i < head.size(); ++i) {
                if (markdown)
                    rule += numeric(i) ? "|---:" : "|---";
                else
                    rule += (i == 0 ? "" : "  ") + std::string(width[i], '-');
            }
            if (markdown) rule += "|";
            std::cout << rule << "\n";
        }
    }
}

std::string ms(double v) {
    return fixed(v, 1);
}

double perSecond(int pages, double milliseconds) {
    return milliseconds > 0 ? pages / (milliseconds / 1000) : 0;
}

// ---------------------------------------------------------------------------
// The preview's first page

// Watches the preview's page view and paints it itself the first time it is
// to show a page, so that the time taken is the moment page 1 is on the
// window's surface, painting included.
class FirstPagePaint : public QObject {
public:
    FirstPagePaint(const reports::PageStore& store, const Stopwatch& clock) : store_(store), clock_(clock) {}
    std::optional<double> ms;
    int pagesThen = 0;  // pages prepared when page 1 was painted

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (ms || event->type() != QEvent::Paint || store_.currentPage() != 1) return false;
        watched->event(event);
        ms = clock_.ms();
        pagesThen = store_.pageCount();
        return true;
    }

private:
    const reports::PageStore& store_;
    const Stopwatch& clock_;
};

// ---------------------------------------------------------------------------

// Whether the store holds every row of the list: the last row number on the
// last page is the list's row count.
bool holdsEveryRow(const reports::PageStore& store, int rows) {
    if (store.pageCount() == 0) return rows == 0;
    const auto numbers = reports::textsNamed(store, store.pageCount(), QStringLiteral("WLp"));
    return !numbers.empty() && store.page(store.pageCount()).textOf(*numbers.back()) == QString::number(rows);
}

// Where a page's bytes go: its text items, boxes and text buffer, on average.
std::string describePages(const reports::PageStore& store) {
    const int pages = store.pageCount();
    if (pages == 0) return "No pages.";
    double texts = 0, boxes = 0, chars = 0;
    for (int p = 1; p <= pages; ++p) {
        const reports::PreparedPage& page = store.page(p);
        texts += static_cast<double>(page.texts.size());
        boxes += static_cast<double>(page.boxes.size());
        chars += static_cast<double>(page.text.size());
    }
    texts /= pages;
    boxes /= pages;
    chars /= pages;
    const auto kb = [](double bytes) { return fixed(bytes / 1000, 1) + " KB"; };
    return "An average page: " + fixed(texts, 0) + " texts of " + std::to_string(sizeof(reports::TextItem)) +
           " bytes (" + kb(texts * sizeof(reports::TextItem)) + "), " + fixed(boxes, 0) + " boxes of " +
           std::to_string(sizeof(reports::BoxItem)) + " bytes (" + kb(boxes * sizeof(reports::BoxItem)) +
           "), " + fixed(chars, 0) + " characters of text (" + kb(chars * sizeof(QChar)) + ").";
}

int run(const Options& o) {
    std::string error;
    if (o.ownCatalogue && !ensureDemoCatalogue(o.catalogue, error)) {
        std::cerr << "kmx-bench-reports: " << error << "\n";
        return 1;
    }
    const UstawieniaResult settings = CzytajUstawienia(o.catalogue / "kmx.iif");
    if (!settings.ok) {
        std::cerr << "kmx-bench-reports: " << (o.catalogue / "kmx.iif").string() << ": " << settings.error
                  << "\n";
        return 1;
    }
    const fs::path file = o.catalogue / "kmx.dat";
    data::TDM dm;
    if (dm.PolaczZBaza(file, settings.password) || dm.OtworzTabele()) {
        std::cerr << "kmx-bench-reports: " << file.string() << ": " << OstatniBlad().text << "\n";
        return 1;
    }

    // The show-all goods list, as "Pokaż wszystkie" loads it.
    std::string sql = ZbudujZapytanieTowarow(TsTowar{}, 0) + " ORDER BY idx_NAZWA";
    if (o.rows > 0) sql += " LIMIT " + std::to_string(o.rows);
    Stopwatch loadClock;
    if (!dm.QWybrTow.open(sql, error)) {
        std::cerr << "kmx-bench-reports: the show-all goods statement failed: " << error << "\n";
        return 1;
    }
    const double loadMs = loadClock.ms();
    const int rows = dm.QWybrTow.recordCount();
    dm.QWybrTow.first();

    // The detail panels follow the list as in the main window (the report
    // suspends them while it walks the rows).
    platform::dialogs().setTestMode(true);
    platform::RecordingLinkOpener links;
    app::GoodsPanel goodsPanel(dm, links);
    app::SupplierPanel supplierPanel(dm, links);
    data::DataSet* active = &dm.QWybrTow;
    goodsPanel.bind(active, true);
    supplierPanel.bind(active, true);
    goodsPanel.PokazDaneTowaru(*active);
    supplierPanel.PokazDaneDostawcy(*active);
    app::DaneRaportow source(dm, goodsPanel, supplierPanel, [active] { return active; });

    reports::TRapTowLiTow report;
    // One measurer for every output, as the program keeps one: the cold run
    // fills its word widths, the warm runs find them.
    reports::FontMeasurer measurer;

    std::cout << "kmx-bench-reports on " << file.string() << "\n"
              << "machine: " << machineDescription() << "; Qt " << qVersion() << ", platform "
              << QGuiApplication::platformName().toStdString() << "\n"
              << "show-all goods list: " << rows << " rows, loaded in " << ms(loadMs) << " ms"
              << (o.rows > 0 ? " (limited by --rows)" : "") << "\n"
              << "each case: one first (cold) run, then the median of " << o.repeat << " runs\n\n";

    auto wanted = [&o](int n) { return o.only.empty() || o.only.count(n) > 0; };
    std::vector<Row> table;
    std::string warnings;

    // 1. The report prepared into pages, as printing and the exports do.
    std::unique_ptr<reports::PageStore> prepared;
    std::int64_t rssGrowth = 0;
    auto prepare = [&](double& t) {
        prepared.reset();  // the previous run's pages go first, not timed
        auto store = std::make_unique<reports::PageStore>();
        Stopwatch sw;
        report.przedWydrukiem(source, 0);
        const reports::FillResult r = report.przygotuj(*store, measurer);
        report.poWydruku();
        t = sw.ms();
        prepared = std::move(store);
        if (r != reports::FillResult::Done) {
            error = "the preparation was cancelled";
            return false;
        }
        return true;
    };
    if (wanted(1)) {
        Samples s;
        malloc_trim(0);
        const std::int64_t rssBefore = residentBytes();
        if (!prepare(s.first)) {
            std::cerr << "kmx-bench-reports: prepare: " << error << "\n";
            return 1;
        }
        rssGrowth = residentBytes() - rssBefore;
        for (int i = 0; i < o.repeat; ++i) {
            double t = 0;
            if (!prepare(t)) {
                std::cerr << "kmx-bench-reports: prepare: " << error << "\n";
                return 1;
            }
            s.warm.push_back(t);
        }
        const int pages = prepared->pageCount();
        const double rate = perSecond(pages, s.median());
        table.push_back({"1 prepare goods list", std::to_string(pages), ms(s.median()), ms(s.first),
                         fixed(rate, 0) + " pages/s",
                         ">= " + fixed(kMinPreparePagesPerSecond, 0) + " pages/s",
                         rate >= kMinPreparePagesPerSecond ? "PASS" : "FAIL"});
        const auto bytes = static_cast<double>(prepared->memoryUsage());
        const double kbPerPage = pages > 0 ? bytes / pages / 1000 : 0;
        table.push_back(
            {"1 memory of the prepared pages", std::to_string(pages), "-", "-",
             fixed(kbPerPage, 1) + " KB/page (" + megabytes(static_cast<std::int64_t>(bytes)) + ")",
             "<= " + fixed(kMaxKbPerPage, 0) + " KB/page", kbPerPage <= kMaxKbPerPage ? "PASS" : "FAIL"});
    } else if (wanted(3)) {
        double t = 0;
        if (!prepare(t)) {
            std::cerr << "kmx-bench-reports: prepare: " << error << "\n";
            return 1;
        }
    }
    if (prepared && !holdsEveryRow(*prepared, rows))
        warnings += "prepare: the last page does not end with row " + std::to_string(rows) + "\n";

    // 2. The preview: the window shown, the pages made while it shows page 1.
    if (wanted(2)) {
        Samples firstPage;
        Samples allPages;
        int pages = 0;
        int pagesAtFirst = 0;
        bool painted = true;
        for (int i = 0; i <= o.repeat; ++i) {
            Stopwatch sw;
            report.przedWydrukiem(source, 0);
            auto window = std::make_unique<reports::TFPreview>();
            window->reportTitle = report.tytul();
            window->printerIndex = 0;
            FirstPagePaint watch(window->store(), sw);
            window->pageView()->installEventFilter(&watch);
            window->showMaximized();
            const reports::FillResult r =
                window->przygotuj([&](reports::PageStore& s) { return report.przygotuj(s, measurer); });
            const double all = sw.ms();
            report.poWydruku();
            if (r != reports::FillResult::Done) {
                std::cerr << "kmx-bench-reports: preview: the preparation was cancelled\n";
                return 1;
            }
            pages = window->store().pageCount();
            if (!watch.ms) painted = false;
            const double first = watch.ms.value_or(0);
            pagesAtFirst = std::max(pagesAtFirst, watch.pagesThen);
            window->pageView()->removeEventFilter(&watch);
            window->close();
            window.reset();
            QCoreApplication::processEvents();
            if (i == 0) {
                firstPage.first = first;
                allPages.first = all;
            } else {
                firstPage.warm.push_back(first);
                allPages.warm.push_back(all);
            }
        }
        if (!painted) warnings += "preview: in some run page 1 was not painted while the pages were made\n";
        table.push_back({"2 preview: page 1 painted", painted ? std::to_string(pagesAtFirst) : "-",
                         painted ? ms(firstPage.median()) : "-", painted ? ms(firstPage.first) : "-",
                         "pages made by then", "-", "-"});
        const double rate = perSecond(pages, allPages.median());
        table.push_back({"2 preview: every page made", std::to_string(pages), ms(allPages.median()),
                         ms(allPages.first), fixed(rate, 0) + " pages/s", "-", "-"});
    }

    // 3. Every prepared page written as PDF.
    if (wanted(3) && prepared) {
        QTemporaryDir dir;
        if (!dir.isValid()) {
            std::cerr << "kmx-bench-reports: pdf: no temporary folder: " << dir.errorString().toStdString()
                      << "\n";
            return 1;
        }
        const QString path = dir.filePath(QStringLiteral("lista-towarow.pdf"));
        const QString title = report.tytul();
        Samples s;
        std::int64_t size = 0;
        for (int i = 0; i <= o.repeat; ++i) {
            QFile::remove(path);
            QString writeError;
            Stopwatch sw;
            const bool ok = reports::writePdf(*prepared, path, title, &writeError);
            const double t = sw.ms();
            if (!ok) {
                std::cerr << "kmx-bench-reports: pdf: " << writeError.toStdString() << "\n";
                return 1;
            }
            size = QFileInfo(path).size();
            if (i == 0)
                s.first = t;
            else
                s.warm.push_back(t);
        }
        QFile pdf(path);
        if (!pdf.open(QIODevice::ReadOnly) || !pdf.read(5).startsWith("%PDF-"))
            warnings += "pdf: the file written does not start as a PDF file\n";
        const int pages = prepared->pageCount();
        const double rate = perSecond(pages, s.median());
        table.push_back({"3 PDF of every page", std::to_string(pages), ms(s.median()), ms(s.first),
                         fixed(rate, 0) + " pages/s, " + megabytes(size),
                         ">= " + fixed(kMinPdfPagesPerSecond, 0) + " pages/s",
                         rate >= kMinPdfPagesPerSecond ? "PASS" : "FAIL"});
    }

    // 4. The show-all list inserted into a version 3 price list through our
    // own price-base library, as "Eksport do programu" does after its dialog.
    if (wanted(4)) {
        QTemporaryDir prefix;
        const QString program = prefix.path() + QStringLiteral("/drive_c/Tessar3");
        QDir().mkpath(program);
        QDir().mkpath(prefix.path() + QStringLiteral("/dosdevices"));
        QFile::link(QStringLiteral("../drive_c"), prefix.path() + QStringLiteral("/dosdevices/c:"));
        {
            // The rates of the catalogue's currencies, so that no one is asked.
            QFile ini(program + QStringLiteral("/nvres.ini"));
            if (ini.open(QIODevice::WriteOnly))
                ini.write(
                    "[Kursy walut]\r\nWaluta bazowa=PLN,z\xb3\r\nEUR=4.3000,euro\r\nUSD=3.9000,dolar\r\n");
        }
        BenchRegistry registry;
        registry.program = QStringLiteral("C:\\Tessar3");
        tessar::TFNowyCennik::testHook = [](tessar::TFNowyCennik& d) { d.accept(); };
        tessar::TFWaluta::testHook = [](tessar::TFWaluta&) {};
        tessar::TT3DLL::bibliotekaTestowa =
            QCoreApplication::applicationDirPath() + QStringLiteral("/libkmx_pricebase.so");
        Samples s;
        int inserted = 0;
        bool ok = true;
        for (int i = 0; i <= o.repeat && ok; ++i) {
            tessar::TT3DLL bridge(registry, platform::WinePaths(prefix.path()), nullptr);
            if (!bridge.Open()) {
                std::cerr << "kmx-bench-reports: price base: " << bridge.bladTekst().toStdString() << "\n";
                return 1;
            }
            tessar::WstawianieCennika k;
            k.lista = &dm.QWybrTow;
            k.edycja = QStringLiteral("4");
            k.rok = QString::number(i);  // a new price list every run
            Stopwatch sw;
            ok = bridge.InsertPriceList(k) == tessar::WynikWstawiania::Wstawiono;
            const double t = sw.ms();
            inserted = bridge.wstawione();
            if (i == 0)
                s.first = t;
            else
                s.warm.push_back(t);
        }
        if (!ok) {
            std::cerr << "kmx-bench-reports: price base: the insertion failed\n";
            return 1;
        }
        const double rate = perSecond(rows, s.median());
        table.push_back({"4 insert into a version 3 price list", std::to_string(rows) + " rows",
                         ms(s.median()), ms(s.first),
                         fixed(rate, 0) + " rows/s (" + std::to_string(inserted) + " records)",
                         ">= " + fixed(kMinInsertRowsPerSecond, 0) + " rows/s",
                         rate >= kMinInsertRowsPerSecond ? "PASS" : "FAIL"});
    }

    printTable(table, o.markdown);
    if (wanted(1) && prepared) {
        std::cout << "\nPrepared pages of the cold run: RSS grew by " << megabytes(rssGrowth)
                  << "; the page store reports "
                  << megabytes(static_cast<std::int64_t>(prepared->memoryUsage())) << " (KB = 1000 bytes).\n"
                  << describePages(*prepared) << "\n";
    }
    if (wanted(2)) {
        std::cout << "Preview times run from the order to preview (przedWydrukiem, window made and shown) to "
                     "page 1 "
                     "painted\nand to the preparation's end; while preparing, the preview shows page 1 and "
                     "lets events "
                     "run a few times a second.\n";
    }
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

    kmx::bench::RuntimeDir runtime;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    kmx::bench::previousHandler = qInstallMessageHandler(kmx::bench::messageHandler);
    // Qt gets no arguments of ours to read.
    int qtArgc = 1;
    char name[] = "kmx-bench-reports";
    char* qtArgv[] = {name, nullptr};
    QApplication app(qtArgc, qtArgv);
    return kmx::bench::run(o);
}
