// Price enquiries and the order form on the demo catalogue, from the main
// window's four places, through the mail window to a stand-in xdg-email:
// the message that reaches it, the lists left as they were, cancelling a
// walk, and the failures of the hand-over.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <memory>
#include <optional>

#include "app/program_paths.h"
#include "app/wait_window.h"
#include "core/publisher.h"
#include "data/fields.h"
#include "gui_test_support.h"
#include "mail/form_dostawcy.h"
#include "mail/form_mail.h"
#include "mail/poczta.h"
#include "xdg_email_stub.h"

namespace {

using namespace kmx::guitest;
using kmx::mail::TFDostawcy;
using kmx::mail::TFMail;

const QString kNaglowek = QStringLiteral(
    "\t \t     Wiadomość wygenerowana przez system Kalmarex.\n\nProszę o podanie wyceny dla wymienionych "
    "niżej "
    "materiałów:\n\n");

// What the mail window held when it was shown.
struct Okno {
    QString tytul, etykieta, nazwa, adres, tresc;
    int kursor = -1;
};

QString zapisane(const kmx::data::DataSet& set, const char* pole, int mode) {
    return QString::fromStdString(kmx::data::zapisanePole(set, pole, mode));
}

class MailFlowsTest : public OknoNaDemo<MailFlowsTest> {
public:
    static constexpr const char* kHasloDemo = "Poczta-Haslo-3";

protected:
    void ustaw() override {
        TFMail::testHook = [this](TFMail& m) {
            Okno okno;
            okno.tytul = m.windowTitle();
            okno.etykieta = m.findChild<QLabel*>("lNazwa")->text();
            okno.nazwa = m.nazwa();
            okno.adres = m.adres();
            okno.tresc = m.tresc();
            okno.kursor = m.pozycjaKursora();
            okna_.push_back(okno);
            if (wOknie_) wOknie_(m);
        };
    }

    kmx::data::TDM& dm() { return okno_->tdm(); }
    void ctrlO() { akcja("AOferta")->trigger(); }
    void wyslij(TFMail& m) { m.findChild<QPushButton*>("bWyslij")->click(); }

    std::vector<Okno> okna_;
    std::function<void(TFMail&)> wOknie_;
};

TEST_F(MailFlowsTest, TheGoodsItemOnItsDetailsPageGoesToItsSupplier) {
    XdgEmailStub stub;
    o().APokazAllTowarExecute();
    ASSERT_TRUE(dm().QWybrTow.moveTo(5));
    o().ATowSzczTowExecute();
    const QString towar = zapisane(dm().QWybrTow, "Towar.Nazwa", 1);
    const QString adres = zapisane(dm().QWybrTow, "EMAIL_PODSTAWOWY", 2);
    wOknie_ = [this](TFMail& m) { wyslij(m); };
    ctrlO();
    ASSERT_EQ(okna_.size(), 1u);
    EXPECT_EQ(okna_[0].tytul, "Wysłanie zapytania ofertowego");
    EXPECT_EQ(okna_[0].etykieta, "Nazwa Dostawcy:");
    EXPECT_EQ(okna_[0].nazwa, zapisane(dm().QWybrTow, "producent.NAZWA", 1));
    EXPECT_EQ(okna_[0].nazwa, okna_[0].nazwa.toUpper());  // capitals, as stored
    EXPECT_EQ(okna_[0].tresc, kNaglowek + towar);
    // What reaches the mail program: the subject, the address, the body with
    // its tabs, blanks and Polish letters, CR LF between the lines.
    ASSERT_TRUE(stub.called());
    EXPECT_EQ(stub.argumentCount(), 1);
    EXPECT_EQ(stub.field("subject"), "Zapytanie ofertowe");
    EXPECT_EQ(stub.address(), adres.trimmed());
    EXPECT_EQ(stub.field("body"), QString(kNaglowek + towar).replace("\n", "\r\n"));
    EXPECT_TRUE(komunikaty().empty());
}

TEST_F(MailFlowsTest, ThePickedSupplierGetsItsGoodsFromTheFoundListInTheListsOrder) {
    XdgEmailStub stub;
    o().APokazAllTowarExecute();
    o().ATowListaTowExecute();
    kmx::data::DataSet& tow = dm().QWybrTow;
    const int wszystkie = tow.recordCount();
    ASSERT_TRUE(tow.moveTo(10));
    std::optional<long long> wybrany;
    QString oczekiwane;
    TFDostawcy::testHook = [&](TFDostawcy& d) {
        EXPECT_EQ(d.windowTitle(), "Lista dostawców wyszukanych materiałów");
        auto* grid = d.findChild<QTableWidget*>("gDostawcy");
        EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "Nazwa dostawcy");
        EXPECT_EQ(grid->rowCount(), d.lista().recordCount());
        d.wybierz(2);
        wybrany = d.lista().value("ID_PRODUCENTA").asInt();
        EXPECT_EQ(grid->item(2, 0)->text(), zapisane(d.lista(), "producent.NAZWA", 1));
        EXPECT_EQ(d.findChild<QLineEdit*>("eMiejscowosc")->text(),
                  zapisane(d.lista(), "MIEJSCOWOSC", 3).trimmed());
        // The supplier's rows of the found list, in its order.
        QStringList linie;
        const int pole = kmx::data::znajdzPole(tow, "ID_PRODUCENTA");
        for (int r = 0; r < tow.recordCount(); ++r) {
            if (tow.cell(r, pole).asInt() != *wybrany) continue;
            tow.moveTo(r + 1);
            linie << zapisane(tow, "Towar.Nazwa", 1);
        }
        oczekiwane = kNaglowek + linie.join('\n');
        wOknie_ = [&](TFMail& m) {
            EXPECT_TRUE(d.isVisible());  // the picker stays open beneath
            wyslij(m);
        };
        d.findChild<QPushButton*>("bWyslijZapytanie")->click();
    };
    ctrlO();
    ASSERT_TRUE(wybrany);
    ASSERT_EQ(okna_.size(), 1u);
    EXPECT_EQ(okna_[0].tresc, oczekiwane);
    EXPECT_GT(oczekiwane.count('\n'), 4);
    EXPECT_EQ(stub.field("body"), QString(oczekiwane).replace("\n", "\r\n"));
    // The found list is whole again, on the supplier's first goods row.
    EXPECT_FALSE(tow.filtered());
    EXPECT_EQ(tow.recordCount(), wszystkie);
    EXPECT_EQ(tow.value("ID_PRODUCENTA").asInt(), *wybrany);
    EXPECT_FALSE(tow.notificationsSuspended());
    // The window's details follow the list again.
    EXPECT_TRUE(static_cast<bool>(tow.afterScroll()));
}

TEST_F(MailFlowsTest, OneSuppliersGoodsListAndItsDetailsPage) {
    XdgEmailStub stub;
    o().APokazAllDostExecute();
    o().ADostListaDostExecute();
    ASSERT_TRUE(dm().QWybrDost.moveTo(2));
    o().ADostListaTowExecute();
    kmx::data::DataSet& lista = dm().QWybrTowForDost;
    ASSERT_GE(lista.recordCount(), 3);
    QStringList wszystkie;
    for (int r = 1; r <= lista.recordCount(); ++r) {
        lista.moveTo(r);
        wszystkie << zapisane(lista, "Towar.Nazwa", 1);
    }
    lista.moveTo(3);
    ctrlO();
    ASSERT_EQ(okna_.size(), 1u);
    EXPECT_EQ(okna_[0].nazwa, zapisane(dm().QWybrDost, "producent.NAZWA", 1));
    EXPECT_EQ(okna_[0].adres, zapisane(dm().QWybrDost, "EMAIL_PODSTAWOWY", 2));
    EXPECT_EQ(okna_[0].tresc, kNaglowek + wszystkie.join('\n'));
    // The list ends on its first row.
    EXPECT_EQ(lista.recNo(), 1);
    EXPECT_FALSE(lista.notificationsSuspended());

    lista.moveTo(2);
    o().ADostSzczTowExecute();
    ctrlO();
    ASSERT_EQ(okna_.size(), 2u);
    EXPECT_EQ(okna_[1].tresc, kNaglowek + wszystkie[1]);
    EXPECT_FALSE(stub.called());  // nothing is sent without " &Wyślij"
}

TEST_F(MailFlowsTest, CancellingALongWalkStillOpensTheWindowWithTheLinesSoFar) {
    o().APokazAllDostExecute();
    o().ADostListaDostExecute();
    o().ADostListaTowExecute();
    const int wszystkie = dm().QWybrTowForDost.recordCount();
    ASSERT_GE(wszystkie, 3);
    // Escape in the wait window as soon as the walk lets events run, and
    // "Tak" to the question.
    kmx::platform::dialogs().nextAnswers.push_back(kmx::platform::Answer::Yes);
    QTimer::singleShot(0, [] {
        if (QWidget* w = kmx::app::oknoCzekaj()) klawisz(w, Qt::Key_Escape);
    });
    ctrlO();
    ASSERT_EQ(okna_.size(), 1u);
    const int linie = static_cast<int>(okna_[0].tresc.count('\n')) - 3;
    EXPECT_GE(linie, 1);
    EXPECT_LT(linie, wszystkie);
    EXPECT_EQ(dm().QWybrTowForDost.recNo(), 1);
    EXPECT_EQ(kmx::app::oknoCzekaj(), nullptr);
}

TEST_F(MailFlowsTest, TheOrderFormAndTheEnquiryAfterIt) {
    XdgEmailStub stub;
    akcja("mnuZamowienie")->trigger();
    ASSERT_EQ(okna_.size(), 1u);
    EXPECT_EQ(okna_[0].tytul, "Wysyłanie zamówienia na nowy Kalmarex CD");
    EXPECT_EQ(okna_[0].etykieta, "Nazwa firmy:");
    EXPECT_EQ(okna_[0].nazwa, "NORDVALE SP Z O.O.");
    EXPECT_EQ(okna_[0].adres, QString::fromUtf8(kmx::publisher::kEmailZamowien));
    EXPECT_EQ(
        okna_[0].tresc,
        "Nazwa firmy: \nImię i nazwisko: \nAdres: \nKod pocztowy: \nMiejscowość: \nNIP: \nIlość sztuk: ");
    EXPECT_EQ(okna_[0].kursor, 13);

    // The enquiry sets its own caption, label and subject again.
    o().APokazAllTowarExecute();
    o().ATowSzczTowExecute();
    wOknie_ = [this](TFMail& m) { wyslij(m); };
    ctrlO();
    ASSERT_EQ(okna_.size(), 2u);
    EXPECT_EQ(okna_[1].tytul, "Wysłanie zapytania ofertowego");
    EXPECT_EQ(okna_[1].etykieta, "Nazwa Dostawcy:");
    EXPECT_EQ(stub.field("subject"), "Zapytanie ofertowe");

    // And the order's subject goes with the order.
    akcja("mnuZamowienie")->trigger();
    EXPECT_EQ(stub.field("subject"), "Zamówienie Davideriv na CD");
    EXPECT_EQ(stub.address(), QString::fromUtf8(kmx::publisher::kEmailZamowien));
}

TEST_F(MailFlowsTest, AFailedHandOverIsReportedWithItsCodeAndTheWindowKeepsItsText) {
    o().APokazAllTowarExecute();
    o().ATowSzczTowExecute();
    bool otwarte = false;
    QString tekstPo;
    wOknie_ = [&](TFMail& m) {
        m.findChild<QPlainTextEdit*>("mTresc")->appendPlainText(QStringLiteral("dopisek"));
        {
            XdgEmailStub stub(3);
            EXPECT_EQ(m.wyslij(), 3);
        }
        {
            NoXdgEmail none;
            EXPECT_EQ(m.wyslij(), -1);
        }
        otwarte = m.isVisible();
        tekstPo = m.tresc();
    };
    ctrlO();
    EXPECT_TRUE(otwarte);
    EXPECT_TRUE(tekstPo.endsWith("dopisek"));
    ASSERT_EQ(komunikaty().size(), 2u);
    EXPECT_EQ(komunikaty()[0].text,
              "Błąd podczas wysyłania poczty. Sprawdź konfigurację domyślnego programu pocztowego. (3).");
    EXPECT_EQ(komunikaty()[0].icon, kmx::platform::MessageIcon::Error);
    EXPECT_EQ(komunikaty()[1].text,
              "Błąd podczas wysyłania poczty. Sprawdź konfigurację domyślnego programu pocztowego. (-1).");
}

TEST_F(MailFlowsTest, ComposingFailuresAreReported) {
    // No current goods row: nothing to compose, no window.
    o().poczta().ZapytanieOfertowe(1);
    ASSERT_EQ(komunikaty().size(), 1u);
    EXPECT_EQ(komunikaty()[0].text, "Błąd podczas generowania e-maila");
    EXPECT_EQ(komunikaty()[0].caption, "KALMAREX");
    EXPECT_TRUE(okna_.empty());
    EXPECT_EQ(kmx::app::oknoCzekaj(), nullptr);

    // A supplier without its goods list: the lines fail, the window still
    // opens with the recipient and the opening lines.
    o().APokazAllDostExecute();
    o().ADostListaDostExecute();
    o().poczta().ZapytanieOfertowe(2);
    ASSERT_EQ(komunikaty().size(), 2u);
    EXPECT_TRUE(komunikaty()[1].text.startsWith("Błąd podczas generowania liczby RMS "));
    ASSERT_EQ(okna_.size(), 1u);
    EXPECT_EQ(okna_[0].nazwa, zapisane(dm().QWybrDost, "producent.NAZWA", 1));
    EXPECT_EQ(okna_[0].tresc, kNaglowek.chopped(1));  // the four opening lines alone
}

TEST_F(MailFlowsTest, CtrlOOnTheOtherPagesDoesNothing) {
    ctrlO();  // the goods search page
    o().APokazAllTowarExecute();
    o().ATowSzczDostExecute();
    ctrlO();
    o().ACenyScaloneExecute();
    ctrlO();
    EXPECT_TRUE(okna_.empty());
    EXPECT_TRUE(komunikaty().empty());
}

TEST_F(MailFlowsTest, ScreenshotsOfTheMailWindowAndThePicker) {
    const QString dir = qEnvironmentVariable("KMX_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "KMX_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    o().APokazAllTowarExecute();
    o().ATowListaTowExecute();
    TFDostawcy::testHook = [&](TFDostawcy& d) {
        d.wybierz(1);
        QApplication::processEvents();
        d.grab().save(QDir(dir).filePath("poczta_dostawcy.png"));
        wOknie_ = [&](TFMail& m) {
            QApplication::processEvents();
            m.grab().save(QDir(dir).filePath("poczta_zapytanie.png"));
        };
        d.findChild<QPushButton*>("bWyslijZapytanie")->click();
    };
    ctrlO();
    wOknie_ = [&](TFMail& m) {
        QApplication::processEvents();
        m.grab().save(QDir(dir).filePath("poczta_zamowienie.png"));
    };
    akcja("mnuZamowienie")->trigger();
    EXPECT_EQ(okna_.size(), 2u);
}

}  // namespace
