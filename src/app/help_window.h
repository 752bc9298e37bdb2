#pragma once
// The instruction window "Pomoc": one read-only rich-text view filling a
// sizeable window, reloaded from an RTF file beside the program before every
// showing and shown modally, centred on its parent.

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace kmx::app {

class TFHelp : public QDialog {
    Q_OBJECT

public:
    explicit TFHelp(QWidget* parent = nullptr);

    // Loads KatalogProgramu() + fileName and shows it until the user closes
    // the window. When the file cannot be loaded, shows the reason in the
    // program's error box (the edition's caption) instead and returns false.
    bool pokazInstrukcje(const QString& fileName);
    // Shows what the window holds, without loading anything.
    void pokaz();

    // Replaces the view's text with the RTF file at path. On failure the text
    // stays as it was and error (when given) receives the reason.
    bool zaladuj(const QString& path, QString* error = nullptr);

    QTextBrowser* widok() const { return widok_; }

    // Tests: while on, pokazInstrukcje shows the window without a modal loop.
    static void setTestMode(bool on);

private:
    void wysrodkuj();

    QTextBrowser* widok_ = nullptr;
};

}  // namespace kmx::app
