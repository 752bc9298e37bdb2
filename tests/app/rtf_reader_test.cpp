#include "app/rtf/rtf_reader.h"

#include <QAbstractTextDocumentLayout>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <string_view>

namespace {

using kmx::loadRtf;
using kmx::loadRtfFile;
using kmx::RtfResult;

// Text layout needs a GUI application; one is made here unless another test
// of this program already made one.
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QCoreApplication::instance() != nullptr) return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "kmx_app_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kGuiEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

QByteArray bytes(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

class RtfReader : public ::testing::Test {
protected:
    // Loads rtf into doc, expecting success, and returns the plain text with
    // paragraphs and line breaks as "\n".
    QString load(std::string_view rtf) {
        const RtfResult r = loadRtf(bytes(rtf), doc);
        EXPECT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_TRUE(r.error.isEmpty());
        return doc.toPlainText();
    }
    // The character format of the character at pos.
    QTextCharFormat at(int pos) {
        QTextCursor cursor(&doc);
        cursor.setPosition(pos + 1);
        return cursor.charFormat();
    }
    QTextBlockFormat block(int number) { return doc.findBlockByNumber(number).blockFormat(); }

    QTextDocument doc;
};

// ---- text and paragraphs ----

TEST_F(RtfReader, ParagraphsAndHeaderTablesLeaveOnlyTheText) {
    const QString text = load(R"({\rtf1\ansi\ansicpg1250\deff0{\fonttbl{\f0\fswiss\fcharset238 Arial;}})"
                              R"({\colortbl;\red255\green0\blue0;}{\stylesheet{\s0 Normal;}})"
                              R"({\info{\title Tytul}{\author Autor}}\pard Ala ma\par kota\par})");
    EXPECT_EQ(text, QStringLiteral("Ala ma\nkota\n"));
    EXPECT_EQ(doc.blockCount(), 3);
}

TEST_F(RtfReader, LineBreakStaysInsideTheParagraphAndTabIsACharacter) {
    EXPECT_EQ(load(R"({\rtf1 a\line b\tab c\par d})"), QStringLiteral("a\nb\tc\nd"));
    EXPECT_EQ(doc.blockCount(), 2);
    EXPECT_EQ(doc.characterAt(1), QChar(QChar::LineSeparator));
}

TEST_F(RtfReader, EscapesAndSpecialCharacters) {
    load(R"({\rtf1 a\{b\}c\\d\~e\_f\-g\emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote})");
    EXPECT_EQ(doc.toRawText(),
              QStringLiteral(u"a{b}c\\d\u00A0e\u2011fg\u2014\u2013\u2022\u2018\u2019\u201C\u201D"));
}

TEST_F(RtfReader, SpaceAfterControlWordIsItsDelimiterButOthersAreText) {
    EXPECT_EQ(load(R"({\rtf1 a \b b\b0  c\{ d})"), QStringLiteral("a b c{ d"));
}

TEST_F(RtfReader, ContentReplacesTheOldDocumentWithoutUndoHistory) {
    doc.setPlainText(QStringLiteral("stara treść"));
    EXPECT_EQ(load(R"({\rtf1 nowa})"), QStringLiteral("nowa"));
    EXPECT_FALSE(doc.isUndoAvailable());
    EXPECT_FALSE(doc.isModified());
}

TEST_F(RtfReader, HiddenTextIsNotShown) {
    EXPECT_EQ(load(R"({\rtf1 a{\v ukryty}b\v c\v0 d})"), QStringLiteral("abd"));
}

// ---- character formats ----

TEST_F(RtfReader, CharacterFormatsFollowGroupsAndToggles) {
    const QString text =
        load(R"({\rtf1{\colortbl;\red255\green0\blue0;\red0\green128\blue0;})"
             R"(n{\b B}{\i I}{\ul U}{\strike S}{\fs40 F}{\cf1 C}{\highlight2 H}{\super P}{\sub Q}n)"
             R"(\b X\b0 Y\i\ul\fs30\cf2 W\plain Z})");
    ASSERT_EQ(text, QStringLiteral("nBIUSFCHPQnXYWZ"));
    // Group 'n' before and after: plain 12 pt text without colour.
    for (int pos : {0, 10}) {
        EXPECT_EQ(at(pos).fontWeight(), QFont::Normal) << pos;
        EXPECT_FALSE(at(pos).fontItalic()) << pos;
        EXPECT_FALSE(at(pos).fontUnderline()) << pos;
        EXPECT_DOUBLE_EQ(at(pos).fontPointSize(), 12.0) << pos;
        EXPECT_FALSE(at(pos).hasProperty(QTextFormat::ForegroundBrush)) << pos;
    }
    EXPECT_EQ(at(1).fontWeight(), QFont::Bold);
    EXPECT_TRUE(at(2).fontItalic());
    EXPECT_TRUE(at(3).fontUnderline());
    EXPECT_TRUE(at(4).fontStrikeOut());
    EXPECT_DOUBLE_EQ(at(5).fontPointSize(), 20.0);
    EXPECT_EQ(at(6).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(at(7).background().color(), QColor(0, 128, 0));
    EXPECT_EQ(at(8).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(at(9).verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(at(11).fontWeight(), QFont::Bold);
    EXPECT_EQ(at(12).fontWeight(), QFont::Normal);
    EXPECT_TRUE(at(13).fontItalic());
    EXPECT_TRUE(at(13).fontUnderline());
    EXPECT_DOUBLE_EQ(at(13).fontPointSize(), 15.0);
    EXPECT_EQ(at(13).foreground().color(), QColor(0, 128, 0));
    // \plain drops all of it.
    EXPECT_FALSE(at(14).fontItalic());
    EXPECT_FALSE(at(14).fontUnderline());
    EXPECT_DOUBLE_EQ(at(14).fontPointSize(), 12.0);
    EXPECT_FALSE(at(14).hasProperty(QTextFormat::ForegroundBrush));
}

TEST_F(RtfReader, UnderlineEndsWithUlnoneOrUl0) {
    ASSERT_EQ(load(R"({\rtf1\ul a\ulnone b\ul c\ul0 d\uldb e})"), QStringLiteral("abcde"));
    EXPECT_TRUE(at(0).fontUnderline());
    EXPECT_FALSE(at(1).fontUnderline());
    EXPECT_TRUE(at(2).fontUnderline());
    EXPECT_FALSE(at(3).fontUnderline());
    EXPECT_TRUE(at(4).fontUnderline());
}

TEST_F(RtfReader, ColourIndexesReadTheColourTable) {
    // Entry 0 given explicitly, entry 1 automatic; index 9 does not exist.
    ASSERT_EQ(load(R"({\rtf1{\colortbl\red0\green0\blue255;;}\cf0 a\cf1 b\cf9 c\cf-4 d})"),
              QStringLiteral("abcd"));
    EXPECT_EQ(at(0).foreground().color(), QColor(0, 0, 255));
    EXPECT_FALSE(at(1).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_FALSE(at(2).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_FALSE(at(3).hasProperty(QTextFormat::ForegroundBrush));
}

TEST_F(RtfReader, FontNamesComeFromTheFontTableAndPlainReturnsToTheDefaultFont) {
    ASSERT_EQ(load(R"({\rtf1\deff1{\fonttbl{\f0\froman Times New Roman;}{\f1\fswiss Arial;}})"
                   R"(\f0\b\fs40 a\plain b})"),
              QStringLiteral("ab"));
    EXPECT_EQ(at(0).fontFamilies().toStringList(), QStringList{QStringLiteral("Times New Roman")});
    EXPECT_EQ(at(1).fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
    EXPECT_EQ(at(1).fontWeight(), QFont::Normal);
    EXPECT_DOUBLE_EQ(at(1).fontPointSize(), 12.0);
}

TEST_F(RtfReader, EmptyParagraphKeepsTheSizeOfItsMark) {
    ASSERT_EQ(load(R"({\rtf1\fs16\par x})"), QStringLiteral("\nx"));
    EXPECT_DOUBLE_EQ(doc.firstBlock().charFormat().fontPointSize(), 8.0);
    // The paragraph after a \par starts in the format in force at the \par.
    ASSERT_EQ(load(R"({\rtf1\b x\b0\fs16\par})"), QStringLiteral("x\n"));
    EXPECT_EQ(doc.lastBlock().charFormat().fontWeight(), QFont::Normal);
    EXPECT_DOUBLE_EQ(doc.lastBlock().charFormat().fontPointSize(), 8.0);
}

// ---- paragraph formats ----

TEST_F(RtfReader, AlignmentIndentsAndSpacing) {
    ASSERT_EQ(load(R"({\rtf1\pard\qc C\par\pard\qr R\par\pard\qj J\par)"
                   R"(\pard\li720\ri1440\fi-360\sb240\sa120 L\par\pard P\par\pard A\qc\par})"),
              QStringLiteral("C\nR\nJ\nL\nP\nA\n"));
    EXPECT_EQ(block(0).alignment(), Qt::AlignHCenter);
    EXPECT_EQ(block(1).alignment(), Qt::AlignRight);
    EXPECT_EQ(block(2).alignment(), Qt::AlignJustify);
    // Twips at 96 pixels per inch: 720 twips = half an inch = 48 px.
    EXPECT_EQ(block(3).alignment(), Qt::AlignLeft);
    EXPECT_DOUBLE_EQ(block(3).leftMargin(), 48.0);
    EXPECT_DOUBLE_EQ(block(3).rightMargin(), 96.0);
    EXPECT_DOUBLE_EQ(block(3).textIndent(), -24.0);
    EXPECT_DOUBLE_EQ(block(3).topMargin(), 16.0);
    EXPECT_DOUBLE_EQ(block(3).bottomMargin(), 8.0);
    // \pard resets everything.
    EXPECT_EQ(block(4).alignment(), Qt::AlignLeft);
    EXPECT_DOUBLE_EQ(block(4).leftMargin(), 0.0);
    EXPECT_DOUBLE_EQ(block(4).textIndent(), 0.0);
    // What stands when the paragraph ends applies to the whole paragraph.
    EXPECT_EQ(block(5).alignment(), Qt::AlignHCenter);
}

TEST_F(RtfReader, LastParagraphWithoutParKeepsItsFormat) {
    ASSERT_EQ(load(R"({\rtf1\pard\qr\li720 x})"), QStringLiteral("x"));
    EXPECT_EQ(block(0).alignment(), Qt::AlignRight);
    EXPECT_DOUBLE_EQ(block(0).leftMargin(), 48.0);
    // Formatting of a group closed before the end does not outlive the group.
    ASSERT_EQ(load(R"({\rtf1 {\qr y}})"), QStringLiteral("y"));
    EXPECT_EQ(block(0).alignment(), Qt::AlignLeft);
}

TEST_F(RtfReader, TabStopsOfAParagraph) {
    ASSERT_EQ(load(R"({\rtf1\pard\tx1440\tqr\tx4320 a\tab b\tab c\par})"), QStringLiteral("a\tb\tc\n"));
    const QList<QTextOption::Tab> tabs = block(0).tabPositions();
    ASSERT_EQ(tabs.size(), 2);
    EXPECT_DOUBLE_EQ(tabs[0].position, 96.0);
    EXPECT_EQ(tabs[0].type, QTextOption::LeftTab);
    EXPECT_DOUBLE_EQ(tabs[1].position, 288.0);
    EXPECT_EQ(tabs[1].type, QTextOption::RightTab);
}

// ---- tables ----

TEST_F(RtfReader, TableRowsBecomeParagraphsWithCellsSeparatedByTabs) {
    ASSERT_EQ(load(R"({\rtf1\trowd\cellx1500\cellx3000\cellx6000\pard\intbl A\cell B\cell C\cell\row)"
                   R"(\trowd\cellx1500\cellx3000\cellx6000\pard\intbl D\cell\cell F\cell\row)"
                   R"(\pard po tabeli\par})"),
              QStringLiteral("A\tB\tC\nD\t\tF\npo tabeli\n"));
    // Cells start at the boundaries of the cells before them.
    const QList<QTextOption::Tab> tabs = block(0).tabPositions();
    ASSERT_EQ(tabs.size(), 2);
    EXPECT_DOUBLE_EQ(tabs[0].position, 100.0);
    EXPECT_DOUBLE_EQ(tabs[1].position, 200.0);
    EXPECT_TRUE(block(2).tabPositions().isEmpty());
}

TEST_F(RtfReader, RowDefinitionAfterTheCellsStillSetsTheTabStops) {
    ASSERT_EQ(load(R"({\rtf1\pard\intbl Robocizna\cell 25,40 z\'b3\cell)"
                   R"(\trowd\cellx3000\cellx4500\row})"),
              QStringLiteral("Robocizna\t25,40 z³\n"));
    const QList<QTextOption::Tab> tabs = block(0).tabPositions();
    ASSERT_EQ(tabs.size(), 1);
    EXPECT_DOUBLE_EQ(tabs[0].position, 200.0);
}

// ---- code pages and Unicode ----

TEST_F(RtfReader, HexBytesUseTheDocumentCodePage) {
    EXPECT_EQ(load(R"({\rtf1\ansi\ansicpg1250 \'b3\'a3\'b9\'9c\'bf\'9f\'f3})"), QStringLiteral(u"łŁąśżźó"));
    // Without \ansicpg the Western code page applies.
    EXPECT_EQ(load(R"({\rtf1\ansi \'b3\'e9\'80})"), QStringLiteral(u"³é€"));
    // Unescaped 8-bit bytes as well.
    EXPECT_EQ(load("{\\rtf1\\ansicpg1250 \xb3\xea}"), QStringLiteral(u"łę"));
}

TEST_F(RtfReader, HexBytesUseTheCharsetOfTheCurrentFont) {
    EXPECT_EQ(load(R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fnil Times;}{\f1\fnil\fcharset238 Arial CE;})"
                   R"({\f2\fnil\fcharset204 Arial Cyr;}{\f3\fnil\fcharset161 Greek;}{\f4\fcharset2 Symbol;})"
                   R"({\f5\fcharset0\cpg1250 Tahoma;}})"
                   R"(\f0\'b3\f1\'b3\f2\'b3\'c0\f3\'b3\f4\'b7\f5\'b3})"),
              QStringLiteral(u"³ł\u0456\u0410?•ł"));
    // The symbol font's bullet is shown in an ordinary font.
    EXPECT_FALSE(at(5).hasProperty(QTextFormat::FontFamilies));
    EXPECT_EQ(at(6).fontFamilies().toStringList(), QStringList{QStringLiteral("Tahoma")});
}

TEST_F(RtfReader, FontTableWithoutEntryGroups) {
    ASSERT_EQ(load(R"({\rtf1{\fonttbl\f0\froman Times;\f1\fcharset238 Arial CE;}\f1\'b3})"),
              QStringLiteral(u"ł"));
    EXPECT_EQ(at(0).fontFamilies().toStringList(), QStringList{QStringLiteral("Arial CE")});
}

TEST_F(RtfReader, UnicodeCharactersAndTheirStandIns) {
    EXPECT_EQ(load(R"({\rtf1 \u321?})"), QStringLiteral(u"Ł"));
    EXPECT_EQ(load(R"({\rtf1 \uc2\u321??x})"), QStringLiteral(u"Łx"));
    EXPECT_EQ(load(R"({\rtf1 \uc0\u321?})"), QStringLiteral(u"Ł?"));
    // A hex byte is one stand-in character.
    EXPECT_EQ(load(R"({\rtf1\ansicpg1250 \u322\'b3x})"), QStringLiteral(u"łx"));
    // A brace ends the stand-in early.
    EXPECT_EQ(load(R"({\rtf1 {\uc2\u321?}x})"), QStringLiteral(u"Łx"));
    // Negative numbers are the upper half of the 16-bit range.
    EXPECT_EQ(load(R"({\rtf1 \u-3913?})"), QStringLiteral(u"\uF0B7"));
    // A surrogate pair makes one character; a lone half is replaced.
    EXPECT_EQ(load(R"({\rtf1 \u-10179?\u-8704?})"), QStringLiteral(u"\U0001F600"));
    EXPECT_EQ(load(R"({\rtf1 \u-10179?x})"), QStringLiteral(u"\uFFFDx"));
    // A number out of range gives no character, so the stand-in stays.
    EXPECT_EQ(load(R"({\rtf1 \u99999999?})"), QStringLiteral(u"?"));
    // Binary data counts as one stand-in.
    EXPECT_EQ(load(R"({\rtf1 \u321\bin2 xyz})"), QStringLiteral(u"Łz"));
}

// ---- destinations ----

TEST_F(RtfReader, SkippedDestinationsAndFieldResults) {
    EXPECT_EQ(load(R"({\rtf1 A{\*\generator Gen;}{\header H}{\footer F}{\pict\pngblip 89504e47})"
                   R"({\object{\objdata 0102}}{\*\themedata 5051}{\*\nieznane U}{\footnote N})"
                   R"(B{\field{\*\fldinst HYPERLINK "http://x"}{\fldrslt Link}})"
                   R"(C{\field{\fldinst PAGE}{\fldrslt 7}}D})"),
              QStringLiteral("ABLinkC7D"));
}

TEST_F(RtfReader, UnknownControlWordsAreIgnoredButTheirTextIsKept) {
    EXPECT_EQ(load(R"({\rtf1 a{\nieznane b}c\cos d})"), QStringLiteral("abcd"));
}

TEST_F(RtfReader, BinaryDataIsSkippedByCount) {
    // The braces inside the binary data do not close any group.
    EXPECT_EQ(load(R"({\rtf1 x{\pict\bin3 }}}}y})"), QStringLiteral("xy"));
    EXPECT_EQ(load(R"({\rtf1 a\bin2 {}b})"), QStringLiteral("ab"));
    EXPECT_EQ(load(R"({\rtf1 a\bin-5 b})"), QStringLiteral("ab"));
    EXPECT_EQ(load(R"({\rtf1 a\bin999 zz)"), QStringLiteral("a"));
}

// ---- malformed input ----

TEST_F(RtfReader, DataThatIsNotRtfFailsAndLeavesTheDocument) {
    for (std::string_view data : {std::string_view("Ala ma kota"), std::string_view(""),
                                  std::string_view("{\\rt"), std::string_view(" {\\rtf1 x}")}) {
        doc.setPlainText(QStringLiteral("stara treść"));
        const RtfResult r = loadRtf(bytes(data), doc);
        EXPECT_FALSE(r.ok) << data;
        EXPECT_FALSE(r.error.isEmpty()) << data;
        EXPECT_EQ(doc.toPlainText(), QStringLiteral("stara treść")) << data;
    }
}

TEST_F(RtfReader, TruncatedAndUnbalancedInputKeepsWhatWasRead) {
    const struct {
        std::string_view rtf;
        const char16_t* text;
    } cases[] = {
        {R"({\rtf1 abc)", u"abc"},
        {R"({\rtf1 a}}}b)", u"a"},
        {R"({\rtf1 {{{a)", u"a"},
        {R"({\rtf1 {\b a)", u"a"},
        {R"({\rtf1 abc\)", u"abc"},
        {R"({\rtf1 abc\')", u"abc"},
        {R"({\rtf1 abc\'4)", u"abc"},
        {R"({\rtf1 abc\u)", u"abc"},
        {R"({\rtf1 abc\u-)", u"abc"},
        {R"({\rtf1 abc\fs)", u"abc"},
        {R"({\rtf1 {\fonttbl{\f0 Arial)", u""},
        {R"({\rtf1 {\colortbl\red300)", u""},
        {R"({\rtf1 a\'zz)", u"azz"},
        {std::string_view("{\\rtf1 a\0b\0}", 12), u"ab"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(load(c.rtf), QString::fromUtf16(c.text)) << c.rtf;
    }
}

TEST_F(RtfReader, HugeNumbersAreClamped) {
    ASSERT_EQ(load(R"({\rtf1\fs99999999999999999999\li99999999999\fi-99999999999\sb99999999 x})"),
              QStringLiteral("x"));
    EXPECT_DOUBLE_EQ(at(0).fontPointSize(), 1638.0);
    // 22 inches at 96 px per inch.
    EXPECT_DOUBLE_EQ(block(0).leftMargin(), 2112.0);
    EXPECT_DOUBLE_EQ(block(0).textIndent(), -2112.0);
    EXPECT_DOUBLE_EQ(block(0).topMargin(), 2112.0);
    // And such a document can still be laid out.
    EXPECT_GT(doc.documentLayout()->documentSize().height(), 0.0);
}

TEST_F(RtfReader, OverlongControlWordsAndNumbers) {
    std::string rtf = "{\\rtf1 \\" + std::string(100000, 'b') + " x\\fs" + std::string(100000, '7') + " y}";
    ASSERT_EQ(load(rtf), QStringLiteral("xy"));
    EXPECT_DOUBLE_EQ(at(1).fontPointSize(), 1638.0);
    // 33 letters are no control word, even when they start like one.
    EXPECT_EQ(load("{\\rtf1 a\\par" + std::string(30, 'r') + " b}"), QStringLiteral("ab"));
}

TEST_F(RtfReader, DeepNestingIsCappedAndSkipped) {
    // Within the cap the text is read.
    EXPECT_EQ(load("{\\rtf1 " + std::string(200, '{') + "a" + std::string(200, '}') + "b}"),
              QStringLiteral("ab"));
    // Groups beyond the cap are skipped whole and the braces still balance.
    EXPECT_EQ(load("{\\rtf1 " + std::string(300, '{') + "x" + std::string(300, '}') + "y}"),
              QStringLiteral("y"));
    EXPECT_EQ(load("{\\rtf1 " + std::string(1000000, '{') + "x"), QString());
}

TEST_F(RtfReader, RandomMutationsOfADocumentNeverBreakTheReader) {
    const std::string base =
        R"({\rtf1\ansi\ansicpg1250\deff0\uc1{\fonttbl{\f0\fswiss\fcharset238 Arial;}{\f1\fcharset204 Cyr;})"
        R"({\f2\fcharset2 Symbol;}}{\colortbl;\red255\green0\blue0;\red0\green0\blue255;})"
        R"({\stylesheet{\s1 Nag\'b3\'f3wek;}}{\info{\title Stawki}}{\*\generator X;})"
        R"(\pard\qc\b\fs32 Stawki robocizny\b0\par\pard\li720\fi-360\sb120{\f2\'b7}\tab Pozycja \u321?\par)"
        R"(\trowd\cellx2000\cellx4000\pard\intbl{\cf1 Robocizna}\cell 25,40 z\'b3\cell\row)"
        R"({\field{\*\fldinst HYPERLINK "x"}{\fldrslt{\ul link}}}\line{\pict\bin4 {}}x}\'00{\i\highlight2 koniec})"
        R"(\emdash\~\_\uc2\u-10179??\u-8704??\f1\'c0\par})";
    const std::string alphabet = "{}\\'*0123456789-; abcdefilnpqrstuvx\xb3";
    std::mt19937 random(20240601u);
    auto below = [&random](std::size_t n) { return n == 0 ? std::size_t{0} : random() % n; };
    QTextDocument target;
    target.setPlainText(QStringLiteral("przed"));
    for (int round = 0; round < 4000; ++round) {
        std::string data = base;
        const std::size_t edits = 1 + below(8);
        for (std::size_t e = 0; e < edits; ++e) {
            const std::size_t pos = below(data.size() + 1);
            switch (below(6)) {
                case 0:
                    if (pos < data.size()) data[pos] = alphabet[below(alphabet.size())];
                    break;
                case 1:
                    data.insert(pos, 1 + below(4), alphabet[below(alphabet.size())]);
                    break;
                case 2:
                    data.erase(pos, below(16));
                    break;
                case 3:
                    data.insert(below(data.size() + 1), data.substr(pos, below(32)));
                    break;
                case 4:
                    data.resize(pos);
                    break;
                default:
                    if (pos < data.size()) data[pos] = static_cast<char>(below(256));
                    break;
            }
        }
        const QString before = target.toRawText();
        const QByteArray input = bytes(data);
        const RtfResult r = loadRtf(input, target);
        ASSERT_EQ(r.ok, input.startsWith("{\\rtf")) << round;
        if (!r.ok) {
            ASSERT_EQ(target.toRawText(), before) << round;
            continue;
        }
        // No control character (the tab aside) reaches the text.
        const QString raw = target.toRawText();
        for (QChar ch : raw) {
            ASSERT_FALSE(ch.unicode() < 0x20 && ch != u'\t') << round;
            ASSERT_FALSE(ch.unicode() >= 0x7F && ch.unicode() <= 0x9F) << round;
        }
        if (round % 200 == 0) {
            QTextDocument laidOut;
            ASSERT_TRUE(loadRtf(input, laidOut).ok);
            EXPECT_GT(laidOut.documentLayout()->documentSize().height(), 0.0) << round;
        }
    }
}

// ---- files ----

TEST_F(RtfReader, FileIsLoaded) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("stawki.rtf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({\rtf1\ansi\ansicpg1250 Stawka godzinowa: 25,40 z\'b3\par})");
    file.close();
    const RtfResult r = loadRtfFile(path, doc);
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_TRUE(r.error.isEmpty());
    EXPECT_EQ(doc.toPlainText(), QStringLiteral(u"Stawka godzinowa: 25,40 zł\n"));
}

TEST_F(RtfReader, MissingUnreadableOrForeignFileFailsNamingTheFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString foreign = dir.filePath(QStringLiteral("notatka.rtf"));
    QFile file(foreign);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Zwykly tekst");
    file.close();

    doc.setPlainText(QStringLiteral("stara treść"));
    RtfResult r = loadRtfFile(dir.filePath(QStringLiteral("brak.rtf")), doc);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.startsWith(QStringLiteral("Nie można otworzyć pliku"))) << r.error.toStdString();
    EXPECT_TRUE(r.error.contains(QStringLiteral("brak.rtf"))) << r.error.toStdString();

    r = loadRtfFile(foreign, doc);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QStringLiteral("notatka.rtf"))) << r.error.toStdString();

    r = loadRtfFile(dir.path(), doc);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.isEmpty());

    EXPECT_EQ(doc.toPlainText(), QStringLiteral("stara treść"));
}

}  // namespace
