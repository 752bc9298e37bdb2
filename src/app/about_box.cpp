#include "app/about_box.h"

#include "editions/edition.h"

#include "app/constants.h"
#include "platform/links.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace kmx::app {

namespace {

constexpr int kSzerokosc = 373;
constexpr int kWysokosc = 358;
constexpr int kWysPasa = 96;
constexpr int kIkona = 64;
constexpr int kMargines = 8;

// Makes the font of a one-line label smaller until its text fits the width.
void zmiescWLinii(QLabel* label, int width) {
    label->setWordWrap(false);
    QFont font = label->font();
    int pixels = QFontInfo(font).pixelSize();
    while (pixels > 8 && QFontMetrics(font).horizontalAdvance(label->text()) > width) {
        font.setPixelSize(--pixels);
    }
    label->setFont(font);
}

QLabel* etykieta(QWidget* parent, const QString& name, const QString& text, bool bold) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label->setWordWrap(true);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

// The address as the user reads it: without "http://" or "https://".
QString opisAdresu(const QString& address) {
    QString text = address;
    for (const QLatin1String scheme : {QLatin1String("https://"), QLatin1String("http://")}) {
        if (text.startsWith(scheme, Qt::CaseInsensitive)) {
            text = text.mid(scheme.size());
            break;
        }
    }
    return text;
}

QLabel* link(QWidget* parent, const QString& name, const QString& before, const QString& href,
             const QString& shown) {
    auto* label = etykieta(parent, name,
                           before.toHtmlEscaped() + QStringLiteral("<a href=\"") + href.toHtmlEscaped() +
                               QStringLiteral("\">") + shown.toHtmlEscaped() + QStringLiteral("</a>"),
                           false);
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(false);
    label->setOpenExternalLinks(false);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

}  // namespace

QPixmap ikonaProgramu(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // A blue tile with a white "K" and a golden price tag in its corner.
    QPainterPath tile;
    tile.addRoundedRect(QRectF(s * 0.03, s * 0.03, s * 0.94, s * 0.94), s * 0.16, s * 0.16);
    p.fillPath(tile, QColor(0, 98, 167));
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(qMax(6, static_cast<int>(s * 0.62)));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, -s * 0.04, s * 0.86, s), Qt::AlignCenter, QStringLiteral("K"));
    QPainterPath tag;
    const QRectF tagRect(s * 0.58, s * 0.58, s * 0.32, s * 0.26);
    tag.moveTo(tagRect.left(), tagRect.center().y());
    tag.lineTo(tagRect.left() + tagRect.width() * 0.3, tagRect.top());
    tag.lineTo(tagRect.right(), tagRect.top());
    tag.lineTo(tagRect.right(), tagRect.bottom());
    tag.lineTo(tagRect.left() + tagRect.width() * 0.3, tagRect.bottom());
    tag.closeSubpath();
    p.fillPath(tag, QColor(245, 190, 40));
    p.setBrush(QColor(0, 98, 167));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(tagRect.left() + tagRect.width() * 0.33, tagRect.center().y()), s * 0.035,
                  s * 0.035);
    return pixmap;
}

FrmAbout::FrmAbout(platform::LinkOpener& links, const QString& wersjaOpis, QWidget* parent)
    : QDialog(parent), links_(links) {
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QStringLiteral("O programie..."));
    setModal(true);
    setFixedSize(kSzerokosc, kWysokosc);

    auto* pas = new QFrame(this);
    pas->setObjectName(QStringLiteral("PanelIkony"));
    pas->setFixedHeight(kWysPasa);
    pas->setAutoFillBackground(true);
    QPalette pal = pas->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pas->setPalette(pal);
    auto* ikona = new QLabel(pas);
    ikona->setObjectName(QStringLiteral("ProgramIcon"));
    ikona->setPixmap(ikonaProgramu(kIkona));
    ikona->setFixedSize(kIkona, kIkona);
    auto* pasLayout = new QHBoxLayout(pas);
    pasLayout->addWidget(ikona, 0, Qt::AlignCenter);

    auto* naglowek = etykieta(this, QStringLiteral("ProductName"),
                              edition::tekst(&edition::Edycja::naglowekProduktu), true);
    auto* bazaRobot =
        etykieta(this, QStringLiteral("ProductName2"), QString::fromUtf8(kNaglowekBazyRobot), false);
    wersja_ = etykieta(this, QStringLiteral("Version"), wersjaOpis, false);
    zmiescWLinii(naglowek, kSzerokosc - 2 * kMargines);
    zmiescWLinii(bazaRobot, kSzerokosc - 2 * kMargines);

    auto* linia = new QFrame(this);
    linia->setFrameShape(QFrame::HLine);
    linia->setFrameShadow(QFrame::Sunken);

    const QString email = QString::fromUtf8(kEmailZapytan);
    auto* wydawca = link(this, QStringLiteral("lblWwwWydawcy"), QString(), QString::fromUtf8(kStronaWydawcy),
                         opisAdresu(QString::fromUtf8(kStronaWydawcy)));
    auto* poczta = link(this, QStringLiteral("lblEmail"), QStringLiteral("e-mail: "),
                        QStringLiteral("mailto:") + email, email);
    auto* produkt = link(this, QStringLiteral("lblWwwProduktu"), QString(),
                         QString::fromUtf8(kStronaProduktu), opisAdresu(QString::fromUtf8(kStronaProduktu)));
    for (QLabel* l : {wydawca, poczta, produkt})
        connect(l, &QLabel::linkActivated, this, [this](const QString& address) { otworz(address); });

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    ok->setFixedWidth(88);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* tresc = new QVBoxLayout();
    tresc->setContentsMargins(kMargines, 12, kMargines, 12);
    tresc->setSpacing(6);
    tresc->addWidget(naglowek);
    tresc->addWidget(bazaRobot);
    tresc->addSpacing(6);
    tresc->addWidget(wersja_);
    tresc->addStretch(1);
    tresc->addWidget(linia);
    tresc->addStretch(1);
    tresc->addWidget(wydawca);
    tresc->addWidget(poczta);
    tresc->addWidget(produkt);
    tresc->addStretch(2);
    tresc->addWidget(ok, 0, Qt::AlignHCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pas);
    layout->addLayout(tresc, 1);
}

void FrmAbout::setWersjaOpis(const QString& text) {
    wersja_->setText(text);
}

int FrmAbout::pokaz() {
    return exec();
}

void FrmAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (parentWidget() != nullptr && parentWidget()->screen() != nullptr) screen = parentWidget()->screen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = frameGeometry();
    const QPoint offset = pos() - frame.topLeft();
    move(area.center().x() - frame.width() / 2 + offset.x(),
         area.center().y() - frame.height() / 2 + offset.y());
}

void FrmAbout::otworz(const QString& address) {
    links_.open(address);
}

}  // namespace kmx::app
