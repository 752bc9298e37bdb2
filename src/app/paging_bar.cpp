#include "app/paging_bar.h"

#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QFocusEvent>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QToolButton>

#include <algorithm>
#include <climits>

#include "app/result_grid.h"
#include "data/dataset.h"

namespace kmx::app {

namespace {

constexpr int kBarWidth = 251;
constexpr int kBarHeight = 33;
constexpr int kButton = 23;
constexpr int kLabelHeight = 16;

enum Arrow { ToFirst, Back, Forward, ToLast };

// A small black arrow, with a stop bar for the first and last page.
QIcon arrowIcon(int arrow) {
    QPixmap pix(12, 12);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(32, 32, 32));
    const bool left = arrow == ToFirst || arrow == Back;
    const bool stop = arrow == ToFirst || arrow == ToLast;
    const int tipX = left ? (stop ? 3 : 2) : (stop ? 8 : 9);
    const int baseX = left ? (stop ? 9 : 8) : (stop ? 2 : 3);
    p.drawPolygon(QPolygon({QPoint(tipX, 6), QPoint(baseX, 1), QPoint(baseX, 11)}));
    if (stop) p.drawRect(left ? QRect(1, 1, 2, 10) : QRect(9, 1, 2, 10));
    return QIcon(pix);
}

QFont barFont() {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    return f;
}

}  // namespace

PagingBar::PagingBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("pasekStron"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFixedSize(kBarWidth, kBarHeight);
    setFont(barFont());

    bPierwsza_ = przycisk("bPierwszaStrona", QStringLiteral("Pierwsza strona"), ToFirst, 4);
    bPoprzednia_ = przycisk("bPoprzedniaStrona", QStringLiteral("Poprzednia strona"), Back, 28);

    lblPrzewijaj_ = new QLabel(QStringLiteral("Przewijaj o"), this);
    lblPrzewijaj_->setObjectName(QStringLiteral("lblPrzewijajO"));
    lblPrzewijaj_->setGeometry(55, 8, 56, kLabelHeight);
    lblPrzewijaj_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    cbKrok_ = new QComboBox(this);
    cbKrok_->setObjectName(QStringLiteral("cbKrok"));
    cbKrok_->setEditable(true);
    cbKrok_->setInsertPolicy(QComboBox::NoInsert);
    for (const int n : {1, 2, 3, 4, 5, 10, 15, 20, 25, 50}) cbKrok_->addItem(QString::number(n));
    cbKrok_->setMaxVisibleItems(10);
    cbKrok_->setGeometry(114, 6, 47, 21);
    cbKrok_->setEditText(QStringLiteral("1"));
    cbKrok_->installEventFilter(this);
    cbKrok_->lineEdit()->installEventFilter(this);

    lblJednostka_ = new QLabel(jednostkaKroku(1), this);
    lblJednostka_->setObjectName(QStringLiteral("lblJednostkaKroku"));
    lblJednostka_->setGeometry(164, 8, 36, kLabelHeight);

    bNastepna_ = przycisk("bNastepnaStrona", QStringLiteral("Następna strona"), Forward, 200);
    bOstatnia_ = przycisk("bOstatniaStrona", QStringLiteral("Ostatnia strona"), ToLast, 224);

    etykieta(lblIlStron_, "lblIlStron", QStringLiteral("Il. stron:"), false);
    etykieta(valIlStron_, "lblIlStronWartosc", QStringLiteral("1"), true);
    etykieta(lblNrStrony_, "lblNrStrony", QStringLiteral("Nr strony:"), false);
    etykieta(valNrStrony_, "lblNrStronyWartosc", QStringLiteral("1"), true);
    etykieta(lblIloscPozycji_, "lblIloscPozycji", QStringLiteral("Ilość pozycji:"), false);
    etykieta(valIloscPozycji_, "lblIloscPozycjiWartosc", QStringLiteral("1"), true);

    connect(cbKrok_, &QComboBox::editTextChanged, this, [this] { zmianaKroku(); });

    auto target = [this] { return cel_ ? cel_() : Cel{}; };
    connect(bPierwsza_, &QToolButton::clicked, this, [this, target] {
        PierwszaStrona(target().set);
        emit pierwszaStronaKliknieta();
    });
    connect(bPoprzednia_, &QToolButton::clicked, this, [this, target] {
        const Cel c = target();
        PoprzedniaStrona(c.set, c.linesPerPage);
        emit poprzedniaStronaKliknieta();
    });
    connect(bNastepna_, &QToolButton::clicked, this, [this, target] {
        const Cel c = target();
        NastepnaStrona(c.set, c.linesPerPage);
        emit nastepnaStronaKliknieta();
    });
    connect(bOstatnia_, &QToolButton::clicked, this, [this, target] {
        OstatniaStrona(target().set);
        emit ostatniaStronaKliknieta();
    });
}

PagingBar::~PagingBar() {
    if (grupa_) grupa_->removeEventFilter(this);
    for (QLabel* label : {lblIlStron_, valIlStron_, lblNrStrony_, valNrStrony_, lblIloscPozycji_, valIloscPozycji_}) {
        if (label) {
            label->disconnect(this);
            delete label;
        }
    }
}

QToolButton* PagingBar::przycisk(const char* name, const QString& hint, int arrow, int x) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setIcon(arrowIcon(arrow));
    b->setIconSize(QSize(12, 12));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(x, (kBarHeight - kButton) / 2, kButton, kButton);
    return b;
}

void PagingBar::etykieta(QLabel*& slot, const char* name, const QString& text, bool value) {
    auto* label = new QLabel(text, parentWidget());
    slot = label;
    connect(label, &QObject::destroyed, this, [&slot] { slot = nullptr; });
    label->setObjectName(QString::fromLatin1(name));
    QFont f = barFont();
    f.setBold(value);
    label->setFont(f);
    label->resize(label->sizeHint().width(), kLabelHeight);
}

// ------------------------------------------------------------------ placement

void PagingBar::przeniesDo(QWidget* headerGroup, bool naglowekListyTowarowDostawcy) {
    if (grupa_ && grupa_ != headerGroup) grupa_->removeEventFilter(this);
    grupa_ = headerGroup;
    naglowekTowarowDostawcy_ = naglowekListyTowarowDostawcy;
    setParent(headerGroup);
    for (QLabel* label : {lblIlStron_, valIlStron_, lblNrStrony_, valNrStrony_, lblIloscPozycji_, valIloscPozycji_}) {
        if (label) label->setParent(headerGroup);
    }
    if (headerGroup) headerGroup->installEventFilter(this);
    rozmiesc();
}

void PagingBar::rozmiesc() {
    QLabel* const ilStron = lblIlStron_;
    QLabel* const ilStronW = valIlStron_;
    QLabel* const nrStrony = lblNrStrony_;
    QLabel* const nrStronyW = valNrStrony_;
    QLabel* const pozycje = lblIloscPozycji_;
    QLabel* const pozycjeW = valIloscPozycji_;
    if (!ilStron || !ilStronW || !nrStrony || !nrStronyW || !pozycje || !pozycjeW) return;

    const int top = naglowekTowarowDostawcy_ ? 18 : 10;
    const int rowsTop = naglowekTowarowDostawcy_ ? 48 : 30;
    constexpr int valueWidth = 56;

    const int caption1 = std::max(ilStron->sizeHint().width(), nrStrony->sizeHint().width());
    const int column1 = caption1 + 4 + valueWidth;
    const int caption2 = pozycje->sizeHint().width();
    const int column2 = caption2 + 4 + valueWidth;
    const int block = kBarWidth + 10 + column1 + 12 + column2;
    QWidget* const group = grupa_.data();
    const int groupWidth = group ? group->width() : block + 16;
    const int x0 = std::max(8, groupWidth - 8 - block);
    const int x1 = x0 + kBarWidth + 10;
    const int x2 = x1 + column1 + 12;

    move(x0, top);
    ilStron->setGeometry(x1, top, caption1, kLabelHeight);
    ilStronW->setGeometry(x1 + caption1 + 4, top, valueWidth, kLabelHeight);
    nrStrony->setGeometry(x1, top + 20, caption1, kLabelHeight);
    nrStronyW->setGeometry(x1 + caption1 + 4, top + 20, valueWidth, kLabelHeight);
    pozycje->setGeometry(x2, rowsTop, caption2, kLabelHeight);
    pozycjeW->setGeometry(x2 + caption2 + 4, rowsTop, valueWidth, kLabelHeight);

    if (group) {
        show();
        raise();
        for (QLabel* label : {ilStron, ilStronW, nrStrony, nrStronyW, pozycje, pozycjeW}) {
            label->show();
            label->raise();
        }
    }
}

bool PagingBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grupa_ && event->type() == QEvent::Resize) {
        rozmiesc();
        return false;
    }
    if (watched == cbKrok_ || watched == cbKrok_->lineEdit()) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!klawiszKrokuDozwolony(key->text())) return true;  // refused without a message
        } else if (event->type() == QEvent::FocusOut) {
            uzupelnijPustyKrok();
        }
    }
    return QFrame::eventFilter(watched, event);
}

// ------------------------------------------------------------------- counters

void PagingBar::UstawIloscStron(int pages) {
    if (valIlStron_) valIlStron_->setText(QString::number(pages));
}

void PagingBar::UstawNumerStrony(int page) {
    if (valNrStrony_) valNrStrony_->setText(QString::number(page));
}

void PagingBar::UstawIloscPozycji(int rows) {
    if (valIloscPozycji_) valIloscPozycji_->setText(QString::number(rows));
}

int PagingBar::iloscPozycji() const {
    if (!valIloscPozycji_) return 0;
    bool ok = false;
    const int n = valIloscPozycji_->text().trimmed().toInt(&ok);
    return ok ? n : 0;
}

// ------------------------------------------------------------ page step field

bool PagingBar::klawiszKrokuDozwolony(const QString& typed) {
    if (typed.isEmpty()) return true;
    if (typed.size() != 1) return false;
    const QChar c = typed.front();
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('\b') ||
           c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

int PagingBar::krok() const {
    bool ok = false;
    const int n = cbKrok_->currentText().trimmed().toInt(&ok);
    return ok && n > 0 ? n : 0;
}

QString PagingBar::tekstKroku() const {
    return cbKrok_->currentText();
}

void PagingBar::ustawTekstKroku(const QString& text) {
    cbKrok_->setEditText(text);
}

QString PagingBar::jednostka() const {
    return lblJednostka_->text();
}

void PagingBar::zmianaKroku() {
    const QString text = cbKrok_->currentText().trimmed();
    // An emptied field stays empty while it is being edited; leaving it or a
    // page button puts "1" back.
    if (text.isEmpty()) return;
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n <= 0) {
        cbKrok_->setEditText(QStringLiteral("1"));  // changes again and sets the unit
        return;
    }
    lblJednostka_->setText(jednostkaKroku(n));
}

void PagingBar::uzupelnijPustyKrok() {
    if (cbKrok_->currentText().trimmed().isEmpty()) cbKrok_->setEditText(QStringLiteral("1"));
}

// ---------------------------------------------------------------------- rules

int PagingBar::PrzewinStrony(data::DataSet& set, int linesPerPage, bool forward) {
    if (!set.active()) return 0;
    // A grid too low for one line still turns by one line, as the page count
    // counts it.
    const long long lines = linesPerPage > 0 ? linesPerPage : 1;
    const long long distance = std::min<long long>(static_cast<long long>(krok()) * lines, INT_MAX);
    if (distance == 0) return 0;
    return set.moveBy(static_cast<int>(forward ? distance : -distance));
}

void PagingBar::NastepnaStrona(data::DataSet* set, int linesPerPage) {
    if (cbKrok_->currentText().trimmed().isEmpty()) {
        cbKrok_->setEditText(QStringLiteral("1"));
        return;
    }
    if (set) PrzewinStrony(*set, linesPerPage, true);
}

void PagingBar::PoprzedniaStrona(data::DataSet* set, int linesPerPage) {
    if (cbKrok_->currentText().trimmed().isEmpty()) {
        cbKrok_->setEditText(QStringLiteral("1"));
        return;
    }
    if (set) PrzewinStrony(*set, linesPerPage, false);
}

void PagingBar::PierwszaStrona(data::DataSet* set) {
    if (set && set->active()) set->first();
    uzupelnijPustyKrok();
}

void PagingBar::OstatniaStrona(data::DataSet* set) {
    if (set && set->active()) {
        // The last row of a large result is known once every key is read.
        const bool czekaj = !set->complete();
        if (czekaj) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        set->last();
        if (czekaj) QGuiApplication::restoreOverrideCursor();
    }
    uzupelnijPustyKrok();
}

void PagingBar::UstawPrzyciskiStron(const data::DataSet* active, int shownCount) {
    if (!active || !active->active()) return;
    const int row = active->recNo();
    const bool notFirst = row > 1;
    const bool notLast = row != shownCount;
    bPierwsza_->setEnabled(notFirst);
    bPoprzednia_->setEnabled(notFirst);
    bNastepna_->setEnabled(notLast);
    bOstatnia_->setEnabled(notLast);
}

}  // namespace kmx::app
