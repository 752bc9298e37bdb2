#include "reports/engine/painter.h"

#include <QFileDevice>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <vector>

#include "reports/engine/measure.h"

namespace kmx::reports {

namespace {

double units(float mm) {
    return static_cast<double>(mm) * kUnitsPerMm;
}

QRectF unitsRect(const RectMm& r) {
    return {units(r.x), units(r.y), units(r.w), units(r.h)};
}

Qt::Alignment alignment(Align a) {
    switch (a) {
        case Align::Right:
            return Qt::AlignRight;
        case Align::Center:
            return Qt::AlignHCenter;
        case Align::Left:
            break;
    }
    return Qt::AlignLeft;
}

}  // namespace

void paintPage(QPainter& painter, const PageStore& store, int pageNumber, double pixelsPerMm, QPointF origin) {
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

    std::vector<std::pair<FontSpec, QFont>> fonts;
    auto fontOf = [&fonts](const FontSpec& spec) -> const QFont& {
        for (const auto& f : fonts)
            if (f.first == spec) return f.second;
        fonts.emplace_back(spec, reportFont(spec, kUnitsPerMm));
        return fonts.back().second;
    };

    painter.setPen(Qt::black);
    for (const TextItem& t : page.texts) {
        painter.setFont(fontOf(t.font));
        const QRectF box = unitsRect(t.rect);
        const bool clip = t.flags & TextItem::Clipped;
        if (clip) {
            painter.save();
            painter.setClipRect(box, Qt::IntersectClip);
        }
        const QStringView all = page.textOf(t);
        const int flags = static_cast<int>(alignment(t.align) | Qt::AlignTop) | Qt::TextSingleLine | Qt::TextDontClip;
        double y = box.top();
        for (const QStringView line : all.tokenize(QLatin1Char('\n'))) {
            painter.drawText(QRectF(box.left(), y, box.width(), units(t.lineMm)), flags, line.toString());
            y += units(t.lineMm);
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
    if (const auto* file = qobject_cast<const QFileDevice*>(&out); file && file->error() != QFileDevice::NoError) {
        if (error) *error = file->errorString();
        return false;
    }
    return true;
}

bool writePdf(const PageStore& store, const QString& path, const QString& title, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    if (!writePdf(store, file, title, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace kmx::reports
