#pragma once
// The preview window: the prepared pages of one report on screen, page by
// page, with zoom, printing, and saving to or reading from files. Every
// preview gets a window of its own.

#include <QElapsedTimer>
#include <QMainWindow>
#include <functional>
#include <memory>

#include "reports/engine/filler.h"
#include "reports/engine/prepared.h"

class QAction;
class QCloseEvent;
class QIcon;
class QKeyEvent;
class QLabel;
class QPrinter;
class QScrollArea;
class QToolBar;

namespace kmx::reports {

class PageView;

class TFPreview : public QMainWindow {
    Q_OBJECT

public:
    enum class Zoom { WholePage, Normal, PageWidth };

    explicit TFPreview(QWidget* parent = nullptr);
    ~TFPreview() override;

    PageStore& store() { return store_; }
    const PageStore& store() const { return store_; }

    // The printer the pages go to (an index into platform::printers()) and
    // the report's title (for the exports).
    int printerIndex = 0;
    QString reportTitle;

    // Status panel: "Strona: n/count".
    void ShowNumberOfPage(int n);
    QString statusText() const;

    Zoom zoom() const { return zoom_; }
    // Screen pixels to the millimetre of paper at the present zoom.
    double pixelsPerMm() const;
    // The page view and its scroll area, for tests.
    QWidget* pageView() const;
    QScrollArea* scrollArea() const { return scroll_; }
    QToolBar* toolBar() const { return toolBar_; }

    // Lets `prepare` fill the store, showing page 1 as soon as it is done and
    // the wait window meanwhile; Esc in the wait window, or closing this
    // window, stops it (Cancelled).
    FillResult przygotuj(const std::function<FillResult(PageStore&)>& prepare);
    bool preparing() const { return preparing_; }

public slots:
    void pierwsza();
    void poprzednia();
    void nastepna();
    void ostatnia();
    void calaStrona();
    void normalny();
    void calaSzerokosc();
    void drukuj();
    void ustawieniaDrukarki();
    void otworz();
    void zapisz();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QAction* dodajAkcje(const char* objectName, const QString& text, const QString& hint, const QIcon& icon,
                        const std::function<void()>& slot);
    void pokazBiezaca();
    void ustawZoom(Zoom zoom);
    void ustawDostepnosc();
    bool przygotowanaStrona(int pageNumber);
    void komunikat(const QString& text);

    PageStore store_;
    Zoom zoom_ = Zoom::WholePage;
    QToolBar* toolBar_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    PageView* view_ = nullptr;
    QLabel* status_ = nullptr;
    QAction* actDrukuj_ = nullptr;
    QAction* actUstawienia_ = nullptr;
    QAction* actOtworz_ = nullptr;
    QAction* actZapisz_ = nullptr;
    std::unique_ptr<QPrinter> printer_;  // set up by "Ustawienia drukarki" for this preview only
    bool preparing_ = false;
    bool stopRequested_ = false;
    bool waitShown_ = false;
    QElapsedTimer zdarzenia_;  // since events last ran while preparing
};

// Shows a new preview window maximised (not modal), lets `prepare` fill its
// pages progressively and waits until the user closes it; true then. When
// the preparation is cancelled the window closes silently and this returns
// false. The window deletes itself when closed. With previewTestHook set,
// the hook gets the prepared window instead of the wait for closing; the
// window is closed and deleted afterwards.
bool ShowReportPreview(const QString& title, int printerIndex,
                       const std::function<FillResult(PageStore&)>& prepare, QWidget* parent = nullptr);
inline std::function<void(TFPreview&)> previewTestHook;

}  // namespace kmx::reports
