#pragma once
// Lays a report definition out on pages: the title band once at the top of
// page 1, the column header at the top of every page, the detail band and
// its children for every row, the page footer at the foot of every page.
//
// A band that does not fit in what is left of a page above the footer moves
// to the next page. A band kept with the one before it takes that band along
// when both fit on a fresh page. A band taller than a whole page starts on a
// fresh page and continues on the following ones: it is cut between lines of
// its texts (never through a line), its frame drawn open at every cut, so
// nothing of it is lost.

#include <QDate>

#include "reports/engine/band.h"
#include "reports/engine/measure.h"
#include "reports/engine/prepared.h"

namespace kmx::reports {

enum class FillResult { Done, Cancelled };

// Clears the store and fills it page by page; the store's listener hears of
// every finished page and may stop the filling (Cancelled, with the pages
// made so far kept). Without a row source the detail band prints once.
FillResult fillReport(ReportDefinition& definition, RowSource* rows, PageStore& store, TextMeasurer& measurer,
                      const QDate& date);

}  // namespace kmx::reports
