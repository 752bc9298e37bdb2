// Prepared-report files (.qrp) read back. Checked: a failed load leaves the
// store as it was and gives a message; a loaded report saves again to the
// very bytes it was read from (the format has one spelling for every
// report), and the text and HTML exports and the painter take whatever
// loaded.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_gui.h"
#include "fuzz/fuzz_support.h"
#include "reports/engine/exports.h"
#include "reports/engine/painter.h"
#include "reports/engine/prepared.h"
#include "reports/engine/qrp.h"

namespace {

using namespace kmx::reports;

// What a failed load must leave in place.
void fillBefore(PageStore& store) {
    store.clear();
    store.setPageSize(100, 50);
    PreparedPage page;
    page.addText(
        {.rect = {1, 2, 3, 4}, .lineMm = 4, .font = {}, .name = store.nameId(QStringLiteral("poprzedni"))},
        u"przed");
    store.addPage(page);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Fonts for the exports and the painter need a Gui application; one for the run.
    kmx::fuzz::StartGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    PageStore store;
    fillBefore(store);
    QString error;
    if (!loadQrp(store, QByteArrayView(bytes), &error)) {
        KMX_FUZZ_CHECK(!error.isEmpty());
        KMX_FUZZ_CHECK(store.pageCount() == 1);
        KMX_FUZZ_CHECK(store.pageWidthMm() == 100 && store.pageHeightMm() == 50);
        KMX_FUZZ_CHECK(store.page(1).text == QStringLiteral("przed"));
        KMX_FUZZ_CHECK(store.names().size() == 2);
        return 0;
    }
    KMX_FUZZ_CHECK(store.currentPage() == (store.pageCount() > 0 ? 1 : 0));

    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    KMX_FUZZ_CHECK(saveQrp(store, saved, &error));
    KMX_FUZZ_CHECK(saved.data() == bytes);

    QBuffer text;
    text.open(QIODevice::WriteOnly);
    KMX_FUZZ_CHECK(writeText(store, text, &error));
    QBuffer html;
    html.open(QIODevice::WriteOnly);
    KMX_FUZZ_CHECK(writeHtml(store, html, QStringLiteral("Raport"), &error));
    if (store.pageCount() > 0) {
        QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        paintPage(painter, store, 1, 0.25);
    }
    return 0;
}
