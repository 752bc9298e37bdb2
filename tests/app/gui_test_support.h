#pragma once
// What the main-window tests share: typing and clicking as a user does, the
// ids of a result set, and the demo catalogue built for a test suite.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/help_window.h"
#include "app/main_window.h"
#include "app/program_paths.h"
#include "app/program_state.h"
#include "app/result_grid.h"
#include "catalog/demo.h"
#include "data/dataset.h"
#include "export/form_nowy_cennik.h"
#include "export/form_waluta.h"
#include "export/wybor_tessara.h"
#include "mail/form_dostawcy.h"
#include "mail/form_mail.h"
#include "platform/dialogs.h"
#include "platform/links.h"
#include "platform/settings_store.h"
#include "reports/form_druk.h"
#include "reports/preview.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace kmx::guitest {

inline std::filesystem::path toPath(const QString& s) {
    return std::filesystem::path(QFile::encodeName(s).toStdString());
}

inline void klawisz(QWidget* w, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &release);
}

// Types text into a widget key by key, as a user would.
inline void wpisz(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        const int key =
            c.unicode() < 0x80 ? static_cast<int>(c.toUpper().unicode()) : static_cast<int>(Qt::Key_unknown);
        klawisz(w, key, QString(c));
    }
}

inline void enter(QWidget* w) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(w, &press);
}

inline void mysz(QWidget* target, QEvent::Type type, const QPoint& pos) {
    QMouseEvent e(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &e);
}

inline void klikTytulu(QHeaderView* header, int section, bool dwukrotnie = false) {
    const QPoint pos(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                     header->height() / 2);
    QWidget* vp = header->viewport();
    mysz(vp, QEvent::MouseButtonPress, pos);
    mysz(vp, QEvent::MouseButtonRelease, pos);
    if (dwukrotnie) {
        mysz(vp, QEvent::MouseButtonDblClick, pos);
        mysz(vp, QEvent::MouseButtonRelease, pos);
    }
}

inline void dwuklikWiersza(app::ResultGrid* grid, int row) {
    const QPoint pos(grid->columnViewportPosition(0) + 10, grid->rowViewportPosition(row) + 5);
    QWidget* vp = grid->viewport();
    mysz(vp, QEvent::MouseButtonPress, pos);
    mysz(vp, QEvent::MouseButtonRelease, pos);
    mysz(vp, QEvent::MouseButtonDblClick, pos);
    mysz(vp, QEvent::MouseButtonRelease, pos);
}

// The values of an id column in the order of the set's view.
inline std::vector<long long> kolumnaId(const data::DataSet& ds, const char* field) {
    std::vector<long long> ids;
    const int f = ds.fieldIndex(field);
    for (int r = 0; r < ds.recordCount(); ++r) ids.push_back(ds.cell(r, f).asInt());
    return ids;
}

// A demo catalogue with a fixed password in a new temporary folder, for a
// suite's SetUpTestSuite.
inline QTemporaryDir* zbudujDemo(const char* password, int goods = 3000,
                                 catalog::DemoEdition edition = catalog::DemoEdition::Prices) {
    auto* dir = new QTemporaryDir;
    EXPECT_TRUE(dir->isValid());
    catalog::DemoOptions options;
    options.goods = goods;
    options.password = password;
    options.edition = edition;
    const catalog::DemoResult r = catalog::writeDemo(toPath(dir->path()), options);
    EXPECT_TRUE(r.ok) << r.error;
    return dir;
}

// A named child of a window, failing the test when it is missing.
template <typename T>
T* znajdz(const QObject* okno, const char* name) {
    T* found = okno->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Before each main-window test: dialogs answered by the test hooks with
// nothing queued or recorded, the program state as at start, no modal loops.
inline void przygotujTestOkna() {
    auto& d = platform::dialogs();
    d.setTestMode(true);
    d.shownMessages.clear();
    d.nextAnswers.clear();
    d.nextFiles.clear();
    d.fileRequests.clear();
    app::ZerujStanProgramu();
    app::TFHelp::setTestMode(true);
    app::TKmxMain::setTestMode(true);
    app::ResultGrid::KliknietoTytul() = false;
    // No window of the program may wait in a modal loop of its own.
    mail::TFMail::testHook = [](mail::TFMail&) {};
    mail::TFDostawcy::testHook = [](mail::TFDostawcy&) {};
    reports::TFrmDruk::testHook = [](reports::TFrmDruk&) {};
    reports::previewTestHook = [](reports::TFPreview&) {};
    tessar::TFWyborTessara::testHook = [](tessar::TFWyborTessara&) {};
    tessar::TFNowyCennik::testHook = [](tessar::TFNowyCennik&) {};
    tessar::TFWaluta::testHook = [](tessar::TFWaluta&) {};
}

// The main window on a catalogue folder, started and shown.
inline std::unique_ptr<app::TKmxMain> otworzOkno(const QString& folder, platform::SettingsStore& store,
                                                 platform::LinkOpener& links) {
    auto okno = std::make_unique<app::TKmxMain>(folder, store, &links);
    QString error;
    EXPECT_TRUE(okno->start(&error)) << error.toStdString();
    okno->show();
    QApplication::processEvents();
    return okno;
}

// A suite on the demo catalogue, made once for the suite with the suite's
// password Suite::kHasloDemo.
template <typename Suite>
class NaDemo : public ::testing::Test {
protected:
    static void SetUpTestSuite() { demo_ = zbudujDemo(Suite::kHasloDemo); }
    static void TearDownTestSuite() {
        delete demo_;
        demo_ = nullptr;
    }
    static inline QTemporaryDir* demo_ = nullptr;
};

// The same with the main window opened afresh on it before each test, with
// the test hooks of przygotujTestOkna; `ustaw` runs just before it opens.
template <typename Suite>
class OknoNaDemo : public NaDemo<Suite> {
protected:
    using NaDemo<Suite>::demo_;
    void SetUp() override {
        ASSERT_NE(demo_, nullptr);
        przygotujTestOkna();
        ustaw();
        store_ = std::make_unique<platform::QtSettingsStore>(ini_.filePath(QStringLiteral("kmx.ini")));
        okno_ = otworzOkno(demo_->path(), *store_, links_);
    }
    void TearDown() override {
        okno_.reset();
        app::UstawKatalogProgramu(QString());
    }
    virtual void ustaw() {}

    app::TKmxMain& o() { return *okno_; }
    QAction* akcja(const char* name) { return znajdz<QAction>(okno_.get(), name); }
    const std::vector<platform::ShownMessage>& komunikaty() { return platform::dialogs().shownMessages; }

    QTemporaryDir ini_;
    std::unique_ptr<platform::QtSettingsStore> store_;
    platform::RecordingLinkOpener links_;
    std::unique_ptr<app::TKmxMain> okno_;
};

}  // namespace kmx::guitest
