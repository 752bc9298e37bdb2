// The RTF reader of the rich-text views. Checked: only data starting with
// "{\rtf" loads, anything else fails and leaves the document alone; the text
// read holds no control characters but the tab, no block or frame markers
// and no unpaired surrogates; loading replaces the document, so a document
// that held other text ends the same as a fresh one.

#include <QChar>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

#include "app/rtf/rtf_reader.h"
#include "fuzz/fuzz_gui.h"
#include "fuzz/fuzz_support.h"

namespace {

void checkText(const QTextDocument& doc) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t u = text[i].unicode();
            KMX_FUZZ_CHECK(u >= 0x20 || u == u'\t');
            KMX_FUZZ_CHECK(u < 0x7F || u > 0x9F);
            KMX_FUZZ_CHECK(u != 0xFDD0 && u != 0xFDD1 && u != QChar::ParagraphSeparator);
            if (QChar::isHighSurrogate(u)) {
                KMX_FUZZ_CHECK(i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()));
                ++i;
            } else {
                KMX_FUZZ_CHECK(!QChar::isLowSurrogate(u));
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Character formats name fonts: a Gui application for the whole run.
    kmx::fuzz::StartGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString earlier = QStringLiteral("wcze\u015bniejszy tekst\u2029drugi akapit");

    QTextDocument used;
    QTextCursor(&used).insertText(earlier);
    const kmx::RtfResult r = kmx::loadRtf(bytes, used);
    KMX_FUZZ_CHECK(r.ok == bytes.startsWith("{\\rtf"));
    KMX_FUZZ_CHECK(r.ok == r.error.isEmpty());
    if (!r.ok) {
        KMX_FUZZ_CHECK(used.toPlainText() == QString(earlier).replace(QChar::ParagraphSeparator, u'\n'));
        return 0;
    }
    checkText(used);
    KMX_FUZZ_CHECK(!used.isModified());

    QTextDocument fresh;
    KMX_FUZZ_CHECK(kmx::loadRtf(bytes, fresh).ok);
    KMX_FUZZ_CHECK(fresh.toPlainText() == used.toPlainText());
    KMX_FUZZ_CHECK(fresh.blockCount() == used.blockCount());
    return 0;
}
