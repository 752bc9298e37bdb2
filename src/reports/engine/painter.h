#pragma once
// The one routine that draws prepared pages, for the preview, the printer
// and PDF alike, and the PDF writer built on it.

#include <QPointF>
#include <QString>

#include "reports/engine/prepared.h"

class QIODevice;
class QPainter;

namespace kmx::reports {

// Draws page `pageNumber` of the store with the paper's top-left corner at
// `origin` (device pixels) and `pixelsPerMm` pixels to the millimetre. Draws
// the items only, not the paper.
void paintPage(QPainter& painter, const PageStore& store, int pageNumber, double pixelsPerMm,
               QPointF origin = {});

// Writes every page as PDF (A4 pages of the store's size, 1200 dpi, text as
// text). The file overload replaces the file only when all of it was
// written. False with the reason in *error.
bool writePdf(const PageStore& store, QIODevice& out, const QString& title, QString* error);
bool writePdf(const PageStore& store, const QString& path, const QString& title, QString* error);

}  // namespace kmx::reports
