#include "platform/printers.h"

#include <QDialog>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace kmx::platform {

QStringList CupsPrinters::names() {
    return QPrinterInfo::availablePrinterNames();
}

int CupsPrinters::currentIndex() {
    const QStringList list = names();
    if (list.isEmpty()) return -1;
    // The remembered printer may have been removed meanwhile: then the
    // system's default (or the first) takes its place.
    qsizetype index = current_.isEmpty() ? -1 : list.indexOf(current_);
    if (index < 0) {
        index = list.indexOf(QPrinterInfo::defaultPrinterName());
        if (index < 0) index = 0;
        current_ = list.at(index);
    }
    return static_cast<int>(index);
}

void CupsPrinters::setCurrentIndex(int index) {
    const QStringList list = names();
    if (index >= 0 && index < list.size()) current_ = list.at(index);
}

bool CupsPrinters::setupDialog(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QString::fromUtf8("Ustawienia drukarki"));
    if (dialog.exec() != QDialog::Accepted) return false;
    if (names().contains(printer.printerName())) current_ = printer.printerName();
    return true;
}

std::unique_ptr<QPrinter> CupsPrinters::open(int index) {
    const QStringList list = names();
    if (index < 0 || index >= list.size()) return nullptr;
    return makePrinter(list.at(index));
}

std::unique_ptr<QPrinter> makePrinter(const QString& name) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!name.isEmpty()) printer->setPrinterName(name);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setFullPage(true);
    return printer;
}

namespace {

Printers*& installed() {
    static Printers* p = nullptr;
    return p;
}

}  // namespace

Printers& printers() {
    static CupsPrinters system;
    Printers* p = installed();
    return p != nullptr ? *p : system;
}

void setPrinters(Printers* p) {
    installed() = p;
}

}  // namespace kmx::platform
