// The prepared-report file: round trips and every way a file can be wrong.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <bit>
#include <limits>
#include <type_traits>

#include "failing_device.h"
#include "reports/engine/qrp.h"

namespace kmx::reports {
namespace {

const QString kNotReport = QStringLiteral("To nie jest plik raportu Kalmarex.");
const QString kDamaged = QStringLiteral("Plik raportu jest uszkodzony lub niepełny.");

// Three pages with every kind of item, the last one empty.
void fillSample(PageStore& store) {
    store.clear();
    store.setPageSize(148, 210.5f);
    const std::uint16_t title = store.nameId(QStringLiteral("Tytuł"));
    const std::uint16_t goods = store.nameId(QStringLiteral("nazwa_towaru"));
    const std::uint16_t price = store.nameId(QStringLiteral("cena"));
    const std::uint16_t frame = store.nameId(QStringLiteral("ramka"));

    PreparedPage p1;
    p1.addText({.rect = {10, 10, 128, 5.5f},
                .lineMm = 5.5f,
                .font = {14, true},
                .align = Align::Center,
                .name = title},
               u"Lista towarów");
    p1.addText({.rect = {10, 20.25f, 60, 8.4f},
                .lineMm = 4.2f,
                .font = {},
                .flags = TextItem::Wrapped,
                .name = goods},
               u"Łódź zażółć\ngęślą jaźń");
    p1.addText({.rect = {100, 20.25f, 38, 4.2f},
                .lineMm = 4.2f,
                .font = {9.5f, false},
                .align = Align::Right,
                .flags = TextItem::Clipped,
                .name = price},
               u"12,50");
    p1.addText({.rect = {-5, 200, 0, 0}, .font = {8, false}}, u"");
    p1.boxes.push_back({.rect = {9, 19, 130, 12}, .penMm = 0.2f, .sides = SideAll, .name = frame});
    p1.boxes.push_back({.rect = {9, 35, 130, 0}, .penMm = 0.35f, .sides = SideBottom});
    store.addPage(std::move(p1));

    PreparedPage p2;
    p2.addText({.rect = {10, 10, 60, 4.2f},
                .lineMm = 4.2f,
                .font = {10, true},
                .flags = TextItem::Wrapped | TextItem::Clipped,
                .name = goods},
               u"Cement \"biały\" & <wapno>\r\n");
    p2.boxes.push_back(
        {.rect = {0, 0, 148, 210.5f}, .penMm = 1, .sides = SideLeft | SideRight, .name = frame});
    store.addPage(std::move(p2));

    store.addPage(PreparedPage());
}

// Something else to load over, to see what a failed load leaves.
void fillOther(PageStore& store) {
    store.clear();
    PreparedPage p;
    p.addText({.rect = {1, 2, 3, 4}, .lineMm = 4, .font = {}, .name = store.nameId(QStringLiteral("inna"))},
              u"poprzedni raport");
    store.addPage(p);
    store.addPage(p);
    store.setCurrentPage(2);
}

// Equal field by field; the first difference is named.
::testing::AssertionResult sameStore(const PageStore& a, const PageStore& b) {
    auto differs = [](const QString& what) { return ::testing::AssertionFailure() << what.toStdString(); };
    auto sameRect = [](const RectMm& r, const RectMm& s) {
        return r.x == s.x && r.y == s.y && r.w == s.w && r.h == s.h;
    };
    if (a.pageWidthMm() != b.pageWidthMm() || a.pageHeightMm() != b.pageHeightMm())
        return differs("page size");
    if (a.names() != b.names()) return differs("names");
    if (a.pageCount() != b.pageCount()) return differs("page count");
    for (int p = 1; p <= a.pageCount(); ++p) {
        const PreparedPage& x = a.page(p);
        const PreparedPage& y = b.page(p);
        const QString at = QStringLiteral("page %1 ").arg(p);
        if (x.text != y.text) return differs(at + "text buffer");
        if (x.texts.size() != y.texts.size()) return differs(at + "text count");
        for (std::size_t i = 0; i < x.texts.size(); ++i) {
            const TextItem& s = x.texts[i];
            const TextItem& t = y.texts[i];
            if (!sameRect(s.rect, t.rect) || s.offset != t.offset || s.length != t.length ||
                s.lineMm != t.lineMm || !(s.font == t.font) || s.align != t.align || s.flags != t.flags ||
                s.name != t.name)
                return differs(at + QStringLiteral("text item %1").arg(i));
        }
        if (x.boxes.size() != y.boxes.size()) return differs(at + "box count");
        for (std::size_t i = 0; i < x.boxes.size(); ++i) {
            const BoxItem& s = x.boxes[i];
            const BoxItem& t = y.boxes[i];
            if (!sameRect(s.rect, t.rect) || s.penMm != t.penMm || s.sides != t.sides || s.name != t.name)
                return differs(at + QStringLiteral("box %1").arg(i));
        }
    }
    return ::testing::AssertionSuccess();
}

QByteArray saved(const PageStore& store) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    EXPECT_TRUE(saveQrp(store, buffer, &error)) << error.toStdString();
    return buffer.data();
}

// A field in the file's byte order, appended or written over.
template <typename T>
void put(QByteArray& b, T v, qsizetype at = -1) {
    if (at < 0) {
        at = b.size();
        b.resize(at + qsizetype{sizeof v});
    }
    if constexpr (std::is_same_v<T, float>)
        qToLittleEndian(std::bit_cast<std::uint32_t>(v), b.data() + at);
    else
        qToLittleEndian(v, b.data() + at);
}

template <typename T>
QByteArray with(QByteArray b, qsizetype at, T v) {
    put(b, v, at);
    return b;
}

// A version-1 header with an A4 page; names and pages follow.
QByteArray header() {
    QByteArray b("KMXQRP\x1A\0", 8);
    put(b, std::uint16_t{1});
    put(b, 210.f);
    put(b, 297.f);
    return b;
}

TEST(QrpRoundTrip, KeepsEveryFieldOfEveryPage) {
    PageStore original;
    fillSample(original);
    const QByteArray bytes = saved(original);
    EXPECT_TRUE(bytes.startsWith(QByteArray("KMXQRP\x1A\0", 8)));

    PageStore loaded;
    fillOther(loaded);
    QString error;
    ASSERT_TRUE(loadQrp(loaded, QByteArrayView(bytes), &error)) << error.toStdString();
    EXPECT_TRUE(sameStore(original, loaded));
    EXPECT_EQ(loaded.currentPage(), 1);
    // Names are found again after loading.
    const auto prices = textsNamed(loaded, 1, QStringLiteral("cena"));
    ASSERT_EQ(prices.size(), 1u);
    EXPECT_EQ(loaded.page(1).textOf(*prices.front()).toString(), QStringLiteral("12,50"));
    EXPECT_EQ(loaded.nameId(QStringLiteral("ramka")), original.nameId(QStringLiteral("ramka")));
    // The loaded store writes the same bytes.
    EXPECT_EQ(saved(loaded), bytes);

    // An empty store is a report too: no pages, no current page.
    PageStore empty;
    ASSERT_TRUE(loadQrp(loaded, QByteArrayView(saved(empty)), &error)) << error.toStdString();
    EXPECT_TRUE(sameStore(empty, loaded));
    EXPECT_EQ(loaded.currentPage(), 0);
}

TEST(QrpRoundTrip, SavesToAFileAndLoadsItBack) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("raport.qrp"));
    PageStore original;
    fillSample(original);
    QString error;
    ASSERT_TRUE(saveQrp(original, path, &error)) << error.toStdString();

    PageStore loaded;
    ASSERT_TRUE(loadQrp(loaded, path, &error)) << error.toStdString();
    EXPECT_TRUE(sameStore(original, loaded));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    PageStore fromDevice;
    ASSERT_TRUE(loadQrp(fromDevice, file, &error)) << error.toStdString();
    EXPECT_TRUE(sameStore(original, fromDevice));

    // A missing file and an unwritable place: the file named, nothing changed.
    const QString missing = dir.filePath(QStringLiteral("brak.qrp"));
    EXPECT_FALSE(loadQrp(loaded, missing, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Nie można otworzyć pliku"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(missing))) << error.toStdString();
    EXPECT_TRUE(sameStore(original, loaded));

    const QString unwritable = dir.filePath(QStringLiteral("brak/raport.qrp"));
    EXPECT_FALSE(saveQrp(original, unwritable, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Nie można zapisać pliku"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(unwritable));
}

TEST(QrpLoad, EveryTruncatedFileFailsAndLeavesTheStoreAlone) {
    PageStore original;
    fillSample(original);
    const QByteArray bytes = saved(original);
    PageStore reference, target;
    fillOther(reference);
    fillOther(target);
    for (qsizetype n = 0; n < bytes.size(); ++n) {
        QString error;
        ASSERT_FALSE(loadQrp(target, QByteArrayView(bytes).first(n), &error)) << "prefix " << n;
        EXPECT_EQ(error, n < 8 ? kNotReport : kDamaged) << "prefix " << n;
        ASSERT_TRUE(sameStore(reference, target)) << "prefix " << n;
        ASSERT_EQ(target.currentPage(), 2) << "prefix " << n;
    }
}

TEST(QrpLoad, RejectsForeignFilesOtherVersionsAndTrailingBytes) {
    PageStore original;
    fillSample(original);
    const QByteArray bytes = saved(original);
    PageStore reference, target;
    fillOther(reference);
    fillOther(target);
    QString error;

    EXPECT_FALSE(loadQrp(target, QByteArrayView(with(bytes, 3, 'x')), &error));
    EXPECT_EQ(error, kNotReport);
    EXPECT_FALSE(loadQrp(target, QByteArrayView("%PDF-1.4 nie raport"), &error));
    EXPECT_EQ(error, kNotReport);

    EXPECT_FALSE(loadQrp(target, QByteArrayView(with(bytes, 8, std::uint16_t{513})), &error));
    EXPECT_EQ(error, QStringLiteral("Nieobsługiwana wersja pliku raportu: 513."));

    for (const QByteArray& tail : {QByteArray(1, '\0'), QByteArray("KMXQRP")}) {
        error.clear();
        EXPECT_FALSE(loadQrp(target, QByteArrayView(bytes + tail), &error));
        EXPECT_EQ(error, kDamaged);
    }
    EXPECT_TRUE(sameStore(reference, target));
}

TEST(QrpLoad, RejectsCountsTheFileCannotHoldAndBadNames) {
    // The hand-made header itself is sound: no names, no pages.
    QByteArray noNames = header();
    put(noNames, std::uint32_t{0});
    PageStore target;
    QString error;
    ASSERT_TRUE(loadQrp(target, QByteArrayView(noNames + QByteArray(4, '\0')), &error))
        << error.toStdString();

    // Each count claims 4 billion things and is followed by room for a few.
    const QByteArray onePage = noNames + QByteArray("\1\0\0\0", 4);
    const QByteArray emptyText = onePage + QByteArray(4, '\0');
    const QByteArray noTexts = emptyText + QByteArray(4, '\0');
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    std::vector<Case> cases{
        {"name count", header()},       {"name length", header() + QByteArray("\1\0\0\0", 4)},
        {"page count", noNames},        {"text length", onePage},
        {"text item count", emptyText}, {"box count", noTexts},
    };
    for (Case& c : cases) {
        put(c.bytes, std::numeric_limits<std::uint32_t>::max());
        c.bytes.append(QByteArray(100, '\0'));
    }
    // Complete files but for their names: invalid UTF-8, more names than ids.
    cases.push_back({"utf-8", header()});
    put(cases.back().bytes, 1u);
    put(cases.back().bytes, 2u);
    cases.back().bytes.append("\xC3\x28", 2);
    put(cases.back().bytes, 0u);
    cases.push_back({"65536 names", header()});
    put(cases.back().bytes, 65536u);
    for (int i = 0; i < 65536; ++i) cases.back().bytes.append("\1\0\0\0n", 5);
    put(cases.back().bytes, 0u);

    for (const Case& c : cases) {
        error.clear();
        EXPECT_FALSE(loadQrp(target, QByteArrayView(c.bytes), &error)) << c.what;
        EXPECT_EQ(error, kDamaged) << c.what;
    }
}

TEST(QrpLoad, RejectsValuesOutsideTheirRange) {
    // One text item and one box, found in the file by their first bytes.
    PageStore original;
    const std::uint16_t name = original.nameId(QStringLiteral("pole"));
    PreparedPage page;
    page.addText({.rect = {11.25f, 22.5f, 33.75f, 4.5f},
                  .lineMm = 4.5f,
                  .font = {10, true},
                  .align = Align::Right,
                  .flags = TextItem::Clipped,
                  .name = name},
                 u"abcdef");
    page.boxes.push_back(
        {.rect = {55.25f, 60, 70, 80}, .penMm = 0.75f, .sides = SideLeft | SideTop, .name = name});
    original.addPage(page);
    const QByteArray bytes = saved(original);
    auto at = [&bytes](float v) {
        QByteArray pattern;
        put(pattern, v);
        EXPECT_EQ(bytes.count(pattern), 1);
        return bytes.indexOf(pattern);
    };
    // Text: x y w h offset length lineMm pt (4 bytes each), bold align flags, name.
    const qsizetype text = at(11.25f);
    // Box: x y w h pen (4 bytes each), sides, name.
    const qsizetype box = at(55.25f);

    PageStore reference, target;
    fillOther(reference);
    fillOther(target);
    QString error;
    ASSERT_TRUE(loadQrp(target, QByteArrayView(bytes), &error)) << error.toStdString();
    EXPECT_TRUE(sameStore(original, target));
    fillOther(target);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        QByteArray bytes;
        bool loads;
    };
    const std::vector<Case> cases{
        {"text ending at the buffer's end", with(with(bytes, text + 16, 2u), text + 20, 4u), true},
        {"text past the buffer", with(bytes, text + 20, 7u), false},
        {"offset past the buffer", with(bytes, text + 16, 7u), false},
        {"offset + length wrapping round", with(with(bytes, text + 16, 0xFFFFFFFFu), text + 20, 2u), false},
        {"text name", with(bytes, text + 35, std::uint16_t{2}), false},
        {"box name", with(bytes, box + 21, std::uint16_t{0xFFFF}), false},
        {"bold", with(bytes, text + 32, '\2'), false},
        {"align", with(bytes, text + 33, '\3'), false},
        {"flags", with(bytes, text + 34, '\4'), false},
        {"sides", with(bytes, box + 20, '\x10'), false},
        {"NaN x", with(bytes, text, nan), false},
        {"infinite line", with(bytes, text + 24, std::numeric_limits<float>::infinity()), false},
        {"far away y", with(bytes, text + 4, 1e6f), false},
        {"negative points", with(bytes, text + 28, -1.f), false},
        {"NaN box height", with(bytes, box + 12, nan), false},
        {"negative pen", with(bytes, box + 16, -0.5f), false},
        {"zero page width", with(bytes, 10, 0.f), false},
        {"NaN page height", with(bytes, 14, nan), false},
    };
    for (const Case& c : cases) {
        error.clear();
        EXPECT_EQ(loadQrp(target, QByteArrayView(c.bytes), &error), c.loads) << c.what;
        if (!c.loads) {
            EXPECT_EQ(error, kDamaged) << c.what;
            EXPECT_TRUE(sameStore(reference, target)) << c.what;
        }
        fillOther(target);
    }
}

TEST(QrpSave, ReportsAFailingDeviceAndRefusesBrokenStores) {
    PageStore store;
    fillSample(store);
    const qint64 size = saved(store).size();
    for (const qint64 limit : {qint64{0}, qint64{20}, size / 2, size - 1}) {
        FailingDevice device(limit);
        QString error;
        EXPECT_FALSE(saveQrp(store, device, &error)) << limit;
        EXPECT_EQ(error, QStringLiteral("Nie można zapisać pliku: Brak miejsca na dysku")) << limit;
    }
    QByteArray data;
    QBuffer readOnly(&data);
    readOnly.open(QIODevice::ReadOnly);
    QString error;
    EXPECT_FALSE(saveQrp(store, readOnly, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Nie można zapisać pliku"))) << error.toStdString();

    // What could not be read back is not written.
    store.page(2).texts.front().length = 1000;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    error.clear();
    EXPECT_FALSE(saveQrp(store, buffer, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(buffer.data().isEmpty());
}

}  // namespace
}  // namespace kmx::reports
