#include "app/works_page.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "app/result_grid.h"
#include "core/tcsengine.h"
#include "data/dataset.h"
#include "data/tdm.h"
#include "editions/edition.h"
#include "platform/dialogs.h"

namespace kmx::app {

namespace {

QString tekstPola(const data::DataSet& set, const char* name) {
    if (!set.active() || set.recNo() <= 0) return {};
    const int f = set.fieldIndex(name);
    if (f < 0) return {};
    return QString::fromStdString(set.displayText(f));
}

QLineEdit* poleTylkoDoOdczytu(const char* objectName, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(objectName));
    e->setReadOnly(true);
    return e;
}

}  // namespace

// --------------------------------------------------------------- Cena scalona

CenaScalonaDialog::CenaScalonaDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FCenaScalona"));
    setWindowTitle(QStringLiteral("Cena scalona"));
    setModal(true);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
    podstawa_ = poleTylkoDoOdczytu("edPodstawa", this);
    wariant_ = poleTylkoDoOdczytu("edWariant", this);
    opis_ = new QPlainTextEdit(this);
    opis_->setObjectName(QStringLiteral("mOpis"));
    opis_->setReadOnly(true);
    opis_->setMinimumHeight(90);
    jednOb_ = poleTylkoDoOdczytu("edJednOb", this);
    cena_ = poleTylkoDoOdczytu("edCenaJedn", this);
    jednOb_->setMaximumWidth(120);
    cena_->setMaximumWidth(120);
    form->addRow(QStringLiteral("Podstawa:"), podstawa_);
    form->addRow(QStringLiteral("Wariant:"), wariant_);
    form->addRow(QStringLiteral("Opis:"), opis_);
    form->addRow(QStringLiteral("Jedn.ob.:"), jednOb_);
    form->addRow(QStringLiteral("Cena jedn.:"), cena_);

    auto* zamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    zamknij->setObjectName(QStringLiteral("bZamknij"));
    zamknij->setDefault(true);
    connect(zamknij, &QPushButton::clicked, this, &QDialog::accept);

    auto* v = new QVBoxLayout(this);
    v->addLayout(form);
    v->addWidget(zamknij, 0, Qt::AlignRight);
    resize(460, 300);
}

void CenaScalonaDialog::wypelnij(const data::DataSet& qscalone) {
    podstawa_->setText(tekstPola(qscalone, "podstawa"));
    wariant_->setText(tekstPola(qscalone, "wariant"));
    opis_->setPlainText(tekstPola(qscalone, "nazwa"));
    jednOb_->setText(tekstPola(qscalone, "jedn_miary"));
    cena_->setText(tekstPola(qscalone, "cena"));
    for (QLineEdit* e : {podstawa_, wariant_, jednOb_, cena_}) e->setCursorPosition(0);
}

// --------------------------------------------------------------- WorksPage

WorksPage::WorksPage(data::TDM& tdm, TCSEngine& engine, QWidget* parent)
    : QWidget(parent), tdm_(tdm), engine_(engine) {
    setObjectName(QStringLiteral("PCScalone"));

    auto* top = new QGridLayout;
    top->setHorizontalSpacing(6);
    top->addWidget(new QLabel(QStringLiteral("Opis:"), this), 0, 0);
    edOpis_ = new QLineEdit(this);
    edOpis_->setObjectName(QStringLiteral("edOpis"));
    edOpis_->setMinimumWidth(150);
    top->addWidget(edOpis_, 0, 1);

    cbKNR_ = new QComboBox(this);
    cbKNR_->setObjectName(QStringLiteral("cbKNR"));
    cbKNR_->setMinimumWidth(170);
    cbKNR_->setMaxVisibleItems(20);
    cbKNR_->view()->setMinimumWidth(600);
    connect(cbKNR_, &QComboBox::activated, this, &WorksPage::wybranoKNR);
    top->addWidget(cbKNR_, 0, 2);

    top->addWidget(new QLabel(QStringLiteral("Podstawa:"), this), 0, 3);
    edKNR_ = new QLineEdit(this);
    edKNR_->setObjectName(QStringLiteral("edKNR"));
    edKNR_->setMinimumWidth(100);
    top->addWidget(edKNR_, 0, 4);

    bSzukaj_ = new QPushButton(QStringLiteral("Szukaj"), this);
    bSzukaj_->setObjectName(QStringLiteral("bSzukaj"));
    bSzukaj_->setDefault(true);
    connect(bSzukaj_, &QPushButton::clicked, this, [this] { SzukajCenRobot(); });
    top->addWidget(bSzukaj_, 0, 5);

    bWszystkie_ = new QPushButton(QStringLiteral("Wszystkie"), this);
    bWszystkie_->setObjectName(QStringLiteral("bWszystkie"));
    connect(bWszystkie_, &QPushButton::clicked, this, &WorksPage::wszystkie);
    top->addWidget(bWszystkie_, 0, 6);

    lblIlPoz_ = new QLabel(edition::tekst(&edition::Edycja::iloscPozycji).trimmed(), this);
    lblIlPoz_->setObjectName(QStringLiteral("lblIlPoz"));
    // Room for the longer caption of the average-prices edition and a six-digit count.
    lblIlPoz_->setMinimumWidth(
        QFontMetrics(lblIlPoz_->font())
            .horizontalAdvance(edition::tekst(&edition::Edycja::iloscPozycji) + QStringLiteral("000000")) +
        4);
    top->addWidget(lblIlPoz_, 0, 7);
    top->setColumnStretch(1, 2);
    top->setColumnStretch(2, 3);
    top->setColumnStretch(4, 1);
    top->setColumnStretch(8, 1);

    auto* instr = new QHBoxLayout;
    auto* instrText =
        new QLabel(QStringLiteral("Instrukcja eksportu BAZY CEN ROBÓT do programu kosztorysowego"), this);
    instrText->setObjectName(QStringLiteral("lblInstrukcja"));
    instr->addWidget(instrText);
    auto* kliknij = new QLabel(QStringLiteral("<a href=\"#\">kliknij</a>"), this);
    kliknij->setObjectName(QStringLiteral("lKliknij"));
    kliknij->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(kliknij, &QLabel::linkActivated, this, [this] { emit instrukcjaRequested(); });
    instr->addWidget(kliknij);
    instr->addStretch(1);

    std::vector<GridColumn> columns = {
        {QStringLiteral("Podstawa"), QStringLiteral("podstawa"), 148},
        {QStringLiteral("Wariant"), QStringLiteral("wariant"), 93},
        {QStringLiteral("Nazwa"), QStringLiteral("nazwa"), 503},
        {QStringLiteral("J.ob."), QStringLiteral("jedn_miary"), 46},
        // Wide enough for a price in thousands ("7341,60"); the name column
        // gives up the difference, so the row keeps its width.
        {QStringLiteral("C.j."), QStringLiteral("cena"), 62, Qt::AlignRight | Qt::AlignVCenter},
    };
    // The work name sorts by its rank column; the name is matched exactly.
    grid_ = new ResultGrid(
        tdm_.Qscalone, std::move(columns),
        [](const QString& field) {
            return field == QLatin1String("nazwa") ? QStringLiteral("idx_nazwa") : QString();
        },
        this);
    grid_->setObjectName(QStringLiteral("DBGridScalone"));
    connect(grid_, &ResultGrid::rowActivated, this, [this] { otworzCeneScalona(); });
    connect(grid_, &ResultGrid::enterPressed, this, [this] { otworzCeneScalona(); });

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(6, 6, 6, 6);
    v->addLayout(top);
    v->addLayout(instr);
    v->addWidget(grid_, 1);

    dialog_ = new CenaScalonaDialog(this);
    runDialog_ = [](CenaScalonaDialog& d) { d.exec(); };
}

bool WorksPage::WypelnijListeKNR(QString* error) {
    cbKNR_->clear();
    data::DataSet& q = tdm_.QKnr;
    std::string message;
    if (!q.open(message)) {
        if (error) *error = QString::fromStdString(message);
        cbKNR_->setCurrentIndex(-1);
        return false;
    }
    const int fGrupa = q.fieldIndex("grupa_nazwa");
    const int fNazwa = q.fieldIndex("nazwa");
    const int fKlucz = q.fieldIndex("grupa_identyf");
    for (int r = 0; r < q.recordCount(); ++r) {
        const QString text = QString::fromStdString(q.displayText(r, fGrupa)) + QLatin1Char(' ') +
                             QString::fromStdString(q.displayText(r, fNazwa));
        cbKNR_->addItem(text, QString::fromStdString(q.displayText(r, fKlucz)));
    }
    q.close();
    cbKNR_->setCurrentIndex(-1);
    if (error) error->clear();
    return true;
}

void WorksPage::wybranoKNR(int index) {
    if (index < 0) return;
    edKNR_->setText(cbKNR_->itemData(index).toString());
}

int WorksPage::SzukajCenRobot() {
    engine_.Reset();
    engine_.AddLike("Nazwa", edOpis_->text().toStdString(), true);
    engine_.AddLike("Podstawa", edKNR_->text().toStdString(), true);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int count = engine_.Execute();
    QApplication::restoreOverrideCursor();

    if (count < 0) {
        platform::dialogs().message(this, edition::TytulKomunikatu(),
                                    QString::fromStdString(tdm_.scaloneError()),
                                    platform::MessageIcon::Error);
        return count;
    }
    lblIlPoz_->setText(edition::tekst(&edition::Edycja::iloscPozycji) + QString::number(count));
    return count;
}

void WorksPage::wszystkie() {
    edKNR_->clear();
    edOpis_->clear();
    SzukajCenRobot();
}

CenaScalonaDialog* WorksPage::przygotujCeneScalona() {
    dialog_->wypelnij(tdm_.Qscalone);
    return dialog_;
}

bool WorksPage::otworzCeneScalona() {
    if (ResultGrid::KliknietoTytul()) return false;
    if (!tdm_.Qscalone.active() || tdm_.Qscalone.recNo() <= 0) return false;
    if (dialog_->isVisible()) return false;
    runDialog_(*przygotujCeneScalona());
    return true;
}

void WorksPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The page runs its filter each time it comes on screen, once the
    // events already waiting have been handled.
    if (!event->spontaneous()) QTimer::singleShot(0, this, [this] { SzukajCenRobot(); });
}

void WorksPage::keyPressEvent(QKeyEvent* event) {
    // Enter in the filter fields runs the filter, as the default button.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && bSzukaj_->isEnabled()) {
        bSzukaj_->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace kmx::app
