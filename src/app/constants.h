#pragma once
// The product's and the publisher's fixed texts and addresses.

#include "core/publisher.h"

namespace kmx::app {

// The two lines of the about box heading.
inline constexpr char kNaglowekBazyRobot[] = "wraz z bazą cen robót wg KNR-ów serii NV ";

// The product's web site, the publisher's web site and the publisher's
// mailbox for enquiries.
inline constexpr const char* kStronaProduktu = publisher::kWwwProduktu;
inline constexpr const char* kStronaWydawcy = publisher::kWwwWydawcy;
inline constexpr const char* kEmailZapytan = publisher::kEmailZapytan;

// The instruction texts beside the program.
inline constexpr char kInstrukcjaMS[] = "Instrukcja_eksportu_ms.rtf";
inline constexpr char kInstrukcjaCS[] = "Instrukcja_eksportu_cs.rtf";

}  // namespace kmx::app
