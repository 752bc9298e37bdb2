#pragma once
// The labour-rate page "Narzuty" (pcStawki): one read-only rich-text view of
// the labour rates and overheads shipped beside the program.

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace kmx::app {

class RatesPage : public QWidget {
    Q_OBJECT

public:
    explicit RatesPage(QWidget* parent = nullptr);

    // Loads the RTF file into the view. A file that cannot be loaded leaves
    // the view empty and returns false; nothing is reported to the user.
    bool zaladuj(const QString& path);

    QTextBrowser* view() const { return view_; }

private:
    QTextBrowser* view_ = nullptr;
};

}  // namespace kmx::app
