#include "export/form_nowy_cennik.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "core/cp1250.h"
#include "platform/dialogs.h"
#include "ui_form_nowy_cennik.h"

namespace kmx::tessar {

namespace {

QString zCp1250(const std::string& bytes) {
    return QString::fromStdString(cp1250::toUtf8(bytes));
}

std::string naCp1250(const QString& text) {
    return cp1250::fromUtf8(text.toStdString());
}

}  // namespace

QString NazwaTabeli(const QString& wpisana) {
    const qsizetype kropka = wpisana.indexOf(QLatin1Char('.'));
    return (kropka >= 0 ? wpisana.left(kropka) : wpisana) + QStringLiteral(".dbf");
}

TFNowyCennik::TFNowyCennik(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TFNowyCennik>()) {
    ui_->setupUi(this);
}

TFNowyCennik::~TFNowyCennik() = default;

bool TFNowyCennik::pokaz(t3::CennikRec& naglowek) {
    ui_->edNzwCen->setText(zCp1250(naglowek.plik));
    ui_->cbTyp->setCurrentIndex(0);
    ui_->edPoziom->setText(zCp1250(naglowek.poziom));
    ui_->edWaluta->setText(zCp1250(naglowek.waluta));
    ui_->meOpis->setPlainText(zCp1250(naglowek.opis));
    ui_->edNzwCen->setFocus();
    std::function<void()> hook;
    if (testHook) hook = [this] { testHook(*this); };
    if (platform::execOrHook(*this, hook) != QDialog::Accepted) return false;
    naglowek.plik = naCp1250(NazwaTabeli(ui_->edNzwCen->text()));
    naglowek.poziom = naCp1250(ui_->edPoziom->text());
    naglowek.opis = naCp1250(ui_->meOpis->toPlainText());
    naglowek.waluta = naCp1250(ui_->edWaluta->text());
    return true;
}

}  // namespace kmx::tessar
