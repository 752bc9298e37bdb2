// kmx-tool report: prepares one of the program's four reports on a search's
// results as the program does (the same data module, detail panels and
// report objects, offscreen) and writes it as PDF, text, HTML or a prepared
// report.

#include <QApplication>
#include <QString>
#include <algorithm>
#include <memory>
#include <ostream>
#include <string>

#include "app/goods_panel.h"
#include "app/report_source.h"
#include "app/supplier_panel.h"
#include "args.h"
#include "catalogue_open.h"
#include "commands.h"
#include "core/last_error.h"
#include "core/query_builder.h"
#include "criteria_options.h"
#include "data/tdm.h"
#include "platform/dialogs.h"
#include "platform/links.h"
#include "reports/engine/exports.h"
#include "reports/engine/measure.h"
#include "reports/engine/painter.h"
#include "reports/engine/qrp.h"
#include "reports/rap_dost_li_dost.h"
#include "reports/rap_szcz_dost.h"
#include "reports/rap_szcz_tow.h"
#include "reports/rap_tow_li_tow.h"

namespace kmx::tool {

namespace {

constexpr char kUsage[] =
    "usage: report goods-detail|goods-list|supplier-detail|supplier-list --catalogue DIR [search flags]\n"
    "       [--row N] [--of-supplier [--supplier-row N]] (--pdf FILE | --text FILE | --html FILE | --qrp "
    "FILE)";

// The panels need a GUI application; without a display it runs offscreen.
std::unique_ptr<QApplication> makeApplication() {
    if (QApplication::instance()) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kmx-tool";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QApplication>(argc, argv);
}

bool openAt(data::DataSet& set, const std::string& sql, long row, const char* what, std::ostream& err) {
    std::string error;
    if (!set.open(sql, error)) {
        err << "kmx-tool report: the " << what << " statement failed: " << error << "\n";
        return false;
    }
    if (set.recordCount() > 0 && !set.moveTo(static_cast<int>(row))) {
        err << "kmx-tool report: --row " << row << " is outside the " << set.recordCount() << " " << what
            << " found\n";
        return false;
    }
    return true;
}

}  // namespace

int cmdReport(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return badArgs(err, "report", kUsage);
    const std::string kind = args.front();
    const bool goods = kind == "goods-detail" || kind == "goods-list";
    const bool suppliers = kind == "supplier-detail" || kind == "supplier-list";
    if (!goods && !suppliers) return badArgs(err, "report", "unknown report '" + kind + "'\n" + kUsage);

    const bool ofSupplier = std::find(args.begin(), args.end(), "--of-supplier") != args.end();
    if (ofSupplier && !goods) return badArgs(err, "report", "--of-supplier belongs to the goods reports");
    auto names = goods && !ofSupplier ? goodsOptionNames() : supplierOptionNames();
    names.insert({"catalogue", "row", "supplier-row", "pdf", "text", "html", "qrp"});
    Options o(names, {"from-start", "of-supplier"});
    if (!o.parse(Args(args.begin() + 1, args.end()))) return badArgs(err, "report", o.error());
    if (!o.positional().empty() || !o.value("catalogue")) return badArgs(err, "report", kUsage);
    int outputs = 0;
    for (const char* f : {"pdf", "text", "html", "qrp"}) outputs += o.has(f) ? 1 : 0;
    if (outputs != 1) return badArgs(err, "report", "give exactly one of --pdf, --text, --html, --qrp");
    long row = 1, supplierRow = 1;
    if (!o.intValue("row", row) || !o.intValue("supplier-row", supplierRow))
        return badArgs(err, "report", o.error());
    if (row < 1 || supplierRow < 1) return badArgs(err, "report", "rows are counted from 1");

    std::string sql;
    std::string error;
    if (goods && !ofSupplier) {
        TsTowar t;
        int mode = 0;
        if (!fillGoodsCriteria(o, t, mode, error)) return badArgs(err, "report", error);
        if (mode != 0) return badArgs(err, "report", "--mode must be 0");
        sql = ZbudujZapytanieTowarow(t, 0) + " ORDER BY idx_NAZWA";
    } else {
        TsDostawca d;
        if (!fillSupplierCriteria(o, d, error)) return badArgs(err, "report", error);
        sql = ZbudujZapytanieDostawcow(d) + " ORDER BY idx_nazwa_prod";
    }

    const auto app = makeApplication();
    // Messages the panels would show go to the error stream instead.
    platform::dialogs().setTestMode(true);
    data::TDM dm;
    if (!openCatalogue(dm, *o.value("catalogue"), err)) return 1;
    platform::RecordingLinkOpener links;
    app::GoodsPanel goodsPanel(dm, links);
    app::SupplierPanel supplierPanel(dm, links);
    data::DataSet* active = nullptr;

    if (goods && !ofSupplier) {
        if (!openAt(dm.QWybrTow, sql, row, "goods", err)) return 1;
        active = &dm.QWybrTow;
        goodsPanel.bind(active, true);
        supplierPanel.bind(active, true);
        goodsPanel.PokazDaneTowaru(*active);
        supplierPanel.PokazDaneDostawcy(*active);
    } else {
        if (!openAt(dm.QWybrDost, sql, ofSupplier ? supplierRow : row, "suppliers", err)) return 1;
        active = &dm.QWybrDost;
        supplierPanel.bind(active, false);
        supplierPanel.PokazDaneDostawcy(*active);
        if (ofSupplier) {
            if (dm.QWybrDost.recordCount() == 0) {
                err << "kmx-tool report: no supplier found\n";
                return 1;
            }
            const long id = static_cast<long>(dm.QWybrDost.value("ID_PRODUCENTA").asInt());
            if (!openAt(dm.QWybrTowForDost, data::ZapytanieTowarowDostawcy(id), row, "goods of the supplier",
                        err))
                return 1;
            active = &dm.QWybrTowForDost;
            goodsPanel.bind(active, false);
            goodsPanel.PokazDaneTowaru(*active);
        }
    }
    for (const auto& m : platform::dialogs().shownMessages) err << m.text.toStdString() << "\n";

    app::DaneRaportow source(dm, goodsPanel, supplierPanel, [active] { return active; });
    std::unique_ptr<reports::Raport> report;
    if (kind == "goods-detail") report = std::make_unique<reports::TRapSzczTow>();
    if (kind == "goods-list") report = std::make_unique<reports::TRapTowLiTow>();
    if (kind == "supplier-detail") report = std::make_unique<reports::TRapSzczDost>();
    if (kind == "supplier-list") report = std::make_unique<reports::TRapDostLiDost>();
    reports::PageStore store;
    reports::FontMeasurer measurer;
    report->przedWydrukiem(source, 0);
    report->przygotuj(store, measurer);
    report->poWydruku();

    QString writeError;
    bool ok = false;
    const QString title = report->tytul();
    if (const auto f = o.value("pdf"))
        ok = reports::writePdf(store, QString::fromStdString(*f), title, &writeError);
    if (const auto f = o.value("text"))
        ok = reports::writeText(store, QString::fromStdString(*f), title, &writeError);
    if (const auto f = o.value("html"))
        ok = reports::writeHtml(store, QString::fromStdString(*f), title, &writeError);
    if (const auto f = o.value("qrp")) ok = reports::saveQrp(store, QString::fromStdString(*f), &writeError);
    if (!ok) {
        err << "kmx-tool report: " << writeError.toStdString() << "\n";
        return 1;
    }
    out << store.pageCount() << (store.pageCount() == 1 ? " page\n" : " pages\n");
    return 0;
}

}  // namespace kmx::tool
