#include "app/supplier_panel.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStringList>
#include <QVBoxLayout>

#include "app/goods_panel.h"
#include "app/program_paths.h"
#include "app/wait_window.h"
#include "core/textutil.h"
#include "data/dataset.h"
#include "data/tdm.h"
#include "platform/dialogs.h"
#include "platform/links.h"

namespace kmx::app {

namespace {

constexpr int kSzerokoscLinku = 197;

QLabel* caption(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    return l;
}

QString memo(const std::string& utf8) {
    QString s = QString::fromStdString(utf8);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QString zPola(const data::DataSet& set, std::string_view column, int mode) {
    return QString::fromStdString(pola::odszyfrujPrzytnij(set, column, mode));
}

}  // namespace

// --------------------------------------------------------------- the lines

QString LiniaAdresu(const QString& kodPocztowy, const QString& miejscowosc, const QString& ulicaDom) {
    return kodPocztowy + QLatin1Char(' ') + miejscowosc + QStringLiteral(", ") + ulicaDom;
}

QString LiniaTelefonow(const QString& telefon1, const QString& telefon2, const QString& telefon3) {
    QString line;
    if (!telefon1.isEmpty()) line = telefon1;
    for (const QString* t : {&telefon2, &telefon3}) {
        if (!t->isEmpty()) line += QStringLiteral(", ") + *t;
    }
    return line;
}

QString LiniaOsoby(const QString& imie, const QString& nazwisko, const QString& stanowisko) {
    if (nazwisko.isEmpty()) return {};
    QString line = imie + QLatin1Char(' ') + nazwisko;
    if (!stanowisko.isEmpty()) line += QStringLiteral(", ") + stanowisko;
    return line;
}

QString PierwszyAdresWWW(const QString& addresses) {
    const QString s = QString::fromStdString(trimSpaces(addresses.toStdString()));
    qsizetype end = s.size();
    for (const QChar stop : {QLatin1Char(' '), QLatin1Char(','), QLatin1Char(';')}) {
        const qsizetype at = s.indexOf(stop);
        if (at >= 0 && at < end) end = at;
    }
    return s.left(end);
}

// --------------------------------------------------------------- LogoView

LogoView::LogoView(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(64);
}

void LogoView::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

QSize LogoView::sizeHint() const {
    return {190, 90};
}

void LogoView::paintEvent(QPaintEvent* event) {
    (void)event;
    if (picture_.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QSize size = picture_.size();
    // Only a picture larger than the area is scaled, keeping its proportions.
    if (size.width() > width() || size.height() > height()) size.scale(this->size(), Qt::KeepAspectRatio);
    const QRect target((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(),
                       size.height());
    p.drawPixmap(target, picture_);
}

// --------------------------------------------------------------- SupplierPanel

SupplierPanel::SupplierPanel(data::TDM& tdm, platform::LinkOpener& links, QWidget* parent)
    : QWidget(parent), tdm_(tdm), links_(links) {
    setObjectName(QStringLiteral("DaneDost"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 4, 6, 6);

    auto* powrot = pola::linkPowrotu(this);
    connect(powrot, &QLabel::linkActivated, this, [this] { emit powrotDoListy(); });
    outer->addWidget(powrot, 0, Qt::AlignLeft);

    auto* gr = new QGroupBox(QStringLiteral(" DOSTAWCA "), this);
    gr->setObjectName(QStringLiteral("GrBDostawca"));
    outer->addWidget(gr, 1);
    auto* cols = new QHBoxLayout(gr);
    cols->setContentsMargins(6, 4, 6, 6);
    cols->setSpacing(10);

    // Left: name, tax number, descriptions and branches, captions above.
    auto* left = new QVBoxLayout;
    left->setSpacing(2);
    left->addWidget(caption(QStringLiteral("Nazwa pełna: "), gr));
    left->addWidget(addMemo(gr, "dbNazwaDostawcy", "producent.NAZWA", 2, false));
    {
        auto* h = new QHBoxLayout;
        h->addWidget(new QLabel(QStringLiteral("NIP:"), gr));
        QLineEdit* nip = addLine(gr, "dbNIP", "NIP");
        nip->setMaximumWidth(140);
        h->addWidget(nip);
        h->addStretch(1);
        left->addSpacing(2);
        left->addLayout(h);
    }
    left->addSpacing(2);
    left->addWidget(caption(QStringLiteral("Opis firmy:"), gr));
    opisFirmy_ = addMemo(gr, "mOpisFirmy", "", 3, true);
    left->addWidget(opisFirmy_, 3);
    left->addSpacing(2);
    left->addWidget(caption(QStringLiteral("Branża podstawowa:"), gr));
    branze_ = addMemo(gr, "mBranze", "", 3, false);
    left->addWidget(branze_);
    left->addSpacing(2);
    left->addWidget(caption(QStringLiteral("Zasady udzielania upustów:"), gr));
    upusty_ = addMemo(gr, "mUpusty", "", 2, true);
    left->addWidget(upusty_, 2);
    cols->addLayout(left, 4);

    // Right: address and telephones side by side, internet, the two persons.
    auto* right = new QVBoxLayout;
    right->setSpacing(3);
    auto compact = [](QGridLayout* g) {
        g->setContentsMargins(6, 3, 6, 4);
        g->setHorizontalSpacing(5);
        g->setVerticalSpacing(3);
    };

    auto* adresTel = new QHBoxLayout;
    adresTel->setSpacing(6);
    auto* grAdres = new QGroupBox(QStringLiteral("Adres"), gr);
    grAdres->setObjectName(QStringLiteral("GrBAdres"));
    {
        auto* g = new QGridLayout(grAdres);
        compact(g);
        g->addWidget(new QLabel(QStringLiteral("Kraj:"), grAdres), 0, 0);
        g->addWidget(addLine(grAdres, "dbKraj", "NAZWA_KRAJU"), 0, 1);
        g->addWidget(new QLabel(QStringLiteral("Województwo:"), grAdres), 1, 0);
        g->addWidget(addLine(grAdres, "dbWojewodztwo", "Wojewodztwo.NAZWA"), 1, 1);
        adres_ = addTextLine(grAdres, "lAdres");
        g->addWidget(adres_, 2, 0, 1, 2);
        g->setColumnStretch(1, 1);
    }
    adresTel->addWidget(grAdres, 1);

    auto* grTel = new QGroupBox(QStringLiteral("Telefony, Fax"), gr);
    grTel->setObjectName(QStringLiteral("GrBTel"));
    {
        auto* g = new QGridLayout(grTel);
        compact(g);
        g->addWidget(new QLabel(QStringLiteral("Kierunkowy:"), grTel), 0, 0);
        QLineEdit* kier = addLine(grTel, "dbTelKier", "TEL_KIER");
        kier->setMaximumWidth(60);
        g->addWidget(kier, 0, 1, Qt::AlignLeft);
        g->addWidget(new QLabel(QStringLiteral("Telefony:"), grTel), 1, 0);
        telefony_ = addTextLine(grTel, "lTelefony");
        g->addWidget(telefony_, 1, 1);
        g->addWidget(new QLabel(QStringLiteral("Fax:"), grTel), 2, 0);
        g->addWidget(addLine(grTel, "dbFaks", "FAKS"), 2, 1);
        g->setColumnStretch(1, 1);
    }
    adresTel->addWidget(grTel, 1);
    right->addLayout(adresTel);

    auto* grNet = new QGroupBox(QStringLiteral("Internet"), gr);
    grNet->setObjectName(QStringLiteral("GrBInternet"));
    {
        auto* h = new QHBoxLayout(grNet);
        h->setContentsMargins(6, 3, 6, 4);
        auto* linki = new QGridLayout;
        linki->setHorizontalSpacing(5);
        linki->setVerticalSpacing(3);
        linki->addWidget(new QLabel(QStringLiteral("Strona WWW:"), grNet), 0, 0);
        linkWWW_ = addLink(grNet, "lStronaWWW", "");
        connect(linkWWW_, &QLabel::linkActivated, this, [this] { otworzStroneWWW(); });
        linki->addWidget(linkWWW_, 0, 1);
        linki->addWidget(new QLabel(QStringLiteral("e-mail:"), grNet), 1, 0);
        QLabel* email = addLink(grNet, "lEmail", "EMAIL_PODSTAWOWY");
        connect(email, &QLabel::linkActivated, this, [this] { otworzEmail(); });
        linki->addWidget(email, 1, 1);
        linki->addWidget(new QLabel(QStringLiteral("e-mail dział handlowy:"), grNet), 2, 0);
        QLabel* handel = addLink(grNet, "lEmailHandlowy", "EMAIL_DZIAL_HANDLOWY");
        connect(handel, &QLabel::linkActivated, this, [this] { otworzEmailHandlowy(); });
        linki->addWidget(handel, 2, 1);
        linki->setColumnStretch(1, 1);
        h->addLayout(linki, 1);

        logo_ = new LogoView(grNet);
        logo_->setObjectName(QStringLiteral("imgLogo"));
        logo_->setFixedSize(150, 70);
        auto* inLogo = new QVBoxLayout(logo_);
        inLogo->setContentsMargins(0, 0, 0, 0);
        brakLogo_ = new QLabel(QStringLiteral("Brak logo dostawcy"), logo_);
        brakLogo_->setObjectName(QStringLiteral("lBrakLogo"));
        brakLogo_->setAlignment(Qt::AlignCenter);
        inLogo->addWidget(brakLogo_);
        h->addWidget(logo_, 0, Qt::AlignVCenter);
    }
    right->addWidget(grNet);

    auto osoba = [&](const char* name, const QString& title, const char* lineName, const char* telName,
                     const char* telColumn, const char* mailName, const char* mailColumn) {
        auto* box = new QGroupBox(title, gr);
        box->setObjectName(QString::fromLatin1(name));
        auto* g = new QGridLayout(box);
        compact(g);
        QLineEdit* line = addTextLine(box, lineName);
        g->addWidget(line, 0, 0, 1, 4);
        g->addWidget(new QLabel(QStringLiteral("Tel:"), box), 1, 0);
        QLineEdit* tel = addLine(box, telName, telColumn);
        tel->setMaximumWidth(120);
        g->addWidget(tel, 1, 1);
        g->addWidget(new QLabel(QStringLiteral("e-mail:"), box), 1, 2);
        g->addWidget(addLine(box, mailName, mailColumn), 1, 3);
        g->setColumnStretch(3, 1);
        right->addWidget(box);
        return line;
    };
    osobaOH_ = osoba("GrBOH", QStringLiteral("Dane osoby odpowiedzialnej za sprawy handlowe:"), "lOsobaOH",
                     "dbTelefonOSH", "TELEFON_OSH", "dbEmailOSH", "EMAIL_OSH");
    osobaOT_ = osoba("GrBOT", QStringLiteral("Dane osoby odpowiedzialnej za sprawy techniczne:"), "lOsobaOT",
                     "dbTelefonOST", "TELEFON_OST", "dbEmailOST", "EMAIL_OST");
    right->addStretch(1);
    cols->addLayout(right, 6);

    clearAll();
}

QLineEdit* SupplierPanel::addLine(QWidget* parent, const char* objectName, const char* column) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(objectName));
    e->setReadOnly(true);
    bound_.push_back({e, nullptr, column});
    return e;
}

QLineEdit* SupplierPanel::addTextLine(QWidget* parent, const char* objectName) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(objectName));
    e->setReadOnly(true);
    return e;
}

QPlainTextEdit* SupplierPanel::addMemo(QWidget* parent, const char* objectName, const char* column, int lines,
                                       bool scrollBar) {
    auto* m = new QPlainTextEdit(parent);
    m->setObjectName(QString::fromLatin1(objectName));
    m->setReadOnly(true);
    m->setVerticalScrollBarPolicy(scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int lineHeight = QFontMetrics(m->font()).lineSpacing();
    m->setMinimumHeight(lines * lineHeight + 8);
    if (!scrollBar) m->setMaximumHeight(lines * lineHeight + 8);
    if (column[0] != '\0') bound_.push_back({nullptr, m, column});
    return m;
}

QLabel* SupplierPanel::addLink(QWidget* parent, const char* objectName, const char* column) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(objectName));
    l->setTextFormat(Qt::RichText);
    l->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    l->setMaximumWidth(kSzerokoscLinku);
    if (column[0] != '\0') linkFields_.push_back({l, column});
    return l;
}

void SupplierPanel::bind(data::DataSet* set, bool goodsCatalogue) {
    set_ = set;
    goodsCatalogue_ = goodsCatalogue;
}

std::string SupplierPanel::webColumn() const {
    return goodsCatalogue_ ? "producent.adres_WWW" : "adres_WWW";
}

void SupplierPanel::fillBound() {
    for (const BoundField& b : bound_) {
        const QString text = set_ ? pola::tekst(*set_, b.column) : QString();
        if (b.line) {
            b.line->setText(text);
            b.line->setCursorPosition(0);
        } else {
            b.memo->setPlainText(text);
        }
    }
    auto link = [this](QLabel* label, const std::string& column) {
        const QString text = set_ ? pola::tekst(*set_, column) : QString();
        label->setText(pola::etykietaLinku(*label, text, kSzerokoscLinku));
        label->setToolTip(text);
    };
    link(linkWWW_, webColumn());
    for (const LinkField& l : linkFields_) link(l.label, l.column);
}

void SupplierPanel::clearAll() {
    fillBound();
    for (QLineEdit* e : {adres_, telefony_, osobaOH_, osobaOT_}) e->clear();
    for (QPlainTextEdit* m : {opisFirmy_, upusty_, branze_}) m->clear();
    pokazLogo({});
}

void SupplierPanel::refresh() {
    if (set_ && set_->active())
        PokazDaneDostawcy(*set_);
    else
        clearAll();  // a closed set shows nothing
}

void SupplierPanel::PokazDaneDostawcy(data::DataSet& set) {
    fillBound();
    if (!set.active() || set.recNo() <= 0) {
        for (QLineEdit* e : {adres_, telefony_, osobaOH_, osobaOT_}) e->clear();
        for (QPlainTextEdit* m : {opisFirmy_, upusty_, branze_}) m->clear();
        pokazLogo({});
        return;
    }

    adres_->setText(
        LiniaAdresu(zPola(set, "KOD_POCZTOWY", 2), zPola(set, "MIEJSCOWOSC", 2), zPola(set, "ULICA_DOM", 2)));
    telefony_->setText(
        LiniaTelefonow(zPola(set, "TELEFON1", 3), zPola(set, "TELEFON2", 3), zPola(set, "TELEFON3", 3)));
    osobaOH_->setText(LiniaOsoby(zPola(set, "IMIE_OSH", 3), zPola(set, "NAZWISKO_OSH", 3),
                                 zPola(set, "STANOWISKO_OSH", 3)));
    osobaOT_->setText(LiniaOsoby(zPola(set, "IMIE_OST", 3), zPola(set, "NAZWISKO_OST", 3),
                                 zPola(set, "STANOWISKO_OST", 3)));
    for (QLineEdit* e : {adres_, telefony_, osobaOH_, osobaOT_}) e->setCursorPosition(0);

    opisFirmy_->setPlainText(memo(UsunTabulatory(pola::odszyfruj(set, "OPIS_FIRMY", 3))));
    upusty_->setPlainText(memo(UsunTabulatory(pola::odszyfruj(set, "UPUSTY", 3))));

    const int id = pola::znajdz(set, "ID_PRODUCENTA");
    OdkodujBranzeDostawcy(static_cast<long>(id >= 0 ? set.value(id).asInt() : 0));

    pokazLogo(pola::odszyfrujPrzytnij(set, "KOD_PRODUCENTA", 2));
}

void SupplierPanel::pokazLogo(const std::string& kodProducenta) {
    logoFile_.clear();
    QPixmap picture;
    const QString kod = QString::fromStdString(kodProducenta);
    // The code names a file in the logo folder and nothing else: a code that
    // would lead out of the folder gets no logo.
    const bool nazwaPliku = !kod.isEmpty() && !kod.contains(QLatin1Char('/')) &&
                            !kod.contains(QLatin1Char('\\')) && kod != QLatin1String("..");
    if (nazwaPliku) {
        logoFile_ = KatalogProgramu() + QStringLiteral("Logo/") + kod + QStringLiteral(".jpg");
        if (QFileInfo(logoFile_).isFile()) {
            QImageReader reader(logoFile_);
            const QImage image = reader.read();
            if (!image.isNull()) picture = QPixmap::fromImage(image);
        }
    }
    logo_->setPicture(picture);
    brakLogo_->setVisible(picture.isNull());
}

QString SupplierPanel::adres() const {
    return adres_->text();
}
QString SupplierPanel::telefony() const {
    return telefony_->text();
}
QString SupplierPanel::osobaHandlowa() const {
    return osobaOH_->text();
}
QString SupplierPanel::osobaTechniczna() const {
    return osobaOT_->text();
}

void SupplierPanel::OdkodujBranzeDostawcy(long idProducenta) {
    pola::wypelnijNazwami(this, tdm_.QWybrBranza, data::ZapytanieBranzDostawcy(idProducenta), *branze_,
                          QStringLiteral("Nie można wykonać zapytania o branże dostawcy!"));
}

bool SupplierPanel::otworzStroneWWW() {
    if (!set_) return false;
    const QString address = PierwszyAdresWWW(QString::fromStdString(pola::odszyfruj(*set_, webColumn(), 3)));
    if (address.isEmpty()) return false;
    links_.open(address);
    return true;
}

bool SupplierPanel::otworzEmailZ(const char* column) {
    if (!set_) return false;
    const QString address = zPola(*set_, column, 3);
    if (address.isEmpty()) return false;
    links_.open(QStringLiteral("mailto:") + address);
    return true;
}

bool SupplierPanel::otworzEmail() {
    return otworzEmailZ("EMAIL_PODSTAWOWY");
}

bool SupplierPanel::otworzEmailHandlowy() {
    return otworzEmailZ("EMAIL_DZIAL_HANDLOWY");
}

}  // namespace kmx::app
