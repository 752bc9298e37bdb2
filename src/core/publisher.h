#pragma once
// The publisher's and the product's addresses, written into price-list files
// and offered as links by the program. Kept in one place.

namespace kmx::publisher {

// Web sites (without a scheme: links open them as http).
inline constexpr char kWwwProduktu[] = "www.kalmarex.example.pl";
inline constexpr char kWwwWydawcy[] = "www.davideriv.example.pl";
// The publisher's mailbox for enquiries.
inline constexpr char kEmailZapytan[] = "zapytania@davideriv.example.pl";
// The copyright notice of the price-list headers.
inline constexpr char kNotaPrawna[] =
    "Wszelkie prawa zastrzeżone: Davideriv sp. z o.o., ul. Jaworowa 12, 30-416 Kraków, "
    "biuro@davideriv.example.pl, tel. 12 345 67 89";
// The seller to contact for an update of a cost-estimating program.
inline constexpr char kTelefonSprzedawcy[] = "12 345 67 80";
inline constexpr char kEmailSprzedawcy[] = "sprzedaz@davideriv.example.pl";
// The mailbox that takes orders for a new edition of the catalogue.
inline constexpr char kEmailZamowien[] = "zamowienia@davideriv.example.pl";
// The firm's name as the reports head their pages and the order form
// addresses it.
inline constexpr char kNazwaFirmy[] = "NORDVALE SP Z O.O.";

}  // namespace kmx::publisher
