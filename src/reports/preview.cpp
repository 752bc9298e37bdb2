#include "reports/preview.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QColor>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QPolygonF>
#include <QPrinter>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <algorithm>
#include <cmath>

#include "app/constants.h"
#include "app/wait_window.h"
#include "platform/dialogs.h"
#include "platform/printers.h"
#include "reports/engine/exports.h"
#include "reports/engine/painter.h"
#include "reports/engine/qrp.h"
#include "reports/printing.h"
#include "editions/edition.h"

namespace kmx::reports {

namespace {

// Grey around the paper, in pixels.
constexpr int kMargines = 12;
constexpr int kCien = 4;

QString tytulOkna() {
    return QString::fromUtf8("Podgląd wydruku");
}

// ---- icons: the theme's where the desktop has one, else drawn here

QIcon rysuj(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    draw(p);
    p.end();
    return QIcon(pixmap);
}

void kartka(QPainter& p, const QRectF& r) {
    const double fold = r.width() * 0.3;
    QPolygonF sheet;
    sheet << r.topLeft() << QPointF(r.right() - fold, r.top()) << QPointF(r.right(), r.top() + fold)
          << r.bottomRight() << r.bottomLeft();
    p.setPen(QPen(QColor(70, 70, 70), 1.5));
    p.setBrush(Qt::white);
    p.drawPolygon(sheet);
    p.drawPolyline(QPolygonF() << QPointF(r.right() - fold, r.top())
                               << QPointF(r.right() - fold, r.top() + fold)
                               << QPointF(r.right(), r.top() + fold));
}

void wierszeTekstu(QPainter& p, const QRectF& r, int lines) {
    p.setPen(QPen(QColor(120, 140, 170), 1.5));
    const double step = r.height() / (lines + 1);
    for (int i = 1; i <= lines; ++i)
        p.drawLine(QPointF(r.left(), r.top() + i * step), QPointF(r.right(), r.top() + i * step));
}

QIcon ikonaCalaStrona() {
    return rysuj([](QPainter& p) {
        kartka(p, QRectF(7, 2, 18, 28));
        wierszeTekstu(p, QRectF(10, 10, 12, 17), 4);
        p.setPen(QPen(QColor(0, 98, 167), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(3, 1, 26, 30));
    });
}

QIcon ikonaNormalny() {
    return rysuj([](QPainter& p) {
        p.setPen(QPen(QColor(70, 70, 70), 2));
        p.setBrush(QColor(235, 245, 255));
        p.drawEllipse(QRectF(3, 3, 19, 19));
        p.setPen(QPen(QColor(70, 70, 70), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19.5, 19.5), QPointF(28, 28));
        QFont f = p.font();
        f.setPixelSize(9);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(0, 98, 167));
        p.drawText(QRectF(3, 3, 19, 19), Qt::AlignCenter, QStringLiteral("1:1"));
    });
}

QIcon ikonaCalaSzerokosc() {
    return rysuj([](QPainter& p) {
        kartka(p, QRectF(4, 3, 24, 27));
        p.setPen(QPen(QColor(0, 98, 167), 2));
        p.drawLine(QPointF(6, 17), QPointF(26, 17));
        p.setBrush(QColor(0, 98, 167));
        p.drawPolygon(QPolygonF() << QPointF(5, 17) << QPointF(10, 13) << QPointF(10, 21));
        p.drawPolygon(QPolygonF() << QPointF(27, 17) << QPointF(22, 13) << QPointF(22, 21));
    });
}

void drukarka(QPainter& p) {
    p.setPen(QPen(QColor(70, 70, 70), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10));  // paper going in
    p.setBrush(QColor(190, 195, 205));
    p.drawRoundedRect(QRectF(3, 11, 26, 12), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 19, 16, 10));  // paper coming out
    wierszeTekstu(p, QRectF(10, 20, 12, 8), 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 170, 60));
    p.drawEllipse(QRectF(23, 14, 3, 3));
}

QIcon ikonaDrukuj() {
    return rysuj([](QPainter& p) { drukarka(p); });
}

QIcon ikonaUstawienia() {
    return rysuj([](QPainter& p) {
        p.save();
        p.translate(-2, -1);
        drukarka(p);
        p.restore();
        // A small gear over the corner.
        const QPointF c(24, 24);
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(230, 170, 40));
        QPainterPath gear;
        for (int i = 0; i < 16; ++i) {
            const double angle = i * 3.14159265358979 / 8;
            const double radius = (i % 2 == 0) ? 7.5 : 5.5;
            const QPointF pt(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
            if (i == 0)
                gear.moveTo(pt);
            else
                gear.lineTo(pt);
        }
        gear.closeSubpath();
        p.drawPath(gear);
        p.setBrush(Qt::white);
        p.drawEllipse(c, 2.2, 2.2);
    });
}

QIcon ikona(const char* theme, const QIcon& fallback) {
    return QIcon::fromTheme(QString::fromLatin1(theme), fallback);
}

QIcon ikonaStylu(const char* theme, QStyle::StandardPixmap which) {
    return ikona(theme, QApplication::style()->standardIcon(which));
}

}  // namespace

// ---- the page view: grey around, the paper with its shadow, the page

class PageView : public QWidget {
public:
    explicit PageView(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("PageView"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void setStore(const PageStore* store) {
        store_ = store;
        update();
    }
    const PageStore* store() const { return store_; }

    double scale() const { return scale_; }
    // Sets the scale and the widget's size: at least the visible area, the
    // paper centred in it when smaller.
    void rozmiesc(double pixelsPerMm, const QSize& visible) {
        scale_ = pixelsPerMm;
        const QSize paper = paperSize();
        resize(std::max(visible.width(), paper.width() + 2 * kMargines),
               std::max(visible.height(), paper.height() + 2 * kMargines));
        update();
    }

    QSize paperSize() const {
        const float w = store_ != nullptr ? store_->pageWidthMm() : PageStore::kA4WidthMm;
        const float h = store_ != nullptr ? store_->pageHeightMm() : PageStore::kA4HeightMm;
        return {static_cast<int>(std::lround(w * scale_)), static_cast<int>(std::lround(h * scale_))};
    }

    QRect paperRect() const {
        const QSize paper = paperSize();
        return {(width() - paper.width()) / 2, std::max(kMargines, (height() - paper.height()) / 2),
                paper.width(), paper.height()};
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter p(this);
        p.fillRect(event->rect(), QColor(128, 128, 128));
        if (store_ == nullptr) return;
        const QRect paper = paperRect();
        p.fillRect(paper.translated(kCien, kCien), QColor(64, 64, 64));
        p.fillRect(paper, Qt::white);
        p.setPen(QColor(0, 0, 0));
        p.drawRect(paper.adjusted(-1, -1, 0, 0));
        if (store_->currentPage() >= 1) {
            p.setClipRect(paper);
            paintPage(p, *store_, store_->currentPage(), scale_, QPointF(paper.topLeft()));
        }
    }

private:
    const PageStore* store_ = nullptr;
    double scale_ = 1;
};

namespace {

// A scroll area that tells its owner of every change of its size and lets
// it ask for the room the page may take.
class PageScroll : public QScrollArea {
public:
    explicit PageScroll(QWidget* parent) : QScrollArea(parent) {}
    std::function<void()> resized;
    QSize room() const { return maximumViewportSize(); }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QScrollArea::resizeEvent(event);
        if (resized) resized();
    }
};

void puscZdarzenia() {
    QCoreApplication::processEvents();
}

}  // namespace

// ---- the window

TFPreview::TFPreview(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("FPreview"));
    setWindowTitle(tytulOkna());
    setContextMenuPolicy(Qt::PreventContextMenu);
    resize(900, 700);

    toolBar_ = addToolBar(QString::fromUtf8("Podgląd"));
    toolBar_->setObjectName(QStringLiteral("PasekPodgladu"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(24, 24));
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    QAction* a = dodajAkcje("SBPierwsza", QString::fromUtf8("Pierwsza"), QString::fromUtf8("Strona pierwsza"),
                            ikonaStylu("go-first", QStyle::SP_MediaSkipBackward), [this] { pierwsza(); });
    a->setShortcut(QKeySequence(Qt::Key_Home));
    a = dodajAkcje("SBPoprzednia", QString::fromUtf8("Poprzednia"), QString::fromUtf8("Strona poprzednia"),
                   ikonaStylu("go-previous", QStyle::SP_MediaSeekBackward), [this] { poprzednia(); });
    a->setShortcut(QKeySequence(Qt::Key_PageUp));
    a = dodajAkcje("SBNastepna", QString::fromUtf8("Następna"), QString::fromUtf8("Strona następna"),
                   ikonaStylu("go-next", QStyle::SP_MediaSeekForward), [this] { nastepna(); });
    a->setShortcut(QKeySequence(Qt::Key_PageDown));
    a = dodajAkcje("SBOstatnia", QString::fromUtf8("Ostatnia"), QString::fromUtf8("Strona ostatnia"),
                   ikonaStylu("go-last", QStyle::SP_MediaSkipForward), [this] { ostatnia(); });
    a->setShortcut(QKeySequence(Qt::Key_End));
    toolBar_->addSeparator();

    dodajAkcje("SBCalaStrona", QString::fromUtf8("Cała strona"), QString::fromUtf8("Cała strona"),
               ikona("zoom-fit-best", ikonaCalaStrona()), [this] { calaStrona(); });
    dodajAkcje("SBNormalny", QString::fromUtf8("100 %"), QString::fromUtf8("Normalny"),
               ikona("zoom-original", ikonaNormalny()), [this] { normalny(); });
    dodajAkcje("SBCalaSzerokosc", QString::fromUtf8("Szerokość"), QString::fromUtf8("Cała szerokość"),
               ikona("zoom-fit-width", ikonaCalaSzerokosc()), [this] { calaSzerokosc(); });
    toolBar_->addSeparator();

    actUstawienia_ = dodajAkcje(
        "SBUstawieniaDrukarki", QString::fromUtf8("Ustawienia"), QString::fromUtf8("Ustawienia drukarki"),
        ikona("document-properties", ikonaUstawienia()), [this] { ustawieniaDrukarki(); });
    actDrukuj_ = dodajAkcje("SBDrukuj", QString::fromUtf8("Drukuj"), QString::fromUtf8("Drukuj"),
                            ikona("document-print", ikonaDrukuj()), [this] { drukuj(); });
    actDrukuj_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    toolBar_->addSeparator();

    actOtworz_ = dodajAkcje("SBOtworz", QString::fromUtf8("Otwórz"), QString::fromUtf8("Otwórz"),
                            ikonaStylu("document-open", QStyle::SP_DialogOpenButton), [this] { otworz(); });
    actOtworz_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    actZapisz_ = dodajAkcje("SBZapisz", QString::fromUtf8("Zapisz"), QString::fromUtf8("Zapisz"),
                            ikonaStylu("document-save", QStyle::SP_DialogSaveButton), [this] { zapisz(); });
    actZapisz_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    toolBar_->addSeparator();

    dodajAkcje("SBZamknij", QString::fromUtf8("Zamknij"), QString::fromUtf8("Zamknij"),
               ikonaStylu("window-close", QStyle::SP_DialogCloseButton), [this] { close(); });

    auto* scroll = new PageScroll(this);
    scroll->setObjectName(QStringLiteral("ObszarStrony"));
    scroll->setWidgetResizable(false);
    scroll->setAlignment(Qt::AlignCenter);
    scroll->setBackgroundRole(QPalette::Dark);
    scroll->setFrameShape(QFrame::NoFrame);
    view_ = new PageView(scroll);
    view_->setStore(&store_);
    scroll->setWidget(view_);
    scroll->resized = [this] { ustawZoom(zoom_); };
    scroll_ = scroll;
    setCentralWidget(scroll_);
    // The page, not the first button, has the keyboard when the window opens.
    scroll_->setFocus(Qt::OtherFocusReason);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("PanelStrony"));
    status_->setContentsMargins(4, 0, 4, 0);
    statusBar()->addWidget(status_, 1);
    statusBar()->setSizeGripEnabled(false);

    ustawZoom(Zoom::WholePage);
    ShowNumberOfPage(0);
}

TFPreview::~TFPreview() {
    // The store goes before the view that points at it.
    if (view_ != nullptr) view_->setStore(nullptr);
}

QAction* TFPreview::dodajAkcje(const char* objectName, const QString& text, const QString& hint,
                               const QIcon& icon, const std::function<void()>& slot) {
    auto* action = new QAction(icon, text, this);
    action->setObjectName(QString::fromLatin1(objectName));
    action->setToolTip(hint);
    connect(action, &QAction::triggered, this, slot);
    toolBar_->addAction(action);
    if (QWidget* button = toolBar_->widgetForAction(action))
        button->setObjectName(QString::fromLatin1(objectName));
    return action;
}

void TFPreview::ShowNumberOfPage(int n) {
    status_->setText(QString::fromUtf8("Strona: %1/%2").arg(n).arg(store_.pageCount()));
}

QString TFPreview::statusText() const {
    return status_->text();
}

double TFPreview::pixelsPerMm() const {
    return view_->scale();
}

QWidget* TFPreview::pageView() const {
    return view_;
}

void TFPreview::pokazBiezaca() {
    view_->update();
    ShowNumberOfPage(store_.currentPage());
}

// ---- navigation

void TFPreview::pierwsza() {
    puscZdarzenia();
    store_.setCurrentPage(1);
    scroll_->verticalScrollBar()->setValue(0);
    pokazBiezaca();
}

void TFPreview::poprzednia() {
    puscZdarzenia();
    if (store_.currentPage() > 1) {
        store_.setCurrentPage(store_.currentPage() - 1);
        scroll_->verticalScrollBar()->setValue(0);
    }
    pokazBiezaca();
}

void TFPreview::nastepna() {
    puscZdarzenia();
    if (store_.currentPage() < store_.pageCount()) {
        store_.setCurrentPage(store_.currentPage() + 1);
        scroll_->verticalScrollBar()->setValue(0);
    }
    pokazBiezaca();
}

void TFPreview::ostatnia() {
    puscZdarzenia();
    store_.setCurrentPage(store_.pageCount());
    scroll_->verticalScrollBar()->setValue(0);
    pokazBiezaca();
}

// ---- zoom

void TFPreview::calaStrona() {
    puscZdarzenia();
    ustawZoom(Zoom::WholePage);
}

void TFPreview::normalny() {
    puscZdarzenia();
    ustawZoom(Zoom::Normal);
}

void TFPreview::calaSzerokosc() {
    puscZdarzenia();
    ustawZoom(Zoom::PageWidth);
}

void TFPreview::ustawZoom(Zoom zoom) {
    zoom_ = zoom;
    const QSize room = static_cast<PageScroll*>(scroll_)->room();
    const int bar = scroll_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll_);
    const double widthMm = store_.pageWidthMm() > 0 ? store_.pageWidthMm() : PageStore::kA4WidthMm;
    const double heightMm = store_.pageHeightMm() > 0 ? store_.pageHeightMm() : PageStore::kA4HeightMm;
    const double usableW = std::max(1, room.width() - 2 * kMargines - kCien);
    const double usableH = std::max(1, room.height() - 2 * kMargines - kCien);
    double scale = 1;
    switch (zoom) {
        case Zoom::WholePage:
            scale = std::min(usableW / widthMm, usableH / heightMm);
            break;
        case Zoom::Normal:
            scale = view_->logicalDpiX() / 25.4;
            break;
        case Zoom::PageWidth:
            scale = usableW / widthMm;
            // A page taller than the window brings the vertical scroll bar,
            // which takes its width from the page.
            if (heightMm * scale + 2 * kMargines > room.height())
                scale = std::max(1.0, usableW - bar) / widthMm;
            break;
    }
    // The visible area the view fills: less the bars a bigger page brings.
    QSize visible = room;
    const int paperW = static_cast<int>(std::lround(widthMm * scale)) + 2 * kMargines;
    const int paperH = static_cast<int>(std::lround(heightMm * scale)) + 2 * kMargines;
    if (paperH > room.height()) visible.rwidth() -= bar;
    if (paperW > visible.width()) visible.rheight() -= bar;
    view_->rozmiesc(scale, visible);
}

// ---- preparation

FillResult TFPreview::przygotuj(const std::function<FillResult(PageStore&)>& prepare) {
    preparing_ = true;
    stopRequested_ = false;
    ustawDostepnosc();
    // Whatever way the preparation ends, the listener and the wait window go.
    struct Koniec {
        TFPreview& okno;
        ~Koniec() {
            okno.store_.setPageListener(nullptr);
            okno.preparing_ = false;
            if (okno.waitShown_) {
                app::ZamknijCzekaj();
                okno.waitShown_ = false;
            }
            okno.ustawDostepnosc();
        }
    };
    FillResult result = FillResult::Done;
    {
        const Koniec koniec{*this};
        store_.setPageListener([this](int pageNumber) { return przygotowanaStrona(pageNumber); });
        result = prepare(store_);
    }
    if (stopRequested_) result = FillResult::Cancelled;
    if (result == FillResult::Done) {
        store_.setCurrentPage(1);
        ustawZoom(zoom_);
        pokazBiezaca();
    }
    return result;
}

bool TFPreview::przygotowanaStrona(int pageNumber) {
    if (pageNumber == 1) {
        app::PokazCzekaj(QString::fromUtf8("Tworzenie raportu..."), false);
        waitShown_ = true;
        store_.setCurrentPage(1);
        ustawZoom(zoom_);
        pokazBiezaca();
    } else {
        // Page 1 stays on screen; only the count grows.
        ShowNumberOfPage(store_.currentPage());
    }
    // The window paints and Esc reaches the wait window: at once for page 1,
    // then a few times a second, not after every page of a long list.
    if (pageNumber == 1 || !zdarzenia_.isValid() || zdarzenia_.elapsed() >= 50) {
        puscZdarzenia();
        zdarzenia_.start();
    }
    if (stopRequested_ || app::Przerwano()) {
        stopRequested_ = true;
        app::ZamknijCzekaj();
        waitShown_ = false;
        return false;
    }
    return true;
}

void TFPreview::ustawDostepnosc() {
    const bool ready = !preparing_;
    actDrukuj_->setEnabled(ready);
    actUstawienia_->setEnabled(ready);
    actOtworz_->setEnabled(ready);
    actZapisz_->setEnabled(ready);
}

// ---- printing

void TFPreview::drukuj() {
    if (preparing_) return;
    actDrukuj_->setEnabled(false);
    app::PokazCzekaj(QString::fromUtf8("Drukowanie raportu..."), false);
    QString error;
    const bool ok = drukujStrony(store_, printerIndex, &error, printer_.get());
    actDrukuj_->setEnabled(true);
    app::ZamknijCzekaj();
    if (!ok) komunikat(error);
}

void TFPreview::ustawieniaDrukarki() {
    if (preparing_) return;
    platform::Printers& system = platform::printers();
    if (printer_ == nullptr) {
        printer_ = system.open(printerIndex);
        if (printer_ == nullptr) {
            komunikat(brakDrukarkiKomunikat());
            return;
        }
    }
    // The printer chosen there is the one this preview prints on.
    if (system.setupDialog(this, *printer_)) {
        const int current = system.currentIndex();
        if (current >= 0) printerIndex = current;
    }
}

// ---- files

void TFPreview::otworz() {
    if (preparing_) return;
    platform::FileDialogRequest request;
    request.title = QString::fromUtf8("Otwórz raport");
    request.filters = QStringList{QStringLiteral("raport (*.qrp)")};
    const platform::FileDialogResult chosen = platform::dialogs().openFile(this, request);
    if (!chosen.accepted || chosen.path.isEmpty()) return;
    const QString nieMozna = QString::fromUtf8("Nie można odczytać: ") + chosen.path;
    if (!QFileInfo::exists(chosen.path)) {
        komunikat(nieMozna);
        return;
    }
    QString error;
    if (!loadQrp(store_, chosen.path, &error)) {
        komunikat(nieMozna + QStringLiteral("\n") + error);
        return;
    }
    store_.setCurrentPage(1);
    ustawZoom(zoom_);
    scroll_->verticalScrollBar()->setValue(0);
    pokazBiezaca();
    setWindowTitle(tytulOkna() + QStringLiteral(": ") + chosen.path);
}

void TFPreview::zapisz() {
    if (preparing_) return;
    const std::vector<ExportFormat>& formats = exportFormats();
    platform::FileDialogRequest request;
    request.title = QString::fromUtf8("Zapisz raport");
    request.filters = QStringList{QStringLiteral("raport (*.qrp)")};
    for (const ExportFormat& f : formats) request.filters << f.filter;
    const platform::FileDialogResult chosen = platform::dialogs().saveFile(this, request);
    if (!chosen.accepted || chosen.path.isEmpty()) return;

    QString error;
    bool ok = false;
    const int type = chosen.filterIndex;  // 0 the prepared report, then the exports
    if (type <= 0 || type > static_cast<int>(formats.size())) {
        QString path = chosen.path;
        if (!path.contains(QLatin1Char('.'))) path += QStringLiteral(".qrp");
        ok = saveQrp(store_, path, &error);
    } else {
        const ExportFormat& format = formats.at(static_cast<std::size_t>(type - 1));
        ok = format.write(store_, chosen.path, reportTitle, &error);
    }
    if (!ok) komunikat(error);
}

void TFPreview::komunikat(const QString& text) {
    platform::dialogs().message(this, edition::TytulKomunikatu(), text,
                                platform::MessageIcon::Error);
}

// ---- closing

void TFPreview::closeEvent(QCloseEvent* event) {
    if (preparing_) {
        // Closing while the pages are made stops the making; the window
        // closes once the preparation has returned.
        stopRequested_ = true;
        event->ignore();
        return;
    }
    view_->setStore(nullptr);
    app::ZamknijCzekaj();
    QMainWindow::closeEvent(event);
}

void TFPreview::keyPressEvent(QKeyEvent* event) {
    // Esc that reaches this window while the pages are made belongs to the
    // wait window (a modal print-set dialog behind may keep it from getting
    // keys itself).
    if (preparing_ && event->key() == Qt::Key_Escape && app::oknoCzekaj() != nullptr) {
        QKeyEvent copy(event->type(), event->key(), event->modifiers());
        QCoreApplication::sendEvent(app::oknoCzekaj(), &copy);
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// ---- one preview

namespace {

void zamknijIUsun(QPointer<TFPreview>& okno) {
    if (okno.isNull()) return;
    okno->close();
    delete okno.data();
}

}  // namespace

bool ShowReportPreview(const QString& title, int printerIndex,
                       const std::function<FillResult(PageStore&)>& prepare, QWidget* parent) {
    // A modal window (the print-set dialog) would block a window that is
    // not its own: the preview then belongs to it.
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr) owner = parent;
    auto* window = new TFPreview(owner);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->reportTitle = title;
    window->printerIndex = printerIndex;
    window->showMaximized();
    QPointer<TFPreview> okno(window);

    const FillResult result = window->przygotuj(prepare);
    if (okno.isNull()) return false;
    if (result == FillResult::Cancelled) {
        zamknijIUsun(okno);
        return false;
    }
    if (previewTestHook) {
        previewTestHook(*window);
        zamknijIUsun(okno);
        return true;
    }
    QEventLoop loop;
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
    return true;
}

}  // namespace kmx::reports
