#include "app/program_state.h"

#include "editions/edition.h"

namespace kmx::app {

StanProgramu& stanProgramu() {
    static StanProgramu stan;
    return stan;
}

void UstawWydanie(const QString& edycja, const QString& rok) {
    StanProgramu& s = stanProgramu();
    s.Edycja = edycja;
    s.Rok = rok;
    s.Wydanie = edycja + QLatin1Char('/') + rok;
    s.WersjaOpis = edition::tekst(&edition::Edycja::prefiksWersji) + s.Wydanie;
}

void UstawFormatyStartowe() {
    StanProgramu& s = stanProgramu();
    s.SeparatorDaty = QLatin1Char('-');
    s.KrotkiFormatDaty = QStringLiteral("dd-MM-yy");
    s.SeparatorDziesietny = QLatin1Char(',');
}

void ZmianaUstawienRegionalnych() {
    stanProgramu().KrotkiFormatDaty = QStringLiteral("dd-MM-yyyy");
}

void ZerujStanProgramu() {
    stanProgramu() = StanProgramu{};
}

}  // namespace kmx::app
