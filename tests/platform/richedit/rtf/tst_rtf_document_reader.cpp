// Reading RTF into a document in slices: the document is the one a single read gives,
// and each slice leaves whole paragraphs in it.
#include "platform/richedit/rtf/Rtf.h"
#include "platform/richedit/rtf/RtfDocumentReader.h"
#include "platform/richedit/rtf/TextDocumentSink.h"

#include <QBuffer>
#include <algorithm>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>

namespace {

constexpr int kPpi = 96;

QByteArray PngPicture()
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// Paragraphs with fonts, sizes, colours, bullets, a table row, a picture between runs
// and a last paragraph that no \par ends.
QByteArray MixedRtf()
{
    return "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Mincho;}{\\f1\\fcharset204 Arial;}}"
           "{\\colortbl;\\red200\\green0\\blue0;}"
           "\\pard\\qc\\li720 {\\f0\\fs28 \\'93\\'fa\\'96\\'7b}{\\f1\\b \\'c4\\'e0}\\par"
           "\\pard{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}\\fi-360\\li360 one\\par"
           "{\\pntext\\'B7\\tab}two {\\cf1\\i red}\\par"
           "\\pard\\intbl a\\cell b\\cell\\row"
           "\\pard before{\\pict\\pngblip\\picw4\\pich3 "
        + PngPicture().toHex() + "}after\\par\\pard\\qr last {\\ul line}}";
}

// Tokens longer than a file's bytes read at once, among ordinary paragraphs: a long
// run of text, a long row of \'hh in a double-byte code page, a picture in hex on one
// line and one in \bin data that holds braces and backslashes.
QByteArray LongTokensRtf()
{
    // Noise, which PNG cannot compress: the picture's data is longer than the bytes read at once.
    QImage noise(160, 160, QImage::Format_RGB32);
    QRandomGenerator random(24);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, random.generate() | 0xff000000u);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    noise.save(&buffer, "PNG");
    QByteArray paragraphs;
    for (int i = 0; i < 1500; ++i)
        paragraphs += "\\pard\\qc Paragraph " + QByteArray::number(i) + " {\\b bold} {\\f1 \\'c4\\'e0}\\par\n";
    return "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Mincho;}{\\f1\\fcharset204 Arial;}}\n" + paragraphs
           + "\\pard " + QByteArray("long run ").repeated(12000) + "\\par\n" + paragraphs
           + "\\pard{\\f0 " + QByteArray("\\'93\\'fa\\'96\\'7b").repeated(6000) + "}\\par\n" + paragraphs
           + "\\pard{\\pict\\pngblip\\picw160\\pich160 " + png.toHex() + "}\\par\n" + paragraphs
           + "\\pard{\\pict\\pngblip\\picw160\\pich160\\bin" + QByteArray::number(png.size()) + " " + png + "}\\par\n"
           + paragraphs + "}";
}

// Hands out its bytes in pieces of a few kilobytes, as a file read while it loads.
class Pieces : public rtf::ByteSource {
public:
    explicit Pieces(const QByteArray& bytes) : bytes_(bytes) {}
    std::size_t Read(char* out, std::size_t max) override
    {
        const qsizetype count = std::min<qsizetype>({bytes_.size() - at_, qsizetype(max), 4093});
        std::copy_n(bytes_.constData() + at_, count, out);
        at_ += count;
        return static_cast<std::size_t>(count);
    }

private:
    QByteArray bytes_;
    qsizetype at_ = 0;
};

// Each paragraph's text, block format and the formats of its fragments, pictures
// aside from their resource names.
QStringList Blocks(const QTextDocument& doc)
{
    QStringList blocks;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QString line = block.text() + QLatin1Char('|');
        const auto properties = block.blockFormat().properties();
        for (auto it = properties.begin(); it != properties.end(); ++it)
            line += QStringLiteral("%1=%2;").arg(it.key()).arg(it.value().toString());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextCharFormat format = it.fragment().charFormat();
            format.clearProperty(QTextFormat::ImageName);
            line += QStringLiteral("[%1:%2:%3:%4]")
                        .arg(it.fragment().text(), format.font().toString(), format.foreground().color().name())
                        .arg(format.propertyCount());
        }
        blocks << line;
    }
    return blocks;
}

} // namespace

class RtfDocumentReaderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void slicesGiveTheDocumentOfOneRead_data();
    void slicesGiveTheDocumentOfOneRead();
    void theFirstSliceShowsWholeParagraphs();
    void undoIsBackAfterTheRead();
    void aPictureWithoutParagraphEndIsKept();
};

void RtfDocumentReaderTest::slicesGiveTheDocumentOfOneRead_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("mixed") << MixedRtf();
    QTest::newRow("long tokens") << LongTokensRtf();
    const QDir corpus(QStringLiteral(TESSERINE_CORPUS_DIR));
    for (const QString& name : corpus.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name)) {
        QFile file(corpus.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTest::newRow(qPrintable(name)) << file.readAll();
    }
}

// Given an RTF file, when it is read one paragraph a slice, then every paragraph's
// text and formats, the unkept list and the RTF written back are those of one read.
void RtfDocumentReaderTest::slicesGiveTheDocumentOfOneRead()
{
    QFETCH(QByteArray, rtf);
    QTextDocument whole;
    const QStringList unkept = ReadRtf(rtf, whole, kPpi);

    QTextDocument sliced;
    sliced.setPlainText(QStringLiteral("earlier content"));
    rtf::RtfDocumentReader reader(rtf, sliced, kPpi);
    int slices = 1;
    while (!reader.ReadParagraphs(1))
        ++slices;
    QVERIFY(reader.AtEnd());
    QVERIFY(slices >= sliced.blockCount() - 1);
    QCOMPARE(Blocks(sliced), Blocks(whole));
    QCOMPARE(reader.Unkept(), unkept);
    QCOMPARE(WriteRtf(sliced, kPpi), WriteRtf(whole, kPpi));

    // Read from a source in pieces, in slices of a millisecond, it is the same document.
    Pieces pieces(rtf);
    QTextDocument fromSource;
    rtf::RtfDocumentReader sourceReader(pieces, fromSource, kPpi);
    while (!sourceReader.ReadSome(1)) {
    }
    QCOMPARE(Blocks(fromSource), Blocks(whole));
    QCOMPARE(sourceReader.Unkept(), unkept);
    QCOMPARE(WriteRtf(fromSource, kPpi), WriteRtf(whole, kPpi));
    QCOMPARE(sourceReader.BytesRead(), reader.BytesRead());
}

// Given a document read one paragraph at a time, when the first slice is read, then
// the document holds the first paragraph whole and nothing of the second.
void RtfDocumentReaderTest::theFirstSliceShowsWholeParagraphs()
{
    QTextDocument doc;
    rtf::RtfDocumentReader reader(MixedRtf(), doc, kPpi);
    QVERIFY(!reader.ReadParagraphs(1));
    QCOMPARE(doc.toPlainText(), QString::fromUtf8("日本Да"));
    QVERIFY(reader.BytesRead() > 0);
    QVERIFY(!reader.AtEnd());
    QVERIFY(reader.ReadSome(-1));
    QCOMPARE(doc.blockCount(), 6);
    QCOMPARE(doc.lastBlock().text(), QStringLiteral("last line"));
}

// Given a document that records undo, when RTF is read into it, then the read itself
// cannot be undone and edits after it can.
void RtfDocumentReaderTest::undoIsBackAfterTheRead()
{
    QTextDocument doc;
    QVERIFY(doc.isUndoRedoEnabled());
    ReadRtf(MixedRtf(), doc, kPpi);
    QVERIFY(doc.isUndoRedoEnabled());
    QVERIFY(!doc.isUndoAvailable());
    QTextCursor cursor(&doc);
    cursor.insertText(QStringLiteral("x"));
    QVERIFY(doc.isUndoAvailable());
}

// Given a picture handed to the sink with no paragraph end, as a pasted picture is,
// when the sink ends, then the document holds the picture at its size.
void RtfDocumentReaderTest::aPictureWithoutParagraphEndIsKept()
{
    QTextDocument doc;
    {
        rtf::TextDocumentSink sink(doc, kPpi);
        rtf::Picture picture;
        picture.kind = "pngblip";
        picture.data = PngPicture();
        sink.InsertPicture(picture, rtf::RunFormat());
    }
    QCOMPARE(doc.blockCount(), 1);
    QCOMPARE(doc.toPlainText(), QString(QChar::ObjectReplacementCharacter));
    const QTextImageFormat image = doc.begin().begin().fragment().charFormat().toImageFormat();
    QVERIFY(image.isValid());
    QCOMPARE(image.width(), 4.0);
    QCOMPARE(image.height(), 3.0);
}

QTEST_MAIN(RtfDocumentReaderTest)
#include "tst_rtf_document_reader.moc"
