#include "export/form_waluta.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/dialogs.h"
#include "ui_form_waluta.h"
#include "editions/edition.h"

namespace kmx::tessar {

namespace {

// The dialog's result for "Przerwij", beside Rejected (Anuluj) and Accepted (OK).
constexpr int kPrzerwij = 2;

}  // namespace

TFWaluta::TFWaluta(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TFWaluta>()) {
    ui_->setupUi(this);
    connect(ui_->btnOK, &QPushButton::clicked, this, &TFWaluta::ok);
    connect(ui_->btnAnuluj, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->btnPrzerwij, &QPushButton::clicked, this, [this] { done(kPrzerwij); });
}

TFWaluta::~TFWaluta() = default;

void TFWaluta::ok() {
    QString tekst = ui_->edKurs->text();
    tekst.replace(QLatin1Char(','), QLatin1Char('.'));
    std::optional<double> kurs = LiczbaZKropka(tekst.toStdString());
    if (kurs) {
        // QString::number never uses the locale's separator.
        ui_->edKurs->setText(QString::number(*kurs, 'f', 4));
        kurs = LiczbaZKropka(ui_->edKurs->text().toStdString());
    }
    if (!kurs) {
        platform::dialogs().message(this, edition::TytulKomunikatu(), QStringLiteral("Wprowadź liczbę"),
                                    platform::MessageIcon::None, platform::Buttons::Ok);
        ui_->edKurs->setFocus();
        ui_->edKurs->selectAll();
        return;
    }
    accept();
}

WynikKursu TFWaluta::pokaz(const QString& bazowa, const QString& kod, QString& kodWpisany, QString& opis,
                           QString& kurs) {
    ui_->lblBazowa->setText(bazowa);
    ui_->edWaluta->setText(kod);
    ui_->edKurs->clear();
    ui_->edOpis->clear();
    ui_->edKurs->setFocus();
    std::function<void()> hook;
    if (testHook) hook = [this] { testHook(*this); };
    const int wynik = platform::execOrHook(*this, hook);
    if (wynik == QDialog::Accepted) {
        kodWpisany = ui_->edWaluta->text();
        opis = ui_->edOpis->text();
        kurs = ui_->edKurs->text();
        return WynikKursu::Ok;
    }
    return wynik == kPrzerwij ? WynikKursu::Przerwij : WynikKursu::Anuluj;
}

}  // namespace kmx::tessar
