#pragma once
// Exports of prepared pages other than the prepared-report file: plain text
// laid out on a character grid, HTML with every item placed in millimetres,
// and PDF through the painter.

#include <QString>
#include <vector>

#include "reports/engine/prepared.h"

class QIODevice;

namespace kmx::reports {

struct ExportFormat {
    QString filter;     // file-dialog filter, e.g. "Plik tekstowy (*.txt)"
    QString extension;  // without the dot, e.g. "txt"
    bool (*write)(const PageStore& store, const QString& path, const QString& title, QString* error);
};

// The export formats in their fixed order: 0 plain text, 1 HTML, 2 PDF.
const std::vector<ExportFormat>& exportFormats();

// UTF-8 text, one column per 2 mm and one row per line of text, "\f" between
// pages. The file overload replaces the file only when all of it was written.
bool writeText(const PageStore& store, QIODevice& out, QString* error);
bool writeText(const PageStore& store, const QString& path, const QString& title, QString* error);

// A UTF-8 HTML document, one positioned block per page of the store's size.
bool writeHtml(const PageStore& store, QIODevice& out, const QString& title, QString* error);
bool writeHtml(const PageStore& store, const QString& path, const QString& title, QString* error);

}  // namespace kmx::reports
