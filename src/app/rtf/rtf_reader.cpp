#include "app/rtf/rtf_reader.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QList>
#include <QStringList>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/cp1250.h"

namespace kmx {
namespace {

// Groups nested deeper than this are skipped whole; real documents stay far below.
constexpr std::size_t kMaxDepth = 256;
// Tab stops and table cells kept per paragraph and row; more are ignored.
constexpr std::size_t kMaxTabStops = 64;
constexpr std::size_t kMaxCells = 64;
// Indents, spacing and tab positions are clamped to 22 inches (in twips), wider
// than any page, so that a corrupt number cannot make the layout unusable.
constexpr int kMaxTwips = 31680;
constexpr int kDefaultHalfPoints = 24;
constexpr int kMaxHalfPoints = 3276;
// Longest control word RTF allows; longer runs of letters are not a word we know.
constexpr std::size_t kMaxWordLength = 32;
constexpr int kMaxUnicodeSkip = 255;

// Code page marker for the symbol character set, which is no Windows code page.
constexpr int kSymbolCodePage = -2;

using CodeTable = std::array<char16_t, 256>;

// Windows-1251 (Cyrillic), bytes 0x80..0xFF.
constexpr char16_t kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

// Windows-1252 (Western), bytes 0x80..0x9F; 0xA0..0xFF are Latin-1.
constexpr char16_t kCp1252C1[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

CodeTable buildCodeTable(int codePage) {
    CodeTable table{};
    for (int b = 0; b < 0x80; ++b) table[b] = static_cast<char16_t>(b);
    switch (codePage) {
        case 1250:
            for (int b = 0x80; b < 0x100; ++b) {
                const char byte = static_cast<char>(b);
                const QString text = QString::fromStdString(cp1250::toUtf8(std::string_view(&byte, 1)));
                table[b] = text.size() == 1 ? text.at(0).unicode() : u'?';
            }
            break;
        case 1251:
            for (int b = 0x80; b < 0x100; ++b) table[b] = kCp1251High[b - 0x80];
            break;
        case 1252:
            for (int b = 0x80; b < 0xA0; ++b) table[b] = kCp1252C1[b - 0x80];
            for (int b = 0xA0; b < 0x100; ++b) table[b] = static_cast<char16_t>(b);
            break;
        case kSymbolCodePage:
            // Symbol fonts: only the list bullets have a fair Unicode stand-in.
            for (int b = 0x80; b < 0x100; ++b) table[b] = u'?';
            table[0xB7] = 0x2022;
            table[0xA7] = 0x25AA;
            break;
        default:
            // A code page without a table here: the ASCII half still reads right.
            for (int b = 0x80; b < 0x100; ++b) table[b] = u'?';
            break;
    }
    return table;
}

// Code page of a font's \fcharsetN; 0 and 1 (ANSI and default) use \ansicpgN.
int codePageOfCharset(int charset, int ansiCodePage) {
    switch (charset) {
        case 2: return kSymbolCodePage;
        case 77: return 10000;
        case 128: return 932;
        case 129: return 949;
        case 130: return 1361;
        case 134: return 936;
        case 136: return 950;
        case 161: return 1253;
        case 162: return 1254;
        case 163: return 1258;
        case 177: return 1255;
        case 178: return 1256;
        case 186: return 1257;
        case 204: return 1251;
        case 222: return 874;
        case 238: return 1250;
        case 255: return 437;
        default: return ansiCodePage;
    }
}

enum class Dest { Text, Skip, FontTable, ColorTable };

enum class Kw {
    SkipDest, FontTable, ColorTable,
    Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U, Bin,
    F, FCharset, Cpg, Red, Green, Blue,
    Plain, B, I, Ul, UlNone, Strike, Fs, Cf, Cb, Highlight, V, Super, Sub, NoSuperSub,
    Pard, Par, Line, Tab, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, InTbl, Tx, Tqr, Tqc, Tqdec,
    Trowd, Cellx, Cell, Row,
    Emdash, Endash, Bullet, Lquote, Rquote, Ldblquote, Rdblquote, Emspace, Enspace, Qmspace,
    Zwj, Zwnj,
};

const std::unordered_map<std::string_view, Kw>& keywords() {
    static const std::unordered_map<std::string_view, Kw> map = [] {
        std::unordered_map<std::string_view, Kw> m{
            {"fonttbl", Kw::FontTable}, {"colortbl", Kw::ColorTable},
            {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc}, {"pca", Kw::Pca},
            {"ansicpg", Kw::AnsiCpg}, {"deff", Kw::Deff}, {"uc", Kw::Uc}, {"u", Kw::U},
            {"bin", Kw::Bin}, {"f", Kw::F}, {"fcharset", Kw::FCharset}, {"cpg", Kw::Cpg},
            {"red", Kw::Red}, {"green", Kw::Green}, {"blue", Kw::Blue},
            {"plain", Kw::Plain}, {"b", Kw::B}, {"i", Kw::I},
            {"ul", Kw::Ul}, {"uld", Kw::Ul}, {"uldb", Kw::Ul}, {"uldash", Kw::Ul},
            {"ulw", Kw::Ul}, {"ulwave", Kw::Ul}, {"ulth", Kw::Ul},
            {"ulnone", Kw::UlNone}, {"strike", Kw::Strike}, {"striked", Kw::Strike},
            {"fs", Kw::Fs}, {"cf", Kw::Cf}, {"cb", Kw::Cb}, {"highlight", Kw::Highlight},
            {"v", Kw::V}, {"super", Kw::Super}, {"sub", Kw::Sub}, {"nosupersub", Kw::NoSuperSub},
            {"pard", Kw::Pard}, {"par", Kw::Par}, {"page", Kw::Par}, {"sect", Kw::Par},
            {"line", Kw::Line}, {"tab", Kw::Tab},
            {"ql", Kw::Ql}, {"qc", Kw::Qc}, {"qr", Kw::Qr}, {"qj", Kw::Qj},
            {"li", Kw::Li}, {"lin", Kw::Li}, {"ri", Kw::Ri}, {"rin", Kw::Ri}, {"fi", Kw::Fi},
            {"sb", Kw::Sb}, {"sa", Kw::Sa}, {"intbl", Kw::InTbl},
            {"tx", Kw::Tx}, {"tqr", Kw::Tqr}, {"tqc", Kw::Tqc}, {"tqdec", Kw::Tqdec},
            {"trowd", Kw::Trowd}, {"cellx", Kw::Cellx},
            {"cell", Kw::Cell}, {"nestcell", Kw::Cell}, {"row", Kw::Row}, {"nestrow", Kw::Row},
            {"emdash", Kw::Emdash}, {"endash", Kw::Endash}, {"bullet", Kw::Bullet},
            {"lquote", Kw::Lquote}, {"rquote", Kw::Rquote},
            {"ldblquote", Kw::Ldblquote}, {"rdblquote", Kw::Rdblquote},
            {"emspace", Kw::Emspace}, {"enspace", Kw::Enspace}, {"qmspace", Kw::Qmspace},
            {"zwj", Kw::Zwj}, {"zwnj", Kw::Zwnj},
        };
        // Destinations a viewer has no use for: their groups are skipped whole.
        for (std::string_view name :
             {"stylesheet", "info", "pict", "header", "headerl", "headerr", "headerf",
              "footer", "footerl", "footerr", "footerf", "fldinst", "object", "objdata",
              "themedata", "colorschememapping", "datastore", "latentstyles", "listtable",
              "listoverridetable", "listpicture", "revtbl", "rsidtbl", "generator", "xmlnstbl",
              "mmathPr", "pgdsctbl", "filetbl", "footnote", "annotation", "atnid", "atnauthor",
              "atndate", "atnref", "bkmkstart", "bkmkend", "pn", "pnseclvl", "nonesttables",
              "userprops", "template", "docvar", "fchars", "lchars", "xe", "tc", "txe", "rxe",
              "do", "background", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc",
              "aftncn", "private", "wgrffmtfilter"}) {
            m.emplace(name, Kw::SkipDest);
        }
        return m;
    }();
    return map;
}

struct CharProps {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int vertical = 0;  // 1 superscript, -1 subscript
    int halfPoints = kDefaultHalfPoints;
    int foreground = -1;  // colour table index; -1 automatic
    int background = -1;
    int font = -1;  // font table number; -1 none
    bool operator==(const CharProps&) const = default;
};

struct TabStop {
    int twips = 0;
    QTextOption::TabType type = QTextOption::LeftTab;
};

struct ParaProps {
    Qt::Alignment alignment = Qt::AlignLeft;
    int left = 0;  // twips
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    bool inTable = false;
    std::vector<TabStop> tabs;
    QTextOption::TabType nextTabType = QTextOption::LeftTab;
};

struct State {
    Dest dest = Dest::Text;
    CharProps chr;
    ParaProps para;
    int unicodeSkip = 1;
};

struct FontInfo {
    QString name;
    int charset = -1;  // -1: not given, read as ANSI
    int codePage = 0;  // from \cpgN; 0: from the charset
};

int clampTwips(int value) { return std::clamp(value, -kMaxTwips, kMaxTwips); }

// Twips to the document's device-independent pixels (96 per inch).
qreal pixels(int twips) { return twips / 15.0; }

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Reader {
public:
    Reader(const QByteArray& data, QTextDocument& doc)
        : p_(data.constData()), n_(data.size()), cursor_(&doc) {}

    void run() {
        cursor_.beginEditBlock();
        while (pos_ < n_ && !done_) step();
        finish();
        cursor_.endEditBlock();
    }

private:
    void step() {
        const char c = p_[pos_];
        switch (c) {
            case '{':
                ++pos_;
                openGroup();
                break;
            case '}':
                ++pos_;
                closeGroup();
                break;
            case '\\':
                readControl();
                break;
            case '\r':
            case '\n':
            case '\0':
                ++pos_;
                break;
            default:
                ++pos_;
                if (skipping()) break;
                if (consumeUnicodeSkip()) break;
                textByte(static_cast<unsigned char>(c));
                break;
        }
    }

    // ---- groups ----

    void openGroup() {
        skipLeft_ = 0;
        if (overflow_ > 0 || saved_.size() >= kMaxDepth) {
            ++overflow_;
            return;
        }
        saved_.push_back(st_);
    }

    void closeGroup() {
        skipLeft_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (st_.dest == Dest::FontTable) commitFont();
        // The brace closing the document's own group ends the document; the
        // last paragraph keeps the formatting in force there.
        if (saved_.size() <= 1) {
            done_ = true;
            return;
        }
        st_ = std::move(saved_.back());
        saved_.pop_back();
    }

    bool skipping() const { return overflow_ > 0 || st_.dest == Dest::Skip; }

    // After \uN the next characters are the plain-text stand-in; they are dropped.
    bool consumeUnicodeSkip() {
        if (skipLeft_ <= 0) return false;
        --skipLeft_;
        return true;
    }

    // ---- control words and symbols ----

    void readControl() {
        ++pos_;  // the backslash
        if (pos_ >= n_) return;
        const char c = p_[pos_];
        if (isLetter(c)) {
            const qsizetype start = pos_;
            while (pos_ < n_ && isLetter(p_[pos_])) ++pos_;
            const auto length = static_cast<std::size_t>(pos_ - start);
            const std::string_view word =
                length <= kMaxWordLength ? std::string_view(p_ + start, length) : std::string_view();
            bool negative = false;
            if (pos_ + 1 < n_ && p_[pos_] == '-' && isDigit(p_[pos_ + 1])) {
                negative = true;
                ++pos_;
            }
            bool hasParam = false;
            std::int64_t value = 0;
            while (pos_ < n_ && isDigit(p_[pos_])) {
                hasParam = true;
                if (value <= INT_MAX) value = value * 10 + (p_[pos_] - '0');
                ++pos_;
            }
            value = std::min<std::int64_t>(value, INT_MAX);
            const int param = static_cast<int>(negative ? -value : value);
            if (pos_ < n_ && p_[pos_] == ' ') ++pos_;  // the delimiter belongs to the word
            controlWord(word, hasParam, param);
        } else if (c == '\'') {
            ++pos_;
            int value = 0;
            int digits = 0;
            while (digits < 2 && pos_ < n_ && hexValue(p_[pos_]) >= 0) {
                value = value * 16 + hexValue(p_[pos_]);
                ++digits;
                ++pos_;
            }
            if (digits == 0 || skipping() || consumeUnicodeSkip()) return;
            textByte(static_cast<unsigned char>(value));
        } else {
            ++pos_;
            controlSymbol(c);
        }
    }

    void controlSymbol(char c) {
        if (skipping() || consumeUnicodeSkip()) return;
        switch (c) {
            case '\\':
            case '{':
            case '}':
                textByte(static_cast<unsigned char>(c));
                break;
            case '*':  // a destination this reader does not know: skip its group
                st_.dest = Dest::Skip;
                break;
            case '~':
                textUnit(0x00A0);
                break;
            case '_':
                textUnit(0x2011);
                break;
            case '\r':
            case '\n':
                if (st_.dest == Dest::Text) breakParagraph();
                break;
            case '\t':
                textUnit(u'\t');
                break;
            default:  // \- optional hyphen, \| \: index marks, unknown symbols
                break;
        }
    }

    void controlWord(std::string_view word, bool hasParam, int param) {
        const auto& map = keywords();
        const auto it = map.find(word);
        const bool known = it != map.end();
        if (known && it->second == Kw::Bin) {
            // Binary data is skipped by count wherever it stands; as a whole it is
            // one character of a \u stand-in.
            const qsizetype count = std::max(param, 0);
            pos_ += std::min(count, n_ - pos_);
            if (!skipping()) consumeUnicodeSkip();
            return;
        }
        if (skipping() || consumeUnicodeSkip() || !known) return;
        const Kw kw = it->second;
        switch (kw) {
            case Kw::SkipDest:
                st_.dest = Dest::Skip;
                return;
            case Kw::FontTable:
                st_.dest = Dest::FontTable;
                return;
            case Kw::ColorTable:
                st_.dest = Dest::ColorTable;
                colorOpen_ = false;
                return;
            case Kw::U:
                if (param < -32768 || param > 65535) return;  // no character: the stand-in stays
                textUnit(static_cast<char16_t>(param < 0 ? param + 65536 : param));
                skipLeft_ = st_.unicodeSkip;
                return;
            case Kw::Uc:
                st_.unicodeSkip = std::clamp(param, 0, kMaxUnicodeSkip);
                return;
            default:
                break;
        }
        switch (st_.dest) {
            case Dest::FontTable:
                fontTableWord(kw, param);
                break;
            case Dest::ColorTable:
                colorTableWord(kw, param);
                break;
            case Dest::Text:
                textWord(kw, hasParam, param);
                break;
            case Dest::Skip:
                break;
        }
    }

    void fontTableWord(Kw kw, int param) {
        switch (kw) {
            case Kw::F:
                commitFont();
                fontOpen_ = true;
                fontId_ = param;
                font_ = FontInfo{};
                break;
            case Kw::FCharset:
                if (fontOpen_) font_.charset = param;
                break;
            case Kw::Cpg:
                if (fontOpen_) font_.codePage = param;
                break;
            default:
                break;
        }
    }

    void colorTableWord(Kw kw, int param) {
        const int value = std::clamp(param, 0, 255);
        switch (kw) {
            case Kw::Red:
                red_ = value;
                break;
            case Kw::Green:
                green_ = value;
                break;
            case Kw::Blue:
                blue_ = value;
                break;
            default:
                return;
        }
        colorOpen_ = true;
    }

    void textWord(Kw kw, bool hasParam, int param) {
        CharProps& c = st_.chr;
        ParaProps& p = st_.para;
        const bool on = !hasParam || param != 0;
        switch (kw) {
            case Kw::Ansi: ansiCodePage_ = 1252; break;
            case Kw::Mac: ansiCodePage_ = 10000; break;
            case Kw::Pc: ansiCodePage_ = 437; break;
            case Kw::Pca: ansiCodePage_ = 850; break;
            case Kw::AnsiCpg: ansiCodePage_ = param; break;
            case Kw::Deff:
                defaultFont_ = param;
                if (c.font < 0) c.font = param;
                break;
            case Kw::F: c.font = param; break;
            case Kw::Plain:
                c = CharProps{};
                c.font = defaultFont_;
                break;
            case Kw::B: c.bold = on; break;
            case Kw::I: c.italic = on; break;
            case Kw::Ul: c.underline = on; break;
            case Kw::UlNone: c.underline = false; break;
            case Kw::Strike: c.strike = on; break;
            case Kw::V: c.hidden = on; break;
            case Kw::Super: c.vertical = 1; break;
            case Kw::Sub: c.vertical = -1; break;
            case Kw::NoSuperSub: c.vertical = 0; break;
            case Kw::Fs:
                c.halfPoints = hasParam && param > 0 ? std::min(param, kMaxHalfPoints) : kDefaultHalfPoints;
                break;
            case Kw::Cf: c.foreground = std::max(param, -1); break;
            case Kw::Cb:
            case Kw::Highlight: c.background = param > 0 ? param : -1; break;
            case Kw::Pard: p = ParaProps{}; break;
            case Kw::Par: breakParagraph(); break;
            case Kw::Line: textUnit(QChar::LineSeparator); break;
            case Kw::Tab: textUnit(u'\t'); break;
            case Kw::Ql: p.alignment = Qt::AlignLeft; break;
            case Kw::Qc: p.alignment = Qt::AlignHCenter; break;
            case Kw::Qr: p.alignment = Qt::AlignRight; break;
            case Kw::Qj: p.alignment = Qt::AlignJustify; break;
            case Kw::Li: p.left = clampTwips(param); break;
            case Kw::Ri: p.right = clampTwips(param); break;
            case Kw::Fi: p.first = clampTwips(param); break;
            case Kw::Sb: p.before = std::clamp(param, 0, kMaxTwips); break;
            case Kw::Sa: p.after = std::clamp(param, 0, kMaxTwips); break;
            case Kw::InTbl: p.inTable = true; break;
            case Kw::Tqr: p.nextTabType = QTextOption::RightTab; break;
            case Kw::Tqc: p.nextTabType = QTextOption::CenterTab; break;
            case Kw::Tqdec: p.nextTabType = QTextOption::DelimiterTab; break;
            case Kw::Tx:
                if (p.tabs.size() < kMaxTabStops) p.tabs.push_back({std::clamp(param, 0, kMaxTwips), p.nextTabType});
                p.nextTabType = QTextOption::LeftTab;
                break;
            case Kw::Trowd: cellBounds_.clear(); break;
            case Kw::Cellx:
                if (cellBounds_.size() < kMaxCells) cellBounds_.push_back(std::clamp(param, 0, kMaxTwips));
                break;
            case Kw::Cell:
                // The tab before the next cell's text is written only when that
                // text comes, so a row does not end in a trailing tab.
                flush();
                ++cellTabs_;
                break;
            case Kw::Row:
                cellTabs_ = 0;
                breakParagraph();
                break;
            case Kw::Emdash: textUnit(0x2014); break;
            case Kw::Endash: textUnit(0x2013); break;
            case Kw::Bullet: textUnit(0x2022); break;
            case Kw::Lquote: textUnit(0x2018); break;
            case Kw::Rquote: textUnit(0x2019); break;
            case Kw::Ldblquote: textUnit(0x201C); break;
            case Kw::Rdblquote: textUnit(0x201D); break;
            case Kw::Emspace: textUnit(0x2003); break;
            case Kw::Enspace: textUnit(0x2002); break;
            case Kw::Qmspace: textUnit(0x2005); break;
            case Kw::Zwj: textUnit(0x200D); break;
            case Kw::Zwnj: textUnit(0x200C); break;
            default: break;
        }
    }

    // ---- text ----

    // One byte of text in the code page of the current font (font names: of
    // the font being defined).
    void textByte(unsigned char byte) {
        switch (st_.dest) {
            case Dest::Text:
                textUnit(codeTable(currentCodePage())[byte]);
                break;
            case Dest::FontTable:
                if (byte == ';') {
                    commitFont();
                } else if (fontOpen_) {
                    font_.name += QChar(codeTable(fontCodePage(font_))[byte]);
                }
                break;
            case Dest::ColorTable:
                if (byte == ';') commitColor();
                break;
            case Dest::Skip:
                break;
        }
    }

    void textUnit(char16_t unit) {
        if (st_.dest == Dest::FontTable) {
            if (fontOpen_ && !QChar::isSurrogate(unit)) font_.name += QChar(unit);
            return;
        }
        if (st_.dest != Dest::Text || st_.chr.hidden) return;
        // Control characters (the tab aside) and the document's own block and
        // frame markers never enter the text.
        if ((unit < 0x20 && unit != u'\t') || (unit >= 0x7F && unit <= 0x9F) || unit == 0xFDD0 ||
            unit == 0xFDD1) {
            return;
        }
        if (unit == QChar::ParagraphSeparator) {
            breakParagraph();
            return;
        }
        startRun();
        if (QChar::isHighSurrogate(unit)) {
            if (highSurrogate_ != 0) pending_ += QChar(QChar::ReplacementCharacter);
            highSurrogate_ = unit;
            return;
        }
        if (QChar::isLowSurrogate(unit)) {
            if (highSurrogate_ != 0) {
                pending_ += QChar(highSurrogate_);
                pending_ += QChar(unit);
                highSurrogate_ = 0;
            } else {
                pending_ += QChar(QChar::ReplacementCharacter);
            }
            return;
        }
        endSurrogate();
        pending_ += QChar(unit);
    }

    // Text collects in pending_ while the character format stays the same.
    void startRun() {
        if ((!pending_.isEmpty() || highSurrogate_ != 0) && !(pendingProps_ == st_.chr)) flush();
        pendingProps_ = st_.chr;
        if (cellTabs_ > 0) {
            endSurrogate();
            pending_ += QString(cellTabs_, QLatin1Char('\t'));
            cellTabs_ = 0;
        }
    }

    void endSurrogate() {
        if (highSurrogate_ == 0) return;
        pending_ += QChar(QChar::ReplacementCharacter);
        highSurrogate_ = 0;
    }

    void flush() {
        endSurrogate();
        if (pending_.isEmpty()) return;
        applyBlockFormat();
        cursor_.insertText(pending_, charFormat(pendingProps_));
        pending_.clear();
    }

    void breakParagraph() {
        flush();
        cellTabs_ = 0;
        applyBlockFormat();
        // An empty paragraph takes its height from the block's character format.
        const QTextCharFormat mark = charFormat(st_.chr);
        if (cursor_.block().length() == 1) cursor_.setBlockCharFormat(mark);
        cursor_.insertBlock(QTextBlockFormat(), mark);
    }

    void finish() {
        flush();
        applyBlockFormat();
    }

    void applyBlockFormat() {
        const ParaProps& p = st_.para;
        QTextBlockFormat f;
        f.setAlignment(p.alignment);
        f.setLeftMargin(pixels(p.left));
        f.setRightMargin(pixels(p.right));
        f.setTextIndent(pixels(p.first));
        f.setTopMargin(pixels(p.before));
        f.setBottomMargin(pixels(p.after));
        QList<QTextOption::Tab> tabs;
        if (!p.tabs.empty()) {
            for (const TabStop& t : p.tabs) {
                tabs.append(QTextOption::Tab(pixels(t.twips), t.type,
                                             t.type == QTextOption::DelimiterTab ? QChar(u',') : QChar()));
            }
        } else if (p.inTable) {
            // A table row is one paragraph: its cells start at the tab stops
            // placed on the cell boundaries.
            for (std::size_t i = 0; i + 1 < cellBounds_.size(); ++i) {
                tabs.append(QTextOption::Tab(pixels(cellBounds_[i]), QTextOption::LeftTab));
            }
        }
        f.setTabPositions(tabs);
        cursor_.setBlockFormat(f);
    }

    QTextCharFormat charFormat(const CharProps& c) {
        QTextCharFormat f;
        f.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(c.italic);
        f.setFontUnderline(c.underline);
        f.setFontStrikeOut(c.strike);
        f.setFontPointSize(c.halfPoints / 2.0);
        if (c.vertical > 0) f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        if (c.vertical < 0) f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        if (const auto colour = colorAt(c.foreground)) f.setForeground(*colour);
        if (const auto colour = colorAt(c.background)) f.setBackground(*colour);
        // Symbol fonts are left out: their few characters read here are
        // already translated to Unicode and need an ordinary font.
        if (const auto it = fonts_.find(c.font);
            it != fonts_.end() && !it->second.name.isEmpty() && fontCodePage(it->second) != kSymbolCodePage) {
            f.setFontFamilies(QStringList{it->second.name});
        }
        return f;
    }

    std::optional<QColor> colorAt(int index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= colors_.size()) return std::nullopt;
        return colors_[static_cast<std::size_t>(index)];
    }

    // ---- tables of the header ----

    void commitFont() {
        if (!fontOpen_) return;
        font_.name = font_.name.trimmed();
        fonts_[fontId_] = std::move(font_);
        font_ = FontInfo{};
        fontOpen_ = false;
    }

    void commitColor() {
        if (colorOpen_) {
            colors_.push_back(QColor(red_, green_, blue_));
        } else {
            colors_.push_back(std::nullopt);  // "automatic"
        }
        red_ = green_ = blue_ = 0;
        colorOpen_ = false;
    }

    // ---- code pages ----

    int fontCodePage(const FontInfo& font) const {
        if (font.codePage > 0) return font.codePage;
        return codePageOfCharset(font.charset, ansiCodePage_);
    }

    int currentCodePage() const {
        const auto it = fonts_.find(st_.chr.font);
        return it == fonts_.end() ? ansiCodePage_ : fontCodePage(it->second);
    }

    const CodeTable& codeTable(int codePage) {
        auto it = tables_.find(codePage);
        if (it == tables_.end()) it = tables_.emplace(codePage, buildCodeTable(codePage)).first;
        return it->second;
    }

    // input
    const char* p_;
    qsizetype n_;
    qsizetype pos_ = 0;
    bool done_ = false;

    // groups
    State st_;
    std::vector<State> saved_;
    int overflow_ = 0;   // groups opened beyond kMaxDepth and not yet closed
    int skipLeft_ = 0;   // stand-in characters after \uN still to drop

    // output
    QTextCursor cursor_;
    QString pending_;
    CharProps pendingProps_;
    char16_t highSurrogate_ = 0;
    int cellTabs_ = 0;
    std::vector<int> cellBounds_;  // \cellxN of the current row, twips

    // header tables
    int ansiCodePage_ = 1252;
    int defaultFont_ = -1;
    std::map<int, FontInfo> fonts_;
    bool fontOpen_ = false;
    int fontId_ = 0;
    FontInfo font_;
    std::vector<std::optional<QColor>> colors_;
    bool colorOpen_ = false;
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
    std::map<int, CodeTable> tables_;
};

bool isRtf(const QByteArray& data) { return data.startsWith("{\\rtf"); }

}  // namespace

RtfResult loadRtf(const QByteArray& data, QTextDocument& doc) {
    if (!isRtf(data)) return {false, QStringLiteral("Dane nie są dokumentem RTF.")};
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);  // a read-only view needs no undo history
    doc.clear();
    Reader(data, doc).run();
    doc.setUndoRedoEnabled(undo);
    doc.setModified(false);
    return {true, {}};
}

RtfResult loadRtfFile(const QString& path, QTextDocument& doc) {
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {false, QStringLiteral("Nie można otworzyć pliku \"%1\".").arg(shown)};
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return {false, QStringLiteral("Nie można odczytać pliku \"%1\".").arg(shown)};
    }
    if (!isRtf(data)) return {false, QStringLiteral("Plik \"%1\" nie jest dokumentem RTF.").arg(shown)};
    return loadRtf(data, doc);
}

}  // namespace kmx
