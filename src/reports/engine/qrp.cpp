// The prepared-report file (.qrp).
//
// Every number is little-endian and written field by field; floats are IEEE
// binary32. Lengths and counts stand in front of what they count.
//
//   8 bytes   magic "KMXQRP" 0x1A 0x00
//   u16       format version, 1
//   f32 f32   page width, page height (mm)
//   u32       name count N: the element names 1..N (0, the empty name, is implied)
//   N times   u32 byte length, that many bytes of UTF-8
//   u32       page count P
//   P pages:
//     u32     text buffer length T in UTF-16 code units, then T u16 code units
//     u32     text item count, then per item (37 bytes):
//               f32 x, y, w, h; u32 offset, length (into the page's buffer);
//               f32 lineMm; f32 font pt; u8 bold (0/1);
//               u8 align (0 left, 1 right, 2 centre);
//               u8 flags (1 wrapped, 2 clipped); u16 name id
//     u32     box count, then per box (23 bytes):
//               f32 x, y, w, h; f32 penMm; u8 sides (1 left, 2 top, 4 right,
//               8 bottom); u16 name id
//   nothing after the last page.
//
// The reader checks every count against the bytes that are left before it
// reserves anything, and every value against what the painter and the
// exports can draw, so any input either loads whole or fails with a message.
// The writer checks the store the same way, so a saved file always loads.

#include "reports/engine/qrp.h"

#include "reports/engine/file_write.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QStringDecoder>
#include <QtEndian>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace kmx::reports {

namespace {

constexpr char kMagic[8] = {'K', 'M', 'X', 'Q', 'R', 'P', '\x1A', '\0'};
constexpr std::uint16_t kVersion = 1;
constexpr qsizetype kNameMinBytes = 4;
constexpr qsizetype kPageMinBytes = 12;
constexpr qsizetype kTextItemBytes = 37;
constexpr qsizetype kBoxItemBytes = 23;

// What a page can sensibly hold, in millimetres and points.
constexpr float kMinMm = -1000.f;
constexpr float kMaxMm = 10000.f;
constexpr float kMaxPt = 1000.f;
constexpr std::uint8_t kTextFlags = TextItem::Wrapped | TextItem::Clipped;

QString notReportMessage() {
    return QStringLiteral("To nie jest plik raportu Kalmarex.");
}

QString damagedMessage() {
    return QStringLiteral("Plik raportu jest uszkodzony lub niepełny.");
}

bool inRange(float v, float lo, float hi) {
    return std::isfinite(v) && v >= lo && v <= hi;
}

bool validRect(const RectMm& r) {
    return inRange(r.x, kMinMm, kMaxMm) && inRange(r.y, kMinMm, kMaxMm) && inRange(r.w, kMinMm, kMaxMm) &&
           inRange(r.h, kMinMm, kMaxMm);
}

bool validPageSize(float w, float h) {
    return inRange(w, 0, kMaxMm) && inRange(h, 0, kMaxMm) && w > 0 && h > 0;
}

bool validText(const TextItem& t, qsizetype bufferLength, std::size_t nameCount) {
    return validRect(t.rect) &&
           std::uint64_t{t.offset} + t.length <= static_cast<std::uint64_t>(bufferLength) &&
           inRange(t.lineMm, 0, kMaxMm) && inRange(t.font.pt, 0, kMaxPt) &&
           static_cast<std::uint8_t>(t.align) <= static_cast<std::uint8_t>(Align::Center) &&
           (t.flags & ~kTextFlags) == 0 && t.name < nameCount;
}

bool validBox(const BoxItem& b, std::size_t nameCount) {
    return validRect(b.rect) && inRange(b.penMm, 0, kMaxMm) && (b.sides & ~SideAll) == 0 &&
           b.name < nameCount;
}

// Appends little-endian fields to a byte buffer.
class Writer {
public:
    QByteArray bytes;

    void u8(std::uint8_t v) { bytes.append(static_cast<char>(v)); }
    void u16(std::uint16_t v) {
        char b[2];
        qToLittleEndian(v, b);
        bytes.append(b, 2);
    }
    void u32(std::uint32_t v) {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
    }
    void f32(float v) { u32(std::bit_cast<std::uint32_t>(v)); }
    void rect(const RectMm& r) {
        f32(r.x);
        f32(r.y);
        f32(r.w);
        f32(r.h);
    }
};

// Reads little-endian fields from a byte range; every read fails rather than
// pass the end.
class Reader {
public:
    explicit Reader(QByteArrayView data) : data_(data) {}

    qsizetype remaining() const { return data_.size() - pos_; }

    const char* take(qsizetype n) {
        if (n < 0 || n > remaining()) return nullptr;
        const char* p = data_.data() + pos_;
        pos_ += n;
        return p;
    }
    bool u8(std::uint8_t& v) {
        const char* p = take(1);
        if (!p) return false;
        v = static_cast<std::uint8_t>(*p);
        return true;
    }
    bool u16(std::uint16_t& v) {
        const char* p = take(2);
        if (!p) return false;
        v = qFromLittleEndian<std::uint16_t>(p);
        return true;
    }
    bool u32(std::uint32_t& v) {
        const char* p = take(4);
        if (!p) return false;
        v = qFromLittleEndian<std::uint32_t>(p);
        return true;
    }
    bool f32(float& v) {
        std::uint32_t bits = 0;
        if (!u32(bits)) return false;
        v = std::bit_cast<float>(bits);
        return true;
    }
    bool rect(RectMm& r) { return f32(r.x) && f32(r.y) && f32(r.w) && f32(r.h); }
    // A count of things at least `minBytes` long each, all of which must fit
    // in what is left.
    bool count(std::uint32_t& n, qsizetype minBytes) {
        return u32(n) && static_cast<qsizetype>(n) <= remaining() / minBytes;
    }

private:
    QByteArrayView data_;
    qsizetype pos_ = 0;
};

struct Loaded {
    std::vector<PreparedPage> pages;
    std::vector<QString> names;
    float widthMm = 0;
    float heightMm = 0;
};

bool readPage(Reader& r, std::size_t nameCount, PreparedPage& page) {
    std::uint32_t textLength = 0;
    if (!r.count(textLength, 2)) return false;
    const char* units = r.take(qsizetype{textLength} * 2);
    if (!units) return false;
    page.text.resize(textLength);
    qFromLittleEndian<std::uint16_t>(units, textLength, page.text.data());

    std::uint32_t textCount = 0;
    if (!r.count(textCount, kTextItemBytes)) return false;
    page.texts.reserve(textCount);
    for (std::uint32_t i = 0; i < textCount; ++i) {
        TextItem t;
        std::uint8_t bold = 0, align = 0;
        if (!r.rect(t.rect) || !r.u32(t.offset) || !r.u32(t.length) || !r.f32(t.lineMm) ||
            !r.f32(t.font.pt) || !r.u8(bold) || !r.u8(align) || !r.u8(t.flags) || !r.u16(t.name))
            return false;
        if (bold > 1) return false;
        t.font.bold = bold != 0;
        t.align = static_cast<Align>(align);
        if (!validText(t, page.text.size(), nameCount)) return false;
        page.texts.push_back(t);
    }

    std::uint32_t boxCount = 0;
    if (!r.count(boxCount, kBoxItemBytes)) return false;
    page.boxes.reserve(boxCount);
    for (std::uint32_t i = 0; i < boxCount; ++i) {
        BoxItem b;
        if (!r.rect(b.rect) || !r.f32(b.penMm) || !r.u8(b.sides) || !r.u16(b.name)) return false;
        if (!validBox(b, nameCount)) return false;
        page.boxes.push_back(b);
    }
    return true;
}

// Empty on success, else the message.
QString parse(QByteArrayView bytes, Loaded& out) {
    if (bytes.size() < qsizetype{sizeof kMagic} || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return notReportMessage();
    Reader r(bytes.sliced(sizeof kMagic));
    std::uint16_t version = 0;
    if (!r.u16(version)) return damagedMessage();
    if (version != kVersion) return QStringLiteral("Nieobsługiwana wersja pliku raportu: %1.").arg(version);

    if (!r.f32(out.widthMm) || !r.f32(out.heightMm) || !validPageSize(out.widthMm, out.heightMm))
        return damagedMessage();

    std::uint32_t nameCount = 0;
    if (!r.count(nameCount, kNameMinBytes) || nameCount > std::numeric_limits<std::uint16_t>::max())
        return damagedMessage();
    out.names.reserve(nameCount);
    for (std::uint32_t i = 0; i < nameCount; ++i) {
        std::uint32_t length = 0;
        if (!r.u32(length)) return damagedMessage();
        const char* utf8 = r.take(length);
        if (!utf8) return damagedMessage();
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        QString name = decoder(QByteArrayView(utf8, length));
        if (decoder.hasError()) return damagedMessage();
        out.names.push_back(std::move(name));
    }

    std::uint32_t pageCount = 0;
    if (!r.count(pageCount, kPageMinBytes) ||
        pageCount > static_cast<std::uint32_t>(std::numeric_limits<int>::max()))
        return damagedMessage();
    out.pages.resize(pageCount);
    for (PreparedPage& page : out.pages)
        if (!readPage(r, std::size_t{nameCount} + 1, page)) return damagedMessage();
    if (r.remaining() != 0) return damagedMessage();
    return {};
}

bool storeValid(const PageStore& store) {
    if (!validPageSize(store.pageWidthMm(), store.pageHeightMm())) return false;
    const std::size_t nameCount = store.names().size();
    for (int p = 1; p <= store.pageCount(); ++p) {
        const PreparedPage& page = store.page(p);
        if (page.text.size() > qsizetype{std::numeric_limits<std::uint32_t>::max()} ||
            page.texts.size() > std::numeric_limits<std::uint32_t>::max() ||
            page.boxes.size() > std::numeric_limits<std::uint32_t>::max())
            return false;
        for (const TextItem& t : page.texts)
            if (!validText(t, page.text.size(), nameCount)) return false;
        for (const BoxItem& b : page.boxes)
            if (!validBox(b, nameCount)) return false;
    }
    return true;
}

QByteArray header(const PageStore& store) {
    Writer w;
    w.bytes.append(kMagic, sizeof kMagic);
    w.u16(kVersion);
    w.f32(store.pageWidthMm());
    w.f32(store.pageHeightMm());
    const std::vector<QString>& names = store.names();
    w.u32(static_cast<std::uint32_t>(names.size() - 1));
    for (std::size_t i = 1; i < names.size(); ++i) {
        const QByteArray utf8 = names[i].toUtf8();
        w.u32(static_cast<std::uint32_t>(utf8.size()));
        w.bytes.append(utf8);
    }
    w.u32(static_cast<std::uint32_t>(store.pageCount()));
    return w.bytes;
}

QByteArray pageBytes(const PreparedPage& page) {
    Writer w;
    w.bytes.reserve(12 + page.text.size() * 2 + static_cast<qsizetype>(page.texts.size()) * kTextItemBytes +
                    static_cast<qsizetype>(page.boxes.size()) * kBoxItemBytes);
    w.u32(static_cast<std::uint32_t>(page.text.size()));
    const qsizetype at = w.bytes.size();
    w.bytes.resize(at + page.text.size() * 2);
    qToLittleEndian<std::uint16_t>(page.text.constData(), page.text.size(), w.bytes.data() + at);
    w.u32(static_cast<std::uint32_t>(page.texts.size()));
    for (const TextItem& t : page.texts) {
        w.rect(t.rect);
        w.u32(t.offset);
        w.u32(t.length);
        w.f32(t.lineMm);
        w.f32(t.font.pt);
        w.u8(t.font.bold ? 1 : 0);
        w.u8(static_cast<std::uint8_t>(t.align));
        w.u8(t.flags);
        w.u16(t.name);
    }
    w.u32(static_cast<std::uint32_t>(page.boxes.size()));
    for (const BoxItem& b : page.boxes) {
        w.rect(b.rect);
        w.f32(b.penMm);
        w.u8(b.sides);
        w.u16(b.name);
    }
    return w.bytes;
}

}  // namespace

bool saveQrp(const PageStore& store, QIODevice& out, QString* error) {
    if (!storeValid(store)) {
        setError(error, QStringLiteral("Raport zawiera nieprawidłowe dane i nie może zostać zapisany."));
        return false;
    }
    if (!out.isWritable()) {
        setError(error, writeFailed(out.errorString()));
        return false;
    }
    if (!writeAll(out, header(store), error)) return false;
    for (int p = 1; p <= store.pageCount(); ++p)
        if (!writeAll(out, pageBytes(store.page(p)), error)) return false;
    return true;
}

bool saveQrp(const PageStore& store, const QString& path, QString* error) {
    return saveFile(path, error, [&](QIODevice& out) { return saveQrp(store, out, error); });
}

bool loadQrp(PageStore& store, QByteArrayView bytes, QString* error) {
    Loaded loaded;
    const QString message = parse(bytes, loaded);
    if (!message.isEmpty()) {
        setError(error, message);
        return false;
    }
    store.assign(std::move(loaded.pages), std::move(loaded.names), loaded.widthMm, loaded.heightMm);
    return true;
}

bool loadQrp(PageStore& store, QIODevice& in, QString* error) {
    if (!in.isReadable()) {
        setError(error, QStringLiteral("Nie można odczytać pliku: %1").arg(in.errorString()));
        return false;
    }
    return loadQrp(store, QByteArrayView(in.readAll()), error);
}

bool loadQrp(PageStore& store, const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("Nie można otworzyć pliku %1: %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, QStringLiteral("Nie można odczytać pliku %1: %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    return loadQrp(store, QByteArrayView(bytes), error);
}

}  // namespace kmx::reports
