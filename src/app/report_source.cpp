#include "app/report_source.h"

#include "app/goods_panel.h"
#include "app/program_state.h"
#include "app/supplier_panel.h"

namespace kmx::app {

QString DaneRaportow::GrupyTowarowe() {
    return towar_.grupyTowarowe();
}
QString DaneRaportow::AdresDostawcy() {
    return dostawca_.adres();
}
QString DaneRaportow::TelefonyDostawcy() {
    return dostawca_.telefony();
}
QString DaneRaportow::OsobaHandlowa() {
    return dostawca_.osobaHandlowa();
}
QString DaneRaportow::OsobaTechniczna() {
    return dostawca_.osobaTechniczna();
}
QString DaneRaportow::KrotkiFormatDaty() {
    return stanProgramu().KrotkiFormatDaty;
}

}  // namespace kmx::app
