#include "export_bench.h"

#include <stdlib.h>

#include <filesystem>

#include "data/tdm.h"
#include "export/export_rows.h"

namespace fs = std::filesystem;

namespace kmx::bench {

bool measureExport(data::TDM& dm, const std::string& sql, int repeat, ExportFigures& out,
                   std::string& error) {
    data::DataSet& list = dm.QWybrTow;
    list.close();
    if (!list.open(sql, error)) return false;
    out = ExportFigures{};
    out.rows = list.recordCount();

    std::error_code ec;
    std::string dir = (fs::temp_directory_path(ec) / "kmx-bench-exportXXXXXX").string();
    if (ec || mkdtemp(dir.data()) == nullptr) {
        error = "cannot make a scratch folder for the export";
        return false;
    }
    bool ok = true;
    for (int i = 0; i <= repeat && ok; ++i) {
        Stopwatch sw;
        // The kinds as an unrestricted search decides them: by walking the list.
        const exportrows::Kinds kinds = exportrows::DecideKinds("", list);
        exportrows::PriceListJob job;
        job.list = &list;
        job.version = pricelist::Version::V21;
        if (kinds.materials) job.materialsTarget = dir + "/Materialy.kmx";
        if (kinds.equipment) job.equipmentTarget = dir + "/Sprzet.kmx";
        // The wait window's per-row step, minus the window.
        job.progress = [](int, int) { return true; };
        const exportrows::Result r = exportrows::WritePriceLists(job);
        const double t = sw.ms();
        if (!r.ok) {
            error = "export: " + r.error;
            ok = false;
            break;
        }
        if (i == 0) {
            out.ms.first = t;
        } else {
            out.ms.warm.push_back(t);
        }
        out.written = r.written;
        out.bytes = 0;
        for (const auto& e : fs::directory_iterator(dir, ec))
            out.bytes += static_cast<std::int64_t>(e.file_size(ec));
    }
    fs::remove_all(dir, ec);
    return ok;
}

}  // namespace kmx::bench
