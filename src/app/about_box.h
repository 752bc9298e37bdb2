#pragma once
// The about box "O programie...": the program icon on a white band, the
// product heading, the version text, the publisher's web site, mailbox and
// the product's web site as links, and "&OK".

#include <QDialog>
#include <QPixmap>
#include <QString>

class QLabel;
class QPushButton;

namespace kmx::platform {
class LinkOpener;
}

namespace kmx::app {

// The program icon, drawn at size x size pixels.
QPixmap ikonaProgramu(int size);

class FrmAbout : public QDialog {
    Q_OBJECT

public:
    explicit FrmAbout(platform::LinkOpener& links, const QString& wersjaOpis = {}, QWidget* parent = nullptr);

    // The version text of the edition (WersjaOpis).
    void setWersjaOpis(const QString& text);

    // Shows the box modally, centred on the screen.
    int pokaz();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void otworz(const QString& address);

    platform::LinkOpener& links_;
    QLabel* wersja_ = nullptr;
};

}  // namespace kmx::app
