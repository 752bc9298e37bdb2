#include "reports/form_druk.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>

#include "platform/dialogs.h"
#include "platform/printers.h"
#include "reports/printing.h"
#include "ui_form_druk.h"

namespace kmx::reports {

TFrmDruk::TFrmDruk(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TFrmDruk>()) {
    ui_->setupUi(this);
    setFixedSize(420, 160);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui_->CBListaDrukarek, &QComboBox::currentIndexChanged, this, &TFrmDruk::wybranoDrukarke);
    connect(ui_->BUstawieniaDruk, &QPushButton::clicked, this, &TFrmDruk::ustawienia);
    connect(ui_->bDrukuj, &QPushButton::clicked, this, &TFrmDruk::drukuj);
    connect(ui_->BPodglWydr, &QPushButton::clicked, this, &TFrmDruk::podglad);
}

TFrmDruk::~TFrmDruk() = default;

int TFrmDruk::pokaz() {
    wysrodkuj();
    return platform::execOrHook(*this,
                                testHook ? std::function<void()>([this] { testHook(*this); }) : nullptr);
}

void TFrmDruk::showEvent(QShowEvent* event) {
    // A window brought back from the task bar is not a new showing.
    if (!event->spontaneous()) przygotuj();
    QDialog::showEvent(event);
}

void TFrmDruk::przygotuj() {
    const int current = platform::printers().currentIndex();
    // With no printer at all the last choice stays: nothing can be sent to
    // a printer that does not exist anyway.
    if (current >= 0) SelectedPrinterIndex = current;
    wypelnijListe();
}

void TFrmDruk::wypelnijListe() {
    const QStringList names = platform::printers().names();
    QComboBox* combo = ui_->CBListaDrukarek;
    {
        const QSignalBlocker blocker(combo);
        combo->clear();
        combo->addItems(names);
        if (SelectedPrinterIndex >= 0 && SelectedPrinterIndex < names.size())
            combo->setCurrentIndex(SelectedPrinterIndex);
    }
    const bool any = !names.isEmpty();
    combo->setEnabled(any);
    ui_->bDrukuj->setEnabled(any);
    ui_->BUstawieniaDruk->setEnabled(any);
    pokazNazwe();
}

void TFrmDruk::wybranoDrukarke(int index) {
    if (index < 0) return;
    SelectedPrinterIndex = index;
    platform::printers().setCurrentIndex(index);
    pokazNazwe();
}

void TFrmDruk::pokazNazwe() {
    const QComboBox* combo = ui_->CBListaDrukarek;
    if (combo->count() == 0)
        ui_->LDrukarka->setText(QString::fromUtf8("Brak zainstalowanych drukarek"));
    else
        ui_->LDrukarka->setText(combo->currentText());
}

void TFrmDruk::ustawienia() {
    platform::Printers& system = platform::printers();
    const std::unique_ptr<QPrinter> printer = system.open(system.currentIndex());
    if (printer == nullptr) {
        // The printer went away since the dialog was shown.
        wypelnijListe();
        return;
    }
    system.setupDialog(this, *printer);
    const int current = system.currentIndex();
    if (current >= 0) SelectedPrinterIndex = current;
    // The set-up dialog may list printers this one did not know yet.
    wypelnijListe();
    if (current >= 0) wybranoDrukarke(ui_->CBListaDrukarek->currentIndex());
}

void TFrmDruk::drukuj() {
    if (drukZestaw) drukZestaw(0);
    accept();
}

void TFrmDruk::podglad() {
    if (drukZestaw) drukZestaw(1);
}

void TFrmDruk::wysrodkuj() {
    const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : nullptr;
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    // The frame is known once the window has been shown; before that the
    // client area stands for it.
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

}  // namespace kmx::reports
