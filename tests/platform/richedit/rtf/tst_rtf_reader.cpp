// The RTF reader on inline RTF, through the recording sink, and the sink that builds
// the control's document.
#include "platform/richedit/DocumentProperties.h"
#include "platform/richedit/rtf/RecordingSink.h"
#include "platform/richedit/rtf/Rtf.h"
#include "platform/richedit/rtf/RtfReader.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

using namespace rtf;

namespace {

RecordingSink Read(const QByteArray& rtf)
{
    RecordingSink sink;
    ReadRtfInto(std::string_view(rtf.constData(), static_cast<std::size_t>(rtf.size())), sink);
    return sink;
}

QString TextOf(const QByteArray& rtf)
{
    return Read(rtf).PlainText();
}

} // namespace

class RtfReaderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bytesAreDecodedInTheirFontsCodePage_data();
    void bytesAreDecodedInTheirFontsCodePage();
    void unicodeEscapesTakePrecedenceOverTheirFallbacks_data();
    void unicodeEscapesTakePrecedenceOverTheirFallbacks();
    void formattingFollowsGroupsAndResets_data();
    void formattingFollowsGroupsAndResets();
    void bulletsAreReadInBothForms_data();
    void bulletsAreReadInBothForms();
    void textOutsideTheDocumentIsSkipped_data();
    void textOutsideTheDocumentIsSkipped();
    void specialCharactersAndTablesBecomeText_data();
    void specialCharactersAndTablesBecomeText();
    void damagedInputGivesWhatCanBeRead_data();
    void damagedInputGivesWhatCanBeRead();
    void theDocumentGetsFormatsListsAndIndents();
    void shapesAndFormulasShowTheirPictureOnce_data();
    void shapesAndFormulasShowTheirPictureOnce();
};

void RtfReaderTest::bytesAreDecodedInTheirFontsCodePage_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    // Given \ansicpg1252 and an \'hh, when read, then the byte is a cp1252 character.
    QTest::newRow("ansi code page") << QByteArray("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9}") << QStringLiteral("café");
    // Given a \fcharset128 font in a cp1252 document, then its pairs are Shift-JIS.
    QTest::newRow("font charset wins")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fnil\\fcharset128 MS Gothic;}}\\f0 \\'82\\'a0\\'82\\'a2}")
        << QStringLiteral("あい");
    // Given a trail byte written as a plain letter, then the pair still decodes.
    QTest::newRow("plain trail byte") << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'83V\\'83\\'8f}") << QStringLiteral("シワ");
    // Given a pair split by a line break, then the line break is not in the way.
    QTest::newRow("pair across lines") << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'82\r\n\\'a0}") << QStringLiteral("あ");
    // Given a pair split by a skipped group, then the pair is still one character.
    QTest::newRow("pair around skipped group")
        << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'82{\\*\\bkmkstart x}\\'a0}") << QStringLiteral("あ");
    // Given a font switch between bytes, then each byte is read in its own font.
    QTest::newRow("font switch")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset161 B;}}\\f0\\'80\\f1\\'d9}")
        << QStringLiteral("€Ω");
    // Given \cpg in the font table, then it decides the font's code page.
    QTest::newRow("font code page") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\cpg1251 X;}}\\f0\\'c4\\'e0}") << QStringLiteral("Да");
    // Given \ansicpg and no character sets, then the document's code page is used.
    QTest::newRow("document code page") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'c4\\'e0}") << QStringLiteral("Да");
    // Given text without \f, then it is read in the \deff font's code page.
    QTest::newRow("default font")
        << QByteArray("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset204 B;}}\\'c4\\'e0}")
        << QStringLiteral("Да");
    // Given \mac, then bytes are Mac Roman.
    QTest::newRow("mac") << QByteArray("{\\rtf1\\mac \\'8e}") << QStringLiteral("é");
    // Given a code page nobody knows, then the document stays cp1252.
    QTest::newRow("unknown code page") << QByteArray("{\\rtf1\\ansi\\ansicpg99999 caf\\'e9}") << QStringLiteral("café");
    // Given 8-bit bytes written raw, then they decode like \'hh.
    QTest::newRow("raw bytes") << QByteArray("{\\rtf1\\ansi\\ansicpg932 \x82\xa0}") << QStringLiteral("あ");
    // Given pairs in Big5's user-defined rows, then they are the private-use characters
    // Windows gives them, and no trail byte shows as a letter.
    QTest::newRow("Big5 user-defined")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fnil\\fcharset136 PMingLiU;}}\\f0 \\'84\\'68\\'fa\\'40\\'a0\\'fe\\'c6\\'a1}")
        << QString::fromUtf16(u"\uF0B7\uE000\uEEB7\uF6B1");
    // Given a row of pairs longer than the reader takes at once, then no pair is split.
    QTest::newRow("long row of pairs")
        << QByteArray("{\\rtf1\\ansi\\ansicpg932 ") + QByteArray("\\'82\\'a0").repeated(300) + "}"
        << QString::fromUtf8("あ").repeated(300);
    // Given a \uN whose fallback is the start of a row of bytes, then only the
    // fallback is dropped.
    QTest::newRow("fallback in a row")
        << QByteArray("{\\rtf1\\ansi\\ansicpg932\\uc2\\u12354\\'82\\'a0\\'82\\'a2\\'82\\'a4}") << QStringLiteral("あいう");
    // Given a row of bytes in hidden text, then none of it is read.
    QTest::newRow("hidden row")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252 a{\\v \\'e9\\'e9}b\\'e9}") << QStringLiteral("abé");
    // Given an undecodable pair, then it is one replacement character.
    QTest::newRow("undecodable pair") << QByteArray("{\\rtf1\\ansi\\ansicpg950 a\\'a3\\'c0b}") << QString::fromUtf16(u"a\uFFFDb");
}

void RtfReaderTest::bytesAreDecodedInTheirFontsCodePage()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(TextOf(rtf), expected);
}

void RtfReaderTest::unicodeEscapesTakePrecedenceOverTheirFallbacks_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    // Given \uc2 and a two-byte fallback, when read, then both bytes are skipped.
    QTest::newRow("double-byte fallback") << QByteArray("{\\rtf1\\uc2\\u12354\\'82\\'a0x}") << QStringLiteral("あx");
    // Given the default \uc1, then one unit is skipped: a letter or an \'hh.
    QTest::newRow("one unit") << QByteArray("{\\rtf1 \\u945a\\u946\\'e2b}") << QStringLiteral("αβb");
    // Given \uc0, then nothing is skipped.
    QTest::newRow("no fallback") << QByteArray("{\\rtf1\\uc0\\u12354 x}") << QStringLiteral("あx");
    // Given a negative \uN, then 65536 is added.
    QTest::newRow("negative") << QByteArray("{\\rtf1 \\u-3913?}") << QStringLiteral("\uF0B7");
    // Given both halves of a surrogate pair, negative or not, then they join.
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}") << QStringLiteral("\U0001F600");
    QTest::newRow("surrogate pair positive") << QByteArray("{\\rtf1 \\u55357?\\u56832?}") << QStringLiteral("\U0001F600");
    // Given a high surrogate alone, then it becomes U+FFFD.
    QTest::newRow("lone high surrogate") << QByteArray("{\\rtf1 \\u-10179?x}") << QStringLiteral("\uFFFDx");
    // Given a value beyond 16 bits, then it becomes U+FFFD.
    QTest::newRow("out of range") << QByteArray("{\\rtf1 \\u70000?}") << QStringLiteral("\uFFFD");
    // Given \uc2 and a hex byte plus a letter as fallback, then both count.
    QTest::newRow("mixed fallback units") << QByteArray("{\\rtf1 {\\uc2\\u228\\'E8a}b}") << QStringLiteral("äb");
    // Given a group that closes before the fallback is complete, then skipping stops.
    QTest::newRow("brace ends fallback") << QByteArray("{\\rtf1 {\\uc3\\u228 a}bc}") << QStringLiteral("äbc");
    QTest::newRow("group interrupts fallback") << QByteArray("{\\rtf1 \\u228{x}yz}") << QStringLiteral("äxyz");
    // Given \uc in a group, then it ends with the group.
    QTest::newRow("uc is group state") << QByteArray("{\\rtf1 {\\uc0\\u228}\\u228 xy}") << QStringLiteral("ääy");
    // Given two \uN side by side and one fallback, then neither is swallowed.
    QTest::newRow("adjacent escapes") << QByteArray("{\\rtf1 \\u8220\\u8221?}") << QStringLiteral("“”");
    // Given a huge \uc, then it is bounded to 16 units.
    QTest::newRow("huge uc") << QByteArray("{\\rtf1\\uc1000\\u945 abcdefghijklmnopqrstuvwxyz}") << QStringLiteral("αqrstuvwxyz");
}

void RtfReaderTest::unicodeEscapesTakePrecedenceOverTheirFallbacks()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(TextOf(rtf), expected);
}

void RtfReaderTest::formattingFollowsGroupsAndResets_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    // Given toggles switched on and off, when read, then each run has its own styles.
    QTest::newRow("toggles") << QByteArray("{\\rtf1 a\\b b\\b0 c\\i d\\i0\\ul e\\ulnone f\\ul g\\ul0 h\\strike i\\strike0\\striked1 j}")
                             << QStringLiteral("¶ left first=0 left=0 right=0\n  \"a\" default\n  \"b\" b\n  \"c\" default\n"
                                               "  \"d\" i\n  \"e\" u\n  \"f\" default\n  \"g\" u\n  \"h\" default\n  \"ij\" s\n");
    // Given formatting inside a group, then the closing brace restores it; \plain resets.
    QTest::newRow("groups and plain") << QByteArray("{\\rtf1\\b a{\\i b}c\\plain d}")
                                      << QStringLiteral("¶ left first=0 left=0 right=0\n  \"a\" b\n  \"b\" b i\n  \"c\" b\n  \"d\" default\n");
    // Given sizes and colours, then \fs is in half points and \cf looks up the table;
    // an index past the table and \cf0 are automatic, \fs0 no size at all.
    QTest::newRow("sizes and colours")
        << QByteArray("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\fs21 a\\cf1 b\\cf2 c\\cf9 d\\cf0 e\\fs0 f}")
        << QStringLiteral("¶ left first=0 left=0 right=0\n  \"a\" 10.5pt\n  \"b\" 10.5pt #ff0000\n  \"c\" 10.5pt #0000ff\n"
                          "  \"de\" 10.5pt\n  \"f\" default\n");
    // Given a font table, then \f gives face and character set; text without \f, with
    // an unknown font or after \plain has neither.
    QTest::newRow("fonts")
        << QByteArray("{\\rtf1\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}{\\f1\\fswiss\\fcharset128 MS Gothic;}"
                      "{\\f2 Helvetica;}}a\\f1 b\\f2 c\\f7 d\\plain e}")
        << QStringLiteral("¶ left first=0 left=0 right=0\n  \"a\" default\n  \"b\" MS Gothic/128\n  \"c\" Helvetica/-1\n  \"de\" default\n");
    // Given font entries one after another without groups, then each is read.
    QTest::newRow("flat font table") << QByteArray("{\\rtf1{\\fonttbl\\f0\\fnil\\fcharset0 Lucida;\\f1\\fnil\\fcharset161 Tahoma;}\\f1 x}")
                                     << QStringLiteral("¶ left first=0 left=0 right=0\n  \"x\" Tahoma/161\n");
    // Given a font name in Shift-JIS bytes or \uN, then it is decoded.
    QTest::newRow("font names")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72 Gothic;}{\\f1\\fcharset1 \\u12354?;}}\\f0 x\\f1 y}")
        << QStringLiteral("¶ left first=0 left=0 right=0\n  \"x\" ＭＳ Gothic/128\n  \"y\" あ/1\n");
    // Given hidden text, then it is not read.
    QTest::newRow("hidden") << QByteArray("{\\rtf1 a{\\v hidden}b}") << QStringLiteral("¶ left first=0 left=0 right=0\n  \"ab\" default\n");
    // Given the four alignments, then \qj shows as left.
    QTest::newRow("alignment") << QByteArray("{\\rtf1\\pard\\ql a\\par\\pard\\qc b\\par\\pard\\qr c\\par\\pard\\qj d\\par}")
                               << QStringLiteral("¶ left first=0 left=0 right=0\n  \"a\" default\n¶ center first=0 left=0 right=0\n  \"b\" default\n"
                                                 "¶ right first=0 left=0 right=0\n  \"c\" default\n¶ left first=0 left=0 right=0\n  \"d\" default\n");
    // Given indents, then the first line's indent is \li + \fi and the later lines'
    // offset -\fi; \par keeps them for the next paragraph, \pard resets them.
    QTest::newRow("indents") << QByteArray("{\\rtf1\\pard\\fi-360\\li720\\ri100 a\\par b\\par\\pard c\\par}")
                             << QStringLiteral("¶ left first=360 left=360 right=100\n  \"a\" default\n"
                                               "¶ left first=360 left=360 right=100\n  \"b\" default\n"
                                               "¶ left first=0 left=0 right=0\n  \"c\" default\n");
    // Given \lin and \rin and an absurd indent, then they read as \li and \ri, clamped.
    QTest::newRow("logical and huge indents") << QByteArray("{\\rtf1\\lin99999999\\rin50 a\\par}")
                                              << QStringLiteral("¶ left first=31680 left=0 right=50\n  \"a\" default\n");
    // Given a last paragraph without \par, then it has the format its text was read in.
    QTest::newRow("last paragraph") << QByteArray("{\\rtf1 a\\par{\\qc b}}")
                                    << QStringLiteral("¶ left first=0 left=0 right=0\n  \"a\" default\n¶ center first=0 left=0 right=0\n  \"b\" default\n");
    // Given a document that ends with \par, then no empty paragraph follows it; two
    // give one empty paragraph; an empty document has none.
    QTest::newRow("final par") << QByteArray("{\\rtf1 a\\par}") << QStringLiteral("¶ left first=0 left=0 right=0\n  \"a\" default\n");
    QTest::newRow("two final pars") << QByteArray("{\\rtf1 a\\par\\par}")
                                    << QStringLiteral("¶ left first=0 left=0 right=0\n  \"a\" default\n¶ left first=0 left=0 right=0\n");
    QTest::newRow("empty document") << QByteArray("{\\rtf1}") << QString();
}

void RtfReaderTest::formattingFollowsGroupsAndResets()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(Read(rtf).Dump(), expected);
}

void RtfReaderTest::bulletsAreReadInBothForms_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    const QByteArray listTable =
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}}"
        "{\\listlevel\\levelnfc255{\\leveltext\\'00;}}\\listid7}"
        "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}\\listid8}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}{\\listoverride\\listid8\\ls2}}";

    // Given RichEdit's \pntext and \pn\pnlvlblt, when read, then the paragraphs are
    // bullets, the second one through the kept paragraph state, and the bullet text is
    // not document text.
    QTest::newRow("pn bullets")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Calibri;}{\\f1\\fcharset2 Symbol;}}\\pard{\\pntext\\f1\\'B7\\tab}"
                      "{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720 one\\par{\\pntext\\f1\\'B7\\tab}two\\par"
                      "\\pard three\\par}")
        << QStringLiteral("¶ left first=360 left=360 right=0 bullet\n  \"one\" default\n"
                          "¶ left first=360 left=360 right=0 bullet\n  \"two\" default\n"
                          "¶ left first=0 left=0 right=0\n  \"three\" default\n");
    // Given \pn numbering, then it shows as bullets (the control has no numbers);
    // \pnlvlcont continues a list without a bullet.
    QTest::newRow("pn numbers and continuation")
        << QByteArray("{\\rtf1\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}one\\par"
                      "\\pard{\\*\\pn\\pnlvlcont}more\\par}")
        << QStringLiteral("¶ left first=0 left=0 right=0 bullet\n  \"one\" default\n¶ left first=0 left=0 right=0\n  \"more\" default\n");
    // Given a Word 97 list with \ls and \listtext, then the paragraph is a bullet and
    // the \listtext is not document text.
    QTest::newRow("word 97 bullets") << listTable + "{\\listtext\\'95\\tab}\\ls1 one\\par\\pard two\\par}"
                                     << QStringLiteral("¶ left first=0 left=0 right=0 bullet\n  \"one\" default\n"
                                                       "¶ left first=0 left=0 right=0\n  \"two\" default\n");
    // Given a numbered Word 97 list, then it shows as bullets too.
    QTest::newRow("word 97 numbers") << listTable + "{\\listtext 1.\\tab}\\ls2 one\\par}"
                                     << QStringLiteral("¶ left first=0 left=0 right=0 bullet\n  \"one\" default\n");
    // Given a level whose number format shows nothing, then it is no bullet.
    QTest::newRow("level without number") << listTable + "\\ls1\\ilvl1 one\\par}"
                                          << QStringLiteral("¶ left first=0 left=0 right=0\n  \"one\" default\n");
    // Given \ls without a list override table, then it is no bullet.
    QTest::newRow("unknown list") << QByteArray("{\\rtf1\\ls3 one\\par}") << QStringLiteral("¶ left first=0 left=0 right=0\n  \"one\" default\n");
}

void RtfReaderTest::bulletsAreReadInBothForms()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    if (!rtf.startsWith("{\\rtf"))
        rtf.prepend("{\\rtf1");
    QCOMPARE(Read(rtf).Dump(), expected);
}

void RtfReaderTest::textOutsideTheDocumentIsSkipped_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    // Given an unknown \* destination, when read, then its text is skipped.
    QTest::newRow("unknown optional") << QByteArray("{\\rtf1 a{\\*\\unknown junk{\\b more}}b}") << QStringLiteral("ab");
    // Given \* before a word that is no destination, then the group is skipped too.
    QTest::newRow("optional non-destination") << QByteArray("{\\rtf1 a{\\*\\b junk}b}") << QStringLiteral("ab");
    // Given a space between \* and its word, then it still applies.
    QTest::newRow("optional with space") << QByteArray("{\\rtf1 a{\\* \\unknown junk}b}") << QStringLiteral("ab");
    // Given an unknown group without \*, then its text is document text.
    QTest::newRow("unknown plain group") << QByteArray("{\\rtf1 {\\unknownword text}}") << QStringLiteral("text");
    // Given stylesheet, info, header, footer, object data and footnote, then none of
    // their text is document text; a picture stands as one object character.
    QTest::newRow("non-text destinations")
        << QByteArray("{\\rtf1 {\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}a{\\pict\\wmetafile8 0102ff}b"
                      "{\\header h}{\\footer f}{\\object{\\objdata 00}{\\result{\\pict 00}}}c{\\footnote note}}")
        << QString::fromUtf16(u"a\uFFFCb\uFFFCc");
    // Given \bin data in a picture, then braces in it do not end any group.
    QTest::newRow("binary picture") << QByteArray("{\\rtf1 a{\\pict\\bin4 }}}}}b}") << QString::fromUtf16(u"a\uFFFCb");
    // Given \bin data in the body, then it is not text.
    QTest::newRow("binary body") << QByteArray("{\\rtf1 a\\bin2 xyb}") << QStringLiteral("ab");
    // Given a field, then its instruction is skipped and its result kept.
    QTest::newRow("field") << QByteArray("{\\rtf1 {\\field{\\*\\fldinst{HYPERLINK \"http://x\"}}{\\fldrslt{\\ul link}}} after}")
                           << QStringLiteral("link after");
    QTest::newRow("old field") << QByteArray("{\\rtf1 {\\field{\\fldinst PAGE}{\\fldrslt 3}}}") << QStringLiteral("3");
    // Given an object, then the text of its result stands where the object does.
    QTest::newRow("object result")
        << QByteArray("{\\rtf1 a{\\object\\objemb{\\*\\objclass Word.Document.8}{\\*\\objdata 0102}{\\result{\\pict 00}shown}}b}")
        << QString::fromUtf16(u"a\uFFFCshownb");
    // Given a drawing object's text box, then its text is paragraphs where it is anchored.
    QTest::newRow("drawing object text box")
        << QByteArray("{\\rtf1 before\\par{\\*\\do\\dobxcolumn\\dodhgt8192\\dptxbx{\\dptxbxtext\\pard box text}\\dpx0\\dpy0}after}")
        << QStringLiteral("before\nbox text\nafter");
    // Given a shape with text and a drawing object as its fallback, then the text once.
    QTest::newRow("shape text")
        << QByteArray("{\\rtf1 {\\shp{\\*\\shpinst\\shpleft0{\\sp{\\sn shapeType}{\\sv 202}}{\\shptxt in shape\\par}}"
                      "{\\shprslt{\\*\\do\\dptxbx{\\dptxbxtext in shape\\par}}}}after}")
        << QStringLiteral("in shape\nafter");
    // Given a Hebrew document whose only text is in a text box, then it is read.
    QTest::newRow("only text in a box")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1255{\\fonttbl{\\f0\\fcharset177 Arial;}}{\\*\\do\\dptxbx{\\dptxbxtext\\f0 \\'f9\\'ec\\'e5\\'ed}}}")
        << QString::fromUtf8("שלום");
    // Given \upr, then its Unicode version is read and its ANSI version is not.
    QTest::newRow("upr") << QByteArray("{\\rtf1 {\\upr{\\'82\\'a0}{\\*\\ud{\\u12354?}}}x}") << QStringLiteral("あx");
    // Given a font table that is never closed before the body, then the body is read.
    QTest::newRow("unclosed font table")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fnil Verdana;} \\pard\\f0 body text\\par } more}")
        << QStringLiteral("body text\n more");
}

void RtfReaderTest::textOutsideTheDocumentIsSkipped()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(TextOf(rtf), expected);
}

void RtfReaderTest::specialCharactersAndTablesBecomeText_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    // Given the character control words, when read, then each is its character.
    QTest::newRow("characters")
        << QByteArray("{\\rtf1 a\\line b\\tab c\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~\\-\\_}")
        << QStringLiteral("a\u2028b\tc—–•‘’“”\u00a0\u00ad\u2011");
    // Given a table, then each row is a paragraph of tab-separated cells.
    QTest::newRow("table")
        << QByteArray("{\\rtf1\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
                      "\\trowd\\cellx1000\\cellx2000\\pard\\intbl\\cell d\\cell\\row after\\par}")
        << QStringLiteral("a\tb\n\td\nafter");
    // Given nested cells, then they join their nested row the same way, and text that
    // a writer put into the nested row's properties is kept.
    QTest::newRow("nested cells")
        << QByteArray("{\\rtf1\\pard\\intbl\\itap2 x\\nestcell w\\nestcell{\\*\\nesttableprops\\trowd\\cellx9 z\\nestcell\\nestrow}y\\cell\\row}")
        << QStringLiteral("x\tw\tz\ny");
    // Given page and section breaks, then they end non-empty paragraphs only.
    QTest::newRow("page and section") << QByteArray("{\\rtf1 a\\page b\\sect c\\par\\sect}") << QStringLiteral("a\nb\nc");
    // Given literal tabs and control bytes, then tabs stay and control bytes go.
    QTest::newRow("control bytes") << QByteArray("{\\rtf1 a\tb\x01\x7f" "c}") << QStringLiteral("a\tb\x7f" "c");
    // Given a backslash before a line break, then it is a paragraph break.
    QTest::newRow("textedit breaks") << QByteArray("{\\rtf1 a\\\nb}") << QStringLiteral("a\nb");
}

void RtfReaderTest::specialCharactersAndTablesBecomeText()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(TextOf(rtf), expected);
}

void RtfReaderTest::damagedInputGivesWhatCanBeRead_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    // Given junk before the document's group, when read, then it is ignored.
    QTest::newRow("junk before") << QByteArray("junk{\\rtf1 a}") << QStringLiteral("a");
    // Given junk or extra braces after it, then they are ignored.
    QTest::newRow("junk after") << QByteArray("{\\rtf1 a}junk") << QStringLiteral("a");
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}b") << QStringLiteral("a");
    // Given a truncated document, then everything read is kept.
    QTest::newRow("truncated") << QByteArray("{\\rtf1 a\\par b") << QStringLiteral("a\nb");
    QTest::newRow("truncated in hex") << QByteArray("{\\rtf1 a\\'8") << QStringLiteral("a");
    QTest::newRow("truncated after backslash") << QByteArray("{\\rtf1 a\\") << QStringLiteral("a");
    // Given groups that are never closed, then their text is kept.
    QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 a{{{b") << QStringLiteral("ab");
    // Given nesting within the depth limit, then text is kept; beyond it, it is not.
    QTest::newRow("deep nesting kept") << QByteArray("{\\rtf1 ") + QByteArray(1000, '{') + "x" + QByteArray(1000, '}') + " y}"
                                       << QStringLiteral("x y");
    QTest::newRow("too deep nesting") << QByteArray("{\\rtf1 ") + QByteArray(100000, '{') + "x" + QByteArray(100000, '}') + " y}"
                                      << QStringLiteral(" y");
    // Given huge parameters, then they are clamped and the text survives.
    QTest::newRow("huge parameters")
        << QByteArray("{\\rtf1\\fs999999999999\\f-99999999999\\cf99999999999\\ls99999999999\\ilvl-5 a\\fi-99999999999 b}")
        << QStringLiteral("ab");
    // Given \bin longer than the file, then the file simply ends.
    QTest::newRow("binary past end") << QByteArray("{\\rtf1 a\\bin999999999 xyz") << QStringLiteral("a");
    // Given no document group at all, then there is no text.
    QTest::newRow("no group") << QByteArray("plain text") << QString();
}

void RtfReaderTest::damagedInputGivesWhatCanBeRead()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(TextOf(rtf), expected);
}

void RtfReaderTest::theDocumentGetsFormatsListsAndIndents()
{
    // Given a document with text and its own default font, when RTF with fonts, styles,
    // colours, indents and two bullet lists is read at 96 ppi, then the content is
    // replaced and every format follows the document's conventions.
    QTextDocument doc;
    QFont defaultFont(QStringLiteral("Arial"), 9);
    doc.setDefaultFont(defaultFont);
    doc.setIndentWidth(24);
    doc.setPlainText(QStringLiteral("old text\nold paragraph"));
    ReadRtf("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset128 MS Gothic;}}"
            "{\\colortbl;\\red255\\green0\\blue0;}"
            "\\pard\\qc\\fi-360\\li720\\ri144 plain \\f1\\fs24\\b\\i\\ul\\strike\\cf1 \\'82\\'a0\\plain  a\\line b\\par"
            "\\pard{\\*\\pn\\pnlvlblt}one\\par{\\*\\pn\\pnlvlblt}two\\par\\pard gap\\par{\\*\\pn\\pnlvlblt}three\\par}",
            doc, 96);

    QCOMPARE(doc.blockCount(), 5);
    QCOMPARE(doc.firstBlock().text(), QStringLiteral("plain あ a\u2028b"));
    QCOMPARE(doc.toPlainText(), QStringLiteral("plain あ a\nb\none\ntwo\ngap\nthree"));
    QCOMPARE(doc.defaultFont(), defaultFont);
    QCOMPARE(doc.indentWidth(), 24.0);

    const QTextBlock first = doc.firstBlock();
    const QTextBlockFormat block = first.blockFormat();
    QCOMPARE(block.alignment(), Qt::Alignment(Qt::AlignHCenter));
    QCOMPARE(block.intProperty(DocumentProperty::FirstIndentTwips), 360);
    QCOMPARE(block.intProperty(DocumentProperty::LeftIndentTwips), 360);
    QCOMPARE(block.intProperty(DocumentProperty::RightIndentTwips), 144);
    QCOMPARE(block.leftMargin(), 48.0);
    QCOMPARE(block.textIndent(), -24.0);
    QCOMPARE(block.rightMargin(), 10.0);

    QTextCursor cursor(first);
    cursor.setPosition(first.position() + 1);
    const QTextCharFormat plain = cursor.charFormat();
    QVERIFY(!plain.hasProperty(QTextFormat::FontFamilies));
    QVERIFY(!plain.hasProperty(DocumentProperty::Charset));
    QVERIFY(!plain.hasProperty(QTextFormat::FontPointSize));
    QVERIFY(!plain.hasProperty(QTextFormat::ForegroundBrush));
    QCOMPARE(plain.fontWeight(), int(QFont::Normal));

    cursor.setPosition(first.position() + 7);  // after "plain あ"
    const QTextCharFormat styled = cursor.charFormat();
    QCOMPARE(styled.fontFamilies().toStringList(), QStringList{QStringLiteral("MS Gothic")});
    QCOMPARE(styled.intProperty(DocumentProperty::Charset), 128);
    QCOMPARE(styled.fontPointSize(), 12.0);
    QCOMPARE(styled.fontWeight(), int(QFont::Bold));
    QVERIFY(styled.fontItalic());
    QVERIFY(styled.fontUnderline());
    QVERIFY(styled.fontStrikeOut());
    QCOMPARE(styled.foreground().color(), QColor(255, 0, 0));

    const QTextBlock one = first.next();
    const QTextBlock two = one.next();
    const QTextBlock gap = two.next();
    const QTextBlock three = gap.next();
    QVERIFY(one.textList());
    QCOMPARE(one.textList(), two.textList());
    QCOMPARE(one.textList()->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(one.textList()->format().indent(), 1);
    QVERIFY(!gap.textList());
    QVERIFY(three.textList());
    QVERIFY(three.textList() != one.textList());
}

void RtfReaderTest::shapesAndFormulasShowTheirPictureOnce_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("data");  // the pictures' data in hexadecimal, joined by ' '
    QTest::addColumn<QSize>("goal");       // the first picture's goal size times its scale

    const QByteArray shape = "{\\shp{\\*\\shpinst\\shpleft100\\shptop0\\shpright1540\\shpbottom720";
    const auto pib = [](const char* words) { return QByteArray("{\\sp{\\sn pib}{\\sv {\\pict\\pngblip") + words + "}}}"; };
    // Given a picture shape with a fallback in \shprslt, as Word writes it, then the
    // picture once, sized as the shape, where the shape stands.
    QTest::newRow("shape") << QByteArray("{\\rtf1 a" + shape + pib(" 0a0b") + "}{\\shprslt{\\pict\\wmetafile8 0c}\\par}}b}")
                           << QString::fromUtf16(u"a\uFFFCb") << QByteArray("0a0b") << QSize(1440, 720);
    QTest::newRow("other goal replaced") << QByteArray("{\\rtf1 " + shape + pib("\\picwgoal100\\pichgoal100 01") + "}}}")
                                         << QString(QChar::ObjectReplacementCharacter) << QByteArray("01") << QSize(1440, 720);
    // Given a picture fill behind a text box's text, then the text alone.
    QTest::newRow("fill behind text")
        << QByteArray("{\\rtf1 " + shape + "{\\sp{\\sn fillBlip}{\\sv {\\pict\\pngblip 02}}}{\\shptxt boxed\\par}}}after}")
        << QStringLiteral("boxed\nafter") << QByteArray() << QSize();
    // Given a picture in a table's second cell, then it comes after the cells' tab.
    QTest::newRow("second cell") << QByteArray("{\\rtf1 \\trowd\\intbl a\\cell{\\pict\\pngblip\\picwgoal20\\pichgoal10 08}\\cell\\row}")
                                 << QString::fromUtf16(u"a\t\uFFFC") << QByteArray("08") << QSize(20, 10);
    // Given a formula whose picture is in an optional \mmathPict, or only in the older
    // form, then that picture; two formulas, each its own; an older picture after
    // text that follows a formula is no formula's.
    QTest::newRow("formula") << QByteArray("{\\rtf1 a{\\mmath{\\*\\moMath{\\*\\mr x}}}{\\*\\mmathPict{\\pict\\pngblip 01}}b}")
                             << QString::fromUtf16(u"a\uFFFCb") << QByteArray("01") << QSize();
    QTest::newRow("formula, older form")
        << QByteArray("{\\rtf1 a{\\mmath{\\*\\moMath{\\*\\mr x}}{\\nonshppict{\\pict\\wmetafile8 02}}}b}")
        << QString::fromUtf16(u"a\uFFFCb") << QByteArray("02") << QSize();
    QTest::newRow("two formulas")
        << QByteArray("{\\rtf1 {\\mmath{\\*\\mmathPict{\\pict\\pngblip 01}}}{\\mmath{\\*\\mmathPict{\\pict\\pngblip 03}}}}")
        << QString::fromUtf16(u"\uFFFC\uFFFC") << QByteArray("01 03") << QSize();
    QTest::newRow("older form after text") << QByteArray("{\\rtf1 {\\mmath{\\*\\moMath x}}b{\\nonshppict{\\pict\\wmetafile8 02}}}")
                                           << QStringLiteral("b") << QByteArray() << QSize();
}

void RtfReaderTest::shapesAndFormulasShowTheirPictureOnce()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QFETCH(QByteArray, data);
    QFETCH(QSize, goal);
    const RecordingSink sink = Read(rtf);
    QCOMPARE(sink.PlainText(), text);
    QByteArrayList pictures;
    for (const Picture& picture : sink.Pictures())
        pictures << picture.data.toHex();
    QCOMPARE(pictures.join(' '), data);
    if (goal.isValid()) {
        const Picture& first = sink.Pictures().first();
        QCOMPARE(QSize(first.goalWidth * first.scaleX / 100, first.goalHeight * first.scaleY / 100), goal);
    }
}

QTEST_MAIN(RtfReaderTest)
#include "tst_rtf_reader.moc"
