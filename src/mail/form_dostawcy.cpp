#include "mail/form_dostawcy.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTableWidgetItem>
#include <utility>

#include "app/wait_window.h"
#include "core/query_builder.h"
#include "data/fields.h"
#include "data/tdm.h"
#include "platform/dialogs.h"
#include "ui_form_dostawcy.h"
#include "editions/edition.h"

namespace kmx::mail {

namespace {

QString pole(const data::DataSet& set, const char* name, int mode, bool trim) {
    const QString s = QString::fromStdString(data::zapisanePole(set, name, mode));
    return trim ? s.trimmed() : s;
}

}  // namespace

TFDostawcy::TFDostawcy(data::TDM& tdm, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TFDostawcy>()), lista_(&tdm.KMXConnection) {
    ui_->setupUi(this);
    ui_->gDostawcy->horizontalHeader()->setSectionsClickable(false);
    connect(ui_->gDostawcy, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { wybierz(row); });
    connect(ui_->bWyslijZapytanie, &QPushButton::clicked, this, [this] {
        if (wyslijZapytanie && lista_.recNo() > 0) wyslijZapytanie();
    });
}

TFDostawcy::~TFDostawcy() = default;

bool TFDostawcy::otworz(const TsTowar& kryteria) {
    std::string error;
    bool ok = false;
    {
        app::CzekajGuard czekaj(QStringLiteral("Wyszukiwanie dostawców..."), false);
        ok = lista_.open(ZbudujZapytanieTowarow(kryteria, 1) + " ORDER BY idx_nazwa_prod", error);
    }
    if (!ok) {
        platform::dialogs().message(parentWidget(), edition::TytulKomunikatu(), QString::fromStdString(error),
                                    platform::MessageIcon::Error);
        return false;
    }
    QTableWidget& g = *ui_->gDostawcy;
    const QSignalBlocker blocker(g);
    g.clearContents();
    g.setRowCount(lista_.recordCount());
    for (int r = 0; r < lista_.recordCount(); ++r) {
        lista_.moveTo(r + 1);
        g.setItem(r, 0, new QTableWidgetItem(pole(lista_, "producent.NAZWA", 1, false)));
    }
    wybierz(lista_.recordCount() > 0 ? 0 : -1);
    return true;
}

void TFDostawcy::wybierz(int row) {
    if (row >= 0 && row < lista_.recordCount()) {
        lista_.moveTo(row + 1);
        QTableWidget& g = *ui_->gDostawcy;
        if (g.currentRow() != row) {
            const QSignalBlocker blocker(g);
            g.setCurrentCell(row, 0);
        }
    }
    pokazDane();
}

void TFDostawcy::pokazDane() {
    const bool wiersz = lista_.active() && lista_.recNo() > 0;
    auto ustaw = [&](QLineEdit* e, const char* name, int mode, bool trim) {
        e->setText(wiersz ? pole(lista_, name, mode, trim) : QString());
        e->setCursorPosition(0);
    };
    // The name in capitals as stored; the rest descrambled and trimmed.
    ustaw(ui_->eNazwa, "producent.NAZWA", 1, false);
    const std::pair<QLineEdit*, const char*> pola[] = {{ui_->eKod, "KOD_PRODUCENTA"},
                                                       {ui_->eNip, "NIP"},
                                                       {ui_->eUlica, "ULICA_DOM"},
                                                       {ui_->eKodPocztowy, "KOD_POCZTOWY"},
                                                       {ui_->eMiejscowosc, "MIEJSCOWOSC"},
                                                       {ui_->eWojewodztwo, "WOJEWODZTWO.NAZWA"},
                                                       {ui_->eKraj, "NAZWA_KRAJU"},
                                                       {ui_->eTelefon1, "TELEFON1"},
                                                       {ui_->eTelefon2, "TELEFON2"},
                                                       {ui_->eTelefon3, "TELEFON3"},
                                                       {ui_->eFax, "FAKS"},
                                                       {ui_->eEmail, "EMAIL_PODSTAWOWY"}};
    for (const auto& [edit, name] : pola) ustaw(edit, name, 3, true);
}

int TFDostawcy::pokaz() {
    ui_->gDostawcy->setFocus();
    return platform::execOrHook(*this,
                                testHook ? std::function<void()>([this] { testHook(*this); }) : nullptr);
}

}  // namespace kmx::mail
