#pragma once
// The export case of kmx-bench: the show-all goods list written as version
// 2.1 price lists of materials and equipment, as "Pobierz ceny" does once the
// save dialogs are answered.

#include <cstdint>
#include <string>

#include "measure.h"

namespace kmx::data {
class TDM;
}

namespace kmx::bench {

struct ExportFigures {
    int rows = 0;            // rows of the list walked in one run
    int written = 0;         // goods lines written in one run
    std::int64_t bytes = 0;  // size of the two files
    Samples ms;              // kinds decided, files written, temporary folder removed
};

// Loads `sql` into dm.QWybrTow (not timed), then exports it once and
// `repeat` more times into a scratch folder that is removed afterwards.
bool measureExport(data::TDM& dm, const std::string& sql, int repeat, ExportFigures& out, std::string& error);

}  // namespace kmx::bench
