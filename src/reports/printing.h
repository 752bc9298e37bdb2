#pragma once
// Sending prepared pages to a printer.

#include <QString>

#include "reports/engine/prepared.h"

class QPrinter;

namespace kmx::reports {

// The printer chosen in the print-set dialog, an index into
// platform::printers().names(); 0 at start. Only the print-set dialog writes
// it; every report takes a copy of it before its output.
inline int SelectedPrinterIndex = 0;

// The message of a print refused for want of a printer.
QString brakDrukarkiKomunikat();

// Prints the pages of the store on printer `printerIndex` of
// platform::printers().names(): the page range the printer device holds
// (1-based, 0 = every page), its copies. Each page is drawn with paintPage
// from the paper's corner at the device's resolution. `settings`, when
// given, is a device already set up (the preview's own set-up dialog) to
// print on instead of a new one. Nothing is sent when the index names no
// printer. False with a Polish message in *error.
bool drukujStrony(const PageStore& store, int printerIndex, QString* error, QPrinter* settings = nullptr);

}  // namespace kmx::reports
