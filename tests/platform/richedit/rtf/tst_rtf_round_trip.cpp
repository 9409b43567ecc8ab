// The RTF writer: what it writes, and that reading it back gives the same document,
// for generated documents in every script and for the files of the shared corpus.
#include "platform/richedit/DocumentProperties.h"
#include "platform/richedit/rtf/Rtf.h"
#include "platform/richedit/rtf/RtfTokenizer.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTextImageFormat>
#include <QUrl>
#include <QFile>
#include <QRegularExpression>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace {

constexpr int kPpi = 96;

struct LanguageSample {
    const char* language;
    int charset;
    const char* face;
    const char* sentence;
};

// One sentence per language the program searches, in a face and character set of it.
const LanguageSample kSamples[] = {
    {"japanese", 128, "ＭＳ 明朝", "日本語の文章です。"},
    {"korean wansung", 129, "Batang", "한국어 문장입니다."},
    {"korean johab", 130, "Gulim", "한국어 문장입니다."},
    {"simplified chinese", 134, "SimSun", "这是中文句子。"},
    {"traditional chinese", 136, "MingLiU", "這是中文句子。"},
    {"greek", 161, "Arial", "Αυτή είναι μια ελληνική πρόταση."},
    {"turkish", 162, "Tahoma", "Bu bir Türkçe cümledir: ğüşıöç."},
    {"vietnamese", 163, "Times New Roman", "Đây là câu tiếng Việt."},
    {"hebrew", 177, "David", "זהו משפט בעברית."},
    {"arabic", 178, "Arial", "هذه جملة عربية."},
    {"baltic", 186, "Arial", "Tai yra lietuviškas sakinys: ąčęėįšųūž."},
    {"cyrillic", 204, "Arial", "Это русское предложение."},
    {"thai", 222, "Tahoma", "นี่คือประโยคภาษาไทย"},
    {"eastern europe", 238, "Arial", "To jest polskie zdanie: zażółć gęślą jaźń."},
};

QTextDocument* NewDocument(QObject* parent)
{
    auto* doc = new QTextDocument(parent);
    doc->setDefaultFont(QFont(QStringLiteral("Arial"), 9));
    return doc;
}

QTextCharFormat Face(const QString& family, int charset)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{family});
    format.setProperty(DocumentProperty::Charset, charset);
    return format;
}

// Styles from letters (b, i, u, s), with a size and a colour when given.
QTextCharFormat Style(const char* styles, double points = 0, const QColor& color = QColor())
{
    QTextCharFormat format;
    const QByteArray letters(styles);
    if (letters.contains('b'))
        format.setFontWeight(QFont::Bold);
    format.setFontItalic(letters.contains('i'));
    format.setFontUnderline(letters.contains('u'));
    format.setFontStrikeOut(letters.contains('s'));
    if (points > 0)
        format.setFontPointSize(points);
    if (color.isValid())
        format.setForeground(color);
    return format;
}

// A readable account of everything the document model keeps: per paragraph its
// alignment, indents and bullet, per run its text and resolved character format
// (a run without a face or size of its own shows the document's default). With
// faceCharsetAsDefault, a face without a character set shows DEFAULT_CHARSET (1).
QString Describe(const QTextDocument& doc, bool faceCharsetAsDefault = false)
{
    QStringList lines;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        // The edge the paragraph is shown at, and its direction.
        const Qt::Alignment alignment =
            QStyle::visualAlignment(block.textDirection(), format.alignment() & Qt::AlignHorizontal_Mask);
        lines.append(QStringLiteral("¶ %1 first=%2 left=%3 right=%4%5%6")
                         .arg(alignment & Qt::AlignHCenter ? "center" : alignment & Qt::AlignRight ? "right" : "left")
                         .arg(format.intProperty(DocumentProperty::FirstIndentTwips))
                         .arg(format.intProperty(DocumentProperty::LeftIndentTwips))
                         .arg(format.intProperty(DocumentProperty::RightIndentTwips))
                         .arg(block.textList() ? " bullet" : "")
                         .arg(block.textDirection() == Qt::RightToLeft ? " rtl" : ""));
        QString lastStyle, text;
        auto flush = [&] {
            if (!text.isEmpty())
                lines.append(QStringLiteral("  \"%1\" %2").arg(text, lastStyle));
            text.clear();
        };
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QStringList families = f.fontFamilies().toStringList();
            const QString family = families.isEmpty() ? doc.defaultFont().family() : families.first();
            const QString charset = f.hasProperty(DocumentProperty::Charset)
                                        ? QString::number(f.intProperty(DocumentProperty::Charset))
                                    : faceCharsetAsDefault && !families.isEmpty() ? QStringLiteral("1")
                                                                                  : QStringLiteral("-");
            const double size = f.fontPointSize() > 0 ? f.fontPointSize() : doc.defaultFont().pointSizeF();
            const QString style = QStringLiteral("%1/%2 %3pt%4%5%6%7 %8")
                                      .arg(family, charset)
                                      .arg(size)
                                      .arg(f.fontWeight() >= QFont::DemiBold ? " b" : "")
                                      .arg(f.fontItalic() ? " i" : "")
                                      .arg(f.fontUnderline() ? " u" : "")
                                      .arg(f.fontStrikeOut() ? " s" : "")
                                      .arg(f.foreground().style() == Qt::NoBrush ? QStringLiteral("auto")
                                                                                 : f.foreground().color().name());
            if (style != lastStyle)
                flush();
            lastStyle = style;
            text += it.fragment().text();
        }
        flush();
    }
    return lines.join(QLatin1Char('\n'));
}

QString RoundTrip(const QTextDocument& doc, QByteArray* rtf = nullptr)
{
    const QByteArray written = WriteRtf(doc, kPpi);
    if (rtf)
        *rtf = written;
    QTextDocument back;
    back.setDefaultFont(doc.defaultFont());
    ReadRtf(written, back, kPpi);
    return Describe(back);
}

void SetBlock(QTextCursor& cursor, Qt::Alignment alignment, int first, int left, int right)
{
    QTextBlockFormat format;
    format.setAlignment(alignment);
    format.setProperty(DocumentProperty::FirstIndentTwips, first);
    format.setProperty(DocumentProperty::LeftIndentTwips, left);
    format.setProperty(DocumentProperty::RightIndentTwips, right);
    ApplyIndentsToLayout(format, kPpi);
    cursor.setBlockFormat(format);
}

// A new paragraph of its own: not in the previous paragraph's list.
void NewParagraph(QTextCursor& cursor, Qt::Alignment alignment, int first, int left, int right)
{
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    SetBlock(cursor, alignment, first, left, right);
}

void MakeBullet(QTextCursor& cursor)
{
    QTextListFormat list;
    list.setStyle(QTextListFormat::ListDisc);
    list.setIndent(1);
    if (QTextList* previous = cursor.block().previous().textList())
        previous->add(cursor.block());
    else
        cursor.createList(list);
}

// Checks the structure every reader relies on: balanced braces, only 7-bit bytes, and
// after each \uN as many fallback units as the \ucN in force says, before anything
// else (a control word or brace) comes.
QString StructureProblems(const QByteArray& rtf)
{
    for (const char c : rtf)
        if (static_cast<unsigned char>(c) >= 0x80)
            return QStringLiteral("8-bit byte");
    rtf::Tokenizer tokenizer(std::string_view(rtf.constData(), static_cast<std::size_t>(rtf.size())));
    std::vector<int> uc{1};
    int depth = 0;
    int fallbackExpected = -1, fallbackSeen = 0;
    auto endFallback = [&]() -> bool {
        const bool ok = fallbackExpected < 0 || fallbackSeen == fallbackExpected;
        fallbackExpected = -1;
        fallbackSeen = 0;
        return ok;
    };
    for (rtf::Token t = tokenizer.Next(); t.kind != rtf::TokenKind::End; t = tokenizer.Next()) {
        const bool unit = t.kind == rtf::TokenKind::HexByte || t.kind == rtf::TokenKind::Text;
        if (unit && fallbackExpected >= 0 && fallbackSeen < fallbackExpected) {
            // Text after the fallback's last unit is ordinary text.
            fallbackSeen += t.kind == rtf::TokenKind::Text ? std::min(static_cast<int>(t.text.size()), fallbackExpected - fallbackSeen) : 1;
            continue;
        }
        if (!endFallback())
            return QStringLiteral("fallback shorter than \\uc at line %1").arg(t.line);
        if (t.kind == rtf::TokenKind::GroupOpen) {
            ++depth;
            uc.push_back(uc.back());
        } else if (t.kind == rtf::TokenKind::GroupClose) {
            if (--depth < 0)
                return QStringLiteral("unbalanced braces");
            uc.pop_back();
        } else if (t.kind == rtf::TokenKind::ControlWord && t.text == "uc") {
            uc.back() = t.value;
        } else if (t.kind == rtf::TokenKind::ControlWord && t.text == "u") {
            fallbackExpected = uc.back();
        }
    }
    if (!endFallback())
        return QStringLiteral("fallback cut short at the end");
    return depth == 0 ? QString() : QStringLiteral("unclosed groups");
}

// What a reader that ignores \uN sees: the fallbacks alone.
QString FallbackText(const QByteArray& rtf)
{
    const QString stripped = QString::fromLatin1(rtf).remove(QRegularExpression(QStringLiteral("\\\\uc?-?[0-9]+ ?")));
    QTextDocument doc;
    ReadRtf(stripped.toLatin1(), doc, kPpi);
    return doc.toPlainText();
}

QString CorpusDir()
{
    return QStringLiteral(TESSERINE_CORPUS_DIR);
}

} // namespace

class RtfRoundTripTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyLanguageRoundTripsAndFallsBackInItsCodePage_data();
    void everyLanguageRoundTripsAndFallsBackInItsCodePage();
    void everyAttributeRoundTrips();
    void theWriterWritesWhatReadersExpect();
    void bulletsAreWrittenInBothForms();
    void paragraphsWithoutTwipsAreWrittenFromTheirMargins();
    void rightToLeftParagraphsKeepTheirDirection();
    void aFaceWithoutCharacterSetComesBackWithTheDefaultOne();
    void picturesAreShownAndWrittenBackUnchanged();
    void whatASaveWouldNotKeepIsNamed();
    void onlyWhatTheFileHoldsIsNamed_data();
    void onlyWhatTheFileHoldsIsNamed();
    void corpusFilesRoundTrip_data();
    void corpusFilesRoundTrip();
};

void RtfRoundTripTest::everyLanguageRoundTripsAndFallsBackInItsCodePage_data()
{
    QTest::addColumn<int>("charset");
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("sentence");
    for (const LanguageSample& sample : kSamples)
        QTest::newRow(sample.language) << sample.charset << QString::fromUtf8(sample.face) << QString::fromUtf8(sample.sentence);
}

void RtfRoundTripTest::everyLanguageRoundTripsAndFallsBackInItsCodePage()
{
    // Given a paragraph with the sentence in its face and character set between Latin
    // text in the default font, when written and read back, then the document is the
    // same; the font table names the character set, the RTF is well formed, and a
    // reader that ignores \uN sees the sentence through the fallbacks.
    QFETCH(int, charset);
    QFETCH(QString, face);
    QFETCH(QString, sentence);
    QTextDocument* doc = NewDocument(this);
    QTextCursor cursor(doc);
    cursor.insertText(QStringLiteral("Before "));
    cursor.insertText(sentence, Face(face, charset));
    cursor.insertText(QStringLiteral(" after."), QTextCharFormat());

    QByteArray rtf;
    QCOMPARE(RoundTrip(*doc, &rtf), Describe(*doc));
    QVERIFY(rtf.contains("\\fcharset" + QByteArray::number(charset)));
    QCOMPARE(StructureProblems(rtf), QString());
    QCOMPARE(FallbackText(rtf).normalized(QString::NormalizationForm_C),
             QStringLiteral("Before %1 after.").arg(sentence));
}

void RtfRoundTripTest::everyAttributeRoundTrips()
{
    // Given a document using every attribute the model keeps, special characters and
    // empty paragraphs at the start, middle and end, when written and read back, then
    // it is the same document.
    QTextDocument* doc = NewDocument(this);
    QTextCursor cursor(doc);
    SetBlock(cursor, Qt::AlignLeft, 0, 0, 0);  // an empty first paragraph
    NewParagraph(cursor, Qt::AlignHCenter, 720, 360, 144);
    cursor.insertText(QStringLiteral("plain "), QTextCharFormat());
    cursor.insertText(QStringLiteral("1st bold"), Style("b"));
    cursor.insertText(QStringLiteral(" italic"), Style("i"));
    cursor.insertText(QStringLiteral("-underline"), Style("u"));
    cursor.insertText(QStringLiteral(" strike"), Style("s"));
    QTextCharFormat everything = Style("bius", 10.5, QColor(0x12, 0x34, 0x56));
    everything.merge(Face(QStringLiteral("Courier New"), 0));
    cursor.insertText(QStringLiteral("all of them"), everything);

    NewParagraph(cursor, Qt::AlignRight, -200, -300, 0);
    for (const double points : {8.0, 12.0, 72.0})
        cursor.insertText(QString::number(points), Style("", points));
    cursor.insertText(QStringLiteral("red"), Style("", 0, QColor(255, 0, 0)));
    cursor.insertText(QStringLiteral("black"), Style("", 0, QColor(0, 0, 0)));
    cursor.insertText(QStringLiteral("\tbraces {x} and \\par\u2028second line\u00a0nbsp\u00adsoft\u2011hard "
                                     "\U0001F600 \uFFFD ąβ日"),
                      QTextCharFormat());

    NewParagraph(cursor, Qt::AlignLeft, 0, 0, 0);  // an empty paragraph in the middle
    for (const char* item : {"one", "two", "three"}) {
        NewParagraph(cursor, Qt::AlignLeft, 360, 360, 0);
        MakeBullet(cursor);
        cursor.insertText(QString::fromLatin1(item), Face(QStringLiteral("Arial"), 204));
    }
    NewParagraph(cursor, Qt::AlignLeft, 0, 0, 0);
    cursor.insertText(QStringLiteral("between lists"), QTextCharFormat());
    NewParagraph(cursor, Qt::AlignLeft, 0, 0, 0);
    MakeBullet(cursor);
    cursor.insertText(QStringLiteral("lone bullet"), QTextCharFormat());
    NewParagraph(cursor, Qt::AlignLeft, 0, 0, 0);  // an empty last paragraph

    QByteArray rtf;
    QCOMPARE(RoundTrip(*doc, &rtf), Describe(*doc));
    QCOMPARE(StructureProblems(rtf), QString());
}

void RtfRoundTripTest::theWriterWritesWhatReadersExpect()
{
    // Given runs in several faces, scripts and styles, when written, then the header,
    // font table, colour table, escapes, fallbacks and delimiters are as Word-family
    // readers expect them.
    QTextDocument* doc = NewDocument(this);
    QTextCursor cursor(doc);
    SetBlock(cursor, Qt::AlignHCenter, 360, 360, 0);
    cursor.insertText(QStringLiteral("日"), Face(QStringLiteral("ＭＳ 明朝"), 128));
    cursor.insertText(QStringLiteral("α"), Face(QStringLiteral("Arial"), 161));
    cursor.insertText(QStringLiteral("あ"), Face(QStringLiteral("Arial"), 0));
    cursor.insertText(QStringLiteral("1st a{b}c\\d"), Style("b", 0, QColor(255, 0, 0)));
    const QByteArray rtf = WriteRtf(*doc, kPpi);

    QVERIFY2(rtf.startsWith("{\\rtf1\\ansi\\ansicpg932\\deff0"), rtf.constData());
    QVERIFY(rtf.contains("{\\f0\\fswiss\\fcharset1 Arial;}"));
    QVERIFY(rtf.contains("\\froman\\fcharset128\\'82\\'6c\\'82\\'72\\'20\\'96\\'be\\'92\\'a9;}"));
    QVERIFY(rtf.contains("\\fswiss\\fcharset161 Arial;}"));
    QVERIFY(rtf.contains("{\\colortbl;\\red255\\green0\\blue0;}"));
    QVERIFY(rtf.contains("\\pard\\qc\\fi-360\\li720\\ri0"));
    QVERIFY(rtf.contains("\\uc2\\u26085\\'93\\'fa"));
    QVERIFY(rtf.contains("\\uc1\\u945\\'e1"));
    QVERIFY(rtf.contains("\\u12354?"));
    QVERIFY(rtf.contains("\\plain\\fs18\\b\\cf1 1st a\\{b\\}c\\\\d\\par"));
    QCOMPARE(rtf.count("\\plain"), 4);
    QCOMPARE(StructureProblems(rtf), QString());
}

void RtfRoundTripTest::bulletsAreWrittenInBothForms()
{
    // Given a bulleted paragraph, when written, then it carries \pntext and \pn for
    // older readers, and \ls1 with \listtext and the list tables for Word 97 readers.
    QTextDocument* doc = NewDocument(this);
    QTextCursor cursor(doc);
    MakeBullet(cursor);
    cursor.insertText(QStringLiteral("item"));
    const QByteArray rtf = WriteRtf(*doc, kPpi);
    const QRegularExpression pn(QStringLiteral(
        R"(\\pard\{\\pntext\\f(\d+)\\'95\\tab\}\{\\\*\\pn\\pnlvlblt\\pnf\1\\pnindent0\{\\pntxtb\\'95\}\}.*\\ls1\\ilvl0\{\\listtext\\f\1\\'95\\tab\})"));
    const QRegularExpressionMatch match = pn.match(QString::fromLatin1(rtf));
    QVERIFY2(match.hasMatch(), rtf.constData());
    QVERIFY(rtf.contains("{\\f" + match.captured(1).toLatin1() + "\\fswiss\\fcharset0 Arial;}"));
    QVERIFY(rtf.contains("{\\*\\listtable{\\list\\listtemplateid1\\listsimple{\\listlevel\\levelnfc23"));
    QVERIFY(rtf.contains("{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}"));
    QCOMPARE(StructureProblems(rtf), QString());
}

void RtfRoundTripTest::paragraphsWithoutTwipsAreWrittenFromTheirMargins()
{
    // Given a paragraph laid out with Qt margins only, when written at 96 ppi, then the
    // margins are converted to twips.
    QTextDocument* doc = NewDocument(this);
    QTextCursor cursor(doc);
    QTextBlockFormat format;
    format.setLeftMargin(48);
    format.setTextIndent(-24);
    format.setRightMargin(12);
    cursor.setBlockFormat(format);
    cursor.insertText(QStringLiteral("x"));
    QVERIFY(WriteRtf(*doc, kPpi).contains("\\fi-360\\li720\\ri180"));
}

void RtfRoundTripTest::rightToLeftParagraphsKeepTheirDirection()
{
    // Given right-to-left paragraphs from RTF and from plain Hebrew text, when saved and
    // read back, then they are right to left again, at the edge they were shown at.
    QTextDocument read;
    ReadRtf("{\\rtf1\\ansi \\pard\\rtlpar\\qr\\fi-360\\li720\\ri180 \\u1513?\\u1500?\\u1493?\\u1501?.\\par"
            "\\pard\\rtlpar \\u1513?.\\par\\pard\\ltrpar \\u1513?.\\par}",
            read, kPpi);
    QByteArray rtf;
    const QString described = Describe(read);
    QVERIFY2(described.startsWith(QStringLiteral("¶ right first=360 left=360 right=180 rtl\n")), qPrintable(described));
    QVERIFY2(described.contains(QStringLiteral("\n¶ left first=0 left=0 right=0 rtl\n")), qPrintable(described));
    QVERIFY2(described.contains(QStringLiteral("\n¶ left first=0 left=0 right=0\n")), qPrintable(described));
    QCOMPARE(RoundTrip(read, &rtf), described);
    QVERIFY2(rtf.contains("\\pard\\rtlpar\\qr\\fi-360\\li720\\ri180"), rtf.constData());

    QTextDocument* plain = NewDocument(this);
    plain->setPlainText(QStringLiteral("שלום.\nabc"));
    QCOMPARE(RoundTrip(*plain, &rtf), Describe(*plain));
    QVERIFY(Describe(*plain).startsWith(QStringLiteral("¶ right first=0 left=0 right=0 rtl\n")));
    QVERIFY2(rtf.contains("\\pard\\rtlpar\\qr"), rtf.constData());
}

void RtfRoundTripTest::aFaceWithoutCharacterSetComesBackWithTheDefaultOne()
{
    // Given a run with a face but no character set, when written and read back, then
    // its font entry has DEFAULT_CHARSET, and so has the run.
    QTextDocument* doc = NewDocument(this);
    QTextCursor cursor(doc);
    QTextCharFormat face;
    face.setFontFamilies(QStringList{QStringLiteral("Verdana")});
    cursor.insertText(QStringLiteral("x"), face);
    QByteArray rtf;
    QVERIFY(RoundTrip(*doc, &rtf).contains(QStringLiteral("\"x\" Verdana/1 9pt auto")));
    QVERIFY(rtf.contains("\\fcharset1 Verdana;"));
}

void RtfRoundTripTest::corpusFilesRoundTrip_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(CorpusDir());
    if (!dir.exists())
        QSKIP("The shared corpus is not there.");
    for (const QString& name : dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name))
        QTest::newRow(name.toUtf8().constData()) << dir.filePath(name);
}

void RtfRoundTripTest::corpusFilesRoundTrip()
{
    // Given a file of the corpus read into a document, when the document is written and
    // read back, then it is the same document (faces without a character set come back
    // with DEFAULT_CHARSET, 1).
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QTextDocument* doc = NewDocument(this);
    ReadRtf(file.readAll(), *doc, kPpi);
    const QString original = Describe(*doc, true);
    QByteArray rtf;
    QCOMPARE(RoundTrip(*doc, &rtf), original);
    QCOMPARE(StructureProblems(rtf), QString());
}

void RtfRoundTripTest::picturesAreShownAndWrittenBackUnchanged()
{
    // A 2x1 PNG (as hex, at 1440x720 twips, scaled 50%), the same as \\bin data, and a
    // metafile Qt cannot draw.
    QImage png(2, 1, QImage::Format_RGB32);
    png.fill(Qt::red);
    QByteArray pngData;
    QBuffer buffer(&pngData);
    buffer.open(QIODevice::WriteOnly);
    png.save(&buffer, "PNG");
    const QByteArray wmf = QByteArray::fromHex("0100090000037a000000");
    const QByteArray rtf = "{\\rtf1\\ansi one{\\pict\\pngblip\\picw2\\pich1\\picwgoal1440\\pichgoal720\\picscalex50 "
                           + pngData.toHex() + "}two{\\pict\\pngblip\\picwgoal300\\pichgoal150\\bin"
                           + QByteArray::number(pngData.size()) + " " + pngData + "}{\\pict\\wmetafile8\\picw2540\\pich1270 "
                           + wmf.toHex() + "}\\par}";
    QObject owner;
    QTextDocument* doc = NewDocument(&owner);
    ReadRtf(rtf, *doc, kPpi);
    QCOMPARE(doc->toPlainText(), QString::fromUtf16(u"one\uFFFCtwo\uFFFC\uFFFC"));
    QList<QTextImageFormat> images;
    for (QTextBlock::iterator it = doc->begin().begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().isImageFormat())
            for (int i = 0; i < it.fragment().length(); ++i)
                images << it.fragment().charFormat().toImageFormat();
    QCOMPARE(images.size(), 3);
    // Shown at the goal size times the scale; the metafile at its HIMETRIC size.
    QCOMPARE(QSizeF(images[0].width(), images[0].height()), QSizeF(48, 48));
    QCOMPARE(QSizeF(images[1].width(), images[1].height()), QSizeF(20, 10));
    QCOMPARE(QSizeF(images[2].width(), images[2].height()), QSizeF(96, 48));
    QCOMPARE(doc->resource(QTextDocument::ImageResource, QUrl(images[0].name())).value<QImage>().size(), QSize(2, 1));
    QVERIFY(!doc->resource(QTextDocument::ImageResource, QUrl(images[2].name())).isValid());

    // Written back with the same data and size words, and read again alike.
    const QByteArray written = WriteRtf(*doc, kPpi);
    QVERIFY(written.contains("\\pict\\pngblip\\picw2\\pich1\\picwgoal1440\\pichgoal720\\picscalex50"));
    QVERIFY(written.contains("\\pict\\wmetafile8\\picw2540\\pich1270"));
    QVERIFY(QString::fromLatin1(written).remove(QStringLiteral("\r\n")).contains(QString::fromLatin1(pngData.toHex())));
    QVERIFY(written.contains(wmf.toHex()));
    QTextDocument* again = NewDocument(&owner);
    ReadRtf(written, *again, kPpi);
    QCOMPARE(again->toPlainText(), doc->toPlainText());
    QCOMPARE(WriteRtf(*again, kPpi), written);

    // A picture deleted and brought back by undo is the same picture.
    QTextCursor cursor(doc);
    cursor.setPosition(3);
    cursor.deleteChar();
    doc->undo();
    QCOMPARE(WriteRtf(*doc, kPpi), written);
}

void RtfRoundTripTest::whatASaveWouldNotKeepIsNamed()
{
    QObject owner;
    QTextDocument* doc = NewDocument(&owner);
    const QByteArray lossy =
        "{\\rtf1\\ansi{\\header head}{\\footnote note}\\qj justified\\par"
        "{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par\\trowd\\cellx100\\intbl a\\cell\\row"
        "{\\pntext 1.}{\\*\\pn\\pnlvlbody\\pndec}numbered\\par{\\*\\do\\dptxbx{\\dptxbxtext box}}}";
    // Word's picture with its older fallback is one picture, kept whole.
    QVERIFY(ReadRtf("{\\rtf1 {\\*\\shppict{\\pict\\pngblip 00}}{\\nonshppict{\\pict\\wmetafile8 00}}}", *doc, kPpi).isEmpty());
    QCOMPARE(doc->toPlainText(), QString(QChar::ObjectReplacementCharacter));
    const QStringList unkept = ReadRtf(lossy, *doc, kPpi);
    QCOMPARE(unkept.size(), 7);
    for (const char* what : {"ヘッダーとフッター", "脚注", "両端揃え（左揃えとして表示）", "フィールドの命令",
                             "表の構造（セルはタブになります）", "番号付きリスト", "文字以外のオブジェクトと図形"})
        QVERIFY2(unkept.join(u'|').contains(QString::fromUtf8(what)), what);
    QCOMPARE(JoinUnkept(unkept.mid(0, 2)), unkept[0] + QString::fromUtf8("、") + unkept[1]);
    // What the control writes it keeps whole, bullets, pictures and formats included.
    const QByteArray written = WriteRtf(*doc, kPpi);
    QVERIFY(ReadRtf(written, *doc, kPpi).isEmpty());
}

void RtfRoundTripTest::onlyWhatTheFileHoldsIsNamed_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("named");
    QTest::addColumn<QString>("text");

    const QString breaks = QString::fromUtf8("改ページと改セクション");
    // Given a page or section break and nothing else, then the breaks are named, not
    // a table, and the text after the break stands in a paragraph of its own.
    QTest::newRow("page break") << QByteArray("{\\rtf1\\ansi one\\page two\\par}") << QStringList{breaks} << "one\ntwo";
    QTest::newRow("section break") << QByteArray("{\\rtf1\\ansi one\\sect two\\par}") << QStringList{breaks} << "one\ntwo";
    QTest::newRow("page break before") << QByteArray("{\\rtf1 one\\par\\pagebb two\\par}") << QStringList{breaks} << "one\ntwo";
    QTest::newRow("table") << QByteArray("{\\rtf1\\ansi\\trowd\\cellx100\\intbl a\\cell b\\cell\\row}")
                           << QStringList{QString::fromUtf8("表の構造（セルはタブになります）")} << "a\tb";
    // Given a picture shape in a SHAPE field, then its anchoring is named, not the
    // picture nor the field; given any other shape or field, then that.
    QTest::newRow("picture shape in a SHAPE field")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst SHAPE  \\\\* MERGEFORMAT}{\\fldrslt {\\shp{\\*\\shpinst\\shpright20\\shpbottom10"
                      "{\\sp{\\sn pib}{\\sv {\\pict\\pngblip 00}}}}}}}}")
        << QStringList{QString::fromUtf8("図の配置と文字の折り返し（行内に表示）")} << QString(QChar::ObjectReplacementCharacter);
    QTest::newRow("line shape") << QByteArray("{\\rtf1 {\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 20}}}}x}")
                                << QStringList{QString::fromUtf8("文字以外のオブジェクトと図形")} << "x";
    QTest::newRow("hyperlink field") << QByteArray("{\\rtf1 {\\field{\\*\\fldinst {HYPERLINK \"x\"}}{\\fldrslt link}}}")
                                     << QStringList{QString::fromUtf8("フィールドの命令（結果は文字として残ります）")} << "link";
}

void RtfRoundTripTest::onlyWhatTheFileHoldsIsNamed()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, named);
    QFETCH(QString, text);
    QObject owner;
    QTextDocument* doc = NewDocument(&owner);
    QCOMPARE(ReadRtf(rtf, *doc, kPpi), named);
    QCOMPARE(doc->toPlainText(), text);
}

QTEST_MAIN(RtfRoundTripTest)
#include "tst_rtf_round_trip.moc"
