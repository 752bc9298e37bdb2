// The report files written from the preview and by kmx-tool (.qrp, text,
// HTML, PDF) against failing disks: the failure names the file and the
// reason, the previous file stays byte for byte and no other file is left.

#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "reports/engine/exports.h"
#include "reports/engine/painter.h"
#include "reports/engine/prepared.h"
#include "reports/engine/qrp.h"
#include "support/disk_faults.h"

namespace kmx::reports {
namespace {

namespace dt = kmx::disktest;
namespace sf = kmx::safefile;

PageStore pages(int count) {
    PageStore store;
    store.setPageSize(PageStore::kA4WidthMm, PageStore::kA4HeightMm);
    for (int n = 1; n <= count; ++n) {
        PreparedPage page;
        for (int line = 0; line < 40; ++line) {
            TextItem t;
            t.rect = {20, 20.0f + 6 * line, 150, 6};
            t.lineMm = 6;
            page.addText(t, QStringLiteral("Strona %1, wiersz %2: cegła pełna żółta").arg(n).arg(line));
        }
        store.addPage(std::move(page));
    }
    return store;
}

struct Writer {
    const char* name;
    std::function<bool(const PageStore&, const QString&, QString*)> write;
};

std::vector<Writer> writers() {
    return {
        {"qrp", [](const PageStore& s, const QString& p, QString* e) { return saveQrp(s, p, e); }},
        {"text", [](const PageStore& s, const QString& p, QString* e) { return writeText(s, p, {}, e); }},
        {"html", [](const PageStore& s, const QString& p,
                    QString* e) { return writeHtml(s, p, QStringLiteral("Raport"), e); }},
        {"pdf", [](const PageStore& s, const QString& p,
                   QString* e) { return writePdf(s, p, QStringLiteral("Raport"), e); }},
    };
}

QString q(const dt::fs::path& p) {
    return QString::fromStdString(p.string());
}

TEST(ReportDiskFaults, AFullOrReadOnlyDiskAtAnyStepKeepsThePreviousFile) {
    const PageStore store = pages(12);
    for (const Writer& w : writers()) {
        dt::TempDir dir;
        const dt::fs::path target = dir / "raport.plik";
        QString error;
        ASSERT_TRUE(w.write(store, q(target), &error)) << w.name << ": " << error.toStdString();
        const std::size_t size = dt::readFile(target).size();
        ASSERT_GT(size, 1000u) << w.name;
        std::vector<std::uint64_t> offsets{0, 1, size / 2, size - 1};
        if (size > 65536) offsets.insert(offsets.end(), {65535, 65536});  // at the device's piece boundary
        for (const dt::SeamCase& c : dt::seamCases(offsets)) {
            dt::writeFile(target, "poprzedni raport");
            error.clear();
            bool written = true;
            {
                sf::FaultScope fault(c.fault);
                written = w.write(store, q(target), &error);
            }
            EXPECT_FALSE(written) << w.name << ", " << c.label;
            EXPECT_EQ(error.toStdString(), dt::message(target, c.reason)) << w.name << ", " << c.label;
            EXPECT_TRUE(dt::readFile(target) == "poprzedni raport") << w.name << ", " << c.label;
            EXPECT_EQ(dir.names(), std::vector<std::string>{"raport.plik"}) << w.name << ", " << c.label;
        }
    }
}

TEST(ReportDiskFaults, UnwritablePlacesAndARealFullDiskAreReported) {
    const PageStore store = pages(12);
    for (const Writer& w : writers()) {
        dt::TempDir dir;
        for (const dt::Unwritable& u : dt::unwritablePlaces(dir, "raport.qrp")) {
            QString error;
            EXPECT_FALSE(w.write(store, q(u.file), &error)) << w.name;
            EXPECT_EQ(error.toStdString(), dt::message(u.file, u.reason)) << w.name;
        }
        QString error;
        EXPECT_FALSE(w.write(store, QStringLiteral("/dev/full"), &error)) << w.name;
        EXPECT_EQ(error.toStdString(), dt::message("/dev/full", "brak miejsca na dysku")) << w.name;

        const dt::fs::path target = dir / "raport.qrp";
        dt::writeFile(target, "poprzedni raport");
        bool written = true;
        {
            dt::FileSizeLimit limit(4096);
            ASSERT_TRUE(limit.ok());
            written = w.write(store, q(target), &error);
        }
        EXPECT_FALSE(written) << w.name;
        EXPECT_EQ(error.toStdString(), dt::message(target, "brak miejsca na dysku")) << w.name;
        EXPECT_TRUE(dt::readFile(target) == "poprzedni raport") << w.name;
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"plik.txt", "raport.qrp"})) << w.name;
    }
}

}  // namespace
}  // namespace kmx::reports
