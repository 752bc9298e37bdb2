#include "editions/edition.h"
#include "platform/dialogs.h"
#include "platform/links.h"
#include "platform/settings_store.h"

#include <QAbstractButton>
#include <QByteArray>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRect>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using kmx::platform::Answer;
using kmx::platform::Buttons;
using kmx::platform::dialogs;
using kmx::platform::FileDialogRequest;
using kmx::platform::FileDialogResult;
using kmx::platform::MessageIcon;

// Every case starts and ends with the shared service in test mode and with
// empty queues, whatever the other tests of the program left there.
class DialogsTestMode : public ::testing::Test {
protected:
    void SetUp() override {
        wasTestMode_ = dialogs().testMode();
        clear();
        dialogs().setTestMode(true);
    }
    void TearDown() override {
        clear();
        dialogs().setTestMode(wasTestMode_);
    }
    static void clear() {
        dialogs().nextAnswers.clear();
        dialogs().nextFiles.clear();
        dialogs().shownMessages.clear();
        dialogs().fileRequests.clear();
    }

private:
    bool wasTestMode_ = false;
};

TEST_F(DialogsTestMode, RecordsEveryMessageAsShown) {
    dialogs().message(nullptr, "KALMAREX", "Nie znaleziono towaru.", MessageIcon::Information);
    dialogs().message(nullptr, "Uwaga", QString::fromUtf8("Wprowadź cyfrę lub przecinek!"),
                      MessageIcon::Error, Buttons::OkCancel);
    ASSERT_EQ(dialogs().shownMessages.size(), 2u);
    const auto& first = dialogs().shownMessages[0];
    EXPECT_EQ(first.caption, "KALMAREX");
    EXPECT_EQ(first.text, "Nie znaleziono towaru.");
    EXPECT_EQ(first.icon, MessageIcon::Information);
    EXPECT_EQ(first.buttons, Buttons::Ok);
    const auto& second = dialogs().shownMessages[1];
    EXPECT_EQ(second.caption, "Uwaga");
    EXPECT_EQ(second.text, QString::fromUtf8("Wprowadź cyfrę lub przecinek!"));
    EXPECT_EQ(second.icon, MessageIcon::Error);
    EXPECT_EQ(second.buttons, Buttons::OkCancel);
}

TEST_F(DialogsTestMode, AnswersFromTheQueueInOrderThenWithTheFirstButton) {
    dialogs().nextAnswers = {Answer::No, Answer::Cancel};
    EXPECT_EQ(dialogs().message(nullptr, "K", "a", MessageIcon::Question, Buttons::YesNo), Answer::No);
    EXPECT_EQ(dialogs().message(nullptr, "K", "b", MessageIcon::Question, Buttons::YesNoCancel),
              Answer::Cancel);
    EXPECT_TRUE(dialogs().nextAnswers.empty());
    // Queue empty: the first button of the box.
    EXPECT_EQ(dialogs().message(nullptr, "K", "c", MessageIcon::Question, Buttons::YesNo), Answer::Yes);
    EXPECT_EQ(dialogs().message(nullptr, "K", "d", MessageIcon::Question, Buttons::YesNoCancel), Answer::Yes);
    EXPECT_EQ(dialogs().message(nullptr, "K", "e", MessageIcon::Warning, Buttons::OkCancel), Answer::Ok);
    EXPECT_EQ(dialogs().message(nullptr, "K", "f", MessageIcon::Information), Answer::Ok);
    EXPECT_EQ(dialogs().shownMessages.size(), 6u);
}

TEST_F(DialogsTestMode, FileDialogsAnswerFromTheQueueAndRecordTheRequest) {
    dialogs().nextFiles.push_back(FileDialogResult{true, "/tmp/Materialy.kmx", 1});
    FileDialogRequest save{QString::fromUtf8("Zapis cennika materiałów"),
                           "/tmp",
                           "Materialy",
                           {"Cennik 2.0 (*.kmx)", "Cennik 2.1 (*.kmx)"},
                           0};
    const FileDialogResult saved = dialogs().saveFile(nullptr, save);
    EXPECT_TRUE(saved.accepted);
    EXPECT_EQ(saved.path, "/tmp/Materialy.kmx");
    EXPECT_EQ(saved.filterIndex, 1);

    // Nothing queued: the user cancelled, the proposed filter stays.
    FileDialogRequest open{"Otwórz", "/tmp", "", {"A (*.a)", "B (*.b)", "C (*.c)"}, 2};
    const FileDialogResult opened = dialogs().openFile(nullptr, open);
    EXPECT_FALSE(opened.accepted);
    EXPECT_TRUE(opened.path.isEmpty());
    EXPECT_EQ(opened.filterIndex, 2);

    ASSERT_EQ(dialogs().fileRequests.size(), 2u);
    EXPECT_EQ(dialogs().fileRequests[0].title, QString::fromUtf8("Zapis cennika materiałów"));
    EXPECT_EQ(dialogs().fileRequests[0].fileName, "Materialy");
    EXPECT_EQ(dialogs().fileRequests[0].filters.size(), 2);
    EXPECT_EQ(dialogs().fileRequests[1].filterIndex, 2);
    EXPECT_TRUE(dialogs().shownMessages.empty());
}

// The real message box, built but not run.
TEST(StandardDialogsBox, YesNoQuestionHasPolishButtonsAndYesAsDefault) {
    const auto box =
        kmx::platform::makeMessageBox(nullptr, "KALMAREX", QString::fromUtf8("Czy przerwać operację ?"),
                                      MessageIcon::Question, Buttons::YesNo);
    EXPECT_EQ(box->windowTitle(), "KALMAREX");
    EXPECT_EQ(box->text(), QString::fromUtf8("Czy przerwać operację ?"));
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(box->buttons().size(), 2);
    ASSERT_NE(box->button(QMessageBox::Yes), nullptr);
    ASSERT_NE(box->button(QMessageBox::No), nullptr);
    EXPECT_EQ(box->button(QMessageBox::Yes)->text(), "Tak");
    EXPECT_EQ(box->button(QMessageBox::No)->text(), "Nie");
    EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::Yes));
    EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::No));
}

TEST(StandardDialogsBox, IconsAndButtonSetsMatchTheRequest) {
    const auto error =
        kmx::platform::makeMessageBox(nullptr, "KALMAREX", "x", MessageIcon::Error, Buttons::Ok);
    EXPECT_EQ(error->icon(), QMessageBox::Critical);
    ASSERT_EQ(error->buttons().size(), 1);
    EXPECT_EQ(error->button(QMessageBox::Ok)->text(), "OK");

    const auto warning =
        kmx::platform::makeMessageBox(nullptr, "KALMAREX", "x", MessageIcon::Warning, Buttons::YesNoCancel);
    EXPECT_EQ(warning->icon(), QMessageBox::Warning);
    ASSERT_EQ(warning->buttons().size(), 3);
    EXPECT_EQ(warning->button(QMessageBox::Cancel)->text(), "Anuluj");
    EXPECT_EQ(warning->escapeButton(), warning->button(QMessageBox::Cancel));

    const auto info =
        kmx::platform::makeMessageBox(nullptr, "KALMAREX", "x", MessageIcon::Information, Buttons::OkCancel);
    EXPECT_EQ(info->icon(), QMessageBox::Information);
    EXPECT_EQ(info->button(QMessageBox::Cancel)->text(), "Anuluj");
    EXPECT_EQ(static_cast<QAbstractButton*>(info->defaultButton()), info->button(QMessageBox::Ok));
}

TEST(StandardDialogsBox, ClosingWithoutAButtonAnswersTheSafeChoice) {
    using kmx::platform::answerForButton;
    EXPECT_EQ(answerForButton(QMessageBox::Yes, Buttons::YesNo), Answer::Yes);
    EXPECT_EQ(answerForButton(QMessageBox::No, Buttons::YesNoCancel), Answer::No);
    EXPECT_EQ(answerForButton(QMessageBox::Cancel, Buttons::OkCancel), Answer::Cancel);
    EXPECT_EQ(answerForButton(QMessageBox::Ok, Buttons::Ok), Answer::Ok);
    EXPECT_EQ(answerForButton(-1, Buttons::YesNo), Answer::No);
    EXPECT_EQ(answerForButton(-1, Buttons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(answerForButton(-1, Buttons::OkCancel), Answer::Cancel);
    EXPECT_EQ(answerForButton(-1, Buttons::Ok), Answer::Ok);
}

TEST(StandardDialogsFile, SaveDialogTakesTheRequestAndReportsTheChosenFilter) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const FileDialogRequest request{"Zapis",
                                    dir.path(),
                                    "Materialy.kmx",
                                    {"Cennik 1.0 (*.kmx)", "Tekst (*.csv)", "Cennik 2.0 (*.kmx)"},
                                    1};
    const auto dialog = kmx::platform::makeFileDialog(nullptr, request, true);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->windowTitle(), "Zapis");
    EXPECT_EQ(dialog->nameFilters(), request.filters);
    EXPECT_EQ(dialog->selectedNameFilter(), "Tekst (*.csv)");
    EXPECT_EQ(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());

    dialog->selectNameFilter("Cennik 2.0 (*.kmx)");
    dialog->selectFile("Materialy.kmx");
    const FileDialogResult chosen = kmx::platform::fileDialogResult(*dialog, true);
    EXPECT_TRUE(chosen.accepted);
    EXPECT_EQ(chosen.path.toStdString(), QDir(dir.path()).filePath("Materialy.kmx").toStdString());
    EXPECT_EQ(chosen.filterIndex, 2);

    const FileDialogResult cancelled = kmx::platform::fileDialogResult(*dialog, false);
    EXPECT_FALSE(cancelled.accepted);
    EXPECT_TRUE(cancelled.path.isEmpty());
}

TEST(StandardDialogsFile, OpenDialogWithAnOutOfRangeFilterIndexStartsOnTheFirst) {
    const FileDialogRequest request{"Otwórz", QDir::tempPath(), "", {"A (*.a)", "B (*.b)"}, 7};
    const auto dialog = kmx::platform::makeFileDialog(nullptr, request, false);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog->selectedNameFilter(), "A (*.a)");
}

TEST(QtSettingsStore, ValuesRoundTripThroughTheIniFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("kalmarex.ini");
    const QByteArray layout(
        "\x00\x01\xff\x7f"
        "kolumny",
        11);
    {
        kmx::platform::QtSettingsStore store(file);
        EXPECT_EQ(store.fileName(), file);
        EXPECT_TRUE(store.setValue("path", "exe", QString::fromUtf8("/opt/Kalmarex/Żółw.exe")));
        EXPECT_TRUE(store.setValue("JvMainForm", "FormVersion", 2));
        EXPECT_TRUE(store.setValue("JvMainForm", "Geometry", QRect(10, 20, 800, 600)));
        EXPECT_TRUE(store.setValue("JvMainForm", "Grid", layout));
    }
    ASSERT_TRUE(QFile::exists(file));
    // A new store on the same file reads what the first one wrote.
    const kmx::platform::QtSettingsStore again(file);
    EXPECT_EQ(again.value("path", "exe").toString(), QString::fromUtf8("/opt/Kalmarex/Żółw.exe"));
    EXPECT_EQ(again.value("JvMainForm", "FormVersion").toInt(), 2);
    EXPECT_EQ(again.value("JvMainForm", "Geometry").toRect(), QRect(10, 20, 800, 600));
    EXPECT_EQ(again.value("JvMainForm", "Grid").toByteArray(), layout);
    // Groups keep equal keys apart; a missing key gives the fallback.
    EXPECT_FALSE(again.value("path", "FormVersion").isValid());
    EXPECT_EQ(again.value("JvMainForm", "Brak", 7).toInt(), 7);
}

TEST(QtSettingsStore, WritingWhereNoFileCanBeMadeFails) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The ini file would have to lie inside a plain file.
    const QString blocker = dir.filePath("plik");
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    kmx::platform::QtSettingsStore store(blocker + "/kalmarex.ini");
    EXPECT_FALSE(store.setValue("path", "exe", "/opt/Kalmarex"));
    EXPECT_EQ(store.value("path", "exe", "brak").toString(), "brak");

    // A folder in the place of the file fails the same way.
    ASSERT_TRUE(QDir(dir.path()).mkdir("katalog.ini"));
    kmx::platform::QtSettingsStore onFolder(dir.filePath("katalog.ini"));
    EXPECT_FALSE(onFolder.setValue("JvMainForm", "FormVersion", 2));
}

TEST(QtSettingsStore, EachEditionKeepsItsOwnUserStoreUnderTheOrganisation) {
    using kmx::edition::CenyProducentow;
    using kmx::edition::CenySrednie;
    const auto store = [](const kmx::edition::Edycja& e) {
        return kmx::platform::QtSettingsStore::forApplication(QString::fromUtf8(e.grupaUstawien)).fileName();
    };
    const QString producer = store(CenyProducentow);
    const QString average = store(CenySrednie);
    EXPECT_TRUE(producer.contains("Nordvale")) << producer.toStdString();
    EXPECT_TRUE(producer.endsWith("Nordvale/Kalmarex VORA.ini")) << producer.toStdString();
    EXPECT_TRUE(average.endsWith("Nordvale/Kalmarex CS.ini")) << average.toStdString();
}

TEST(LinkUrl, AddressesWithoutASchemeOpenAsHttp) {
    using kmx::platform::urlForLink;
    EXPECT_EQ(urlForLink("www.kalmarex.example.pl"), QUrl("http://www.kalmarex.example.pl"));
    EXPECT_EQ(urlForLink("  www.firma.pl/oferta  "), QUrl("http://www.firma.pl/oferta"));
    EXPECT_EQ(urlForLink("https://www.firma.pl/a?b=1"), QUrl("https://www.firma.pl/a?b=1"));
    EXPECT_EQ(urlForLink("HTTP://WWW.FIRMA.PL"), QUrl("http://WWW.FIRMA.PL"));
    EXPECT_EQ(urlForLink("ftp://ftp.firma.pl/cennik.zip"), QUrl("ftp://ftp.firma.pl/cennik.zip"));
}

TEST(LinkUrl, MailtoPassesAsItIs) {
    using kmx::platform::urlForLink;
    const QUrl mail = urlForLink("mailto:zapytania@davideriv.example.pl");
    EXPECT_EQ(mail.scheme(), "mailto");
    EXPECT_EQ(mail.path(), "zapytania@davideriv.example.pl");
    const QUrl upper = urlForLink("MAILTO:biuro@firma.pl");
    EXPECT_EQ(upper.scheme(), "mailto");
    EXPECT_EQ(upper.path(), "biuro@firma.pl");
    EXPECT_FALSE(urlForLink("mailto:").isValid());
}

TEST(LinkUrl, EmptyTextsPathsAndOtherSchemesAreNotOpened) {
    using kmx::platform::urlForLink;
    EXPECT_FALSE(urlForLink("").isValid());
    EXPECT_FALSE(urlForLink("   ").isValid());
    EXPECT_FALSE(urlForLink("/usr/bin/xterm").isValid());
    EXPECT_FALSE(urlForLink("file:///etc/passwd").isValid());
    EXPECT_FALSE(urlForLink("javascript:alert(1)").isValid());
    EXPECT_FALSE(urlForLink("C:\\Windows\\system32\\calc.exe").isValid());
}

}  // namespace
