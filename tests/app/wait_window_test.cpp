#include "app/wait_window.h"
#include "platform/dialogs.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <climits>

namespace {

using namespace kmx::app;
using kmx::platform::Answer;
using kmx::platform::dialogs;

class WaitWindow : public ::testing::Test {
protected:
    void SetUp() override {
        wasTestMode_ = dialogs().testMode();
        dialogs().setTestMode(true);
        dialogs().nextAnswers.clear();
        dialogs().shownMessages.clear();
        ZamknijCzekaj();
    }
    void TearDown() override {
        ZamknijCzekaj();
        dialogs().nextAnswers.clear();
        dialogs().shownMessages.clear();
        dialogs().setTestMode(wasTestMode_);
    }

    static QLabel* label(const char* name) { return oknoCzekaj()->findChild<QLabel*>(name); }
    static QProgressBar* gauge() { return oknoCzekaj()->findChild<QProgressBar*>("Postep"); }
    static QWidget* panel() { return oknoCzekaj()->findChild<QWidget*>("PanelCzekaj"); }
    static void press(Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(oknoCzekaj(), &event);
    }
    static bool hourglass() {
        return QApplication::overrideCursor() != nullptr &&
               QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    }

private:
    bool wasTestMode_ = false;
};

TEST_F(WaitWindow, ShowsABorderlessBoxAndClosesHarmlesslyTwice) {
    ASSERT_EQ(oknoCzekaj(), nullptr);
    PokazCzekaj(QString::fromUtf8("Wyszukiwanie towarów..."), false);
    QWidget* w = oknoCzekaj();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->size(), QSize(265, 121));
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(w->isModal());
    ASSERT_NE(panel(), nullptr);
    EXPECT_EQ(panel()->size(), QSize(239, 95));
    EXPECT_EQ(label("LCzekaj")->text(), QString::fromUtf8("Proszę czekać..."));
    EXPECT_EQ(label("LKomunikat")->text(), QString::fromUtf8("Wyszukiwanie towarów..."));
    EXPECT_EQ(label("LKomunikat")->width(), 230);
    EXPECT_TRUE(label("LCzekaj")->font().bold());
    EXPECT_TRUE(label("LKomunikat")->font().bold());
    EXPECT_TRUE(hourglass());

    ZamknijCzekaj();
    EXPECT_EQ(oknoCzekaj(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ZamknijCzekaj();
    EXPECT_EQ(oknoCzekaj(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(Przerwano());
}

TEST_F(WaitWindow, ShowingAgainChangesTheSameWindowAndKeepsOneHourglass) {
    PokazCzekaj("Pierwszy", true);
    QWidget* first = oknoCzekaj();
    PokazCzekaj("Drugi", false);
    EXPECT_EQ(oknoCzekaj(), first);
    EXPECT_EQ(label("LKomunikat")->text(), "Drugi");
    ZamknijCzekaj();
    // Two shows, one close: no hourglass is left behind.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WaitWindow, ProgressModeMovesTheTitleAndShowsTheGauge) {
    PokazCzekaj("Eksport", true);
    EXPECT_EQ(label("LCzekaj")->y(), 16);
    EXPECT_FALSE(gauge()->isHidden());
    EXPECT_EQ(gauge()->size(), QSize(165, 15));
    // The title and the message are centred in the panel.
    EXPECT_EQ(label("LCzekaj")->geometry().center().x(), panel()->rect().center().x());
    EXPECT_LE(std::abs(label("LKomunikat")->geometry().center().x() - panel()->rect().center().x()), 1);
    EXPECT_LE(std::abs(gauge()->geometry().center().x() - panel()->rect().center().x()), 1);

    // Without progress after a run with it: gauge hidden, title lower.
    PokazCzekaj("Szukanie", false);
    EXPECT_EQ(label("LCzekaj")->y(), 30);
    EXPECT_TRUE(gauge()->isHidden());

    PokazCzekaj("Eksport", true);
    EXPECT_EQ(label("LCzekaj")->y(), 16);
    EXPECT_FALSE(gauge()->isHidden());
}

TEST_F(WaitWindow, GaugeRangeStartsAtZeroAndStepsStopAtTheMaximum) {
    PokazCzekaj("Eksport", true);
    UstawZakres(0, 3);
    EXPECT_EQ(gauge()->minimum(), 0);
    EXPECT_EQ(gauge()->maximum(), 3);
    EXPECT_EQ(gauge()->value(), 0);
    for (int i = 0; i < 5; ++i) KrokPostepu();
    EXPECT_EQ(gauge()->value(), 3);

    UstawZakres(-10, 10);
    EXPECT_EQ(gauge()->value(), 0);
    KrokPostepu();
    EXPECT_EQ(gauge()->value(), 1);

    // A range without 0 starts at its nearer end.
    UstawZakres(5, 9);
    EXPECT_EQ(gauge()->value(), 5);
    UstawZakres(-9, -5);
    EXPECT_EQ(gauge()->value(), -5);

    UstawZakres(INT_MIN, INT_MAX);
    EXPECT_EQ(gauge()->minimum(), INT_MIN);
    EXPECT_EQ(gauge()->maximum(), INT_MAX);
    EXPECT_EQ(gauge()->value(), 0);

    UstawZakres(INT_MAX - 1, INT_MAX);
    KrokPostepu();
    KrokPostepu();
    EXPECT_EQ(gauge()->value(), INT_MAX);

    // A reversed range is taken in without complaint.
    UstawZakres(10, 5);
    EXPECT_LE(gauge()->minimum(), gauge()->value());
    EXPECT_GE(gauge()->maximum(), gauge()->value());
}

TEST_F(WaitWindow, OperationsOnAnAbsentWindowDoNothing) {
    UstawZakres(0, 10);
    KrokPostepu();
    UkryjCzekaj();
    PrzywrocCzekaj();
    EXPECT_EQ(oknoCzekaj(), nullptr);
    EXPECT_FALSE(Przerwano());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WaitWindow, EscapeAsksAndOnlyYesSetsTheCancelFlag) {
    PokazCzekaj("Eksport", true);
    dialogs().nextAnswers = {Answer::No};
    press(Qt::Key_Escape);
    ASSERT_EQ(dialogs().shownMessages.size(), 1u);
    const auto& asked = dialogs().shownMessages[0];
    EXPECT_EQ(asked.caption, "KALMAREX");
    EXPECT_EQ(asked.text, QString::fromUtf8("Czy przerwać operację ?"));
    EXPECT_EQ(asked.icon, kmx::platform::MessageIcon::Question);
    EXPECT_EQ(asked.buttons, kmx::platform::Buttons::YesNo);
    EXPECT_FALSE(Przerwano());

    dialogs().nextAnswers = {Answer::Yes};
    press(Qt::Key_Escape);
    EXPECT_EQ(dialogs().shownMessages.size(), 2u);
    EXPECT_TRUE(Przerwano());
    // The question gave its arrow back: the hourglass is on top again.
    EXPECT_TRUE(hourglass());

    // Other keys ask nothing.
    press(Qt::Key_Return);
    press(Qt::Key_A);
    EXPECT_EQ(dialogs().shownMessages.size(), 2u);

    // The next show starts with the flag cleared; a closed window never reports it.
    PokazCzekaj("Eksport", true);
    EXPECT_FALSE(Przerwano());
    dialogs().nextAnswers = {Answer::Yes};
    press(Qt::Key_Escape);
    EXPECT_TRUE(Przerwano());
    ZamknijCzekaj();
    EXPECT_FALSE(Przerwano());
}

// The loop of a long operation: Escape arrives while record 1 is being
// processed, the loop polls after each record.
int runLoop(int records, int escapeAt) {
    PokazCzekaj("Eksport", true);
    UstawZakres(0, records);
    int done = 0;
    for (int i = 0; i < records; ++i) {
        ++done;
        if (i == escapeAt)
            QCoreApplication::postEvent(oknoCzekaj(),
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        KrokPostepu();
        QCoreApplication::processEvents();
        if (Przerwano()) break;
    }
    ZamknijCzekaj();
    return done;
}

TEST_F(WaitWindow, LongLoopStopsAfterTheCurrentRecordOnlyOnYes) {
    dialogs().nextAnswers = {Answer::Yes};
    EXPECT_EQ(runLoop(5, 1), 2);
    dialogs().nextAnswers = {Answer::No};
    EXPECT_EQ(runLoop(5, 1), 5);
    EXPECT_EQ(dialogs().shownMessages.size(), 2u);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WaitWindow, HidingLiftsTheHourglassAndRestoringBringsItBack) {
    PokazCzekaj("Kursy walut", false);
    UkryjCzekaj();
    ASSERT_NE(oknoCzekaj(), nullptr);
    EXPECT_FALSE(oknoCzekaj()->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    PrzywrocCzekaj();
    EXPECT_TRUE(oknoCzekaj()->isVisible());
    EXPECT_TRUE(hourglass());
    ZamknijCzekaj();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Closed while hidden: nothing left either.
    PokazCzekaj("Kursy walut", false);
    UkryjCzekaj();
    ZamknijCzekaj();
    EXPECT_EQ(oknoCzekaj(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WaitWindow, GuardClosesOnEveryWayOutOfTheScope) {
    {
        CzekajGuard guard("Sortowanie", false);
        EXPECT_NE(oknoCzekaj(), nullptr);
    }
    EXPECT_EQ(oknoCzekaj(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    const auto failingStep = [] {
        CzekajGuard guard;
        PokazCzekaj("Eksport", true);
        return false;  // an error path that returns early
    };
    EXPECT_FALSE(failingStep());
    EXPECT_EQ(oknoCzekaj(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WaitWindow, BlueBoxWithALightSunkenPanelCentredOnTheScreen) {
    PokazCzekaj("Wyszukiwanie", true);
    QWidget* w = oknoCzekaj();
    const QImage image = w->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    const auto at = [&](int x, int y) {
        return image.pixelColor(static_cast<int>(x * ratio), static_cast<int>(y * ratio));
    };
    EXPECT_EQ(at(6, 60), QColor(0, 98, 167));
    EXPECT_EQ(at(258, 60), QColor(0, 98, 167));
    EXPECT_EQ(at(20, 18), QColor(240, 251, 255));
    // Raised outside: light top-left, dark bottom-right; the panel the other way.
    EXPECT_EQ(at(0, 60), QColor(255, 255, 255));
    EXPECT_EQ(at(264, 60), QColor(128, 128, 128));
    EXPECT_EQ(at(13, 60), QColor(128, 128, 128));
    EXPECT_EQ(at(251, 60), QColor(255, 255, 255));

    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(w->geometry().center().x() - area.center().x()), 1);
    EXPECT_LE(std::abs(w->geometry().center().y() - area.center().y()), 1);

    if (const QString dir = qEnvironmentVariable("KMX_SCREENSHOT_DIR"); !dir.isEmpty()) {
        // In the program's own font.
        ZamknijCzekaj();
        const QFont oldFont = QApplication::font();
        QFont font("Arial");
        font.setPixelSize(13);
        QApplication::setFont(font);
        QDir().mkpath(dir);
        PokazCzekaj(QString::fromUtf8("Eksport cennika..."), true);
        UstawZakres(0, 10);
        for (int i = 0; i < 4; ++i) KrokPostepu();
        oknoCzekaj()->grab().save(QDir(dir).filePath("wait_progress.png"));
        PokazCzekaj(QString::fromUtf8("Wyszukiwanie towarów..."), false);
        oknoCzekaj()->grab().save(QDir(dir).filePath("wait_plain.png"));
        ZamknijCzekaj();
        QApplication::setFont(oldFont);
    }
}

}  // namespace
