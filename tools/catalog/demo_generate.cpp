// The demo catalogue's rows. Everything comes from one fixed-seed generator,
// drawn in a fixed order, so the same size always gives the same bytes.

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "catalog/csv.h"
#include "catalog/demo.h"
#include "catalog/demo_text.h"
#include "core/numfmt.h"

namespace kmx::catalog {

using demo::ascii;
using demo::fit;
using demo::hundredths;
using demo::lettersAndDigits;
using demo::lowerAscii;
using demo::Rng;
using demo::upperAscii;
using demo::zeroPad;

namespace {

using Row = std::vector<std::string>;

// ---------------------------------------------------------------- lookups

enum Unit { kSzt = 1, kKg, kT, kM, kM2, kM3, kL, kOpak, kKpl, kRg, kMg };

const std::vector<Row> kUnits = {
    {"1", "szt.", "SZT"}, {"2", "kg", "KG"},   {"3", "t", "T"},     {"4", "m", "M"},
    {"5", "m2", "M2"},    {"6", "m3", "M3"},   {"7", "l", "L"},     {"8", "opak.", "OPAK"},
    {"9", "kpl.", "KPL"}, {"10", "r-g", "RG"}, {"11", "m-g", "MG"},
};

const std::vector<Row> kProvinces = {
    {"1", "dolnośląskie"},    {"2", "kujawsko-pomorskie"},
    {"3", "lubelskie"},       {"4", "lubuskie"},
    {"5", "łódzkie"},         {"6", "małopolskie"},
    {"7", "mazowieckie"},     {"8", "opolskie"},
    {"9", "podkarpackie"},    {"10", "podlaskie"},
    {"11", "pomorskie"},      {"12", "śląskie"},
    {"13", "świętokrzyskie"}, {"14", "warmińsko-mazurskie"},
    {"15", "wielkopolskie"},  {"16", "zachodniopomorskie"},
};

const std::vector<Row> kCountries = {
    {"1", "Polska"},  {"2", "Niemcy"},  {"3", "Czechy"}, {"4", "Słowacja"},  {"5", "Litwa"},
    {"6", "Ukraina"}, {"7", "Austria"}, {"8", "Włochy"}, {"9", "Hiszpania"}, {"10", "Dania"},
};

const std::vector<Row> kCurrencies = {
    {"1", "PLN", "złoty polski", "zł"},
    {"2", "EUR", "euro", "€"},
    {"3", "USD", "dolar amerykański", "$"},
};

const std::vector<Row> kVatRates = {
    {"1", "23%", "stawka podstawowa 23%"},
    {"2", "8%", "stawka obniżona 8%"},
    {"3", "5%", "stawka obniżona 5%"},
    {"4", "zw.", "zwolnione z podatku"},
};

// Branches; ids are the row numbers. "Pozostałe" stands three times on purpose.
enum Branch {
    kBrCement = 1,
    kBrCeramics,
    kBrCellular,
    kBrSteel,
    kBrThermal,
    kBrDamp,
    kBrRoof,
    kBrChem,
    kBrPaint,
    kBrDrywall,
    kBrSanitary,
    kBrElectric,
    kBrTools,
    kBrOtherM,
    kBrMachines,
    kBrRental,
    kBrScaffold,
    kBrTransport,
    kBrOtherS,
    kBrServices,
    kBrOtherR
};

const std::vector<Row> kBranches = {
    {"1", "Cement, wapno i kruszywa", "M"},
    {"2", "Ceramika budowlana", "M"},
    {"3", "Beton komórkowy i silikaty", "M"},
    {"4", "Stal budowlana", "M"},
    {"5", "Izolacje termiczne", "M"},
    {"6", "Izolacje przeciwwilgociowe", "M"},
    {"7", "Pokrycia dachowe", "M"},
    {"8", "Chemia budowlana", "M"},
    {"9", "Farby i lakiery", "M"},
    {"10", "Suche zabudowy", "M"},
    {"11", "Instalacje sanitarne", "M"},
    {"12", "Instalacje elektryczne", "M"},
    {"13", "Narzędzia ręczne", "M"},
    {"14", "Pozostałe", "M"},
    {"15", "Maszyny budowlane", "S"},
    {"16", "Wynajem sprzętu budowlanego", "S"},
    {"17", "Rusztowania i szalunki", "S"},
    {"18", "Transport budowlany", "S"},
    {"19", "Pozostałe", "S"},
    {"20", "Usługi budowlane", "R"},
    {"21", "Pozostałe", "R"},
};

const std::vector<Row> kGroups = {
    {"1", "Cement i wapno"},         {"2", "Kruszywa"},
    {"3", "Zaprawy, kleje i tynki"}, {"4", "Elementy murowe"},
    {"5", "Stal zbrojeniowa"},       {"6", "Płyty gipsowo-kartonowe i profile"},
    {"7", "Izolacje termiczne"},     {"8", "Izolacje przeciwwilgociowe i papy"},
    {"9", "Pokrycia dachowe"},       {"10", "Farby, grunty i lakiery"},
    {"11", "Rury i kształtki"},      {"12", "Kable i osprzęt elektroinstalacyjny"},
    {"13", "Narzędzia ręczne"},      {"14", "Chemia budowlana"},
    {"15", "Nowości w ofercie"},     {"16", "Materiały wykończeniowe"},
};
constexpr int kGroupNew = 15;
constexpr int kGroupFinishing = 16;

// ---------------------------------------------------------------- goods

struct Family {
    const char* word;      // what the family is, for descriptions ("cement")
    const char* produces;  // genitive plural for a works' name ("Cementu")
    char rms;
    int group;  // 0: none (equipment and labour carry no goods group)
    int branch;
    const char* pkwiu;
    const char* eto;      // prefix of the ETO index
    const char* density;  // kg/m3, empty when it does not apply
    std::vector<const char*> sentences;
};

enum FamilyId {
    kCement,
    kLime,
    kAggregate,
    kMortar,
    kHollow,
    kBrick,
    kBlock,
    kSteel,
    kDrywall,
    kWool,
    kEps,
    kFelt,
    kRoof,
    kPaint,
    kChem,
    kPipe,
    kFitting,
    kCable,
    kTool,
    kMachine,
    kTransport,
    kScaffold,
    kLabour,
    kFamilyCount
};

const std::vector<Family>& families() {
    // clang-format off
    static const std::vector<Family> f = {
        {"cement", "Cementu", 'M', 1, kBrCement, "23.51.12.0", "152", "1400",
         {"Cement do produkcji betonów towarowych, prefabrykatów i zapraw budowlanych.",
          "Spełnia wymagania normy PN-EN 197-1.",
          "Przechowywać w suchym miejscu, na paletach, nie dłużej niż 3 miesiące."}},
        {"wapno", "Wapna", 'M', 1, kBrCement, "23.52.10.0", "153", "600",
         {"Wapno do zapraw murarskich i tynkarskich oraz do stabilizacji gruntu.",
          "Poprawia urabialność i przyczepność zapraw.", "Chronić oczy i skórę podczas pracy."}},
        {"kruszywo", "Kruszyw", 'M', 2, kBrCement, "08.12.12.0", "171", "1650",
         {"Kruszywo naturalne z własnej kopalni, płukane i sortowane.",
          "Do betonów, zapraw, podsypek i drenaży.", "Sprzedaż luzem z dostawą samochodem samowyładowczym."}},
        {"zaprawa", "Zapraw i Klejów", 'M', 3, kBrChem, "23.64.10.0", "154", "1500",
         {"Sucha mieszanka do przygotowania z wodą na placu budowy.",
          "Wydajność zależy od grubości warstwy i równości podłoża.",
          "Temperatura stosowania od +5°C do +25°C.",
          "Czas przydatności do użycia po zarobieniu: ok. 4 godziny."}},
        {"pustak", "Pustaków", 'M', 4, kBrCeramics, "23.32.11.0", "161", "800",
         {"Element murowy do wznoszenia ścian zewnętrznych i wewnętrznych.",
          "Łączenie na pióro i wpust, bez spoin pionowych.", "Dostawa na paletach zwrotnych."}},
        {"cegła", "Cegieł", 'M', 4, kBrCeramics, "23.32.11.0", "162", "1800",
         {"Cegła wypalana z gliny w piecu tunelowym.", "Do murów nośnych, kominów i elewacji.",
          "Nasiąkliwość i mrozoodporność zgodne z deklaracją właściwości użytkowych."}},
        {"bloczek", "Bloczków", 'M', 4, kBrCellular, "23.61.11.0", "163", "600",
         {"Bloczki o dokładnych wymiarach do murowania na cienką spoinę.",
          "Lekkie, łatwe w obróbce ręcznymi narzędziami.", "Dobra izolacyjność cieplna ściany."}},
        {"stal", "Stali Zbrojeniowej", 'M', 5, kBrSteel, "24.10.62.0", "181", "7850",
         {"Stal zbrojeniowa o podwyższonej ciągliwości, spajalna.",
          "Cięcie i gięcie na wymiar według zestawień.", "Sprzedaż w wiązkach po 12 m."}},
        {"płyta", "Płyt i Profili", 'M', 6, kBrDrywall, "23.62.10.0", "191", "850",
         {"System suchej zabudowy do ścian działowych, sufitów podwieszanych i okładzin.",
          "Montaż na ruszcie z profili stalowych ocynkowanych.",
          "Składować na płasko, w suchym pomieszczeniu."}},
        {"wełna", "Wełny Mineralnej", 'M', 7, kBrThermal, "23.99.19.0", "201", "35",
         {"Izolacja termiczna i akustyczna, niepalna (klasa reakcji na ogień A1).",
          "Do ocieplania poddaszy, stropów, ścian szkieletowych i fasad.", "Produkt paroprzepuszczalny."}},
        {"styropian", "Styropianu", 'M', 7, kBrThermal, "22.21.41.0", "202", "15",
         {"Płyty styropianowe do ocieplania ścian metodą lekką mokrą.",
          "Płyty sezonowane, o stabilnych wymiarach.",
          "Chronić przed długotrwałym działaniem promieni słonecznych."}},
        {"papa", "Pap i Izolacji", 'M', 8, kBrDamp, "23.99.12.0", "211", "1100",
         {"Izolacja przeciwwodna i przeciwwilgociowa fundamentów oraz dachów.",
          "Układać na oczyszczonym i zagruntowanym podłożu.",
          "Zakłady min. 8 cm podłużnie i 10 cm poprzecznie."}},
        {"pokrycie", "Pokryć Dachowych", 'M', 9, kBrRoof, "23.32.12.0", "221", "",
         {"Pokrycie dachów stromych o nachyleniu od 22°.", "Pełny system akcesoriów dachowych w ofercie.",
          "Gwarancja producenta 30 lat."}},
        {"farba", "Farb i Lakierów", 'M', 10, kBrPaint, "20.30.11.0", "231", "1350",
         {"Wyrób gotowy do użycia po wymieszaniu.", "Nakładać pędzlem, wałkiem lub natryskiem.",
          "Wydajność ok. 10 m2 z 1 litra przy jednokrotnym malowaniu.", "Zawartość LZO zgodna z dyrektywą."}},
        {"chemia", "Chemii Budowlanej", 'M', 14, kBrChem, "20.52.10.0", "241", "",
         {"Produkt chemii budowlanej do prac montażowych i wykończeniowych.",
          "Stosować zgodnie z kartą techniczną.", "Przechowywać w temperaturze od +5°C do +25°C."}},
        {"rura", "Rur", 'M', 11, kBrSanitary, "22.21.21.0", "251", "",
         {"Rury do instalacji kanalizacyjnych i wodnych.", "Łączenie na uszczelkę lub przez zgrzewanie.",
          "Odporne na korozję i osady."}},
        {"kształtka", "Kształtek", 'M', 11, kBrSanitary, "22.21.29.0", "252", "",
         {"Kształtki systemowe z uszczelką wargową.", "Pasują do rur tego samego systemu.",
          "Pakowane zbiorczo w kartonach."}},
        {"przewód", "Kabli i Przewodów", 'M', 12, kBrElectric, "27.32.13.0", "261", "",
         {"Przewody i osprzęt do instalacji elektrycznych w budynkach.", "Izolacja z polwinitu.",
          "Sprzedaż z krążków lub bębnów na metry."}},
        {"narzędzie", "Narzędzi", 'M', 13, kBrTools, "25.73.30.0", "271", "",
         {"Narzędzie dla murarzy, tynkarzy i glazurników.", "Wykonanie z hartowanej stali.",
          "Gwarancja 24 miesiące."}},
        {"maszyna", "Maszyn Budowlanych", 'S', 0, kBrMachines, "77.32.10.0", "03", "",
         {"Cena za jedną maszynogodzinę pracy z operatorem.", "Transport na plac budowy liczony osobno.",
          "Minimalny czas najmu: 4 godziny."}},
        {"transport", "Usług Transportowych", 'S', 0, kBrTransport, "49.41.20.0", "04", "",
         {"Cena za jedną maszynogodzinę pracy z kierowcą.", "Dojazd do 30 km w cenie."}},
        {"rusztowanie", "Rusztowań", 'S', 0, kBrScaffold, "77.32.10.0", "05", "",
         {"Najem z montażem i demontażem.", "Rusztowania z atestem i protokołem odbioru."}},
        {"robocizna", "Usług Budowlanych", 'R', 0, kBrServices, "43.99.90.0", "999", "",
         {"Stawka za jedną roboczogodzinę.", "Stawka zawiera koszty pośrednie i zysk.",
          "Kategorie zaszeregowania według układu zbiorowego."}},
    };
    // clang-format on
    return f;
}

struct Pack {
    std::string kind;     // packaging; empty: none
    std::string perPack;  // goods in one package, in the goods' unit
    std::string weight;   // kg of one package
};

struct ProductType {
    int family = 0;
    std::string name;
    std::string token;  // distinctive part for the producer's own name of the item
    int unit = kSzt;
    std::int64_t price = 0;  // hundredths of PLN per unit
    Pack pack;
    std::string eto;
};

// Dimensions (m) of a kind of package, as "length width height".
struct PackSize {
    const char* prefix;
    const char* dl;
    const char* sz;
    const char* wy;
};
const PackSize kPackSizes[] = {
    {"worek", "0.6", "0.4", "0.12"},    {"paleta", "1.2", "0.8", "1.1"},  {"wiadro", "0.32", "0.32", "0.38"},
    {"karton", "0.4", "0.3", "0.3"},    {"rolka", "1.2", "0.4", "0.4"},   {"wiązka", "12", "0.3", "0.3"},
    {"kartusz", "0.3", "0.05", "0.05"}, {"puszka", "0.2", "0.2", "0.25"}, {"bęben", "0.8", "0.8", "0.6"},
    {"paczka", "1.2", "0.6", "0.5"},    {"arkusz", "2.6", "1.2", "0.01"}, {"opakowanie", "0.3", "0.2", "0.2"},
};

const PackSize* packSize(const std::string& kind) {
    for (const auto& p : kPackSizes) {
        if (kind.rfind(p.prefix, 0) == 0) return &p;
    }
    return nullptr;
}

std::vector<ProductType> productTypes() {
    std::vector<ProductType> t;
    auto add = [&t](int family, const char* name, const char* token, int unit, std::int64_t price,
                    Pack pack = {}) {
        ProductType p;
        p.family = family;
        p.name = name;
        p.token = token;
        p.unit = unit;
        p.price = price;
        p.pack = std::move(pack);
        t.push_back(std::move(p));
    };
    const Pack bag25{"worek 25 kg", "25", "25"};
    const Pack cementBag{"worek 25 kg", "0.025", "25"};
    const Pack loose{"luzem", "", ""};

    add(kCement, "Cement portlandzki CEM I 42,5R - worek 25 kg", "CEM I 42,5R", kT, 62000, cementBag);
    add(kCement, "Cement portlandzki CEM I 52,5R - worek 25 kg", "CEM I 52,5R", kT, 71000, cementBag);
    add(kCement, "Cement portlandzki wieloskładnikowy CEM II/B-M (V-LL) 32,5R - worek 25 kg",
        "CEM II/B-M 32,5R", kT, 52000, cementBag);
    add(kCement, "Cement hutniczy CEM III/A 42,5N-LH/HSR/NA - luzem", "CEM III/A 42,5N", kT, 49000, loose);
    add(kCement, "Cement murarski MC 12,5 - worek 25 kg", "MC 12,5", kT, 45000, cementBag);
    add(kCement, "Cement biały CEM I 52,5R - worek 25 kg", "Biały 52,5R", kT, 180000, cementBag);
    add(kLime, "Wapno hydratyzowane CL 90-S - worek 25 kg", "CL 90-S", kT, 95000, cementBag);
    add(kLime, "Wapno palone mielone CL 90-Q - worek 25 kg", "CL 90-Q", kT, 110000, cementBag);
    add(kLime, "Wapno gaszone w ciaście - wiadro 20 kg", "ciasto wapienne", kKg, 150,
        {"wiadro 20 kg", "20", "20.5"});
    add(kAggregate, "Piasek płukany 0-2 mm", "0/2 płukany", kT, 6500, loose);
    add(kAggregate, "Piasek kopany do zapraw 0-2 mm", "0/2 kopany", kT, 4500, loose);
    add(kAggregate, "Żwir płukany 2-8 mm", "2/8", kT, 8500, loose);
    add(kAggregate, "Żwir płukany 8-16 mm", "8/16", kT, 8000, loose);
    add(kAggregate, "Pospółka 0-31,5 mm", "0/31,5", kT, 5500, loose);
    add(kAggregate, "Kruszywo łamane granitowe 8-16 mm", "granit 8/16", kT, 11000, loose);
    add(kAggregate, "Kliniec 4-31,5 mm", "kliniec 4/31,5", kT, 9500, loose);
    add(kAggregate, "Keramzyt 8-16 mm - worek 50 l", "keramzyt 8/16", kM3, 32000,
        {"worek 50 l", "0.05", "20"});
    add(kMortar, "Zaprawa murarska cementowo-wapienna M5 25 kg", "M5", kKg, 48, bag25);
    add(kMortar, "Zaprawa murarska cementowa M10 25 kg", "M10", kKg, 55, bag25);
    add(kMortar, "Zaprawa klejowa do płytek C1T 25 kg", "C1T", kKg, 85, bag25);
    add(kMortar, "Zaprawa klejowa do płytek C2TE 25 kg", "C2TE", kKg, 160, bag25);
    add(kMortar, "Zaprawa klejowa elastyczna C2TE S1 25 kg", "C2TE S1", kKg, 240, bag25);
    add(kMortar, "Zaprawa tynkarska cementowo-wapienna maszynowa 30 kg", "tynk maszynowy", kKg, 60,
        {"worek 30 kg", "30", "30"});
    add(kMortar, "Zaprawa do cienkich spoin do betonu komórkowego 25 kg", "cienka spoina", kKg, 110, bag25);
    add(kMortar, "Zaprawa wyrównawcza samopoziomująca 5-30 mm 25 kg", "samopoziom 5-30", kKg, 130, bag25);
    add(kMortar, "Zaprawa naprawcza do betonu R3 25 kg", "R3", kKg, 310, bag25);
    add(kMortar, "Tynk gipsowy maszynowy 30 kg", "gips maszynowy", kKg, 75, {"worek 30 kg", "30", "30"});
    add(kMortar, "Gładź gipsowa szpachlowa 20 kg", "gładź", kKg, 140, {"worek 20 kg", "20", "20"});
    add(kMortar, "Fuga cementowa elastyczna szara 2 kg", "fuga szara", kKg, 900,
        {"opakowanie 2 kg", "2", "2"});
    add(kMortar, "Tynk cienkowarstwowy silikonowy baranek 1,5 mm 25 kg", "silikon 1,5", kKg, 790,
        {"wiadro 25 kg", "25", "25.8"});
    add(kMortar, "Jastrych cementowy CT-C20-F4 25 kg", "CT-C20-F4", kKg, 45, bag25);
    const Pack pallet60{"paleta 60 szt.", "60", "930"};
    add(kHollow, "Pustak ceramiczny P+W 25x38x23,8 cm", "P+W 25", kSzt, 690, pallet60);
    add(kHollow, "Pustak ceramiczny P+W 30x24,8x23,8 cm", "P+W 30", kSzt, 720, pallet60);
    add(kHollow, "Pustak ceramiczny szlifowany 25x37,3x24,9 cm", "szlif 25", kSzt, 980, pallet60);
    add(kHollow, "Pustak ceramiczny 44 P+W 44x24,8x23,8 cm", "44 P+W", kSzt, 1150,
        {"paleta 40 szt.", "40", "880"});
    add(kHollow, "Pustak stropowy ceramiczny 60x24 cm", "strop 60/24", kSzt, 890,
        {"paleta 48 szt.", "48", "860"});
    add(kHollow, "Pustak betonowy szalunkowy 50x25x24 cm", "szalunkowy 24", kSzt, 850,
        {"paleta 50 szt.", "50", "1150"});
    add(kHollow, "Pustak wentylacyjny 2-kanałowy 24x37x25 cm", "wentylacyjny 2K", kSzt, 1450,
        {"paleta 40 szt.", "40", "720"});
    add(kHollow, "Pustak keramzytobetonowy 24x24x49 cm", "keramzyt 24", kSzt, 1190, pallet60);
    const Pack pallet400{"paleta 400 szt.", "400", "1360"};
    add(kBrick, "Cegła pełna ceramiczna 25x12x6,5 cm kl. 15", "pełna kl. 15", kSzt, 145, pallet400);
    add(kBrick, "Cegła dziurawka 25x12x6,5 cm", "dziurawka", kSzt, 120, {"paleta 400 szt.", "400", "1080"});
    add(kBrick, "Cegła klinkierowa licowa czerwona 25x12x6,5 cm", "klinkier czerwony", kSzt, 390, pallet400);
    add(kBrick, "Cegła klinkierowa ryflowana grafitowa 24,5x11,5x6,5 cm", "klinkier grafit", kSzt, 520,
        pallet400);
    add(kBrick, "Cegła silikatowa pełna 25x12x6,5 cm", "silikat pełna", kSzt, 160, pallet400);
    add(kBrick, "Cegła rozbiórkowa (z odzysku) 25x12x6,5 cm", "rozbiórkowa", kSzt, 250, pallet400);
    add(kBrick, "Cegła kominowa pełna 25x12x6,5 cm kl. 20", "kominowa", kSzt, 230, pallet400);
    add(kBlock, "Bloczek betonowy fundamentowy 38x24x12 cm", "fundamentowy 12", kSzt, 520,
        {"paleta 60 szt.", "60", "1320"});
    add(kBlock, "Bloczek z betonu komórkowego 24x24x59 cm odm. 600", "24/600", kSzt, 1390,
        {"paleta 40 szt.", "40", "880"});
    add(kBlock, "Bloczek z betonu komórkowego 12x24x59 cm odm. 500", "12/500", kSzt, 760,
        {"paleta 80 szt.", "80", "720"});
    add(kBlock, "Bloczek z betonu komórkowego 36,5x24x59 cm odm. 400", "36,5/400", kSzt, 2190,
        {"paleta 26 szt.", "26", "560"});
    add(kBlock, "Bloczek silikatowy 24x25x33,3 cm kl. 20", "silikat 24", kSzt, 880,
        {"paleta 48 szt.", "48", "1150"});
    add(kBlock, "Bloczek silikatowy 18x25x33,3 cm kl. 15", "silikat 18", kSzt, 720,
        {"paleta 64 szt.", "64", "1150"});
    add(kBlock, "Nadproże prefabrykowane L19 1,5 m", "L19 1,5", kSzt, 5900);
    const Pack bundle{"wiązka 12 m", "", ""};
    add(kSteel, "Pręt żebrowany B500SP fi 8 mm", "B500SP 8", kT, 465000, bundle);
    add(kSteel, "Pręt żebrowany B500SP fi 10 mm", "B500SP 10", kT, 455000, bundle);
    add(kSteel, "Pręt żebrowany B500SP fi 12 mm", "B500SP 12", kT, 448000, bundle);
    add(kSteel, "Pręt żebrowany B500SP fi 16 mm", "B500SP 16", kT, 445000, bundle);
    add(kSteel, "Pręt żebrowany B500SP fi 20 mm", "B500SP 20", kT, 446000, bundle);
    add(kSteel, "Pręt żebrowany B500SP fi 25 mm", "B500SP 25", kT, 452000, bundle);
    add(kSteel, "Pręt gładki S235JR fi 6 mm", "S235 6", kT, 480000, bundle);
    add(kSteel, "Siatka zgrzewana 15x15 cm fi 6 mm 2x5 m", "siatka 15/6", kM2, 1450,
        {"arkusz 2x5 m", "10", "30"});
    add(kSteel, "Siatka zgrzewana 20x20 cm fi 8 mm 2x5 m", "siatka 20/8", kM2, 1990,
        {"arkusz 2x5 m", "10", "40"});
    add(kSteel, "Drut wiązałkowy wyżarzany fi 1,2 mm", "drut 1,2", kKg, 890, {"kręg 25 kg", "25", "25"});
    add(kSteel, "Strzemiona gotowe 20x20 cm fi 6 mm", "strzemię 20x20", kSzt, 180,
        {"paczka 100 szt.", "100", "22"});
    add(kDrywall, "Płyta gipsowo-kartonowa GKB 12,5 mm 1200x2600 mm", "GKB 12,5", kM2, 1290,
        {"paleta 50 płyt", "156", "1330"});
    add(kDrywall, "Płyta gipsowo-kartonowa impregnowana GKBI 12,5 mm", "GKBI 12,5", kM2, 1690,
        {"paleta 50 płyt", "156", "1350"});
    add(kDrywall, "Płyta gipsowo-kartonowa ogniochronna GKF 15 mm", "GKF 15", kM2, 1990,
        {"paleta 40 płyt", "124.8", "1480"});
    add(kDrywall, "Płyta gipsowo-kartonowa akustyczna 12,5 mm", "akustyczna 12,5", kM2, 3490,
        {"paleta 40 płyt", "124.8", "1100"});
    add(kDrywall, "Profil ścienny CW 50 ocynkowany 3 m", "CW 50", kM, 590, {"paczka 12 szt.", "36", "18"});
    add(kDrywall, "Profil przyścienny UW 75 ocynkowany 4 m", "UW 75", kM, 620,
        {"paczka 12 szt.", "48", "21"});
    add(kDrywall, "Profil sufitowy CD 60 ocynkowany 3 m", "CD 60", kM, 540, {"paczka 12 szt.", "36", "17"});
    add(kDrywall, "Wkręt do płyt g-k 3,5x25 mm - 1000 szt.", "wkręt 3,5x25", kOpak, 2890,
        {"karton 10 opak.", "10", "13"});
    add(kDrywall, "Taśma spoinowa z włókna szklanego 50 mm x 90 m", "taśma 50/90", kSzt, 1190);
    add(kDrywall, "Masa szpachlowa do spoinowania płyt g-k 25 kg", "masa do spoin", kKg, 190, bag25);
    add(kWool, "Wełna mineralna szklana w rolach 10 cm lambda 0,035", "035 10 cm", kM2, 1090,
        {"rolka 6 m2", "6", "10"});
    add(kWool, "Wełna mineralna szklana w rolach 15 cm lambda 0,037", "037 15 cm", kM2, 1490,
        {"rolka 4 m2", "4", "9"});
    add(kWool, "Wełna mineralna skalna płyty fasadowe 10 cm lambda 0,036", "fasada 10", kM2, 3890,
        {"paczka 2,4 m2", "2.4", "31"});
    add(kWool, "Wełna mineralna skalna płyty fasadowe 15 cm lambda 0,036", "fasada 15", kM2, 5790,
        {"paczka 1,8 m2", "1.8", "35"});
    add(kWool, "Wełna mineralna skalna stropodachowa 20 cm", "stropodach 20", kM2, 7890,
        {"paczka 1,2 m2", "1.2", "36"});
    add(kWool, "Wełna mineralna skalna akustyczna 5 cm", "akustyczna 5", kM2, 1590,
        {"paczka 7,2 m2", "7.2", "14"});
    add(kEps, "Styropian EPS 100-038 podłogowo-dachowy", "EPS 100-038", kM3, 26900,
        {"paczka 0,3 m3", "0.3", "6"});
    add(kEps, "Styropian fasadowy EPS 70-040", "EPS 70-040", kM3, 21900, {"paczka 0,3 m3", "0.3", "5"});
    add(kEps, "Styropian grafitowy fasadowy EPS 031", "EPS 031", kM3, 28900, {"paczka 0,3 m3", "0.3", "5"});
    add(kEps, "Styropian wodoodporny EPS P150 (fundamentowy)", "EPS P150", kM3, 39900,
        {"paczka 0,3 m3", "0.3", "9"});
    add(kEps, "Polistyren ekstrudowany XPS 300 5 cm frezowany", "XPS 300", kM2, 3290,
        {"paczka 6 m2", "6", "10"});
    add(kEps, "Styropian akustyczny EPS T-30 3 cm", "EPS T-30", kM2, 890, {"paczka 10 m2", "10", "4"});
    add(kFelt, "Papa termozgrzewalna wierzchniego krycia modyfikowana SBS 5,2 mm", "SBS 5,2", kM2, 2290,
        {"rolka 5 m2", "5", "31"});
    add(kFelt, "Papa termozgrzewalna podkładowa 4 mm", "podkładowa 4", kM2, 1590,
        {"rolka 7,5 m2", "7.5", "35"});
    add(kFelt, "Papa asfaltowa podkładowa na tekturze 400/1200", "P/400/1200", kM2, 490,
        {"rolka 20 m2", "20", "28"});
    add(kFelt, "Membrana dachowa paroprzepuszczalna 160 g/m2", "membrana 160", kM2, 390,
        {"rolka 75 m2", "75", "13"});
    add(kFelt, "Folia budowlana paroizolacyjna PE 0,2 mm", "folia PE 0,2", kM2, 150,
        {"rolka 100 m2", "100", "19"});
    add(kFelt, "Masa asfaltowa dyspersyjna 20 kg", "masa dyspersyjna", kKg, 690,
        {"wiadro 20 kg", "20", "20.6"});
    add(kFelt, "Emulsja asfaltowa gruntująca 10 l", "emulsja 10", kL, 1090, {"wiadro 10 l", "10", "10.4"});
    add(kFelt, "Folia kubełkowa fundamentowa 400 g/m2", "kubełkowa 400", kM2, 560,
        {"rolka 40 m2", "40", "17"});
    add(kRoof, "Dachówka ceramiczna karpiówka naturalna", "karpiówka", kSzt, 320,
        {"paleta 400 szt.", "400", "880"});
    add(kRoof, "Dachówka ceramiczna zakładkowa angobowana czerwona", "zakładkowa", kSzt, 490,
        {"paleta 240 szt.", "240", "1030"});
    add(kRoof, "Dachówka cementowa esówka grafitowa", "esówka", kSzt, 350,
        {"paleta 240 szt.", "240", "1010"});
    add(kRoof, "Gąsior ceramiczny podstawowy", "gąsior", kSzt, 1290);
    add(kRoof, "Blachodachówka powlekana modułowa 0,5 mm", "modułowa 0,5", kM2, 4490);
    add(kRoof, "Blacha trapezowa T-18 ocynkowana 0,5 mm", "T-18", kM2, 2990);
    add(kRoof, "Rynna dachowa PVC 125 mm 4 m", "rynna 125", kSzt, 6990);
    add(kRoof, "Łata dachowa impregnowana 4x5 cm", "łata 4x5", kM, 350, {"wiązka 20 szt.", "100", "95"});
    add(kRoof, "Kontrłata impregnowana 2,5x5 cm", "kontrłata", kM, 220, {"wiązka 20 szt.", "100", "60"});
    add(kPaint, "Farba emulsyjna akrylowa biała do wnętrz 10 l", "akryl biała", kL, 1190,
        {"wiadro 10 l", "10", "14"});
    add(kPaint, "Farba lateksowa matowa do wnętrz 5 l", "lateks mat", kL, 2290, {"wiadro 5 l", "5", "7"});
    add(kPaint, "Farba elewacyjna silikonowa biała 10 l", "silikon elewacja", kL, 3190,
        {"wiadro 10 l", "10", "15"});
    add(kPaint, "Farba ftalowa do metalu i drewna 0,9 l", "ftalowa", kL, 4390,
        {"puszka 0,9 l", "0.9", "1.2"});
    add(kPaint, "Grunt głęboko penetrujący 5 l", "grunt 5", kL, 790, {"kanister 5 l", "5", "5.2"});
    add(kPaint, "Lakier do drewna bezbarwny połysk 0,75 l", "lakier połysk", kL, 5690,
        {"puszka 0,75 l", "0.75", "0.9"});
    add(kPaint, "Impregnat do drewna ochronny 5 l", "impregnat 5", kL, 1690, {"kanister 5 l", "5", "5.3"});
    add(kPaint, "Farba do betonu i posadzek szara 5 l", "posadzka szara", kL, 3590,
        {"puszka 5 l", "5", "6.8"});
    add(kChem, "Klej do styropianu i siatki 25 kg", "klej EPS", kKg, 120, bag25);
    add(kChem, "Klej montażowy uniwersalny 310 ml", "montażowy 310", kSzt, 1890,
        {"karton 12 szt.", "12", "5"});
    add(kChem, "Pianka montażowa pistoletowa 750 ml", "pianka 750", kSzt, 2790,
        {"karton 12 szt.", "12", "11"});
    add(kChem, "Silikon sanitarny bezbarwny 280 ml", "silikon 280", kSzt, 1990,
        {"karton 12 szt.", "12", "4"});
    add(kChem, "Akryl uszczelniający biały 280 ml", "akryl 280", kSzt, 890, {"karton 12 szt.", "12", "5"});
    add(kChem, "Domieszka uszczelniająca do betonu 5 l", "uszczelniacz 5", kL, 1490,
        {"kanister 5 l", "5", "5.6"});
    add(kChem, "Środek do usuwania wykwitów 1 l", "anty-wykwit", kL, 2190, {"butelka 1 l", "1", "1.1"});
    add(kChem, "Preparat gruntujący pod płytki 5 kg", "grunt pod płytki", kKg, 990,
        {"wiadro 5 kg", "5", "5.3"});
    add(kChem, "Kołek rozporowy z wkrętem 8x60 mm - 100 szt.", "kołek 8x60", kOpak, 2490,
        {"karton 10 opak.", "10", "4"});
    add(kPipe, "Rura kanalizacyjna PVC-U fi 110x3,2 mm L=2 m", "PVC 110", kM, 1690);
    add(kPipe, "Rura kanalizacyjna PVC-U fi 160x4,0 mm L=3 m", "PVC 160", kM, 3190);
    add(kPipe, "Rura kanalizacyjna wewnętrzna PP fi 50 mm L=1 m", "PP 50", kM, 690);
    add(kPipe, "Rura kanalizacyjna wewnętrzna PP fi 75 mm L=2 m", "PP 75", kM, 990);
    add(kPipe, "Rura PP-R PN20 fi 20 mm", "PP-R 20", kM, 590, {"wiązka 100 m", "100", "17"});
    add(kPipe, "Rura PE100 SDR17 fi 40 mm do wody", "PE 40", kM, 890, {"zwój 100 m", "100", "45"});
    add(kPipe, "Rura drenarska PVC fi 100 mm w otulinie", "dren 100", kM, 450, {"zwój 50 m", "50", "20"});
    add(kPipe, "Rura osłonowa karbowana fi 110 mm", "osłonowa 110", kM, 690, {"zwój 50 m", "50", "24"});
    add(kFitting, "Kolano kanalizacyjne PVC fi 110/45°", "kolano 110/45", kSzt, 690,
        {"karton 20 szt.", "20", "6"});
    add(kFitting, "Kolano kanalizacyjne PVC fi 110/87°", "kolano 110/87", kSzt, 790,
        {"karton 20 szt.", "20", "7"});
    add(kFitting, "Trójnik kanalizacyjny PVC fi 110/110/87°", "trójnik 110", kSzt, 1490,
        {"karton 10 szt.", "10", "6"});
    add(kFitting, "Redukcja kanalizacyjna PVC fi 110/50 mm", "redukcja 110/50", kSzt, 590,
        {"karton 25 szt.", "25", "5"});
    add(kFitting, "Czyszczak kanalizacyjny PVC fi 110 mm", "czyszczak 110", kSzt, 2190);
    add(kFitting, "Mufa PP-R fi 20 mm", "mufa 20", kSzt, 90, {"opakowanie 100 szt.", "100", "1"});
    add(kFitting, "Kolano PP-R fi 20 mm 90°", "kolano 20", kSzt, 120, {"opakowanie 100 szt.", "100", "1.2"});
    add(kFitting, "Zawór kulowy mosiężny 1/2\" do wody", "zawór 1/2\"", kSzt, 2490,
        {"karton 10 szt.", "10", "2.6"});
    add(kCable, "Przewód YDYp 3x1,5 mm2 450/750V", "YDYp 3x1,5", kM, 290, {"krążek 100 m", "100", "12"});
    add(kCable, "Przewód YDYp 3x2,5 mm2 450/750V", "YDYp 3x2,5", kM, 430, {"krążek 100 m", "100", "17"});
    add(kCable, "Przewód YDY 5x4 mm2 450/750V", "YDY 5x4", kM, 1190, {"bęben 500 m", "500", "180"});
    add(kCable, "Kabel YKY 5x10 mm2 0,6/1 kV", "YKY 5x10", kM, 3990, {"bęben 500 m", "500", "420"});
    add(kCable, "Rura elektroinstalacyjna karbowana fi 20 mm", "peszel 20", kM, 110,
        {"krążek 50 m", "50", "2"});
    add(kCable, "Puszka instalacyjna podtynkowa fi 60 mm", "puszka 60", kSzt, 90,
        {"opakowanie 100 szt.", "100", "2"});
    add(kCable, "Gniazdo wtyczkowe podtynkowe 2P+Z 16 A białe", "gniazdo 2P+Z", kSzt, 1290);
    add(kCable, "Łącznik jednobiegunowy podtynkowy 10 A", "łącznik 1B", kSzt, 990);
    add(kTool, "Kielnia murarska 180 mm", "kielnia 180", kSzt, 2490);
    add(kTool, "Poziomica aluminiowa 100 cm", "poziomica 100", kSzt, 4990);
    add(kTool, "Młotek murarski 600 g", "młotek 600", kSzt, 3490);
    add(kTool, "Taczka budowlana 100 l", "taczka 100", kSzt, 22900);
    add(kTool, "Paca zębata nierdzewna 10x10 mm", "paca 10", kSzt, 2190);
    add(kTool, "Wiadro budowlane 20 l", "wiadro 20", kSzt, 990);
    add(kTool, "Łopata do betonu", "łopata", kSzt, 3990);
    add(kTool, "Miara zwijana 5 m", "miara 5", kSzt, 1790);
    add(kTool, "Sznurek murarski 100 m", "sznurek 100", kSzt, 890);
    add(kTool, "Kątownik stalowy 300 mm", "kątownik 300", kSzt, 2290);
    add(kMachine, "Betoniarka wolnospadowa 150 l", "BWS 150", kMg, 1500);
    add(kMachine, "Betoniarka wolnospadowa 250 l", "BWS 250", kMg, 1900);
    add(kMachine, "Koparka gąsienicowa 0,25 m3", "KG 0,25", kMg, 15000);
    add(kMachine, "Koparka gąsienicowa 0,60 m3", "KG 0,60", kMg, 21000);
    add(kMachine, "Koparko-ładowarka 0,15-0,60 m3", "KŁ 0,60", kMg, 14500);
    add(kMachine, "Zagęszczarka płytowa spalinowa 90 kg", "ZP 90", kMg, 2500);
    add(kMachine, "Ubijak spalinowy 70 kg", "UB 70", kMg, 2300);
    add(kMachine, "Spycharka gąsienicowa 55 kW", "SG 55", kMg, 18000);
    add(kMachine, "Walec drogowy wibracyjny 10 t", "WW 10", kMg, 19000);
    add(kMachine, "Agregat prądotwórczy 10 kVA", "AP 10", kMg, 3500);
    add(kMachine, "Młot wyburzeniowy elektryczny 16 kg", "MW 16", kMg, 2900);
    add(kMachine, "Piła spalinowa do cięcia betonu 350 mm", "PS 350", kMg, 4500);
    add(kMachine, "Wibrator pogrążalny do betonu", "WP", kMg, 1200);
    add(kMachine, "Żuraw wieżowy 8 t", "ŻW 8", kMg, 24000);
    add(kMachine, "Podnośnik koszowy 18 m", "PK 18", kMg, 16000);
    add(kTransport, "Samochód samowyładowczy 10 t", "SS 10", kMg, 17000);
    add(kTransport, "Samochód skrzyniowy 5 t", "SK 5", kMg, 11000);
    add(kTransport, "Żuraw samochodowy 10 t", "ŻS 10", kMg, 22000);
    add(kTransport, "Pompa do betonu na samochodzie 36 m", "PB 36", kMg, 42000);
    add(kTransport, "Betonomieszarka samochodowa 9 m3", "BM 9", kMg, 26000);
    add(kTransport, "Ciągnik siodłowy z naczepą niskopodwoziową", "CS N", kMg, 30000);
    add(kScaffold, "Rusztowanie elewacyjne ramowe - najem za miesiąc", "RE", kM2, 900);
    add(kScaffold, "Rusztowanie przejezdne aluminiowe 6 m", "RP 6", kMg, 1200);
    add(kScaffold, "Szalunek systemowy ścienny - najem za miesiąc", "SZ-Ś", kM2, 2500);
    add(kScaffold, "Szalunek stropowy z podporami - najem za miesiąc", "SZ-S", kM2, 1900);
    add(kScaffold, "Stemple budowlane stalowe 3 m - najem za miesiąc", "ST 3", kSzt, 150);
    add(kLabour, "Robotnicy budowlani kat. I", "kat. I", kRg, 2890);
    add(kLabour, "Robotnicy budowlani kat. II", "kat. II", kRg, 3190);
    add(kLabour, "Robotnicy budowlani kat. III", "kat. III", kRg, 3490);
    add(kLabour, "Robotnicy budowlani kat. IV", "kat. IV", kRg, 3890);
    add(kLabour, "Murarz-tynkarz grupa II", "murarz", kRg, 3590);
    add(kLabour, "Cieśla szalunkowy grupa II", "cieśla", kRg, 3490);
    add(kLabour, "Zbrojarz grupa II", "zbrojarz", kRg, 3390);
    add(kLabour, "Betoniarz grupa I", "betoniarz", kRg, 3190);
    add(kLabour, "Malarz budowlany grupa II", "malarz", kRg, 3290);
    add(kLabour, "Monter instalacji sanitarnych grupa III", "monter sanit.", kRg, 3890);
    add(kLabour, "Elektromonter grupa III", "elektromonter", kRg, 3990);
    add(kLabour, "Dekarz-blacharz grupa II", "dekarz", kRg, 3790);
    add(kLabour, "Operator koparki", "operator", kRg, 4290);
    add(kLabour, "Kierowca samochodu ciężarowego", "kierowca", kRg, 3690);

    // ETO indices: 7 digits for materials, 5 or 6 for equipment, "999" for labour.
    std::vector<int> seq(kFamilyCount, 0);
    for (auto& p : t) {
        const Family& f = families()[static_cast<std::size_t>(p.family)];
        const int n = seq[static_cast<std::size_t>(p.family)]++;
        if (f.rms == 'M') {
            p.eto = std::string(f.eto) + zeroPad(101 + n, 4);
        } else if (f.rms == 'S') {
            p.eto = std::string(f.eto) + zeroPad(101 + n, n % 2 ? 4 : 3);
        } else {
            p.eto = f.eto;
        }
    }
    return t;
}

// ---------------------------------------------------------------- places and people

struct Town {
    const char* name;
    const char* postal;  // "#" stands for a random digit
    const char* areaCode;
};

// Towns of each province, in the province order of kProvinces.
const std::vector<std::vector<Town>> kTowns = {
    {{"Wrocław", "50-###", "71"},
     {"Legnica", "59-220", "76"},
     {"Wałbrzych", "58-30#", "74"},
     {"Jelenia Góra", "58-50#", "75"},
     {"Świdnica", "58-100", "74"},
     {"Oleśnica", "56-400", "71"},
     {"Bolesławiec", "59-700", "75"}},
    {{"Bydgoszcz", "85-###", "52"},
     {"Toruń", "87-1##", "56"},
     {"Włocławek", "87-800", "54"},
     {"Grudziądz", "86-300", "56"},
     {"Inowrocław", "88-100", "52"}},
    {{"Lublin", "20-###", "81"},
     {"Zamość", "22-400", "84"},
     {"Chełm", "22-100", "82"},
     {"Biała Podlaska", "21-500", "83"},
     {"Puławy", "24-100", "81"}},
    {{"Gorzów Wielkopolski", "66-400", "95"},
     {"Zielona Góra", "65-###", "68"},
     {"Nowa Sól", "67-100", "68"},
     {"Żary", "68-200", "68"},
     {"Świebodzin", "66-200", "68"}},
    {{"Łódź", "90-###", "42"},
     {"Piotrków Trybunalski", "97-300", "44"},
     {"Pabianice", "95-200", "42"},
     {"Tomaszów Mazowiecki", "97-200", "44"},
     {"Bełchatów", "97-400", "44"},
     {"Skierniewice", "96-100", "46"}},
    {{"Kraków", "31-###", "12"},
     {"Tarnów", "33-100", "14"},
     {"Nowy Sącz", "33-300", "18"},
     {"Oświęcim", "32-600", "33"},
     {"Wieliczka", "32-020", "12"},
     {"Nowy Targ", "34-400", "18"}},
    {{"Warszawa", "02-###", "22"},
     {"Radom", "26-600", "48"},
     {"Płock", "09-400", "24"},
     {"Siedlce", "08-110", "25"},
     {"Ostrołęka", "07-410", "29"},
     {"Pruszków", "05-800", "22"}},
    {{"Opole", "45-###", "77"},
     {"Kędzierzyn-Koźle", "47-200", "77"},
     {"Nysa", "48-300", "77"},
     {"Brzeg", "49-300", "77"},
     {"Kluczbork", "46-200", "77"}},
    {{"Rzeszów", "35-###", "17"},
     {"Przemyśl", "37-700", "16"},
     {"Stalowa Wola", "37-450", "15"},
     {"Krosno", "38-400", "13"},
     {"Mielec", "39-300", "17"},
     {"Sanok", "38-500", "13"}},
    {{"Białystok", "15-###", "85"},
     {"Suwałki", "16-400", "87"},
     {"Łomża", "18-400", "86"},
     {"Augustów", "16-300", "87"},
     {"Bielsk Podlaski", "17-100", "85"}},
    {{"Gdańsk", "80-###", "58"},
     {"Gdynia", "81-###", "58"},
     {"Słupsk", "76-200", "59"},
     {"Tczew", "83-110", "58"},
     {"Starogard Gdański", "83-200", "58"},
     {"Wejherowo", "84-200", "58"}},
    {{"Katowice", "40-###", "32"},
     {"Częstochowa", "42-2##", "34"},
     {"Sosnowiec", "41-200", "32"},
     {"Gliwice", "44-100", "32"},
     {"Bielsko-Biała", "43-300", "33"},
     {"Rybnik", "44-200", "32"},
     {"Zabrze", "41-800", "32"}},
    {{"Kielce", "25-###", "41"},
     {"Ostrowiec Świętokrzyski", "27-400", "41"},
     {"Starachowice", "27-200", "41"},
     {"Skarżysko-Kamienna", "26-110", "41"},
     {"Sandomierz", "27-600", "15"}},
    {{"Olsztyn", "10-###", "89"},
     {"Elbląg", "82-300", "55"},
     {"Ełk", "19-300", "87"},
     {"Ostróda", "14-100", "89"},
     {"Giżycko", "11-500", "87"},
     {"Iława", "14-200", "89"}},
    {{"Poznań", "60-###", "61"},
     {"Kalisz", "62-800", "62"},
     {"Konin", "62-500", "63"},
     {"Piła", "64-920", "67"},
     {"Leszno", "64-100", "65"},
     {"Gniezno", "62-200", "61"},
     {"Ostrów Wielkopolski", "63-400", "62"}},
    {{"Szczecin", "70-###", "91"},
     {"Koszalin", "75-###", "94"},
     {"Stargard", "73-110", "91"},
     {"Kołobrzeg", "78-100", "94"},
     {"Świnoujście", "72-600", "91"},
     {"Police", "72-010", "91"}},
};

const std::vector<std::string> kStreets = {
    "Przemysłowa", "Fabryczna",    "Składowa",    "Magazynowa",  "Budowlanych",    "Kolejowa",
    "Polna",       "Leśna",        "Ogrodowa",    "Lipowa",      "Długa",          "Krótka",
    "Szkolna",     "Kościuszki",   "Mickiewicza", "Słowackiego", "Sienkiewicza",   "Żeromskiego",
    "Wrocławska",  "Poznańska",    "Krakowska",   "Warszawska",  "Gdańska",        "Toruńska",
    "Łódzka",      "Zielona",      "Słoneczna",   "Graniczna",   "Cementowa",      "Hutnicza",
    "Wapienna",    "Ceglana",      "Żwirowa",     "Piaskowa",    "Techniczna",     "Rzemieślnicza",
    "Handlowa",    "Spółdzielcza", "Łąkowa",      "Brzozowa",    "Armii Krajowej", "3 Maja",
    "Okrężna",     "Towarowa",     "Portowa",     "Dworcowa",
};

const std::vector<std::string> kMaleNames = {
    "Jan",      "Andrzej", "Piotr",   "Krzysztof", "Tomasz",   "Paweł", "Marcin",     "Michał",
    "Grzegorz", "Józef",   "Marek",   "Łukasz",    "Zbigniew", "Jerzy", "Tadeusz",    "Adam",
    "Wojciech", "Rafał",   "Dariusz", "Mariusz",   "Sławomir", "Jacek", "Bartłomiej", "Kamil",
};
const std::vector<std::string> kFemaleNames = {
    "Anna",  "Maria",    "Katarzyna", "Małgorzata", "Agnieszka", "Barbara",
    "Ewa",   "Krystyna", "Elżbieta",  "Joanna",     "Magdalena", "Monika",
    "Beata", "Dorota",   "Jolanta",   "Aleksandra", "Żaneta",    "Grażyna",
};
// Male forms; "-ski", "-cki" and "-dzki" take their female ending.
const std::vector<std::string> kSurnames = {
    "Nowak",         "Kowalski",    "Wiśniewski",  "Wójcik",      "Kowalczyk",   "Kamiński",   "Lewandowski",
    "Zieliński",     "Szymański",   "Woźniak",     "Dąbrowski",   "Kozłowski",   "Jankowski",  "Mazur",
    "Wojciechowski", "Kwiatkowski", "Krawczyk",    "Kaczmarek",   "Piotrowski",  "Grabowski",  "Zając",
    "Pawłowski",     "Michalski",   "Król",        "Wieczorek",   "Jabłoński",   "Wróbel",     "Nowakowski",
    "Majewski",      "Olszewski",   "Stępień",     "Malinowski",  "Jaworski",    "Adamczyk",   "Dudek",
    "Nowicki",       "Pawlak",      "Górski",      "Witkowski",   "Walczak",     "Sikora",     "Baran",
    "Rutkowski",     "Michalak",    "Szewczyk",    "Ostrowski",   "Tomaszewski", "Pietrzak",   "Marciniak",
    "Wróblewski",    "Zalewski",    "Jakubowski",  "Jasiński",    "Zawadzki",    "Sadowski",   "Bąk",
    "Chmielewski",   "Włodarczyk",  "Borkowski",   "Czarnecki",   "Sawicki",     "Sokołowski", "Urbański",
    "Kubiak",        "Maciejewski", "Szczepański", "Kucharski",   "Wilk",        "Kalinowski", "Lis",
    "Mazurek",       "Wysocki",     "Adamski",     "Kaźmierczak", "Wasilewski",  "Sobczak",    "Czerwiński",
    "Andrzejewski",  "Cieślak",     "Głowacki",    "Zakrzewski",  "Kołodziej",   "Sikorski",   "Krajewski",
    "Gajewski",      "Szymczak",    "Szulc",       "Baranowski",  "Laskowski",   "Brzeziński", "Makowski",
    "Ziółkowski",    "Przybylski",
};

const std::vector<std::string> kTradePositions = {
    "Kierownik działu handlowego", "Dyrektor handlowy",   "Specjalista ds. sprzedaży",
    "Przedstawiciel handlowy",     "Kierownik sprzedaży", "Właściciel",
    "Koordynator zamówień",
};
const std::vector<std::string> kTechPositions = {
    "Doradca techniczny", "Dyrektor techniczny",          "Kierownik produkcji",
    "Technolog",          "Specjalista ds. technicznych", "Kierownik laboratorium",
};

// Parts of invented firm names.
const std::vector<std::string> kRootStarts = {
    "Bet",  "Mur",  "Ceg",   "Dach", "Stal", "Term",  "Drew", "Tyn",  "Farb", "Klin", "Rur",  "Kabl",
    "Pust", "Gips", "Wap",   "Kam",  "Szkl", "Grun",  "Płyt", "Ziel", "Wis",  "Odr",  "Narw", "Beskid",
    "Warm", "Kasz", "Mazur", "Kuj",  "Podl", "Sudet", "Pias", "Żwir", "Bruk", "Dom",  "Kal",  "Orl",
};
const std::vector<std::string> kRootEnds = {
    "omix",  "oplan", "ovex", "arix", "olit", "anex", "ovia", "ostar", "orem",
    "oline", "erra",  "ikon", "ados", "uris", "omar", "efix", "onda",  "avit",
};
const std::vector<std::string> kLineWords = {
    "Standard", "Plus", "Extra",   "Profi", "Max",   "Flex", "Eko",   "Termo",
    "Super",    "Uni",  "Premium", "Solid", "Basic", "Duo",  "Forte",
};

// ---------------------------------------------------------------- generator

enum class Kind { Maker, Wholesaler, Equipment, Labour };

struct Person {
    std::string first;
    std::string last;
};

struct Producer {
    int id = 0;
    Kind kind = Kind::Maker;
    std::string root;
    std::string name;
    std::string code;
    std::string domain;
    int province = 1;
    const Town* town = nullptr;
    std::vector<int> families;
    std::vector<int> branches;
    bool euro = false;  // quotes some prices in euro
};

// A resource of the average-prices catalogue: a material or equipment
// product type, or a labour rate.
struct Resource {
    char rms = 'M';
    const ProductType* type = nullptr;  // materials and equipment
    std::string name;
    int unit = kSzt;
    std::int64_t price = 0;  // national average, hundredths of PLN per unit
    std::string eto;
    int family = 0;
};

// Labour rates of the average-prices catalogue, net per r-g (hundredths of PLN).
struct LabourRate {
    const char* name;
    std::int64_t price;
};
const std::vector<LabourRate> kLabourRates = {
    {"Robotnik budowlany grupa I", 3240},
    {"Robotnik budowlany grupa II", 3480},
    {"Murarz grupa II", 3820},
    {"Murarz-tynkarz grupa III", 3960},
    {"Tynkarz grupa II", 3760},
    {"Cieśla grupa II", 3710},
    {"Cieśla szalunkowy grupa III", 3880},
    {"Betoniarz grupa II", 3600},
    {"Zbrojarz grupa II", 3650},
    {"Malarz budowlany grupa II", 3520},
    {"Posadzkarz grupa II", 3700},
    {"Glazurnik grupa III", 4120},
    {"Monter suchej zabudowy grupa II", 3790},
    {"Dekarz grupa III", 4010},
    {"Blacharz budowlany grupa III", 3950},
    {"Izolarz grupa II", 3590},
    {"Monter instalacji sanitarnych grupa III", 4160},
    {"Monter instalacji grzewczych grupa III", 4140},
    {"Elektromonter grupa III", 4230},
    {"Spawacz grupa III", 4310},
    {"Monter konstrukcji stalowych grupa III", 4260},
    {"Brukarz grupa II", 3660},
    {"Stolarz budowlany grupa III", 3910},
    {"Operator sprzętu budowlanego grupa IV", 4520},
    {"Kierowca samochodu ciężarowego grupa III", 3930},
};

// The average-prices catalogue's quarter, as its Wersja table says.
constexpr const char* kAverageQuarter = "4 kw. 2026";

// The sources of the average prices, one producer per kind.
struct AverageSource {
    char rms;
    const char* name;
    const char* code;
    const char* phone;
    const char* mailbox;
    const char* what;  // the source text before " wg KalMarex z ..."
    std::vector<int> branches;
};
const std::vector<AverageSource>& averageSources() {
    static const std::vector<AverageSource> s = {
        {'M',
         "KalMarex Ceny Średnie - notowania materiałów",
         "KMXCSM0001",
         "12 345 67 81",
         "materialy",
         "Ceny średnie materiałów",
         {kBrCement, kBrCeramics, kBrCellular, kBrSteel, kBrThermal, kBrDamp, kBrRoof, kBrChem, kBrPaint,
          kBrDrywall, kBrSanitary, kBrElectric, kBrTools, kBrOtherM}},
        {'S',
         "KalMarex Ceny Średnie - notowania pracy sprzętu",
         "KMXCSS0002",
         "12 345 67 82",
         "sprzet",
         "Ceny średnie pracy sprzętu",
         {kBrMachines, kBrRental, kBrScaffold, kBrTransport, kBrOtherS}},
        {'R',
         "KalMarex Ceny Średnie - stawki robocizny",
         "KMXCSR0003",
         "12 345 67 83",
         "robocizna",
         "Stawki robocizny kosztorysowej",
         {kBrServices, kBrOtherR}},
    };
    return s;
}

// Resources in the order the catalogue lists them: one labour rate, one
// material and one piece of equipment first, the rest shuffled.
std::vector<Resource> averageResources(const std::vector<ProductType>& types, Rng& rng) {
    std::vector<Resource> all;
    for (const ProductType& t : types) {
        const Family& f = families()[static_cast<std::size_t>(t.family)];
        if (f.rms == 'R') continue;
        Resource r;
        r.rms = f.rms;
        r.type = &t;
        r.name = t.name;
        r.unit = t.unit;
        r.price = t.price;
        r.eto = t.eto;
        r.family = t.family;
        all.push_back(std::move(r));
    }
    for (std::size_t i = 0; i < kLabourRates.size(); ++i) {
        Resource r;
        r.rms = 'R';
        r.name = kLabourRates[i].name;
        r.unit = kRg;
        r.price = kLabourRates[i].price;
        r.eto = "999" + zeroPad(static_cast<int>(i) + 1, 2);
        r.family = kLabour;
        all.push_back(std::move(r));
    }
    std::vector<Resource> order;
    for (const char rms : {'R', 'M', 'S'}) {
        const auto it =
            std::find_if(all.begin(), all.end(), [rms](const Resource& r) { return r.rms == rms; });
        order.push_back(*it);
        all.erase(it);
    }
    for (std::size_t i = all.size(); i > 1; --i) {
        std::swap(all[i - 1], all[static_cast<std::size_t>(rng.below(static_cast<int>(i)))]);
    }
    order.insert(order.end(), all.begin(), all.end());
    return order;
}

// The short name: the name, or the plain product name cut after a whole word.
std::string shortNameOf(const std::string& name, const std::string& typeName) {
    std::string shortName = demo::charCount(name) <= 50 ? name : typeName;
    if (demo::charCount(shortName) > 50) {
        const std::string cut = fit(shortName, 51);
        const auto space = cut.rfind(' ');
        shortName = space == std::string::npos ? fit(shortName, 50) : cut.substr(0, space);
        while (!shortName.empty() && std::string(" -+(,:").find(shortName.back()) != std::string::npos) {
            shortName.pop_back();
        }
    }
    return shortName;
}

class Generator {
public:
    explicit Generator(int goods, bool average = false)
        : sizes_(average ? averageDemoSizes(goods) : demoSizes(goods)),
          average_(average),
          rng_(0x4B4D5844454D4F31ull),
          types_(productTypes()) {
        for (std::size_t i = 0; i < types_.size(); ++i) {
            typesOf_[static_cast<std::size_t>(types_[i].family)].push_back(static_cast<int>(i));
        }
    }

    DemoData run();

private:
    Person person();
    std::string surnameFor(const std::string& first, const std::string& male);
    std::string phone();
    std::string mobile();
    std::string nip();
    std::string postalCode(const Town& town);
    std::string uniqueRoot();
    void makeProducers();
    Row producerRow(const Producer& p);
    void makeGoods();
    // currency 0: PLN, or euro or dollars now and then.
    Row goodsRow(int id, const Producer& p, const ProductType& type, std::string name, int currency = 0);
    std::string description(const ProductType& type);
    void makeWorks();
    // The average-prices catalogue: its sources and their goods.
    void makeSources();
    void makeAverageGoods();
    Row averageRow(int id, const Resource& r, int province);

    DemoSizes sizes_;
    bool average_ = false;
    Rng rng_;
    std::vector<ProductType> types_;
    std::vector<std::vector<int>> typesOf_ = std::vector<std::vector<int>>(kFamilyCount);
    std::vector<Producer> producers_;
    std::set<std::string> usedNames_;
    std::set<std::string> usedRoots_;
    std::set<std::string> usedDomains_;
    std::vector<Row> producerRows_;
    std::vector<Row> goodsRows_;
    std::vector<int> goodsFamily_;
    std::vector<Row> linksBranch_;
    std::vector<Row> linksGroup_;
    std::vector<Row> knrRows_;
    std::vector<Row> workRows_;
};

std::string Generator::surnameFor(const std::string& first, const std::string& male) {
    const bool female = std::find(kFemaleNames.begin(), kFemaleNames.end(), first) != kFemaleNames.end();
    if (!female) return male;
    for (const char* end : {"ski", "cki", "dzki"}) {
        const std::string e = end;
        if (male.size() > e.size() && male.compare(male.size() - e.size(), e.size(), e) == 0) {
            return male.substr(0, male.size() - 1) + "a";
        }
    }
    return male;
}

Person Generator::person() {
    Person p;
    p.first = rng_.percent(60) ? rng_.pick(kMaleNames) : rng_.pick(kFemaleNames);
    p.last = surnameFor(p.first, rng_.pick(kSurnames));
    return p;
}

std::string Generator::phone() {
    // Drawn one by one: the order of operands of + is the compiler's choice,
    // and the demo must come out the same whatever compiler built it.
    const int c = rng_.below(100);
    const int b = rng_.below(100);
    const int a = rng_.between(200, 899);
    return std::to_string(a) + " " + zeroPad(b, 2) + " " + zeroPad(c, 2);
}

std::string Generator::mobile() {
    static const std::vector<std::string> prefixes = {"501", "502", "505", "510", "512", "600", "601", "602",
                                                      "603", "605", "660", "661", "691", "693", "721", "781"};
    const int c = rng_.below(1000);
    const int b = rng_.below(1000);
    const std::string& a = rng_.pick(prefixes);
    return a + " " + zeroPad(b, 3) + " " + zeroPad(c, 3);
}

// A NIP with a valid check digit, written as NNN-NNN-NN-NN.
std::string Generator::nip() {
    static const int weights[9] = {6, 5, 7, 2, 3, 4, 5, 6, 7};
    for (;;) {
        int d[10];
        d[0] = rng_.between(1, 9);
        for (int i = 1; i < 9; ++i) d[i] = rng_.below(10);
        int sum = 0;
        for (int i = 0; i < 9; ++i) sum += d[i] * weights[i];
        d[9] = sum % 11;
        if (d[9] == 10) continue;
        std::string s;
        for (int i = 0; i < 10; ++i) {
            if (i == 3 || i == 6 || i == 8) s.push_back('-');
            s.push_back(static_cast<char>('0' + d[i]));
        }
        return s;
    }
}

std::string Generator::postalCode(const Town& town) {
    std::string code = town.postal;
    for (char& c : code) {
        if (c == '#') c = static_cast<char>('0' + rng_.below(10));
    }
    return code;
}

std::string Generator::uniqueRoot() {
    for (int attempt = 0;; ++attempt) {
        const std::string end = rng_.pick(kRootEnds);
        std::string root = rng_.pick(kRootStarts) + end;
        if (attempt > 20) root += "-" + rng_.pick(kRootStarts);
        if (usedRoots_.insert(root).second || attempt > 40) return root;
    }
}

void Generator::makeProducers() {
    const std::vector<int> makerFamilies = {kCement, kLime,    kAggregate, kMortar, kHollow, kBrick, kBlock,
                                            kSteel,  kDrywall, kWool,      kEps,    kFelt,   kRoof,  kPaint,
                                            kChem,   kPipe,    kFitting,   kCable,  kTool};
    for (int id = 1; id <= sizes_.producers; ++id) {
        Producer p;
        p.id = id;
        const int roll = rng_.below(100);
        p.kind = roll < 55   ? Kind::Maker
                 : roll < 85 ? Kind::Wholesaler
                 : roll < 96 ? Kind::Equipment
                             : Kind::Labour;
        if (id <= 3) p.kind = Kind::Wholesaler;
        if (id == 4) p.kind = Kind::Equipment;
        if (id == 5) p.kind = Kind::Labour;
        // The first 16 producers cover every province once.
        p.province = id <= 16 ? id : rng_.between(1, 16);
        const auto& towns = kTowns[static_cast<std::size_t>(p.province - 1)];
        p.town = &towns[static_cast<std::size_t>(rng_.below(static_cast<int>(towns.size())))];
        p.root = uniqueRoot();

        switch (p.kind) {
            case Kind::Maker:
                p.families = {rng_.pick(makerFamilies)};
                break;
            case Kind::Wholesaler: {
                const int n = rng_.between(3, 6);
                while (static_cast<int>(p.families.size()) < n) {
                    const int f = rng_.pick(makerFamilies);
                    if (std::find(p.families.begin(), p.families.end(), f) == p.families.end())
                        p.families.push_back(f);
                }
                break;
            }
            case Kind::Equipment:
                p.families = {kMachine};
                if (rng_.percent(50)) p.families.push_back(kTransport);
                if (rng_.percent(40)) p.families.push_back(kScaffold);
                break;
            case Kind::Labour:
                p.families = {kLabour};
                break;
        }
        for (int f : p.families) {
            const int b = families()[static_cast<std::size_t>(f)].branch;
            if (std::find(p.branches.begin(), p.branches.end(), b) == p.branches.end())
                p.branches.push_back(b);
        }
        if (p.kind == Kind::Wholesaler && rng_.percent(30)) p.branches.push_back(kBrOtherM);
        if (p.kind == Kind::Equipment && rng_.percent(30)) p.branches.push_back(kBrRental);
        if (p.kind == Kind::Equipment && rng_.percent(15)) p.branches.push_back(kBrOtherS);
        if (p.kind == Kind::Labour && rng_.percent(30)) p.branches.push_back(kBrOtherR);
        // The first producer sells in many branches, equipment included.
        if (id == 1) {
            for (int b : {kBrMachines, kBrOtherM, kBrTools}) {
                if (std::find(p.branches.begin(), p.branches.end(), b) == p.branches.end())
                    p.branches.push_back(b);
            }
        }
        p.euro = rng_.percent(8);

        // Name.
        const Person owner = person();
        const Family& primary = families()[static_cast<std::size_t>(p.families.front())];
        std::string name;
        const int form = rng_.below(6);
        switch (p.kind) {
            case Kind::Maker:
                name = form == 0   ? p.root + " Sp. z o.o."
                       : form == 1 ? p.root + " S.A."
                       : form == 2
                           ? "Zakład Produkcji " + std::string(primary.produces) + " " + p.root + " s.c."
                       : form == 3 ? "Przedsiębiorstwo Produkcyjno-Handlowe \"" + p.root + "\" Sp. z o.o."
                       : form == 4 ? p.root + " Sp. j. " + owner.last + " i Wspólnicy"
                                   : p.root + " Polska Sp. z o.o.";
                break;
            case Kind::Wholesaler:
                name = form == 0   ? "Hurtownia Materiałów Budowlanych " + p.root
                       : form == 1 ? "P.H.U. " + p.root + " " + owner.first + " " + owner.last
                       : form == 2 ? "Skład Budowlany " + p.root + " s.c."
                       : form == 3 ? "Centrum Budowlane " + p.root + " Sp. z o.o."
                       : form == 4 ? "F.H. " + p.root + " " + owner.last + " & " + rng_.pick(kSurnames)
                                   : p.root + " Sp. z o.o. Sp. k.";
                break;
            case Kind::Equipment:
                name = form < 2   ? "Wypożyczalnia Sprzętu Budowlanego " + p.root
                       : form < 4 ? p.root + " Maszyny Budowlane Sp. z o.o."
                                  : "Przedsiębiorstwo Transportowo-Sprzętowe \"" + p.root + "\"";
                break;
            case Kind::Labour:
                name = form < 3 ? "Zakład Usług Budowlanych " + p.root + " " + owner.first + " " + owner.last
                                : "Przedsiębiorstwo Budowlane \"" + p.root + "\" Sp. z o.o.";
                break;
        }
        if (id == 3) name = "Dom Handlowy 'Pod Dachem' " + p.root + " Sp. z o.o.";
        if (!usedNames_.insert(name).second) {
            name += " - " + std::string(p.town->name);
            usedNames_.insert(name);
        }
        p.name = fit(name, 100);

        const std::string letters = lettersAndDigits(upperAscii(p.root));
        p.code = letters.substr(0, 6) + zeroPad(id, 4);
        std::string domain = lettersAndDigits(lowerAscii(p.root));
        if (!usedDomains_.insert(domain).second) {
            domain += "-" + lettersAndDigits(lowerAscii(p.town->name));
            if (!usedDomains_.insert(domain).second) domain += std::to_string(id);
        }
        p.domain = domain + ".example.pl";
        producers_.push_back(std::move(p));
    }
    for (const Producer& p : producers_) {
        producerRows_.push_back(producerRow(p));
        for (int b : p.branches) linksBranch_.push_back({std::to_string(p.id), std::to_string(b)});
    }
}

Row Generator::producerRow(const Producer& p) {
    const bool street = rng_.percent(85);
    std::string ulica = street ? "ul. " + rng_.pick(kStreets) : "al. " + rng_.pick(kStreets);
    ulica += " " + std::to_string(rng_.between(1, 180));
    if (rng_.percent(15)) ulica += "/" + std::to_string(rng_.between(1, 20));
    if (rng_.percent(10)) ulica = "Strefa Przemysłowa " + std::to_string(rng_.between(1, 40));

    std::string tel1 = phone();
    std::string tel2 = rng_.percent(60) ? phone() : "";
    std::string tel3 = rng_.percent(25) ? mobile() : "";
    // Some firms list only a second number.
    if (p.id == 2 || rng_.percent(3)) {
        tel1.clear();
        if (tel2.empty()) tel2 = phone();
    }
    const std::string fax = rng_.percent(55) ? phone() : "";

    std::string www = "www." + p.domain;
    if (p.id == 1) www = "www." + p.domain + "; www.sklep-" + p.domain;
    if (p.id == 4) www = "www." + p.domain + ", www.wynajem-" + p.domain;
    const std::string email = (rng_.percent(70) ? "biuro@" : "info@") + p.domain;
    const std::string sales = rng_.percent(65) ? (rng_.percent(50) ? "handel@" : "sprzedaz@") + p.domain : "";

    auto contact = [&](const std::vector<std::string>& positions, int withPosition, Row& out) {
        const Person who = person();
        const std::string mail = lowerAscii(who.first.substr(0, who.first[0] & 0x80 ? 2 : 1)) + "." +
                                 lowerAscii(who.last) + "@" + p.domain;
        out.push_back(who.last);
        out.push_back(who.first);
        out.push_back(rng_.percent(withPosition) ? rng_.pick(positions) : "");
        out.push_back(rng_.percent(80) ? mobile() : "");
        out.push_back(rng_.percent(75) ? mail : "");
    };
    Row trade;
    contact(kTradePositions, 85, trade);
    Row tech;
    if (p.kind != Kind::Labour && rng_.percent(65)) {
        contact(kTechPositions, 80, tech);
    } else {
        tech = {"", "", "", "", ""};
    }
    if (p.id == 5) {
        trade[0].clear();  // a first name without a surname: the person line stays empty
        trade[2] = "Kierownik biura";
    }
    if (p.id == 6) trade[2].clear();  // a surname without a position

    static const std::vector<std::string> since = {"1991", "1994", "1997", "2001",
                                                   "2004", "2008", "2012", "2016"};
    const Family& primary = families()[static_cast<std::size_t>(p.families.front())];
    std::string opis = "Firma " + p.root + " działa na rynku od " + rng_.pick(since) + " roku. ";
    switch (p.kind) {
        case Kind::Maker:
            opis += "Jesteśmy producentem wyrobów z grupy: " + std::string(primary.word) +
                    ". Produkcja odbywa się w zakładzie w miejscowości " + p.town->name +
                    ", pod stałą kontrolą jakości.";
            break;
        case Kind::Wholesaler:
            opis +=
                "Prowadzimy hurtową i detaliczną sprzedaż materiałów budowlanych. Dysponujemy placem "
                "składowym, magazynem krytym i własnym transportem z HDS.";
            break;
        case Kind::Equipment:
            opis +=
                "Świadczymy usługi sprzętowe i transportowe na terenie województwa oraz w całym kraju. "
                "Sprzęt z operatorem lub bez.";
            break;
        case Kind::Labour:
            opis +=
                "Wykonujemy roboty ogólnobudowlane, wykończeniowe i remontowe dla inwestorów prywatnych "
                "i instytucjonalnych.";
            break;
    }
    if (rng_.percent(40)) opis += "\r\nZapraszamy do współpracy firmy wykonawcze i klientów indywidualnych.";
    if (rng_.percent(10)) opis += "\tGodziny otwarcia: pn.-pt. 7-16, sob. 8-13.";

    std::string upusty;
    const int u = rng_.below(5);
    if (u == 0) {
        const int prog = rng_.between(1, 20) * 5000;
        const int upust = rng_.between(2, 8);
        upusty = "Upust " + std::to_string(upust) + "% przy zamówieniach powyżej " + std::to_string(prog) +
                 " zł netto.";
    } else if (u == 1) {
        upusty = "Dla stałych klientów rabaty negocjowane indywidualnie. Transport gratis w promieniu " +
                 std::to_string(rng_.between(2, 6) * 10) + " km.";
    } else if (u == 2) {
        upusty = "Upust 3% przy płatności gotówką; 5% przy odbiorze całopojazdowym.";
    } else if (u == 3) {
        upusty = "Brak upustów.";
    }

    Row r = {std::to_string(p.id),
             p.name,
             p.code,
             std::to_string(1),
             std::to_string(p.province),
             fit(ulica, 50),
             postalCode(*p.town),
             p.town->name,
             p.town->areaCode,
             tel1,
             tel2,
             tel3,
             fax,
             nip(),
             fit(email, 80),
             fit(sales, 80),
             fit(www, 80)};
    for (auto& f : trade) r.push_back(f);
    for (auto& f : tech) r.push_back(f);
    r.push_back(opis);
    r.push_back(upusty);
    return r;
}

std::string Generator::description(const ProductType& type) {
    const Family& f = families()[static_cast<std::size_t>(type.family)];
    std::string text;
    const int n = rng_.between(1, static_cast<int>(f.sentences.size()));
    for (int i = 0; i < n; ++i) {
        if (i) text += rng_.percent(20) ? "\r\n" : " ";
        text += f.sentences[static_cast<std::size_t>(i)];
    }
    if (rng_.percent(5)) text += "\tProdukt dostępny od ręki.";
    if (rng_.percent(15)) text += " Dostępny również w opakowaniach zbiorczych.";
    return text;
}

Row Generator::goodsRow(int id, const Producer& p, const ProductType& type, std::string name, int currency) {
    const Family& f = families()[static_cast<std::size_t>(type.family)];
    // Prices in hundredths: the producer's, wholesale, retail, unit and with mark-up.
    std::int64_t base = type.price * rng_.between(85, 120) / 100;
    const bool euro = p.euro && rng_.percent(50);
    const bool dollar = rng_.percent(2);
    if (currency == 0) currency = euro ? 2 : dollar ? 3 : 1;
    if (currency == 2) base = base * 100 / 430;
    if (currency == 3) base = base * 100 / 400;
    base = std::max<std::int64_t>(base, 1);
    const std::int64_t producer = base;
    const std::int64_t wholesale = producer * rng_.between(104, 112) / 100;
    const std::int64_t retail = wholesale * rng_.between(110, 125) / 100;
    const std::int64_t unit = (wholesale + retail) / 2;
    const std::int64_t markup = unit * rng_.between(112, 118) / 100;
    auto price = [](std::int64_t v) { return hundredths(v); };
    std::string cenaProd = rng_.percent(4) ? "" : price(producer);
    std::string cenaHurt = rng_.percent(2) ? "" : price(wholesale);
    std::string cenaDet = rng_.percent(1) ? "" : price(retail);
    std::string cenaJedn = price(unit);
    std::string cenaNarzut = rng_.percent(10) ? "" : price(markup);

    const int vatRoll = rng_.below(100);
    const int vat = f.rms == 'R' ? (vatRoll < 70 ? 1 : 2)
                                 : (vatRoll < 92   ? 1
                                    : vatRoll < 97 ? 2
                                    : vatRoll < 99 ? 3
                                                   : 4);
    const int validFrom = static_cast<int>(dateSerial(2026, 7, 1)) + rng_.below(92);
    const int modified = validFrom - rng_.below(60);

    const std::string line = rng_.pick(kLineWords);
    const std::string own = fit(p.root + " " + line + " " + type.token, 100);
    const std::string shortName = shortNameOf(name, type.name);
    const std::string symbol =
        fit(p.code.substr(0, 3) + "-" + type.eto + "-" + std::to_string(rng_.between(1, 99)), 50);
    std::string www;
    if (rng_.percent(40))
        www = fit("www." + p.domain + "/produkty/" + lowerAscii(lettersAndDigits(type.eto)) + "-" +
                      std::to_string(id),
                  80);

    const Pack& pack = type.pack;
    const PackSize* size = pack.kind.empty() ? nullptr : packSize(pack.kind);
    return {std::to_string(id),
            std::to_string(p.id),
            fit(name, 200),
            shortName,
            std::to_string(type.unit),
            type.eto,
            f.pkwiu,
            symbol,
            cenaProd,
            cenaDet,
            cenaHurt,
            cenaJedn,
            cenaNarzut,
            std::to_string(currency),
            std::to_string(vat),
            demo::dateText(validFrom),
            demo::dateText(modified),
            own,
            description(type),
            f.density,
            fit(pack.kind, 50),
            pack.weight,
            pack.perPack,
            size ? size->dl : "",
            size ? size->sz : "",
            size ? size->wy : "",
            www,
            std::string(1, f.rms)};
}

void Generator::makeGoods() {
    // Rows that exercise searching, escaping and empty values, then the rest at random.
    struct Special {
        int producer;
        const char* type;  // name of the product type the row is made from
        const char* name;
        int currency = 0;
    };
    const std::vector<Special> specials = {
        {1, "Pustak ceramiczny P+W 25x38x23,8 cm", "Pustak ceramiczny P+W 25x38x23,8 cm (pióro + wpust)"},
        {2, "Klej montażowy uniwersalny 310 ml", "Klej montażowy \"Szybki Chwyt\" 310 ml"},
        {3, "Farba emulsyjna akrylowa biała do wnętrz 10 l", "Farba 'Biała Perła' do wnętrz 10 l"},
        {1, "Domieszka uszczelniająca do betonu 5 l", "Domieszka uplastyczniająca 0,5% masy cementu 5 l"},
        {2, "Profil ścienny CW 50 ocynkowany 3 m", "Profil ścienny CW_50 ocynkowany 3 m"},
        {3, "Wkręt do płyt g-k 3,5x25 mm - 1000 szt.", "Wkręt do płyt g-k 3,5*25 mm (1000 szt.)"},
        {1, "Kołek rozporowy z wkrętem 8x60 mm - 100 szt.", "Kołek rozporowy [fi 8 mm] z wkrętem - 100 szt.",
         3},
        {2, "Zaprawa klejowa do płytek C2TE 25 kg",
         "Zaprawa klejowa do płytek C2TE 25 kg - cena na zapytanie"},
        {3, "Cement portlandzki CEM I 42,5R - worek 25 kg", "Cement portlandzki CEM I 42,5R - worek 25 kg"},
        {1, "Pręt żebrowany B500SP fi 12 mm", "Pręt żebrowany B500SP fi 12 mm - cena bez daty"},
        {2, "Bloczek z betonu komórkowego 24x24x59 cm odm. 600",
         "Bloczek z betonu komórkowego 24x24x59 cm odm. 600"},
        {3, "Łata dachowa impregnowana 4x5 cm", "Łata dachowa impregnowana 4x5 cm"},
        {4, "Koparka gąsienicowa 0,25 m3", "Koparka gąsienicowa 0,25 m3 z operatorem", 2},
        {5, "Robotnicy budowlani kat. II", "Robotnicy budowlani kat. II"},
        {1, "Wełna mineralna szklana w rolach 15 cm lambda 0,037",
         "Zestaw do ocieplenia poddasza: wełna mineralna szklana w rolach 15 cm lambda 0,037, membrana "
         "dachowa "
         "paroprzepuszczalna 160 g/m2, folia paroizolacyjna PE 0,2 mm, taśmy i łączniki - komplet na 100 m2"},
    };
    auto typeNamed = [this](const std::string& name) -> const ProductType& {
        for (const ProductType& t : types_) {
            if (t.name == name) return t;
        }
        return types_.front();
    };
    int id = 0;
    for (const Special& s : specials) {
        ++id;
        const Producer& p = producers_[static_cast<std::size_t>(s.producer - 1)];
        const ProductType& type = typeNamed(s.type);
        Row r = goodsRow(id, p, type, s.name, s.currency);
        goodsFamily_.push_back(type.family);
        if (id == 8) {
            for (int c = 8; c <= 12; ++c) r[static_cast<std::size_t>(c)].clear();  // every price null
        }
        if (id == 9) r[8].clear();  // no producer's price
        if (id == 10) r[15] = "0";  // the zero date
        if (id == 11) {
            r[15].clear();  // no dates at all
            r[16].clear();
        }
        goodsRows_.push_back(std::move(r));
    }

    // Bigger sellers offer more goods.
    std::vector<int> weighted;
    for (const Producer& p : producers_) {
        const int w = p.kind == Kind::Wholesaler ? 4 : p.kind == Kind::Maker ? 2 : 1;
        for (int k = 0; k < w; ++k) weighted.push_back(p.id);
    }
    while (id < sizes_.goods) {
        ++id;
        const Producer& p = producers_[static_cast<std::size_t>(rng_.pick(weighted) - 1)];
        const int family = rng_.pick(p.families);
        const auto& candidates = typesOf_[static_cast<std::size_t>(family)];
        const ProductType& type = types_[static_cast<std::size_t>(rng_.pick(candidates))];
        goodsRows_.push_back(goodsRow(id, p, type, type.name));
        goodsFamily_.push_back(type.family);
    }

    // Groups: materials get their family's group, some a second one.
    for (std::size_t i = 0; i < goodsRows_.size(); ++i) {
        const Row& r = goodsRows_[i];
        const int goodsId = static_cast<int>(i) + 1;
        const int group = families()[static_cast<std::size_t>(goodsFamily_[i])].group;
        if (group == 0 || rng_.percent(3)) continue;  // a few goods without a group
        linksGroup_.push_back({r[0], std::to_string(group)});
        if (goodsId % 17 == 0 && group != kGroupFinishing) {
            linksGroup_.push_back({r[0], std::to_string(kGroupFinishing)});
        }
        if (goodsId % 23 == 0) linksGroup_.push_back({r[0], std::to_string(kGroupNew)});
    }
}

void Generator::makeWorks() {
    struct Knr {
        const char* group;
        const char* name;
    };
    // Listed in `sort` order; ids are given in another order.
    const std::vector<Knr> groups = {
        {"KNR 0-23", "Posadzki i okładziny podłóg"},
        {"KNR 2-01", "Budowle i roboty ziemne"},
        {"KNR 2-02", "Konstrukcje budowlane i roboty ogólnobudowlane"},
        {"KNR 2-10", "Pokrycia dachowe i obróbki blacharskie"},
        {"KNR 2-15", "Instalacje wewnętrzne wodociągowe i kanalizacyjne"},
        {"KNR 2-17", "Urządzenia wentylacyjne i klimatyzacyjne"},
        {"KNR 2-31", "Nawierzchnie dróg, ulic i placów"},
        {"KNR 4-01", "Roboty remontowe budowlane"},
        {"KNR 5-08", "Instalacje elektryczne wnętrzowe"},
    };
    const int ids[] = {7, 2, 1, 8, 3, 9, 5, 4, 6};
    for (std::size_t i = 0; i < groups.size(); ++i) {
        knrRows_.push_back({std::to_string(ids[i]), groups[i].name, groups[i].group, groups[i].group,
                            std::to_string(i + 1)});
    }
    std::sort(knrRows_.begin(), knrRows_.end(),
              [](const Row& a, const Row& b) { return std::stoi(a[0]) < std::stoi(b[0]); });

    struct Work {
        int group;  // index into groups
        int table;
        const char* text;  // "{}" stands for one of the options
        std::vector<const char*> options;
        const char* unit;
        std::int64_t price;  // hundredths of PLN
    };
    // clang-format off
    const std::vector<Work> works = {
        {1, 212, "Wykopy oraz przekopy wykonywane koparkami podsiębiernymi 0,60 m3 na odkład w gruncie kat. {}",
         {"I-II", "III", "IV"}, "m3", 1190},
        {1, 218, "Wykopy oraz przekopy koparkami podsiębiernymi 0,25 m3 z transportem urobku samochodami samowyładowczymi w gruncie kat. {}",
         {"I-II", "III"}, "m3", 2490},
        {1, 310, "Ręczne wykopy ciągłe lub jamiste ze skarpami o szerokości dna do 1,5 m i głębokości do {}",
         {"1,5 m", "3,0 m"}, "m3", 8900},
        {1, 230, "Zasypywanie wykopów spycharkami z przemieszczeniem gruntu na odległość do {} w gruncie kat. I-III",
         {"10 m", "20 m", "50 m"}, "m3", 690},
        {1, 236, "Zagęszczenie nasypów ubijakami mechanicznymi, grunty {}",
         {"sypkie kat. I-III", "spoiste kat. III-IV"}, "m3", 990},
        {1, 510, "Plantowanie powierzchni gruntu rodzimego kat. I-III {}",
         {"ręcznie", "mechanicznie"}, "m2", 390},
        {2, 110, "Ławy fundamentowe żelbetowe prostokątne o szerokości do {} z betonu C20/25",
         {"0,6 m", "0,8 m", "1,0 m"}, "m3", 52000},
        {2, 126, "Murowanie ścian z bloczków z betonu komórkowego o grubości {} na zaprawie klejowej",
         {"12 cm", "18 cm", "24 cm", "36,5 cm"}, "m2", 9900},
        {2, 130, "Ściany z pustaków ceramicznych P+W grubości {} na zaprawie cementowo-wapiennej",
         {"25 cm", "30 cm", "38 cm", "44 cm"}, "m2", 12900},
        {2, 102, "Ściany budynków z cegieł ceramicznych pełnych o grubości {} na zaprawie cementowo-wapiennej",
         {"1/2 cegły", "1 cegły", "1 1/2 cegły"}, "m2", 14900},
        {2, 211, "Betonowanie stropów płytowych betonem {}", {"C16/20", "C20/25", "C25/30"}, "m3", 46000},
        {2, 290, "Przygotowanie i montaż zbrojenia elementów budynków z prętów stalowych żebrowanych o średnicy {}",
         {"do 7 mm", "8-14 mm", "16-25 mm"}, "t", 690000},
        {2, 607, "Izolacje przeciwwilgociowe powłokowe bitumiczne {} wykonywane na zimno z emulsji asfaltowej - pierwsza warstwa",
         {"poziome", "pionowe"}, "m2", 1290},
        {2, 608, "Izolacje cieplne z płyt styropianowych {} na sucho - jedna warstwa",
         {"poziome", "pionowe"}, "m2", 1890},
        {2, 803, "Tynki wewnętrzne zwykłe kat. {} wykonywane ręcznie na ścianach",
         {"II", "III", "IV"}, "m2", 3290},
        {2, 840, "Gładzie gipsowe jednowarstwowe na ścianach i sufitach {}",
         {"z płyt g-k", "na tynkach"}, "m2", 2190},
        {2, 1118, "Posadzki cementowe grubości 20 mm zatarte na {}", {"ostro", "gładko"}, "m2", 4290},
        {2, 1511, "Malowanie farbami emulsyjnymi powierzchni wewnętrznych {} - 2-krotne",
         {"ścian", "sufitów"}, "m2", 1390},
        {2, 1120, "Licowanie ścian płytkami o wymiarach {} na zaprawie klejowej",
         {"20x25 cm", "30x30 cm", "30x60 cm"}, "m2", 11900},
        {3, 304, "Pokrycie dachów dachówką ceramiczną karpiówką {}", {"w koronkę", "podwójnie"}, "m2", 8900},
        {3, 220, "Pokrycie dachów papą termozgrzewalną - {}", {"jednowarstwowe", "dwuwarstwowe"}, "m2", 4590},
        {3, 501, "Obróbki blacharskie z blachy stalowej ocynkowanej o szerokości w rozwinięciu {}",
         {"do 25 cm", "ponad 25 cm"}, "m2", 11900},
        {3, 537, "Rynny dachowe półokrągłe z PVC o średnicy {}", {"100 mm", "125 mm", "150 mm"}, "m", 6900},
        {4, 101, "Rurociągi z PVC kanalizacyjne o średnicy {} o połączeniach wciskowych",
         {"50 mm", "75 mm", "110 mm", "160 mm"}, "m", 6900},
        {4, 119, "Rurociągi z PP-R o średnicy {} łączone przez zgrzewanie",
         {"16 mm", "20 mm", "25 mm", "32 mm"}, "m", 5900},
        {4, 230, "Montaż baterii umywalkowej {}", {"stojącej", "ściennej"}, "szt.", 9900},
        {4, 221, "Ustępy pojedyncze z miską {} i zbiornikiem", {"stojącą", "wiszącą"}, "kpl.", 39900},
        {5, 102, "Przewody wentylacyjne z blachy stalowej prostokątne typ S o obwodzie do {}",
         {"1000 mm", "1400 mm", "1800 mm"}, "m2", 19900},
        {5, 138, "Kratki wentylacyjne o obwodzie do {}", {"0,6 m", "1,0 m"}, "szt.", 5900},
        {6, 114, "Podbudowa z kruszywa łamanego - warstwa górna o grubości po zagęszczeniu {}",
         {"8 cm", "10 cm", "15 cm", "20 cm"}, "m2", 3490},
        {6, 511, "Nawierzchnia z kostki brukowej betonowej grubości {} na podsypce cementowo-piaskowej",
         {"6 cm", "8 cm"}, "m2", 8900},
        {6, 403, "Krawężniki betonowe wystające o wymiarach 15x30 cm na ławie betonowej {}",
         {"zwykłej", "z oporem"}, "m", 6590},
        {6, 407, "Obrzeża betonowe o wymiarach {} na podsypce piaskowej", {"20x6 cm", "30x8 cm"}, "m", 3290},
        {7, 348, "Rozebranie ścianek z cegieł o grubości {}", {"1/4 cegły", "1/2 cegły"}, "m2", 2890},
        {7, 701, "Odbicie tynków wewnętrznych z zaprawy cementowo-wapiennej na {} o powierzchni ponad 5 m2",
         {"ścianach", "stropach"}, "m2", 1690},
        {7, 726, "Uzupełnienie tynków zewnętrznych zwykłych kat. III na ścianach płaskich o powierzchni do {}",
         {"1 m2", "5 m2"}, "m2", 5990},
        {7, 108, "Wywiezienie gruzu spryzmowanego samochodami skrzyniowymi na odległość {}",
         {"1 km", "każdy następny 1 km"}, "m3", 3290},
        {8, 204, "Przewody kabelkowe o łącznym przekroju żył do {} układane w tynku",
         {"7,5 mm2", "12,5 mm2"}, "m", 1590},
        {8, 301, "Montaż puszek instalacyjnych podtynkowych {}",
         {"pojedynczych", "podwójnych"}, "szt.", 1890},
        {8, 409, "Montaż łączników i gniazd wtyczkowych {}", {"podtynkowych", "natynkowych"}, "szt.", 2390},
        {8, 501, "Montaż opraw oświetleniowych {}", {"żarowych", "LED", "świetlówkowych"}, "szt.", 5900},
        {0, 301, "Posadzki z płytek gresowych o wymiarach {} na zaprawie klejowej",
         {"30x30 cm", "60x60 cm"}, "m2", 12900},
        {0, 201, "Posadzki z paneli podłogowych {} na podkładzie",
         {"laminowanych", "winylowych"}, "m2", 4590},
        {0, 106, "Warstwy wyrównawcze pod posadzki z zaprawy samopoziomującej grubości {}",
         {"5 mm", "10 mm"}, "m2", 3290},
    };
    // clang-format on
    const std::vector<std::string> conditions = {
        "",
        "",
        "",
        " - roboty w pomieszczeniach",
        " - roboty na wysokości do 4,5 m",
        " - utrudnione warunki pracy",
        " - roboty w porze nocnej",
    };
    struct Variant {
        const char* name;
        int percent;
    };
    const std::vector<Variant> variants = {
        {"średnia krajowa", 100}, {"min. krajowa", 85}, {"maks. krajowa", 120}};
    const std::string source = "Ceny scalone IV kwartał 2026";

    auto row = [&](int id, const Work& w, std::size_t option, const std::string& extra, const Variant& v) {
        std::string name = w.text;
        const auto at = name.find("{}");
        if (at != std::string::npos) name.replace(at, 2, w.options[option]);
        name += extra;
        const std::string podstawa = std::string(groups[static_cast<std::size_t>(w.group)].group) + " " +
                                     zeroPad(w.table, 4) + "-" + zeroPad(static_cast<int>(option) + 1, 2);
        const std::int64_t price = w.price * (100 + 12 * static_cast<std::int64_t>(option)) / 100 *
                                   v.percent / 100 * rng_.between(95, 105) / 100;
        return Row{std::to_string(id), v.name, w.unit, hundredths(price), podstawa, source, name};
    };
    int id = 0;
    // Two works whose names hold characters that need care in statements.
    workRows_.push_back(row(++id, works[7], 2, " (tzw. 'cienka spoina')", variants[0]));
    workRows_.push_back(row(++id, works[15], 0, " - 100% powierzchni", variants[0]));
    while (id < sizes_.workPrices) {
        const Work& w = works[static_cast<std::size_t>(rng_.below(static_cast<int>(works.size())))];
        const std::size_t option = static_cast<std::size_t>(rng_.below(static_cast<int>(w.options.size())));
        const std::string& extra = rng_.pick(conditions);
        const Variant& v = variants[static_cast<std::size_t>(rng_.below(static_cast<int>(variants.size())))];
        workRows_.push_back(row(++id, w, option, extra, v));
    }
}

void Generator::makeSources() {
    int id = 0;
    for (const AverageSource& src : averageSources()) {
        Producer p;
        p.id = ++id;
        p.name = src.name;
        p.code = src.code;
        p.domain = "kalmarex.example.pl";
        p.province = 6;  // małopolskie
        p.branches = src.branches;
        const Person head = person();
        const Person analyst = person();
        const std::string mail = std::string("ceny.") + src.mailbox + "@" + p.domain;
        auto personalMail = [&](const Person& who) {
            return lowerAscii(who.first.substr(0, who.first[0] & 0x80 ? 2 : 1)) + "." + lowerAscii(who.last) +
                   "@" + p.domain;
        };
        const std::string opis =
            std::string(
                "Zespół notowań cen KalMarex co kwartał zbiera ceny od producentów, hurtowni, "
                "wypożyczalni i firm wykonawczych we wszystkich województwach i wylicza z nich ") +
            (src.rms == 'R' ? "średnie stawki robocizny kosztorysowej." : "ceny średnie netto.") +
            "\r\nNotowania obejmują ceny z ostatniego kwartału; podajemy je dla kraju i dla każdego "
            "województwa.";
        producerRows_.push_back({std::to_string(p.id),
                                 p.name,
                                 p.code,
                                 "1",
                                 std::to_string(p.province),
                                 "ul. Jaworowa 12",
                                 "30-416",
                                 "Kraków",
                                 "12",
                                 src.phone,
                                 "",
                                 "",
                                 "12 345 67 90",
                                 nip(),
                                 mail,
                                 "",
                                 "www.kalmarex.example.pl",
                                 head.last,
                                 head.first,
                                 "Kierownik zespołu notowań cen",
                                 mobile(),
                                 personalMail(head),
                                 analyst.last,
                                 analyst.first,
                                 "Analityk cen budowlanych",
                                 "",
                                 personalMail(analyst),
                                 opis,
                                 ""});
        for (int b : p.branches) linksBranch_.push_back({std::to_string(p.id), std::to_string(b)});
        producers_.push_back(std::move(p));
    }
}

Row Generator::averageRow(int id, const Resource& r, int province) {
    const AverageSource& src = *std::find_if(averageSources().begin(), averageSources().end(),
                                             [&](const AverageSource& a) { return a.rms == r.rms; });
    const int producer = static_cast<int>(&src - averageSources().data()) + 1;
    const Family& f = families()[static_cast<std::size_t>(r.family)];
    // The national average near the type's price; a province's within -12..+14 % of it.
    std::int64_t price = r.price * rng_.between(97, 103) / 100;
    if (province > 0) price = price * rng_.between(88, 114) / 100;
    price = std::max<std::int64_t>(price, 1);
    // With the mark-up: purchase costs on materials, indirect costs on
    // equipment; for labour the gross rate, the net rate with indirect costs
    // (65 %) and profit (12 % of both).
    const int markup = r.rms == 'M' ? 5 + r.family % 4 : r.rms == 'S' ? 8 : 0;
    const std::int64_t withMarkup =
        r.rms == 'R' ? (price * 165 * 112 + 5000) / 10000 : (price * (100 + markup) + 50) / 100;

    // A province's price names its province, so the found list tells the rows apart.
    const std::string provinceName =
        province == 0 ? "" : kProvinces[static_cast<std::size_t>(province - 1)][1];
    const std::string name = province == 0 ? r.name : r.name + " (" + provinceName + ")";
    const std::string region = province == 0 ? "średnia krajowa" : "woj. " + provinceName;
    const std::string source = std::string(src.what) + " wg KalMarex z " + kAverageQuarter + ", " + region;

    std::string opis;
    switch (r.rms) {
        case 'M':
            opis = std::string(f.sentences.front()) +
                   " Cena średnia netto (bez VAT) z notowań u producentów i w hurtowniach, loco plac budowy. "
                   "Cena z narzutem obejmuje koszty zakupu " +
                   std::to_string(markup) + "%.";
            break;
        case 'S':
            opis =
                "Cena średnia netto jednej maszynogodziny pracy sprzętu wraz z obsługą i paliwem. "
                "Cena z narzutem obejmuje koszty pośrednie " +
                std::to_string(markup) + "%.";
            break;
        default:
            opis =
                "Stawka średnia netto za jedną roboczogodzinę (r-g) z ankiet firm wykonawczych. "
                "Cena brutto obejmuje koszty pośrednie 65% i zysk 12%.";
            break;
    }
    if (province == 0) {
        opis += "\r\nŚrednia ze wszystkich województw.";
    } else {
        opis += "\r\nWojewództwo: " + provinceName + ".";
    }

    const int validFrom = static_cast<int>(dateSerial(2026, 10, 1));
    const int modified = validFrom - rng_.between(1, 30);
    return {std::to_string(id),
            std::to_string(producer),
            fit(name, 200),
            shortNameOf(name, r.type ? r.type->name : r.name),
            std::to_string(r.unit),
            r.eto,
            f.pkwiu,
            "KMX-" + r.eto + "-" + zeroPad(province, 2),
            "",
            "",
            "",
            hundredths(price),
            hundredths(withMarkup),
            "1",
            "1",
            demo::dateText(validFrom),
            demo::dateText(modified),
            fit(source, 100),
            opis,
            "",
            "",
            "",
            "",
            "",
            "",
            "",
            "",
            std::string(1, r.rms)};
}

void Generator::makeAverageGoods() {
    const std::vector<Resource> order = averageResources(types_, rng_);
    // Every resource's national average first, then province by province.
    int id = 0;
    for (int province = 0; province <= 16 && id < sizes_.goods; ++province) {
        for (std::size_t i = 0; i < order.size() && id < sizes_.goods; ++i) {
            const Resource& r = order[i];
            goodsRows_.push_back(averageRow(++id, r, province));
            goodsFamily_.push_back(r.family);
        }
    }
    // Materials get their family's group.
    for (std::size_t i = 0; i < goodsRows_.size(); ++i) {
        const int goodsId = static_cast<int>(i) + 1;
        const int group = families()[static_cast<std::size_t>(goodsFamily_[i])].group;
        if (group == 0) continue;
        linksGroup_.push_back({goodsRows_[i][0], std::to_string(group)});
        if (goodsId % 17 == 0 && group != kGroupFinishing) {
            linksGroup_.push_back({goodsRows_[i][0], std::to_string(kGroupFinishing)});
        }
    }
}

std::string table(const Row& header, const std::vector<Row>& rows) {
    std::string out;
    appendCsvRecord(out, header);
    for (const Row& r : rows) appendCsvRecord(out, r);
    return out;
}

DemoData Generator::run() {
    if (average_) {
        makeSources();
        makeAverageGoods();
    } else {
        makeProducers();
        makeGoods();
    }
    makeWorks();

    DemoData d;
    d.csv["KRAJ"] = table({"ID_KRAJU", "NAZWA_KRAJU"}, kCountries);
    d.csv["WOJEWODZTWO"] = table({"ID_WOJEWODZTWA", "NAZWA"}, kProvinces);
    d.csv["WALUTA"] = table({"ID_WALUTY", "SYMBOL", "NAZWA", "KOD"}, kCurrencies);
    d.csv["STAWKA_VAT"] = table({"ID_STAWKI_VAT", "KOD", "NAZWA"}, kVatRates);
    d.csv["JEDNOSTKA_MIARY"] = table({"ID_JEDNOSTKI_MIARY", "NAZWA", "KOD"}, kUnits);
    d.csv["BRANZA"] = table({"ID_BRANZY", "NAZWA", "TYP_RMS"}, kBranches);
    d.csv["GRUPA_TOWAROWA"] = table({"ID_GRUPY", "NAZWA"}, kGroups);
    d.csv["PRODUCENT"] = table({"ID_PRODUCENTA",  "NAZWA",        "KOD_PRODUCENTA",   "ID_KRAJU",
                                "ID_WOJEWODZTWA", "ULICA_DOM",    "KOD_POCZTOWY",     "MIEJSCOWOSC",
                                "TEL_KIER",       "TELEFON1",     "TELEFON2",         "TELEFON3",
                                "FAKS",           "NIP",          "EMAIL_PODSTAWOWY", "EMAIL_DZIAL_HANDLOWY",
                                "ADRES_WWW",      "NAZWISKO_OSH", "IMIE_OSH",         "STANOWISKO_OSH",
                                "TELEFON_OSH",    "EMAIL_OSH",    "NAZWISKO_OST",     "IMIE_OST",
                                "STANOWISKO_OST", "TELEFON_OST",  "EMAIL_OST",        "OPIS_FIRMY",
                                "UPUSTY"},
                               producerRows_);
    d.csv["TOWAR"] =
        table({"ID_TOWARU",         "ID_PRODUCENTA",   "NAZWA",         "NAZWA_SKR",
               "ID_JEDNOSTKI",      "INDEKS_ETO",      "PKWIU",         "SYMBOL",
               "CENA_PRODUCENTA",   "CENA_DETALICZNA", "CENA_HURTOWA",  "CENA_JEDNOSTKOWA",
               "CENA_NARZUT",       "ID_WALUTY",       "ID_STAWKI_VAT", "DATA_OBOWIAZYWANIA_CENY",
               "DATA_MODYFIKACJI",  "NAZWA_ORG_PROD",  "OPIS_TOWARU",   "CIEZAR_WL",
               "SPOSOB_OPAKOWANIA", "CIEZAR_JED_PAK",  "ILE_TOW_W_JED", "ROZMIAR_JP_DL",
               "ROZMIAR_JP_SZ",     "ROZMIAR_JP_WY",   "ADRES_WWW",     "TYP_RMS"},
              goodsRows_);
    d.csv["BRANZA_PRODUCENTA"] = table({"ID_PRODUCENTA", "ID_BRANZY"}, linksBranch_);
    d.csv["WYBRANA_GRUPA"] = table({"ID_TOWARU", "ID_GRUPY"}, linksGroup_);
    d.csv["KNR"] = table({"id_knr", "nazwa", "grupa_nazwa", "grupa_identyf", "sort"}, knrRows_);
    d.csv["ceny_robot"] =
        table({"id_ceny", "wariant", "jedn_miary", "cena", "podstawa", "zrodlo", "nazwa"}, workRows_);
    d.csv["Wersja"] = table({"Edycja", "Rok"}, {{"4", "2026"}});  // the quarter's number

    // A third of the producers have a logo; every source of the average prices has one.
    for (const Producer& p : producers_) {
        if (average_ || p.id % 3 == 1)
            d.logos.push_back({p.code, p.name, static_cast<std::uint64_t>(p.id) * 0x9E3779B97F4A7C15ull});
    }
    return d;
}

}  // namespace

DemoSizes demoSizes(int goods) {
    DemoSizes s;
    s.goods = goods;
    s.producers = std::clamp(goods / 10, 20, 5000);
    s.workPrices = std::clamp(goods, 50, 50000);
    return s;
}

DemoData generateDemo(int goods) {
    return Generator(std::clamp(goods, kDemoMinGoods, kDemoMaxGoods)).run();
}

int averageDemoMaxGoods() {
    static const int most = [] {
        int resources = static_cast<int>(kLabourRates.size());
        for (const ProductType& t : productTypes())
            resources += families()[static_cast<std::size_t>(t.family)].rms != 'R';
        return resources * 17;  // the national average and sixteen provinces
    }();
    return most;
}

DemoSizes averageDemoSizes(int goods) {
    DemoSizes s;
    s.goods = goods;
    s.producers = static_cast<int>(averageSources().size());
    s.workPrices = std::clamp(goods, 50, 50000);
    return s;
}

DemoData generateAverageDemo(int goods) {
    return Generator(std::clamp(goods, kDemoMinGoods, averageDemoMaxGoods()), true).run();
}

}  // namespace kmx::catalog
