#include "reports/engine/painter.h"

#include <QFileDevice>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <vector>

#include "reports/engine/file_write.h"
#include "reports/engine/measure.h"

namespace kmx::reports {

namespace {

double units(float mm) {
    return static_cast<double>(mm) * kUnitsPerMm;
}

QRectF unitsRect(const RectMm& r) {
    return {units(r.x), units(r.y), units(r.w), units(r.h)};
}

}  // namespace

void paintPage(QPainter& painter, const PageStore& store, int pageNumber, double pixelsPerMm,
               QPointF origin) {
    if (pageNumber < 1 || pageNumber > store.pageCount()) return;
    const PreparedPage& page = store.page(pageNumber);
    painter.save();
    painter.translate(origin);
    // Everything below is in 1/100 mm, the unit the fonts were measured in.
    painter.scale(pixelsPerMm / kUnitsPerMm, pixelsPerMm / kUnitsPerMm);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    for (const BoxItem& b : page.boxes) {
        QPen pen(Qt::black);
        // Thinner than a device pixel (a screen at small zoom): one even pixel
        // instead of lines that alternate between one and two pixels.
        pen.setWidthF(static_cast<double>(b.penMm) * pixelsPerMm < 1.0 ? 0.0 : units(b.penMm));
        pen.setCapStyle(Qt::SquareCap);
        painter.setPen(pen);
        const QRectF r = unitsRect(b.rect);
        if (b.sides & SideLeft) painter.drawLine(r.topLeft(), r.bottomLeft());
        if (b.sides & SideTop) painter.drawLine(r.topLeft(), r.topRight());
        if (b.sides & SideRight) painter.drawLine(r.topRight(), r.bottomRight());
        if (b.sides & SideBottom) painter.drawLine(r.bottomLeft(), r.bottomRight());
    }

    // Fonts with their metrics, made once per page.
    struct Font {
        FontSpec spec;
        QFont font;
        QFontMetricsF metrics;
    };
    std::vector<Font> fonts;
    auto fontOf = [&fonts](const FontSpec& spec) -> const Font& {
        for (const Font& f : fonts)
            if (f.spec == spec) return f;
        const QFont font = reportFont(spec, kUnitsPerMm);
        fonts.push_back(Font{spec, font, QFontMetricsF(font)});
        return fonts.back();
    };

    painter.setPen(Qt::black);
    for (const TextItem& t : page.texts) {
        const Font& f = fontOf(t.font);
        painter.setFont(f.font);
        const QRectF box = unitsRect(t.rect);
        const bool clip = t.flags & TextItem::Clipped;
        if (clip) {
            painter.save();
            painter.setClipRect(box, Qt::IntersectClip);
        }
        // Each line from its baseline: the lines are broken already, so no
        // layout is needed, only the width of a line that is not left-aligned.
        double top = box.top();
        for (const QStringView view : page.textOf(t).tokenize(QLatin1Char('\n'))) {
            const QString line = view.toString();
            double x = box.left();
            if (t.align != Align::Left) {
                const double free = box.width() - f.metrics.horizontalAdvance(line);
                x += t.align == Align::Right ? free : free / 2;
            }
            painter.drawText(QPointF(x, top + f.metrics.ascent()), line);
            top += units(t.lineMm);
        }
        if (clip) painter.restore();
    }
    painter.restore();
}

bool writePdf(const PageStore& store, QIODevice& out, const QString& title, QString* error) {
    QPdfWriter writer(&out);
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QSizeF(store.pageWidthMm(), store.pageHeightMm()), QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Kalmarex"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error) *error = QStringLiteral("Nie można utworzyć dokumentu PDF.");
        return false;
    }
    const double pxPerMm = writer.resolution() / 25.4;
    for (int p = 1; p <= store.pageCount(); ++p) {
        if (p > 1) writer.newPage();
        paintPage(painter, store, p, pxPerMm);
    }
    painter.end();
    // The writer does not report a device that stopped taking bytes; a file
    // does.
    if (const auto* file = qobject_cast<const QFileDevice*>(&out);
        file && file->error() != QFileDevice::NoError) {
        setError(error, writeFailed(file->errorString()));
        return false;
    }
    return true;
}

bool writePdf(const PageStore& store, const QString& path, const QString& title, QString* error) {
    return saveFile(path, error, [&](QIODevice& out) { return writePdf(store, out, title, error); });
}

}  // namespace kmx::reports
