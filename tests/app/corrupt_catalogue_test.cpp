// A catalogue damaged on disk (bytes flipped in the middle, cut short, empty,
// random bytes) in both programs: start-up ends with its message, or the
// window starts and a search that meets the damage shows the query message;
// never a crash, never a success made up of half-read data.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/program_paths.h"
#include "data/tdm.h"
#include "editions/edition.h"
#include "gui_test_support.h"
#include "platform/dialogs.h"
#include "platform/links.h"
#include "platform/settings_store.h"
#include "support/disk_faults.h"

namespace {

using namespace kmx::guitest;
using kmx::platform::MessageIcon;
namespace dt = kmx::disktest;

enum class Damage { FlippedMiddle, FlippedFirstPage, Truncated, Empty, Random };

const char* name(Damage d) {
    switch (d) {
        case Damage::FlippedMiddle:
            return "bytes flipped in the middle";
        case Damage::FlippedFirstPage:
            return "bytes flipped in the first page";
        case Damage::Truncated:
            return "cut to a third";
        case Damage::Empty:
            return "empty";
        case Damage::Random:
            break;
    }
    return "random bytes";
}

void damage(const dt::fs::path& file, Damage d) {
    std::string bytes = dt::readFile(file);
    std::mt19937 random(20260401);
    switch (d) {
        case Damage::FlippedMiddle:
            // A run of 4 KiB pages from the middle on: every page of it fails its check.
            for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 64 * 1024 && i < bytes.size();
                 i += 97)
                bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
            break;
        case Damage::FlippedFirstPage:
            for (std::size_t i = 100; i < 4000; i += 13) bytes[i] = static_cast<char>(bytes[i] ^ 0xFF);
            break;
        case Damage::Truncated:
            bytes.resize(bytes.size() / 3);
            break;
        case Damage::Empty:
            bytes.clear();
            break;
        case Damage::Random:
            for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
            break;
    }
    dt::writeFile(file, bytes);
}

// The parameter: the average-prices program (KalmarexAvg).
class CorruptCatalogue : public ::testing::TestWithParam<bool> {
protected:
    static void SetUpTestSuite() {
        prices_ = zbudujDemo("Uszkodzony-1", 3000);
        averages_ = zbudujDemo("Uszkodzony-2", 1500, kmx::catalog::DemoEdition::AveragePrices);
    }
    static void TearDownTestSuite() {
        delete prices_;
        delete averages_;
        prices_ = averages_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(prices_, nullptr);
        ASSERT_NE(averages_, nullptr);
        kmx::edition::ustaw(GetParam() ? kmx::edition::CenySrednie : kmx::edition::CenyProducentow);
        przygotujTestOkna();
        store_ = std::make_unique<kmx::platform::QtSettingsStore>(ini_.filePath(QStringLiteral("kmx.ini")));
    }
    void TearDown() override {
        kmx::app::UstawKatalogProgramu(QString());
        kmx::edition::ustaw(kmx::edition::CenyProducentow);
    }
    QTemporaryDir* demo() const { return GetParam() ? averages_ : prices_; }
    // A copy of the demo catalogue with its database damaged.
    void copyDamaged(const QTemporaryDir& into, Damage d) {
        for (const char* f : {"kmx.dat", "kmx.iif", "stawki.rtf"})
            ASSERT_TRUE(
                QFile::copy(demo()->filePath(QString::fromLatin1(f)), into.filePath(QString::fromLatin1(f))));
        damage(toPath(into.filePath(QStringLiteral("kmx.dat"))), d);
    }

    static inline QTemporaryDir* prices_ = nullptr;
    static inline QTemporaryDir* averages_ = nullptr;
    QTemporaryDir ini_;
    std::unique_ptr<kmx::platform::QtSettingsStore> store_;
    kmx::platform::RecordingLinkOpener links_;
};

TEST_P(CorruptCatalogue, StartUpOrTheSearchGivesItsMessage) {
    for (const Damage d : {Damage::FlippedMiddle, Damage::FlippedFirstPage, Damage::Truncated, Damage::Empty,
                           Damage::Random}) {
        SCOPED_TRACE(name(d));
        QTemporaryDir dir;
        copyDamaged(dir, d);
        kmx::platform::dialogs().shownMessages.clear();
        kmx::app::TKmxMain okno(dir.path(), *store_, &links_);
        QString error;
        if (!okno.start(&error)) {
            // The start-up message of the program: the database or a table.
            EXPECT_TRUE(error.startsWith(QStringLiteral("Nie można otworzyć bazy danych")) ||
                        error.startsWith(QStringLiteral("Nie można otworzyć tabeli")))
                << error.toStdString();
            continue;
        }
        // Only damage past what start-up reads lets the window start.
        EXPECT_TRUE(d == Damage::FlippedMiddle) << error.toStdString();
        okno.show();
        QApplication::processEvents();
        kmx::platform::dialogs().shownMessages.clear();
        // Every goods row read: the search meets the damaged pages.
        QLineEdit* nazwa = okno.findChild<QLineEdit*>(QStringLiteral("eNazwaTow"));
        ASSERT_NE(nazwa, nullptr);
        enter(nazwa);
        QApplication::processEvents();
        const auto& shown = kmx::platform::dialogs().shownMessages;
        const bool listed = okno.tdm().QWybrTow.active() && okno.tdm().QWybrTow.recordCount() > 0;
        if (!shown.empty()) {
            EXPECT_EQ(shown.back().icon, MessageIcon::Error);
            EXPECT_FALSE(shown.back().text.isEmpty());
        }
        // Either the query message or a complete list, never both or neither.
        EXPECT_NE(shown.empty(), !listed)
            << (shown.empty() ? std::string() : shown.back().text.toStdString());
        okno.close();
    }
}

std::string programName(const ::testing::TestParamInfo<bool>& p) {
    return p.param ? "KalmarexAvg" : "Kalmarex";
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, CorruptCatalogue, ::testing::Values(false, true), programName);

}  // namespace
