#include "mail/form_mail.h"

#include <QPushButton>
#include <QTextCursor>
#include <algorithm>

#include "core/publisher.h"
#include "platform/dialogs.h"
#include "platform/mail.h"
#include "ui_form_mail.h"
#include "editions/edition.h"

namespace kmx::mail {

QString BladWysylania(int code) {
    return QStringLiteral(
               "Błąd podczas wysyłania poczty. Sprawdź konfigurację domyślnego programu pocztowego. (") +
           QString::number(code) + QStringLiteral(").");
}

TFMail::TFMail(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TFMail>()) {
    ui_->setupUi(this);
    connect(ui_->bWyslij, &QPushButton::clicked, this, [this] { wyslij(); });
}

TFMail::~TFMail() = default;

void TFMail::ustawZapytanie(const QString& nazwa, const QString& adres, const QString& tresc) {
    setWindowTitle(QStringLiteral("Wysłanie zapytania ofertowego"));
    ui_->lNazwa->setText(QStringLiteral("Nazwa Dostawcy:"));
    ui_->lEmail->setText(QStringLiteral("Adres e-mail:"));
    ui_->eNazwa->setText(nazwa);
    ui_->eEmail->setText(adres);
    ui_->mTresc->setPlainText(tresc);
    kursor_ = 0;
}

void TFMail::ustawZamowienie() {
    setWindowTitle(QStringLiteral("Wysyłanie zamówienia na nowy Kalmarex CD"));
    ui_->lNazwa->setText(QStringLiteral("Nazwa firmy:"));
    ui_->lEmail->setText(QStringLiteral("Adres e-mail:"));
    ui_->eNazwa->setText(QString::fromUtf8(publisher::kNazwaFirmy));
    ui_->eEmail->setText(QString::fromUtf8(publisher::kEmailZamowien));
    TematPoczty = QStringLiteral("Zamówienie Davideriv na CD");
    ui_->mTresc->setPlainText(
        QStringLiteral("Nazwa firmy: \nImię i nazwisko: \nAdres: \nKod pocztowy: \n"
                       "Miejscowość: \nNIP: \nIlość sztuk: "));
    kursor_ = 13;  // right after "Nazwa firmy: "
}

int TFMail::pokaz() {
    QTextCursor c = ui_->mTresc->textCursor();
    c.setPosition(std::min(kursor_, static_cast<int>(ui_->mTresc->document()->characterCount()) - 1));
    ui_->mTresc->setTextCursor(c);
    ui_->mTresc->setFocus();
    std::function<void()> hook;
    if (testHook) {
        hook = [this] {
            ui_->mTresc->setFocus();
            testHook(*this);
        };
    }
    return platform::execOrHook(*this, hook);
}

int TFMail::wyslij() {
    platform::MailMessage m;
    m.subject = TematPoczty;
    m.body = tresc();
    m.recipientAddress = adres().trimmed();
    ui_->bWyslij->setEnabled(false);  // one message at a time
    const int code = platform::mail().send(m);
    ui_->bWyslij->setEnabled(true);
    if (code != 0)
        platform::dialogs().message(this, edition::TytulKomunikatu(), BladWysylania(code),
                                    platform::MessageIcon::Error);
    return code;
}

QString TFMail::nazwa() const {
    return ui_->eNazwa->text();
}
QString TFMail::adres() const {
    return ui_->eEmail->text();
}
QString TFMail::tresc() const {
    return ui_->mTresc->toPlainText();
}
int TFMail::pozycjaKursora() const {
    return ui_->mTresc->textCursor().position();
}

}  // namespace kmx::mail
