#include "export/wybor_tessara.h"

#include <QPushButton>
#include <QRadioButton>
#include <bit>

#include "export/tessar.h"
#include "platform/dialogs.h"
#include "ui_wybor_tessara.h"
#include "editions/edition.h"

namespace kmx::tessar {

TFWyborTessara::TFWyborTessara(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TFWyborTessara>()) {
    ui_->setupUi(this);
    connect(ui_->btnOK, &QPushButton::clicked, this, &TFWyborTessara::ok);
}

TFWyborTessara::~TFWyborTessara() = default;

QRadioButton* TFWyborTessara::przycisk(int numer) const {
    switch (numer) {
        case 1:
            return ui_->rbTessar3;
        case 2:
            return ui_->rbTessarStandard;
        case 3:
            return ui_->rbTessarPro;
        case 4:
            return ui_->rbTessarExpert;
        default:
            return nullptr;
    }
}

void TFWyborTessara::ok() {
    for (int n = 1; n <= kWydan; ++n) {
        if (przycisk(n)->isChecked()) {
            wybrany_ = n;
            accept();
            return;
        }
    }
    platform::dialogs().message(this, edition::TytulKomunikatu(), QStringLiteral("Wybierz program"),
                                platform::MessageIcon::Information);
}

int TFWyborTessara::wybierz(int zainstalowane) {
    wybrany_ = 0;
    // Radio buttons of one group cannot all be off while exclusive.
    for (int n = 1; n <= kWydan; ++n) przycisk(n)->setAutoExclusive(false);
    for (int n = 1; n <= kWydan; ++n) {
        przycisk(n)->setChecked(false);
        przycisk(n)->setEnabled((zainstalowane & (1 << n)) != 0);
    }
    for (int n = 1; n <= kWydan; ++n) przycisk(n)->setAutoExclusive(true);
    std::function<void()> hook;
    if (testHook) hook = [this] { testHook(*this); };
    return platform::execOrHook(*this, hook) == QDialog::Accepted ? wybrany_ : 0;
}

int Wybor(const Tessary& tessary, TFWyborTessara& okno) {
    const int zbior = tessary.Zainstalowane();
    if (zbior == 0) return 0;
    if (std::popcount(static_cast<unsigned>(zbior)) == 1)
        return std::countr_zero(static_cast<unsigned>(zbior));
    return okno.wybierz(zbior);
}

}  // namespace kmx::tessar
