#include "app/about_box.h"
#include "app/help_window.h"
#include "app/program_paths.h"
#include "platform/dialogs.h"
#include "platform/links.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

using kmx::app::FrmAbout;
using kmx::app::KatalogProgramu;
using kmx::app::TFHelp;
using kmx::app::UstawKatalogProgramu;
using kmx::platform::dialogs;

bool writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// The demo texts shipped in the source tree.
QString demoFolder() {
    return QDir(QStringLiteral(KMX_SOURCE_TREE)).filePath(QStringLiteral("resources/demo"));
}

QString screenshotDir() {
    const QString dir = qEnvironmentVariable("KMX_SCREENSHOT_DIR");
    if (!dir.isEmpty()) QDir().mkpath(dir);
    return dir;
}

int distance(const QPoint& a, const QPoint& b) {
    return (a - b).manhattanLength();
}

TEST(ProgramFolder, ExecutableFolderWithSlashUnlessAnotherIsSet) {
    UstawKatalogProgramu(QString());
    const QString own = QCoreApplication::applicationDirPath() + "/";
    EXPECT_EQ(KatalogProgramu(), own);
    UstawKatalogProgramu("/srv/kalmarex");
    EXPECT_EQ(KatalogProgramu(), "/srv/kalmarex/");
    UstawKatalogProgramu("/srv/demo/");
    EXPECT_EQ(KatalogProgramu(), "/srv/demo/");
    UstawKatalogProgramu(QString());
    EXPECT_EQ(KatalogProgramu(), own);
}

class HelpWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        wasTestMode_ = dialogs().testMode();
        dialogs().setTestMode(true);
        dialogs().shownMessages.clear();
        TFHelp::setTestMode(true);
        UstawKatalogProgramu(dir.path());
    }
    void TearDown() override {
        UstawKatalogProgramu(QString());
        TFHelp::setTestMode(false);
        dialogs().shownMessages.clear();
        dialogs().setTestMode(wasTestMode_);
    }
    QTemporaryDir dir;

private:
    bool wasTestMode_ = false;
};

TEST_F(HelpWindow, LoadingReplacesTheTextAndAFailureKeepsIt) {
    ASSERT_TRUE(writeFile(dir.filePath("a.rtf"), "{\\rtf1\\ansi Pierwsza instrukcja\\par}"));
    ASSERT_TRUE(writeFile(dir.filePath("b.rtf"), "{\\rtf1\\ansi\\ansicpg1250 Druga: sprz\\'eat\\par}"));
    ASSERT_TRUE(writeFile(dir.filePath("c.txt"), "zwykly tekst"));
    TFHelp help;
    EXPECT_TRUE(help.widok()->isReadOnly());

    QString error;
    ASSERT_TRUE(help.zaladuj(dir.filePath("a.rtf"), &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(help.widok()->toPlainText().trimmed(), "Pierwsza instrukcja");

    ASSERT_TRUE(help.zaladuj(dir.filePath("b.rtf")));
    EXPECT_EQ(help.widok()->toPlainText().trimmed(), QString::fromUtf8("Druga: sprzęt"));

    EXPECT_FALSE(help.zaladuj(dir.filePath("brak.rtf"), &error));
    EXPECT_TRUE(error.contains("brak.rtf")) << error.toStdString();
    EXPECT_FALSE(help.zaladuj(dir.filePath("c.txt"), &error));
    EXPECT_TRUE(error.contains("c.txt")) << error.toStdString();
    EXPECT_EQ(help.widok()->toPlainText().trimmed(), QString::fromUtf8("Druga: sprzęt"));
}

TEST_F(HelpWindow, InstructionFromTheProgramFolderOpensCentredOnTheParent) {
    ASSERT_TRUE(
        writeFile(dir.filePath("Instrukcja_eksportu_cs.rtf"), "{\\rtf1 Eksport bazy cen robót\\par}"));
    QWidget main;
    main.setGeometry(60, 50, 1000, 700);
    main.show();
    TFHelp help(&main);
    EXPECT_TRUE(help.pokazInstrukcje("Instrukcja_eksportu_cs.rtf"));
    EXPECT_TRUE(help.isVisible());
    EXPECT_TRUE(help.isModal());
    EXPECT_EQ(help.windowTitle(), "Pomoc");
    EXPECT_TRUE(help.widok()->toPlainText().contains("Eksport bazy cen rob"));
    EXPECT_LE(distance(help.frameGeometry().center(), main.frameGeometry().center()), 2);
    // The view fills the window.
    EXPECT_EQ(help.widok()->geometry(), help.rect());
    EXPECT_TRUE(dialogs().shownMessages.empty());
    help.close();
}

TEST_F(HelpWindow, MissingInstructionShowsTheErrorAndDoesNotOpen) {
    TFHelp help;
    ASSERT_TRUE(writeFile(dir.filePath("x.rtf"), "{\\rtf1 Poprzedni tekst\\par}"));
    ASSERT_TRUE(help.zaladuj(dir.filePath("x.rtf")));
    EXPECT_FALSE(help.pokazInstrukcje("Instrukcja_eksportu_ms.rtf"));
    EXPECT_FALSE(help.isVisible());
    ASSERT_EQ(dialogs().shownMessages.size(), 1u);
    const auto& shown = dialogs().shownMessages[0];
    EXPECT_EQ(shown.caption, "KALMAREX");
    EXPECT_EQ(shown.icon, kmx::platform::MessageIcon::Error);
    EXPECT_EQ(shown.buttons, kmx::platform::Buttons::Ok);
    EXPECT_TRUE(shown.text.contains("Instrukcja_eksportu_ms.rtf")) << shown.text.toStdString();
    EXPECT_EQ(help.widok()->toPlainText().trimmed(), "Poprzedni tekst");
}

TEST_F(HelpWindow, ShippedExportInstructionLoads) {
    UstawKatalogProgramu(demoFolder());
    TFHelp help;
    ASSERT_TRUE(help.pokazInstrukcje("Instrukcja_eksportu_ms.rtf"));
    EXPECT_TRUE(help.widok()->toPlainText().startsWith(
        QString::fromUtf8("Instrukcja eksportu cen materiałów i sprzętu do programu kosztorysowego")));
    if (const QString shots = screenshotDir(); !shots.isEmpty()) {
        const QFont oldFont = QApplication::font();
        QFont font("Arial");
        font.setPixelSize(13);
        QApplication::setFont(font);
        help.zaladuj(demoFolder() + "/Instrukcja_eksportu_ms.rtf");
        help.grab().save(QDir(shots).filePath("help_ms.png"));
        QApplication::setFont(oldFont);
    }
    help.close();
}

// Clicks the middle of a label, where its (centred) link text lies.
void clickMiddle(QLabel* label) {
    const QPointF local = QRectF(label->rect()).center();
    const QPointF global = label->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(label, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(label, &release);
}

TEST(AboutBox, ShowsTheProductTheVersionAndAnOkButton) {
    kmx::platform::RecordingLinkOpener links;
    FrmAbout about(links, "Wersja 1.21 wyd.3/2024");
    EXPECT_EQ(about.windowTitle(), "O programie...");
    EXPECT_TRUE(about.isModal());
    EXPECT_EQ(about.minimumSize(), QSize(373, 358));
    EXPECT_EQ(about.maximumSize(), QSize(373, 358));
    EXPECT_EQ(about.findChild<QLabel*>("ProductName")->text(),
              QString::fromUtf8("KALMAREX - CENY PRODUCENTÓW I DOSTAWCÓW M i S "));
    EXPECT_EQ(about.findChild<QLabel*>("ProductName2")->text(),
              QString::fromUtf8("wraz z bazą cen robót wg KNR-ów serii NV "));
    EXPECT_EQ(about.findChild<QLabel*>("Version")->text(), "Wersja 1.21 wyd.3/2024");
    about.setWersjaOpis("Wersja 1.21 wyd.x/yyyy");
    EXPECT_EQ(about.findChild<QLabel*>("Version")->text(), "Wersja 1.21 wyd.x/yyyy");

    QTextDocument mail;
    mail.setHtml(about.findChild<QLabel*>("lblEmail")->text());
    EXPECT_EQ(mail.toPlainText(), "e-mail: zapytania@davideriv.example.pl");

    auto* ok = about.findChild<QPushButton*>("OKButton");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "&OK");
    EXPECT_TRUE(ok->isDefault());

    about.show();
    const QRect area = about.screen()->availableGeometry();
    EXPECT_LE(distance(about.frameGeometry().center(), area.center()), 2);
    // Every label fits the box.
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        EXPECT_TRUE(about.rect().contains(label->geometry())) << label->objectName().toStdString();
        if (label->wordWrap()) continue;
        EXPECT_LE(label->sizeHint().width(), label->width()) << label->objectName().toStdString();
    }
    ok->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_TRUE(links.opened.empty());
}

TEST(AboutBox, LinksOpenThePublisherTheMailboxAndTheProduct) {
    kmx::platform::RecordingLinkOpener links;
    FrmAbout about(links, "Wersja 1.21 wyd.3/2024");
    about.show();
    clickMiddle(about.findChild<QLabel*>("lblWwwWydawcy"));
    clickMiddle(about.findChild<QLabel*>("lblEmail"));
    clickMiddle(about.findChild<QLabel*>("lblWwwProduktu"));
    ASSERT_EQ(links.opened.size(), 3u);
    EXPECT_EQ(links.opened[0], "www.davideriv.example.pl");
    EXPECT_EQ(links.opened[1], "mailto:zapytania@davideriv.example.pl");
    EXPECT_EQ(links.opened[2], "www.kalmarex.example.pl");
    EXPECT_TRUE(about.isVisible());

    // The icon sits on a white band at the top.
    const QImage image = about.grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    EXPECT_EQ(image.pixelColor(static_cast<int>(5 * ratio), static_cast<int>(5 * ratio)), QColor(Qt::white));
    const QLabel* icon = about.findChild<QLabel*>("ProgramIcon");
    ASSERT_NE(icon, nullptr);
    const QPoint tile = icon->mapTo(&about, QPoint(8, 32));
    EXPECT_EQ(image.pixelColor(static_cast<int>(tile.x() * ratio), static_cast<int>(tile.y() * ratio)),
              QColor(0, 98, 167));

    if (const QString shots = screenshotDir(); !shots.isEmpty()) {
        const QFont oldFont = QApplication::font();
        QFont font("Arial");
        font.setPixelSize(13);
        QApplication::setFont(font);
        FrmAbout styled(links, "Wersja 1.21 wyd.3/2024");
        styled.show();
        styled.grab().save(QDir(shots).filePath("about.png"));
        QApplication::setFont(oldFont);
    }
    about.close();
}

}  // namespace
