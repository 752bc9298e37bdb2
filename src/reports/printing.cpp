#include "reports/printing.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/printers.h"
#include "reports/engine/painter.h"

namespace kmx::reports {

namespace {

void ustawBlad(QString* error, const QString& text) {
    if (error != nullptr) *error = text;
}

// A store of another size than A4 (a prepared report read from a file) gets
// paper of its own size on a printer opened here.
void dopasujPapier(QPrinter& printer, const PageStore& store) {
    const float w = store.pageWidthMm();
    const float h = store.pageHeightMm();
    if (std::abs(w - PageStore::kA4WidthMm) < 0.5f && std::abs(h - PageStore::kA4HeightMm) < 0.5f) return;
    const bool poziomo = w > h;
    const QSizeF size = poziomo ? QSizeF(h, w) : QSizeF(w, h);
    printer.setPageSize(QPageSize(size, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch));
    printer.setPageOrientation(poziomo ? QPageLayout::Landscape : QPageLayout::Portrait);
}

}  // namespace

QString brakDrukarkiKomunikat() {
    return QString::fromUtf8("Nie znaleziono drukarki. Zainstaluj drukarkę w systemie, aby drukować.");
}

bool drukujStrony(const PageStore& store, int printerIndex, QString* error, QPrinter* settings) {
    const QStringList names = platform::printers().names();
    if (printerIndex < 0 || printerIndex >= names.size()) {
        ustawBlad(error, brakDrukarkiKomunikat());
        return false;
    }
    if (store.pageCount() == 0) {
        ustawBlad(error, QString::fromUtf8("Raport nie ma stron do wydrukowania."));
        return false;
    }

    std::unique_ptr<QPrinter> opened;
    QPrinter* printer = settings;
    if (printer == nullptr) {
        opened = platform::printers().open(printerIndex);
        if (opened == nullptr) {
            ustawBlad(error, brakDrukarkiKomunikat());
            return false;
        }
        dopasujPapier(*opened, store);
        printer = opened.get();
    }
    printer->setFullPage(true);
    if (printer->docName().isEmpty()) printer->setDocName(QStringLiteral("Kalmarex"));

    int from = 1;
    int to = store.pageCount();
    if (printer->printRange() == QPrinter::CurrentPage) {
        from = to = std::max(1, store.currentPage());
    } else {
        if (printer->fromPage() > 0) from = printer->fromPage();
        if (printer->toPage() > 0) to = std::min(printer->toPage(), store.pageCount());
    }
    if (from > to) {
        ustawBlad(error, QString::fromUtf8("Raport nie ma stron o numerach %1–%2.")
                             .arg(printer->fromPage())
                             .arg(printer->toPage()));
        return false;
    }

    // A device that cannot make copies by itself gets every copy sent.
    const int copies = printer->supportsMultipleCopies() ? 1 : std::max(1, printer->copyCount());
    const bool collate = printer->collateCopies();
    const bool reversed = printer->pageOrder() == QPrinter::LastPageFirst;

    std::vector<int> order;
    for (int p = from; p <= to; ++p) order.push_back(p);
    if (reversed) std::reverse(order.begin(), order.end());
    std::vector<int> sequence;
    if (collate) {
        for (int c = 0; c < copies; ++c) sequence.insert(sequence.end(), order.begin(), order.end());
    } else {
        for (const int p : order) sequence.insert(sequence.end(), static_cast<std::size_t>(copies), p);
    }

    QPainter painter;
    if (!painter.begin(printer)) {
        ustawBlad(error, QString::fromUtf8("Nie można rozpocząć drukowania na drukarce %1.")
                             .arg(printer->printerName().isEmpty() ? names.at(printerIndex)
                                                                   : printer->printerName()));
        return false;
    }
    const double pixelsPerMm = printer->resolution() / 25.4;
    bool first = true;
    for (const int p : sequence) {
        if (!first && !printer->newPage()) {
            painter.end();
            ustawBlad(error, QString::fromUtf8("Drukarka przerwała wydruk przed stroną %1.").arg(p));
            return false;
        }
        first = false;
        paintPage(painter, store, p, pixelsPerMm, QPointF(0, 0));
    }
    if (!painter.end() || printer->printerState() == QPrinter::Error) {
        ustawBlad(error, QString::fromUtf8("Wydruk nie został wysłany do drukarki."));
        return false;
    }
    return true;
}

}  // namespace kmx::reports
