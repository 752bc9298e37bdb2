#pragma once
// What the reports read from the window: the result set of the page on
// screen and the texts of the two detail panels. The main window and
// kmx-tool's report command hand the reports the same thing.

#include <functional>

#include "reports/report_common.h"

namespace kmx::app {

class GoodsPanel;
class SupplierPanel;

class DaneRaportow : public reports::ZrodloRaportow {
public:
    DaneRaportow(data::TDM& tdm, GoodsPanel& towar, SupplierPanel& dostawca,
                 std::function<data::DataSet*()> aktywnyZbior)
        : tdm_(tdm), towar_(towar), dostawca_(dostawca), aktywny_(std::move(aktywnyZbior)) {}

    data::DataSet* ActiveResultSet() override { return aktywny_ ? aktywny_() : nullptr; }
    data::TDM& tdm() override { return tdm_; }
    QString GrupyTowarowe() override;
    QString AdresDostawcy() override;
    QString TelefonyDostawcy() override;
    QString OsobaHandlowa() override;
    QString OsobaTechniczna() override;
    QString KrotkiFormatDaty() override;

private:
    data::TDM& tdm_;
    GoodsPanel& towar_;
    SupplierPanel& dostawca_;
    std::function<data::DataSet*()> aktywny_;
};

}  // namespace kmx::app
