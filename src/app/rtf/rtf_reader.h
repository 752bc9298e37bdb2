#pragma once
// A small RTF reader for the rich-text files shipped beside the program (the
// labour rates and the export instructions). It turns the text, paragraphs,
// simple character and paragraph formatting and table rows of an RTF document
// into a QTextDocument for a read-only view. Pictures, objects, headers and
// footers, style sheets and other destinations a viewer does not need are
// skipped. Table rows become one paragraph each, their cells separated by tabs
// with tab stops at the cell boundaries.
//
// Malformed input never crashes or hangs the reader: unbalanced braces,
// truncated control words, huge numbers and binary data beyond the end are
// tolerated and whatever text was read is kept.

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace kmx {

struct RtfResult {
    bool ok = false;
    QString error;  // Polish text for the user; empty when ok
};

// Replaces the content of doc with the RTF document in data. Fails, leaving doc
// unchanged, only when data does not begin with "{\rtf".
RtfResult loadRtf(const QByteArray& data, QTextDocument& doc);

// Reads the file at path and loads it as loadRtf does. A missing or unreadable
// file, or one that is not RTF, fails with a text naming the file and leaves
// doc unchanged.
RtfResult loadRtfFile(const QString& path, QTextDocument& doc);

}  // namespace kmx
