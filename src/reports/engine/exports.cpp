#include "reports/engine/exports.h"

#include <QIODevice>
#include <algorithm>
#include <cmath>
#include <functional>

#include "reports/engine/file_write.h"
#include "reports/engine/painter.h"

namespace kmx::reports {

namespace {

// The character grid of the text export.
constexpr double kMmPerColumn = 2.0;
// Rows of items without a line height are taken as this tall.
constexpr float kDefaultLineMm = 4.0f;
// No line of text grows past this many columns, whatever the coordinates.
constexpr double kMaxColumn = 100000;

bool checkWritable(QIODevice& out, QString* error) {
    if (out.isWritable()) return true;
    setError(error, writeFailed(out.errorString()));
    return false;
}

// Control characters (a form feed in a name, say) would break the lines and
// pages of the text and are not allowed in HTML: they print as blanks.
QChar printable(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7F ? QLatin1Char(' ') : c;
}

double finite(double v) {
    return std::isfinite(v) ? v : 0.0;
}

// ---- plain text ----

int column(float mm) {
    return static_cast<int>(std::lround(std::clamp(finite(mm) / kMmPerColumn, -kMaxColumn, kMaxColumn)));
}

// Columns a text takes: one per character, a surrogate pair being one.
int columnsOf(QStringView s) {
    int n = 0;
    for (const QChar c : s)
        if (!c.isLowSurrogate()) ++n;
    return n;
}

// One line of one text item.
struct Fragment {
    float y = 0;
    float lineMm = kDefaultLineMm;
    int start = 0;  // column of the first character
    int width = 0;  // in columns
    QString text;
};

Fragment fragment(const TextItem& item, QStringView line, int index) {
    Fragment f;
    f.lineMm = std::isfinite(item.lineMm) && item.lineMm > 0 ? item.lineMm : kDefaultLineMm;
    f.y = static_cast<float>(finite(item.rect.y)) + static_cast<float>(index) * f.lineMm;
    f.text.reserve(line.size());
    for (const QChar c : line) f.text.append(printable(c));
    f.width = columnsOf(f.text);
    const int left = column(item.rect.x);
    const int right = column(item.rect.x + item.rect.w);
    switch (item.align) {
        case Align::Right:
            f.start = right - f.width;
            break;
        case Align::Center: {
            // Centred in the columns of the rectangle; an odd blank goes right.
            const int spare = right - left - f.width;
            f.start = left + (spare >= 0 ? spare / 2 : -((1 - spare) / 2));
            break;
        }
        case Align::Left:
            f.start = left;
            break;
    }
    return f;
}

void stripTrailingBlanks(QString& s) {
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1).isSpace()) --n;
    s.truncate(n);
}

// The rows of one page: items in y order, lines within half a line of a
// row's first line joined to it, fragments left to right with at least one
// blank between them; one empty row where the page leaves a gap.
QString pageText(const PreparedPage& page) {
    std::vector<Fragment> fragments;
    for (const TextItem& item : page.texts) {
        int index = 0;
        for (const QStringView line : page.textOf(item).tokenize(QLatin1Char('\n'))) {
            Fragment f = fragment(item, line, index++);
            if (!f.text.isEmpty()) fragments.push_back(std::move(f));
        }
    }
    std::stable_sort(fragments.begin(), fragments.end(),
                     [](const Fragment& a, const Fragment& b) { return a.y < b.y; });

    std::vector<QString> rows;
    std::size_t first = 0;
    float previousY = 0, previousLineMm = 0;
    while (first < fragments.size()) {
        const float y = fragments[first].y;
        const float lineMm = fragments[first].lineMm;
        std::size_t end = first + 1;
        while (end < fragments.size() && fragments[end].y - y < lineMm / 2) ++end;
        // A gap of two lines or more (rounded) leaves an empty row.
        if (!rows.empty() && (y - previousY) / previousLineMm >= 1.5f) rows.emplace_back();

        std::stable_sort(fragments.begin() + static_cast<std::ptrdiff_t>(first),
                         fragments.begin() + static_cast<std::ptrdiff_t>(end),
                         [](const Fragment& a, const Fragment& b) { return a.start < b.start; });
        QString row;
        int used = 0;  // columns of `row`
        for (std::size_t i = first; i < end; ++i) {
            const Fragment& f = fragments[i];
            const int start = i == first ? std::max(f.start, 0) : std::max(f.start, used + 1);
            row.append(QString(start - used, QLatin1Char(' ')));
            row.append(f.text);
            used = start + f.width;
        }
        stripTrailingBlanks(row);
        rows.push_back(std::move(row));
        previousY = y;
        previousLineMm = lineMm;
        first = end;
    }

    // No empty rows at the top or the bottom, never two in a row.
    QString text;
    bool pendingEmpty = false;
    for (const QString& row : rows) {
        if (row.isEmpty()) {
            pendingEmpty = !text.isEmpty();
            continue;
        }
        if (pendingEmpty) text.append(QLatin1Char('\n'));
        pendingEmpty = false;
        text.append(row);
        text.append(QLatin1Char('\n'));
    }
    return text;
}

// ---- HTML ----

// Locale-independent CSS numbers, two decimals at most: "12.5", "0.2".
QString number(double v) {
    QString s = QString::number(finite(v), 'f', 2);
    while (s.endsWith(QLatin1Char('0'))) s.chop(1);
    if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    if (s == QLatin1String("-0")) s = QStringLiteral("0");
    return s;
}

QString mm(double v) {
    return number(v) + QLatin1String("mm");
}

QString escaped(QStringView text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
            case '&':
                out.append(QLatin1String("&amp;"));
                break;
            case '<':
                out.append(QLatin1String("&lt;"));
                break;
            case '>':
                out.append(QLatin1String("&gt;"));
                break;
            case '"':
                out.append(QLatin1String("&quot;"));
                break;
            case '\'':
                out.append(QLatin1String("&#39;"));
                break;
            default:
                out.append(printable(c));
                break;
        }
    }
    return out;
}

QString htmlHead(const PageStore& store, const QString& title) {
    return QStringLiteral(
               "<!DOCTYPE html>\n"
               "<html lang=\"pl\">\n"
               "<head>\n"
               "<meta charset=\"utf-8\">\n"
               "<title>%1</title>\n"
               "<style>\n"
               "@page { size: %2 %3; margin: 0; }\n"
               "body { margin: 0; background: #d8d8d8; }\n"
               ".page { position: relative; overflow: hidden; margin: 5mm auto; background: #fff;"
               " break-after: page; page-break-after: always; }\n"
               ".page:last-child { break-after: auto; page-break-after: auto; }\n"
               ".t { position: absolute; margin: 0; padding: 0; color: #000;"
               " font-family: Arial, sans-serif; white-space: pre; }\n"
               ".b { position: absolute; box-sizing: border-box; }\n"
               "@media print { body { background: none; } .page { margin: 0; } }\n"
               "</style>\n"
               "</head>\n"
               "<body>\n")
        .arg(escaped(title), mm(store.pageWidthMm()), mm(store.pageHeightMm()));
}

QString htmlPage(const PageStore& store, const PreparedPage& page) {
    QString out = QStringLiteral("<div class=\"page\" style=\"width:%1;height:%2\">\n")
                      .arg(mm(store.pageWidthMm()), mm(store.pageHeightMm()));
    // Lines are drawn centred on the edges of a box, as on paper.
    for (const BoxItem& b : page.boxes) {
        const double pen = std::max(0.0, finite(b.penMm));
        out += QStringLiteral("<div class=\"b\" style=\"left:%1;top:%2;width:%3;height:%4")
                   .arg(mm(b.rect.x - pen / 2), mm(b.rect.y - pen / 2), mm(std::max(0.0, b.rect.w + pen)),
                        mm(std::max(0.0, b.rect.h + pen)));
        const QString border = QStringLiteral(":%1 solid black").arg(mm(pen));
        if (b.sides & SideLeft) out += QLatin1String(";border-left") + border;
        if (b.sides & SideTop) out += QLatin1String(";border-top") + border;
        if (b.sides & SideRight) out += QLatin1String(";border-right") + border;
        if (b.sides & SideBottom) out += QLatin1String(";border-bottom") + border;
        out += QLatin1String("\"></div>\n");
    }
    for (const TextItem& t : page.texts) {
        out += QStringLiteral(
                   "<div class=\"t\" style=\"left:%1;top:%2;width:%3;height:%4;font-size:%5pt;line-height:%6")
                   .arg(mm(t.rect.x), mm(t.rect.y), mm(std::max(0.f, t.rect.w)), mm(std::max(0.f, t.rect.h)),
                        number(t.font.pt), mm(std::max(0.f, t.lineMm)));
        if (t.font.bold) out += QLatin1String(";font-weight:bold");
        if (t.align == Align::Right) out += QLatin1String(";text-align:right");
        if (t.align == Align::Center) out += QLatin1String(";text-align:center");
        if (t.flags & TextItem::Clipped) out += QLatin1String(";overflow:hidden");
        out += QLatin1String("\">");
        bool firstLine = true;
        for (const QStringView line : page.textOf(t).tokenize(QLatin1Char('\n'))) {
            if (!firstLine) out += QLatin1String("<br>");
            firstLine = false;
            out += escaped(line);
        }
        out += QLatin1String("</div>\n");
    }
    out += QLatin1String("</div>\n");
    return out;
}

}  // namespace

bool writeText(const PageStore& store, QIODevice& out, QString* error) {
    if (!checkWritable(out, error)) return false;
    for (int p = 1; p <= store.pageCount(); ++p) {
        QString text = pageText(store.page(p));
        if (p > 1) text.prepend(QLatin1Char('\f'));
        if (!writeAll(out, text.toUtf8(), error)) return false;
    }
    return true;
}

bool writeText(const PageStore& store, const QString& path, const QString& /*title*/, QString* error) {
    return saveFile(path, error, [&](QIODevice& out) { return writeText(store, out, error); });
}

bool writeHtml(const PageStore& store, QIODevice& out, const QString& title, QString* error) {
    if (!checkWritable(out, error)) return false;
    if (!writeAll(out, htmlHead(store, title).toUtf8(), error)) return false;
    for (int p = 1; p <= store.pageCount(); ++p)
        if (!writeAll(out, htmlPage(store, store.page(p)).toUtf8(), error)) return false;
    return writeAll(out, QByteArrayLiteral("</body>\n</html>\n"), error);
}

bool writeHtml(const PageStore& store, const QString& path, const QString& title, QString* error) {
    return saveFile(path, error, [&](QIODevice& out) { return writeHtml(store, out, title, error); });
}

const std::vector<ExportFormat>& exportFormats() {
    static const std::vector<ExportFormat> formats{
        {QStringLiteral("Plik tekstowy (*.txt)"), QStringLiteral("txt"),
         [](const PageStore& s, const QString& path, const QString& title, QString* error) {
             return writeText(s, path, title, error);
         }},
        {QStringLiteral("Strona HTML (*.html *.htm)"), QStringLiteral("html"),
         [](const PageStore& s, const QString& path, const QString& title, QString* error) {
             return writeHtml(s, path, title, error);
         }},
        {QStringLiteral("Dokument PDF (*.pdf)"), QStringLiteral("pdf"),
         [](const PageStore& s, const QString& path, const QString& title, QString* error) {
             return writePdf(s, path, title, error);
         }},
    };
    return formats;
}

}  // namespace kmx::reports
