#pragma once
// The product's and the publisher's fixed texts and addresses.

namespace kmx::app {

// Caption of the program's message boxes.
inline constexpr char kTytulKomunikatu[] = "KALMAREX";

// The two lines of the about box heading.
inline constexpr char kNaglowekProduktu[] = "KALMAREX - CENY PRODUCENTÓW I DOSTAWCÓW M i S ";
inline constexpr char kNaglowekBazyRobot[] = "wraz z bazą cen robót wg KNR-ów serii NV ";

// The product's web site, the publisher's web site and the publisher's
// mailbox for enquiries.
inline constexpr char kStronaProduktu[] = "https://www.kalmarex.example.pl";
inline constexpr char kStronaWydawcy[] = "https://www.davideriv.example.pl";
inline constexpr char kEmailZapytan[] = "zapytania@davideriv.example.pl";

// The instruction texts beside the program.
inline constexpr char kInstrukcjaMS[] = "Instrukcja_eksportu_ms.rtf";
inline constexpr char kInstrukcjaCS[] = "Instrukcja_eksportu_cs.rtf";

}  // namespace kmx::app
