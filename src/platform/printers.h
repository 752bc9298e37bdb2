#pragma once
// The installed printers and the program's current printer, behind one small
// interface so that tests put in printers of their own and a port to another
// system changes only this folder.

#include <QString>
#include <QStringList>
#include <memory>

class QPrinter;
class QWidget;

namespace kmx::platform {

class Printers {
public:
    virtual ~Printers() = default;
    // The installed printers, in the system's order.
    virtual QStringList names() = 0;
    // The one current printer of the whole program: at first the system's
    // default (0 when there is none), -1 when no printer is installed.
    virtual int currentIndex() = 0;
    virtual void setCurrentIndex(int index) = 0;
    // The system's printer set-up dialog on `printer`; when accepted, the
    // printer chosen there becomes the current one. False when cancelled.
    virtual bool setupDialog(QWidget* parent, QPrinter& printer) = 0;
    // A device for printer `index` of names(): A4 portrait, full page (so
    // (0,0) is the corner of the paper), high resolution. Nullptr when there
    // is no such printer.
    virtual std::unique_ptr<QPrinter> open(int index) = 0;
};

// The printers the print system knows. The current printer is remembered by
// name, so that it stays the same printer when others come or go.
class CupsPrinters : public Printers {
public:
    QStringList names() override;
    int currentIndex() override;
    void setCurrentIndex(int index) override;
    bool setupDialog(QWidget* parent, QPrinter& printer) override;
    std::unique_ptr<QPrinter> open(int index) override;

private:
    QString current_;
};

// The program's printers: the system's unless a test installed others.
Printers& printers();
// For tests; nullptr restores the system's.
void setPrinters(Printers* p);

// A printer device for `name` set up as Printers::open describes.
std::unique_ptr<QPrinter> makePrinter(const QString& name);

}  // namespace kmx::platform
