#include "app/wait_window.h"

#include "app/constants.h"
#include "platform/dialogs.h"
#include "editions/edition.h"

#include <QApplication>
#include <QColor>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QWidget>

namespace kmx::app {

namespace {

constexpr int kSzerokosc = 265;
constexpr int kWysokosc = 121;
constexpr int kSzerPanelu = 239;
constexpr int kWysPanelu = 95;
constexpr int kGoraZPostepem = 16;
constexpr int kGoraBezPostepu = 30;
constexpr int kSzerPostepu = 165;
constexpr int kWysPostepu = 15;
constexpr int kGoraPostepu = 40;
constexpr int kSzerKomunikatu = 230;
constexpr int kGoraKomunikatu = 62;

QColor tloOkna() {
    return {0, 98, 167};
}
QColor tloPanelu() {
    return {240, 251, 255};
}
QColor kolorTekstu() {
    return {0, 0, 255};
}

// A flat panel in one colour with a one-pixel raised or sunken bevel.
class Bevel : public QWidget {
public:
    Bevel(const QColor& colour, bool sunken, QWidget* parent)
        : QWidget(parent), colour_(colour), sunken_(sunken) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect r = rect();
        p.fillRect(r, colour_);
        const QColor light(255, 255, 255);
        const QColor dark(128, 128, 128);
        p.setPen(sunken_ ? dark : light);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(sunken_ ? light : dark);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }

private:
    QColor colour_;
    bool sunken_;
};

QLabel* niebieskaEtykieta(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, kolorTekstu());
    label->setPalette(pal);
    return label;
}

class TFWait : public Bevel {
public:
    TFWait() : Bevel(tloOkna(), false, nullptr) {
        setObjectName(QStringLiteral("FWait"));
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setWindowTitle(QString::fromUtf8("Proszę czekać..."));
        setFixedSize(kSzerokosc, kWysokosc);
        setFocusPolicy(Qt::StrongFocus);

        auto* panel = new Bevel(tloPanelu(), true, this);
        panel->setObjectName(QStringLiteral("PanelCzekaj"));
        panel->setGeometry((kSzerokosc - kSzerPanelu) / 2, (kWysokosc - kWysPanelu) / 2, kSzerPanelu,
                           kWysPanelu);

        czekaj_ = niebieskaEtykieta(panel, QStringLiteral("LCzekaj"));
        czekaj_->setText(QString::fromUtf8("Proszę czekać..."));
        czekaj_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

        postep_ = new QProgressBar(panel);
        postep_->setObjectName(QStringLiteral("Postep"));
        postep_->setTextVisible(false);
        postep_->setRange(0, 100);
        postep_->setValue(0);
        postep_->setGeometry((kSzerPanelu - kSzerPostepu) / 2, kGoraPostepu, kSzerPostepu, kWysPostepu);

        komunikat_ = niebieskaEtykieta(panel, QStringLiteral("LKomunikat"));
        komunikat_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        komunikat_->setWordWrap(true);
        komunikat_->setGeometry((kSzerPanelu - kSzerKomunikatu) / 2, kGoraKomunikatu, kSzerKomunikatu,
                                kWysPanelu - kGoraKomunikatu - 3);
    }

    void ustaw(const QString& message, bool progress) {
        const int top = progress ? kGoraZPostepem : kGoraBezPostepu;
        czekaj_->setGeometry(0, top, kSzerPanelu, czekaj_->sizeHint().height());
        postep_->setVisible(progress);
        komunikat_->setText(message);
    }

    void wysrodkuj() {
        QScreen* screen = nullptr;
        if (QWidget* active = QApplication::activeWindow(); active != nullptr && active != this)
            screen = active->screen();
        if (screen == nullptr) screen = QGuiApplication::primaryScreen();
        if (screen == nullptr) return;
        const QRect area = screen->availableGeometry();
        move(area.center().x() - width() / 2, area.center().y() - height() / 2);
    }

    QProgressBar& postep() const { return *postep_; }
    bool przerwano = false;
    bool wPytaniu = false;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier) {
            Bevel::keyPressEvent(event);
            return;
        }
        event->accept();
        if (wPytaniu) return;
        wPytaniu = true;
        const QPointer<TFWait> self(this);
        // The question gets the normal arrow over the hourglass.
        QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
        const platform::Answer answer = platform::dialogs().message(
            this, edition::TytulKomunikatu(), QString::fromUtf8("Czy przerwać operację ?"),
            platform::MessageIcon::Question, platform::Buttons::YesNo);
        QApplication::restoreOverrideCursor();
        if (self.isNull()) return;
        wPytaniu = false;
        if (answer == platform::Answer::Yes) przerwano = true;
    }

private:
    QLabel* czekaj_ = nullptr;
    QProgressBar* postep_ = nullptr;
    QLabel* komunikat_ = nullptr;
};

QPointer<TFWait>& okno() {
    static QPointer<TFWait> window;
    return window;
}

// Whether the hourglass of the wait window is on the override-cursor stack.
bool& klepsydra() {
    static bool held = false;
    return held;
}

void ustawKlepsydre() {
    if (klepsydra()) return;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    klepsydra() = true;
}

void zdejmijKlepsydre() {
    if (!klepsydra()) return;
    QApplication::restoreOverrideCursor();
    klepsydra() = false;
}

void odmalujTeraz(TFWait& w) {
    w.repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

void PokazCzekaj(const QString& message, bool progress) {
    ustawKlepsydre();
    TFWait* w = okno().data();
    if (w == nullptr) {
        w = new TFWait();
        okno() = w;
    }
    w->przerwano = false;
    w->ustaw(message, progress);
    if (!w->isVisible()) w->wysrodkuj();
    w->show();
    w->activateWindow();
    w->setFocus(Qt::OtherFocusReason);
    odmalujTeraz(*w);
}

void ZamknijCzekaj() {
    // The hourglass goes even if the window was taken away some other way.
    zdejmijKlepsydre();
    TFWait* w = okno().data();
    okno() = nullptr;
    if (w == nullptr) return;
    w->hide();
    // Never delete the window under its own key handler.
    if (w->wPytaniu)
        w->deleteLater();
    else
        delete w;
}

void UstawZakres(int minimum, int maximum) {
    TFWait* w = okno().data();
    if (w == nullptr) return;
    QProgressBar& g = w->postep();
    g.setRange(minimum, maximum);
    const int lo = g.minimum();
    const int hi = g.maximum();
    g.setValue(0 < lo ? lo : (0 > hi ? hi : 0));
}

void KrokPostepu() {
    TFWait* w = okno().data();
    if (w == nullptr) return;
    QProgressBar& g = w->postep();
    if (g.value() < g.maximum()) g.setValue(g.value() + 1);
}

bool Przerwano() {
    const TFWait* w = okno().data();
    return w != nullptr && w->przerwano;
}

void UkryjCzekaj() {
    TFWait* w = okno().data();
    if (w == nullptr) return;
    w->hide();
    zdejmijKlepsydre();
}

void PrzywrocCzekaj() {
    TFWait* w = okno().data();
    if (w == nullptr) return;
    ustawKlepsydre();
    w->show();
    w->activateWindow();
    odmalujTeraz(*w);
}

QWidget* oknoCzekaj() {
    return okno().data();
}

}  // namespace kmx::app
