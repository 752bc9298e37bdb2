#pragma once
// The mail window: the recipient's name and address and the message, edited
// by the user and handed to the mail program with " &Wyślij". Created once
// and reused for the price enquiry and the order form; each sets all of its
// texts anew.

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

namespace Ui {
class TFMail;
}

namespace kmx::mail {

// The subject of the next message: set by the enquiry and by the order form,
// the value set last is sent.
inline QString TematPoczty;

// The error shown when the mail program did not take a message.
QString BladWysylania(int code);

class TFMail : public QDialog {
    Q_OBJECT

public:
    explicit TFMail(QWidget* parent = nullptr);
    ~TFMail() override;

    // The enquiry's caption and labels with its recipient and body.
    void ustawZapytanie(const QString& nazwa, const QString& adres, const QString& tresc);
    // The order form: caption, label, the publisher, the subject and the
    // seven lines, the caret after "Nazwa firmy: ".
    void ustawZamowienie();

    // Shows the window modally with the focus in the body. With testHook set
    // it shows it without a modal loop, hands it to the hook and closes it
    // if the hook left it open.
    int pokaz();
    static inline std::function<void(TFMail&)> testHook;

    // " &Wyślij": the subject, the body and the trimmed address to the mail
    // program; a failure is reported with its code. The window stays open
    // either way. Returns the code.
    int wyslij();

    QString nazwa() const;
    QString adres() const;
    QString tresc() const;
    int pozycjaKursora() const;

private:
    std::unique_ptr<Ui::TFMail> ui_;
    int kursor_ = 0;
};

}  // namespace kmx::mail
